// MFnMesh::createInPlace: a new mesh built by the create() rules, then written over the attached one.
#include <maya/MFloatPointArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnMeshData.h>
#include <maya/MIntArray.h>
#include <maya/MPointArray.h>

#include "graph/api/mesh/MeshAccess.h"

using namespace kxh;

namespace {

template <class PointArray>
MStatus replaceMesh(const MObject& object, const MDagPath& path, int numVertices, int numPolygons,
                    const PointArray& points, const MIntArray& counts, const MIntArray& connects) {
    if (object.isNull()) return MS::kFailure;
    // Built into a data object first, so that invalid arrays leave the attached mesh untouched.
    MFnMeshData data;
    MObject owner = data.create();
    MFnMesh builder;
    MStatus st;
    builder.create(numVertices, numPolygons, points, counts, connects, owner, &st);
    if (!st) return MS::kInvalidParameter;
    MeshAccess built;
    if (!built.attach(owner)) return MS::kFailure;
    ConstMeshPtr fresh = built.read();
    if (!fresh) return MS::kFailure;
    MeshAccess target(object, path);
    return target.edit([&](Mesh& m) -> MStatus {
        m = *fresh;
        m.topologyChanged();
        return MS::kSuccess;
    });
}

}  // namespace

MStatus MFnMesh::createInPlace(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                               const MIntArray& polygonCounts, const MIntArray& polygonConnects) {
    return replaceMesh(object_, path_, numVertices, numPolygons, vertexArray, polygonCounts, polygonConnects);
}

MStatus MFnMesh::createInPlace(int numVertices, int numPolygons, const MPointArray& vertexArray,
                               const MIntArray& polygonCounts, const MIntArray& polygonConnects) {
    return replaceMesh(object_, path_, numVertices, numPolygons, vertexArray, polygonCounts, polygonConnects);
}
