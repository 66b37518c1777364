#pragma once
// Iterates over the edges of a mesh: all of them, or the edges of an edge component in the component's
// order. An edge's end 0 is the corner of the first face that uses it, end 1 the next corner of that face.
#include <maya/MDagPath.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#include <memory>

namespace kxh {
class MeshIterState;
}

class MDagPath;
class MIntArray;

class MItMeshEdge {
public:
    MItMeshEdge(MObject& polyObject, MStatus* ReturnStatus = NULL);
    MItMeshEdge(MObject& polyObject, MObject& component, MStatus* ReturnStatus = NULL);
    MItMeshEdge(const MDagPath& polyObject, MObject& component = MObject::kNullObj,
                MStatus* ReturnStatus = NULL);
    virtual ~MItMeshEdge();

    bool isDone(MStatus* ReturnStatus = NULL);
    MStatus next();
    MStatus reset();
    MStatus reset(MObject& polyObject, MObject& component = MObject::kNullObj);
    MStatus reset(const MDagPath& polyObject, MObject& component = MObject::kNullObj);
    int count(MStatus* ReturnStatus = NULL);
    int index(MStatus* ReturnStatus = NULL) const;
    int index(int which, MStatus* ReturnStatus = NULL);
    MStatus setIndex(int index, int& prevIndex);
    MObject currentItem(MStatus* ReturnStatus = NULL);

    MPoint point(int index, MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL);
    MStatus setPoint(const MPoint& point, unsigned int index, MSpace::Space space = MSpace::kObject);
    MPoint center(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL);
    MStatus getLength(double& length, MSpace::Space space = MSpace::kObject);

    bool isSmooth(MStatus* ReturnStatus = NULL) const;
    MStatus setSmoothing(bool smooth = true);
    MStatus cleanupSmoothing();

    int getConnectedFaces(MIntArray& faceList, MStatus* ReturnStatus = NULL) const;
    int getConnectedEdges(MIntArray& edgeList, MStatus* ReturnStatus = NULL) const;
    MStatus numConnectedFaces(int& faceCount) const;
    MStatus numConnectedEdges(int& edgeCount) const;
    bool connectedToFace(int index, MStatus* ReturnStatus = NULL);
    bool connectedToEdge(int index, MStatus* ReturnStatus = NULL);
    bool onBoundary(MStatus* ReturnStatus = NULL);

    MStatus updateSurface();
    MStatus geomChanged();

    static const char* className();

private:
    MItMeshEdge(const MItMeshEdge&) = delete;
    MItMeshEdge& operator=(const MItMeshEdge&) = delete;
    std::unique_ptr<kxh::MeshIterState> state_;
};
