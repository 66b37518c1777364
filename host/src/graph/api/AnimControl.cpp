// MAnimControl: the current time on time1.outTime (seconds); the ranges as plain values, since nothing
// plays back headless (play calls do nothing and report kFailure).
#include <maya/MAnimControl.h>

#include "graph/core/DefaultNodes.h"
#include "graph/core/Node.h"
#include "graph/core/Plug.h"
#include "graph/core/Scene.h"

using namespace kxh;

namespace {

struct Ranges {
    MTime min{1.0, MTime::kFilm}, max{120.0, MTime::kFilm};
    MTime start{1.0, MTime::kFilm}, end{200.0, MTime::kFilm};
    MTime by{1.0, MTime::kFilm};
    MAnimControl::PlaybackMode mode = MAnimControl::kPlaybackLoop;
};

Ranges& ranges() {
    static Ranges r;
    return r;
}

Plug timePlug() {
    Scene& scene = Scene::current();
    ensureDefaultNodes(scene);
    NodePtr time = scene.find("time1");
    return time ? time->findPlug("outTime") : Plug();
}

}  // namespace

MTime MAnimControl::currentTime() {
    Plug p = timePlug();
    const double seconds = p.isNull() ? 0.0 : Scene::current().evaluate(p).asDouble();
    MTime t(seconds, MTime::kSeconds);
    t.setUnit(MTime::uiUnit());
    return t;
}

MStatus MAnimControl::setCurrentTime(const MTime& newTime) {
    Plug p = timePlug();
    if (p.isNull()) return MS::kFailure;
    return Scene::current().setValue(p, Value(newTime.as(MTime::kSeconds))) ? MStatus(MS::kSuccess)
                                                                            : MStatus(MS::kFailure);
}

MTime MAnimControl::minTime() {
    return ranges().min;
}
MTime MAnimControl::maxTime() {
    return ranges().max;
}
MStatus MAnimControl::setMinTime(MTime t) {
    return setMinMaxTime(t, ranges().max);
}
MStatus MAnimControl::setMaxTime(MTime t) {
    return setMinMaxTime(ranges().min, t);
}
MStatus MAnimControl::setMinMaxTime(MTime newMin, MTime newMax) {
    if (newMax < newMin) return MS::kInvalidParameter;
    ranges().min = newMin;
    ranges().max = newMax;
    return MS::kSuccess;
}
MTime MAnimControl::animationStartTime() {
    return ranges().start;
}
MTime MAnimControl::animationEndTime() {
    return ranges().end;
}
MStatus MAnimControl::setAnimationStartTime(MTime t) {
    return setAnimationStartEndTime(t, ranges().end);
}
MStatus MAnimControl::setAnimationEndTime(MTime t) {
    return setAnimationStartEndTime(ranges().start, t);
}
MStatus MAnimControl::setAnimationStartEndTime(MTime newStart, MTime newEnd) {
    if (newEnd < newStart) return MS::kInvalidParameter;
    ranges().start = newStart;
    ranges().end = newEnd;
    return MS::kSuccess;
}
MTime MAnimControl::playbackBy() {
    return ranges().by;
}
MStatus MAnimControl::setPlaybackBy(const MTime& increment) {
    if (increment <= MTime(0.0, MTime::kSeconds)) return MS::kInvalidParameter;
    ranges().by = increment;
    return MS::kSuccess;
}
MAnimControl::PlaybackMode MAnimControl::playbackMode() {
    return ranges().mode;
}
MStatus MAnimControl::setPlaybackMode(PlaybackMode mode) {
    ranges().mode = mode;
    return MS::kSuccess;
}
bool MAnimControl::isPlaying() {
    return false;
}
MStatus MAnimControl::playForward() {
    return MS::kFailure;
}
MStatus MAnimControl::playBackward() {
    return MS::kFailure;
}
MStatus MAnimControl::stop() {
    return MS::kSuccess;
}
