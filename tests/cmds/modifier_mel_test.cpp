// MDGModifier::commandToExecute runs MEL through the session: the modifier undoes what the command did,
// and the command leaves nothing on the undo queue of its own.
#include <gtest/gtest.h>
#include <maya/MDagModifier.h>
#include <maya/MStatus.h>

#include "cmds/Session.h"
#include "foundation/Output.h"

namespace {

double translateX(const char* node) {
    return kxh::session().execute(std::string("getAttr ") + node + ".translateX").result.asFloat();
}

TEST(ModifierMel, QueuedCommandsRunAtDoItAndAreUndoneByTheModifier) {
    kxh::output().setEcho(false);
    kxh::session().reset();
    ASSERT_TRUE(kxh::session().execute("polyCube -n box; undoInfo -fl").ok);  // nothing to undo before
    auto& queue = kxh::session().interpreter().undoQueue();
    ASSERT_FALSE(queue.canUndo());

    MDagModifier mod;
    ASSERT_TRUE(mod.commandToExecute("setAttr box.translateX 5"));
    ASSERT_TRUE(mod.commandToExecute("setAttr box.translateX 7; rename box crate"));
    EXPECT_DOUBLE_EQ(translateX("box"), 0.0);  // queued, not run yet

    ASSERT_TRUE(mod.doIt());
    EXPECT_DOUBLE_EQ(translateX("crate"), 7.0);
    EXPECT_FALSE(queue.canUndo()) << "modifier commands must not add their own undo steps";

    ASSERT_TRUE(mod.undoIt());
    EXPECT_TRUE(kxh::session().execute("objExists box").result.asBool());
    EXPECT_DOUBLE_EQ(translateX("box"), 0.0);

    ASSERT_TRUE(mod.doIt());  // a later doIt replays everything
    EXPECT_DOUBLE_EQ(translateX("crate"), 7.0);
}

TEST(ModifierMel, AFailingQueuedCommandFailsDoIt) {
    kxh::output().setEcho(false);
    kxh::session().reset();
    MDGModifier mod;
    ASSERT_TRUE(mod.commandToExecute("setAttr nothingHere.translateX 1"));
    EXPECT_FALSE(mod.doIt());
}

}  // namespace
