#pragma once
// The host's 3D views and the simulated system cursor.
//
// There are four model panels, as in the host's default layout: modelPanel1 (top), modelPanel2 (side),
// modelPanel3 (front) and modelPanel4 (persp), which has the focus. Each view has a camera, a port size
// (640 x 480 unless changed) and a window whose client area is the port. The panel layout shows the
// focused panel alone; every view's client area has its top-left corner at the same fixed place on the
// screen (kClientLeft, kClientTop), and the application's main window starts at the screen origin.
//
// The cursor is one position in screen coordinates (pixels, y down), as the platform keeps it; the window
// functions of <windows.h> convert it to a window's client coordinates.
#include <string>
#include <vector>

#include "graph/core/Scene.h"
#include "view/Projection.h"

namespace kxh::view {

constexpr int kDefaultPortWidth = 640;
constexpr int kDefaultPortHeight = 480;
constexpr int kClientLeft = 220;
constexpr int kClientTop = 140;

struct View {
    int id = -1;
    std::string panel;          // "modelPanel4"
    std::string startupCamera;  // the camera the panel looks through in a new scene ("persp")
    NodePtr camera;             // the camera shape it looks through
    int width = kDefaultPortWidth, height = kDefaultPortHeight;
    int displayStyle = 2;  // M3dView::kGouraudShaded
    unsigned refreshCount = 0;
    int glDepth = 0;  // open beginGL calls
    bool xorDrawing = false;
};

// Every view, in panel order (modelPanel1 ... modelPanel4); ids are their indices.
std::vector<View>& views();
View* viewById(int id);
View* viewByPanel(const std::string& panel);
View* activeView();
bool setActiveView(int id);

// The camera shape a view looks through. When that camera was deleted the view falls back to its startup
// camera (then to persp), as the host's panels do; null when none is left.
Node* viewCamera(View& view);
bool setViewCamera(View& view, Node& cameraOrTransform);
// The view's projection of the moment; false when it has no camera.
bool viewProjection(View& view, Projection& out);
// Changes the port size (at least 1 x 1).
void setPortSize(View& view, int width, int height);

// Native window handles: one per view, and the main window. Null / -1 for handles that are not ours.
void* viewWindow(const View& view);
void* mainWindow();
View* viewOfWindow(const void* window);
bool isWindow(const void* window);
// Where a window's client area starts on the screen.
void clientOrigin(const void* window, int& left, int& top);

// After a new scene: the startup cameras are restored and each panel looks through its own again.
// `full` also puts back port sizes, the focus, the refresh counts and the cursor (a fresh session).
void resetViews(Scene& scene, bool full);

// The cursor, in screen coordinates.
void setCursorScreen(int x, int y);
void cursorScreen(int& x, int& y);
// Places the cursor at a port position of a view (origin at the bottom left, as events carry it).
void setCursorInView(const View& view, int x, int y);
// The cursor as a port position of a view (may lie outside the port).
void cursorInView(const View& view, int& x, int& y);

}  // namespace kxh::view
