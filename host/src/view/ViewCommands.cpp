// viewPlace, lookThru, camera, setFocus, refresh, kxhViewSize, kxhViewCursor, kxhScreenCursor.
#include "view/ViewCommands.h"

#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MSceneMessage.h>

#include <cmath>

#include "graph/core/Scene.h"
#include "mel/Interpreter.h"
#include "view/Camera.h"
#include "view/GlRenderer.h"
#include "view/RenderCommands.h"
#include "view/Views.h"

namespace kxh {

using mel::ArgType;
using namespace kxh::view;

namespace {

Scene& scene() {
    return Scene::current();
}

double lin(double ui) {
    return MDistance::uiToInternal(ui);
}
double linOut(double cm) {
    return MDistance::internalToUI(cm);
}
double ang(double ui) {
    return MAngle::uiToInternal(ui);
}
double angOut(double rad) {
    return MAngle::internalToUI(rad);
}

V3 flagVector(const mel::ParsedArgs& a, const char* name, double (*convert)(double)) {
    return V3{convert(a.arg(name, 0.0, 0).asFloat()), convert(a.arg(name, 0.0, 1).asFloat()),
              convert(a.arg(name, 0.0, 2).asFloat())};
}
double same(double v) {
    return v;
}

// The view a command names with -p/-panel, else the active one.
View* panelView(mel::Invocation& inv, const mel::ParsedArgs& a) {
    if (!a.has("p")) return activeView();
    const std::string name = a.arg("p").asString();
    View* v = viewByPanel(name);
    if (!v) inv.fail("Panel '" + name + "' is not a model panel.");
    return v;
}

// The camera shape a command names (a camera shape or its transform), or the active view's camera.
Node* cameraArg(mel::Invocation& inv, const std::vector<mel::Value>& objects, size_t index = 0) {
    if (objects.size() > index) {
        const std::string name = objects[index].asString();
        NodePtr n = scene().find(name);
        if (!n || n->isWorld()) {
            inv.fail("No object matches name: " + name);
            return nullptr;
        }
        Node* c = cameraShapeOf(n.get());
        if (!c) inv.fail("Object " + name + " is not a camera.");
        return c;
    }
    View* v = activeView();
    Node* c = v ? viewCamera(*v) : nullptr;
    if (!c) inv.fail("There is no camera to work on.");
    return c;
}

std::string transformName(Node& shape) {
    Node* p = shape.parent();
    return p && !p->isWorld() ? p->name() : shape.name();
}

V3 usableUp(const V3& dir, const V3& preferred, const V3& fallback) {
    const V3 d = normalized(dir);
    for (const V3& c : {preferred, fallback, V3{0, 0, 1}})
        if (length(c) > 0 && length(cross(d, normalized(c))) > 1e-6) return c;
    return V3{1, 0, 0};
}

// --- viewPlace -------------------------------------------------------------------------------------------

bool viewPlaceCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("eye", "eyePoint", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("la", "lookAt", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("up", "upDirection", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("vd", "viewDirection", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("fov", "fieldOfView", {ArgType::Float})
        .flag("o", "ortho")
        .flag("p", "perspective")
        .flag("an", "animate", {ArgType::Bool});
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    if (a.has("o") && a.has("p"))
        return inv.fail("viewPlace: -ortho and -perspective cannot be used together.");
    Node* cam = cameraArg(inv, a.objects);
    if (!cam) return false;
    const CameraFrame f = readCamera(*cam);
    V3 eye = a.has("eye") ? flagVector(a, "eye", lin) : f.eye;
    V3 dir = f.dir;
    double coi = f.coi;
    if (a.has("la")) {
        // Aim at the point; it becomes the centre of interest.
        const V3 target = flagVector(a, "la", lin);
        dir = target - eye;
        coi = length(dir);
    } else if (a.has("vd")) {
        dir = flagVector(a, "vd", same);
    } else if (a.has("eye")) {
        // A new eye keeps looking at the old centre of interest.
        const V3 target = f.eye + f.dir * f.coi;
        if (length(target - eye) > 0) {
            dir = target - eye;
            coi = length(dir);
        }
    }
    if (length(dir) == 0) return inv.fail("viewPlace: the eye point and the look-at point are the same.");
    const V3 up = a.has("up") ? flagVector(a, "up", same) : usableUp(dir, V3{0, 1, 0}, f.up);
    if (length(cross(normalized(dir), normalized(up))) < 1e-9)
        return inv.fail("viewPlace: the up direction is parallel to the view direction.");
    return mel::undoable(inv, scene(), [&] {
        std::string error;
        if (!placeCamera(*cam, eye, dir, up, &error)) return inv.fail(error);
        if (coi > 0 && coi != f.coi && !setCameraAttr(*cam, "centerOfInterest", coi, &error))
            return inv.fail(error);
        if (a.has("fov")) {
            const double fov = ang(a.arg("fov").asFloat());
            if (!(fov > 0) || fov >= M_PI)
                return inv.fail("viewPlace: the field of view must lie between 0 and 180 degrees.");
            const double fl = 0.5 * cameraAttr(*cam, "horizontalFilmAperture") * 25.4 / std::tan(0.5 * fov);
            if (!setCameraAttr(*cam, "focalLength", fl, &error)) return inv.fail(error);
        }
        if ((a.has("o") || a.has("p")) && !setCameraAttr(*cam, "orthographic", a.has("o") ? 1 : 0, &error))
            return inv.fail(error);
        return true;
    });
}

// --- lookThru, setFocus
// -------------------------------------------------------------------------------------

bool lookThruCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.queryable = true;
    syn.maxObjects = 2;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    // lookThru [camera] [panel]; in query mode the only object is the panel.
    const size_t panelIndex = a.query ? 0 : 1;
    View* v = activeView();
    if (a.objects.size() > panelIndex) {
        const std::string name = a.objects[panelIndex].asString();
        v = viewByPanel(name);
        if (!v) return inv.fail("lookThru: '" + name + "' is not a model panel.");
    }
    if (!v) return inv.fail("lookThru: there is no model panel.");
    if (a.query) {
        Node* c = viewCamera(*v);
        inv.result = mel::Value(c ? transformName(*c) : std::string());
        return true;
    }
    if (a.objects.empty()) return inv.fail("lookThru: no camera given.");
    Node* cam = cameraArg(inv, a.objects);
    if (!cam) return false;
    setViewCamera(*v, *cam);
    return true;
}

bool setFocusCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.minObjects = 1;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    const std::string name = a.objects[0].asString();
    View* v = viewByPanel(name);
    if (!v) return inv.fail("setFocus: '" + name + "' is not a panel that can take the focus.");
    setActiveView(v->id);
    return true;
}

bool refreshCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("cv", "currentView").flag("f", "force").flag("su", "suspend", {ArgType::Bool});
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    if (a.has("su")) return true;
    if (a.has("cv")) {
        if (View* v = activeView()) ++v->refreshCount;
    } else {
        for (View& v : views()) ++v.refreshCount;
    }
    // Only the active view is on screen: it is the one drawn.
    std::string error;
    if (View* v = activeView(); v && !renderView(*v, &error)) return inv.fail("refresh: " + error);
    return true;
}

// --- camera
// ---------------------------------------------------------------------------------------------------

struct CameraNumber {
    const char* shortName;
    const char* longName;
    const char* attr;
    enum Kind { Plain, Distance } kind;
};

const CameraNumber kCameraNumbers[] = {
    {"fl", "focalLength", "focalLength", CameraNumber::Plain},
    {"hfa", "horizontalFilmAperture", "horizontalFilmAperture", CameraNumber::Plain},
    {"vfa", "verticalFilmAperture", "verticalFilmAperture", CameraNumber::Plain},
    {"ncp", "nearClipPlane", "nearClipPlane", CameraNumber::Distance},
    {"fcp", "farClipPlane", "farClipPlane", CameraNumber::Distance},
    {"ow", "orthographicWidth", "orthographicWidth", CameraNumber::Distance},
    {"coi", "centerOfInterest", "centerOfInterest", CameraNumber::Distance},
    {"cs", "cameraScale", "cameraScale", CameraNumber::Plain},
    {"lsr", "lensSqueezeRatio", "lensSqueezeRatio", CameraNumber::Plain},
};

mel::Syntax cameraSyntax() {
    mel::Syntax syn;
    syn.queryable = true;
    syn.editable = true;
    syn.maxObjects = 1;
    for (const CameraNumber& n : kCameraNumbers) syn.flag(n.shortName, n.longName, {ArgType::Float});
    syn.flag("p", "position", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("rot", "rotation", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("o", "orthographic", {ArgType::Bool})
        .flag("hfv", "horizontalFieldOfView", {ArgType::Float})
        .flag("vfv", "verticalFieldOfView", {ArgType::Float})
        .flag("ar", "aspectRatio", {ArgType::Float})
        .flag("wci", "worldCenterOfInterest", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("wup", "worldUp", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("n", "name", {ArgType::String});
    return syn;
}

bool cameraQuery(mel::Invocation& inv, const mel::ParsedArgs& a, Node& cam) {
    if (a.flags.empty()) return inv.fail("camera: no flag given to query.");
    const std::string flag = a.flags.front().def->shortName;
    const CameraFrame f = readCamera(cam);
    for (const CameraNumber& n : kCameraNumbers) {
        if (flag != n.shortName) continue;
        const double v = cameraAttr(cam, n.attr);
        inv.result = mel::Value(n.kind == CameraNumber::Distance ? linOut(v) : v);
        return true;
    }
    auto vec = [&](const V3& v, double (*convert)(double)) {
        inv.result = mel::Value(std::vector<double>{convert(v.x), convert(v.y), convert(v.z)});
        return true;
    };
    if (flag == "p") return vec(f.eye, linOut);
    if (flag == "rot") {
        Node* xf = cam.parent();
        Plug r = xf && !xf->isWorld() ? xf->findPlug("rotate") : Plug();
        std::vector<double> v = r.isNull() ? std::vector<double>{} : scene().evaluate(r).asNumbers();
        v.resize(3, 0.0);
        return vec(V3{v[0], v[1], v[2]}, angOut);
    }
    if (flag == "o") {
        inv.result = mel::Value(cameraAttr(cam, "orthographic") != 0);
        return true;
    }
    if (flag == "hfv" || flag == "vfv") {
        inv.result = mel::Value(angOut(flag == "hfv" ? horizontalFov(cam) : verticalFov(cam)));
        return true;
    }
    if (flag == "ar") {
        const double vfa = cameraAttr(cam, "verticalFilmAperture");
        inv.result = mel::Value(vfa > 0 ? cameraAttr(cam, "horizontalFilmAperture") / vfa : 0.0);
        return true;
    }
    if (flag == "wci") return vec(f.eye + f.dir * f.coi, linOut);
    if (flag == "wup") return vec(f.up, same);
    return inv.fail("camera: the flag -" + flag + " cannot be queried.");
}

// Applies the edit flags to a camera shape, inside the caller's recording.
bool cameraEdit(mel::Invocation& inv, const mel::ParsedArgs& a, Node& cam) {
    std::string error;
    for (const CameraNumber& n : kCameraNumbers) {
        if (!a.has(n.shortName)) continue;
        double v = a.arg(n.shortName).asFloat();
        if (n.kind == CameraNumber::Distance) v = lin(v);
        if (!setCameraAttr(cam, n.attr, v, &error)) return inv.fail(error);
    }
    if (a.has("o") && !setCameraAttr(cam, "orthographic", a.arg("o").asBool() ? 1 : 0, &error))
        return inv.fail(error);
    if (a.has("ar")) {
        const double ar = a.arg("ar").asFloat();
        if (!(ar > 0)) return inv.fail("camera: the aspect ratio must be positive.");
        if (!setCameraAttr(cam, "verticalFilmAperture", cameraAttr(cam, "horizontalFilmAperture") / ar,
                           &error))
            return inv.fail(error);
    }
    for (const char* side : {"hfv", "vfv"}) {
        if (!a.has(side)) continue;
        const double fov = ang(a.arg(side).asFloat());
        if (!(fov > 0) || fov >= M_PI)
            return inv.fail("camera: the field of view must lie between 0 and 180 degrees.");
        const char* aperture = side[0] == 'h' ? "horizontalFilmAperture" : "verticalFilmAperture";
        if (!setCameraAttr(cam, "focalLength", 0.5 * cameraAttr(cam, aperture) * 25.4 / std::tan(0.5 * fov),
                           &error))
            return inv.fail(error);
    }
    Node* xf = cam.parent();
    if ((a.has("p") || a.has("rot")) && (!xf || xf->isWorld()))
        return inv.fail("camera: the camera has no transform.");
    if (a.has("rot")) {
        Plug r = xf->findPlug("rotate");
        const V3 v = flagVector(a, "rot", ang);
        if (!scene().setValue(r, Value(std::vector<double>{v.x, v.y, v.z}), &error)) return inv.fail(error);
    }
    if (a.has("p")) {
        const CameraFrame f = readCamera(cam);
        if (!placeCamera(cam, flagVector(a, "p", lin), f.dir, f.up, &error)) return inv.fail(error);
    }
    if (a.has("wci") || a.has("wup")) {
        // Aim at a world point (it becomes the centre of interest) and/or roll to a world up vector.
        const CameraFrame f = readCamera(cam);
        V3 dir = f.dir;
        if (a.has("wci")) {
            dir = flagVector(a, "wci", lin) - f.eye;
            if (length(dir) == 0) return inv.fail("camera: the centre of interest lies on the eye point.");
            if (!setCameraAttr(cam, "centerOfInterest", length(dir), &error)) return inv.fail(error);
        }
        const V3 up = a.has("wup") ? flagVector(a, "wup", same) : usableUp(dir, f.up, V3{0, 1, 0});
        if (!placeCamera(cam, f.eye, dir, up, &error)) return inv.fail(error);
    }
    return true;
}

bool cameraCmd(mel::Invocation& inv) {
    static const mel::Syntax syn = cameraSyntax();
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    if (a.query || a.edit) {
        Node* cam = cameraArg(inv, a.objects);
        if (!cam) return false;
        if (a.query) return cameraQuery(inv, a, *cam);
        return mel::undoable(inv, scene(), [&] { return cameraEdit(inv, a, *cam); });
    }
    // Create: a camera shape under a new transform ("camera1" / "cameraShape1").
    return mel::undoable(inv, scene(), [&] {
        std::string error;
        std::string name = a.has("n") ? a.arg("n").asString() : std::string("camera#");
        NodePtr xf = scene().createNode("transform", name, nullptr, &error);
        if (!xf) return inv.fail(error);
        // "camera1" -> "cameraShape1".
        const std::string shapeName = Scene::shapeNameFor(xf->name());
        NodePtr shape = scene().createNode("camera", shapeName, xf.get(), &error);
        if (!shape) return inv.fail(error);
        if (!cameraEdit(inv, a, *shape)) return false;
        inv.result = mel::Value(std::vector<std::string>{xf->name(), shape->name()});
        return true;
    });
}

// --- the host's own view commands
// -------------------------------------------------------------------------------

// The arguments of the view port commands, "[-p panel] x y | -q", and the view of the panel they name
// (the active one without -p); null when they do not parse or name no view.
View* portCommandView(mel::Invocation& inv, mel::ParsedArgs& a) {
    mel::Syntax syn;
    syn.queryable = true;
    syn.flag("p", "panel", {ArgType::String});
    syn.flags.back().queryWithArgs = true;  // -q -p modelPanel1 names the panel to query
    syn.maxObjects = 2;
    if (!mel::parseArgs(inv, syn, a)) return nullptr;
    return panelView(inv, a);
}

// kxhViewSize [-p panel] width height | -q: the port size of a view.
bool viewSizeCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    View* v = portCommandView(inv, a);
    if (!v) return false;
    if (a.query) {
        inv.result = mel::Value(std::vector<int>{v->width, v->height});
        return true;
    }
    if (a.objects.size() != 2) return inv.fail("kxhViewSize: give the width and the height.");
    const long w = a.objects[0].asInt(), h = a.objects[1].asInt();
    if (w < 1 || h < 1 || w > 32767 || h > 32767)
        return inv.fail("kxhViewSize: a port measures 1 to 32767 pixels.");
    setPortSize(*v, int(w), int(h));
    return true;
}

// kxhViewCursor [-p panel] x y | -q: the cursor as a port position of a view (origin at the bottom left).
bool viewCursorCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    View* v = portCommandView(inv, a);
    if (!v) return false;
    if (a.query) {
        int x, y;
        cursorInView(*v, x, y);
        inv.result = mel::Value(std::vector<int>{x, y});
        return true;
    }
    if (a.objects.size() != 2) return inv.fail("kxhViewCursor: give the x and y port position.");
    setCursorInView(*v, int(a.objects[0].asInt()), int(a.objects[1].asInt()));
    return true;
}

// kxhScreenCursor x y | -q: the cursor in screen coordinates (y down).
bool screenCursorCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.queryable = true;
    syn.maxObjects = 2;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    if (a.query) {
        int x, y;
        cursorScreen(x, y);
        inv.result = mel::Value(std::vector<int>{x, y});
        return true;
    }
    if (a.objects.size() != 2) return inv.fail("kxhScreenCursor: give the x and y screen position.");
    setCursorScreen(int(a.objects[0].asInt()), int(a.objects[1].asInt()));
    return true;
}

void afterNewScene(void*) {
    resetViews(Scene::current(), false);
}

}  // namespace

void registerViewCommands(mel::CommandRegistry& registry,
                          const std::function<void(std::function<void()>)>& addResetHook) {
    ensureCameraType();
    registry.add({"viewPlace", viewPlaceCmd, nullptr});
    registry.add({"lookThru", lookThruCmd, nullptr});
    registry.add({"camera", cameraCmd, std::make_shared<mel::Syntax>(cameraSyntax())});
    registry.add({"setFocus", setFocusCmd, nullptr});
    registry.add({"refresh", refreshCmd, nullptr});
    registerRenderCommands(registry, addResetHook);
    registry.add({"kxhViewSize", viewSizeCmd, nullptr});
    registry.add({"kxhViewCursor", viewCursorCmd, nullptr});
    registry.add({"kxhScreenCursor", screenCursorCmd, nullptr});
    MSceneMessage::addCallback(MSceneMessage::kAfterNew, afterNewScene);
    resetViews(Scene::current(), true);
    if (addResetHook) addResetHook([] { resetViews(Scene::current(), true); });
}

}  // namespace kxh
