// Selection lists: strings in and out the way MEL writes them, components, merges, iteration with filters.
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MIntArray.h>
#include <maya/MItSelectionList.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include "api_test_util.h"

using kxh::apitest::ApiTest;

namespace {

std::vector<std::string> strings(const MSelectionList& list) {
    MStringArray a;
    list.getSelectionStrings(a);
    std::vector<std::string> out;
    for (unsigned i = 0; i < a.length(); ++i) out.push_back(a[i].asChar());
    return out;
}

MObject vertices(std::initializer_list<int> ids, MFn::Type type = MFn::kMeshVertComponent) {
    MFnSingleIndexedComponent fn;
    MObject c = fn.create(type);
    for (int i : ids) fn.addElement(i);
    return c;
}

TEST_F(ApiTest, ComponentFunctionSetKeepsOrderAndDropsRepeats) {
    MFnSingleIndexedComponent fn;
    MObject c = fn.create(MFn::kMeshEdgeComponent);
    EXPECT_TRUE(fn.isEmpty());
    fn.addElement(5);
    fn.addElement(2);
    fn.addElement(5);
    MIntArray more;
    more.append(9);
    more.append(2);
    fn.addElements(more);
    EXPECT_EQ(fn.elementCount(), 3);
    EXPECT_EQ(fn.element(0), 5);
    EXPECT_EQ(fn.element(2), 9);
    EXPECT_STREQ(c.apiTypeStr(), "kMeshEdgeComponent");
    EXPECT_TRUE(c.hasFn(MFn::kSingleIndexedComponent));
    EXPECT_TRUE(c.hasFn(MFn::kComponent));

    fn.setCompleteData(4);
    EXPECT_TRUE(fn.isComplete());
    MIntArray all;
    fn.getElements(all);
    ASSERT_EQ(all.length(), 4u);
    EXPECT_EQ(all[3], 3);

    MStatus st;
    fn.create(MFn::kMesh, &st);  // not a component kind
    EXPECT_FALSE(st);
}

TEST_F(ApiTest, StringsResolveNamesComponentsAndPlugs) {
    makeCube("pCube1");
    MSelectionList list;
    ASSERT_TRUE(list.add("pCube1.vtx[3:5]"));
    ASSERT_TRUE(list.add("pCube1.vtx[7]"));
    ASSERT_TRUE(list.add("pCube1.e[*]"));
    ASSERT_TRUE(list.add("|pCube1"));
    ASSERT_TRUE(list.add("pCube1.translateX"));
    EXPECT_FALSE(list.add("nothingHere"));
    EXPECT_FALSE(list.add("pCube1.vtx[2"));
    EXPECT_FALSE(list.add("pCube1.noSuchAttr"));

    EXPECT_EQ(strings(list), (std::vector<std::string>{"pCube1.vtx[3:5]", "pCube1.vtx[7]", "pCube1.e[0:11]",
                                                       "pCube1", "pCube1.translateX"}));
    ASSERT_EQ(list.length(), 4u);

    MDagPath path;
    MObject comp;
    ASSERT_TRUE(list.getDagPath(0, path, comp));
    EXPECT_EQ(path.fullPathName(), MString("|pCube1|pCubeShape1"));
    MFnSingleIndexedComponent fn(comp);
    EXPECT_EQ(fn.elementCount(), 4);
    EXPECT_EQ(comp.apiType(), MFn::kMeshVertComponent);

    // The default component argument is left alone.
    ASSERT_TRUE(list.getDagPath(2, path));
    EXPECT_TRUE(MObject::kNullObj.isNull());

    MPlug plug;
    EXPECT_TRUE(list.getPlug(3, plug));
    EXPECT_EQ(plug.name(), MString("pCube1.translateX"));
    EXPECT_FALSE(list.getPlug(2, plug));
}

TEST_F(ApiTest, MergeStrategiesAddToggleAndRemoveElements) {
    MObject xform = makeCube("pCube1");
    MDagPath shape;
    MDagPath::getAPathTo(MFnDagNode(xform).child(0), shape);

    MSelectionList list;
    list.add(shape, vertices({1, 2, 3}));
    list.merge(shape, vertices({3, 4}), MSelectionList::kMergeNormal);
    EXPECT_EQ(strings(list), (std::vector<std::string>{"pCube1.vtx[1:4]"}));
    list.merge(shape, vertices({2, 6}), MSelectionList::kXORWithList);
    EXPECT_EQ(strings(list), (std::vector<std::string>{"pCube1.vtx[1]", "pCube1.vtx[3:4]", "pCube1.vtx[6]"}));
    list.merge(shape, vertices({1, 3, 4, 6}), MSelectionList::kRemoveFromList);
    EXPECT_TRUE(list.isEmpty());

    // Kinds stay in separate items; hasItem needs every element, hasItemPartly one of them.
    MSelectionList other;
    other.add(shape, vertices({0, 1}));
    other.add(shape, vertices({5}, MFn::kMeshPolygonComponent));
    list.merge(other);
    EXPECT_EQ(list.length(), 2u);
    EXPECT_TRUE(list.hasItem(shape, vertices({1})));
    EXPECT_FALSE(list.hasItem(shape, vertices({1, 2})));
    EXPECT_TRUE(list.hasItemPartly(shape, vertices({1, 2})));
    EXPECT_TRUE(list.hasItem(shape, vertices({5}, MFn::kMeshPolygonComponent)));
    list.toggle(shape, vertices({1}));
    EXPECT_FALSE(list.hasItemPartly(shape, vertices({1})));

    // Without merging, add keeps separate items for the same path.
    MSelectionList raw;
    raw.add(shape, vertices({1}));
    raw.add(shape, vertices({2}));
    EXPECT_EQ(raw.length(), 2u);
}

TEST_F(ApiTest, IteratorFiltersByNodeShapeAndComponentKind) {
    MObject a = makeCube("pCube1");
    makeCube("pCube2");
    MSelectionList list;
    list.add("pCube1");
    list.add("pCube2.f[1]");
    list.add("pCube2.vtx[0]");

    int meshes = 0;
    for (MItSelectionList it(list, MFn::kMesh); !it.isDone(); it.next()) ++meshes;
    EXPECT_EQ(meshes, 3);  // a transform with a mesh shape counts

    std::vector<MFn::Type> kinds;
    MItSelectionList it(list, MFn::kMeshPolygonComponent);
    for (; !it.isDone(); it.next()) {
        MDagPath p;
        MObject c;
        it.getDagPath(p, c);
        EXPECT_TRUE(it.hasComponents());
        kinds.push_back(c.apiType());
    }
    EXPECT_EQ(kinds, (std::vector<MFn::Type>{MFn::kMeshPolygonComponent}));

    it.setFilter(MFn::kTransform);
    ASSERT_FALSE(it.isDone());
    MObject node;
    it.getDependNode(node);
    EXPECT_TRUE(node == a);
    EXPECT_EQ(it.itemType(), MItSelectionList::kDagSelectionItem);
    it.next();
    EXPECT_TRUE(it.isDone());
}

}  // namespace
