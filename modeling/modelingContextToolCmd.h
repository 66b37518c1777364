#pragma once
// modelingContextToolCmd: the undo record of one gesture of the Advanced Modeling Tool. A point gesture
// (grab, smooth) keeps the world positions of every vertex of the touched mesh before and after it; a
// selection gesture keeps the active selection before and after it. Undo puts back the "before" half, redo
// the "after" half; the command itself never computes anything.
#include <maya/MDagPath.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>

#include "plugin/journaledToolCmd.h"

class modelingContextToolCmd : public journaledToolCmd {
public:
    // What the command restores.
    enum Kind : unsigned char { kPoints = 0, kSelection = 1 };

    modelingContextToolCmd();
    ~modelingContextToolCmd() override;

    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override;

    MStatus setPointsBefore(const MPointArray& points);
    MStatus setPointsAfter(const MPointArray& points);
    MStatus setSelectionBefore(const MSelectionList& selection);
    MStatus setSelectionAfter(const MSelectionList& selection);
    MStatus setKind(Kind kind);
    // Ignored unless the path is valid.
    MStatus setMesh(const MDagPath& mesh);

    static void* creator();

private:
    MStatus restore(const MPointArray& points, const MSelectionList& selection);

    MSelectionList selectionBefore;
    MSelectionList selectionAfter;
    MPointArray pointsBefore;
    MPointArray pointsAfter;
    Kind kind = kSelection;
    MDagPath mesh;
};
