// Plugs, connections, dirty propagation, lazy evaluation, arrays, compounds and dynamic attributes.
#include "core_test_util.h"

namespace kxh {
namespace {

using testing::adderComputeCount;
using testing::expectValid;

class CoreDg : public ::testing::Test {
protected:
    void SetUp() override {
        testing::registerAdder();
        adderComputeCount() = 0;
    }
    Scene s;
};

TEST_F(CoreDg, ComputeRunsOncePerChangeAndOnlyWhenRead) {
    NodePtr n = s.createNode("coreTestAdder", "add");
    n->findPlug("a").setValue(Value(2.0));
    n->findPlug("b").setValue(Value(3.0));
    EXPECT_EQ(adderComputeCount(), 0);  // nothing read yet
    EXPECT_EQ(n->findPlug("sum").asDouble(), 5.0);
    EXPECT_EQ(n->findPlug("sum").asDouble(), 5.0);
    EXPECT_EQ(n->findPlug("outTuple").value().asNumbers(), (std::vector<double>{2, 3, 5}));
    EXPECT_EQ(adderComputeCount(), 1);  // one compute delivered both outputs
    n->findPlug("a").setValue(Value(4.0));
    n->findPlug("a").setValue(Value(5.0));
    EXPECT_EQ(n->findPlug("sum").asDouble(), 8.0);
    EXPECT_EQ(adderComputeCount(), 2);
    // A child of an output compound is computed through its parent.
    n->findPlug("b").setValue(Value(1.0));
    EXPECT_EQ(n->findPlug("outTuple").child(2).asDouble(), 6.0);
    EXPECT_EQ(adderComputeCount(), 3);
}

TEST_F(CoreDg, PullThroughChainsAndFanOut) {
    NodePtr x = s.createNode("coreTestAdder", "x");
    NodePtr y = s.createNode("coreTestAdder", "y");
    NodePtr z = s.createNode("coreTestAdder", "z");
    x->findPlug("a").setValue(Value(1.0));
    ASSERT_TRUE(s.connect(x->findPlug("sum"), y->findPlug("a")));
    ASSERT_TRUE(s.connect(x->findPlug("sum"), z->findPlug("b")));  // fan-out
    y->findPlug("b").setValue(Value(10.0));
    EXPECT_EQ(y->findPlug("sum").asDouble(), 11.0);
    EXPECT_EQ(z->findPlug("sum").asDouble(), 1.0);
    EXPECT_EQ(adderComputeCount(), 3);  // x once, y once, z once
    x->findPlug("b").setValue(Value(1.0));
    EXPECT_EQ(z->findPlug("sum").asDouble(), 2.0);
    EXPECT_EQ(y->findPlug("sum").asDouble(), 12.0);
    EXPECT_EQ(adderComputeCount(), 6);
    // One source per destination; force replaces it.
    std::string err;
    EXPECT_FALSE(s.connect(z->findPlug("sum"), y->findPlug("a"), &err));
    EXPECT_NE(err.find("already has an incoming connection"), std::string::npos);
    EXPECT_TRUE(s.connect(z->findPlug("sum"), y->findPlug("a"), nullptr, true));
    EXPECT_EQ(y->findPlug("a").source(), z->findPlug("sum"));
    EXPECT_EQ(x->findPlug("sum").destinations().size(), 1u);
    // A connected destination refuses direct sets.
    EXPECT_FALSE(y->findPlug("a").setValue(Value(3.0), &err));
    EXPECT_NE(err.find("connected"), std::string::npos);
    ASSERT_TRUE(s.disconnect(z->findPlug("sum"), y->findPlug("a")));
    EXPECT_FALSE(s.disconnect(z->findPlug("sum"), y->findPlug("a")));
    EXPECT_FALSE(y->findPlug("a").isConnected());
    expectValid(s);
}

TEST_F(CoreDg, DirtyCallbacksFireForSetAndDownstreamPlugs) {
    NodePtr x = s.createNode("coreTestAdder", "x");
    NodePtr y = s.createNode("coreTestAdder", "y");
    ASSERT_TRUE(s.connect(x->findPlug("sum"), y->findPlug("a")));
    y->findPlug("sum").value();  // everything clean
    std::vector<std::string> dirtied;
    GraphCallbackId id =
        s.addDirtyPlugCallback(*y, [&](Node&, const Plug& p) { dirtied.push_back(p.name()); });
    x->findPlug("a").setValue(Value(1.0));
    EXPECT_EQ(dirtied, (std::vector<std::string>{"y.a", "y.sum", "y.outTuple"}));
    dirtied.clear();
    x->findPlug("a").setValue(Value(2.0));  // outputs already dirty: propagation stops at x.sum
    EXPECT_TRUE(dirtied.empty());
    y->findPlug("b").setValue(Value(2.0));  // a set plug always reports
    ASSERT_FALSE(dirtied.empty());
    EXPECT_EQ(dirtied.front(), "y.b");
    s.removeCallback(id);
    dirtied.clear();
    y->findPlug("b").setValue(Value(3.0));
    EXPECT_TRUE(dirtied.empty());
}

TEST_F(CoreDg, CompoundConnectionsCarryChildren) {
    NodePtr a = s.createNode("transform", "a");
    NodePtr b = s.createNode("transform", "b");
    a->findPlug("translate").setValue(Value(std::vector<double>{1, 2, 3}));
    ASSERT_TRUE(s.connect(a->findPlug("translate"), b->findPlug("translate")));
    EXPECT_EQ(b->findPlug("ty").asDouble(), 2.0);
    EXPECT_TRUE(b->findPlug("ty").effectiveSource() == a->findPlug("ty"));
    EXPECT_FALSE(b->findPlug("ty").setValue(Value(5.0)));  // under a connected compound
    a->findPlug("translateZ").setValue(Value(7.0));
    EXPECT_NEAR(b->inclusiveMatrix().m[3][2], 7.0, 0);
    // A child cannot take a second source while its parent is connected.
    NodePtr c = s.createNode("coreTestAdder", "c");
    EXPECT_FALSE(s.connect(c->findPlug("sum"), b->findPlug("tx")));
    // Compound to a scalar does not fit.
    EXPECT_FALSE(s.connect(a->findPlug("rotate"), c->findPlug("a")));
    // Children connect on their own.
    ASSERT_TRUE(s.connect(c->findPlug("sum"), b->findPlug("rx")));
    c->findPlug("a").setValue(Value(0.5));
    EXPECT_EQ(b->findPlug("rotate").value().asNumbers(), (std::vector<double>{0.5, 0, 0}));
    expectValid(s);
}

TEST_F(CoreDg, SparseArraysByLogicalAndPhysicalIndex) {
    NodePtr t = s.createNode("transform", "t");
    NodePtr m = s.createNode("mesh", "m", t.get());
    Plug pnts = m->findPlug("pnts");
    ASSERT_TRUE(pnts.isArray());
    EXPECT_EQ(pnts.numElements(), 0u);
    ASSERT_TRUE(pnts.elementByLogicalIndex(7).setValue(Value(std::vector<double>{1, 2, 3})));
    ASSERT_TRUE(m->findPlug("pnts[2].pntz").setValue(Value(0.25)));
    EXPECT_EQ(pnts.numElements(), 2u);
    EXPECT_EQ(pnts.elementByPhysicalIndex(0).logicalIndex(), 2);
    EXPECT_EQ(pnts.elementByPhysicalIndex(1).logicalIndex(), 7);
    EXPECT_TRUE(pnts.elementByPhysicalIndex(2).isNull());
    EXPECT_EQ(m->findPlug("pt[7]").value().asNumbers(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(m->findPlug("pnts[2]").value().asNumbers(), (std::vector<double>{0, 0, 0.25}));
    EXPECT_EQ(pnts.elementByLogicalIndex(7).child(1).name(), "m.pnts[7].pnty");
    EXPECT_EQ(pnts.elementByLogicalIndex(7).child(1).name(false), "m.pt[7].py");
    EXPECT_EQ(m->findPlug("pnts[7].pnty").parent().array(), pnts);
    // Unset elements read the default and do not come into existence by reading.
    EXPECT_EQ(pnts.elementByLogicalIndex(4).value().asNumbers(), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(pnts.numElements(), 2u);
    // An array plug takes no value; a float child rounds to float.
    EXPECT_FALSE(pnts.setValue(Value(1.0)));
    m->findPlug("pnts[2].pntx").setValue(Value(0.1));
    EXPECT_EQ(m->findPlug("pnts[2].pntx").asDouble(), double(0.1f));
    ASSERT_TRUE(s.removeElement(pnts.elementByLogicalIndex(2)));
    EXPECT_EQ(pnts.numElements(), 1u);
    // Connecting an element makes it exist.
    NodePtr c = s.createNode("coreTestAdder", "c");
    ASSERT_TRUE(s.connect(c->findPlug("outTuple"), pnts.elementByLogicalIndex(11)));
    EXPECT_EQ(pnts.existingLogicalIndices(), (std::vector<int>{7, 11}));
    EXPECT_TRUE(m->findPlug("worldMatrix").isArray());
    EXPECT_TRUE(m->findPlug("worldMatrix[0]").isElement());
    EXPECT_TRUE(m->findPlug("nope").isNull());
    EXPECT_TRUE(m->findPlug("pnts[x]").isNull());
    expectValid(s);
}

TEST_F(CoreDg, DynamicAttributesAndMessages) {
    NodePtr t = s.createNode("transform", "t");
    NodePtr m = s.createNode("mesh", "mShape", t.get());
    AttrPtr g = Attribute::generic("kxPinnedVertexArray", "kxparr");
    g->addAccept(DataKind::IntArray);
    ASSERT_TRUE(s.addAttribute(*m, g));
    EXPECT_TRUE(m->isDynamic(g.get()));
    EXPECT_FALSE(s.addAttribute(*m, Attribute::message("kxPinnedVertexArray", "x")));  // name taken
    EXPECT_FALSE(s.addAttribute(*m, Attribute::message("other", "pt")));               // short name taken
    Plug p = m->findPlug("kxparr");
    ASSERT_FALSE(p.isNull());
    EXPECT_TRUE(p.value().isNone());               // never set: no data
    EXPECT_FALSE(p.setValue(Value::string("x")));  // not an accepted kind
    ASSERT_TRUE(p.setValue(Value::intArray({3, 1, 2})));
    EXPECT_EQ(p.value().dataAs<IntArrayData>()->value, (std::vector<int>{3, 1, 2}));
    // Message into a message attribute, and a message feeding a number keeps the number.
    AttrPtr msg = Attribute::message("kxUvMessage", "kxuvmessage");
    ASSERT_TRUE(s.addAttribute(*m, msg));
    NodePtr other = s.createNode("transform", "o");
    ASSERT_TRUE(s.connect(other->findPlug("message"), m->findPlug("kxuvmessage")));
    EXPECT_FALSE(s.connect(other->findPlug("tx"), m->findPlug("kxUvMessage"), nullptr, true));
    ASSERT_TRUE(s.connect(other->findPlug("message"), t->findPlug("visibility")));
    EXPECT_TRUE(t->findPlug("visibility").asBool());
    // Removing takes the connections with it.
    ASSERT_TRUE(s.removeAttribute(*m, msg.get()));
    EXPECT_TRUE(m->findPlug("kxUvMessage").isNull());
    EXPECT_EQ(other->outputs().size(), 1u);
    EXPECT_FALSE(s.removeAttribute(*m, m->findAttribute("inMesh").get()));  // static
    expectValid(s);
}

TEST_F(CoreDg, PrimitiveCreatorFeedsAShape) {
    NodePtr t = s.createNode("transform", "pCube1");
    NodePtr sh = s.createNode("mesh", "pCubeShape1", t.get());
    NodePtr c = s.createNode("polyCube", "polyCube1");
    ASSERT_TRUE(s.connect(c->findPlug("output"), sh->findPlug("inMesh")));
    MeshPtr m = s.shapeMesh(*sh);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->numVertices(), 8);
    EXPECT_EQ(m->numFaces(), 6);
    c->findPlug("subdivisionsWidth").setValue(Value(2));
    EXPECT_EQ(s.shapeMesh(*sh)->numFaces(), 10);  // front, top, back and bottom split in two
    c->findPlug("width").setValue(Value(4.0));
    double maxX = -1e9;
    for (auto& p : s.shapeMesh(*sh)->points) maxX = std::max(maxX, p.x);
    EXPECT_DOUBLE_EQ(maxX, 2.0);
    // worldMesh follows the transform.
    t->findPlug("tx").setValue(Value(10.0));
    double wmax = -1e9;
    for (auto& p : sh->findPlug("worldMesh[0]").asMesh()->points) wmax = std::max(wmax, p.x);
    EXPECT_DOUBLE_EQ(wmax, 12.0);
    NodePtr sp = s.createNode("polySphere");
    sp->findPlug("subdivisionsAxis").setValue(Value(8));
    sp->findPlug("subdivisionsHeight").setValue(Value(4));
    EXPECT_EQ(sp->findPlug("output").asMesh()->numFaces(), 8 * 4);
    NodePtr pl = s.createNode("polyPlane");
    EXPECT_EQ(pl->findPlug("output").asMesh()->numFaces(), 100);
    expectValid(s);
}

TEST_F(CoreDg, ShapeGeometryWithAndWithoutHistory) {
    NodePtr t = s.createNode("transform", "p");
    NodePtr sh = s.createNode("mesh", "pShape", t.get());
    NodePtr c = s.createNode("polyPlane", "pp");
    c->findPlug("sw").setValue(Value(1));
    c->findPlug("sh").setValue(Value(1));
    ASSERT_TRUE(s.connect(c->findPlug("output"), sh->findPlug("inMesh")));
    MeshPtr before = s.shapeMesh(*sh);
    ASSERT_EQ(before->numVertices(), 4);
    // With history, points land in pnts as offsets to the input.
    std::vector<V3> pts = before->points;
    pts[3].y += 0.5;
    ASSERT_TRUE(s.setShapePoints(*sh, pts));
    EXPECT_TRUE(s.hasHistory(*sh));
    EXPECT_EQ(sh->findPlug("pnts").existingLogicalIndices(), (std::vector<int>{3}));
    EXPECT_EQ(s.shapeMesh(*sh)->points[3].y, pts[3].y);
    // Upstream edits still flow, tweaks on top.
    c->findPlug("width").setValue(Value(2.0));
    EXPECT_EQ(s.shapeMesh(*sh)->points[3].y, 0.5);
    // UV edits over history go to the edit layer and survive upstream point changes.
    auto uvEdit = std::make_shared<Mesh>(*s.shapeMesh(*sh));
    ASSERT_FALSE(uvEdit->uvSets.empty());
    uvEdit->uvSets[0].u[0] = 0.75f;
    ASSERT_TRUE(s.setShapeMesh(*sh, uvEdit));
    c->findPlug("width").setValue(Value(3.0));
    EXPECT_EQ(s.shapeMesh(*sh)->uvSets[0].u[0], 0.75f);
    EXPECT_EQ(s.shapeMesh(*sh)->points[3].y, 0.5);
    // A topology change bakes the history first.
    auto tri = std::make_shared<Mesh>();
    tri->points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    tri->addFace({0, 1, 2});
    ASSERT_TRUE(s.setShapeMesh(*sh, tri));
    EXPECT_FALSE(s.hasHistory(*sh));
    EXPECT_FALSE(c->alive());
    EXPECT_EQ(sh->findPlug("pnts").numElements(), 0u);
    EXPECT_EQ(s.shapeMesh(*sh)->numFaces(), 1);
    // Without history the shape's own geometry changes.
    ASSERT_TRUE(s.setShapePoints(*sh, {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}));
    EXPECT_EQ(s.shapeMesh(*sh)->points[1].x, 2.0);
    EXPECT_EQ(sh->findPlug("pnts").numElements(), 0u);
    EXPECT_FALSE(s.setShapePoints(*sh, {{0, 0, 0}}));
    expectValid(s);
}

}  // namespace
}  // namespace kxh
