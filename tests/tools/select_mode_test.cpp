// Selection modes and types as tools query them, the events their changes fire, doMenuComponentSelection,
// hilite, the tumble tool's setting, the view layout's first pane, isolate select, and the camera's
// dirty-plug callbacks that tools hang on to.
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MEventMessage.h>
#include <maya/MGlobal.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include "tools_fixture.h"

namespace kxt {
namespace {

void countCall(void* data) {
    ++*static_cast<int*>(data);
}

class SelectModeTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        typeId = MEventMessage::addEventCallback("SelectTypeChanged", countCall, &typeChanges);
        modeId = MEventMessage::addEventCallback("SelectModeChanged", countCall, &modeChanges);
    }
    void TearDown() override {
        MMessage::removeCallback(typeId);
        MMessage::removeCallback(modeId);
        ToolsTest::TearDown();
    }
    // The select-type query of the modeling tools: 0 vertex, 1 edge, 2 face, 3 none (later tests win).
    int selectTypeQuery() {
        const bool component = mel("selectMode -q -component;").asInt() != 0;
        const std::string ocm = component ? "" : "-ocm ";
        int r = 3;
        if (mel("selectType " + ocm + "-q -v").asInt() == 1) r = 0;
        if (mel("selectType " + ocm + "-q -fc").asInt() == 1) r = 2;
        if (mel("selectType " + ocm + "-q -eg").asInt() == 1) r = 1;
        return r;
    }
    int typeChanges = 0, modeChanges = 0;
    MCallbackId typeId = 0, modeId = 0;
};

TEST_F(SelectModeTest, SelectModeAndTypesStartAtTheHostDefaultsAndAnswerQueries) {
    EXPECT_EQ(mel("selectMode -q -component").asInt(), 0);
    EXPECT_EQ(mel("selectMode -q -object;").asInt(), 1);
    EXPECT_EQ(mel("selectType -q -v").asInt(), 1);  // component mode picks vertices until told otherwise
    EXPECT_EQ(mel("selectType -q -eg").asInt(), 0);
    EXPECT_EQ(mel("selectType -ocm -q -v").asInt(), 0);
    EXPECT_EQ(mel("selectType -ocm -q -alc").asInt(), 0);
    EXPECT_EQ(selectTypeQuery(), 3);
    melError("selectMode -q");
    melError("selectType -q");
    melError("selectMode -object -component");
}

TEST_F(SelectModeTest, ChangesFireSelectTypeChangedOnlyWhenSomethingChanges) {
    mel("selectMode -component");
    EXPECT_EQ(typeChanges, 1);
    EXPECT_EQ(modeChanges, 1);
    EXPECT_EQ(selectTypeQuery(), 0);
    mel("selectMode -co");  // already there
    EXPECT_EQ(typeChanges, 1);

    mel("selectType -alc false -eg true");  // one line, one change
    EXPECT_EQ(typeChanges, 2);
    EXPECT_EQ(selectTypeQuery(), 1);
    mel("selectType -fc 1");
    EXPECT_EQ(selectTypeQuery(), 1);  // edges outrank faces
    mel("selectType -eg off");
    EXPECT_EQ(selectTypeQuery(), 2);
    EXPECT_EQ(typeChanges, 4);
    mel("selectType -fc on");
    EXPECT_EQ(typeChanges, 4);

    // The object-component types are a set of their own.
    mel("selectType -ocm -alc true");
    EXPECT_EQ(mel("selectType -ocm -q -alc").asInt(), 1);
    EXPECT_EQ(mel("selectType -q -alc").asInt(), 0);
    mel("selectMode -object");
    EXPECT_EQ(modeChanges, 2);
    EXPECT_EQ(typeChanges, 6);
    EXPECT_EQ(selectTypeQuery(), 1);  // all on: edge wins
}

TEST_F(SelectModeTest, DoMenuComponentSelectionHilitesAndSwitchesToThatComponentType) {
    mel("polyCube -n box; select -cl");
    mel("doMenuComponentSelection(\"box\", \"edge\")");
    EXPECT_EQ(mel("ls -hl").asStringArray(), (std::vector<std::string>{"box"}));
    EXPECT_EQ(mel("selectMode -q -component").asInt(), 1);
    EXPECT_EQ(selectTypeQuery(), 1);
    EXPECT_EQ(mel("selectType -q -v").asInt(), 0);
    EXPECT_EQ(typeChanges, 1);  // one notification for the whole switch
    mel("doMenuComponentSelection box facet");
    EXPECT_EQ(selectTypeQuery(), 2);
    EXPECT_EQ(typeChanges, 2);
    mel("doMenuComponentSelection(\"boxShape\", \"vertex\")");  // a shape hilites its transform
    EXPECT_EQ(selectTypeQuery(), 0);
    EXPECT_EQ(mel("ls -hl").asStringArray(), (std::vector<std::string>{"box"}));
    melError("doMenuComponentSelection box uvs");
    melError("doMenuComponentSelection nothing vertex");
}

TEST_F(SelectModeTest, HiliteAddsReplacesAndRemoves) {
    mel("polyCube -n a; polyCube -n b; polyCube -n c");
    mel("hilite a b");
    EXPECT_EQ(mel("ls -hl").asStringArray(), (std::vector<std::string>{"a", "b"}));
    mel("hilite -u a");
    EXPECT_EQ(mel("ls -hl").asStringArray(), (std::vector<std::string>{"b"}));
    mel("hilite -r c");
    EXPECT_EQ(mel("ls -hl").asStringArray(), (std::vector<std::string>{"c"}));
    MSelectionList hl;
    MGlobal::getHiliteList(hl);
    EXPECT_EQ(hl.length(), 1u);
}

TEST_F(SelectModeTest, TumbleSettingRoundTripsAndResets) {
    EXPECT_EQ(mel("tumbleCtx -q -localTumble tumbleContext").asInt(), 0);
    mel("tumbleCtx -e -localTumble 1 tumbleContext");
    EXPECT_EQ(mel("tumbleCtx -q -lt tumbleContext").asInt(), 1);
    EXPECT_EQ(kxh::tools::localTumble(), 1);
    EXPECT_EQ(mel("tumbleCtx -ex tumbleContext").asInt(), 1);
    EXPECT_EQ(mel("tumbleCtx -ex selectSuperContext").asInt(), 0);
    EXPECT_EQ(mel("tumbleCtx -lt 1").asString(), "tumbleContext1");
    EXPECT_EQ(mel("tumbleCtx -q -lt tumbleContext1").asInt(), 1);
    melError("tumbleCtx -q -lt nowhere");
    kxh::session().reset();
    EXPECT_EQ(mel("tumbleCtx -q -localTumble tumbleContext").asInt(), 0);
}

TEST_F(SelectModeTest, FirstPaneIsTheFocusedModelPanel) {
    EXPECT_EQ(mel("paneLayout -q -pane1 viewPanes").asString(), "modelPanel4");
    mel("setFocus modelPanel3");
    EXPECT_EQ(mel("paneLayout -q -p1 viewPanes").asString(), "modelPanel3");
    EXPECT_EQ(mel("paneLayout -ex viewPanes").asInt(), 1);
    melError("paneLayout -q -pane1 otherPanes");
}

TEST_F(SelectModeTest, IsolateSelectKeepsAStateAndMembersPerPanel) {
    mel("polyCube -n a; polyCube -n b");
    const std::string panel = mel("paneLayout -q -pane1 viewPanes").asString();
    EXPECT_EQ(mel("isolateSelect -q -s " + panel).asInt(), 0);
    mel("isolateSelect -state 1 " + panel);
    EXPECT_EQ(mel("isolateSelect -q -state " + panel).asInt(), 1);
    EXPECT_EQ(mel("isolateSelect -q -s modelPanel1").asInt(), 0);  // per panel

    mel("isolateSelect -ado \"a\" " + panel);
    mel("isolateSelect -addDagObject a " + panel);  // once only
    mel("select b; isolateSelect -as " + panel);
    EXPECT_EQ(mel("isolateSelect -q -vo " + panel).asStringArray(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(kxh::tools::isolatedObjects(panel), (std::vector<std::string>{"a", "b"}));
    mel("isolateSelect -rdo a " + panel);
    EXPECT_EQ(mel("isolateSelect -q -vo " + panel).asStringArray(), (std::vector<std::string>{"b"}));
    // Members follow renames and leave when deleted.
    mel("rename b bee");
    EXPECT_EQ(kxh::tools::isolatedObjects(panel), (std::vector<std::string>{"bee"}));
    mel("delete bee");
    EXPECT_TRUE(kxh::tools::isolatedObjects(panel).empty());

    melError("isolateSelect -ado nothing " + panel);
    melError("isolateSelect -q -s noPanel");
    mel("isolateSelect -s 0 " + panel);
    EXPECT_EQ(kxh::tools::isolateState(panel), false);
    mel("isolateSelect -s 1 " + panel);
    kxh::session().reset();
    EXPECT_FALSE(kxh::tools::isolateState(panel));
}

// A camera move reaches the dirty-plug callbacks of its transform, which tools use to refresh feedback.
void countPlug(MObject&, MPlug&, void* data) {
    ++*static_cast<int*>(data);
}

TEST_F(SelectModeTest, CameraMovesFireTheTransformsDirtyPlugCallbacks) {
    MDagPath camera;
    ASSERT_TRUE(M3dView::active3dView().getCamera(camera));
    MObject transform = camera.transform();
    int dirty = 0;
    MCallbackId id = MNodeMessage::addNodeDirtyPlugCallback(transform, countPlug, &dirty);
    mel("viewPlace -eye 10 10 10 -la 0 0 0");
    EXPECT_GT(dirty, 0);
    MMessage::removeCallback(id);
    const int before = dirty;
    mel("viewPlace -eye 12 10 10 -la 0 0 0");
    EXPECT_EQ(dirty, before);
}

}  // namespace
}  // namespace kxt
