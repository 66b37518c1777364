#pragma once
// Shared set-up for the UI tests: a fresh session state per test, output kept off the console, and
// helpers that run MEL text and check it succeeded or failed.
#include <gtest/gtest.h>

#include <string>

#include "cmds/Session.h"
#include "cmds/ui/UiModel.h"
#include "foundation/Output.h"

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        kxh::output().setEcho(false);
        kxh::session().reset();
        kxh::output().clear();
    }

    // Runs text that must succeed; returns its result.
    kxh::mel::Value mel(const std::string& text) {
        auto st = kxh::session().execute(text);
        EXPECT_TRUE(st.ok) << text << "\n  -> " << st.error;
        return st.result;
    }
    std::string melString(const std::string& text) { return mel(text).asString(); }
    long melInt(const std::string& text) { return mel(text).asInt(); }

    // Runs text that must fail; returns the error text.
    std::string melError(const std::string& text) {
        auto st = kxh::session().execute(text);
        EXPECT_FALSE(st.ok) << text << " should fail";
        return st.error;
    }

    kxh::ui::UiModel& model() { return kxh::ui::uiModel(); }
};
