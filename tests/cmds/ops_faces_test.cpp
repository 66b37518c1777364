// polyTriangulate and polyNormal: which faces change, that every corner keeps its own UV and colour, one
// undo step each, and refusals (a part of a shell to reverse, unsupported modes, nothing given).
#include <algorithm>

#include "ops_fixture.h"

using Strings = std::vector<std::string>;

class FaceCmdTest : public OpsCmdTest {
protected:
    void prepare() override { mel("polyCube -ch 0 -n box; select -cl"); }

    // Gives the box a colour set whose colour ids are the face-vertex ids, so that after an edit each
    // corner tells which old corner it came from.
    void tagCorners() {
        kxh::NodePtr node = scene().find("box");
        kxh::Node* shape = kxh::scenecmd::meshShapeOf(*node);
        auto mesh = std::make_shared<kxh::Mesh>(*scene().shapeMesh(*shape));
        kxh::ColorSet set;
        for (int fv = 0; fv < mesh->numFaceVertices(); ++fv) {
            set.colors.push_back({float(fv), 0, 0, 1});
            set.faceVertColor.push_back(fv);
        }
        mesh->colorSets.push_back(set);
        ASSERT_TRUE(scene().setShapeMesh(*shape, mesh));
        before_ = mesh;
    }

    // Every corner of the edited box sits on the vertex of the old corner its colour names and has that
    // corner's UV; `used` counts how often each old corner was taken.
    std::vector<int> checkCornersFollow() {
        auto m = meshOf("box");
        std::vector<int> used(size_t(before_->numFaceVertices()), 0);
        EXPECT_EQ(m->colorSets.size(), 1u);
        EXPECT_EQ(m->uvSets.size(), 1u);
        if (m->colorSets.empty() || m->uvSets.empty()) return used;
        for (int fv = 0; fv < m->numFaceVertices(); ++fv) {
            const int c = m->colorSets[0].faceVertColor[size_t(fv)];
            const int old = int(m->colorSets[0].colors[size_t(c)][0]);
            EXPECT_EQ(m->faceVerts[size_t(fv)], before_->faceVerts[size_t(old)]) << "corner " << fv;
            EXPECT_EQ(m->uvSets[0].faceVertUv[size_t(fv)], before_->uvSets[0].faceVertUv[size_t(old)])
                << "corner " << fv;
            ++used[size_t(old)];
        }
        return used;
    }

    // Newell normal of face f (not normalised).
    kxh::V3 faceNormal(const kxh::Mesh& m, int f) {
        kxh::V3 n;
        const std::vector<int> vs = faceOf(m, f);
        for (size_t i = 0; i < vs.size(); ++i) {
            const kxh::V3 &a = m.points[size_t(vs[i])], &b = m.points[size_t(vs[(i + 1) % vs.size()])];
            n.x += (a.y - b.y) * (a.z + b.z);
            n.y += (a.z - b.z) * (a.x + b.x);
            n.z += (a.x - b.x) * (a.y + b.y);
        }
        return n;
    }

    kxh::MeshPtr before_;
};

TEST_F(FaceCmdTest, TriangulatesWholeMeshesAndNamedFacesKeepingEveryCorner) {
    tagCorners();
    expectOneUndoStep("polyTriangulate -ch 1 box");
    auto m = meshOf("box");
    EXPECT_EQ(m->numFaces(), 12);
    EXPECT_EQ(m->numVertices(), 8);
    for (int f = 0; f < m->numFaces(); ++f) EXPECT_EQ(m->faceSize(f), 3);
    // A quad's two triangles take its four corners, two of them twice (the diagonal).
    std::vector<int> used = checkCornersFollow();
    for (int f = 0; f < before_->numFaces(); ++f) {
        int total = 0, twice = 0;
        for (int fv = before_->faceOffsets[f]; fv < before_->faceOffsets[f + 1]; ++fv) {
            EXPECT_GE(used[size_t(fv)], 1);
            total += used[size_t(fv)];
            twice += used[size_t(fv)] == 2;
        }
        EXPECT_EQ(total, 6);
        EXPECT_EQ(twice, 2);
        // The triangles face the way their quad did.
        const kxh::V3 q = faceNormal(*before_, f), t = faceNormal(*m, 2 * f);
        EXPECT_GT(q.x * t.x + q.y * t.y + q.z * t.z, 0) << "face " << f;
    }

    // Named faces only, from the selection; triangles stay as they are.
    ASSERT_TRUE(undo());
    mel("select box.f[1] box.f[4]; polyTriangulate -ch 0");
    m = meshOf("box");
    EXPECT_EQ(m->numFaces(), 8);
    EXPECT_EQ(m->faceSize(0), 4);
    EXPECT_EQ(m->faceSize(1), 3);
    EXPECT_EQ(m->faceSize(2), 3);
    checkCornersFollow();
    mel("polyTriangulate box");
    EXPECT_EQ(meshOf("box")->numFaces(), 12);
    mel("polyTriangulate box");
    EXPECT_EQ(meshOf("box")->numFaces(), 12);
}

TEST_F(FaceCmdTest, ReversesWholeShellsWithTheirCornerData) {
    tagCorners();
    expectOneUndoStep("polyNormal -nm 0 -ch 1 box");
    auto m = meshOf("box");
    ASSERT_EQ(m->numFaces(), 6);
    for (int f = 0; f < 6; ++f) {
        std::vector<int> old = faceOf(*before_, f), now = faceOf(*m, f);
        std::reverse(old.begin() + 1, old.end());
        EXPECT_EQ(now, old) << "face " << f;
        const kxh::V3 a = faceNormal(*before_, f), b = faceNormal(*m, f);
        EXPECT_LT(a.x * b.x + a.y * b.y + a.z * b.z, 0) << "face " << f;
    }
    for (int u : checkCornersFollow()) EXPECT_EQ(u, 1);

    // Every face of the shell named as faces is the same as the whole object; twice gives the box back.
    mel("polyNormal -nm 0 box.f[0:5]");
    for (int f = 0; f < 6; ++f) EXPECT_EQ(faceOf(*meshOf("box"), f), faceOf(*before_, f));
    // Conforming finds the faces already agreeing.
    mel("polyNormal -nm 2 box");
    for (int f = 0; f < 6; ++f) EXPECT_EQ(faceOf(*meshOf("box"), f), faceOf(*before_, f));
}

TEST_F(FaceCmdTest, RefusalsChangeNothing) {
    EXPECT_NE(melError("polyNormal -nm 0 box.f[0]").find("only some faces of a shell"), std::string::npos);
    EXPECT_NE(melError("polyNormal -nm 1 box").find("normalMode"), std::string::npos);
    EXPECT_NE(melError("polyTriangulate").find("No"), std::string::npos);
    EXPECT_NE(melError("polyTriangulate nothing").find("No object matches name"), std::string::npos);
    EXPECT_NE(melError("polyTriangulate persp").find("not a polygon mesh"), std::string::npos);
    EXPECT_NE(melError("polyNormal box.vtx[0]").find("No faces"), std::string::npos);
}
