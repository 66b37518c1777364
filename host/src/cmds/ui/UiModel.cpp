#include "cmds/ui/UiModel.h"

#include <algorithm>
#include <set>

#include "foundation/Output.h"

namespace kxh::ui {

using mel::Value;

Category categoryOf(Kind kind) {
    switch (kind) {
        case Kind::Window:
            return Category::Window;
        case Kind::ColumnLayout:
        case Kind::RowLayout:
        case Kind::FrameLayout:
        case Kind::FormLayout:
        case Kind::ScrollLayout:
        case Kind::TabLayout:
            return Category::Layout;
        case Kind::RadioCollection:
        case Kind::RadioMenuItemCollection:
            return Category::Collection;
        case Kind::Menu:
        case Kind::PopupMenu:
            return Category::Menu;
        case Kind::MenuItem:
            return Category::MenuItem;
        default:
            return Category::Control;
    }
}

const char* commandOf(Kind kind) {
    switch (kind) {
        case Kind::Window:
            return "window";
        case Kind::ColumnLayout:
            return "columnLayout";
        case Kind::RowLayout:
            return "rowLayout";
        case Kind::FrameLayout:
            return "frameLayout";
        case Kind::FormLayout:
            return "formLayout";
        case Kind::ScrollLayout:
            return "scrollLayout";
        case Kind::TabLayout:
            return "tabLayout";
        case Kind::Text:
            return "text";
        case Kind::Button:
            return "button";
        case Kind::Separator:
            return "separator";
        case Kind::CheckBox:
            return "checkBox";
        case Kind::IntField:
            return "intField";
        case Kind::FloatField:
            return "floatField";
        case Kind::IntSliderGrp:
            return "intSliderGrp";
        case Kind::FloatSliderGrp:
            return "floatSliderGrp";
        case Kind::TextField:
            return "textField";
        case Kind::RadioCollection:
            return "radioCollection";
        case Kind::RadioButton:
            return "radioButton";
        case Kind::OptionMenu:
            return "optionMenu";
        case Kind::Menu:
            return "menu";
        case Kind::PopupMenu:
            return "popupMenu";
        case Kind::MenuItem:
            return "menuItem";
        case Kind::RadioMenuItemCollection:
            return "radioMenuItemCollection";
    }
    return "control";
}

// --- Control

std::string Control::fullPath() const {
    std::string path = name;
    for (const Control* p = parent; p; p = p->parent) path = p->name + "|" + path;
    return path;
}

Control* Control::root() {
    Control* c = this;
    while (c->parent) c = c->parent;
    return c;
}

Value Control::prop(const std::string& key, const Value& fallback) const {
    auto it = props.find(key);
    return it == props.end() ? fallback : it->second;
}

std::string Control::propString(const std::string& key, const std::string& fallback) const {
    auto it = props.find(key);
    return it == props.end() ? fallback : it->second.asString();
}

// --- UiModel

UiModel::UiModel() = default;
UiModel::~UiModel() = default;

void UiModel::clear() {
    items_.clear();
    nameCounters_.clear();
    currentParent_ = currentMenu_ = currentCollection_ = currentMenuCollection_ = lastWindow_ = nullptr;
    dialogs_.clear();
    queuedAnswers_.clear();
    lastPromptText_.clear();
}

namespace {

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string cur;
    for (char ch : path) {
        if (ch == '|') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

}  // namespace

Control* UiModel::find(const std::string& nameOrPath) const {
    if (nameOrPath.find('|') == std::string::npos) {
        for (const auto& c : items_)
            if (c->name == nameOrPath) return c.get();
        return nullptr;
    }
    std::vector<std::string> parts = splitPath(nameOrPath);
    if (parts.empty()) return nullptr;
    Control* cur = nullptr;
    for (const auto& c : items_)
        if (!c->parent && c->name == parts[0]) {
            cur = c.get();
            break;
        }
    for (size_t i = 1; cur && i < parts.size(); ++i) {
        Control* next = nullptr;
        for (Control* ch : cur->children)
            if (ch->name == parts[i]) {
                next = ch;
                break;
            }
        cur = next;
    }
    return cur;
}

Control* UiModel::find(const std::string& nameOrPath, Kind kind) const {
    if (nameOrPath.find('|') == std::string::npos) {
        for (const auto& c : items_)
            if (c->kind == kind && c->name == nameOrPath) return c.get();
        return nullptr;
    }
    Control* c = find(nameOrPath);
    return c && c->kind == kind ? c : nullptr;
}

std::vector<Control*> UiModel::items() const {
    std::vector<Control*> r;
    for (const auto& c : items_) r.push_back(c.get());
    return r;
}

std::vector<Control*> UiModel::windows() const {
    std::vector<Control*> r;
    for (const auto& c : items_)
        if (c->kind == Kind::Window) r.push_back(c.get());
    return r;
}

bool UiModel::nameTaken(const std::string& name, Control* parent) const {
    if (!parent) {
        for (const auto& c : items_)
            if (!c->parent && c->name == name) return true;
        return false;
    }
    Control* scope = parent->root();
    for (const auto& c : items_)
        if (c->parent && c->name == name && c->root() == scope) return true;
    return false;
}

std::string UiModel::generateName(Kind kind) {
    std::string stem = commandOf(kind);
    int& counter = nameCounters_[stem];
    for (;;) {
        std::string candidate = stem + std::to_string(++counter);
        if (!find(candidate)) return candidate;
    }
}

Control* UiModel::create(Kind kind, const std::string& name, Control* parent, std::string& error) {
    std::string actual = name;
    if (actual.empty()) {
        actual = generateName(kind);
    } else if (actual.find('|') != std::string::npos) {
        error = "Invalid object name '" + actual + "'.";
        return nullptr;
    } else if (nameTaken(actual, parent)) {
        error = "Object's name '" + actual + "' is not unique.";
        return nullptr;
    }
    auto c = std::make_unique<Control>();
    c->name = actual;
    c->kind = kind;
    c->parent = parent;
    c->serial = nextSerial_++;
    Control* raw = c.get();
    items_.push_back(std::move(c));
    if (parent) parent->children.push_back(raw);
    return raw;
}

void UiModel::remove(Control* item) {
    if (!item) return;
    std::set<Control*> doomed;
    std::vector<Control*> stack{item};
    while (!stack.empty()) {
        Control* c = stack.back();
        stack.pop_back();
        doomed.insert(c);
        for (Control* ch : c->children) stack.push_back(ch);
    }
    Control* up = item->parent;
    if (up)
        up->children.erase(std::remove(up->children.begin(), up->children.end(), item), up->children.end());

    auto moveUp = [&](Control*& current, bool accept(Control*)) {
        if (!doomed.count(current)) return;
        current = (up && accept(up)) ? up : nullptr;
    };
    moveUp(currentParent_,
           [](Control* c) { return c->category() == Category::Window || c->category() == Category::Layout; });
    moveUp(currentMenu_, [](Control* c) {
        return c->category() == Category::Menu || c->kind == Kind::OptionMenu || c->kind == Kind::MenuItem;
    });
    moveUp(currentCollection_, [](Control*) { return false; });
    moveUp(currentMenuCollection_, [](Control*) { return false; });
    moveUp(lastWindow_, [](Control*) { return false; });

    for (const auto& c : items_)
        if (c->collection && doomed.count(c->collection)) c->collection = nullptr;
    items_.erase(
        std::remove_if(items_.begin(), items_.end(),
                       [&](const std::unique_ptr<Control>& c) { return doomed.count(c.get()) != 0; }),
        items_.end());
}

// --- values

namespace {

bool isIntKind(Kind k) {
    return k == Kind::IntField || k == Kind::IntSliderGrp;
}
bool isFloatKind(Kind k) {
    return k == Kind::FloatField || k == Kind::FloatSliderGrp;
}
bool isSlider(Kind k) {
    return k == Kind::IntSliderGrp || k == Kind::FloatSliderGrp;
}

// A numeric control's value kept inside its range. Sliders take their field range when one is set,
// since typing into the field may go past the slider's ends.
double clampToRange(const Control& c, double v) {
    const char* lo = "minValue";
    const char* hi = "maxValue";
    if (isSlider(c.kind)) {
        if (c.has("fieldMinValue")) lo = "fieldMinValue";
        if (c.has("fieldMaxValue")) hi = "fieldMaxValue";
    }
    if (c.has(lo)) v = std::max(v, c.prop(lo).asFloat());
    if (c.has(hi)) v = std::min(v, c.prop(hi).asFloat());
    return v;
}

std::string itemLabel(const Control& c) {
    return c.propString("label", c.name);
}

}  // namespace

std::vector<Control*> UiModel::collectionMembers(const Control& collection) const {
    std::vector<Control*> r;
    for (const auto& c : items_)
        if (c->collection == &collection) r.push_back(c.get());
    return r;
}

Control* UiModel::selectedRadio(const Control& collection) const {
    const char* flag = collection.kind == Kind::RadioCollection ? "select" : "radioButton";
    for (Control* c : collectionMembers(collection))
        if (c->prop(flag, 0).asBool()) return c;
    return nullptr;
}

void UiModel::selectRadio(Control& button) {
    const char* flag = button.kind == Kind::RadioButton ? "select" : "radioButton";
    if (button.collection)
        for (Control* other : collectionMembers(*button.collection)) other->props[flag] = Value(0);
    button.props[flag] = Value(1);
}

std::vector<Control*> UiModel::menuItemsOf(const Control& menu) const {
    std::vector<Control*> r;
    for (Control* c : menu.children)
        if (c->kind == Kind::MenuItem) r.push_back(c);
    return r;
}

int UiModel::optionMenuSelection(const Control& menu) const {
    int n = int(menuItemsOf(menu).size());
    if (n == 0) return 0;
    int sel = int(menu.prop("select", 1).asInt());
    return std::min(std::max(sel, 1), n);
}

Value UiModel::value(const Control& c) const {
    switch (c.kind) {
        case Kind::CheckBox:
            return Value(int(c.prop("value", 0).asBool()));
        case Kind::RadioButton:
            return Value(int(c.prop("select", 0).asBool()));
        case Kind::TextField:
            return Value(c.propString("text"));
        case Kind::MenuItem:
            if (c.has("radioButton")) return Value(int(c.prop("radioButton").asBool()));
            return Value(int(c.prop("checkBox", 0).asBool()));
        case Kind::OptionMenu: {
            int sel = optionMenuSelection(c);
            return sel ? Value(itemLabel(*menuItemsOf(c)[sel - 1])) : Value(std::string());
        }
        case Kind::RadioCollection:
        case Kind::RadioMenuItemCollection: {
            Control* s = selectedRadio(c);
            return Value(s ? s->name : std::string("NONE"));
        }
        default:
            break;
    }
    if (isIntKind(c.kind)) return Value(int(clampToRange(c, double(c.prop("value", 0).asInt()))));
    if (isFloatKind(c.kind)) return Value(clampToRange(c, c.prop("value", 0.0).asFloat()));
    return c.prop("value");
}

bool UiModel::setValue(Control& c, const Value& v, std::string& error) {
    switch (c.kind) {
        case Kind::CheckBox:
            c.props["value"] = Value(int(v.asBool()));
            return true;
        case Kind::TextField:
            c.props["text"] = Value(v.asString());
            return true;
        case Kind::RadioButton:
            if (v.asBool())
                selectRadio(c);
            else
                c.props["select"] = Value(0);
            return true;
        case Kind::MenuItem:
            if (c.has("radioButton")) {
                if (v.asBool())
                    selectRadio(c);
                else
                    c.props["radioButton"] = Value(0);
            } else {
                c.props["checkBox"] = Value(int(v.asBool()));
            }
            return true;
        case Kind::OptionMenu: {
            std::vector<Control*> items = menuItemsOf(c);
            std::string label = v.asString();
            for (size_t i = 0; i < items.size(); ++i)
                if (itemLabel(*items[i]) == label) {
                    c.props["select"] = Value(int(i + 1));
                    return true;
                }
            error = "optionMenu: '" + label + "' is not an item of " + c.name + ".";
            return false;
        }
        case Kind::RadioCollection:
        case Kind::RadioMenuItemCollection: {
            std::string name = v.asString();
            for (Control* b : collectionMembers(c))
                if (b->name == name || b->fullPath() == name) {
                    selectRadio(*b);
                    return true;
                }
            error = std::string(commandOf(c.kind)) + ": Object '" + name + "' not found.";
            return false;
        }
        default:
            break;
    }
    if (isIntKind(c.kind)) {
        c.props["value"] = Value(int(clampToRange(c, double(v.asInt()))));
        return true;
    }
    if (isFloatKind(c.kind)) {
        c.props["value"] = Value(clampToRange(c, v.asFloat()));
        return true;
    }
    error = std::string(commandOf(c.kind)) + ": " + c.name + " has no value.";
    return false;
}

// --- dialogs

const DialogRecord& UiModel::showDialog(DialogRecord d) {
    if (d.dismissString.empty()) d.dismissString = "dismiss";
    if (!queuedAnswers_.empty()) {
        d.answer = queuedAnswers_.front().first;
        if (d.command == "promptDialog") d.text = queuedAnswers_.front().second;
        queuedAnswers_.pop_front();
    } else if (!d.defaultButton.empty()) {
        d.answer = d.defaultButton;
    } else if (!d.buttons.empty()) {
        d.answer = d.buttons.front();
    } else {
        d.answer = d.dismissString;
    }
    if (d.command == "promptDialog") lastPromptText_ = d.text;

    // "confirmDialog: title | message | [Ok] Cancel": the answered button in brackets.
    std::string buttons;
    bool marked = false;
    for (const auto& b : d.buttons) {
        if (!buttons.empty()) buttons += " ";
        if (!marked && b == d.answer) {
            buttons += "[" + b + "]";
            marked = true;
        } else {
            buttons += b;
        }
    }
    if (!marked) buttons += std::string(buttons.empty() ? "" : " ") + "[" + d.answer + "]";
    std::string line = d.command + ": " + d.title + " | " + d.message;
    if (d.command == "promptDialog") line += " | \"" + d.text + "\"";
    output().info(line + " | " + buttons);

    dialogs_.push_back(std::move(d));
    return dialogs_.back();
}

void UiModel::queueDialogAnswer(const std::string& button, const std::string& text) {
    queuedAnswers_.emplace_back(button, text);
}

// --- using controls

bool UiModel::run(const Control& c, const std::string& prop, const std::string& hashValue) {
    std::string script = c.propString(prop);
    if (script.empty()) return true;
    for (size_t pos = script.find("#1"); pos != std::string::npos;
         pos = script.find("#1", pos + hashValue.size()))
        script.replace(pos, 2, hashValue);
    if (!runner_) {
        output().error(std::string(commandOf(c.kind)) + ": no script runner to run " + c.name +
                       "'s command.");
        return false;
    }
    return runner_(script);
}

bool UiModel::press(const std::string& nameOrPath) {
    Control* c = find(nameOrPath);
    if (!c) {
        output().error("Object '" + nameOrPath + "' not found.");
        return false;
    }
    if (!c->prop("enable", 1).asBool()) return true;  // a disabled control ignores clicks
    std::string dummy;
    switch (c->kind) {
        case Kind::Button:
            return run(*c, "command", "");
        case Kind::CheckBox: {
            bool on = !value(*c).asBool();
            setValue(*c, Value(int(on)), dummy);
            std::string v = on ? "1" : "0";
            return run(*c, "changeCommand", v) && run(*c, on ? "onCommand" : "offCommand", v);
        }
        case Kind::RadioButton: {
            if (value(*c).asBool()) return true;  // already on: clicking again changes nothing
            selectRadio(*c);
            return run(*c, "changeCommand", "1") && run(*c, "onCommand", "1");
        }
        case Kind::MenuItem: {
            std::string v;
            if (c->has("radioButton")) {
                selectRadio(*c);
                v = "1";
            } else if (c->has("checkBox")) {
                bool on = !value(*c).asBool();
                setValue(*c, Value(int(on)), dummy);
                v = on ? "1" : "0";
            }
            if (c->parent && c->parent->kind == Kind::OptionMenu) {
                std::vector<Control*> items = menuItemsOf(*c->parent);
                auto it = std::find(items.begin(), items.end(), c);
                c->parent->props["select"] = Value(int(it - items.begin()) + 1);
                return run(*c->parent, "changeCommand", itemLabel(*c)) && run(*c, "command", itemLabel(*c));
            }
            return run(*c, "command", v);
        }
        default:
            output().error(std::string(commandOf(c->kind)) + " " + c->name + " cannot be pressed.");
            return false;
    }
}

bool UiModel::userSetValue(const std::string& nameOrPath, const Value& v) {
    Control* c = find(nameOrPath);
    if (!c) {
        output().error("Object '" + nameOrPath + "' not found.");
        return false;
    }
    std::string error;
    if (!setValue(*c, v, error)) {
        output().error(error);
        return false;
    }
    Value now = value(*c);
    std::string text = now.asString();
    if (c->kind == Kind::CheckBox)
        return run(*c, "changeCommand", text) && run(*c, now.asBool() ? "onCommand" : "offCommand", text);
    if (c->kind == Kind::TextField)
        return run(*c, "changeCommand", text) && run(*c, "textChangedCommand", text);
    return run(*c, "changeCommand", text);
}

UiModel& uiModel() {
    static UiModel model;
    return model;
}

}  // namespace kxh::ui
