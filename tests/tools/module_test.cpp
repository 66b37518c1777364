// A tool context from a loaded module: its timer runs while it is the current tool, and unloading the
// module switches the tool off and leaves nothing of the module's code for the host to call.
#include "tools_fixture.h"

namespace kxt {
namespace {

class ModuleToolTest : public ToolsTest {
protected:
    void TearDown() override {
        if (kxh::PluginHost::instance().find("kxTestToolsModule")) mel("unloadPlugin kxTestToolsModule");
        ToolsTest::TearDown();
    }
};

TEST_F(ModuleToolTest, TimerRunsWhileTheToolIsCurrentAndStopsAtCleanup) {
    mel("loadPlugin kxTestToolsModule");
    mel("setToolTo `kxtModuleContext`");
    EXPECT_EQ(mel("contextInfo -t `currentCtx`").asString(), "Module Tool");
    const long before = mel("kxtModuleTicks").asInt();
    mel("kxhAdvanceTime 0.05");
    EXPECT_EQ(mel("kxtModuleTicks").asInt() - before, 5);
    mel("setToolTo selectSuperContext");
    mel("kxhAdvanceTime 0.05");
    EXPECT_EQ(mel("kxtModuleTicks").asInt() - before, 5);
    EXPECT_EQ(kxh::tools::timerCount(), 0);
}

TEST_F(ModuleToolTest, UnloadingSwitchesTheToolOffAndDropsTimersLeftBehind) {
    mel("loadPlugin kxTestToolsModule");
    mel("kxtModuleContext -leak 1 leaky; setToolTo leaky");
    mel("kxhAdvanceTime 0.02");
    mel("unloadPlugin kxTestToolsModule");
    EXPECT_EQ(mel("currentCtx").asString(), "selectSuperContext");
    EXPECT_EQ(mel("contextInfo -ex leaky").asInt(), 0);
    // The leaked timer points into the closed module: advancing must drop it, not call it.
    EXPECT_EQ(kxh::tools::advanceTime(0.05), 0);
    EXPECT_EQ(kxh::tools::timerCount(), 0);
}

}  // namespace
}  // namespace kxt
