// Scene naming, lookup, DAG structure, matrices and deletion.
#include <cmath>

#include "core_test_util.h"

namespace kxh {
namespace {

using testing::expectValid;

TEST(CoreNaming, TakenNamesGetTheNextFreeNumber) {
    Scene s;
    EXPECT_EQ(s.createNode("transform", "pCube1")->name(), "pCube1");
    EXPECT_EQ(s.createNode("transform", "pCube1")->name(), "pCube2");
    EXPECT_EQ(s.createNode("transform", "pCube1")->name(), "pCube3");
    EXPECT_EQ(s.createNode("transform", "foo")->name(), "foo");
    EXPECT_EQ(s.createNode("transform", "foo")->name(), "foo1");
    // '#' takes the first free number.
    EXPECT_EQ(s.createNode("transform", "bar#")->name(), "bar1");
    EXPECT_EQ(s.createNode("transform", "bar#")->name(), "bar2");
    EXPECT_EQ(s.createNode("transform", "pCube#")->name(), "pCube4");
    // Default names come from the type.
    EXPECT_EQ(s.createNode("transform")->name(), "transform1");
    EXPECT_EQ(s.createNode("polyCube")->name(), "polyCube1");
    EXPECT_EQ(s.createNode("polyCube")->name(), "polyCube2");
    EXPECT_EQ(s.createNode("nope"), nullptr);
    EXPECT_EQ(s.createNode("transform", "1bad"), nullptr);
    expectValid(s);
}

TEST(CoreNaming, RenameGetsTheExactFreeNameAndFreesTheOld) {
    Scene s;
    NodePtr a = s.createNode("transform", "a");
    NodePtr b = s.createNode("transform", "b");
    EXPECT_EQ(s.renameNode(*a, "c"), "c");
    EXPECT_EQ(s.find("a"), nullptr);
    EXPECT_EQ(s.find("c"), a);
    EXPECT_EQ(s.renameNode(*b, "c"), "c1");  // taken: made unique
    EXPECT_EQ(s.renameNode(*b, "a"), "a");   // the freed name is exact
    EXPECT_EQ(s.renameNode(*b, "a"), "a");   // renaming to itself keeps it
    EXPECT_EQ(s.renameNode(*b, ""), "");
    // Deleting frees the name for reuse at once.
    s.deleteNode(*a);
    EXPECT_EQ(s.createNode("transform", "c")->name(), "c");
    expectValid(s);
}

TEST(CoreDag, PathsResolveFullAndPartial) {
    Scene s;
    NodePtr t = s.createNode("transform", "pCube1");
    NodePtr sh = s.createNode("mesh", "pCubeShape1", t.get());
    NodePtr g = s.createNode("transform", "group1");
    ASSERT_TRUE(s.reparentNode(*t, g.get()));
    EXPECT_EQ(sh->fullPathName(), "|group1|pCube1|pCubeShape1");
    EXPECT_EQ(sh->partialPathName(), "pCubeShape1");
    EXPECT_EQ(s.find("|group1|pCube1|pCubeShape1"), sh);
    EXPECT_EQ(s.find("pCube1|pCubeShape1"), sh);
    EXPECT_EQ(s.find("pCubeShape1"), sh);
    EXPECT_EQ(s.find("|pCube1|pCubeShape1"), nullptr);  // not under the world
    EXPECT_EQ(s.find("group1|pCubeShape1"), nullptr);   // skips a level
    EXPECT_EQ(s.find("pCube*"), nullptr);               // find takes no wildcards
    EXPECT_EQ(s.match("pCube*").size(), 2u);
    // Cycles and shapes as parents are refused.
    EXPECT_FALSE(s.reparentNode(*g, t.get()));
    EXPECT_FALSE(s.reparentNode(*g, sh.get()));
    EXPECT_FALSE(s.reparentNode(*sh, nullptr));
    expectValid(s);
}

TEST(CoreDag, ShapeWithoutParentGetsATransform) {
    Scene s;
    NodePtr sh = s.createNode("mesh");
    ASSERT_TRUE(sh);
    ASSERT_TRUE(sh->parent());
    EXPECT_EQ(sh->parent()->typeName(), "transform");
    EXPECT_EQ(sh->name(), "polySurfaceShape1");
    EXPECT_EQ(sh->parent()->name(), "polySurface1");
    EXPECT_EQ(sh->parent()->shape(), sh.get());
    expectValid(s);
}

TEST(CoreDag, WorldMatricesChainOnTheRight) {
    Scene s;
    NodePtr g = s.createNode("transform", "g");
    NodePtr t = s.createNode("transform", "t", g.get());
    NodePtr sh = s.createNode("mesh", "tShape", t.get());
    g->findPlug("translate").setValue(Value(std::vector<double>{10, 0, 0}));
    g->findPlug("scale").setValue(Value(std::vector<double>{2, 2, 2}));
    t->findPlug("translateY").setValue(Value(1.0));
    t->findPlug("rotateZ").setValue(Value(M_PI / 2));
    // Point (1,0,0) in the shape: rotate 90 about Z -> (0,1,0), +ty -> (0,2,0), scale 2 -> (0,4,0), +tx 10.
    V3 p = sh->inclusiveMatrix().transformPoint({1, 0, 0});
    EXPECT_NEAR(p.x, 10, 1e-12);
    EXPECT_NEAR(p.y, 4, 1e-12);
    EXPECT_NEAR(p.z, 0, 1e-12);
    Matrix44 wm = sh->findPlug("worldMatrix[0]").value().asMatrix();
    EXPECT_TRUE(wm.isEquivalent(sh->inclusiveMatrix()));
    EXPECT_TRUE(t->exclusiveMatrix().isEquivalent(g->inclusiveMatrix()));
    EXPECT_TRUE(t->findPlug("worldInverseMatrix[0]").value().asMatrix().isEquivalent(wm.inverse()));
    // Moving the group dirties and recomputes the shape's world matrix through the DAG.
    g->findPlug("translateX").setValue(Value(0.0));
    Matrix44 wm2 = sh->findPlug("worldMatrix[0]").value().asMatrix();
    EXPECT_NEAR(wm2.m[3][0], 0, 1e-12);
    // Re-parenting to the world dirties it too.
    ASSERT_TRUE(s.reparentNode(*t, nullptr));
    Matrix44 wm3 = sh->findPlug("worldMatrix[0]").value().asMatrix();
    EXPECT_NEAR(wm3.m[3][1], 1, 1e-12);
    EXPECT_NEAR(wm3.m[0][1], 1, 1e-12);  // rotated 90 about Z, no scale
}

TEST(CoreDag, RotatePivotAndOrder) {
    Scene s;
    NodePtr t = s.createNode("transform", "t");
    t->findPlug("rotatePivot").setValue(Value(std::vector<double>{1, 0, 0}));
    t->findPlug("rotateZ").setValue(Value(M_PI));
    V3 p = t->inclusiveMatrix().transformPoint({0, 0, 0});  // rotated half a turn about (1,0,0)
    EXPECT_NEAR(p.x, 2, 1e-12);
    EXPECT_NEAR(p.y, 0, 1e-12);
    // xyz order applies X first: (0,1,0) -> rx 90 -> (0,0,1) -> ry 90 -> (1,0,0)
    NodePtr u = s.createNode("transform", "u");
    u->findPlug("rotate").setValue(Value(std::vector<double>{M_PI / 2, M_PI / 2, 0}));
    V3 q = u->inclusiveMatrix().transformPoint({0, 1, 0});
    EXPECT_NEAR(q.x, 1, 1e-12);
    u->findPlug("rotateOrder").setValue(Value(5));  // zyx: Y first: (0,1,0) unchanged, then X -> (0,0,1)
    V3 r = u->inclusiveMatrix().transformPoint({0, 1, 0});
    EXPECT_NEAR(r.z, 1, 1e-12);
}

TEST(CoreDelete, ShapeTakesItsEmptyTransformAndTransformItsChildren) {
    Scene s;
    NodePtr t = s.createNode("transform", "pCube1");
    NodePtr sh = s.createNode("mesh", "pCubeShape1", t.get());
    ASSERT_TRUE(s.deleteNode(*sh));
    EXPECT_FALSE(sh->alive());
    EXPECT_FALSE(t->alive());
    EXPECT_EQ(s.nodeCount(), 0u);

    NodePtr g = s.createNode("transform", "g");
    NodePtr a = s.createNode("transform", "a", g.get());
    NodePtr ash = s.createNode("mesh", "aShape", a.get());
    NodePtr b = s.createNode("transform", "b", g.get());
    NodePtr c = s.createNode("polyCube", "c");
    ASSERT_TRUE(s.connect(c->findPlug("output"), ash->findPlug("inMesh")));
    ASSERT_TRUE(s.deleteNode(*g));
    for (auto& n : {g, a, ash, b}) EXPECT_FALSE(n->alive());
    EXPECT_TRUE(c->alive());
    EXPECT_TRUE(c->outputs().empty());
    EXPECT_FALSE(s.deleteNode(*g));          // already gone
    EXPECT_FALSE(s.deleteNode(*s.world()));  // never
    // A transform that keeps another shape stays.
    NodePtr t2 = s.createNode("transform", "t2");
    NodePtr s1 = s.createNode("mesh", "s1", t2.get());
    NodePtr s2 = s.createNode("mesh", "s2", t2.get());
    s.deleteNode(*s1);
    EXPECT_TRUE(t2->alive());
    expectValid(s);
}

TEST(CoreScene, IterationByTypeAndCallbacks) {
    Scene s;
    std::vector<std::string> added, removed;
    int destroyed = 0;
    s.addNodeAddedCallback([&](Node& n) { added.push_back(n.name()); });
    s.addNodeRemovedCallback([&](Node& n) { removed.push_back(n.name()); });
    NodePtr t = s.createNode("transform", "t");
    NodePtr sh = s.createNode("mesh", "tShape", t.get());
    NodePtr c = s.createNode("polyCube");
    GraphCallbackId id = s.addNodeDestroyedCallback(*sh, [&] { ++destroyed; });
    EXPECT_EQ(s.nodesOfType("dagNode").size(), 2u);
    EXPECT_EQ(s.nodesOfType("transform").size(), 1u);
    EXPECT_EQ(s.nodesOfType("shape").size(), 1u);
    EXPECT_EQ(s.nodesOfType("shape", true).size(), 0u);
    EXPECT_EQ(s.nodesWithFn(fn::kMesh).size(), 1u);
    EXPECT_EQ(s.nodesWithFn(fn::kDagNode).size(), 2u);
    EXPECT_EQ(s.nodes().front(), t);  // creation order
    EXPECT_EQ(s.nodeCallbacks(*sh).size(), 1u);
    s.deleteNode(*sh);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(added, (std::vector<std::string>{"t", "tShape", "polyCube1"}));
    EXPECT_EQ(removed, (std::vector<std::string>{"tShape", "t"}));
    EXPECT_TRUE(s.removeCallback(id));
    EXPECT_FALSE(s.removeCallback(id));
}

}  // namespace
}  // namespace kxh
