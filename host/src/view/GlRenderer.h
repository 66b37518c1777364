#pragma once
// Real OpenGL drawing of the views, offscreen, with Mesa's OSMesa (legacy OpenGL 1.x, RGBA with a 24-bit
// depth buffer, no display).
//
// A render clears the port to the background grey, sets the view camera's projection and model-view,
// draws the visible non-intermediate meshes (shaded with one directional light that moves with the
// camera, flat or smooth, grey or in their face-vertex colours; wireframe, points or bounding boxes as the
// view's display asks; hilited meshes last, see SEMANTICS.md), then calls draw() of every visible plug-in
// locator with the locator's world matrix on the model-view stack and the whole GL state saved around the
// call.
//
// Pixel (i, j) is sampled at the port position (i, j), as the depth reads and screen picks of the view are
// (see Projection.h): the projection is shifted by half a pixel so that a world point worldToView puts at
// (i, j) lands in pixel (i, j).
//
// One GL context is kept per port size, made on first use. Every render is kept as the view's last frame,
// which readPixels and playblast read.
#include <cstdint>
#include <string>
#include <vector>

#include "view/Views.h"

namespace kxh::view {

// The grey every view is cleared to (all three channels), alpha 255.
constexpr std::uint8_t kBackgroundGrey = 161;

// A rendered frame: RGBA bytes, rows from the bottom of the port up (as OpenGL reads them).
struct Frame {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    unsigned serial = 0;  // counts the renders of the view
    const std::uint8_t* pixel(int x, int y) const {
        return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
    }
};

// Renders a view now and keeps the result as its last frame. False (with a message) when no GL context
// can be made; a view without a camera renders the background alone.
bool renderView(View& view, std::string* error = nullptr);
// Renders a view at another size into `out` (the view's last frame is left alone), as a playblast does.
bool renderViewAt(View& view, int width, int height, Frame& out, std::string* error = nullptr);
// What a refresh draws: the view, and with `all` the visible view (the active one) as well. False when a
// render fails.
bool redrawViews(View& view, bool all, std::string* error = nullptr);
// The view's last rendered frame; null before its first render.
const Frame* lastFrame(const View& view);
// Whether a render is running now (a refresh asked for from inside a locator's draw does not render again).
bool isRendering();

// Per-view display options beyond the view's display style: wireframe drawn over shaded meshes.
bool wireframeOnShaded(const View& view);
void setWireframeOnShaded(const View& view, bool on);
// Whether the view shows locators (on in a new session). Hidden, it still draws the plug-in locators
// whose excludeAsLocator() is false.
bool showsLocators(const View& view);
void setShowsLocators(const View& view, bool on);
// Back to the options of a new session (no wireframe on shaded) and no frames.
void resetRenderState();

// Whether a render puts back what the view's meshes drew (colour and depth) where nothing they show has
// changed, instead of drawing every mesh again (view/MeshLayer.h); on in a new process. The frames are the
// same either way.
void setMeshLayerReuse(bool on);
// How many meshes this process has drawn for the views' mesh layers (those not put back from a snapshot).
unsigned meshLayersDrawn();
// Makes the next render build the GL buffers of every mesh's geometry again from the meshes, as a first
// render does (the buffers are otherwise kept, and a point edit rewrites the parts of them it changed).
void forgetMeshBuffers();
// How many point edits this process has written into kept mesh buffers in place (not remade).
unsigned meshBufferPointUpdates();
// The depth buffer the view's meshes alone leave at its port size, rows from the bottom up: 0 on the near
// plane to 1 on the far plane, exactly 1 where no mesh is drawn. Taken from the kept mesh layer when it is
// current, else drawn now. False while a render runs or when no GL context can be made.
bool meshDepthMap(View& view, std::vector<float>& depth, std::string* error = nullptr);

// Makes a GL context of the view's port size current, so that GL calls made outside a render (between
// beginGL and endGL of a tool) go to a real context. What they draw is not kept.
bool makeViewContextCurrent(const View& view);

// Writes a frame as an 8-bit RGBA PNG file, top row first. False with a message when the
// file cannot be written.
bool writePng(const Frame& frame, const std::string& path, std::string* error = nullptr);

}  // namespace kxh::view
