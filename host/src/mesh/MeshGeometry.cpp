#include "mesh/MeshGeometry.h"

#include <algorithm>
#include <cmath>

#include "mesh/MeshMath.h"
#include "mesh/MeshTopology.h"

namespace kxh {

namespace {

struct P2 {
    double x, y;
};

double cross2(const P2& o, const P2& a, const P2& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// True when p lies inside or on triangle (a, b, c), which is counter-clockwise.
bool inTriangle(const P2& p, const P2& a, const P2& b, const P2& c) {
    return cross2(a, b, p) >= 0 && cross2(b, c, p) >= 0 && cross2(c, a, p) >= 0;
}

}  // namespace

MeshGeometry::MeshGeometry(const Mesh& mesh, std::shared_ptr<const MeshTopology> topo)
    : mesh_(mesh), topoPtr_(std::move(topo)), topo_(topoPtr_.get()) {}

MeshGeometry::MeshGeometry(const Mesh& mesh, MeshGeometry&& previous) : MeshGeometry(mesh) {
    // A stale `previous` hands over parts that still describe its snapshot: one refresh brings them up to
    // date for every edit since.
    facesBuilt_ = previous.facesBuilt_;
    boundsBuilt_ = previous.boundsBuilt_;
    trisBuilt_ = previous.trisBuilt_;
    locksBuilt_ = previous.locksBuilt_;
    for (int k = 0; k < 2; ++k) {
        normalsBuilt_[k] = previous.normalsBuilt_[k];
        vertexNormals_[k] = std::move(previous.vertexNormals_[k]);
    }
    faces_ = std::move(previous.faces_);
    newell_ = std::move(previous.newell_);
    bounds_ = previous.bounds_;
    tris_ = std::move(previous.tris_);
    lockSlot_ = std::move(previous.lockSlot_);
    snapshot_ = std::move(previous.snapshot_);
    lockedSnapshot_ = std::move(previous.lockedSnapshot_);
    stale_ = !snapshot_.empty() && (facesBuilt_ || boundsBuilt_ || trisBuilt_ || locksBuilt_);
    previous.facesBuilt_ = previous.boundsBuilt_ = previous.trisBuilt_ = previous.locksBuilt_ = false;
    previous.normalsBuilt_[0] = previous.normalsBuilt_[1] = false;
}

// The mesh drops this object whenever it drops its topology, so the pointer stays valid while in use.
const MeshTopology& MeshGeometry::topo() const {
    if (!topo_) topo_ = &mesh_.topology();
    return *topo_;
}

bool MeshGeometry::carriesOver(const Mesh& mesh, const MeshTopology* topo) const {
    return (!topo_ || topo_ == topo) && !snapshot_.empty() && int(snapshot_.size()) == mesh.numVertices();
}

void MeshGeometry::keepSnapshot() const {
    if (!snapshot_.empty() || mesh_.points.empty()) return;
    snapshot_ = mesh_.points;
    lockedSnapshot_ = mesh_.lockedNormals;
}

// Brings carried-over parts up to the mesh's points: the faces around moved vertices get new normals,
// areas, centres and triangles, the corners of those faces new vertex normals; the bounds are measured
// again only when a moved point lay on them or moved outside them.
void MeshGeometry::refresh() const {
    if (!stale_) return;
    stale_ = false;
    if (mesh_.lockedNormals != lockedSnapshot_) {
        locksBuilt_ = normalsBuilt_[0] = normalsBuilt_[1] = false;
        lockedSnapshot_ = mesh_.lockedNormals;
    }
    std::vector<int> moved;
    for (size_t i = 0; i < snapshot_.size(); ++i)
        if (snapshot_[i] != mesh_.points[i]) moved.push_back(int(i));
    if (moved.empty()) return;
    if (boundsBuilt_) {
        const V3 &lo = bounds_[0], &hi = bounds_[1];
        auto inside = [&](const V3& p) {
            return p.x > lo.x && p.y > lo.y && p.z > lo.z && p.x < hi.x && p.y < hi.y && p.z < hi.z;
        };
        for (int v : moved)
            if (!inside(snapshot_[size_t(v)]) || !inside(mesh_.points[size_t(v)])) {
                boundsBuilt_ = false;
                break;
            }
    }
    for (int v : moved) snapshot_[size_t(v)] = mesh_.points[size_t(v)];
    if (!facesBuilt_ && !trisBuilt_) return;
    // The faces around the moved vertices, then every corner of those faces.
    std::vector<char> faceMark(size_t(mesh_.numFaces()), 0), vertMark;
    std::vector<int> faces, verts;
    for (int v : moved)
        for (int f : topo().vertexFaces(v))
            if (!faceMark[size_t(f)]) {
                faceMark[size_t(f)] = 1;
                faces.push_back(f);
            }
    std::vector<int> corners;
    for (int f : faces) {
        const int b = mesh_.faceOffsets[f], e = mesh_.faceOffsets[f + 1];
        if (facesBuilt_) {
            const V3 n = newellNormal(mesh_, f);
            newell_[f] = n;
            faces_.normals[f] = normalized(n);
            faces_.areas[f] = 0.5 * length(n);
            V3 c;
            for (int i = b; i < e; ++i) c += mesh_.points[mesh_.faceVerts[i]];
            faces_.centres[f] = e > b ? c * (1.0 / (e - b)) : c;
        }
        if (trisBuilt_ && e - b > 3) {
            corners.clear();
            triangulateFace(mesh_, f, corners);
            std::copy(corners.begin(), corners.end(), tris_.corners.begin() + 3 * tris_.offsets[f]);
        }
    }
    if (!facesBuilt_ || (!normalsBuilt_[0] && !normalsBuilt_[1])) return;
    vertMark.assign(size_t(mesh_.numVertices()), 0);
    for (int f : faces)
        for (int i = mesh_.faceOffsets[f]; i < mesh_.faceOffsets[f + 1]; ++i) {
            const int v = mesh_.faceVerts[i];
            if (vertMark[size_t(v)]) continue;
            vertMark[size_t(v)] = 1;
            for (int k = 0; k < 2; ++k)
                if (normalsBuilt_[k]) vertexNormals_[k][size_t(v)] = computeVertexNormal(v, k == 1, &newell_);
        }
}

V3 MeshGeometry::newellNormal(const Mesh& mesh, int f) {
    const int b = mesh.faceOffsets[f], e = mesh.faceOffsets[f + 1];
    V3 n;
    for (int c = b; c < e; ++c) {
        const V3& p = mesh.points[mesh.faceVerts[c]];
        const V3& q = mesh.points[mesh.faceVerts[c + 1 < e ? c + 1 : b]];
        n.x += (p.y - q.y) * (p.z + q.z);
        n.y += (p.z - q.z) * (p.x + q.x);
        n.z += (p.x - q.x) * (p.y + q.y);
    }
    return n;
}

const MeshGeometry::FaceData& MeshGeometry::faces() const {
    if (stale_) refresh();
    if (facesBuilt_) return faces_;
    keepSnapshot();
    const int nf = mesh_.numFaces();
    newell_.resize(nf);
    faces_.normals.resize(nf);
    faces_.areas.resize(nf);
    faces_.centres.resize(nf);
    for (int f = 0; f < nf; ++f) {
        const V3 n = newellNormal(mesh_, f);
        newell_[f] = n;
        faces_.normals[f] = normalized(n);
        faces_.areas[f] = 0.5 * length(n);
        V3 c;
        const int b = mesh_.faceOffsets[f], e = mesh_.faceOffsets[f + 1];
        for (int i = b; i < e; ++i) c += mesh_.points[mesh_.faceVerts[i]];
        faces_.centres[f] = e > b ? c * (1.0 / (e - b)) : c;
    }
    facesBuilt_ = true;
    return faces_;
}

const std::array<V3, 2>& MeshGeometry::bounds() const {
    if (stale_) refresh();
    if (boundsBuilt_) return bounds_;
    keepSnapshot();
    bounds_ = {V3{}, V3{}};
    if (!mesh_.points.empty()) {
        V3 lo = mesh_.points[0], hi = lo;
        for (const V3& p : mesh_.points) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        bounds_ = {lo, hi};
    }
    boundsBuilt_ = true;
    return bounds_;
}

const std::vector<int>& MeshGeometry::lockSlots() const {
    if (stale_) refresh();
    if (locksBuilt_) return lockSlot_;
    keepSnapshot();
    lockSlot_.assign(mesh_.numVertices(), -1);
    for (size_t i = 0; i < mesh_.lockedNormals.size(); ++i) {
        const int v = mesh_.lockedNormals[i].first;
        if (v >= 0 && v < mesh_.numVertices()) lockSlot_[v] = int(i);  // a later entry wins
    }
    locksBuilt_ = true;
    return lockSlot_;
}

// Sum of the adjacent faces' normals, weighted by the corner angle (angleWeighted) or by face area (the
// Newell vector's length is twice the area, so summing Newell vectors weights by area).
V3 MeshGeometry::cornerContribution(int f, int c, const V3& newell, bool angleWeighted) const {
    if (!angleWeighted) return newell;
    const int b = mesh_.faceOffsets[f], e = mesh_.faceOffsets[f + 1];
    const V3& p = mesh_.points[mesh_.faceVerts[c]];
    const V3 a = mesh_.points[mesh_.faceVerts[c > b ? c - 1 : e - 1]] - p;
    const V3 d = mesh_.points[mesh_.faceVerts[c + 1 < e ? c + 1 : b]] - p;
    const double angle = std::atan2(length(cross(a, d)), dot(a, d));
    return normalized(newell) * angle;
}

// One vertex's sum, over its corners in face-vertex order: the order in which vertexNormals' pass over the
// faces meets them, so both give the same bits.
V3 MeshGeometry::computeVertexNormal(int v, bool angleWeighted, const std::vector<V3>* newell) const {
    const int slot = lockSlots()[v];
    if (slot >= 0) return mesh_.lockedNormals[slot].second;
    const MeshTopology& t = topo();
    int small[16];
    std::vector<int> large;
    const auto fan = t.vertexFaceVerts(v);
    const size_t count = size_t(fan.end() - fan.begin());
    int* corners = small;
    if (count > 16) {
        large.resize(count);
        corners = large.data();
    }
    std::copy(fan.begin(), fan.end(), corners);
    std::sort(corners, corners + count);
    V3 sum;
    for (size_t i = 0; i < count; ++i) {
        const int c = corners[i], f = t.faceOfFaceVert(c);
        sum += cornerContribution(f, c, newell ? (*newell)[f] : newellNormal(mesh_, f), angleWeighted);
    }
    return normalized(sum);
}

const std::vector<V3>& MeshGeometry::vertexNormals(bool angleWeighted) const {
    const int k = angleWeighted ? 1 : 0;
    if (stale_) refresh();
    if (normalsBuilt_[k]) return vertexNormals_[k];
    faces();
    const int nv = mesh_.numVertices(), nf = mesh_.numFaces();
    std::vector<V3>& out = vertexNormals_[k];
    out.assign(size_t(nv), V3{});
    for (int f = 0; f < nf; ++f)
        for (int c = mesh_.faceOffsets[f]; c < mesh_.faceOffsets[f + 1]; ++c)
            out[size_t(mesh_.faceVerts[c])] += cornerContribution(f, c, newell_[f], angleWeighted);
    const std::vector<int>& locks = lockSlots();
    for (int v = 0; v < nv; ++v)
        out[size_t(v)] = locks[size_t(v)] >= 0 ? mesh_.lockedNormals[size_t(locks[size_t(v)])].second
                                               : normalized(out[size_t(v)]);
    normalsBuilt_[k] = true;
    return out;
}

V3 MeshGeometry::vertexNormal(int v, bool angleWeighted) const {
    const int k = angleWeighted ? 1 : 0;
    if (stale_) refresh();
    if (normalsBuilt_[k]) return vertexNormals_[k][v];
    return computeVertexNormal(v, angleWeighted, facesBuilt_ ? &newell_ : nullptr);
}

bool MeshGeometry::faceIsConvex(int f) const {
    return faceIsConvex(mesh_, f);
}

bool MeshGeometry::faceIsConvex(const Mesh& mesh, int f) {
    const int b = mesh.faceOffsets[f], n = mesh.faceOffsets[f + 1] - b;
    if (n <= 3) return true;
    const V3 nrm = normalized(newellNormal(mesh, f));
    for (int i = 0; i < n; ++i) {
        const V3& p0 = mesh.points[mesh.faceVerts[b + (i + n - 1) % n]];
        const V3& p1 = mesh.points[mesh.faceVerts[b + i]];
        const V3& p2 = mesh.points[mesh.faceVerts[b + (i + 1) % n]];
        const V3 t = cross(p1 - p0, p2 - p1);
        // Relative tolerance: a straight corner counts as convex.
        if (dot(t, nrm) < -1e-12 * length(p1 - p0) * length(p2 - p1)) return false;
    }
    return true;
}

std::array<int, 3> MeshGeometry::triangleVertices(int f, int t) const {
    const std::array<int, 3> c = triangleCorners(f, t);
    const int b = mesh_.faceOffsets[f];
    return {mesh_.faceVerts[b + c[0]], mesh_.faceVerts[b + c[1]], mesh_.faceVerts[b + c[2]]};
}

void MeshGeometry::triangulateFace(const Mesh& mesh, int f, std::vector<int>& out) {
    const int b = mesh.faceOffsets[f], n = mesh.faceOffsets[f + 1] - b;
    if (n < 3) return;
    auto fan = [&](const std::vector<int>& ids) {
        for (size_t i = 1; i + 1 < ids.size(); ++i) out.insert(out.end(), {ids[0], ids[i], ids[i + 1]});
    };
    const V3 nrm = n == 3 ? V3{} : newellNormal(mesh, f);
    if (n == 3 || length(nrm) == 0 || faceIsConvex(mesh, f)) {
        for (int i = 1; i + 1 < n; ++i) out.insert(out.end(), {0, i, i + 1});
        return;
    }
    std::vector<int> ids(n);
    for (int i = 0; i < n; ++i) ids[i] = i;
    // Ear clipping in the face's plane: drop the normal's dominant axis, keeping the polygon
    // counter-clockwise in 2D.
    const double ax = std::fabs(nrm.x), ay = std::fabs(nrm.y), az = std::fabs(nrm.z);
    std::vector<P2> p(n);
    for (int i = 0; i < n; ++i) {
        const V3& q = mesh.points[mesh.faceVerts[b + i]];
        if (az >= ax && az >= ay)
            p[i] = nrm.z > 0 ? P2{q.x, q.y} : P2{q.y, q.x};
        else if (ax >= ay)
            p[i] = nrm.x > 0 ? P2{q.y, q.z} : P2{q.z, q.y};
        else
            p[i] = nrm.y > 0 ? P2{q.z, q.x} : P2{q.x, q.z};
    }
    auto samePoint = [](const P2& a, const P2& b) { return a.x == b.x && a.y == b.y; };
    while (ids.size() > 3) {
        const int m = int(ids.size());
        int ear = -1, firstConvex = -1;
        for (int i = 0; i < m && ear < 0; ++i) {
            const int ia = ids[(i + m - 1) % m], ib = ids[i], ic = ids[(i + 1) % m];
            if (cross2(p[ia], p[ib], p[ic]) <= 0) continue;  // reflex or straight corner
            if (firstConvex < 0) firstConvex = i;
            // Another outline point inside or on the candidate blocks it; a point sitting exactly on one of
            // its corners does not (the two sides of a cut bridging a hole share positions).
            bool blocked = false;
            for (int j = 0; j < m && !blocked; ++j) {
                const P2& q = p[ids[j]];
                if (samePoint(q, p[ia]) || samePoint(q, p[ib]) || samePoint(q, p[ic])) continue;
                blocked = inTriangle(q, p[ia], p[ib], p[ic]);
            }
            if (!blocked) ear = i;
        }
        // A self-intersecting outline may have no ear: cut a convex corner anyway, or fan what is left.
        if (ear < 0) ear = firstConvex;
        if (ear < 0) break;
        out.insert(out.end(), {ids[(ear + m - 1) % m], ids[ear], ids[(ear + 1) % m]});
        ids.erase(ids.begin() + ear);
    }
    fan(ids);
}

const MeshGeometry::Triangles& MeshGeometry::tris() const {
    if (stale_) refresh();
    if (trisBuilt_) return tris_;
    keepSnapshot();
    const int nf = mesh_.numFaces();
    tris_.offsets.assign(1, 0);
    tris_.offsets.reserve(nf + 1);
    tris_.corners.clear();
    tris_.corners.reserve(3 * std::max(0, mesh_.numFaceVertices() - 2 * nf));
    for (int f = 0; f < nf; ++f) {
        triangulateFace(mesh_, f, tris_.corners);
        tris_.offsets.push_back(int(tris_.corners.size() / 3));
    }
    trisBuilt_ = true;
    return tris_;
}

namespace {
bool sameV3(const std::vector<V3>& a, const std::vector<V3>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}
}  // namespace

bool MeshGeometry::agreesWith(const MeshGeometry& fresh) const {
    refresh();
    if (facesBuilt_) {
        const FaceData& f = fresh.faces();
        if (!sameV3(faces_.normals, f.normals) || !sameV3(faces_.centres, f.centres) ||
            faces_.areas != f.areas)
            return false;
    }
    if (boundsBuilt_ && (bounds_[0] != fresh.bounds()[0] || bounds_[1] != fresh.bounds()[1])) return false;
    if (trisBuilt_ && (tris_.offsets != fresh.tris().offsets || tris_.corners != fresh.tris().corners))
        return false;
    if (locksBuilt_ && lockSlot_ != fresh.lockSlots()) return false;
    for (int k = 0; k < 2; ++k)
        if (normalsBuilt_[k] && !sameV3(vertexNormals_[k], fresh.vertexNormals(k == 1))) return false;
    return true;
}

}  // namespace kxh
