// MTimerMessage over the host's virtual clock, the idle step, and their MEL commands (kxhAdvanceTime,
// kxhIdle).
//
// The clock counts whole nanoseconds, so periods given in seconds add up exactly (ten 0.01 s periods are
// 0.1 s). Each callback keeps the time it falls due next; advancing the clock fires the earliest due call
// until none is due before the new time.
#include <maya/MTimerMessage.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "cmds/plugin/PluginHost.h"
#include "cmds/tools/ToolCommands.h"
#include "cmds/tools/Tools.h"
#include "graph/api/Messages.h"

namespace kxh {

namespace {

constexpr std::int64_t kNanos = 1000000000;
constexpr std::int64_t kMinPeriod = 1000000;  // 1 ms: the host's timer resolution

struct Timer {
    std::uint64_t serial;  // order of adding: breaks ties between calls due at the same time
    MCallbackId id = 0;
    std::int64_t period;
    std::int64_t due;
    std::int64_t lastCall;  // when it was last called (or added)
    MMessage::MElapsedTimeFunction func;
    void* clientData;
    bool removed = false;
    bool running = false;
};

struct Clock {
    std::int64_t now = 0;
    std::uint64_t nextSerial = 1;
    std::vector<Timer> timers;
    bool advancing = false;
};

Clock& virtualClock() {
    static Clock c;
    return c;
}

Timer* findSerial(std::uint64_t serial) {
    for (Timer& t : virtualClock().timers)
        if (t.serial == serial) return &t;
    return nullptr;
}

void dropRemoved() {
    auto& v = virtualClock().timers;
    v.erase(std::remove_if(v.begin(), v.end(), [](const Timer& t) { return t.removed && !t.running; }),
            v.end());
}

// A callback whose code went away with its module (unloaded without removing it) is dropped, not called.
bool codeLoaded(MMessage::MElapsedTimeFunction func) {
    Dl_info info;
    return dladdr(reinterpret_cast<void*>(func), &info) != 0;
}

std::int64_t toNanos(double seconds) {
    return std::int64_t(std::llround(seconds * double(kNanos)));
}

}  // namespace

namespace tools {

double virtualTime() {
    return double(virtualClock().now) / double(kNanos);
}

int advanceTime(double seconds) {
    Clock& c = virtualClock();
    if (!(seconds >= 0) || c.advancing) return -1;
    c.advancing = true;
    const std::int64_t target = c.now + toNanos(seconds);
    int calls = 0;
    for (;;) {
        Timer* next = nullptr;
        for (Timer& t : c.timers) {
            if (t.removed || t.due > target) continue;
            if (!next || t.due < next->due || (t.due == next->due && t.serial < next->serial)) next = &t;
        }
        if (!next) break;
        c.now = next->due;
        next->due += next->period;
        if (next->running) continue;  // still busy with its previous call: this one is skipped
        if (!codeLoaded(next->func)) {
            next->removed = true;
            continue;
        }
        const float elapsed = float(double(c.now - next->lastCall) / double(kNanos));
        next->lastCall = c.now;
        next->running = true;
        const std::uint64_t serial = next->serial;
        {
            CurrentCallbackScope scope(next->id);
            // The call may add or remove timers (the vector may move): keep only the serial across it.
            next->func(elapsed, 0.0f, next->clientData);
        }
        if (Timer* t = findSerial(serial)) t->running = false;
        ++calls;
    }
    c.now = target;
    dropRemoved();
    c.advancing = false;
    return calls;
}

int runIdle() {
    int ran = runIdleCommands();
    fireEvent("idle");
    return ran;
}

int timerCount() {
    int n = 0;
    for (const Timer& t : virtualClock().timers)
        if (!t.removed) ++n;
    return n;
}

}  // namespace tools

// --- MEL ---------------------------------------------------------------------------------------------------

namespace {

// kxhAdvanceTime seconds: moves the virtual clock on, firing the timer callbacks that fall due; returns how
// many calls were made. kxhAdvanceTime -q: the clock's time in seconds.
bool advanceTimeCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.queryable = true;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    if (a.query) {
        inv.result = mel::Value(tools::virtualTime());
        return true;
    }
    if (a.objects.size() != 1) return inv.fail("kxhAdvanceTime: give the number of seconds.");
    double seconds;
    if (!mel::Value::parseNumber(a.objects[0].asString(), seconds) || seconds < 0)
        return inv.fail("kxhAdvanceTime: the time must be a number of seconds, 0 or more.");
    if (virtualClock().advancing)
        return inv.fail("kxhAdvanceTime: the clock cannot be advanced from a timer callback.");
    inv.result = mel::Value(tools::advanceTime(seconds));
    return true;
}

// kxhIdle: one idle step (commands queued with executeCommandOnIdle, then "idle" event callbacks); returns
// how many queued commands ran.
bool idleCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.maxObjects = 0;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    inv.result = mel::Value(tools::runIdle());
    return true;
}

}  // namespace

void registerTimerCommands(mel::CommandRegistry& registry) {
    registry.add({"kxhAdvanceTime", advanceTimeCmd, nullptr});
    registry.add({"kxhIdle", idleCmd, nullptr});
}

}  // namespace kxh

using namespace kxh;

MCallbackId MTimerMessage::addTimerCallback(float period, MMessage::MElapsedTimeFunction func,
                                            void* clientData, MStatus* ReturnStatus) {
    if (!(period > 0) || !func) {
        if (ReturnStatus) *ReturnStatus = MS::kInvalidParameter;
        return 0;
    }
    Clock& c = virtualClock();
    Timer t;
    t.serial = c.nextSerial++;
    t.period = std::max(kMinPeriod, toNanos(period));
    t.due = c.now + t.period;
    t.lastCall = c.now;
    t.func = func;
    t.clientData = clientData;
    const std::uint64_t serial = t.serial;
    t.id = addCallbackRecord([serial] {
        if (Timer* found = findSerial(serial)) found->removed = true;
        if (!virtualClock().advancing) dropRemoved();
    });
    c.timers.push_back(t);
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return t.id;
}

const char* MTimerMessage::className() {
    return "MTimerMessage";
}
