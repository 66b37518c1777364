// MFnMesh: closest point and ray casts over the mesh's triangulation, and the bookkeeping of intersection
// accelerators (one per mesh, kept while the mesh and the requested configuration stay the same).
// Every query goes through the mesh kernel's BVH (mesh/MeshBvh.h), with or without accelerator params: the
// params only decide what the accelerator bookkeeping reports.
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
#include "mesh/MeshBvh.h"
#include "mesh/MeshGeometry.h"

using namespace kxh;

// --- accelerator bookkeeping -----------------------------------------------------------------------------

MMeshIsectAccelParams::MMeshIsectAccelParams() = default;

namespace {

struct AccelRecord {
    std::weak_ptr<void> owner;       // the shape node or mesh data the record belongs to
    std::weak_ptr<const Mesh> mesh;  // the mesh it was built for, with the versions of its data then
    std::uint64_t pointsVersion = 0, topologyVersion = 0;
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
    if (!owner || owner.get() != key || !mesh || built != mesh ||
        it->second.pointsVersion != mesh->pointsVersion() ||
        it->second.topologyVersion != mesh->topologyVersion()) {
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
    r.pointsVersion = mesh->pointsVersion();
    r.topologyVersion = mesh->topologyVersion();
    r.autoGrid = autoGrid;
    const int tris = mesh->geometry().numTriangles();
    if (autoGrid)
        autoDivisions(tris, r.div);
    else
        std::copy(divisions, divisions + 3, r.div);
    // What the record describes is the mesh's BVH, which every query uses anyway: make sure it is built
    // and report its real cost.
    meshBvhPrepare(*mesh);
    r.memoryBytes = meshBvhMemory(*mesh) + size_t(r.div[0]) * r.div[1] * r.div[2] * 8;
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
        const ConstMeshPtr m = rec.mesh.lock();
        if (rec.owner.expired() || !m || m->pointsVersion() != rec.pointsVersion ||
            m->topologyVersion() != rec.topologyVersion)
            continue;
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

// The hits of one cast in object space, and the matrix that maps them into the ray's space. False with
// the status set when the call is refused (unattached, zero direction, bad face or triangle ids).
// mode 0: closest hit, 1: any hit (both into `one`, `found` telling whether there is one), 2: all hits.
bool castRay(const MObject& object, int mode, const MFloatPoint& raySource, const MFloatVector& rayDirection,
             const MIntArray* faceIds, const MIntArray* triIds, MSpace::Space space, float maxParam,
             bool testBothDirections, MMeshIsectAccelParams* accelParams, bool autoGrid, const int* divisions,
             bool sortHits, float tolerance, std::vector<MeshRayHit>& hits, MeshRayHit& one, bool& found,
             MMatrix& toSpace, MStatus* ReturnStatus) {
    // The shape's own world matrix stands for the attached path (one path per node), so the path itself
    // is not copied.
    MeshAccess a(object, MDagPath());
    ConstMeshPtr mesh = object.isNull() ? nullptr : a.read();
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
    if (faceIds) {
        const MeshGeometry& g = m.geometry();
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
    if (accelParams) useAccelerator(object, mesh, autoGrid, divisions);

    // The ray in object space: an affine map keeps the parameter t of every point on it.
    toSpace = a.toSpace(space);
    MeshRay ray;
    if (isIdentity(toSpace)) {
        ray.origin = V3{raySource.x, raySource.y, raySource.z};
        ray.direction = dir;
    } else {
        const MMatrix toObject = a.toObject(space);
        ray.origin = xformPoint(V3{raySource.x, raySource.y, raySource.z}, toObject);
        ray.direction = toV3(toMVector(dir) * toObject);
    }
    ray.maxParam = maxParam;
    ray.bothDirections = testBothDirections;
    ray.tolerance = tolerance;
    if (faceIds) ray.faces = &faceIds->vec();
    if (triIds) ray.triangles = &triIds->vec();

    hits.clear();
    found = false;
    if (mode == 2)
        hits = meshAllHits(m, ray, sortHits);
    else
        found = mode == 0 ? meshClosestHit(m, ray, one) : meshAnyHit(m, ray, one);
    setStatus(ReturnStatus, MS::kSuccess);
    return true;
}

// Hit points are given in the ray's own space, from the point on the triangle (exact in double).
MFloatPoint hitPointIn(const MeshRayHit& h, const MMatrix& toSpace) {
    const V3 p = isIdentity(toSpace) ? h.point : xformPoint(h.point, toSpace);
    return MFloatPoint(float(p.x), float(p.y), float(p.z));
}

}  // namespace

bool MFnMesh::intersect(int mode, const MFloatPoint& raySource, const MFloatVector& rayDirection,
                        const MIntArray* faceIds, const MIntArray* triIds, MSpace::Space space,
                        float maxParam, bool testBothDirections, MMeshIsectAccelParams* accelParams,
                        bool sortHits, MFloatPointArray* hitPoints, MFloatArray* hitRayParams,
                        MIntArray* hitFaces, MIntArray* hitTriangles, MFloatArray* hitBary1,
                        MFloatArray* hitBary2, float tolerance, MStatus* ReturnStatus) {
    std::vector<MeshRayHit> hits;
    MeshRayHit one;
    bool found = false;
    MMatrix toSpace;
    if (!castRay(object_, mode, raySource, rayDirection, faceIds, triIds, space, maxParam, testBothDirections,
                 accelParams, accelParams && accelParams->autoGrid_,
                 accelParams ? accelParams->divisions_ : nullptr, sortHits, tolerance, hits, one, found,
                 toSpace, ReturnStatus))
        return false;
    if (found) hits.push_back(one);
    hitPoints->clear();
    for (MFloatArray* arr : {hitRayParams, hitBary1, hitBary2})
        if (arr) arr->clear();
    for (MIntArray* arr : {hitFaces, hitTriangles})
        if (arr) arr->clear();
    for (const MeshRayHit& h : hits) {
        hitPoints->append(hitPointIn(h, toSpace));
        if (hitRayParams) hitRayParams->append(float(h.t));
        if (hitFaces) hitFaces->append(h.face);
        if (hitTriangles) hitTriangles->append(h.triangle);
        if (hitBary1) hitBary1->append(float(h.b1));
        if (hitBary2) hitBary2->append(float(h.b2));
    }
    return !hits.empty();
}

namespace {
// A closest or any cast's single hit copied to the caller's outputs (no arrays in between).
bool singleHit(bool found, const MeshRayHit& h, const MMatrix& toSpace, MFloatPoint& hitPoint,
               float* hitRayParam, int* hitFace, int* hitTriangle, float* hitBary1, float* hitBary2) {
    if (!found) return false;
    hitPoint = hitPointIn(h, toSpace);
    if (hitRayParam) *hitRayParam = float(h.t);
    if (hitFace) *hitFace = h.face;
    if (hitTriangle) *hitTriangle = h.triangle;
    if (hitBary1) *hitBary1 = float(h.b1);
    if (hitBary2) *hitBary2 = float(h.b2);
    return true;
}

// A closest (mode 0) or any (mode 1) cast, with its single hit copied to the caller's outputs.
bool castForOneHit(const MObject& object, int mode, const MFloatPoint& raySource,
                   const MFloatVector& rayDirection, const MIntArray* faceIds, const MIntArray* triIds,
                   MSpace::Space space, float maxParam, bool testBothDirections,
                   MMeshIsectAccelParams* accelParams, bool autoGrid, const int* divisions,
                   MFloatPoint& hitPoint, float* hitRayParam, int* hitFace, int* hitTriangle, float* hitBary1,
                   float* hitBary2, float tolerance, MStatus* ReturnStatus) {
    std::vector<MeshRayHit> none;
    MeshRayHit hit;
    bool found = false;
    MMatrix toSpace;
    return castRay(object, mode, raySource, rayDirection, faceIds, triIds, space, maxParam,
                   testBothDirections, accelParams, autoGrid, divisions, false, tolerance, none, hit, found,
                   toSpace, ReturnStatus) &&
           singleHit(found, hit, toSpace, hitPoint, hitRayParam, hitFace, hitTriangle, hitBary1, hitBary2);
}
}  // namespace

bool MFnMesh::closestIntersection(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                                  const MIntArray* faceIds, const MIntArray* triIds, bool,
                                  MSpace::Space space, float maxParam, bool testBothDirections,
                                  MMeshIsectAccelParams* accelParams, MFloatPoint& hitPoint,
                                  float* hitRayParam, int* hitFace, int* hitTriangle, float* hitBary1,
                                  float* hitBary2, float tolerance, MStatus* ReturnStatus) {
    return castForOneHit(object_, 0, raySource, rayDirection, faceIds, triIds, space, maxParam,
                         testBothDirections, accelParams, accelParams && accelParams->autoGrid_,
                         accelParams ? accelParams->divisions_ : nullptr, hitPoint, hitRayParam, hitFace,
                         hitTriangle, hitBary1, hitBary2, tolerance, ReturnStatus);
}

bool MFnMesh::anyIntersection(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                              const MIntArray* faceIds, const MIntArray* triIds, bool, MSpace::Space space,
                              float maxParam, bool testBothDirections, MMeshIsectAccelParams* accelParams,
                              MFloatPoint& hitPoint, float* hitRayParam, int* hitFace, int* hitTriangle,
                              float* hitBary1, float* hitBary2, float tolerance, MStatus* ReturnStatus) {
    return castForOneHit(object_, 1, raySource, rayDirection, faceIds, triIds, space, maxParam,
                         testBothDirections, accelParams, accelParams && accelParams->autoGrid_,
                         accelParams ? accelParams->divisions_ : nullptr, hitPoint, hitRayParam, hitFace,
                         hitTriangle, hitBary1, hitBary2, tolerance, ReturnStatus);
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

MStatus MFnMesh::getClosestPoint(const MPoint& toThisPoint, MPoint& theClosestPoint, MSpace::Space space,
                                 int* closestPolygon, MMeshIsectAccelParams* accelParams) const {
    MVector n;
    return getClosestPointAndNormal(toThisPoint, theClosestPoint, n, space, closestPolygon, accelParams);
}

// The normal is the closest polygon's normal.
MStatus MFnMesh::getClosestPointAndNormal(const MPoint& toThisPoint, MPoint& theClosestPoint,
                                          MVector& theNormal, MSpace::Space space, int* closestPolygon,
                                          MMeshIsectAccelParams* accelParams) const {
    MeshAccess a(object_, MDagPath());  // the shape's world matrix stands for the path
    ConstMeshPtr mesh = object_.isNull() ? nullptr : a.read();
    if (!mesh) return MS::kFailure;
    if (accelParams) useAccelerator(object_, mesh, accelParams->autoGrid_, accelParams->divisions_);
    // Distances are measured in the requested space (a non-uniform scale changes which point is closest).
    const MMatrix toSpace = a.toSpace(space);
    MeshAffine xf;
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c) xf.m[r][c] = toSpace(r, c);
    MeshSurfacePoint q;
    if (!meshClosestPoint(*mesh, toV3(toThisPoint), isIdentity(toSpace) ? nullptr : &xf, q))
        return MS::kFailure;
    const int face = q.face;
    theClosestPoint = toMPoint(q.point);
    // One face's normal: the whole mesh's face normals are not needed (nor rebuilt after a point edit).
    theNormal = toMVector(xformNormal(normalized(MeshGeometry::newellNormal(*mesh, face)), toSpace));
    if (closestPolygon) *closestPolygon = face;
    return MS::kSuccess;
}

MStatus MFnMesh::getClosestNormal(const MPoint& toThisPoint, MVector& theNormal, MSpace::Space space,
                                  int* closestPolygon, MMeshIsectAccelParams* accelParams) const {
    MPoint p;
    return getClosestPointAndNormal(toThisPoint, p, theNormal, space, closestPolygon, accelParams);
}
