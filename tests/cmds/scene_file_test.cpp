// file -import / -exportSelected / -new with real model files.
#include <cstdio>
#include <fstream>

#include "scene_fixture.h"

using Strings = std::vector<std::string>;

namespace {

const std::string kModels = "/usr/share/assimp/models/";

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "kx_scene_" + name;
}

bool allQuads(const kxh::Mesh& m) {
    for (int f = 0; f < m.numFaces(); ++f)
        if (m.faceSize(f) != 4) return false;
    return true;
}

}  // namespace

class SceneFileTest : public SceneCmdTest {
protected:
    kxh::MeshPtr meshOf(const std::string& transform) {
        kxh::NodePtr n = scene().find(transform);
        if (!n || !n->shape()) return nullptr;
        return scene().shapeMesh(*n->shape());
    }
};

TEST_F(SceneFileTest, ImportKeepsQuadsNamesAndSelectsResult) {
    mel("file -import \"" + kModels + "OBJ/box.obj\"");
    Strings imported = selection();
    ASSERT_EQ(imported.size(), 1u);
    EXPECT_EQ(imported[0], "_1");  // the file's object "1", made a legal name
    kxh::MeshPtr m = meshOf(imported[0]);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->numVertices(), 8);
    EXPECT_EQ(m->numFaces(), 6);
    EXPECT_TRUE(allQuads(*m));
    EXPECT_EQ(melInt("polyEvaluate -e " + imported[0]), 12);
    // A second import of the same file gets fresh names.
    mel("file -i \"" + kModels + "OBJ/box.obj\"");
    EXPECT_EQ(selection(), (Strings{"_2"}));
}

TEST_F(SceneFileTest, ImportKeepsUvs) {
    mel("file -import \"" + kModels + "OBJ/WusonOBJ.obj\"");
    Strings imported = selection();
    ASSERT_FALSE(imported.empty());
    int withUvs = 0;
    for (auto& name : imported) {
        kxh::MeshPtr m = meshOf(name);
        ASSERT_TRUE(m) << name;
        if (!m->uvSets.empty() && !m->uvSets[0].u.empty()) ++withUvs;
    }
    EXPECT_GT(withUvs, 0);
    EXPECT_GT(melInt("polyEvaluate -uv " + imported[0]), 0);
}

TEST_F(SceneFileTest, ExportRoundTripsKeepPolygonsAndUvs) {
    mel("polyCube -sx 2; setAttr pCube1.translate 3 0 0; setAttr pCubeShape1.pnts[0] 0 0.25 0");
    kxh::Mesh original = *meshOf("pCube1");
    const int uvs = melInt("polyEvaluate -uv pCube1");
    mel("select pCube1");
    for (const char* type : {"OBJexport", "FBX export", "PLY"}) {
        std::string ext = std::string(type) == "OBJexport" ? "obj"
                          : std::string(type) == "PLY"     ? "ply"
                                                           : "fbx";
        std::string path = tempPath(std::string("cube.") + ext);
        std::remove(path.c_str());
        mel("select pCube1; file -f -exportSelected \"" + path + "\" -type \"" + type + "\"");
        mel("file -import \"" + path + "\"");
        Strings imported = selection();
        ASSERT_EQ(imported.size(), 1u) << type;
        kxh::MeshPtr m = meshOf(imported[0]);
        ASSERT_TRUE(m);
        EXPECT_EQ(m->numVertices(), original.numVertices()) << type;
        EXPECT_EQ(m->numFaces(), original.numFaces()) << type;
        EXPECT_TRUE(allQuads(*m)) << type;
        if (std::string(type) != "PLY") {
            EXPECT_EQ(melInt("polyEvaluate -uv " + imported[0]), uvs) << type;
        }
        // World space: the translation and the tweak are in the file's points.
        double minX = 1e9;
        for (auto& p : m->points)
            minX = std::min(minX, p.x + melFloats("getAttr " + imported[0] + ".translate")[0]);
        EXPECT_NEAR(minX, 2.5, 1e-5) << type;
        mel("delete " + imported[0]);
    }
    std::string gltf = tempPath("cube.gltf");
    std::remove(gltf.c_str());
    mel("select pCube1; file -f -es \"" + gltf + "\" -type \"glTF\"");
    mel("file -import \"" + gltf + "\"");
    EXPECT_EQ(melInt("polyEvaluate -f " + selection()[0]), 2 * original.numFaces());  // stored as triangles
}

TEST_F(SceneFileTest, ClearErrorsLeaveSceneUnchanged) {
    mel("polyCube");
    EXPECT_NE(melError("file -import \"/no/such/file.obj\"").find("File not found"), std::string::npos);
    EXPECT_NE(
        melError("file -import -type \"Bogus\" \"" + kModels + "OBJ/box.obj\"").find("Unknown file type"),
        std::string::npos);
    for (const char* bad :
         {"invalid/empty.obj", "invalid/malformed.obj", "invalid/empty.ply", "invalid/empty.off"}) {
        std::string error = melError("file -import \"" + kModels + bad + "\"");
        EXPECT_NE(error.find(bad), std::string::npos) << "the message names the file: " << error;
    }
    mel("select pCube1");
    std::string path = tempPath("exists.obj");
    { std::ofstream(path) << "# placeholder\n"; }
    EXPECT_NE(melError("file -es \"" + path + "\" -type \"OBJexport\"").find("already exists"),
              std::string::npos);
    EXPECT_NE(melError("file -f -es \"" + path + "\" -type \"Bogus\"").find("Unknown file type"),
              std::string::npos);
    mel("select -cl");
    melError("file -f -es \"" + path + "\" -type \"OBJexport\"");  // nothing selected
}

TEST_F(SceneFileTest, NewFileEmptiesSceneAndUndoQueue) {
    mel("polyCube; polySphere");
    mel("file -f -new");
    EXPECT_EQ(melInt("objExists pCube1"), 0);
    EXPECT_EQ(melInt("objExists polySphere1"), 0);
    EXPECT_FALSE(kxh::session().interpreter().undoQueue().canUndo());
    EXPECT_EQ(melStrings("polyCube"), (Strings{"pCube1", "polyCube1"}));
    EXPECT_EQ(melInt("objExists persp"), 1);  // a new scene starts with the startup cameras
}
