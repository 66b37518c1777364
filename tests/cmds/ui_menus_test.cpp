// Radio collections, option menus, menus and menu items.
#include "ui_fixture.h"

TEST_F(UiTest, RadioCollectionAnswersTheSelectedButton) {
    mel("window w; columnLayout;"
        "radioCollection mirror_KXPT_RB;"
        "radioButton -l X mirrorX_KXPT_RB;"
        "radioButton -l Y mirrorY_KXPT_RB;"
        "radioButton -l Z mirrorZ_KXPT_RB");
    // The first button of a collection starts selected.
    EXPECT_EQ(melString("radioCollection -q -sl mirror_KXPT_RB"), "mirrorX_KXPT_RB");
    EXPECT_EQ(melInt("radioButton -q -sl mirrorX_KXPT_RB"), 1);

    mel("radioCollection -e -sl mirrorY_KXPT_RB mirror_KXPT_RB");
    EXPECT_EQ(melString("radioCollection -q -select mirror_KXPT_RB"), "mirrorY_KXPT_RB");
    EXPECT_EQ(melInt("radioButton -q -sl mirrorX_KXPT_RB"), 0);

    mel("radioButton -e -sl mirrorZ_KXPT_RB");
    EXPECT_EQ(melString("radioCollection -q -sl mirror_KXPT_RB"), "mirrorZ_KXPT_RB");
    EXPECT_EQ(melInt("radioButton -q -sl mirrorY_KXPT_RB"), 0);

    EXPECT_EQ(melInt("radioCollection -q -nci mirror_KXPT_RB"), 3);
    EXPECT_EQ(melString("radioButton -q -cl mirrorX_KXPT_RB"), "w|columnLayout1|mirror_KXPT_RB");

    // Selecting something outside the collection fails and leaves the selection.
    EXPECT_NE(melError("radioCollection -e -sl nothing_RB mirror_KXPT_RB").find("not found"),
              std::string::npos);
    EXPECT_EQ(melString("radioCollection -q -sl mirror_KXPT_RB"), "mirrorZ_KXPT_RB");

    // With its selected button gone the collection answers NONE.
    mel("deleteUI mirrorZ_KXPT_RB");
    EXPECT_EQ(melString("radioCollection -q -sl mirror_KXPT_RB"), "NONE");
    EXPECT_NE(
        melError("radioCollection -q -sl missing_RB").find("radioCollection: Object 'missing_RB' not found."),
        std::string::npos);
}

TEST_F(UiTest, RadioButtonsJoinTheLastCollectionOrTheNamedOne) {
    mel("window w; columnLayout;"
        "radioCollection space_RB;"
        "radioCollection direction_RB;"
        "radioButton normal_RB; radioButton camera_RB;"
        "radioButton -cl space_RB -sl world_RB;"
        "radioButton -cl space_RB object_RB");
    EXPECT_EQ(melString("radioCollection -q -sl direction_RB"), "normal_RB");
    EXPECT_EQ(melString("radioCollection -q -sl space_RB"), "world_RB");
    EXPECT_EQ(melInt("radioCollection -q -nci space_RB"), 2);
    EXPECT_NE(melError("radioButton -cl nowhere_RB stray_RB").find("not found"), std::string::npos);
    EXPECT_EQ(melInt("radioButton -ex stray_RB"), 0);

    // Clicking a button selects it and runs its commands.
    mel("global string $gSpace = \"\"; radioButton -e -onc \"global string $gSpace; $gSpace = "
        "\\\"object\\\";\" "
        "object_RB");
    EXPECT_TRUE(model().press("object_RB"));
    EXPECT_EQ(melString("radioCollection -q -sl space_RB"), "object_RB");
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gSpace")->asString(), "object");

    // Deleting a collection leaves its buttons without one.
    mel("deleteUI -collection direction_RB");
    EXPECT_EQ(melString("radioButton -q -cl normal_RB"), "");
}

TEST_F(UiTest, OptionMenuItems) {
    mel("window w; columnLayout;"
        "optionMenu -l \"Axis\" axis_OM;"
        "menuItem -l \"X\"; menuItem -l \"Y\"; menuItem -l \"Z\" axisZ_MI;");
    EXPECT_EQ(melString("optionMenu -q -v axis_OM"), "X");
    EXPECT_EQ(melInt("optionMenu -q -sl axis_OM"), 1);
    EXPECT_EQ(melInt("optionMenu -q -ni axis_OM"), 3);
    EXPECT_EQ(mel("optionMenu -q -ils axis_OM").asStringArray(),
              (std::vector<std::string>{"menuItem1", "menuItem2", "axisZ_MI"}));
    EXPECT_EQ(mel("optionMenu -q -ill axis_OM").asStringArray()[2], "w|columnLayout1|axis_OM|axisZ_MI");

    mel("optionMenu -e -v \"Z\" axis_OM");
    EXPECT_EQ(melInt("optionMenu -q -sl axis_OM"), 3);
    mel("optionMenu -e -sl 2 axis_OM");
    EXPECT_EQ(melString("optionMenu -q -value axis_OM"), "Y");
    EXPECT_NE(melError("optionMenu -e -v \"W\" axis_OM").find("W"), std::string::npos);
    melError("optionMenu -e -sl 4 axis_OM");
    EXPECT_EQ(melString("optionMenu -q -v axis_OM"), "Y");

    // Choosing an item as the artist does runs the menu's change command with the item's label.
    mel("global string $gAxis; optionMenu -e -cc \"global string $gAxis; $gAxis = \\\"#1\\\";\" axis_OM");
    EXPECT_TRUE(model().press("axisZ_MI"));
    EXPECT_EQ(melString("optionMenu -q -v axis_OM"), "Z");
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gAxis")->asString(), "Z");
    EXPECT_TRUE(model().userSetValue("axis_OM", kxh::mel::Value("X")));
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gAxis")->asString(), "X");

    // An empty option menu answers an empty value.
    mel("optionMenu empty_OM");
    EXPECT_EQ(melString("optionMenu -q -v empty_OM"), "");
    EXPECT_EQ(melInt("optionMenu -q -sl empty_OM"), 0);
    mel("optionMenu -e -dai axis_OM");
    EXPECT_EQ(melInt("optionMenu -q -ni axis_OM"), 0);
}

TEST_F(UiTest, MenuCheckItemsAndSubmenus) {
    mel("window -mb 1 customUvWindow_KXPT;"
        "menu -l \"Options\" options_MN;"
        "menuItem -l \"Pin border edges\" -cb 0 pinBorderEdges_KXPT_MI;"
        "menuItem -l \"Full shell colours\" -cb 1 fullShellCompressionColors_KXPT_MI;"
        "menuItem -d 1;"
        "menuItem -l \"More\" -sm 1 more_MI;"
        "  menuItem -l \"Deep\" deep_MI;"
        "setParent -m ..;"
        "menuItem -l \"After\" after_MI;"
        "columnLayout; intField -v 25 smoothUvIntensity_KXPT_IF");
    EXPECT_EQ(melInt("menuItem -q -cb pinBorderEdges_KXPT_MI"), 0);
    EXPECT_EQ(melInt("menuItem -q -checkBox fullShellCompressionColors_KXPT_MI"), 1);
    mel("menuItem -e -cb 1 pinBorderEdges_KXPT_MI");
    EXPECT_EQ(melInt("menuItem -q -cb pinBorderEdges_KXPT_MI"), 1);
    EXPECT_TRUE(model().press("fullShellCompressionColors_KXPT_MI"));
    EXPECT_EQ(melInt("menuItem -q -cb fullShellCompressionColors_KXPT_MI"), 0);

    EXPECT_EQ(melString("menuItem -q -p deep_MI"), "customUvWindow_KXPT|options_MN|more_MI");
    EXPECT_EQ(melString("menuItem -q -p after_MI"), "customUvWindow_KXPT|options_MN");
    EXPECT_EQ(melInt("menu -q -ni options_MN"), 5);
    EXPECT_EQ(mel("window -q -ma customUvWindow_KXPT").asStringArray(),
              (std::vector<std::string>{"options_MN"}));
    EXPECT_EQ(melString("menuItem -q -l after_MI"), "After");
    EXPECT_EQ(melInt("intField -q -v smoothUvIntensity_KXPT_IF"), 25);

    EXPECT_NE(
        melError("menuItem -q -cb missing_KXPT_MI").find("menuItem: Object 'missing_KXPT_MI' not found."),
        std::string::npos);
    mel("deleteUI -menu options_MN");
    EXPECT_EQ(melInt("menuItem -ex pinBorderEdges_KXPT_MI"), 0);
    EXPECT_NE(melError("menuItem -l \"orphan\"").find("No menu"), std::string::npos);
}

TEST_F(UiTest, RadioMenuItemsAreExclusiveAndRunTheirCommand) {
    mel("global int $gRuns = 0;"
        "window -mb 1 w; menu -l \"Mode\";"
        "radioMenuItemCollection;"
        "menuItem -l \"Fast\" -rb 1 fast_MI;"
        "menuItem -l \"Exact\" -rb 0 -c \"global int $gRuns; $gRuns++;\" exact_MI;");
    EXPECT_EQ(melInt("menuItem -q -rb fast_MI"), 1);
    EXPECT_TRUE(model().press("exact_MI"));
    EXPECT_EQ(melInt("menuItem -q -rb exact_MI"), 1);
    EXPECT_EQ(melInt("menuItem -q -rb fast_MI"), 0);
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gRuns")->asInt(), 1);
    mel("menuItem -e -rb 1 fast_MI");
    EXPECT_EQ(melInt("menuItem -q -rb exact_MI"), 0);
}
