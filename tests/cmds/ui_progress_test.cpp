// progressWindow and the main progress bar: the one-line display, its values, Ctrl-C on an interruptable
// progress, and no display at all when stderr is not a terminal.
#include <unistd.h>

#include <csignal>

#include "cmds/ui/Progress.h"
#include "ui_fixture.h"

class ProgressTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        kxh::ui::progress().setWriter([this](const std::string& s) { lines.push_back(s); });
    }
    void TearDown() override {
        kxh::ui::progress().end();
        kxh::ui::progress().setWriter(nullptr);
        UiTest::TearDown();
    }
    std::vector<std::string> lines;
};

TEST_F(ProgressTest, WindowStepsStatusAndEnd) {
    EXPECT_EQ(melInt("progressWindow -t \"Import\" -st \"start\" -max 4"), 1);
    EXPECT_EQ(melInt("progressWindow -t \"Again\""), 0);  // one is already showing
    mel("progressWindow -e -s 1 -st \"a.obj\"; progressWindow -e -s 1");
    EXPECT_EQ(melInt("progressWindow -q -pr"), 2);
    EXPECT_EQ(melString("progressWindow -q -st"), "a.obj");
    EXPECT_EQ(lines.back(), "\rImport: a.obj [###############               ]  50%\x1b[K");
    mel("progressWindow -e -pr 99");  // clamped to the range
    EXPECT_EQ(melInt("progressWindow -q -pr"), 4);
    mel("progressWindow -ep");
    EXPECT_EQ(lines.back(), "\r\x1b[K");  // the line is cleared
    EXPECT_EQ(melInt("progressWindow -q -ic"), 0);
    EXPECT_NE(melError("progressWindow -e -s 1").find("no progress window is showing"), std::string::npos);
}

TEST_F(ProgressTest, CtrlCCancelsOnlyAnInterruptableProgress) {
    mel("progressWindow -t \"Smooth\" -ii true -max 10");
    std::raise(SIGINT);  // handled: the host keeps running
    EXPECT_EQ(melInt("progressWindow -q -ic"), 1);
    mel("progressWindow -ep");
    mel("progressWindow -t \"Plain\" -max 10");
    kxh::ui::progress().cancel();
    EXPECT_EQ(melInt("progressWindow -q -ic"), 0);  // not interruptable: nothing to cancel
    mel("progressWindow -ep");
}

TEST_F(ProgressTest, MainProgressBarDrivesTheSameDisplay) {
    mel("global string $gMainProgressBar; progressBar -e -bp -ii true -st \"Unwrap\" -max 5 "
        "$gMainProgressBar;"
        "progressBar -e -s 2 $gMainProgressBar");
    EXPECT_EQ(melInt("global string $gMainProgressBar; progressBar -q -pr $gMainProgressBar"), 2);
    EXPECT_EQ(lines.back(), "\rUnwrap [############                  ]  40%\x1b[K");
    mel("global string $gMainProgressBar; progressBar -e -ep $gMainProgressBar");
    EXPECT_EQ(lines.back(), "\r\x1b[K");
    EXPECT_NE(melError("progressBar -e -bp someBar").find("Object 'someBar' not found."), std::string::npos);
}

TEST_F(ProgressTest, NothingIsShownWhenStderrIsNotATerminal) {
    kxh::ui::progress().setWriter(nullptr);  // the default: stderr, only when it is a terminal
    testing::internal::CaptureStderr();
    mel("progressWindow -t \"Batch\" -max 3; progressWindow -e -s 1; progressWindow -ep");
    std::string err = testing::internal::GetCapturedStderr();
    if (!::isatty(STDERR_FILENO)) EXPECT_EQ(err, "");
}
