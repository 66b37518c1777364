#pragma once
// The GL buffer objects the meshes' pass draws a mesh from (view/GlMeshes.cpp): its shaded triangles and
// its wireframe, kept per shape while its topology stays, and brought up to a point edit by rewriting only
// the ranges the moved vertices reach. Internal to the view layer; the GL calls act on the current context,
// the buffers live in the contexts' shared objects.
#include "graph/core/Node.h"
#include "mesh/Mesh.h"

namespace kxh::view::gl {

// The grey of a mesh without colours.
constexpr float kMeshGrey = 0.5f;

// Draws the mesh's triangles with flat or smooth normals, coloured with `colors` when given, in the current
// state. `tinted` picks the set a hilited mesh is drawn with (kept apart from the shaded one).
void drawShadedTriangles(Node& shape, const Mesh& mesh, bool flat, const ColorSet* colors, bool tinted);
// Draws the outline of every face in the current colour.
void drawOutlines(Node& shape, const Mesh& mesh);
// Drops the buffers of shapes that are gone (of every shape after forgetMeshBuffers).
void pruneMeshBuffers();

}  // namespace kxh::view::gl
