// MMeshIntersector and MPointOnMesh: closest points on a snapshot of a mesh, through the mesh's BVH.
#include <maya/MMeshIntersector.h>

#include <cmath>

#include "graph/api/mesh/MeshAccess.h"
#include "mesh/MeshBvh.h"
#include "mesh/MeshGeometry.h"

namespace kxh {

struct MeshIntersectorState {
    ConstMeshPtr mesh;  // the mesh as create() found it (meshes are copied on write, so it stays)
    MMatrix matrix, inverse;
    MeshAffine toSpace;
    bool identity = true;
};

}  // namespace kxh

using namespace kxh;

MPointOnMesh::MPointOnMesh() = default;

MFloatPoint& MPointOnMesh::getPoint() {
    return point_;
}
MFloatVector& MPointOnMesh::getNormal() {
    return normal_;
}
void MPointOnMesh::getBarycentricCoords(float& u, float& v) const {
    u = u_;
    v = v_;
}
int MPointOnMesh::faceIndex() const {
    return face_;
}
int MPointOnMesh::triangleIndex() const {
    return triangle_;
}

MMeshIntersector::MMeshIntersector() = default;
MMeshIntersector::~MMeshIntersector() = default;

MStatus MMeshIntersector::create(MObject& meshObject, const MMatrix& matrix) {
    state_.reset();
    MeshAccess access;
    if (!access.attach(meshObject)) return MS::kInvalidParameter;
    ConstMeshPtr mesh = access.read();
    if (!mesh || mesh->numFaces() <= 0) return MS::kInvalidParameter;
    auto s = std::make_shared<MeshIntersectorState>();
    s->mesh = mesh;
    s->matrix = matrix;
    s->inverse = matrix.inverse();
    s->identity = isIdentity(matrix);
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c) s->toSpace.m[r][c] = matrix(r, c);
    state_ = std::move(s);
    return MS::kSuccess;
}

bool MMeshIntersector::isCreated() {
    return state_ != nullptr;
}

MStatus MMeshIntersector::getClosestPoint(MPoint& point, MPointOnMesh& meshPoint, double maxDistance) {
    if (!state_) return MS::kFailure;
    const MeshIntersectorState& s = *state_;
    // Distances are measured in the matrix's space (a non-uniform scale changes which point is closest).
    MeshSurfacePoint q;
    if (!meshClosestPoint(*s.mesh, toV3(point), s.identity ? nullptr : &s.toSpace, q)) return MS::kFailure;
    if (length(q.point - toV3(point)) > maxDistance) return MS::kFailure;
    const V3 local = s.identity ? q.point : xformPoint(q.point, s.inverse);
    const V3 n = normalized(MeshGeometry::newellNormal(*s.mesh, q.face));
    meshPoint.point_ = MFloatPoint(float(local.x), float(local.y), float(local.z));
    meshPoint.normal_ = MFloatVector(float(n.x), float(n.y), float(n.z));
    meshPoint.u_ = float(q.b1);
    meshPoint.v_ = float(q.b2);
    meshPoint.face_ = q.face;
    meshPoint.triangle_ = q.triangle;
    return MS::kSuccess;
}
