// Scene and polygon queries: world bounding boxes, selection masks and component adjacency.
#include <sstream>

#include "scene_fixture.h"

using Strings = std::vector<std::string>;

class SceneQueryTest : public SceneCmdTest {
protected:
    void SetUp() override {
        SceneCmdTest::SetUp();
        mel("polyCube -w 2 -h 4 -d 6");
        mel("select -cl");
    }
};

TEST_F(SceneQueryTest, ExactWorldBoundingBoxOfObjectsGroupsAndComponents) {
    EXPECT_EQ(melFloats("exactWorldBoundingBox pCube1"), (std::vector<double>{-1, -2, -3, 1, 2, 3}));
    mel("move 1 0 0 pCube1");
    EXPECT_EQ(melFloats("exactWorldBoundingBox pCube1"), (std::vector<double>{0, -2, -3, 2, 2, 3}));
    EXPECT_EQ(melFloats("exactWorldBoundingBox pCube1.vtx[0]"), (std::vector<double>{0, -2, 3, 0, -2, 3}));
    // A parent spans every mesh below it, in world space.
    mel("polyCube -n other; move 0 10 0 other; parent other pCube1");
    EXPECT_EQ(melFloats("exactWorldBoundingBox pCube1"), (std::vector<double>{-0.5, -2, -3, 2, 10.5, 3}));
    mel("select -r other");
    EXPECT_EQ(melFloats("exactWorldBoundingBox"), (std::vector<double>{-0.5, 9.5, -0.5, 0.5, 10.5, 0.5}));
    mel("select -cl");
    EXPECT_NE(melError("exactWorldBoundingBox").find("No objects specified and none selected."),
              std::string::npos);
    EXPECT_NE(melError("exactWorldBoundingBox nothing").find("No object matches name: nothing"),
              std::string::npos);
}

TEST_F(SceneQueryTest, FilterExpandKeepsTheMaskedKinds) {
    mel("polySphere; select -r pCube1.vtx[0:2] pCube1.f[1] pCube1.e[4] pSphere1 pCube1.map[0]");
    EXPECT_EQ(melStrings("filterExpand -sm 31"),
              (Strings{"pCube1.vtx[0]", "pCube1.vtx[1]", "pCube1.vtx[2]"}));
    EXPECT_EQ(melStrings("filterExpand -sm 31 -ex false"), (Strings{"pCube1.vtx[0:2]"}));
    EXPECT_EQ(melStrings("filterExpand -sm 34 -sm 12"), (Strings{"pCube1.f[1]", "pSphere1"}));
    EXPECT_EQ(melStrings("filterExpand -sm 32 -fp true"), (Strings{"|pCube1|pCubeShape1.e[4]"}));
    EXPECT_EQ(melStrings("filterExpand -sm 35"), (Strings{"pCube1.map[0]"}));
    // Named items instead of the selection; nothing of the kind gives an empty list.
    EXPECT_EQ(melStrings("filterExpand -sm 34 pCube1.f[2:3]"), (Strings{"pCube1.f[2]", "pCube1.f[3]"}));
    EXPECT_EQ(melStrings("filterExpand -sm 32 pCube1.f[2:3]"), Strings{});
    EXPECT_NE(melError("filterExpand -sm 9").find("selection mask 9 is not supported"), std::string::npos);
    EXPECT_NE(melError("filterExpand pCube1").find("no -selectionMask given"), std::string::npos);
}

TEST_F(SceneQueryTest, PolyInfoListsAdjacency) {
    EXPECT_EQ(melStrings("polyInfo -fv pCube1.f[0:1]"),
              (Strings{"FACE      0:      0      1      3      2 \n",
                       "FACE      1:      2      3      5      4 \n"}));
    EXPECT_EQ(melStrings("polyInfo -ev pCube1.e[0]"), (Strings{"EDGE      0:      0      1 \n"}));
    // Every edge of a closed cube has two faces, every corner three edges and three faces.
    Strings edges = melStrings("polyInfo -ef pCube1");
    EXPECT_EQ(edges.size(), 12u);
    for (const std::string& line : edges) {
        std::istringstream words(line);
        std::string label, id, f0, f1, more;
        words >> label >> id >> f0 >> f1;
        EXPECT_TRUE(label == "EDGE" && !f1.empty() && !(words >> more)) << line;
    }
    EXPECT_EQ(melStrings("polyInfo -ve pCube1").size(), 8u);
    EXPECT_EQ(melStrings("polyInfo -vf pCube1.vtx[0]").size(), 1u);
    EXPECT_EQ(melStrings("polyInfo -fe pCube1").size(), 6u);
    EXPECT_NE(melError("polyInfo -fv pCube1.vtx[0]").find("no polygon components"), std::string::npos);
    EXPECT_NE(melError("polyInfo -fv -ve pCube1").find("exactly one of"), std::string::npos);
}

TEST_F(SceneQueryTest, ComponentConversionBetweenKinds) {
    // Face 0 is the quad 0 1 3 2 with edges 0..3; face 1 (2 3 5 4) shares edge 2 with it.
    EXPECT_EQ(melStrings("polyListComponentConversion -ff -tv pCube1.f[0]"), (Strings{"pCube1.vtx[0:3]"}));
    EXPECT_EQ(melStrings("polyListComponentConversion -te pCube1.f[0]"), (Strings{"pCube1.e[0:3]"}));
    EXPECT_EQ(melStrings("polyListComponentConversion -te -in pCube1.f[0:1]"), (Strings{"pCube1.e[2]"}));
    EXPECT_EQ(melStrings("polyListComponentConversion -tf pCube1.vtx[0]").size(),
              3u);  // a corner's three faces
    EXPECT_EQ(melStrings("polyListComponentConversion -tf -in pCube1.vtx[0:3]"), (Strings{"pCube1.f[0]"}));
    EXPECT_EQ(melStrings("polyListComponentConversion -tf -in pCube1.e[0:3]"), (Strings{"pCube1.f[0]"}));
    EXPECT_EQ(melStrings("polyListComponentConversion -te -in pCube1.vtx[0:1]"), (Strings{"pCube1.e[0]"}));
    EXPECT_EQ(melStrings("polyListComponentConversion -tv pCube1"), (Strings{"pCube1.vtx[0:7]"}));
    // UVs and back: the UVs on vertex 0's corners all sit on vertex 0.
    mel("string $uvs[] = `polyListComponentConversion -tuv pCube1.vtx[0]`;");
    EXPECT_EQ(melStrings("polyListComponentConversion -fuv -tv $uvs"), (Strings{"pCube1.vtx[0]"}));
    EXPECT_EQ(melStrings("polyListComponentConversion -tuv pCube1.f[0]").size() > 0, true);
    // The selection when nothing is named; -from flags skip the other kinds.
    mel("select -r pCube1.e[0] pCube1.vtx[7]");
    EXPECT_EQ(melStrings("polyListComponentConversion -fe -tv"), (Strings{"pCube1.vtx[0:1]"}));
    EXPECT_NE(melError("polyListComponentConversion -tv -tf").find("exactly one of -tv, -te, -tf, -tuv"),
              std::string::npos);
}
