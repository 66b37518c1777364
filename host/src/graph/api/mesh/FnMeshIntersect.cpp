// MFnMesh: closest point and ray casts over the mesh's triangulation, and the bookkeeping of intersection
// accelerators (one per mesh, kept while the mesh and the requested configuration stay the same).
#include <maya/MFloatArray.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVector.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <sstream>

#include "graph/api/mesh/MeshAccess.h"
#include "mesh/MeshGeometry.h"

using namespace kxh;

// --- accelerator bookkeeping -----------------------------------------------------------------------------

MMeshIsectAccelParams::MMeshIsectAccelParams() = default;

namespace {

struct AccelRecord {
    std::weak_ptr<void> owner;       // the shape node or mesh data the record belongs to
    std::weak_ptr<const Mesh> mesh;  // the mesh it was built for
    bool autoGrid = true;
    int div[3] = {0, 0, 0};
    double buildSeconds = 0;
    size_t memoryBytes = 0;
};

struct AccelRegistry {
    std::map<const void*, AccelRecord> records;
    int created = 0;
};

AccelRegistry& registry() {
    static AccelRegistry r;
    return r;
}

// The key and owner of the mesh a function set is attached to.
const void* ownerKey(const MObject& object, std::shared_ptr<void>* owner) {
    if (NodePtr n = nodeOf(object)) {
        if (owner) *owner = n;
        return n.get();
    }
    DataPtr d = dataOf(object);
    if (owner) *owner = d;
    return d.get();
}

// The record for a mesh when it still describes that mesh; stale records are dropped.
AccelRecord* liveRecord(const void* key, const ConstMeshPtr& mesh) {
    auto& recs = registry().records;
    auto it = recs.find(key);
    if (it == recs.end()) return nullptr;
    auto owner = it->second.owner.lock();
    auto built = it->second.mesh.lock();
    if (!owner || owner.get() != key || !mesh || built != mesh) {
        recs.erase(it);
        return nullptr;
    }
    return &it->second;
}

// Grid divisions for an automatic configuration: about one triangle per cell, 1 to 100 per axis.
void autoDivisions(int triangles, int div[3]) {
    int d = std::max(1, std::min(100, int(std::lround(std::cbrt(std::max(1, triangles))))));
    div[0] = div[1] = div[2] = d;
}

// Makes sure an accelerator for `params` is cached on the mesh.
void useAccelerator(const MObject& object, const ConstMeshPtr& mesh, bool autoGrid, const int* divisions) {
    std::shared_ptr<void> owner;
    const void* key = ownerKey(object, &owner);
    if (!key || !mesh) return;
    AccelRecord* rec = liveRecord(key, mesh);
    bool same =
        rec && rec->autoGrid == autoGrid && (autoGrid || std::equal(divisions, divisions + 3, rec->div));
    if (same) return;
    auto start = std::chrono::steady_clock::now();
    AccelRecord r;
    r.owner = owner;
    r.mesh = mesh;
    r.autoGrid = autoGrid;
    const int tris = mesh->geometry().numTriangles();
    if (autoGrid)
        autoDivisions(tris, r.div);
    else
        std::copy(divisions, divisions + 3, r.div);
    r.memoryBytes = size_t(tris) * 48 + size_t(r.div[0]) * r.div[1] * r.div[2] * 8;
    r.buildSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    registry().records[key] = r;
    ++registry().created;
}

std::string describe(const AccelRecord& r) {
    std::ostringstream s;
    s << r.div[0] << "x" << r.div[1] << "x" << r.div[2] << " uniform grid, (build time " << r.buildSeconds
      << "s), (memory footprint " << (r.memoryBytes + 1023) / 1024 << "KB)";
    return s.str();
}

}  // namespace

MMeshIsectAccelParams MFnMesh::autoUniformGridParams() {
    MMeshIsectAccelParams p;
    p.autoGrid_ = true;
    return p;
}

MMeshIsectAccelParams MFnMesh::uniformGridParams(int xDiv, int yDiv, int zDiv) {
    MMeshIsectAccelParams p;
    p.autoGrid_ = false;
    p.divisions_[0] = std::max(1, xDiv);
    p.divisions_[1] = std::max(1, yDiv);
    p.divisions_[2] = std::max(1, zDiv);
    return p;
}

MStatus MFnMesh::freeCachedIntersectionAccelerator() {
    if (object_.isNull()) return MS::kFailure;
    registry().records.erase(ownerKey(object_, nullptr));
    return MS::kSuccess;
}

MString MFnMesh::cachedIntersectionAcceleratorInfo(MStatus* ReturnStatus) {
    if (object_.isNull()) {
        setStatus(ReturnStatus, MS::kFailure);
        return MString();
    }
    setStatus(ReturnStatus, MS::kSuccess);
    MeshAccess a(object_, path_);
    AccelRecord* rec = liveRecord(ownerKey(object_, nullptr), a.read());
    return rec ? MString(describe(*rec)) : MString();
}

MString MFnMesh::globalIntersectionAcceleratorsInfo() {
    size_t active = 0, bytes = 0;
    for (auto& [key, rec] : registry().records) {
        if (rec.owner.expired() || rec.mesh.expired()) continue;
        ++active;
        bytes += rec.memoryBytes;
    }
    std::ostringstream s;
    s << "total " << registry().created << " accelerators created (" << active
      << " currently active - total current memory = " << (bytes + 1023) / 1024 << "KB)";
    return MString(s.str());
}

// Only the statistics: cached accelerators stay.
void MFnMesh::clearGlobalIntersectionAcceleratorInfo() {
    registry().created = 0;
}

// --- ray casts
// ----------------------------------------------------------------------------------------------

namespace {

struct Hit {
    double t;
    int face, tri;
    double b1, b2;
};

// Möller-Trumbore: the ray parameter and the barycentrics (u at p1, v at p2) of the ray's crossing with
// triangle (p0, p1, p2); false when parallel or outside (with `tol` of slack on the barycentrics).
bool rayTriangle(const V3& o, const V3& d, const V3& p0, const V3& p1, const V3& p2, double tol, double& t,
                 double& u, double& v) {
    const V3 e1 = p1 - p0, e2 = p2 - p0;
    const V3 p = cross(d, e2);
    const double det = dot(e1, p);
    const double scale = length(e1) * length(e2) * length(d);
    if (std::fabs(det) <= 1e-14 * scale || scale == 0) return false;
    const double inv = 1.0 / det;
    const V3 s = o - p0;
    u = dot(s, p) * inv;
    if (u < -tol || u > 1 + tol) return false;
    const V3 q = cross(s, e1);
    v = dot(d, q) * inv;
    if (v < -tol || u + v > 1 + tol) return false;
    t = dot(e2, q) * inv;
    return true;
}

}  // namespace

// mode 0: closest hit, 1: any hit, 2: all hits.
bool MFnMesh::intersect(int mode, const MFloatPoint& raySource, const MFloatVector& rayDirection,
                        const MIntArray* faceIds, const MIntArray* triIds, MSpace::Space space,
                        float maxParam, bool testBothDirections, MMeshIsectAccelParams* accelParams,
                        bool sortHits, MFloatPointArray* hitPoints, MFloatArray* hitRayParams,
                        MIntArray* hitFaces, MIntArray* hitTriangles, MFloatArray* hitBary1,
                        MFloatArray* hitBary2, float tolerance, MStatus* ReturnStatus) {
    MeshAccess a(object_, path_);
    ConstMeshPtr mesh = object_.isNull() ? nullptr : a.read();
    if (!mesh) {
        setStatus(ReturnStatus, MS::kFailure);
        return false;
    }
    const Mesh& m = *mesh;
    const V3 dir{rayDirection.x, rayDirection.y, rayDirection.z};
    if (length(dir) == 0 || (triIds && (!faceIds || triIds->length() != faceIds->length()))) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return false;
    }
    const MeshGeometry& g = m.geometry();
    if (faceIds) {
        for (unsigned i = 0; i < faceIds->length(); ++i) {
            int f = (*faceIds)[i];
            bool bad = f < 0 || f >= m.numFaces();
            if (!bad && triIds) bad = (*triIds)[i] < 0 || (*triIds)[i] >= g.faceTriangleCount(f);
            if (bad) {
                setStatus(ReturnStatus, MS::kInvalidParameter);
                return false;
            }
        }
    }
    if (accelParams) useAccelerator(object_, mesh, accelParams->autoGrid_, accelParams->divisions_);

    // The ray in object space: an affine map keeps the parameter t of every point on it.
    const MMatrix toWorld = a.toSpace(space);
    const MMatrix toObject = toWorld.inverse();
    const V3 src{raySource.x, raySource.y, raySource.z};
    const V3 o = xformPoint(src, toObject);
    const V3 d = toV3(toMVector(dir) * toObject);
    const double tol = tolerance;

    std::vector<Hit> hits;
    bool found = false;
    Hit best{};
    auto testTri = [&](int f, int k) {
        auto vs = g.triangleVertices(f, k);
        double t, u, v;
        if (!rayTriangle(o, d, m.points[size_t(vs[0])], m.points[size_t(vs[1])], m.points[size_t(vs[2])], tol,
                         t, u, v))
            return false;
        if (t > maxParam || (t < 0 && (!testBothDirections || -t > maxParam))) return false;
        Hit h{t, f, k, 1 - u - v, u};
        if (mode == 2) {
            // A ray through the diagonal between two triangles of one face crosses that face once.
            for (const Hit& o : hits)
                if (o.face == f && std::fabs(o.t - t) <= 1e-9 * std::max(1.0, std::fabs(t))) return false;
            hits.push_back(h);
        } else if (!found || std::fabs(t) < std::fabs(best.t)) {
            best = h;
        }
        found = true;
        return mode == 1;  // stop at the first hit
    };
    auto testFace = [&](int f) {
        for (int k = 0; k < g.faceTriangleCount(f); ++k)
            if (testTri(f, k)) return true;
        return false;
    };
    if (!faceIds) {
        for (int f = 0; f < m.numFaces(); ++f)
            if (testFace(f)) break;
    } else {
        for (unsigned i = 0; i < faceIds->length(); ++i)
            if (triIds ? testTri((*faceIds)[i], (*triIds)[i]) : testFace((*faceIds)[i])) break;
    }
    setStatus(ReturnStatus, MS::kSuccess);

    if (mode != 2) {
        hits.clear();
        if (found) hits.push_back(best);
    } else if (sortHits) {
        std::stable_sort(hits.begin(), hits.end(), [](const Hit& x, const Hit& y) { return x.t < y.t; });
    }
    // Hit points are given in the ray's own space.
    hitPoints->clear();
    for (MFloatArray* arr : {hitRayParams, hitBary1, hitBary2})
        if (arr) arr->clear();
    for (MIntArray* arr : {hitFaces, hitTriangles})
        if (arr) arr->clear();
    for (const Hit& h : hits) {
        hitPoints->append(
            MFloatPoint(float(src.x + h.t * dir.x), float(src.y + h.t * dir.y), float(src.z + h.t * dir.z)));
        if (hitRayParams) hitRayParams->append(float(h.t));
        if (hitFaces) hitFaces->append(h.face);
        if (hitTriangles) hitTriangles->append(h.tri);
        if (hitBary1) hitBary1->append(float(h.b1));
        if (hitBary2) hitBary2->append(float(h.b2));
    }
    return !hits.empty();
}

namespace {
// Copies the single hit of a closest/any query to the caller's outputs.
void singleHit(const MFloatPointArray& pts, const MFloatArray& params, const MIntArray& faces,
               const MIntArray& tris, const MFloatArray& b1, const MFloatArray& b2, MFloatPoint& hitPoint,
               float* hitRayParam, int* hitFace, int* hitTriangle, float* hitBary1, float* hitBary2) {
    hitPoint = pts[0];
    if (hitRayParam) *hitRayParam = params[0];
    if (hitFace) *hitFace = faces[0];
    if (hitTriangle) *hitTriangle = tris[0];
    if (hitBary1) *hitBary1 = b1[0];
    if (hitBary2) *hitBary2 = b2[0];
}
}  // namespace

bool MFnMesh::closestIntersection(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                                  const MIntArray* faceIds, const MIntArray* triIds, bool,
                                  MSpace::Space space, float maxParam, bool testBothDirections,
                                  MMeshIsectAccelParams* accelParams, MFloatPoint& hitPoint,
                                  float* hitRayParam, int* hitFace, int* hitTriangle, float* hitBary1,
                                  float* hitBary2, float tolerance, MStatus* ReturnStatus) {
    MFloatPointArray pts;
    MFloatArray params, b1, b2;
    MIntArray faces, tris;
    if (!intersect(0, raySource, rayDirection, faceIds, triIds, space, maxParam, testBothDirections,
                   accelParams, false, &pts, &params, &faces, &tris, &b1, &b2, tolerance, ReturnStatus))
        return false;
    singleHit(pts, params, faces, tris, b1, b2, hitPoint, hitRayParam, hitFace, hitTriangle, hitBary1,
              hitBary2);
    return true;
}

bool MFnMesh::anyIntersection(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                              const MIntArray* faceIds, const MIntArray* triIds, bool, MSpace::Space space,
                              float maxParam, bool testBothDirections, MMeshIsectAccelParams* accelParams,
                              MFloatPoint& hitPoint, float* hitRayParam, int* hitFace, int* hitTriangle,
                              float* hitBary1, float* hitBary2, float tolerance, MStatus* ReturnStatus) {
    MFloatPointArray pts;
    MFloatArray params, b1, b2;
    MIntArray faces, tris;
    if (!intersect(1, raySource, rayDirection, faceIds, triIds, space, maxParam, testBothDirections,
                   accelParams, false, &pts, &params, &faces, &tris, &b1, &b2, tolerance, ReturnStatus))
        return false;
    singleHit(pts, params, faces, tris, b1, b2, hitPoint, hitRayParam, hitFace, hitTriangle, hitBary1,
              hitBary2);
    return true;
}

bool MFnMesh::allIntersections(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                               const MIntArray* faceIds, const MIntArray* triIds, bool, MSpace::Space space,
                               float maxParam, bool testBothDirections, MMeshIsectAccelParams* accelParams,
                               bool sortHits, MFloatPointArray& hitPoints, MFloatArray* hitRayParams,
                               MIntArray* hitFaces, MIntArray* hitTriangles, MFloatArray* hitBary1,
                               MFloatArray* hitBary2, float tolerance, MStatus* ReturnStatus) {
    return intersect(2, raySource, rayDirection, faceIds, triIds, space, maxParam, testBothDirections,
                     accelParams, sortHits, &hitPoints, hitRayParams, hitFaces, hitTriangles, hitBary1,
                     hitBary2, tolerance, ReturnStatus);
}

// --- closest point ----------------------------------------------------------------------------------------

namespace {

// The point of triangle (a, b, c) closest to p (Ericson, Real-Time Collision Detection 5.1.5).
V3 closestOnTriangle(const V3& p, const V3& a, const V3& b, const V3& c) {
    const V3 ab = b - a, ac = c - a, ap = p - a;
    const double d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return a;
    const V3 bp = p - b;
    const double d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return b;
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return a + ab * (d1 / (d1 - d3));
    const V3 cp = p - c;
    const double d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return c;
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return a + ac * (d2 / (d2 - d6));
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const double denom = 1.0 / (va + vb + vc);
    return a + ab * (vb * denom) + ac * (vc * denom);
}

// Closest point of the mesh to p, both in the space `toSpace` maps object space to (distances are measured
// there, so a non-uniform scale is honoured). False for a mesh without faces.
bool closestPoint(const Mesh& m, const MMatrix& toSpace, const V3& p, V3& out, int& face) {
    const MeshGeometry& g = m.geometry();
    const bool identity = isIdentity(toSpace);
    std::vector<V3> moved;
    if (!identity) {
        moved.resize(m.points.size());
        for (size_t i = 0; i < moved.size(); ++i) moved[i] = xformPoint(m.points[i], toSpace);
    }
    const std::vector<V3>& pts = identity ? m.points : moved;
    double best = -1;
    for (int f = 0; f < m.numFaces(); ++f) {
        for (int k = 0; k < g.faceTriangleCount(f); ++k) {
            auto vs = g.triangleVertices(f, k);
            V3 q = closestOnTriangle(p, pts[size_t(vs[0])], pts[size_t(vs[1])], pts[size_t(vs[2])]);
            double d = dot(q - p, q - p);
            if (best < 0 || d < best) {
                best = d;
                out = q;
                face = f;
            }
        }
    }
    return best >= 0;
}

}  // namespace

MStatus MFnMesh::getClosestPoint(const MPoint& toThisPoint, MPoint& theClosestPoint, MSpace::Space space,
                                 int* closestPolygon, MMeshIsectAccelParams* accelParams) const {
    MVector n;
    return getClosestPointAndNormal(toThisPoint, theClosestPoint, n, space, closestPolygon, accelParams);
}

// The normal is the closest polygon's normal.
MStatus MFnMesh::getClosestPointAndNormal(const MPoint& toThisPoint, MPoint& theClosestPoint,
                                          MVector& theNormal, MSpace::Space space, int* closestPolygon,
                                          MMeshIsectAccelParams* accelParams) const {
    MeshAccess a(object_, path_);
    ConstMeshPtr mesh = object_.isNull() ? nullptr : a.read();
    if (!mesh) return MS::kFailure;
    if (accelParams) useAccelerator(object_, mesh, accelParams->autoGrid_, accelParams->divisions_);
    const MMatrix toSpace = a.toSpace(space);
    V3 q;
    int face = -1;
    if (!closestPoint(*mesh, toSpace, toV3(toThisPoint), q, face)) return MS::kFailure;
    theClosestPoint = toMPoint(q);
    theNormal = toMVector(xformNormal(mesh->geometry().faceNormal(face), toSpace));
    if (closestPolygon) *closestPolygon = face;
    return MS::kSuccess;
}

MStatus MFnMesh::getClosestNormal(const MPoint& toThisPoint, MVector& theNormal, MSpace::Space space,
                                  int* closestPolygon, MMeshIsectAccelParams* accelParams) const {
    MPoint p;
    return getClosestPointAndNormal(toThisPoint, p, theNormal, space, closestPolygon, accelParams);
}
