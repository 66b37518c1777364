#include "mesh/ops/BevelEdges.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <unordered_map>

#include "mesh/MeshMath.h"
#include "mesh/MeshTopology.h"
#include "mesh/ops/EdgeSmoothing.h"
#include "mesh/ops/MergeVertices.h"
#include "mesh/ops/RebuildFaces.h"

namespace kxh::ops {

namespace {

// v * m (row-vector convention).
V3 timesMatrix(const V3& v, const double (&m)[3][3]) {
    return V3{v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0], v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
              v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}

// The corner of face f at vertex v.
int cornerOf(const Mesh& mesh, int f, int v) {
    for (int fv = mesh.faceOffsets[f]; fv < mesh.faceOffsets[f + 1]; ++fv)
        if (mesh.faceVerts[fv] == v) return fv;
    return -1;
}

struct Builder {
    Builder(const Mesh& m, const MeshTopology& t, const BevelOptions& options, int segmentCount)
        : mesh(m), topo(t), o(options), segments(segmentCount), points(m.points), cornerVertex(m.faceVerts) {}

    const Mesh& mesh;
    const MeshTopology& topo;
    const BevelOptions& o;
    int segments;
    std::vector<V3> points;
    std::vector<int> cornerVertex;                         // per old face-vertex: its vertex after the split
    std::map<std::pair<int, int>, int> sectorOf;           // (vertex, face) -> its copy
    std::map<int, LoopCorner> source;                      // new vertex -> the corner its UVs come from
    std::map<int, std::vector<std::pair<int, int>>> open;  // vertex -> directed edges left to fill
    std::map<std::tuple<int, int, int>, int> mids;         // (lo, hi, step) -> vertex between two copies
    std::vector<FaceLoop> extra;
    int bevelled = 0;
    std::vector<std::pair<int, int>> acrossEdges;  // (vertex, edge) split across a single bevelled edge
    // An inner vertex of odd valence with a single bevelled edge has no edge across from it: the face
    // across takes both copies, with the strip's end row between them, in place of its corner at v.
    struct Terminal {
        int v, fv;            // the vertex and the across face's corner at it
        int first, second;    // the copies in that face's winding order
        int ffirst, fsecond;  // the faces each copy came from
    };
    std::vector<Terminal> terminals;
    std::map<int, FaceLoop> widened;           // old face-vertex -> the corners that replace it
    std::vector<BevelMotion::Recipe> recipes;  // how each new point follows the offset, in point order

    int addCopy(const V3& p, const V3& dir) {
        BevelMotion::Recipe r;
        r.kind = BevelMotion::Recipe::Copy;
        r.a = p;
        r.dir = dir;
        recipes.push_back(r);
        points.push_back(p + fromMeasured(dir * o.offset));
        return int(points.size()) - 1;
    }

    // Directions and the offset are measured in world space with worldSpace, in the mesh's own otherwise.
    double toObject[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    static V3 times(const V3& v, const double (&m)[3][3]) {
        return V3{v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0],
                  v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
                  v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
    }
    V3 toMeasured(const V3& v) const { return o.worldSpace ? timesMatrix(v, o.toWorld) : v; }
    V3 fromMeasured(const V3& v) const { return o.worldSpace ? timesMatrix(v, toObject) : v; }
    // toObject = the inverse of toWorld; a singular map leaves the offset in object space.
    void invertToWorld() {
        const double(&a)[3][3] = o.toWorld;
        const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
        if (!(std::abs(det) > 1e-300)) return;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
                toObject[r][c] = (a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1]) / det;
            }
    }

    int copyAt(int v, int f) const {
        auto it = sectorOf.find({v, f});
        return it == sectorOf.end() ? v : it->second;
    }
    LoopCorner cornerFor(int id, int v, int f) const {
        auto it = source.find(id);
        return it != source.end() ? it->second : LoopCorner::from(id, cornerOf(mesh, f, v));
    }

    // Splits the faces around v into sectors; false when the fan is not a simple one.
    bool split(int v, const std::vector<char>& bevel) {
        const IdRange E = topo.vertexEdges(v), F = topo.vertexFaces(v);
        const int ne = E.size(), nf = F.size();
        const bool inner = ne == nf;
        if (nf == 0 || !(inner || ne == nf + 1)) return false;
        for (int i = 0; i < nf; ++i) {
            const IdRange fe = topo.faceEdges(F[i]);
            if (!fe.contains(E[i]) || !fe.contains(E[(i + 1) % ne])) return false;
        }
        std::vector<char> cut(size_t(ne), 0);
        int count = 0, first = -1;
        for (int i = 0; i < ne; ++i)
            if (bevel[size_t(E[i])]) {
                cut[size_t(i)] = 1;
                ++count;
                if (first < 0) first = i;
            }
        if (count == 0) return false;
        if (inner && count == 1 && ne % 2 == 1) return splitTerminal(v, first);
        int across = -1;
        if (inner && count == 1) {
            across = (first + ne / 2) % ne;
            cut[size_t(across)] = 1;
        }
        // Sectors: runs of faces between cuts (face i lies between edges i and i + 1).
        const int start = inner ? first : 0;
        std::vector<std::vector<int>> sectors;  // face positions
        for (int k = 0; k < nf; ++k) {
            const int i = (start + k) % nf;
            if (sectors.empty() || (cut[size_t(i)] && !(k == 0))) sectors.emplace_back();
            sectors.back().push_back(i);
        }
        const V3 p = mesh.points[size_t(v)];
        auto unit = [&](int e) {
            const int w = topo.edgeVertex(e, 0) == v ? topo.edgeVertex(e, 1) : topo.edgeVertex(e, 0);
            return normalized(toMeasured(mesh.points[size_t(w)] - p));
        };
        for (const std::vector<int>& sector : sectors) {
            V3 along;
            for (size_t k = 0; k < sector.size(); ++k) {
                const int i = sector[k];
                // The edge before the sector's first face is a cut unless the fan opens there.
                if (k > 0 || !cut[size_t(i)]) along += unit(E[i]);
                if (k + 1 == sector.size() && !cut[size_t((i + 1) % ne)]) along += unit(E[(i + 1) % ne]);
            }
            V3 dir = normalized(along);
            if (length(along) == 0)
                dir = unit(E[sector.front()]) + unit(E[(sector.back() + 1) % ne]);  // into the face
            const int id = int(points.size());
            addCopy(p, dir);
            source[id] = LoopCorner::from(id, topo.vertexFaceVerts(v)[sector.front()]);
            for (int i : sector) {
                sectorOf[{v, F[i]}] = id;
                cornerVertex[size_t(topo.vertexFaceVerts(v)[i])] = id;
            }
        }
        if (across >= 0) acrossEdges.push_back({v, E[across]});
        return true;
    }

    // The odd-valence end of a single bevelled edge E[first]: the faces from it up to the one across get
    // one copy, slid along their edges at v; the faces after the one across up to E[first] the other.
    bool splitTerminal(int v, int first) {
        const IdRange E = topo.vertexEdges(v), F = topo.vertexFaces(v);
        const int n = E.size(), m = (n - 1) / 2, across = (first + m) % n;
        const V3 p = mesh.points[size_t(v)];
        auto unit = [&](int e) {
            const int w = topo.edgeVertex(e, 0) == v ? topo.edgeVertex(e, 1) : topo.edgeVertex(e, 0);
            return normalized(toMeasured(mesh.points[size_t(w)] - p));
        };
        int ids[2];
        for (int side = 0; side < 2; ++side) {
            // Side 0: faces first .. first + m - 1 and their edges first + 1 .. first + m; side 1: faces
            // first + m + 1 .. first + n - 1 and their edges first + m + 1 .. first + n - 1.
            const int f0 = side == 0 ? first : first + m + 1;
            V3 along;
            for (int k = 0; k < m; ++k) along += unit(E[(f0 + k + (side == 0 ? 1 : 0)) % n]);
            const int id = int(points.size());
            addCopy(p, normalized(along));
            source[id] = LoopCorner::from(id, topo.vertexFaceVerts(v)[f0 % n]);
            for (int k = 0; k < m; ++k) {
                const int i = (f0 + k) % n;
                sectorOf[{v, F[i]}] = id;
                cornerVertex[size_t(topo.vertexFaceVerts(v)[i])] = id;
            }
            ids[side] = id;
        }
        // Side 0 meets the face across at edge E[across]: its copy comes first in that face's winding when
        // that edge leads into the corner at v.
        const int fv = topo.vertexFaceVerts(v)[across];
        const int f = F[across];
        const int prev = mesh.faceVerts[fv > mesh.faceOffsets[f] ? fv - 1 : mesh.faceOffsets[f + 1] - 1];
        const int e = E[across];
        const bool zeroFirst = topo.edgeVertex(e, 0) == prev || topo.edgeVertex(e, 1) == prev;
        const int faceOf0 = F[(first + m - 1) % n], faceOf1 = F[(first + m + 1) % n];
        terminals.push_back(zeroFirst ? Terminal{v, fv, ids[0], ids[1], faceOf0, faceOf1}
                                      : Terminal{v, fv, ids[1], ids[0], faceOf1, faceOf0});
        return true;
    }

    // The faces on either side of a split across keep their edge to its far end (or that end's copy,
    // when the far end was split too): those edges are left open for the fill at v.
    void openAcross(int v, int e) {
        const int c = topo.edgeVertex(e, 0) == v ? topo.edgeVertex(e, 1) : topo.edgeVertex(e, 0);
        for (int f : topo.edgeFaces(e)) {
            const int fv = cornerOf(mesh, f, v);
            const int next = mesh.faceVerts[fv + 1 < mesh.faceOffsets[f + 1] ? fv + 1 : mesh.faceOffsets[f]];
            const int copy = copyAt(v, f), far = copyAt(c, f);
            if (next == c)
                open[v].push_back({copy, far});
            else
                open[v].push_back({far, copy});
            source.emplace(far, LoopCorner::from(far, cornerOf(mesh, f, c)));
        }
    }

    // The row of vertices from copy x to copy y at v (segments + 1 of them), made once per pair.
    std::vector<LoopCorner> row(int v, int x, int y, int fx, int fy) {
        std::vector<LoopCorner> out;
        const LoopCorner cx = cornerFor(x, v, fx), cy = cornerFor(y, v, fy);
        for (int r = 0; r <= segments; ++r) {
            if (r == 0 || x == y) {
                out.push_back(cx);
                continue;
            }
            if (r == segments) {
                out.push_back(cy);
                continue;
            }
            const bool forward = x < y;
            const int step = forward ? r : segments - r;
            auto key = std::make_tuple(std::min(x, y), std::max(x, y), step);
            auto it = mids.find(key);
            if (it == mids.end()) {
                const int lo = std::min(x, y), hi = std::max(x, y);
                const int id = int(points.size());
                const double t = double(step) / segments;
                BevelMotion::Recipe recipe;
                recipe.lo = lo;
                recipe.hi = hi;
                recipe.t = t;
                if (o.autoFit) {
                    // A quadratic arc from one copy to the other with the old vertex as its control point.
                    recipe.kind = BevelMotion::Recipe::Arc;
                    recipe.a = mesh.points[size_t(v)];
                } else {
                    recipe.kind = BevelMotion::Recipe::Lerp;
                }
                points.push_back(recipe.place(points[size_t(lo)], points[size_t(hi)]));
                recipes.push_back(recipe);
                const LoopCorner& clo = forward ? cx : cy;
                const LoopCorner& chi = forward ? cy : cx;
                source[id] = LoopCorner::between(id, clo.fv, chi.fv, double(step) / segments);
                it = mids.emplace(key, id).first;
            }
            out.push_back(source[it->second]);
        }
        return out;
    }

    void strip(int e) {
        const int a = topo.edgeVertex(e, 0), b = topo.edgeVertex(e, 1);
        const int A = topo.edgeFaces(e)[0], B = topo.edgeFaces(e)[1];  // A runs a -> b
        const std::vector<LoopCorner> ra = row(a, copyAt(a, A), copyAt(a, B), A, B);
        const std::vector<LoopCorner> rb = row(b, copyAt(b, A), copyAt(b, B), A, B);
        for (int r = 0; r < segments; ++r) {
            FaceLoop q{ra[size_t(r)], ra[size_t(r) + 1], rb[size_t(r) + 1], rb[size_t(r)]};
            open[a].push_back({ra[size_t(r)].v, ra[size_t(r) + 1].v});
            open[b].push_back({rb[size_t(r) + 1].v, rb[size_t(r)].v});
            FaceLoop clean;
            for (const LoopCorner& c : q)
                if (clean.empty() || clean.back().v != c.v) clean.push_back(c);
            while (clean.size() > 1 && clean.back().v == clean.front().v) clean.pop_back();
            if (clean.size() >= 3) extra.push_back(clean);
        }
        ++bevelled;
    }

    // The across faces of odd-valence ends: the end row of the strip replaces their corner.
    void widenTerminals() {
        for (const Terminal& t : terminals) {
            FaceLoop corners;
            for (const LoopCorner& c : row(t.v, t.first, t.second, t.ffirst, t.fsecond))
                corners.push_back(LoopCorner::from(c.v, t.fv));
            widened[t.fv] = corners;
        }
    }

    // Closes the hole the strips leave around an inner vertex.
    void fill(int v) {
        if (topo.vertexOnBoundary(v)) return;
        for (const Terminal& t : terminals)
            if (t.v == v) return;  // the across face closes it
        std::vector<std::pair<int, int>> edges;
        for (auto [x, y] : open[v]) {
            if (x == y) continue;
            auto twin = std::find(edges.begin(), edges.end(), std::make_pair(y, x));
            if (twin != edges.end())
                edges.erase(twin);
            else
                edges.push_back({x, y});
        }
        if (edges.size() < 3) return;
        std::map<int, int> next;  // the fill runs each open edge backwards
        for (auto [x, y] : edges)
            if (!next.emplace(y, x).second) return;
        FaceLoop loop;
        int at = edges.front().second;
        for (size_t k = 0; k < edges.size(); ++k) {
            auto it = next.find(at);
            if (it == next.end()) return;
            auto s = source.find(at);
            loop.push_back(s != source.end() ? s->second : LoopCorner::from(at, -1));
            at = it->second;
        }
        if (at != edges.front().second) return;
        if (std::any_of(loop.begin(), loop.end(), [](const LoopCorner& c) { return c.fv < 0 && c.fvA < 0; }))
            return;
        if (!o.fillNgons || loop.size() <= 4) {
            extra.push_back(loop);
            return;
        }
        // Quads around the fill's centre, each taking two sides of the fill; the centre takes the UVs of
        // the first corner's source.
        BevelMotion::Recipe recipe;
        recipe.kind = BevelMotion::Recipe::Hub;
        for (const LoopCorner& c : loop) recipe.members.push_back(c.v);
        const int id = int(points.size());
        points.push_back(recipe.hub([&](int i) { return points[size_t(i)]; }));
        recipes.push_back(recipe);
        const LoopCorner hub = LoopCorner::from(id, loop[0].fv >= 0 ? loop[0].fv : loop[0].fvA);
        const size_t n = loop.size();
        for (size_t i = 0; i + 2 < n + (n % 2 == 0 ? 1 : 0); i += 2)
            extra.push_back(FaceLoop{hub, loop[i], loop[i + 1], loop[(i + 2) % n]});
        if (n % 2 == 1) extra.push_back(FaceLoop{hub, loop[n - 1], loop[0]});
    }
};

}  // namespace

V3 BevelMotion::Recipe::place(const V3& lo, const V3& hi) const {
    if (kind == Arc) return lo * ((1 - t) * (1 - t)) + a * (2 * t * (1 - t)) + hi * (t * t);
    return lerp(lo, hi, t);
}

BevelResult bevelEdges(Mesh& mesh, const std::vector<int>& edges, const BevelOptions& options,
                       BevelMotion* motion) {
    BevelResult r;
    if (motion) *motion = BevelMotion{};
    const MeshTopology& topo = mesh.topology();
    std::vector<char> bevel(size_t(topo.numEdges()), 0);
    std::vector<int> chosen;
    for (int e : edges)
        if (e >= 0 && e < topo.numEdges() && topo.edgeFaces(e).size() == 2 && !bevel[size_t(e)]) {
            bevel[size_t(e)] = 1;
            chosen.push_back(e);
        }
    if (chosen.empty()) return r;
    // At offset 0 every copy lies on its vertex and the weld would join them all again: the mesh stays as
    // it is (vertex ids included), without building and welding a bevel of the whole mesh.
    if (options.offset == 0 && options.mergeTolerance > 0) return r;
    Builder b(mesh, topo, options, std::max(1, options.segments));
    b.invertToWorld();
    std::vector<int> touched;
    for (int e : chosen)
        for (int k = 0; k < 2; ++k) touched.push_back(topo.edgeVertex(e, k));
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    std::vector<int> splitOnes;
    for (int v : touched)
        if (b.split(v, bevel)) splitOnes.push_back(v);
    for (auto [v, e] : b.acrossEdges) b.openAcross(v, e);
    for (int e : chosen) b.strip(e);
    b.widenTerminals();
    for (int v : splitOnes) b.fill(v);
    r.edges = b.bevelled;

    std::vector<FaceLoop> loops;
    for (int f = 0; f < mesh.numFaces(); ++f) {
        FaceLoop loop;
        for (LoopCorner c : faceLoop(mesh, f)) {
            auto wide = b.widened.find(c.fv);
            if (wide != b.widened.end()) {
                loop.insert(loop.end(), wide->second.begin(), wide->second.end());
                continue;
            }
            c.v = b.cornerVertex[size_t(c.fv)];
            loop.push_back(c);
        }
        loops.push_back(std::move(loop));
    }
    loops.insert(loops.end(), b.extra.begin(), b.extra.end());
    const int oldCount = mesh.numVertices();
    const std::vector<int> map = rebuildFaces(mesh, std::move(b.points), loops);
    bool welded = false;
    if (options.mergeTolerance > 0) {
        std::vector<int> fresh;
        for (size_t i = size_t(oldCount); i < map.size(); ++i)
            if (map[i] >= 0) fresh.push_back(map[i]);
        // Copies closer than the tolerance (all of them at offset 0) become one vertex again.
        MergeOptions m;
        m.distance = options.mergeTolerance;
        welded = mergeByDistance(mesh, fresh, m).mergedVertices > 0;
    }
    // The strips and fills follow the faces that were there (a weld at offset 0 leaves none of them).
    std::vector<std::pair<int, int>> newEdges = edgesOfFacesFrom(mesh, int(loops.size() - b.extra.size()));
    smoothEdgesByAngle(mesh, newEdges, options.smoothingAngle);
    if (motion && !welded && r.edges > 0) {
        // A weld renumbers the vertices: only an unwelded result can be replayed.
        motion->options = options;
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 3; ++k) motion->toObject[i][k] = b.toObject[i][k];
        motion->oldCount = oldCount;
        motion->recipes = std::move(b.recipes);
        motion->finalIds.assign(map.begin() + oldCount, map.end());
        motion->newEdges = std::move(newEdges);
    }
    return r;
}

bool moveBevelled(Mesh& mesh, const std::vector<V3>& inputPoints, const BevelMotion& motion, double offset) {
    if (motion.recipes.empty() || inputPoints.size() != size_t(motion.oldCount)) return false;
    const size_t n = motion.recipes.size();
    std::vector<V3> fresh(n);
    auto at = [&](int i) {
        return i < motion.oldCount ? inputPoints[size_t(i)] : fresh[size_t(i - motion.oldCount)];
    };
    // The same arithmetic, point by point, as a new bevel does it.
    for (size_t k = 0; k < n; ++k) {
        const BevelMotion::Recipe& r = motion.recipes[k];
        switch (r.kind) {
            case BevelMotion::Recipe::Copy: {
                const V3 d = r.dir * offset;
                fresh[k] = r.a + (motion.options.worldSpace ? timesMatrix(d, motion.toObject) : d);
                break;
            }
            case BevelMotion::Recipe::Lerp:
            case BevelMotion::Recipe::Arc:
                fresh[k] = r.place(at(r.lo), at(r.hi));
                break;
            case BevelMotion::Recipe::Hub:
                fresh[k] = r.hub(at);
                break;
        }
    }
    // New vertices within the weld distance of each other would be welded: that is a new bevel.
    if (motion.options.mergeTolerance > 0) {
        const double cell = motion.options.mergeTolerance;
        std::unordered_map<std::uint64_t, std::vector<size_t>> grid;
        auto key = [](long x, long y, long z) {
            return (std::uint64_t(x & 0x1fffff) << 42) | (std::uint64_t(y & 0x1fffff) << 21) |
                   std::uint64_t(z & 0x1fffff);
        };
        for (size_t k = 0; k < n; ++k) {
            if (motion.finalIds[k] < 0) continue;
            const V3& p = fresh[k];
            const long cx = long(std::floor(p.x / cell)), cy = long(std::floor(p.y / cell)),
                       cz = long(std::floor(p.z / cell));
            for (long dx = -1; dx <= 1; ++dx)
                for (long dy = -1; dy <= 1; ++dy)
                    for (long dz = -1; dz <= 1; ++dz) {
                        auto it = grid.find(key(cx + dx, cy + dy, cz + dz));
                        if (it == grid.end()) continue;
                        for (size_t j : it->second)
                            if (length(fresh[j] - p) <= cell) return false;
                    }
            grid[key(cx, cy, cz)].push_back(k);
        }
    }
    for (size_t k = 0; k < n; ++k)
        if (motion.finalIds[k] >= 0) mesh.points[size_t(motion.finalIds[k])] = fresh[k];
    mesh.pointsChanged();
    smoothEdgesByAngle(mesh, motion.newEdges, motion.options.smoothingAngle);
    return true;
}

}  // namespace kxh::ops
