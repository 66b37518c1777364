// glWindowPos (OpenGL 1.4) is declared with the extensions' prototypes.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>

#include "view/MeshLayer.h"

#include <algorithm>
#include <map>

namespace kxh::view {

namespace {

struct Snapshot {
    bool valid = false;
    std::vector<LayerMesh> meshes;  // the meshes it holds: the first meshes.size() drawn meshes
    std::vector<std::uint8_t> rgba;
    std::vector<std::uint32_t> depth;  // GL_UNSIGNED_INT depth
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

void save(Snapshot& s, const std::vector<LayerMesh>& meshes, size_t count, int width, int height) {
    const size_t n = size_t(width) * size_t(height);
    s.rgba.resize(n * 4);
    s.depth.resize(n);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, s.rgba.data());
    glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, s.depth.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    s.meshes.assign(meshes.begin(), meshes.begin() + std::ptrdiff_t(count));
    s.valid = true;
}

// Writes the snapshot's colour and depth over the whole port, whatever the fragment state.
void restore(const Snapshot& s, int width, int height) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_COLOR_LOGIC_OP);
    glDisable(GL_DITHER);
    glPixelZoom(1.0f, 1.0f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glWindowPos2i(0, 0);
    glDisable(GL_DEPTH_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, s.rgba.data());
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    glDepthMask(GL_TRUE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDrawPixels(width, height, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, s.depth.data());
    glPopClientAttrib();
    glPopAttrib();
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
                      bool whole, const DrawMeshRange& draw) {
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
        drawRange(0, n);
        if (whole) save(l.whole, meshes, n, w, h);
        return;
    }
    if (l.whole.valid && l.whole.meshes == meshes) {
        restore(l.whole, w, h);
    } else if (holdsPrefix(l.base, meshes)) {
        restore(l.base, w, h);
        drawRange(l.base.meshes.size(), n);
        // The meshes after the base held still since the last render: keep the whole again.
        if (whole || meshes == l.last) save(l.whole, meshes, n, w, h);
    } else {
        // The meshes that stayed as they were, up to the first that changed, become the base.
        size_t kept = 0;
        if (l.whole.valid) kept = std::max(kept, commonPrefix(l.whole.meshes, meshes));
        if (l.base.valid) kept = std::max(kept, commonPrefix(l.base.meshes, meshes));
        drawRange(0, kept);
        if (kept > 0 && kept < n)
            save(l.base, meshes, kept, w, h);
        else
            l.base.valid = false;
        drawRange(kept, n);
        save(l.whole, meshes, n, w, h);
    }
    l.last = std::move(meshes);
}

const std::vector<std::uint32_t>* wholeMeshLayerDepth(int viewId) {
    auto it = layers().find(viewId);
    return it != layers().end() && it->second.whole.valid ? &it->second.whole.depth : nullptr;
}

unsigned meshLayerDrawCount() {
    return drawCount();
}

void resetMeshLayers() {
    layers().clear();
}

}  // namespace kxh::view
