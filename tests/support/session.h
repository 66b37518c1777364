#pragma once
// What the test fixtures that drive the host through MEL share: a fresh session per test, MEL that must
// succeed or must fail, the scene's invariants (and a fixture that checks them after every command), and
// placing the active view's camera.
#include <gtest/gtest.h>

#include <maya/MDistance.h>
#include <maya/MPoint.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cmds/Session.h"
#include "foundation/Output.h"
#include "graph/core/Scene.h"
#include "mesh/MeshValidate.h"

namespace kxtest {

// Output kept off the console, an empty scene, and a fresh session (startup cameras, default views, the
// cursor at the origin, an empty undo queue).
inline void resetSession() {
    kxh::output().setEcho(false);
    kxh::Scene::current().reset();
    kxh::session().reset();
}

// Runs MEL that must succeed; returns its result.
inline kxh::mel::Value melOk(const std::string& text) {
    auto st = kxh::session().execute(text);
    EXPECT_TRUE(st.ok) << text << "\n  -> " << st.error;
    return st.result;
}

// Runs MEL that must fail; returns its error.
inline std::string melFails(const std::string& text) {
    auto st = kxh::session().execute(text);
    EXPECT_FALSE(st.ok) << text << " should fail";
    return st.error;
}

// The scene's invariants (graph validator) and every evaluated mesh's must hold `after` a command.
inline void expectSceneValid(kxh::Scene& scene, const std::string& after) {
    auto problems = kxh::validateScene(scene);
    EXPECT_TRUE(problems.empty()) << "after: " << after << "\n  " << (problems.empty() ? "" : problems[0]);
    for (auto& n : scene.nodes()) {
        if (n->typeName() != "mesh") continue;
        kxh::MeshPtr m = scene.shapeMesh(*n);
        if (!m) continue;
        auto faults = kxh::validateMesh(*m);
        EXPECT_TRUE(faults.empty()) << "after: " << after << "\n  " << n->name() << ": "
                                    << (faults.empty() ? "" : faults[0]);
    }
}

// A fixture whose MEL must succeed and leave the scene's invariants holding: a fresh session in
// centimetres per test, its output cleared after prepare() (a derived fixture's own set-up).
class CheckedSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSession();
        MDistance::setUIUnit(MDistance::kCentimeters);
        prepare();
        kxh::output().clear();
    }
    void TearDown() override { MDistance::setUIUnit(MDistance::kCentimeters); }
    virtual void prepare() {}

    kxh::Scene& scene() { return kxh::Scene::current(); }
    void checkScene(const std::string& after) { expectSceneValid(scene(), after); }

    kxh::mel::Value mel(const std::string& text) {
        kxh::mel::Value result = melOk(text);
        checkScene(text);
        return result;
    }
    std::vector<std::string> melStrings(const std::string& text) { return mel(text).asStringArray(); }
    bool undo() { return kxh::session().interpreter().undoQueue().undo(); }
};

// The viewPlace command that puts the active view's camera at `eye` looking at `lookAt`, perspective or
// orthographic (world units are centimetres here).
inline std::string viewPlaceCommand(const MPoint& eye, const MPoint& lookAt, bool ortho = false) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "viewPlace -eye %.17g %.17g %.17g -la %.17g %.17g %.17g %s", eye.x, eye.y,
                  eye.z, lookAt.x, lookAt.y, lookAt.z, ortho ? "-o" : "-p");
    return buf;
}

}  // namespace kxtest
