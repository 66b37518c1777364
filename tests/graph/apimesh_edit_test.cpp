// The edit path of interactive tools through the API: a brush-like session of whole-array setPoints and
// picks on a 250k-vertex mesh, each step recorded and undone exactly; the memory the undo records hold;
// copy-on-write of a mesh that a caller still holds; point writes into the tweaks of a shape with history.
#include <malloc.h>
#include <maya/MDagPath.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnTransform.h>
#include <maya/MVector.h>

#include <cmath>
#include <vector>

#include "apimesh_util.h"
#include "graph/core/ScenePoints.h"

using namespace apimesh;
using kxh::Scene;

using MeshEdit = MeshApiTest;

namespace {

// 499 x 499 quads: 250,000 vertices.
constexpr int kSide = 499;

// A brush dab: the vertices within radius r of grid position (ci, cj), lifted by a smooth falloff.
struct Dab {
    std::vector<unsigned> ids;
    std::vector<double> lift;
};
Dab dabAt(double ci, double cj, double r, double height) {
    Dab d;
    const int n = kSide + 1;
    for (int j = std::max(0, int(cj - r)); j <= std::min(n - 1, int(cj + r) + 1); ++j)
        for (int i = std::max(0, int(ci - r)); i <= std::min(n - 1, int(ci + r) + 1); ++i) {
            const double q = ((i - ci) * (i - ci) + (j - cj) * (j - cj)) / (r * r);
            if (q > 1) continue;
            d.ids.push_back(unsigned(i + j * n));
            d.lift.push_back(height * (1 - q) * (1 - q));
        }
    return d;
}

// Runs fn as one recorded step and returns its undo entry.
template <class Fn>
kxh::UndoEntryPtr recorded(Fn fn) {
    Scene::current().beginRecording();
    fn();
    return Scene::current().endRecording("step");
}

void expectSamePoints(const MPointArray& a, const MPointArray& b) {
    ASSERT_EQ(a.length(), b.length());
    size_t differing = 0;
    for (unsigned i = 0; i < a.length(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].z != b[i].z) ++differing;
    EXPECT_EQ(differing, 0u);
}

size_t heapInUse() {
    return mallinfo2().uordblks;
}

}  // namespace

TEST_F(MeshEdit, BrushSessionOfWholeArrayWritesAndPicksUndoesEveryStepExactly) {
    MFnMesh fn;
    MObject xfObj = makeGrid(fn, kSide, kSide);
    ASSERT_EQ(fn.numVertices(), 250000);
    MFnTransform xf(xfObj);
    xf.setTranslation(MVector(3, -2, 1), MSpace::kTransform);
    MDagPath path;
    MDagPath::getAPathTo(xfObj, path);
    MFnMesh mesh(path);

    MPointArray work;
    ASSERT_TRUE(mesh.getPoints(work, MSpace::kObject));
    const MPointArray rest = work;
    std::vector<kxh::UndoEntryPtr> steps;
    std::vector<std::vector<std::pair<unsigned, MPoint>>> before;  // what each step's dab overwrote
    std::vector<MPointArray> snapshots;                            // all points before every 8th step
    MPointArray now;
    for (int step = 0; step < 40; ++step) {
        // A stroke across the grid, dabs overlapping; every other step written in world space.
        const double ci = 40 + step * 10.5, cj = 60 + step * 8.0;
        const Dab dab = dabAt(ci, cj, 35, step % 3 == 0 ? -2.0 : 1.5);
        mesh.getPoints(now, MSpace::kObject);
        if (step % 8 == 0) snapshots.push_back(now);
        before.emplace_back();
        for (size_t k = 0; k < dab.ids.size(); ++k) {
            before.back().push_back({dab.ids[k], now[dab.ids[k]]});
            work[dab.ids[k]].y += dab.lift[k];
        }
        steps.push_back(recorded([&] {
            if (step % 2) {
                MPointArray world = work;
                for (unsigned i = 0; i < world.length(); ++i) world[i] += MVector(3, -2, 1);
                ASSERT_TRUE(mesh.setPoints(world, MSpace::kWorld));
            } else {
                ASSERT_TRUE(mesh.setPoints(work, MSpace::kObject));
            }
        }));
        ASSERT_TRUE(steps.back());
        // The next event's pick, straight down on the dab's centre (a grid vertex), hits its new height.
        const unsigned centre = unsigned(std::lround(ci) + std::lround(cj) * (kSide + 1));
        const MPoint top = work[centre] + MVector(3, 20, 1);
        MFloatPoint hit;
        ASSERT_TRUE(mesh.closestIntersection(MFloatPoint(float(top.x), float(top.y), float(top.z)),
                                             MFloatVector(0, -1, 0), nullptr, nullptr, false, MSpace::kWorld,
                                             1000, false, nullptr, hit, nullptr, nullptr, nullptr, nullptr,
                                             nullptr, 1e-6f));
        EXPECT_NEAR(hit.y, work[centre].y - 2, 1e-3) << "step " << step;
    }
    mesh.getPoints(now, MSpace::kObject);
    for (unsigned i = 0; i < now.length(); i += 97) EXPECT_NEAR(now[i].y, work[i].y, 1e-9);

    // Undo every step, newest first: each restores exactly the points it overwrote.
    for (int step = int(steps.size()) - 1; step >= 0; --step) {
        steps[size_t(step)]->undo();
        mesh.getPoints(now, MSpace::kObject);
        for (auto& [id, p] : before[size_t(step)])
            ASSERT_EQ(now[id].y, p.y) << "step " << step << " vertex " << id;
        if (step % 8 == 0) expectSamePoints(now, snapshots[size_t(step / 8)]);
    }
    expectSamePoints(now, rest);
    // Picks after the undo see the restored surface.
    MFloatPoint hit;
    ASSERT_TRUE(mesh.closestIntersection(MFloatPoint(103.5f, 20, -150.5f), MFloatVector(0, -1, 0), nullptr,
                                         nullptr, false, MSpace::kWorld, 1000, false, nullptr, hit, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, 1e-6f));
    EXPECT_NEAR(hit.y, -2, 1e-6);
    // Redo replays them all.
    for (auto& s : steps) s->redo();
    mesh.getPoints(now, MSpace::kObject);
    for (unsigned i = 0; i < now.length(); i += 89) EXPECT_NEAR(now[i].y, work[i].y, 1e-9);
}

TEST_F(MeshEdit, HundredUndoRecordsOfATwoPercentEditStayCompact) {
    MFnMesh fn;
    makeGrid(fn, kSide, kSide);
    MPointArray work, rest;
    fn.getPoints(work);
    rest = work;
    const long long recordsBefore = kxh::scenePointRecordBytes();
    const size_t heapBefore = heapInUse();
    std::vector<kxh::UndoEntryPtr> steps;
    for (int step = 0; step < 100; ++step) {
        // ~2% of the vertices (radius 40 on a 500 x 500 grid), the whole array written each time, as a tool
        // command that keeps whole arrays would write it.
        const Dab dab = dabAt(60 + step * 3.7, 80 + step * 3.1, 40, 0.25);
        for (size_t k = 0; k < dab.ids.size(); ++k) work[dab.ids[k]].y += dab.lift[k];
        steps.push_back(recorded([&] { ASSERT_TRUE(fn.setPoints(work)); }));
        ASSERT_TRUE(steps.back());
    }
    const double recordMB = double(kxh::scenePointRecordBytes() - recordsBefore) / 1e6;
    const double heapMB = (double(heapInUse()) - double(heapBefore)) / 1e6;
    // 5,000 entries per step at (id, before, after): about 0.26 MB a step. Whole-array records (or a copy
    // of the mesh per step) would take 6 to 20 MB each.
    EXPECT_GT(recordMB, 10.0);
    EXPECT_LT(recordMB, 40.0);
    EXPECT_LT(heapMB, 60.0);
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) (*it)->undo();
    MPointArray now;
    fn.getPoints(now);
    expectSamePoints(now, rest);
    steps.clear();
    EXPECT_EQ(kxh::scenePointRecordBytes(), recordsBefore);
}

TEST_F(MeshEdit, AMeshSomeoneStillHoldsIsCopiedBeforeAWriteAndOtherwiseWrittenInPlace) {
    MFnMesh fn;
    MObject xfObj = makeGrid(fn, 10, 10);
    kxh::NodePtr shape = kxh::nodeOf(fn.object());
    ASSERT_TRUE(shape);
    Scene& scene = Scene::current();
    kxh::ConstMeshPtr held = scene.shapeMesh(*shape);
    MPointArray pts;
    fn.getPoints(pts);
    pts[5].y = 7;
    ASSERT_TRUE(fn.setPoints(pts));
    // The caller's mesh keeps the points it had; the shape shows the new ones.
    EXPECT_EQ(held->points[5].y, 0.0);
    kxh::ConstMeshPtr after = scene.shapeMesh(*shape);
    EXPECT_NE(after, held);
    EXPECT_EQ(after->points[5].y, 7.0);
    held.reset();
    // Nobody else holds the new mesh: the next write changes it in place.
    const kxh::Mesh* address = after.get();
    after.reset();
    pts[6].y = 3;
    ASSERT_TRUE(fn.setPoints(pts));
    EXPECT_EQ(scene.shapeMesh(*shape).get(), address);
    MPoint p;
    fn.getPoint(6, p);
    EXPECT_EQ(p.y, 3.0);
    // A write that changes nothing records nothing.
    EXPECT_FALSE(recorded([&] { ASSERT_TRUE(fn.setPoints(pts)); }));
    // A wrong count is refused and changes nothing.
    MPointArray shortList(3);
    EXPECT_EQ(fn.setPoints(shortList).statusCode(), MStatus::kInvalidParameter);
    fn.getPoint(6, p);
    EXPECT_EQ(p.y, 3.0);
}

TEST_F(MeshEdit, PointWritesOnAShapeWithHistoryGoToItsTweaksEntryByEntry) {
    MFnMesh src, dst;
    makeGrid(src, 4, 4);
    makeGrid(dst, 4, 4);
    Scene& scene = Scene::current();
    kxh::NodePtr a = kxh::nodeOf(src.object()), b = kxh::nodeOf(dst.object());
    ASSERT_TRUE(scene.connect(a->findPlug("outMesh"), b->findPlug("inMesh")));
    ASSERT_TRUE(scene.hasHistory(*b));

    MPointArray pts;
    dst.getPoints(pts);
    pts[7].y = 0.5;
    pts[12] = MPoint(2.25, -1, -2);
    auto step = recorded([&] { ASSERT_TRUE(dst.setPoints(pts)); });
    ASSERT_TRUE(step);
    kxh::Plug pnts = b->findPlug("pnts");
    EXPECT_EQ(pnts.existingLogicalIndices(), (std::vector<int>{7, 12}));
    EXPECT_EQ(b->storedValue(pnts.elementByLogicalIndex(12)).asNumbers(), (std::vector<double>{0.25, -1, 0}));
    MPoint p;
    dst.getPoint(12, p);
    EXPECT_EQ(p, MPoint(2.25, -1, -2));
    // The input keeps its points; a change upstream shows through the tweaks.
    src.getPoint(12, p);
    EXPECT_EQ(p, MPoint(2, 0, -2));
    MPointArray up;
    src.getPoints(up);
    up[12].y = 1;
    src.setPoints(up);
    dst.getPoint(12, p);
    EXPECT_EQ(p, MPoint(2.25, 0, -2));

    // Moving a tweaked point back onto its input sets its tweak to zero; undo restores both entries.
    dst.getPoints(pts);
    pts[7].y = 0;
    auto back = recorded([&] { ASSERT_TRUE(dst.setPoints(pts)); });
    EXPECT_EQ(b->storedValue(pnts.elementByLogicalIndex(7)).asNumbers(), (std::vector<double>{0, 0, 0}));
    back->undo();
    dst.getPoint(7, p);
    EXPECT_EQ(p.y, 0.5);
    step->undo();
    EXPECT_TRUE(pnts.existingLogicalIndices().empty());
    dst.getPoint(12, p);
    EXPECT_EQ(p, MPoint(2, 1, -2));
    // Redo puts the tweak back: the offset it recorded, over the input as it is now.
    step->redo();
    dst.getPoint(12, p);
    EXPECT_EQ(p, MPoint(2.25, 0, -2));
}
