// MItMeshVertex: the vertices of a mesh, or of a vertex component, in order.
// Its position and the helpers it shares with the other mesh iterators are in MeshIterState.h.
#include <maya/MDagPath.h>
#include <maya/MFloatArray.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshVertex.h>
#include <maya/MString.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#include <algorithm>
#include <vector>

#include "graph/api/mesh/MeshIterState.h"
#include "mesh/MeshGeometry.h"
#include "mesh/MeshTopology.h"

using namespace kxh;

MItMeshVertex::MItMeshVertex(MObject& polyObject, MStatus* ReturnStatus)
    : state_(std::make_unique<MeshIterState>(ComponentKind::Vertex)) {
    setStatus(ReturnStatus, state_->attach(polyObject));
}
MItMeshVertex::MItMeshVertex(const MDagPath& polyObject, MObject& component, MStatus* ReturnStatus)
    : state_(std::make_unique<MeshIterState>(ComponentKind::Vertex)) {
    setStatus(ReturnStatus, state_->attach(polyObject, component));
}
MItMeshVertex::~MItMeshVertex() = default;
const char* MItMeshVertex::className() {
    return "MItMeshVertex";
}

bool MItMeshVertex::isDone(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return state_->done();
}
MStatus MItMeshVertex::next() {
    state_->next();
    return MS::kSuccess;
}
MStatus MItMeshVertex::reset() {
    state_->reset();
    return MS::kSuccess;
}
MStatus MItMeshVertex::reset(MObject& polyObject) {
    return state_->attach(polyObject);
}
MStatus MItMeshVertex::reset(const MDagPath& polyObject, MObject& component) {
    return state_->attach(polyObject, component);
}
int MItMeshVertex::count(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, state_->mesh() ? MS::kSuccess : MS::kFailure);
    return state_->count();
}
int MItMeshVertex::index(MStatus* ReturnStatus) {
    state_->currentMesh(ReturnStatus);
    return state_->current();
}
MStatus MItMeshVertex::setIndex(int index, int& prevIndex) {
    return state_->setIndex(index, prevIndex);
}
MObject MItMeshVertex::currentItem(MStatus* ReturnStatus) {
    return state_->currentItem(ReturnStatus);
}

MPoint MItMeshVertex::position(MSpace::Space space, MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m ? pointIn(*m, state_->current(), state_->access().toSpace(space)) : MPoint();
}

MStatus MItMeshVertex::setPosition(const MPoint& point, MSpace::Space space) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    return writeVertex(state_->access(), *m, state_->current(), point, space);
}

MStatus MItMeshVertex::translateBy(const MVector& vector, MSpace::Space space) {
    MStatus st;
    MPoint p = position(space, &st);
    if (!st) return st;
    return setPosition(p + vector, space);
}

MStatus MItMeshVertex::getNormal(MVector& vector, MSpace::Space space) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    vector =
        toMVector(xformNormal(m->vertexNormal(state_->current(), false), state_->access().toSpace(space)));
    return MS::kSuccess;
}

MStatus MItMeshVertex::getNormal(MVector& vector, int faceIndex, MSpace::Space space) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    if (!m->topology().vertexFaces(state_->current()).contains(faceIndex)) return MS::kInvalidParameter;
    vector = toMVector(
        xformNormal(faceVertexNormal(*m, faceIndex, state_->current()), state_->access().toSpace(space)));
    return MS::kSuccess;
}

// The vertex's normal in each connected face (rotational order).
MStatus MItMeshVertex::getNormals(MVectorArray& vectorArray, MSpace::Space space) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const MMatrix xf = state_->access().toSpace(space);
    vectorArray.clear();
    for (int f : m->topology().vertexFaces(state_->current()))
        vectorArray.append(toMVector(xformNormal(faceVertexNormal(*m, f, state_->current()), xf)));
    return MS::kSuccess;
}

MStatus MItMeshVertex::getConnectedFaces(MIntArray& faceList) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (m) assign(faceList, m->topology().vertexFaces(state_->current()));
    return st;
}
MStatus MItMeshVertex::getConnectedEdges(MIntArray& edgeList) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (m) assign(edgeList, m->topology().vertexEdges(state_->current()));
    return st;
}
MStatus MItMeshVertex::getConnectedVertices(MIntArray& vertexList) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (m) assign(vertexList, m->topology().vertexNeighbours(state_->current()));
    return st;
}
MStatus MItMeshVertex::numConnectedFaces(int& faceCount) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (m) faceCount = m->topology().vertexFaces(state_->current()).size();
    return st;
}
MStatus MItMeshVertex::numConnectedEdges(int& edgeCount) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (m) edgeCount = m->topology().vertexEdges(state_->current()).size();
    return st;
}
bool MItMeshVertex::connectedToFace(int faceIndex, MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m && m->topology().vertexFaces(state_->current()).contains(faceIndex);
}
bool MItMeshVertex::connectedToEdge(int edgeIndex, MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m && m->topology().vertexEdges(state_->current()).contains(edgeIndex);
}

// The other end of an edge of this vertex; fails for an edge the vertex is not on.
MStatus MItMeshVertex::getOppositeVertex(int& vertexId, int edgeId) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const MeshTopology& t = m->topology();
    if (edgeId < 0 || edgeId >= t.numEdges()) return MS::kInvalidParameter;
    const int a = t.edgeVertex(edgeId, 0), b = t.edgeVertex(edgeId, 1), v = state_->current();
    if (a != v && b != v) return MS::kInvalidParameter;
    vertexId = a == v ? b : a;
    return MS::kSuccess;
}

bool MItMeshVertex::onBoundary(MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m && m->topology().vertexOnBoundary(state_->current());
}

namespace {
// The UV id of each corner of the vertex (connected-face order) in a set; -1 where a face has none.
bool vertexUvIds(const Mesh& m, int v, const MString* set, std::vector<int>& ids, std::vector<int>& faces) {
    int s = uvSetIndex(m, set);
    if (s < 0) return false;
    const MeshTopology& t = m.topology();
    IdRange fs = t.vertexFaces(v), cs = t.vertexFaceVerts(v);
    for (int i = 0; i < fs.size(); ++i) {
        ids.push_back(m.uvSets[size_t(s)].faceVertUv[size_t(cs[i])]);
        faces.push_back(fs[i]);
    }
    return true;
}
}  // namespace

// The distinct UV ids the vertex's corners use, in connected-face order.
MStatus MItMeshVertex::getUVIndices(MIntArray& uvIndices, const MString* uvSet) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    std::vector<int> ids, faces;
    if (!vertexUvIds(*m, state_->current(), uvSet, ids, faces)) return MS::kInvalidParameter;
    auto& out = uvIndices.vec();
    out.clear();
    for (int id : ids)
        if (id >= 0 && std::find(out.begin(), out.end(), id) == out.end()) out.push_back(id);
    return MS::kSuccess;
}

// One UV per mapped corner of the vertex, with the face the corner belongs to.
MStatus MItMeshVertex::getUVs(MFloatArray& uArray, MFloatArray& vArray, MIntArray& faceIds,
                              const MString* uvSet) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    std::vector<int> ids, faces;
    if (!vertexUvIds(*m, state_->current(), uvSet, ids, faces)) return MS::kInvalidParameter;
    const UvSet& set = m->uvSets[size_t(uvSetIndex(*m, uvSet))];
    uArray.clear();
    vArray.clear();
    faceIds.clear();
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] < 0) continue;
        uArray.append(set.u[size_t(ids[i])]);
        vArray.append(set.v[size_t(ids[i])]);
        faceIds.append(faces[i]);
    }
    return MS::kSuccess;
}

// The UV of the vertex's first mapped corner.
MStatus MItMeshVertex::getUV(float2& uvPoint, const MString* uvSet) {
    MFloatArray u, v;
    MIntArray f;
    MStatus st = getUVs(u, v, f, uvSet);
    if (!st) return st;
    if (u.length() == 0) return MS::kFailure;
    uvPoint[0] = u[0];
    uvPoint[1] = v[0];
    return MS::kSuccess;
}

MStatus MItMeshVertex::numUVs(int& uvCount, const MString* uvSet) {
    MIntArray ids;
    MStatus st = getUVIndices(ids, uvSet);
    if (st) uvCount = int(ids.length());
    return st;
}

MStatus MItMeshVertex::updateSurface() {
    return MS::kSuccess;
}
MStatus MItMeshVertex::geomChanged() {
    return MS::kSuccess;
}
