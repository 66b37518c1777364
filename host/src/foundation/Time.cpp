// MTime: a value in a time unit, converted through seconds.
#include <maya/MTime.h>

#include <cmath>
#include <ostream>

namespace {

MTime::Unit& uiTimeUnit() {
    static MTime::Unit unit = MTime::kFilm;
    return unit;
}

// Two times are equal when they lie within this fraction of a 6000 fps tick (the finest unit).
constexpr double kTickSeconds = 1.0 / 6000.0;

}  // namespace

double MTime::secondsPer(Unit unit) {
    static const double fps[] = {0,   0,   0,   0,   0,   15,   24,   25,   30,   48,  50,
                                 60,  2,   3,   4,   5,   6,    8,    10,   12,   16,  20,
                                 40,  75,  80,  100, 120, 125,  150,  200,  240,  250, 300,
                                 375, 400, 500, 600, 750, 1200, 1500, 2000, 3000, 6000};
    switch (unit) {
        case kHours:
            return 3600.0;
        case kMinutes:
            return 60.0;
        case kSeconds:
            return 1.0;
        case kMilliseconds:
            return 0.001;
        default:
            break;
    }
    if (unit <= kMilliseconds || unit >= kUserDef) return 0.0;
    return 1.0 / fps[unit];
}

MTime::MTime() : unit_(uiUnit()) {}

MTime::MTime(double value, Unit unitSystem) : value_(value), unit_(unitSystem) {
    if (secondsPer(unit_) == 0.0) unit_ = uiUnit();
}

MStatus MTime::setUnit(Unit newUnit) {
    if (secondsPer(newUnit) == 0.0) return MS::kInvalidParameter;
    value_ = as(newUnit);
    unit_ = newUnit;
    return MS::kSuccess;
}

MStatus MTime::setValue(double newValue) {
    value_ = newValue;
    return MS::kSuccess;
}

double MTime::as(Unit otherUnit, MStatus* ReturnStatus) const {
    double per = secondsPer(otherUnit);
    if (per == 0.0) {
        if (ReturnStatus) *ReturnStatus = MS::kInvalidParameter;
        return 0.0;
    }
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    if (otherUnit == unit_) return value_;
    return seconds() / per;
}

MTime MTime::operator+(const MTime& right) const {
    return MTime(value_ + right.as(unit_), unit_);
}
MTime MTime::operator-(const MTime& right) const {
    return MTime(value_ - right.as(unit_), unit_);
}
MTime MTime::operator+(double right) const {
    return MTime(value_ + right, unit_);
}
MTime MTime::operator-(double right) const {
    return MTime(value_ - right, unit_);
}
MTime MTime::operator*(double right) const {
    return MTime(value_ * right, unit_);
}
MTime MTime::operator/(double right) const {
    return MTime(value_ / right, unit_);
}
MTime& MTime::operator+=(const MTime& right) {
    return *this = *this + right;
}
MTime& MTime::operator-=(const MTime& right) {
    return *this = *this - right;
}
MTime& MTime::operator+=(double right) {
    value_ += right;
    return *this;
}
MTime& MTime::operator-=(double right) {
    value_ -= right;
    return *this;
}
MTime& MTime::operator*=(double right) {
    value_ *= right;
    return *this;
}
MTime& MTime::operator/=(double right) {
    value_ /= right;
    return *this;
}

bool MTime::operator==(const MTime& rhs) const {
    return std::fabs(seconds() - rhs.seconds()) < kTickSeconds * 1e-3;
}

bool MTime::operator<(const MTime& rhs) const {
    return !(*this == rhs) && seconds() < rhs.seconds();
}

MTime::Unit MTime::uiUnit() {
    return uiTimeUnit();
}

MStatus MTime::setUIUnit(Unit newUnit) {
    if (secondsPer(newUnit) == 0.0) return MS::kInvalidParameter;
    uiTimeUnit() = newUnit;
    return MS::kSuccess;
}

std::ostream& operator<<(std::ostream& os, const MTime& t) {
    return os << t.value();
}
