// Flat writes of UVs, face colours and locked vertex normals: only the changed entries are written (in
// place when nothing else holds the mesh) and kept by the undo record, which undo and redo replay exactly;
// a mesh a caller holds is copied first. Point writes into the tweaks of a shape with history update the
// evaluated mesh at the written vertices and agree with a full evaluation.
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MFloatArray.h>
#include <maya/MVectorArray.h>

#include <vector>

#include "apimesh_util.h"
#include "graph/core/ScenePoints.h"
#include "mesh/MeshMath.h"

using namespace apimesh;
using kxh::Scene;

using MeshMapEdit = MeshApiTest;

namespace {

template <class Fn>
kxh::UndoEntryPtr recorded(Fn fn) {
    Scene::current().beginRecording();
    fn();
    return Scene::current().endRecording("step");
}

// A grid of side x side quads with one UV per vertex (u = i / side, v = j / side) in "map1".
MObject makeUvGrid(MFnMesh& fn, int side) {
    Grid g(side, side);
    MFloatArray u, v;
    for (int j = 0; j <= side; ++j)
        for (int i = 0; i <= side; ++i) {
            u.append(float(i) / float(side));
            v.append(float(j) / float(side));
        }
    MStatus st;
    MObject r = fn.create(g.numVertices(), g.numFaces(), g.points, g.counts, g.connects, u, v,
                          MObject::kNullObj, &st);
    EXPECT_TRUE(st);
    EXPECT_TRUE(fn.assignUVs(g.counts, g.connects));
    return r;
}

kxh::ConstMeshPtr shapeMeshOf(const MFnMesh& fn) {
    kxh::NodePtr n = kxh::nodeOf(fn.object());
    return n ? n->scene().shapeMesh(*n) : nullptr;
}

}  // namespace

TEST_F(MeshMapEdit, UvWritesKeepOnlyTheChangedUvsAndUndoRedoExactly) {
    MFnMesh fn;
    makeUvGrid(fn, 200);  // 40,401 UVs
    MFloatArray u0, v0;
    ASSERT_TRUE(fn.getUVs(u0, v0));
    ASSERT_EQ(u0.length(), 40401u);

    // Move 2% of the UVs (every 50th); the rest of the arrays is passed unchanged.
    MFloatArray u1 = u0, v1 = v0;
    unsigned moved = 0;
    for (unsigned i = 0; i < u1.length(); i += 50, ++moved) {
        u1[i] += 0.125f;
        v1[i] = -v1[i];
    }
    const kxh::Mesh* before = shapeMeshOf(fn).get();
    const long long bytesBefore = kxh::sceneMeshDataRecordBytes();
    auto step = recorded([&] { ASSERT_TRUE(fn.setUVs(u1, v1)); });
    ASSERT_TRUE(step);
    // Nothing else held the mesh: written in place.
    EXPECT_EQ(shapeMeshOf(fn).get(), before);
    // Id, old and new value per changed entry of u and of v: 24 bytes a UV, where the whole arrays would
    // take 8 bytes a UV of the mesh (323 kB here) and a mesh copy far more.
    const long long held = kxh::sceneMeshDataRecordBytes() - bytesBefore;
    EXPECT_GE(held, 24LL * moved);
    EXPECT_LT(held, 24LL * moved + 1024);

    MFloatArray u, v;
    fn.getUVs(u, v);
    EXPECT_EQ(u.vec(), u1.vec());
    EXPECT_EQ(v.vec(), v1.vec());
    step->undo();
    fn.getUVs(u, v);
    EXPECT_EQ(u.vec(), u0.vec());
    EXPECT_EQ(v.vec(), v0.vec());
    step->redo();
    fn.getUVs(u, v);
    EXPECT_EQ(u.vec(), u1.vec());
    EXPECT_EQ(v.vec(), v1.vec());
    step.reset();
    EXPECT_EQ(kxh::sceneMeshDataRecordBytes(), bytesBefore);

    // Writing the same arrays again changes and records nothing; shorter arrays are refused.
    EXPECT_FALSE(recorded([&] { ASSERT_TRUE(fn.setUVs(u1, v1)); }));
    MFloatArray shortU(3), shortV(3);
    EXPECT_EQ(fn.setUVs(shortU, shortV).statusCode(), MStatus::kInvalidParameter);

    // Longer arrays grow the set; undo takes the new UVs away again.
    MFloatArray u2 = u1, v2 = v1;
    u2.append(0.5f);
    v2.append(0.25f);
    auto grow = recorded([&] { ASSERT_TRUE(fn.setUVs(u2, v2)); });
    EXPECT_EQ(fn.numUVs(), 40402);
    grow->undo();
    EXPECT_EQ(fn.numUVs(), 40401);
    fn.getUVs(u, v);
    EXPECT_EQ(u.vec(), u1.vec());
    expectValid(fn);
}

TEST_F(MeshMapEdit, AMeshACallerHoldsIsCopiedBeforeAUvOrNormalWrite) {
    MFnMesh fn;
    makeUvGrid(fn, 8);
    kxh::ConstMeshPtr held = shapeMeshOf(fn);
    MFloatArray u, v;
    fn.getUVs(u, v);
    u[4] = 9;
    ASSERT_TRUE(fn.setUVs(u, v));
    EXPECT_EQ(held->uvSets[0].u[4], 0.5f);  // the caller's mesh is as it was
    kxh::ConstMeshPtr now = shapeMeshOf(fn);
    EXPECT_NE(now, held);
    EXPECT_EQ(now->uvSets[0].u[4], 9.f);

    MVectorArray n;
    n.append(MVector(1, 0, 0));
    MIntArray ids;
    ids.append(3);
    ASSERT_TRUE(fn.setVertexNormals(n, ids));
    EXPECT_TRUE(now->lockedNormals.empty());
    EXPECT_EQ(shapeMeshOf(fn)->lockedNormals.size(), 1u);
}

TEST_F(MeshMapEdit, FaceColourWritesRecordTheirColoursAndCornersOnly) {
    MFnMesh fn;
    makeUvGrid(fn, 100);  // 10,000 faces
    // The first write makes the colour set.
    ASSERT_TRUE(fn.setFaceColor(MColor(1, 0, 0), 0));
    ASSERT_EQ(fn.numColorSets(), 1);
    const kxh::Mesh before = *shapeMeshOf(fn);

    MColorArray colors;
    MIntArray faces;
    for (int f = 10; f < 210; f += 2) {
        faces.append(f);
        colors.append(MColor(0.f, float(f) / 256.f, 1.f));
    }
    faces.append(10);  // listed twice: the last colour wins
    colors.append(MColor(0.5f, 0.5f, 0.5f));
    const long long bytesBefore = kxh::sceneMeshDataRecordBytes();
    auto step = recorded([&] { ASSERT_TRUE(fn.setFaceColors(colors, faces)); });
    ASSERT_TRUE(step);
    // 101 new colours (16 bytes) and 400 corners (id, old, new): under 12 kB; the mesh's corner array
    // alone is 160 kB.
    const long long held = kxh::sceneMeshDataRecordBytes() - bytesBefore;
    EXPECT_GT(held, 101 * 16 + 400 * 12 - 1);
    EXPECT_LT(held, 12000);

    const kxh::Mesh after = *shapeMeshOf(fn);
    const auto& set = after.colorSets[0];
    const int corner10 = after.faceOffsets[10], corner12 = after.faceOffsets[12];
    EXPECT_EQ(set.colors[size_t(set.faceVertColor[size_t(corner10)])],
              (std::array<float, 4>{.5f, .5f, .5f, 1}));
    EXPECT_EQ(set.colors[size_t(set.faceVertColor[size_t(corner12)])][1], 12.f / 256.f);

    step->undo();
    const kxh::Mesh undone = *shapeMeshOf(fn);
    EXPECT_EQ(undone.colorSets[0].colors, before.colorSets[0].colors);
    EXPECT_EQ(undone.colorSets[0].faceVertColor, before.colorSets[0].faceVertColor);
    step->redo();
    const kxh::Mesh redone = *shapeMeshOf(fn);
    EXPECT_EQ(redone.colorSets[0].colors, after.colorSets[0].colors);
    EXPECT_EQ(redone.colorSets[0].faceVertColor, after.colorSets[0].faceVertColor);
    expectValid(fn);
}

TEST_F(MeshMapEdit, LockedNormalWritesUndoToTheDerivedNormals) {
    MFnMesh fn;
    makeUvGrid(fn, 20);
    MVector derived;
    fn.getVertexNormal(30, false, derived);
    EXPECT_NEAR(derived.y, 1, 1e-12);

    MVectorArray n;
    MIntArray ids;
    n.append(MVector(1, 0, 0));
    ids.append(30);
    auto first = recorded([&] { ASSERT_TRUE(fn.setVertexNormals(n, ids)); });
    const auto lockedAfterFirst = shapeMeshOf(fn)->lockedNormals;
    // A second write re-locks vertex 30 (twice, the last wins) and locks vertex 31.
    n.clear();
    ids.clear();
    for (auto [v, d] :
         {std::pair<int, MVector>{30, MVector(0, 0, 1)}, {31, MVector(0, 2, 0)}, {30, MVector(0, 0, -1)}}) {
        ids.append(v);
        n.append(d);
    }
    auto second = recorded([&] { ASSERT_TRUE(fn.setVertexNormals(n, ids)); });
    MVector got;
    fn.getVertexNormal(30, false, got);
    EXPECT_EQ(got, MVector(0, 0, -1));
    fn.getVertexNormal(31, false, got);
    EXPECT_EQ(got, MVector(0, 1, 0));
    // The same normals again are no change.
    EXPECT_FALSE(recorded([&] { ASSERT_TRUE(fn.setVertexNormals(n, ids)); }));

    second->undo();
    EXPECT_EQ(shapeMeshOf(fn)->lockedNormals.size(), lockedAfterFirst.size());
    fn.getVertexNormal(30, false, got);
    EXPECT_EQ(got, MVector(1, 0, 0));
    first->undo();
    EXPECT_TRUE(shapeMeshOf(fn)->lockedNormals.empty());
    fn.getVertexNormal(30, false, got);
    EXPECT_EQ(got, derived);
    first->redo();
    second->redo();
    fn.getVertexNormal(30, false, got);
    EXPECT_EQ(got, MVector(0, 0, -1));
}

TEST_F(MeshMapEdit, UvWritesOnAShapeWithHistoryGoToItsEditLayer) {
    MFnMesh src, dst;
    makeUvGrid(src, 4);
    makeUvGrid(dst, 4);
    Scene& scene = Scene::current();
    kxh::NodePtr a = kxh::nodeOf(src.object()), b = kxh::nodeOf(dst.object());
    ASSERT_TRUE(scene.connect(a->findPlug("outMesh"), b->findPlug("inMesh")));
    MFloatArray u0, v0;
    dst.getUVs(u0, v0);
    MFloatArray u1 = u0, v1 = v0;
    u1[7] = 3;
    auto step = recorded([&] { ASSERT_TRUE(dst.setUVs(u1, v1)); });
    MFloatArray u, v;
    dst.getUVs(u, v);
    EXPECT_EQ(u.vec(), u1.vec());
    src.getUVs(u, v);
    EXPECT_EQ(u.vec(), u0.vec());  // the input keeps its UVs
    step->undo();
    dst.getUVs(u, v);
    EXPECT_EQ(u.vec(), u0.vec());
}

// The kept evaluation of a shape with history and tweaks, updated at the written vertices only, must
// equal a full evaluation after any mix of flat writes, plug writes, undo and upstream changes.
TEST_F(MeshMapEdit, TweakedOutputOfAShapeWithHistoryFollowsFlatAndPlugWrites) {
    MFnMesh src, dst;
    makeUvGrid(src, 30);
    makeUvGrid(dst, 30);
    Scene& scene = Scene::current();
    kxh::NodePtr a = kxh::nodeOf(src.object()), b = kxh::nodeOf(dst.object());
    ASSERT_TRUE(scene.connect(a->findPlug("outMesh"), b->findPlug("inMesh")));
    const kxh::Plug pnts = b->findPlug("pnts");
    // The expected output: the input's points plus every stored tweak.
    auto expected = [&] {
        MPointArray p;
        src.getPoints(p);
        for (int i : pnts.existingLogicalIndices()) {
            auto t = b->storedValue(pnts.elementByLogicalIndex(unsigned(i))).asNumbers();
            if (t.size() == 3 && (t[0] != 0 || t[1] != 0 || t[2] != 0))
                p[unsigned(i)] += MVector(t[0], t[1], t[2]);
        }
        return p;
    };
    auto expectMatches = [&](const char* when) {
        MPointArray got;
        dst.getPoints(got);
        const MPointArray want = expected();
        size_t differing = 0;
        for (unsigned i = 0; i < got.length(); ++i)
            if (!(got[i] == want[i])) ++differing;
        EXPECT_EQ(differing, 0u) << when;
    };

    MPointArray pts;
    dst.getPoints(pts);
    std::vector<kxh::UndoEntryPtr> steps;
    for (int k = 0; k < 6; ++k) {
        for (unsigned i = unsigned(k * 37); i < pts.length(); i += 97) pts[i].y += 0.25 * (k + 1);
        steps.push_back(recorded([&] { ASSERT_TRUE(dst.setPoints(pts)); }));
        expectMatches("after a flat write");
    }
    // Once warm, a flat write updates the evaluated mesh in place (no copy per evaluation).
    const kxh::Mesh* address = shapeMeshOf(dst).get();
    pts[5].x += 1;
    steps.push_back(recorded([&] { ASSERT_TRUE(dst.setPoints(pts)); }));
    EXPECT_EQ(shapeMeshOf(dst).get(), address);
    expectMatches("in place");

    // A plug write of one tweak, then flat writes again.
    ASSERT_TRUE(scene.setValue(b->findPlug("pnts[40].pntz"), kxh::Value(-2.0)));
    expectMatches("after a plug write");
    dst.getPoints(pts);
    pts[41].z += 1;
    steps.push_back(recorded([&] { ASSERT_TRUE(dst.setPoints(pts)); }));
    expectMatches("after a flat write following a plug write");
    // A caller holding the evaluated mesh keeps its points.
    kxh::ConstMeshPtr held = shapeMeshOf(dst);
    const kxh::V3 heldPoint = held->points[41];
    pts[41].z += 1;
    steps.push_back(recorded([&] { ASSERT_TRUE(dst.setPoints(pts)); }));
    EXPECT_EQ(held->points[41], heldPoint);
    expectMatches("with the old mesh held");
    // The input moves.
    MPointArray up;
    src.getPoints(up);
    up[41].y = 5;
    src.setPoints(up);
    expectMatches("after an upstream change");
    // Undo of every flat step.
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        (*it)->undo();
        expectMatches("after undo");
    }
    // Baking keeps the evaluated points.
    const MPointArray want = expected();
    ASSERT_TRUE(scene.bakeHistory(*b));
    MPointArray baked;
    dst.getPoints(baked);
    EXPECT_EQ(baked.length(), want.length());
    for (unsigned i = 0; i < baked.length(); ++i) ASSERT_EQ(baked[i], want[i]) << i;
}
