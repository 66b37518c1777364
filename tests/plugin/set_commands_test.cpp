// kxSetCommands: parsing, unknown actions, and the slide object chosen with "setSlideDag".
#include <maya/MDagPath.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnMesh.h>

#include "plugin_fixture.h"
#include "support/api_values.h"

namespace {

using SetCommandsTest = PluginTest;

// Casts one accelerated ray at the mesh, which leaves an intersection accelerator cached on it.
MString castAndReportAccelerator(const MDagPath& path) {
    MFnMesh mesh(path);
    MMeshIsectAccelParams accel = MFnMesh::autoUniformGridParams();
    MFloatPoint hit;
    float param = 0;
    int face = -1, triangle = -1;
    float b1 = 0, b2 = 0;
    mesh.closestIntersection(MFloatPoint(0, 0, 10), MFloatVector(0, 0, -1), nullptr, nullptr, false,
                             MSpace::kWorld, 100.f, false, &accel, hit, &param, &face, &triangle, &b1, &b2);
    return mesh.cachedIntersectionAcceleratorInfo();
}

TEST_F(SetCommandsTest, ParseFailuresAndUnknownActions) {
    // Without the action (or its argument) the command reports the parse failure and fails.
    for (const char* line : {"kxSetCommands", "kxSetCommands -ms", "kxSetCommands -bad 1"}) {
        kxh::output().clear();
        EXPECT_FALSE(run(line).ok) << line;
        auto perrors = lines(kxh::OutputKind::Perror);
        ASSERT_EQ(perrors.size(), 1u) << line;
        EXPECT_EQ(perrors[0].rfind("could not parse message set", 0), 0u) << perrors[0];
    }

    // An action it does not know does nothing, and succeeds; the long flag name works too.
    openWindows();
    mel("intField -e -v 99 intensity_KXPT_IF");
    kxh::output().clear();
    mel("kxSetCommands -ms \"storeValue\"; kxSetCommands -mset \"\"");
    EXPECT_EQ(settings().softSelectIntensity, 60);
    EXPECT_TRUE(kxh::output().lines().empty());
    EXPECT_TRUE(dialogs().empty());
    mel("kxSetCommands -mset \"storeValues\"");
    EXPECT_EQ(settings().softSelectIntensity, 99);
}

TEST_F(SetCommandsTest, SetSlideDagLoadsTheNamedObject) {
    openWindows();
    mel("polyCube -n box; polySphere -n ball");
    settings().slideOnItself = true;
    settings().slideSoftSelect = true;
    mel("textField -e -tx box add_static_slide_object_KXPT_TF; kxSetCommands -ms \"setSlideDag\"");
    ASSERT_TRUE(settings().slideObject.isValid());
    EXPECT_EQ(settings().slideObject.partialPathName(), MString("box"));
    EXPECT_FALSE(settings().slideOnItself);
    EXPECT_TRUE(settings().slideSoftSelect);

    // Loading another object releases the accelerator cached on the previous one.
    MDagPath box = kxtest::pathOf("box");
    ASSERT_GT(castAndReportAccelerator(box).length(), 0u);
    mel("textField -e -tx ball add_static_slide_object_KXPT_TF; kxSetCommands -ms \"setSlideDag\"");
    EXPECT_EQ(settings().slideObject.partialPathName(), MString("ball"));
    EXPECT_EQ(MFnMesh(box).cachedIntersectionAcceleratorInfo().length(), 0u);

    // A shape's name resolves too.
    mel("textField -e -tx boxShape add_static_slide_object_KXPT_TF; kxSetCommands -ms \"setSlideDag\"");
    EXPECT_EQ(settings().slideObject.partialPathName(), MString("boxShape"));
    EXPECT_TRUE(lines(kxh::OutputKind::Error).empty());
}

TEST_F(SetCommandsTest, AMissingSlideObjectLeavesSlidingOffThroughTheInterface) {
    openWindows();
    mel("polyCube -n box; textField -e -tx box add_static_slide_object_KXPT_TF; kxSetCommands -ms "
        "\"setSlideDag\"; checkBox -e -v 1 enable_slide_soft_select_KXPT_CB; kxSetCommands -ms "
        "\"storeValues\"");
    ASSERT_TRUE(settings().slideSoftSelect);
    kxh::output().clear();

    // The artist types a name that finds nothing: the field's change command runs "setSlideDag" and then
    // "storeValues", which must not turn sliding back on onto the object loaded before.
    ASSERT_TRUE(kxh::ui::uiModel().userSetValue("add_static_slide_object_KXPT_TF", kxh::mel::Value("foo")));
    EXPECT_EQ(lines(kxh::OutputKind::Error), std::vector<std::string>{"error finding object foo !"});
    EXPECT_FALSE(settings().slideSoftSelect);
    EXPECT_EQ(mel("checkBox -q -v enable_slide_soft_select_KXPT_CB").asInt(), 0);
    // The slide object loaded before stays, for when sliding is ticked again.
    EXPECT_EQ(settings().slideObject.partialPathName(), MString("box"));
}

TEST_F(SetCommandsTest, SetSlideDagWithThePromptOrNothingClearsTheSlideObject) {
    openWindows();
    mel("polyCube -n box");
    for (const char* text : {"Load Object, or slide on itself", ""}) {
        SCOPED_TRACE(text);
        mel("textField -e -tx box add_static_slide_object_KXPT_TF; kxSetCommands -ms \"setSlideDag\"");
        MDagPath box = settings().slideObject;
        ASSERT_GT(castAndReportAccelerator(box).length(), 0u);
        mel("checkBox -e -v 1 enable_slide_soft_select_KXPT_CB");
        settings().slideSoftSelect = true;
        settings().slideOnItself = true;

        mel(std::string("textField -e -tx \"") + text + "\" add_static_slide_object_KXPT_TF");
        mel("kxSetCommands -ms \"setSlideDag\"");
        EXPECT_FALSE(settings().slideObject.isValid());
        EXPECT_FALSE(settings().slideSoftSelect);
        EXPECT_FALSE(settings().slideOnItself);
        EXPECT_EQ(mel("checkBox -q -v enable_slide_soft_select_KXPT_CB").asInt(), 0);
        EXPECT_EQ(MFnMesh(box).cachedIntersectionAcceleratorInfo().length(), 0u);
    }
}

TEST_F(SetCommandsTest, ASlideObjectDeletedLaterIsReleasedSafely) {
    openWindows();
    mel("polyCube -n box; polyCube -n crate");
    mel("textField -e -tx box add_static_slide_object_KXPT_TF; kxSetCommands -ms \"setSlideDag\"");
    mel("delete box");
    EXPECT_FALSE(settings().slideObject.isValid());
    mel("textField -e -tx crate add_static_slide_object_KXPT_TF; kxSetCommands -ms \"setSlideDag\"");
    EXPECT_EQ(settings().slideObject.partialPathName(), MString("crate"));
}

}  // namespace
