// MItMeshEdge: the edges of a mesh, or of an edge component, in order.
// Its position and the helpers it shares with the other mesh iterators are in MeshIterState.h.
#include <maya/MDagPath.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshEdge.h>

#include <algorithm>

#include "graph/api/mesh/MeshIterState.h"
#include "mesh/MeshGeometry.h"
#include "mesh/MeshTopology.h"

using namespace kxh;

MItMeshEdge::MItMeshEdge(MObject& polyObject, MStatus* ReturnStatus)
    : state_(std::make_unique<MeshIterState>(ComponentKind::Edge)) {
    setStatus(ReturnStatus, state_->attach(polyObject));
}
MItMeshEdge::MItMeshEdge(MObject& polyObject, MObject& component, MStatus* ReturnStatus)
    : state_(std::make_unique<MeshIterState>(ComponentKind::Edge)) {
    setStatus(ReturnStatus, state_->attach(polyObject, component));
}
MItMeshEdge::MItMeshEdge(const MDagPath& polyObject, MObject& component, MStatus* ReturnStatus)
    : state_(std::make_unique<MeshIterState>(ComponentKind::Edge)) {
    setStatus(ReturnStatus, state_->attach(polyObject, component));
}
MItMeshEdge::~MItMeshEdge() = default;
const char* MItMeshEdge::className() {
    return "MItMeshEdge";
}

bool MItMeshEdge::isDone(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return state_->done();
}
MStatus MItMeshEdge::next() {
    state_->next();
    return MS::kSuccess;
}
MStatus MItMeshEdge::reset() {
    state_->reset();
    return MS::kSuccess;
}
MStatus MItMeshEdge::reset(MObject& polyObject, MObject& component) {
    return state_->attach(polyObject, component);
}
MStatus MItMeshEdge::reset(const MDagPath& polyObject, MObject& component) {
    return state_->attach(polyObject, component);
}
int MItMeshEdge::count(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, state_->mesh() ? MS::kSuccess : MS::kFailure);
    return state_->count();
}
int MItMeshEdge::index(MStatus* ReturnStatus) const {
    state_->currentMesh(ReturnStatus);
    return state_->current();
}

// The vertex at end 0 or 1 of the current edge.
int MItMeshEdge::index(int which, MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    if (!m) return -1;
    if (which != 0 && which != 1) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return -1;
    }
    return m->topology().edgeVertex(state_->current(), which);
}
MStatus MItMeshEdge::setIndex(int index, int& prevIndex) {
    return state_->setIndex(index, prevIndex);
}
MObject MItMeshEdge::currentItem(MStatus* ReturnStatus) {
    return state_->currentItem(ReturnStatus);
}

MPoint MItMeshEdge::point(int index, MSpace::Space space, MStatus* ReturnStatus) {
    MStatus st;
    int v = this->index(index, &st);
    setStatus(ReturnStatus, st);
    if (!st) return MPoint();
    return pointIn(*state_->mesh(), v, state_->access().toSpace(space));
}

MStatus MItMeshEdge::setPoint(const MPoint& point, unsigned int index, MSpace::Space space) {
    MStatus st;
    int v = this->index(int(index), &st);
    if (!st) return st;
    return writeVertex(state_->access(), *state_->mesh(), v, point, space);
}

MPoint MItMeshEdge::center(MSpace::Space space, MStatus* ReturnStatus) {
    MStatus st;
    MPoint a = point(0, space, &st), b = point(1, space, &st);
    setStatus(ReturnStatus, st);
    return st ? MPoint((a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2) : MPoint();
}

MStatus MItMeshEdge::getLength(double& length, MSpace::Space space) {
    MStatus st;
    MPoint a = point(0, space, &st), b = point(1, space, &st);
    if (st) length = a.distanceTo(b);
    return st;
}

bool MItMeshEdge::isSmooth(MStatus* ReturnStatus) const {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    if (!m) return false;
    const MeshTopology& t = m->topology();
    int a = t.edgeVertex(state_->current(), 0), b = t.edgeVertex(state_->current(), 1);
    return m->hardEdges.count({std::min(a, b), std::max(a, b)}) == 0;
}

MStatus MItMeshEdge::setSmoothing(bool smooth) {
    MStatus st;
    if (!state_->currentMesh(&st)) return st;
    const int e = state_->current();
    return state_->access().edit([&](Mesh& m) -> MStatus {
        const MeshTopology& t = m.topology();
        int a = t.edgeVertex(e, 0), b = t.edgeVertex(e, 1);
        std::pair<int, int> key{std::min(a, b), std::max(a, b)};
        if (smooth)
            m.hardEdges.erase(key);
        else
            m.hardEdges.insert(key);
        m.pointsChanged();
        return MS::kSuccess;
    });
}

MStatus MItMeshEdge::cleanupSmoothing() {
    return MS::kSuccess;
}

// The faces on the edge (one for a boundary edge), in face order; returns how many.
int MItMeshEdge::getConnectedFaces(MIntArray& faceList, MStatus* ReturnStatus) const {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    if (!m) return 0;
    assign(faceList, m->topology().edgeFaces(state_->current()));
    return int(faceList.length());
}

// The other edges at either end: those of end 0 in rotational order, then those of end 1.
int MItMeshEdge::getConnectedEdges(MIntArray& edgeList, MStatus* ReturnStatus) const {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    if (!m) return 0;
    const MeshTopology& t = m->topology();
    const int e = state_->current();
    auto& out = edgeList.vec();
    out.clear();
    for (int which = 0; which < 2; ++which)
        for (int o : t.vertexEdges(t.edgeVertex(e, which)))
            if (o != e && std::find(out.begin(), out.end(), o) == out.end()) out.push_back(o);
    return int(out.size());
}

MStatus MItMeshEdge::numConnectedFaces(int& faceCount) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (m) faceCount = m->topology().edgeFaces(state_->current()).size();
    return st;
}
MStatus MItMeshEdge::numConnectedEdges(int& edgeCount) const {
    MIntArray edges;
    MStatus st;
    edgeCount = getConnectedEdges(edges, &st);
    return st;
}
bool MItMeshEdge::connectedToFace(int index, MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m && m->topology().edgeFaces(state_->current()).contains(index);
}
bool MItMeshEdge::connectedToEdge(int index, MStatus* ReturnStatus) {
    MIntArray edges;
    getConnectedEdges(edges, ReturnStatus);
    return std::find(edges.begin(), edges.end(), index) != edges.end();
}
bool MItMeshEdge::onBoundary(MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m && m->topology().edgeOnBoundary(state_->current());
}

MStatus MItMeshEdge::updateSurface() {
    return MS::kSuccess;
}
MStatus MItMeshEdge::geomChanged() {
    return MS::kSuccess;
}
