#pragma once
// A moment or a duration with its unit. The host keeps the value in the unit given and converts through
// seconds; the UI unit (currentUnit -time) is film, 24 frames per second, until changed.
#include <maya/MIOStreamFwd.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MTime {
public:
    enum Unit {
        kInvalid,
        kHours,
        kMinutes,
        kSeconds,
        kMilliseconds,
        kGames,      // 15 frames per second
        kFilm,       // 24
        kPALFrame,   // 25
        kNTSCFrame,  // 30
        kShowScan,   // 48
        kPALField,   // 50
        kNTSCField,  // 60
        k2FPS,
        k3FPS,
        k4FPS,
        k5FPS,
        k6FPS,
        k8FPS,
        k10FPS,
        k12FPS,
        k16FPS,
        k20FPS,
        k40FPS,
        k75FPS,
        k80FPS,
        k100FPS,
        k120FPS,
        k125FPS,
        k150FPS,
        k200FPS,
        k240FPS,
        k250FPS,
        k300FPS,
        k375FPS,
        k400FPS,
        k500FPS,
        k600FPS,
        k750FPS,
        k1200FPS,
        k1500FPS,
        k2000FPS,
        k3000FPS,
        k6000FPS,
        kUserDef,
        kLast,
        k15FPS = kGames,
        k24FPS = kFilm,
        k25FPS = kPALFrame,
        k30FPS = kNTSCFrame,
        k48FPS = kShowScan,
        k50FPS = kPALField,
        k60FPS = kNTSCField
    };

    MTime();
    MTime(double value, Unit unitSystem = uiUnit());
    MTime(const MTime& src) = default;
    ~MTime() = default;
    MTime& operator=(const MTime& rhs) = default;

    Unit unit() const { return unit_; }
    double value() const { return value_; }
    MStatus setUnit(Unit newUnit);  // keeps the moment, converting the value
    MStatus setValue(double newValue);
    // The time in another unit; an invalid unit gives 0 and kInvalidParameter.
    double as(Unit otherUnit, MStatus* ReturnStatus = NULL) const;
    double asUnits(Unit otherUnit, MStatus* ReturnStatus = NULL) const { return as(otherUnit, ReturnStatus); }

    MTime operator+(const MTime& right) const;
    MTime operator-(const MTime& right) const;
    MTime operator+(double right) const;  // a number is taken in this time's unit
    MTime operator-(double right) const;
    MTime operator*(double right) const;
    MTime operator/(double right) const;
    MTime& operator+=(const MTime& right);
    MTime& operator-=(const MTime& right);
    MTime& operator+=(double right);
    MTime& operator-=(double right);
    MTime& operator*=(double right);
    MTime& operator/=(double right);
    bool operator==(const MTime& rhs) const;
    bool operator!=(const MTime& rhs) const { return !(*this == rhs); }
    bool operator<(const MTime& rhs) const;
    bool operator>(const MTime& rhs) const { return rhs < *this; }
    bool operator<=(const MTime& rhs) const { return !(rhs < *this); }
    bool operator>=(const MTime& rhs) const { return !(*this < rhs); }

    static Unit uiUnit();
    static MStatus setUIUnit(Unit newUnit);
    // Seconds per unit (0 for kInvalid, kUserDef and kLast).
    static double secondsPer(Unit unit);

    friend std::ostream& operator<<(std::ostream& os, const MTime& t);

private:
    double seconds() const { return value_ * secondsPer(unit_); }

    double value_ = 0.0;
    Unit unit_ = kFilm;
};
