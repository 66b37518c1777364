#include "cmds/ui/UiCommands.h"

#include <algorithm>

#include "cmds/ui/UiModel.h"
#include "cmds/ui/UiSyntax.h"

namespace kxh {

using mel::ArgType;
using mel::Invocation;
using mel::ParsedArgs;
using mel::ParsedFlag;
using mel::Syntax;
using mel::Value;
using ui::Category;
using ui::commonFlags;
using ui::Control;
using ui::Kind;
using ui::layoutFlags;
using ui::syntaxFor;

namespace {

constexpr ArgType B = ArgType::Bool;
constexpr ArgType F = ArgType::Float;
constexpr ArgType S = ArgType::String;

// --- helpers ------------------------------------------------------------------------------------------

std::string notFound(const std::string& cmd, const std::string& name) {
    return cmd + ": Object '" + name + "' not found.";
}

// A flag's arguments as one stored value: a flag without arguments is "on", one argument is itself,
// several make an array (numbers when they all are).
Value flagValue(const ParsedFlag& f) {
    if (f.args.empty()) return Value(1);
    const auto& types = f.def->args;
    if (f.args.size() == 1) {
        if (!types.empty() && types[0] == ArgType::Bool) return Value(int(f.args[0].asBool()));
        return f.args[0];
    }
    bool allInts = true, allNumbers = true;
    for (ArgType t : types) {
        allInts = allInts && (t == ArgType::Int || t == ArgType::Bool);
        allNumbers = allNumbers && t != ArgType::String;
    }
    if (allInts) {
        std::vector<int> v;
        for (const auto& a : f.args) v.push_back(int(a.asInt()));
        return Value(v);
    }
    if (allNumbers) {
        std::vector<double> v;
        for (const auto& a : f.args) v.push_back(a.asFloat());
        return Value(v);
    }
    std::vector<std::string> v;
    for (const auto& a : f.args) v.push_back(a.asString());
    return Value(v);
}

// The zero answer of a flag never given, typed by its arguments.
Value zeroFor(const mel::FlagDef& def) {
    if (def.args.empty()) return Value(0);
    if (def.args.size() > 1) {
        bool strings =
            std::any_of(def.args.begin(), def.args.end(), [](ArgType t) { return t == ArgType::String; });
        if (strings) return Value(std::vector<std::string>(def.args.size()));
        if (std::all_of(def.args.begin(), def.args.end(), [](ArgType t) { return t != ArgType::Float; }))
            return Value(std::vector<int>(def.args.size(), 0));
        return Value(std::vector<double>(def.args.size(), 0.0));
    }
    switch (def.args[0]) {
        case ArgType::Bool:
        case ArgType::Int:
            return Value(0);
        case ArgType::Float:
            return Value(0.0);
        case ArgType::String:
            return Value(std::string());
    }
    return Value();
}

std::vector<std::string> shortNames(const std::vector<Control*>& items) {
    std::vector<std::string> r;
    for (Control* c : items) r.push_back(c->name);
    return r;
}

std::vector<std::string> fullPaths(const std::vector<Control*>& items) {
    std::vector<std::string> r;
    for (Control* c : items) r.push_back(c->fullPath());
    return r;
}

bool isMenuParent(const Control* c) {
    return c && (c->category() == Category::Menu || c->kind == Kind::OptionMenu ||
                 (c->kind == Kind::MenuItem && c->prop("subMenu", 0).asBool()));
}

bool isLayoutParent(const Control* c) {
    return c && (c->category() == Category::Window || c->category() == Category::Layout);
}

bool windowVisible(Control* c) {
    Control* w = c->root();
    return w->kind != Kind::Window || w->prop("visible", 0).asBool();
}

// The flag of a control that holds its value: "-v", "-tx", "-sl", "-cb"/"-rb".
bool isValueFlag(Kind kind, const std::string& flag) {
    switch (kind) {
        case Kind::CheckBox:
        case Kind::IntField:
        case Kind::FloatField:
        case Kind::IntSliderGrp:
        case Kind::FloatSliderGrp:
        case Kind::OptionMenu:
            return flag == "value";
        case Kind::TextField:
            return flag == "text";
        case Kind::RadioButton:
        case Kind::RadioCollection:
            return flag == "select";
        case Kind::MenuItem:
            return flag == "checkBox" || flag == "radioButton";
        default:
            return false;
    }
}

// --- query and edit -----------------------------------------------------------------------------------

Value answerQuery(ui::UiModel& model, Control& c, const mel::FlagDef& def) {
    const std::string& f = def.longName;
    if (f == "exists") return Value(1);
    if (f == "fullPathName") return Value(c.fullPath());
    if (f == "parent") return Value(c.parent ? c.parent->fullPath() : std::string());
    if (f == "childArray") return Value(shortNames(c.children));
    if (f == "numberOfChildren") return Value(int(c.children.size()));
    if (f == "isObscured") return Value(int(!windowVisible(&c) || !c.prop("visible", 1).asBool()));
    if (f == "numberOfPopupMenus" || f == "popupMenuArray") {
        std::vector<Control*> popups;
        for (Control* ch : c.children)
            if (ch->kind == Kind::PopupMenu) popups.push_back(ch);
        return f == "numberOfPopupMenus" ? Value(int(popups.size())) : Value(fullPaths(popups));
    }
    if (c.kind == Kind::MenuItem && (f == "checkBox" || f == "radioButton"))
        return Value(int(c.prop(f, 0).asBool()));
    if (c.kind == Kind::OptionMenu && f == "select") return Value(model.optionMenuSelection(c));
    if (isValueFlag(c.kind, f)) return model.value(c);
    if (f == "collection") return Value(c.collection ? c.collection->fullPath() : std::string());
    if (f == "collectionItemArray") return Value(fullPaths(model.collectionMembers(c)));
    if (f == "numberOfCollectionItems") return Value(int(model.collectionMembers(c).size()));
    if (f == "itemArray" || f == "itemListShort") return Value(shortNames(model.menuItemsOf(c)));
    if (f == "itemListLong") return Value(fullPaths(model.menuItemsOf(c)));
    if (f == "numberOfItems") return Value(int(model.menuItemsOf(c).size()));
    if (c.kind == Kind::Window && (f == "menuArray" || f == "numberOfMenus")) {
        std::vector<Control*> menus;
        for (Control* ch : c.children)
            if (ch->kind == Kind::Menu) menus.push_back(ch);
        return f == "numberOfMenus" ? Value(int(menus.size())) : Value(shortNames(menus));
    }
    if (auto it = c.props.find(f); it != c.props.end()) return it->second;
    // Defaults of flags never given.
    if (f == "label" || f == "title") return Value(c.name);
    if (f == "visible") return Value(c.kind == Kind::Window ? 0 : 1);
    if (f == "enable" || f == "manage" || f == "editable") return Value(1);
    return zeroFor(def);
}

bool applyFlag(ui::UiModel& model, Control& c, const ParsedFlag& pf, const std::string& cmd,
               std::string& error) {
    const std::string& f = pf.def->longName;
    if (f == "exists" || f == "parent" || f == "defineTemplate" || f == "useTemplate" || f == "global")
        return true;
    Value v = flagValue(pf);
    if (f == "collection") {
        Kind want = c.kind == Kind::RadioButton ? Kind::RadioCollection : Kind::RadioMenuItemCollection;
        Control* coll = model.find(v.asString(), want);
        if (!coll) {
            error = notFound(cmd, v.asString());
            return false;
        }
        c.collection = coll;
        return true;
    }
    if (f == "deleteAllItems") {
        for (Control* item : model.menuItemsOf(c)) model.remove(item);
        return true;
    }
    if (c.kind == Kind::OptionMenu && f == "select") {
        int n = int(model.menuItemsOf(c).size());
        int sel = int(v.asInt());
        if (sel < 1 || sel > n) {
            error = cmd + ": Item " + std::to_string(sel) + " is out of range for " + c.name + ".";
            return false;
        }
        c.props["select"] = Value(sel);
        return true;
    }
    if (c.kind == Kind::MenuItem && f == "radioButton") {
        c.props["radioButton"] = Value(int(v.asBool()));
        if (v.asBool()) model.selectRadio(c);
        return true;
    }
    if (isValueFlag(c.kind, f)) return model.setValue(c, v, error);
    c.props[f] = v;
    return true;
}

bool applyFlags(ui::UiModel& model, Control& c, const ParsedArgs& args, const std::string& cmd,
                std::string& error) {
    for (const auto& pf : args.flags)
        if (!applyFlag(model, c, pf, cmd, error)) return false;
    return true;
}

// --- creation -----------------------------------------------------------------------------------------

// Where a new item goes: its explicit -p parent, else the current parent of its category.
bool placeNew(ui::UiModel& model, Kind kind, const ParsedArgs& args, const std::string& cmd, Control*& parent,
              std::string& error) {
    std::string explicitParent = args.arg("parent", Value(std::string())).asString();
    Control* given = nullptr;
    if (!explicitParent.empty()) {
        given = model.find(explicitParent);
        if (!given) {
            error = notFound(cmd, explicitParent);
            return false;
        }
    }
    switch (ui::categoryOf(kind)) {
        case Category::Window:
            parent = nullptr;
            return true;
        case Category::Collection:
            if (args.arg("global", Value(0)).asBool()) {
                parent = nullptr;
            } else if (kind == Kind::RadioMenuItemCollection) {
                parent = given ? given : model.currentMenu();
            } else {
                parent = given ? given : model.currentParent();
            }
            return true;
        case Category::Menu: {
            if (kind == Kind::PopupMenu) {
                parent = given ? given : model.currentParent();
            } else {
                Control* w = given                   ? given
                             : model.currentParent() ? model.currentParent()->root()
                                                     : model.lastWindow();
                parent = w;
            }
            if (!parent) {
                error = cmd + ": No window found to hold the menu.";
                return false;
            }
            return true;
        }
        case Category::MenuItem:
            parent = given ? given : model.currentMenu();
            if (!isMenuParent(parent)) {
                error = cmd + ": No menu found to hold the item.";
                return false;
            }
            return true;
        case Category::Layout:
        case Category::Control: {
            parent = given ? given : model.currentParent();
            if (!parent) {
                error = cmd + ": No window or layout found to hold the new " + cmd + ".";
                return false;
            }
            bool isLayout = ui::categoryOf(kind) == Category::Layout;
            if (!isLayoutParent(parent) || (!isLayout && parent->kind == Kind::Window)) {
                if (parent->kind == Kind::Window)
                    error = "Controls must have a layout. No layout found in window: " + parent->name;
                else
                    error = cmd + ": " + parent->name + " is not a layout.";
                return false;
            }
            if (parent->kind == Kind::RowLayout && parent->has("numberOfColumns")) {
                size_t columns = size_t(std::max<long>(0, parent->prop("numberOfColumns").asInt()));
                if (parent->children.size() >= columns) {
                    error = "Too many children in layout: " + parent->name;
                    return false;
                }
            }
            return true;
        }
    }
    return false;
}

bool createItem(ui::UiModel& model, Kind kind, Invocation& inv, const ParsedArgs& args,
                const std::string& name) {
    Control* parent = nullptr;
    std::string error;
    if (!placeNew(model, kind, args, inv.name, parent, error)) return inv.fail(error);
    Control* c = model.create(kind, name, parent, error);
    if (!c) return inv.fail(error);

    // A radio button joins the current collection unless it names one; the first button of a
    // collection starts selected, so a collection always answers a button once it has one.
    if (kind == Kind::RadioButton || (kind == Kind::MenuItem && args.has("radioButton")))
        c->collection = kind == Kind::RadioButton ? model.currentCollection() : model.currentMenuCollection();
    for (const auto& pf : args.flags)
        if (pf.def->longName == "collection" && !applyFlag(model, *c, pf, inv.name, error)) {
            model.remove(c);
            return inv.fail(error);
        }
    if (kind == Kind::RadioButton && c->collection && !model.selectedRadio(*c->collection))
        model.selectRadio(*c);
    if (!applyFlags(model, *c, args, inv.name, error)) {
        model.remove(c);
        return inv.fail(error);
    }

    switch (ui::categoryOf(kind)) {
        case Category::Window:
            model.setLastWindow(c);
            model.setCurrentParent(c);
            model.setCurrentMenu(nullptr);
            break;
        case Category::Layout:
            model.setCurrentParent(c);
            break;
        case Category::Menu:
            model.setCurrentMenu(c);
            break;
        case Category::Collection:
            if (kind == Kind::RadioCollection)
                model.setCurrentCollection(c);
            else
                model.setCurrentMenuCollection(c);
            break;
        case Category::MenuItem:
            if (c->prop("subMenu", 0).asBool()) model.setCurrentMenu(c);
            break;
        case Category::Control:
            if (kind == Kind::OptionMenu) model.setCurrentMenu(c);
            break;
    }
    inv.result = Value(kind == Kind::Window ? c->name : c->fullPath());
    return true;
}

// One handler serves every item kind: -ex, -q, -e or create.
mel::Handler itemHandler(Kind kind, std::shared_ptr<Syntax> syntax) {
    return [kind, syntax](Invocation& inv) {
        ParsedArgs args;
        std::string error;
        if (!mel::parseArgs(inv, *syntax, args)) return false;
        ui::UiModel& model = ui::uiModel();
        std::string name = args.objects.empty() ? std::string() : args.objects[0].asString();

        if (args.has("exists") && !args.query && !args.edit) {
            inv.result = Value(int(!name.empty() && model.find(name, kind) != nullptr));
            return true;
        }
        if (args.query || args.edit) {
            Control* c = model.find(name, kind);
            if (!c) return inv.fail(notFound(inv.name, name));
            if (args.edit) return applyFlags(model, *c, args, inv.name, error) || inv.fail(error);
            if (args.flags.empty()) return inv.fail(inv.name + ": No query flag given.");
            inv.result = answerQuery(model, *c, *args.flags.front().def);
            return true;
        }
        return createItem(model, kind, inv, args, name);
    };
}

// --- the other commands -------------------------------------------------------------------------------
// The first item of that name (or at that path) the predicate accepts.
template <class Pred>
Control* findMatching(ui::UiModel& model, const std::string& name, Pred accepts) {
    if (name.find('|') != std::string::npos) {
        Control* c = model.find(name);
        return c && accepts(*c) ? c : nullptr;
    }
    for (Control* c : model.items())
        if (c->name == name && accepts(*c)) return c;
    return nullptr;
}

// "control" and "layout": the flags all controls (or all layouts) share, on any of them by name.
mel::Handler anyItemHandler(bool layoutsOnly) {
    auto syntax = std::make_shared<Syntax>();
    if (layoutsOnly)
        layoutFlags(*syntax);
    else
        commonFlags(*syntax);
    return [layoutsOnly, syntax](Invocation& inv) {
        ParsedArgs args;
        std::string error;
        if (!mel::parseArgs(inv, *syntax, args)) return false;
        ui::UiModel& model = ui::uiModel();
        std::string name = args.objects.empty() ? std::string() : args.objects[0].asString();
        Control* c = findMatching(model, name, [layoutsOnly](const Control& item) {
            return item.category() == Category::Layout ||
                   (!layoutsOnly && item.category() == Category::Control);
        });
        if (args.has("exists") && !args.query && !args.edit) {
            inv.result = Value(int(c != nullptr));
            return true;
        }
        if (!args.query && !args.edit)
            return inv.fail(inv.name + ": Only -query, -edit or -exists can be used.");
        if (!c) return inv.fail(notFound(inv.name, name));
        if (args.edit) return applyFlags(model, *c, args, inv.name, error) || inv.fail(error);
        if (args.flags.empty()) return inv.fail(inv.name + ": No query flag given.");
        inv.result = answerQuery(model, *c, *args.flags.front().def);
        return true;
    };
}

bool showWindowCmd(Invocation& inv) {
    static const Syntax syntax = [] {
        Syntax s;
        s.maxObjects = 1;
        return s;
    }();
    ParsedArgs args;
    if (!mel::parseArgs(inv, syntax, args)) return false;
    ui::UiModel& model = ui::uiModel();
    Control* w = nullptr;
    if (args.objects.empty()) {
        w = model.lastWindow();
        if (!w) return inv.fail("showWindow: No window to show.");
    } else {
        w = model.find(args.objects[0].asString(), Kind::Window);
        if (!w) return inv.fail(notFound(inv.name, args.objects[0].asString()));
    }
    w->props["visible"] = Value(1);
    w->props["iconify"] = Value(0);
    return true;
}

bool deleteUiCmd(Invocation& inv) {
    static const Syntax syntax = [] {
        Syntax s;
        s.flag("wnd", "window")
            .flag("ctl", "control")
            .flag("lay", "layout")
            .flag("m", "menu")
            .flag("mi", "menuItem")
            .flag("cl", "collection")
            .flag("ric", "radioMenuItemCollection")
            .flag("pnl", "panel")
            .flag("ed", "editor")
            .flag("uit", "uiTemplate")
            .flag("tc", "toolContext");
        s.minObjects = 1;
        return s;
    }();
    ParsedArgs args;
    if (!mel::parseArgs(inv, syntax, args)) return false;
    ui::UiModel& model = ui::uiModel();

    // With a type flag, only items of that type are looked for.
    auto accepts = [&](const Control& c) {
        if (args.flags.empty()) return true;
        for (const auto& pf : args.flags) {
            const std::string& f = pf.def->longName;
            if ((f == "window" && c.kind == Kind::Window) ||
                (f == "control" && c.category() == Category::Control) ||
                (f == "layout" && c.category() == Category::Layout) ||
                (f == "menu" && c.category() == Category::Menu) ||
                (f == "menuItem" && c.kind == Kind::MenuItem) ||
                (f == "collection" && c.kind == Kind::RadioCollection) ||
                (f == "radioMenuItemCollection" && c.kind == Kind::RadioMenuItemCollection))
                return true;
        }
        return false;
    };
    std::vector<Control*> doomed;
    for (const auto& obj : args.objects) {
        std::string name = obj.asString();
        Control* found = findMatching(model, name, accepts);
        if (!found) return inv.fail(notFound(inv.name, name));
        doomed.push_back(found);
    }
    // Deleting a window also deletes what lies under it; skip items already gone with an ancestor.
    for (Control* c : doomed) {
        auto alive = model.items();
        if (std::find(alive.begin(), alive.end(), c) != alive.end()) model.remove(c);
    }
    return true;
}

bool setParentCmd(Invocation& inv) {
    static const Syntax syntax = [] {
        Syntax s;
        s.queryable = true;
        s.maxObjects = 1;
        s.flag("m", "menu")
            .flag("top", "topLevel")
            .flag("u", "upLevel")
            .flag("dt", "defineTemplate", {S})
            .flag("ut", "useTemplate", {S});
        return s;
    }();
    ParsedArgs args;
    if (!mel::parseArgs(inv, syntax, args)) return false;
    ui::UiModel& model = ui::uiModel();
    bool menu = args.has("menu");
    auto current = [&] { return menu ? model.currentMenu() : model.currentParent(); };
    auto setCurrent = [&](Control* c) { menu ? model.setCurrentMenu(c) : model.setCurrentParent(c); };

    if (args.query) {
        Control* c = current();
        inv.result = Value(c ? c->fullPath() : std::string("NONE"));
        return true;
    }
    std::string target = args.objects.empty() ? std::string() : args.objects[0].asString();
    if (args.has("topLevel")) {
        if (Control* c = current()) setCurrent(menu ? c : c->root());
    } else if (args.has("upLevel") || target == "..") {
        if (Control* c = current()) {
            Control* up = c->parent;
            if (menu ? isMenuParent(up) : isLayoutParent(up)) setCurrent(up);
        }
    } else if (!target.empty()) {
        Control* c = model.find(target);
        if (!c || !(menu ? isMenuParent(c) : isLayoutParent(c))) return inv.fail(notFound(inv.name, target));
        setCurrent(c);
    } else {
        return inv.fail("setParent: No parent given.");
    }
    Control* now = current();
    inv.result = Value(now ? now->fullPath() : std::string("NONE"));
    return true;
}

// confirmDialog and promptDialog: recorded and answered at once (see UiModel::showDialog).
mel::Handler dialogHandler(bool prompt) {
    auto syntax = std::make_shared<Syntax>();
    syntax->maxObjects = 0;
    syntax->flag("t", "title", {S})
        .flag("m", "message", {S})
        .flag("ma", "messageAlign", {S})
        .flag("b", "button", {S}, true)
        .flag("db", "defaultButton", {S})
        .flag("cb", "cancelButton", {S})
        .flag("ds", "dismissString", {S})
        .flag("p", "parent", {S})
        .flag("bgc", "backgroundColor", {F, F, F})
        .flag("ann", "annotation", {S}, true)
        .flag("icn", "icon", {S});
    if (prompt) {
        syntax->queryable = true;
        syntax->flag("tx", "text", {S}).flag("st", "style", {S}).flag("sf", "scrollableField", {B});
    }
    return [prompt, syntax](Invocation& inv) {
        ParsedArgs args;
        if (!mel::parseArgs(inv, *syntax, args)) return false;
        ui::UiModel& model = ui::uiModel();
        if (args.query) {
            if (!args.has("text")) return inv.fail(inv.name + ": Only -text can be queried.");
            inv.result = Value(model.lastPromptText());
            return true;
        }
        ui::DialogRecord d;
        d.command = prompt ? "promptDialog" : "confirmDialog";
        d.title = args.arg("title", Value(std::string())).asString();
        d.message = args.arg("message", Value(std::string())).asString();
        for (int i = 0; i < args.count("button"); ++i)
            d.buttons.push_back(args.get("button", i)->args[0].asString());
        d.defaultButton = args.arg("defaultButton", Value(std::string())).asString();
        d.cancelButton = args.arg("cancelButton", Value(std::string())).asString();
        d.dismissString = args.arg("dismissString", Value(std::string())).asString();
        d.text = args.arg("text", Value(std::string())).asString();
        inv.result = Value(model.showDialog(std::move(d)).answer);
        return true;
    };
}

}  // namespace

void registerUiCommands(mel::CommandRegistry& registry) {
    const Kind kinds[] = {Kind::Window,
                          Kind::ColumnLayout,
                          Kind::RowLayout,
                          Kind::FrameLayout,
                          Kind::FormLayout,
                          Kind::ScrollLayout,
                          Kind::TabLayout,
                          Kind::Text,
                          Kind::Button,
                          Kind::Separator,
                          Kind::CheckBox,
                          Kind::IntField,
                          Kind::FloatField,
                          Kind::IntSliderGrp,
                          Kind::FloatSliderGrp,
                          Kind::TextField,
                          Kind::RadioCollection,
                          Kind::RadioButton,
                          Kind::OptionMenu,
                          Kind::Menu,
                          Kind::PopupMenu,
                          Kind::MenuItem,
                          Kind::RadioMenuItemCollection};
    for (Kind k : kinds) {
        auto syntax = syntaxFor(k);
        registry.add({ui::commandOf(k), itemHandler(k, syntax), syntax});
    }
    registry.add({"control", anyItemHandler(false), nullptr});
    registry.add({"layout", anyItemHandler(true), nullptr});
    registry.add({"showWindow", showWindowCmd, nullptr});
    registry.add({"deleteUI", deleteUiCmd, nullptr});
    registry.add({"setParent", setParentCmd, nullptr});
    registry.add({"confirmDialog", dialogHandler(false), nullptr});
    registry.add({"promptDialog", dialogHandler(true), nullptr});
}

}  // namespace kxh
