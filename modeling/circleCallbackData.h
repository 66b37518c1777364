#pragma once
// circleCallbackData: the hover state that a tool's hover timer works from. The timer fires between
// events, so everything it needs to show what lies under the cursor is kept here: the view and the cursor
// position, the feedback locator's plugs, the component kind to pick, the cursor's view ray and scratch
// geometry. Two of the point arrays hold the unit circle (a template and a working copy) that the modeling
// tools scale and turn to draw their radius ring.
//
// Also here: the select-type query, which asks the host which component types are selectable.
#include <maya/M3dView.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MVector.h>

class circleCallbackData {
public:
    circleCallbackData();
    virtual ~circleCallbackData();

    // Fills the circle template and its working copy with (cos a, sin a, 0) for a = 0, step, 2 step, ...
    // while a <= 6.284 (61 points).
    void fillUnitCircle();

    M3dView view;                // the view the cursor is in
    MPlug radiusPointsPlug;      // the draw locator's "rparr"
    MPlug componentPointsPlug;   // the draw locator's "cparr"
    MPointArray circleTemplate;  // the unit circle
    MPointArray circlePoints;    // working copy, transformed for drawing
    MPointArray points;          // points under the cursor (component outline or preview)
    MPointArray scratchPoints;   // scratch for the timer
    int componentKind;           // what to pick: 0 nearest, 1 vertex, 2 face, 3 edge
    short cursorX, cursorY;      // cursor position in the view's port
    unsigned char enabled;       // the timer may draw
    MStatus status;              // last status of the host calls made by the timer
    MSelectionList activeList;   // selection snapshots the timer compares against
    MSelectionList hiliteList;
    MSelectionList scratchList;
    MPoint rayNear;  // the cursor's view ray (w = 1)
    MPoint rayFar;
    MVector rayDirection;
    MMatrix rotation;  // turns the circle into the surface's plane
    MPoint scratchPoint;
    float depthDistance;  // depth of the hit along the ray
    MObject meshObject;   // the mesh under the cursor

    static const double kCircleStep;  // radians between circle points
};

// Which component type the host's selection mask asks for: 0 vertex, 1 edge, 2 face, 3 none. In component
// mode the component mask is read, otherwise the mask for components of hilited objects. Later tests win,
// so edges outrank faces and faces outrank vertices.
int componentSelectTypeFromUi();
