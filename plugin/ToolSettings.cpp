// Tool settings: defaults and the copy from the UI controls.
#include "plugin/ToolSettings.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>

const char* const kSlideObjectPrompt = "Load Object, or slide on itself";

namespace {

// Queries run silently and outside the undo queue. A failing query leaves the starting value: 0 for
// numbers, "" for text.
int queryInt(const char* command) {
    int value = 0;
    MGlobal::executeCommand(command, value, false, false);
    return value;
}

MString queryString(const char* command) {
    MString value;
    MGlobal::executeCommand(command, value, false, false);
    return value;
}

}  // namespace

ToolSettings& ToolSettings::instance() {
    static ToolSettings settings;
    return settings;
}

void ToolSettings::loadDefaults() {
    multiComponent = true;
    softSelectIntensity = 60;
    smoothIntensity = 20;
    smoothPush = 0;
    slideSoftSelect = false;
    slideOnItself = false;
    normalDirection = 0;
    mirror = true;
    lockAxis = false;
    lockX = false;
    lockY = false;
    lockZ = false;
    mirrorAxis = 0;
    ignoreQuadDrawBackface = true;
    dragSelectNormal = true;
    mirrorWorldSpace = 0;
    smoothUvIntensity = 25;
    pinBorderEdges = false;
    fullShellCompressionColors = false;
    brushRadius = 0.5;
    uvBrushRadius = 0.5;
    mergeDistance = 0.01f;
    slideObject = MDagPath();
}

void ToolSettings::storeFromUi() {
    if (queryInt("window -ex kx_modeling_ui") == 1) {
        multiComponent = queryInt("checkBox -q -v multicomp_KXPT_CB") != 0;
        softSelectIntensity = queryInt("intField -q -v intensity_KXPT_IF");
        smoothIntensity = queryInt("intField -q -v smoothIntensity_KXPT_IF");
        smoothPush = queryInt("intField -q -v smoothPush_KXPT_IF");

        if (queryInt("checkBox -q -v enable_slide_soft_select_KXPT_CB") == 0) {
            slideSoftSelect = false;
            slideOnItself = false;
        } else {
            slideSoftSelect = true;
            // The field shows its prompt while no slide object is loaded: the mesh then slides on itself.
            slideOnItself =
                queryString("textField -q -tx add_static_slide_object_KXPT_TF") == kSlideObjectPrompt;
        }

        // Radio answers outside the lists leave the value as it was.
        MString normal = queryString("radioCollection -q -sl normal_direction_KXPT_RB");
        if (normal == "normal_direction_vertex_KXPT_RB")
            normalDirection = 0;
        else if (normal == "normal_direction_camera_KXPT_RB")
            normalDirection = 1;

        mirror = queryInt("checkBox -q -v mirror_KXPT_CB") != 0;
        lockAxis = queryInt("checkBox -q -v lockAxis_KXPT_CB") != 0;
        lockX = queryInt("checkBox -q -v lockXAxis_KXPT_CB") != 0;
        lockY = queryInt("checkBox -q -v lockYAxis_KXPT_CB") != 0;
        lockZ = queryInt("checkBox -q -v lockZAxis_KXPT_CB") != 0;

        MString axis = queryString("radioCollection -q -sl mirror_KXPT_RB");
        if (axis == "mirrorX_KXPT_RB")
            mirrorAxis = 0;
        else if (axis == "mirrorY_KXPT_RB")
            mirrorAxis = 1;
        else if (axis == "mirrorZ_KXPT_RB")
            mirrorAxis = 2;

        ignoreQuadDrawBackface = queryInt("checkBox -q -v ignoreQuadDrawBackface_KXPT_CB") != 0;

        dragSelectNormal =
            queryString("radioCollection -q -sl dragSelectType_KXPT_RB") == "dragSelectTypeNormal_KXPT_RB";

        MString space = queryString("radioCollection -q -sl mirrorSpace_KXPT_RB");
        if (space == "objectSpace_KXPT_RB")
            mirrorWorldSpace = 0;
        else if (space == "worldSpace_KXPT_RB")
            mirrorWorldSpace = 1;
    }

    if (queryInt("window -ex customUvWindow_KXPT") == 1) {
        smoothUvIntensity = queryInt("intField -q -v smoothUvIntensity_KXPT_IF");
        pinBorderEdges = queryInt("menuItem -q -cb pinBorderEdges_KXPT_MI") != 0;
        fullShellCompressionColors = queryInt("menuItem -q -cb fullShellCompressionColors_KXPT_MI") != 0;
    }
}
