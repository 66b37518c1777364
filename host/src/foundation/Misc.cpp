// Bounding boxes, colours, units, API kind names and the extra members of the point/vector/colour arrays.
#include <maya/MAngle.h>
#include <maya/MBoundingBox.h>
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MDistance.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MFn.h>
#include <maya/MMatrix.h>
#include <maya/MPointArray.h>
#include <maya/MVectorArray.h>

#include <algorithm>
#include <cmath>
#include <ostream>

// ---- MBoundingBox ----

MBoundingBox::MBoundingBox(const MPoint& corner1, const MPoint& corner2) {
    expand(corner1);
    expand(corner2);
}

void MBoundingBox::clear() {
    min_ = max_ = MPoint::origin;
    empty_ = true;
}

void MBoundingBox::transformUsing(const MMatrix& matrix) {
    if (empty_) return;
    MBoundingBox out;
    for (int i = 0; i < 8; ++i) {
        MPoint corner(i & 1 ? max_.x : min_.x, i & 2 ? max_.y : min_.y, i & 4 ? max_.z : min_.z);
        out.expand((corner * matrix).cartesianize());
    }
    *this = out;
}

void MBoundingBox::expand(const MPoint& point) {
    MPoint p(point);
    p.cartesianize();
    if (empty_) {
        min_ = max_ = MPoint(p.x, p.y, p.z);
        empty_ = false;
        return;
    }
    min_.x = std::min(min_.x, p.x), min_.y = std::min(min_.y, p.y), min_.z = std::min(min_.z, p.z);
    max_.x = std::max(max_.x, p.x), max_.y = std::max(max_.y, p.y), max_.z = std::max(max_.z, p.z);
}

void MBoundingBox::expand(const MBoundingBox& box) {
    if (box.empty_) return;
    expand(box.min_);
    expand(box.max_);
}

bool MBoundingBox::contains(const MPoint& point) const {
    if (empty_) return false;
    MPoint p(point);
    p.cartesianize();
    return p.x >= min_.x && p.x <= max_.x && p.y >= min_.y && p.y <= max_.y && p.z >= min_.z && p.z <= max_.z;
}

bool MBoundingBox::intersects(const MBoundingBox& box, double tol) const {
    if (empty_ || box.empty_) return false;
    return min_.x <= box.max_.x + tol && box.min_.x <= max_.x + tol && min_.y <= box.max_.y + tol &&
           box.min_.y <= max_.y + tol && min_.z <= box.max_.z + tol && box.min_.z <= max_.z + tol;
}

double MBoundingBox::width() const {
    return max_.x - min_.x;
}
double MBoundingBox::height() const {
    return max_.y - min_.y;
}
double MBoundingBox::depth() const {
    return max_.z - min_.z;
}
MPoint MBoundingBox::center() const {
    return MPoint(0.5 * (min_.x + max_.x), 0.5 * (min_.y + max_.y), 0.5 * (min_.z + max_.z));
}
MPoint MBoundingBox::min() const {
    return min_;
}
MPoint MBoundingBox::max() const {
    return max_;
}

// ---- MColor ----

MColor::MColor(MColorType colorModel, float c1, float c2, float c3, float alpha)
    : r(0.0f), g(0.0f), b(0.0f), a(alpha) {
    set(colorModel, c1, c2, c3, alpha);
}

// HSV takes hue in degrees and saturation/value in [0, 1]; CMY(K) is the complement of RGB (no black
// channel is given through these three-component calls, so K is taken as 0).
bool MColor::set(MColorType colorModel, float c1, float c2, float c3, float alpha) {
    a = alpha;
    switch (colorModel) {
        case kRGB:
            r = c1, g = c2, b = c3;
            return true;
        case kCMY:
        case kCMYK:
            r = 1.0f - c1, g = 1.0f - c2, b = 1.0f - c3;
            return true;
        case kHSV: {
            float h = std::fmod(c1, 360.0f);
            if (h < 0.0f) h += 360.0f;
            float s = c2, v = c3;
            float c = v * s;
            float hp = h / 60.0f;
            float x = c * (1.0f - std::fabs(std::fmod(hp, 2.0f) - 1.0f));
            float rr = 0, gg = 0, bb = 0;
            switch (static_cast<int>(hp) % 6) {
                case 0:
                    rr = c, gg = x;
                    break;
                case 1:
                    rr = x, gg = c;
                    break;
                case 2:
                    gg = c, bb = x;
                    break;
                case 3:
                    gg = x, bb = c;
                    break;
                case 4:
                    rr = x, bb = c;
                    break;
                default:
                    rr = c, bb = x;
                    break;
            }
            float m = v - c;
            r = rr + m, g = gg + m, b = bb + m;
            return true;
        }
    }
    return false;
}

bool MColor::get(MColorType colorModel, float& c1, float& c2, float& c3) const {
    switch (colorModel) {
        case kRGB:
            c1 = r, c2 = g, c3 = b;
            return true;
        case kCMY:
        case kCMYK:
            c1 = 1.0f - r, c2 = 1.0f - g, c3 = 1.0f - b;
            return true;
        case kHSV: {
            float mx = std::max({r, g, b}), mn = std::min({r, g, b});
            float d = mx - mn;
            float h = 0.0f;
            if (d > 0.0f) {
                if (mx == r)
                    h = 60.0f * std::fmod((g - b) / d, 6.0f);
                else if (mx == g)
                    h = 60.0f * ((b - r) / d + 2.0f);
                else
                    h = 60.0f * ((r - g) / d + 4.0f);
                if (h < 0.0f) h += 360.0f;
            }
            c1 = h;
            c2 = mx > 0.0f ? d / mx : 0.0f;
            c3 = mx;
            return true;
        }
    }
    return false;
}

bool MColor::isEquivalent(const MColor& o, float tol) const {
    return std::fabs(r - o.r) <= tol && std::fabs(g - o.g) <= tol && std::fabs(b - o.b) <= tol &&
           std::fabs(a - o.a) <= tol;
}

std::ostream& operator<<(std::ostream& os, const MColor& c) {
    return os << "[" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << "]";
}

// ---- MDistance ----

namespace {

MDistance::Unit gDistanceUIUnit = MDistance::kCentimeters;
MAngle::Unit gAngleUIUnit = MAngle::kDegrees;

// Centimetres per unit; 0 for invalid units.
double centimetersPer(MDistance::Unit unit) {
    switch (unit) {
        case MDistance::kInches:
            return 2.54;
        case MDistance::kFeet:
            return 30.48;
        case MDistance::kYards:
            return 91.44;
        case MDistance::kMiles:
            return 160934.4;
        case MDistance::kMillimeters:
            return 0.1;
        case MDistance::kCentimeters:
            return 1.0;
        case MDistance::kKilometers:
            return 100000.0;
        case MDistance::kMeters:
            return 100.0;
        default:
            return 0.0;
    }
}

// Radians per unit; 0 for invalid units.
double radiansPer(MAngle::Unit unit) {
    constexpr double pi = 3.14159265358979323846;
    switch (unit) {
        case MAngle::kRadians:
            return 1.0;
        case MAngle::kDegrees:
            return pi / 180.0;
        case MAngle::kAngMinutes:
            return pi / 10800.0;
        case MAngle::kAngSeconds:
            return pi / 648000.0;
        default:
            return 0.0;
    }
}

// MDistance and MAngle share their unit handling: `per` gives the size of a unit in the internal one
// (centimetres, radians), 0 for an invalid unit.
template <class Unit>
MStatus setValidUnit(Unit& target, Unit newUnit, double (*per)(Unit)) {
    if (per(newUnit) == 0.0) return MStatus::kInvalidParameter;
    target = newUnit;
    return MStatus::kSuccess;
}

template <class Unit>
double convert(double value, Unit unit, Unit otherUnit, double (*per)(Unit), MStatus* ReturnStatus) {
    double from = per(unit), to = per(otherUnit);
    if (from == 0.0 || to == 0.0) {
        if (ReturnStatus) *ReturnStatus = MStatus::kInvalidParameter;
        return 0.0;
    }
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return otherUnit == unit ? value : value * from / to;
}

}  // namespace

MStatus MDistance::setUnit(Unit newUnit) {
    return setValidUnit(unit_, newUnit, centimetersPer);
}
MStatus MDistance::setValue(double newValue) {
    value_ = newValue;
    return MStatus::kSuccess;
}
double MDistance::as(Unit otherUnit, MStatus* ReturnStatus) const {
    return convert(value_, unit_, otherUnit, centimetersPer, ReturnStatus);
}
MDistance::Unit MDistance::uiUnit() {
    return gDistanceUIUnit;
}
MStatus MDistance::setUIUnit(Unit newUnit) {
    return setValidUnit(gDistanceUIUnit, newUnit, centimetersPer);
}
MDistance::Unit MDistance::internalUnit() {
    return kCentimeters;
}
double MDistance::internalToUI(double internalValue) {
    return MDistance(internalValue).as(uiUnit());
}
double MDistance::uiToInternal(double uiValue) {
    return MDistance(uiValue, uiUnit()).as(kCentimeters);
}

// ---- MAngle ----

MStatus MAngle::setUnit(Unit newUnit) {
    return setValidUnit(unit_, newUnit, radiansPer);
}
MStatus MAngle::setValue(double newValue) {
    value_ = newValue;
    return MStatus::kSuccess;
}
double MAngle::as(Unit otherUnit, MStatus* ReturnStatus) const {
    return convert(value_, unit_, otherUnit, radiansPer, ReturnStatus);
}
MAngle::Unit MAngle::uiUnit() {
    return gAngleUIUnit;
}
MStatus MAngle::setUIUnit(Unit newUnit) {
    return setValidUnit(gAngleUIUnit, newUnit, radiansPer);
}
MAngle::Unit MAngle::internalUnit() {
    return kRadians;
}
double MAngle::internalToUI(double internalValue) {
    return MAngle(internalValue).as(uiUnit());
}
double MAngle::uiToInternal(double uiValue) {
    return MAngle(uiValue, uiUnit()).as(kRadians);
}

// ---- MFn kinds ----

namespace kxh {

const char* apiTypeName(MFn::Type type) {
    switch (type) {
#define KXH_MFN_TYPE(name, number, parent) \
    case MFn::name:                        \
        return #name;
#include <maya/detail/MFnTypeList.h>
#undef KXH_MFN_TYPE
        default:
            return "kInvalid";
    }
}

MFn::Type apiTypeParent(MFn::Type type) {
    switch (type) {
#define KXH_MFN_TYPE(name, number, parent) \
    case MFn::name:                        \
        return MFn::parent;
#include <maya/detail/MFnTypeList.h>
#undef KXH_MFN_TYPE
        default:
            return MFn::kInvalid;
    }
}

bool apiTypeIsA(MFn::Type type, MFn::Type base) {
    if (base == MFn::kInvalid) return type == MFn::kInvalid;
    for (MFn::Type t = type; t != MFn::kInvalid; t = apiTypeParent(t))
        if (t == base) return true;
    return false;
}

}  // namespace kxh

// ---- array extras ----

MPointArray::MPointArray(const double src[][4], unsigned int count) {
    for (unsigned int i = 0; i < count; ++i) items_.emplace_back(src[i]);
}
MPointArray::MPointArray(const float src[][4], unsigned int count) {
    for (unsigned int i = 0; i < count; ++i) items_.emplace_back(src[i]);
}
MStatus MPointArray::set(unsigned int index, double x, double y, double z, double w) {
    return set(MPoint(x, y, z, w), index);
}
MStatus MPointArray::set(const double element[4], unsigned int index) {
    return set(MPoint(element), index);
}
MStatus MPointArray::set(const float element[4], unsigned int index) {
    return set(MPoint(element), index);
}
MStatus MPointArray::get(double dest[][4]) const {
    for (size_t i = 0; i < items_.size(); ++i) items_[i].get(dest[i]);
    return MStatus::kSuccess;
}
MStatus MPointArray::get(float dest[][4]) const {
    for (size_t i = 0; i < items_.size(); ++i) items_[i].get(dest[i]);
    return MStatus::kSuccess;
}
MStatus MPointArray::append(double x, double y, double z, double w) {
    return append(MPoint(x, y, z, w));
}

MFloatPointArray::MFloatPointArray(const float src[][4], unsigned int count) {
    for (unsigned int i = 0; i < count; ++i) items_.emplace_back(src[i]);
}
MFloatPointArray::MFloatPointArray(const double src[][4], unsigned int count) {
    for (unsigned int i = 0; i < count; ++i) items_.emplace_back(src[i]);
}
MStatus MFloatPointArray::set(unsigned int index, float x, float y, float z, float w) {
    return set(MFloatPoint(x, y, z, w), index);
}
MStatus MFloatPointArray::get(float dest[][4]) const {
    for (size_t i = 0; i < items_.size(); ++i) items_[i].get(dest[i]);
    return MStatus::kSuccess;
}
MStatus MFloatPointArray::get(double dest[][4]) const {
    for (size_t i = 0; i < items_.size(); ++i) items_[i].get(dest[i]);
    return MStatus::kSuccess;
}
MStatus MFloatPointArray::append(float x, float y, float z, float w) {
    return append(MFloatPoint(x, y, z, w));
}

MVectorArray::MVectorArray(const double src[][3], unsigned int count) {
    for (unsigned int i = 0; i < count; ++i) items_.emplace_back(src[i]);
}
MVectorArray::MVectorArray(const float src[][3], unsigned int count) {
    for (unsigned int i = 0; i < count; ++i) items_.emplace_back(src[i]);
}
MStatus MVectorArray::set(const double element[3], unsigned int index) {
    return set(MVector(element), index);
}
MStatus MVectorArray::set(const float element[3], unsigned int index) {
    return set(MVector(element), index);
}
MStatus MVectorArray::get(double dest[][3]) const {
    for (size_t i = 0; i < items_.size(); ++i) items_[i].get(dest[i]);
    return MStatus::kSuccess;
}
MStatus MVectorArray::get(float dest[][3]) const {
    for (size_t i = 0; i < items_.size(); ++i)
        dest[i][0] = float(items_[i].x), dest[i][1] = float(items_[i].y), dest[i][2] = float(items_[i].z);
    return MStatus::kSuccess;
}

MFloatVectorArray::MFloatVectorArray(const float src[][3], unsigned int count) {
    for (unsigned int i = 0; i < count; ++i) items_.emplace_back(src[i]);
}
MStatus MFloatVectorArray::set(const float element[3], unsigned int index) {
    return set(MFloatVector(element), index);
}
MStatus MFloatVectorArray::get(float dest[][3]) const {
    for (size_t i = 0; i < items_.size(); ++i) items_[i].get(dest[i]);
    return MStatus::kSuccess;
}

MStatus MColorArray::set(unsigned int index, float r, float g, float b, float a) {
    return set(MColor(r, g, b, a), index);
}
MStatus MColorArray::append(float r, float g, float b, float a) {
    return append(MColor(r, g, b, a));
}
