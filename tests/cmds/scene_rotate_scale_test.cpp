// rotate, scale and makeIdentity on objects and components, with undo.
#include "scene_fixture.h"

using Floats = std::vector<double>;

class SceneRotateScaleTest : public SceneCmdTest {
protected:
    void SetUp() override {
        SceneCmdTest::SetUp();
        mel("polyCube");
    }
    static void expectNear(const Floats& got, const Floats& want) {
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], want[i], 1e-5) << i;  // points are stored as floats
    }
};

TEST_F(SceneRotateScaleTest, ObjectsSetOrAccumulateTheirChannels) {
    mel("rotate 0 90 0 pCube1");
    EXPECT_EQ(melFloats("getAttr pCube1.rotate"), (Floats{0, 90, 0}));
    mel("rotate -r 10 0 0 pCube1");
    EXPECT_EQ(melFloats("getAttr pCube1.rotate"), (Floats{10, 90, 0}));
    mel("scale 2 2 2 pCube1; scale -r 1 3 0.5");  // the second acts on the selection
    EXPECT_EQ(melFloats("getAttr pCube1.scale"), (Floats{2, 6, 1}));
    mel("undo");
    EXPECT_EQ(melFloats("getAttr pCube1.scale"), (Floats{2, 2, 2}));
    EXPECT_NE(melError("rotate 1 2 pCube1").find("rotate: three values (x y z) are needed."),
              std::string::npos);
    mel("select -cl");
    EXPECT_NE(melError("scale 1 1 1").find("No objects specified and none selected."), std::string::npos);
}

TEST_F(SceneRotateScaleTest, ComponentsTurnAndScaleAboutTheirCentreOrAPivot) {
    // Face 0 is the front quad at z = 0.5; a quarter turn about Z moves corner 0 from (-.5,-.5) to (.5,-.5).
    mel("rotate -r 0 0 90 pCube1.f[0]");
    expectNear(melFloats("pointPosition pCube1.vtx[0]"), {0.5, -0.5, 0.5});
    mel("scale -r 2 2 2 pCube1.vtx[0:3]");
    expectNear(melFloats("exactWorldBoundingBox pCube1.f[0]"), {-1, -1, 0.5, 1, 1, 0.5});
    // The points follow the object's world placement; -p gives the pivot.
    mel("undo; undo; move 10 0 0 pCube1; scale -r -p 10 0 0 3 1 1 pCube1.vtx[0]");
    expectNear(melFloats("pointPosition pCube1.vtx[0]"), {8.5, -0.5, 0.5});
}

TEST_F(SceneRotateScaleTest, MakeIdentityBakesTheChannelsIntoThePoints) {
    mel("move 5 0 0 pCube1; rotate 0 45 0 pCube1; scale 2 3 4 pCube1");
    Floats box = melFloats("exactWorldBoundingBox pCube1");
    mel("makeIdentity -apply true pCube1");
    EXPECT_EQ(melFloats("getAttr pCube1.translate"), (Floats{0, 0, 0}));
    EXPECT_EQ(melFloats("getAttr pCube1.rotate"), (Floats{0, 0, 0}));
    EXPECT_EQ(melFloats("getAttr pCube1.scale"), (Floats{1, 1, 1}));
    expectNear(melFloats("exactWorldBoundingBox pCube1"), box);
    mel("undo");
    EXPECT_EQ(melFloats("getAttr pCube1.translate"), (Floats{5, 0, 0}));
    // Only the scale, and without -apply the points stay where the object space puts them.
    mel("makeIdentity -apply true -s 1 pCube1");
    EXPECT_EQ(melFloats("getAttr pCube1.translate"), (Floats{5, 0, 0}));
    expectNear(melFloats("exactWorldBoundingBox pCube1"), box);
    mel("makeIdentity -apply false pCube1");
    EXPECT_EQ(melFloats("getAttr pCube1.rotate"), (Floats{0, 0, 0}));
    EXPECT_NE(melError("makeIdentity nothing").find("No object matches name: nothing"), std::string::npos);
}
