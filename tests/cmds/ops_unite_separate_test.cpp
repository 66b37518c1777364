// polyUnite and polySeparate: world-space combination (mirrored parts keep facing out), UV sets matched
// by name, names and results, the sources going, shells split under the group, one undo step each, and
// refusals.
#include "ops_fixture.h"

using Strings = std::vector<std::string>;

class UniteSeparateTest : public OpsCmdTest {
protected:
    void prepare() override {
        mel("polyCube -ch 0 -n a; polyCube -ch 0 -n b; move 3 0 0 b; polyCube -ch 0 -n c; scale -1 2 1 c; "
            "select -cl");
    }
    // The centre of face f's corners.
    kxh::V3 centre(const kxh::Mesh& m, int f) {
        kxh::V3 c;
        const std::vector<int> vs = faceOf(m, f);
        for (int v : vs) {
            c.x += m.points[size_t(v)].x / double(vs.size());
            c.y += m.points[size_t(v)].y / double(vs.size());
            c.z += m.points[size_t(v)].z / double(vs.size());
        }
        return c;
    }
    // True when face f of a box centred at `mid` faces away from it.
    bool facesOut(const kxh::Mesh& m, int f, const kxh::V3& mid) {
        const std::vector<int> vs = faceOf(m, f);
        const kxh::V3 &p0 = m.points[size_t(vs[0])], &p1 = m.points[size_t(vs[1])],
                      &p2 = m.points[size_t(vs[2])];
        const kxh::V3 e1{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z}, e2{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
        const kxh::V3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
        const kxh::V3 c = centre(m, f);
        return n.x * (c.x - mid.x) + n.y * (c.y - mid.y) + n.z * (c.z - mid.z) > 0;
    }
};

TEST_F(UniteSeparateTest, CombinesInWorldSpaceIntoANewTransform) {
    const size_t uvs = meshOf("a")->uvSets[0].u.size();
    expectOneUndoStep("polyUnite -ch 1 b c");
    EXPECT_EQ(userNodes("ls -tr"), (Strings{"a", "polySurface1"}));
    EXPECT_EQ(selection(), (Strings{"polySurface1"}));
    auto m = meshOf("polySurface1");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->numVertices(), 16);
    EXPECT_EQ(m->numFaces(), 12);
    ASSERT_EQ(m->uvSets.size(), 1u);
    EXPECT_EQ(m->uvSets[0].name, "map1");
    EXPECT_EQ(m->uvSets[0].u.size(), 2 * uvs);
    // b's points moved by its translation; c's mirrored and stretched, and its faces still face out.
    EXPECT_DOUBLE_EQ(m->points[0].x, 2.5);
    EXPECT_DOUBLE_EQ(m->points[8].x, 0.5);
    EXPECT_DOUBLE_EQ(m->points[8].y, -1.0);
    for (int f = 0; f < 6; ++f) EXPECT_TRUE(facesOut(*m, f, kxh::V3{3, 0, 0})) << "face " << f;
    for (int f = 6; f < 12; ++f) EXPECT_TRUE(facesOut(*m, f, kxh::V3{0, 0, 0})) << "face " << f;

    // From the selection, with a name; the transform answered.
    mel("select a polySurface1");
    EXPECT_EQ(melStrings("polyUnite -n whole"), (Strings{"whole"}));
    EXPECT_EQ(userNodes("ls -tr"), (Strings{"whole"}));
    EXPECT_EQ(meshOf("whole")->numFaces(), 18);
}

TEST_F(UniteSeparateTest, UvSetsAreMatchedByName) {
    // b gets a second set; a part without it has no UVs in it.
    kxh::Node* shape = kxh::scenecmd::meshShapeOf(*scene().find("b"));
    auto mesh = std::make_shared<kxh::Mesh>(*scene().shapeMesh(*shape));
    kxh::UvSet extra = mesh->uvSets[0];
    extra.name = "second";
    mesh->uvSets.push_back(extra);
    ASSERT_TRUE(scene().setShapeMesh(*shape, mesh));
    mel("polyUnite a b");
    auto m = meshOf("polySurface1");
    ASSERT_EQ(m->uvSets.size(), 2u);
    EXPECT_EQ(m->uvSets[1].name, "second");
    EXPECT_EQ(m->uvSets[1].faceVertUv[0], -1);
    EXPECT_EQ(m->uvSets[1].faceVertUv[24], 0);
    EXPECT_EQ(m->uvSets[0].faceVertUv[24], m->uvSets[0].faceVertUv[0] + int(mesh->uvSets[0].u.size()));
}

TEST_F(UniteSeparateTest, SeparatesShellsUnderTheGroup) {
    mel("polyUnite -n both a b");
    const auto combined = meshOf("both");
    expectOneUndoStep("polySeparate -ch 1 both");
    EXPECT_EQ(userNodes("ls -tr"), (Strings{"c", "both", "polySurface1", "polySurface2"}));
    EXPECT_EQ(melStrings("listRelatives -c both"), (Strings{"polySurface1", "polySurface2"}));
    EXPECT_EQ(selection(), (Strings{"polySurface1", "polySurface2"}));
    for (const char* piece : {"polySurface1", "polySurface2"}) {
        auto m = meshOf(piece);
        ASSERT_TRUE(m) << piece;
        EXPECT_EQ(m->numVertices(), 8);
        EXPECT_EQ(m->numFaces(), 6);
    }
    EXPECT_DOUBLE_EQ(meshOf("polySurface2")->points[0].x, combined->points[8].x);
    ASSERT_TRUE(undo());
    mel("select both");
    EXPECT_EQ(melStrings("polySeparate"), (Strings{"polySurface1", "polySurface2"}));
}

TEST_F(UniteSeparateTest, RefusalsChangeNothing) {
    EXPECT_NE(melError("polyUnite a").find("At least two"), std::string::npos);
    EXPECT_NE(melError("polyUnite a a").find("At least two"), std::string::npos);
    EXPECT_NE(melError("polyUnite a persp").find("not a polygon mesh"), std::string::npos);
    EXPECT_NE(melError("polyUnite a nothing").find("No object matches name"), std::string::npos);
    EXPECT_NE(melError("polySeparate a").find("has only one piece"), std::string::npos);
    EXPECT_NE(melError("polySeparate persp").find("not a polygon mesh"), std::string::npos);
    EXPECT_NE(melError("polySeparate").find("No objects"), std::string::npos);
}
