// Points at UV positions and UVs at points: MFnMesh::getPointAtUV / getUVAtPoint and the polygon
// iterator's forms. Both work on the face's triangulation, the UV triangles being the images of the
// face's triangles in the UV set.
#include <maya/MFnMesh.h>
#include <maya/MItMeshPolygon.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "graph/api/mesh/MeshAccess.h"
#include "graph/api/mesh/MeshIterState.h"
#include "mesh/MeshBvh.h"
#include "mesh/MeshGeometry.h"

using namespace kxh;

namespace {

struct Uv {
    double u, v;
};

double cross2(const Uv& a, const Uv& b) {
    return a.u * b.v - a.v * b.u;
}
Uv minus(const Uv& a, const Uv& b) {
    return {a.u - b.u, a.v - b.v};
}

// Barycentric coordinates of p in the UV triangle (a, b, c); false for a degenerate triangle.
bool barycentric2(const Uv& p, const Uv& a, const Uv& b, const Uv& c, std::array<double, 3>& w) {
    const double d = cross2(minus(b, a), minus(c, a));
    if (std::fabs(d) < 1e-14) return false;
    w[1] = cross2(minus(p, a), minus(c, a)) / d;
    w[2] = cross2(minus(b, a), minus(p, a)) / d;
    w[0] = 1.0 - w[1] - w[2];
    return true;
}

// How far p lies outside the UV triangle, with the barycentric coordinates of the triangle's point
// nearest to p (p's own when inside).
double outside(const Uv& p, const std::array<Uv, 3>& t, std::array<double, 3>& w) {
    if (!barycentric2(p, t[0], t[1], t[2], w)) return std::numeric_limits<double>::infinity();
    if (w[0] >= 0 && w[1] >= 0 && w[2] >= 0) return 0.0;
    double best = std::numeric_limits<double>::infinity();
    for (int e = 0; e < 3; ++e) {
        const Uv& a = t[size_t(e)];
        const Uv& b = t[size_t((e + 1) % 3)];
        const Uv ab = minus(b, a), ap = minus(p, a);
        const double len2 = ab.u * ab.u + ab.v * ab.v;
        const double s = len2 > 0 ? std::clamp((ap.u * ab.u + ap.v * ab.v) / len2, 0.0, 1.0) : 0.0;
        const Uv q{a.u + s * ab.u, a.v + s * ab.v};
        const double d = std::hypot(p.u - q.u, p.v - q.v);
        if (d < best) {
            best = d;
            w = {0, 0, 0};
            w[size_t(e)] = 1 - s;
            w[size_t((e + 1) % 3)] = s;
        }
    }
    return best;
}

// Barycentric coordinates of p (on or near the triangle's plane) in the 3D triangle (a, b, c).
std::array<double, 3> barycentric3(const V3& p, const V3& a, const V3& b, const V3& c) {
    const V3 ab = b - a, ac = c - a, ap = p - a;
    const double d00 = dot(ab, ab), d01 = dot(ab, ac), d11 = dot(ac, ac);
    const double d20 = dot(ap, ab), d21 = dot(ap, ac);
    const double den = d00 * d11 - d01 * d01;
    if (std::fabs(den) < 1e-300) return {1, 0, 0};
    const double v = (d11 * d20 - d01 * d21) / den;
    const double w = (d00 * d21 - d01 * d20) / den;
    return {1 - v - w, v, w};
}

// The closest point to p on triangle (a, b, c), by clamping into its Voronoi regions.
V3 closestOnTriangle(const V3& p, const V3& a, const V3& b, const V3& c) {
    const V3 ab = b - a, ac = c - a, ap = p - a;
    const double d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return a;
    const V3 bp = p - b;
    const double d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return b;
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return a + ab * (d1 / (d1 - d3));
    const V3 cp = p - c;
    const double d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return c;
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return a + ac * (d2 / (d2 - d6));
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const double den = 1.0 / (va + vb + vc);
    return a + ab * (vb * den) + ac * (vc * den);
}

// The corners of triangle t of face f: mesh vertex ids and UV ids (-1 when the corner has no UV).
struct TriangleCorners {
    std::array<int, 3> vertex, uv;
};
TriangleCorners cornersOf(const Mesh& m, const UvSet* set, int f, int t) {
    TriangleCorners tc{};
    const std::array<int, 3> local = m.geometry().triangleCorners(f, t);
    for (size_t k = 0; k < 3; ++k) {
        const size_t fv = size_t(m.faceOffsets[size_t(f)] + local[k]);
        tc.vertex[k] = m.faceVerts[fv];
        tc.uv[k] = set ? set->faceVertUv[fv] : -1;
    }
    return tc;
}

// The object-space point of face f at (u, v): the face's UV triangle containing it, or the nearest one
// within `tolerance`.
MStatus pointAtUV(const Mesh& m, int f, const MString* uvSetName, const float2& uv, float tolerance,
                  V3& out) {
    const int s = uvSetIndex(m, uvSetName);
    if (s < 0 || f < 0 || f >= m.numFaces()) return MS::kInvalidParameter;
    const UvSet& set = m.uvSets[size_t(s)];
    const Uv p{uv[0], uv[1]};
    double bestGap = std::numeric_limits<double>::infinity();
    std::array<double, 3> bestW{};
    TriangleCorners best{};
    for (int t = 0; t < m.geometry().faceTriangleCount(f); ++t) {
        const TriangleCorners tc = cornersOf(m, &set, f, t);
        if (tc.uv[0] < 0 || tc.uv[1] < 0 || tc.uv[2] < 0) return MS::kFailure;  // the face has no UVs
        std::array<Uv, 3> tri;
        for (size_t k = 0; k < 3; ++k) tri[k] = {set.u[size_t(tc.uv[k])], set.v[size_t(tc.uv[k])]};
        std::array<double, 3> w;
        const double gap = outside(p, tri, w);
        if (gap < bestGap) {
            bestGap = gap;
            bestW = w;
            best = tc;
        }
    }
    if (bestGap > double(tolerance) + 1e-7) return MS::kFailure;
    out = m.points[size_t(best.vertex[0])] * bestW[0] + m.points[size_t(best.vertex[1])] * bestW[1] +
          m.points[size_t(best.vertex[2])] * bestW[2];
    return MS::kSuccess;
}

// The UV of the object-space point p, which lies on triangle t of face f.
MStatus uvAt(const Mesh& m, int f, int t, const V3& p, const MString* uvSetName, float2& uv) {
    const int s = uvSetIndex(m, uvSetName);
    if (s < 0) return MS::kInvalidParameter;
    const UvSet& set = m.uvSets[size_t(s)];
    const TriangleCorners tc = cornersOf(m, &set, f, t);
    if (tc.uv[0] < 0 || tc.uv[1] < 0 || tc.uv[2] < 0) return MS::kFailure;
    const std::array<double, 3> w = barycentric3(
        p, m.points[size_t(tc.vertex[0])], m.points[size_t(tc.vertex[1])], m.points[size_t(tc.vertex[2])]);
    double u = 0, v = 0;
    for (size_t k = 0; k < 3; ++k) {
        u += w[k] * set.u[size_t(tc.uv[k])];
        v += w[k] * set.v[size_t(tc.uv[k])];
    }
    uv[0] = float(u);
    uv[1] = float(v);
    return MS::kSuccess;
}

}  // namespace

MStatus MFnMesh::getPointAtUV(int faceId, MPoint& toThisPoint, float2& uvPoint, MSpace::Space space,
                              const MString* uvSet, float tolerance) {
    MeshAccess a(object_, path_);
    ConstMeshPtr m = object_.isNull() ? nullptr : a.read();
    if (!m) return MS::kFailure;
    V3 p;
    MStatus st = pointAtUV(*m, faceId, uvSet, uvPoint, tolerance, p);
    if (st) toThisPoint = toMPoint(xformPoint(p, a.toSpace(space)));
    return st;
}

MStatus MFnMesh::getUVAtPoint(MPoint& toThisPoint, float2& uvPoint, MSpace::Space space, const MString* uvSet,
                              int* closestPolygon) {
    MeshAccess a(object_, path_);
    ConstMeshPtr m = object_.isNull() ? nullptr : a.read();
    if (!m) return MS::kFailure;
    // The closest point in object space (distances measured there, as the UV is a property of the surface).
    const V3 local = xformPoint(toV3(toThisPoint), a.toObject(space));
    MeshSurfacePoint q;
    if (!meshClosestPoint(*m, local, nullptr, q)) return MS::kFailure;
    if (closestPolygon) *closestPolygon = q.face;
    return uvAt(*m, q.face, q.triangle, q.point, uvSet, uvPoint);
}

MStatus MItMeshPolygon::getPointAtUV(MPoint& pt, float2& uvPoint, MSpace::Space space, const MString* uvSet,
                                     float tolerance) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    V3 p;
    st = pointAtUV(*m, state_->current(), uvSet, uvPoint, tolerance, p);
    if (st) pt = toMPoint(xformPoint(p, state_->access().toSpace(space)));
    return st;
}

MStatus MItMeshPolygon::getUVAtPoint(MPoint& pt, float2& uvPoint, MSpace::Space space, const MString* uvSet) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const int f = state_->current();
    const V3 local = xformPoint(toV3(pt), state_->access().toObject(space));
    double bestDistance = std::numeric_limits<double>::infinity();
    int bestTriangle = -1;
    V3 bestPoint;
    for (int t = 0; t < m->geometry().faceTriangleCount(f); ++t) {
        const TriangleCorners tc = cornersOf(*m, nullptr, f, t);
        const V3 q = closestOnTriangle(local, m->points[size_t(tc.vertex[0])],
                                       m->points[size_t(tc.vertex[1])], m->points[size_t(tc.vertex[2])]);
        const double d = length(q - local);
        if (d < bestDistance) {
            bestDistance = d;
            bestTriangle = t;
            bestPoint = q;
        }
    }
    if (bestTriangle < 0) return MS::kFailure;
    return uvAt(*m, f, bestTriangle, bestPoint, uvSet, uvPoint);
}
