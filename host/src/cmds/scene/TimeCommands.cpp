// currentTime: the scene's current time, kept on time1.outTime (in seconds) and given in the UI time unit.
#include <maya/MTime.h>

#include "cmds/scene/SceneCommands.h"
#include "graph/core/DefaultNodes.h"
#include "graph/core/Node.h"
#include "graph/core/Plug.h"
#include "graph/core/Scene.h"

namespace kxh::scenecmd {

namespace {

Plug timePlug(Scene& scene) {
    ensureDefaultNodes(scene);  // time1 comes back if a scene lost it
    NodePtr time = scene.find("time1");
    return time ? time->findPlug("outTime") : Plug();
}

// currentTime [-q] [-e] [-u bool] time: sets or answers the current time in frames of the UI unit. Like
// the application's, a time change is not an undoable edit.
bool currentTimeCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.queryable = true;
    syn.editable = true;
    syn.flag("u", "update", {mel::ArgType::Bool});
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    Scene& scene = Scene::current();
    Plug plug = timePlug(scene);
    if (plug.isNull()) return inv.fail("currentTime: the scene has no time node.");
    const double perFrame = MTime::secondsPer(MTime::uiUnit());
    if (a.query) {
        inv.result = mel::Value(scene.evaluate(plug).asDouble() / perFrame);
        return true;
    }
    if (a.objects.size() != 1) return inv.fail("currentTime: give one time.");
    double frames = 0;
    if (!mel::Value::parseNumber(a.objects[0].asString(), frames))
        return inv.fail("currentTime: the time must be a number.");
    std::string error;
    if (!scene.setValue(plug, Value(frames * perFrame), &error)) return inv.fail("currentTime: " + error);
    inv.result = mel::Value(frames);
    return true;
}

}  // namespace

void registerTimeCommands(mel::CommandRegistry& registry) {
    registry.add({"currentTime", currentTimeCmd, nullptr});
}

}  // namespace kxh::scenecmd
