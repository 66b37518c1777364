#pragma once
// quadDrawContextToolCmd: the undo record of one quad draw action. The faces an action builds are undone
// by the host's own undo of the MEL commands that built them; this command restores the other half, the
// loose points held in the quad draw locator's "parr": undo puts back the points from before the action,
// redo the points after it.
#include <maya/MObject.h>
#include <maya/MPointArray.h>
#include <maya/MStatus.h>

#include "plugin/journaledToolCmd.h"

class quadDrawContextToolCmd : public journaledToolCmd {
public:
    quadDrawContextToolCmd();
    ~quadDrawContextToolCmd() override;

    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override;

    MStatus setOldPoints(const MPointArray& points);
    MStatus setNewPoints(const MPointArray& points);
    // A null object is ignored, so the command keeps the locator it had.
    MStatus setLocator(const MObject& locator);

    static void* creator();

private:
    // Writes the points into the locator's "parr" while the locator still exists.
    MStatus writePoints(const MPointArray& points);

    MStatus status;
    MPointArray oldPoints;
    MPointArray newPoints;
    MObject locator;
};
