// MFnCamera over camera shapes (view/Camera.h). World-space answers follow the camera's one DAG path.
#include <maya/MFloatMatrix.h>
#include <maya/MFnCamera.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <cmath>

#include "graph/api/ApiObject.h"
#include "view/Camera.h"

using namespace kxh;
using namespace kxh::view;

namespace {

constexpr double kMmPerInch = 25.4;

V3 v3(const MPoint& p) {
    return V3{p.x / p.w, p.y / p.w, p.z / p.w};
}
V3 v3(const MVector& v) {
    return V3{v.x, v.y, v.z};
}
MPoint mpoint(const V3& p) {
    return MPoint(p.x, p.y, p.z);
}
MVector mvector(const V3& v) {
    return MVector(v.x, v.y, v.z);
}

bool isWorld(MSpace::Space space) {
    return space == MSpace::kWorld;
}

// An up vector to turn with: the current one unless it is (nearly) parallel to the new direction.
V3 usableUp(const V3& dir, const V3& up) {
    const V3 d = normalized(dir);
    for (const V3& candidate : {up, V3{0, 1, 0}, V3{0, 0, 1}})
        if (length(cross(d, normalized(candidate))) > 1e-6) return candidate;
    return V3{1, 0, 0};
}

MStatus statusOf(bool ok) {
    return ok ? MS::kSuccess : MS::kFailure;
}

}  // namespace

// The live camera shape the set is attached to, or null (and a failure status).
static Node* cameraOf(const MObject& object, MStatus* status) {
    NodePtr n = nodeOf(object);
    Node* c = n && n->alive() && isCamera(*n) ? n.get() : nullptr;
    setStatus(status, c ? MS::kSuccess : MS::kFailure);
    return c;
}

// A camera attribute; 0 when the set is not on a camera.
static double readCameraAttr(const MObject& object, const char* name, MStatus* status) {
    Node* c = cameraOf(object, status);
    return c ? cameraAttr(*c, name) : 0.0;
}

// Sets a camera attribute that takes only positive values (distances, lengths, apertures).
static MStatus setPositiveCameraAttr(const MObject& object, const char* name, double value) {
    Node* c = cameraOf(object, nullptr);
    if (!c) return MS::kFailure;
    if (!(value > 0)) return MS::kInvalidParameter;
    return statusOf(setCameraAttr(*c, name, value));
}

MFnCamera::MFnCamera() = default;
MFnCamera::MFnCamera(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}
MFnCamera::MFnCamera(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}
MFnCamera::MFnCamera(const MDagPath& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}
MFnCamera::~MFnCamera() = default;
MFn::Type MFnCamera::type() const {
    return MFn::kCamera;
}
const char* MFnCamera::className() {
    return "MFnCamera";
}

MStatus MFnCamera::setObject(const MDagPath& path) {
    Node* n = path.isValid() ? pathNode(path) : nullptr;
    Node* c = cameraShapeOf(n);
    if (!c) {
        object_ = MObject();
        path_ = MDagPath();
        return MS::kInvalidParameter;
    }
    MDagPath p = path;
    if (c != n) p.push(wrapNode(c));
    object_ = wrapNode(c);
    path_ = p;
    return MS::kSuccess;
}

MStatus MFnCamera::setObject(MObject& object) {
    return setObject(static_cast<const MObject&>(object));
}

MStatus MFnCamera::setObject(const MObject& object) {
    path_ = MDagPath();
    NodePtr n = nodeOf(object);
    if (!n || !n->alive() || !isCamera(*n)) {
        object_ = MObject();
        return MS::kInvalidParameter;
    }
    object_ = object;
    return MS::kSuccess;
}

MObject MFnCamera::create(MStatus* ReturnStatus) {
    ensureCameraType();
    return MFnDagNode::create(MString("camera"), MObject::kNullObj, ReturnStatus);
}

MObject MFnCamera::create(MObject& parent, MStatus* ReturnStatus) {
    ensureCameraType();
    return MFnDagNode::create(MString("camera"), parent, ReturnStatus);
}

// --- placement ---------------------------------------------------------------------------------------------

MPoint MFnCamera::eyePoint(MSpace::Space space, MStatus* ReturnStatus) const {
    Node* c = cameraOf(object_, ReturnStatus);
    if (!c || !isWorld(space)) return MPoint(0, 0, 0);
    return mpoint(readCamera(*c).eye);
}

MVector MFnCamera::viewDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    Node* c = cameraOf(object_, ReturnStatus);
    if (!c || !isWorld(space)) return MVector(0, 0, -1);
    return mvector(readCamera(*c).dir);
}

MVector MFnCamera::upDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    Node* c = cameraOf(object_, ReturnStatus);
    if (!c || !isWorld(space)) return MVector(0, 1, 0);
    return mvector(readCamera(*c).up);
}

MVector MFnCamera::rightDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    Node* c = cameraOf(object_, ReturnStatus);
    if (!c || !isWorld(space)) return MVector(1, 0, 0);
    return mvector(readCamera(*c).right);
}

MPoint MFnCamera::centerOfInterestPoint(MSpace::Space space, MStatus* ReturnStatus) const {
    Node* c = cameraOf(object_, ReturnStatus);
    if (!c) return MPoint(0, 0, 0);
    const CameraFrame f = readCamera(*c);
    if (!isWorld(space)) return MPoint(0, 0, -f.coi);
    return mpoint(f.eye + f.dir * f.coi);
}

MStatus MFnCamera::set(const MPoint& wsEyeLocation, const MVector& wsViewDirection,
                       const MVector& wsUpDirection, double horizFieldOfView, double aspectRatio) {
    Node* c = cameraOf(object_, nullptr);
    if (!c || !(horizFieldOfView > 0) || !(aspectRatio > 0)) return MS::kInvalidParameter;
    if (!placeCamera(*c, v3(wsEyeLocation), v3(wsViewDirection), v3(wsUpDirection)))
        return MS::kInvalidParameter;
    MStatus st = setAspectRatio(aspectRatio);
    return st ? setHorizontalFieldOfView(horizFieldOfView) : st;
}

MStatus MFnCamera::setEyePoint(const MPoint& eyeLocation, MSpace::Space space) {
    Node* c = cameraOf(object_, nullptr);
    if (!c) return MS::kFailure;
    // The centre of interest stays where it is: the camera turns to face it from the new eye.
    const CameraFrame f = readCamera(*c);
    const V3 target = f.eye + f.dir * f.coi;
    const V3 eye = isWorld(space) ? v3(eyeLocation) : c->inclusiveMatrix().transformPoint(v3(eyeLocation));
    const V3 dir = target - eye;
    if (length(dir) == 0) return statusOf(placeCamera(*c, eye, f.dir, f.up));
    if (!placeCamera(*c, eye, dir, usableUp(dir, f.up))) return MS::kFailure;
    return statusOf(setCameraAttr(*c, "centerOfInterest", length(dir)));
}

MStatus MFnCamera::setViewDirection(const MVector& viewDirection, MSpace::Space space) {
    Node* c = cameraOf(object_, nullptr);
    if (!c) return MS::kFailure;
    const CameraFrame f = readCamera(*c);
    const V3 dir =
        isWorld(space) ? v3(viewDirection) : c->inclusiveMatrix().transformVector(v3(viewDirection));
    if (length(dir) == 0) return MS::kInvalidParameter;
    return statusOf(placeCamera(*c, f.eye, dir, usableUp(dir, f.up)));
}

MStatus MFnCamera::setCenterOfInterestPoint(const MPoint& centerOfInterest, MSpace::Space space) {
    Node* c = cameraOf(object_, nullptr);
    if (!c) return MS::kFailure;
    const CameraFrame f = readCamera(*c);
    const V3 p =
        isWorld(space) ? v3(centerOfInterest) : c->inclusiveMatrix().transformPoint(v3(centerOfInterest));
    const V3 dir = p - f.eye;
    if (length(dir) == 0) return MS::kInvalidParameter;
    if (!placeCamera(*c, f.eye, dir, usableUp(dir, f.up))) return MS::kFailure;
    return statusOf(setCameraAttr(*c, "centerOfInterest", length(dir)));
}

double MFnCamera::centerOfInterest(MStatus* ReturnStatus) const {
    return readCameraAttr(object_, "centerOfInterest", ReturnStatus);
}

MStatus MFnCamera::setCenterOfInterest(double dist) {
    return setPositiveCameraAttr(object_, "centerOfInterest", dist);
}

// --- lens ------------------------------------------------------------------------------------------------

double MFnCamera::horizontalFieldOfView(MStatus* ReturnStatus) const {
    Node* c = cameraOf(object_, ReturnStatus);
    return c ? horizontalFov(*c) : 0.0;
}

double MFnCamera::verticalFieldOfView(MStatus* ReturnStatus) const {
    Node* c = cameraOf(object_, ReturnStatus);
    return c ? verticalFov(*c) : 0.0;
}

// A field of view is reached by changing the focal length against the aperture of that side.
MStatus MFnCamera::setHorizontalFieldOfView(double fov) {
    Node* c = cameraOf(object_, nullptr);
    if (!c) return MS::kFailure;
    if (!(fov > 0) || fov >= M_PI) return MS::kInvalidParameter;
    const double fl = 0.5 * cameraAttr(*c, "horizontalFilmAperture") * kMmPerInch / std::tan(0.5 * fov);
    return statusOf(setCameraAttr(*c, "focalLength", fl));
}

MStatus MFnCamera::setVerticalFieldOfView(double fov) {
    Node* c = cameraOf(object_, nullptr);
    if (!c) return MS::kFailure;
    if (!(fov > 0) || fov >= M_PI) return MS::kInvalidParameter;
    const double fl = 0.5 * cameraAttr(*c, "verticalFilmAperture") * kMmPerInch / std::tan(0.5 * fov);
    return statusOf(setCameraAttr(*c, "focalLength", fl));
}

double MFnCamera::aspectRatio(MStatus* ReturnStatus) const {
    Node* c = cameraOf(object_, ReturnStatus);
    if (!c) return 0.0;
    const double v = cameraAttr(*c, "verticalFilmAperture");
    return v > 0 ? cameraAttr(*c, "horizontalFilmAperture") / v : 0.0;
}

// The horizontal aperture stays; the vertical one follows the ratio.
MStatus MFnCamera::setAspectRatio(double aspectRatio) {
    Node* c = cameraOf(object_, nullptr);
    if (!c) return MS::kFailure;
    if (!(aspectRatio > 0)) return MS::kInvalidParameter;
    return statusOf(
        setCameraAttr(*c, "verticalFilmAperture", cameraAttr(*c, "horizontalFilmAperture") / aspectRatio));
}

double MFnCamera::focalLength(MStatus* ReturnStatus) const {
    return readCameraAttr(object_, "focalLength", ReturnStatus);
}

MStatus MFnCamera::setFocalLength(double focalLength) {
    return setPositiveCameraAttr(object_, "focalLength", focalLength);
}

double MFnCamera::horizontalFilmAperture(MStatus* ReturnStatus) const {
    return readCameraAttr(object_, "horizontalFilmAperture", ReturnStatus);
}

MStatus MFnCamera::setHorizontalFilmAperture(double hFilmAperture) {
    return setPositiveCameraAttr(object_, "horizontalFilmAperture", hFilmAperture);
}

double MFnCamera::verticalFilmAperture(MStatus* ReturnStatus) const {
    return readCameraAttr(object_, "verticalFilmAperture", ReturnStatus);
}

MStatus MFnCamera::setVerticalFilmAperture(double vFilmAperture) {
    return setPositiveCameraAttr(object_, "verticalFilmAperture", vFilmAperture);
}

// A view spans the camera's horizontal field of view across its width (see view/Projection.h).
MStatus MFnCamera::getPortFieldOfView(int width, int height, double& horizontalFOV,
                                      double& verticalFOV) const {
    Node* c = cameraOf(object_, nullptr);
    if (!c) return MS::kFailure;
    if (width <= 0 || height <= 0) return MS::kInvalidParameter;
    horizontalFOV = horizontalFov(*c);
    verticalFOV = 2.0 * std::atan(std::tan(0.5 * horizontalFOV) * double(height) / double(width));
    return MS::kSuccess;
}

// --- clipping and projection -------------------------------------------------------------------------------

double MFnCamera::nearClippingPlane(MStatus* ReturnStatus) const {
    return readCameraAttr(object_, "nearClipPlane", ReturnStatus);
}

double MFnCamera::farClippingPlane(MStatus* ReturnStatus) const {
    return readCameraAttr(object_, "farClipPlane", ReturnStatus);
}

MStatus MFnCamera::setNearClippingPlane(double dNear) {
    Node* c = cameraOf(object_, nullptr);
    if (!c) return MS::kFailure;
    if (!(dNear > 0) || dNear >= cameraAttr(*c, "farClipPlane")) return MS::kInvalidParameter;
    return statusOf(setCameraAttr(*c, "nearClipPlane", dNear));
}

MStatus MFnCamera::setFarClippingPlane(double dFar) {
    Node* c = cameraOf(object_, nullptr);
    if (!c) return MS::kFailure;
    if (!(dFar > cameraAttr(*c, "nearClipPlane"))) return MS::kInvalidParameter;
    return statusOf(setCameraAttr(*c, "farClipPlane", dFar));
}

MStatus MFnCamera::setNearFarClippingPlanes(double dNear, double dFar) {
    Node* c = cameraOf(object_, nullptr);
    if (!c) return MS::kFailure;
    if (!(dNear > 0) || !(dFar > dNear)) return MS::kInvalidParameter;
    return statusOf(setCameraAttr(*c, "nearClipPlane", dNear) && setCameraAttr(*c, "farClipPlane", dFar));
}

bool MFnCamera::isOrtho(MStatus* ReturnStatus) const {
    Node* c = cameraOf(object_, ReturnStatus);
    return c && cameraAttr(*c, "orthographic") != 0;
}

MStatus MFnCamera::setIsOrtho(bool orthoState, double useDist) {
    Node* c = cameraOf(object_, nullptr);
    if (!c) return MS::kFailure;
    if (useDist > 0) {
        // Keep what the view spans at that distance.
        if (orthoState && cameraAttr(*c, "orthographic") == 0) {
            if (!setCameraAttr(*c, "orthographicWidth", 2.0 * useDist * std::tan(0.5 * horizontalFov(*c))))
                return MS::kFailure;
        } else if (!orthoState && cameraAttr(*c, "orthographic") != 0) {
            const double half = 0.5 * cameraAttr(*c, "orthographicWidth");
            const double fl = 0.5 * cameraAttr(*c, "horizontalFilmAperture") * kMmPerInch * useDist / half;
            if (half > 0 && !setCameraAttr(*c, "focalLength", fl)) return MS::kFailure;
        }
    }
    return statusOf(setCameraAttr(*c, "orthographic", orthoState ? 1 : 0));
}

double MFnCamera::orthoWidth(MStatus* ReturnStatus) const {
    return readCameraAttr(object_, "orthographicWidth", ReturnStatus);
}

MStatus MFnCamera::setOrthoWidth(double orthoWidth) {
    return setPositiveCameraAttr(object_, "orthographicWidth", orthoWidth);
}

MFloatMatrix MFnCamera::projectionMatrix(MStatus* ReturnStatus) const {
    Node* c = cameraOf(object_, ReturnStatus);
    if (!c) return MFloatMatrix();
    const CameraFrame f = readCamera(*c);
    const double aspect = aspectRatio();
    const double n = f.nearClip, fa = f.farClip;
    double m[4][4] = {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}};
    if (f.ortho) {
        const double hw = 0.5 * f.orthoWidth, hh = aspect > 0 ? hw / aspect : hw;
        m[0][0] = 1.0 / hw;
        m[1][1] = 1.0 / hh;
        m[2][2] = -2.0 / (fa - n);
        m[3][2] = -(fa + n) / (fa - n);
        m[3][3] = 1.0;
    } else {
        m[0][0] = 1.0 / std::tan(0.5 * f.hFov);
        m[1][1] = 1.0 / std::tan(0.5 * f.vFov);
        m[2][2] = -(fa + n) / (fa - n);
        m[2][3] = -1.0;
        m[3][2] = -2.0 * fa * n / (fa - n);
    }
    return MFloatMatrix(m);
}
