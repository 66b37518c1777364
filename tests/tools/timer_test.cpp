// Timer callbacks on the virtual clock: firing once per elapsed period in time order, removal (also from
// inside a callback), callbacks adding callbacks, and the idle step.
#include <maya/MGlobal.h>
#include <maya/MTimerMessage.h>

#include <utility>

#include "tools_fixture.h"

namespace kxt {
namespace {

struct Fired {
    std::vector<std::pair<char, float>> calls;  // (which timer, elapsed time)
};

struct TimerClient {
    char tag;
    Fired* log;
    MCallbackId selfId = 0;
    bool removeSelf = false;
    MCallbackId removeOther = 0;
};

void onTimer(float elapsed, float, void* data) {
    auto* c = static_cast<TimerClient*>(data);
    c->log->calls.push_back({c->tag, elapsed});
    if (c->removeSelf) MMessage::removeCallback(c->selfId);
    if (c->removeOther) {
        MMessage::removeCallback(c->removeOther);
        c->removeOther = 0;
    }
}

std::string tags(const Fired& f) {
    std::string s;
    for (const auto& c : f.calls) s += c.first;
    return s;
}

class TimerTest : public ToolsTest {
protected:
    void TearDown() override {
        for (MCallbackId id : ids) MMessage::removeCallback(id);
        ToolsTest::TearDown();
    }
    MCallbackId add(float period, TimerClient& client) {
        MStatus st;
        MCallbackId id = MTimerMessage::addTimerCallback(period, onTimer, &client, &st);
        EXPECT_TRUE(st);
        client.selfId = id;
        ids.push_back(id);
        return id;
    }
    std::vector<MCallbackId> ids;
};

TEST_F(TimerTest, TenMillisecondTimerFiresOncePerElapsedPeriod) {
    Fired log;
    TimerClient hover{'h', &log};
    add(0.01f, hover);
    EXPECT_EQ(kxh::tools::advanceTime(0.005), 0);  // not due yet
    EXPECT_EQ(kxh::tools::advanceTime(0.005), 1);  // exactly at 10 ms
    EXPECT_EQ(kxh::tools::advanceTime(0.1), 10);
    EXPECT_EQ(mel("kxhAdvanceTime 0.03").asInt(), 3);
    ASSERT_EQ(log.calls.size(), 14u);
    for (const auto& c : log.calls) EXPECT_NEAR(c.second, 0.01f, 1e-6);
    EXPECT_NEAR(mel("kxhAdvanceTime -q").asFloat() - kxh::tools::virtualTime(), 0.0, 1e-12);

    // Nothing fires on its own: without advancing, no calls.
    mel("kxhIdle");
    EXPECT_EQ(log.calls.size(), 14u);
}

TEST_F(TimerTest, CallbacksFireInTimeOrderWithTiesInAddingOrder) {
    Fired log;
    TimerClient fast{'f', &log}, slow{'s', &log}, same{'t', &log};
    add(0.01f, fast);
    add(0.025f, slow);
    add(0.01f, same);
    kxh::tools::advanceTime(0.05);
    // 10 f t, 20 f t, 25 s, 30 f t, 40 f t, 50 f s t
    EXPECT_EQ(tags(log), "ftftsftftfst");
    // The first call after a while reports the whole time since the previous one.
    log.calls.clear();
    MMessage::removeCallback(fast.selfId);
    MMessage::removeCallback(same.selfId);
    kxh::tools::advanceTime(0.025);
    ASSERT_EQ(log.calls.size(), 1u);
    EXPECT_NEAR(log.calls[0].second, 0.025f, 1e-6);
}

TEST_F(TimerTest, RemovedCallbacksNeverFireAgainEvenWhenRemovedDuringAnAdvance) {
    Fired log;
    TimerClient a{'a', &log}, b{'b', &log}, once{'o', &log};
    add(0.01f, a);
    MCallbackId bId = add(0.01f, b);
    once.removeSelf = true;
    add(0.01f, once);
    a.removeOther = bId;  // a's first call removes b, due at the same moment but added later
    kxh::tools::advanceTime(0.03);
    EXPECT_EQ(tags(log), "aoaa");
    EXPECT_FALSE(MMessage::removeCallback(bId));  // already gone
    EXPECT_EQ(kxh::tools::timerCount(), 1);

    MMessage::removeCallback(a.selfId);
    log.calls.clear();
    kxh::tools::advanceTime(1.0);
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(kxh::tools::timerCount(), 0);
}

TEST_F(TimerTest, BadPeriodsAndBadAdvancesAreRefused) {
    Fired log;
    TimerClient c{'c', &log};
    MStatus st;
    EXPECT_EQ(MTimerMessage::addTimerCallback(0.0f, onTimer, &c, &st), 0u);
    EXPECT_EQ(st, MS::kInvalidParameter);
    EXPECT_EQ(MTimerMessage::addTimerCallback(-1.0f, onTimer, &c, &st), 0u);
    EXPECT_EQ(MTimerMessage::addTimerCallback(0.01f, nullptr, &c, &st), 0u);
    EXPECT_EQ(kxh::tools::advanceTime(-1), -1);
    melError("kxhAdvanceTime -0.5");
    melError("kxhAdvanceTime soon");
}

// A callback that starts another timer: the new one counts from the moment it was added.
struct Spawner {
    Fired* log;
    TimerClient child;
    MCallbackId childId = 0;
};
void spawnOnce(float, float, void* data) {
    auto* s = static_cast<Spawner*>(data);
    s->log->calls.push_back({'p', 0});
    if (!s->childId) s->childId = MTimerMessage::addTimerCallback(0.01f, onTimer, &s->child);
}

TEST_F(TimerTest, TimersAddedByACallbackStartCountingThen) {
    Fired log;
    Spawner spawner{&log, TimerClient{'c', &log}};
    MCallbackId parent = MTimerMessage::addTimerCallback(0.02f, spawnOnce, &spawner);
    kxh::tools::advanceTime(0.05);
    // p at 20 (adds c), c at 30, p at 40, c at 40 (c added after p), c at 50
    EXPECT_EQ(tags(log), "pcpcc");
    MMessage::removeCallback(parent);
    MMessage::removeCallback(spawner.childId);
}

// A callback may not advance the clock itself.
void advanceInside(float, float, void* data) {
    *static_cast<int*>(data) = kxh::tools::advanceTime(1.0);
}

TEST_F(TimerTest, ClockCannotBeAdvancedFromInsideACallback) {
    int inner = 0;
    MCallbackId id = MTimerMessage::addTimerCallback(0.01f, advanceInside, &inner);
    kxh::tools::advanceTime(0.01);
    EXPECT_EQ(inner, -1);
    MMessage::removeCallback(id);
}

TEST_F(TimerTest, IdleStepRunsQueuedCommands) {
    MGlobal::executeCommandOnIdle("polyCube -n idleCube");
    EXPECT_EQ(mel("objExists idleCube").asInt(), 0);
    kxh::tools::advanceTime(1.0);  // time alone does not run idle commands
    EXPECT_EQ(mel("objExists idleCube").asInt(), 0);
    EXPECT_EQ(mel("kxhIdle").asInt(), 1);
    EXPECT_EQ(mel("objExists idleCube").asInt(), 1);
    EXPECT_EQ(mel("kxhIdle").asInt(), 0);
}

}  // namespace
}  // namespace kxt
