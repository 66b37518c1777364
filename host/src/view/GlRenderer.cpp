#include "view/GlRenderer.h"

// Framebuffer objects (OpenGL 3.0) are declared with the extensions' prototypes.
#define GL_GLEXT_PROTOTYPES
#include <GL/osmesa.h>
// OSMesa's header brings <GL/gl.h>.
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MPxLocatorNode.h>

#include <algorithm>
#include <list>
#include <map>

#include "graph/api/ApiObject.h"
#include "graph/api/PluginNodes.h"
#include "graph/core/Scene.h"
#include "view/GlMeshes.h"
#include "view/MeshLayer.h"
#include "view/ScreenPick.h"

namespace kxh::view {

namespace {

// --- contexts ------------------------------------------------------------------------------------------

struct GlContext {
    int width = 0, height = 0;
    OSMesaContext ctx = nullptr;
    std::vector<std::uint8_t> buffer;
    // Renders draw into this framebuffer (RGBA8 colour, 24-bit depth renderbuffers, the formats of the
    // views' mesh snapshots, so those are copied in and out exactly), and its colour is copied to the
    // window's buffer at the end. 0 when it could not be made: renders then draw into the window's buffer
    // and no snapshot is reused.
    GLuint fbo = 0, color = 0, depth = 0;
};

// Renderbuffers of contexts that were dropped, deleted once another context is current (they are shared).
std::vector<GLuint>& orphanRenderbuffers() {
    static auto* list = new std::vector<GLuint>();
    return *list;
}

void makeWorkFramebuffer(GlContext& c) {
    glGenRenderbuffers(1, &c.color);
    glBindRenderbuffer(GL_RENDERBUFFER, c.color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, c.width, c.height);
    glGenRenderbuffers(1, &c.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, c.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, c.width, c.height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &c.fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, c.fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, c.color);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, c.depth);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) {
        glDeleteFramebuffers(1, &c.fbo);
        glDeleteRenderbuffers(1, &c.color);
        glDeleteRenderbuffers(1, &c.depth);
        c.fbo = c.color = c.depth = 0;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
}

// Every context shares its display lists with this one, which is never made current nor destroyed, so the
// meshes' lists outlive the contexts of sizes no longer used.
OSMesaContext shareRoot() {
    static OSMesaContext root = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    return root;
}

// Contexts by port size, most recently used first. A handful of sizes is plenty (one per view in
// practice); the oldest is dropped past that. Never destroyed at exit: the GL driver may already be gone.
constexpr size_t kMaxContexts = 6;
std::list<GlContext>& contexts() {
    static auto* list = new std::list<GlContext>();
    return *list;
}

GlContext* contextFor(int width, int height, std::string* error) {
    auto& list = contexts();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->width == width && it->height == height) {
            list.splice(list.begin(), list, it);
            break;
        }
    }
    if (list.empty() || list.front().width != width || list.front().height != height) {
        GlContext c;
        c.width = width;
        c.height = height;
        c.ctx = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, shareRoot());
        if (!c.ctx) {
            if (error) *error = "Cannot create an offscreen OpenGL context.";
            return nullptr;
        }
        c.buffer.assign(size_t(width) * size_t(height) * 4, 0);
        list.push_front(std::move(c));
        while (list.size() > kMaxContexts) {
            for (GLuint rb : {list.back().color, list.back().depth})
                if (rb) orphanRenderbuffers().push_back(rb);
            OSMesaDestroyContext(list.back().ctx);
            list.pop_back();
        }
    }
    GlContext& c = list.front();
    if (!OSMesaMakeCurrent(c.ctx, c.buffer.data(), GL_UNSIGNED_BYTE, width, height)) {
        if (error) *error = "Cannot make the offscreen OpenGL context current.";
        return nullptr;
    }
    // Rows from the bottom up, as glReadPixels gives them.
    OSMesaPixelStore(OSMESA_Y_UP, 1);
    if (!orphanRenderbuffers().empty()) {
        glDeleteRenderbuffers(GLsizei(orphanRenderbuffers().size()), orphanRenderbuffers().data());
        orphanRenderbuffers().clear();
    }
    if (!c.fbo) makeWorkFramebuffer(c);
    return &c;
}

// --- per-view state ------------------------------------------------------------------------------------

struct RenderState {
    std::map<int, Frame> frames;
    std::map<int, bool> wireOnShaded;
    std::map<int, bool> locatorsHidden;
    bool rendering = false;
};

RenderState& state() {
    static RenderState s;
    return s;
}

// --- the meshes' pass and the helpers shared with it (view/GlMeshes.h) ------------------------------------

using gl::baselineState;
using gl::drawMeshes;
using gl::DrawnMesh;
using gl::drawnMeshes;
using gl::isDrawnShape;
using gl::loadMatrix;
using gl::multMatrix;
using gl::setupLight;
using gl::shadingKey;
using gl::shownColors;
using gl::statusOf;

// --- the mesh layer ---------------------------------------------------------------------------------------
// The meshes' pass of a render is put back from the view's snapshots where nothing it shows changed
// (view/MeshLayer.h). Anything drawMeshes comes to read must be part of these keys.

LayerView layerView(const View& view, const Projection& p, int width, int height) {
    LayerView v;
    v.width = width;
    v.height = height;
    v.style = view.displayStyle;
    v.wireOver = wireframeOnShaded(view);
    v.projection = p.projection();
    v.modelView = p.modelView();
    return v;
}

// The drawn meshes in drawMeshes' order, with what it reads of each.
std::vector<LayerMesh> layerMeshes(const View& view) {
    Scene& scene = Scene::current();
    const int style = view.displayStyle;
    const bool shaded =
        style != M3dView::kWireFrame && style != M3dView::kPoints && style != M3dView::kBoundingBox;
    std::vector<LayerMesh> out;
    for (const DrawnMesh& d : drawnMeshes()) {
        const NodePtr& node = d.node;
        const MeshPtr& mesh = d.mesh;
        LayerMesh m;
        m.node = NodeRef(node);
        m.points = mesh->pointsVersion();
        m.topology = mesh->topologyVersion();
        if (shaded) m.shading = shadingKey(*mesh, style == M3dView::kFlatShaded, shownColors(*node, *mesh));
        m.status = int(statusOf(*node));
        m.matrix = node->inclusiveMatrix();
        m.selected = selectionOn(scene.activeSelection(), *node);
        m.hilited = selectionOn(scene.hiliteList(), *node);
        out.push_back(std::move(m));
    }
    return out;
}

bool& meshLayerReuse() {
    static bool on = true;
    return on;
}

// The background: grey, depth 1.
void clearPort() {
    const float grey = kBackgroundGrey / 255.0f;
    glClearColor(grey, grey, grey, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Fills the port (camera and light set) with the background and the view's meshes, then leaves the GL state
// the same whether they were drawn or put back.
void drawMeshLayer(const GlContext& ctx, const View& view, const Projection& p, int width, int height,
                   bool whole = false) {
    composeMeshLayer(view.id, layerView(view, p, width, height), layerMeshes(view),
                     meshLayerReuse() && ctx.fbo != 0, whole, clearPort,
                     [&](size_t first, size_t last) { drawMeshes(view, first, last); });
    baselineState();
    glDisable(GL_NORMALIZE);
    glDisable(GL_COLOR_MATERIAL);
    glShadeModel(GL_SMOOTH);
    glMatrixMode(GL_MODELVIEW);
}

// --- locators --------------------------------------------------------------------------------------------

struct LocatorDraw {
    Node* node;
    MPxLocatorNode* locator;
    int pass;  // 0 opaque, 1 transparent, 2 drawn last
};

std::vector<LocatorDraw> visibleLocators(const View& view) {
    const bool hideLocators = !showsLocators(view);
    std::vector<LocatorDraw> out;
    for (const NodePtr& node : Scene::current().nodes()) {
        if (!node->isShape()) continue;
        auto* loc = dynamic_cast<MPxLocatorNode*>(pxNodeOf(*node));
        if (!loc || !isDrawnShape(*node)) continue;
        // With locators hidden in the view, only those that do not count as locators stay.
        if (hideLocators && loc->excludeAsLocator()) continue;
        out.push_back({node.get(), loc, loc->drawLast() ? 2 : loc->isTransparent() ? 1 : 0});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const LocatorDraw& a, const LocatorDraw& b) { return a.pass < b.pass; });
    return out;
}

GLint stackDepth(GLenum which) {
    GLint d = 0;
    glGetIntegerv(which, &d);
    return d;
}

void setCamera(const Projection& p, int width, int height);

void drawLocator(View& view, const LocatorDraw& d, const Projection& p, int width, int height) {
    NodePtr keep = d.node->ptr();  // a draw that deletes its own node must not free it under us
    const int glDepthBefore = view.glDepth;
    const M3dView::DisplayStatus status = statusOf(*d.node);

    glMatrixMode(GL_MODELVIEW);
    const GLint viewDepth = stackDepth(GL_MODELVIEW_STACK_DEPTH);
    glPushMatrix();
    multMatrix(d.node->inclusiveMatrix());
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    const GLint attribDepth = stackDepth(GL_ATTRIB_STACK_DEPTH);
    const GLint clientDepth = stackDepth(GL_CLIENT_ATTRIB_STACK_DEPTH);
    const GLint projDepth = stackDepth(GL_PROJECTION_STACK_DEPTH);
    baselineState();
    const MColor c = d.locator->colorRGB(status);
    glColor4f(c.r, c.g, c.b, c.a);

    M3dView port(view.id);
    MDagPath path = pathTo(*d.node);
    d.locator->draw(port, path, M3dView::DisplayStyle(view.displayStyle), status);

    // Undo what the draw left unbalanced: an open glBegin (glEnd outside one only raises an error, which
    // is drained), extra pushes, a changed matrix mode, unmatched beginGL.
    glEnd();
    while (glGetError() != GL_NO_ERROR) {
    }
    while (stackDepth(GL_CLIENT_ATTRIB_STACK_DEPTH) > clientDepth) glPopClientAttrib();
    while (stackDepth(GL_ATTRIB_STACK_DEPTH) > attribDepth) glPopAttrib();
    // A draw that popped more than it pushed took the host's saved state with it: only the baseline can
    // be put back then.
    if (stackDepth(GL_ATTRIB_STACK_DEPTH) == attribDepth &&
        stackDepth(GL_CLIENT_ATTRIB_STACK_DEPTH) == clientDepth) {
        glPopClientAttrib();
        glPopAttrib();
    } else {
        baselineState();
    }
    // The matrices are set again whatever the draw did to them.
    glMatrixMode(GL_PROJECTION);
    while (stackDepth(GL_PROJECTION_STACK_DEPTH) > projDepth) glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    while (stackDepth(GL_MODELVIEW_STACK_DEPTH) > viewDepth) glPopMatrix();
    setCamera(p, width, height);
    while (glGetError() != GL_NO_ERROR) {
    }
    view.glDepth = glDepthBefore;
    view.xorDrawing = false;
}

// --- the render --------------------------------------------------------------------------------------------

void setCamera(const Projection& p, int width, int height) {
    glMatrixMode(GL_PROJECTION);
    // Half a pixel to the right and up: port position (i, j) is the centre of pixel (i, j).
    const Matrix44 shift = Matrix44::translation(1.0 / width, 1.0 / height, 0.0);
    loadMatrix(p.projection() * shift);
    glMatrixMode(GL_MODELVIEW);
    loadMatrix(p.modelView());
}

}  // namespace

bool renderViewAt(View& view, int width, int height, Frame& out, std::string* error) {
    RenderState& s = state();
    if (s.rendering) {
        if (error) *error = "A view is being drawn already.";
        return false;
    }
    const int w = std::max(1, width), h = std::max(1, height);
    GlContext* ctx = contextFor(w, h, error);
    if (!ctx) return false;
    s.rendering = true;

    glBindFramebuffer(GL_FRAMEBUFFER, ctx->fbo);
    glViewport(0, 0, w, h);
    baselineState();

    if (Node* cam = viewCamera(view)) {
        const Projection p(readCamera(*cam), w, h);
        setCamera(p, w, h);
        setupLight();
        drawMeshLayer(*ctx, view, p, w, h);
        for (const LocatorDraw& d : visibleLocators(view))
            if (d.node->alive()) drawLocator(view, d, p, w, h);
    } else {
        clearPort();  // a view without a camera shows the background alone
    }
    if (ctx->fbo) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, ctx->fbo);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    glFinish();

    out.width = w;
    out.height = h;
    out.rgba = ctx->buffer;
    ++out.serial;
    s.rendering = false;
    return true;
}

bool renderView(View& view, std::string* error) {
    if (state().rendering) return true;  // a refresh from inside a draw: the frame is being made
    Frame frame;
    if (const Frame* last = lastFrame(view)) frame.serial = last->serial;
    if (!renderViewAt(view, view.width, view.height, frame, error)) return false;
    state().frames[view.id] = std::move(frame);
    return true;
}

bool redrawViews(View& view, bool all, std::string* error) {
    if (!renderView(view, error)) return false;
    View* active = activeView();
    if (all && active && active != &view) return renderView(*active, error);
    return true;
}

const Frame* lastFrame(const View& view) {
    auto& frames = state().frames;
    auto it = frames.find(view.id);
    return it == frames.end() ? nullptr : &it->second;
}

bool isRendering() {
    return state().rendering;
}

bool wireframeOnShaded(const View& view) {
    auto& m = state().wireOnShaded;
    auto it = m.find(view.id);
    return it != m.end() && it->second;
}

void setWireframeOnShaded(const View& view, bool on) {
    state().wireOnShaded[view.id] = on;
}

bool showsLocators(const View& view) {
    auto& m = state().locatorsHidden;
    auto it = m.find(view.id);
    return it == m.end() || !it->second;
}

void setShowsLocators(const View& view, bool on) {
    state().locatorsHidden[view.id] = !on;
}

void resetRenderState() {
    resetMeshLayers();
    state().locatorsHidden.clear();
    state().frames.clear();
    state().wireOnShaded.clear();
}

void setMeshLayerReuse(bool on) {
    meshLayerReuse() = on;
}

void forgetMeshBuffers() {
    gl::forgetMeshBuffers();
}

unsigned meshBufferPointUpdates() {
    return gl::meshBufferPointUpdates();
}

unsigned meshLayersDrawn() {
    return meshLayerDrawCount();
}

bool meshDepthMap(View& view, std::vector<float>& depth, std::string* error) {
    RenderState& s = state();
    if (s.rendering) {
        if (error) *error = "A view is being drawn already.";
        return false;
    }
    const int w = std::max(1, view.width), h = std::max(1, view.height);
    Node* cam = viewCamera(view);
    if (!cam) {
        depth.assign(size_t(w) * size_t(h), 1.0f);
        return true;
    }
    GlContext* ctx = contextFor(w, h, error);
    if (!ctx) return false;
    s.rendering = true;
    // A tool may be drawing in this context (between beginGL and endGL): its state and matrices are kept.
    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    GLdouble projection[16], modelView[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    const Projection p(readCamera(*cam), w, h);
    glBindFramebuffer(GL_FRAMEBUFFER, ctx->fbo);
    glViewport(0, 0, w, h);
    baselineState();
    setCamera(p, w, h);
    setupLight();
    drawMeshLayer(*ctx, view, p, w, h, true);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glPopAttrib();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(modelView);
    glMatrixMode(GLenum(matrixMode));
    s.rendering = false;
    const std::vector<std::uint32_t>* drawn = wholeMeshLayerDepth(view.id);
    if (!drawn || drawn->size() != size_t(w) * size_t(h)) {
        if (error) *error = "The view's meshes could not be read back.";
        return false;
    }
    // A 24-bit depth z reads as the unsigned int (z << 8) | (z >> 16); as a float it is z / (2^24 - 1).
    depth.resize(drawn->size());
    for (size_t i = 0; i < depth.size(); ++i) depth[i] = float(double((*drawn)[i] >> 8) / 16777215.0);
    return true;
}

bool makeViewContextCurrent(const View& view) {
    if (state().rendering) return true;
    return contextFor(std::max(1, view.width), std::max(1, view.height), nullptr) != nullptr;
}

}  // namespace kxh::view
