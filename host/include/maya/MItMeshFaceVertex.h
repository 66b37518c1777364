#pragma once
// Iterates the face-vertices (corners) of a mesh, face by face in corner order: each corner's face,
// local and mesh vertex ids, position, normal, UV and colour.
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#include <memory>
#include <utility>
#include <vector>

class MFnMesh;

class MItMeshFaceVertex {
public:
    // The component, when given, is a face component: only those faces' corners are visited.
    MItMeshFaceVertex(const MDagPath& polyObject, MObject component = MObject::kNullObj,
                      MStatus* ReturnStatus = NULL);
    MItMeshFaceVertex(MObject& polyObject, MStatus* ReturnStatus = NULL);
    virtual ~MItMeshFaceVertex();

    MStatus reset();
    MStatus reset(const MObject& polyObject);
    MStatus reset(const MDagPath& polyObject, const MObject& component = MObject::kNullObj);
    MStatus next();
    bool isDone(MStatus* ReturnStatus = NULL);

    int vertId(MStatus* ReturnStatus = NULL) const;
    int faceId(MStatus* ReturnStatus = NULL) const;
    int faceVertId(MStatus* ReturnStatus = NULL) const;  // the corner's index within its face
    int faceVertex(MStatus* ReturnStatus = NULL) const { return faceVertId(ReturnStatus); }
    MStatus setIndex(int faceId, int faceVertexId, int& prevFaceId, int& prevFaceVertexId);
    MPoint position(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL);
    MStatus getNormal(MVector& normal, MSpace::Space space = MSpace::kObject);
    bool hasUVs(MStatus* ReturnStatus = NULL) const;
    bool hasUVs(const MString& uvSet, MStatus* ReturnStatus = NULL) const;
    MStatus getUV(float2& uvPoint, const MString* uvSet = NULL);
    MStatus getUVIndex(int& index, const MString* uvSet = NULL);
    bool hasColor(MStatus* ReturnStatus = NULL);
    MStatus getColor(MColor& color, const MString* colorSetName = NULL);
    MStatus getColorIndex(int& colorIndex, const MString* colorSetName = NULL);

private:
    MItMeshFaceVertex(const MItMeshFaceVertex&) = delete;
    MItMeshFaceVertex& operator=(const MItMeshFaceVertex&) = delete;
    bool attach(const MDagPath* path, const MObject* object, const MObject& component);
    void collect();

    std::unique_ptr<MFnMesh> mesh_;
    std::vector<int> faces_;  // the faces visited (all when empty and unrestricted)
    bool restricted_ = false;
    std::vector<std::pair<int, int>> corners_;  // (face, local corner) in visiting order
    size_t at_ = 0;
};
