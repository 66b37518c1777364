// Framebuffer objects (OpenGL 3.0, or ARB_framebuffer_object) are declared with the extensions' prototypes.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include "view/MeshLayer.h"

#include <algorithm>
#include <map>

namespace kxh::view {

namespace {

// A snapshot's pixels live in GL renderbuffers (shared by every context, as the display lists are), so
// taking and putting back one is a framebuffer copy inside the GL, not a transfer through memory.
struct Snapshot {
    bool valid = false;
    std::vector<LayerMesh> meshes;  // the meshes it holds: the first meshes.size() drawn meshes
    GLuint color = 0, depth = 0;    // renderbuffers
    int width = 0, height = 0;
    bool depthRead = false;                // depthCopy holds its depth
    std::vector<std::uint32_t> depthCopy;  // GL_UNSIGNED_INT depth, rows from the bottom
};

struct ViewLayers {
    LayerView view;
    Snapshot whole, base;
    std::vector<LayerMesh> last;  // the meshes of the last composition
};

std::map<int, ViewLayers>& layers() {
    static auto* all = new std::map<int, ViewLayers>();
    return *all;
}

unsigned& drawCount() {
    static unsigned n = 0;
    return n;
}

// Copies colour and depth of the whole port between the framebuffer being drawn (the render's own, of the
// same formats, so the copy is exact) and the snapshot's.
void blit(Snapshot& s, bool toSnapshot) {
    GLint work = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &work);
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, s.color);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, s.depth);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, toSnapshot ? GLuint(work) : fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, toSnapshot ? fbo : GLuint(work));
    glBlitFramebuffer(0, 0, s.width, s.height, 0, 0, s.width, s.height,
                      GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, GLuint(work));
    glDeleteFramebuffers(1, &fbo);
}

void save(Snapshot& s, const std::vector<LayerMesh>& meshes, size_t count, int width, int height) {
    if (!s.color) glGenRenderbuffers(1, &s.color);
    if (!s.depth) glGenRenderbuffers(1, &s.depth);
    if (s.width != width || s.height != height) {
        glBindRenderbuffer(GL_RENDERBUFFER, s.color);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, s.depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        s.width = width;
        s.height = height;
    }
    blit(s, true);
    s.meshes.assign(meshes.begin(), meshes.begin() + std::ptrdiff_t(count));
    s.depthRead = false;
    s.valid = true;
}

// Puts the snapshot's colour and depth back over the whole port.
void restore(Snapshot& s) {
    blit(s, false);
}

// Reads the depth the window's framebuffer holds now into the snapshot's copy.
void readDepth(Snapshot& s) {
    s.depthCopy.resize(size_t(s.width) * size_t(s.height));
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, s.width, s.height, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, s.depthCopy.data());
    glPopClientAttrib();
    s.depthRead = true;
}

// Whether the snapshot holds the first meshes of `meshes` as they are now.
bool holdsPrefix(const Snapshot& s, const std::vector<LayerMesh>& meshes) {
    return s.valid && s.meshes.size() <= meshes.size() &&
           std::equal(s.meshes.begin(), s.meshes.end(), meshes.begin());
}

size_t commonPrefix(const std::vector<LayerMesh>& a, const std::vector<LayerMesh>& b) {
    size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

}  // namespace

std::vector<LayerSelection> selectionOn(const SelectionList& list, const Node& shape) {
    std::vector<LayerSelection> out;
    for (const SelectionItem& item : list.items())
        if (item.node && (item.node.get() == &shape || item.node.get() == shape.parent()))
            out.push_back({NodeRef(item.node), item.kind, item.ids});
    return out;
}

void composeMeshLayer(int viewId, const LayerView& view, std::vector<LayerMesh>&& meshes, bool reuse,
                      bool whole, const std::function<void()>& clear, const DrawMeshRange& draw) {
    ViewLayers& l = layers()[viewId];
    const int w = view.width, h = view.height;
    if (!(l.view == view)) {
        l.whole.valid = l.base.valid = false;
        l.view = view;
    }
    const size_t n = meshes.size();
    auto drawRange = [&](size_t first, size_t last) {
        if (first >= last) return;
        draw(first, last);
        drawCount() += unsigned(last - first);
    };
    if (!reuse) {
        // Every mesh drawn; the snapshots stay as they were (they are checked against their keys).
        clear();
        drawRange(0, n);
        if (whole) {
            save(l.whole, meshes, n, w, h);
            readDepth(l.whole);
        }
        return;
    }
    if (l.whole.valid && l.whole.meshes == meshes) {
        restore(l.whole);
    } else if (holdsPrefix(l.base, meshes)) {
        restore(l.base);
        drawRange(l.base.meshes.size(), n);
        // The meshes after the base held still since the last render: keep the whole again.
        if (whole || meshes == l.last) save(l.whole, meshes, n, w, h);
    } else {
        // The meshes that stayed as they were, up to the first that changed, become the base.
        size_t kept = 0;
        if (l.whole.valid) kept = std::max(kept, commonPrefix(l.whole.meshes, meshes));
        if (l.base.valid) kept = std::max(kept, commonPrefix(l.base.meshes, meshes));
        clear();
        drawRange(0, kept);
        if (kept > 0 && kept < n)
            save(l.base, meshes, kept, w, h);
        else
            l.base.valid = false;
        drawRange(kept, n);
        save(l.whole, meshes, n, w, h);
    }
    // The window holds the whole layer now when the whole snapshot is current.
    if (whole && l.whole.valid && !l.whole.depthRead && l.whole.meshes == meshes) readDepth(l.whole);
    l.last = std::move(meshes);
}

const std::vector<std::uint32_t>* wholeMeshLayerDepth(int viewId) {
    auto it = layers().find(viewId);
    if (it == layers().end() || !it->second.whole.valid || !it->second.whole.depthRead) return nullptr;
    return &it->second.whole.depthCopy;
}

unsigned meshLayerDrawCount() {
    return drawCount();
}

void resetMeshLayers() {
    // The renderbuffers are kept for the views' next snapshots (no context need be current here).
    for (auto& [id, l] : layers()) {
        l.whole.valid = l.base.valid = false;
        l.last.clear();
    }
}

}  // namespace kxh::view
