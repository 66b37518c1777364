// The pick under the cursor on a 1M-triangle mesh: what a hover costs through the host compared with raw
// Embree on the same triangles, measured in the same run.
//
//   raw        rtcIntersect1 on a plain Embree scene of the mesh's world-space triangles (the baseline)
//   api        MFnMesh::closestIntersection in world space, no accelerator params (the plug-in's first cast)
//   refit      setPoints moving every vertex, then one cast (the BVH is refit)
//   rebuild    a face added or deleted, then one cast (the BVH is rebuilt)
//   hover      the plug-in's hover pick: hitHilitedMeshes + pickClosestComponent through the active view
//
// Every case reports `x_raw`, its time per iteration over the raw cast's, and the program ends with one
// summary line per case ("ratio pick/raw = N").
#include <benchmark/benchmark.h>
#include <embree3/rtcore.h>
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MEulerRotation.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnMesh.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MVector.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "geometry/viewPicking.h"
#include "support/cameraRays.h"
#include "support/rawEmbree.h"

namespace {

using Clock = std::chrono::steady_clock;

// 708 x 708 quads = 1,002,528 triangles.
constexpr int kGrid = 708;
constexpr int kRays = 4096;

struct Ray {
    MFloatPoint origin;
    MFloatVector direction;
};

// The scene every case shares: the mesh under a rotated, moved transform, the world-space rays of a
// camera looking down at it, and the raw Embree scene of the same triangles.
struct PickScene {
    MObject transform;
    MDagPath path;
    MPointArray restPoints, movedPoints;
    std::vector<Ray> rays;
    RTCDevice device = nullptr;
    RTCScene raw = nullptr;

    PickScene() {
        MPointArray points;
        MIntArray counts, connects;
        for (int j = 0; j <= kGrid; ++j)
            for (int i = 0; i <= kGrid; ++i) {
                const double x = i * 0.1, z = -j * 0.1;
                points.append(MPoint(x, 1.5 * std::sin(0.21 * i) * std::cos(0.17 * j), z));
            }
        for (int j = 0; j < kGrid; ++j)
            for (int i = 0; i < kGrid; ++i) {
                const int v = i + j * (kGrid + 1);
                counts.append(4);
                for (int c : {v, v + 1, v + kGrid + 2, v + kGrid + 1}) connects.append(c);
            }
        MFnMesh fn;
        MStatus st;
        transform = fn.create(int(points.length()), int(counts.length()), points, counts, connects,
                              MObject::kNullObj, &st);
        if (!st) {
            std::fprintf(stderr, "bench_pick: could not create the mesh\n");
            std::exit(1);
        }
        MFnTransform xf(transform);
        xf.setTranslation(MVector(-35, 4, 20), MSpace::kTransform);
        xf.setRotation(MEulerRotation(MVector(0.3, 0.2, 0)));
        MDagPath::getAPathTo(transform, path);
        restPoints = points;
        movedPoints = points;
        for (unsigned i = 0; i < movedPoints.length(); ++i) movedPoints[i].y += 0.01 * (int(i % 7) - 3);

        // Rays from a camera above the mesh toward random points of its world-space extent.
        const kxbench::CameraAbove camera(path);
        const MPointArray& wp = camera.worldPoints;
        std::mt19937 rng(1);
        std::uniform_real_distribution<double> u(0, 1);
        for (int k = 0; k < kRays; ++k) {
            Ray r;
            camera.randomRay(rng, u, r.origin, r.direction);
            rays.push_back(r);
        }

        // The baseline: Embree's defaults on the world-space triangles the host triangulated.
        MIntArray triCounts, triVerts;
        MFnMesh(path).getTriangles(triCounts, triVerts);
        device = rtcNewDevice(nullptr);
        raw = rtcNewScene(device);
        RTCGeometry g = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
        auto* v = static_cast<float*>(
            rtcSetNewGeometryBuffer(g, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3, 12, wp.length()));
        for (unsigned i = 0; i < wp.length(); ++i) {
            v[3 * i] = float(wp[i].x);
            v[3 * i + 1] = float(wp[i].y);
            v[3 * i + 2] = float(wp[i].z);
        }
        auto* t = static_cast<unsigned*>(rtcSetNewGeometryBuffer(
            g, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, 12, triVerts.length() / 3));
        for (unsigned i = 0; i < triVerts.length(); ++i) t[i] = unsigned(triVerts[i]);
        rtcCommitGeometry(g);
        rtcAttachGeometry(raw, g);
        rtcReleaseGeometry(g);
        rtcCommitScene(raw);
    }

    // One cast through the host, as the plug-in's first cast makes it.
    bool pick(const Ray& r, MFloatPoint& hit, int& face) const {
        MFnMesh fn(path);
        return fn.closestIntersection(r.origin, r.direction, nullptr, nullptr, false, MSpace::kWorld, 1e6f,
                                      false, nullptr, hit, nullptr, &face, nullptr, nullptr, nullptr, 1e-6f);
    }

    bool rawPick(const Ray& r, unsigned& prim) const {
        prim = kxbench::rawCast(raw, r.origin, r.direction);
        return prim != RTC_INVALID_GEOMETRY_ID;
    }
};

PickScene& scene() {
    static PickScene s;
    return s;
}

// --- ratios against the baseline --------------------------------------------------------------------------

std::map<std::string, double> gSeconds;  // per iteration, last run of each case
std::vector<std::string> gOrder;

// Seconds per raw cast: from the raw case when it ran, else measured here.
double rawSeconds() {
    auto it = gSeconds.find("raw");
    if (it != gSeconds.end()) return it->second;
    PickScene& s = scene();
    unsigned prim = 0;
    const int n = 200000;
    const auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) benchmark::DoNotOptimize(s.rawPick(s.rays[size_t(i % kRays)], prim));
    const double sec = std::chrono::duration<double>(Clock::now() - t0).count() / n;
    gSeconds["raw"] = sec;
    return sec;
}

// Times the loop body of a case and reports it against the raw cast.
template <typename Body>
void runCase(benchmark::State& state, const std::string& name, Body body) {
    const double raw = name == "raw" ? 0 : rawSeconds();
    const auto t0 = Clock::now();
    long i = 0;
    for (auto _ : state) body(i++);
    const double per =
        std::chrono::duration<double>(Clock::now() - t0).count() / double(std::max<long>(1, i));
    if (name != "raw" && !gSeconds.count(name)) gOrder.push_back(name);
    gSeconds[name] = per;
    state.counters["x_raw"] = name == "raw" ? 1.0 : per / raw;
}

// --- cases ------------------------------------------------------------------------------------------------

void BM_RawEmbree(benchmark::State& state) {
    PickScene& s = scene();
    unsigned prim = 0;
    runCase(state, "raw",
            [&](long i) { benchmark::DoNotOptimize(s.rawPick(s.rays[size_t(i % kRays)], prim)); });
}

void BM_ApiPick(benchmark::State& state) {
    PickScene& s = scene();
    MFloatPoint hit;
    int face = -1;
    s.pick(s.rays[0], hit, face);  // the BVH's first build is not part of a hover
    runCase(state, "pick",
            [&](long i) { benchmark::DoNotOptimize(s.pick(s.rays[size_t(i % kRays)], hit, face)); });
}

void BM_RefitThenPick(benchmark::State& state) {
    PickScene& s = scene();
    MFnMesh fn(s.path);
    MFloatPoint hit;
    int face = -1;
    s.pick(s.rays[0], hit, face);
    runCase(state, "refit+pick", [&](long i) {
        fn.setPoints(i % 2 ? s.restPoints : s.movedPoints, MSpace::kObject);
        benchmark::DoNotOptimize(s.pick(s.rays[size_t(i % kRays)], hit, face));
    });
    fn.setPoints(s.restPoints, MSpace::kObject);
}

void BM_RebuildThenPick(benchmark::State& state) {
    PickScene& s = scene();
    MFnMesh fn(s.path);
    MFloatPoint hit;
    int face = -1;
    s.pick(s.rays[0], hit, face);
    MPointArray tri;
    tri.append(MPoint(0, 10, 0));
    tri.append(MPoint(1, 10, 0));
    tri.append(MPoint(0, 10, -1));
    runCase(state, "rebuild+pick", [&](long i) {
        // Alternately add a separate triangle and delete it again: the faces change every iteration.
        if (i % 2 == 0) {
            int added = -1;
            fn.addPolygon(tri, added, false);
        } else {
            fn.deleteFace(fn.numPolygons() - 1);
        }
        benchmark::DoNotOptimize(s.pick(s.rays[size_t(i % kRays)], hit, face));
    });
    if (fn.numPolygons() > kGrid * kGrid) fn.deleteFace(fn.numPolygons() - 1);
}

// --- the plug-in's hover pick ---------------------------------------------------------------------------
// One hover of the plug-in's picking services: the view ray through a cursor position cast into the hilited
// mesh (hitHilitedMeshes) and the screen-space choice of the nearest vertex, edge or face
// (pickClosestComponent), through the active view looking down at the mesh.

struct HoverView {
    M3dView view;
    std::vector<std::pair<short, short>> cursors;

    HoverView() {
        PickScene& s = scene();
        const kxbench::CameraAbove camera(s.path);
        const MPointArray& wp = camera.worldPoints;
        const MPoint& lo = camera.lo;
        const MPoint& hi = camera.hi;
        const MPoint centre((lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2);
        char cmd[256];
        std::snprintf(cmd, sizeof cmd, "viewPlace -p -eye %.17g %.17g %.17g -la %.17g %.17g %.17g", centre.x,
                      hi.y + 60, centre.z + 30, centre.x, centre.y, centre.z);
        MGlobal::executeCommand(cmd);
        view = M3dView::active3dView();
        MSelectionList hilite;
        hilite.add(s.path);
        MGlobal::setHiliteList(hilite);
        resetPickAccelParams();
        // Cursor positions over vertices of the mesh spread across the view, so every hover hits.
        std::mt19937 rng(2);
        std::uniform_int_distribution<unsigned> pick(0, wp.length() - 1);
        while (cursors.size() < size_t(kRays)) {
            short x, y;
            if (view.worldToView(wp[pick(rng)], x, y) && x > 0 && y > 0 && x < view.portWidth() &&
                y < view.portHeight())
                cursors.push_back({x, y});
        }
    }

    // One hover; returns the picked component id.
    int hover(size_t i) {
        const auto& c = cursors[i % cursors.size()];
        rayIntersectionArray hits;
        bool within = false;
        if (!hitHilitedMeshes(view, c.first, c.second, hits)) return -1;
        return pickClosestComponent(kPickNearest, view, c.first, c.second, hits, within).componentId;
    }
};

void BM_PluginHoverPick(benchmark::State& state) {
    static HoverView hv;
    hv.hover(0);  // the BVH's first build is not part of a hover
    runCase(state, "hover", [&](long i) { benchmark::DoNotOptimize(hv.hover(size_t(i))); });
}

}  // namespace

BENCHMARK(BM_RawEmbree);
BENCHMARK(BM_ApiPick);
BENCHMARK(BM_RefitThenPick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildThenPick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PluginHoverPick);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    scene();  // built once, outside every measurement
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double raw = rawSeconds();
    std::printf("raw Embree cast = %.3g us\n", raw * 1e6);
    for (const std::string& name : gOrder)
        std::printf("ratio %s/raw = %.4g\n", name.c_str(), gSeconds[name] / raw);
    return 0;
}
