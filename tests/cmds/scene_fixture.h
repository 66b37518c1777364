#pragma once
// Shared set-up for the scene command tests: an empty scene and undo queue per test, output kept off the
// console, MEL helpers that check the scene's invariants (graph validator and every mesh's validator)
// after each command, and a dump for comparing whole scene states around undo and redo.
#include <gtest/gtest.h>

#include <maya/MDistance.h>

#include <string>
#include <vector>

#include "support/session.h"

class SceneCmdTest : public kxtest::CheckedSceneTest {
protected:
    std::string melString(const std::string& text) { return mel(text).asString(); }
    long melInt(const std::string& text) { return mel(text).asInt(); }
    std::vector<double> melFloats(const std::string& text) { return mel(text).asFloatArray(); }

    // Runs text that must fail and leave the scene exactly as it was; returns the error.
    std::string melError(const std::string& text) {
        std::string before = kxh::dumpScene(scene());
        auto st = kxh::session().execute(text);
        EXPECT_FALSE(st.ok) << text << " should fail";
        EXPECT_EQ(before, kxh::dumpScene(scene())) << text << " changed the scene while failing";
        checkScene(text);
        return st.error;
    }

    std::string dump() { return kxh::dumpScene(scene()); }
    bool redo() { return kxh::session().interpreter().undoQueue().redo(); }

    std::vector<std::string> selection() { return melStrings("ls -sl"); }

    // A listing without the default cameras every scene starts with (and their shapes).
    std::vector<std::string> userNodes(const std::string& text) {
        std::vector<std::string> out;
        for (auto& n : melStrings(text)) {
            std::string leaf = n.substr(n.rfind('|') == std::string::npos ? 0 : n.rfind('|') + 1);
            bool camera = false;
            for (const char* c : {"persp", "top", "front", "side"})
                camera = camera || leaf == c || leaf == std::string(c) + "Shape";
            if (!camera) out.push_back(n);
        }
        return out;
    }
};
