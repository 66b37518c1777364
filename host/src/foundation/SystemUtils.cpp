// MProgressWindow's kept state and MCommonSystemUtils over the C library and std::filesystem.
#include <maya/MCommonSystemUtils.h>
#include <maya/MProgressWindow.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

struct Progress {
    bool reserved = false, running = false, interruptable = false;
    int min = 0, max = 100, value = 0;
    MString title, status;
};

Progress& progressState() {
    static Progress p;
    return p;
}

void ok(MStatus* st) {
    if (st) *st = MS::kSuccess;
}

}  // namespace

bool MProgressWindow::reserve() {
    Progress& p = progressState();
    if (p.reserved) return false;  // one progress window at a time
    p.reserved = true;
    return true;
}
MStatus MProgressWindow::startProgress() {
    Progress& p = progressState();
    if (!p.reserved) return MS::kFailure;
    p.running = true;
    p.value = p.min;
    return MS::kSuccess;
}
MStatus MProgressWindow::endProgress() {
    Progress& p = progressState();
    if (!p.reserved) return MS::kFailure;
    p = Progress();
    return MS::kSuccess;
}
MStatus MProgressWindow::setProgressRange(const int minValue, const int maxValue) {
    if (maxValue < minValue) return MS::kInvalidParameter;
    progressState().min = minValue;
    progressState().max = maxValue;
    return MS::kSuccess;
}
MStatus MProgressWindow::setProgressMin(const int minValue) {
    return setProgressRange(minValue, progressState().max);
}
MStatus MProgressWindow::setProgressMax(const int maxValue) {
    return setProgressRange(progressState().min, maxValue);
}
int MProgressWindow::progressMin(MStatus* ReturnStatus) {
    ok(ReturnStatus);
    return progressState().min;
}
int MProgressWindow::progressMax(MStatus* ReturnStatus) {
    ok(ReturnStatus);
    return progressState().max;
}
MStatus MProgressWindow::setProgress(const int progress) {
    Progress& p = progressState();
    p.value = std::min(p.max, std::max(p.min, progress));
    return MS::kSuccess;
}
MStatus MProgressWindow::advanceProgress(const int amount) {
    return setProgress(progressState().value + amount);
}
int MProgressWindow::progress(MStatus* ReturnStatus) {
    ok(ReturnStatus);
    return progressState().value;
}
MStatus MProgressWindow::setTitle(const MString& title) {
    progressState().title = title;
    return MS::kSuccess;
}
MString MProgressWindow::title(MStatus* ReturnStatus) {
    ok(ReturnStatus);
    return progressState().title;
}
MStatus MProgressWindow::setProgressStatus(const MString& status) {
    progressState().status = status;
    return MS::kSuccess;
}
MString MProgressWindow::progressStatus(MStatus* ReturnStatus) {
    ok(ReturnStatus);
    return progressState().status;
}
MStatus MProgressWindow::setInterruptable(bool value) {
    progressState().interruptable = value;
    return MS::kSuccess;
}
bool MProgressWindow::isInterruptable(MStatus* ReturnStatus) {
    ok(ReturnStatus);
    return progressState().interruptable;
}
bool MProgressWindow::isCancelled(MStatus* ReturnStatus) {
    ok(ReturnStatus);
    return false;
}

MString MCommonSystemUtils::getEnv(const MString& variable, MStatus* ReturnStatus) {
    const char* value = std::getenv(variable.asChar());
    if (ReturnStatus) *ReturnStatus = value ? MS::kSuccess : MS::kFailure;
    return value ? MString(value) : MString();
}

MStatus MCommonSystemUtils::putEnv(const MString& variable, const MString& value) {
    if (variable.length() == 0) return MS::kInvalidParameter;
    return ::setenv(variable.asChar(), value.asChar(), 1) == 0 ? MStatus(MS::kSuccess)
                                                               : MStatus(MS::kFailure);
}

MStatus MCommonSystemUtils::makeDirectory(const MString& path) {
    std::error_code ec;
    std::filesystem::create_directories(path.asChar(), ec);
    return !ec && std::filesystem::is_directory(path.asChar()) ? MStatus(MS::kSuccess)
                                                               : MStatus(MS::kFailure);
}
