#pragma once
// What the test fixtures that drive the host through MEL share: a fresh session per test, MEL that must
// succeed or must fail, the scene's invariants, and placing the active view's camera.
#include <gtest/gtest.h>

#include <maya/MPoint.h>

#include <cstdio>
#include <string>

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

// The viewPlace command that puts the active view's camera at `eye` looking at `lookAt`, perspective or
// orthographic (world units are centimetres here).
inline std::string viewPlaceCommand(const MPoint& eye, const MPoint& lookAt, bool ortho = false) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "viewPlace -eye %.17g %.17g %.17g -la %.17g %.17g %.17g %s", eye.x, eye.y,
                  eye.z, lookAt.x, lookAt.y, lookAt.z, ortho ? "-o" : "-p");
    return buf;
}

}  // namespace kxtest
