// delete, rename, createNode, parent, duplicate, listRelatives, listHistory, listConnections.
#include <algorithm>
#include <cctype>
#include <set>

#include "cmds/ops/OpsCommands.h"
#include "cmds/scene/SceneCommandUtil.h"
#include "cmds/scene/SceneCommands.h"

namespace kxh::scenecmd {

using mel::ArgType;

namespace {

std::vector<std::string> namesOf(const std::vector<NodePtr>& nodes, bool longNames) {
    std::vector<std::string> out;
    for (auto& n : nodes) out.push_back(nodeName(*n, longNames));
    return out;
}

// --- delete ----------------------------------------------------------------------------------------------

bool deleteCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("ch", "constructionHistory");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;
    if (!a.has("ch")) {
        // Components (named or selected) are deleted from their meshes; whole objects go as nodes.
        std::vector<SelectionItem> items;
        if (a.objects.empty()) {
            items = scene().activeSelection().items();
        } else {
            std::vector<std::string> names;
            for (const auto& v : a.objects) names.push_back(v.asString());
            if (!resolveItems(names, items, error)) return inv.fail(error);
        }
        const bool components = std::any_of(items.begin(), items.end(), [](const SelectionItem& i) {
            return i.kind == ComponentKind::Vertex || i.kind == ComponentKind::Edge ||
                   i.kind == ComponentKind::Face;
        });
        if (components) {
            std::vector<NodePtr> objects;
            for (const SelectionItem& i : items)
                if (!i.hasComponents() && i.node->alive()) objects.push_back(i.node);
            return mel::undoable(inv, scene(), [&] {
                if (!opscmd::deleteComponents(items, error)) return inv.fail(error);
                if (!objects.empty() && !scene().deleteNodes(objects, &error)) return inv.fail(error);
                return true;
            });
        }
    }
    std::vector<NodePtr> nodes;
    if (!objectsOrSelection(a.objects, nodes, error, false)) return inv.fail(error);
    if (nodes.empty()) return inv.fail("Not enough objects or values.");
    if (a.has("ch")) {
        return mel::undoable(inv, scene(), [&] {
            for (auto& n : nodes) {
                if (!n->alive()) continue;
                std::vector<Node*> shapes;
                if (n->typeName() == "mesh")
                    shapes.push_back(n.get());
                else if (n->isTransform())
                    for (Node* c : n->children())
                        if (c->typeName() == "mesh" && !c->isIntermediate()) shapes.push_back(c);
                for (Node* s : shapes)
                    if (s->alive() && !scene().bakeHistory(*s, &error)) return inv.fail(error);
            }
            return true;
        });
    }
    return mel::undoable(inv, scene(), [&] {
        if (!scene().deleteNodes(nodes, &error)) return inv.fail(error);
        return true;
    });
}

// --- rename ----------------------------------------------------------------------------------------------

bool renameCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("is", "ignoreShape");
    syn.minObjects = 1;
    syn.maxObjects = 2;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    NodePtr node;
    std::string error;
    std::string newName;
    if (a.objects.size() == 2) {
        node = findNode(a.objects[0].asString(), error);
        if (!node) return inv.fail(error);
        newName = a.objects[1].asString();
    } else {
        const auto& sel = scene().activeSelection();
        if (sel.empty()) return inv.fail("No object specified and none selected.");
        node = sel[0].node;
        newName = a.objects[0].asString();
    }
    // A path names the node by its last element.
    if (size_t bar = newName.rfind('|'); bar != std::string::npos) newName = newName.substr(bar + 1);
    std::string given;
    bool ok = mel::undoable(inv, scene(), [&] {
        given = scene().renameNode(*node, newName, &error);
        if (given.empty()) return inv.fail(error);
        // Renaming a transform renames its shapes along ("pCube1" -> "box" gives "boxShape").
        if (node->isTransform() && !a.has("is")) {
            std::string base = given;
            while (!base.empty() && std::isdigit(static_cast<unsigned char>(base.back()))) base.pop_back();
            std::string digits = given.substr(base.size());
            for (Node* c : node->children()) {
                if (!c->isShape() || c->isIntermediate()) continue;
                const std::string& cn = c->name();
                if (cn.find("Shape") == std::string::npos) continue;
                std::string shapeName = base + "Shape" + digits;
                if (cn != shapeName && scene().renameNode(*c, shapeName, &error).empty())
                    return inv.fail(error);
            }
        }
        return true;
    });
    if (ok) inv.result = mel::Value(given);
    return ok;
}

// --- createNode --------------------------------------------------------------------------------------------

bool createNodeCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("n", "name", {ArgType::String}).flag("p", "parent", {ArgType::String}).flag("ss", "skipSelect");
    syn.minObjects = 1;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;
    Node* parent = nullptr;
    if (a.has("p")) {
        NodePtr p = findNode(a.arg("p").asString(), error);
        if (!p) return inv.fail(error);
        parent = p.get();
    }
    NodePtr node;
    bool ok = mel::undoable(inv, scene(), [&] {
        node = scene().createNode(a.objects[0].asString(), a.arg("n", mel::Value("")).asString(), parent,
                                  &error);
        if (!node) return inv.fail(error);
        if (!a.has("ss")) selectOnly(node);
        return true;
    });
    if (ok) inv.result = mel::Value(node->name());
    return ok;
}

// --- parent ------------------------------------------------------------------------------------------------

bool parentCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("w", "world")
        .flag("r", "relative")
        .flag("a", "absolute")
        .flag("add", "addObject")
        .flag("s", "shape");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;
    std::vector<NodePtr> nodes;
    if (!objectsOrSelection(a.objects, nodes, error, false)) return inv.fail(error);
    NodePtr newParent;
    if (!a.has("w")) {
        if (nodes.size() < 2) return inv.fail("Not enough objects or values.");
        newParent = nodes.back();
        nodes.pop_back();
    }
    if (nodes.empty()) return inv.fail("Not enough objects or values.");
    const bool relative = a.has("r");
    std::vector<std::string> result;
    bool ok = mel::undoable(inv, scene(), [&] {
        for (auto& child : nodes) {
            if (!child->isDag()) return inv.fail("Only DAG objects can be parented: " + child->name());
            Node* target = newParent ? newParent.get() : nullptr;
            Node* current = child->parent();
            bool same = target ? current == target : (!current || current->isWorld());
            if (same) {
                // The host only warns about this; the child stays where it is.
                result.push_back(child->name());
                continue;
            }
            Matrix44 world = child->inclusiveMatrix();
            if (!scene().reparentNode(*child, target, &error)) return inv.fail(error);
            if (!relative && child->isTransform()) {
                Matrix44 parentWorld = target ? target->inclusiveMatrix() : Matrix44();
                if (!setLocalMatrix(*child, world * parentWorld.inverse(), error)) return inv.fail(error);
            }
            result.push_back(child->name());
        }
        return true;
    });
    if (ok) inv.result = mel::Value(result);
    return ok;
}

// --- duplicate -------------------------------------------------------------------------------------------

// The name a copy gets: the source's name with its trailing number raised to the next free one.
std::string copyName(const std::string& source) {
    std::string base = source;
    while (!base.empty() && std::isdigit(static_cast<unsigned char>(base.back()))) base.pop_back();
    if (base.empty()) base = source;
    return scene().uniqueName(base + "#");
}

bool copyStoredValues(Node& from, Node& to, std::string& error) {
    static const char* kAttrs[] = {"translate",
                                   "rotate",
                                   "scale",
                                   "rotateOrder",
                                   "rotatePivot",
                                   "scalePivot",
                                   "rotatePivotTranslate",
                                   "scalePivotTranslate",
                                   "visibility",
                                   "template"};
    for (const char* name : kAttrs) {
        Plug src = from.findPlug(name), dst = to.findPlug(name);
        if (src.isNull() || dst.isNull()) continue;
        Value v = scene().evaluate(src);
        if (v != dst.attribute()->defaultValue() && !scene().setValue(dst, v, &error)) return false;
    }
    return true;
}

NodePtr duplicateNode(Node& src, Node* parent, const std::string& name, std::string& error) {
    Scene& s = scene();
    if (src.typeName() == "mesh") {
        MeshPtr mesh = s.shapeMesh(src);
        NodePtr shape = s.createNode("mesh", name.empty() ? copyName(src.name()) : name, parent, &error);
        if (!shape) return nullptr;
        if (mesh && !s.setShapeMesh(*shape, std::make_shared<Mesh>(*mesh), &error)) return nullptr;
        return shape;
    }
    NodePtr copy = s.createNode(src.typeName(), name.empty() ? copyName(src.name()) : name, parent, &error);
    if (!copy) return nullptr;
    if (!copyStoredValues(src, *copy, error)) return nullptr;
    std::vector<Node*> children = src.children();
    for (Node* c : children) {
        if (c->isIntermediate()) continue;  // history is not copied
        std::string childName;
        if (c->isShape() && c->name().find("Shape") != std::string::npos) {
            std::string base = copy->name();
            std::string digits;
            while (!base.empty() && std::isdigit(static_cast<unsigned char>(base.back()))) {
                digits.insert(digits.begin(), base.back());
                base.pop_back();
            }
            childName = s.uniqueName(base + "Shape" + digits);
        }
        if (!duplicateNode(*c, copy.get(), childName, error)) return nullptr;
    }
    return copy;
}

bool duplicateCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("n", "name", {ArgType::String}).flag("rr", "returnRootsOnly").flag("po", "parentOnly");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::vector<NodePtr> nodes;
    std::string error;
    if (!objectsOrSelection(a.objects, nodes, error)) return inv.fail(error);
    std::vector<NodePtr> copies;
    bool ok = mel::undoable(inv, scene(), [&] {
        for (size_t i = 0; i < nodes.size(); ++i) {
            Node& src = *nodes[i];
            if (!src.isDag()) return inv.fail("Only DAG objects can be duplicated: " + src.name());
            std::string name = i == 0 ? a.arg("n", mel::Value("")).asString() : "";
            Node* parent = src.parent() && !src.parent()->isWorld() ? src.parent() : nullptr;
            if (src.isShape() && !parent) return inv.fail("Cannot duplicate " + src.name());
            NodePtr copy = duplicateNode(src, parent, name, error);
            if (!copy) return inv.fail(error);
            copies.push_back(copy);
        }
        SelectionList sel;
        for (auto& c : copies) sel.add(c);
        scene().setActiveSelection(sel);
        return true;
    });
    if (ok) inv.result = mel::Value(namesOf(copies, false));
    return ok;
}

// --- listRelatives --------------------------------------------------------------------------------------

void descendants(Node& n, std::vector<NodePtr>& out) {
    for (Node* c : n.children()) {
        descendants(*c, out);
        out.push_back(c->ptr());
    }
}

bool listRelativesCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("c", "children")
        .flag("p", "parent")
        .flag("ap", "allParents")
        .flag("s", "shapes")
        .flag("ad", "allDescendents")
        .flag("f", "fullPath")
        .flag("pa", "path")
        .flag("typ", "type", {ArgType::String}, true)
        .flag("ni", "noIntermediate");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::vector<NodePtr> nodes;
    std::string error;
    if (!objectsOrSelection(a.objects, nodes, error, false)) return inv.fail(error);
    std::vector<std::string> types;
    for (int i = 0; i < a.count("typ"); ++i) types.push_back(a.get("typ", i)->args.at(0).asString());
    std::vector<NodePtr> found;
    for (auto& n : nodes) {
        if (a.has("p") || a.has("ap")) {
            Node* p = n->parent();
            if (p && !p->isWorld()) found.push_back(p->ptr());
        } else if (a.has("ad")) {
            descendants(*n, found);
        } else {
            for (Node* c : n->children()) found.push_back(c->ptr());
        }
    }
    std::vector<std::string> out;
    std::set<Node*> seen;
    for (auto& n : found) {
        if (!seen.insert(n.get()).second) continue;
        if (a.has("s") && !n->isShape()) continue;
        if (a.has("ni") && n->isIntermediate()) continue;
        if (!types.empty()) {
            bool ok = false;
            for (auto& t : types) ok = ok || n->type().isA(t);
            if (!ok) continue;
        }
        out.push_back(nodeName(*n, a.has("f")));
    }
    inv.result = mel::Value(out);
    return true;
}

// --- listHistory -----------------------------------------------------------------------------------------

bool listHistoryCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("pdo", "pruneDagObjects", {ArgType::Bool}).flag("lv", "levels", {ArgType::Int});
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::vector<NodePtr> nodes;
    std::string error;
    if (!objectsOrSelection(a.objects, nodes, error)) return inv.fail(error);
    const bool prune = a.arg("pdo", mel::Value(false)).asBool();
    std::vector<std::string> out;
    std::set<Node*> seen;
    for (auto& n : nodes) {
        // A transform's history is its shape's.
        Node* start = n.get();
        if (start->isTransform())
            if (Node* shape = start->shape()) start = shape;
        for (auto& h : scene().history(*start, prune))
            if (seen.insert(h.get()).second) out.push_back(h->name());
    }
    inv.result = mel::Value(out);
    return true;
}

// --- listConnections ---------------------------------------------------------------------------------------

bool listConnectionsCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("s", "source", {ArgType::Bool})
        .flag("d", "destination", {ArgType::Bool})
        .flag("p", "plugs", {ArgType::Bool})
        .flag("c", "connections", {ArgType::Bool})
        .flag("sh", "shapes", {ArgType::Bool})
        .flag("t", "type", {ArgType::String});
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    const bool wantSrc = a.arg("s", mel::Value(true)).asBool();
    const bool wantDst = a.arg("d", mel::Value(true)).asBool();
    const bool plugs = a.arg("p", mel::Value(false)).asBool();
    const bool pairs = a.arg("c", mel::Value(false)).asBool();
    const std::string type = a.arg("t", mel::Value("")).asString();
    std::vector<std::string> out;
    std::string error;
    auto emit = [&](const Plug& mine, const Plug& other) {
        if (!type.empty() && !other.node()->type().isA(type)) return;
        if (pairs) out.push_back(mine.name());
        out.push_back(plugs ? other.name() : other.node()->name());
    };
    std::vector<std::string> names;
    for (auto& v : a.objects) names.push_back(v.asString());
    if (names.empty())
        for (auto& item : scene().activeSelection().items())
            if (item.node && item.node->alive()) names.push_back(item.node->name());
    for (const auto& name : names) {
        NamePath np = splitName(name);
        std::vector<Connection> conns;
        NodePtr node;
        if (np.rest.empty()) {
            node = findNode(name, error);
            if (!node) return inv.fail(error);
            conns = scene().connections(*node);
        } else {
            Plug p;
            if (!resolvePlug(name, p, error)) return inv.fail(error);
            node = p.nodePtr();
            conns = scene().connectionsAt(p, true, true, true);
        }
        for (const auto& c : conns) {
            if (c.dst.node() == node.get() && wantSrc)
                emit(c.dst, c.src);
            else if (c.src.node() == node.get() && wantDst)
                emit(c.src, c.dst);
        }
    }
    inv.result = mel::Value(out);
    return true;
}

}  // namespace

void registerNodeCommands(mel::CommandRegistry& registry) {
    registry.add({"delete", deleteCmd, nullptr});
    // The Delete runtime command deletes what is selected.
    registry.add({"Delete",
                  [](mel::Invocation& inv) {
                      return inv.args.empty() ? deleteCmd(inv)
                                              : inv.fail("Delete: The command takes no arguments.");
                  },
                  nullptr});
    registry.add({"rename", renameCmd, nullptr});
    registry.add({"createNode", createNodeCmd, nullptr});
    registry.add({"parent", parentCmd, nullptr});
    registry.add({"duplicate", duplicateCmd, nullptr});
    registry.add({"listRelatives", listRelativesCmd, nullptr});
    registry.add({"listHistory", listHistoryCmd, nullptr});
    registry.add({"listConnections", listConnectionsCmd, nullptr});
}

}  // namespace kxh::scenecmd
