#pragma once
// journaledToolCmd: the base of the plug-in's tool commands. A tool command holds the data of an edit its
// context has already made; finalize journals it on the undo queue under its command string alone (the
// data stays in the command object, so no arguments are needed to undo or redo it).
#include <maya/MPxToolCommand.h>
#include <maya/MStatus.h>

class journaledToolCmd : public MPxToolCommand {
public:
    // Journals the command with its command string and no arguments.
    MStatus finalize() override;
};
