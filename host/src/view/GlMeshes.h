#pragma once
// The meshes' pass of the views' renders (view/GlRenderer.cpp), with the scene queries and the GL state
// helpers the rest of a render shares with it. Internal to the view layer. The GL calls act on the current
// context; the meshes' buffer objects live in the contexts' shared objects.
#include <maya/M3dView.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph/core/GraphMath.h"
#include "graph/core/Node.h"
#include "mesh/Mesh.h"
#include "view/Views.h"

namespace kxh::view::gl {

// --- scene queries -------------------------------------------------------------------------------------

// A DAG shape is drawn when it is not an intermediate object and it and every ancestor are visible.
bool isDrawnShape(Node& shape);
// The display status of a shape from the active selection: lead, active, template or dormant.
M3dView::DisplayStatus statusOf(Node& shape);

// --- GL helpers ----------------------------------------------------------------------------------------

// Load the current GL matrix with, or multiply it by, a row-vector matrix.
void loadMatrix(const Matrix44& m);
void multMatrix(const Matrix44& m);
// The state every mesh pass and every locator starts from.
void baselineState();
// Sets GL_LIGHT0 as a white directional light fixed to the camera.
void setupLight();

// --- meshes --------------------------------------------------------------------------------------------

// The colour set a mesh shows when its displayColors is on; null when it shows none.
const ColorSet* shownColors(Node& shape, const Mesh& mesh);
// Everything besides points and topology that the shaded triangles are made from, as one key.
std::uint64_t shadingKey(const Mesh& mesh, bool flat, const ColorSet* colors);

// A mesh a render draws, with whether it is drawn as hilited.
struct DrawnMesh {
    NodePtr node;
    MeshPtr mesh;
    bool hilited;
};

// The meshes a render draws, in drawing order: the others first, then the hilited ones over what those drew.
std::vector<DrawnMesh> drawnMeshes();
// Draws the meshes with index in [first, last) of drawnMeshes' order in the view's display style, with the
// camera and light set.
void drawMeshes(const View& view, size_t first, size_t last);
// The next drawMeshes drops every mesh's GL buffers first (see view/GlRenderer.h).
void forgetMeshBuffers();
// How many point edits were written into kept mesh buffers in place.
unsigned meshBufferPointUpdates();

}  // namespace kxh::view::gl
