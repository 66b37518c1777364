#pragma once
// Reading what the host rendered: the active view refreshed and its last frame, pixels of a frame as RGBA
// bytes, and where a world point lands in the port.
#include <gtest/gtest.h>

#include <maya/M3dView.h>
#include <maya/MPoint.h>

#include <array>
#include <cstdint>

#include "view/GlRenderer.h"
#include "view/Views.h"

namespace kxtest {

using Rgba = std::array<int, 4>;
constexpr int kBg = kxh::view::kBackgroundGrey;
const Rgba kBackground{kBg, kBg, kBg, 255};

// Refreshes the active view; its last frame, or null (a failed expectation) when it has none.
inline const kxh::view::Frame* refreshActiveView() {
    M3dView v = M3dView::active3dView();
    EXPECT_TRUE(v.refresh() == MS::kSuccess);
    const kxh::view::Frame* f = kxh::view::lastFrame(*kxh::view::activeView());
    EXPECT_NE(f, nullptr);
    return f;
}

inline Rgba framePixel(const kxh::view::Frame& f, int x, int y) {
    const std::uint8_t* p = f.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}

// The port position of a world point in the active view (it must be in front of the camera).
inline std::array<int, 2> projectToActiveView(const MPoint& p) {
    short x = 0, y = 0;
    EXPECT_TRUE(M3dView::active3dView().worldToView(p, x, y));
    return {x, y};
}

}  // namespace kxtest
