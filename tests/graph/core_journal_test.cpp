// The undo journal: every mutation undoes and redoes to exactly the recorded states; history baking.
#include <functional>

#include "core_test_util.h"

namespace kxh {
namespace {

using testing::expectValid;

// Records `op`, then checks undo -> the state before, redo -> the state after, twice.
void roundTrip(Scene& s, const std::function<void()>& op) {
    std::string before = dumpScene(s);
    s.beginRecording();
    op();
    std::unique_ptr<UndoEntry> e = s.endRecording("op");
    std::string after = dumpScene(s);
    expectValid(s);
    ASSERT_TRUE(e) << "nothing recorded";
    ASSERT_NE(before, after) << "the op changed nothing";
    for (int i = 0; i < 2; ++i) {
        e->undo();
        EXPECT_EQ(dumpScene(s), before);
        expectValid(s);
        e->redo();
        EXPECT_EQ(dumpScene(s), after);
        expectValid(s);
    }
}

struct Cube {
    NodePtr t, shape, creator;
};

Cube makeCube(Scene& s, const std::string& name) {
    Cube c;
    c.t = s.createNode("transform", name);
    c.shape = s.createNode("mesh", name + "Shape", c.t.get());
    c.creator = s.createNode("polyCube");
    s.connect(c.creator->findPlug("output"), c.shape->findPlug("inMesh"));
    return c;
}

class CoreJournal : public ::testing::Test {
protected:
    void SetUp() override { testing::registerAdder(); }
    Scene s;
};

TEST_F(CoreJournal, CreateAndDeleteBringBackTheSameNodes) {
    NodePtr made, madeParent;
    roundTrip(s, [&] {
        made = s.createNode("mesh", "pCubeShape1");
        madeParent = made->parent()->ptr();
    });
    EXPECT_TRUE(made->alive());
    EXPECT_EQ(s.find("pCubeShape1"), made);  // redo: the same object under the same name

    Cube c = makeCube(s, "box");
    c.t->findPlug("tx").setValue(Value(3.0));
    s.setActiveSelection([&] {
        SelectionList l;
        l.add(c.shape, ComponentKind::Vertex, {1, 2});
        return l;
    }());
    roundTrip(s, [&] { s.deleteNode(*c.shape); });  // takes its transform along
    EXPECT_FALSE(c.t->alive());                     // the round trip ends redone

    Cube d = makeCube(s, "crate");
    SelectionList l;
    l.add(d.shape, ComponentKind::Vertex, {0});
    s.setActiveSelection(l);
    s.beginRecording();
    ASSERT_TRUE(s.deleteNode(*d.t));
    std::unique_ptr<UndoEntry> e = s.endRecording();
    ASSERT_TRUE(e);
    EXPECT_FALSE(d.shape->alive());
    EXPECT_TRUE(s.activeSelection().empty());
    e->undo();
    EXPECT_TRUE(d.shape->alive());
    EXPECT_EQ(s.find("|crate|crateShape"), d.shape);
    EXPECT_EQ(d.shape->findPlug("inMesh").source(), d.creator->findPlug("output"));
    EXPECT_EQ(s.activeSelection().size(), 1u);
}

TEST_F(CoreJournal, RenameReparentConnectDisconnect) {
    Cube c = makeCube(s, "box");
    NodePtr g = s.createNode("transform", "grp");
    NodePtr x = s.createNode("coreTestAdder", "x");
    roundTrip(s, [&] { s.renameNode(*c.t, "crate"); });
    roundTrip(s, [&] { s.reparentNode(*c.t, g.get()); });
    roundTrip(s, [&] { s.connect(x->findPlug("sum"), c.t->findPlug("tx")); });
    roundTrip(s, [&] { s.disconnect(c.creator->findPlug("output"), c.shape->findPlug("inMesh")); });
    // Connecting to a new array element and undoing leaves no element behind.
    roundTrip(s, [&] { s.connect(x->findPlug("outTuple"), c.shape->findPlug("pnts[5]")); });
    // Forced replacement of a source.
    NodePtr y = s.createNode("coreTestAdder", "y");
    roundTrip(s, [&] { s.connect(y->findPlug("sum"), c.t->findPlug("tx"), nullptr, true); });
}

TEST_F(CoreJournal, AttributeValuesAndDynamicAttributes) {
    Cube c = makeCube(s, "box");
    roundTrip(s, [&] { c.t->findPlug("translate").setValue(Value(std::vector<double>{1, 2, 3})); });
    roundTrip(s, [&] { c.shape->findPlug("pnts[3]").setValue(Value(std::vector<double>{0, 1, 0})); });
    roundTrip(s, [&] { c.creator->findPlug("width").setValue(Value(5.0)); });
    roundTrip(s, [&] { s.removeElement(c.shape->findPlug("pnts[3]")); });
    AttrPtr dyn = Attribute::generic("kxPinnedVertexArray", "kxparr");
    dyn->addAccept(DataKind::IntArray);
    roundTrip(s, [&] {
        s.addAttribute(*c.shape, dyn);
        c.shape->findPlug("kxparr").setValue(Value::intArray({1, 2}));
    });
    NodePtr o = s.createNode("transform", "other");
    AttrPtr msg = Attribute::message("kxUvMessage", "kxuvm");
    s.addAttribute(*c.shape, msg);
    s.connect(o->findPlug("message"), c.shape->findPlug("kxuvm"));
    roundTrip(s, [&] { s.removeAttribute(*c.shape, dyn.get()); });
    roundTrip(s, [&] { s.removeAttribute(*c.shape, msg.get()); });
    EXPECT_TRUE(c.shape->findPlug("kxuvm").isNull());  // the round trip ends redone
    EXPECT_TRUE(o->outputs().empty());
}

TEST_F(CoreJournal, ShapeGeometryAndSelections) {
    NodePtr t = s.createNode("transform", "p");
    NodePtr sh = s.createNode("mesh", "pShape", t.get());
    auto quad = std::make_shared<Mesh>();
    quad->points = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}};
    quad->addFace({0, 1, 2, 3});
    roundTrip(s, [&] { s.setShapeMesh(*sh, quad); });
    roundTrip(s, [&] { s.setShapePoints(*sh, {{0, 1, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}); });
    SelectionList l;
    l.add(sh, ComponentKind::Face, {0});
    roundTrip(s, [&] { s.setActiveSelection(l); });
    roundTrip(s, [&] { s.setHiliteList(l); });
    Cube c = makeCube(s, "box");
    MeshPtr m = std::make_shared<Mesh>(*s.shapeMesh(*c.shape));
    m->points[0].x -= 1;
    roundTrip(s, [&] { s.setShapeMesh(*c.shape, m); });  // goes to pnts
}

TEST_F(CoreJournal, NestingRollbackAndUnrecordedEdits) {
    NodePtr a = s.createNode("transform", "a");
    // Nothing is recorded outside a recording.
    s.beginRecording();
    EXPECT_EQ(s.endRecording(), nullptr);
    a->findPlug("tx").setValue(Value(1.0));
    // The outer recording collects the inner one's ops as well.
    std::string before = dumpScene(s);
    s.beginRecording();
    a->findPlug("ty").setValue(Value(2.0));
    s.beginRecording();
    s.createNode("transform", "b");
    auto inner = s.endRecording();
    EXPECT_TRUE(inner);
    EXPECT_TRUE(s.isRecording());
    auto outer = s.endRecording();
    ASSERT_TRUE(outer);
    outer->undo();
    EXPECT_EQ(dumpScene(s), before);
    outer->redo();
    EXPECT_TRUE(s.find("b"));
    // A failed command rolls back what it did so far.
    std::string mid = dumpScene(s);
    s.beginRecording();
    s.deleteNode(*a);
    s.createNode("polyCube");
    s.rollback();
    EXPECT_FALSE(s.isRecording());
    EXPECT_EQ(dumpScene(s), mid);
    EXPECT_TRUE(a->alive());
    expectValid(s);
}

TEST_F(CoreJournal, BakeHistoryFoldsTweaksAndDropsUnusedUpstream) {
    // polyCube -> polyTweak -> shape, with tweaks in both the polyTweak and the shape's pnts; an
    // intermediate Orig shape feeds a second polyTweak chain of another shape.
    Cube c = makeCube(s, "box");
    NodePtr tweak = s.createNode("polyTweak");
    s.disconnect(c.creator->findPlug("output"), c.shape->findPlug("inMesh"));
    s.connect(c.creator->findPlug("output"), tweak->findPlug("inputPolymesh"));
    s.connect(tweak->findPlug("output"), c.shape->findPlug("inMesh"));
    tweak->findPlug("tweak[0]").setValue(Value(std::vector<double>{0, 1, 0}));
    c.shape->findPlug("pnts[0]").setValue(Value(std::vector<double>{1, 0, 0}));
    c.shape->findPlug("pnts[5]").setValue(Value(std::vector<double>{0, 0, 2}));
    MeshPtr evaluated = s.shapeMesh(*c.shape);
    EXPECT_EQ(evaluated->points[0].x, -0.5 + 1);
    EXPECT_EQ(evaluated->points[0].y, -0.5 + 1);
    tweak->findPlug("nodeState").setValue(Value(1));  // has no effect: the tweak is bypassed
    EXPECT_EQ(s.shapeMesh(*c.shape)->points[0].y, -0.5);
    tweak->findPlug("nodeState").setValue(Value(0));
    EXPECT_TRUE(meshesEqual(*s.shapeMesh(*c.shape), *evaluated));

    // A second creator shared with another shape must survive.
    Cube d = makeCube(s, "other");
    NodePtr orig = s.createNode("mesh", "boxShapeOrig", c.t.get());
    orig->findPlug("intermediateObject").setValue(Value(true));
    s.setShapeMesh(*orig, std::make_shared<Mesh>(*evaluated));
    NodePtr tweak2 = s.createNode("polyTweak");
    s.connect(orig->findPlug("outMesh"), tweak2->findPlug("inputPolymesh"));
    EXPECT_EQ(c.t->shape(), c.shape.get());  // the intermediate shape is not the transform's shape

    auto names = [&](const std::vector<NodePtr>& v) {
        std::vector<std::string> n;
        for (auto& x : v) n.push_back(x->name());
        return n;
    };
    EXPECT_EQ(names(s.history(*c.shape)), (std::vector<std::string>{"boxShape", "polyTweak1", "polyCube1"}));
    EXPECT_EQ(names(s.history(*c.shape, true)), (std::vector<std::string>{"polyTweak1", "polyCube1"}));

    roundTrip(s, [&] { s.bakeHistory(*c.shape); });
    EXPECT_FALSE(s.hasHistory(*c.shape));
    EXPECT_FALSE(tweak->alive());
    EXPECT_FALSE(c.creator->alive());
    EXPECT_TRUE(d.creator->alive());
    EXPECT_TRUE(orig->alive());  // still feeds polyTweak2
    EXPECT_EQ(c.shape->findPlug("pnts").numElements(), 0u);
    EXPECT_TRUE(meshesEqual(*s.shapeMesh(*c.shape), *evaluated));
    // No history and no tweaks: nothing to do, nothing recorded.
    s.beginRecording();
    EXPECT_TRUE(s.bakeHistory(*c.shape));
    EXPECT_EQ(s.endRecording(), nullptr);

    // An Orig shape that only fed the baked chain goes with it.
    s.disconnect(orig->findPlug("outMesh"), tweak2->findPlug("inputPolymesh"));
    s.connect(tweak2->findPlug("output"), d.shape->findPlug("inMesh"), nullptr, true);
    s.connect(orig->findPlug("outMesh"), tweak2->findPlug("inputPolymesh"));
    roundTrip(s, [&] { s.bakeHistory(*d.shape); });
    EXPECT_FALSE(orig->alive());
    EXPECT_FALSE(tweak2->alive());
    EXPECT_TRUE(c.t->alive());
}

}  // namespace
}  // namespace kxh
