// Picking through a real view: the cursor in the port, casts into hilited and selected meshes with the
// grid fallback beside thin meshes, the nearer of two meshes, the screen-space refiners (with the edge
// line-distance rule), mirrored picks, framing refused behind the eye, and selecting a picked component.
#include <windows.h>

#include <maya/MGlobal.h>

#include <set>

#include "geometry/viewPicking.h"
#include "geometry_fixture.h"

namespace {

class PickingTest : public GeometryTest {
protected:
    void SetUp() override {
        GeometryTest::SetUp();
        place(MPoint(0, 0, 30), MPoint(0, 0, 0));
        resetPickAccelParams();
    }
    // A 10 x 10 wall of unit quads in the XY plane, facing the camera.
    MDagPath wall(const char* name = "wall") {
        mel(std::string("polyPlane -ax 0 0 1 -w 10 -h 10 -sx 10 -sy 10 -n ") + name);
        return shapeOf(name);
    }
    void hilite(const std::vector<const char*>& names) {
        MSelectionList list;
        for (const char* n : names) list.add(n);
        MGlobal::setHiliteList(list);
    }
    // The port position of a world point.
    static void project(const MPoint& p, short& x, short& y) {
        M3dView v = view();
        ASSERT_TRUE(v.worldToView(p, x, y));
    }
    // Pixels per world unit on the plane z = 0 seen from the camera.
    static double pixelsPerUnit() {
        short x0, y0, x1, y1;
        project(MPoint(0, 0, 0), x0, y0);
        project(MPoint(1, 0, 0), x1, y1);
        return double(x1 - x0);
    }
};

TEST_F(PickingTest, TheCursorCountsOnlyInsideThePort) {
    M3dView v = view();
    int x = -1, y = -1;
    mel("kxhViewCursor 100 50");
    ASSERT_TRUE(cursorPositionInView(x, y, v));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
    mel("kxhViewCursor 640 480");  // the far edges still count as inside
    EXPECT_TRUE(cursorPositionInView(x, y, v));
    // Outside the port, on every side.
    POINT origin{0, 0};
    ClientToScreen(v.window(), &origin);
    for (auto off : {std::pair<int, int>{-1, 10}, {10, -1}, {641, 10}, {10, 481}}) {
        SetCursorPos(origin.x + off.first, origin.y + off.second);
        EXPECT_FALSE(cursorPositionInView(x, y, v)) << off.first << "," << off.second;
    }
}

TEST_F(PickingTest, CastsIntoHilitedMeshesRecordTheFaceUnderTheCursor) {
    MDagPath w = wall();
    M3dView v = view();
    short x, y;
    project(MPoint(2.5, 1.5, 0), x, y);
    rayIntersectionArray hits;
    EXPECT_FALSE(hitHilitedMeshes(v, x, y, hits));  // nothing hilited: nothing cast
    EXPECT_TRUE(hits.empty());

    hilite({"wall"});
    ASSERT_TRUE(hitHilitedMeshes(v, x, y, hits));
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_TRUE(hits[0].meshPath == w);
    EXPECT_EQ(hits[0].componentType, rayIntersectionData::kFace);
    EXPECT_EQ(hits[0].componentId, faceAt(w, MPoint(2.5, 1.5, 0)));
    EXPECT_NEAR(hits[0].point.z, 0.0, 1e-4);
    EXPECT_NEAR(hits[0].distance, viewRayDepthRatio(v, hits[0].point), 1e-9);
    EXPECT_GT(hits[0].distance, 0.0);
    EXPECT_LT(hits[0].distance, 1.0);

    // The selection cast sees the same face; a miss adds nothing.
    MSelectionList list;
    list.add("wall");
    rayIntersectionArray selected;
    ASSERT_TRUE(hitSelectedMeshes(v, x, y, list, selected));
    EXPECT_EQ(selected[0].componentId, hits[0].componentId);
    project(MPoint(12, 12, 0), x, y);
    selected.clear();
    EXPECT_FALSE(hitSelectedMeshes(v, x, y, list, selected));
    EXPECT_TRUE(selected.empty());
}

TEST_F(PickingTest, TheGridFindsAThinMeshBesideTheCursorOncePerFace) {
    mel("polyPlane -ax 0 0 1 -w 0.5 -h 8 -sx 1 -sy 1 -n strip");
    hilite({"strip"});
    MDagPath strip = shapeOf("strip");
    M3dView v = view();
    ASSERT_GT(pixelsPerUnit(), 10.0);  // the strip is several pixels wide, less than one grid step
    short x, y;
    project(MPoint(0, 0, 0), x, y);
    x = short(x - 20);  // one grid step left of the strip: only the third grid column lands on it

    rayIntersectionArray hits;
    ASSERT_TRUE(hitHilitedMeshes(v, x, y, hits));
    ASSERT_EQ(hits.size(), 1u);  // four grid rays hit the one face
    EXPECT_EQ(hits[0].componentId, 0);
    EXPECT_NEAR(hits[0].point.x, 0.0, 0.3);
    EXPECT_EQ(MFnMesh(strip).cachedIntersectionAcceleratorInfo().length(), 0u);

    // Split into faces one unit tall, the grid's rows land on different faces, each recorded once.
    mel("delete strip; polyPlane -ax 0 0 1 -w 0.5 -h 8 -sx 1 -sy 8 -n strip");
    hilite({"strip"});
    hits.clear();
    ASSERT_TRUE(hitHilitedMeshes(v, x, y, hits));
    std::set<int> faces;
    for (auto& h : hits)
        EXPECT_TRUE(faces.insert(h.componentId).second) << "face " << h.componentId << " twice";
    EXPECT_GE(faces.size(), 2u);

    // Far from the strip nothing is found.
    hits.clear();
    EXPECT_FALSE(hitHilitedMeshes(v, short(x - 100), y, hits));
}

TEST_F(PickingTest, TheNearerOfTwoMeshesWins) {
    // ("front" would clash with the startup camera of that name.)
    wall("farWall");
    MDagPath front = wall("nearWall");
    mel("setAttr nearWall.tz 5");
    hilite({"farWall", "nearWall"});
    M3dView v = view();
    short x, y;
    project(MPoint(0.3, 0.3, 5), x, y);
    rayIntersectionArray hits;
    ASSERT_TRUE(hitHilitedMeshes(v, x, y, hits));
    ASSERT_EQ(hits.size(), 2u);
    for (int mode : {kPickNearest, kPickVertex, kPickFace, kPickEdge}) {
        bool within = false;
        rayIntersectionData best = pickClosestComponent(mode, v, x, y, hits, within);
        EXPECT_TRUE(best.meshPath == front) << "mode " << mode;
        EXPECT_NEAR(best.point.z, 5.0, 1e-4) << "mode " << mode;
    }
    // No hits: an empty record.
    bool within = false;
    EXPECT_EQ(pickClosestComponent(kPickFace, v, x, y, rayIntersectionArray(), within).componentId, -1);
}

TEST_F(PickingTest, RefinersChooseVertexEdgeOrFaceInScreenSpace) {
    MDagPath w = wall();
    hilite({"wall"});
    M3dView v = view();
    auto refineAt = [&](const MPoint& p, int mode, bool& within) {
        short x, y;
        project(p, x, y);
        rayIntersectionArray hits;
        EXPECT_TRUE(hitHilitedMeshes(v, x, y, hits));
        return pickClosestComponent(mode, v, x, y, hits, within);
    };
    using R = rayIntersectionData;
    const MPoint v12(1, 2, 0);
    struct Row {
        MPoint cursor;
        int mode, type, id;
        MPoint at;
        double tolerance;  // snapped to a vertex or an edge midpoint exactly; a face picked as a face keeps
                           // the cast point
    };
    const Row rows[] = {
        {{1.08, 2.1, 0}, kPickNearest, R::kVertex, vertexAt(w, v12), v12, 1e-6},
        {{1.45, 2.55, 0}, kPickNearest, R::kFace, faceAt(w, {1.5, 2.5, 0}), {1.5, 2.5, 0}, 1e-6},
        {{1.5, 2.05, 0}, kPickNearest, R::kEdge, edgeBetween(w, v12, MPoint(2, 2, 0)), {1.5, 2, 0}, 1e-6},
        {{1.3, 2.4, 0}, kPickVertex, R::kVertex, vertexAt(w, v12), v12, 1e-6},
        {{1.3, 2.4, 0}, kPickEdge, R::kEdge, edgeBetween(w, v12, MPoint(1, 3, 0)), {1, 2.5, 0}, 1e-6},
        {{1.3, 2.4, 0}, kPickFace, R::kFace, faceAt(w, {1.3, 2.4, 0}), {1.3, 2.4, 0}, 0.1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "cursor " << row.cursor.x << "," << row.cursor.y << " mode " << row.mode);
        bool within = false;
        const R r = refineAt(row.cursor, row.mode, within);
        EXPECT_EQ(r.componentType, row.type);
        EXPECT_EQ(r.componentId, row.id);
        EXPECT_LT(r.point.distanceTo(row.at), row.tolerance);
        EXPECT_TRUE(within || row.type == R::kFace);
    }

    // On a large face the corners and edges lie beyond the pick radius.
    mel("delete wall; polyPlane -ax 0 0 1 -w 10 -h 10 -sx 1 -sy 1 -n wall");
    hilite({"wall"});
    for (int mode : {kPickVertex, kPickEdge}) {
        bool within = true;
        refineAt(MPoint(0.2, 0.1, 0), mode, within);
        EXPECT_FALSE(within) << mode;
    }
}

TEST_F(PickingTest, AnEdgeLineThroughTheCursorBeatsANearerEdge) {
    // An L-shaped face: the inner edge from (4, -2) to (-2, -2) extends through the L's upright arm.
    MDagPath l = makeMesh({{-4, -4, 0}, {4, -4, 0}, {4, -2, 0}, {-2, -2, 0}, {-2, 4, 0}, {-4, 4, 0}},
                          {{0, 1, 2, 3, 4, 5}});
    MSelectionList list;
    list.add(l);
    MGlobal::setHiliteList(list);
    M3dView v = view();
    short x, y;
    project(MPoint(-3.5, -2, 0), x, y);  // 0.5 from the left edge, 1.5 from the inner edge's end
    rayIntersectionArray hits;
    ASSERT_TRUE(hitHilitedMeshes(v, x, y, hits));
    rayIntersectionData r = hits[0];
    EXPECT_TRUE(refineHitToEdge(v, x, y, r));
    EXPECT_EQ(r.componentType, rayIntersectionData::kEdge);
    EXPECT_EQ(r.componentId, edgeBetween(l, 2, 3));
    EXPECT_LT(r.point.distanceTo(MPoint(1, -2, 0)), 1e-6);
}

TEST_F(PickingTest, MirroredPicksLandOnTheOtherSide) {
    MDagPath w = wall();
    mel("setAttr wall.tx 5");  // object x = world x - 5
    using R = rayIntersectionData;
    struct Row {
        int type, id;
        MPoint point;
        int axis;
        bool objectSpace;
        int expectedId;
        MPoint expectedPoint;
    };
    const Row rows[] = {
        {R::kVertex, vertexAt(w, {8, 2, 0}), {8, 2, 0}, 0, false, vertexAt(w, {2, 2, 0}), {2, 2, 0}},
        {R::kFace, 0, {8.5, 2.5, 0}, 0, false, faceAt(w, {1.5, 2.5, 0}), {1.5, 2.5, 0}},
        {R::kEdge,
         0,
         {8.5, 2.05, 0},
         1,
         false,
         edgeBetween(w, MPoint(8, -2, 0), MPoint(9, -2, 0)),
         {8.5, -2, 0}},
        // A point already in object space.
        {R::kVertex, 0, {3, 2, 0}, 0, true, vertexAt(w, {2, 2, 0}), {2, 2, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "type " << row.type << " at " << row.point.x << "," << row.point.y);
        const R m = mirrorIntersection(hitRecord(w, row.type, row.id, row.point), row.axis, row.objectSpace);
        EXPECT_EQ(m.componentType, row.type);
        EXPECT_EQ(m.componentId, row.expectedId);
        EXPECT_LT(m.point.distanceTo(row.expectedPoint), 1e-6);
    }
}

// (Framing a clicked point, the eye and direction kept, is checked by the QuadDraw camera test.)
TEST_F(PickingTest, FramingRefusesAPointBehindTheEye) {
    M3dView v = view();
    EXPECT_TRUE(framePointInView(v, MPoint(0, 0, 0)));
    EXPECT_FALSE(framePointInView(v, MPoint(0, 0, 40)));
}

TEST_F(PickingTest, SelectingAHitFollowsTheListAdjustment) {
    MDagPath w = wall();
    M3dView v = view();
    using R = rayIntersectionData;
    struct Row {
        int type, id;
        MGlobal::ListAdjustment adjustment;
        std::vector<std::string> selected;
    };
    const Row rows[] = {{R::kVertex, 3, MGlobal::kReplaceList, {"wall.vtx[3]"}},
                        {R::kFace, 7, MGlobal::kAddToList, {"wall.vtx[3]", "wall.f[7]"}},
                        {R::kVertex, 3, MGlobal::kXORWithList, {"wall.f[7]"}},
                        {R::kFace, 7, MGlobal::kRemoveFromList, {}},
                        {R::kEdge, 12, MGlobal::kReplaceList, {"wall.e[12]"}}};
    for (const Row& row : rows) {
        selectHitComponent(hitRecord(w, row.type, row.id), v, row.adjustment);
        EXPECT_EQ(melStrings("ls -sl"), row.selected)
            << "type " << row.type << " adjustment " << row.adjustment;
    }
}

}  // namespace
