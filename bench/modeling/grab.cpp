// The soft-selection grab step of the modeling tool against the drag step of the live-geometry bench, on
// the same 250k-vertex mesh (a 499 x 499 quad grid under a moved, turned transform) in the same run:
//
//   drag-step   what bench_edit times: ~2% of the vertices moved (a brush dab), setPoints of the whole
//               array (object space), one pick through the moved area
//   grab-step   one Ctrl-drag event of a soft-selection grab as the modeling tool runs it, the displacement
//               given: grabPoints over the region (~2,800 vertices, radius 3), setPoints of the whole world
//               array, the accelerator record freed, the draw locator's parr/ssrparr written with the
//               region, and the pick for the next event
//   grab-step-mirror  the same with the mirrored side (two regions)
//   smooth-step  one Shift-drag event without its pick of the component: the region rebuilt, its world
//               vertex normals, smoothPoints, setPoints of the world array and the pick for the next event
//   gesture-start  what a press does once: world points, neighbour lists and the region
//
// The drag and grab steps alternate in blocks of 20 on the mesh; the other steps follow, each alone in its
// loop. The figures are the median step times, wall clock (the ratio) and processor time of the whole
// process (what the step costs, which other work on a shared machine does not inflate).
// Printed: "ratio grab-step/drag-step = X" (target at most 2) and the milliseconds of each step; the
// smooth step and the gesture start are given in milliseconds only.
#include <benchmark/benchmark.h>
#include <maya/MDagPath.h>
#include <maya/MEulerRotation.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnMesh.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MVector.h>
#define MNoVersionString  // this program is no plug-in module: no MApiVersion of its own
#include <maya/MFnPlugin.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cmds/plugin/PluginHost.h"
#include "modeling/drawLocator.h"
#include "modeling/pointGestures.h"
#include "modeling/ratios.h"
#include "plugin/registration.h"
#include "support/denseGrid.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kGrid = 499;  // quads per side: 500 x 500 = 250,000 vertices
constexpr double kSpacing = kxbench::kGridSpacing;
constexpr double kGrabRadius = 3.0;       // ~2,800 vertices in the region
constexpr double kIntensity = 60 * 0.01;  // the default soft-selection intensity

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "bench_modeling grab: %s\n", what);
    std::exit(1);
}

struct GrabScene {
    MDagPath path;
    MObject locator;
    MPointArray rest, work;                   // object space, for the drag step
    std::vector<std::vector<unsigned>> dabs;  // ~2% of the vertices each
    std::vector<MPoint> dabCentres;           // object space
    MPointArray before, after;                // world space, for the grab
    std::vector<MIntArray> neighbours;
    SoftRegion region, mirrored;
    GestureMirror mirror;
    PointLimits limits;
    MPoint hitObject, hitWorld;
    int centreId = 0;

    GrabScene() {
        // The draw locator's node type, registered as the plug-in registers it.
        {
            kxh::PluginHost::Scope scope("kxBenchModelingGrab");
            MObject handle;
            MFnPlugin plugin(handle, "Kestrix Tools", "2008", "Any");
            if (!registerRows(plugin, loadTable())) fail("could not register the plug-in's rows");
        }
        MIntArray counts, connects;
        kxbench::denseGrid(kGrid, rest, counts, connects);
        MFnMesh fn;
        MStatus st;
        MObject transform = fn.create(int(rest.length()), int(counts.length()), rest, counts, connects,
                                      MObject::kNullObj, &st);
        if (!st) fail("could not create the mesh");
        MFnTransform xf(transform);
        xf.setTranslation(MVector(-35, 4, 20), MSpace::kTransform);
        xf.setRotation(MEulerRotation(MVector(0.3, 0.2, 0)));
        MDagPath::getAPathTo(transform, path);
        path.extendToShape();
        work = rest;

        // The drag step's dabs, as bench_edit makes them.
        kxbench::strokeDabs(kGrid, dabs, dabCentres);

        // The grab's gesture start (untimed, as at the press): points, neighbours, the region about a vertex
        // of the middle, and its mirror about the grid's own plane x = 25 taken as the mirror plane.
        MGlobal::executeCommand("createNode drawLocator -n kxModelingToolsDrawSSPointLocator");
        MSelectionList list;
        list.add("kxModelingToolsDrawSSPointLocator");
        if (!list.getDependNode(0, locator) || locator.isNull()) fail("could not make the draw locator");
        fn.setObject(path);
        fn.getPoints(before, MSpace::kWorld);
        after = before;
        neighbours = vertexNeighbours(path);
        const int n = kGrid + 1;
        const int centre = n / 2 + (n / 2) * n;
        centreId = centre;
        hitObject = rest[unsigned(centre)];
        hitWorld = before[unsigned(centre)];
        rayIntersectionData hit;
        hit.meshPath = path;
        hit.componentType = rayIntersectionData::kVertex;
        hit.componentId = centre;
        hit.point = hitWorld;
        // The mirror side: the region about the vertex 60 columns to the left, in a mirror space whose
        // plane runs half way between them.
        rayIntersectionData mirrorHit = hit;
        mirrorHit.componentId = centre - 60;
        mirrorHit.point = before[unsigned(centre - 60)];
        buildSoftRegion(hit, mirrorHit, false, kGrabRadius, before, neighbours, region);
        buildSoftRegion(hit, mirrorHit, true, kGrabRadius, before, neighbours, mirrored);
        MMatrix shift;
        shift[3][0] = -(hitObject.x - 30 * kSpacing);
        mirror = gestureMirrorFor(path, true, 0, false);
        mirror.toMirror = mirror.toMirror * shift;
        mirror.toWorld = mirror.toMirror.inverse();
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

    // bench_edit's drag step.
    bool dragStep(long i, MFloatPoint& hit) {
        const size_t k = size_t(i / 2) % dabs.size();
        const double dy = i % 2 ? -0.05 : 0.05;
        for (unsigned v : dabs[k]) work[v].y += dy;
        MFnMesh fn(path);
        fn.setPoints(work, MSpace::kObject);
        return castDown(dabCentres[k], hit);
    }

    // One grab event: the cursor has moved a little further along a stroke.
    bool grabStep(long i, bool withMirror, MFloatPoint& hit) {
        const MVector d = MVector(0.03, 0.08, -0.02) * double(1 + i % 16);
        const SoftRegion& r = withMirror ? mirrored : region;
        GestureMirror m = mirror;
        m.enabled = withMirror;
        grabPoints(before, after, r, d, mirroredDisplacement(hitWorld, hitWorld + d, m), kIntensity, false, m,
                   limits);
        MFnMesh fn(path);
        if (!fn.setPoints(after, MSpace::kWorld)) MGlobal::displayError("error setting points");
        if (fn.cachedIntersectionAcceleratorInfo().length()) fn.freeCachedIntersectionAccelerator();
        MPointArray shown(r.ids.length());
        for (unsigned k = 0; k < r.ids.length(); ++k) shown[k] = after[unsigned(r.ids[k])];
        drawLocator::setPointArray(locator, "parr", shown);
        drawLocator::setDoubleArray(locator, "ssrparr", r.weights);
        return castDown(hitObject, hit);
    }

    rayIntersectionData centreHit() const {
        rayIntersectionData hit;
        hit.meshPath = path;
        hit.componentType = rayIntersectionData::kVertex;
        hit.componentId = centreId;
        hit.point = hitWorld;
        return hit;
    }

    // One smooth event without the pick of the component under the cursor: the region rebuilt about the
    // hit, the region's world normals (into an array kept for the gesture), the smooth, setPoints of the
    // whole world array and the pick for the next event.
    bool smoothStep(MVectorArray& normals, MFloatPoint& hit) {
        const rayIntersectionData record = centreHit();
        SoftRegion r;
        buildSoftRegion(record, record, false, kGrabRadius, after, neighbours, r);
        MFnMesh fn(path);
        for (unsigned k = 0; k < r.ids.length(); ++k)
            fn.getVertexNormal(r.ids[k], normals[unsigned(r.ids[k])], MSpace::kWorld);
        GestureMirror m = mirror;
        m.enabled = false;
        smoothPoints(before, after, r, neighbours, normals, 0.5, 0.001, false, m, limits);
        if (!fn.setPoints(after, MSpace::kWorld)) MGlobal::displayError("error setting points");
        return castDown(hitObject, hit);
    }

    void reset() {
        MFnMesh(path).setPoints(rest, MSpace::kObject);
        work = rest;
        after = before;
    }
};

GrabScene& scene() {
    static std::unique_ptr<GrabScene> s;
    if (!s) s = std::make_unique<GrabScene>();
    return *s;
}

// Median wall-clock and processor milliseconds (every thread of the process) of each step, by name.
std::map<std::string, double> gMedianMs, gMedianCpuMs;

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

double median(std::vector<double>& values) {
    std::nth_element(values.begin(), values.begin() + long(values.size() / 2), values.end());
    return values[values.size() / 2];
}

template <typename Step>
void timeSteps(benchmark::State& state, const char* name, Step step) {
    GrabScene& s = scene();
    MFloatPoint hit;
    s.castDown(s.hitObject, hit);  // the first build is not part of a drag
    std::vector<double> times, cpuTimes;
    long i = 0;
    for (auto _ : state) {
        const double c0 = processCpuMs();
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(step(s, i++, hit));
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        cpuTimes.push_back(processCpuMs() - c0);
    }
    s.reset();
    if (times.empty()) return;
    gMedianMs[name] = median(times);
    gMedianCpuMs[name] = median(cpuTimes);
    state.counters["median_ms"] = gMedianMs[name];
    state.counters["median_cpu_ms"] = gMedianCpuMs[name];
}

// The drag step and the grab step in alternating blocks, so that both see the same load of a shared
// machine. The first step of each block rewrites what the other step left and is not counted.
constexpr int kBlock = 20;

void BM_GrabAgainstDrag(benchmark::State& state) {
    GrabScene& s = scene();
    MFloatPoint hit;
    s.castDown(s.hitObject, hit);  // the first build is not part of a drag
    std::map<std::string, std::vector<double>> wall, cpu;
    long block = 0;
    auto timed = [&](const char* name, long k, auto&& step) {
        const double c0 = processCpuMs();
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(step());
        if (k == 0) return;
        wall[name].push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        cpu[name].push_back(processCpuMs() - c0);
    };
    for (auto _ : state) {
        for (long k = 0; k < kBlock; ++k)
            timed("drag-step", k, [&] { return s.dragStep(block * kBlock + k, hit); });
        for (long k = 0; k < kBlock; ++k) timed("grab-step", k, [&] { return s.grabStep(k, false, hit); });
        s.reset();
        ++block;
    }
    for (auto& [name, times] : wall) {
        gMedianMs[name] = median(times);
        gMedianCpuMs[name] = median(cpu[name]);
        state.counters[name + " ms"] = gMedianMs[name];
    }
}

void BM_GrabStepMirror(benchmark::State& state) {
    timeSteps(state, "grab-step-mirror",
              [](GrabScene& s, long i, MFloatPoint& hit) { return s.grabStep(i, true, hit); });
}

void BM_SmoothStep(benchmark::State& state) {
    MVectorArray normals(unsigned(scene().before.length()));
    timeSteps(state, "smooth-step",
              [&normals](GrabScene& s, long, MFloatPoint& hit) { return s.smoothStep(normals, hit); });
}
// The gesture start of a grab (at the press, not per event): world points, neighbour lists, the region.
void BM_GestureStart(benchmark::State& state) {
    timeSteps(state, "gesture-start", [](GrabScene& s, long, MFloatPoint&) {
        MFnMesh(s.path).getPoints(s.before, MSpace::kWorld);
        s.neighbours = vertexNeighbours(s.path);
        buildSoftRegion(s.centreHit(), s.centreHit(), false, kGrabRadius, s.before, s.neighbours, s.region);
        return true;
    });
}

BENCHMARK(BM_GrabAgainstDrag)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_GrabStepMirror)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_SmoothStep)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_GestureStart)->Unit(benchmark::kMillisecond)->Iterations(3);

const RatioReporter reporter([] {
    const auto drag = gMedianMs.find("drag-step");
    for (const char* name : {"grab-step", "grab-step-mirror"}) {
        const auto grab = gMedianMs.find(name);
        if (grab == gMedianMs.end() || drag == gMedianMs.end()) continue;
        std::printf("%s 250k = %.4g ms, %.4g ms processor (drag-step %.4g ms, %.4g ms processor)\n", name,
                    grab->second, gMedianCpuMs[name], drag->second, gMedianCpuMs["drag-step"]);
        std::printf("ratio %s/drag-step = %.4g\n", name, grab->second / drag->second);
    }
    for (const char* name : {"smooth-step", "gesture-start"})
        if (auto it = gMedianMs.find(name); it != gMedianMs.end())
            std::printf("%s 250k = %.4g ms, %.4g ms processor\n", name, it->second, gMedianCpuMs[name]);
});

}  // namespace
