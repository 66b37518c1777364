#pragma once
// The progress window of long operations. Headless there is no window and no one to cancel: the state is
// kept (reserve, start, progress, end) for the plug-in to read back, and isCancelled is always false.
#include <maya/MStatus.h>
#include <maya/MString.h>

class MProgressWindow {
public:
    static bool reserve();
    static MStatus startProgress();
    static MStatus endProgress();
    static MStatus setProgressRange(const int minValue, const int maxValue);
    static MStatus setProgressMin(const int minValue);
    static MStatus setProgressMax(const int maxValue);
    static int progressMin(MStatus* ReturnStatus = NULL);
    static int progressMax(MStatus* ReturnStatus = NULL);
    static MStatus setProgress(const int progress);
    static MStatus advanceProgress(const int amount);
    static int progress(MStatus* ReturnStatus = NULL);
    static MStatus setTitle(const MString& title);
    static MString title(MStatus* ReturnStatus = NULL);
    static MStatus setProgressStatus(const MString& status);
    static MString progressStatus(MStatus* ReturnStatus = NULL);
    static MStatus setInterruptable(bool value);
    static bool isInterruptable(MStatus* ReturnStatus = NULL);
    static bool isCancelled(MStatus* ReturnStatus = NULL);
};
