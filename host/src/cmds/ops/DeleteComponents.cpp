// delete on components: faces go; vertices go with the faces around them; edges are deleted as
// polyDelEdge -cv does (the faces on either side join, ends left with two edges are removed).
#include <algorithm>

#include "cmds/ops/ComponentTargets.h"
#include "cmds/ops/OpsCommands.h"
#include "mesh/MeshTopology.h"
#include "mesh/ops/ComponentOps.h"

namespace kxh::opscmd {

bool deleteComponents(const std::vector<SelectionItem>& items, std::string& error) {
    std::vector<ComponentTarget> targets;
    if (!groupByMesh("delete", items, false, targets, error)) return false;
    for (ComponentTarget& t : targets) {
        if (!t.hasComponents()) continue;
        auto mesh = std::make_shared<Mesh>(*t.before);
        // Edges by their end vertices, so that they can be found again after the faces went.
        std::vector<std::pair<int, int>> edgeEnds;
        const MeshTopology& topo = t.before->topology();
        for (int e : t.edges) edgeEnds.emplace_back(topo.edgeVertex(e, 0), topo.edgeVertex(e, 1));

        std::vector<int> vertices = t.vertices;
        ops::EditResult r = ops::deleteVertices(*mesh, vertices);
        bool changed = r.changed();
        if (!t.faces.empty()) {
            // Face ids after the vertex deletion: the faces before them that went shift them down.
            std::vector<int> faces;
            std::vector<char> gone(size_t(t.before->numFaces()), 0);
            std::vector<char> hit(size_t(t.before->numVertices()), 0);
            for (int v : vertices) hit[size_t(v)] = 1;
            int shift = 0;
            for (int f = 0; f < t.before->numFaces(); ++f) {
                for (int fv = t.before->faceOffsets[f]; fv < t.before->faceOffsets[f + 1]; ++fv)
                    if (hit[size_t(t.before->faceVerts[fv])]) gone[size_t(f)] = 1;
                if (gone[size_t(f)]) {
                    ++shift;
                    continue;
                }
                if (std::binary_search(t.faces.begin(), t.faces.end(), f)) faces.push_back(f - shift);
            }
            ops::EditResult fr = ops::deleteFaces(*mesh, faces);
            changed = changed || fr.changed();
            for (int& m : r.vertexMap)
                if (m >= 0) m = fr.vertexMap[size_t(m)];
        }
        if (!edgeEnds.empty()) {
            std::vector<int> edges;
            const MeshTopology& now = mesh->topology();
            for (auto [a, b] : edgeEnds) {
                const int na = r.vertexMap[size_t(a)], nb = r.vertexMap[size_t(b)];
                const int e = na < 0 || nb < 0 ? -1 : now.findEdge(na, nb);
                if (e >= 0) edges.push_back(e);
            }
            changed = ops::deleteEdges(*mesh, edges, true).changed() || changed;
        }
        if (!changed) continue;
        if (!checkResult("delete", *mesh, error)) return false;
        t.after = mesh;
    }
    return writeTargets(targets, error);
}

}  // namespace kxh::opscmd
