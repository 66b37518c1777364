// The selection-mode state tools read and set through MEL (selectMode, selectType,
// doMenuComponentSelection), the tumble tool's settings (tumbleCtx), the view layout's panes (paneLayout)
// and isolate select per model panel (isolateSelect).
//
// Selection modes: object or component mode, and two sets of component types: the one component mode
// picks with, and the one used on hilited objects while in object mode (selectType -ocm). These are UI
// state, not scene state: changing them is not undoable, and each change that alters something fires
// "SelectTypeChanged" (and "SelectModeChanged" for the mode).
#include <algorithm>
#include <map>

#include "cmds/tools/ToolCommands.h"
#include "cmds/tools/Tools.h"
#include "graph/api/Messages.h"
#include "graph/core/Scene.h"
#include "mel/Interpreter.h"
#include "view/Views.h"

namespace kxh {

namespace {

using mel::ArgType;

struct Isolate {
    bool on = false;
    std::vector<std::weak_ptr<Node>> members;  // in the order they were added
};

struct ModeState {
    bool component = false;
    tools::ComponentTypes componentTypes{true, false, false};  // component mode starts on vertices
    tools::ComponentTypes objectComponentTypes{};
    std::map<std::string, Isolate> isolate;  // by panel
};

ModeState& modes() {
    static ModeState s;
    return s;
}

}  // namespace

namespace tools {

bool componentMode() {
    return modes().component;
}

ComponentTypes componentTypes(bool objectComponent) {
    return objectComponent ? modes().objectComponentTypes : modes().componentTypes;
}

void setComponentMode(bool on) {
    if (modes().component == on) return;
    modes().component = on;
    fireEvent("SelectModeChanged");
    fireEvent("SelectTypeChanged");
}

void setComponentTypes(bool objectComponent, const ComponentTypes& types) {
    ComponentTypes& slot = objectComponent ? modes().objectComponentTypes : modes().componentTypes;
    if (slot == types) return;
    slot = types;
    fireEvent("SelectTypeChanged");
}

int localTumble(const std::string& tumbleContext) {
    ContextRecord* rec = findContext(tumbleContext);
    return rec && rec->tumble ? rec->localTumble : 0;
}

std::string firstPanePanel() {
    view::View* v = view::activeView();
    return v ? v->panel : std::string();
}

bool isolateState(const std::string& panel) {
    auto it = modes().isolate.find(panel);
    return it != modes().isolate.end() && it->second.on;
}

std::vector<std::string> isolatedObjects(const std::string& panel) {
    std::vector<std::string> names;
    auto it = modes().isolate.find(panel);
    if (it == modes().isolate.end()) return names;
    for (const auto& w : it->second.members)
        if (NodePtr n = w.lock(); n && n->alive()) names.push_back(n->name());
    return names;
}

}  // namespace tools

void resetSelectModes() {
    modes() = ModeState();
}

namespace {

// --- selectMode --------------------------------------------------------------------------------------------

// selectMode -object | -component; -q -object | -q -component answer 1 or 0.
bool selectModeCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("o", "object").flag("co", "component");
    syn.queryable = true;
    syn.maxObjects = 0;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    if (a.has("o") && a.has("co"))
        return inv.fail("selectMode: -object and -component cannot be used together.");
    if (a.query) {
        if (a.has("co"))
            inv.result = mel::Value(tools::componentMode() ? 1 : 0);
        else if (a.has("o"))
            inv.result = mel::Value(tools::componentMode() ? 0 : 1);
        else
            return inv.fail("selectMode: name the mode to query (-object or -component).");
        return true;
    }
    if (a.has("co"))
        tools::setComponentMode(true);
    else if (a.has("o"))
        tools::setComponentMode(false);
    return true;
}

// --- selectType --------------------------------------------------------------------------------------------

// selectType [-ocm] (-v | -eg | -fc | -alc) <bool> ... ; selectType [-ocm] -q -v | -eg | -fc | -alc.
// -ocm works on the types used on hilited objects in object mode. -alc sets every type; its query answers 1
// when every type is on. Several flags of one line apply in order (so "-alc false -v true" picks vertices).
bool selectTypeCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("ocm", "objectComponent");
    for (auto [s, l] : {std::pair{"v", "vertex"},
                        {"pv", "polymeshVertex"},
                        {"eg", "edge"},
                        {"pe", "polymeshEdge"},
                        {"fc", "facet"},
                        {"pf", "polymeshFace"},
                        {"alc", "allComponents"}})
        syn.flag(s, l, {ArgType::Bool});
    syn.queryable = true;
    syn.editable = true;
    syn.maxObjects = 0;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    const bool ocm = a.has("ocm");
    tools::ComponentTypes types = tools::componentTypes(ocm);
    auto is = [](const mel::ParsedFlag& f, const char* a1, const char* a2) {
        return f.def->shortName == a1 || f.def->shortName == a2;
    };
    if (a.query) {
        for (const mel::ParsedFlag& f : a.flags) {
            if (f.def->shortName == "ocm") continue;
            bool on = is(f, "v", "pv")    ? types.vertex
                      : is(f, "eg", "pe") ? types.edge
                      : is(f, "fc", "pf") ? types.facet
                                          : types.all();
            inv.result = mel::Value(on ? 1 : 0);
            return true;
        }
        return inv.fail("selectType: name the type to query.");
    }
    for (const mel::ParsedFlag& f : a.flags) {
        if (f.def->shortName == "ocm") continue;
        const bool on = f.args.at(0).asBool();
        if (is(f, "v", "pv"))
            types.vertex = on;
        else if (is(f, "eg", "pe"))
            types.edge = on;
        else if (is(f, "fc", "pf"))
            types.facet = on;
        else
            types.vertex = types.edge = types.facet = on;
    }
    tools::setComponentTypes(ocm, types);
    return true;
}

// --- doMenuComponentSelection ------------------------------------------------------------------------------

// doMenuComponentSelection("<object>", "vertex" | "edge" | "facet"): the host's switch of an object into
// component selection: the object is hilited, component mode picks only that type.
bool doMenuComponentSelectionCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.minObjects = syn.maxObjects = 2;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    const std::string object = a.objects[0].asString();
    const std::string mask = a.objects[1].asString();
    tools::ComponentTypes types;
    if (mask == "vertex" || mask == "polymeshVertex")
        types.vertex = true;
    else if (mask == "edge" || mask == "polymeshEdge")
        types.edge = true;
    else if (mask == "facet" || mask == "polymeshFace")
        types.facet = true;
    else
        return inv.fail("doMenuComponentSelection: unknown component type '" + mask + "'.");
    if (!Scene::current().find(object))
        return inv.fail("doMenuComponentSelection: No object matches name: " + object);
    mel::Interpreter::Status st = inv.interp.execute("hilite \"" + object + "\"");
    if (!st.ok) return inv.fail(st.error);
    // One notification for the whole switch.
    ModeState& m = modes();
    const bool changed = !m.component || !(m.componentTypes == types);
    const bool modeChanged = !m.component;
    m.component = true;
    m.componentTypes = types;
    if (modeChanged) fireEvent("SelectModeChanged");
    if (changed) fireEvent("SelectTypeChanged");
    return true;
}

// --- tumbleCtx ---------------------------------------------------------------------------------------------

// tumbleCtx [name] makes a tumble context; -q -localTumble / -e -localTumble <int> on one; -ex.
bool tumbleCtxCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("lt", "localTumble", {ArgType::Int}).flag("ex", "exists");
    syn.queryable = true;
    syn.editable = true;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    const std::string name = a.objects.empty() ? std::string() : a.objects[0].asString();
    ContextRecord* rec = name.empty() ? nullptr : tools::findContext(name);
    const bool tumble = rec && rec->tumble;
    if (a.has("ex")) {
        inv.result = mel::Value(tumble ? 1 : 0);
        return true;
    }
    if (a.query || a.edit) {
        if (!tumble) return inv.fail("tumbleCtx: Object '" + name + "' not found.");
        if (a.query) {
            if (!a.has("lt")) return inv.fail("tumbleCtx: name the flag to query.");
            inv.result = mel::Value(rec->localTumble);
        } else if (a.has("lt")) {
            rec->localTumble = int(a.arg("lt").asInt());
        }
        return true;
    }
    std::string made = name;
    if (made.empty())
        for (int i = 1; tools::findContext(made = "tumbleContext" + std::to_string(i)); ++i) {
        }
    ContextRecord* fresh = addTumbleContext(made);
    if (!fresh) return inv.fail("Object's name '" + made + "' is not unique.");
    if (a.has("lt")) fresh->localTumble = int(a.arg("lt").asInt());
    inv.result = mel::Value(made);
    return true;
}

// --- paneLayout --------------------------------------------------------------------------------------------

// paneLayout -q -pane1 viewPanes: the panel in the first pane of the view layout. The layout shows one
// pane, holding the focused model panel.
bool paneLayoutCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("p1", "pane1").flag("ex", "exists").flag("cn", "configuration");
    syn.queryable = true;
    syn.editable = true;
    syn.minObjects = syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    const std::string layout = a.objects[0].asString();
    const bool known = layout == "viewPanes";
    if (a.has("ex")) {
        inv.result = mel::Value(known ? 1 : 0);
        return true;
    }
    if (!known) return inv.fail("paneLayout: Object '" + layout + "' not found.");
    if (!a.query) return inv.fail("paneLayout: the view layout's panes cannot be changed here.");
    if (a.has("p1"))
        inv.result = mel::Value(tools::firstPanePanel());
    else if (a.has("cn"))
        inv.result = mel::Value("single");
    else
        return inv.fail("paneLayout: name the flag to query.");
    return true;
}

// --- isolateSelect -----------------------------------------------------------------------------------------

// isolateSelect -state <bool> <panel> | -q -state <panel>; -addDagObject <node> <panel>;
// -removeDagObject <node> <panel>; -addSelected <panel>; -q -viewObjects <panel> (the member names).
bool isolateSelectCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("s", "state", {ArgType::Bool})
        .flag("ado", "addDagObject", {ArgType::String})
        .flag("rdo", "removeDagObject", {ArgType::String})
        .flag("as", "addSelected")
        .flag("vo", "viewObjects")
        .flag("u", "update");
    syn.queryable = true;
    syn.editable = true;
    syn.minObjects = syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    const std::string panel = a.objects[0].asString();
    if (!view::viewByPanel(panel)) return inv.fail("isolateSelect: '" + panel + "' is not a model panel.");
    Isolate& iso = modes().isolate[panel];
    if (a.query) {
        if (a.has("s"))
            inv.result = mel::Value(iso.on ? 1 : 0);
        else if (a.has("vo"))
            inv.result = mel::Value(tools::isolatedObjects(panel));
        else
            return inv.fail("isolateSelect: name the flag to query.");
        return true;
    }
    Scene& scene = Scene::current();
    auto contains = [&](const NodePtr& n) {
        for (const auto& w : iso.members)
            if (w.lock() == n) return true;
        return false;
    };
    auto add = [&](const NodePtr& n) {
        if (!contains(n)) iso.members.push_back(n);
    };
    if (a.has("ado")) {
        const std::string name = a.arg("ado").asString();
        NodePtr n = scene.find(name);
        if (!n || n->isWorld()) return inv.fail("isolateSelect: No object matches name: " + name);
        add(n);
    }
    if (a.has("rdo")) {
        const std::string name = a.arg("rdo").asString();
        NodePtr n = scene.find(name);
        if (!n || n->isWorld()) return inv.fail("isolateSelect: No object matches name: " + name);
        iso.members.erase(std::remove_if(iso.members.begin(), iso.members.end(),
                                         [&](const std::weak_ptr<Node>& w) { return w.lock() == n; }),
                          iso.members.end());
    }
    if (a.has("as"))
        for (const SelectionItem& item : scene.activeSelection().items())
            if (item.node) add(item.node);
    if (a.has("s")) iso.on = a.arg("s").asBool();
    return true;
}

}  // namespace

void registerSelectModeCommands(mel::CommandRegistry& registry) {
    registry.add({"selectMode", selectModeCmd, nullptr});
    registry.add({"selectType", selectTypeCmd, nullptr});
    registry.add({"doMenuComponentSelection", doMenuComponentSelectionCmd, nullptr});
    registry.add({"tumbleCtx", tumbleCtxCmd, nullptr});
    registry.add({"paneLayout", paneLayoutCmd, nullptr});
    registry.add({"isolateSelect", isolateSelectCmd, nullptr});
}

}  // namespace kxh
