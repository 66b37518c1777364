#pragma once
// From the cursor in a 3D view to a mesh component: the view ray through a port position is cast into the
// hilited or selected meshes, the hits are kept as records, and a screen-space pass decides which vertex,
// edge or face of the hit face the cursor means (within a 20-pixel radius). Also the small conversions
// between port and world that dragging needs, mirroring of a pick, framing the camera's centre of
// interest on a point, and selecting a picked component.
//
// Port positions are pixels with the origin at the bottom left, as M3dView uses them.
#include <maya/M3dView.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>

#include "geometry/rayIntersectionData.h"

// Pick modes of pickClosestComponent.
enum PickMode { kPickNearest = 0, kPickVertex = 1, kPickFace = 2, kPickEdge = 3 };

// --- Picking constants, shared by every tool -----------------------------------------------------------

// Pixel radius within which a picked component (or a tool's loose point) counts as under the cursor.
const float kPickRadiusPixels = 20.0f;
// Spacing of the fallback grid of rays cast beside the cursor when the cursor's own ray misses a mesh.
const int kPickGridStepPixels = 20;
// The start of every nearest-on-screen search: farther than any point of any view port, so every point
// that projects can win. One value for all searches (components, loose points, quad candidates).
const float kFarPixels = 200000.0f;
// Where a point with nothing to take its depth from is placed: this many world units in front of the near
// clipping plane along the cursor's ray.
const double kViewRayPointDistance = 40.0;
// Longest ray parameter of a cast into a mesh (rays run from the near point, direction far - near or unit).
const float kMaxRayParameter = 1e6f;
// Tolerance handed to the host's ray casts.
const float kRayTolerance = 1e-6f;

// The accelerator parameters shared by every accelerated cast of the tools. Picking contexts reset them
// with resetPickAccelParams() when they are set up.
MMeshIsectAccelParams& pickAccelParams();
void resetPickAccelParams();

// The cursor's position inside the view's port; false when the cursor lies outside it.
bool cursorPositionInView(int& x, int& y, M3dView& view);

// The point kViewRayPointDistance world units in front of the near clipping plane along the ray through
// (x, y).
MPoint pointAlongViewRay(M3dView& view, short x, short y);

// Where a world point lies between the near (0) and far (1) clipping planes along its view ray.
double viewRayDepthRatio(M3dView& view, const MPoint& point);

// The point on the ray through (x, y) at the depth ratio of the reference point.
MPoint screenToWorldAtDepth(M3dView& view, short x, short y, const MPoint& reference);

// Casts the ray through (x, y) into every mesh of the list (plain casts). A mesh the ray misses is tried
// again with 16 rays on a 20-pixel grid beside the cursor; each face hit there is recorded once. Hits are
// appended as face records.
void castRayIntoHiliteList(const MSelectionList& list, M3dView& view, short x, short y,
                           rayIntersectionArray& hits);

// One accelerated cast through (x, y) into every mesh of the list; hits are appended as face records.
void castRayIntoSelection(const MSelectionList& list, M3dView& view, short x, short y,
                          rayIntersectionArray& hits);

// castRayIntoHiliteList over the host's hilite list; false when nothing is hilited or nothing was hit.
bool hitHilitedMeshes(M3dView& view, short x, short y, rayIntersectionArray& hits);

// castRayIntoSelection over the given list; false when nothing was hit.
bool hitSelectedMeshes(M3dView& view, short x, short y, const MSelectionList& list,
                       rayIntersectionArray& hits);

// The component of the hit nearest the camera, refined by mode (PickMode); an empty record when there are
// no hits. withinRadius is set by every hit processed, so with several hits (several meshes, or several
// grid faces of one mesh) it tells whether the refined component of the LAST hit in the list lies within
// kPickRadiusPixels of the cursor, not whether the returned one does: true in kPickNearest mode, the
// refiner's answer in vertex and edge modes, left as given in face mode and when there are no hits.
rayIntersectionData pickClosestComponent(int mode, M3dView& view, short x, short y,
                                         const rayIntersectionArray& hits, bool& withinRadius);

// Screen-space refiners over the face of a face record: the nearest of the face centre, corners and edge
// midpoints; the nearest corner; the edge whose line passes nearest the cursor. The vertex and edge
// refiners return whether the winner lies within 20 pixels.
void refineHitToNearestComponent(M3dView& view, short x, short y, rayIntersectionData& hit);
bool refineHitToVertex(M3dView& view, short x, short y, rayIntersectionData& hit);
bool refineHitToEdge(M3dView& view, short x, short y, rayIntersectionData& hit);

// Re-derives the record's component of its type from its point (a vertex, face or edge of the face
// closest to the point).
void resolveHitComponent(rayIntersectionData& hit);

// The component of the same type on the other side of the mesh's symmetry plane (axis 0 x, 1 y, 2 z;
// objectSpace when the record's point is already in the mesh's object space).
rayIntersectionData mirrorIntersection(const rayIntersectionData& hit, int axis, bool objectSpace);

// Moves the view camera's centre of interest to the point's depth, so tumbling pivots about it. The camera
// itself never moves or turns: its eye, direction and up are left exactly as they are (orthographic
// cameras are not panned either). The distance is the eye-to-point distance for a perspective camera and
// the depth along the view direction for an orthographic one. False when the point is not in front of the
// camera.
bool framePointInView(M3dView& view, const MPoint& point);

// Selects the picked component with the given list adjustment and redraws the view.
void selectHitComponent(const rayIntersectionData& hit, M3dView& view, MGlobal::ListAdjustment adjustment);
