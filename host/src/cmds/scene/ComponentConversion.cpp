// polyListComponentConversion: components (or whole meshes) of one kind turned into the vertices,
// edges, faces or UVs they touch, or with -internal the ones they enclose.
#include <set>

#include "cmds/scene/SceneCommandUtil.h"
#include "cmds/scene/SceneCommands.h"
#include "mesh/Mesh.h"
#include "mesh/MeshTopology.h"

namespace kxh::scenecmd {

namespace {

using Ids = std::set<int>;

// The vertices of a set of components of one kind.
Ids verticesOf(const Mesh& mesh, ComponentKind kind, const Ids& ids) {
    const MeshTopology& topo = mesh.topology();
    Ids out;
    for (int id : ids) {
        if (kind == ComponentKind::Vertex) out.insert(id);
        if (kind == ComponentKind::Edge && id < topo.numEdges())
            out.insert({topo.edgeVertex(id, 0), topo.edgeVertex(id, 1)});
        if (kind == ComponentKind::Face && id < mesh.numFaces())
            out.insert(mesh.faceVerts.begin() + mesh.faceOffsets[id],
                       mesh.faceVerts.begin() + mesh.faceOffsets[id + 1]);
    }
    if (kind == ComponentKind::Uv && !mesh.uvSets.empty()) {
        const auto& fvUv = mesh.uvSets[0].faceVertUv;
        for (size_t fv = 0; fv < fvUv.size(); ++fv)
            if (ids.count(fvUv[fv])) out.insert(mesh.faceVerts[fv]);
    }
    return out;
}

// The faces a set of components touches; with `internal`, only faces whose every corner (edge for an
// edge set) is in the set.
Ids facesOf(const Mesh& mesh, ComponentKind kind, const Ids& ids, bool internal) {
    const MeshTopology& topo = mesh.topology();
    if (kind == ComponentKind::Face) return ids;
    Ids out;
    if (kind == ComponentKind::Edge) {
        for (int f = 0; f < mesh.numFaces(); ++f) {
            int in = 0, n = 0;
            for (int e : topo.faceEdges(f)) {
                ++n;
                in += ids.count(e) ? 1 : 0;
            }
            if (internal ? in == n : in > 0) out.insert(f);
        }
        return out;
    }
    Ids verts = verticesOf(mesh, kind, ids);
    for (int f = 0; f < mesh.numFaces(); ++f) {
        int in = 0, n = mesh.faceSize(f);
        for (int k = mesh.faceOffsets[f]; k < mesh.faceOffsets[f + 1]; ++k)
            in += verts.count(mesh.faceVerts[k]) ? 1 : 0;
        if (internal ? in == n : in > 0) out.insert(f);
    }
    return out;
}

// The edges a set touches; with `internal`, edges with both ends in the set (vertices) or with every
// face in the set (faces).
Ids edgesOf(const Mesh& mesh, ComponentKind kind, const Ids& ids, bool internal) {
    const MeshTopology& topo = mesh.topology();
    if (kind == ComponentKind::Edge) return ids;
    Ids out;
    if (kind == ComponentKind::Face) {
        for (int e = 0; e < topo.numEdges(); ++e) {
            int in = 0, n = 0;
            for (int f : topo.edgeFaces(e)) {
                ++n;
                in += ids.count(f) ? 1 : 0;
            }
            if (internal ? in == n && n > 0 : in > 0) out.insert(e);
        }
        return out;
    }
    Ids verts = verticesOf(mesh, kind, ids);
    for (int e = 0; e < topo.numEdges(); ++e) {
        int in = int(verts.count(topo.edgeVertex(e, 0)) + verts.count(topo.edgeVertex(e, 1)));
        if (internal ? in == 2 : in > 0) out.insert(e);
    }
    return out;
}

// The UVs (of the first UV set) on the corners the set touches: a face's corners, an edge's two end
// corners in each of its faces, a vertex's corners.
Ids uvsOf(const Mesh& mesh, ComponentKind kind, const Ids& ids) {
    if (kind == ComponentKind::Uv) return ids;
    Ids out;
    if (mesh.uvSets.empty()) return out;
    const auto& fvUv = mesh.uvSets[0].faceVertUv;
    Ids faces = kind == ComponentKind::Face ? ids : Ids();
    Ids verts = kind == ComponentKind::Face ? Ids() : verticesOf(mesh, kind, ids);
    for (int f = 0; f < mesh.numFaces(); ++f)
        for (int k = mesh.faceOffsets[f]; k < mesh.faceOffsets[f + 1]; ++k)
            if ((faces.count(f) || verts.count(mesh.faceVerts[k])) && fvUv[size_t(k)] >= 0)
                out.insert(fvUv[size_t(k)]);
    return out;
}

int countOf(const Mesh& mesh, ComponentKind kind) {
    if (kind == ComponentKind::Vertex) return mesh.numVertices();
    if (kind == ComponentKind::Edge) return mesh.topology().numEdges();
    if (kind == ComponentKind::Face) return mesh.numFaces();
    return mesh.uvSets.empty() ? 0 : int(mesh.uvSets[0].u.size());
}

bool conversionCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("fv", "fromVertex").flag("fe", "fromEdge").flag("ff", "fromFace").flag("fuv", "fromUV");
    syn.flag("tv", "toVertex").flag("te", "toEdge").flag("tf", "toFace").flag("tuv", "toUV");
    syn.flag("in", "internal").flag("vfa", "vertexFace").flag("bo", "border");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    int targets = int(a.has("tv")) + int(a.has("te")) + int(a.has("tf")) + int(a.has("tuv"));
    if (targets != 1)
        return inv.fail("polyListComponentConversion: give exactly one of -tv, -te, -tf, -tuv.");
    if (a.has("vfa") || a.has("bo"))
        return inv.fail("polyListComponentConversion: -vertexFace and -border are not supported.");
    const ComponentKind to = a.has("tv")   ? ComponentKind::Vertex
                             : a.has("te") ? ComponentKind::Edge
                             : a.has("tf") ? ComponentKind::Face
                                           : ComponentKind::Uv;
    // -from flags restrict which of the given kinds convert; without them every kind does.
    std::set<ComponentKind> from;
    if (a.has("fv")) from.insert(ComponentKind::Vertex);
    if (a.has("fe")) from.insert(ComponentKind::Edge);
    if (a.has("ff")) from.insert(ComponentKind::Face);
    if (a.has("fuv")) from.insert(ComponentKind::Uv);
    std::vector<SelectionItem> items;
    std::string error;
    if (!a.objects.empty()) {
        std::vector<std::string> names;
        for (const auto& v : a.objects) names.push_back(v.asString());
        if (!resolveItems(names, items, error)) return inv.fail(error);
    } else {
        items = scene().activeSelection().items();
    }
    SelectionList result;
    bool internal = a.has("in");
    for (const auto& item : items) {
        Node* shape = item.node ? meshShapeOf(*item.node) : nullptr;
        MeshPtr mesh = shape ? scene().shapeMesh(*shape) : nullptr;
        if (!mesh) continue;
        ComponentKind kind =
            item.hasComponents() ? item.kind : ComponentKind::Face;  // a whole mesh: all of it
        if (!from.empty() && !from.count(kind) && item.hasComponents()) continue;
        Ids ids(item.ids.begin(), item.ids.end());
        if (!item.hasComponents())
            for (int i = 0; i < mesh->numFaces(); ++i) ids.insert(i);
        Ids out = to == ComponentKind::Vertex ? verticesOf(*mesh, kind, ids)
                  : to == ComponentKind::Edge ? edgesOf(*mesh, kind, ids, internal)
                  : to == ComponentKind::Face ? facesOf(*mesh, kind, ids, internal)
                                              : uvsOf(*mesh, kind, ids);
        int n = countOf(*mesh, to);
        std::vector<int> kept;
        for (int i : out)
            if (i >= 0 && i < n) kept.push_back(i);
        if (!kept.empty()) result.add(shape->ptr(), to, kept);
    }
    inv.result = mel::Value(selectionStrings(result, false, false));
    return true;
}

}  // namespace

void registerComponentConversion(mel::CommandRegistry& registry) {
    registry.add({"polyListComponentConversion", conversionCmd, nullptr});
}

}  // namespace kxh::scenecmd
