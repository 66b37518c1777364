// Modal dialogs answered headlessly, and the session that holds the UI.
#include <algorithm>
#include <cstdlib>

#include "ui_fixture.h"

TEST_F(UiTest, ConfirmDialogAnswersItsDefaultAndIsRecorded) {
    EXPECT_EQ(melString("confirmDialog -t \"New Version!\" -m \"There is a new version of Kestrix Tools.\" "
                        "-b \"Ok\" -db \"Ok\""),
              "Ok");
    ASSERT_EQ(model().dialogs().size(), 1u);
    const auto& d = model().dialogs()[0];
    EXPECT_EQ(d.command, "confirmDialog");
    EXPECT_EQ(d.title, "New Version!");
    EXPECT_EQ(d.message, "There is a new version of Kestrix Tools.");
    EXPECT_EQ(d.buttons, (std::vector<std::string>{"Ok"}));
    EXPECT_EQ(d.defaultButton, "Ok");
    EXPECT_EQ(kxh::output().of(kxh::OutputKind::Info).back(),
              "confirmDialog: New Version! | There is a new version of Kestrix Tools. | [Ok]");

    // Without a default the first button answers; without buttons, the dismiss string.
    EXPECT_EQ(melString("confirmDialog -m \"Sure?\" -b Yes -b No -cb No -ds No"), "Yes");
    EXPECT_EQ(model().dialogs().back().cancelButton, "No");
    EXPECT_EQ(melString("confirmDialog -m \"Pick\" -b A -b B -db B"), "B");
    EXPECT_EQ(kxh::output().of(kxh::OutputKind::Info).back(), "confirmDialog:  | Pick | A [B]");
    EXPECT_EQ(melString("confirmDialog -m \"Nothing to press\""), "dismiss");
    EXPECT_EQ(melString("confirmDialog -m \"Closed\" -ds gone"), "gone");
    EXPECT_EQ(model().dialogs().size(), 5u);

    // A test can answer the next dialog itself.
    model().queueDialogAnswer("No");
    EXPECT_EQ(melString("confirmDialog -m \"Delete?\" -b Yes -b No -db Yes"), "No");
    EXPECT_EQ(melString("confirmDialog -m \"Again?\" -b Yes -b No -db Yes"), "Yes");

    melError("confirmDialog -q -t");  // not queryable
    kxh::session().reset();
    EXPECT_TRUE(model().dialogs().empty());
}

TEST_F(UiTest, PromptDialogAnswersItsDefaultText) {
    mel("string $r = `promptDialog -t \"Rename\" -m \"New name:\" -tx \"pCube1\" -b OK -b Cancel -db OK`;"
        "global string $gName; if ($r == \"OK\") $gName = `promptDialog -q -tx`;");
    EXPECT_EQ(kxh::session().interpreter().globalVariable("gName")->asString(), "pCube1");
    EXPECT_EQ(model().dialogs().back().command, "promptDialog");
    EXPECT_EQ(model().dialogs().back().text, "pCube1");

    model().queueDialogAnswer("OK", "typed");
    EXPECT_EQ(melString("promptDialog -m \"Name:\" -b OK"), "OK");
    EXPECT_EQ(melString("promptDialog -q -text"), "typed");
}

TEST_F(UiTest, SessionResetClearsTheUiAndRunsHooksInOrder) {
    static std::vector<int> calls;
    static bool added = false;
    if (!added) {  // the session lives for the whole program, so the hooks are added once
        kxh::session().addResetHook([] { calls.push_back(1); });
        kxh::session().addResetHook([] { calls.push_back(2); });
        added = true;
    }
    calls.clear();
    mel("window w; columnLayout; checkBox cb");
    kxh::session().reset();
    EXPECT_EQ(calls, (std::vector<int>{1, 2}));
    EXPECT_EQ(melInt("window -ex w"), 0);
    EXPECT_TRUE(model().items().empty());
    EXPECT_EQ(melString("setParent -q"), "NONE");
    // Generated names start over in the fresh UI.
    EXPECT_EQ(melString("window"), "window1");
}

TEST(UiSession, ScriptPathListsAndFolders) {
    EXPECT_EQ(kxh::splitPathList("/a/scripts::/b:"), (std::vector<std::string>{"/a/scripts", "/b"}));
    EXPECT_TRUE(kxh::splitPathList("").empty());

    auto& s = kxh::session();
    s.addScriptPath("/tmp/kx-ui-test-scripts");
    s.addScriptPath("/tmp/kx-ui-test-scripts");
    auto paths = s.scriptPaths();
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "/tmp/kx-ui-test-scripts"), 1);
    // Every UI command is registered in the session's interpreter.
    for (const char* cmd :
         {"window",        "showWindow",      "deleteUI",     "setParent",  "columnLayout", "rowLayout",
          "frameLayout",   "formLayout",      "scrollLayout", "tabLayout",  "text",         "button",
          "separator",     "checkBox",        "intField",     "floatField", "intSliderGrp", "floatSliderGrp",
          "textField",     "radioCollection", "radioButton",  "menu",       "menuItem",     "optionMenu",
          "confirmDialog", "promptDialog"})
        EXPECT_NE(s.interpreter().commands().find(cmd), nullptr) << cmd;
}
