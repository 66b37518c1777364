// The module itself, loaded into the session with loadPlugin as the host loads it: what it registers and
// removes, a registration that fails, an unload step that fails, the version check at load, and a kxhost
// script that loads it.
#include <maya/MPxCommand.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/test_http_server.h"
#include "plugin/setCommands.h"
#include "plugin/versionCheck.h"
#include "plugin_fixture.h"

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
        ::unsetenv("KXH_URL_REDIRECT");
        mel("global int $gKxCheckForUpdatesOnLoad_KXPT; $gKxCheckForUpdatesOnLoad_KXPT = 0;");
        PluginTest::TearDown();
    }
    static kxh::PluginRecord* module() { return kxh::PluginHost::instance().find("kxModelingTools"); }

    // The names of the table's rows of one kind, in table order.
    static std::vector<std::string> rowNames(RegistrationKind kind) {
        std::vector<std::string> names;
        for (const RegistrationRow& row : loadTable())
            if (row.kind == kind) names.push_back(row.name);
        return names;
    }
};

TEST_F(ModuleTest, LoadRegistersTheTableInOrderAndUnloadRemovesIt) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        mel("loadPlugin kxModelingTools");
        kxh::PluginRecord* p = module();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->commands, rowNames(RegistrationKind::Command));
        EXPECT_EQ(p->contextCommands, rowNames(RegistrationKind::ContextCommand));
        EXPECT_EQ(p->nodeNames, rowNames(RegistrationKind::Node));
        EXPECT_EQ(p->commands.front(), "kxSetCommands");
        EXPECT_EQ(p->uiCreate, "kx_modeling_tool_ui");
        EXPECT_EQ(p->uiDelete, "kx_modeling_tool_delete_UI");
        EXPECT_EQ(mel("pluginInfo -q -vendor kxModelingTools").asString(), "Kestrix Tools");
        EXPECT_EQ(mel("pluginInfo -q -version kxModelingTools").asString(), "2008");
        EXPECT_EQ(mel("pluginInfo -q -apiVersion kxModelingTools").asString(), "201104");

        // The interface script was sourced from the scripts folder next to the module.
        EXPECT_EQ(mel("whatIs kx_modeling_tool_ui").asString(),
                  "Mel procedure found in: " + p->dir + "/scripts/kx_modeling_tool_ui.mel");
        mel("kx_modeling_tool_ui; kxSetCommands -ms \"storeValues\"");
        EXPECT_TRUE(lines(kxh::OutputKind::Perror).empty());

        mel("unloadPlugin kxModelingTools");
        EXPECT_EQ(module(), nullptr);
        EXPECT_EQ(mel("exists kxSetCommands").asInt(), 0);
        EXPECT_TRUE(lines(kxh::OutputKind::Perror).empty());
        // Nothing was displayed at load beyond what the host's views report.
        EXPECT_TRUE(dialogs().empty());
        EXPECT_TRUE(lines(kxh::OutputKind::Error).empty());
    }
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

TEST_F(ModuleTest, AFailingUnloadStepPrintsItsMessageAndKeepsThePlugInLoaded) {
    mel("loadPlugin kxModelingTools");
    MObject handle;
    // The first item the unload removes goes away behind the plug-in's back, so its removal fails before
    // anything else is removed.
    const RegistrationRow& first = unloadTable().front();
    const RegistrationRow* putBack = nullptr;
    for (const RegistrationRow& row : loadTable())
        if (row.kind == first.kind &&
            (first.typeId ? row.typeId && *row.typeId == *first.typeId : std::string(row.name) == first.name))
            putBack = &row;
    ASSERT_NE(putBack, nullptr);
    {
        kxh::PluginHost::Scope scope("kxModelingTools");
        MFnPlugin plugin(handle);
        ASSERT_TRUE(deregisterRows(plugin, {first}));
    }
    EXPECT_FALSE(run("unloadPlugin kxModelingTools").ok);
    auto perrors = lines(kxh::OutputKind::Perror);
    ASSERT_EQ(perrors.size(), 1u);
    EXPECT_EQ(perrors[0].rfind(std::string(first.failureMessage) + ": ", 0), 0u) << perrors[0];
    ASSERT_NE(module(), nullptr);

    // Put back, it unloads.
    {
        kxh::PluginHost::Scope scope("kxModelingTools");
        MFnPlugin plugin(handle);
        ASSERT_TRUE(registerRows(plugin, {*putBack}));
    }
    mel("unloadPlugin kxModelingTools");
    EXPECT_EQ(module(), nullptr);
}

TEST_F(ModuleTest, LoadChecksForUpdatesQuietlyWhenTheInterfaceAsks) {
    TestHttpServer server(httpResponse("1.11"));
    ASSERT_TRUE(server.ok());
    server.setResponse("/newer.txt", httpResponse("1.20"));

    // By default the interface does not ask: no request at all.
    ::setenv("KXH_URL_REDIRECT", (std::string(kDefaultVersionPage) + "=" + server.url("/newer.txt")).c_str(), 1);
    mel("loadPlugin kxModelingTools; unloadPlugin kxModelingTools");
    EXPECT_TRUE(server.requests().empty());
    EXPECT_TRUE(dialogs().empty());

    mel("global int $gKxCheckForUpdatesOnLoad_KXPT = 1");
    mel("loadPlugin kxModelingTools");
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].title, "New Version!");
    mel("unloadPlugin kxModelingTools");

    // Up to date: quiet at load.
    ::setenv("KXH_URL_REDIRECT", (std::string(kDefaultVersionPage) + "=" + server.url("/version.txt")).c_str(), 1);
    mel("loadPlugin kxModelingTools");
    EXPECT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(dialogs().size(), 1u);
    // On demand the same page is reported.
    mel("kxSetCommands -ms \"checkForUpdates\"");
    ASSERT_EQ(dialogs().size(), 2u);
    EXPECT_EQ(dialogs()[1].title, "Up To Date!");
}

TEST_F(ModuleTest, KxhostLoadsThePlugInFromAScript) {
    std::string script = testing::TempDir() + "kx_load_plugin_test.mel";
    {
        std::ofstream out(script);
        out << "loadPlugin kxModelingTools;\n"
               "kx_modeling_tool_ui;\n"
               "intField -e -v 80 intensity_KXPT_IF;\n"
               "kxSetCommands -ms \"storeValues\";\n"
               "print (\"loaded: \" + `pluginInfo -q -loaded kxModelingTools` + \"\\n\");\n"
               "unloadPlugin kxModelingTools;\n"
               "print (\"after unload: \" + `exists kxSetCommands` + \"\\n\");\n";
    }
    std::string command = std::string(KX_BINARY_DIR) + "/bin/kxhost " + script + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    int status = ::pclose(pipe);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("loaded: 1\n"), std::string::npos) << output;
    EXPECT_NE(output.find("after unload: 0\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;
    std::remove(script.c_str());
}

}  // namespace
