// MItMeshFaceVertex over MFnMesh: the corners are listed when the iterator starts (face by face, corner
// order), every query reads the mesh as it is now.
#include <maya/MColorArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshFaceVertex.h>

MItMeshFaceVertex::MItMeshFaceVertex(const MDagPath& polyObject, MObject component, MStatus* ReturnStatus) {
    const bool ok = attach(&polyObject, nullptr, component);
    if (ReturnStatus) *ReturnStatus = ok ? MS::kSuccess : MS::kInvalidParameter;
}

MItMeshFaceVertex::MItMeshFaceVertex(MObject& polyObject, MStatus* ReturnStatus) {
    const bool ok = attach(nullptr, &polyObject, MObject::kNullObj);
    if (ReturnStatus) *ReturnStatus = ok ? MS::kSuccess : MS::kInvalidParameter;
}

MItMeshFaceVertex::~MItMeshFaceVertex() = default;

bool MItMeshFaceVertex::attach(const MDagPath* path, const MObject* object, const MObject& component) {
    MStatus st;
    mesh_ = path ? std::make_unique<MFnMesh>(*path, &st) : std::make_unique<MFnMesh>(*object, &st);
    restricted_ = false;
    faces_.clear();
    if (st && !component.isNull()) {
        // Only face components restrict the walk; a corner component names faces as its first index.
        MIntArray ids;
        MFnSingleIndexedComponent fn(component, &st);
        if (st && component.hasFn(MFn::kMeshPolygonComponent) && fn.getElements(ids)) {
            restricted_ = true;
            faces_.assign(ids.vec().begin(), ids.vec().end());
        } else {
            st = MS::kInvalidParameter;
        }
    }
    if (!st) mesh_.reset();
    collect();
    return bool(st);
}

void MItMeshFaceVertex::collect() {
    corners_.clear();
    at_ = 0;
    if (!mesh_) return;
    std::vector<int> faces = faces_;
    if (!restricted_)
        for (int f = 0; f < mesh_->numPolygons(); ++f) faces.push_back(f);
    for (int f : faces) {
        if (f < 0 || f >= mesh_->numPolygons()) continue;
        for (int c = 0; c < mesh_->polygonVertexCount(f); ++c) corners_.emplace_back(f, c);
    }
}

MStatus MItMeshFaceVertex::reset() {
    collect();
    return mesh_ ? MStatus(MS::kSuccess) : MStatus(MS::kFailure);
}
MStatus MItMeshFaceVertex::reset(const MObject& polyObject) {
    MObject o = polyObject;
    return attach(nullptr, &o, MObject::kNullObj) ? MStatus(MS::kSuccess) : MStatus(MS::kInvalidParameter);
}
MStatus MItMeshFaceVertex::reset(const MDagPath& polyObject, const MObject& component) {
    return attach(&polyObject, nullptr, component) ? MStatus(MS::kSuccess) : MStatus(MS::kInvalidParameter);
}

MStatus MItMeshFaceVertex::next() {
    if (at_ >= corners_.size()) return MS::kFailure;
    ++at_;
    return MS::kSuccess;
}

bool MItMeshFaceVertex::isDone(MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return at_ >= corners_.size();
}

int MItMeshFaceVertex::faceId(MStatus* ReturnStatus) const {
    const bool ok = at_ < corners_.size();
    if (ReturnStatus) *ReturnStatus = ok ? MS::kSuccess : MS::kFailure;
    return ok ? corners_[at_].first : -1;
}

int MItMeshFaceVertex::faceVertId(MStatus* ReturnStatus) const {
    const bool ok = at_ < corners_.size();
    if (ReturnStatus) *ReturnStatus = ok ? MS::kSuccess : MS::kFailure;
    return ok ? corners_[at_].second : -1;
}

int MItMeshFaceVertex::vertId(MStatus* ReturnStatus) const {
    if (at_ >= corners_.size()) {
        if (ReturnStatus) *ReturnStatus = MS::kFailure;
        return -1;
    }
    MIntArray verts;
    MStatus st = mesh_->getPolygonVertices(corners_[at_].first, verts);
    if (ReturnStatus) *ReturnStatus = st;
    return st && unsigned(corners_[at_].second) < verts.length() ? verts[unsigned(corners_[at_].second)] : -1;
}

MStatus MItMeshFaceVertex::setIndex(int faceId, int faceVertexId, int& prevFaceId, int& prevFaceVertexId) {
    prevFaceId = this->faceId();
    prevFaceVertexId = faceVertId();
    for (size_t i = 0; i < corners_.size(); ++i)
        if (corners_[i].first == faceId && corners_[i].second == faceVertexId) {
            at_ = i;
            return MS::kSuccess;
        }
    return MS::kInvalidParameter;
}

MPoint MItMeshFaceVertex::position(MSpace::Space space, MStatus* ReturnStatus) {
    MStatus st;
    const int v = vertId(&st);
    MPoint p;
    if (st) st = mesh_->getPoint(v, p, space);
    if (ReturnStatus) *ReturnStatus = st;
    return p;
}

MStatus MItMeshFaceVertex::getNormal(MVector& normal, MSpace::Space space) {
    MStatus st;
    const int v = vertId(&st);
    return st ? mesh_->getFaceVertexNormal(faceId(), v, normal, space) : st;
}

MStatus MItMeshFaceVertex::getUVIndex(int& index, const MString* uvSet) {
    if (isDone()) return MS::kFailure;
    return mesh_->getPolygonUVid(faceId(), faceVertId(), index, uvSet);
}

MStatus MItMeshFaceVertex::getUV(float2& uvPoint, const MString* uvSet) {
    if (isDone()) return MS::kFailure;
    return mesh_->getPolygonUV(faceId(), faceVertId(), uvPoint[0], uvPoint[1], uvSet);
}

bool MItMeshFaceVertex::hasUVs(MStatus* ReturnStatus) const {
    int id = -1;
    const bool ok = at_ < corners_.size() && mesh_->getPolygonUVid(faceId(), faceVertId(), id);
    if (ReturnStatus) *ReturnStatus = at_ < corners_.size() ? MS::kSuccess : MS::kFailure;
    return ok;
}

bool MItMeshFaceVertex::hasUVs(const MString& uvSet, MStatus* ReturnStatus) const {
    int id = -1;
    const bool ok = at_ < corners_.size() && mesh_->getPolygonUVid(faceId(), faceVertId(), id, &uvSet);
    if (ReturnStatus) *ReturnStatus = at_ < corners_.size() ? MS::kSuccess : MS::kFailure;
    return ok;
}

MStatus MItMeshFaceVertex::getColorIndex(int& colorIndex, const MString* colorSetName) {
    if (isDone()) return MS::kFailure;
    return mesh_->getColorIndex(faceId(), faceVertId(), colorIndex, colorSetName);
}

bool MItMeshFaceVertex::hasColor(MStatus* ReturnStatus) {
    int id = -1;
    if (ReturnStatus) *ReturnStatus = isDone() ? MS::kFailure : MS::kSuccess;
    return !isDone() && getColorIndex(id);
}

MStatus MItMeshFaceVertex::getColor(MColor& color, const MString* colorSetName) {
    int id = -1;
    MStatus st = getColorIndex(id, colorSetName);
    if (!st) return st;
    MColorArray colors;
    st = mesh_->getColors(colors, colorSetName);
    if (!st || unsigned(id) >= colors.length()) return MS::kFailure;
    color = colors[unsigned(id)];
    return MS::kSuccess;
}
