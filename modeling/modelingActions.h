#pragma once
// The middle-button actions of the modeling tool: delete, collapse, merge onto the picked vertex, connect
// or subdivide, and the interactive bevel and extrude whose amount a drag sets. Each action is the MEL
// the host runs, so it is undone with the host's undo; the merge and the bevel/extrude each fill one undo
// chunk.
//
// The functions take what they use as arguments; BevelExtrudeState is the one piece of state, held by the
// context from the press to the next press. Failed MEL is reported by the host; the actions go on with
// their next step (a chunk that was opened is always closed).
#include <maya/M3dView.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include "geometry/rayIntersectionData.h"

// What a middle release (codes 0 ctrl, 1 shift, 2 no modifier) acts on.
struct MiddleAction {
    int code = 2;
    int componentKind = 0;          // 1 vertex, 2 face, 3 edge
    rayIntersectionData hit;        // the latest pick: the merge target when it is a vertex
    rayIntersectionData mirrorHit;  // its mirrored counterpart
    bool mirror = false;
    int mirrorAxis = 0;
    int edgesAtPress = 0;  // edges in the first item of the selection at press
};

// Runs the action of a middle release and then empties the active selection.
void runMiddleAction(const MiddleAction& action);

// The "kxMergeVerts ..." command of the merge onto the picked vertex.
MString mergeOntoVertexCommand(bool mirror, int targetId, int mirrorId, int axis);

// The interactive bevel (edges) or extrude (faces) from the shift+ctrl+middle press to its release.
struct BevelExtrudeState {
    bool active = false;    // the press started one (and opened an undo chunk)
    int componentKind = 0;  // 2 faces (extrude), 3 edges (bevel)
    MPoint selectionCentre;
    MString nodeName;  // the history node made at press; empty when none was made
    MPlug localTranslateZ, offset, segments;
    float extrudeDistance = 0.0f;  // centimetres
    float bevelOffset = 0.0f;      // centimetres
    int bevelSegments = 1;
};

// The mean world position of the components of the list's first item (vertices, edge mid-points, face
// centres).
MPoint selectionCentre(const MSelectionList& selection);

// Press: for faces or edges with something selected, opens a chunk and makes the extrude or bevel node.
// Does nothing (state inactive) otherwise.
void beginBevelOrExtrude(int componentKind, const MSelectionList& selection, BevelExtrudeState& state);

// The bevel amounts of a drag: offset = signed distance / 10; segments = dy / 50 (fraction dropped, at
// least 1; 1 when dy < 0).
float bevelOffsetForDrag(double signedDistance);
int bevelSegmentsForDrag(int dy);

// Drag: sets the node's plugs from the drag (not undoable) and refreshes the view.
void dragBevelOrExtrude(M3dView& view, short pressX, short pressY, short cursorX, short cursorY,
                        BevelExtrudeState& state);

// Release (code 3): records the amount with one undoable setAttr and closes the chunk.
void commitBevelOrExtrude(BevelExtrudeState& state);
