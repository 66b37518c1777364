#pragma once
// The fixture of the tool tests: a checked session per test (every MEL command must succeed and leave every
// mesh valid) with the plug-in's table registered from the test program, so the tests and the tools share
// one ToolSettings (defaults, mirror off: the mirror tests turn it on), and a 640 x 480 orthographic front
// view 30 units wide: the port centre is world (0, 0) and one unit is 640/30 pixels.
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "foundation/Output.h"
#include "plugin/ToolSettings.h"
#include "support/plugin_core.h"
#include "support/session.h"

namespace kxtest {

class PluginViewTest : public CheckedSceneTest {
protected:
    static constexpr const char* kCoreName = "kxPluginCoreInTests";
    static constexpr double kPixelsPerUnit = 640.0 / 30.0;

    void prepare() override {
        ToolSettings::instance().loadDefaults();
        ToolSettings::instance().mirror = false;
        ASSERT_TRUE(registerPluginCore(kCoreName));
        mel("kxhViewSize 640 480; viewPlace -eye 0 0 100 -la 0 0 0 -o; camera -e -ow 30 persp;");
    }
    void TearDown() override {
        kxh::session().execute("setToolTo selectSuperContext");
        unregisterPluginCore(kCoreName);
        kxh::session().reset();
        kxh::output().clear();
        CheckedSceneTest::TearDown();
    }

    // MEL that may fail; the scene is still checked.
    kxh::mel::Interpreter::Status run(const std::string& text) {
        auto st = kxh::session().execute(text);
        checkScene(text);
        return st;
    }
    static ToolSettings& settings() { return ToolSettings::instance(); }
    static std::vector<std::string> lines(kxh::OutputKind kind) { return kxh::output().of(kind); }
};

}  // namespace kxtest
