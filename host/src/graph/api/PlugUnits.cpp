// MPlug's unit forms: distances, angles and times over the stored double in internal units.
#include <maya/MPlug.h>

namespace {

template <class T, class Make>
MStatus readAs(const MPlug& plug, T& val, MDGContext& ctx, Make make) {
    double d = 0;
    MStatus st = plug.getValue(d, ctx);
    if (st) val = make(d);
    return st;
}

MDistance distanceOf(double d) {
    return MDistance(d, MDistance::kCentimeters);
}
MAngle angleOf(double d) {
    return MAngle(d, MAngle::kRadians);
}
MTime timeOf(double d) {
    return MTime(d, MTime::kSeconds);
}

}  // namespace

MStatus MPlug::getValue(MDistance& val, MDGContext& ctx) const {
    return readAs(*this, val, ctx, distanceOf);
}
MStatus MPlug::getValue(MAngle& val, MDGContext& ctx) const {
    return readAs(*this, val, ctx, angleOf);
}
MStatus MPlug::getValue(MTime& val, MDGContext& ctx) const {
    return readAs(*this, val, ctx, timeOf);
}

MStatus MPlug::setValue(const MDistance& val) {
    return setValue(val.asCentimeters());
}
MStatus MPlug::setValue(const MAngle& val) {
    return setValue(val.asRadians());
}
MStatus MPlug::setValue(const MTime& val) {
    return setValue(val.as(MTime::kSeconds));
}

MDistance MPlug::asMDistance(MDGContext& ctx, MStatus* ReturnStatus) const {
    return distanceOf(asDouble(ctx, ReturnStatus));
}
MAngle MPlug::asMAngle(MDGContext& ctx, MStatus* ReturnStatus) const {
    return angleOf(asDouble(ctx, ReturnStatus));
}
MTime MPlug::asMTime(MDGContext& ctx, MStatus* ReturnStatus) const {
    return timeOf(asDouble(ctx, ReturnStatus));
}

MStatus MPlug::setMDistance(const MDistance& val) {
    return setValue(val);
}
MStatus MPlug::setMAngle(const MAngle& val) {
    return setValue(val);
}
MStatus MPlug::setMTime(const MTime& val) {
    return setValue(val);
}
