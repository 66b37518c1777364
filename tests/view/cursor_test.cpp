// The system cursor as the plug-in reads it: GetCursorPos, ScreenToClient on the view's window, then a
// flip into port coordinates.
#include <windows.h>

#include "view_fixture.h"

namespace {

// The plug-in's reading of the cursor: false outside the port (x == width, y == height still inside).
bool cursorPositionInView(int& x, int& y, M3dView& view) {
    POINT pt;
    if (!GetCursorPos(&pt) || !ScreenToClient(view.window(), &pt)) return false;
    if (pt.x < 0 || pt.y < 0 || pt.x > view.portWidth() || pt.y > view.portHeight()) return false;
    x = pt.x;
    y = view.portHeight() - pt.y;
    return true;
}

TEST_F(ViewTest, TheCursorChainGoesFromScreenToClientToPort) {
    M3dView v = view();
    ASSERT_NE(v.window(), nullptr);
    ASSERT_NE(M3dView::applicationShell(), nullptr);
    EXPECT_NE(static_cast<HWND>(v.window()), static_cast<HWND>(M3dView::applicationShell()));
    // A port position placed by MEL reads back through the platform calls.
    mel("kxhViewCursor 100 50");
    int x = -1, y = -1;
    ASSERT_TRUE(cursorPositionInView(x, y, v));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
    // The same spot in client (y down) and screen coordinates.
    POINT pt;
    ASSERT_TRUE(GetCursorPos(&pt));
    POINT client = pt;
    ASSERT_TRUE(ScreenToClient(v.window(), &client));
    EXPECT_EQ(client.x, 100);
    EXPECT_EQ(client.y, 480 - 50);
    ASSERT_TRUE(ClientToScreen(v.window(), &client));
    EXPECT_EQ(client.x, pt.x);
    EXPECT_EQ(client.y, pt.y);
    EXPECT_EQ(mel("kxhScreenCursor -q").asIntArray(), (std::vector<long>{pt.x, pt.y}));
    // The main window's client area starts at the screen origin.
    POINT shell = pt;
    ASSERT_TRUE(ScreenToClient(M3dView::applicationShell(), &shell));
    EXPECT_EQ(shell.x, pt.x);
    // Screen positions move the cursor in the port accordingly, and the port follows its size.
    ASSERT_TRUE(SetCursorPos(pt.x + 7, pt.y + 3));
    ASSERT_TRUE(cursorPositionInView(x, y, v));
    EXPECT_EQ(x, 107);
    EXPECT_EQ(y, 47);
    EXPECT_EQ(mel("kxhViewCursor -q").asIntArray(), (std::vector<long>{107, 47}));
    mel("kxhViewSize 300 200; kxhViewCursor 10 20");
    ASSERT_TRUE(cursorPositionInView(x, y, v));
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
}

TEST_F(ViewTest, ACursorOutsideThePortIsNotInTheView) {
    M3dView v = view();
    int x, y;
    const int corners[][2] = {{0, 0}, {640, 480}, {0, 480}, {640, 0}};
    for (auto& c : corners) {
        mel("kxhViewCursor " + std::to_string(c[0]) + " " + std::to_string(c[1]));
        EXPECT_TRUE(cursorPositionInView(x, y, v)) << c[0] << "," << c[1];
    }
    const int outside[][2] = {{-1, 10}, {641, 10}, {10, -1}, {10, 481}};
    for (auto& c : outside) {
        mel("kxhViewCursor " + std::to_string(c[0]) + " " + std::to_string(c[1]));
        EXPECT_FALSE(cursorPositionInView(x, y, v)) << c[0] << "," << c[1];
    }
    // Far away on the screen.
    SetCursorPos(0, 0);
    EXPECT_FALSE(cursorPositionInView(x, y, v));
    // Windows that are not the host's are refused, and so are missing points.
    POINT pt{1, 2};
    int notAWindow = 0;
    EXPECT_FALSE(ScreenToClient(reinterpret_cast<HWND>(&notAWindow), &pt));
    EXPECT_EQ(pt.x, 1);
    EXPECT_FALSE(ScreenToClient(v.window(), nullptr));
    EXPECT_FALSE(GetCursorPos(nullptr));
}

}  // namespace
