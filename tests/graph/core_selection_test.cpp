// Selection lists: per (object, kind) merging and the list adjustments.
#include "core_test_util.h"

namespace kxh {
namespace {

class CoreSelection : public ::testing::Test {
protected:
    void SetUp() override {
        t = s.createNode("transform", "pCube1");
        m = s.createNode("mesh", "pCubeShape1", t.get());
        o = s.createNode("transform", "other");
    }
    Scene s;
    NodePtr t, m, o;
};

TEST_F(CoreSelection, ComponentsMergePerObjectAndKind) {
    SelectionList l;
    l.add(m, ComponentKind::Vertex, {5, 3, 3});
    l.add(m, ComponentKind::Edge, {1});
    l.add(m, ComponentKind::Vertex, {4, 1});
    l.add(t);
    l.add(t);
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0].ids, (std::vector<int>{1, 3, 4, 5}));
    EXPECT_EQ(l[1].kind, ComponentKind::Edge);
    EXPECT_EQ(l.strings(), (std::vector<std::string>{"pCubeShape1.vtx[1]", "pCubeShape1.vtx[3:5]",
                                                     "pCubeShape1.e[1]", "pCube1"}));
    EXPECT_TRUE(l.has({m, ComponentKind::Vertex, {3, 5}}));
    EXPECT_FALSE(l.has({m, ComponentKind::Vertex, {2, 3}}));
    EXPECT_TRUE(l.hasPartly({m, ComponentKind::Vertex, {2, 3}}));
    EXPECT_TRUE(l.hasPartly({m, ComponentKind::None, {}}));
    EXPECT_FALSE(l.has({o, ComponentKind::None, {}}));
    l.add(m, ComponentKind::Face, {});  // no ids: nothing
    EXPECT_EQ(l.size(), 3u);
}

TEST_F(CoreSelection, Adjustments) {
    SelectionList base;
    base.add(m, ComponentKind::Vertex, {1, 2, 3});
    base.add(o);
    SelectionList x;
    x.add(m, ComponentKind::Vertex, {3, 4});
    x.add(t);

    SelectionList r = base;
    r.merge(x, ListAdjust::Replace);
    EXPECT_EQ(r, x);

    SelectionList a = base;
    a.merge(x, ListAdjust::Add);
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[0].ids, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(a[2].node, t);

    SelectionList h = base;
    h.merge(x, ListAdjust::AddToHead);
    EXPECT_EQ(h[0].node, t);

    SelectionList rm = base;
    rm.merge(x, ListAdjust::Remove);
    ASSERT_EQ(rm.size(), 2u);
    EXPECT_EQ(rm[0].ids, (std::vector<int>{1, 2}));

    SelectionList tg = base;
    tg.merge(x, ListAdjust::Toggle);
    ASSERT_EQ(tg.size(), 3u);
    EXPECT_EQ(tg[0].ids, (std::vector<int>{1, 2, 4}));
    // Toggling every id away drops the item; toggling an object twice removes it.
    SelectionList all;
    all.add(m, ComponentKind::Vertex, {1, 2, 4});
    all.add(t);
    tg.merge(all, ListAdjust::Toggle);
    ASSERT_EQ(tg.size(), 1u);
    EXPECT_EQ(tg[0].node, o);
}

TEST_F(CoreSelection, SceneListsDropDeletedNodes) {
    SelectionList l;
    l.add(m, ComponentKind::Vertex, {0});
    l.add(o);
    int changes = 0;
    s.addSelectionChangedCallback([&] { ++changes; });
    s.setActiveSelection(l);
    s.setActiveSelection(l, ListAdjust::Add);  // no change, no callback
    EXPECT_EQ(changes, 1);
    s.setHiliteList(l);
    s.deleteNode(*o);
    EXPECT_EQ(s.activeSelection().size(), 1u);
    EXPECT_EQ(s.hiliteList().size(), 1u);
    EXPECT_EQ(changes, 2);
    testing::expectValid(s);
}

}  // namespace
}  // namespace kxh
