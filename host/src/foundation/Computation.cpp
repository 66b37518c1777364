// MComputation: progress bookkeeping without a user to interrupt it.
#include <maya/MComputation.h>

MComputation::MComputation() = default;
MComputation::~MComputation() = default;

void MComputation::beginComputation(bool, bool, bool) {
    value_ = min_;
}
bool MComputation::isInterruptRequested() {
    return false;
}
void MComputation::endComputation() {}

MStatus MComputation::setProgressRange(const int minValue, const int maxValue) {
    if (maxValue < minValue) return MS::kInvalidParameter;
    min_ = minValue;
    max_ = maxValue;
    return MS::kSuccess;
}
int MComputation::progressMin(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return min_;
}
int MComputation::progressMax(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return max_;
}
MStatus MComputation::setProgress(const int value) {
    value_ = value < min_ ? min_ : (value > max_ ? max_ : value);
    return MS::kSuccess;
}
int MComputation::progress(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return value_;
}
