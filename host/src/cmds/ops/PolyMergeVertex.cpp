// polyMergeVertex: welds the vertices of each named or selected mesh that lie within a distance of each
// other. Vertex components weld among themselves; edges and faces stand for their vertices; a whole
// object welds all its vertices.
#include <algorithm>
#include <map>

#include "cmds/ops/OpsCommands.h"
#include "cmds/scene/SceneCommandUtil.h"
#include "graph/core/GraphMath.h"
#include "mesh/MeshTopology.h"
#include "mesh/ops/MergeVertices.h"

namespace kxh::opscmd {

using mel::ArgType;
using scenecmd::scene;

namespace {

const mel::Syntax& mergeVertexSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("d", "distance", {ArgType::Float})
            .flag("am", "alwaysMergeTwoVertices", {ArgType::Bool})
            .flag("ch", "constructionHistory", {ArgType::Bool})
            .flag("tx", "texture", {ArgType::Bool})
            .flag("ws", "worldSpace", {ArgType::Bool})
            .flag("n", "name", {ArgType::String});
        return s;
    }();
    return syntax;
}

// What one mesh is asked to weld.
struct Target {
    Node* shape = nullptr;
    bool whole = false;         // every vertex
    std::vector<int> vertices;  // else these
    MeshPtr before, after;
    ops::MergeResult result;
};

// Adds the vertices an item stands for to its mesh's target.
void addItem(Target& t, const SelectionItem& item, const Mesh& mesh) {
    switch (item.kind) {
        case ComponentKind::None:
            t.whole = true;
            break;
        case ComponentKind::Vertex:
            t.vertices.insert(t.vertices.end(), item.ids.begin(), item.ids.end());
            break;
        case ComponentKind::Edge: {
            const MeshTopology& topo = mesh.topology();
            for (int e : item.ids)
                if (e >= 0 && e < topo.numEdges()) {
                    t.vertices.push_back(topo.edgeVertex(e, 0));
                    t.vertices.push_back(topo.edgeVertex(e, 1));
                }
            break;
        }
        case ComponentKind::Face:
            for (int f : item.ids)
                if (f >= 0 && f < mesh.numFaces())
                    t.vertices.insert(t.vertices.end(), mesh.faceVerts.begin() + mesh.faceOffsets[f],
                                      mesh.faceVerts.begin() + mesh.faceOffsets[f + 1]);
            break;
        case ComponentKind::Uv:
            break;
    }
}

// The selection after the weld: components of an edited mesh follow their elements (a merged vertex
// becomes its survivor, an edge its welded edge, a face its first piece); elements that vanished leave it.
SelectionList remapSelection(const SelectionList& active, const std::vector<Target>& targets) {
    SelectionList out;
    for (const SelectionItem& item : active.items()) {
        const Target* t = nullptr;
        for (const Target& c : targets)
            if (c.after && c.shape == item.node.get()) t = &c;
        if (!t || !item.hasComponents() || item.kind == ComponentKind::Uv) {
            out.add(item);
            continue;
        }
        std::vector<int> ids;
        const ops::MergeResult& r = t->result;
        for (int id : item.ids) {
            if (item.kind == ComponentKind::Vertex && id >= 0 && id < int(r.vertexMap.size())) {
                ids.push_back(r.vertexMap[id]);
            } else if (item.kind == ComponentKind::Face && id >= 0 && id < int(r.faceMap.size())) {
                if (r.faceMap[id] >= 0) ids.push_back(r.faceMap[id]);
            } else if (item.kind == ComponentKind::Edge && id >= 0 && id < t->before->numEdges()) {
                const MeshTopology& old = t->before->topology();
                const int a = r.vertexMap[old.edgeVertex(id, 0)], b = r.vertexMap[old.edgeVertex(id, 1)];
                const int e = a == b ? -1 : t->after->topology().findEdge(a, b);
                if (e >= 0) ids.push_back(e);
            }
        }
        ids = idsNormalize(std::move(ids));
        if (!ids.empty()) out.add(item.node, item.kind, ids);
    }
    return out;
}

bool polyMergeVertexCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, mergeVertexSyntax(), a)) return false;
    ops::MergeOptions options;
    options.distance = a.arg("d", mel::Value(0.0)).asFloat() * scenecmd::uiToCm();
    options.alwaysMergeTwo = a.arg("am", mel::Value(false)).asBool();
    options.position = ops::MergePosition::Mean;
    const bool worldSpace = a.arg("ws", mel::Value(true)).asBool();
    if (options.distance < 0) return inv.fail("polyMergeVertex: The distance must not be negative.");
    // -ch and -tx are accepted: the weld is written into the shape's geometry directly, and UVs stay on
    // the corners that remain.

    // Items named on the command line, else the active selection.
    std::vector<SelectionItem> items;
    std::string error;
    if (!a.objects.empty()) {
        std::vector<std::string> names;
        for (const auto& v : a.objects) names.push_back(v.asString());
        if (!scenecmd::resolveItems(names, items, error)) return inv.fail(error);
    } else {
        for (const SelectionItem& item : scene().activeSelection().items())
            if (item.node && item.node->alive()) items.push_back(item);
    }
    std::vector<Target> targets;
    for (const SelectionItem& item : items) {
        Node* shape = scenecmd::meshShapeOf(*item.node);
        if (!shape) {
            if (!a.objects.empty())
                return inv.fail("polyMergeVertex: " + item.node->name() + " is not a polygon mesh.");
            continue;
        }
        auto it =
            std::find_if(targets.begin(), targets.end(), [&](const Target& t) { return t.shape == shape; });
        if (it == targets.end()) {
            Target t;
            t.shape = shape;
            t.before = scene().shapeMesh(*shape);
            if (!t.before) continue;
            targets.push_back(std::move(t));
            it = targets.end() - 1;
        }
        addItem(*it, item, *it->before);
    }
    if (targets.empty()) return inv.fail("polyMergeVertex: No polygon object given or selected.");

    // Weld each mesh on its own copy; only meshes that change are written.
    bool anyChange = false;
    for (Target& t : targets) {
        auto mesh = std::make_shared<Mesh>(*t.before);
        std::vector<V3> world;
        if (worldSpace) {
            const Matrix44 m = t.shape->inclusiveMatrix();
            if (!m.isIdentity()) {
                world.reserve(mesh->points.size());
                for (const V3& p : mesh->points) world.push_back(m.transformPoint(p));
                options.measure = &world;
            }
        }
        t.result =
            t.whole ? ops::mergeByDistance(*mesh, options) : ops::mergeByDistance(*mesh, t.vertices, options);
        options.measure = nullptr;
        if (!t.result.changed()) continue;
        t.after = mesh;
        anyChange = true;
    }
    inv.result = mel::Value(targets.front().shape->name());
    if (!anyChange) return true;

    return mel::undoable(inv, scene(), [&] {
        std::string err;
        for (Target& t : targets)
            if (t.after && !scene().setShapeMesh(*t.shape, t.after, &err)) return inv.fail(err);
        SelectionList sel = remapSelection(scene().activeSelection(), targets);
        if (!(sel == scene().activeSelection())) scene().setActiveSelection(sel);
        return true;
    });
}

}  // namespace

void registerMergeVertex(mel::CommandRegistry& registry) {
    registry.add({"polyMergeVertex", polyMergeVertexCmd, std::make_shared<mel::Syntax>(mergeVertexSyntax())});
}

}  // namespace kxh::opscmd
