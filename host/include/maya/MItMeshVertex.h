#pragma once
// Iterates over the vertices of a mesh: all of them, or the vertices of a vertex component in the
// component's order. A vertex's connected edges and faces come in rotational order around it, so on a
// quad grid the edge two places further in the list continues an edge loop.
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#include <memory>

namespace kxh {
class MeshIterState;
}

class MDagPath;
class MFloatArray;
class MIntArray;
class MString;
class MVector;
class MVectorArray;

class MItMeshVertex {
public:
    MItMeshVertex(MObject& polyObject, MStatus* ReturnStatus = NULL);
    MItMeshVertex(const MDagPath& polyObject, MObject& component = MObject::kNullObj,
                  MStatus* ReturnStatus = NULL);
    virtual ~MItMeshVertex();

    bool isDone(MStatus* ReturnStatus = NULL);
    MStatus next();
    MStatus reset();
    MStatus reset(MObject& polyObject);
    MStatus reset(const MDagPath& polyObject, MObject& component = MObject::kNullObj);
    int count(MStatus* ReturnStatus = NULL);
    int index(MStatus* ReturnStatus = NULL);
    MStatus setIndex(int index, int& prevIndex);
    MObject currentItem(MStatus* ReturnStatus = NULL);

    MPoint position(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL);
    MStatus setPosition(const MPoint& point, MSpace::Space space = MSpace::kObject);
    MStatus translateBy(const MVector& vector, MSpace::Space space = MSpace::kObject);
    MStatus getNormal(MVector& vector, MSpace::Space space = MSpace::kObject);
    MStatus getNormal(MVector& vector, int faceIndex, MSpace::Space space = MSpace::kObject);
    MStatus getNormals(MVectorArray& vectorArray, MSpace::Space space = MSpace::kObject);

    MStatus getConnectedFaces(MIntArray& faceList);
    MStatus getConnectedEdges(MIntArray& edgeList);
    MStatus getConnectedVertices(MIntArray& vertexList);
    MStatus numConnectedFaces(int& faceCount) const;
    MStatus numConnectedEdges(int& edgeCount) const;
    bool connectedToFace(int faceIndex, MStatus* ReturnStatus = NULL);
    bool connectedToEdge(int edgeIndex, MStatus* ReturnStatus = NULL);
    MStatus getOppositeVertex(int& vertexId, int edgeId);
    bool onBoundary(MStatus* ReturnStatus = NULL);

    MStatus getUV(float2& uvPoint, const MString* uvSet = NULL);
    MStatus getUVs(MFloatArray& uArray, MFloatArray& vArray, MIntArray& faceIds,
                   const MString* uvSet = NULL) const;
    MStatus getUVIndices(MIntArray& uvIndices, const MString* uvSet = NULL) const;
    MStatus numUVs(int& uvCount, const MString* uvSet = NULL);

    MStatus updateSurface();
    MStatus geomChanged();

    static const char* className();

private:
    MItMeshVertex(const MItMeshVertex&) = delete;
    MItMeshVertex& operator=(const MItMeshVertex&) = delete;
    std::unique_ptr<kxh::MeshIterState> state_;
};
