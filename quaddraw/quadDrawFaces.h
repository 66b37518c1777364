#pragma once
// Face building of the quad draw tool: a Shift-release turns the four corners of the preview into a mesh
// face. The first face makes a new mesh (polyCreateFacet) that becomes the hilited target; later faces are
// appended to the target (polyAppendVertex), reusing a border vertex wherever a corner lies exactly on
// one. With mirroring on, the mirrored face is built in the same command string; corners within the merge
// distance of the mirror plane are put on the plane and shared by the face and its mirror, so a strip of
// faces along the centre line is one welded mesh (a first face is welded with polyMergeVertex).
//
// Everything here is a function of its inputs (points, ids, the border record, the mirror record); only
// commitQuad and createFirstQuad run MEL. Errors are reported by the caller unless a function says so.
#include <maya/MDagPath.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MString.h>

// The border of the mesh being built: its boundary vertices and their world positions, index for index.
struct QuadBorder {
    MIntArray vertexIds;
    MPointArray positions;
};

// How faces are mirrored: across the plane normal to `axis` (0 x, 1 y, 2 z) through the origin of
// `space`, the matrix from mirror space to world (the target's inclusive matrix when mirroring in object
// space, the identity in world space). Corners closer than `mergeDistance` to the plane lie on it.
struct QuadMirror {
    bool enabled = false;
    int axis = 0;
    MMatrix space;
    float mergeDistance = 0.01f;

    // The world point's image across the plane.
    MPoint reflect(const MPoint& world) const;
    // Whether the world point lies within the merge distance of the plane (measured in mirror space).
    bool nearPlane(const MPoint& world) const;
    // The world point moved onto the plane along the axis.
    MPoint ontoPlane(const MPoint& world) const;
};

// The mirror record for a target (an invalid path: no target yet, so world space) and the mirror options
// (on or off, axis, object or world space, merge distance).
QuadMirror quadMirrorFor(const MDagPath& target, bool enabled, int axis, bool worldSpace,
                         float mergeDistance);

// The points reflected across the mirror plane, in reverse order (so the mirrored face winds the other
// way); empty when mirroring is off.
MPointArray mirrorQuadPoints(const MPointArray& points, const QuadMirror& mirror);

// Per corner: the id + 1 of the border vertex at exactly that position (the last one wins), else 0.
MIntArray matchQuadToBorder(const MPointArray& quad, const QuadBorder& border);

// The corners with those near the mirror plane put on it (all unchanged when mirroring is off). A corner
// on a border vertex keeps the vertex's position.
MPointArray snapSeamCorners(const MPointArray& quad, const MIntArray& cornerIds, const QuadMirror& mirror);

// The loose points that stay once `used` became corners: every point within `mergeDistance` of a used
// one goes (an exact match always does).
MPointArray withoutUsedPoints(const MPointArray& loose, const MPointArray& used, double mergeDistance);

// The MEL that appends the quad (and its mirror) to the target `mesh`, whose inverse inclusive matrix is
// `worldToObject` and which has `vertexCount` vertices. A corner with id n > 0 is border vertex n - 1,
// others are new points. The mirrored face shares every corner near the plane with the face (a new one
// by the id the first append gives it); its other corners are the border vertex at the reflected position
// (within the merge distance) or a new point there. No mirrored face is built when every corner is on the
// plane.
MString appendQuadCommand(const MString& mesh, const MMatrix& worldToObject, int vertexCount,
                          const MPointArray& quad, const MIntArray& cornerIds, const QuadBorder& border,
                          const QuadMirror& mirror);

// The MEL that makes the first face as a new mesh (and, mirrored, its mirror welded to it).
MString firstQuadCommand(const MPointArray& quad, const MPointArray& mirrored, float mergeDistance,
                         const MString& meshName);

// What a Shift-release hands to the face building.
struct QuadCommitInput {
    MPointArray quad;   // the preview's corners, world space, in corner order
    MDagPath target;    // the mesh being built; invalid before the first face
    QuadBorder border;  // the target's border
    MPointArray loose;  // the loose points before the face
};

// What it gives back.
struct QuadCommitResult {
    MPointArray loose;          // the loose points after the face
    bool looseChanged = false;  // some loose point became a corner
    MString newTransform;       // the first face's new mesh (hilited as the next target), else empty
    bool ok = false;            // the face command ran without error
};

// The Shift-release: the first face when there is no target, else an appended face. Runs the MEL with
// undo; a failed command is reported by the host.
QuadCommitResult commitQuad(const QuadCommitInput& input, const QuadMirror& mirror);
QuadCommitResult createFirstQuad(const QuadCommitInput& input, const QuadMirror& mirror);
