#include "mesh/ops/ExtrudeFaces.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "mesh/MeshGeometry.h"
#include "mesh/MeshMath.h"
#include "mesh/MeshTopology.h"
#include "mesh/ops/EdgeSmoothing.h"
#include "mesh/ops/RebuildFaces.h"

namespace kxh::ops {

ExtrudeResult extrudeFaces(Mesh& mesh, const std::vector<int>& faces, const ExtrudeOptions& options,
                           ExtrudeMotion* motion) {
    ExtrudeResult r;
    if (motion) *motion = ExtrudeMotion{};
    const int nf = mesh.numFaces();
    for (int f : faces)
        if (f >= 0 && f < nf) r.faces.push_back(f);
    std::sort(r.faces.begin(), r.faces.end());
    r.faces.erase(std::unique(r.faces.begin(), r.faces.end()), r.faces.end());
    if (r.faces.empty()) return r;
    const MeshTopology& topo = mesh.topology();
    const int divisions = std::max(1, options.divisions);

    // Regions, numbered in order of their lowest face.
    std::vector<char> selected(size_t(nf), 0);
    for (int f : r.faces) selected[size_t(f)] = 1;
    std::vector<int> region(size_t(nf), -1);
    for (int seed : r.faces) {
        if (region[size_t(seed)] >= 0) continue;
        const int id = r.regions++;
        std::vector<int> stack{seed};
        region[size_t(seed)] = id;
        while (options.keepFacesTogether && !stack.empty()) {
            const int f = stack.back();
            stack.pop_back();
            for (int g : topo.faceNeighbours(f))
                if (selected[size_t(g)] && region[size_t(g)] < 0) {
                    region[size_t(g)] = id;
                    stack.push_back(g);
                }
        }
    }

    // Border corners: the corner's edge has no other face of the same region.
    std::vector<char> borderCorner(mesh.faceVerts.size(), 0);
    std::map<std::pair<int, int>, int> copyOf;  // (region, vertex) -> copy id, for border vertices
    std::map<std::pair<int, int>, V3> direction;
    std::vector<V3> points = mesh.points;
    for (int f : r.faces) {
        const int reg = region[size_t(f)];
        const V3 n = MeshGeometry::newellNormal(mesh, f);
        for (int fv = mesh.faceOffsets[f]; fv < mesh.faceOffsets[f + 1]; ++fv) {
            direction[{reg, mesh.faceVerts[fv]}] += n;
            bool inside = false;
            for (int g : topo.edgeFaces(topo.faceVertEdge(fv)))
                inside = inside || (g != f && region[size_t(g)] == reg);
            if (inside) continue;
            borderCorner[size_t(fv)] = 1;
            const int next = fv + 1 < mesh.faceOffsets[f + 1] ? fv + 1 : mesh.faceOffsets[f];
            for (int v : {mesh.faceVerts[fv], mesh.faceVerts[next]})
                copyOf.emplace(std::make_pair(reg, v), -1);
        }
    }
    // Copies in order of first use by the regions' faces, then the intermediate rings level by level.
    std::vector<std::pair<int, int>> order;
    for (int f : r.faces)
        for (int fv = mesh.faceOffsets[f]; fv < mesh.faceOffsets[f + 1]; ++fv) {
            auto it = copyOf.find({region[size_t(f)], mesh.faceVerts[fv]});
            if (it == copyOf.end() || it->second >= 0) continue;
            it->second = int(points.size());
            points.push_back(V3{});
            order.push_back(it->first);
        }
    const int copies = int(order.size());
    // Every moved vertex: its point index, the vertex it rises from, its direction and its share of the
    // distance. Copies first, then the rings level by level, then the inner vertices.
    struct Move {
        int point, from;
        V3 direction;
        double fraction;
        int region;
    };
    std::vector<Move> moves;
    for (const auto& key : order)
        moves.push_back({copyOf[key], key.second, normalized(direction[key]), 1.0, key.first});
    for (int k = 1; k < divisions; ++k)
        for (const auto& key : order) {
            points.push_back(V3{});
            moves.push_back({int(points.size()) - 1, key.second, normalized(direction[key]),
                             double(k) / divisions, key.first});
        }
    for (const auto& [key, dir] : direction)
        if (!copyOf.count(key)) moves.push_back({key.second, key.second, normalized(dir), 1.0, key.first});
    for (const Move& m : moves)
        points[size_t(m.point)] =
            mesh.points[size_t(m.from)] + m.direction * (options.localTranslateZ * m.fraction);
    if (options.twist != 0 || options.taper != 1 || options.offset != 0) {
        // Each region's lifted vertices turn about, scale toward and are inset toward the region's axis:
        // the line through the centre of its vertices along its normal, lifted with them. A ring at
        // fraction f of the way takes f of the twist, of the taper's change and of the offset.
        std::vector<V3> centre(size_t(r.regions)), normal(size_t(r.regions));
        std::vector<int> count(size_t(r.regions), 0);
        for (const auto& [key, dir] : direction) {
            centre[size_t(key.first)] += mesh.points[size_t(key.second)];
            normal[size_t(key.first)] += dir;
            ++count[size_t(key.first)];
        }
        for (int g = 0; g < r.regions; ++g) {
            centre[size_t(g)] = centre[size_t(g)] * (1.0 / std::max(1, count[size_t(g)]));
            normal[size_t(g)] = normalized(normal[size_t(g)]);
        }
        for (const Move& m : moves) {
            const V3 n = normal[size_t(m.region)];
            const V3 axis = centre[size_t(m.region)] + n * (options.localTranslateZ * m.fraction);
            V3 q = points[size_t(m.point)] - axis;
            const double along = dot(q, n);
            V3 across = q - n * along;
            // Rodrigues' rotation of the part across the axis (n is perpendicular to it).
            const double a = options.twist * m.fraction;
            across = across * std::cos(a) + cross(n, across) * std::sin(a);
            across = across * (1 + (options.taper - 1) * m.fraction);
            const double reach = length(across), inset = options.offset * m.fraction;
            if (reach > 0) across = across * (std::max(0.0, reach - inset) / reach);
            points[size_t(m.point)] = axis + n * along + across;
        }
    }

    // The vertex of (region, v) at level k: 0 the base, divisions the top.
    std::map<std::pair<int, int>, int> index;
    for (int i = 0; i < copies; ++i) index[order[size_t(i)]] = i;
    auto level = [&](int reg, int v, int k) {
        if (k == 0) return v;
        const int i = index[{reg, v}];
        if (k == divisions) return copyOf[{reg, v}];
        return int(mesh.points.size()) + copies + (k - 1) * copies + i;
    };

    std::vector<FaceLoop> loops;
    for (int f = 0; f < nf; ++f) {
        FaceLoop loop = faceLoop(mesh, f);
        if (selected[size_t(f)])
            for (LoopCorner& c : loop) {
                auto it = copyOf.find({region[size_t(f)], c.v});
                if (it != copyOf.end()) c.v = it->second;
            }
        loops.push_back(std::move(loop));
    }
    for (int f : r.faces) {
        const int reg = region[size_t(f)];
        for (int fv = mesh.faceOffsets[f]; fv < mesh.faceOffsets[f + 1]; ++fv) {
            if (!borderCorner[size_t(fv)]) continue;
            const int next = fv + 1 < mesh.faceOffsets[f + 1] ? fv + 1 : mesh.faceOffsets[f];
            const int a = mesh.faceVerts[fv], b = mesh.faceVerts[next];
            for (int k = 1; k <= divisions; ++k) {
                // Runs a -> b at the bottom, against the neighbour outside, and b' -> a' at the top.
                loops.push_back(FaceLoop{
                    LoopCorner::from(level(reg, a, k - 1), fv), LoopCorner::from(level(reg, b, k - 1), next),
                    LoopCorner::from(level(reg, b, k), next), LoopCorner::from(level(reg, a, k), fv)});
                ++r.sideFaces;
            }
        }
    }
    const std::vector<V3> from = motion ? mesh.points : std::vector<V3>{};
    const std::vector<int> map = rebuildFaces(mesh, std::move(points), loops);
    if (motion)
        for (const Move& m : moves) {
            if (map[size_t(m.point)] < 0) continue;
            motion->ids.push_back(map[size_t(m.point)]);
            motion->base.push_back(from[size_t(m.from)]);
            motion->direction.push_back(m.direction);
            motion->fraction.push_back(m.fraction);
        }
    if (options.smoothingAngle < M_PI) {
        std::vector<std::pair<int, int>> sideEdges = edgesOfFacesFrom(mesh, nf);
        smoothEdgesByAngle(mesh, sideEdges, options.smoothingAngle);
        if (motion) motion->sideEdges = std::move(sideEdges);
    }
    if (motion) motion->smoothingAngle = options.smoothingAngle;
    // Twist, taper and offset move each vertex by where its region's axis lies: no motion to replay.
    if (motion && (options.twist != 0 || options.taper != 1 || options.offset != 0))
        *motion = ExtrudeMotion{};
    return r;
}

void moveExtruded(Mesh& mesh, const ExtrudeMotion& motion, double localTranslateZ) {
    for (size_t i = 0; i < motion.ids.size(); ++i)
        mesh.points[size_t(motion.ids[i])] =
            motion.base[i] + motion.direction[i] * (localTranslateZ * motion.fraction[i]);
    mesh.pointsChanged();
    smoothEdgesByAngle(mesh, motion.sideEdges, motion.smoothingAngle);
}

}  // namespace kxh::ops
