// Plug-in modules loaded into the host session with loadPlugin, driven through MEL: command flags and
// results, undo/redo of an undoable plug-in command, MGlobal from inside and outside commands, failing
// registrations, unloading, and modules that fail to initialize or to uninitialize.
#include <gtest/gtest.h>
#include <maya/MGlobal.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "cmds/plugin/PluginHost.h"
#include "foundation/Output.h"

namespace {

using kxh::OutputKind;
using kxh::mel::Value;

class PluginCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        kxh::output().setEcho(false);
        kxh::output().clear();
        undo().clear();
    }
    void TearDown() override {
        if (kxh::PluginHost::instance().find("kxTestCommands")) {
            run("kxtRefuseUnload 0");
            run("unloadPlugin kxTestCommands");
        }
        kxh::output().clear();
    }

    static kxh::mel::Interpreter::Status run(const std::string& mel) { return kxh::session().execute(mel); }
    static kxh::mel::UndoQueue& undo() { return kxh::session().interpreter().undoQueue(); }
    static Value value(const std::string& mel) {
        auto st = run(mel);
        EXPECT_TRUE(st.ok) << mel << ": " << st.error;
        return st.result;
    }
    static int counter() { return int(value("kxtCounter -q -v").asInt()); }
    static std::vector<std::string> errors() { return kxh::output().of(OutputKind::Error); }
    void load() { ASSERT_TRUE(run("loadPlugin kxTestCommands").ok); }
};

TEST_F(PluginCommandsTest, LoadsByNameAndReportsThePlugin) {
    Value loaded = value("loadPlugin kxTestCommands");
    EXPECT_EQ(loaded.asStringArray(), std::vector<std::string>{"kxTestCommands"});
    EXPECT_EQ(value("pluginInfo -q -loaded kxTestCommands").asInt(), 1);
    EXPECT_EQ(value("pluginInfo -q -vendor kxTestCommands").asString(), "Kestrix Tests");
    EXPECT_EQ(value("pluginInfo -q -version kxTestCommands.so").asString(), "1.0");
    EXPECT_EQ(value("pluginInfo -q -apiVersion kxTestCommands").asString(), "201104");
    auto listed = value("pluginInfo -q -listPlugins").asStringArray();
    EXPECT_NE(std::find(listed.begin(), listed.end(), "kxTestCommands"), listed.end());

    // A second load is a no-op: with -qt silently, otherwise with a warning; the state is not reset.
    value("kxtCounter -a 4");
    EXPECT_EQ(value("loadPlugin -qt kxTestCommands").asStringArray(),
              std::vector<std::string>{"kxTestCommands"});
    EXPECT_TRUE(kxh::output().of(OutputKind::Warning).empty());
    value("loadPlugin kxTestCommands");
    EXPECT_TRUE(kxh::output().contains(OutputKind::Warning, "already loaded"));
    EXPECT_EQ(counter(), 4);
}

TEST_F(PluginCommandsTest, LoadsByPathAndFailsForMissingModules) {
    std::string path = std::string(KX_BINARY_DIR) + "/lib/kxTestCommands.so";
    EXPECT_EQ(value("loadPlugin \"" + path + "\"").asStringArray(),
              std::vector<std::string>{"kxTestCommands"});
    EXPECT_EQ(value("pluginInfo -q -path kxTestCommands").asString(), path);

    auto st = run("loadPlugin kxNoSuchPlugin");
    EXPECT_FALSE(st.ok);
    EXPECT_TRUE(kxh::output().contains(OutputKind::Error,
                                       "Plug-in, \"kxNoSuchPlugin\", was not found on MAYA_PLUG_IN_PATH."));
}

TEST_F(PluginCommandsTest, CommandFlagsAndResultsReachMel) {
    load();
    EXPECT_EQ(value("kxtCounter -a 5").asInt(), 5);
    // Multi-use -p interleaved with another flag: every use counts (1+2+3 + 1+1+1), plus -a 2.
    EXPECT_EQ(value("kxtCounter -p 1 2 3 -amount 2 -point 1 1 1").asInt(), 16);
    EXPECT_EQ(value("kxtCounter").asInt(), 17);
    EXPECT_EQ(value("kxtCounter -l \"total\"").asString(), "total=18");
    // The result is the command's value in MEL: 18 + 2, then that again.
    EXPECT_EQ(value("int $c = `kxtCounter -a 2`; kxtCounter -a $c").asInt(), 40);
}

TEST_F(PluginCommandsTest, UndoAndRedoThroughMel) {
    load();
    value("kxtCounter -a 5");
    value("kxtCounter -a 10");
    size_t entries = undo().size();
    EXPECT_EQ(counter(), 15);  // queries are not undoable: no entry
    EXPECT_EQ(undo().size(), entries);

    ASSERT_TRUE(run("undo").ok);
    EXPECT_EQ(counter(), 5);
    ASSERT_TRUE(run("undo").ok);
    EXPECT_EQ(counter(), 0);
    ASSERT_TRUE(run("redo").ok);
    ASSERT_TRUE(run("redo").ok);
    EXPECT_EQ(counter(), 15);
    EXPECT_EQ(undo().undoName(), "kxtCounter -a 10");

    // A chunk undoes several plug-in commands as one step.
    run("undoInfo -ock; kxtCounter -a 1; kxtCounter -a 2; undoInfo -cck");
    EXPECT_EQ(counter(), 18);
    run("undo");
    EXPECT_EQ(counter(), 15);
}

TEST_F(PluginCommandsTest, ParseErrorsAndFailuresStopTheStatement) {
    load();
    value("kxtCounter -a 1");
    size_t entries = undo().size();

    EXPECT_FALSE(run("kxtCounter -a abc").ok);
    EXPECT_TRUE(kxh::output().contains(OutputKind::Error, "Flag '-a' must be passed an int argument."));
    EXPECT_FALSE(run("kxtCounter -zz").ok);
    EXPECT_TRUE(kxh::output().contains(OutputKind::Error, "Invalid flag: -zz"));
    EXPECT_FALSE(run("kxtCounter -p 1 2").ok);  // too few point coordinates
    // A failing statement stops the script: the next command does not run.
    EXPECT_FALSE(run("kxtCounter -a abc; kxtCounter -a 100").ok);
    EXPECT_EQ(counter(), 1);
    EXPECT_EQ(undo().size(), entries);

    // A command's own error message is the statement's only message.
    kxh::output().clear();
    EXPECT_FALSE(run("kxtFail").ok);
    EXPECT_EQ(errors(), std::vector<std::string>{"kxtFail: deliberate failure"});
    // Without one the host names the command.
    kxh::output().clear();
    EXPECT_FALSE(run("kxtFail -qu").ok);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("kxtFail: command failed"), std::string::npos);
}

TEST_F(PluginCommandsTest, RegistrationConflictsFail) {
    load();
    auto report = value("kxtInitReport").asStringArray();
    std::vector<std::string> expected = {"node=ok",
                                         "duplicateCommand=failed",
                                         "builtinCommand=failed",
                                         "duplicateContext=failed",
                                         "unknownCommand=failed",
                                         "unknownContext=failed",
                                         "duplicateNodeId=failed",
                                         "duplicateNodeName=failed",
                                         "unknownNode=failed",
                                         "vendor=Kestrix Tests version=1.0 name=kxTestCommands"};
    EXPECT_EQ(report, expected);
    // The built-in survived the plug-in's attempt to take its name.
    EXPECT_TRUE(run("pluginInfo -q -loaded kxTestCommands").ok);
    auto* ctx = kxh::PluginHost::instance().findContextCommand("kxtContext");
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->toolCommand, "kxtContextTool");
    auto* rec = kxh::PluginHost::instance().find("kxTestCommands");
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->uiCreate, "kxtCreateUI");
    EXPECT_EQ(rec->uiDelete, "kxtDeleteUI");
}

TEST_F(PluginCommandsTest, MGlobalRunsMelWithResultsAndUndoControl) {
    load();
    size_t entries = undo().size();
    int n = -1;
    ASSERT_TRUE(MGlobal::executeCommand("kxtCounter -a 3", n, false, true));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(undo().size(), entries + 1);
    // Undo off: the effect stays, nothing is recorded.
    ASSERT_TRUE(MGlobal::executeCommand("kxtCounter -a 4", n));
    EXPECT_EQ(n, 7);
    EXPECT_EQ(undo().size(), entries + 1);

    MString s;
    ASSERT_TRUE(MGlobal::executeCommand("kxtCounter -a 0 -l \"n\"", s));
    EXPECT_EQ(s, "n=7");
    n = 42;
    EXPECT_EQ(MGlobal::executeCommand("kxtCounter -a 0 -l \"n\"", n).statusCode(),
              MStatus::kInvalidParameter);
    EXPECT_FALSE(MGlobal::executeCommand("kxtFail", n));
    EXPECT_EQ(n, 42);

    // A command running MEL that runs another plug-in command: each keeps its own result.
    MStringArray nested;
    ASSERT_TRUE(MGlobal::executeCommand("kxtEval \"kxtCounter -a 1\"", nested));
    ASSERT_EQ(nested.length(), 2u);
    EXPECT_EQ(nested[0], "8");
    EXPECT_EQ(nested[1], "done");

    // Idle commands wait for the host's idle time.
    ASSERT_TRUE(MGlobal::executeCommandOnIdle("kxtCounter -a 100"));
    EXPECT_EQ(counter(), 8);
    EXPECT_EQ(kxh::runIdleCommands(), 1);
    EXPECT_EQ(counter(), 108);
    EXPECT_EQ(kxh::runIdleCommands(), 0);

    EXPECT_EQ(MGlobal::mayaState(), MGlobal::kBatch);
}

TEST_F(PluginCommandsTest, UnloadRemovesCommandsUnlessUninitializeFails) {
    load();
    value("kxtCounter -a 2");
    ASSERT_TRUE(run("kxtRefuseUnload 1").ok);
    EXPECT_FALSE(run("unloadPlugin kxTestCommands").ok);
    EXPECT_TRUE(
        kxh::output().contains(OutputKind::Error, "uninitializePlugin function failed (kxTestCommands)"));
    EXPECT_EQ(counter(), 2);  // still loaded, commands work

    ASSERT_TRUE(run("kxtRefuseUnload 0").ok);
    EXPECT_EQ(value("unloadPlugin kxTestCommands").asStringArray(),
              std::vector<std::string>{"kxTestCommands"});
    EXPECT_EQ(value("pluginInfo -q -loaded kxTestCommands").asInt(), 0);
    EXPECT_EQ(kxh::PluginHost::instance().findContextCommand("kxtContext"), nullptr);
    // The queue held the module's command objects: it was flushed before the module closed.
    EXPECT_EQ(undo().size(), 0u);
    EXPECT_FALSE(undo().canUndo());

    kxh::output().clear();
    EXPECT_FALSE(run("kxtCounter -a 1").ok);
    EXPECT_TRUE(kxh::output().contains(OutputKind::Error, "Cannot find procedure \"kxtCounter\"."));
    EXPECT_FALSE(run("unloadPlugin kxTestCommands").ok);

    // Loading again starts the module afresh; its node type was removed, so it registers again.
    load();
    EXPECT_EQ(counter(), 0);
    EXPECT_EQ(value("kxtInitReport").asStringArray().at(0), "node=ok");
}

TEST_F(PluginCommandsTest, FailingInitializeUnloadsTheModule) {
    auto st = run("loadPlugin kxTestFailInit");
    EXPECT_FALSE(st.ok);
    EXPECT_TRUE(
        kxh::output().contains(OutputKind::Error, "initializePlugin function failed (kxTestFailInit)"));
    EXPECT_EQ(value("pluginInfo -q -loaded kxTestFailInit").asInt(), 0);
    EXPECT_FALSE(run("kxtOrphan").ok);
    EXPECT_TRUE(kxh::output().contains(OutputKind::Error, "Cannot find procedure \"kxtOrphan\"."));
}

}  // namespace
