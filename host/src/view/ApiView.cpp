// M3dView over the host's views, and MGlobal::selectFromScreen, which picks in the active view.
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "graph/api/ApiObject.h"
#include "view/GlRenderer.h"
#include "view/ScreenPick.h"
#include "view/Views.h"

using namespace kxh;
using namespace kxh::view;

namespace {

View* viewOf(int id, MStatus* status) {
    View* v = viewById(id);
    setStatus(status, v ? MS::kSuccess : MS::kFailure);
    return v;
}

short toShort(double v) {
    if (!(v == v)) return 0;  // NaN
    const double r = std::floor(v + 0.5);
    return short(std::clamp(r, double(SHRT_MIN), double(SHRT_MAX)));
}

MPoint toPoint(const V3& p) {
    return MPoint(p.x, p.y, p.z);
}

}  // namespace

M3dView::M3dView() = default;
M3dView::~M3dView() = default;

M3dView M3dView::active3dView(MStatus* ReturnStatus) {
    View* v = activeView();
    setStatus(ReturnStatus, v ? MS::kSuccess : MS::kFailure);
    return M3dView(v ? v->id : -1);
}

unsigned M3dView::numberOf3dViews() {
    return unsigned(views().size());
}

MStatus M3dView::get3dView(const unsigned index, M3dView& view) {
    if (index >= views().size()) return MS::kInvalidParameter;
    view = M3dView(int(index));
    return MS::kSuccess;
}

MNativeWindowHdl M3dView::applicationShell(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return static_cast<MNativeWindowHdl>(mainWindow());
}

MNativeWindowHdl M3dView::window(MStatus* ReturnStatus) {
    View* v = viewOf(id_, ReturnStatus);
    return v ? static_cast<MNativeWindowHdl>(viewWindow(*v)) : nullptr;
}

int M3dView::portWidth(MStatus* ReturnStatus) {
    View* v = viewOf(id_, ReturnStatus);
    return v ? v->width : 0;
}

int M3dView::portHeight(MStatus* ReturnStatus) {
    View* v = viewOf(id_, ReturnStatus);
    return v ? v->height : 0;
}

M3dView::DisplayStyle M3dView::displayStyle(MStatus* ReturnStatus) const {
    View* v = viewOf(id_, ReturnStatus);
    return v ? DisplayStyle(v->displayStyle) : kGouraudShaded;
}

MStatus M3dView::setDisplayStyle(DisplayStyle style, bool) {
    View* v = viewById(id_);
    if (!v) return MS::kFailure;
    v->displayStyle = int(style);
    return MS::kSuccess;
}

bool M3dView::isVisible(MStatus* ReturnStatus) const {
    View* v = viewOf(id_, ReturnStatus);
    return v && v == activeView();
}

// Drawing outside a draw callback: the view keeps count of the open calls; drawing itself goes through
// OpenGL, so these calls only bracket it. Outside a refresh the first beginGL makes a GL context current,
// so the calls that follow reach a real context (what they draw is not kept).
MStatus M3dView::beginGL() {
    View* v = viewById(id_);
    if (!v) return MS::kFailure;
    if (v->glDepth++ == 0) makeViewContextCurrent(*v);
    return MS::kSuccess;
}

MStatus M3dView::endGL() {
    View* v = viewById(id_);
    if (!v || v->glDepth == 0) return MS::kFailure;
    --v->glDepth;
    return MS::kSuccess;
}

MStatus M3dView::beginXorDrawing(bool, bool, float, LineStipplePattern, const MColor&) {
    View* v = viewById(id_);
    if (!v || v->xorDrawing) return MS::kFailure;
    v->xorDrawing = true;
    return MS::kSuccess;
}

MStatus M3dView::endXorDrawing() {
    View* v = viewById(id_);
    if (!v || !v->xorDrawing) return MS::kFailure;
    v->xorDrawing = false;
    return MS::kSuccess;
}

MStatus M3dView::setDrawColor(unsigned int, ColorTable) {
    return viewById(id_) ? MS::kSuccess : MS::kFailure;
}
MStatus M3dView::setDrawColor(const MColor&) {
    return viewById(id_) ? MS::kSuccess : MS::kFailure;
}
MStatus M3dView::drawText(const MString&, const MPoint, TextPosition) {
    return viewById(id_) ? MS::kSuccess : MS::kFailure;
}

MStatus M3dView::getCamera(MDagPath& camera) {
    View* v = viewById(id_);
    Node* c = v ? viewCamera(*v) : nullptr;
    if (!c) return MS::kFailure;
    camera = pathTo(*c);
    return MS::kSuccess;
}

MStatus M3dView::setCamera(MDagPath& camera) {
    View* v = viewById(id_);
    Node* n = pathNode(camera);
    if (!v || !n || !camera.isValid()) return MS::kInvalidParameter;
    return setViewCamera(*v, *n) ? MS::kSuccess : MS::kInvalidParameter;
}

MStatus M3dView::refresh(bool all, bool) {
    View* v = viewById(id_);
    if (!v) return MS::kFailure;
    if (all) {
        for (View& each : views()) ++each.refreshCount;
    } else {
        ++v->refreshCount;
    }
    return redrawViews(*v, all) ? MS::kSuccess : MS::kFailure;
}

MStatus M3dView::viewToWorld(short x_pos, short y_pos, MPoint& worldPt, MVector& worldVector) const {
    MPoint nearPt, farPt;
    MStatus st = viewToWorld(x_pos, y_pos, nearPt, farPt);
    if (!st) return st;
    worldPt = nearPt;
    worldVector = farPt - nearPt;
    worldVector.normalize();
    return MS::kSuccess;
}

MStatus M3dView::viewToWorld(short x_pos, short y_pos, MPoint& nearClipPt, MPoint& farClipPt) const {
    View* v = viewById(id_);
    Projection p;
    if (!v || !viewProjection(*v, p)) return MS::kFailure;
    V3 a, b;
    p.ray(x_pos, y_pos, a, b);
    nearClipPt = toPoint(a);
    farClipPt = toPoint(b);
    return MS::kSuccess;
}

bool M3dView::worldToView(const MPoint& worldPt, short& x_pos, short& y_pos, MStatus* ReturnStatus) const {
    View* v = viewById(id_);
    Projection p;
    if (!v || !viewProjection(*v, p)) {
        setStatus(ReturnStatus, MS::kFailure);
        return false;
    }
    if (worldPt.w == 0 || !std::isfinite(worldPt.w)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return false;
    }
    const V3 w{worldPt.x / worldPt.w, worldPt.y / worldPt.w, worldPt.z / worldPt.w};
    double x = 0, y = 0;
    const bool inFront = p.project(w, x, y);
    if (!std::isfinite(x) || !std::isfinite(y)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return false;
    }
    x_pos = toShort(x);
    y_pos = toShort(y);
    setStatus(ReturnStatus, MS::kSuccess);
    return inFront;
}

MStatus M3dView::projectionMatrix(MMatrix& projectionMatrix) const {
    View* v = viewById(id_);
    Projection p;
    if (!v || !viewProjection(*v, p)) return MS::kFailure;
    projectionMatrix = toMMatrix(p.projection());
    return MS::kSuccess;
}

MStatus M3dView::modelViewMatrix(MMatrix& modelViewMatrix) const {
    View* v = viewById(id_);
    Projection p;
    if (!v || !viewProjection(*v, p)) return MS::kFailure;
    modelViewMatrix = toMMatrix(p.modelView());
    return MS::kSuccess;
}

namespace {

// A depth read of at most this many pixels casts one ray per pixel; a larger one reads the depth the view's
// meshes leave when drawn, which costs one render (none while the meshes and the camera stay as they were).
constexpr unsigned kRayCastDepthPixels = 1024;

void storeDepth(unsigned char* buffer, size_t k, float depth, M3dView::DepthBufferFormat format) {
    if (format == M3dView::kDepth_Float)
        std::memcpy(buffer + k * sizeof(float), &depth, sizeof(float));
    else
        buffer[k] = static_cast<unsigned char>(std::lround(depth * 255.0f));
}

}  // namespace

MStatus M3dView::readDepthMap(unsigned short x, unsigned short y, unsigned int width, unsigned int height,
                              unsigned char* bufferPtr, DepthBufferFormat depthMapPrecision) {
    View* v = viewById(id_);
    Projection p;
    if (!v || !bufferPtr || !viewProjection(*v, p)) return MS::kFailure;
    if (depthMapPrecision != kDepth_Float && depthMapPrecision != kDepth_8) return MS::kInvalidParameter;
    if (width == 0 || height == 0 || unsigned(x) + width > unsigned(v->width) ||
        unsigned(y) + height > unsigned(v->height))
        return MS::kInvalidParameter;
    std::vector<float> drawn;
    if (size_t(width) * height > kRayCastDepthPixels && meshDepthMap(*v, drawn) &&
        drawn.size() == size_t(v->width) * size_t(v->height)) {
        size_t k = 0;
        for (unsigned j = 0; j < height; ++j)
            for (unsigned i = 0; i < width; ++i, ++k)
                storeDepth(bufferPtr, k, drawn[size_t(y + j) * size_t(v->width) + (x + i)],
                           depthMapPrecision);
        return MS::kSuccess;
    }
    size_t k = 0;
    for (unsigned j = 0; j < height; ++j) {
        for (unsigned i = 0; i < width; ++i, ++k) {
            SurfaceHit hit;
            const float depth =
                pickSurface(p, double(x + i), double(y + j), false, hit) ? float(hit.depthValue) : 1.0f;
            storeDepth(bufferPtr, k, depth, depthMapPrecision);
        }
    }
    return MS::kSuccess;
}

// --- screen selection -----------------------------------------------------------------------------------

MStatus MGlobal::selectFromScreen(const short& x_pos, const short& y_pos, ListAdjustment listAdjustment,
                                  SelectionMethod) {
    View* v = activeView();
    Projection p;
    if (!v || !viewProjection(*v, p)) return MS::kFailure;
    SurfaceHit hit;
    SelectionList picked;
    if (pickSurface(p, x_pos, y_pos, true, hit)) {
        // The object is selected: the shape's transform.
        Node* obj = hit.shape;
        if (obj->parent() && !obj->parent()->isWorld()) obj = obj->parent();
        picked.add(obj->ptr());
    }
    if (picked.empty() && listAdjustment != kReplaceList) return MS::kSuccess;
    Scene::current().setActiveSelection(picked, ListAdjust(int(listAdjustment)));
    return MS::kSuccess;
}
