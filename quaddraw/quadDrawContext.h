#pragma once
// quadDrawContext: the "QuadDraw Tool" for retopology. A plain click drops a loose point (at the depth of
// the nearest candidate, or on the slide object when sliding is on); Ctrl-drag moves the nearest loose
// point; Shift-Ctrl-click deletes it; Shift-release builds a four-sided face from the four candidates
// nearest the cursor. Candidates are the loose points and the camera-facing border vertices of the mesh
// being built (the first hilited mesh that is not the slide object). A hover timer keeps the quad that a
// Shift-release would build on the locator's preview attribute.
//
// The loose points and the preview live on the quad draw locator "kxModelingToolsDrawQuadLocator", which
// outlasts the tool. The faces are built by quadDrawFaces; quadDrawContextToolCmd makes the loose points
// undoable, and one Shift-click (faces, mirror, weld and points) is one step on the undo queue.
//
// The context only holds state and turns events into calls of the functions of quadDrawFaces and
// quadDrawPreview, which take everything they use as arguments.
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MEvent.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MMessage.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MPxSelectionContext.h>
#include <maya/MStatus.h>
#include <maya/MVectorArray.h>

#include "geometry/rayIntersectionData.h"
#include "modeling/circleCallbackData.h"
#include "quaddraw/quadDrawFaces.h"

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

    // The hover timer's callback; clientData is the context.
    static void hoverTick(float elapsed, float last, void* clientData);

private:
    // The mesh being built, as read from the scene: re-read only when another mesh becomes the target,
    // when the mesh reports a change (its dirty-plug callback), or when it moved.
    struct Target {
        MDagPath path;               // invalid before the first face
        MPointArray points;          // its vertices, world space
        MIntArray borderFaces;       // faces on its boundary
        QuadBorder border;           // boundary vertices and their world positions
        MVectorArray borderNormals;  // their world normals
        MMatrix matrix;              // inclusive matrix when read
    };

    // Finds the locator left by an earlier activation, or creates it. False (with an error naming the node)
    // when the locator's name is taken by a node of another type: the tool then does nothing.
    bool ensureQuadLocator();
    // At each press: pause the hover, re-read the view, remember the loose points, read the target.
    void beginQuadInteraction();
    // Makes `path` the target, reading it again only when it changed since the last read.
    void useTarget(const MDagPath& path);
    void dropTargetCallback();
    static void targetChanged(MObject& node, MPlug& plug, void* clientData);

    void placeLivePoint();
    void projectOntoSlideSurface();
    void pickUpNearestPoint();
    void addLivePoint();
    void updateQuadPreview();
    bool pickFaceUnderCursor();
    bool quadDuplicatesHitFace(const MPointArray& quad);
    bool quadDuplicatesBorderFace(const MPointArray& quad);
    void commitQuadAtCursor();
    void finishQuadAction();
    void hover();

    // Loose points followed by the border points the tool may use; firstBorder is where the latter start.
    MPointArray candidatePoints(unsigned& firstBorder);
    int nearestOnScreen(const MPointArray& points, double& distance);
    // The four candidates nearest the cursor in corner order; empty when there are fewer than four.
    MPointArray fourNearestCandidates();
    MPointArray facePoints(int face) const;

    // The locator's point arrays ("parr" loose points, "geoparr" preview). Both fail on a missing plug.
    bool readLocatorPoints(const char* attribute, MPointArray& points);
    MStatus writeLocatorPoints(const char* attribute, const MPointArray& points);
    void clearPreview();

    short cursorX = 0, cursorY = 0;    // port position of the last event or hover tick
    M3dView view;                      // the active view
    MObject locator;                   // the quad draw locator's shape; null when the tool cannot work
    MPoint currentPoint;               // the point being placed or moved
    bool pickedPoint = false;          // a Ctrl press picked up a loose point
    int pickedIndex = -1;              // where it was in the loose points
    bool pointsChanged = false;        // the loose points changed during this action
    bool localTumbleSwitched = false;  // setup switched local tumbling on
    bool perspective = true;           // the view's camera is a perspective one
    MPointArray oldPoints;             // loose points at the start of the action
    Target target;                     // the mesh being built
    bool targetStale = true;           // the target must be read again
    MCallbackId targetCallbackId = 0;  // the target's dirty-plug callback
    bool overFace = false;             // the cursor lies over a face of the target
    rayIntersectionData faceHit;       // the face under the cursor
    MCallbackId timerId = 0;           // hover timer
    bool hoverEnabled = false;         // the hover preview runs (off from press to release)
    bool previewAvailable = false;     // the locator's "geoparr" plug was found
    circleCallbackData hoverData;      // view and cursor of the hover tick
    MStatus status;                    // last status of the host calls that report through it
};

// Name of the transform above the quad draw locator.
extern const char* const kQuadLocatorName;
