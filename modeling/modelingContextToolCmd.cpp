#include "modeling/modelingContextToolCmd.h"

#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>

modelingContextToolCmd::modelingContextToolCmd() {
    setCommandString("modeling_contextCmd");
}

modelingContextToolCmd::~modelingContextToolCmd() {}

void* modelingContextToolCmd::creator() {
    return new modelingContextToolCmd;
}

MStatus modelingContextToolCmd::doIt(const MArgList&) {
    return redoIt();
}

MStatus modelingContextToolCmd::redoIt() {
    return restore(pointsAfter, selectionAfter);
}

MStatus modelingContextToolCmd::undoIt() {
    return restore(pointsBefore, selectionBefore);
}

bool modelingContextToolCmd::isUndoable() const {
    return true;
}

MStatus modelingContextToolCmd::restore(const MPointArray& points, const MSelectionList& selection) {
    if (kind == kSelection) {
        MGlobal::setActiveSelectionList(selection, MGlobal::kReplaceList);
        return MS::kSuccess;
    }
    MStatus status;
    MFnMesh fn(mesh, &status);
    if (!status) return status;
    // setPoints takes a non-const array; the copy is the price of keeping the record intact for the next
    // undo or redo.
    MPointArray copy(points);
    fn.setPoints(copy, MSpace::kWorld);
    return status;
}

MStatus modelingContextToolCmd::setPointsBefore(const MPointArray& points) {
    pointsBefore = points;
    return MS::kSuccess;
}

MStatus modelingContextToolCmd::setPointsAfter(const MPointArray& points) {
    pointsAfter = points;
    return MS::kSuccess;
}

MStatus modelingContextToolCmd::setSelectionBefore(const MSelectionList& selection) {
    selectionBefore = selection;
    return MS::kSuccess;
}

MStatus modelingContextToolCmd::setSelectionAfter(const MSelectionList& selection) {
    selectionAfter = selection;
    return MS::kSuccess;
}

MStatus modelingContextToolCmd::setKind(Kind value) {
    kind = value;
    return MS::kSuccess;
}

MStatus modelingContextToolCmd::setMesh(const MDagPath& path) {
    if (path.isValid()) mesh = path;
    return MS::kSuccess;
}
