#pragma once
// A length with its unit. The host works internally in centimetres; the UI unit is what the user sees
// (currentUnit -linear), centimetres until changed.
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MDistance {
public:
    enum Unit {
        kInvalid,
        kInches,
        kFeet,
        kYards,
        kMiles,
        kMillimeters,
        kCentimeters,
        kKilometers,
        kMeters,
        kLast
    };

    MDistance() = default;
    MDistance(double value, Unit unitSystem = kCentimeters) : value_(value), unit_(unitSystem) {}
    MDistance(const MDistance& src) = default;
    ~MDistance() = default;

    MDistance& operator=(const MDistance& src) = default;

    Unit unit() const { return unit_; }
    double value() const { return value_; }
    MStatus setUnit(Unit newUnit);
    MStatus setValue(double newValue);
    // The length in another unit; an invalid unit gives 0 and kInvalidParameter.
    double as(Unit otherUnit, MStatus* ReturnStatus = NULL) const;
    // The length in the UI unit.
    double asUnits(MStatus* ReturnStatus = NULL) const { return as(uiUnit(), ReturnStatus); }
    double asInches(MStatus* ReturnStatus = NULL) const { return as(kInches, ReturnStatus); }
    double asFeet(MStatus* ReturnStatus = NULL) const { return as(kFeet, ReturnStatus); }
    double asYards(MStatus* ReturnStatus = NULL) const { return as(kYards, ReturnStatus); }
    double asMiles(MStatus* ReturnStatus = NULL) const { return as(kMiles, ReturnStatus); }
    double asMillimeters(MStatus* ReturnStatus = NULL) const { return as(kMillimeters, ReturnStatus); }
    double asCentimeters(MStatus* ReturnStatus = NULL) const { return as(kCentimeters, ReturnStatus); }
    double asKilometers(MStatus* ReturnStatus = NULL) const { return as(kKilometers, ReturnStatus); }
    double asMeters(MStatus* ReturnStatus = NULL) const { return as(kMeters, ReturnStatus); }

    static Unit uiUnit();
    static MStatus setUIUnit(Unit newUnit);
    static Unit internalUnit();
    // Conversions between the internal unit (centimetres) and the UI unit.
    static double internalToUI(double internalValue);
    static double uiToInternal(double uiValue);

private:
    double value_ = 0.0;
    Unit unit_ = kCentimeters;
};
