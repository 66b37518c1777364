// select, ls, objExists, nodeType, objectType, hilite.
#include <set>

#include "cmds/scene/SceneCommandUtil.h"
#include "cmds/scene/SceneCommands.h"

namespace kxh::scenecmd {

using mel::ArgType;

namespace {

// --- select ----------------------------------------------------------------------------------------------

mel::Syntax selectSyntax() {
    mel::Syntax s;
    s.flag("r", "replace")
        .flag("add", "add")
        .flag("af", "addFirst")
        .flag("d", "deselect")
        .flag("tgl", "toggle")
        .flag("cl", "clear")
        .flag("ne", "noExpand")
        .flag("hi", "hierarchy")
        .flag("all", "all")
        .flag("ado", "allDagObjects");
    return s;
}

// The DAG nodes below `node`, depth first, each before its children.
void dagWalk(Node& node, std::vector<NodePtr>& out) {
    for (Node* c : node.children()) {
        out.push_back(c->ptr());
        dagWalk(*c, out);
    }
}

// The same walk with the node itself first.
void dagBelow(Node& node, std::vector<NodePtr>& out) {
    out.push_back(node.ptr());
    dagWalk(node, out);
}

bool selectCmd(mel::Invocation& inv) {
    static const mel::Syntax syntax = selectSyntax();  // parsed flags point into it
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syntax, a)) return false;
    std::vector<std::string> names;
    for (const auto& v : a.objects) names.push_back(v.asString());

    SelectionList items;
    if (a.has("all") || a.has("ado")) {
        for (Node* c : scene().world()->children()) items.add(c->ptr());
    } else {
        std::vector<SelectionItem> resolved;
        std::string error;
        if (!resolveItems(names, resolved, error)) return inv.fail(error);
        for (auto& item : resolved) {
            // A set stands for its members unless -noExpand asks for the set itself.
            if (!item.hasComponents() && item.node->typeName() == "objectSet" && !a.has("ne")) {
                SelectionList members = setMembers(*item.node);
                for (const auto& m : members.items()) items.add(m);
                continue;
            }
            if (!item.hasComponents() && a.has("hi") && item.node->isDag()) {
                std::vector<NodePtr> below;
                dagBelow(*item.node, below);
                for (auto& n : below) items.add(n);
                continue;
            }
            items.add(item);
        }
    }

    return mel::undoable(inv, scene(), [&] {
        Scene& s = scene();
        if (a.has("cl")) {
            s.setActiveSelection(SelectionList());
            return true;
        }
        if (a.has("d")) {
            // "select -d" with nothing named clears the selection.
            if (names.empty() && items.empty())
                s.setActiveSelection(SelectionList());
            else
                s.setActiveSelection(items, ListAdjust::Remove);
        } else if (a.has("tgl")) {
            s.setActiveSelection(items, ListAdjust::Toggle);
        } else if (a.has("add")) {
            s.setActiveSelection(items, ListAdjust::Add);
        } else if (a.has("af")) {
            s.setActiveSelection(items, ListAdjust::AddToHead);
        } else {
            s.setActiveSelection(items, ListAdjust::Replace);
        }
        return true;
    });
}

// --- ls ------------------------------------------------------------------------------------------------

mel::Syntax lsSyntax() {
    mel::Syntax s;
    s.flag("sl", "selection")
        .flag("hl", "hilite")
        .flag("typ", "type", {ArgType::String}, true)
        .flag("et", "exactType", {ArgType::String}, true)
        .flag("l", "long")
        .flag("sn", "shortNames")
        .flag("dag", "dagObjects")
        .flag("fl", "flatten")
        .flag("tr", "transforms")
        .flag("s", "shapes")
        .flag("ni", "noIntermediate")
        .flag("io", "intermediateObjects")
        .flag("o", "objectsOnly")
        .flag("g", "geometry")
        .flag("as", "assemblies")
        .flag("v", "visible");
    return s;
}

bool lsCmd(mel::Invocation& inv) {
    static const mel::Syntax syntax = lsSyntax();  // parsed flags point into it
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syntax, a)) return false;
    Scene& s = scene();
    const bool longNames = a.has("l");
    const bool flatten = a.has("fl");

    std::vector<SelectionItem> items;
    std::vector<std::string> patterns;
    for (const auto& v : a.objects) patterns.push_back(v.asString());

    if (a.has("sl") || a.has("hl")) {
        const SelectionList& list = a.has("sl") ? s.activeSelection() : s.hiliteList();
        for (const auto& item : list.items())
            if (item.node && item.node->alive()) items.push_back(item);
        if (!patterns.empty()) {
            std::vector<SelectionItem> named;
            std::string error;
            resolveItems(patterns, named, error);  // names matching nothing just filter everything out
            std::set<Node*> keep;
            for (auto& n : named) keep.insert(n.node.get());
            std::vector<SelectionItem> kept;
            for (auto& item : items)
                if (keep.count(item.node.get())) kept.push_back(item);
            items = std::move(kept);
        }
        if (a.has("dag")) {
            std::vector<SelectionItem> expanded;
            for (auto& item : items) {
                expanded.push_back(item);
                if (item.hasComponents() || !item.node->isDag()) continue;
                std::vector<NodePtr> below;
                dagWalk(*item.node, below);
                for (auto& n : below) expanded.push_back(SelectionItem{n, ComponentKind::None, {}});
            }
            items = std::move(expanded);
        }
    } else if (!patterns.empty()) {
        for (const auto& p : patterns) {
            std::vector<SelectionItem> named;
            std::string error;
            if (resolveItems({p}, named, error)) items.insert(items.end(), named.begin(), named.end());
        }
    } else if (a.has("dag") || a.has("as")) {
        std::vector<NodePtr> all;
        if (a.has("as")) {
            for (Node* c : s.world()->children()) all.push_back(c->ptr());
        } else {
            dagWalk(*s.world(), all);
        }
        for (auto& n : all) items.push_back(SelectionItem{n, ComponentKind::None, {}});
    } else {
        for (auto& n : s.nodes()) items.push_back(SelectionItem{n, ComponentKind::None, {}});
    }

    std::vector<std::string> types;
    for (int i = 0; i < a.count("typ"); ++i) types.push_back(a.get("typ", i)->args.at(0).asString());
    std::vector<std::string> exactTypes;
    for (int i = 0; i < a.count("et"); ++i) exactTypes.push_back(a.get("et", i)->args.at(0).asString());

    std::vector<std::string> out;
    std::set<std::string> seen;
    for (const auto& item : items) {
        Node& n = *item.node;
        if (!types.empty() || !exactTypes.empty()) {
            bool ok = false;
            for (const auto& t : types) ok = ok || n.type().isA(t);
            for (const auto& t : exactTypes) ok = ok || n.typeName() == t;
            if (!ok) continue;
        }
        if (a.has("tr") && !n.isTransform()) continue;
        if (a.has("s") && !n.isShape()) continue;
        if (a.has("g") && !(n.isShape() && n.typeName() == "mesh")) continue;
        if (a.has("ni") && n.isIntermediate()) continue;
        if (a.has("io") && !n.isIntermediate()) continue;
        if (a.has("v") && n.isDag()) {
            Plug vis = n.findPlug("visibility");
            if (!vis.isNull() && !vis.asBool()) continue;
        }
        std::vector<std::string> strs;
        if (item.hasComponents() && a.has("o"))
            strs = {componentOwnerName(n, longNames)};
        else
            strs = itemStrings(item, longNames, flatten);
        for (auto& str : strs)
            if (seen.insert(str).second) out.push_back(str);
    }
    inv.result = mel::Value(out);
    return true;
}

// --- objExists, nodeType, objectType --------------------------------------------------------------------

bool objExistsCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.minObjects = 1;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string name = a.objects[0].asString();
    NamePath np = splitName(name);
    bool exists = false;
    if (np.rest.empty()) {
        exists = !findNodes(name).empty();
    } else {
        std::vector<SelectionItem> items;
        std::string error;
        ComponentRef ref;
        std::string perr;
        if (parseComponent(np.rest, ref, perr)) {
            exists = perr.empty() && resolveItems({name}, items, error);
        } else {
            Plug p;
            exists = resolvePlug(name, p, error);
        }
    }
    inv.result = mel::Value(exists ? 1 : 0);
    return true;
}

// The node a name stands for, components standing for their shape.
NodePtr nodeForTypeQuery(const std::string& name, std::string& error) {
    NamePath np = splitName(name);
    if (!np.rest.empty()) {
        std::vector<SelectionItem> items;
        if (!resolveItems({name}, items, error) || items.empty()) return nullptr;
        return items[0].node;
    }
    return findNode(name, error);
}

bool nodeTypeCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("i", "inherited").flag("api", "apiType");
    syn.minObjects = 1;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;
    NodePtr n = nodeForTypeQuery(a.objects[0].asString(), error);
    if (!n) return inv.fail(error);
    if (a.has("i")) {
        std::vector<std::string> chain;
        for (const NodeType* t = &n->type(); t; t = t->parent()) chain.insert(chain.begin(), t->name());
        inv.result = mel::Value(chain);
    } else {
        inv.result = mel::Value(n->typeName());
    }
    return true;
}

bool objectTypeCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("i", "isType", {ArgType::String}).flag("isa", "isAType", {ArgType::String});
    syn.minObjects = 1;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;
    NodePtr n = nodeForTypeQuery(a.objects[0].asString(), error);
    if (!n) return inv.fail(error);
    if (a.has("i"))
        inv.result = mel::Value(n->typeName() == a.arg("i").asString() ? 1 : 0);
    else if (a.has("isa"))
        inv.result = mel::Value(n->type().isA(a.arg("isa").asString()) ? 1 : 0);
    else
        inv.result = mel::Value(n->typeName());
    return true;
}

// hilite: the hilite list that component selection works in.
bool hiliteCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("r", "replace").flag("u", "unHilite").flag("tgl", "toggle");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::vector<NodePtr> nodes;
    std::string error;
    if (!objectsOrSelection(a.objects, nodes, error, false)) return inv.fail(error);
    SelectionList list;
    for (auto& n : nodes) {
        // Components hilite their object, a shape its transform.
        Node* obj = n.get();
        if (obj->isShape() && obj->parent() && !obj->parent()->isWorld()) obj = obj->parent();
        list.add(obj->ptr());
    }
    return mel::undoable(inv, scene(), [&] {
        ListAdjust adj = a.has("r")     ? ListAdjust::Replace
                         : a.has("u")   ? ListAdjust::Remove
                         : a.has("tgl") ? ListAdjust::Toggle
                                        : ListAdjust::Add;
        scene().setHiliteList(list, adj);
        return true;
    });
}

}  // namespace

void registerSelectionCommands(mel::CommandRegistry& registry) {
    registry.add({"select", selectCmd, std::make_shared<mel::Syntax>(selectSyntax())});
    registry.add({"ls", lsCmd, std::make_shared<mel::Syntax>(lsSyntax())});
    registry.add({"objExists", objExistsCmd, nullptr});
    registry.add({"nodeType", nodeTypeCmd, nullptr});
    registry.add({"objectType", objectTypeCmd, nullptr});
    registry.add({"hilite", hiliteCmd, nullptr});
}

}  // namespace kxh::scenecmd
