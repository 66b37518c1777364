// The live extrude: while the modeling tool's shift+ctrl+middle drag runs, every drag event sets the
// extrude node's localTranslateZ, and the node and the mesh it feeds evaluate again. Measured on a 500 x 500
// grid (250k faces) with a 10k-face region extruded, against a baseline timed in the same run:
//
//   setpoints-all   MFnMesh::setPoints of the whole array with every vertex moved, on a mesh of the same
//                   size without history (what a whole-mesh point edit costs)
//   extrude-live    one localTranslateZ change and the evaluation of the shape it feeds   vs setpoints-all
//
// The reporter prints "ratio extrude-live/setpoints-all = X" and the milliseconds of both.
#include <benchmark/benchmark.h>
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "foundation/Output.h"
#include "modeling/ratios.h"

namespace {

constexpr int kGrid = 500;           // quads per side: 250k faces
constexpr int kRegionFaces = 10000;  // the first 20 rows

using Clock = std::chrono::steady_clock;

std::map<std::string, double> gMedianMs;

void mel(const std::string& text) {
    const auto st = kxh::session().execute(text);
    if (!st.ok) {
        std::fprintf(stderr, "bench_modeling: '%s' failed: %s\n", text.c_str(), st.error.c_str());
        std::exit(1);
    }
}

MDagPath shapePath(const char* name) {
    MSelectionList list;
    MDagPath path;
    if (!list.add(name) || !list.getDagPath(0, path) || !path.extendToShape()) {
        std::fprintf(stderr, "bench_modeling: no mesh %s\n", name);
        std::exit(1);
    }
    return path;
}

// Two dense grids: "live" with the region extruded through a history node, "flat" without history.
struct ExtrudeScene {
    MDagPath live, flat;
    MPlug localTranslateZ;
    MPointArray flatA, flatB;

    ExtrudeScene() {
        kxh::output().setEcho(false);
        const std::string grid = "polyPlane -w 50 -h 50 -sx " + std::to_string(kGrid) + " -sy " +
                                 std::to_string(kGrid) + " -ch 0 -n ";
        mel(grid + "live");
        mel(grid + "flat");
        mel("select -r live.f[0:" + std::to_string(kRegionFaces - 1) + "]");
        // The modeling context's extrude, as its press runs it.
        mel("polyExtrudeFacet -constructionHistory 1 -keepFacesTogether 1 -divisions 1 -ltz .1 -twist 0 "
            "-taper 1 -off 0 -smoothingAngle 30");
        mel("select -cl");
        live = shapePath("live");
        flat = shapePath("flat");
        MSelectionList node;
        MObject object;
        if (!node.add("polyExtrudeFace1") || !node.getDependNode(0, object)) {
            std::fprintf(stderr, "bench_modeling: no extrude node\n");
            std::exit(1);
        }
        localTranslateZ = MFnDependencyNode(object).findPlug("localTranslateZ", true);
        MFnMesh(flat).getPoints(flatA);
        flatB = flatA;
        for (unsigned i = 0; i < flatB.length(); ++i) flatB[i].y += 0.01;
        // The first evaluation builds what later ones reuse.
        MFnMesh(live).numVertices();
    }
};

ExtrudeScene& scene() {
    static ExtrudeScene s;
    return s;
}

// Times each iteration of `step` itself, so the ratio compares medians (a shared machine's stalls
// fall out of both).
template <typename Step>
void timed(benchmark::State& state, const char* name, Step step) {
    std::vector<double> seconds;
    for (auto _ : state) {
        const auto start = Clock::now();
        step();
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(s);
        seconds.push_back(s);
    }
    std::sort(seconds.begin(), seconds.end());
    if (!seconds.empty()) gMedianMs[name] = 1e3 * seconds[seconds.size() / 2];
}

void BM_SetPointsAll(benchmark::State& state) {
    ExtrudeScene& s = scene();
    MFnMesh fn(s.flat);
    bool flip = false;
    timed(state, "setpoints-all", [&] {
        fn.setPoints(flip ? s.flatA : s.flatB);
        flip = !flip;
    });
}

void BM_ExtrudeLive(benchmark::State& state) {
    ExtrudeScene& s = scene();
    int step = 0;
    timed(state, "extrude-live", [&] {
        // A drag event's amount, then what the view's refresh asks of the mesh.
        s.localTranslateZ.setValue(float(0.1 + 0.01 * (++step % 50)));
        MFnMesh(s.live).numVertices();
    });
}

const RatioReporter kReporter([] {
    if (!gMedianMs.count("setpoints-all") || !gMedianMs.count("extrude-live")) return;
    std::printf("ratio extrude-live/setpoints-all = %.3g\n",
                gMedianMs["extrude-live"] / gMedianMs["setpoints-all"]);
    std::printf("ms per extrude-live (median) = %.3f; per setpoints-all = %.3f\n", gMedianMs["extrude-live"],
                gMedianMs["setpoints-all"]);
});

}  // namespace

BENCHMARK(BM_SetPointsAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_ExtrudeLive)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);
