#pragma once
// kxMergeVerts: moves the selected vertices of one mesh onto a target vertex, so that a following
// polyMergeVertex welds them. With -mr 1 the selected vertices on the target's side of the mirror plane
// go to the target and those on the other side to the target's mirror vertex (-mId), so a symmetric merge
// is one step. Undo puts the moved vertices back where they were.
//   kxMergeVerts -mr <bool> -id <target vertex> -mId <mirror vertex> -ax <0 X, 1 Y, 2 Z>
#include <maya/MArgList.h>
#include <maya/MDagPath.h>
#include <maya/MIntArray.h>
#include <maya/MPointArray.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>
#include <maya/MSyntax.h>

class mergeVertsCmd : public MPxCommand {
public:
    mergeVertsCmd();
    ~mergeVertsCmd() override;

    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override { return true; }

    static void* creator();
    static MSyntax newSyntax();

private:
    MStatus parseArgs(const MArgList& args);
    MStatus collectSelectedVertices();
    // The ids the command reads must lie on the mesh; a wrong id from the command line gets a message.
    MStatus checkIds();
    // Whether every stored id indexes a mesh of `count` vertices (the mesh may have changed since).
    bool idsOnMesh(unsigned count) const;

    MDagPath mesh;
    MIntArray vertexIds;  // selected vertex ids, in selection order
    // Their positions before the command, in object space (kept exactly, so undo gives back the very
    // points; a round trip through the world matrix could change their last bits).
    MPointArray savedPositions;
    int axis = 0;
    bool mirror = false;
    int componentId = 0;
    int mirrorId = 0;
    bool mirrorWorldSpace = false;  // the tool's mirror space when the command ran
};
