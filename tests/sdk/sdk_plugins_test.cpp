// Plug-ins written as for the SDK (tests/sdk/modules: built with the SDK's definitions and library names,
// default visibility, entry points as the API's examples declare them), loaded by name and by path,
// driven through MEL and unloaded; and the scene every plug-in expects to find.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MSelectionList.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "cmds/plugin/PluginHost.h"
#include "foundation/Output.h"

namespace {

using kxh::mel::Value;

class SdkPluginsTest : public ::testing::Test {
protected:
    void SetUp() override {
        kxh::output().setEcho(false);
        kxh::output().clear();
        run("file -f -new");
    }
    void TearDown() override {
        run("file -f -new");
        for (const char* name : {"kxsHello", "kxsWaveNode", "kxsMarker", "kxsMeshTools"})
            if (kxh::PluginHost::instance().find(name)) run(std::string("unloadPlugin ") + name);
        kxh::output().clear();
    }
    static kxh::mel::Interpreter::Status run(const std::string& mel) { return kxh::session().execute(mel); }
    static Value value(const std::string& mel) {
        auto st = run(mel);
        EXPECT_TRUE(st.ok) << mel << ": " << st.error;
        return st.result;
    }
    static std::string modulePath(const std::string& name) {
        return std::string(KX_BINARY_DIR) + "/lib/" + name + ".so";
    }
};

TEST_F(SdkPluginsTest, SimpleCommandLoadsByNameAndByPathUnderItsFileName) {
    EXPECT_EQ(value("loadPlugin kxsHello").asStringArray(), std::vector<std::string>{"kxsHello"});
    EXPECT_EQ(value("kxsHello brave new world").asString(), "Hello brave new world");
    EXPECT_EQ(value("pluginInfo -q -vendor kxsHello").asString(), PLUGIN_COMPANY);
    EXPECT_EQ(value("pluginInfo -q -apiVersion kxsHello").asString(), "201104");
    ASSERT_TRUE(run("unloadPlugin kxsHello").ok);
    EXPECT_FALSE(run("kxsHello again").ok);

    // By full path the plug-in is still named after its file.
    EXPECT_EQ(value("loadPlugin \"" + modulePath("kxsHello") + "\"").asStringArray(),
              std::vector<std::string>{"kxsHello"});
    EXPECT_EQ(value("pluginInfo -q -loaded kxsHello").asInt(), 1);
    ASSERT_TRUE(run("unloadPlugin kxsHello").ok);
    EXPECT_EQ(value("pluginInfo -q -loaded kxsHello").asInt(), 0);
    EXPECT_FALSE(run("loadPlugin kxsNoSuchPlugin").ok);
}

TEST_F(SdkPluginsTest, EntryPointsWithCppLinkageAreFound) {
    // The module exports only the mangled entry points, as SDK plug-ins built on Linux do.
    void* handle = ::dlopen(modulePath("kxsWaveNode").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << ::dlerror();
    EXPECT_NE(::dlsym(handle, "_Z16initializePlugin7MObject"), nullptr);
    EXPECT_NE(::dlsym(handle, "_Z18uninitializePlugin7MObject"), nullptr);
    EXPECT_EQ(::dlsym(handle, "initializePlugin"), nullptr);
    ::dlclose(handle);

    ASSERT_TRUE(run("loadPlugin kxsWaveNode").ok);
    EXPECT_TRUE(value("createNode kxsWave -n wave").asString() == "wave");
    ASSERT_TRUE(run("delete wave").ok);
    EXPECT_TRUE(run("unloadPlugin kxsWaveNode").ok);
}

TEST_F(SdkPluginsTest, NodeComputesFromUnitAndLongInputs) {
    ASSERT_TRUE(run("loadPlugin kxsWaveNode; createNode kxsWave -n wave").ok);
    // Defaults: amplitude 1, time 0, phase 0, offset 1 m (100 in centimetres), steps 0.
    EXPECT_NEAR(value("getAttr wave.output").asFloat(), 0.0, 1e-9);
    EXPECT_NEAR(value("getAttr wave.offset").asFloat(), 100.0, 1e-9);
    // The phase is an angle, set in degrees (the UI unit) and read by the node in radians.
    run("setAttr wave.phase 90");
    EXPECT_NEAR(value("getAttr wave.output").asFloat(), 1.0, 1e-9);
    // The integer input reaches the node through asLong.
    run("setAttr wave.steps 2");
    EXPECT_NEAR(value("getAttr wave.output").asFloat(), 201.0, 1e-9);
    // Time inputs hold seconds.
    run("setAttr wave.steps 0; setAttr wave.frequency 3.141592653589793; setAttr wave.time 0.5");
    EXPECT_NEAR(value("getAttr wave.output").asFloat(), 0.0, 1e-9);
    // A node of the plug-in keeps it loaded until the node is gone.
    EXPECT_FALSE(run("unloadPlugin kxsWaveNode").ok);
    run("delete wave");
    EXPECT_TRUE(run("unloadPlugin kxsWaveNode").ok);
}

TEST_F(SdkPluginsTest, ToolPlacesLocatorsAsOneUndoStepEach) {
    ASSERT_TRUE(run("loadPlugin kxsMarker").ok);
    const std::string ctx = value("kxsMarkerContext").asString();
    ASSERT_FALSE(ctx.empty());
    run("setToolTo " + ctx + "; kxhViewSize 400 300");
    ASSERT_TRUE(run("kxhPress 200 150; kxhRelease").ok);
    auto markers = value("ls -type kxsMarker").asStringArray();
    ASSERT_EQ(markers.size(), 1u);
    // The view's centre ray meets the ground plane: the marker's transform lies on it.
    auto parent = value("listRelatives -p " + markers[0]).asStringArray();
    ASSERT_EQ(parent.size(), 1u);
    EXPECT_NEAR(value("getAttr " + parent[0] + ".ty").asFloat(), 0.0, 1e-6);
    EXPECT_NEAR(value("getAttr " + markers[0] + ".size").asFloat(), 2.0, 1e-12);

    run("undo");
    EXPECT_TRUE(value("ls -type kxsMarker").asStringArray().empty());
    run("redo");
    EXPECT_EQ(value("ls -type kxsMarker").asStringArray().size(), 1u);
    // The tool command runs from MEL too, with the journal line's arguments.
    run("kxsPlaceMarker 1 2 3");
    EXPECT_EQ(value("ls -type kxsMarker").asStringArray().size(), 2u);
    EXPECT_FALSE(run("kxsPlaceMarker 1 2").ok);
    run("setToolTo selectSuperContext; file -f -new");
    EXPECT_TRUE(run("unloadPlugin kxsMarker").ok);
}

TEST_F(SdkPluginsTest, MeshCommandsQueryWalkAndTweakUVs) {
    ASSERT_TRUE(run("loadPlugin kxsMeshTools; polyCube -n box; move 0 3 0 box").ok);
    EXPECT_EQ(value("kxsMeshes").asStringArray(), std::vector<std::string>{"|box|boxShape"});
    // Closest point from above, in world space, answered in the cube's object space on its top face.
    std::istringstream hit(value("kxsClosest -p 0.1 10 0.2 box").asString());
    int face = -1;
    double x = 0, y = 0, z = 0;
    hit >> face >> x >> y >> z;
    EXPECT_EQ(face, 1);
    EXPECT_NEAR(x, 0.1, 1e-6);
    EXPECT_NEAR(y, 0.5, 1e-6);
    EXPECT_NEAR(z, 0.2, 1e-6);
    EXPECT_FALSE(run("kxsClosest -p 0 0 0 persp").ok);

    auto uv = [](int id) {
        MSelectionList list;
        list.add("box");
        MDagPath path;
        list.getDagPath(0, path);
        MFnMesh mesh(path);
        float u = 0, v = 0;
        mesh.getUV(id, u, v);
        return std::vector<float>{u, v};
    };
    const std::vector<float> before = uv(0);
    ASSERT_TRUE(run("kxsFlipUV box").ok);
    EXPECT_FLOAT_EQ(uv(0)[0], 1.0f - before[0]);
    EXPECT_FLOAT_EQ(uv(0)[1], before[1]);
    run("select -r box; kxsFlipUV -v");  // the selection when no object is named
    EXPECT_FLOAT_EQ(uv(0)[1], 1.0f - before[1]);
    run("undo; undo");
    EXPECT_EQ(uv(0), before);
    run("redo");
    EXPECT_FLOAT_EQ(uv(0)[0], 1.0f - before[0]);
}

TEST_F(SdkPluginsTest, NewScenesHaveTheDefaultNodes) {
    for (const char* type : {"shadingEngine", "lambert", "time"})
        EXPECT_EQ(value(std::string("ls -type ") + type).asStringArray().size(), 1u) << type;
    EXPECT_EQ(value("ls -type shadingEngine").asStringArray(),
              std::vector<std::string>{"initialShadingGroup"});
    EXPECT_EQ(value("listConnections -s 1 -d 0 initialShadingGroup.surfaceShader").asStringArray(),
              std::vector<std::string>{"lambert1"});
    EXPECT_EQ(value("ls -type camera").asStringArray().size(), 4u);
    EXPECT_FALSE(run("delete lambert1").ok);
    EXPECT_FALSE(run("rename time1 clock").ok);
    // The current time lives on time1 (in seconds), given in frames of the UI unit (film, 24 per second).
    EXPECT_EQ(value("currentTime 12").asFloat(), 12.0);
    EXPECT_DOUBLE_EQ(value("getAttr time1.outTime").asFloat(), 0.5);
    EXPECT_DOUBLE_EQ(value("currentTime -q").asFloat(), 12.0);
    EXPECT_FALSE(run("currentTime soon").ok);
    run("file -f -new");
    EXPECT_EQ(value("ls lambert1 initialShadingGroup time1").asStringArray().size(), 3u);
    EXPECT_DOUBLE_EQ(value("currentTime -q").asFloat(), 0.0);
}

}  // namespace
