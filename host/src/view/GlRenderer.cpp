#include "view/GlRenderer.h"

// Framebuffer objects (OpenGL 3.0) are declared with the extensions' prototypes.
#define GL_GLEXT_PROTOTYPES
#include <GL/osmesa.h>
// OSMesa's header brings <GL/gl.h>.
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MPxLocatorNode.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <list>
#include <map>

#include "graph/api/ApiObject.h"
#include "graph/api/PluginNodes.h"
#include "graph/api/mesh/MeshAccess.h"
#include "graph/core/Scene.h"
#include "mesh/MeshGeometry.h"
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

// --- scene queries -------------------------------------------------------------------------------------

bool flagOn(Node& n, const char* name) {
    Plug p = n.findPlug(name);
    return !p.isNull() && n.scene().evaluate(p).asBool();
}

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

// Whether the shape, or its transform, is on the hilite list (the object being edited in component mode).
bool isHilited(Node& shape) {
    for (const SelectionItem& item : Scene::current().hiliteList().items())
        if (item.node.get() == &shape || item.node.get() == shape.parent()) return true;
    return false;
}

// --- GL helpers ----------------------------------------------------------------------------------------

void loadMatrix(const Matrix44& m) {
    // Row-vector matrices laid out row by row are OpenGL's column-major matrices.
    glLoadMatrixd(&m.m[0][0]);
}

void multMatrix(const Matrix44& m) {
    glMultMatrixd(&m.m[0][0]);
}

void vertex(const V3& p) {
    glVertex3d(p.x, p.y, p.z);
}
void normal(const V3& n) {
    glNormal3d(n.x, n.y, n.z);
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

constexpr float kMeshGrey = 0.5f;

// The colour set a mesh shows when its displayColors is on; null when it shows none.
const ColorSet* shownColors(Node& shape, const Mesh& mesh) {
    if (!flagOn(shape, "displayColors") || mesh.colorSets.empty()) return nullptr;
    const int i = std::clamp(mesh.currentColorSet, 0, int(mesh.colorSets.size()) - 1);
    const ColorSet& cs = mesh.colorSets[size_t(i)];
    return cs.faceVertColor.size() == mesh.faceVerts.size() ? &cs : nullptr;
}

// The triangles of every face with their normals (and colours when given).
void emitTriangles(const Mesh& mesh, bool flat, const ColorSet* colors) {
    const MeshGeometry& g = mesh.geometry();
    // Smooth shading follows hard edges and locked normals; without either the cached vertex normals do.
    const bool simpleNormals = mesh.hardEdges.empty() && mesh.lockedNormals.empty();
    const std::vector<V3>* vertexNormals = !flat && simpleNormals ? &g.vertexNormals(false) : nullptr;
    glBegin(GL_TRIANGLES);
    for (int f = 0; f < mesh.numFaces(); ++f) {
        const int base = mesh.faceOffsets[size_t(f)];
        const int tris = g.faceTriangleCount(f);
        for (int t = 0; t < tris; ++t) {
            for (int c : g.triangleCorners(f, t)) {
                const int fv = base + c;
                const int v = mesh.faceVerts[size_t(fv)];
                if (colors) {
                    const int id = colors->faceVertColor[size_t(fv)];
                    if (id >= 0 && id < int(colors->colors.size())) {
                        const auto& rgba = colors->colors[size_t(id)];
                        glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
                    } else {
                        glColor4f(kMeshGrey, kMeshGrey, kMeshGrey, 1.0f);
                    }
                }
                if (flat)
                    normal(g.faceNormal(f));
                else if (vertexNormals)
                    normal((*vertexNormals)[size_t(v)]);
                else
                    normal(faceVertexNormal(mesh, f, v));
                vertex(mesh.points[size_t(v)]);
            }
        }
    }
    glEnd();
}

// The outline of every face.
void emitEdges(const Mesh& mesh) {
    for (int f = 0; f < mesh.numFaces(); ++f) {
        glBegin(GL_LINE_LOOP);
        for (int k = mesh.faceOffsets[size_t(f)]; k < mesh.faceOffsets[size_t(f) + 1]; ++k)
            vertex(mesh.points[size_t(mesh.faceVerts[size_t(k)])]);
        glEnd();
    }
}

// A mesh's geometry compiled into display lists, so that refreshing a view does not send every vertex
// again. The lists are remade when what they were made from changes: the points or the topology (their
// data versions), flat or smooth normals, the colours shown, hard edges and locked normals.
struct MeshLists {
    std::weak_ptr<Node> node;
    std::uint64_t points = 0, topology = 0, shading = 0;
    GLuint shaded = 0, wire = 0;
};

std::map<const Node*, MeshLists>& meshLists() {
    static auto* lists = new std::map<const Node*, MeshLists>();
    return *lists;
}

void freeLists(MeshLists& l) {
    if (l.shaded) glDeleteLists(l.shaded, 1);
    if (l.wire) glDeleteLists(l.wire, 1);
    l.shaded = l.wire = 0;
}

// Drops the lists of nodes that are gone.
void pruneMeshLists() {
    auto& all = meshLists();
    for (auto it = all.begin(); it != all.end();) {
        NodePtr n = it->second.node.lock();
        if (n && n->alive()) {
            ++it;
        } else {
            freeLists(it->second);
            it = all.erase(it);
        }
    }
}

void mix(std::uint64_t& h, const void* data, size_t bytes) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < bytes; ++i) h = (h ^ p[i]) * 1099511628211ull;
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

MeshLists& listsFor(Node& shape, const Mesh& mesh) {
    MeshLists& l = meshLists()[&shape];
    if (l.node.lock().get() != &shape || l.points != mesh.pointsVersion() ||
        l.topology != mesh.topologyVersion()) {
        freeLists(l);
        l.node = shape.ptr();
        l.points = mesh.pointsVersion();
        l.topology = mesh.topologyVersion();
    }
    return l;
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
    const ColorSet* colors = shownColors(shape, mesh);
    MeshLists& l = listsFor(shape, mesh);
    const std::uint64_t key = shadingKey(mesh, flat, colors);
    if (l.shaded && l.shading != key) {
        glDeleteLists(l.shaded, 1);
        l.shaded = 0;
    }
    if (!l.shaded) {
        l.shaded = glGenLists(1);
        l.shading = key;
        glNewList(l.shaded, GL_COMPILE);
        emitTriangles(mesh, flat, colors);
        glEndList();
    }
    glCallList(l.shaded);
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
    MeshLists& l = listsFor(shape, mesh);
    if (!l.wire) {
        l.wire = glGenLists(1);
        glNewList(l.wire, GL_COMPILE);
        emitEdges(mesh);
        glEndList();
    }
    glCallList(l.wire);
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
constexpr double kHiliteDepthOffset = 0.02;

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
        MeshLists& l = listsFor(node, mesh);
        if (!l.wire) drawWire(node, mesh, status);  // compiles the list
        glColor4fv(kHiliteWire);
        glCallList(l.wire);
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
        emitTriangles(mesh, style == M3dView::kFlatShaded, nullptr);
        glDisable(GL_POLYGON_OFFSET_FILL);
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        glDisable(GL_BLEND);
        wire();
    }
}

// A mesh a render draws, with whether it is drawn as hilited.
struct DrawnMesh {
    NodePtr node;
    MeshPtr mesh;
    bool hilited;
};

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
    pruneMeshLists();
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
