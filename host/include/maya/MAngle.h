#pragma once
// An angle with its unit. The host works internally in radians; the UI unit (currentUnit -angle) is
// degrees until changed.
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MAngle {
public:
    enum Unit { kInvalid, kRadians, kDegrees, kAngMinutes, kAngSeconds, kLast };

    MAngle() = default;
    MAngle(double value, Unit unitSystem = kRadians) : value_(value), unit_(unitSystem) {}
    MAngle(const MAngle& src) = default;
    ~MAngle() = default;

    MAngle& operator=(const MAngle& src) = default;

    Unit unit() const { return unit_; }
    double value() const { return value_; }
    MStatus setUnit(Unit newUnit);
    MStatus setValue(double newValue);
    double as(Unit otherUnit, MStatus* ReturnStatus = NULL) const;
    double asUnits(MStatus* ReturnStatus = NULL) const { return as(uiUnit(), ReturnStatus); }
    double asRadians(MStatus* ReturnStatus = NULL) const { return as(kRadians, ReturnStatus); }
    double asDegrees(MStatus* ReturnStatus = NULL) const { return as(kDegrees, ReturnStatus); }
    double asAngMinutes(MStatus* ReturnStatus = NULL) const { return as(kAngMinutes, ReturnStatus); }
    double asAngSeconds(MStatus* ReturnStatus = NULL) const { return as(kAngSeconds, ReturnStatus); }

    static Unit uiUnit();
    static MStatus setUIUnit(Unit newUnit);
    static Unit internalUnit();
    static double internalToUI(double internalValue);
    static double uiToInternal(double uiValue);

private:
    double value_ = 0.0;
    Unit unit_ = kRadians;
};
