#pragma once
// The command a tool context records its work with. The context gets one from newToolCommand, gives it the
// data of the edit it has already made, and calls finalize: the command then enters the undo queue as one
// step (it is undone and redone through undoIt/redoIt) without doIt being called. A tool command is also
// a MEL command under its registered name, run through doIt like any plug-in command.
#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

class MArgList;

class MPxToolCommand : public MPxCommand {
public:
    MPxToolCommand();
    ~MPxToolCommand() override;

    MStatus doIt(const MArgList& args) override = 0;
    // Gives up the command before it is finalized; the host deletes it later. The base only records that.
    virtual MStatus cancel();
    // Builds the command's journal line and calls doFinalize. The base line is the command string alone.
    virtual MStatus finalize();

    static const char* className();

protected:
    // Records the command (already done) on the undo queue when it is undoable, described by the words of
    // `command` ("quadDrawContextCmd -p 1 2 3"). Fails when the command was finalized or cancelled before.
    MStatus doFinalize(MArgList& command);

private:
    enum State { kOpen, kFinalized, kCancelled };
    State state_ = kOpen;
};
