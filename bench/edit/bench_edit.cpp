// The edit path under interactive tools: a brush or drag step writes the whole point array with
// MFnMesh::setPoints and casts a ray into the same mesh for the next event. Measured on a 250k-vertex grid
// (~500k triangles) and on the 1M-triangle grid, each against a baseline timed in the same run:
//
//   memcpy-points   a plain copy of the point array (the physical floor of a whole-array write)
//   drag-step       setPoints of the whole array with ~2% of the vertices moved (a brush dab), then one pick
//                   through the moved area                                          vs memcpy-points
//   drag-step-history  the same on a 250k-vertex shape with construction history (its inMesh fed by another
//                   mesh), where the moves go to its pnts tweaks                    vs memcpy-points
//   refit-step      setPoints with every vertex moved, then one pick                 vs raw-build
//   raw-build       a new Embree scene of the same triangles, built and committed (Embree's defaults)
//   first-build     the host's first BVH of a mesh it has not queried before        vs raw-build
//   pick            MFnMesh::closestIntersection (world space)                      vs raw-intersect
//   closest-point   MFnMesh::getClosestPoint (world space)                          vs raw-point-query
//
// The program ends with one line per figure: "ratio NAME = X".
#include <benchmark/benchmark.h>
#include <embree3/rtcore.h>
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MEulerRotation.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnMesh.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMeshData.h>
#include <maya/MPlug.h>
#include <maya/MFnTransform.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPointArray.h>
#include <maya/MVector.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/cameraRays.h"
#include "support/denseGrid.h"
#include "support/rawEmbree.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kQueries = 4096;

// A mesh under a rotated, moved transform; the brush dabs that move ~2% of it; rays and query points; and
// a raw Embree scene of the same world-space triangles.
struct EditScene {
    int grid = 0;  // quads per side
    MObject transform;
    MDagPath path;
    MPointArray rest, work, allMoved;
    std::vector<std::vector<unsigned>> dabs;  // vertex ids of each dab, ~2% of the vertices
    std::vector<MPoint> dabCentres;           // object space
    std::vector<std::pair<MFloatPoint, MFloatVector>> rays;
    std::vector<MPoint> queryPoints;  // world space
    std::vector<float> worldVerts;
    std::vector<unsigned> triVerts;
    RTCDevice device = nullptr;
    RTCScene raw = nullptr;

    // With `history`, a second mesh of the same points feeds the shape's inMesh.
    explicit EditScene(int quadsPerSide, bool history = false) : grid(quadsPerSide) {
        MIntArray counts, connects;
        kxbench::denseGrid(grid, rest, counts, connects);
        MFnMesh fn;
        MStatus st;
        transform = fn.create(int(rest.length()), int(counts.length()), rest, counts, connects,
                              MObject::kNullObj, &st);
        if (!st) {
            std::fprintf(stderr, "bench_edit: could not create the mesh\n");
            std::exit(1);
        }
        if (history) {
            MFnMesh up;
            MObject upTransform = up.create(int(rest.length()), int(counts.length()), rest, counts, connects,
                                            MObject::kNullObj, &st);
            MDagPath upPath, shapePath;
            MDagPath::getAPathTo(upTransform, upPath);
            MDagPath::getAPathTo(transform, shapePath);
            upPath.extendToShape();
            shapePath.extendToShape();
            MDGModifier mod;
            mod.connect(MFnDependencyNode(upPath.node()).findPlug("outMesh", true),
                        MFnDependencyNode(shapePath.node()).findPlug("inMesh", true));
            if (!st || !mod.doIt()) {
                std::fprintf(stderr, "bench_edit: could not give the mesh history\n");
                std::exit(1);
            }
        }
        MFnTransform xf(transform);
        xf.setTranslation(MVector(-35, 4, 20), MSpace::kTransform);
        xf.setRotation(MEulerRotation(MVector(0.3, 0.2, 0)));
        MDagPath::getAPathTo(transform, path);
        work = rest;
        allMoved = rest;
        for (unsigned i = 0; i < allMoved.length(); ++i) allMoved[i].y += 0.01 * (int(i % 7) - 3);

        // Dabs: discs on the grid holding ~2% of the vertices each, along a diagonal stroke.
        kxbench::strokeDabs(grid, dabs, dabCentres);

        const kxbench::CameraAbove camera(path);
        const MPointArray& wp = camera.worldPoints;
        std::mt19937 rng(1);
        std::uniform_real_distribution<double> u(0, 1);
        for (int k = 0; k < kQueries; ++k) {
            MFloatPoint origin;
            MFloatVector direction;
            camera.randomRay(rng, u, origin, direction);
            rays.push_back({origin, direction});
            // Closest-point queries near the surface, as a brush or a snap asks them.
            queryPoints.push_back(wp[unsigned(u(rng) * (wp.length() - 1))] +
                                  MVector(u(rng) - 0.5, u(rng) - 0.5, u(rng) - 0.5));
        }

        MIntArray triCounts, tv;
        MFnMesh(path).getTriangles(triCounts, tv);
        worldVerts.resize(3 * size_t(wp.length()) + 1);  // +1: Embree reads vertices 16 bytes at a time
        for (unsigned i = 0; i < wp.length(); ++i) {
            worldVerts[3 * i] = float(wp[i].x);
            worldVerts[3 * i + 1] = float(wp[i].y);
            worldVerts[3 * i + 2] = float(wp[i].z);
        }
        triVerts.assign(tv.begin(), tv.end());
        device = rtcNewDevice(nullptr);
        raw = buildRaw();
    }

    // Embree's defaults over the world-space triangles: the baseline for casts and builds.
    RTCScene buildRaw() const {
        RTCScene s = rtcNewScene(device);
        RTCGeometry g = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
        auto* v = static_cast<float*>(rtcSetNewGeometryBuffer(g, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                                              12, worldVerts.size() / 3));
        std::memcpy(v, worldVerts.data(), (worldVerts.size() / 3) * 12);
        auto* t = static_cast<unsigned*>(
            rtcSetNewGeometryBuffer(g, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, 12, triVerts.size() / 3));
        std::memcpy(t, triVerts.data(), triVerts.size() * sizeof(unsigned));
        rtcCommitGeometry(g);
        rtcAttachGeometry(s, g);
        rtcReleaseGeometry(g);
        rtcCommitScene(s);
        return s;
    }

    // One brush dab: the dab's vertices move up (odd steps move them back), the whole array is written,
    // and a ray is cast from above through the dab's centre.
    bool dragStep(long i, MFloatPoint& hit) {
        const size_t k = size_t(i / 2) % dabs.size();
        const double dy = i % 2 ? -0.05 : 0.05;
        for (unsigned v : dabs[k]) work[v].y += dy;
        MFnMesh fn(path);
        fn.setPoints(work, MSpace::kObject);
        return castDown(dabCentres[k], hit);
    }

    bool castDown(const MPoint& objectPoint, MFloatPoint& hit) const {
        const MMatrix m = path.inclusiveMatrix();
        const MPoint top = (objectPoint + MVector(0, 10, 0)) * m;
        const MVector down = MVector(0, -1, 0) * m;
        MFnMesh fn(path);
        return fn.closestIntersection(MFloatPoint(float(top.x), float(top.y), float(top.z)),
                                      MFloatVector(float(down.x), float(down.y), float(down.z)), nullptr,
                                      nullptr, false, MSpace::kWorld, 1e6f, false, nullptr, hit, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, 1e-6f);
    }

    bool pick(size_t i, MFloatPoint& hit) const {
        const auto& r = rays[i % rays.size()];
        MFnMesh fn(path);
        return fn.closestIntersection(r.first, r.second, nullptr, nullptr, false, MSpace::kWorld, 1e6f, false,
                                      nullptr, hit, nullptr, nullptr, nullptr, nullptr, nullptr, 1e-6f);
    }

    unsigned rawIntersect(size_t i) const {
        const auto& r = rays[i % rays.size()];
        return kxbench::rawCast(raw, r.first, r.second);
    }

    // The raw closest-point query: Embree's traversal with a callback measuring each candidate triangle
    // (closest point on a triangle, shrinking the radius), the least any closest-point query does.
    struct RawSearch {
        const EditScene* s;
        float best = INFINITY;
        unsigned prim = ~0u;
    };
    static float closestDistance2(const float* p, const float* a, const float* b, const float* c) {
        float ab[3], ac[3], ap[3];
        for (int k = 0; k < 3; ++k) ab[k] = b[k] - a[k], ac[k] = c[k] - a[k], ap[k] = p[k] - a[k];
        auto dot = [](const float* x, const float* y) { return x[0] * y[0] + x[1] * y[1] + x[2] * y[2]; };
        const float d1 = dot(ab, ap), d2 = dot(ac, ap);
        float q[3];
        auto at = [&](float v, float w) {
            for (int k = 0; k < 3; ++k) q[k] = a[k] + ab[k] * v + ac[k] * w;
        };
        float bp[3], cp[3];
        for (int k = 0; k < 3; ++k) bp[k] = p[k] - b[k], cp[k] = p[k] - c[k];
        const float d3 = dot(ab, bp), d4 = dot(ac, bp), d5 = dot(ab, cp), d6 = dot(ac, cp);
        const float vc = d1 * d4 - d3 * d2, vb = d5 * d2 - d1 * d6, va = d3 * d6 - d5 * d4;
        if (d1 <= 0 && d2 <= 0)
            at(0, 0);
        else if (d3 >= 0 && d4 <= d3)
            at(1, 0);
        else if (vc <= 0 && d1 >= 0 && d3 <= 0)
            at(d1 / (d1 - d3), 0);
        else if (d6 >= 0 && d5 <= d6)
            at(0, 1);
        else if (vb <= 0 && d2 >= 0 && d6 <= 0)
            at(0, d2 / (d2 - d6));
        else if (va <= 0 && d4 - d3 >= 0 && d5 - d6 >= 0) {
            const float w = (d4 - d3) / ((d4 - d3) + (d5 - d6));
            for (int k = 0; k < 3; ++k) q[k] = b[k] + (c[k] - b[k]) * w;
        } else {
            const float den = 1 / (va + vb + vc);
            at(vb * den, vc * den);
        }
        float d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
        return dot(d, d);
    }
    static bool rawCallback(RTCPointQueryFunctionArguments* args) {
        auto* r = static_cast<RawSearch*>(args->userPtr);
        const unsigned* t = &r->s->triVerts[3 * size_t(args->primID)];
        const float* v = r->s->worldVerts.data();
        const float p[3] = {args->query->x, args->query->y, args->query->z};
        const float d2 = closestDistance2(p, v + 3 * t[0], v + 3 * t[1], v + 3 * t[2]);
        if (d2 < r->best) {
            r->best = d2;
            r->prim = args->primID;
            args->query->radius = std::sqrt(d2);
            return true;
        }
        return false;
    }
    unsigned rawPointQuery(size_t i) const {
        const MPoint& p = queryPoints[i % queryPoints.size()];
        RTCPointQuery q;
        q.x = float(p.x);
        q.y = float(p.y);
        q.z = float(p.z);
        q.time = 0;
        q.radius = INFINITY;
        RTCPointQueryContext ctx;
        rtcInitPointQueryContext(&ctx);
        RawSearch s{this};
        rtcPointQuery(raw, &q, &ctx, rawCallback, &s);
        return s.prim;
    }
};

// 499 x 499 quads: 250,000 vertices, 498,002 triangles. 708 x 708 quads: 1,002,528 triangles.
EditScene& scene(int which) {
    static std::unique_ptr<EditScene> s250, s1m;
    auto& s = which == 0 ? s250 : s1m;
    if (!s) s = std::make_unique<EditScene>(which == 0 ? 499 : 708);
    return *s;
}
EditScene& historyScene() {
    static std::unique_ptr<EditScene> s;
    if (!s) s = std::make_unique<EditScene>(499, true);
    return *s;
}
const char* label(int which) {
    return which == 0 ? "250k" : "1M";
}

// --- timing ------------------------------------------------------------------------------------------------
// Each case runs its baseline and its own step alternately inside one loop, timing each, so that both see
// the same machine: the ratio holds even while other work competes for the cores.

struct Pair {
    double seconds = 0, baseSeconds = 0;
};
std::map<std::string, Pair> gPairs;  // per iteration, by "case/mesh"

// `prepare` runs untimed before each pair.
template <typename Base, typename Body, typename Prepare = void (*)(long)>
void runPaired(
    benchmark::State& state, const std::string& name, Base base, Body body, Prepare prepare = [](long) {}) {
    double a = 0, b = 0;
    long i = 0;
    for (auto _ : state) {
        prepare(i);
        const auto t0 = Clock::now();
        base(i);
        const auto t1 = Clock::now();
        body(i);
        const auto t2 = Clock::now();
        b += std::chrono::duration<double>(t1 - t0).count();
        a += std::chrono::duration<double>(t2 - t1).count();
        ++i;
    }
    const double n = double(std::max<long>(1, i));
    gPairs[name + "/" + label(int(state.range(0)))] = {a / n, b / n};
    state.counters["ms"] = a / n * 1e3;
    state.counters["base_ms"] = b / n * 1e3;
}

// --- cases ------------------------------------------------------------------------------------------------

// A drag step on `s` against a plain copy of the same array, reported as `name`.
void dragStepAgainstCopy(benchmark::State& state, EditScene& s, const char* name) {
    MPointArray copy = s.work;
    MFloatPoint hit;
    s.pick(0, hit);  // the first build is not part of a drag
    runPaired(
        state, name,
        [&](long) {
            std::memcpy(&copy[0], &s.work[0], s.work.length() * sizeof(MPoint));
            benchmark::ClobberMemory();
        },
        [&](long i) { benchmark::DoNotOptimize(s.dragStep(i, hit)); });
    MFnMesh(s.path).setPoints(s.rest, MSpace::kObject);
    s.work = s.rest;
}

// drag-step against a plain copy of the same array.
void BM_DragStep(benchmark::State& state) {
    dragStepAgainstCopy(state, scene(int(state.range(0))), "drag-step");
}

// drag-step-history: the same dabs on a shape with history, against the same plain copy.
void BM_DragStepHistory(benchmark::State& state) {
    dragStepAgainstCopy(state, historyScene(), "drag-step-history");
}

// refit-step (every vertex moved) against a full raw Embree build of the same triangles.
void BM_RefitStep(benchmark::State& state) {
    EditScene& s = scene(int(state.range(0)));
    MFloatPoint hit;
    s.pick(0, hit);
    runPaired(
        state, "refit-step", [&](long) { rtcReleaseScene(s.buildRaw()); },
        [&](long i) {
            MFnMesh(s.path).setPoints(i % 2 ? s.rest : s.allMoved, MSpace::kObject);
            benchmark::DoNotOptimize(s.pick(size_t(i), hit));
        });
    MFnMesh(s.path).setPoints(s.rest, MSpace::kObject);
}

// first-build: a copy of the shape's geometry as new mesh data (made untimed), then one cast,
// which builds its BVH; against a full raw Embree build.
void BM_FirstBuild(benchmark::State& state) {
    EditScene& s = scene(int(state.range(0)));
    MIntArray counts, connects;
    MFnMesh(s.path).getVertices(counts, connects);
    MFloatPoint hit;
    MFnMesh fresh;
    MObject data;
    runPaired(
        state, "first-build", [&](long) { rtcReleaseScene(s.buildRaw()); },
        [&](long i) {
            const auto& r = s.rays[size_t(i) % s.rays.size()];
            benchmark::DoNotOptimize(fresh.closestIntersection(
                r.first, r.second, nullptr, nullptr, false, MSpace::kObject, 1e6f, false, nullptr, hit,
                nullptr, nullptr, nullptr, nullptr, nullptr, 1e-6f));
        },
        [&](long) {
            data = MFnMeshData().create();
            fresh.create(int(s.rest.length()), int(counts.length()), s.rest, counts, connects, data);
        });
}

// pick against one raw rtcIntersect1 on the same rays.
void BM_Pick(benchmark::State& state) {
    EditScene& s = scene(int(state.range(0)));
    MFloatPoint hit;
    s.pick(0, hit);
    runPaired(
        state, "pick", [&](long i) { benchmark::DoNotOptimize(s.rawIntersect(size_t(i))); },
        [&](long i) { benchmark::DoNotOptimize(s.pick(size_t(i), hit)); });
}

// closest-point against one raw rtcPointQuery at the same point.
void BM_ClosestPoint(benchmark::State& state) {
    EditScene& s = scene(int(state.range(0)));
    MFnMesh fn(s.path);
    MPoint out;
    fn.getClosestPoint(s.queryPoints[0], out, MSpace::kWorld);
    runPaired(
        state, "closest-point", [&](long i) { benchmark::DoNotOptimize(s.rawPointQuery(size_t(i))); },
        [&](long i) {
            benchmark::DoNotOptimize(
                fn.getClosestPoint(s.queryPoints[size_t(i) % s.queryPoints.size()], out, MSpace::kWorld));
        });
}

}  // namespace

#define EDIT_CASE(fn) BENCHMARK(fn)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)
EDIT_CASE(BM_DragStep);
BENCHMARK(BM_DragStepHistory)->Arg(0)->Unit(benchmark::kMicrosecond);
EDIT_CASE(BM_RefitStep)->Iterations(8);
BENCHMARK(BM_FirstBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
EDIT_CASE(BM_Pick);
EDIT_CASE(BM_ClosestPoint);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const std::pair<const char*, const char*> ratios[] = {{"drag-step", "memcpy-points"},
                                                          {"refit-step", "raw-build"},
                                                          {"first-build", "raw-build"},
                                                          {"pick", "raw-intersect"},
                                                          {"closest-point", "raw-point-query"}};
    if (auto it = gPairs.find("drag-step-history/250k"); it != gPairs.end()) {
        std::printf("drag-step-history 250k = %.4g ms (memcpy-points %.4g ms)\n", it->second.seconds * 1e3,
                    it->second.baseSeconds * 1e3);
        std::printf("ratio drag-step-history/memcpy-points = %.4g\n",
                    it->second.seconds / it->second.baseSeconds);
    }
    for (const char* mesh : {"250k", "1M"}) {
        for (const auto& [name, base] : ratios) {
            auto it = gPairs.find(std::string(name) + "/" + mesh);
            if (it == gPairs.end()) continue;
            std::printf("%s %s = %.4g ms (%s %.4g ms)\n", name, mesh, it->second.seconds * 1e3, base,
                        it->second.baseSeconds * 1e3);
            std::printf("ratio %s/%s %s = %.4g\n", name, base, mesh,
                        it->second.seconds / it->second.baseSeconds);
        }
    }
    return 0;
}
