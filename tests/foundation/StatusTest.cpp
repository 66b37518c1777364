#include <gtest/gtest.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include "foundation/Output.h"

namespace {

class StatusOutput : public ::testing::Test {
protected:
    void SetUp() override {
        kxh::output().setEcho(false);
        kxh::output().clear();
    }
    std::vector<std::string> perrors() const { return kxh::output().of(kxh::OutputKind::Perror); }
};

int gCalls = 0;
MStatus countedFailure() {
    ++gCalls;
    return MS::kInvalidParameter;
}

MStatus returnsIt(MStatus st) {
    CHECK_MSTATUS_AND_RETURN_IT(st);
    return MS::kNotFound;
}
int returnsValue(MStatus st) {
    CHECK_MSTATUS_AND_RETURN(st, -1);
    return 1;
}

}  // namespace

TEST(MStatusBasics, ComparisonsAndTruth) {
    MStatus st;
    EXPECT_TRUE(st);
    EXPECT_FALSE(st.error());
    EXPECT_TRUE(st == MS::kSuccess);
    EXPECT_TRUE(MS::kSuccess == st);
    st = MS::kUnknownParameter;
    EXPECT_FALSE(st);
    EXPECT_TRUE(st.error());
    EXPECT_TRUE(MFAIL(st));
    EXPECT_TRUE(st != MS::kSuccess);
    EXPECT_TRUE(MS::kFailure != st);
    EXPECT_EQ(st.statusCode(), MStatus::kUnknownParameter);
    EXPECT_TRUE(st == MStatus(MS::kUnknownParameter));
    st.clear();
    EXPECT_TRUE(st);
}

TEST_F(StatusOutput, PerrorWritesTextThenErrorString) {
    MStatus st(MS::kInvalidParameter);
    st.perror("setPoints");
    st.perror(MString("error finding pinned plug!"));
    MStatus(MS::kFailure).perror("");
    auto lines = perrors();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "setPoints: " + std::string(st.errorString().asChar()));
    EXPECT_EQ(lines[1].rfind("error finding pinned plug!: ", 0), 0u);
    EXPECT_EQ(lines[2], MStatus(MS::kFailure).errorString().asChar());
    EXPECT_NE(lines[0].find("kInvalidParameter"), std::string::npos);
}

TEST_F(StatusOutput, CheckMacrosReportFailuresOnly) {
    CHECK_MSTATUS(MStatus());
    EXPECT_TRUE(kxh::output().lines().empty());

    gCalls = 0;
    CHECK_MSTATUS(countedFailure());
    EXPECT_EQ(gCalls, 1);
    auto lines = perrors();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("API error detected in"), std::string::npos);
    EXPECT_NE(lines[0].find("StatusTest.cpp at line "), std::string::npos);
    EXPECT_NE(lines[1].find("kInvalidParameter"), std::string::npos);
}

TEST_F(StatusOutput, CheckAndReturnForms) {
    EXPECT_EQ(returnsIt(MS::kSuccess), MS::kNotFound);
    EXPECT_EQ(returnsIt(MS::kEndOfFile), MS::kEndOfFile);
    EXPECT_EQ(returnsValue(MS::kSuccess), 1);
    EXPECT_EQ(returnsValue(MS::kFailure), -1);
    EXPECT_EQ(perrors().size(), 4u);  // two failures, two lines each
}
