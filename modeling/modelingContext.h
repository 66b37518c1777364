#pragma once
// modelingContext: the "Advanced Modeling Tool". The left button picks vertices, edges and faces under the
// cursor (replace, add with Shift, remove with Ctrl, paint-select by dragging), selects edge rings and loops
// by a click on an edge or by a Shift+Ctrl drag along or across it, and with nothing selected starts the
// point gestures: Shift-drag smooths, Ctrl-drag grabs the soft-selection region. The middle button runs
// the mesh actions of modelingActions (delete, collapse, merge, connect, interactive bevel and extrude)
// and, with nothing selected, drags the soft-selection radius. Between gestures a 10 ms timer shows the
// component under the cursor and the radius circle through the tool's drawLocator.
//
// Point gestures and selection changes are recorded as one modelingContextToolCmd each, so an undo takes
// back exactly one gesture. The context holds the gesture's state privately; the algorithms are the
// functions of pointGestures, modelingActions, viewPicking and componentWalkers, called with explicit
// inputs.
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MEvent.h>
#include <maya/MIntArray.h>
#include <maya/MMessage.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MPxSelectionContext.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#include <vector>

#include "geometry/rayIntersectionData.h"
#include "modeling/circleCallbackData.h"
#include "modeling/modelingActions.h"
#include "modeling/pointGestures.h"

class modelingContext : public MPxSelectionContext {
public:
    modelingContext();
    ~modelingContext() override;

    void toolOnSetup(MEvent& event) override;
    void toolOffCleanup() override;
    MStatus doPress(MEvent& event) override;
    MStatus doRelease(MEvent& event) override;
    MStatus doDrag(MEvent& event) override;
    MStatus doHold(MEvent& event) override;

    // The hover timer (clientData: the context).
    static void hoverTimer(float elapsed, float last, void* clientData);
    // Dirty plug on the active camera's transform: the hover feedback drawn for the old camera is emptied.
    static void cameraChanged(MObject& node, MPlug& plug, void* clientData);
    // The "SelectTypeChanged" event.
    static void selectTypeChanged(void* clientData);

    // Pixels the cursor must leave the press position by (in x or y) before a drag counts.
    static constexpr int kDeadZonePixels = 3;

private:
    // --- set-up and press (modelingContext.cpp) ---
    void resetGestureState();
    void selectComponentKindFromUi();
    void beginGesture();
    void pressLeft(bool shift, bool ctrl);
    void pressMiddle(bool shift, bool ctrl);
    bool pickComponent(int kind, int adjustment, short x, short y);
    void commitGesture();
    void clearLocatorFeedback();
    void freeAccelerator(const MDagPath& mesh);

    // --- loops and rings (modelingContext.cpp) ---
    void selectEdgeWalkOnClick(int code);
    void selectEdgePathByDrag();

    // --- point gestures (modelingContextGestures.cpp) ---
    void startPointGesture();
    void buildRegion();
    void grabStep();
    void smoothStep();
    void radiusStep();
    bool writePoints();
    void fillRegionNormals();
    void slideRegion(const GestureMirror& gestureMirror);
    GestureMirror mirrorRecord() const;

    // --- hover (modelingContextHover.cpp) ---
    void hover();
    void bindHoverPlugs();

    // Event positions.
    short cursorX = 0, cursorY = 0;
    short pressX = 0, pressY = 0;

    // Per-gesture flags.
    bool pointGesture = false;
    bool pointsMoved = false;
    bool hitFound = false;
    bool radiusGesture = false;
    bool mirror = false;
    bool lockAxis = false;
    bool clearOnMiss = false;
    bool dragged = false;
    bool replacePending = false;
    bool selectionWasEmpty = true;
    bool componentModeActive = false;
    bool tumbleChangedByTool = false;
    bool orthographicView = false;  // the view's camera is orthographic (no re-aim at a press)

    M3dView view;
    MVector viewDirection;
    MVector mirroredViewDirection;
    float unitFactor = 1.0f;
    MStatus status;
    MObject drawLocatorNode;
    int listAdjustment = 2;
    int componentKind = 0;
    rayIntersectionData hit, mirrorHit, previousHit, previousMirrorHit, hoverHit;

    // Soft selection of the current point gesture, and the per-vertex data it works over.
    SoftRegion region;
    std::vector<MIntArray> neighbours;
    MVectorArray regionNormals;      // world normals, filled at region ids only (slide and smooth read those)
    PointLimits limits;              // pinned vertices and locked axes, read at the gesture's start
    MDagPath slideCopy;              // the hidden copy slid onto when sliding on the mesh itself
    MDagPath slideObjectBeforeCopy;  // the slide object the copy stands in for during the gesture

    // Settings copied at press.
    int softSelectIntensity = 0, smoothIntensity = 0, smoothPush = 0;
    double radiusAtPress = 0.0;
    int mirrorAxis = 0, mirrorWorldSpace = 0;

    MSelectionList selectionAtPress, selectionAfter;
    MPointArray pointsBefore, pointsAfter;

    MCallbackId timerId = 0, cameraCallbackId = 0, selectTypeCallbackId = 0;

    // Hover state.
    bool betweenGestures = false;
    bool hoverEnabled = false;
    bool pressSeen = false;
    circleCallbackData hoverData;
    bool hoverChanged = false;

    // The interactive bevel or extrude, from its press to the next press.
    BevelExtrudeState bevelExtrude;
};

// --- Edge choices of the loop and ring drag, usable by any tool ------------------------------------------

// The edge of the list's first item whose world centre projects nearest the cursor (in whole pixels); the
// earlier edge wins a tie. -1 when the list holds no edge.
int closestEdgeInView(short x, short y, M3dView& view, const MSelectionList& edges);

// The edge of the list's first item whose world centre lies nearest the mirror image of edge `edgeId`'s
// mid-point (mirrored across `axis` in the mesh's object space, or in world space when `worldSpace`). -1
// when the list holds no edge.
int closestEdgeCenterInWorld(const MSelectionList& edges, int edgeId, int axis, bool worldSpace);

// Whether a drag from the picked edge toward the cursor runs along the edge on screen (|e . d| > 0.5, e the
// edge's screen direction, d the direction from the projected hit point to the cursor): a loop then, a ring
// otherwise.
bool dragRunsAlongEdge(M3dView& view, const rayIntersectionData& edgeHit, short x, short y);

// The mirrored counterpart of a pick: the component of the same type at the hit point reflected across
// `axis`, in the mesh's object space or in world space.
rayIntersectionData mirroredPick(const rayIntersectionData& hit, int axis, bool worldSpace);
