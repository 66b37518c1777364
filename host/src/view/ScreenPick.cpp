#include "view/ScreenPick.h"

#include <maya/MDagPath.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnMesh.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "graph/api/ApiObject.h"
#include "graph/core/Scene.h"
#include "mesh/MeshGeometry.h"

namespace kxh::view {

namespace {

bool flagOn(Node& n, const char* name) {
    Plug p = n.findPlug(name);
    return !p.isNull() && n.scene().evaluate(p).asBool();
}

// Whether the segment a -> b passes through the world-space bounds of a shape's mesh (its object box
// carried to world space).
bool segmentMeetsBounds(Node& shape, const Mesh& mesh, const V3& a, const V3& b) {
    if (mesh.numVertices() == 0) return false;
    const MeshGeometry& g = mesh.geometry();
    const V3 lo = g.bboxMin(), hi = g.bboxMax();
    const Matrix44 w = shape.inclusiveMatrix();
    V3 wlo{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
           std::numeric_limits<double>::max()};
    V3 whi = wlo * -1.0;
    for (int c = 0; c < 8; ++c) {
        V3 p = w.transformPoint(V3{c & 1 ? hi.x : lo.x, c & 2 ? hi.y : lo.y, c & 4 ? hi.z : lo.z});
        wlo = V3{std::min(wlo.x, p.x), std::min(wlo.y, p.y), std::min(wlo.z, p.z)};
        whi = V3{std::max(whi.x, p.x), std::max(whi.y, p.y), std::max(whi.z, p.z)};
    }
    // Slab test with a little slack for flat boxes and rounding.
    const double pad = 1e-6 * (1.0 + length(whi - wlo));
    double t0 = 0, t1 = 1;
    const double o[3] = {a.x, a.y, a.z}, d[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
    const double mn[3] = {wlo.x - pad, wlo.y - pad, wlo.z - pad},
                 mx[3] = {whi.x + pad, whi.y + pad, whi.z + pad};
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(d[i]) < 1e-300) {
            if (o[i] < mn[i] || o[i] > mx[i]) return false;
            continue;
        }
        double ta = (mn[i] - o[i]) / d[i], tb = (mx[i] - o[i]) / d[i];
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1) return false;
    }
    return true;
}

}  // namespace

bool isDrawnMesh(Node& shape, bool selectable) {
    if (!shape.alive() || shape.typeName() != "mesh" || shape.isIntermediate()) return false;
    for (Node* n = &shape; n && !n->isWorld(); n = n->parent()) {
        if (!flagOn(*n, "visibility")) return false;
        if (selectable && flagOn(*n, "template")) return false;
    }
    return true;
}

bool pickSurface(const Projection& projection, double x, double y, bool selectable, SurfaceHit& out) {
    out = SurfaceHit();
    V3 nearPt, farPt;
    projection.ray(x, y, nearPt, farPt);
    const V3 seg = farPt - nearPt;
    if (length(seg) == 0 || !isFinite(nearPt) || !isFinite(farPt)) return false;
    Scene& scene = Scene::current();
    bool found = false;
    double bestT = 2.0;
    for (const NodePtr& node : scene.nodesOfType("mesh")) {
        if (!isDrawnMesh(*node, selectable)) continue;
        MeshPtr mesh = scene.shapeMesh(*node);
        if (!mesh || !segmentMeetsBounds(*node, *mesh, nearPt, farPt)) continue;
        MFnMesh fn(pathTo(*node));
        MFloatPoint hit;
        float t = 0;
        int face = -1;
        const bool ok = fn.closestIntersection(MFloatPoint(float(nearPt.x), float(nearPt.y), float(nearPt.z)),
                                               MFloatVector(float(seg.x), float(seg.y), float(seg.z)),
                                               nullptr, nullptr, false, MSpace::kWorld, 1.0f, false, nullptr,
                                               hit, &t, &face, nullptr, nullptr, nullptr, 1e-6f);
        if (!ok || t < 0 || t > 1 || t >= bestT) continue;
        bestT = t;
        found = true;
        out.shape = node.get();
        out.face = face;
        out.point = nearPt + seg * double(t);
    }
    if (!found) return false;
    out.depth = dot(out.point - projection.camera().eye, projection.camera().dir);
    out.depthValue = std::clamp(projection.depthValue(out.depth), 0.0, 1.0);
    return true;
}

}  // namespace kxh::view
