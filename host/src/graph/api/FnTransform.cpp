// MFnTransform over the scene's transform nodes: translation, rotation and scale read from and written to
// the node's plugs.
#include <maya/MEulerRotation.h>
#include <maya/MFnTransform.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <algorithm>

#include "graph/api/ApiObject.h"
#include "graph/core/Scene.h"

using namespace kxh;

// --- MFnTransform ------------------------------------------------------------------------------------------

MFnTransform::MFnTransform() = default;
MFnTransform::MFnTransform(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}
MFnTransform::MFnTransform(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}
MFnTransform::MFnTransform(const MDagPath& path, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(path));
}
MFnTransform::~MFnTransform() = default;
MFn::Type MFnTransform::type() const {
    return MFn::kTransform;
}
const char* MFnTransform::className() {
    return "MFnTransform";
}

MObject MFnTransform::create(MObject& parent, MStatus* ReturnStatus) {
    return MFnDagNode::create(MString("transform"), parent, ReturnStatus);
}

namespace {

Node* xformNode(const MObject& o) {
    NodePtr n = nodeOf(o);
    return n && n->isTransform() ? n.get() : nullptr;
}

std::vector<double> tupleOf(Node& n, const char* name, std::vector<double> fallback) {
    Plug p = n.findPlug(name);
    if (p.isNull()) return fallback;
    std::vector<double> v = p.value().asNumbers();
    return v.size() == 3 ? v : fallback;
}

MStatus setTuple(Node& n, const char* name, const std::vector<double>& v) {
    Plug p = n.findPlug(name);
    if (p.isNull()) return MS::kFailure;
    return n.scene().setValue(p, Value(v)) ? MS::kSuccess : MS::kFailure;
}

MEulerRotation::RotationOrder rotateOrderOf(Node& n) {
    Plug p = n.findPlug("rotateOrder");
    int o = p.isNull() ? 0 : p.asInt();
    return MEulerRotation::RotationOrder(std::max(0, std::min(o, 5)));
}

MEulerRotation eulerOf(Node& n) {
    std::vector<double> r = tupleOf(n, "rotate", {0, 0, 0});
    return MEulerRotation(r[0], r[1], r[2], rotateOrderOf(n));
}

MStatus setEuler(Node& n, const MEulerRotation& r) {
    MEulerRotation inOrder = r.reorder(rotateOrderOf(n));
    return setTuple(n, "rotate", {inOrder.x, inOrder.y, inOrder.z});
}

}  // namespace

// The transform's local matrix: translation, rotation (in its rotate order) and scale.
MTransformationMatrix MFnTransform::transformation(MStatus* ReturnStatus) const {
    Node* n = xformNode(object_);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kInvalidParameter);
    if (!n) return MTransformationMatrix();
    MTransformationMatrix tm;
    std::vector<double> s = tupleOf(*n, "scale", {1, 1, 1});
    std::vector<double> t = tupleOf(*n, "translate", {0, 0, 0});
    tm.setScale(s.data(), MSpace::kTransform);
    tm.rotateTo(eulerOf(*n));
    tm.setTranslation(MVector(t[0], t[1], t[2]), MSpace::kTransform);
    return tm;
}

MStatus MFnTransform::set(const MTransformationMatrix& transform) {
    Node* n = xformNode(object_);
    if (!n) return MS::kInvalidParameter;
    double s[3];
    transform.getScale(s, MSpace::kTransform);
    MVector t = transform.getTranslation(MSpace::kTransform);
    MStatus st = setTuple(*n, "translate", {t.x, t.y, t.z});
    if (st) st = setEuler(*n, transform.eulerRotation());
    if (st) st = setTuple(*n, "scale", {s[0], s[1], s[2]});
    return st;
}

MVector MFnTransform::translation(MSpace::Space space, MStatus* ReturnStatus) const {
    Node* n = xformNode(object_);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kInvalidParameter);
    if (!n) return MVector();
    if (space == MSpace::kWorld) {
        Node* p = pathNode(path_);
        const Matrix44 m = (p ? p : n)->inclusiveMatrix();
        return MVector(m.m[3][0], m.m[3][1], m.m[3][2]);
    }
    std::vector<double> t = tupleOf(*n, "translate", {0, 0, 0});
    return MVector(t[0], t[1], t[2]);
}

MStatus MFnTransform::setTranslation(const MVector& vec, MSpace::Space space) {
    Node* n = xformNode(object_);
    if (!n) return MS::kInvalidParameter;
    MVector local = vec;
    if (space == MSpace::kWorld) {
        // The translation that puts the transform's origin at vec in world space.
        MPoint p = MPoint(vec) * toMMatrix(n->exclusiveMatrix()).inverse();
        local = MVector(p.x, p.y, p.z);
    }
    return setTuple(*n, "translate", {local.x, local.y, local.z});
}

MStatus MFnTransform::translateBy(const MVector& vec, MSpace::Space space) {
    Node* n = xformNode(object_);
    if (!n) return MS::kInvalidParameter;
    if (space == MSpace::kWorld) return setTranslation(translation(MSpace::kWorld) + vec, MSpace::kWorld);
    return setTranslation(translation(MSpace::kTransform) + vec, MSpace::kTransform);
}

MStatus MFnTransform::getScale(double scale[3]) const {
    Node* n = xformNode(object_);
    if (!n) return MS::kInvalidParameter;
    std::vector<double> s = tupleOf(*n, "scale", {1, 1, 1});
    std::copy(s.begin(), s.end(), scale);
    return MS::kSuccess;
}

MStatus MFnTransform::setScale(const double scale[3]) {
    Node* n = xformNode(object_);
    if (!n) return MS::kInvalidParameter;
    return setTuple(*n, "scale", {scale[0], scale[1], scale[2]});
}

MStatus MFnTransform::scaleBy(const double scale[3]) {
    double s[3];
    MStatus st = getScale(s);
    if (!st) return st;
    for (int i = 0; i < 3; ++i) s[i] *= scale[i];
    return setScale(s);
}

MStatus MFnTransform::getRotation(MEulerRotation& rotation) const {
    Node* n = xformNode(object_);
    if (!n) return MS::kInvalidParameter;
    rotation = eulerOf(*n);
    return MS::kSuccess;
}

MStatus MFnTransform::setRotation(const MEulerRotation& rotation) {
    Node* n = xformNode(object_);
    return n ? setEuler(*n, rotation) : MStatus(MS::kInvalidParameter);
}

MStatus MFnTransform::rotateBy(const MEulerRotation& rotation, MSpace::Space space) {
    return rotateBy(rotation.asQuaternion(), space);
}

MStatus MFnTransform::getRotation(MQuaternion& quaternion, MSpace::Space space) const {
    Node* n = xformNode(object_);
    if (!n) return MS::kInvalidParameter;
    quaternion = eulerOf(*n).asQuaternion();
    if (space == MSpace::kWorld) {
        // The parents' rotations follow this one (row vectors).
        MQuaternion parent;
        parent = toMMatrix(n->exclusiveMatrix());
        quaternion = quaternion * parent.normal();
    }
    return MS::kSuccess;
}

MStatus MFnTransform::setRotation(const MQuaternion& quaternion, MSpace::Space space) {
    Node* n = xformNode(object_);
    if (!n) return MS::kInvalidParameter;
    MQuaternion local = quaternion;
    if (space == MSpace::kWorld) {
        MQuaternion parent;
        parent = toMMatrix(n->exclusiveMatrix());
        local = quaternion * parent.normal().inverse();
    }
    return setEuler(*n, local.asEulerRotation());
}

MStatus MFnTransform::rotateBy(const MQuaternion& quaternion, MSpace::Space space) {
    MQuaternion current;
    MStatus st = getRotation(current, space);
    if (!st) return st;
    return setRotation(current * quaternion, space);
}
