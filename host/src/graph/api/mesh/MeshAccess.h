#pragma once
// How the mesh API classes (MFnMesh and the mesh iterators) reach a mesh: a mesh shape node (its evaluated
// outMesh, written back through the scene so history, tweaks and undo recording keep working) or a mesh
// data object (changed in place after a copy-on-write). World-space queries use the object-to-world matrix
// of the path the caller attached through; mesh data has no world, its object space is used.
#include <maya/MDagPath.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#include <functional>
#include <string>

#include "graph/api/ApiObject.h"
#include "graph/core/ScenePoints.h"
#include "mesh/Mesh.h"
#include "mesh/MeshMath.h"

namespace kxh {

class MeshAccess {
public:
    MeshAccess() = default;
    // Takes an object and path already checked by attach() (what a function set keeps).
    MeshAccess(const MObject& object, const MDagPath& path) : object_(object), path_(path) {}
    // Attaches to a mesh shape node or a kMeshData object; false for anything else.
    bool attach(const MObject& object);
    // Attaches through a path: a transform path is extended to its non-intermediate mesh shape.
    bool attach(const MDagPath& path);
    // The path attach(path) would keep, written into `shapePath` (a function set's own path, so that
    // attaching copies the path once); false when the path leads to no mesh shape.
    static bool resolve(const MDagPath& path, MDagPath& shapePath);
    void detach();

    bool attached() const { return !object_.isNull(); }
    const MObject& object() const { return object_; }
    const MDagPath& path() const { return path_; }
    Node* shape() const;  // null for mesh data or a deleted node

    // The current mesh (null when the object has none or is gone).
    ConstMeshPtr read() const;
    // The object-to-world matrix for `space` (identity for object space and for mesh data).
    MMatrix toSpace(MSpace::Space space) const;
    // Its inverse (the shape's worldInverseMatrix[0], which the graph keeps until a transform changes).
    MMatrix toObject(MSpace::Space space) const;

    // Applies an edit to a private copy of the mesh and stores the result. The edit answers its status;
    // nothing is stored when it fails. The edit must call topologyChanged()/pointsChanged() itself when it
    // changes faces or points.
    MStatus edit(const std::function<MStatus(Mesh&)>& change);
    // Replaces every point (object space): one flat copy, the derived geometry marked out of date.
    MStatus setPoints(std::vector<V3>&& points);
    // The same from an array the caller keeps (a shape copies only the points that changed).
    MStatus setPointsFrom(const std::vector<V3>& points);
    // Applies a UV / colour / locked-normal change computed against read(): in place into a shape
    // without history (Scene::changeShapeMeshData, recorded compactly), through edit() on a shape with
    // history, directly into mesh data. A null change does nothing.
    MStatus change(const std::shared_ptr<MeshDataChange>& c);

private:
    MObject object_;
    MDagPath path_;
};

// --- small conversions ------------------------------------------------------------------------------------
inline MPoint toMPoint(const V3& p) {
    return MPoint(p.x, p.y, p.z);
}
inline MVector toMVector(const V3& p) {
    return MVector(p.x, p.y, p.z);
}
inline V3 toV3(const MPoint& p) {
    return V3{p.x / p.w, p.y / p.w, p.z / p.w};
}
inline V3 toV3(const MVector& p) {
    return V3{p.x, p.y, p.z};
}
inline bool isIdentity(const MMatrix& m) {
    return m == MMatrix::identity;
}

// A point / direction moved from object space into the space `m` maps to.
inline V3 xformPoint(const V3& p, const MMatrix& m) {
    return toV3(toMPoint(p) * m);
}
// Normals map through the inverse transpose; the result is unit length.
V3 xformNormal(const V3& n, const MMatrix& m);

// The normal of vertex v as face f sees it: the area-weighted average of the faces around v reachable from
// f without crossing a hard edge; a locked normal wins.
V3 faceVertexNormal(const Mesh& m, int f, int v);

// The UV set a call names (the current set when `name` is null); -1 when there is no such set.
int uvSetIndex(const Mesh& mesh, const MString* name);
int colorSetIndex(const Mesh& mesh, const MString* name);

}  // namespace kxh
