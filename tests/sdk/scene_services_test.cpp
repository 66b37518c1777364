// Services plug-ins use beside the scene graph: the current time and its ranges, the progress window and
// the environment.
#include <gtest/gtest.h>
#include <maya/MAnimControl.h>
#include <maya/MCommonSystemUtils.h>
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnSet.h>
#include <maya/MItDependencyGraph.h>
#include <maya/MSelectionList.h>
#include <maya/MProgressWindow.h>
#include <maya/MTimeArray.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "foundation/Output.h"

namespace {

kxh::mel::Value mel(const std::string& text) {
    auto st = kxh::session().execute(text);
    EXPECT_TRUE(st.ok) << text << ": " << st.error;
    return st.result;
}

TEST(SceneServicesTest, AnimControlSharesTheCurrentTimeWithMel) {
    kxh::output().setEcho(false);
    mel("file -f -new; currentTime 36");
    EXPECT_EQ(MAnimControl::currentTime(), MTime(1.5, MTime::kSeconds));
    EXPECT_EQ(MAnimControl::currentTime().unit(), MTime::uiUnit());
    ASSERT_TRUE(MAnimControl::setCurrentTime(MTime(10.0, MTime::kFilm)));
    EXPECT_DOUBLE_EQ(mel("currentTime -q").asFloat(), 10.0);

    // Ranges keep their order.
    ASSERT_TRUE(MAnimControl::setMinMaxTime(MTime(5.0), MTime(50.0)));
    EXPECT_FALSE(MAnimControl::setMaxTime(MTime(1.0)));
    EXPECT_EQ(MAnimControl::maxTime(), MTime(50.0));
    EXPECT_FALSE(MAnimControl::isPlaying());

    MTimeArray times;
    times.append(MAnimControl::minTime());
    times.append(MAnimControl::maxTime());
    EXPECT_LT(times[0], times[1]);
    mel("file -f -new");
}

MObject nodeNamed(const char* name) {
    MSelectionList list;
    list.add(name);
    MObject node;
    list.getDependNode(0, node);
    return node;
}

std::vector<std::string> walk(MItDependencyGraph& it) {
    std::vector<std::string> names;
    for (; !it.isDone(); it.next()) names.push_back(MFnDependencyNode(it.currentItem()).name().asChar());
    return names;
}

TEST(SceneServicesTest, DependencyGraphWalksAlongConnections) {
    kxh::output().setEcho(false);
    mel("file -f -new; polyCube -n box; polyExtrudeFacet box.f[1]");
    MObject shape = nodeNamed("boxShape");
    MItDependencyGraph up(shape, MFn::kInvalid, MItDependencyGraph::kUpstream);
    const std::vector<std::string> history = walk(up);
    ASSERT_EQ(history.size(), 3u);  // the shape, the extrusion, the cube's creator
    EXPECT_EQ(history[0], "boxShape");
    EXPECT_EQ(history[2], "polyCube1");

    MObject creator = nodeNamed("polyCube1");
    MItDependencyGraph down(creator, MFn::kMesh, MItDependencyGraph::kDownstream,
                            MItDependencyGraph::kBreadthFirst);
    EXPECT_EQ(walk(down), std::vector<std::string>{"boxShape"});

    MItDependencyGraph pruned(shape, MFn::kInvalid, MItDependencyGraph::kUpstream);
    pruned.next();
    ASSERT_TRUE(pruned.prune());
    EXPECT_EQ(walk(pruned).size(), 1u);  // the extrusion, nothing beyond it
    MStatus st;
    MObject none;
    MItDependencyGraph invalid(none, MFn::kInvalid, MItDependencyGraph::kUpstream,
                               MItDependencyGraph::kDepthFirst, MItDependencyGraph::kNodeLevel, &st);
    EXPECT_FALSE(st);
    EXPECT_TRUE(invalid.isDone());
    mel("file -f -new");
}

TEST(SceneServicesTest, SetsTakeMembersAsTheSetsCommandDoes) {
    kxh::output().setEcho(false);
    mel("file -f -new; polyCube -n box; polyPlane -n pl");
    MSelectionList list;
    list.add("boxShape");
    MDagPath shape;
    list.getDagPath(0, shape);
    MFnSet shading(nodeNamed("initialShadingGroup"));
    ASSERT_TRUE(shading.addMember(shape));
    EXPECT_TRUE(shading.isMember(shape));
    EXPECT_EQ(mel("sets -q initialShadingGroup").asStringArray(), std::vector<std::string>{"boxShape"});
    ASSERT_TRUE(shading.addMember(shape));  // once only
    MSelectionList members;
    shading.getMembers(members, false);
    EXPECT_EQ(members.length(), 1u);
    ASSERT_TRUE(shading.removeMember(shape, MObject::kNullObj));
    EXPECT_FALSE(shading.isMember(shape));

    MSelectionList both;
    both.add("box");
    both.add("pl");
    MFnSet made;
    MStatus st;
    made.create(both, MFnSet::kNone, &st);
    ASSERT_TRUE(st);
    EXPECT_EQ(mel("sets -q " + std::string(made.name().asChar())).asStringArray().size(), 2u);
    ASSERT_TRUE(made.setAnnotation("two objects"));
    EXPECT_EQ(made.annotation(), MString("two objects"));
    ASSERT_TRUE(made.clear());
    made.getMembers(members, false);
    EXPECT_EQ(members.length(), 0u);
    MFnSet notASet(nodeNamed("lambert1"), &st);
    EXPECT_FALSE(st);
    mel("file -f -new");
}

TEST(SceneServicesTest, ProgressWindowIsReservedOnceAndNeverCancelled) {
    ASSERT_TRUE(MProgressWindow::reserve());
    EXPECT_FALSE(MProgressWindow::reserve());
    MProgressWindow::setProgressRange(0, 10);
    MProgressWindow::setTitle("Working");
    ASSERT_TRUE(MProgressWindow::startProgress());
    MProgressWindow::advanceProgress(4);
    MProgressWindow::advanceProgress(40);
    EXPECT_EQ(MProgressWindow::progress(), 10);  // clamped to the range
    EXPECT_FALSE(MProgressWindow::isCancelled());
    EXPECT_EQ(MProgressWindow::title(), MString("Working"));
    ASSERT_TRUE(MProgressWindow::endProgress());
    EXPECT_TRUE(MProgressWindow::reserve());
    MProgressWindow::endProgress();
    EXPECT_FALSE(MProgressWindow::startProgress());  // not reserved
}

TEST(SceneServicesTest, EnvironmentAndFolders) {
    ASSERT_TRUE(MCommonSystemUtils::putEnv("KX_SDK_TEST_VALUE", "42"));
    EXPECT_EQ(MCommonSystemUtils::getEnv("KX_SDK_TEST_VALUE"), MString("42"));
    MStatus st;
    EXPECT_EQ(MCommonSystemUtils::getEnv("KX_SDK_TEST_UNSET_VALUE", &st), MString());
    EXPECT_FALSE(st);
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kx_sdk_test_" + std::to_string(::getpid())) / "a" / "b";
    ASSERT_TRUE(MCommonSystemUtils::makeDirectory(dir.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    EXPECT_TRUE(MCommonSystemUtils::makeDirectory(dir.c_str()));  // already there
    std::filesystem::remove_all(dir.parent_path().parent_path());
}

}  // namespace
