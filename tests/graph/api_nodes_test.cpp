// Nodes, paths, handles and modifiers through the public API.
#include <maya/MBoundingBox.h>
#include <maya/MEulerRotation.h>
#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnTransform.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MMatrix.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <array>
#include <cmath>

#include "api_test_util.h"

using kxh::apitest::ApiTest;

namespace {

TEST_F(ApiTest, ObjectKindsAndInheritance) {
    MObject xform = makeCube();
    EXPECT_TRUE(MObject::kNullObj.isNull());
    EXPECT_FALSE(xform.isNull());
    EXPECT_EQ(xform.apiType(), MFn::kTransform);
    EXPECT_STREQ(xform.apiTypeStr(), "kTransform");
    EXPECT_TRUE(xform.hasFn(MFn::kDagNode));
    EXPECT_TRUE(xform.hasFn(MFn::kDependencyNode));
    EXPECT_FALSE(xform.hasFn(MFn::kMesh));

    MObject shape = MFnDagNode(xform).child(0);
    EXPECT_STREQ(shape.apiTypeStr(), "kMesh");
    EXPECT_TRUE(shape.hasFn(MFn::kShape));
    // Two wrappers of one node compare equal.
    EXPECT_TRUE(MFnDagNode(shape).parent(0) == xform);

    MStatus st;
    MFnTransform wrongSet(shape, &st);
    EXPECT_FALSE(st);
}

TEST_F(ApiTest, DagModifierMakesTransformForShapeAndPathsFollowIt) {
    MObject xform = makeCube("pCube1");
    MDagPath path;
    ASSERT_TRUE(MDagPath::getAPathTo(xform, path));
    EXPECT_EQ(path.length(), 1u);
    EXPECT_EQ(path.fullPathName(), MString("|pCube1"));
    ASSERT_TRUE(path.extendToShape());
    EXPECT_EQ(path.fullPathName(), MString("|pCube1|pCubeShape1"));
    EXPECT_EQ(path.partialPathName(), MString("pCubeShape1"));
    EXPECT_EQ(path.apiType(), MFn::kMesh);
    EXPECT_TRUE(path.transform() == xform);
    EXPECT_TRUE(path.pop());
    EXPECT_TRUE(path.node() == xform);
    EXPECT_EQ(path.childCount(), 1u);

    // Group under a parent: paths and matrices follow the chain.
    MDagModifier mod;
    MObject group = mod.createNode("transform");
    mod.renameNode(group, "grp");
    mod.reparentNode(xform, group);
    ASSERT_TRUE(mod.doIt());
    MFnTransform(group).setTranslation(MVector(1, 2, 3), MSpace::kTransform);
    MFnTransform(xform).setTranslation(MVector(0, 0, 5), MSpace::kTransform);
    MDagPath shapePath;
    MDagPath::getAPathTo(MFnDagNode(xform).child(0), shapePath);
    EXPECT_EQ(shapePath.fullPathName(), MString("|grp|pCube1|pCubeShape1"));
    MPoint world = MPoint(0, 0, 0) * shapePath.inclusiveMatrix();
    EXPECT_TRUE(world.isEquivalent(MPoint(1, 2, 8)));
    MPoint back = world * shapePath.inclusiveMatrixInverse();
    EXPECT_TRUE(back.isEquivalent(MPoint(0, 0, 0)));
    EXPECT_TRUE(MFnTransform(xform).translation(MSpace::kWorld).isEquivalent(MVector(1, 2, 8)));

    // Scale and rotation of the parent apply to everything below it.
    const double twice[3] = {2, 2, 2};
    ASSERT_TRUE(MFnTransform(group).setScale(twice));
    EXPECT_TRUE((MPoint(1, 0, 0) * shapePath.inclusiveMatrix()).isEquivalent(MPoint(3, 2, 13)));
    MFnTransform(group).setRotation(MEulerRotation(0, 0, M_PI / 2));
    EXPECT_TRUE((MPoint(1, 0, 0) * shapePath.inclusiveMatrix()).isEquivalent(MPoint(1, 4, 13), 1e-9));
    MEulerRotation r;
    MFnTransform(group).getRotation(r);
    EXPECT_NEAR(r.z, M_PI / 2, 1e-12);
    MFnTransform(group).setRotation(MEulerRotation(0, 0, 0));
    MFnTransform(group).setScale(std::array<double, 3>{1, 1, 1}.data());

    // A world-space set puts the origin where asked, whatever the parents do.
    MFnTransform(xform).setTranslation(MVector(0, 0, 0), MSpace::kWorld);
    EXPECT_TRUE(MFnTransform(xform).translation(MSpace::kTransform).isEquivalent(MVector(-1, -2, -3)));
}

TEST_F(ApiTest, HandlesAndPathsAreInvalidWhileDeletedAndValidAfterUndo) {
    MObject xform = makeCube();
    MObject shape = MFnDagNode(xform).child(0);
    MObjectHandle handle(shape);
    MDagPath path;
    MDagPath::getAPathTo(shape, path);
    ASSERT_TRUE(handle.isValid());
    ASSERT_TRUE(path.isValid());

    MDagModifier mod;
    mod.deleteNode(shape);
    ASSERT_TRUE(mod.doIt());
    EXPECT_FALSE(handle.isValid());
    EXPECT_TRUE(handle.isAlive());
    EXPECT_FALSE(path.isValid());
    // The transform left empty goes with its shape.
    EXPECT_FALSE(MObjectHandle(xform).isValid());

    ASSERT_TRUE(mod.undoIt());
    EXPECT_TRUE(handle.isValid());
    EXPECT_TRUE(path.isValid());
    EXPECT_EQ(MFnDependencyNode(shape).name(), MString("pCubeShape1"));
}

TEST_F(ApiTest, ModifierDoUndoDoReplaysTheSameNodes) {
    MDGModifier mod;
    MObject a = mod.createNode("transform");  // DAG types are refused by the DG modifier
    EXPECT_TRUE(a.isNull());

    MDagModifier dag;
    MObject t1 = dag.createNode("transform");
    MObject t2 = dag.createNode("transform");
    dag.renameNode(t1, "source");
    dag.renameNode(t2, "target");
    // Queued work has not happened yet: the nodes exist as objects but not in the scene.
    EXPECT_FALSE(MObjectHandle(t1).isValid());
    MFnDependencyNode f1(t1), f2(t2);
    dag.connect(f1.findPlug("translateX"), f2.findPlug("translateY"));
    ASSERT_TRUE(dag.doIt());
    EXPECT_TRUE(MObjectHandle(t1).isValid());
    EXPECT_EQ(f1.name(), MString("source"));
    EXPECT_TRUE(f2.findPlug("translateY").isConnected());
    f1.findPlug("translateX").setDouble(4.5);
    EXPECT_DOUBLE_EQ(f2.findPlug("translateY").asDouble(), 4.5);

    ASSERT_TRUE(dag.undoIt());
    EXPECT_FALSE(MObjectHandle(t1).isValid());
    EXPECT_FALSE(MObjectHandle(t2).isValid());

    // Operations added after the first doIt run with the next one; a redo brings back the same objects
    // under the same names.
    dag.renameNode(t2, "renamed");
    ASSERT_TRUE(dag.doIt());
    EXPECT_TRUE(MObjectHandle(t1).isValid());
    EXPECT_EQ(f1.name(), MString("source"));
    EXPECT_EQ(f2.name(), MString("renamed"));
    EXPECT_TRUE(f2.findPlug("translateY").isConnected());

    // A second doIt with nothing new changes nothing.
    ASSERT_TRUE(dag.doIt());
    EXPECT_EQ(f2.name(), MString("renamed"));
}

TEST_F(ApiTest, ModifierFailureReportsAndLeavesQueueUsable) {
    MDagModifier dag;
    MObject t = dag.createNode("transform");
    ASSERT_TRUE(dag.doIt());
    MFnDependencyNode fn(t);
    MDGModifier mod;
    // A value that does not fit the attribute: the doIt fails and nothing changes.
    mod.newPlugValueString(fn.findPlug("translateX"), "abc");
    EXPECT_FALSE(mod.doIt());
    mod.newPlugValueDouble(fn.findPlug("translateX"), 2.0);
    EXPECT_TRUE(mod.doIt());
    EXPECT_DOUBLE_EQ(fn.findPlug("translateX").asDouble(), 2.0);
    EXPECT_TRUE(mod.undoIt());
    EXPECT_DOUBLE_EQ(fn.findPlug("translateX").asDouble(), 0.0);
    // A queued command with no MEL executor installed fails.
    mod.commandToExecute("select -cl");
    EXPECT_FALSE(mod.doIt());
}

TEST_F(ApiTest, RenameGivesExactNameWhenFreeAndUniqueOtherwise) {
    MDagModifier dag;
    MObject a = dag.createNode("transform");
    MObject b = dag.createNode("transform");
    ASSERT_TRUE(dag.doIt());
    MFnDependencyNode fa(a), fb(b);
    EXPECT_EQ(fa.setName("thing"), MString("thing"));
    MString second = fb.setName("thing");
    EXPECT_NE(second, MString("thing"));
    EXPECT_EQ(fb.name(), second);
}

TEST_F(ApiTest, DuplicateCopiesTreeValuesAndGeometry) {
    MObject xform = makeCube("pCube1");
    MFnTransform(xform).setTranslation(MVector(3, 0, 0), MSpace::kTransform);
    MFnDagNode fn(xform);
    MObject dup = fn.duplicate();
    ASSERT_FALSE(dup.isNull());
    MFnDagNode dfn(dup);
    EXPECT_EQ(dfn.name(), MString("pCube2"));
    ASSERT_EQ(dfn.childCount(), 1u);
    EXPECT_TRUE(MFnTransform(dup).translation(MSpace::kTransform).isEquivalent(MVector(3, 0, 0)));
    MFnDagNode shape(dfn.child(0));
    EXPECT_TRUE(shape.object().hasFn(MFn::kMesh));
    MBoundingBox box = shape.boundingBox();
    EXPECT_NEAR(box.width(), 1.0, 1e-9);
    // Intermediate flag through the function set.
    EXPECT_FALSE(shape.isIntermediateObject());
    EXPECT_TRUE(shape.setIntermediateObject(true));
    EXPECT_TRUE(shape.isIntermediateObject());
}

TEST_F(ApiTest, DependencyNodeIteratorFiltersByKind) {
    makeCube("pCube1");
    makeCube("pCube2");
    int meshes = 0, transforms = 0, all = 0;
    for (MItDependencyNodes it(MFn::kMesh); !it.isDone(); it.next()) ++meshes;
    for (MItDependencyNodes it(MFn::kTransform); !it.isDone(); it.next()) ++transforms;
    for (MItDependencyNodes it; !it.isDone(); it.next()) ++all;
    EXPECT_EQ(meshes, 2);
    EXPECT_GE(transforms, 2);
    EXPECT_GE(all, 4);
}

}  // namespace
