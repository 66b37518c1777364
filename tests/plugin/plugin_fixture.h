#pragma once
// Shared set-up for the plug-in tests: a fresh session per test, output kept off the console, and the
// plug-in's registration table registered from this test program (so the commands run this program's
// copy of the plug-in code and ToolSettings, which the tests read directly). Tests that load the module
// itself with loadPlugin use PluginTest::withoutCore().
#include <gtest/gtest.h>

#include "support/plugin_core.h"  // first: it keeps MFnPlugin.h from defining MApiVersion here

#include <maya/MObject.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "cmds/plugin/PluginHost.h"
#include "cmds/ui/UiModel.h"
#include "foundation/Output.h"
#include "plugin/ToolSettings.h"
#include "support/session.h"

// Sets an environment variable for the scope of a test and puts back what it was (or unsets it), whatever
// the test's outcome.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            hadValue_ = true;
            old_ = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (hadValue_)
            ::setenv(name_.c_str(), old_.c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_, old_;
    bool hadValue_ = false;
};

class PluginTest : public ::testing::Test {
protected:
    static constexpr const char* kCoreName = "kxPluginCoreInTests";

    void SetUp() override {
        kxh::output().setEcho(false);
        kxh::session().reset();
        kxh::output().clear();
        ToolSettings::instance().loadDefaults();
        if (registerCore_) {
            ASSERT_TRUE(kxtest::registerPluginCore(kCoreName));
        }
    }
    void TearDown() override {
        kxtest::unregisterPluginCore(kCoreName);
        if (kxh::PluginHost::instance().find("kxModelingTools")) run("unloadPlugin -f kxModelingTools");
        kxh::session().reset();
        kxh::output().clear();
    }

    // For tests that load the module: nothing of the plug-in is registered by the fixture.
    void withoutCore() { registerCore_ = false; }

    static kxh::mel::Interpreter::Status run(const std::string& text) { return kxh::session().execute(text); }
    static kxh::mel::Value mel(const std::string& text) { return kxtest::melOk(text); }

    // The plug-in's interface script, from the source tree.
    static void sourceUi() {
        mel("source \"" + std::string(KX_SOURCE_DIR) + "/plugin/scripts/kx_modeling_tool_ui.mel\"");
    }
    static void openWindows() {
        sourceUi();
        mel("kx_modeling_tool_ui");
        mel("kx_uv_tool_ui_KXPT_Proc");
    }

    static std::vector<std::string> lines(kxh::OutputKind kind) { return kxh::output().of(kind); }
    static const std::vector<kxh::ui::DialogRecord>& dialogs() { return kxh::ui::uiModel().dialogs(); }
    static ToolSettings& settings() { return ToolSettings::instance(); }

private:
    bool registerCore_ = true;
};
