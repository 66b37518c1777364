// The baseline every pick figure is measured against: one rtcIntersect1 on a plain Embree scene, with
// nothing around it but filling the ray.
#pragma once

#include <embree3/rtcore.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>

namespace kxbench {

// One raw cast from `origin` along `direction` (up to 1e6 units). Returns the hit triangle's primitive id,
// RTC_INVALID_GEOMETRY_ID when nothing was hit.
inline unsigned rawCast(RTCScene scene, const MFloatPoint& origin, const MFloatVector& direction) {
    RTCIntersectContext ctx;
    rtcInitIntersectContext(&ctx);
    RTCRayHit rh;
    rh.ray.org_x = origin.x;
    rh.ray.org_y = origin.y;
    rh.ray.org_z = origin.z;
    rh.ray.dir_x = direction.x;
    rh.ray.dir_y = direction.y;
    rh.ray.dir_z = direction.z;
    rh.ray.tnear = 0;
    rh.ray.tfar = 1e6f;
    rh.ray.time = 0;
    rh.ray.mask = 0xFFFFFFFFu;
    rh.ray.id = 0;
    rh.ray.flags = 0;
    rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
    rh.hit.primID = RTC_INVALID_GEOMETRY_ID;
    rh.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
    rtcIntersect1(scene, &ctx, &rh);
    return rh.hit.geomID == RTC_INVALID_GEOMETRY_ID ? RTC_INVALID_GEOMETRY_ID : rh.hit.primID;
}

}  // namespace kxbench
