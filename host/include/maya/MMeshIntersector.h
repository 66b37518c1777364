#pragma once
// Closest-point queries against one mesh, set up once (create) and asked many times. The mesh is taken as
// it is when create() runs; later edits need another create(). Points are given in the space the matrix
// passed to create() maps the mesh into (world space with the shape's inclusive matrix) and answered in the
// mesh's object space, with the face, the triangle of the face and the barycentric coordinates in it.
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <cfloat>
#include <memory>

namespace kxh {
struct MeshIntersectorState;
}

class MPointOnMesh {
public:
    MPointOnMesh();
    MPointOnMesh(const MPointOnMesh& other) = default;
    MPointOnMesh& operator=(const MPointOnMesh& other) = default;

    MFloatPoint& getPoint();
    MFloatVector& getNormal();
    void getBarycentricCoords(float& u, float& v) const;
    int faceIndex() const;
    int triangleIndex() const;

private:
    friend class MMeshIntersector;
    MFloatPoint point_;
    MFloatVector normal_;
    float u_ = 0, v_ = 0;
    int face_ = -1, triangle_ = -1;
};

class MMeshIntersector {
public:
    MMeshIntersector();
    virtual ~MMeshIntersector();

    // Fails (kInvalidParameter) for an object that is no mesh shape or mesh data, or a mesh without faces.
    MStatus create(MObject& meshObject, const MMatrix& matrix = MMatrix::identity);
    bool isCreated();
    // The point of the mesh closest to `point`; fails when nothing lies within maxDistance (measured in
    // the matrix's space) or create() has not succeeded.
    MStatus getClosestPoint(MPoint& point, MPointOnMesh& meshPoint, double maxDistance = DBL_MAX);

private:
    MMeshIntersector(const MMeshIntersector&) = delete;
    MMeshIntersector& operator=(const MMeshIntersector&) = delete;
    std::shared_ptr<kxh::MeshIntersectorState> state_;
};
