#pragma once
// A long computation the user may interrupt. The headless host has no one to press Esc, so a computation
// is never interrupted; progress values are kept for the plug-in to read back.
#include <maya/MStatus.h>

class MComputation {
public:
    MComputation();
    virtual ~MComputation();

    void beginComputation(bool showProgressBar = false, bool isInterruptable = true,
                          bool useWaitCursor = true);
    bool isInterruptRequested();
    void endComputation();
    MStatus setProgressRange(const int minValue, const int maxValue);
    int progressMin(MStatus* ReturnStatus = NULL) const;
    int progressMax(MStatus* ReturnStatus = NULL) const;
    MStatus setProgress(const int value);
    int progress(MStatus* ReturnStatus = NULL) const;

private:
    int min_ = 0, max_ = 100, value_ = 0;
};
