#pragma once
// The meshes of a view, drawn once and put back while nothing they show changes.
//
// What the renderer's mesh pass leaves in the colour and depth buffers depends only on the port, the
// camera, the view's display options and, per drawn mesh, its data versions, matrix, display status,
// shading and the selection items on it. A view keeps snapshots of those buffers with the keys they were
// drawn for, so a render after a tool event costs the locators and the meshes that changed, not every
// triangle of the scene:
//
//   whole   every drawn mesh; put back when no mesh changed
//   base    the meshes before the first one that changed when the whole snapshot went stale (a mesh being
//           built or edited usually comes after the reference it is built on); put back, and the meshes
//           after it drawn on top, in order, while only those change
//
// Meshes are always drawn in the renderer's order, so a frame made from snapshots is the frame a full
// redraw makes, byte for byte. The whole snapshot is taken again once the scene holds still for one render.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "graph/core/GraphMath.h"
#include "graph/core/Node.h"
#include "graph/core/Selection.h"

namespace kxh::view {

// A node as a key holds it: without keeping it alive, and never equal to a node made later at its address.
struct NodeRef {
    std::weak_ptr<Node> node;
    const Node* address = nullptr;
    NodeRef() = default;
    explicit NodeRef(const NodePtr& n) : node(n), address(n.get()) {}
    bool operator==(const NodeRef& o) const {
        return address == o.address && !node.expired() && !o.node.expired();
    }
};

struct LayerSelection {
    NodeRef node;
    ComponentKind kind = ComponentKind::None;
    std::vector<int> ids;
    bool operator==(const LayerSelection& o) const {
        return node == o.node && kind == o.kind && ids == o.ids;
    }
};

// Everything the mesh pass reads for one drawn mesh.
struct LayerMesh {
    NodeRef node;
    std::uint64_t points = 0, topology = 0, shading = 0;
    int status = 0;
    Matrix44 matrix;
    std::vector<LayerSelection> selected, hilited;  // items on the shape or its transform
    bool operator==(const LayerMesh& o) const {
        return node == o.node && points == o.points && topology == o.topology && shading == o.shading &&
               status == o.status && matrix == o.matrix && selected == o.selected && hilited == o.hilited;
    }
};

// Everything the mesh pass reads for the view as a whole.
struct LayerView {
    int width = 0, height = 0, style = -1;
    bool wireOver = false;
    Matrix44 projection, modelView;
    bool operator==(const LayerView& o) const {
        return width == o.width && height == o.height && style == o.style && wireOver == o.wireOver &&
               projection == o.projection && modelView == o.modelView;
    }
};

// The items of a selection list on a shape or its transform.
std::vector<LayerSelection> selectionOn(const SelectionList& list, const Node& shape);

// Draws the drawn meshes with index in [first, last) into the current buffers, in the renderer's order.
using DrawMeshRange = std::function<void(size_t first, size_t last)>;

// Fills the current buffers (the view's camera and light set) with the background and the view's meshes:
// from its snapshots where they are current (when `reuse` is on, a snapshot covers the whole port), else
// `clear` then drawing with `draw`. With `whole` the whole snapshot is made current too (a depth read
// needs it).
void composeMeshLayer(int viewId, const LayerView& view, std::vector<LayerMesh>&& meshes, bool reuse,
                      bool whole, const std::function<void()>& clear, const DrawMeshRange& draw);
// The depth of the view's whole snapshot as glReadPixels gives GL_UNSIGNED_INT depth, rows from the bottom;
// null when it has none.
const std::vector<std::uint32_t>* wholeMeshLayerDepth(int viewId);
// How many times this process has drawn meshes for a view's layer (any part of them).
unsigned meshLayerDrawCount();
// Forgets every snapshot.
void resetMeshLayers();

}  // namespace kxh::view
