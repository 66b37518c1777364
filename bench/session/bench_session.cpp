// A retopology session with the QuadDraw Tool, through the host's MEL as a script drives it, on a small and
// on a dense reference in the same run: what one artist action costs and whether it depends on the size of
// the reference.
//
//   small   polySphere -sa 20 -sh 20 (800 faces)
//   dense   polySphere -sa 700 -sh 700 (490,000 faces, 980,000 triangles)
//
// Each reference is set up in a new scene: a 640 x 480 orthographic front view, the reference as the slide
// surface, the QuadDraw Tool active, and a first quad built from four clicks and a Shift-click, so the new
// mesh is hilited and the hover previews quads. The actions, each timed alone (manual time):
//
//   click   press and release over the reference: drops a loose point projected onto the reference
//           (undone again outside the measurement, so every click starts from the same loose points)
//   drag    one Ctrl-drag step moving a picked-up loose point over the reference
//   hover   one hover tick: the cursor moved and the virtual clock advanced by the timer's period
//   quad    a Shift-click that appends a quad to the new mesh (its two new corners are dropped untimed)
//   undo    undo of a click
//   depth   M3dView::readDepthMap of one pixel over the reference (what a tool's depth probe costs)
//   select  MGlobal::selectFromScreen at one pixel over the reference
//
// Then a view refresh after a point edit, in a scene of its own: a 250,000-face plane (polyPlane -sx 500
// -sy 500) in a 640 x 480 perspective view, 2,004 of its vertices moved (untimed), then `refresh -f` timed,
// against a `refresh -f` with nothing changed in the same run: "ratio point-edit-refresh/still-refresh",
// once with the plane as a dormant object and once hilited with its vertices selected (as a modeling tool's
// grab sees it: see-through faces and wires over everything).
//
// The program ends with one line per action, "ratio dense-ACTION/small-ACTION = X", the ratio of the median
// processor time of every thread of the process (the GL's rasterizer threads included) per action: what
// the action costs, which the load of other work on a shared machine does not inflate as it does wall
// time. Then the wall-clock milliseconds per action on each reference (median and mean) with their ratio,
// the first-use costs (reference made, first press and release), and the heap growth per click on the
// dense reference with its undo records kept.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <maya/M3dView.h>
#include <maya/MGlobal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "foundation/Output.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Reference {
    const char* name;
    int subdivisions;
};
const Reference kSmall{"small", 20};
const Reference kDense{"dense", 700};

// 640 pixels show 30 units: the port centre is world (0, 0).
constexpr double kPixelsPerUnit = 640.0 / 30.0;
int px(double x) {
    return 320 + int(std::lround(x * kPixelsPerUnit));
}
int py(double y) {
    return 240 + int(std::lround(y * kPixelsPerUnit));
}
std::string at(double x, double y) {
    return " " + std::to_string(px(x)) + " " + std::to_string(py(y));
}

void mel(const std::string& text) {
    const auto st = kxh::session().execute(text);
    if (!st.ok) {
        std::fprintf(stderr, "bench_session: '%s' failed: %s\n", text.c_str(), st.error.c_str());
        std::exit(1);
    }
}

// The processor time of the whole process (the GL's rasterizer threads included) over the last timed
// action: on a machine shared with other work, what an action costs, not how long it waited.
double gLastCpuSeconds = 0;

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + 1e-9 * double(ts.tv_nsec);
}

// Wall seconds of `work`, with its processor seconds (every thread) left in gLastCpuSeconds.
template <class Work>
double timed(Work&& work) {
    const double cpu0 = processCpuSeconds();
    const auto t0 = Clock::now();
    work();
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    gLastCpuSeconds = processCpuSeconds() - cpu0;
    return s;
}

double secondsOf(const std::string& text) {
    return timed([&] { mel(text); });
}

size_t heapBytes() {
    return mallinfo2().uordblks;
}

// --- the session ----------------------------------------------------------------------------------------

std::map<std::string, double> gSeconds;      // median per action: "small-click", "dense-quad", ...
std::map<std::string, double> gMeanSeconds;  // mean per action
std::map<std::string, double> gCpuSeconds;   // median processor time per action, every thread
std::map<std::string, double> gFirstUse;
double gDenseHeapPerClick = 0;

struct Session {
    const Reference* current = nullptr;
    double nextQuadX = 0;  // the right edge of the strip of quads built so far

    // A new scene with the reference as the slide surface, the tool active and a first quad built.
    void setUp(const Reference& ref) {
        if (current == &ref) return;
        current = &ref;
        mel("setToolTo selectSuperContext; file -f -new;");
        mel("kxhViewSize 640 480; viewPlace -eye 0 0 100 -la 0 0 0 -o; camera -e -ow 30 persp;");
        const std::string make = "polySphere -r 10 -sa " + std::to_string(ref.subdivisions) + " -sh " +
                                 std::to_string(ref.subdivisions) + " -n reference; select -cl;";
        const auto t0 = Clock::now();
        mel(make + "polyEvaluate -t reference;");
        gFirstUse[std::string(ref.name) + "-make"] = std::chrono::duration<double>(Clock::now() - t0).count();
        mel("kx_modeling_tool_ui; textField -e -tx reference add_static_slide_object_KXPT_TF;"
            "kxSetCommands -ms \"setSlideDag\"; checkBox -e -v 1 enable_slide_soft_select_KXPT_CB;"
            "checkBox -e -v 0 mirror_KXPT_CB; kxSetCommands -ms \"storeValues\";");
        mel("setToolTo `quadDrawContext`;");
        // The first click builds what the reference needs for queries and drawing
        // (the press casts into it: its acceleration structure; the release redraws the view: its display
        // list).
        gFirstUse[std::string(ref.name) + "-first-press"] = secondsOf("kxhPress" + at(-6, -1) + ";");
        gFirstUse[std::string(ref.name) + "-first-release"] = secondsOf("kxhRelease;");
        mel("kxhPress" + at(-5, -1) + "; kxhRelease;");
        mel("kxhPress" + at(-5, 0) + "; kxhRelease;");
        mel("kxhPress" + at(-6, 0) + "; kxhRelease;");
        mel("kxhPress -sh" + at(-5.5, -0.5) + "; kxhRelease -sh;");
        nextQuadX = -5;
        // Loose points away from the strip, for the Ctrl-drags to pick up.
        mel("kxhPress" + at(-4, 4) + "; kxhRelease;");
    }
};

Session& session() {
    static Session s;
    return s;
}

const Reference& referenceOf(const benchmark::State& state) {
    return state.range(0) == 0 ? kSmall : kDense;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Keeps the median and the mean wall seconds of an action's runs and their median processor seconds,
// without the first few runs (they warm the caches and the code paths of the case). Ratios are taken of
// medians: on a machine shared with other work, a few runs that waited for the processor do not move them.
void record(benchmark::State& state, const char* action, std::vector<double> times, std::vector<double> cpu) {
    const std::string key = std::string(referenceOf(state).name) + "-" + action;
    const auto warm = std::ptrdiff_t(std::min<size_t>(5, times.size() / 4));
    times.erase(times.begin(), times.begin() + warm);
    cpu.erase(cpu.begin(), cpu.begin() + warm);
    if (times.empty()) return;
    double sum = 0;
    for (double t : times) sum += t;
    gSeconds[key] = median(times);
    gMeanSeconds[key] = sum / double(times.size());
    gCpuSeconds[key] = median(cpu);
    state.counters["median_ms"] = 1e3 * gSeconds[key];
    state.counters["cpu_ms"] = 1e3 * gCpuSeconds[key];
}

// The case's runs: `step(n)` does the n-th action and returns its wall seconds (through timed or secondsOf,
// which leave its processor seconds); they are reported under `action`.
template <class Step>
void timeAction(benchmark::State& state, const char* action, Step&& step) {
    std::vector<double> times, cpu;
    long n = 0;
    for (auto _ : state) {
        const double s = step(n++);
        state.SetIterationTime(s);
        times.push_back(s);
        cpu.push_back(gLastCpuSeconds);
    }
    record(state, action, times, cpu);
}

void BM_Click(benchmark::State& state) {
    session().setUp(referenceOf(state));
    timeAction(state, "click", [](long n) {
        const double x = -3 + 0.05 * double(n % 80), y = -3 + 0.05 * double((n / 80) % 80);
        const double s = secondsOf("kxhPress" + at(x, y) + "; kxhRelease;");
        mel("undo;");
        return s;
    });
}

void BM_Undo(benchmark::State& state) {
    session().setUp(referenceOf(state));
    timeAction(state, "undo", [](long n) {
        mel("kxhPress" + at(-2 + 0.05 * double(n % 60), 2) + "; kxhRelease;");
        return secondsOf("undo;");
    });
}

void BM_CtrlDragStep(benchmark::State& state) {
    session().setUp(referenceOf(state));
    mel("kxhPress -ct" + at(-4, 4) + ";");
    timeAction(state, "drag", [](long n) {
        return secondsOf("kxhDrag -ct" + at(-4 + 0.05 * double(n % 40), 4 - 0.05 * double(n % 40)) + ";");
    });
    // The point goes back where it was picked up, so the next run picks it up again.
    mel("kxhDrag -ct" + at(-4, 4) + "; kxhRelease -ct;");
}

void BM_HoverTick(benchmark::State& state) {
    session().setUp(referenceOf(state));
    timeAction(state, "hover", [](long n) {
        // Over the quad strip, where the preview has candidates to choose from.
        return secondsOf("kxhViewCursor" + at(-5.5 + 0.02 * double(n % 50), 0.3) + "; kxhAdvanceTime 0.01;");
    });
}

void BM_ShiftClickQuad(benchmark::State& state) {
    Session& sess = session();
    sess.setUp(referenceOf(state));
    timeAction(state, "quad", [&](long) {
        // The next quad of the strip: two new corners on the right of the last one, then the Shift-click.
        const double x = sess.nextQuadX + 0.5;
        mel("kxhPress" + at(x, -1) + "; kxhRelease; kxhPress" + at(x, 0) + "; kxhRelease;");
        const double s = secondsOf("kxhPress -sh" + at(x - 0.25, -0.5) + "; kxhRelease -sh;");
        sess.nextQuadX = x;
        return s;
    });
}

void BM_DepthPixel(benchmark::State& state) {
    session().setUp(referenceOf(state));
    M3dView view = M3dView::active3dView();
    float depth = 0;
    timeAction(state, "depth", [&](long n) {
        const double s = timed([&] {
            view.readDepthMap((unsigned short)px(-3 + 0.05 * double(n % 100)), (unsigned short)py(2), 1, 1,
                              reinterpret_cast<unsigned char*>(&depth), M3dView::kDepth_Float);
        });
        benchmark::DoNotOptimize(depth);
        return s;
    });
}

void BM_SelectPixel(benchmark::State& state) {
    session().setUp(referenceOf(state));
    timeAction(state, "select", [](long n) {
        return timed([&] {
            MGlobal::selectFromScreen(short(px(-3 + 0.05 * double(n % 100))), short(py(2)),
                                      MGlobal::kReplaceList);
        });
    });
    // The tool goes on with nothing selected, as it started.
    mel("select -cl;");
}

// Heap growth per click on the dense reference, undo records included (nothing is undone).
void measureDenseClickMemory() {
    session().setUp(kDense);
    const int clicks = 40;
    mel("kxhPress" + at(3, 3) + "; kxhRelease;");  // anything allocated once is not per click
    const size_t before = heapBytes();
    for (int i = 0; i < clicks; ++i) mel("kxhPress" + at(3 + 0.05 * i, 3) + "; kxhRelease;");
    const size_t after = heapBytes();
    gDenseHeapPerClick = (double(after) - double(before)) / clicks;
}

// --- a refresh after a point edit ------------------------------------------------------------------------

std::map<std::string, double> gRefreshCpu, gRefreshSeconds;  // median per "dormant-edit", "hilited-still"

// A new scene with the dense plane; hilited with a vertex selected for Arg(1).
void setUpPlane(const benchmark::State& state) {
    session().current = nullptr;  // the QuadDraw cases set their scene up again
    mel("setToolTo selectSuperContext; file -f -new;");
    mel("kxhViewSize 640 480; viewPlace -eye 0 9 7 -la 0 0 0 persp;");
    mel("polyPlane -w 10 -h 10 -sx 500 -sy 500 -n plane; select -cl;");
    if (state.range(0) == 1) mel("select -r plane.vtx[0]; hilite plane;");
    mel("refresh -f; refresh -f;");
}

const char* planeMode(const benchmark::State& state) {
    return state.range(0) == 0 ? "dormant" : "hilited";
}

void keepRefresh(const std::string& key, std::vector<double> times, std::vector<double> cpu) {
    times.erase(times.begin(), times.begin() + 3);  // warm-up
    cpu.erase(cpu.begin(), cpu.begin() + 3);
    gRefreshSeconds[key] = median(times);
    gRefreshCpu[key] = median(cpu);
}

// 2,004 vertices (four rows of the plane's 501) moved up and back on alternate runs, then the refresh.
void BM_PointEditRefresh(benchmark::State& state) {
    setUpPlane(state);
    std::vector<double> times, cpu;
    long n = 0;
    for (auto _ : state) {
        mel(n++ % 2 ? "move -r 0 -0.05 0 plane.vtx[120000:122003];"
                    : "move -r 0 0.05 0 plane.vtx[120000:122003];");
        const double s = secondsOf("refresh -f;");
        state.SetIterationTime(s);
        times.push_back(s);
        cpu.push_back(gLastCpuSeconds);
    }
    keepRefresh(std::string(planeMode(state)) + "-edit", times, cpu);
}

void BM_StillRefresh(benchmark::State& state) {
    setUpPlane(state);
    std::vector<double> times, cpu;
    for (auto _ : state) {
        const double s = secondsOf("refresh -f;");
        state.SetIterationTime(s);
        times.push_back(s);
        cpu.push_back(gLastCpuSeconds);
    }
    keepRefresh(std::string(planeMode(state)) + "-still", times, cpu);
}

constexpr int kQuads = 24;  // one strip from x = -5 to x = 7

}  // namespace

// Every action on the small reference first, then on the dense one (each reference is set up once).
BENCHMARK(BM_Click)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_CtrlDragStep)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_HoverTick)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_Undo)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_ShiftClickQuad)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kQuads);
BENCHMARK(BM_DepthPixel)->Arg(0)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(BM_SelectPixel)->Arg(0)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(BM_Click)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_CtrlDragStep)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_HoverTick)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_Undo)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);
BENCHMARK(BM_ShiftClickQuad)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(kQuads);
BENCHMARK(BM_DepthPixel)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(BM_SelectPixel)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(BM_StillRefresh)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PointEditRefresh)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    kxh::output().setEcho(false);
    mel("loadPlugin kxModelingTools;");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (gSeconds.count("dense-click")) measureDenseClickMemory();

    for (const char* action : {"click", "drag", "quad", "hover", "undo", "depth", "select"}) {
        const std::string s = std::string("small-") + action, d = std::string("dense-") + action;
        if (!gSeconds.count(s) || !gSeconds.count(d)) continue;
        std::printf("ratio dense-%s/small-%s = %.3g\n", action, action, gCpuSeconds[d] / gCpuSeconds[s]);
    }
    for (const char* action : {"click", "drag", "quad", "hover", "undo", "depth", "select"}) {
        const std::string s = std::string("small-") + action, d = std::string("dense-") + action;
        if (!gSeconds.count(s) || !gSeconds.count(d)) continue;
        std::printf("ms per %s (median, mean): small %.4f, %.4f; dense %.4f, %.4f\n", action,
                    1e3 * gSeconds[s], 1e3 * gMeanSeconds[s], 1e3 * gSeconds[d], 1e3 * gMeanSeconds[d]);
        std::printf("processor ms per %s (median, all threads): small %.4f, dense %.4f\n", action,
                    1e3 * gCpuSeconds[s], 1e3 * gCpuSeconds[d]);
        std::printf("wall-clock dense/small per %s (medians) = %.3g\n", action, gSeconds[d] / gSeconds[s]);
    }
    for (const auto& [name, seconds] : gFirstUse)
        std::printf("first use %s: %.1f ms\n", name.c_str(), 1e3 * seconds);
    if (gSeconds.count("dense-click"))
        std::printf("heap growth per dense click (undo records kept): %.1f KB\n",
                    gDenseHeapPerClick / 1024.0);
    for (const char* mode : {"dormant", "hilited"}) {
        const std::string e = std::string(mode) + "-edit", s = std::string(mode) + "-still";
        if (!gRefreshCpu.count(e) || !gRefreshCpu.count(s)) continue;
        std::printf("ratio point-edit-refresh/still-refresh %s = %.3g\n", mode,
                    gRefreshCpu[e] / gRefreshCpu[s]);
        std::printf(
            "ms per refresh on the 250k-face plane, %s (median wall; processor, all threads): "
            "after a 2k-vertex edit %.2f; %.2f, nothing changed %.2f; %.2f\n",
            mode, 1e3 * gRefreshSeconds[e], 1e3 * gRefreshCpu[e], 1e3 * gRefreshSeconds[s],
            1e3 * gRefreshCpu[s]);
    }
    return 0;
}
