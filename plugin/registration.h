#pragma once
// What the plug-in registers with the host and removes again, as two tables of rows. initializePlugin
// walks the load table in order, uninitializePlugin the unload table; adding a command, context or node to
// the plug-in means adding a row to each table in registration.cpp.
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

#include <vector>

class MFnPlugin;

enum class RegistrationKind { Command, ContextCommand, Node, UI };

struct RegistrationRow {
    RegistrationKind kind;
    // Command, context command or node type name; for UI rows the creation procedure.
    const char* name = nullptr;
    // Context commands: the tool command's name; for UI rows the deletion procedure.
    const char* toolCommandName = nullptr;
    MCreatorFunction creator = nullptr;      // command, context command or node
    MCreatorFunction toolCreator = nullptr;  // context commands: the tool command
    MCreateSyntaxFunction syntax = nullptr;  // commands; null: registered without a syntax function
    const MTypeId* typeId = nullptr;         // nodes (the node class's constant)
    MInitializeFunction initialize = nullptr;
    MPxNode::Type nodeType = MPxNode::kDependNode;
    const MString* classification = nullptr;  // locators: their draw classification
    // Printed with the failed status (MStatus::perror); null prints the status on its own.
    const char* failureMessage = nullptr;
};

RegistrationRow commandRow(const char* name, MCreatorFunction creator, MCreateSyntaxFunction syntax,
                           const char* failureMessage);
RegistrationRow contextCommandRow(const char* name, MCreatorFunction creator, const char* toolCommandName,
                                  MCreatorFunction toolCreator, const char* failureMessage);
RegistrationRow nodeRow(const char* name, const MTypeId* typeId, MCreatorFunction creator,
                        MInitializeFunction initialize, MPxNode::Type nodeType, const MString* classification,
                        const char* failureMessage);
RegistrationRow uiRow(const char* creationProc, const char* deletionProc, const char* failureMessage);

// Rows of the unload table name what they remove.
RegistrationRow commandRemovalRow(const char* name, const char* failureMessage);
RegistrationRow contextCommandRemovalRow(const char* name, const char* toolCommandName,
                                         const char* failureMessage);
RegistrationRow nodeRemovalRow(const MTypeId* typeId, const char* failureMessage);

// The plug-in's tables, in the order the host sees them.
const std::vector<RegistrationRow>& loadTable();
const std::vector<RegistrationRow>& unloadTable();

// Registers the rows in order. A failing command, node or UI row prints its message and ends the walk
// with that status (the rows before it stay registered); a failing context command prints its message and
// the walk goes on. Returns the status of the last step.
MStatus registerRows(MFnPlugin& plugin, const std::vector<RegistrationRow>& rows);

// Removes the rows in order; the first failure prints its message and ends the walk with that status.
MStatus deregisterRows(MFnPlugin& plugin, const std::vector<RegistrationRow>& rows);
