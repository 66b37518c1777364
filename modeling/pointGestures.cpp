#include "modeling/pointGestures.h"

#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MItMeshVertex.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MQuaternion.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "geometry/idSets.h"
#include "geometry/softSelection.h"
#include "geometry/viewPicking.h"

namespace {

// A vertex lies on the symmetry plane when its coordinate on the mirror axis is within this of 0.
const double kPlaneTolerance = 1e-05;

// Angle step of the radius circle and the angle it stops after: 61 points from 0 to just past a full turn.
const double kCircleStep = 0.10473333333333333;
const double kCircleEnd = 6.284;

bool inRange(int id, unsigned length) {
    return id >= 0 && unsigned(id) < length;
}

MFloatPoint floatPoint(const MPoint& p) {
    return MFloatPoint(float(p.x), float(p.y), float(p.z));
}
MFloatVector floatVector(const MVector& v) {
    return MFloatVector(float(v.x), float(v.y), float(v.z));
}

}  // namespace

// --- mirror and limits ------------------------------------------------------------------------------------

double GestureMirror::planeCoordinate(const MPoint& world) const {
    const MPoint local = world * toMirror;
    return local[unsigned(axis)];
}

bool GestureMirror::onPlane(const MPoint& world) const {
    return std::fabs(planeCoordinate(world)) <= kPlaneTolerance;
}

MPoint GestureMirror::ontoPlane(const MPoint& world) const {
    MPoint local = world * toMirror;
    local[unsigned(axis)] = 0.0;
    return local * toWorld;
}

MPoint GestureMirror::reflect(const MPoint& world) const {
    MPoint local = world * toMirror;
    local[unsigned(axis)] = -local[unsigned(axis)];
    return local * toWorld;
}

GestureMirror gestureMirrorFor(const MDagPath& mesh, bool enabled, int axis, bool worldSpace) {
    GestureMirror mirror;
    mirror.enabled = enabled;
    mirror.axis = axis < 0 ? 0 : (axis > 2 ? 2 : axis);
    if (!worldSpace && mesh.isValid()) {
        mirror.toWorld = mesh.inclusiveMatrix();
        mirror.toMirror = mesh.inclusiveMatrixInverse();
    }
    return mirror;
}

MPoint PointLimits::apply(int id, const MPoint& proposed, const MPoint& before) const {
    if (isPinned(id)) return before;
    MPoint p = proposed;
    if (lockX) p.x = before.x;
    if (lockY) p.y = before.y;
    if (lockZ) p.z = before.z;
    return p;
}

// --- soft region ------------------------------------------------------------------------------------------

std::vector<MIntArray> vertexNeighbours(const MDagPath& mesh) {
    std::vector<MIntArray> neighbours;
    MStatus st;
    MFnMesh fn(mesh, &st);
    if (!st) return neighbours;
    neighbours.resize(size_t(std::max(0, fn.numVertices())));
    // A whole-mesh iterator visits the vertices in index order.
    size_t v = 0;
    for (MItMeshVertex it(mesh, MObject::kNullObj, &st); st && !it.isDone() && v < neighbours.size();
         it.next())
        it.getConnectedVertices(neighbours[v++]);
    return neighbours;
}

void buildSoftRegion(const rayIntersectionData& hit, const rayIntersectionData& mirrorHit, bool mirror,
                     double radius, const MPointArray& positions, const std::vector<MIntArray>& neighbours,
                     SoftRegion& region) {
    region.mirrorIds.clear();
    region.mirrorWeights.clear();
    std::vector<unsigned char> visited;
    softSelectionWeights(hit, region.ids, region.weights, visited, positions, neighbours, radius);

    // The overlap flags exist for every vertex so that callers may index them by vertex id; without mirror
    // they are all 0.
    region.overlap = MIntArray(positions.length(), 0);
    if (!mirror) return;
    std::vector<unsigned char> mirrorVisited;
    softSelectionWeights(mirrorHit, region.mirrorIds, region.mirrorWeights, mirrorVisited, positions,
                         neighbours, radius);
    const MIntArray both = intersectIds(region.ids, region.mirrorIds);
    for (unsigned i = 0; i < both.length(); ++i)
        if (inRange(both[i], region.overlap.length())) region.overlap[unsigned(both[i])] = 1;
}

// --- grab and smooth --------------------------------------------------------------------------------------

MVector mirroredDisplacement(const MPoint& hitPoint, const MPoint& target, const GestureMirror& mirror) {
    return mirror.reflect(target) - mirror.reflect(hitPoint);
}

void grabPoints(const MPointArray& before, MPointArray& after, const SoftRegion& region, const MVector& d,
                const MVector& dm, double intensity, bool keepPlane, const GestureMirror& mirror,
                const PointLimits& limits) {
    const unsigned count = std::min(before.length(), after.length());
    const unsigned direct = std::min(region.ids.length(), region.weights.length());
    for (unsigned i = 0; i < direct; ++i) {
        const int id = region.ids[i];
        if (!inRange(id, count)) continue;
        const MPoint& b = before[unsigned(id)];
        MPoint e = b + d * (region.weights[i] * intensity);
        if (keepPlane && mirror.onPlane(b)) e = mirror.ontoPlane(e);
        after[unsigned(id)] = limits.apply(id, e, b);
    }
    if (!mirror.enabled) return;

    // The mirror side moves by the reflected displacement. A vertex of both sides (on or near the plane)
    // starts from where the direct side put it, so it takes both moves; the plane keep applies here too,
    // or the mirror move would take a kept plane vertex off the plane again.
    const unsigned mirrored = std::min(region.mirrorIds.length(), region.mirrorWeights.length());
    for (unsigned i = 0; i < mirrored; ++i) {
        const int id = region.mirrorIds[i];
        if (!inRange(id, count)) continue;
        const MPoint& b = before[unsigned(id)];
        const bool overlaps = inRange(id, region.overlap.length()) && region.overlap[unsigned(id)] == 1;
        MPoint e = (overlaps ? after[unsigned(id)] : b) + dm * (region.mirrorWeights[i] * intensity);
        if (keepPlane && mirror.onPlane(b)) e = mirror.ontoPlane(e);
        after[unsigned(id)] = limits.apply(id, e, b);
    }
}

void smoothPoints(const MPointArray& before, MPointArray& after, const SoftRegion& region,
                  const std::vector<MIntArray>& neighbours, const MVectorArray& normals, double strength,
                  double pushDistance, bool keepPlane, const GestureMirror& mirror,
                  const PointLimits& limits) {
    const unsigned count = std::min(before.length(), after.length());

    // The region's vertices with their summed weights, in ascending vertex order. Only the region is
    // gathered and sorted, so the step costs what it touches, not the mesh.
    std::vector<std::pair<int, double>> touched;
    touched.reserve(region.ids.length() + (mirror.enabled ? region.mirrorIds.length() : 0));
    const unsigned direct = std::min(region.ids.length(), region.weights.length());
    for (unsigned i = 0; i < direct; ++i)
        if (inRange(region.ids[i], count)) touched.emplace_back(region.ids[i], region.weights[i]);
    if (mirror.enabled) {
        const unsigned mirrored = std::min(region.mirrorIds.length(), region.mirrorWeights.length());
        for (unsigned i = 0; i < mirrored; ++i)
            if (inRange(region.mirrorIds[i], count))
                touched.emplace_back(region.mirrorIds[i], region.mirrorWeights[i]);
    }
    std::sort(
        touched.begin(), touched.end(),
        [](const std::pair<int, double>& a, const std::pair<int, double>& b) { return a.first < b.first; });
    size_t kept = 0;
    for (size_t i = 0; i < touched.size(); ++i) {
        if (kept && touched[kept - 1].first == touched[i].first)
            touched[kept - 1].second += touched[i].second;
        else
            touched[kept++] = touched[i];
    }
    touched.resize(kept);

    for (auto& [v, weight] : touched) {
        // A vertex of both sides is counted once: half of its two weights.
        if (mirror.enabled && inRange(v, region.overlap.length()) && region.overlap[unsigned(v)] == 1)
            weight *= 0.5;
        const MPoint p = after[unsigned(v)];
        MVector sum(0, 0, 0);
        unsigned n = 0;
        if (size_t(v) < neighbours.size()) {
            const MIntArray& around = neighbours[size_t(v)];
            for (unsigned k = 0; k < around.length(); ++k) {
                if (!inRange(around[k], count)) continue;
                sum += MVector(after[unsigned(around[k])]);
                ++n;
            }
        }
        const MPoint mean = n ? MPoint(sum / double(n)) : p;
        MPoint q = p - (p - mean) * (strength * weight);
        if (inRange(v, normals.length())) q += normals[unsigned(v)] * pushDistance;
        if (keepPlane && mirror.onPlane(p)) q = mirror.ontoPlane(q);
        after[unsigned(v)] = limits.apply(v, q, before[unsigned(v)]);
    }
}

// --- slide ------------------------------------------------------------------------------------------------

void slideOntoSurface(const SlideProjection& slide, const MPointArray& before, MPointArray& after,
                      const MVectorArray& normals, const SoftRegion& region, const MPoint& hitPoint,
                      const GestureMirror& mirror, const PointLimits& limits) {
    if (!slide.surface.isValid()) return;
    MStatus st;
    MFnMesh surface(slide.surface, &st);
    if (!st) return;
    const unsigned count = std::min(before.length(), after.length());

    auto project = [&](int id, bool mirrorSide) {
        if (!inRange(id, count) || limits.isPinned(id)) return;
        MVector direction;
        if (slide.normalDirection == 1)
            direction = mirrorSide ? slide.mirroredViewDirection : slide.viewDirection;
        else if (inRange(id, normals.length()))
            direction = normals[unsigned(id)];
        else
            return;
        MFloatPoint hit;
        MStatus castStatus;
        const bool found = surface.closestIntersection(
            floatPoint(after[unsigned(id)]), floatVector(direction), nullptr, nullptr, false, MSpace::kWorld,
            kMaxRayParameter, true, &pickAccelParams(), hit, nullptr, nullptr, nullptr, nullptr, nullptr,
            kRayTolerance, &castStatus);
        if (castStatus == MS::kInvalidParameter)
            MGlobal::displayError("intersection test resulted in a param");
        else if (castStatus == MS::kFailure)
            MGlobal::displayError("intersection test resulted in a failure");
        if (found) after[unsigned(id)] = MPoint(hit.x, hit.y, hit.z);
    };

    if (!mirror.enabled) {
        for (unsigned i = 0; i < region.ids.length(); ++i) project(region.ids[i], false);
        return;
    }
    // Each side is projected once: the direct ids on the hit's side, the mirror ids on the other.
    const unsigned axis = unsigned(mirror.axis);
    const bool hitSide = hitPoint[axis] >= 0.0;
    for (unsigned i = 0; i < region.ids.length(); ++i) {
        const int id = region.ids[i];
        if (inRange(id, count) && (before[unsigned(id)][axis] >= 0.0) == hitSide) project(id, false);
    }
    for (unsigned i = 0; i < region.mirrorIds.length(); ++i) {
        const int id = region.mirrorIds[i];
        if (inRange(id, count) && (before[unsigned(id)][axis] >= 0.0) != hitSide) project(id, true);
    }
}

MStatus makeSlideCopy(const MDagPath& mesh, MDagPath& copy) {
    MStatus st;
    MFnDagNode source(mesh, &st);
    if (!st) return st;
    const MObject duplicate = source.duplicate(false, false, &st);
    if (st) st = MDagPath::getAPathTo(duplicate, copy);
    if (st) st = copy.extendToShape();
    if (!st) {
        st.perror("cannot get the dagePath to the new node");
        return st;
    }
    MFnDependencyNode shape(copy.node(), &st);
    MPlug intermediate;
    if (st) intermediate = shape.findPlug("intermediateObject", true, &st);
    if (!st) {
        st.perror("cannot find intermediateObject plug");
        return st;
    }
    return intermediate.setValue(true);
}

// --- radius -----------------------------------------------------------------------------------------------

double radiusFromDrag(double radiusAtPress, double distance, bool cursorRight) {
    const double radius = cursorRight ? radiusAtPress + distance : radiusAtPress - distance;
    return radius < 0.0 ? 0.0 : radius;
}

MPointArray radiusCircle(M3dView& view, short pressX, short pressY, const MPoint& centre, double radius,
                         float unitFactor) {
    MPointArray circle;
    MPoint nearPoint;
    MVector ray;
    if (!view.viewToWorld(pressX, pressY, nearPoint, ray)) return circle;
    const MMatrix rotation = MQuaternion(MVector(0, 0, 1), ray).asMatrix();
    const MVector offset(centre);
    for (int k = 0;; ++k) {
        const double a = k * kCircleStep;
        if (a > kCircleEnd) break;
        const MPoint q = MPoint(radius * std::cos(a), radius * std::sin(a), 0) * rotation + offset;
        // Drawn just beyond the near plane, where the circle stays in front of the mesh.
        short x = 0, y = 0;
        view.worldToView(q, x, y);
        MPoint onNear;
        MVector direction;
        view.viewToWorld(x, y, onNear, direction);
        circle.append(onNear + direction * double(unitFactor));
    }
    return circle;
}
