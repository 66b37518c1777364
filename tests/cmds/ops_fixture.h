#pragma once
// Shared by the polygon construction command tests: the scene command fixture plus access to a shape's
// evaluated mesh and a check that a command is exactly one undo step that undo and redo replay exactly.
#include "cmds/scene/SceneCommandUtil.h"
#include "mesh/MeshTopology.h"
#include "scene_fixture.h"

class OpsCmdTest : public SceneCmdTest {
protected:
    // The evaluated mesh of a mesh shape, or of a transform's mesh shape.
    kxh::MeshPtr meshOf(const std::string& name) {
        kxh::NodePtr node = scene().find(name);
        if (!node) return nullptr;
        kxh::Node* shape = kxh::scenecmd::meshShapeOf(*node);
        return shape ? scene().shapeMesh(*shape) : nullptr;
    }
    std::vector<int> faceOf(const kxh::Mesh& m, int f) {
        return std::vector<int>(m.faceVerts.begin() + m.faceOffsets[f],
                                m.faceVerts.begin() + m.faceOffsets[f + 1]);
    }
    size_t undoSteps() { return kxh::session().interpreter().undoQueue().size(); }

    // Runs the command, then checks: one more undo step; undo gives back the exact scene from before and
    // redo the exact scene from after (names included), both valid.
    void expectOneUndoStep(const std::string& command) {
        const size_t steps = undoSteps();
        const std::string before = dump();
        mel(command);
        const std::string after = dump();
        ASSERT_NE(before, after) << command << " changed nothing";
        EXPECT_EQ(undoSteps(), steps + 1) << command;
        ASSERT_TRUE(undo());
        checkScene("undo of " + command);
        EXPECT_EQ(before, dump()) << "undo of " << command;
        ASSERT_TRUE(redo());
        checkScene("redo of " + command);
        EXPECT_EQ(after, dump()) << "redo of " << command;
    }
};
