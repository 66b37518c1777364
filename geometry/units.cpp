#include "geometry/units.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>

namespace {

// The user's linear unit as "currentUnit -q -l" names it ("" when the query fails).
MString currentLinearUnit() {
    MString unit;
    MGlobal::executeCommand("currentUnit -q -l", unit);
    return unit;
}

struct UnitFactor {
    const char* name;
    float fromCentimetres;
    float toCentimetres;
};

// Checked in this order; anything else is centimetres.
const UnitFactor kUnitFactors[] = {
    {"in", 0.39370078f, 2.54f},   {"ft", 0.0328084f, 30.48f}, {"yd", 0.010936133f, 91.44f},
    {"mi", 6.214e-6f, 160934.4f}, {"mm", 10.0f, 0.1f},        {"km", 1e-5f, 100000.0f},
    {"m", 0.01f, 100.0f},
};

const UnitFactor* findUnit(const MString& unit) {
    for (const UnitFactor& f : kUnitFactors)
        if (unit == f.name) return &f;
    return nullptr;
}

}  // namespace

float centimetresToUiUnitFactor() {
    const UnitFactor* f = findUnit(currentLinearUnit());
    return f ? f->fromCentimetres : 1.0f;
}

float uiUnitToCentimetresFactor() {
    const UnitFactor* f = findUnit(currentLinearUnit());
    return f ? f->toCentimetres : 1.0f;
}

float centimetresToUiUnits(float value) {
    return value * centimetresToUiUnitFactor();
}
