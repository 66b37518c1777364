#include "MelTestUtil.h"

#include "mel/UndoQueue.h"

using namespace kxh;
using namespace kxh::mel;
using kxh::mel::test::MelTest;

namespace {

// Records undo/redo calls into a shared log, e.g. "u:a", "r:b".
struct LogEntry : UndoEntry {
    LogEntry(std::string n, std::vector<std::string>& log) : name(std::move(n)), log(log) {}
    void undo() override { log.push_back("u:" + name); }
    void redo() override { log.push_back("r:" + name); }
    std::string description() const override { return name; }
    std::string name;
    std::vector<std::string>& log;
};

}  // namespace

class MelUndo : public MelTest {
protected:
    UndoEntryPtr entry(const std::string& n) { return std::make_unique<LogEntry>(n, log); }
    UndoQueue& q() { return mel.undoQueue(); }
    std::vector<std::string> log;
};

TEST_F(MelUndo, UndoRedoAndRedoListClearedByPush) {
    EXPECT_TRUE(q().push(entry("a")));
    q().push(entry("b"));
    EXPECT_EQ(q().undoName(), "b");
    EXPECT_TRUE(q().undo());
    EXPECT_TRUE(q().undo());
    EXPECT_FALSE(q().undo());
    EXPECT_TRUE(output().contains(OutputKind::Warning, "There are no more commands to undo."));
    EXPECT_EQ(output().of(OutputKind::Info), (std::vector<std::string>{"Undo: b", "Undo: a"}));
    EXPECT_TRUE(q().redo());
    EXPECT_EQ(q().redoName(), "b");
    q().push(entry("c"));  // a new step drops what could be redone
    EXPECT_FALSE(q().canRedo());
    EXPECT_FALSE(q().redo());
    EXPECT_TRUE(output().contains(OutputKind::Warning, "There are no more commands to redo."));
    EXPECT_EQ(log, (std::vector<std::string>{"u:b", "u:a", "r:a"}));
    EXPECT_EQ(q().undoNames(), (std::vector<std::string>{"a", "c"}));
}

TEST_F(MelUndo, NestedChunksUndoAsOneStep) {
    q().push(entry("before"));
    q().openChunk();
    q().push(entry("a"));
    q().openChunk();
    q().push(entry("b"));
    q().push(entry("c"));
    EXPECT_TRUE(q().closeChunk());
    EXPECT_EQ(q().size(), 1u);  // nothing lands until the outermost chunk closes
    q().push(entry("d"));
    EXPECT_TRUE(q().closeChunk());
    EXPECT_FALSE(q().closeChunk());
    EXPECT_EQ(q().size(), 2u);
    EXPECT_EQ(q().undoName(), "a");
    ASSERT_TRUE(q().undo());
    EXPECT_EQ(log, (std::vector<std::string>{"u:d", "u:c", "u:b", "u:a"}));
    log.clear();
    ASSERT_TRUE(q().redo());
    EXPECT_EQ(log, (std::vector<std::string>{"r:a", "r:b", "r:c", "r:d"}));
    // An empty chunk adds nothing and keeps the redo list.
    q().undo();
    q().openChunk();
    q().closeChunk();
    EXPECT_EQ(q().size(), 1u);
    EXPECT_TRUE(q().canRedo());
}

TEST_F(MelUndo, DroppedWhenOffSuspendedOrDuringUndo) {
    q().setState(false);
    EXPECT_FALSE(q().push(entry("off")));
    q().setState(true);
    {
        UndoQueue::Suspend s(q());
        EXPECT_FALSE(q().push(entry("suspended")));
    }
    EXPECT_TRUE(q().recording());
    // An entry whose undo pushes (a command run during undo) must not record itself.
    struct Pusher : UndoEntry {
        UndoQueue* q;
        bool pushed = true;
        void undo() override { pushed = q->push(std::make_unique<Pusher>()); }
        void redo() override {}
    };
    auto p = std::make_unique<Pusher>();
    Pusher* raw = p.get();
    raw->q = &q();
    q().push(std::move(p));
    q().undo();
    EXPECT_FALSE(raw->pushed);
    EXPECT_EQ(q().size(), 0u);
}

TEST_F(MelUndo, StateOffFlushesUnlessWithoutFlush) {
    q().push(entry("a"));
    q().setState(false, false);
    EXPECT_EQ(q().size(), 1u);
    q().setState(true);
    q().setState(false);
    EXPECT_EQ(q().size(), 0u);
    q().setState(true);
    q().push(entry("b"));
    q().undo();
    q().clear();
    EXPECT_FALSE(q().canUndo());
    EXPECT_FALSE(q().canRedo());
}

TEST_F(MelUndo, UndoInfoAndUndoCommands) {
    // A command that pushes an entry per call, as scene commands do after succeeding.
    CommandDef d;
    d.name = "step";
    d.handler = [this](Invocation& inv) {
        inv.interp.undoQueue().push(entry(inv.commandLine));
        return true;
    };
    mel.commands().add(d);
    ASSERT_TRUE(run("step 1; undoInfo -ock; step 2; step 3; undoInfo -cck; step 4;").ok);
    EXPECT_EQ(q().size(), 3u);
    EXPECT_EQ(eval("undoInfo -q -un"), "step 4");
    ASSERT_TRUE(run("undo; undo").ok);
    EXPECT_EQ(log, (std::vector<std::string>{"u:step 4", "u:step 3", "u:step 2"}));
    EXPECT_EQ(eval("undoInfo -q -redoName"), "step 2");
    EXPECT_TRUE(output().contains(OutputKind::Info, "Undo: step 2"));
    ASSERT_TRUE(run("redo").ok);
    EXPECT_TRUE(output().contains(OutputKind::Info, "Redo: step 2"));
    EXPECT_EQ(eval("undoInfo -q -st"), "1");
    ASSERT_TRUE(run("undoInfo -swf off; step 5").ok);
    EXPECT_EQ(q().size(), 2u);  // kept, and step 5 not recorded
    EXPECT_EQ(eval("undoInfo -q -state"), "0");
    ASSERT_TRUE(run("undoInfo -st on; undoInfo -openChunk -chunkName \"group\"; step 6; step 7; "
                    "undoInfo -closeChunk")
                    .ok);
    EXPECT_EQ(eval("undoInfo -q -un"), "group");
    ASSERT_TRUE(run("undoInfo -fl").ok);
    EXPECT_EQ(q().size(), 0u);
    EXPECT_EQ(eval("undo"), "0");  // nothing to undo: a warning, not a failure
    EXPECT_FALSE(run("undoInfo -bogus").ok);
    EXPECT_TRUE(output().contains(OutputKind::Error, "line 1: Invalid flag: -bogus"));
    // The interpreter itself records nothing.
    ASSERT_TRUE(run("int $x = 1; print \"\"; eval \"$x = 2\";").ok);
    EXPECT_EQ(q().size(), 0u);
}

TEST_F(MelUndo, UndoClosesOpenChunksFirst) {
    q().openChunk();
    q().push(entry("a"));
    q().push(entry("b"));
    ASSERT_TRUE(q().undo());
    EXPECT_EQ(q().chunkDepth(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"u:b", "u:a"}));
}
