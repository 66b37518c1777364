// ToolSettings: defaults, and "kxSetCommands -ms storeValues" reading the interface's windows (open,
// closed, with answers outside the lists, with controls missing), also when the artist uses a control.
#include "plugin_fixture.h"

namespace {

// Every value the windows set, so a comparison catches a field that is not read (or read wrongly).
void expectSameOptions(const ToolSettings& a, const ToolSettings& b) {
    EXPECT_EQ(a.multiComponent, b.multiComponent);
    EXPECT_EQ(a.softSelectIntensity, b.softSelectIntensity);
    EXPECT_EQ(a.smoothIntensity, b.smoothIntensity);
    EXPECT_EQ(a.smoothPush, b.smoothPush);
    EXPECT_EQ(a.slideSoftSelect, b.slideSoftSelect);
    EXPECT_EQ(a.slideOnItself, b.slideOnItself);
    EXPECT_EQ(a.normalDirection, b.normalDirection);
    EXPECT_EQ(a.mirror, b.mirror);
    EXPECT_EQ(a.lockAxis, b.lockAxis);
    EXPECT_EQ(a.lockX, b.lockX);
    EXPECT_EQ(a.lockY, b.lockY);
    EXPECT_EQ(a.lockZ, b.lockZ);
    EXPECT_EQ(a.mirrorAxis, b.mirrorAxis);
    EXPECT_EQ(a.ignoreQuadDrawBackface, b.ignoreQuadDrawBackface);
    EXPECT_EQ(a.dragSelectNormal, b.dragSelectNormal);
    EXPECT_EQ(a.mirrorWorldSpace, b.mirrorWorldSpace);
    EXPECT_EQ(a.smoothUvIntensity, b.smoothUvIntensity);
    EXPECT_EQ(a.pinBorderEdges, b.pinBorderEdges);
    EXPECT_EQ(a.fullShellCompressionColors, b.fullShellCompressionColors);
}

// Every option away from its default (and from what the windows show at first).
void scramble(ToolSettings& s) {
    s.multiComponent = false;
    s.softSelectIntensity = 7;
    s.smoothIntensity = 8;
    s.smoothPush = 9;
    s.slideSoftSelect = true;
    s.slideOnItself = true;
    s.normalDirection = 1;
    s.mirror = false;
    s.lockAxis = s.lockX = s.lockY = s.lockZ = true;
    s.mirrorAxis = 2;
    s.ignoreQuadDrawBackface = false;
    s.dragSelectNormal = false;
    s.mirrorWorldSpace = 1;
    s.smoothUvIntensity = 3;
    s.pinBorderEdges = true;
    s.fullShellCompressionColors = true;
}

const char* const kStore = "kxSetCommands -ms \"storeValues\"";

using ToolSettingsTest = PluginTest;

TEST_F(ToolSettingsTest, DefaultsAndTheWindowsAgree) {
    const ToolSettings defaults;  // built with loadDefaults()

    // Freshly opened windows show the defaults: storing them undoes any earlier change.
    openWindows();
    scramble(settings());
    mel(kStore);
    expectSameOptions(settings(), defaults);

    // loadDefaults also resets what has no control.
    settings().brushRadius = 3;
    settings().uvBrushRadius = 4;
    settings().mergeDistance = 1;
    settings().loadDefaults();
    EXPECT_EQ(settings().brushRadius, defaults.brushRadius);
    EXPECT_EQ(settings().uvBrushRadius, defaults.uvBrushRadius);
    EXPECT_EQ(settings().mergeDistance, defaults.mergeDistance);
}

TEST_F(ToolSettingsTest, StoreValuesCopiesEveryControl) {
    openWindows();
    mel("checkBox -e -v 0 multicomp_KXPT_CB; intField -e -v 75 intensity_KXPT_IF;"
        "intField -e -v 33 smoothIntensity_KXPT_IF; intField -e -v -4 smoothPush_KXPT_IF;"
        "radioCollection -e -sl normal_direction_camera_KXPT_RB normal_direction_KXPT_RB;"
        "checkBox -e -v 0 mirror_KXPT_CB; checkBox -e -v 1 lockAxis_KXPT_CB; checkBox -e -v 1 "
        "lockXAxis_KXPT_CB;"
        "checkBox -e -v 1 lockYAxis_KXPT_CB; checkBox -e -v 1 lockZAxis_KXPT_CB;"
        "radioCollection -e -sl mirrorY_KXPT_RB mirror_KXPT_RB;"
        "checkBox -e -v 0 ignoreQuadDrawBackface_KXPT_CB;"
        "radioCollection -e -sl dragSelectTypeShortest_KXPT_RB dragSelectType_KXPT_RB;"
        "radioCollection -e -sl worldSpace_KXPT_RB mirrorSpace_KXPT_RB;"
        "intField -e -v 40 smoothUvIntensity_KXPT_IF;"
        "menuItem -e -cb 1 pinBorderEdges_KXPT_MI; menuItem -e -cb 1 fullShellCompressionColors_KXPT_MI");
    mel(kStore);
    const ToolSettings& s = settings();
    EXPECT_FALSE(s.multiComponent);
    EXPECT_EQ(s.softSelectIntensity, 75);
    EXPECT_EQ(s.smoothIntensity, 33);
    EXPECT_EQ(s.smoothPush, -4);
    EXPECT_EQ(s.normalDirection, 1);
    EXPECT_FALSE(s.mirror);
    EXPECT_TRUE(s.lockAxis && s.lockX && s.lockY && s.lockZ);
    EXPECT_EQ(s.mirrorAxis, 1);
    EXPECT_FALSE(s.ignoreQuadDrawBackface);
    EXPECT_FALSE(s.dragSelectNormal);
    EXPECT_EQ(s.mirrorWorldSpace, 1);
    EXPECT_EQ(s.smoothUvIntensity, 40);
    EXPECT_TRUE(s.pinBorderEdges);
    EXPECT_TRUE(s.fullShellCompressionColors);

    // The other answer of each pair.
    mel("radioCollection -e -sl normal_direction_vertex_KXPT_RB normal_direction_KXPT_RB;"
        "radioCollection -e -sl mirrorZ_KXPT_RB mirror_KXPT_RB;"
        "radioCollection -e -sl dragSelectTypeNormal_KXPT_RB dragSelectType_KXPT_RB;"
        "radioCollection -e -sl objectSpace_KXPT_RB mirrorSpace_KXPT_RB");
    mel(kStore);
    EXPECT_EQ(s.normalDirection, 0);
    EXPECT_EQ(s.mirrorAxis, 2);
    EXPECT_TRUE(s.dragSelectNormal);
    EXPECT_EQ(s.mirrorWorldSpace, 0);
    mel("radioCollection -e -sl mirrorX_KXPT_RB mirror_KXPT_RB");
    mel(kStore);
    EXPECT_EQ(s.mirrorAxis, 0);
}

TEST_F(ToolSettingsTest, SlideSoftSelectionAndTheSlideField) {
    openWindows();
    // Ticked with the field at its prompt: slide on the mesh itself.
    mel("checkBox -e -v 1 enable_slide_soft_select_KXPT_CB");
    mel(kStore);
    EXPECT_TRUE(settings().slideSoftSelect);
    EXPECT_TRUE(settings().slideOnItself);

    // An object named in the field: slide on that object.
    mel("textField -e -tx \"pSphere1\" add_static_slide_object_KXPT_TF");
    mel(kStore);
    EXPECT_TRUE(settings().slideSoftSelect);
    EXPECT_FALSE(settings().slideOnItself);

    // Unticked: both off, whatever the field holds.
    mel("textField -e -tx \"Load Object, or slide on itself\" add_static_slide_object_KXPT_TF;"
        "checkBox -e -v 0 enable_slide_soft_select_KXPT_CB");
    settings().slideOnItself = true;
    mel(kStore);
    EXPECT_FALSE(settings().slideSoftSelect);
    EXPECT_FALSE(settings().slideOnItself);
}

TEST_F(ToolSettingsTest, ClosedWindowsKeepTheirLastValues) {
    openWindows();
    mel("intField -e -v 90 intensity_KXPT_IF; intField -e -v 10 smoothUvIntensity_KXPT_IF");
    mel(kStore);

    // Main window closed: its fields stay, the UV window is still read.
    mel("deleteUI -window kx_modeling_ui; intField -e -v 11 smoothUvIntensity_KXPT_IF;"
        "menuItem -e -cb 1 pinBorderEdges_KXPT_MI");
    settings().mirror = false;
    settings().mirrorAxis = 2;
    settings().dragSelectNormal = false;
    mel(kStore);
    EXPECT_EQ(settings().softSelectIntensity, 90);
    EXPECT_FALSE(settings().mirror);
    EXPECT_EQ(settings().mirrorAxis, 2);
    EXPECT_FALSE(settings().dragSelectNormal);
    EXPECT_EQ(settings().smoothUvIntensity, 11);
    EXPECT_TRUE(settings().pinBorderEdges);

    // Both closed: nothing changes.
    mel("deleteUI -window customUvWindow_KXPT");
    ToolSettings before = settings();
    mel(kStore);
    expectSameOptions(settings(), before);

    // UV window closed, main window open again: only the main window is read.
    mel("kx_modeling_tool_ui");
    mel(kStore);
    EXPECT_EQ(settings().softSelectIntensity, 60);
    EXPECT_TRUE(settings().mirror);
    EXPECT_EQ(settings().smoothUvIntensity, 11);
    EXPECT_TRUE(settings().pinBorderEdges);
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
    EXPECT_EQ(mel("radioCollection -q -sl mirrorSpace_KXPT_RB").asString(), "NONE");
    mel(kStore);
    EXPECT_EQ(settings().normalDirection, 1);
    EXPECT_EQ(settings().mirrorAxis, 2);
    EXPECT_EQ(settings().mirrorWorldSpace, 1);
    EXPECT_FALSE(settings().dragSelectNormal);
}

TEST_F(ToolSettingsTest, FailingQueriesGiveZeroOffOrLeaveRadios) {
    // A main window without any of the controls: every query fails.
    mel("window kx_modeling_ui; columnLayout");
    scramble(settings());
    settings().multiComponent = true;
    settings().mirror = true;
    settings().ignoreQuadDrawBackface = true;
    settings().dragSelectNormal = true;
    mel(kStore);
    const ToolSettings& s = settings();
    EXPECT_FALSE(s.multiComponent);
    EXPECT_EQ(s.softSelectIntensity, 0);
    EXPECT_EQ(s.smoothIntensity, 0);
    EXPECT_EQ(s.smoothPush, 0);
    EXPECT_FALSE(s.slideSoftSelect);
    EXPECT_FALSE(s.slideOnItself);
    EXPECT_FALSE(s.mirror);
    EXPECT_FALSE(s.lockAxis || s.lockX || s.lockY || s.lockZ);
    EXPECT_FALSE(s.ignoreQuadDrawBackface);
    EXPECT_FALSE(s.dragSelectNormal);
    EXPECT_EQ(s.normalDirection, 1);
    EXPECT_EQ(s.mirrorAxis, 2);
    EXPECT_EQ(s.mirrorWorldSpace, 1);
    // The UV window is closed: its fields were not touched.
    EXPECT_EQ(s.smoothUvIntensity, 3);
    EXPECT_TRUE(s.pinBorderEdges);

    // With slide soft selection ticked but the text field gone, the empty text is not the prompt.
    mel("checkBox -v 1 enable_slide_soft_select_KXPT_CB");
    mel(kStore);
    EXPECT_TRUE(s.slideSoftSelect);
    EXPECT_FALSE(s.slideOnItself);
}

TEST_F(ToolSettingsTest, UsingTheControlsStoresTheirValues) {
    openWindows();
    kxh::ui::UiModel& ui = kxh::ui::uiModel();
    ASSERT_TRUE(ui.userSetValue("intensity_KXPT_IF", kxh::mel::Value(42)));
    EXPECT_EQ(settings().softSelectIntensity, 42);
    ASSERT_TRUE(ui.press("mirror_KXPT_CB"));
    EXPECT_FALSE(settings().mirror);
    ASSERT_TRUE(ui.press("mirrorZ_KXPT_RB"));
    EXPECT_EQ(settings().mirrorAxis, 2);
    ASSERT_TRUE(ui.press("normal_direction_camera_KXPT_RB"));
    EXPECT_EQ(settings().normalDirection, 1);
    ASSERT_TRUE(ui.press("lockYAxis_KXPT_CB"));
    EXPECT_TRUE(settings().lockY);
    ASSERT_TRUE(ui.press("pinBorderEdges_KXPT_MI"));
    EXPECT_TRUE(settings().pinBorderEdges);
    ASSERT_TRUE(ui.userSetValue("smoothUvIntensity_KXPT_IF", kxh::mel::Value(55)));
    EXPECT_EQ(settings().smoothUvIntensity, 55);
}

}  // namespace
