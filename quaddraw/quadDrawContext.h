#pragma once
// quadDrawContext: the "QuadDraw Tool" for retopology. A plain click drops a loose point (at the depth of
// the nearest candidate, or on the slide object when sliding is on); Ctrl-drag moves the nearest loose
// point; Shift-Ctrl-click deletes it; Shift-release builds a four-sided face from the four candidates
// nearest the cursor. Candidates are the loose points and the camera-facing border vertices of the mesh
// being built (the first hilited mesh). A hover timer keeps the quad that a Shift-release would build on
// the locator's preview attribute.
//
// The loose points and the preview live on the quad draw locator "kxModelingToolsDrawQuadLocator", which
// outlasts the tool. The faces are built by quadDrawFaces.cpp; quadDrawContextToolCmd makes the loose
// points undoable.
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MEvent.h>
#include <maya/MIntArray.h>
#include <maya/MMessage.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MPxSelectionContext.h>
#include <maya/MStatus.h>
#include <maya/MVectorArray.h>

#include <vector>

#include "geometry/rayIntersectionData.h"
#include "modeling/circleCallbackData.h"

class quadDrawContext : public MPxSelectionContext {
public:
    quadDrawContext();
    ~quadDrawContext() override;

    void toolOnSetup(MEvent& event) override;
    void toolOffCleanup() override;
    MStatus doPress(MEvent& event) override;
    MStatus doRelease(MEvent& event) override;
    MStatus doDrag(MEvent& event) override;
    MStatus doHold(MEvent& event) override;

    // --- Steps of the event map (public so the face building and the tests can drive them) -------------

    // Finds the locator left by an earlier activation, or creates it; a node of another type holding the
    // name is reported and left alone (the tool then has no locator).
    void ensureQuadLocator();
    // At each press: pause the hover, re-read the view, remember the loose points, read the target.
    void beginQuadInteraction();
    // The target (first hilited mesh, or none) with its points and boundary.
    void readTarget(const MDagPath& target);
    void placeLivePoint();
    void projectOntoSlideSurface();
    void pickUpNearestPoint();
    void addLivePoint();
    void updateQuadPreview();
    bool pickFaceUnderCursor();
    bool quadDuplicatesHitFace(const MPointArray& quad);
    bool quadDuplicatesBorderFace(const MPointArray& quad);
    void finishQuadAction();

    // Loose points followed by the border points the tool may use.
    MPointArray candidatePoints();
    int nearestOnScreen(const MPointArray& points, double& distance);
    MPointArray visibleBorderPoints();
    // The four candidates nearest the cursor in corner order; empty when there are fewer than four.
    MPointArray fourNearestCandidates();

    // The locator's point arrays ("parr" loose points, "geoparr" preview). Reads fail on a missing plug;
    // a write returns the failed status of its step (a failed data object is also printed).
    bool readLocatorPoints(const char* attribute, MPointArray& points);
    MStatus writeLocatorPoints(const char* attribute, const MPointArray& points);
    void clearPreview();

    // The hover timer's callback; clientData is the context.
    static void hoverTick(float elapsed, float last, void* clientData);
    void hover();

    // --- State -----------------------------------------------------------------------------------------
    short cursorX, cursorY;          // port position of the last event or hover tick
    M3dView view;                    // the active view
    MObject locator;                 // the quad draw locator's shape
    MPoint currentPoint;             // the point being placed or moved
    bool pickedPoint;                // a Ctrl press picked up a loose point
    bool pointsChanged;              // the loose points changed during this action
    bool localTumbleSwitched;        // setup switched local tumbling on
    bool perspective;                // the view's camera is a perspective one
    MPointArray oldPoints;           // loose points at the start of the action
    MPointArray newPoints;           // loose points at its end
    MDagPath targetMesh;             // the mesh being built; invalid before the first face
    MPointArray targetPoints;        // its vertices, world space
    bool overFace;                   // the cursor lies over a face of the target
    MIntArray borderFaces;           // target faces on its boundary
    MIntArray borderVertexIds;       // target vertices on its boundary
    MPointArray borderPositions;     // their world positions
    MVectorArray borderNormals;      // their world normals
    rayIntersectionData faceHit;     // the face under the cursor
    MPointArray quadPoints;          // corners of the face being committed
    MPointArray mirroredQuadPoints;  // their mirror images
    MIntArray cornerVertexIds;       // per corner: border vertex id + 1, or 0 for a new point
    MCallbackId timerId;             // hover timer
    bool hoverEnabled;               // the hover preview runs (off from press to release)
    bool previewAvailable;           // the locator's "geoparr" plug was found
    circleCallbackData hoverData;    // view and cursor of the hover tick
    MStatus status;                  // last status of the host calls that report through it
};

// --- Pure helpers of the quad preview ------------------------------------------------------------------

// Orders four corners around their centre in screen space: the first point, then counter-clockwise (y up)
// the point at the smallest positive angle from it, the opposite one, and the one at the smallest negative
// angle. screen holds the corners' port positions (z ignored), world the matching world points.
MPointArray orderQuadCorners(const MPointArray& screen, const MPointArray& world);

// Indices of the (at most) four screen points nearest (x, y), nearest first. Each slot starts at a distance
// of 10000 pixels; only a strictly nearer point takes a slot and pushes the farther ones down.
std::vector<int> nearestFourIndices(const MPointArray& screen, double x, double y);

// How many of the quad's points are exactly equal (x, y and z) to one of the face's points.
int countCornersOnFace(const MPointArray& quad, const MPointArray& facePoints);

// Name of the transform above the quad draw locator.
extern const char* const kQuadLocatorName;
