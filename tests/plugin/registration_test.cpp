// The walks over registration tables: a failing command stops the load where it is, a failing context
// command is only reported, a row without a message prints the status alone, and unloading stops at its
// first failure. Driven with tables of test commands under plug-in records of this program.
#include <maya/MPxCommand.h>

#include "plugin_fixture.h"

namespace {

class NamedCmd : public MPxCommand {
public:
    static void* creator() { return new NamedCmd; }
    MStatus doIt(const MArgList&) override {
        setResult("test command");
        return MS::kSuccess;
    }
};

void* noContext() {
    return nullptr;  // never called: the tests register context commands without creating contexts
}

class RegistrationTest : public PluginTest {
protected:
    RegistrationTest() { withoutCore(); }
    void TearDown() override {
        std::string error;
        for (const char* name : {"kxtBlockers", "kxtTable"})
            if (kxh::PluginHost::instance().find(name)) kxh::PluginHost::instance().unload(name, error);
        PluginTest::TearDown();
    }

    // Registers or removes the rows under a plug-in record named `plugin`.
    static MStatus walk(const char* plugin, const std::vector<RegistrationRow>& rows, bool registering) {
        kxh::PluginHost::Scope scope(plugin);
        MObject handle;
        MFnPlugin fn(handle);
        return registering ? registerRows(fn, rows) : deregisterRows(fn, rows);
    }
    static kxh::PluginRecord& record(const char* plugin) { return *kxh::PluginHost::instance().find(plugin); }
    static std::string statusText() { return MStatus(MS::kFailure).errorString().asChar(); }
};

TEST_F(RegistrationTest, ThePlugInsTablesRegisterAndRemoveInTheirWrittenOrder) {
    ASSERT_TRUE(walk("kxtTable", loadTable(), true));
    ASSERT_TRUE(walk("kxtTable", unloadTable(), false));
    // Load rows 6, 7, 8, 9, 12, 13 and 35, then unload rows 22, 23, 26, 27, 28 and 29: the rows whose
    // classes exist, as the two tables of the plug-in's design order them.
    EXPECT_EQ(
        record("kxtTable").log,
        (std::vector<std::string>{"command kxMergeVerts", "context modelingContext", "command kxSetCommands",
                                  "node drawLocator", "node quadDrawLocator", "context quadDrawContext",
                                  "ui kx_modeling_tool_ui", "-context quadDrawContext",
                                  "-node quadDrawLocator", "-node drawLocator", "-command kxSetCommands",
                                  "-context modelingContext", "-command kxMergeVerts"}));
    EXPECT_TRUE(lines(kxh::OutputKind::Perror).empty());
}

TEST_F(RegistrationTest, ACommandFailureStopsTheLoadAndAContextFailureGoesOn) {
    ASSERT_TRUE(walk("kxtBlockers",
                     {commandRow("kxtTaken", NamedCmd::creator, nullptr, "blocker"),
                      contextCommandRow("kxtTakenCtx", noContext, "kxtTakenCtxTool", noContext, "blocker")},
                     true));

    MStatus st = walk(
        "kxtTable",
        {commandRow("kxtFirst", NamedCmd::creator, nullptr, "first failed"),
         contextCommandRow("kxtTakenCtx", noContext, "kxtOwnTool", noContext, "context failed to register"),
         contextCommandRow("kxtFreeCtx", noContext, "kxtFreeCtxTool", noContext, "free failed"),
         commandRow("kxtSecond", NamedCmd::creator, nullptr, "second failed"),
         commandRow("kxtTaken", NamedCmd::creator, nullptr, "taken command failed to register"),
         commandRow("kxtNever", NamedCmd::creator, nullptr, "never failed"),
         uiRow("kxtCreateUi", "kxtDeleteUi", "registerUIScripts")},
        true);
    EXPECT_FALSE(st);
    EXPECT_EQ(lines(kxh::OutputKind::Perror),
              (std::vector<std::string>{"context failed to register: " + statusText(),
                                        "taken command failed to register: " + statusText()}));
    // What came before the failing command stays registered (the context after the failed one too);
    // nothing after it is registered.
    kxh::PluginRecord& table = record("kxtTable");
    EXPECT_EQ(table.commands, (std::vector<std::string>{"kxtFirst", "kxtSecond"}));
    EXPECT_EQ(table.contextCommands, std::vector<std::string>{"kxtFreeCtx"});
    EXPECT_EQ(table.uiCreate, "");
    EXPECT_EQ(mel("kxtFirst").asString(), "test command");
    EXPECT_EQ(mel("exists kxtNever").asInt(), 0);
}

TEST_F(RegistrationTest, AContextFailureWithoutMessagePrintsTheStatusAlone) {
    ASSERT_TRUE(
        walk("kxtBlockers", {commandRow("kxtTakenCtx", NamedCmd::creator, nullptr, "blocker")}, true));
    MStatus st = walk("kxtTable",
                      {contextCommandRow("kxtTakenCtx", noContext, "kxtTool", noContext, nullptr),
                       uiRow("kxtCreateUi", "kxtDeleteUi", "registerUIScripts")},
                      true);
    // The last step decides the status: the UI row after the failed context succeeded.
    EXPECT_TRUE(st);
    EXPECT_EQ(lines(kxh::OutputKind::Perror), std::vector<std::string>{statusText()});
    kxh::PluginRecord& table = record("kxtTable");
    EXPECT_EQ(table.uiCreate, "kxtCreateUi");
    EXPECT_EQ(table.uiDelete, "kxtDeleteUi");
}

TEST_F(RegistrationTest, UnloadingStopsAtTheFirstFailureContextsIncluded) {
    ASSERT_TRUE(walk("kxtTable",
                     {commandRow("kxtA", NamedCmd::creator, nullptr, "a"),
                      contextCommandRow("kxtCtx", noContext, "kxtCtxTool", noContext, "ctx"),
                      commandRow("kxtB", NamedCmd::creator, nullptr, "b")},
                     true));
    MStatus st = walk("kxtTable",
                      {commandRemovalRow("kxtB", "deregisterCommand"),
                       contextCommandRemovalRow("kxtCtx", "kxtWrongTool", "deregisterContextCommand failed"),
                       commandRemovalRow("kxtA", "deregisterCommand")},
                      false);
    EXPECT_FALSE(st);
    EXPECT_EQ(lines(kxh::OutputKind::Perror),
              std::vector<std::string>{"deregisterContextCommand failed: " + statusText()});
    EXPECT_EQ(record("kxtTable").commands, std::vector<std::string>{"kxtA"});
    EXPECT_EQ(mel("exists kxtB").asInt(), 0);

    kxh::output().clear();
    EXPECT_TRUE(walk("kxtTable",
                     {contextCommandRemovalRow("kxtCtx", "kxtCtxTool", "ctx"),
                      commandRemovalRow("kxtA", "deregisterCommand")},
                     false));
    EXPECT_TRUE(record("kxtTable").commands.empty());
    EXPECT_TRUE(record("kxtTable").contextCommands.empty());
    EXPECT_TRUE(lines(kxh::OutputKind::Perror).empty());
}

}  // namespace
