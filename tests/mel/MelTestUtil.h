#pragma once
// A fresh interpreter per test with the script output kept quiet and the log cleared.
#include <gtest/gtest.h>

#include <string>

#include "foundation/Output.h"
#include "mel/Interpreter.h"

namespace kxh::mel::test {

class MelTest : public ::testing::Test {
protected:
    void SetUp() override {
        output().setEcho(false);
        output().clear();
    }

    Interpreter::Status run(const std::string& text) { return mel.execute(text); }

    // Runs and expects success; returns the result as text.
    std::string eval(const std::string& text) {
        Interpreter::Status st = mel.execute(text);
        EXPECT_TRUE(st.ok) << text << "\n" << st.error;
        return st.result.toString();
    }

    std::string printed() const {
        std::string s;
        for (const auto& p : output().of(OutputKind::Print)) s += p;
        return s;
    }
    std::vector<std::string> errors() const { return output().of(OutputKind::Error); }

    Interpreter mel;
};

}  // namespace kxh::mel::test
