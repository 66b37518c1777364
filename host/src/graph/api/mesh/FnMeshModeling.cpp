// MFnMesh's modeling members over the kernel operations the polygon commands use: extrudeFaces (the
// polyExtrudeFacet operation), subdivideEdges (polySubdivideEdge's) and extractFaces.
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVector.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>

#include <algorithm>
#include <map>
#include <set>

#include "graph/api/mesh/MeshAccess.h"
#include "mesh/ops/ComponentOps.h"
#include "mesh/ops/ExtrudeFaces.h"
#include "mesh/ops/RebuildFaces.h"
#include "mesh/MeshTopology.h"

using namespace kxh;

namespace {

// The ids when every one names a face of the mesh; empty otherwise (an id out of range is the caller's
// error, not something to skip).
bool validIds(const MIntArray& ids, int count, std::vector<int>& out) {
    out.clear();
    for (int id : ids) {
        if (id < 0 || id >= count) return false;
        out.push_back(id);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return !out.empty();
}

void moveFaces(Mesh& m, const std::vector<int>& faces, const V3& by) {
    std::set<int> vertices;
    for (int f : faces)
        for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c)
            vertices.insert(m.faceVerts[size_t(c)]);
    for (int v : vertices) m.points[size_t(v)] = m.points[size_t(v)] + by;
}

V3 offsetOf(const MFloatVector* translation) {
    return translation ? V3{translation->x, translation->y, translation->z} : V3{0, 0, 0};
}

// The average of the face's corner values in a per-corner id table (UV or colour ids); false when a
// corner has none.
template <class Average>
bool cornerAverage(const Mesh& m, int f, const std::vector<int>& ids, Average add) {
    for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c)
        if (ids[size_t(c)] < 0) return false;
    for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c) add(ids[size_t(c)]);
    return true;
}

// One level of face subdivision: each listed face becomes one quad per corner (corner, midpoint of the
// next side, centre, midpoint of the previous side), appended after the other faces in face order; the
// other faces take the midpoints of sides they share as corners. Answers the new quads' ids.
std::vector<int> subdivideOnce(Mesh& m, const std::vector<int>& faces) {
    std::vector<char> listed(size_t(m.numFaces()), 0);
    for (int f : faces) listed[size_t(f)] = 1;
    std::vector<V3> points = m.points;
    std::map<std::pair<int, int>, int> midpoint;
    auto sideKey = [](int a, int b) { return a < b ? std::make_pair(a, b) : std::make_pair(b, a); };
    for (int f : faces)
        for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c) {
            const int next = c + 1 < m.faceOffsets[size_t(f) + 1] ? c + 1 : m.faceOffsets[size_t(f)];
            const int a = m.faceVerts[size_t(c)], b = m.faceVerts[size_t(next)];
            if (midpoint.emplace(sideKey(a, b), int(points.size())).second)
                points.push_back(ops::lerp(m.points[size_t(a)], m.points[size_t(b)], 0.5));
        }
    std::vector<ops::FaceLoop> loops;
    for (int f = 0; f < m.numFaces(); ++f) {
        if (listed[size_t(f)]) continue;
        ops::FaceLoop loop;
        const int begin = m.faceOffsets[size_t(f)], end = m.faceOffsets[size_t(f) + 1];
        for (int c = begin; c < end; ++c) {
            const int next = c + 1 < end ? c + 1 : begin;
            loop.push_back(ops::LoopCorner::from(m.faceVerts[size_t(c)], c));
            auto mid = midpoint.find(sideKey(m.faceVerts[size_t(c)], m.faceVerts[size_t(next)]));
            if (mid != midpoint.end()) loop.push_back(ops::LoopCorner::between(mid->second, c, next, 0.5));
        }
        loops.push_back(loop);
    }
    std::vector<int> quads;
    std::vector<std::pair<int, int>> centreOf;  // (old face, first new quad)
    for (int f : faces) {
        const int begin = m.faceOffsets[size_t(f)], n = m.faceSize(f);
        V3 centre{0, 0, 0};
        for (int k = 0; k < n; ++k)
            centre = centre + m.points[size_t(m.faceVerts[size_t(begin + k)])] * (1.0 / n);
        const int centreId = int(points.size());
        points.push_back(centre);
        centreOf.emplace_back(f, int(loops.size()));
        auto corner = [&](int k) { return begin + (k + n) % n; };
        auto midCorner = [&](int k) {  // the midpoint of the side from corner k to corner k + 1
            const int a = corner(k), b = corner(k + 1);
            return ops::LoopCorner::between(midpoint[sideKey(m.faceVerts[size_t(a)], m.faceVerts[size_t(b)])],
                                            a, b, 0.5);
        };
        // The centre's UV and colour are set to the corners' average below; the placeholder sources keep
        // them apart from every side's midpoint.
        const ops::LoopCorner centreCorner =
            ops::LoopCorner::between(centreId, corner(0), corner(n / 2), 0.25);
        for (int k = 0; k < n; ++k) {
            quads.push_back(int(loops.size()));
            loops.push_back({ops::LoopCorner::from(m.faceVerts[size_t(corner(k))], corner(k)), midCorner(k),
                             centreCorner, midCorner(k - 1)});
        }
    }
    // The corners' average UV and colour of each old face, before the rebuild renumbers the corners.
    struct CentreData {
        std::vector<std::pair<bool, std::array<double, 2>>> uv;
        std::vector<std::pair<bool, std::array<float, 4>>> colour;
    };
    std::vector<CentreData> data;
    for (const auto& fc : centreOf) {
        CentreData d;
        for (const UvSet& set : m.uvSets) {
            std::array<double, 2> sum{0, 0};
            const double w = 1.0 / m.faceSize(fc.first);
            bool ok = cornerAverage(m, fc.first, set.faceVertUv, [&](int id) {
                sum[0] += set.u[size_t(id)] * w;
                sum[1] += set.v[size_t(id)] * w;
            });
            d.uv.emplace_back(ok, sum);
        }
        for (const ColorSet& set : m.colorSets) {
            std::array<float, 4> sum{0, 0, 0, 0};
            const float w = 1.0f / float(m.faceSize(fc.first));
            bool ok = cornerAverage(m, fc.first, set.faceVertColor, [&](int id) {
                for (size_t i = 0; i < 4; ++i) sum[i] += set.colors[size_t(id)][i] * w;
            });
            d.colour.emplace_back(ok, sum);
        }
        data.push_back(d);
    }
    ops::rebuildFaces(m, std::move(points), loops);
    for (size_t i = 0; i < centreOf.size(); ++i) {
        const size_t centreCorner = size_t(m.faceOffsets[size_t(centreOf[i].second)] + 2);
        for (size_t s = 0; s < m.uvSets.size(); ++s) {
            const int id = m.uvSets[s].faceVertUv[centreCorner];
            if (id < 0 || !data[i].uv[s].first) continue;
            m.uvSets[s].u[size_t(id)] = float(data[i].uv[s].second[0]);
            m.uvSets[s].v[size_t(id)] = float(data[i].uv[s].second[1]);
        }
        for (size_t s = 0; s < m.colorSets.size(); ++s) {
            const int id = m.colorSets[s].faceVertColor[centreCorner];
            if (id >= 0 && data[i].colour[s].first)
                m.colorSets[s].colors[size_t(id)] = data[i].colour[s].second;
        }
    }
    return quads;
}

// Cuts the mesh along points on edges (edge, factor from its vertex 0): the points become vertices of
// every face around their edge, then each face holding two consecutive points is split between them.
// False (mesh untouched) when two consecutive points share no face.
bool splitAlongEdges(Mesh& m, const std::vector<std::pair<int, double>>& path) {
    const MeshTopology& topo = m.topology();
    std::vector<V3> points = m.points;
    std::vector<int> pathVertex;
    // Points per directed side: (a, b) -> (parameter from a, vertex).
    std::map<std::pair<int, int>, std::vector<std::pair<double, int>>> onSide;
    for (const auto& [e, factor] : path) {
        const int a = topo.edgeVertex(e, 0), b = topo.edgeVertex(e, 1);
        int v = factor <= 0 ? a : (factor >= 1 ? b : -1);
        if (v < 0) {
            v = int(points.size());
            points.push_back(ops::lerp(m.points[size_t(a)], m.points[size_t(b)], factor));
            onSide[{a, b}].emplace_back(factor, v);
            onSide[{b, a}].emplace_back(1 - factor, v);
        }
        pathVertex.push_back(v);
    }
    std::vector<ops::FaceLoop> loops;
    for (int f = 0; f < m.numFaces(); ++f) {
        ops::FaceLoop loop;
        const int begin = m.faceOffsets[size_t(f)], end = m.faceOffsets[size_t(f) + 1];
        for (int c = begin; c < end; ++c) {
            const int next = c + 1 < end ? c + 1 : begin;
            loop.push_back(ops::LoopCorner::from(m.faceVerts[size_t(c)], c));
            auto side = onSide.find({m.faceVerts[size_t(c)], m.faceVerts[size_t(next)]});
            if (side == onSide.end()) continue;
            std::vector<std::pair<double, int>> along = side->second;
            std::sort(along.begin(), along.end());
            for (const auto& [t, v] : along) loop.push_back(ops::LoopCorner::between(v, c, next, t));
        }
        loops.push_back(loop);
    }
    auto position = [](const ops::FaceLoop& loop, int v) {
        for (size_t i = 0; i < loop.size(); ++i)
            if (loop[i].v == v) return int(i);
        return -1;
    };
    for (size_t i = 0; i + 1 < pathVertex.size(); ++i) {
        const int from = pathVertex[i], to = pathVertex[i + 1];
        bool cut = false;
        for (size_t l = 0; l < loops.size() && !cut; ++l) {
            const int pa = position(loops[l], from), pb = position(loops[l], to);
            if (pa < 0 || pb < 0 || pa == pb) continue;
            const int n = int(loops[l].size());
            // Neighbouring corners already share a side: nothing to cut, the segment is an edge.
            if ((pa + 1) % n == pb || (pb + 1) % n == pa) {
                cut = true;
                break;
            }
            ops::FaceLoop first, second;
            for (int k = pa;; k = (k + 1) % n) {
                first.push_back(loops[l][size_t(k)]);
                if (k == pb) break;
            }
            for (int k = pb;; k = (k + 1) % n) {
                second.push_back(loops[l][size_t(k)]);
                if (k == pa) break;
            }
            loops[l] = first;
            loops.push_back(second);
            cut = true;
        }
        if (!cut) return false;
    }
    ops::rebuildFaces(m, std::move(points), loops);
    return true;
}

// A border side as its face runs it: from vertex a to vertex b, with the face's corners at a and b.
struct BorderSide {
    int a, b, cornerA, cornerB;
};

// One round of edge extrusion: each side gets a quad (b, a, a', b') on the other side of the edge, so
// its winding agrees with the side's face; a' and b' are copies of a and b moved by `by` (shared between
// sides when together). The new quads go after the other faces; the answer is their outer sides.
std::vector<BorderSide> extrudeSidesOnce(Mesh& m, const std::vector<BorderSide>& sides, bool together,
                                         const V3& by) {
    std::vector<V3> points = m.points;
    std::map<int, int> shared;
    auto copy = [&](int v) {
        if (together) {
            auto it = shared.find(v);
            if (it != shared.end()) return it->second;
        }
        const int id = int(points.size());
        points.push_back(m.points[size_t(v)] + by);
        if (together) shared[v] = id;
        return id;
    };
    std::vector<ops::FaceLoop> loops;
    for (int f = 0; f < m.numFaces(); ++f) loops.push_back(ops::faceLoop(m, f));
    const int firstQuad = int(loops.size());
    for (const BorderSide& s : sides) {
        const int a2 = copy(s.a), b2 = copy(s.b);
        // The new corners take the UVs and colours of the corners they rise from.
        loops.push_back({ops::LoopCorner::from(s.b, s.cornerB), ops::LoopCorner::from(s.a, s.cornerA),
                         ops::LoopCorner::from(a2, s.cornerA), ops::LoopCorner::from(b2, s.cornerB)});
    }
    ops::rebuildFaces(m, std::move(points), loops);
    std::vector<BorderSide> outer;
    for (size_t i = 0; i < sides.size(); ++i) {
        const int q = firstQuad + int(i), begin = m.faceOffsets[size_t(q)];
        outer.push_back(
            {m.faceVerts[size_t(begin + 2)], m.faceVerts[size_t(begin + 3)], begin + 2, begin + 3});
    }
    return outer;
}

}  // namespace

MStatus MFnMesh::extrudeEdges(MIntArray& edgeList, int extrusionCount, MFloatVector* translation,
                              bool extrudeTogether) {
    if (object_.isNull()) return MS::kFailure;
    if (extrusionCount < 1) return MS::kInvalidParameter;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        std::vector<int> edges;
        if (!validIds(edgeList, m.numEdges(), edges)) return MS::kInvalidParameter;
        const MeshTopology& topo = m.topology();
        std::vector<BorderSide> sides;
        for (int e : edges) {
            if (topo.edgeFaces(e).size() != 1) return MS::kInvalidParameter;
            const int f = topo.edgeFaces(e)[0];
            const int begin = m.faceOffsets[size_t(f)], end = m.faceOffsets[size_t(f) + 1];
            const int v0 = topo.edgeVertex(e, 0), v1 = topo.edgeVertex(e, 1);
            for (int c = begin; c < end; ++c) {
                const int next = c + 1 < end ? c + 1 : begin;
                const int va = m.faceVerts[size_t(c)], vb = m.faceVerts[size_t(next)];
                if ((va == v0 && vb == v1) || (va == v1 && vb == v0)) {
                    sides.push_back({va, vb, c, next});
                    break;
                }
            }
        }
        const V3 by = offsetOf(translation);
        for (int i = 0; i < extrusionCount; ++i) sides = extrudeSidesOnce(m, sides, extrudeTogether, by);
        return MS::kSuccess;
    });
}

MStatus MFnMesh::split(MIntArray& placements, MIntArray& edgeList, MFloatArray& edgeFactors,
                       MFloatPointArray& internalPoints) {
    if (object_.isNull()) return MS::kFailure;
    std::vector<std::pair<int, double>> path;
    unsigned nextEdge = 0;
    for (int placement : placements) {
        if (placement != kOnEdge || nextEdge >= edgeList.length() || nextEdge >= edgeFactors.length())
            return MS::kInvalidParameter;
        path.emplace_back(edgeList[nextEdge], double(edgeFactors[nextEdge]));
        ++nextEdge;
    }
    if (path.size() < 2 || internalPoints.length() > 0) return MS::kInvalidParameter;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        for (const auto& point : path)
            if (point.first < 0 || point.first >= m.numEdges()) return MS::kInvalidParameter;
        return splitAlongEdges(m, path) ? MStatus(MS::kSuccess) : MStatus(MS::kInvalidParameter);
    });
}

MStatus MFnMesh::subdivideFaces(const MIntArray& faceList, int divisionCount) {
    if (object_.isNull()) return MS::kFailure;
    if (divisionCount < 1) return MS::kInvalidParameter;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        std::vector<int> faces;
        if (!validIds(faceList, m.numFaces(), faces)) return MS::kInvalidParameter;
        for (int level = 0; level < divisionCount; ++level) faces = subdivideOnce(m, faces);
        return MS::kSuccess;
    });
}

MStatus MFnMesh::extrudeFaces(MIntArray& faceList, int extrusionCount, MFloatVector* translation,
                              bool extrudeTogether) {
    if (object_.isNull()) return MS::kFailure;
    if (extrusionCount < 1) return MS::kInvalidParameter;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        std::vector<int> faces;
        if (!validIds(faceList, m.numFaces(), faces)) return MS::kInvalidParameter;
        ops::ExtrudeOptions options;
        options.keepFacesTogether = extrudeTogether;
        const V3 by = offsetOf(translation);
        for (int i = 0; i < extrusionCount; ++i) {
            ops::ExtrudeResult r = ops::extrudeFaces(m, faces, options);
            if (r.faces.empty()) return MS::kFailure;
            faces = r.faces;
            moveFaces(m, faces, by);
            m.pointsChanged();  // the next extrusion's normals come from the moved points
        }
        return MS::kSuccess;
    });
}

MStatus MFnMesh::subdivideEdges(const MIntArray& edgeList, int numDivisions) {
    if (object_.isNull()) return MS::kFailure;
    if (numDivisions < 1) return MS::kInvalidParameter;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        std::vector<int> edges;
        if (!validIds(edgeList, m.numEdges(), edges)) return MS::kInvalidParameter;
        // The operation takes the edges in the order given (its new vertices follow that order).
        std::vector<int> ordered(edgeList.vec().begin(), edgeList.vec().end());
        return ops::subdivideEdges(m, ordered, numDivisions).changed() ? MStatus(MS::kSuccess)
                                                                       : MStatus(MS::kFailure);
    });
}

// Each vertex the faces share with faces outside the list gets a copy (after all other vertices, in
// order of first use) that the listed faces' corners take instead; then the faces move by the
// translation. UVs and colours stay on the corners.
MStatus MFnMesh::extractFaces(const MIntArray& faceList, MFloatVector* translation) {
    if (object_.isNull()) return MS::kFailure;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        std::vector<int> faces;
        if (!validIds(faceList, m.numFaces(), faces)) return MS::kInvalidParameter;
        std::vector<char> listed(size_t(m.numFaces()), 0);
        for (int f : faces) listed[size_t(f)] = 1;
        std::vector<char> usedOutside(size_t(m.numVertices()), 0);
        for (int f = 0; f < m.numFaces(); ++f)
            if (!listed[size_t(f)])
                for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c)
                    usedOutside[size_t(m.faceVerts[size_t(c)])] = 1;
        std::vector<int> copyOf(size_t(m.numVertices()), -1);
        for (int f : faces)
            for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c) {
                const int v = m.faceVerts[size_t(c)];
                if (!usedOutside[size_t(v)]) continue;
                if (copyOf[size_t(v)] < 0) {
                    copyOf[size_t(v)] = m.numVertices();
                    m.points.push_back(m.points[size_t(v)]);
                }
                m.faceVerts[size_t(c)] = copyOf[size_t(v)];
            }
        moveFaces(m, faces, offsetOf(translation));
        m.topologyChanged();
        return MS::kSuccess;
    });
}
