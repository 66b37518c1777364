#pragma once
// Shared set-up for the view tests: a fresh session (startup cameras, default views, cursor at the
// origin) and an empty undo queue per test, output kept off the console, and MEL helpers.
#include <gtest/gtest.h>
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MDistance.h>
#include <maya/MFnCamera.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MVector.h>

#include <string>
#include <vector>

#include "support/session.h"

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        kxtest::resetSession();
        MDistance::setUIUnit(MDistance::kCentimeters);
    }
    void TearDown() override { MDistance::setUIUnit(MDistance::kCentimeters); }

    kxh::mel::Value mel(const std::string& text) { return kxtest::melOk(text); }
    std::string melError(const std::string& text) { return kxtest::melFails(text); }
    std::vector<double> melFloats(const std::string& text) { return mel(text).asFloatArray(); }
    std::vector<std::string> melStrings(const std::string& text) { return mel(text).asStringArray(); }

    static M3dView view() { return M3dView::active3dView(); }
    static MFnCamera activeCamera() {
        MDagPath path;
        EXPECT_TRUE(view().getCamera(path));
        return MFnCamera(path);
    }
    // Places the active view's camera with viewPlace (world units are centimetres here).
    void place(const MPoint& eye, const MPoint& lookAt, bool ortho = false) {
        mel(kxtest::viewPlaceCommand(eye, lookAt, ortho));
    }
};

inline void expectNear(const MPoint& a, const MPoint& b, double tol, const char* what = "") {
    EXPECT_NEAR(a.x, b.x, tol) << what;
    EXPECT_NEAR(a.y, b.y, tol) << what;
    EXPECT_NEAR(a.z, b.z, tol) << what;
}
inline void expectNear(const MVector& a, const MVector& b, double tol, const char* what = "") {
    EXPECT_NEAR(a.x, b.x, tol) << what;
    EXPECT_NEAR(a.y, b.y, tol) << what;
    EXPECT_NEAR(a.z, b.z, tol) << what;
}
