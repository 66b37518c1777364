#pragma once
// Point gestures of the modeling tool, shared later by the sculpt brushes: the soft-selection region
// around a picked component, the grab step, the smooth step, the plane keep, pins and axis locks, the slide
// projection onto a surface and the radius gesture with its circle.
//
// Every function here takes what it uses as arguments (points, ids, weights, the mirror record, the
// limits); none reads the tool settings except where it says so, none holds state between calls. The
// context that calls them keeps the gesture's state. Positions are world space throughout.
//
// Errors: the functions return MStatus where a host call can fail and print only the messages they name;
// the rest cannot fail.
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MStatus.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#include <vector>

#include "geometry/rayIntersectionData.h"

// The symmetry plane of a gesture: normal to `axis` (0 x, 1 y, 2 z) through the origin of the mirror
// space, which is the mesh's object space (toWorld = its inclusive matrix) or world space (identity).
struct GestureMirror {
    bool enabled = false;  // the mirror setting: the other side follows
    int axis = 0;
    MMatrix toWorld;   // mirror space to world
    MMatrix toMirror;  // world to mirror space

    // The world point's coordinate on the axis, measured in mirror space.
    double planeCoordinate(const MPoint& world) const;
    // Whether the world point lies on the plane: that coordinate within 1e-05 of 0.
    bool onPlane(const MPoint& world) const;
    // The world point with that coordinate set to 0 (in mirror space).
    MPoint ontoPlane(const MPoint& world) const;
    // The world point's image across the plane.
    MPoint reflect(const MPoint& world) const;
};

// The mirror record of a mesh for the mirror settings (worldSpace: ToolSettings mirrorWorldSpace).
GestureMirror gestureMirrorFor(const MDagPath& mesh, bool enabled, int axis, bool worldSpace);

// What may not move: pinned vertices keep their position; each locked axis keeps the coordinate the vertex
// had before the gesture.
struct PointLimits {
    std::vector<unsigned char> pinned;  // one byte per vertex (may be empty: nothing pinned)
    bool lockX = false, lockY = false, lockZ = false;

    bool isPinned(int id) const { return id >= 0 && id < int(pinned.size()) && pinned[id] != 0; }
    // The position vertex `id` gets: `before` when pinned, else `proposed` with the locked coordinates
    // taken from `before` (the vertex's position at the gesture's start).
    MPoint apply(int id, const MPoint& proposed, const MPoint& before) const;
};

// The soft-selection region of a gesture: the direct ids and weights around the hit, the mirror ids and
// weights around the mirrored hit (empty without mirror), and per mesh vertex 1 when the vertex is in both.
struct SoftRegion {
    MIntArray ids;
    MDoubleArray weights;
    MIntArray mirrorIds;
    MDoubleArray mirrorWeights;
    MIntArray overlap;
};

// The connected vertices of every vertex of the mesh, vertex by vertex.
std::vector<MIntArray> vertexNeighbours(const MDagPath& mesh);

// The region around `hit` (and around `mirrorHit` when `mirror`) for the radius, over `positions` and
// `neighbours`. Weight 1 - t^2 (3 - 2t), t = d / radius; radius 0 gives the component's own vertices.
void buildSoftRegion(const rayIntersectionData& hit, const rayIntersectionData& mirrorHit, bool mirror,
                     double radius, const MPointArray& positions, const std::vector<MIntArray>& neighbours,
                     SoftRegion& region);

// The displacement of the mirror side: H and T reflected across the plane, T' - H'.
MVector mirroredDisplacement(const MPoint& hitPoint, const MPoint& target, const GestureMirror& mirror);

// Grab step: each direct id moves from `before` by d x weight x intensity (intensity = softSelectIntensity
// x 0.01), with the plane keep when `keepPlane`; with mirror, each mirror id moves by dm the same way,
// starting from `after` when it overlaps the direct side. Pins and locks apply to all. Writes `after`.
void grabPoints(const MPointArray& before, MPointArray& after, const SoftRegion& region, const MVector& d,
                const MVector& dm, double intensity, bool keepPlane, const GestureMirror& mirror,
                const PointLimits& limits);

// Smooth step over `after` in ascending vertex order (later vertices see the smoothed earlier ones): each
// region vertex moves toward the mean of its neighbours by strength x weight (overlapping vertices count
// half of the summed weights), then along `normals[id]` (world unit normal; only region ids are read) by
// `pushDistance`; the plane keep applies when `keepPlane` (mirror or lockAxis on). Pins and locks compare
// with `before`.
void smoothPoints(const MPointArray& before, MPointArray& after, const SoftRegion& region,
                  const std::vector<MIntArray>& neighbours, const MVectorArray& normals, double strength,
                  double pushDistance, bool keepPlane, const GestureMirror& mirror,
                  const PointLimits& limits);

// How moved points go back onto the slide surface.
struct SlideProjection {
    MDagPath surface;               // the slide object; invalid: no projection
    int normalDirection = 0;        // 0 along the vertex normal, 1 along the view direction
    MVector viewDirection;          // the camera's view direction at the gesture's start
    MVector mirroredViewDirection;  // the same with the mirror axis component negated
};

// Projects the region's moved points onto the slide surface (closest intersection both ways along the
// direction); `normals` are the touched mesh's world vertex normals (only region ids are read). Without
// mirror every direct id is projected; with mirror the direct ids on the hit's side and the mirror ids on
// the other side (side by the sign of the world coordinate on the axis of `before`). Pinned ids stay.
// Prints "intersection test resulted in a param" / "intersection test resulted in a failure".
void slideOntoSurface(const SlideProjection& slide, const MPointArray& before, MPointArray& after,
                      const MVectorArray& normals, const SoftRegion& region, const MPoint& hitPoint,
                      const GestureMirror& mirror, const PointLimits& limits);

// A copy of the mesh for sliding on itself, marked as an intermediate object. Prints "cannot get the
// dagePath to the new node" or "cannot find intermediateObject plug" on failure.
MStatus makeSlideCopy(const MDagPath& mesh, MDagPath& copy);

// The new brush radius of a radius drag: radiusAtPress plus the drag distance when the cursor went right,
// minus it otherwise; never below 0.
double radiusFromDrag(double radiusAtPress, double distance, bool cursorRight);

// The radius circle: 61 points of radius `radius` about `centre` in the plane facing the ray through
// (pressX, pressY), each put back on the near point of its view ray plus its direction x unitFactor.
MPointArray radiusCircle(M3dView& view, short pressX, short pressY, const MPoint& centre, double radius,
                         float unitFactor);
