// Scene and polygon queries scripts use to look at what they are working on: exactWorldBoundingBox,
// filterExpand (selection masks) and polyInfo (vertex/edge/face adjacency).
#include <cstdio>
#include <set>

#include "cmds/scene/SceneCommandUtil.h"
#include "cmds/scene/SceneCommands.h"
#include "mesh/Mesh.h"
#include "mesh/MeshTopology.h"

namespace kxh::scenecmd {

using mel::ArgType;

namespace {

// Every non-intermediate mesh shape at or below a node.
void meshesBelow(Node& node, std::vector<Node*>& out) {
    if (node.typeName() == "mesh" && !node.isIntermediate()) out.push_back(&node);
    for (Node* c : node.children()) meshesBelow(*c, out);
}

// Vertex ids a component item touches (edges and faces through their corners).
std::set<int> touchedVertices(const SelectionItem& item, const Mesh& mesh) {
    std::set<int> ids;
    if (item.kind == ComponentKind::Vertex) ids.insert(item.ids.begin(), item.ids.end());
    if (item.kind == ComponentKind::Edge)
        for (int e : item.ids)
            if (e < mesh.topology().numEdges()) {
                ids.insert(mesh.topology().edgeVertex(e, 0));
                ids.insert(mesh.topology().edgeVertex(e, 1));
            }
    if (item.kind == ComponentKind::Face)
        for (int f : item.ids)
            if (f < mesh.numFaces())
                for (int k = mesh.faceOffsets[f]; k < mesh.faceOffsets[f + 1]; ++k)
                    ids.insert(mesh.faceVerts[k]);
    return ids;
}

// exactWorldBoundingBox [objects]: xmin ymin zmin xmax ymax zmax of the meshes under the objects (or
// of the named components), in world space and the UI's linear unit.
bool exactWorldBoundingBoxCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("ii", "ignoreInvisible", {ArgType::Bool}).flag("ce", "calculateExactly");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::vector<SelectionItem> items;
    std::string error;
    if (!itemsOrSelection(a.objects, items, error)) return inv.fail(error);
    if (items.empty()) return inv.fail("exactWorldBoundingBox: No objects specified and none selected.");
    bool any = false;
    V3 lo{0, 0, 0}, hi{0, 0, 0};
    auto grow = [&](const V3& p) {
        if (!any) {
            lo = hi = p;
            any = true;
            return;
        }
        lo = V3{std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = V3{std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    };
    for (const auto& item : items) {
        std::vector<Node*> shapes;
        meshesBelow(*item.node, shapes);
        for (Node* shape : shapes) {
            MeshPtr mesh = scene().shapeMesh(*shape);
            if (!mesh) continue;
            Matrix44 m = shape->inclusiveMatrix();
            if (item.hasComponents()) {
                for (int v : touchedVertices(item, *mesh))
                    if (v < mesh->numVertices()) grow(m.transformPoint(mesh->points[size_t(v)]));
            } else {
                for (const V3& p : mesh->points) grow(m.transformPoint(p));
            }
        }
    }
    const double k = 1.0 / uiToCm();
    inv.result = mel::Value(std::vector<double>{lo.x * k, lo.y * k, lo.z * k, hi.x * k, hi.y * k, hi.z * k});
    return true;
}

// filterExpand -sm <mask> ...: the items of the kinds the masks name, components one per id unless
// -ex false. Masks: 12 polygon objects, 31 vertices, 32 edges, 34 faces, 35 UVs.
bool filterExpandCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("sm", "selectionMask", {ArgType::Int}, true)
        .flag("ex", "expand", {ArgType::Bool})
        .flag("fp", "fullPath", {ArgType::Bool});
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::set<int> masks;
    for (int i = 0; i < a.count("sm"); ++i) {
        int m = int(a.get("sm", i)->args[0].asInt());
        if (m != 12 && m != 31 && m != 32 && m != 34 && m != 35)
            return inv.fail("filterExpand: selection mask " + std::to_string(m) +
                            " is not supported (12, 31, 32, 34 and 35 are).");
        masks.insert(m);
    }
    if (masks.empty()) return inv.fail("filterExpand: no -selectionMask given.");
    std::vector<SelectionItem> items;
    std::string error;
    if (!itemsOrSelection(a.objects, items, error)) return inv.fail(error);
    bool flatten = a.arg("ex", mel::Value(1)).asBool(), full = a.arg("fp", mel::Value(0)).asBool();
    std::vector<std::string> out;
    std::set<Node*> objects;
    for (const auto& item : items) {
        if (!item.hasComponents()) {
            Node* shape = meshShapeOf(*item.node);
            if (masks.count(12) && shape && objects.insert(item.node.get()).second)
                out.push_back(nodeName(*item.node, full));
            continue;
        }
        int mask = item.kind == ComponentKind::Vertex ? 31
                   : item.kind == ComponentKind::Edge ? 32
                   : item.kind == ComponentKind::Face ? 34
                                                      : 35;
        if (!masks.count(mask)) continue;
        for (auto& s : itemStrings(item, full, flatten)) out.push_back(s);
    }
    inv.result = mel::Value(out);
    return true;
}

// One polyInfo line: "FACE      3:      0      1      5      4 \n".
std::string infoLine(const char* label, int id, const std::vector<int>& ids) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s %6d:", label, id);
    std::string s = buf;
    for (int i : ids) {
        std::snprintf(buf, sizeof buf, " %6d", i);
        s += buf;
    }
    return s + " \n";
}

// polyInfo -fv|-fe|-ve|-vf|-ef [components or objects]: one line per component of the kind the flag
// starts from, listing the adjacent components.
bool polyInfoCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("fv", "faceToVertex")
        .flag("fe", "faceToEdge")
        .flag("ve", "vertexToEdge")
        .flag("vf", "vertexToFace");
    syn.flag("ef", "edgeToFace").flag("ev", "edgeToVertex");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    if (a.flags.size() != 1) return inv.fail("polyInfo: give exactly one of -fv, -fe, -ve, -vf, -ef, -ev.");
    const std::string f = a.flags[0].def->shortName;
    const ComponentKind from = f[0] == 'f'   ? ComponentKind::Face
                               : f[0] == 'v' ? ComponentKind::Vertex
                                             : ComponentKind::Edge;
    std::vector<SelectionItem> items;
    std::string error;
    if (!itemsOrSelection(a.objects, items, error)) return inv.fail(error);
    std::vector<std::string> out;
    for (const auto& item : items) {
        Node* shape = meshShapeOf(*item.node);
        MeshPtr mesh = shape ? scene().shapeMesh(*shape) : nullptr;
        if (!mesh || (item.hasComponents() && item.kind != from)) continue;
        const MeshTopology& topo = mesh->topology();
        std::vector<int> ids = item.ids;
        if (!item.hasComponents()) {
            int n = from == ComponentKind::Face     ? mesh->numFaces()
                    : from == ComponentKind::Vertex ? mesh->numVertices()
                                                    : topo.numEdges();
            for (int i = 0; i < n; ++i) ids.push_back(i);
        }
        for (int id : ids) {
            std::vector<int> adj;
            if (f == "fv" && id < mesh->numFaces())
                adj.assign(mesh->faceVerts.begin() + mesh->faceOffsets[id],
                           mesh->faceVerts.begin() + mesh->faceOffsets[id + 1]);
            else if (f == "fe" && id < mesh->numFaces())
                for (int e : topo.faceEdges(id)) adj.push_back(e);
            else if (f == "ve" && id < mesh->numVertices())
                for (int e : topo.vertexEdges(id)) adj.push_back(e);
            else if (f == "vf" && id < mesh->numVertices())
                for (int x : topo.vertexFaces(id)) adj.push_back(x);
            else if (f == "ef" && id < topo.numEdges())
                for (int x : topo.edgeFaces(id)) adj.push_back(x);
            else if (f == "ev" && id < topo.numEdges())
                adj = {topo.edgeVertex(id, 0), topo.edgeVertex(id, 1)};
            else
                continue;
            out.push_back(infoLine(from == ComponentKind::Face     ? "FACE"
                                   : from == ComponentKind::Vertex ? "VERTEX"
                                                                   : "EDGE",
                                   id, adj));
        }
    }
    if (out.empty()) return inv.fail("polyInfo: no polygon components of the kind -" + f + " starts from.");
    inv.result = mel::Value(out);
    return true;
}

}  // namespace

void registerQueryCommands(mel::CommandRegistry& registry) {
    registry.add({"exactWorldBoundingBox", exactWorldBoundingBoxCmd, nullptr});
    registry.add({"filterExpand", filterExpandCmd, nullptr});
    registry.add({"polyInfo", polyInfoCmd, nullptr});
}

}  // namespace kxh::scenecmd
