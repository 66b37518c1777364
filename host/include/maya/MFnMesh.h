#pragma once
// Function set for polygon meshes: a mesh shape in the DAG or a mesh data object (a node's compute input or
// output). Attached through a path, world-space queries apply the path's matrices; a path to a transform
// is extended to its (non-intermediate) mesh shape.
//
// Ids: vertices, edges and polygons are numbered as the mesh stores them. Edge k of a polygon joins its
// corners k and k+1. Intersection queries take a ray raySource + t * rayDirection and report the polygon,
// the triangle inside that polygon, and barycentric coordinates of the hit within that triangle.
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVector.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTypes.h>
#include <maya/MUintArray.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#include <memory>

namespace kxh {
class Mesh;
}

class MColor;
class MColorArray;
class MDGModifier;
class MDoubleArray;
class MFloatArray;
class MFloatPoint;
class MFloatPointArray;
class MFloatVector;
class MFloatVectorArray;
class MIntArray;
class MPoint;
class MPointArray;
class MSelectionList;
class MStringArray;
class MUintArray;
class MVector;
class MVectorArray;

#define kMFnMeshPointTolerance 1.0e-10
#define kMFnMeshTolerance 1.0e-3

// How intersection calls may accelerate their search. A value chosen by autoUniformGridParams() or
// uniformGridParams(); passing one to an intersection call caches an accelerator on the mesh, reused while
// an identically configured value is passed again.
class MMeshIsectAccelParams {
public:
    MMeshIsectAccelParams();
    MMeshIsectAccelParams(const MMeshIsectAccelParams& other) = default;
    MMeshIsectAccelParams& operator=(const MMeshIsectAccelParams& other) = default;

private:
    friend class MFnMesh;
    bool autoGrid_ = true;
    int divisions_[3] = {0, 0, 0};
};

class MFnMesh : public MFnDagNode {
public:
    enum MColorRepresentation { kAlpha = 1, kRGB = 3, kRGBA = 4 };
    // Where a split point lies: on an edge (at a factor along it) or inside a face.
    enum SplitPlacement { kOnEdge, kInternalPoint, kInvalid };

    MFnMesh();
    MFnMesh(MObject& object, MStatus* ReturnStatus = NULL);
    MFnMesh(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnMesh(const MDagPath& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnMesh();

    MFn::Type type() const override;
    static const char* className();

    MStatus setObject(const MDagPath& path);
    MStatus setObject(MObject& object) override;
    MStatus setObject(const MObject& object) override;

    // --- creation ---------------------------------------------------------------------------------------
    // Modeling edits on the attached mesh, by the kernel operations of the polygon commands. extrudeFaces
    // extrudes the faces extrusionCount times, each time moving them by `translation` (object space; none
    // when null), with the side walls of the polyExtrudeFacet node; extractFaces detaches the faces from the
    // rest of the mesh (their shared vertices are copied) and moves them by `translation`; subdivideEdges
    // cuts each edge into numDivisions + 1 parts.
    MStatus extrudeFaces(MIntArray& faceList, int extrusionCount = 1, MFloatVector* translation = NULL,
                         bool extrudeTogether = true);
    MStatus extractFaces(const MIntArray& faceList, MFloatVector* translation = NULL);
    // Extrudes border edges (edges with one face) into new quads, extrusionCount times, each time moving
    // the new edges by `translation`; together, neighbouring edges share their new vertices. An edge with
    // two faces is refused (kInvalidParameter).
    MStatus extrudeEdges(MIntArray& edgeList, int extrusionCount = 1, MFloatVector* translation = NULL,
                         bool extrudeTogether = true);
    MStatus subdivideEdges(const MIntArray& edgeList, int numDivisions);
    // Splits each face into quads around its centre (one per corner, through the edge midpoints),
    // divisionCount times over; neighbouring faces take the midpoints of shared edges as corners.
    MStatus subdivideFaces(const MIntArray& faceList, int divisionCount);
    // Cuts faces along a path of points: each kOnEdge placement takes the next edge of edgeList and the
    // next factor (0 at the edge's vertex 0, 1 at its vertex 1); consecutive points must share a face,
    // which is split between them. The host cuts along edge points only: a kInternalPoint placement fails
    // (kInvalidParameter) with the mesh unchanged.
    MStatus split(MIntArray& placements, MIntArray& edgeList, MFloatArray& edgeFactors,
                  MFloatPointArray& internalPoints);
    // Replaces the attached mesh's geometry with the given one (UV and colour sets are emptied); the mesh
    // keeps its node, name and connections. Fails, leaving the mesh as it was, when the arrays describe no
    // valid mesh.
    MStatus createInPlace(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                          const MIntArray& polygonCounts, const MIntArray& polygonConnects);
    MStatus createInPlace(int numVertices, int numPolygons, const MPointArray& vertexArray,
                          const MIntArray& polygonCounts, const MIntArray& polygonConnects);
    MObject create(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                   const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                   MObject parentOrOwner = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MObject create(int numVertices, int numPolygons, const MPointArray& vertexArray,
                   const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                   MObject parentOrOwner = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MObject create(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                   const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                   const MFloatArray& uArray, const MFloatArray& vArray,
                   MObject parentOrOwner = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MObject create(int numVertices, int numPolygons, const MPointArray& vertexArray,
                   const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                   const MFloatArray& uArray, const MFloatArray& vArray,
                   MObject parentOrOwner = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MObject copy(const MObject& source, MObject parentOrOwner = MObject::kNullObj,
                 MStatus* ReturnStatus = NULL);

    MObject addPolygon(const MPointArray& vertexArray, bool mergeVertices = true,
                       double pointTolerance = kMFnMeshPointTolerance,
                       MObject parentOrOwner = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MObject addPolygon(const MPointArray& vertexArray, int& faceIndex, bool mergeVertices = true,
                       double pointTolerance = kMFnMeshPointTolerance,
                       MObject parentOrOwner = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MStatus deleteFace(int faceId, MDGModifier* modifier = NULL);

    // --- counts -----------------------------------------------------------------------------------------
    int numVertices(MStatus* ReturnStatus = NULL) const;
    int numEdges(MStatus* ReturnStatus = NULL) const;
    int numPolygons(MStatus* ReturnStatus = NULL) const;
    int numFaceVertices(MStatus* ReturnStatus = NULL) const;
    int polygonVertexCount(int polygonId, MStatus* ReturnStatus = NULL) const;
    int numUVs(MStatus* ReturnStatus = NULL) const;
    int numUVs(const MString& uvSet, MStatus* ReturnStatus = NULL) const;
    int numUVSets(MStatus* ReturnStatus = NULL) const;
    int numColorSets(MStatus* ReturnStatus = NULL) const;
    int numColors(MStatus* ReturnStatus = NULL) const;
    int numColors(const MString& colorSet, MStatus* ReturnStatus = NULL) const;

    // --- points -----------------------------------------------------------------------------------------
    MStatus getPoints(MFloatPointArray& vertexArray, MSpace::Space space = MSpace::kObject) const;
    MStatus getPoints(MPointArray& vertexArray, MSpace::Space space = MSpace::kObject) const;
    MStatus setPoints(MFloatPointArray& vertexArray, MSpace::Space space = MSpace::kObject);
    MStatus setPoints(MPointArray& vertexArray, MSpace::Space space = MSpace::kObject);
    MStatus getPoint(int vertexId, MPoint& pos, MSpace::Space space = MSpace::kObject) const;
    MStatus setPoint(int vertexId, const MPoint& pos, MSpace::Space space = MSpace::kObject);

    // --- topology ---------------------------------------------------------------------------------------
    MStatus getPolygonVertices(int polygonId, MIntArray& vertexList) const;
    MStatus getVertices(MIntArray& vertexCount, MIntArray& vertexList) const;
    MStatus getEdgeVertices(int edgeId, int2& vertexList) const;
    MStatus getTriangles(MIntArray& triangleCounts, MIntArray& triangleVertices) const;
    MStatus getPolygonTriangleVertices(int polygonId, int triangleId, int vertexList[3]) const;
    bool isEdgeSmooth(int edgeId, MStatus* ReturnStatus = NULL) const;
    MStatus setEdgeSmoothing(int edgeId, bool smooth = true);
    MStatus cleanupEdgeSmoothing();
    MStatus getCreaseEdges(MUintArray& edgeIds, MDoubleArray& creaseData) const;
    MStatus setCreaseEdges(const MUintArray& edgeIds, const MDoubleArray& creaseData);

    // --- normals ----------------------------------------------------------------------------------------
    MStatus getVertexNormal(int vertexId, MVector& normal, MSpace::Space space = MSpace::kObject) const;
    MStatus getVertexNormal(int vertexId, bool angleWeighted, MVector& normal,
                            MSpace::Space space = MSpace::kObject) const;
    MStatus getVertexNormals(bool angleWeighted, MFloatVectorArray& normals,
                             MSpace::Space space = MSpace::kObject) const;
    MStatus getPolygonNormal(int polygonId, MVector& normal, MSpace::Space space = MSpace::kObject) const;
    MStatus getFaceVertexNormal(int faceIndex, int vertexIndex, MVector& normal,
                                MSpace::Space space = MSpace::kObject) const;
    MStatus getNormals(MFloatVectorArray& normals, MSpace::Space space = MSpace::kObject) const;
    MStatus setVertexNormal(MVector& normal, int vertexId, MSpace::Space space = MSpace::kObject,
                            MDGModifier* modifier = NULL);
    MStatus setVertexNormals(MVectorArray& normalArray, MIntArray& vertexList,
                             MSpace::Space space = MSpace::kObject);
    MStatus unlockVertexNormals(MIntArray& vertexList);

    // --- closest point and ray casts -------------------------------------------------------------------
    MStatus getClosestPoint(const MPoint& toThisPoint, MPoint& theClosestPoint,
                            MSpace::Space space = MSpace::kObject, int* closestPolygon = NULL,
                            MMeshIsectAccelParams* accelParams = NULL) const;
    MStatus getClosestPointAndNormal(const MPoint& toThisPoint, MPoint& theClosestPoint, MVector& theNormal,
                                     MSpace::Space space = MSpace::kObject, int* closestPolygon = NULL,
                                     MMeshIsectAccelParams* accelParams = NULL) const;
    MStatus getClosestNormal(const MPoint& toThisPoint, MVector& theNormal,
                             MSpace::Space space = MSpace::kObject, int* closestPolygon = NULL,
                             MMeshIsectAccelParams* accelParams = NULL) const;

    bool closestIntersection(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                             const MIntArray* faceIds, const MIntArray* triIds, bool idsSorted,
                             MSpace::Space space, float maxParam, bool testBothDirections,
                             MMeshIsectAccelParams* accelParams, MFloatPoint& hitPoint, float* hitRayParam,
                             int* hitFace, int* hitTriangle, float* hitBary1, float* hitBary2,
                             float tolerance = 1e-6, MStatus* ReturnStatus = NULL);
    bool anyIntersection(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                         const MIntArray* faceIds, const MIntArray* triIds, bool idsSorted,
                         MSpace::Space space, float maxParam, bool testBothDirections,
                         MMeshIsectAccelParams* accelParams, MFloatPoint& hitPoint, float* hitRayParam,
                         int* hitFace, int* hitTriangle, float* hitBary1, float* hitBary2,
                         float tolerance = 1e-6, MStatus* ReturnStatus = NULL);
    bool allIntersections(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                          const MIntArray* faceIds, const MIntArray* triIds, bool idsSorted,
                          MSpace::Space space, float maxParam, bool testBothDirections,
                          MMeshIsectAccelParams* accelParams, bool sortHits, MFloatPointArray& hitPoints,
                          MFloatArray* hitRayParams, MIntArray* hitFaces, MIntArray* hitTriangles,
                          MFloatArray* hitBary1, MFloatArray* hitBary2, float tolerance = 1e-6,
                          MStatus* ReturnStatus = NULL);

    static MMeshIsectAccelParams autoUniformGridParams();
    static MMeshIsectAccelParams uniformGridParams(int xDiv, int yDiv, int zDiv);
    MStatus freeCachedIntersectionAccelerator();
    MString cachedIntersectionAcceleratorInfo(MStatus* ReturnStatus = NULL);
    static MString globalIntersectionAcceleratorsInfo();
    static void clearGlobalIntersectionAcceleratorInfo();

    // --- UV sets ----------------------------------------------------------------------------------------
    MStatus getUVSetNames(MStringArray& setNames) const;
    MString currentUVSetName(MStatus* ReturnStatus = NULL, int instance = -1) const;
    MStatus getCurrentUVSetName(MString& setName, int instance = -1) const;
    MStatus setCurrentUVSetName(const MString& setName, MDGModifier* modifier = NULL,
                                MSelectionList* currentSelection = NULL);
    MStatus createUVSet(MString& uvSetName, MDGModifier* modifier = NULL, const MIntArray* instances = NULL);
    MString createUVSetWithName(const MString& uvSetName, MDGModifier* modifier = NULL,
                                const MIntArray* instances = NULL, MStatus* ReturnStatus = NULL);
    MStatus deleteUVSet(const MString& setName, MDGModifier* modifier = NULL,
                        MSelectionList* currentSelection = NULL);
    MStatus copyUVSet(const MString& fromName, MString& toName, MDGModifier* modifier = NULL);
    MString copyUVSetWithName(const MString& fromName, const MString& toName, MDGModifier* modifier = NULL,
                              MStatus* ReturnStatus = NULL);
    MStatus renameUVSet(const MString& origName, const MString& newName, MDGModifier* modifier = NULL);

    MStatus getUVs(MFloatArray& uArray, MFloatArray& vArray, const MString* uvSet = NULL) const;
    MStatus setUVs(const MFloatArray& uArray, const MFloatArray& vArray, const MString* uvSet = NULL);
    MStatus getUV(int uvId, float& u, float& v, const MString* uvSet = NULL) const;
    // The point of a face at a UV position (within `tolerance` of the face's UV triangles); fails when the
    // face's UVs do not cover the position. getUVAtPoint answers the UV of the closest point of the mesh.
    MStatus getPointAtUV(int faceId, MPoint& toThisPoint, float2& uvPoint,
                         MSpace::Space space = MSpace::kObject, const MString* uvSet = NULL,
                         float tolerance = 0.0);
    MStatus getUVAtPoint(MPoint& toThisPoint, float2& uvPoint, MSpace::Space space = MSpace::kObject,
                         const MString* uvSet = NULL, int* closestPolygon = NULL);
    MStatus setUV(int uvId, float u, float v, const MString* uvSet = NULL);
    MStatus getPolygonUVid(int polygonId, int vertexIndex, int& uvId, const MString* uvSet = NULL) const;
    MStatus getPolygonUV(int polygonId, int vertexIndex, float& u, float& v,
                         const MString* uvSet = NULL) const;
    MStatus assignUV(int polygonId, int vertexIndex, int uvId, const MString* uvSet = NULL);
    MStatus assignUVs(const MIntArray& uvCounts, const MIntArray& uvIds, const MString* uvSet = NULL);
    MStatus getAssignedUVs(MIntArray& uvCounts, MIntArray& uvIds, const MString* uvSet = NULL) const;
    MStatus getUvShellsIds(MIntArray& uvShellIds, unsigned int& nbUvShells,
                           const MString* uvSet = NULL) const;
    MStatus clearUVs(const MString* uvSet = NULL);

    // --- colours ----------------------------------------------------------------------------------------
    MStatus getColorSetNames(MStringArray& setNames) const;
    MString currentColorSetName(int instance = -1, MStatus* ReturnStatus = NULL) const;
    MStatus getCurrentColorSetName(MString& setName, int instance = -1) const;
    MStatus createColorSet(MString& colorSetName, MDGModifier* modifier = NULL);
    MString createColorSetWithName(const MString& colorSetName, MDGModifier* modifier = NULL,
                                   MStatus* ReturnStatus = NULL);
    MStatus deleteColorSet(const MString& colorSetName, MDGModifier* modifier = NULL,
                           MSelectionList* currentSelection = NULL);
    MStatus setCurrentColorSetName(const MString& colorSetName, MDGModifier* modifier = NULL,
                                   MSelectionList* currentSelection = NULL);
    MStatus getColors(MColorArray& colors, const MString* colorSet = NULL,
                      const MColor* defaultUnsetColor = NULL) const;
    MStatus getFaceVertexColors(MColorArray& colors, const MString* colorSet = NULL,
                                const MColor* defaultUnsetColor = NULL) const;
    MStatus getVertexColors(MColorArray& colors, const MString* colorSet = NULL,
                            const MColor* defaultUnsetColor = NULL) const;
    // A colour set with its channels and clamping (values kept within 0..1 when clamped).
    MStatus createColorSet(MString& colorSetName, bool clamped, MColorRepresentation rep,
                           MDGModifier* modifier = NULL);
    MColorRepresentation getColorRepresentation(const MString& colorSet, MStatus* ReturnStatus = NULL) const;
    bool isColorClamped(const MString& colorSet, MStatus* ReturnStatus = NULL) const;
    MStatus setIsColorClamped(const MString& colorSet, bool clamped);
    // The colour values of a set (replacing them all) and one value by id; a set's representation decides
    // which channels are taken (the others stay 1).
    MStatus setColors(const MColorArray& colors, const MString* colorSet = NULL,
                      MColorRepresentation rep = kRGBA);
    MStatus setColor(int colorId, const MColor& color, const MString* colorSet = NULL,
                     MColorRepresentation rep = kRGBA);
    // Which colour each face-vertex uses: one id per face-vertex in face order (-1 leaves a corner
    // without colour); assignColor points one corner at a colour.
    MStatus assignColors(const MIntArray& colorIds, const MString* colorSet = NULL);
    MStatus assignColor(int polygonId, int vertexIndex, int colorId, const MString* colorSet = NULL);
    // The colour id of a face's corner; fails when the corner has none (colorIndex is then -1).
    MStatus getColorIndex(int faceIndex, int localVertexIndex, int& colorIndex,
                          const MString* colorSet = NULL);
    MStatus getFaceVertexColorIndex(int faceIndex, int localVertexIndex, int& colorIndex,
                                    const MString* colorSet = NULL);
    MStatus setFaceVertexColor(const MColor& color, int faceIndex, int vertexIndex,
                               MDGModifier* modifier = NULL, MColorRepresentation rep = kRGBA);
    MStatus setFaceVertexColors(MColorArray& colors, MIntArray& faceIndex, MIntArray& vertexIndex,
                                MDGModifier* modifier = NULL, MColorRepresentation rep = kRGBA);
    MStatus setFaceColor(const MColor& color, int index, MColorRepresentation rep = kRGBA);
    MStatus setFaceColors(MColorArray& colors, MIntArray& faceIndex, MColorRepresentation rep = kRGBA);
    MStatus setVertexColor(const MColor& color, int vertexIndex, MDGModifier* modifier = NULL,
                           MColorRepresentation rep = kRGBA);
    MStatus setVertexColors(MColorArray& colors, MIntArray& vertexIndex, MDGModifier* modifier = NULL,
                            MColorRepresentation rep = kRGBA);
    MStatus removeFaceColors(MIntArray& faceIndex);
    MStatus removeVertexColors(MIntArray& vertexIndex);
    MStatus clearColors(const MString* colorSet = NULL);
    MStatus setDisplayColors(bool enable);
    bool displayColors(MStatus* ReturnStatus = NULL);

    // --- updates ----------------------------------------------------------------------------------------
    MStatus syncObject();
    MStatus updateSurface();

private:
    // Places a finished mesh by the parent rules of create/copy and attaches the set to it.
    MObject place(const std::shared_ptr<kxh::Mesh>& mesh, MObject& parentOrOwner, MStatus* ReturnStatus);
    bool intersect(int mode, const MFloatPoint& raySource, const MFloatVector& rayDirection,
                   const MIntArray* faceIds, const MIntArray* triIds, MSpace::Space space, float maxParam,
                   bool testBothDirections, MMeshIsectAccelParams* accelParams, bool sortHits,
                   MFloatPointArray* hitPoints, MFloatArray* hitRayParams, MIntArray* hitFaces,
                   MIntArray* hitTriangles, MFloatArray* hitBary1, MFloatArray* hitBary2, float tolerance,
                   MStatus* ReturnStatus);
};
