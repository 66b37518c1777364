// kxSetCommands: action dispatch and the slide object.
#include "plugin/setCommands.h"

#include <maya/MArgDatabase.h>
#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include "plugin/ToolSettings.h"
#include "plugin/versionCheck.h"

namespace {

const char* const kActionFlag = "ms";
const char* const kActionFlagLong = "mset";

// Drops the intersection accelerator the previous slide object's mesh keeps between casts.
void releaseSlideAccelerator(const MDagPath& slideObject) {
    if (!slideObject.isValid()) return;
    MStatus status;
    MFnMesh mesh(slideObject, &status);
    if (!status) return;
    if (mesh.cachedIntersectionAcceleratorInfo().length() > 0) mesh.freeCachedIntersectionAccelerator();
}

}  // namespace

void* setCommands::creator() {
    return new setCommands;
}

MSyntax setCommands::newSyntax() {
    MSyntax syntax;
    syntax.addFlag(kActionFlag, kActionFlagLong, MSyntax::kString);
    return syntax;
}

MStatus setCommands::parseArgs(const MArgList& args) {
    MStatus status;
    MArgDatabase argData(syntax(), args, &status);
    if (!status) return status;
    // The action flag is the command's whole input: a line without it cannot be parsed either.
    action_ = MString();
    return argData.getFlagArgument(kActionFlag, 0, action_);
}

MStatus setCommands::doIt(const MArgList& args) {
    MStatus status = parseArgs(args);
    if (!status) {
        status.perror("could not parse message set");
        return status;
    }

    // The action names are distinct: at most one of these runs.
    if (action_ == "storeValues") ToolSettings::instance().storeFromUi();
    if (action_ == "setSlideDag") setSlideDag();
    // "setPinValues", "unPinValues", "buildUVObject", "setAncorPoint", "removeAncorPoint", "markEdges",
    // "unMarkEdges" and "customFrame" come here, in this order, with the pinning, UV and view services.
    if (action_ == "checkForUpdates") runVersionCheck(true);

    return MS::kSuccess;
}

void setCommands::setSlideDag() {
    ToolSettings& settings = ToolSettings::instance();
    MString name;
    MGlobal::executeCommand("textField -q -tx add_static_slide_object_KXPT_TF", name, false, false);

    if (name != kSlideObjectPrompt && name.length() > 0) {
        MSelectionList list;
        MDagPath path;
        if (list.add(name) == MS::kSuccess && list.getDagPath(0, path) == MS::kSuccess) {
            releaseSlideAccelerator(settings.slideObject);
            settings.slideObject = path;
            settings.slideOnItself = false;
        } else {
            MGlobal::displayError("error finding object " + name + " !");
            settings.slideSoftSelect = false;
            // The interface runs "storeValues" right after this action, which reads the checkbox: unticked,
            // sliding stays off instead of going back to the object loaded before.
            MGlobal::executeCommand("checkBox -e -v 0 enable_slide_soft_select_KXPT_CB", false, false);
        }
        return;
    }

    // No object named: back to sliding on the edited mesh itself, with slide soft selection off.
    releaseSlideAccelerator(settings.slideObject);
    settings.slideObject = MDagPath();
    settings.slideSoftSelect = false;
    MGlobal::executeCommand("checkBox -e -v 0 enable_slide_soft_select_KXPT_CB", false, false);
    settings.slideOnItself = false;
}
