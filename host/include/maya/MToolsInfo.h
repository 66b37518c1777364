#pragma once
// The host's tool settings window: contexts call setDirtyFlag when a property shown there changed, so the
// window refreshes. Headless, there is no window to refresh; the calls are accepted and remembered.
#include <maya/MPxContext.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

class MToolsInfo {
public:
    static void setDirtyFlag(const MPxContext& context);
    static void resetDirtyFlag();
    static bool isDirty();
};
