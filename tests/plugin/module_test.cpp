// The module itself, loaded into the session with loadPlugin as the host loads it: what it registers and
// removes, an unload refused while its nodes are in the scene (an unload step that fails) and a forced one,
// a registration that fails, the version check at load, and a kxhost script that loads it.
#include <maya/MPxCommand.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/test_http_server.h"
#include "plugin/setCommands.h"
#include "plugin/versionCheck.h"
#include "plugin_fixture.h"
#include "support/kxhost.h"

namespace {

using kxtest::httpResponse;
using kxtest::TestHttpServer;

class BlockerCmd : public MPxCommand {
public:
    static void* creator() { return new BlockerCmd; }
    MStatus doIt(const MArgList&) override {
        setResult("blocker");
        return MS::kSuccess;
    }
};

class ModuleTest : public PluginTest {
protected:
    ModuleTest() { withoutCore(); }
    void TearDown() override {
        std::string error;
        if (kxh::PluginHost::instance().find("kxtBlockers"))
            kxh::PluginHost::instance().unload("kxtBlockers", error);
        mel("global int $gKxCheckForUpdatesOnLoad_KXPT; $gKxCheckForUpdatesOnLoad_KXPT = 0;");
        PluginTest::TearDown();
    }
    static kxh::PluginRecord* module() { return kxh::PluginHost::instance().find("kxModelingTools"); }
    // A quad draw locator under a transform of that name, as a scene file makes it.
    static void createQuadLocator(const std::string& transform) {
        mel("createNode transform -n " + transform + "; createNode quadDrawLocator -n " + transform +
            "Shape -p " + transform);
    }
};

TEST_F(ModuleTest, LoadRegistersBuildsItsUiAndUnloadTakesItAway) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        mel("loadPlugin kxModelingTools");
        kxh::PluginRecord* p = module();
        ASSERT_NE(p, nullptr);
        // The interface script was sourced from the scripts folder next to the module, and the host ran
        // the creation procedure: the options window is open and its values can be stored.
        EXPECT_EQ(mel("whatIs kx_modeling_tool_ui").asString(),
                  "Mel procedure found in: " + p->dir + "/scripts/kx_modeling_tool_ui.mel");
        EXPECT_EQ(mel("window -ex kx_modeling_ui").asInt(), 1);
        mel("intField -e -v 77 intensity_KXPT_IF; kxSetCommands -ms \"storeValues\"");
        EXPECT_TRUE(lines(kxh::OutputKind::Perror).empty());

        mel("unloadPlugin kxModelingTools");
        EXPECT_EQ(module(), nullptr);
        EXPECT_EQ(mel("exists kxSetCommands").asInt(), 0);
        EXPECT_EQ(mel("exists quadDrawContext").asInt(), 0);
        // The deletion procedure closed the window.
        EXPECT_EQ(mel("window -ex kx_modeling_ui").asInt(), 0);
        EXPECT_TRUE(lines(kxh::OutputKind::Perror).empty() && lines(kxh::OutputKind::Error).empty());
        EXPECT_FALSE(run("createNode drawLocator").ok);
        kxh::output().clear();
    }
}

TEST_F(ModuleTest, NodesInTheSceneKeepThePlugInLoadedUntilTheyGoOrTheUnloadIsForced) {
    mel("loadPlugin kxModelingTools");
    createQuadLocator("kxModelingToolsDrawQuadLocator");
    mel("setAttr kxModelingToolsDrawQuadLocatorShape.parr -type pointArray 1 1 2 3 1");

    // The unload stops at the quad draw locator's row, and the host says why.
    const auto refused = run("unloadPlugin kxModelingTools");
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("Plug-in \"kxModelingTools\" is in use"), std::string::npos)
        << refused.error;
    EXPECT_NE(refused.error.find("kxModelingToolsDrawQuadLocatorShape"), std::string::npos) << refused.error;
    const auto perrors = lines(kxh::OutputKind::Perror);
    ASSERT_EQ(perrors.size(), 1u);
    EXPECT_EQ(perrors[0].rfind("deregisterLocator: ", 0), 0u) << perrors[0];
    ASSERT_NE(module(), nullptr);
    EXPECT_EQ(mel("getAttr kxModelingToolsDrawQuadLocatorShape.parr").asStringArray().size(), 4u);
    // Nothing was taken away: the quad draw tool's row, before the refusal, is registered again.
    EXPECT_EQ(mel("exists quadDrawContext").asInt(), 1);
    EXPECT_EQ(mel("exists kxSetCommands").asInt(), 1);

    // A new scene takes the nodes away, and then the plug-in unloads.
    mel("file -f -new");
    kxh::output().clear();
    mel("unloadPlugin kxModelingTools");
    EXPECT_EQ(module(), nullptr);

    // Forced: the nodes are deleted first, with the undo steps that could bring them back.
    mel("loadPlugin kxModelingTools");
    createQuadLocator("kxModelingToolsDrawQuadLocator");
    createQuadLocator("another");
    mel("createNode drawLocator; delete another");
    ASSERT_TRUE(kxh::session().interpreter().undoQueue().canUndo());
    kxh::output().clear();
    mel("unloadPlugin -f kxModelingTools");
    EXPECT_EQ(module(), nullptr);
    EXPECT_EQ(mel("objExists kxModelingToolsDrawQuadLocator").asInt(), 0);
    EXPECT_EQ(mel("objExists drawLocator1").asInt(), 0);
    EXPECT_FALSE(kxh::session().interpreter().undoQueue().canUndo());
    EXPECT_TRUE(lines(kxh::OutputKind::Perror).empty());
    mel("file -f -new");
    // And it loads again as new.
    mel("loadPlugin kxModelingTools");
    createQuadLocator("kxModelingToolsDrawQuadLocator");
}

TEST_F(ModuleTest, AFailingRegistrationPrintsItsMessageAndStopsTheLoad) {
    {
        kxh::PluginHost::Scope scope("kxtBlockers");
        MObject handle;
        MFnPlugin blockers(handle);
        ASSERT_TRUE(blockers.registerCommand("kxSetCommands", BlockerCmd::creator));
    }
    EXPECT_FALSE(run("loadPlugin kxModelingTools").ok);
    auto perrors = lines(kxh::OutputKind::Perror);
    ASSERT_EQ(perrors.size(), 1u);
    EXPECT_EQ(perrors[0].rfind("set commands command failed to register: ", 0), 0u) << perrors[0];
    // The host unloads a module whose initializePlugin failed; the command of that name is still the other
    // plug-in's.
    EXPECT_EQ(module(), nullptr);
    EXPECT_EQ(mel("kxSetCommands").asString(), "blocker");
}

TEST_F(ModuleTest, LoadChecksForUpdatesQuietlyWhenTheInterfaceAsks) {
    TestHttpServer server(httpResponse("1.20"));
    ASSERT_TRUE(server.ok());
    ScopedEnv redirect("KXH_URL_REDIRECT", std::string(kDefaultVersionPage) + "=" + server.url("/v.txt"));
    // By default the interface does not ask: no request at all.
    mel("loadPlugin kxModelingTools; unloadPlugin kxModelingTools");
    EXPECT_TRUE(server.requests().empty());
    EXPECT_TRUE(dialogs().empty());

    mel("global int $gKxCheckForUpdatesOnLoad_KXPT = 1");
    mel("loadPlugin kxModelingTools");
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].title, "New Version!");
}

// (Unloads refused and allowed run in process above; this script covers what needs a host of its own.)
TEST_F(ModuleTest, KxhostForcesAnUnloadUnderAnActiveToolAndExitsWithThePlugInLoaded) {
    const std::string script = testing::TempDir() + "kx_load_plugin_test.mel";
    std::ofstream(script)
        << "loadPlugin kxModelingTools;\n"
           "createNode transform -n held; createNode quadDrawLocator -p held; delete held;\n"
           "createNode drawLocator;\n"
           "setToolTo `quadDrawContext`; kxhPress 100 100; kxhRelease; kxhAdvanceTime 0.05;\n"
           "unloadPlugin -f kxModelingTools;\n"
           // The tool's hover timer and events must not reach the closed module.
           "kxhAdvanceTime 0.5; kxhPress 110 100; kxhRelease;\n"
           "print (\"after forced unload: \" + `exists kxSetCommands` + \"\\n\");\n"
           "file -f -new;\n"
           "loadPlugin kxModelingTools;\n"
           "createNode drawLocator;\n"
           "print \"done\\n\";\n";
    int status = -1;
    const std::string output = kxtest::runKxhost(script, status);
    // The host exits with the plug-in loaded and one of its nodes in the scene, without a crash.
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("after forced unload: 0\n"), std::string::npos) << output;
    EXPECT_NE(output.find("done\n"), std::string::npos) << output;
    std::remove(script.c_str());
}

}  // namespace
