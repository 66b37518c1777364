// The camera node type, the startup cameras, and reading and placing cameras.
#include "view/Camera.h"

#include <algorithm>
#include <cmath>

#include "graph/core/BuiltinTypes.h"
#include "graph/core/GraphMath.h"

namespace kxh::view {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMmPerInch = 25.4;

constexpr unsigned fourcc(const char (&s)[5]) {
    return (unsigned(s[0]) << 24) | (unsigned(s[1]) << 16) | (unsigned(s[2]) << 8) | unsigned(s[3]);
}

AttrPtr number(const std::string& ln, const std::string& sn, double def, bool distance = false,
               bool keyable = false) {
    AttrPtr a = Attribute::numeric(ln, sn, NumericType::Double, def);
    if (distance) a->setUnit(AttrUnit::Distance);
    a->keyable = keyable;
    return a;
}

AttrPtr flag(const std::string& ln, const std::string& sn, bool def) {
    return Attribute::numeric(ln, sn, NumericType::Boolean, def ? 1 : 0);
}

double numberOf(Node& n, const char* name) {
    Plug p = n.findPlug(name);
    return p.isNull() ? 0.0 : n.scene().evaluate(p).asDouble();
}

V3 rowOf(const Matrix44& m, int r) {
    return V3{m.m[r][0], m.m[r][1], m.m[r][2]};
}

// Euler angles (rotate order xyz: X applied first) of a rotation matrix in row-vector form.
V3 eulerXyz(const Matrix44& r) {
    const double sy = std::clamp(-r.m[0][2], -1.0, 1.0);
    const double ry = std::asin(sy);
    if (std::cos(ry) > 1e-9)
        return V3{std::atan2(r.m[1][2], r.m[2][2]), ry, std::atan2(r.m[0][1], r.m[0][0])};
    // Gimbal lock: the X and Z turns share an axis; put it all in X.
    return V3{std::atan2(-r.m[2][1], r.m[1][1]), ry, 0.0};
}

V3 triple(Node& n, const char* name) {
    Plug p = n.findPlug(name);
    std::vector<double> v = p.isNull() ? std::vector<double>{} : n.scene().evaluate(p).asNumbers();
    v.resize(3, 0.0);
    return V3{v[0], v[1], v[2]};
}

bool setTriple(Node& n, const char* name, const V3& v, std::string* error) {
    Plug p = n.findPlug(name);
    if (p.isNull()) {
        if (error) *error = std::string("No attribute '") + name + "' on " + n.name();
        return false;
    }
    return n.scene().setValue(p, Value(std::vector<double>{v.x, v.y, v.z}), error);
}

struct StartupCamera {
    const char* name;
    const char* shape;
    V3 translate;
    V3 rotateDegrees;
    bool ortho;
    double farClip;
};

// The host's startup cameras: a perspective camera looking at the origin from (28, 21, 28) and three
// orthographic cameras 100.1 units out along +Y, +Z and +X.
const StartupCamera kStartupCameras[] = {
    {"persp", "perspShape", {28, 21, 28}, {-27.938352729602379, 44.999999999999972, 0}, false, 10000},
    {"top", "topShape", {0, 100.1, 0}, {-90, 0, 0}, true, 1000},
    {"front", "frontShape", {0, 0, 100.1}, {0, 0, 0}, true, 1000},
    {"side", "sideShape", {100.1, 0, 0}, {0, 90, 0}, true, 1000},
};

}  // namespace

void ensureCameraType() {
    NodeTypeRegistry& registry = NodeTypeRegistry::instance();
    if (registry.find("camera")) return;
    auto cam = std::make_shared<NodeType>("camera", fourcc("DCAM"), "shape", fn::kCamera);
    // Lens: focal length in millimetres, film aperture in inches (a 35mm full-aperture back).
    cam->addAttribute(number("focalLength", "fl", 35, false, true));
    cam->addAttribute(number("horizontalFilmAperture", "hfa", 1.41732, false, true));
    cam->addAttribute(number("verticalFilmAperture", "vfa", 0.94488, false, true));
    cam->addAttribute(number("horizontalFilmOffset", "hfo", 0, false, true));
    cam->addAttribute(number("verticalFilmOffset", "vfo", 0, false, true));
    cam->addAttribute(number("lensSqueezeRatio", "lsr", 1, false, true));
    cam->addAttribute(Attribute::enumAttr(
        "filmFit", "ff", 0, {{"Fill", 0}, {"Horizontal", 1}, {"Vertical", 2}, {"Overscan", 3}}));
    cam->addAttribute(number("overscan", "ovr", 1));
    cam->addAttribute(number("cameraScale", "cs", 1));
    cam->addAttribute(number("nearClipPlane", "ncp", 0.1, true));
    cam->addAttribute(number("farClipPlane", "fcp", 10000, true));
    cam->addAttribute(flag("orthographic", "o", false));
    cam->addAttribute(number("orthographicWidth", "ow", 30, true));
    cam->addAttribute(number("centerOfInterest", "coi", 5, true));
    {
        std::vector<std::pair<std::string, std::string>> names{
            {"tumblePivotX", "tpx"}, {"tumblePivotY", "tpy"}, {"tumblePivotZ", "tpz"}};
        AttrPtr tp = Attribute::numericCompound("tumblePivot", "tp", NumericType::Double3, names, {0, 0, 0});
        for (auto& c : tp->children()) c->setUnit(AttrUnit::Distance);
        cam->addAttribute(tp);
    }
    cam->addAttribute(flag("renderable", "rnd", true));
    cam->factory = [] { return std::make_unique<DagBehavior>(); };
    cam->defaultName = "cameraShape";
    registry.add(cam);
}

bool isCamera(const Node& node) {
    return node.alive() && node.type().isA("camera");
}

Node* cameraShapeOf(Node* node) {
    if (!node || !node->alive()) return nullptr;
    if (isCamera(*node)) return node;
    if (!node->isTransform()) return nullptr;
    for (Node* c : node->children())
        if (isCamera(*c)) return c;
    return nullptr;
}

double cameraAttr(Node& shape, const char* name) {
    return numberOf(shape, name);
}

bool setCameraAttr(Node& shape, const char* name, double value, std::string* error) {
    Plug p = shape.findPlug(name);
    if (p.isNull()) {
        if (error) *error = std::string("No attribute '") + name + "' on " + shape.name();
        return false;
    }
    return shape.scene().setValue(p, Value(value), error);
}

double horizontalFov(Node& shape) {
    const double fl = numberOf(shape, "focalLength");
    return fl > 0 ? 2.0 * std::atan(0.5 * numberOf(shape, "horizontalFilmAperture") * kMmPerInch / fl) : 0.0;
}

double verticalFov(Node& shape) {
    const double fl = numberOf(shape, "focalLength");
    return fl > 0 ? 2.0 * std::atan(0.5 * numberOf(shape, "verticalFilmAperture") * kMmPerInch / fl) : 0.0;
}

CameraFrame readCamera(Node& shape) {
    CameraFrame f;
    const Matrix44 w = shape.inclusiveMatrix();
    f.eye = w.transformPoint(V3{0, 0, 0});
    f.right = normalized(rowOf(w, 0));
    f.up = normalized(rowOf(w, 1));
    f.dir = normalized(rowOf(w, 2)) * -1.0;
    f.ortho = numberOf(shape, "orthographic") != 0;
    f.orthoWidth = numberOf(shape, "orthographicWidth");
    f.hFov = horizontalFov(shape);
    f.vFov = verticalFov(shape);
    f.nearClip = numberOf(shape, "nearClipPlane");
    f.farClip = numberOf(shape, "farClipPlane");
    f.coi = numberOf(shape, "centerOfInterest");
    return f;
}

bool placeCamera(Node& shape, const V3& eye, const V3& dir, const V3& up, std::string* error) {
    Node* xf = shape.isTransform() ? &shape : shape.parent();
    if (!xf || xf->isWorld() || !xf->isTransform()) {
        if (error) *error = "The camera " + shape.name() + " has no transform.";
        return false;
    }
    const V3 back = normalized(dir) * -1.0;
    const V3 right = normalized(cross(up, back));
    if (length(back) == 0 || length(right) == 0 || !isFinite(eye)) {
        if (error) *error = "The view direction and up direction must be non-zero and not parallel.";
        return false;
    }
    const V3 trueUp = cross(back, right);
    // The wanted world matrix, taken into the transform's parent space.
    Matrix44 world;
    const V3 rows[4] = {right, trueUp, back, eye};
    for (int r = 0; r < 4; ++r) {
        world.m[r][0] = rows[r].x;
        world.m[r][1] = rows[r].y;
        world.m[r][2] = rows[r].z;
    }
    Node* parent = xf->parent();
    const Matrix44 local = parent && !parent->isWorld() ? world * parent->inclusiveMatrix().inverse() : world;
    Matrix44 rot;  // the local turn with the parent's (and any) scale taken out of its rows
    for (int r = 0; r < 3; ++r) {
        V3 row = normalized(rowOf(local, r));
        rot.m[r][0] = row.x;
        rot.m[r][1] = row.y;
        rot.m[r][2] = row.z;
    }
    const V3 angles = eulerXyz(rot);
    Plug order = xf->findPlug("rotateOrder");
    if (!order.isNull() && xf->scene().evaluate(order).asInt() != 0 &&
        !xf->scene().setValue(order, Value(0), error))
        return false;
    if (!setTriple(*xf, "rotate", angles, error)) return false;
    // Translate so that the transform's origin lands on the eye: the origin of the matrix without its
    // translation (pivots move it) plus the translation gives the eye.
    const V3 t = triple(*xf, "translate");
    const V3 originNow = xf->localMatrix().transformPoint(V3{0, 0, 0});
    const V3 wanted = rowOf(local, 3);
    return setTriple(*xf, "translate", t + (wanted - originNow), error);
}

Node* startupCameraShape(Scene& scene, const std::string& transformName) {
    NodePtr n = scene.find(transformName);
    return n ? cameraShapeOf(n.get()) : nullptr;
}

void restoreStartupCameras(Scene& scene) {
    ensureCameraType();
    for (const StartupCamera& c : kStartupCameras) {
        NodePtr xf = scene.find(c.name);
        Node* shape = xf ? cameraShapeOf(xf.get()) : nullptr;
        if (!shape || !xf->isTransform()) {
            xf = scene.createNode("transform", c.name);
            if (!xf) continue;
            NodePtr s = scene.createNode("camera", c.shape, xf.get());
            if (!s) continue;
            shape = s.get();
        }
        // Startup cameras are hidden objects: they never draw in the views.
        scene.setValue(xf->findPlug("visibility"), Value(false));
        const double toRad = kPi / 180.0;
        setTriple(*xf, "translate", c.translate, nullptr);
        setTriple(*xf, "rotate", c.rotateDegrees * toRad, nullptr);
        setTriple(*xf, "scale", V3{1, 1, 1}, nullptr);
        setCameraAttr(*shape, "focalLength", 35);
        setCameraAttr(*shape, "horizontalFilmAperture", 1.41732);
        setCameraAttr(*shape, "verticalFilmAperture", 0.94488);
        setCameraAttr(*shape, "nearClipPlane", 0.1);
        setCameraAttr(*shape, "farClipPlane", c.farClip);
        setCameraAttr(*shape, "orthographic", c.ortho ? 1 : 0);
        setCameraAttr(*shape, "orthographicWidth", 30);
        setCameraAttr(*shape, "centerOfInterest", length(c.translate));
    }
}

}  // namespace kxh::view
