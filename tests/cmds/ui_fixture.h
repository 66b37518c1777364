#pragma once
// Shared set-up for the UI tests: a fresh session state per test, output kept off the console, and
// helpers that run MEL text and check it succeeded or failed.
#include <gtest/gtest.h>

#include <string>

#include "cmds/Session.h"
#include "cmds/ui/UiModel.h"
#include "foundation/Output.h"
#include "support/session.h"

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        kxh::output().setEcho(false);
        kxh::session().reset();
        kxh::output().clear();
    }

    // Runs text that must succeed; returns its result.
    kxh::mel::Value mel(const std::string& text) { return kxtest::melOk(text); }
    std::string melString(const std::string& text) { return mel(text).asString(); }
    long melInt(const std::string& text) { return mel(text).asInt(); }

    // Runs text that must fail; returns the error text.
    std::string melError(const std::string& text) { return kxtest::melFails(text); }

    kxh::ui::UiModel& model() { return kxh::ui::uiModel(); }
};
