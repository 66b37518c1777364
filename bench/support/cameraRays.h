// The camera every pick benchmark casts from: above a mesh's world-space extent, looking down and forward
// at random points of it, so that every ray hits the mesh as a cursor over it would.
#pragma once

#include <maya/MDagPath.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnMesh.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MVector.h>

#include <algorithm>
#include <random>

namespace kxbench {

struct CameraAbove {
    MPointArray worldPoints;  // the mesh's points in world space
    MPoint lo, hi;            // their bounding box
    MPoint eye;               // above the middle of the box, toward +z

    explicit CameraAbove(const MDagPath& mesh) {
        MFnMesh(mesh).getPoints(worldPoints, MSpace::kWorld);
        lo = hi = worldPoints[0];
        for (unsigned i = 0; i < worldPoints.length(); ++i) {
            const MPoint& p = worldPoints[i];
            lo = MPoint(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
            hi = MPoint(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
        }
        eye = MPoint((lo.x + hi.x) / 2, hi.y + 60, (lo.z + hi.z) / 2 + 30);
    }

    // A ray from the eye toward a random point of the box's middle height; draws two numbers from `u`.
    template <class Rng>
    void randomRay(Rng& rng, std::uniform_real_distribution<double>& u, MFloatPoint& origin,
                   MFloatVector& direction) const {
        const MPoint target(lo.x + u(rng) * (hi.x - lo.x), (lo.y + hi.y) / 2, lo.z + u(rng) * (hi.z - lo.z));
        const MVector d = target - eye;
        origin = MFloatPoint(float(eye.x), float(eye.y), float(eye.z));
        direction = MFloatVector(float(d.x), float(d.y), float(d.z));
    }
};

}  // namespace kxbench
