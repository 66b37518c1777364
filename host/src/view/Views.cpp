#include "view/Views.h"

#include "graph/core/DefaultNodes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "graph/core/ScenePoints.h"

namespace kxh::view {

namespace {

struct ViewState {
    std::vector<View> views;
    int active = 3;
    int cursorX = 0, cursorY = 0;
    // The addresses of these bytes are the window handles: element 0 the main window, 1 + id the views.
    std::array<char, 8> windowTokens{};
};

ViewState makeState() {
    ViewState s;
    const char* panels[][2] = {
        {"modelPanel1", "top"}, {"modelPanel2", "side"}, {"modelPanel3", "front"}, {"modelPanel4", "persp"}};
    for (int i = 0; i < 4; ++i) {
        View v;
        v.id = i;
        v.panel = panels[i][0];
        v.startupCamera = panels[i][1];
        s.views.push_back(v);
    }
    return s;
}

ViewState& state() {
    static ViewState s = makeState();
    return s;
}

}  // namespace

std::vector<View>& views() {
    return state().views;
}

View* viewById(int id) {
    auto& vs = views();
    return id >= 0 && id < int(vs.size()) ? &vs[size_t(id)] : nullptr;
}

View* viewByPanel(const std::string& panel) {
    for (View& v : views())
        if (v.panel == panel) return &v;
    return nullptr;
}

View* activeView() {
    return viewById(state().active);
}

bool setActiveView(int id) {
    if (!viewById(id)) return false;
    state().active = id;
    return true;
}

Node* viewCamera(View& view) {
    Scene& scene = Scene::current();
    // A camera of another scene (a test's own scene replaced the current one) does not count.
    Node* c = cameraShapeOf(view.camera.get());
    if (c && &c->scene() == &scene) return c;
    for (const std::string& name : {view.startupCamera, std::string("persp")}) {
        if (Node* c = startupCameraShape(scene, name)) {
            view.camera = c->ptr();
            return c;
        }
    }
    return nullptr;
}

bool setViewCamera(View& view, Node& cameraOrTransform) {
    Node* c = cameraShapeOf(&cameraOrTransform);
    if (!c) return false;
    view.camera = c->ptr();
    return true;
}

bool viewProjection(View& view, Projection& out) {
    // Reading the camera evaluates its world matrix and lens attributes; a tool converting many points per
    // event would repeat that for each one. The projection is kept per view and thread while the graph's
    // change count (every plug change or dirty, reparenting included), the camera and the port stay as
    // they were. A live node is the only one at its address, so the address and a weak reference name it.
    struct Kept {
        const Node* raw = nullptr;
        std::weak_ptr<Node> camera;
        std::uint64_t generation = 0;
        int width = 0, height = 0;
        Projection projection;
        bool valid = false;
    };
    static thread_local std::vector<Kept> kept;
    Kept* k = nullptr;
    const std::uint64_t g = sceneGraphGeneration();
    if (view.id >= 0) {
        if (kept.size() <= size_t(view.id)) kept.resize(size_t(view.id) + 1);
        k = &kept[size_t(view.id)];
        // The view still holds the kept camera shape, alive and in the current scene: viewCamera would
        // answer with it, so the lookup is skipped.
        const Node* held = view.camera.get();
        if (k->valid && k->generation == g && held == k->raw && k->width == view.width &&
            k->height == view.height && !k->camera.expired() && held->alive() &&
            &held->scene() == &Scene::current()) {
            out = k->projection;
            return true;
        }
    }
    Node* c = viewCamera(view);
    if (!c) return false;
    out = Projection(readCamera(*c), view.width, view.height);
    if (k) {
        k->raw = c;
        k->camera = c->ptr();
        k->generation = g;
        k->width = view.width;
        k->height = view.height;
        k->projection = out;
        // Not kept when reading the camera changed the graph (an evaluation that set a plug), nor when the
        // view holds another node than the shape it looks through.
        k->valid = g == sceneGraphGeneration() && view.camera.get() == c;
    }
    return true;
}

void setPortSize(View& view, int width, int height) {
    view.width = std::max(1, width);
    view.height = std::max(1, height);
}

void* viewWindow(const View& view) {
    return &state().windowTokens[size_t(1 + view.id)];
}
void* mainWindow() {
    return &state().windowTokens[0];
}

View* viewOfWindow(const void* window) {
    for (View& v : views())
        if (viewWindow(v) == window) return &v;
    return nullptr;
}

bool isWindow(const void* window) {
    return window && (window == mainWindow() || viewOfWindow(window));
}

void clientOrigin(const void* window, int& left, int& top) {
    if (viewOfWindow(window)) {
        left = kClientLeft;
        top = kClientTop;
    } else {
        left = top = 0;
    }
}

void resetViews(Scene& scene, bool full) {
    restoreStartupCameras(scene);
    // The other nodes a new scene starts with (the default shading group, its material, time1).
    ensureDefaultNodes(scene);
    for (View& v : views()) {
        v.camera = nullptr;
        viewCamera(v);
        if (full) {
            v.width = kDefaultPortWidth;
            v.height = kDefaultPortHeight;
            v.displayStyle = 2;
            v.refreshCount = 0;
            v.glDepth = 0;
            v.xorDrawing = false;
        }
    }
    if (full) {
        state().active = 3;
        state().cursorX = state().cursorY = 0;
    }
}

void setCursorScreen(int x, int y) {
    state().cursorX = x;
    state().cursorY = y;
}

void cursorScreen(int& x, int& y) {
    x = state().cursorX;
    y = state().cursorY;
}

void setCursorInView(const View& view, int x, int y) {
    int left, top;
    clientOrigin(viewWindow(view), left, top);
    setCursorScreen(left + x, top + (view.height - y));
}

void cursorInView(const View& view, int& x, int& y) {
    int left, top;
    clientOrigin(viewWindow(view), left, top);
    x = state().cursorX - left;
    y = view.height - (state().cursorY - top);
}

}  // namespace kxh::view
