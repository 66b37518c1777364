#include "quaddraw/quadDrawContextToolCmd.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

quadDrawContextToolCmd::quadDrawContextToolCmd() {
    setCommandString("quadDrawContextToolCmd");
}

quadDrawContextToolCmd::~quadDrawContextToolCmd() {}

void* quadDrawContextToolCmd::creator() {
    return new quadDrawContextToolCmd;
}

MStatus quadDrawContextToolCmd::doIt(const MArgList&) {
    return redoIt();
}

MStatus quadDrawContextToolCmd::redoIt() {
    return writePoints(newPoints);
}

MStatus quadDrawContextToolCmd::undoIt() {
    return writePoints(oldPoints);
}

bool quadDrawContextToolCmd::isUndoable() const {
    return true;
}

MStatus quadDrawContextToolCmd::setOldPoints(const MPointArray& points) {
    oldPoints = points;
    return MS::kSuccess;
}

MStatus quadDrawContextToolCmd::setNewPoints(const MPointArray& points) {
    newPoints = points;
    return MS::kSuccess;
}

MStatus quadDrawContextToolCmd::setLocator(const MObject& node) {
    if (!node.isNull()) locator = node;
    return MS::kSuccess;
}

MStatus quadDrawContextToolCmd::writePoints(const MPointArray& points) {
    status = MS::kSuccess;
    // A locator deleted since the action leaves nothing to restore.
    if (!MObjectHandle(locator).isValid()) return status;
    MFnDependencyNode node(locator);
    MPlug plug = node.findPlug("parr", true, &status);
    if (!status) {
        status.perror("cannot find attribute");
        return status;
    }
    MFnPointArrayData data;
    MObject value = data.create(points, &status);
    if (!status) {
        status.perror("error creating a new MObject from a pointArray");
        return status;
    }
    status = plug.setValue(value);
    return status;
}
