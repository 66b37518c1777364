#include "cmds/ops/ComponentTargets.h"

#include <algorithm>

#include "cmds/scene/SceneCommandUtil.h"
#include "mesh/MeshValidate.h"

namespace kxh::opscmd {

using scenecmd::scene;

bool groupByMesh(const std::string& command, const std::vector<SelectionItem>& items, bool strict,
                 std::vector<ComponentTarget>& out, std::string& error) {
    for (const SelectionItem& item : items) {
        if (!item.node || !item.node->alive()) continue;
        Node* shape = scenecmd::meshShapeOf(*item.node);
        if (!shape) {
            if (!strict) continue;
            error = command + ": " + item.node->name() + " is not a polygon mesh.";
            return false;
        }
        auto it =
            std::find_if(out.begin(), out.end(), [&](const ComponentTarget& t) { return t.shape == shape; });
        if (it == out.end()) {
            ComponentTarget t;
            t.shape = shape;
            t.before = scene().shapeMesh(*shape);
            if (!t.before) continue;
            out.push_back(std::move(t));
            it = out.end() - 1;
        }
        switch (item.kind) {
            case ComponentKind::None:
                it->whole = true;
                break;
            case ComponentKind::Vertex:
                it->vertices.insert(it->vertices.end(), item.ids.begin(), item.ids.end());
                break;
            case ComponentKind::Edge:
                it->edges.insert(it->edges.end(), item.ids.begin(), item.ids.end());
                break;
            case ComponentKind::Face:
                it->faces.insert(it->faces.end(), item.ids.begin(), item.ids.end());
                break;
            case ComponentKind::Uv:
                break;
        }
    }
    for (ComponentTarget& t : out)
        for (auto* ids : {&t.vertices, &t.edges, &t.faces}) *ids = idsNormalize(std::move(*ids));
    return true;
}

bool gatherTargets(const std::string& command, const std::vector<mel::Value>& objects,
                   std::vector<ComponentTarget>& out, std::string& error) {
    std::vector<SelectionItem> items;
    if (!objects.empty()) {
        std::vector<std::string> names;
        for (const auto& v : objects) names.push_back(v.asString());
        if (!scenecmd::resolveItems(names, items, error)) return false;
    } else {
        items = scene().activeSelection().items();
    }
    return groupByMesh(command, items, !objects.empty(), out, error);
}

bool writeTargets(const std::vector<ComponentTarget>& targets, std::string& error) {
    for (const ComponentTarget& t : targets)
        if (t.after && !scene().setShapeMesh(*t.shape, t.after, &error)) return false;
    SelectionList sel;
    for (const SelectionItem& item : scene().activeSelection().items()) {
        const bool edited = std::any_of(targets.begin(), targets.end(), [&](const ComponentTarget& t) {
            return t.after && t.shape == item.node.get();
        });
        if (!(edited && item.hasComponents() && item.kind != ComponentKind::Uv)) sel.add(item);
    }
    if (!(sel == scene().activeSelection())) scene().setActiveSelection(sel);
    return true;
}

// Puts `node` between the shape and what fed it: the node's input takes the shape's upstream plug when
// the shape has history and no tweaks or edits of its own, else (after folding those in) a copy of the
// shape's mesh; the node's output feeds the shape.
bool insertModifier(Node& shape, Node& node, std::string& error) {
    Scene& s = scene();
    const Plug inMesh = shape.findPlug(attr::kInMesh);
    const Plug input = node.findPlug(attr::kInputPolymesh);
    const bool tweaked = shape.findPlug(attr::kPnts).numElements() > 0 ||
                         shape.storedValue(shape.findPlug(attr::kMeshEdits)).asMesh() != nullptr;
    if (s.hasHistory(shape) && !tweaked) {
        for (const Connection& c : s.connectionsAt(inMesh, true, false)) {
            if (!s.disconnect(c.src, c.dst, &error) || !s.connect(c.src, input, &error)) return false;
        }
    } else {
        if (!s.bakeHistory(shape, &error)) return false;
        if (!s.setValue(input, Value::mesh(s.shapeMesh(shape)), &error)) return false;
    }
    return s.connect(node.findPlug(attr::kOutput), inMesh, &error);
}

bool checkResult(const std::string& command, const Mesh& mesh, std::string& error) {
    std::vector<std::string> faults = validateMesh(mesh);
    if (faults.empty()) return true;
    error = command + ": The result would not be a valid manifold mesh (" + faults[0] + ").";
    return false;
}

}  // namespace kxh::opscmd
