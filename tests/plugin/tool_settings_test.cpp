// "kxSetCommands -ms storeValues" reading the interface's windows into ToolSettings: every control to its
// own field, the windows' first values agreeing with the defaults, closed windows, radio answers outside the
// lists, the slide field's prompt, and the controls storing their values as the artist uses them.
#include "plugin_fixture.h"

namespace {

const char* const kStore = "kxSetCommands -ms \"storeValues\"";

#define FIELD(f) #f, [](const ToolSettings& s) { return int(s.f); }
using Field = int (*)(const ToolSettings&);

// One control edit and the field it must land in. Each value differs from the field's value before (the
// default, or the row before on the same field), so a control read into the wrong field, or not read, fails.
struct ControlRow {
    const char* edit;
    const char* name;
    Field field;
    int expected;
};
const ControlRow kControls[] = {
    {"checkBox -e -v 0 multicomp_KXPT_CB", FIELD(multiComponent), 0},
    {"intField -e -v 75 intensity_KXPT_IF", FIELD(softSelectIntensity), 75},
    {"intField -e -v 33 smoothIntensity_KXPT_IF", FIELD(smoothIntensity), 33},
    {"intField -e -v -4 smoothPush_KXPT_IF", FIELD(smoothPush), -4},
    {"radioCollection -e -sl normal_direction_camera_KXPT_RB normal_direction_KXPT_RB",
     FIELD(normalDirection), 1},
    {"radioCollection -e -sl normal_direction_vertex_KXPT_RB normal_direction_KXPT_RB",
     FIELD(normalDirection), 0},
    {"checkBox -e -v 0 mirror_KXPT_CB", FIELD(mirror), 0},
    {"checkBox -e -v 1 lockAxis_KXPT_CB", FIELD(lockAxis), 1},
    {"checkBox -e -v 1 lockXAxis_KXPT_CB", FIELD(lockX), 1},
    {"checkBox -e -v 1 lockYAxis_KXPT_CB", FIELD(lockY), 1},
    {"checkBox -e -v 1 lockZAxis_KXPT_CB", FIELD(lockZ), 1},
    {"radioCollection -e -sl mirrorY_KXPT_RB mirror_KXPT_RB", FIELD(mirrorAxis), 1},
    {"radioCollection -e -sl mirrorZ_KXPT_RB mirror_KXPT_RB", FIELD(mirrorAxis), 2},
    {"radioCollection -e -sl mirrorX_KXPT_RB mirror_KXPT_RB", FIELD(mirrorAxis), 0},
    {"checkBox -e -v 0 ignoreQuadDrawBackface_KXPT_CB", FIELD(ignoreQuadDrawBackface), 0},
    {"radioCollection -e -sl dragSelectTypeShortest_KXPT_RB dragSelectType_KXPT_RB", FIELD(dragSelectNormal),
     0},
    {"radioCollection -e -sl dragSelectTypeNormal_KXPT_RB dragSelectType_KXPT_RB", FIELD(dragSelectNormal),
     1},
    {"radioCollection -e -sl worldSpace_KXPT_RB mirrorSpace_KXPT_RB", FIELD(mirrorWorldSpace), 1},
    {"radioCollection -e -sl objectSpace_KXPT_RB mirrorSpace_KXPT_RB", FIELD(mirrorWorldSpace), 0},
    {"intField -e -v 40 smoothUvIntensity_KXPT_IF", FIELD(smoothUvIntensity), 40},
    {"menuItem -e -cb 1 pinBorderEdges_KXPT_MI", FIELD(pinBorderEdges), 1},
    {"menuItem -e -cb 1 fullShellCompressionColors_KXPT_MI", FIELD(fullShellCompressionColors), 1},
};

using ToolSettingsTest = PluginTest;

TEST_F(ToolSettingsTest, EachControlLandsInItsOwnFieldAndFreshWindowsShowTheDefaults) {
    sourceUi();
    const ToolSettings defaults;
    for (const ControlRow& row : kControls) {
        mel("kx_modeling_tool_ui; kx_uv_tool_ui_KXPT_Proc");  // fresh windows
        mel(row.edit);
        mel(kStore);
        EXPECT_EQ(row.field(settings()), row.expected) << row.edit;
        for (const ControlRow& other : kControls)
            if (std::string(other.name) != row.name)
                EXPECT_EQ(other.field(settings()), other.field(defaults)) << row.edit << ": " << other.name;
    }
}

TEST_F(ToolSettingsTest, SlideSoftSelectionFollowsItsBoxAndTheFieldsPrompt) {
    openWindows();
    struct Row {
        const char* edit;
        bool slideSoftSelect, slideOnItself;
    };
    // Ticked with the prompt: on the mesh itself; with an object named: on that object; unticked: both off.
    for (const Row& row :
         {Row{"checkBox -e -v 1 enable_slide_soft_select_KXPT_CB", true, true},
          Row{"textField -e -tx \"pSphere1\" add_static_slide_object_KXPT_TF", true, false},
          Row{"textField -e -tx \"Load Object, or slide on itself\" "
              "add_static_slide_object_KXPT_TF; checkBox -e -v 0 enable_slide_soft_select_KXPT_CB",
              false, false}}) {
        settings().slideOnItself = !row.slideOnItself;
        mel(row.edit);
        mel(kStore);
        EXPECT_EQ(settings().slideSoftSelect, row.slideSoftSelect) << row.edit;
        EXPECT_EQ(settings().slideOnItself, row.slideOnItself) << row.edit;
    }
}

TEST_F(ToolSettingsTest, ClosedWindowsKeepTheirLastValues) {
    openWindows();
    mel("intField -e -v 90 intensity_KXPT_IF; intField -e -v 10 smoothUvIntensity_KXPT_IF");
    mel(kStore);

    // Main window closed: its fields stay, the UV window is still read.
    mel("deleteUI -window kx_modeling_ui; intField -e -v 11 smoothUvIntensity_KXPT_IF");
    settings().mirror = false;
    mel(kStore);
    EXPECT_EQ(settings().softSelectIntensity, 90);
    EXPECT_FALSE(settings().mirror);
    EXPECT_EQ(settings().smoothUvIntensity, 11);

    // UV window closed, main window open again: only the main window is read.
    mel("deleteUI -window customUvWindow_KXPT; kx_modeling_tool_ui");
    settings().smoothUvIntensity = 12;
    mel(kStore);
    EXPECT_EQ(settings().softSelectIntensity, 60);
    EXPECT_TRUE(settings().mirror);
    EXPECT_EQ(settings().smoothUvIntensity, 12);
}

TEST_F(ToolSettingsTest, RadioAnswersOutsideTheListsLeaveTheirFields) {
    openWindows();
    mel("radioCollection -e -sl normal_direction_camera_KXPT_RB normal_direction_KXPT_RB;"
        "radioCollection -e -sl mirrorZ_KXPT_RB mirror_KXPT_RB;"
        "radioCollection -e -sl worldSpace_KXPT_RB mirrorSpace_KXPT_RB");
    mel(kStore);

    // A button the lists do not know, in every collection; and a collection with none selected.
    mel("setParent kxMainColumn_KXPT;"
        "radioButton -cl normal_direction_KXPT_RB -sl normal_direction_other_KXPT_RB;"
        "radioButton -cl mirror_KXPT_RB -sl mirrorW_KXPT_RB;"
        "radioButton -cl dragSelectType_KXPT_RB -sl dragSelectTypeOther_KXPT_RB;"
        "deleteUI worldSpace_KXPT_RB");
    ASSERT_EQ(mel("radioCollection -q -sl mirrorSpace_KXPT_RB").asString(), "NONE");
    mel(kStore);
    EXPECT_EQ(settings().normalDirection, 1);
    EXPECT_EQ(settings().mirrorAxis, 2);
    EXPECT_EQ(settings().mirrorWorldSpace, 1);
    EXPECT_FALSE(settings().dragSelectNormal);
}

TEST_F(ToolSettingsTest, UsingTheControlsStoresTheirValues) {
    openWindows();
    kxh::ui::UiModel& ui = kxh::ui::uiModel();
    ASSERT_TRUE(ui.userSetValue("intensity_KXPT_IF", kxh::mel::Value(42)));
    EXPECT_EQ(settings().softSelectIntensity, 42);
    ASSERT_TRUE(ui.userSetValue("smoothUvIntensity_KXPT_IF", kxh::mel::Value(55)));
    EXPECT_EQ(settings().smoothUvIntensity, 55);
    struct Press {
        const char* control;
        const char* name;
        Field field;
        int expected;
    };
    for (const Press& p :
         {Press{"mirror_KXPT_CB", FIELD(mirror), 0}, Press{"mirrorZ_KXPT_RB", FIELD(mirrorAxis), 2},
          Press{"normal_direction_camera_KXPT_RB", FIELD(normalDirection), 1},
          Press{"lockYAxis_KXPT_CB", FIELD(lockY), 1},
          Press{"pinBorderEdges_KXPT_MI", FIELD(pinBorderEdges), 1}}) {
        ASSERT_TRUE(ui.press(p.control)) << p.control;
        EXPECT_EQ(p.field(settings()), p.expected) << p.control;
    }
}

}  // namespace
