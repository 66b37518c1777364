// The queries of MeshBvh.h: ray casts and closest points through the chunked Embree BVH (MeshBvhChunks.h),
// with parameters, barycentrics and points computed again in double on the triangle Embree found.
#include <embree3/rtcore.h>

#include <algorithm>
#include <cmath>

#include "mesh/MeshBvh.h"
#include "mesh/MeshBvhChunks.h"
#include "mesh/MeshMath.h"

namespace kxh {

namespace {

// --- exact triangle tests --------------------------------------------------------------------------------
struct TriPoints {
    V3 a, b, c;
};

TriPoints trianglePoints(const Mesh& mesh, const std::array<int, 3>& vs) {
    return {mesh.points[size_t(vs[0])], mesh.points[size_t(vs[1])], mesh.points[size_t(vs[2])]};
}

// Möller-Trumbore in double: t and the barycentrics u (weight of b) and v (weight of c) of the ray's
// crossing with the triangle's plane. False when the ray is parallel to it or the triangle degenerate.
bool rayPlane(const V3& o, const V3& d, const TriPoints& tri, double& t, double& u, double& v) {
    const V3 e1 = tri.b - tri.a, e2 = tri.c - tri.a;
    const V3 p = cross(d, e2);
    const double det = dot(e1, p);
    const double scale = length(e1) * length(e2) * length(d);
    if (scale == 0 || std::fabs(det) <= 1e-14 * scale) return false;
    const double inv = 1.0 / det;
    const V3 s = o - tri.a;
    const V3 q = cross(s, e1);
    u = dot(s, p) * inv;
    v = dot(d, q) * inv;
    t = dot(e2, q) * inv;
    return true;
}

// The exact test the listed-triangle search uses: inside with `tol` of slack on the barycentrics.
bool rayTriangle(const V3& o, const V3& d, const TriPoints& tri, double tol, double& t, double& u,
                 double& v) {
    if (!rayPlane(o, d, tri, t, u, v)) return false;
    return u >= -tol && u <= 1 + tol && v >= -tol && u + v <= 1 + tol;
}

bool inRange(double t, const MeshRay& ray) {
    return t <= ray.maxParam && (t >= 0 || (ray.bothDirections && -t <= ray.maxParam));
}

MeshRayHit makeHit(int face, int triangle, const TriPoints& tri, double t, double u, double v) {
    MeshRayHit h;
    h.t = t;
    h.face = face;
    h.triangle = triangle;
    h.b1 = 1 - u - v;
    h.b2 = u;
    h.point = tri.a * h.b1 + tri.b * u + tri.c * v;
    return h;
}

// --- Embree casts ----------------------------------------------------------------------------------------

// The intersect context with what the filter needs. Embree hands the filter the context pointer it was
// given, so the extra fields follow the Embree part.
struct FilterContext {
    RTCIntersectContext rtc;
    const MeshBvh* bvh = nullptr;
    float tmin = -INFINITY;                           // candidates nearer than this (Embree's t) are dropped
    const std::vector<unsigned>* allowed = nullptr;   // sorted positions, or null for all
    const std::vector<unsigned>* excluded = nullptr;  // positions already turned down
    std::vector<unsigned>* collect = nullptr;         // all hits: every accepted candidate, then rejected
    bool needed() const { return tmin > -INFINITY || allowed || collect || (excluded && !excluded->empty()); }
};

void filterHits(const RTCFilterFunctionNArguments* args) {
    const auto* ctx = reinterpret_cast<const FilterContext*>(args->context);
    for (unsigned i = 0; i < args->N; ++i) {
        if (args->valid[i] == 0) continue;
        const unsigned prim =
            ctx->bvh->position(RTCHitN_geomID(args->hit, args->N, i), RTCHitN_primID(args->hit, args->N, i));
        // Embree sets the ray's tfar to the candidate's distance while the filter runs.
        if (RTCRayN_tfar(args->ray, args->N, i) < ctx->tmin ||
            (ctx->allowed && !std::binary_search(ctx->allowed->begin(), ctx->allowed->end(), prim)) ||
            (ctx->excluded &&
             std::find(ctx->excluded->begin(), ctx->excluded->end(), prim) != ctx->excluded->end())) {
            args->valid[i] = 0;
            continue;
        }
        if (ctx->collect) {
            ctx->collect->push_back(prim);
            args->valid[i] = 0;  // keep traversing for the hits behind this one
        }
    }
}

// Parameter range [t0, t1] of the ray inside the box (slabs), false when it misses it.
bool clipToBox(const V3& o, const V3& d, const V3& lo, const V3& hi, double& t0, double& t1) {
    const double os[3] = {o.x, o.y, o.z}, ds[3] = {d.x, d.y, d.z};
    const double los[3] = {lo.x, lo.y, lo.z}, his[3] = {hi.x, hi.y, hi.z};
    for (int k = 0; k < 3; ++k) {
        // A margin keeps rays grazing a flat box (a planar mesh) inside it.
        const double pad = 1e-6 * (std::fabs(los[k]) + std::fabs(his[k]) + (his[k] - los[k])) + 1e-30;
        const double a = los[k] - pad, b = his[k] + pad;
        if (ds[k] == 0) {
            if (os[k] < a || os[k] > b) return false;
            continue;
        }
        double ta = (a - os[k]) / ds[k], tb = (b - os[k]) / ds[k];
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1) return false;
    }
    return true;
}

// Casts one way along d (t >= 0) through the BVH. The float ray starts where the double ray enters the
// mesh's bounds, with a unit direction, so that a far origin or an odd direction length costs no float
// precision. An origin inside the bounds starts the float ray a little behind it (Embree does not report a
// hit at its own start) and the filter drops what lies behind the origin. Single: the nearest primitive
// in `prim`; with ctx.collect: every primitive hit.
bool castOneWay(const MeshBvh& bvh, const V3& o, const V3& d, double maxParam, FilterContext& ctx,
                unsigned& prim) {
    const double len = length(d);
    double t0 = 0, t1 = maxParam;
    if (!(len > 0) || !clipToBox(o, d, bvh.boundsMin(), bvh.boundsMax(), t0, t1)) return false;
    const double extent = length(bvh.boundsMax() - bvh.boundsMin());
    const double margin = 1e-4 * extent + 1e-30;
    double start = 0;  // in multiples of d
    ctx.tmin = -INFINITY;
    if (t0 * len > margin) {
        start = t0 - margin / len;  // nothing of the mesh lies before the entry
    } else {
        start = -margin / len;
        ctx.tmin = float(margin * (1 - 1e-3));
    }
    const V3 so = o + d * start;
    const V3 u = d * (1.0 / len);
    RTCRayHit rh;
    rh.ray.org_x = float(so.x);
    rh.ray.org_y = float(so.y);
    rh.ray.org_z = float(so.z);
    rh.ray.dir_x = float(u.x);
    rh.ray.dir_y = float(u.y);
    rh.ray.dir_z = float(u.z);
    rh.ray.tnear = 0;
    const double far = (t1 - start) * len * (1 + 1e-6) + 1e-6 * extent;
    rh.ray.tfar = far < 3e38 ? float(far) : INFINITY;
    rh.ray.time = 0;
    rh.ray.mask = 0xFFFFFFFFu;
    rh.ray.id = 0;
    rh.ray.flags = 0;
    rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
    rh.hit.primID = RTC_INVALID_GEOMETRY_ID;
    rh.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
    ctx.rtc.filter = ctx.needed() ? filterHits : nullptr;
    rtcIntersect1(bvh.scene(), &ctx.rtc, &rh);
    if (rh.hit.geomID == RTC_INVALID_GEOMETRY_ID) return false;
    prim = bvh.position(rh.hit.geomID, rh.hit.primID);
    return true;
}

// The exact hit of the ray with a primitive the BVH reported: parameter and barycentrics in double. The
// BVH decided that the ray crosses the triangle; when the double test finds the ray parallel to it
// (degenerate), the crossing is taken as the triangle's centre.
MeshRayHit exactHit(const Mesh& mesh, const MeshBvh& bvh, unsigned prim, const V3& o, const V3& d) {
    const TriPoints tri = trianglePoints(mesh, bvh.vertices(prim));
    const MeshBvh::FaceTriangle ft = bvh.faceTriangle(prim);
    double t, u, v;
    if (!rayPlane(o, d, tri, t, u, v)) {
        u = v = 1.0 / 3;
        const V3 c = (tri.a + tri.b + tri.c) * (1.0 / 3);
        t = dot(c - o, d) / dot(d, d);
    }
    return makeHit(ft.face, ft.triangle, tri, t, u, v);
}

// Listed triangles as sorted positions (out-of-range entries dropped).
std::vector<unsigned> listedPrimitives(const MeshBvh& bvh, int numFaces, const MeshRay& ray) {
    std::vector<unsigned> prims;
    const std::vector<int>& faces = *ray.faces;
    for (size_t i = 0; i < faces.size(); ++i) {
        const int f = faces[i];
        if (f < 0 || f >= numFaces) continue;
        if (ray.triangles) {
            if (i >= ray.triangles->size()) break;
            const int k = (*ray.triangles)[i];
            if (k >= 0 && k < bvh.faceTriangleCount(f)) prims.push_back(unsigned(bvh.firstPosition(f) + k));
        } else {
            for (int k = 0; k < bvh.faceTriangleCount(f); ++k)
                prims.push_back(unsigned(bvh.firstPosition(f) + k));
        }
    }
    std::sort(prims.begin(), prims.end());
    prims.erase(std::unique(prims.begin(), prims.end()), prims.end());
    return prims;
}

// Up to this many listed triangles are tested one by one; longer lists go through the BVH with a filter.
constexpr size_t kDirectTestLimit = 64;

enum class Mode { Closest, All };

// Closer to the origin; on equal distance the hit in front, then the lower triangle (as a search in
// triangle order finds first).
bool nearer(const MeshRayHit& a, const MeshRayHit& b) {
    const double da = std::fabs(a.t), db = std::fabs(b.t);
    if (da != db) return da < db;
    if ((a.t >= 0) != (b.t >= 0)) return a.t >= 0;
    return std::make_pair(a.face, a.triangle) < std::make_pair(b.face, b.triangle);
}

// All hits go to `hits`; the closest one (Mode::Closest) to `best`, without allocating. Answers whether
// there is a hit.
bool query(const Mesh& mesh, const MeshRay& ray, Mode mode, std::vector<MeshRayHit>& hits, MeshRayHit& best) {
    bool found = false;
    auto take = [&](const MeshRayHit& h) {
        if (mode == Mode::All) {
            hits.push_back(h);
            found = true;
        } else if (!found || nearer(h, best)) {
            best = h;
            found = true;
        }
    };
    if (!(ray.maxParam >= 0) || !(length(ray.direction) > 0) || !isFinite(ray.origin) ||
        !isFinite(ray.direction))
        return false;
    std::unique_lock<std::mutex> lock;
    std::shared_ptr<MeshBvh> bvh = acquireMeshBvh(mesh, lock);
    if (bvh->numTriangles() == 0) return false;

    std::vector<unsigned> listed;
    if (ray.faces) {
        listed = listedPrimitives(*bvh, mesh.numFaces(), ray);
        if (listed.empty()) return false;
        if (listed.size() <= kDirectTestLimit) {
            for (unsigned prim : listed) {
                const TriPoints tri = trianglePoints(mesh, bvh->vertices(prim));
                double t, u, v;
                if (!rayTriangle(ray.origin, ray.direction, tri, ray.tolerance, t, u, v) || !inRange(t, ray))
                    continue;
                const MeshBvh::FaceTriangle ft = bvh->faceTriangle(prim);
                take(makeHit(ft.face, ft.triangle, tri, t, u, v));
            }
            return found;
        }
    }

    FilterContext ctx;
    rtcInitIntersectContext(&ctx.rtc);
    ctx.bvh = bvh.get();
    if (ray.faces) ctx.allowed = &listed;
    std::vector<unsigned> collected, excluded;
    if (mode == Mode::All) ctx.collect = &collected;
    ctx.excluded = &excluded;

    for (int side = 0; side < (ray.bothDirections ? 2 : 1); ++side) {
        const V3 d = side == 0 ? ray.direction : ray.direction * -1.0;
        unsigned prim = 0;
        if (mode == Mode::All) {
            castOneWay(*bvh, ray.origin, d, ray.maxParam, ctx, prim);
            continue;
        }
        // The exact test has the last word on the range; when it turns the BVH's nearest down (a hit a
        // rounding error behind the origin or past maxParam), look again without it.
        excluded.clear();
        for (int attempt = 0; attempt < 4 && castOneWay(*bvh, ray.origin, d, ray.maxParam, ctx, prim);
             ++attempt) {
            MeshRayHit h = exactHit(mesh, *bvh, prim, ray.origin, ray.direction);
            if (!inRange(h.t, ray) || (side == 0) != (h.t >= 0)) {
                excluded.push_back(prim);
                continue;
            }
            take(h);
            break;
        }
    }
    if (mode == Mode::All) {
        // Both casts see a hit at the origin; keep every triangle once.
        std::sort(collected.begin(), collected.end());
        collected.erase(std::unique(collected.begin(), collected.end()), collected.end());
        for (unsigned p : collected) {
            MeshRayHit h = exactHit(mesh, *bvh, p, ray.origin, ray.direction);
            if (inRange(h.t, ray)) take(h);
        }
    }
    return found;
}

}  // namespace

bool meshClosestHit(const Mesh& mesh, const MeshRay& ray, MeshRayHit& hit) {
    std::vector<MeshRayHit> unused;
    return query(mesh, ray, Mode::Closest, unused, hit);
}

bool meshAnyHit(const Mesh& mesh, const MeshRay& ray, MeshRayHit& hit) {
    return meshClosestHit(mesh, ray, hit);
}

std::vector<MeshRayHit> meshAllHits(const Mesh& mesh, const MeshRay& ray, bool sorted) {
    std::vector<MeshRayHit> hits;
    MeshRayHit unused;
    query(mesh, ray, Mode::All, hits, unused);
    // A ray through the diagonal between two triangles of a face crosses the face once: keep the lower
    // triangle's hit.
    std::sort(hits.begin(), hits.end(), [](const MeshRayHit& a, const MeshRayHit& b) {
        return a.face != b.face ? a.face < b.face : a.t != b.t ? a.t < b.t : a.triangle < b.triangle;
    });
    size_t kept = 0;
    for (size_t i = 0; i < hits.size(); ++i) {
        const MeshRayHit& h = hits[i];
        if (kept > 0 && hits[kept - 1].face == h.face &&
            std::fabs(hits[kept - 1].t - h.t) <= 1e-9 * std::max(1.0, std::fabs(h.t)))
            continue;
        hits[kept++] = h;
    }
    hits.resize(kept);
    if (sorted) {
        std::stable_sort(hits.begin(), hits.end(),
                         [](const MeshRayHit& a, const MeshRayHit& b) { return a.t < b.t; });
    }
    return hits;
}

// --- closest point ---------------------------------------------------------------------------------------
bool MeshAffine::isIdentity() const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m[r][c] != (r == c ? 1.0 : 0.0)) return false;
    return true;
}

namespace {

// Weights (wa, wb, wc) of the point of triangle (a, b, c) closest to p (Ericson, Real-Time Collision
// Detection 5.1.5, with the region tests giving barycentrics instead of points).
std::array<double, 3> closestWeights(const V3& p, const V3& a, const V3& b, const V3& c) {
    const V3 ab = b - a, ac = c - a, ap = p - a;
    const double d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return {1, 0, 0};
    const V3 bp = p - b;
    const double d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return {0, 1, 0};
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) {
        const double s = d1 / (d1 - d3);
        return {1 - s, s, 0};
    }
    const V3 cp = p - c;
    const double d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return {0, 0, 1};
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) {
        const double s = d2 / (d2 - d6);
        return {1 - s, 0, s};
    }
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        const double s = (d4 - d3) / ((d4 - d3) + (d5 - d6));
        return {0, 1 - s, s};
    }
    const double denom = 1.0 / (va + vb + vc);
    const double v = vb * denom, w = vc * denom;
    return {1 - v - w, v, w};
}

struct PointSearch {
    const Mesh* mesh;
    const MeshBvh* bvh;
    const MeshAffine* toSpace;  // null: object space
    V3 p;                       // the query point in the space distances are measured in
    double radiusScale = 1;     // space distance -> bound on object-space distance
    double slack = 0;           // added to the query radius for float rounding of the query point
    double best = HUGE_VAL;     // squared distance
    unsigned bestPrim = 0;
    std::array<double, 3> w{};
    V3 point;

    bool lowerFace(unsigned a, unsigned b) const {
        const MeshBvh::FaceTriangle fa = bvh->faceTriangle(a), fb = bvh->faceTriangle(b);
        return fa.face != fb.face ? fa.face < fb.face : fa.triangle < fb.triangle;
    }
    // Measures one triangle (by position); true when it became the best.
    bool visit(unsigned prim) {
        const auto vs = bvh->vertices(prim);
        V3 a = mesh->points[size_t(vs[0])], b = mesh->points[size_t(vs[1])], c = mesh->points[size_t(vs[2])];
        if (toSpace) {
            a = toSpace->apply(a);
            b = toSpace->apply(b);
            c = toSpace->apply(c);
        }
        const auto wt = closestWeights(p, a, b, c);
        const V3 q = a * wt[0] + b * wt[1] + c * wt[2];
        const double d2 = dot(q - p, q - p);
        if (d2 < best || (d2 == best && lowerFace(prim, bestPrim))) {
            best = d2;
            bestPrim = prim;
            w = wt;
            point = q;
            return true;
        }
        return false;
    }
};

bool pointQueryCallback(RTCPointQueryFunctionArguments* args) {
    auto* s = static_cast<PointSearch*>(args->userPtr);
    if (!s->visit(s->bvh->position(args->geomID, args->primID))) return false;
    const float r = float(std::sqrt(s->best) * s->radiusScale * (1 + 1e-5) + s->slack);
    if (r < args->query->radius) {
        args->query->radius = r;
        return true;
    }
    return false;
}

// Inverse of the affine map's 3x3 part; false when singular.
bool invertLinear(const MeshAffine& a, double inv[3][3]) {
    const auto& m = a.m;
    const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    const double c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    const double c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    const double det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
    if (!(std::fabs(det) > 1e-300)) return false;
    const double k = 1.0 / det;
    inv[0][0] = c00 * k;
    inv[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * k;
    inv[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * k;
    inv[1][0] = c01 * k;
    inv[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * k;
    inv[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * k;
    inv[2][0] = c02 * k;
    inv[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * k;
    inv[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * k;
    return true;
}

// True when the affine map's linear part is a rotation or reflection times a uniform scale: L L^T = s^2 I.
bool similarity(const MeshAffine& a) {
    const auto& m = a.m;
    double g[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) g[i][j] = m[i][0] * m[j][0] + m[i][1] * m[j][1] + m[i][2] * m[j][2];
    const double s2 = (g[0][0] + g[1][1] + g[2][2]) / 3;
    if (!(s2 > 0)) return false;
    const double tol = 1e-12 * s2;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (std::fabs(g[i][j] - (i == j ? s2 : 0.0)) > tol) return false;
    return true;
}

}  // namespace

bool meshClosestPoint(const Mesh& mesh, const V3& p, const MeshAffine* toSpace, MeshSurfacePoint& out) {
    if (!isFinite(p)) return false;
    std::unique_lock<std::mutex> lock;
    std::shared_ptr<MeshBvh> bvh = acquireMeshBvh(mesh, lock);
    if (bvh->numTriangles() == 0) return false;
    if (toSpace && toSpace->isIdentity()) toSpace = nullptr;

    PointSearch s;
    s.mesh = &mesh;
    s.bvh = bvh.get();
    s.toSpace = toSpace;
    s.p = p;
    V3 local = p;  // the query point in object space, where the BVH is
    bool useBvh = true;
    if (toSpace) {
        double inv[3][3];
        useBvh = invertLinear(*toSpace, inv);
        if (useBvh) {
            // A distance r in space is at most r * |L^-1| in object space (Frobenius bounds the spectral
            // norm).
            double fro = 0;
            for (auto& row : inv)
                for (double x : row) fro += x * x;
            s.radiusScale = std::sqrt(fro);
            const V3 q = p - V3{toSpace->m[3][0], toSpace->m[3][1], toSpace->m[3][2]};
            local = {q.x * inv[0][0] + q.y * inv[1][0] + q.z * inv[2][0],
                     q.x * inv[0][1] + q.y * inv[1][1] + q.z * inv[2][1],
                     q.x * inv[0][2] + q.y * inv[1][2] + q.z * inv[2][2]};
            // A rotation with a uniform scale (and a translation) scales every distance alike: the closest
            // point is the same in object space, where the search needs no per-triangle transform and no
            // widened radius. The point found is mapped into the space at the end.
            if (similarity(*toSpace)) {
                s.toSpace = nullptr;
                s.p = local;
                s.radiusScale = 1;
            }
        }
    }
    if (useBvh) {
        const V3 lo = bvh->boundsMin(), hi = bvh->boundsMax();
        const double mag =
            std::max({std::fabs(local.x), std::fabs(local.y), std::fabs(local.z), std::fabs(lo.x),
                      std::fabs(lo.y), std::fabs(lo.z), std::fabs(hi.x), std::fabs(hi.y), std::fabs(hi.z)});
        s.slack = 1e-6 * mag;
        RTCPointQuery q;
        q.x = float(local.x);
        q.y = float(local.y);
        q.z = float(local.z);
        q.time = 0;
        q.radius = INFINITY;
        RTCPointQueryContext ctx;
        rtcInitPointQueryContext(&ctx);
        rtcPointQuery(bvh->scene(), &q, &ctx, pointQueryCallback, &s);
    } else {
        // A singular map flattens the mesh; measure every triangle.
        for (unsigned prim = 0; prim < unsigned(bvh->numTriangles()); ++prim) s.visit(prim);
    }
    if (s.best == HUGE_VAL) return false;
    out.face = bvh->faceTriangle(s.bestPrim).face;
    out.triangle = bvh->faceTriangle(s.bestPrim).triangle;
    out.b1 = s.w[0];
    out.b2 = s.w[1];
    out.point = toSpace && !s.toSpace ? toSpace->apply(s.point) : s.point;
    return true;
}

}  // namespace kxh
