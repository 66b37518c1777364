// MToolsInfo: the tool settings window's refresh request. The headless host has no such window; the flag
// is kept so that a script or test can see that a context asked for a refresh.
#include <maya/MToolsInfo.h>

namespace {
bool& dirtyFlag() {
    static bool dirty = false;
    return dirty;
}
}  // namespace

void MToolsInfo::setDirtyFlag(const MPxContext&) {
    dirtyFlag() = true;
}
void MToolsInfo::resetDirtyFlag() {
    dirtyFlag() = false;
}
bool MToolsInfo::isDirty() {
    return dirtyFlag();
}
