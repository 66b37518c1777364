// The middle-button actions: each is a MEL string run through the host, so the host's undo queue holds
// it; the merge chain and the interactive bevel/extrude group their commands into one undo chunk.
#include "modeling/modelingActions.h"

#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MItMeshEdge.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MItMeshVertex.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MStringArray.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#include "geometry/units.h"
#include "geometry/viewPicking.h"

namespace {

// Component kinds of the modeling tool.
constexpr int kVertexKind = 1;
constexpr int kFaceKind = 2;
constexpr int kEdgeKind = 3;

// Release codes of the middle button.
constexpr int kCtrlCode = 0;
constexpr int kShiftCode = 1;
constexpr int kPlainCode = 2;

const char* const kExtrudeCommand =
    "polyExtrudeFacet -constructionHistory 1 -keepFacesTogether 1 -divisions 1 -ltz .1 -twist 0 -taper 1 "
    "-off 0 -smoothingAngle 30";
const char* const kBevelCommand =
    "polyBevel -offset 0.0 -offsetAsFraction 0 -autoFit 1 -segments 1 -worldSpace 1 -uvAssignment 0 "
    "-fillNgons 1 -mergeVertices 1 -mergeVertexTolerance 0.0001 -smoothingAngle 30 -miteringAngle 180 "
    "-angleTolerance 180 -ch 1";
const char* const kWeldCommand = "polyMergeVertex  -d .0001 -am 1 -ch 0";

MStatus runUndoable(const MString& command) {
    return MGlobal::executeCommand(command, false, true);
}

MStatus runNotUndoable(const MString& command) {
    return MGlobal::executeCommand(command, false, false);
}

// The merge onto the picked vertex: kxMergeVerts moves the selected vertices onto it (and onto its mirror),
// then the coincident vertices are welded; both fill one undo chunk.
void mergeOntoPickedVertex(const MiddleAction& action) {
    MSelectionList saved;
    MGlobal::getActiveSelectionList(saved);
    runNotUndoable("undoInfo -ock");
    runUndoable(mergeOntoVertexCommand(action.mirror, action.hit.componentId, action.mirrorHit.componentId,
                                       action.mirrorAxis));
    MGlobal::setActiveSelectionList(saved, MGlobal::kReplaceList);
    runUndoable(kWeldCommand);
    runNotUndoable("undoInfo -cck");
}

void runShiftAction(const MiddleAction& action) {
    // Tested one after the other: a release with edges selected and a vertex picked collapses and merges.
    if (action.componentKind == kEdgeKind) runUndoable("polyCollapseEdge");
    if (action.hit.componentType == rayIntersectionData::kVertex) mergeOntoPickedVertex(action);
    if (action.componentKind == kFaceKind) runUndoable("polyCollapseEdge");
}

void runCtrlAction(const MiddleAction& action) {
    if (action.componentKind == kEdgeKind) {
        // With mirror on, two edges are one edge and its mirror: each is cut rather than joined.
        const int edgesToConnect = action.mirror ? 3 : 2;
        if (action.edgesAtPress >= edgesToConnect)
            runUndoable("polyConnectComponents -ch 1");
        else
            runUndoable("polySubdivideEdge -ws 0 -s 0 -dv 1 -ch 1");
    } else if (action.componentKind == kVertexKind) {
        runUndoable("polyConnectComponents -ch 1");
    }
}

void runPlainAction(const MiddleAction& action) {
    if (action.componentKind == kEdgeKind)
        runUndoable("polyDelEdge -cv true -ch 1");
    else if (action.componentKind == kVertexKind || action.componentKind == kFaceKind)
        runUndoable("Delete");
}

}  // namespace

void runMiddleAction(const MiddleAction& action) {
    switch (action.code) {
        case kCtrlCode:
            runCtrlAction(action);
            break;
        case kShiftCode:
            runShiftAction(action);
            break;
        case kPlainCode:
            runPlainAction(action);
            break;
        default:
            return;  // code 3 is the bevel/extrude commit, which keeps the selection
    }
    MGlobal::setActiveSelectionList(MSelectionList(), MGlobal::kReplaceList);
}

MString mergeOntoVertexCommand(bool mirror, int targetId, int mirrorId, int axis) {
    MString command("kxMergeVerts -mr ");
    command += double(mirror ? 1 : 0);
    command += " -id ";
    command += double(targetId);
    command += " -mId ";
    command += double(mirrorId);
    command += " -ax ";
    command += double(axis);
    return command;
}

MPoint selectionCentre(const MSelectionList& selection) {
    MPoint sum(0.0, 0.0, 0.0);
    if (selection.length() == 0) return sum;
    MDagPath path;
    MObject component;
    if (!selection.getDagPath(0, path, component) || component.isNull()) return sum;

    int count = 0;
    if (component.apiType() == MFn::kMeshVertComponent) {
        for (MItMeshVertex it(path, component); !it.isDone(); it.next(), ++count) {
            const MPoint p = it.position(MSpace::kWorld);
            sum += MVector(p.x, p.y, p.z);
        }
    } else if (component.apiType() == MFn::kMeshEdgeComponent) {
        for (MItMeshEdge it(path, component); !it.isDone(); it.next(), ++count) {
            const MPoint a = it.point(0, MSpace::kWorld), b = it.point(1, MSpace::kWorld);
            sum += MVector((a.x + b.x) * 0.5, (a.y + b.y) * 0.5, (a.z + b.z) * 0.5);
        }
    } else if (component.apiType() == MFn::kMeshPolygonComponent) {
        for (MItMeshPolygon it(path, component); !it.isDone(); it.next(), ++count) {
            const MPoint c = it.center(MSpace::kWorld);
            sum += MVector(c.x, c.y, c.z);
        }
    }
    if (count == 0) return MPoint(0.0, 0.0, 0.0);
    return MPoint(sum.x / count, sum.y / count, sum.z / count);
}

void beginBevelOrExtrude(int componentKind, const MSelectionList& selection, BevelExtrudeState& state) {
    state.active = false;
    state.componentKind = componentKind;
    state.nodeName = MString();
    state.localTranslateZ = MPlug();
    state.offset = MPlug();
    state.segments = MPlug();
    if ((componentKind != kFaceKind && componentKind != kEdgeKind) || selection.length() == 0) return;

    state.selectionCentre = selectionCentre(selection);
    runNotUndoable("undoInfo -ock");
    state.active = true;

    MStringArray result;
    MGlobal::executeCommand(componentKind == kFaceKind ? kExtrudeCommand : kBevelCommand, result, false,
                            true);
    if (result.length() == 0) return;

    MSelectionList named;
    MObject node;
    if (!named.add(result[0]) || !named.getDependNode(0, node) || node.isNull()) return;
    MFnDependencyNode fn(node);
    if (componentKind == kFaceKind) {
        state.localTranslateZ = fn.findPlug("localTranslateZ", true);
    } else {
        state.offset = fn.findPlug("offset", true);
        state.segments = fn.findPlug("segments", true);
    }
    state.nodeName = result[0];
}

float bevelOffsetForDrag(double signedDistance) {
    return float(signedDistance / 10.0);
}

int bevelSegmentsForDrag(int dy) {
    if (dy < 0) return 1;
    const int segments = dy / 50;
    return segments < 1 ? 1 : segments;
}

void dragBevelOrExtrude(M3dView& view, short pressX, short pressY, short cursorX, short cursorY,
                        BevelExtrudeState& state) {
    if (!state.active || state.nodeName.length() == 0) return;
    const bool faces = state.componentKind == kFaceKind;
    const MPoint p0 = screenToWorldAtDepth(view, pressX, pressY, state.selectionCentre);
    // A bevel's offset follows the horizontal movement only; its vertical movement sets the segments.
    const MPoint p1 = screenToWorldAtDepth(view, cursorX, faces ? cursorY : pressY, state.selectionCentre);
    double distance = p0.distanceTo(p1);
    if (cursorX < pressX) distance = -distance;

    if (faces) {
        state.extrudeDistance = float(distance);
        if (!state.localTranslateZ.isNull()) state.localTranslateZ.setValue(state.extrudeDistance);
    } else if (state.componentKind == kEdgeKind) {
        state.bevelOffset = bevelOffsetForDrag(distance);
        if (!state.offset.isNull()) state.offset.setValue(state.bevelOffset);
        state.bevelSegments = bevelSegmentsForDrag(int(cursorY) - int(pressY));
        if (!state.segments.isNull()) state.segments.setValue(state.bevelSegments);
    }
    view.refresh();
}

void commitBevelOrExtrude(BevelExtrudeState& state) {
    if (!state.active) return;
    if (state.nodeName.length() > 0) {
        MString command;
        if (state.componentKind == kFaceKind) {
            command = "setAttr " + state.nodeName + ".localTranslateZ ";
            command += centimetresToUiUnits(state.extrudeDistance);
        } else if (state.componentKind == kEdgeKind) {
            command = "setAttr " + state.nodeName + ".offset ";
            command += centimetresToUiUnits(state.bevelOffset);
            command += "; setAttr " + state.nodeName + ".segments ";
            command += double(state.bevelSegments);
        }
        if (command.length() > 0) runUndoable(command);
    }
    runNotUndoable("undoInfo -cck");
    state.active = false;
}
