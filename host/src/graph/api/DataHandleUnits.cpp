// MDataHandle's older and unit forms: asLong (an int), distances, angles and times over the stored double,
// and the two- and three-number setters by name.
#include <maya/MDataHandle.h>

int& MDataHandle::asLong() const {
    return asInt();
}
int2& MDataHandle::asLong2() const {
    return asInt2();
}
int3& MDataHandle::asLong3() const {
    return asInt3();
}

MDistance MDataHandle::asDistance() const {
    return MDistance(asDouble(), MDistance::kCentimeters);
}
MAngle MDataHandle::asAngle() const {
    return MAngle(asDouble(), MAngle::kRadians);
}
MTime MDataHandle::asTime() const {
    return MTime(asDouble(), MTime::kSeconds);
}

void MDataHandle::set(const MDistance& val) {
    set(val.asCentimeters());
}
void MDataHandle::set(const MAngle& val) {
    set(val.asRadians());
}
void MDataHandle::set(const MTime& val) {
    set(val.as(MTime::kSeconds));
}
void MDataHandle::setMDistance(const MDistance& val) {
    set(val);
}
void MDataHandle::setMAngle(const MAngle& val) {
    set(val);
}
void MDataHandle::setMTime(const MTime& val) {
    set(val);
}

void MDataHandle::set2Short(short a, short b) {
    set(a, b);
}
void MDataHandle::set2Int(int a, int b) {
    set(a, b);
}
void MDataHandle::set2Float(float a, float b) {
    set(a, b);
}
void MDataHandle::set3Short(short a, short b, short c) {
    set(a, b, c);
}
