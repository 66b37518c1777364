// The load and unload tables, and the walks over them.
//
// Rows whose classes are not part of the plug-in yet are kept as numbered slots, so each command, context
// or node goes in at its place in the fixed order.
#define MNoVersionString  // the entry points' file defines MApiVersion
#include <maya/MFnPlugin.h>

#include "plugin/registration.h"
#include "modeling/drawLocator.h"
#include "modeling/mergeVertsCmd.h"
#include "modeling/modelingContextCmd.h"
#include "modeling/modelingContextToolCmd.h"
#include "plugin/setCommands.h"
#include "quaddraw/quadDrawContextCmd.h"
#include "quaddraw/quadDrawContextToolCmd.h"
#include "quaddraw/quadDrawLocator.h"

RegistrationRow commandRow(const char* name, MCreatorFunction creator, MCreateSyntaxFunction syntax,
                           const char* failureMessage) {
    RegistrationRow row{RegistrationKind::Command};
    row.name = name;
    row.creator = creator;
    row.syntax = syntax;
    row.failureMessage = failureMessage;
    return row;
}

RegistrationRow contextCommandRow(const char* name, MCreatorFunction creator, const char* toolCommandName,
                                  MCreatorFunction toolCreator, const char* failureMessage) {
    RegistrationRow row{RegistrationKind::ContextCommand};
    row.name = name;
    row.creator = creator;
    row.toolCommandName = toolCommandName;
    row.toolCreator = toolCreator;
    row.failureMessage = failureMessage;
    return row;
}

RegistrationRow nodeRow(const char* name, const MTypeId* typeId, MCreatorFunction creator,
                        MInitializeFunction initialize, MPxNode::Type nodeType, const MString* classification,
                        const char* failureMessage) {
    RegistrationRow row{RegistrationKind::Node};
    row.name = name;
    row.typeId = typeId;
    row.creator = creator;
    row.initialize = initialize;
    row.nodeType = nodeType;
    row.classification = classification;
    row.failureMessage = failureMessage;
    return row;
}

RegistrationRow uiRow(const char* creationProc, const char* deletionProc, const char* failureMessage) {
    RegistrationRow row{RegistrationKind::UI};
    row.name = creationProc;
    row.toolCommandName = deletionProc;
    row.failureMessage = failureMessage;
    return row;
}

RegistrationRow commandRemovalRow(const char* name, const char* failureMessage) {
    return commandRow(name, nullptr, nullptr, failureMessage);
}

RegistrationRow contextCommandRemovalRow(const char* name, const char* toolCommandName,
                                         const char* failureMessage) {
    return contextCommandRow(name, nullptr, toolCommandName, nullptr, failureMessage);
}

RegistrationRow nodeRemovalRow(const MTypeId* typeId, const char* failureMessage) {
    return nodeRow(nullptr, typeId, nullptr, nullptr, MPxNode::kDependNode, nullptr, failureMessage);
}

const std::vector<RegistrationRow>& loadTable() {
    static const std::vector<RegistrationRow> rows = {
        //  1 command kxSelectCmd (SelectCmd): "registerCommand"
        //  2 command kxESmoothCmd (turboSmoothCmd): "registerCommand"
        //  3 command kxMakePlanarCmd (makePlanarCmd, empty syntax): "registerCommand"
        //  4 command kxCircleVertsCmd (circleVertsCmd, empty syntax): "registerCommand"
        //  5 command kxStraightenCmd (straightenCmd): "registerCommand"
        commandRow("kxMergeVerts", mergeVertsCmd::creator, mergeVertsCmd::newSyntax,
                   "merge verts command failed to register"),  // 6
        contextCommandRow("modelingContext", modelingContextCmd::creator, "modelingContextCmd",
                          modelingContextToolCmd::creator, "modeling context failed to register"),  // 7
        commandRow("kxSetCommands", setCommands::creator, setCommands::newSyntax,
                   "set commands command failed to register"),  // 8
        nodeRow("drawLocator", &drawLocator::id, drawLocator::creator, drawLocator::initialize,
                MPxNode::kLocatorNode, &drawLocator::drawDbClassification,
                "error registering draw locator"),  // 9
        // 10 node pinLocator (pinLocator): "error registering pin locator"
        // 11 node uvEditNode (uvEditNode): "uvEditNode failed to register"
        nodeRow("quadDrawLocator", &quadDrawLocator::id, quadDrawLocator::creator,
                quadDrawLocator::initialize, MPxNode::kLocatorNode, &quadDrawLocator::drawDbClassification,
                "quadDrawLocator failed to register"),  // 12
        contextCommandRow("quadDrawContext", quadDrawContextCmd::creator, "quadDrawContextCmd",
                          quadDrawContextToolCmd::creator, "quadDraw context failed to register"),  // 13
        // 14 command kxSnapVertsToAxis (snapVertsToAxisCmd, empty syntax):
        //    "snap verts to axis command failed to register"
        // 15 command kxTransferTopology (topologyTransferCmd): "topology transfer command failed to register"
        // 16 context uvSelectContext (uvSelectContextCmd), tool uvSelectContextCmd (uvSelectContextToolCmd):
        //    "uv select context failed to register"
        // 17 node uvSelectionLocator (uvSelectLocator): "error uvSelectionLocator draw locator"
        // 18 command kxAutoUnwrap (autoUnwrapCmd): "auto unwrap command failed to register"
        // 19 command kxTransferVertexNormals (transferVertexNormalsCmd):
        //    "transfer Vertex Normals command failed to register"
        // 20 command kxLoadUvObjectForMarking (loadUvObjectCmd):
        //    "load uv object for marking command failed to register"
        // 21 command uvRatio (uvRatioCmd): "uv ratio command failed to register"
        // 22 command kxPinVertsCmd (pinVertsCmd): "kxPinVertsCmd command failed to register"
        // 23 command kxMarkUVInformation (markUVInformationCmd): "mark uv information command failed to
        // register"
        // 24 command kxBuildUVObject (buildUVObjectCmd, no syntax function):
        //    "buildUVObjectCmd command failed to register"
        // 25 context baseBrushContext (baseBrushContextCmd), tool baseBrushContextCmd
        //    (baseBrushContextToolCmd): "move brush context failed to register"
        // 26 context standardSculptBrushContext (standardBrushContextCmd), tool standardBrushContextCmd
        //    (baseBrushContextToolCmd): "standard brush context failed to register"
        // 27 context tweakUvBrushContext (tweakUvBrushContextCmd), tool tweakUvBrushContextCmd
        //    (baseBrushContextToolCmd): "tweak uv brush context failed to register"
        // 28 context moveRotateScaleUVBrushContext (moveRotateScaleUVBrushContextCmd), tool
        //    moveRotateScaleUVBrushContextCmd (baseBrushContextToolCmd): no message, the status is printed
        // 29 command kxTweakUVVerts (tweakUVVertsCmd): "kxTweakUVVertscommand failed to register"
        // 30 node kxModifyUvsNode (modifyUVNode): "kxModifyUvsNode failed to register"
        // 31 command scaleMoveSewCmd (scaleMoveAndSew, empty syntax): "registerCommand"
        // 32 command addUVNodeMessageCmd (addUVNodeMessageCmd, empty syntax): "registerCommand"
        // 33 command uvRatioCmd (uvRatioTweakCmd): "registerCommand"
        // 34 command projectMeshOnMeshCmd (projectMeshOnMeshCmd): "registerCommand"
        uiRow("kx_modeling_tool_ui", "kx_modeling_tool_delete_UI", "registerUIScripts"),  // 35
    };
    return rows;
}

const std::vector<RegistrationRow>& unloadTable() {
    static const std::vector<RegistrationRow> rows = {
        //  1 projectMeshOnMeshCmd                                     "deregisterCommand"
        //  2 uvRatioCmd                                               "deregisterCommand"
        //  3 addUVNodeMessageCmd                                      "deregisterCommand"
        //  4 scaleMoveSewCmd                                          "deregisterCommand"
        //  5 kxModifyUvsNode (node, by type id)                       "deregisterNode"
        //  6 kxTweakUVVerts                                           "kxTweakUVVerts failed"
        //  7 moveRotateScaleUVBrushContext / moveRotateScaleUVBrushContextCmd   (status printed)
        //  8 tweakUvBrushContext / tweakUvBrushContextCmd             "tweakUvBrushContext failed"
        //  9 standardSculptBrushContext / standardBrushContextCmd     "standardSculptBrushContext failed"
        // 10 baseBrushContext / baseBrushContextCmd                   "baseBrushContext failed"
        // 11 kxBuildUVObject                                          "deregisterCommand"
        // 12 kxMarkUVInformation                                      "deregisterCommand"
        // 13 kxPinVertsCmd                                            "deregisterCommand"
        // 14 uvRatio                                                  "deregisterCommand"
        // 15 kxLoadUvObjectForMarking                                 "deregisterCommand"
        // 16 kxTransferVertexNormals                                  "deregisterCommand"
        // 17 kxAutoUnwrap                                             "deregisterCommand"
        // 18 uvSelectionLocator (node)                                "deregisterLocator"
        // 19 uvSelectContext / uvSelectContextCmd                     "deregisterContextCommand failed"
        // 20 kxTransferTopology                                       "deregisterCommand"
        // 21 kxSnapVertsToAxis                                        "deregisterCommand"
        contextCommandRemovalRow("quadDrawContext", "quadDrawContextCmd",
                                 "deregisterContextCommand failed"),  // 22
        nodeRemovalRow(&quadDrawLocator::id, "deregisterLocator"),    // 23
        // 24 uvEditNode (node)                                        "deregisterLocator"
        // 25 pinLocator (node)                                        "deregisterLocator"
        nodeRemovalRow(&drawLocator::id, "deregisterLocator"),    // 26
        commandRemovalRow("kxSetCommands", "deregisterCommand"),  // 27
        contextCommandRemovalRow("modelingContext", "modelingContextCmd",
                                 "deregisterContextCommand failed"),  // 28
        commandRemovalRow("kxMergeVerts", "deregisterCommand"),       // 29
        // 30 kxStraightenCmd                                          "deregisterCommand"
        // 31 kxCircleVertsCmd                                         "deregisterCommand"
        // 32 kxMakePlanarCmd                                          "deregisterCommand"
        // 33 kxESmoothCmd                                             "deregisterCommand"
        // 34 kxSelectCmd                                              "deregisterCommand"
    };
    return rows;
}

namespace {

MStatus registerRow(MFnPlugin& plugin, const RegistrationRow& row) {
    switch (row.kind) {
        case RegistrationKind::Command:
            return plugin.registerCommand(row.name, row.creator, row.syntax);
        case RegistrationKind::ContextCommand:
            return plugin.registerContextCommand(row.name, row.creator, row.toolCommandName, row.toolCreator,
                                                 nullptr);
        case RegistrationKind::Node:
            return plugin.registerNode(row.name, *row.typeId, row.creator, row.initialize, row.nodeType,
                                       row.classification);
        case RegistrationKind::UI:
            return plugin.registerUI(row.name, row.toolCommandName, "", "");
    }
    return MS::kFailure;
}

MStatus deregisterRow(MFnPlugin& plugin, const RegistrationRow& row) {
    switch (row.kind) {
        case RegistrationKind::Command:
            return plugin.deregisterCommand(row.name);
        case RegistrationKind::ContextCommand:
            return plugin.deregisterContextCommand(row.name, row.toolCommandName);
        case RegistrationKind::Node:
            return plugin.deregisterNode(*row.typeId);
        case RegistrationKind::UI:
            return MS::kSuccess;  // the host drops UI procedures with the plug-in
    }
    return MS::kFailure;
}

void printFailure(const MStatus& status, const RegistrationRow& row) {
    status.perror(row.failureMessage ? row.failureMessage : "");
}

}  // namespace

MStatus registerRows(MFnPlugin& plugin, const std::vector<RegistrationRow>& rows) {
    MStatus status = MS::kSuccess;
    for (const RegistrationRow& row : rows) {
        status = registerRow(plugin, row);
        if (status) continue;
        printFailure(status, row);
        // Contexts are optional tools: the rest of the plug-in stays usable without one.
        if (row.kind != RegistrationKind::ContextCommand) return status;
    }
    return status;
}

MStatus deregisterRows(MFnPlugin& plugin, const std::vector<RegistrationRow>& rows) {
    MStatus status = MS::kSuccess;
    for (const RegistrationRow& row : rows) {
        status = deregisterRow(plugin, row);
        if (!status) {
            printFailure(status, row);
            return status;
        }
    }
    return status;
}
