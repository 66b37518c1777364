#pragma once
// The headless UI model: the windows, layouts, controls, menus and radio collections that UI scripts
// build with MEL, kept as a tree of named items with their flag values. Nothing is drawn; the model
// answers queries and edits exactly as the host's controls would, records the modal dialogs it was
// asked to show (answering them without waiting), and lets the host side "use" a control (press a
// button, tick a checkbox, type into a field), which runs the control's MEL callbacks.
//
// Names: windows are unique among top-level items; any other item is unique within the window it lives
// in (its full path "window|layout|control" must be unique). Lookups accept a short name (the first
// item created with that name) or a full path. Items get the host's generated names ("checkBox3") when
// created without one.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "mel/Value.h"

namespace kxh::ui {

enum class Kind {
    Window,
    ColumnLayout,
    RowLayout,
    FrameLayout,
    FormLayout,
    ScrollLayout,
    TabLayout,
    Text,
    Button,
    Separator,
    CheckBox,
    IntField,
    FloatField,
    IntSliderGrp,
    FloatSliderGrp,
    TextField,
    RadioCollection,
    RadioButton,
    OptionMenu,
    Menu,
    PopupMenu,
    MenuItem,
    RadioMenuItemCollection,
};

// What an item is, for placement rules and deleteUI's type flags.
enum class Category { Window, Layout, Control, Collection, Menu, MenuItem };

Category categoryOf(Kind kind);
// The MEL command that makes items of the kind ("checkBox"); also the stem of generated names.
const char* commandOf(Kind kind);

struct Control {
    std::string name;
    Kind kind;
    Control* parent = nullptr;       // window, layout, menu (items) or nullptr (windows, global collections)
    std::vector<Control*> children;  // in creation order
    Control* collection = nullptr;   // radio buttons and radio menu items: their collection, if any
    uint64_t serial = 0;             // creation order
    // Flag values by the flag's long name ("value", "label", "changeCommand"), as last given.
    std::map<std::string, mel::Value> props;

    Category category() const { return categoryOf(kind); }
    std::string fullPath() const;
    Control* root();  // the window (or top-level item) this one lives in
    bool has(const std::string& prop) const { return props.count(prop) != 0; }
    mel::Value prop(const std::string& name, const mel::Value& fallback = mel::Value()) const;
    std::string propString(const std::string& name, const std::string& fallback = "") const;
};

// One modal dialog as it was asked for, with the answer the model gave.
struct DialogRecord {
    std::string command;  // "confirmDialog" or "promptDialog"
    std::string title;
    std::string message;
    std::vector<std::string> buttons;
    std::string defaultButton;
    std::string cancelButton;
    std::string dismissString;
    std::string text;    // promptDialog: the text in its field when it closed
    std::string answer;  // the button pressed (or the dismiss string)
};

class UiModel {
public:
    UiModel();
    ~UiModel();
    UiModel(const UiModel&) = delete;
    UiModel& operator=(const UiModel&) = delete;

    // Drops every item, dialog record, queued answer and generated-name counter.
    void clear();

    // --- lookup
    Control* find(const std::string& nameOrPath) const;
    Control* find(const std::string& nameOrPath, Kind kind) const;  // nullptr when missing or of another kind
    std::vector<Control*> items() const;                            // creation order
    std::vector<Control*> windows() const;

    // --- creation and deletion
    // Creates an item under `parent` (nullptr for windows and global collections). An empty name gets a
    // generated one. Fails with the host's message when the name is taken.
    Control* create(Kind kind, const std::string& name, Control* parent, std::string& error);
    // Deletes the item and everything under it; current parents that lived there move up.
    void remove(Control* item);

    // --- where new items go
    Control* currentParent() const { return currentParent_; }  // a window or a layout
    void setCurrentParent(Control* c) { currentParent_ = c; }
    Control* currentMenu() const { return currentMenu_; }  // menu, popup menu, option menu or submenu item
    void setCurrentMenu(Control* c) { currentMenu_ = c; }
    Control* currentCollection() const { return currentCollection_; }
    void setCurrentCollection(Control* c) { currentCollection_ = c; }
    Control* currentMenuCollection() const { return currentMenuCollection_; }
    void setCurrentMenuCollection(Control* c) { currentMenuCollection_ = c; }
    Control* lastWindow() const { return lastWindow_; }
    void setLastWindow(Control* c) { lastWindow_ = c; }

    // --- values
    // The control's value as its value flag answers it (checkBox/intField/... "-q -v", textField "-q -tx",
    // radioButton "-q -sl", menuItem "-q -cb", optionMenu "-q -v" the selected item's label).
    mel::Value value(const Control& c) const;
    // Sets the value, clamped to the control's range. Fails (with error) for an option menu label that
    // names none of its items.
    bool setValue(Control& c, const mel::Value& v, std::string& error);
    // Radio buttons (and radio menu items): select one, deselecting the others of its collection.
    void selectRadio(Control& button);
    // The selected button of a collection, or nullptr.
    Control* selectedRadio(const Control& collection) const;
    std::vector<Control*> collectionMembers(const Control& collection) const;
    // Option menus: the items, and the 1-based selected index (0 when empty).
    std::vector<Control*> menuItemsOf(const Control& menu) const;
    int optionMenuSelection(const Control& menu) const;

    // --- dialogs
    // Records a dialog and decides its answer: the next queued answer, else the default button, else the
    // first button, else the dismiss string ("dismiss" when none was given).
    const DialogRecord& showDialog(DialogRecord dialog);
    // The next dialog answers this button (and, for a prompt, this text) instead of its default.
    void queueDialogAnswer(const std::string& button, const std::string& text = "");
    const std::vector<DialogRecord>& dialogs() const { return dialogs_; }
    std::string lastPromptText() const { return lastPromptText_; }

    // --- the artist's side: using a control runs its callbacks through the script runner.
    using ScriptRunner = std::function<bool(const std::string& script)>;
    void setScriptRunner(ScriptRunner runner) { runner_ = std::move(runner); }
    // Presses a button, menu item, checkbox (toggles it) or radio button (selects it). Reports through
    // output and returns false when the control is missing, cannot be pressed, or its command fails.
    bool press(const std::string& nameOrPath);
    // Changes a control's value as typing or dragging would, then runs its change command ("#1" in it
    // stands for the new value) and, for checkboxes, its on/off command.
    bool userSetValue(const std::string& nameOrPath, const mel::Value& v);

private:
    bool nameTaken(const std::string& name, Control* parent) const;
    std::string generateName(Kind kind);
    bool run(const Control& c, const std::string& prop, const std::string& hashValue);

    std::vector<std::unique_ptr<Control>> items_;  // creation order
    std::map<std::string, int> nameCounters_;
    uint64_t nextSerial_ = 1;
    Control* currentParent_ = nullptr;
    Control* currentMenu_ = nullptr;
    Control* currentCollection_ = nullptr;
    Control* currentMenuCollection_ = nullptr;
    Control* lastWindow_ = nullptr;
    std::vector<DialogRecord> dialogs_;
    std::deque<std::pair<std::string, std::string>> queuedAnswers_;
    std::string lastPromptText_;
    ScriptRunner runner_;
};

// The process's UI model.
UiModel& uiModel();

}  // namespace kxh::ui
