// The name parser, the host-style component formatting and the matrix split the commands build on.
#include <gtest/gtest.h>

#include <cmath>

#include "cmds/scene/ComponentName.h"
#include "cmds/scene/SceneCommandUtil.h"

using namespace kxh;
using namespace kxh::scenecmd;

TEST(SceneNames, SplitAndParseComponents) {
    EXPECT_EQ(splitName("|a|b.vtx[2]").node, "|a|b");
    EXPECT_EQ(splitName("n.pnts[3].pntx").rest, "pnts[3].pntx");
    EXPECT_EQ(splitName("pCube1").rest, "");
    ComponentRef ref;
    std::string err;
    ASSERT_TRUE(parseComponent("e[9:4]", ref, err));
    EXPECT_TRUE(err.empty());
    EXPECT_EQ(ref.kind, ComponentKind::Edge);
    EXPECT_EQ(ref.ranges, (std::vector<std::pair<int, int>>{{4, 9}}));
    ASSERT_TRUE(parseComponent("map", ref, err));
    EXPECT_TRUE(ref.all);
    EXPECT_FALSE(parseComponent("translateX", ref, err));  // a plug, not a component
    for (const char* bad : {"vtx[a]", "f[3", "vtx[-1]", "vtx[1:]", "vtx[2]x"}) {
        err.clear();
        EXPECT_TRUE(parseComponent(bad, ref, err)) << bad;
        EXPECT_FALSE(err.empty()) << bad;
    }
}

TEST(SceneNames, FormatMergesRunsAndFlattens) {
    EXPECT_EQ(formatComponents("o", ComponentKind::Face, {0, 1, 2, 5, 7, 8}, false),
              (std::vector<std::string>{"o.f[0:2]", "o.f[5]", "o.f[7:8]"}));
    EXPECT_EQ(formatComponents("o", ComponentKind::Uv, {3, 4}, true),
              (std::vector<std::string>{"o.map[3]", "o.map[4]"}));
    EXPECT_TRUE(formatComponents("o", ComponentKind::Vertex, {}, false).empty());
}

TEST(SceneNames, Wildcards) {
    EXPECT_TRUE(wildcardMatch("p*1", "pCubeShape1"));
    EXPECT_TRUE(wildcardMatch("*Shape*", "pCubeShape12"));
    EXPECT_TRUE(wildcardMatch("p?ube1", "pCube1"));
    EXPECT_FALSE(wildcardMatch("p*1", "pCube12"));
    EXPECT_TRUE(wildcardMatch("a*b*c", "aXbYbZc"));  // needs backtracking past the first 'b'
    EXPECT_FALSE(wildcardMatch("a*b*c", "aXbYbZ"));
}

TEST(SceneNames, DecomposeInvertsTheTransformMatrix) {
    const double rx = 0.3, ry = -1.1, rz = 2.0;
    Matrix44 m = Matrix44::scaling(2, 3, 0.5) * eulerMatrix(rx, ry, rz, RotateOrder::XYZ) *
                 Matrix44::translation(4, -5, 6);
    Trs t = decompose(m);
    Matrix44 back = Matrix44::scaling(t.scale.x, t.scale.y, t.scale.z) *
                    eulerMatrix(t.rotate.x, t.rotate.y, t.rotate.z, RotateOrder::XYZ) *
                    Matrix44::translation(t.translate.x, t.translate.y, t.translate.z);
    EXPECT_TRUE(back.isEquivalent(m, 1e-9));
    EXPECT_NEAR(t.scale.y, 3, 1e-12);
    // Gimbal lock (Y at 90 degrees) and a mirror still rebuild the same matrix.
    for (Matrix44 g : {eulerMatrix(0.4, M_PI / 2, 0.7, RotateOrder::XYZ), Matrix44::scaling(-1, 1, 1)}) {
        Trs s = decompose(g);
        Matrix44 r = Matrix44::scaling(s.scale.x, s.scale.y, s.scale.z) *
                     eulerMatrix(s.rotate.x, s.rotate.y, s.rotate.z, RotateOrder::XYZ);
        EXPECT_TRUE(r.isEquivalent(g, 1e-9));
    }
}
