#pragma once
// Iterates over the polygons of a mesh: all of them, or the faces of a polygon component in the
// component's order. Vertex and edge lists of a face are in polygon order: edge k joins corners k and k+1.
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatVectorArray.h>
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
class MPointArray;
class MString;
class MVector;
class MVectorArray;

class MItMeshPolygon {
public:
    MItMeshPolygon(const MObject& polyObject, MStatus* ReturnStatus = NULL);
    MItMeshPolygon(const MDagPath& polyObject, MObject& component = MObject::kNullObj,
                   MStatus* ReturnStatus = NULL);
    virtual ~MItMeshPolygon();

    bool isDone(MStatus* ReturnStatus = NULL);
    MStatus next();
    MStatus reset();
    MStatus reset(const MObject& polyObject);
    MStatus reset(const MDagPath& polyObject, MObject& component = MObject::kNullObj);
    unsigned int count(MStatus* ReturnStatus = NULL);
    unsigned int index(MStatus* ReturnStatus = NULL);
    MStatus setIndex(int index, int& prevIndex);
    MObject currentItem(MStatus* ReturnStatus = NULL);

    unsigned int polygonVertexCount(MStatus* ReturnStatus = NULL);
    int vertexIndex(int index, MStatus* ReturnStatus = NULL);
    MStatus getVertices(MIntArray& vertices);
    MPoint center(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL);
    MPoint point(int index, MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL);
    MStatus getPoints(MPointArray& pointArray, MSpace::Space space = MSpace::kObject,
                      MStatus* ReturnStatus = NULL);
    MStatus setPoint(const MPoint& point, unsigned int index, MSpace::Space space = MSpace::kObject);
    MStatus setPoints(MPointArray& pointArray, MSpace::Space space = MSpace::kObject);
    MStatus getNormal(MVector& normal, MSpace::Space space = MSpace::kObject) const;
    MStatus getNormal(unsigned int vertexIndex, MVector& normal, MSpace::Space space = MSpace::kObject) const;
    MStatus getNormals(MVectorArray& vectorArray, MSpace::Space space = MSpace::kObject) const;

    MStatus getEdges(MIntArray& edges);
    MStatus getConnectedFaces(MIntArray& faces);
    MStatus getConnectedEdges(MIntArray& edges);
    MStatus getConnectedVertices(MIntArray& vertices);
    MStatus numConnectedFaces(int& faceCount) const;
    MStatus numConnectedEdges(int& edgeCount) const;
    bool isConnectedToFace(int index, MStatus* ReturnStatus = NULL);
    bool isConnectedToEdge(int index, MStatus* ReturnStatus = NULL);
    bool isConnectedToVertex(int index, MStatus* ReturnStatus = NULL);

    bool hasUVs(MStatus* ReturnStatus = NULL) const;
    bool hasUVs(const MString& uvSet, MStatus* ReturnStatus = NULL) const;
    MStatus getUVIndex(int vertex, int& index, const MString* uvSet = NULL);
    MStatus getUVIndex(int vertex, int& index, float& u, float& v, const MString* uvSet = NULL);
    MStatus getUV(int vertex, float2& uvPoint, const MString* uvSet = NULL) const;
    MStatus getUVs(MFloatArray& uArray, MFloatArray& vArray, const MString* uvSet = NULL) const;

    MStatus getArea(double& area, MSpace::Space space = MSpace::kObject);
    bool onBoundary(MStatus* ReturnStatus = NULL);
    bool isHoled(MStatus* ReturnStatus = NULL);
    bool isConvex(MStatus* ReturnStatus = NULL);
    bool isPlanar(MStatus* ReturnStatus = NULL);
    bool isLamina(MStatus* ReturnStatus = NULL);
    bool hasValidTriangulation(MStatus* ReturnStatus = NULL) const;
    MStatus numTriangles(int& triCount) const;
    MStatus getTriangle(int localTriIndex, MPointArray& points, MIntArray& vertexList,
                        MSpace::Space space = MSpace::kObject) const;
    MStatus getTriangles(MPointArray& points, MIntArray& vertexList,
                         MSpace::Space space = MSpace::kObject) const;

    MStatus updateSurface();
    MStatus geomChanged();

    static const char* className();

    // The current face's point at a UV position, and the UV of the face's point closest to `pt`.
    MStatus getPointAtUV(MPoint& pt, float2& uvPoint, MSpace::Space space = MSpace::kObject,
                         const MString* uvSet = NULL, float tolerance = 0.0);
    MStatus getUVAtPoint(MPoint& pt, float2& uvPoint, MSpace::Space space = MSpace::kObject,
                         const MString* uvSet = NULL);

private:
    MItMeshPolygon(const MItMeshPolygon&) = delete;
    MItMeshPolygon& operator=(const MItMeshPolygon&) = delete;
    std::unique_ptr<kxh::MeshIterState> state_;
};
