#pragma once
// kxSetCommands: the command through which the plug-in's MEL interface triggers plug-in side actions that
// have no tool of their own. The action is named with the flag -ms/-mset:
//   kxSetCommands -ms "storeValues"      copy the UI controls into ToolSettings
//   kxSetCommands -ms "setSlideDag"      load (or clear) the slide object named in the slide text field;
//                                        a name that finds nothing turns sliding off and unticks the
//                                        slide checkbox (the object loaded before stays loaded)
//   kxSetCommands -ms "checkForUpdates"  run the version check, reporting every outcome
// An unknown action does nothing. The command is not undoable; actions that edit the scene run their
// edits as undoable MEL commands of their own.
#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

class setCommands : public MPxCommand {
public:
    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;
    bool isUndoable() const override { return false; }

private:
    MStatus parseArgs(const MArgList& args);
    void setSlideDag();

    MString action_;
};
