#pragma once
// Shared set-up for the plug-in tests: a fresh session per test, output kept off the console, and the
// plug-in's registration table registered from this test program (so the commands run this program's
// copy of the plug-in code and ToolSettings, which the tests read directly). Tests that load the module
// itself with loadPlugin use PluginTest::withoutCore().
#include <gtest/gtest.h>
#ifndef MNoVersionString
#define MNoVersionString  // the test program is no plug-in module: no MApiVersion of its own
#endif
#include <maya/MFnPlugin.h>
#include <maya/MObject.h>

#include <memory>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "cmds/plugin/PluginHost.h"
#include "cmds/ui/UiModel.h"
#include "foundation/Output.h"
#include "plugin/ToolSettings.h"
#include "plugin/registration.h"

class PluginTest : public ::testing::Test {
protected:
    static constexpr const char* kCoreName = "kxPluginCoreInTests";

    void SetUp() override {
        kxh::output().setEcho(false);
        kxh::session().reset();
        kxh::output().clear();
        ToolSettings::instance().loadDefaults();
        if (registerCore_) {
            kxh::PluginHost::Scope scope(kCoreName);
            MObject handle;
            MFnPlugin plugin(handle, "Kestrix Tools", "2008", "Any");
            ASSERT_TRUE(registerRows(plugin, loadTable()));
        }
    }
    void TearDown() override {
        std::string error;
        if (kxh::PluginHost::instance().find(kCoreName)) kxh::PluginHost::instance().unload(kCoreName, error);
        if (kxh::PluginHost::instance().find("kxModelingTools")) run("unloadPlugin kxModelingTools");
        kxh::session().reset();
        kxh::output().clear();
    }

    // For tests that load the module: nothing of the plug-in is registered by the fixture.
    void withoutCore() { registerCore_ = false; }

    static kxh::mel::Interpreter::Status run(const std::string& text) { return kxh::session().execute(text); }
    static kxh::mel::Value mel(const std::string& text) {
        auto st = run(text);
        EXPECT_TRUE(st.ok) << text << "\n  -> " << st.error;
        return st.result;
    }

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
