// The buffer object entry points are declared only with this defined, before any header brings in GL.
#define GL_GLEXT_PROTOTYPES
#include "view/GlMeshes.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>

#include "graph/api/mesh/MeshAccess.h"
#include "graph/core/Scene.h"
#include "mesh/MeshGeometry.h"
#include "view/GlMeshBuffers.h"
#include "view/GlRenderer.h"
#include "view/ScreenPick.h"

namespace kxh::view::gl {

// --- scene queries -------------------------------------------------------------------------------------

namespace {

bool flagOn(Node& n, const char* name) {
    Plug p = n.findPlug(name);
    return !p.isNull() && n.scene().evaluate(p).asBool();
}

// Whether the shape, or its transform, is on the hilite list (the object being edited in component mode).
bool isHilited(Node& shape) {
    for (const SelectionItem& item : Scene::current().hiliteList().items())
        if (item.node.get() == &shape || item.node.get() == shape.parent()) return true;
    return false;
}

}  // namespace

// A DAG shape is drawn when it is not an intermediate object and it and every ancestor are visible.
bool isDrawnShape(Node& shape) {
    if (!shape.alive() || shape.isIntermediate()) return false;
    for (Node* n = &shape; n && !n->isWorld(); n = n->parent())
        if (!flagOn(*n, "visibility")) return false;
    return true;
}

// The display status of a shape from the active selection: the shape or its transform selected as a
// whole object (lead when it is the last such item), else dormant.
M3dView::DisplayStatus statusOf(Node& shape) {
    const SelectionList& sel = Scene::current().activeSelection();
    M3dView::DisplayStatus status = M3dView::kDormant;
    for (size_t i = 0; i < sel.size(); ++i) {
        const SelectionItem& item = sel[i];
        if (item.hasComponents()) continue;
        if (item.node.get() == &shape || item.node.get() == shape.parent())
            status = i + 1 == sel.size() ? M3dView::kLead : M3dView::kActive;
    }
    if (status == M3dView::kDormant && flagOn(shape, "template")) status = M3dView::kTemplate;
    return status;
}

// --- GL helpers ----------------------------------------------------------------------------------------

namespace {

void vertex(const V3& p) {
    glVertex3d(p.x, p.y, p.z);
}

}  // namespace

void loadMatrix(const Matrix44& m) {
    // Row-vector matrices laid out row by row are OpenGL's column-major matrices.
    glLoadMatrixd(&m.m[0][0]);
}

void multMatrix(const Matrix44& m) {
    glMultMatrixd(&m.m[0][0]);
}

// The state every mesh pass and every locator starts from.
void baselineState() {
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_POLYGON_STIPPLE);
    glDisable(GL_LINE_STIPPLE);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_CULL_FACE);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glPointSize(1.0f);
    glLineWidth(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void setupLight() {
    // A white directional light fixed to the camera: from above, a little to the right of the eye.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const GLfloat dir[4] = {0.3f, 0.4f, 1.0f, 0.0f};
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, dir);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, black);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glEnable(GL_LIGHT0);
    glPopMatrix();
}

// --- meshes --------------------------------------------------------------------------------------------

namespace {

void mix(std::uint64_t& h, const void* data, size_t bytes) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < bytes; ++i) h = (h ^ p[i]) * 1099511628211ull;
}

void drawShaded(Node& shape, const Mesh& mesh, bool flat, bool offsetForWire) {
    glEnable(GL_LIGHTING);
    glEnable(GL_NORMALIZE);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glShadeModel(flat ? GL_FLAT : GL_SMOOTH);
    if (offsetForWire) {
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 1.0f);
    }
    glColor4f(kMeshGrey, kMeshGrey, kMeshGrey, 1.0f);
    drawShadedTriangles(shape, mesh, flat, shownColors(shape, mesh), false);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_POLYGON_OFFSET_FILL);
}

void wireColor(M3dView::DisplayStatus status) {
    switch (status) {
        case M3dView::kLead:
            glColor4f(0.26f, 1.0f, 0.64f, 1.0f);
            break;
        case M3dView::kActive:
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            break;
        case M3dView::kTemplate:
            glColor4f(0.47f, 0.47f, 0.47f, 1.0f);
            break;
        default:
            glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
            break;
    }
}

void drawWire(Node& shape, const Mesh& mesh, M3dView::DisplayStatus status) {
    wireColor(status);
    drawOutlines(shape, mesh);
}

void drawPoints(const Mesh& mesh, M3dView::DisplayStatus status) {
    wireColor(status);
    glPointSize(3.0f);
    glBegin(GL_POINTS);
    for (const V3& p : mesh.points) vertex(p);
    glEnd();
    glPointSize(1.0f);
}

void drawBox(const Mesh& mesh, M3dView::DisplayStatus status) {
    if (mesh.numVertices() == 0) return;
    const V3 lo = mesh.geometry().bboxMin(), hi = mesh.geometry().bboxMax();
    auto corner = [&](int c) { return V3{c & 1 ? hi.x : lo.x, c & 2 ? hi.y : lo.y, c & 4 ? hi.z : lo.z}; };
    wireColor(status);
    glBegin(GL_LINES);
    for (int c = 0; c < 8; ++c)
        for (int axis : {1, 2, 4})
            if (!(c & axis)) {
                vertex(corner(c));
                vertex(corner(c | axis));
            }
    glEnd();
}

// What a hilited mesh is drawn with: its faces tinted and see-through, its wires in the hilite colour.
constexpr float kHiliteFace[4] = {0.95f, 0.62f, 0.28f, 0.6f};
constexpr float kHiliteWire[4] = {1.0f, 0.9f, 0.45f, 1.0f};
// How far the hilited meshes are drawn toward the camera: this fraction of their distance from the eye
// in a perspective view (a scaling about the eye, which keeps every point at its pixel), or of the view's
// width in an orthographic one.
constexpr double kHiliteDepthOffset = 0.04;

// Draws one mesh in the view's display style, with the current model-view.
void drawMesh(Node& node, const Mesh& mesh, int style, bool wireOver) {
    const M3dView::DisplayStatus status = statusOf(node);
    switch (style) {
        case M3dView::kWireFrame:
            drawWire(node, mesh, status);
            break;
        case M3dView::kPoints:
            drawPoints(mesh, status);
            break;
        case M3dView::kBoundingBox:
            drawBox(mesh, status);
            break;
        default: {
            // Shaded; a selected mesh shows its wireframe too, as in the host.
            const bool wire = wireOver || status == M3dView::kLead || status == M3dView::kActive;
            drawShaded(node, mesh, style == M3dView::kFlatShaded, wire);
            if (wire) drawWire(node, mesh, status);
            break;
        }
    }
}

// A hilited mesh, drawn after the others like the x-ray and wireframe-on-shaded displays: pulled toward
// the camera so that a mesh built on a reference surface shows over it (its faces between points on a
// convex surface run inside the surface), faces translucent over the reference, wires on top.
void drawHilitedMesh(Node& node, const Mesh& mesh, int style) {
    GLdouble projection[16], modelView[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glLoadIdentity();
    if (projection[15] == 0.0) {
        const double s = 1.0 - kHiliteDepthOffset;
        glScaled(s, s, s);
    } else if (projection[0] != 0.0) {
        glTranslated(0.0, 0.0, kHiliteDepthOffset * 2.0 / std::fabs(projection[0]));
    }
    glMultMatrixd(modelView);

    const M3dView::DisplayStatus status = statusOf(node);
    const bool selected = status == M3dView::kLead || status == M3dView::kActive;
    auto wire = [&] {
        if (selected) {
            drawWire(node, mesh, status);
            return;
        }
        glColor4fv(kHiliteWire);
        drawOutlines(node, mesh);
    };
    if (style == M3dView::kWireFrame) {
        wire();
    } else if (style == M3dView::kPoints || style == M3dView::kBoundingBox) {
        drawMesh(node, mesh, style, false);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_LIGHTING);
        glEnable(GL_NORMALIZE);
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glShadeModel(style == M3dView::kFlatShaded ? GL_FLAT : GL_SMOOTH);
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 1.0f);
        glColor4fv(kHiliteFace);
        // The faces without their own colours: the tint is the point of this pass.
        drawShadedTriangles(node, mesh, style == M3dView::kFlatShaded, nullptr, true);
        glDisable(GL_POLYGON_OFFSET_FILL);
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        glDisable(GL_BLEND);
        wire();
    }
}

}  // namespace

// The colour set a mesh shows when its displayColors is on; null when it shows none.
const ColorSet* shownColors(Node& shape, const Mesh& mesh) {
    if (!flagOn(shape, "displayColors") || mesh.colorSets.empty()) return nullptr;
    const int i = std::clamp(mesh.currentColorSet, 0, int(mesh.colorSets.size()) - 1);
    const ColorSet& cs = mesh.colorSets[size_t(i)];
    return cs.faceVertColor.size() == mesh.faceVerts.size() ? &cs : nullptr;
}

// Everything besides points and topology that the shaded triangles are made from.
std::uint64_t shadingKey(const Mesh& mesh, bool flat, const ColorSet* colors) {
    std::uint64_t h = 14695981039346656037ull;
    mix(h, &flat, sizeof flat);
    if (colors) {
        mix(h, colors->colors.data(), colors->colors.size() * sizeof(colors->colors[0]));
        mix(h, colors->faceVertColor.data(), colors->faceVertColor.size() * sizeof(int));
    }
    if (!flat) {
        for (const auto& e : mesh.hardEdges) mix(h, &e, sizeof e);
        for (const auto& n : mesh.lockedNormals) mix(h, &n, sizeof n);
    }
    return h;
}

// The meshes a render draws, in drawing order: the others first, then the hilited ones over what those drew.
std::vector<DrawnMesh> drawnMeshes() {
    Scene& scene = Scene::current();
    std::vector<DrawnMesh> out, hilited;
    for (const NodePtr& node : scene.nodesOfType("mesh")) {
        if (!isDrawnMesh(*node, false)) continue;
        MeshPtr mesh = scene.shapeMesh(*node);
        if (!mesh || mesh->numFaces() == 0) continue;
        const bool lit = isHilited(*node);
        (lit ? hilited : out).push_back({node, mesh, lit});
    }
    out.insert(out.end(), hilited.begin(), hilited.end());
    return out;
}

// The drawn meshes with index in [first, last) of drawnMeshes' order (a view's meshes may be drawn in parts,
// see view/MeshLayer.h).
void drawMeshes(const View& view, size_t first, size_t last) {
    const int style = view.displayStyle;
    const bool wireOver = wireframeOnShaded(view);
    pruneMeshBuffers();
    const std::vector<DrawnMesh> meshes = drawnMeshes();
    for (size_t i = first; i < last && i < meshes.size(); ++i) {
        const DrawnMesh& d = meshes[i];
        glPushMatrix();
        multMatrix(d.node->inclusiveMatrix());
        baselineState();
        if (d.hilited)
            drawHilitedMesh(*d.node, *d.mesh, style);
        else
            drawMesh(*d.node, *d.mesh, style, wireOver);
        glPopMatrix();
    }
}

}  // namespace kxh::view::gl
