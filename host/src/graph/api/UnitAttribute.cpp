// MFnUnitAttribute: a double attribute with a unit (distance, angle, time). The attribute is a numeric
// double whose unit the graph records; limits and defaults are the numeric set's, in internal units.
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnUnitAttribute.h>

#include "graph/api/ApiObject.h"
#include "graph/api/AttrShared.h"

using namespace kxh;

namespace {

AttrUnit attrUnitOf(MFnUnitAttribute::Type t) {
    switch (t) {
        case MFnUnitAttribute::kAngle:
            return AttrUnit::Angle;
        case MFnUnitAttribute::kDistance:
            return AttrUnit::Distance;
        case MFnUnitAttribute::kTime:
            return AttrUnit::Time;
        default:
            return AttrUnit::None;
    }
}

double internal(const MTime& t) {
    return t.as(MTime::kSeconds);
}
double internal(const MDistance& d) {
    return d.asCentimeters();
}
double internal(const MAngle& a) {
    return a.asRadians();
}

// The numeric set over the same attribute: limits and defaults are kept there.
template <class Body>
MStatus viaNumeric(const MObject& o, Body body) {
    MStatus st;
    MFnNumericAttribute num(o, &st);
    if (!st) return st;
    return body(num);
}

}  // namespace

MFnUnitAttribute::MFnUnitAttribute() = default;
MFnUnitAttribute::MFnUnitAttribute(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnUnitAttribute::MFnUnitAttribute(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnUnitAttribute::~MFnUnitAttribute() = default;

MFn::Type MFnUnitAttribute::type() const {
    return MFn::kUnitAttribute;
}
const char* MFnUnitAttribute::className() {
    return "MFnUnitAttribute";
}

bool MFnUnitAttribute::compatibleWith(const MObject& object) const {
    AttrPtr a = attributeOf(object);
    return a && a->isNumeric() && !a->isEnum() && a->unit() != AttrUnit::None;
}

MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName, Type unitType,
                                 double defaultValue, MStatus* ReturnStatus) {
    AttrUnit unit = attrUnitOf(unitType);
    if (unit == AttrUnit::None) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    AttrPtr a = Attribute::numeric(fullName.str(), briefName.str(), NumericType::Double, defaultValue);
    a->setUnit(unit);
    return created(*this, a, ReturnStatus, object_);
}
MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName, const MTime& defaultValue,
                                 MStatus* ReturnStatus) {
    return create(fullName, briefName, kTime, internal(defaultValue), ReturnStatus);
}
MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName,
                                 const MDistance& defaultValue, MStatus* ReturnStatus) {
    return create(fullName, briefName, kDistance, internal(defaultValue), ReturnStatus);
}
MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName,
                                 const MAngle& defaultValue, MStatus* ReturnStatus) {
    return create(fullName, briefName, kAngle, internal(defaultValue), ReturnStatus);
}

MFnUnitAttribute::Type MFnUnitAttribute::unitType(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    if (!a) return kInvalid;
    switch (a->unit()) {
        case AttrUnit::Angle:
            return kAngle;
        case AttrUnit::Distance:
            return kDistance;
        case AttrUnit::Time:
            return kTime;
        default:
            return kInvalid;
    }
}

bool MFnUnitAttribute::hasMin(MStatus* ReturnStatus) const {
    return MFnNumericAttribute(object_).hasMin(ReturnStatus);
}
bool MFnUnitAttribute::hasMax(MStatus* ReturnStatus) const {
    return MFnNumericAttribute(object_).hasMax(ReturnStatus);
}
bool MFnUnitAttribute::hasSoftMin(MStatus* ReturnStatus) const {
    return MFnNumericAttribute(object_).hasSoftMin(ReturnStatus);
}
bool MFnUnitAttribute::hasSoftMax(MStatus* ReturnStatus) const {
    return MFnNumericAttribute(object_).hasSoftMax(ReturnStatus);
}

// The getters and setters of one bound (Min, Max, SoftMin, SoftMax) in all four value forms.
#define KXH_UNIT_BOUND(Bound)                                                                \
    MStatus MFnUnitAttribute::get##Bound(double& v) const {                                  \
        return viaNumeric(object_, [&](MFnNumericAttribute& n) { return n.get##Bound(v); }); \
    }                                                                                        \
    MStatus MFnUnitAttribute::get##Bound(MTime& v) const {                                   \
        double d = 0;                                                                        \
        MStatus st = get##Bound(d);                                                          \
        if (st) v = MTime(d, MTime::kSeconds);                                               \
        return st;                                                                           \
    }                                                                                        \
    MStatus MFnUnitAttribute::get##Bound(MDistance& v) const {                               \
        double d = 0;                                                                        \
        MStatus st = get##Bound(d);                                                          \
        if (st) v = MDistance(d, MDistance::kCentimeters);                                   \
        return st;                                                                           \
    }                                                                                        \
    MStatus MFnUnitAttribute::get##Bound(MAngle& v) const {                                  \
        double d = 0;                                                                        \
        MStatus st = get##Bound(d);                                                          \
        if (st) v = MAngle(d, MAngle::kRadians);                                             \
        return st;                                                                           \
    }                                                                                        \
    MStatus MFnUnitAttribute::set##Bound(double v) {                                         \
        return viaNumeric(object_, [&](MFnNumericAttribute& n) { return n.set##Bound(v); }); \
    }                                                                                        \
    MStatus MFnUnitAttribute::set##Bound(const MTime& v) {                                   \
        return set##Bound(internal(v));                                                      \
    }                                                                                        \
    MStatus MFnUnitAttribute::set##Bound(const MDistance& v) {                               \
        return set##Bound(internal(v));                                                      \
    }                                                                                        \
    MStatus MFnUnitAttribute::set##Bound(const MAngle& v) {                                  \
        return set##Bound(internal(v));                                                      \
    }

KXH_UNIT_BOUND(Min)
KXH_UNIT_BOUND(Max)
KXH_UNIT_BOUND(SoftMin)
KXH_UNIT_BOUND(SoftMax)
#undef KXH_UNIT_BOUND

MStatus MFnUnitAttribute::getDefault(double& v) {
    return viaNumeric(object_, [&](MFnNumericAttribute& n) { return n.getDefault(v); });
}
MStatus MFnUnitAttribute::getDefault(MTime& v) {
    double d = 0;
    MStatus st = getDefault(d);
    if (st) v = MTime(d, MTime::kSeconds);
    return st;
}
MStatus MFnUnitAttribute::getDefault(MDistance& v) {
    double d = 0;
    MStatus st = getDefault(d);
    if (st) v = MDistance(d, MDistance::kCentimeters);
    return st;
}
MStatus MFnUnitAttribute::getDefault(MAngle& v) {
    double d = 0;
    MStatus st = getDefault(d);
    if (st) v = MAngle(d, MAngle::kRadians);
    return st;
}
MStatus MFnUnitAttribute::setDefault(double v) {
    return viaNumeric(object_, [&](MFnNumericAttribute& n) { return n.setDefault(v); });
}
MStatus MFnUnitAttribute::setDefault(const MTime& v) {
    return setDefault(internal(v));
}
MStatus MFnUnitAttribute::setDefault(const MDistance& v) {
    return setDefault(internal(v));
}
MStatus MFnUnitAttribute::setDefault(const MAngle& v) {
    return setDefault(internal(v));
}
