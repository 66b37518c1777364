// MGlobal over the session: the active selection and hilite lists as the scene's MEL sees them, node
// deletion, and MEL run with and without undo.
#include <gtest/gtest.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <string>
#include <vector>

#include "cmds/Session.h"
#include "foundation/Output.h"

namespace {

using Strings = std::vector<std::string>;

class MGlobalTest : public ::testing::Test {
protected:
    void SetUp() override {
        kxh::output().setEcho(false);
        kxh::session().reset();
        ASSERT_TRUE(kxh::session().execute("polyCube; polyCube").ok);
        MGlobal::clearSelectionList();
    }
    static Strings strings(const MSelectionList& list) {
        MStringArray a;
        list.getSelectionStrings(a);
        Strings r;
        for (unsigned i = 0; i < a.length(); ++i) r.push_back(a[i].asChar());
        return r;
    }
    static Strings active() {
        MSelectionList list;
        EXPECT_TRUE(MGlobal::getActiveSelectionList(list));
        return strings(list);
    }
    static Strings melSelection() { return kxh::session().execute("ls -sl").result.asStringArray(); }
};

TEST_F(MGlobalTest, ActiveSelectionFollowsTheAdjustments) {
    ASSERT_TRUE(MGlobal::selectByName("pCube1", MGlobal::kReplaceList));
    EXPECT_EQ(active(), (Strings{"pCube1"}));
    EXPECT_EQ(melSelection(), (Strings{"pCube1"}));
    ASSERT_TRUE(MGlobal::selectByName("pCube2"));  // adds by default
    EXPECT_EQ(active(), (Strings{"pCube1", "pCube2"}));

    MSelectionList first;
    first.add("pCube1");
    ASSERT_TRUE(MGlobal::setActiveSelectionList(first, MGlobal::kRemoveFromList));
    EXPECT_EQ(active(), (Strings{"pCube2"}));
    ASSERT_TRUE(MGlobal::setActiveSelectionList(first, MGlobal::kXORWithList));
    EXPECT_EQ(active(), (Strings{"pCube2", "pCube1"}));
    ASSERT_TRUE(MGlobal::setActiveSelectionList(first));  // replace
    EXPECT_EQ(melSelection(), (Strings{"pCube1"}));

    EXPECT_FALSE(MGlobal::selectByName("noSuchNode"));
    EXPECT_EQ(active(), (Strings{"pCube1"}));
    ASSERT_TRUE(MGlobal::clearSelectionList());
    EXPECT_TRUE(active().empty());

    MSelectionList byName;
    ASSERT_TRUE(MGlobal::getSelectionListByName("pCube2", byName));
    EXPECT_EQ(strings(byName), (Strings{"pCube2"}));
}

TEST_F(MGlobalTest, HiliteListIsSeparateFromTheSelection) {
    MSelectionList list;
    list.add("pCube2");
    ASSERT_TRUE(MGlobal::setHiliteList(list));
    MSelectionList hilite;
    ASSERT_TRUE(MGlobal::getHiliteList(hilite));
    EXPECT_EQ(strings(hilite), (Strings{"pCube2"}));
    EXPECT_TRUE(active().empty());
}

TEST_F(MGlobalTest, DeleteNodeAndUndoControlOfExecuteCommand) {
    MSelectionList list;
    list.add("pCube2");
    MObject node;
    ASSERT_TRUE(list.getDependNode(0, node));
    ASSERT_TRUE(MGlobal::deleteNode(node));
    int exists = -1;
    ASSERT_TRUE(MGlobal::executeCommand("objExists pCube2", exists));
    EXPECT_EQ(exists, 0);

    // With undo on the command can be undone; with undo off it stays.
    kxh::mel::UndoQueue& undo = kxh::session().interpreter().undoQueue();
    undo.clear();
    MStringArray made;
    ASSERT_TRUE(MGlobal::executeCommand("polyCube -n undoable", made, false, true));
    ASSERT_TRUE(MGlobal::executeCommand("polyCube -n kept", made));
    ASSERT_TRUE(kxh::session().execute("undo").ok);
    ASSERT_TRUE(MGlobal::executeCommand("objExists undoable", exists));
    EXPECT_EQ(exists, 0);
    ASSERT_TRUE(MGlobal::executeCommand("objExists kept", exists));
    EXPECT_EQ(exists, 1);
}

}  // namespace
