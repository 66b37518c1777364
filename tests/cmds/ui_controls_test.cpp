// Windows, layouts and value controls built, queried and edited through MEL.
#include <gmock/gmock.h>

#include "ui_fixture.h"

using kxh::mel::Value;
using ::testing::EndsWith;

TEST_F(UiTest, WindowLifecycle) {
    EXPECT_EQ(melInt("window -ex toolWin"), 0);
    EXPECT_EQ(melString("window -t \"Kestrix Tools\" toolWin"), "toolWin");
    EXPECT_EQ(melInt("window -ex toolWin"), 1);
    EXPECT_EQ(melString("window -q -t toolWin"), "Kestrix Tools");
    EXPECT_EQ(melInt("window -q -vis toolWin"), 0);  // hidden until shown
    mel("showWindow toolWin");
    EXPECT_EQ(melInt("window -q -vis toolWin"), 1);
    mel("window -e -t \"Renamed\" -vis 0 toolWin");
    EXPECT_EQ(melString("window -q -title toolWin"), "Renamed");
    EXPECT_EQ(melInt("window -q -visible toolWin"), 0);

    // showWindow without a name shows the window made last.
    mel("window other; showWindow");
    EXPECT_EQ(melInt("window -q -vis other"), 1);

    mel("columnLayout; checkBox inner_CB");
    mel("deleteUI -window other");
    EXPECT_EQ(melInt("window -ex other"), 0);
    EXPECT_EQ(melInt("checkBox -ex inner_CB"), 0);  // went with its window
    EXPECT_EQ(melInt("window -ex toolWin"), 1);
}

TEST_F(UiTest, ControlsGoUnderTheCurrentParent) {
    mel("window w");
    EXPECT_EQ(melString("columnLayout col"), "w|col");
    EXPECT_EQ(melString("frameLayout -l \"Mirror\" -cll 1 -cl 0 frame"), "w|col|frame");
    EXPECT_EQ(melString("checkBox -l \"Mirror\" mirror_CB"), "w|col|frame|mirror_CB");
    EXPECT_EQ(melString("setParent .."), "w|col");
    EXPECT_EQ(melString("intField count_IF"), "w|col|count_IF");
    EXPECT_EQ(melString("checkBox -q -p mirror_CB"), "w|col|frame");
    EXPECT_EQ(mel("columnLayout -q -ca col").asStringArray(),
              (std::vector<std::string>{"frame", "count_IF"}));
    EXPECT_EQ(melInt("frameLayout -q -nch frame"), 1);
    EXPECT_EQ(melString("frameLayout -q -l frame"), "Mirror");
    EXPECT_EQ(melInt("frameLayout -q -cll frame"), 1);

    // setParent by name, and the explicit -p parent leaves the current parent alone.
    mel("setParent frame; text -l \"hint\" hint_TX");
    EXPECT_EQ(melString("text -q -p hint_TX"), "w|col|frame");
    mel("button -p col -l \"Go\" go_BT; separator sep");
    EXPECT_EQ(melString("button -q -p go_BT"), "w|col");
    EXPECT_EQ(melString("separator -q -p sep"), "w|col|frame");
    EXPECT_EQ(melString("setParent -q"), "w|col|frame");

    // The other layouts accept their flags (attachments, tabs, scroll settings) and nest.
    mel("setParent col; formLayout form; scrollLayout -cr 1 scroll; setParent ..;"
        "formLayout -e -af scroll top 5 -af scroll left 0 -ac scroll bottom 2 go_BT form");
    mel("setParent col; tabLayout -imw 4 tabs; columnLayout tabA; setParent ..;"
        "tabLayout -e -tl tabA \"First\" tabs");
    EXPECT_EQ(melString("columnLayout -q -fpn tabA"), "w|col|tabs|tabA");
}

TEST_F(UiTest, GeneratedNamesFollowTheCommand) {
    mel("window");
    EXPECT_EQ(melString("columnLayout"), "window1|columnLayout1");
    EXPECT_EQ(melString("checkBox"), "window1|columnLayout1|checkBox1");
    EXPECT_EQ(melString("checkBox"), "window1|columnLayout1|checkBox2");
    EXPECT_EQ(melString("checkBox -q -l checkBox2"), "checkBox2");  // the label defaults to the name
    // A name a script took already is skipped.
    mel("checkBox checkBox3");
    EXPECT_EQ(melString("checkBox"), "window1|columnLayout1|checkBox4");
}

TEST_F(UiTest, ValueControlsQueryAndEdit) {
    mel("window w; columnLayout;"
        "checkBox -v 1 mirror_KXPT_CB;"
        "intField -v 5 -min 0 -max 10 intensity_KXPT_IF;"
        "floatField -v 0.25 radius_FF;"
        "intSliderGrp -l \"Steps\" -f 1 -min 1 -max 8 -v 3 steps_ISG;"
        "floatSliderGrp -v 1.5 strength_FSG;"
        "textField -tx \"Load Object, or slide on itself\" add_static_slide_object_KXPT_TF");

    EXPECT_EQ(mel("checkBox -q -v mirror_KXPT_CB").kind(), Value::Kind::Int);
    EXPECT_EQ(melInt("checkBox -q -v mirror_KXPT_CB"), 1);
    mel("checkBox -e -v 0 mirror_KXPT_CB");
    EXPECT_EQ(melInt("checkBox -q -value mirror_KXPT_CB"), 0);
    EXPECT_EQ(melInt("checkBox -q -v w|columnLayout1|mirror_KXPT_CB"), 0);  // by full path too

    EXPECT_EQ(melInt("intField -q -v intensity_KXPT_IF"), 5);
    mel("intField -e -v 42 intensity_KXPT_IF");
    EXPECT_EQ(melInt("intField -q -v intensity_KXPT_IF"), 10);  // kept inside -min/-max
    mel("intField -e -v -3 intensity_KXPT_IF");
    EXPECT_EQ(melInt("intField -q -v intensity_KXPT_IF"), 0);

    EXPECT_DOUBLE_EQ(mel("floatField -q -v radius_FF").asFloat(), 0.25);
    mel("floatField -e -v 2.5 radius_FF");
    EXPECT_DOUBLE_EQ(mel("floatField -q -v radius_FF").asFloat(), 2.5);

    EXPECT_EQ(melInt("intSliderGrp -q -v steps_ISG"), 3);
    mel("intSliderGrp -e -v 99 steps_ISG");
    EXPECT_EQ(melInt("intSliderGrp -q -v steps_ISG"), 8);
    EXPECT_EQ(melString("intSliderGrp -q -l steps_ISG"), "Steps");
    mel("floatSliderGrp -e -v 0.125 strength_FSG");
    EXPECT_DOUBLE_EQ(mel("floatSliderGrp -q -v strength_FSG").asFloat(), 0.125);

    EXPECT_EQ(melString("textField -q -tx add_static_slide_object_KXPT_TF"),
              "Load Object, or slide on itself");
    mel("textField -e -tx \"pSphere1\" add_static_slide_object_KXPT_TF");
    EXPECT_EQ(melString("textField -q -text add_static_slide_object_KXPT_TF"), "pSphere1");

    // Flags the model has no use for still answer what they were given, or their defaults.
    mel("checkBox -e -en 0 -ann \"tip\" mirror_KXPT_CB");
    EXPECT_EQ(melInt("checkBox -q -en mirror_KXPT_CB"), 0);
    EXPECT_EQ(melString("checkBox -q -ann mirror_KXPT_CB"), "tip");
    EXPECT_EQ(melInt("intField -q -en intensity_KXPT_IF"), 1);
    EXPECT_EQ(melInt("window -q -ex w"), 1);
}

TEST_F(UiTest, ControlAndLayoutCommandsReachAnyKind) {
    mel("window w; columnLayout col; checkBox cb; intField f");
    EXPECT_EQ(melInt("control -ex cb"), 1);
    EXPECT_EQ(melInt("control -ex col"), 1);  // layouts are controls too
    EXPECT_EQ(melInt("control -ex w"), 0);    // windows are not
    EXPECT_EQ(melInt("layout -ex cb"), 0);
    mel("control -e -en 0 f; layout -e -vis 0 col");
    EXPECT_EQ(melInt("intField -q -en f"), 0);
    EXPECT_EQ(melInt("columnLayout -q -vis col"), 0);
    EXPECT_EQ(melInt("control -q -io cb"), 1);  // the window was never shown
    EXPECT_EQ(mel("layout -q -ca col").asStringArray(), (std::vector<std::string>{"cb", "f"}));
    EXPECT_THAT(melError("control -q -en nothing"), EndsWith("control: Object 'nothing' not found."));
    melError("control -en 1 cb");  // cannot create
}

TEST_F(UiTest, MissingControlsFail) {
    // A query of a missing control fails and names the control; the script stops there.
    EXPECT_THAT(melError("checkBox -q -v mirror_KXPT_CB"),
                EndsWith("checkBox: Object 'mirror_KXPT_CB' not found."));
    EXPECT_NE(melError("intField -e -v 3 nothing_IF").find("intField: Object 'nothing_IF' not found."),
              std::string::npos);
    EXPECT_NE(melError("window -q -t noWin").find("not found"), std::string::npos);
    EXPECT_NE(melError("deleteUI noSuchThing").find("deleteUI: Object 'noSuchThing' not found."),
              std::string::npos);
    EXPECT_NE(melError("showWindow noWin").find("not found"), std::string::npos);
    EXPECT_TRUE(kxh::output().contains(kxh::OutputKind::Error, "not found"));

    // A control of another kind is not found by the wrong command.
    mel("window w; columnLayout; intField -v 3 value_IF");
    EXPECT_NE(melError("checkBox -q -v value_IF").find("not found"), std::string::npos);
    EXPECT_NE(melError("deleteUI -window value_IF").find("not found"), std::string::npos);
    EXPECT_EQ(melInt("intField -q -v value_IF"), 3);
    EXPECT_EQ(melInt("checkBox -ex value_IF"), 0);
}

TEST_F(UiTest, NamesMustBeUniqueWhereTheyLive) {
    mel("window w1; columnLayout; checkBox shared_CB");
    EXPECT_THAT(melError("checkBox shared_CB"), EndsWith("Object's name 'shared_CB' is not unique."));
    EXPECT_NE(melError("intField shared_CB").find("is not unique"), std::string::npos);
    EXPECT_NE(melError("window w1").find("Object's name 'w1' is not unique."), std::string::npos);

    // Another window may reuse the name; short names find the first, full paths either.
    mel("window w2; columnLayout col2; checkBox -v 1 shared_CB");
    EXPECT_EQ(melInt("checkBox -q -v shared_CB"), 0);
    EXPECT_EQ(melInt("checkBox -q -v w2|col2|shared_CB"), 1);

    // After deleting a window its names are free again.
    mel("deleteUI w1; window w1; columnLayout; checkBox shared_CB");
}

TEST_F(UiTest, PlacementErrors) {
    EXPECT_NE(melError("checkBox loose_CB").find("No window or layout"), std::string::npos);
    mel("window w");
    EXPECT_NE(melError("button b").find("Controls must have a layout. No layout found in window: w"),
              std::string::npos);
    mel("columnLayout; rowLayout -nc 2 row; text a; text b");
    EXPECT_NE(melError("text c").find("Too many children in layout: row"), std::string::npos);
    EXPECT_EQ(melInt("text -ex c"), 0);
    EXPECT_NE(melError("checkBox -p nowhere x_CB").find("Object 'nowhere' not found."), std::string::npos);
    EXPECT_NE(melError("checkBox -q -zz w").find("zz"), std::string::npos);  // unknown flag
}

TEST_F(UiTest, DeletingTheCurrentParentMovesUp) {
    mel("window w; columnLayout col; frameLayout frame; columnLayout inner");
    mel("deleteUI frame");
    EXPECT_EQ(melString("setParent -q"), "w|col");
    EXPECT_EQ(melString("checkBox after_CB"), "w|col|after_CB");
    EXPECT_EQ(melInt("columnLayout -ex inner"), 0);
    // Several names at once; a missing one fails before anything is deleted.
    mel("checkBox a_CB; checkBox b_CB");
    melError("deleteUI a_CB nothing b_CB");
    EXPECT_EQ(melInt("checkBox -ex a_CB"), 1);
    mel("deleteUI -control a_CB b_CB");
    EXPECT_EQ(melInt("checkBox -ex a_CB") + melInt("checkBox -ex b_CB"), 0);
}

TEST_F(UiTest, PressingRunsTheControlsCommands) {
    mel("global int $gPresses = 0; global string $gLast = \"\";"
        "window w; columnLayout;"
        "button -l \"Go\" -c \"global int $gPresses; $gPresses++;\" go_BT;"
        "checkBox -v 0 -cc \"global string $gLast; $gLast = \\\"cc #1\\\";\" -onc \"global int $gPresses; "
        "$gPresses += 10;\" mirror_CB;"
        "intField -cc \"global string $gLast; $gLast = \\\"if #1\\\";\" count_IF");

    EXPECT_TRUE(model().press("go_BT"));
    EXPECT_TRUE(model().press("w|columnLayout1|go_BT"));
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gPresses")->asInt(), 2);

    EXPECT_TRUE(model().press("mirror_CB"));  // toggles on: change command then on command
    EXPECT_EQ(melInt("checkBox -q -v mirror_CB"), 1);
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gLast")->asString(), "cc 1");
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gPresses")->asInt(), 12);
    EXPECT_TRUE(model().press("mirror_CB"));
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gLast")->asString(), "cc 0");

    // Editing from a script does not run the change command; a user's change does.
    mel("intField -e -v 7 count_IF");
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gLast")->asString(), "cc 0");
    EXPECT_TRUE(model().userSetValue("count_IF", Value(9)));
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gLast")->asString(), "if 9");

    // A disabled button ignores the click; a missing one or a failing command reports failure.
    mel("button -e -en 0 go_BT");
    EXPECT_TRUE(model().press("go_BT"));
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gPresses")->asInt(), 12);
    EXPECT_FALSE(model().press("nothing_BT"));
    mel("button -c \"checkBox -q -v nothing_CB\" broken_BT");
    EXPECT_FALSE(model().press("broken_BT"));
    EXPECT_FALSE(model().press("w"));  // a window is not pressable
}

// The window the tool settings are read from, built the way the plug-in's UI builds it, answers every
// query the settings refresh makes.
TEST_F(UiTest, ToolSettingsWindowAnswersTheSettingsQueries) {
    mel("if (`window -ex kx_modeling_ui`) deleteUI kx_modeling_ui;"
        "window -t \"Kestrix Modeling\" kx_modeling_ui;"
        "columnLayout -adj 1;"
        "frameLayout -l \"Soft Selection\" -cll 1;"
        "  columnLayout;"
        "  checkBox -l \"Multi component\" -v 1 multicomp_KXPT_CB;"
        "  rowLayout -nc 2; text -l \"Intensity\"; intField -v 60 intensity_KXPT_IF; setParent ..;"
        "  intField -v 20 smoothIntensity_KXPT_IF;"
        "  intField -v 0 smoothPush_KXPT_IF;"
        "  checkBox -v 0 enable_slide_soft_select_KXPT_CB;"
        "  textField -tx \"Load Object, or slide on itself\" add_static_slide_object_KXPT_TF;"
        "  radioCollection normal_direction_KXPT_RB;"
        "  radioButton -l \"Vertex\" normal_direction_vertex_KXPT_RB;"
        "  radioButton -l \"Camera\" normal_direction_camera_KXPT_RB;"
        "setParent ..; setParent ..;"
        "frameLayout -l \"Mirror\";"
        "  columnLayout;"
        "  checkBox -v 1 mirror_KXPT_CB;"
        "  radioCollection mirror_KXPT_RB;"
        "  radioButton -l X mirrorX_KXPT_RB; radioButton -l Y mirrorY_KXPT_RB; radioButton -l Z "
        "mirrorZ_KXPT_RB;"
        "showWindow kx_modeling_ui;");
    EXPECT_EQ(melInt("window -ex kx_modeling_ui"), 1);
    EXPECT_EQ(melInt("checkBox -q -v multicomp_KXPT_CB"), 1);
    EXPECT_EQ(melInt("intField -q -v intensity_KXPT_IF"), 60);
    EXPECT_EQ(melInt("intField -q -v smoothIntensity_KXPT_IF"), 20);
    EXPECT_EQ(melString("radioCollection -q -sl normal_direction_KXPT_RB"),
              "normal_direction_vertex_KXPT_RB");
    mel("radioButton -e -sl mirrorZ_KXPT_RB");
    EXPECT_EQ(melString("radioCollection -q -sl mirror_KXPT_RB"), "mirrorZ_KXPT_RB");
    EXPECT_EQ(melString("checkBox -q -p mirror_KXPT_CB").rfind("kx_modeling_ui|", 0), 0u);

    // Closing the window makes every query fail while "window -ex" answers 0.
    mel("deleteUI -window kx_modeling_ui");
    EXPECT_EQ(melInt("window -ex kx_modeling_ui"), 0);
    melError("checkBox -q -v mirror_KXPT_CB");
    melError("radioCollection -q -sl mirror_KXPT_RB");
}
