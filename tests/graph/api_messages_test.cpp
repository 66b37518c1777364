// Callbacks: dirty plugs, node destruction, events and scene messages, removal.
#include <maya/MCallbackIdArray.h>
#include <maya/MDGMessage.h>
#include <maya/MDagModifier.h>
#include <maya/MEventMessage.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlug.h>
#include <maya/MSceneMessage.h>
#include <maya/MStringArray.h>

#include <string>
#include <vector>

#include "api_test_util.h"
#include "graph/api/Messages.h"

using kxh::apitest::ApiTest;

namespace {

struct Log {
    std::vector<std::string> lines;
};

void onDirty(MObject&, MPlug& plug, void* data) {
    static_cast<Log*>(data)->lines.push_back(
        plug.partialName(false, false, false, false, false, true).asChar());
}
void onBasic(void* data) {
    static_cast<Log*>(data)->lines.push_back("basic");
}
void onAdded(MObject& node, void* data) {
    static_cast<Log*>(data)->lines.push_back(MFnDependencyNode(node).typeName().asChar());
}

class MessageTest : public ApiTest {
protected:
    MObject node;
    void SetUp() override {
        ApiTest::SetUp();
        MDagModifier mod;
        node = mod.createNode("transform");
        ASSERT_TRUE(mod.doIt());
    }
};

TEST_F(MessageTest, DirtyPlugCallbackSeesSetPlugsUntilRemoved) {
    Log log;
    MStatus st;
    MCallbackId id = MNodeMessage::addNodeDirtyPlugCallback(node, onDirty, &log, &st);
    ASSERT_TRUE(st);
    MFnDependencyNode(node).findPlug("translateX").setDouble(3);
    ASSERT_FALSE(log.lines.empty());
    EXPECT_NE(std::find(log.lines.begin(), log.lines.end(), "translateX"), log.lines.end());

    MCallbackIdArray ids;
    MMessage::nodeCallbacks(node, ids);
    ASSERT_EQ(ids.length(), 1u);
    EXPECT_EQ(ids[0], id);

    ASSERT_TRUE(MMessage::removeCallback(id));
    EXPECT_FALSE(MMessage::removeCallback(id));  // only once
    log.lines.clear();
    MFnDependencyNode(node).findPlug("translateX").setDouble(4);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(MessageTest, DestroyedCallbackFiresOnDelete) {
    Log log;
    MCallbackId id = MNodeMessage::addNodeDestroyedCallback(node, onBasic, &log);
    ASSERT_NE(id, 0u);
    MDagModifier mod;
    mod.deleteNode(node);
    ASSERT_TRUE(mod.doIt());
    EXPECT_EQ(log.lines, std::vector<std::string>{"basic"});
    MMessage::removeCallback(id);
}

TEST_F(MessageTest, EventsFireByNameAndUnknownNamesAreRefused) {
    Log log;
    MStatus st;
    MCallbackId id = MEventMessage::addEventCallback("SelectTypeChanged", onBasic, &log, &st);
    ASSERT_TRUE(st);
    MEventMessage::addEventCallback("noSuchEvent", onBasic, &log, &st);
    EXPECT_FALSE(st);
    MStringArray names;
    MEventMessage::getEventNames(names);
    bool listed = false;
    for (unsigned i = 0; i < names.length(); ++i) listed |= names[i] == MString("SelectTypeChanged");
    EXPECT_TRUE(listed);

    kxh::fireEvent("SelectTypeChanged");
    kxh::fireEvent("SelectionChanged");
    EXPECT_EQ(log.lines.size(), 1u);
    MCallbackIdArray both;
    both.append(id);
    both.append(MSceneMessage::addCallback(MSceneMessage::kAfterNew, onBasic, &log));
    kxh::fireSceneMessage(MSceneMessage::kAfterNew);
    kxh::fireSceneMessage(MSceneMessage::kBeforeSave);
    EXPECT_EQ(log.lines.size(), 2u);
    EXPECT_TRUE(MMessage::removeCallbacks(both));
    kxh::fireEvent("SelectTypeChanged");
    kxh::fireSceneMessage(MSceneMessage::kAfterNew);
    EXPECT_EQ(log.lines.size(), 2u);
}

TEST_F(MessageTest, NodeAddedCallbackFiltersByType) {
    Log log;
    MCallbackId id = MDGMessage::addNodeAddedCallback(onAdded, "mesh", &log);
    makeCube("pCube1");
    EXPECT_EQ(log.lines, std::vector<std::string>{"mesh"});
    MMessage::removeCallback(id);
}

}  // namespace
