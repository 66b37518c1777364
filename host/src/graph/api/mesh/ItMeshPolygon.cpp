// MItMeshPolygon: the faces of a mesh, or of a face component, in order.
// Its position and the helpers it shares with the other mesh iterators are in MeshIterState.h.
#include <maya/MDagPath.h>
#include <maya/MFloatArray.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MPointArray.h>
#include <maya/MString.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "graph/api/mesh/MeshIterState.h"
#include "mesh/MeshGeometry.h"
#include "mesh/MeshTopology.h"

using namespace kxh;

MItMeshPolygon::MItMeshPolygon(const MObject& polyObject, MStatus* ReturnStatus)
    : state_(std::make_unique<MeshIterState>(ComponentKind::Face)) {
    setStatus(ReturnStatus, state_->attach(polyObject));
}
MItMeshPolygon::MItMeshPolygon(const MDagPath& polyObject, MObject& component, MStatus* ReturnStatus)
    : state_(std::make_unique<MeshIterState>(ComponentKind::Face)) {
    setStatus(ReturnStatus, state_->attach(polyObject, component));
}
MItMeshPolygon::~MItMeshPolygon() = default;
const char* MItMeshPolygon::className() {
    return "MItMeshPolygon";
}

bool MItMeshPolygon::isDone(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return state_->done();
}
MStatus MItMeshPolygon::next() {
    state_->next();
    return MS::kSuccess;
}
MStatus MItMeshPolygon::reset() {
    state_->reset();
    return MS::kSuccess;
}
MStatus MItMeshPolygon::reset(const MObject& polyObject) {
    return state_->attach(polyObject);
}
MStatus MItMeshPolygon::reset(const MDagPath& polyObject, MObject& component) {
    return state_->attach(polyObject, component);
}
unsigned int MItMeshPolygon::count(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, state_->mesh() ? MS::kSuccess : MS::kFailure);
    return unsigned(state_->count());
}
unsigned int MItMeshPolygon::index(MStatus* ReturnStatus) {
    state_->currentMesh(ReturnStatus);
    return unsigned(state_->current());
}
MStatus MItMeshPolygon::setIndex(int index, int& prevIndex) {
    return state_->setIndex(index, prevIndex);
}
MObject MItMeshPolygon::currentItem(MStatus* ReturnStatus) {
    return state_->currentItem(ReturnStatus);
}

unsigned int MItMeshPolygon::polygonVertexCount(MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m ? unsigned(m->faceSize(state_->current())) : 0;
}

int MItMeshPolygon::vertexIndex(int index, MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    if (!m) return -1;
    const int f = state_->current();
    if (index < 0 || index >= m->faceSize(f)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return -1;
    }
    return m->faceVerts[size_t(m->faceOffsets[size_t(f)] + index)];
}

MStatus MItMeshPolygon::getVertices(MIntArray& vertices) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const int f = state_->current();
    vertices.vec().assign(m->faceVerts.begin() + m->faceOffsets[size_t(f)],
                          m->faceVerts.begin() + m->faceOffsets[size_t(f) + 1]);
    return MS::kSuccess;
}

// The average of the face's vertices.
MPoint MItMeshPolygon::center(MSpace::Space space, MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    if (!m) return MPoint();
    return toMPoint(m->geometry().faceCentre(state_->current())) * state_->access().toSpace(space);
}

MPoint MItMeshPolygon::point(int index, MSpace::Space space, MStatus* ReturnStatus) {
    MStatus st;
    int v = vertexIndex(index, &st);
    setStatus(ReturnStatus, st);
    if (!st) return MPoint();
    return pointIn(*state_->mesh(), v, state_->access().toSpace(space));
}

MStatus MItMeshPolygon::getPoints(MPointArray& pointArray, MSpace::Space space, MStatus* ReturnStatus) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    setStatus(ReturnStatus, st);
    if (!m) return st;
    const int f = state_->current();
    const MMatrix xf = state_->access().toSpace(space);
    pointArray.clear();
    for (int c = m->faceOffsets[size_t(f)]; c < m->faceOffsets[size_t(f) + 1]; ++c)
        pointArray.append(pointIn(*m, m->faceVerts[size_t(c)], xf));
    return MS::kSuccess;
}

MStatus MItMeshPolygon::setPoint(const MPoint& point, unsigned int index, MSpace::Space space) {
    MStatus st;
    int v = vertexIndex(int(index), &st);
    if (!st) return st;
    return writeVertex(state_->access(), *state_->mesh(), v, point, space);
}

MStatus MItMeshPolygon::setPoints(MPointArray& pointArray, MSpace::Space space) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const int f = state_->current();
    if (int(pointArray.length()) != m->faceSize(f)) return MS::kInvalidParameter;
    const MMatrix inv = state_->access().toSpace(space).inverse();
    std::vector<V3> pts = m->points;
    for (int c = 0; c < m->faceSize(f); ++c)
        pts[size_t(m->faceVerts[size_t(m->faceOffsets[size_t(f)] + c)])] =
            toV3(pointArray[unsigned(c)] * inv);
    return state_->access().setPoints(std::move(pts));
}

MStatus MItMeshPolygon::getNormal(MVector& normal, MSpace::Space space) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    normal =
        toMVector(xformNormal(m->geometry().faceNormal(state_->current()), state_->access().toSpace(space)));
    return MS::kSuccess;
}

// The normal of the face's corner `vertexIndex` (face-relative) as this face sees it.
MStatus MItMeshPolygon::getNormal(unsigned int vertexIndex, MVector& normal, MSpace::Space space) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const int f = state_->current();
    if (int(vertexIndex) >= m->faceSize(f)) return MS::kInvalidParameter;
    const int v = m->faceVerts[size_t(m->faceOffsets[size_t(f)] + int(vertexIndex))];
    normal = toMVector(xformNormal(faceVertexNormal(*m, f, v), state_->access().toSpace(space)));
    return MS::kSuccess;
}

MStatus MItMeshPolygon::getNormals(MVectorArray& vectorArray, MSpace::Space space) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const int f = state_->current();
    const MMatrix xf = state_->access().toSpace(space);
    vectorArray.clear();
    for (int c = m->faceOffsets[size_t(f)]; c < m->faceOffsets[size_t(f) + 1]; ++c)
        vectorArray.append(toMVector(xformNormal(faceVertexNormal(*m, f, m->faceVerts[size_t(c)]), xf)));
    return MS::kSuccess;
}

MStatus MItMeshPolygon::getEdges(MIntArray& edges) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    assign(edges, m->topology().faceEdges(state_->current()));
    return MS::kSuccess;
}

// Faces sharing an edge with this one.
MStatus MItMeshPolygon::getConnectedFaces(MIntArray& faces) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    assign(faces, m->topology().faceNeighbours(state_->current()));
    return MS::kSuccess;
}

// Edges that touch the face's vertices without being one of its own edges.
MStatus MItMeshPolygon::getConnectedEdges(MIntArray& edges) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const MeshTopology& t = m->topology();
    const int f = state_->current();
    IdRange own = t.faceEdges(f);
    auto& out = edges.vec();
    out.clear();
    for (int c = m->faceOffsets[size_t(f)]; c < m->faceOffsets[size_t(f) + 1]; ++c)
        for (int e : t.vertexEdges(m->faceVerts[size_t(c)]))
            if (!own.contains(e) && std::find(out.begin(), out.end(), e) == out.end()) out.push_back(e);
    return MS::kSuccess;
}

// Vertices joined by an edge to the face's vertices without being on the face.
MStatus MItMeshPolygon::getConnectedVertices(MIntArray& vertices) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const MeshTopology& t = m->topology();
    const int f = state_->current();
    auto b = m->faceVerts.begin() + m->faceOffsets[size_t(f)],
         e = m->faceVerts.begin() + m->faceOffsets[size_t(f) + 1];
    auto& out = vertices.vec();
    out.clear();
    for (auto it = b; it != e; ++it)
        for (int n : t.vertexNeighbours(*it))
            if (std::find(b, e, n) == e && std::find(out.begin(), out.end(), n) == out.end())
                out.push_back(n);
    return MS::kSuccess;
}

MStatus MItMeshPolygon::numConnectedFaces(int& faceCount) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (m) faceCount = m->topology().faceNeighbours(state_->current()).size();
    return st;
}

MStatus MItMeshPolygon::numConnectedEdges(int& edgeCount) const {
    MIntArray edges;
    MStatus st = const_cast<MItMeshPolygon*>(this)->getConnectedEdges(edges);
    if (st) edgeCount = int(edges.length());
    return st;
}

bool MItMeshPolygon::isConnectedToFace(int index, MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m && m->topology().faceNeighbours(state_->current()).contains(index);
}
bool MItMeshPolygon::isConnectedToEdge(int index, MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m && m->topology().faceEdges(state_->current()).contains(index);
}
bool MItMeshPolygon::isConnectedToVertex(int index, MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    if (!m) return false;
    const int f = state_->current();
    auto b = m->faceVerts.begin() + m->faceOffsets[size_t(f)],
         e = m->faceVerts.begin() + m->faceOffsets[size_t(f) + 1];
    return std::find(b, e, index) != e;
}

namespace {
// The UV ids of the current face's corners in a set (-1 where none); false when the set does not exist.
bool faceUvIds(const Mesh& m, int f, const MString* set, const int** ids) {
    int s = uvSetIndex(m, set);
    if (s < 0) return false;
    *ids = m.uvSets[size_t(s)].faceVertUv.data() + m.faceOffsets[size_t(f)];
    return true;
}
}  // namespace

bool MItMeshPolygon::hasUVs(MStatus* ReturnStatus) const {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    const int* ids = nullptr;
    return m && m->faceSize(state_->current()) > 0 && faceUvIds(*m, state_->current(), nullptr, &ids) &&
           ids[0] >= 0;
}

bool MItMeshPolygon::hasUVs(const MString& uvSet, MStatus* ReturnStatus) const {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    if (!m) return false;
    const int* ids = nullptr;
    if (!faceUvIds(*m, state_->current(), &uvSet, &ids)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return false;
    }
    return m->faceSize(state_->current()) > 0 && ids[0] >= 0;
}

MStatus MItMeshPolygon::getUVIndex(int vertex, int& index, const MString* uvSet) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const int f = state_->current();
    const int* ids = nullptr;
    if (vertex < 0 || vertex >= m->faceSize(f) || !faceUvIds(*m, f, uvSet, &ids))
        return MS::kInvalidParameter;
    if (ids[vertex] < 0) return MS::kFailure;  // the face has no UVs
    index = ids[vertex];
    return MS::kSuccess;
}

MStatus MItMeshPolygon::getUVIndex(int vertex, int& index, float& u, float& v, const MString* uvSet) {
    MStatus st = getUVIndex(vertex, index, uvSet);
    if (!st) return st;
    ConstMeshPtr m = state_->mesh();
    const UvSet& set = m->uvSets[size_t(uvSetIndex(*m, uvSet))];
    u = set.u[size_t(index)];
    v = set.v[size_t(index)];
    return MS::kSuccess;
}

MStatus MItMeshPolygon::getUV(int vertex, float2& uvPoint, const MString* uvSet) const {
    int id = -1;
    MStatus st = const_cast<MItMeshPolygon*>(this)->getUVIndex(vertex, id, uvPoint[0], uvPoint[1], uvSet);
    return st;
}

MStatus MItMeshPolygon::getUVs(MFloatArray& uArray, MFloatArray& vArray, const MString* uvSet) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const int f = state_->current();
    const int* ids = nullptr;
    if (!faceUvIds(*m, f, uvSet, &ids)) return MS::kInvalidParameter;
    const UvSet& set = m->uvSets[size_t(uvSetIndex(*m, uvSet))];
    uArray.clear();
    vArray.clear();
    if (m->faceSize(f) == 0 || ids[0] < 0) return MS::kSuccess;
    for (int c = 0; c < m->faceSize(f); ++c) {
        uArray.append(set.u[size_t(ids[c])]);
        vArray.append(set.v[size_t(ids[c])]);
    }
    return MS::kSuccess;
}

namespace {
// The face's corners in a space.
std::vector<V3> facePoints(const Mesh& m, int f, const MMatrix& xf) {
    std::vector<V3> out;
    for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c)
        out.push_back(xformPoint(m.points[size_t(m.faceVerts[size_t(c)])], xf));
    return out;
}
}  // namespace

// Half the length of the Newell vector of the corners in the requested space.
MStatus MItMeshPolygon::getArea(double& area, MSpace::Space space) {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const int f = state_->current();
    const MMatrix xf = state_->access().toSpace(space);
    if (isIdentity(xf)) {
        area = m->geometry().faceArea(f);
        return MS::kSuccess;
    }
    std::vector<V3> p = facePoints(*m, f, xf);
    V3 n;
    for (size_t i = 0; i < p.size(); ++i) n += cross(p[i], p[(i + 1) % p.size()]);
    area = 0.5 * length(n);
    return MS::kSuccess;
}

bool MItMeshPolygon::onBoundary(MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m && m->topology().faceOnBoundary(state_->current());
}

// Faces here have no holes.
bool MItMeshPolygon::isHoled(MStatus* ReturnStatus) {
    state_->currentMesh(ReturnStatus);
    return false;
}

bool MItMeshPolygon::isConvex(MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m && m->geometry().faceIsConvex(state_->current());
}

// Every corner within a small distance (relative to the face's size) of the plane through the face's
// centre along its normal.
bool MItMeshPolygon::isPlanar(MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    if (!m) return false;
    const int f = state_->current();
    const MeshGeometry& g = m->geometry();
    const V3 n = g.faceNormal(f), c = g.faceCentre(f);
    std::vector<V3> p = facePoints(*m, f, MMatrix());
    double size = 0;
    for (const V3& q : p) size = std::max(size, length(q - c));
    for (const V3& q : p)
        if (std::fabs(dot(q - c, n)) > 1e-6 * std::max(size, 1e-12)) return false;
    return true;
}

// A lamina face shares all its edges with one other face.
bool MItMeshPolygon::isLamina(MStatus* ReturnStatus) {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    if (!m) return false;
    const MeshTopology& t = m->topology();
    int other = -1;
    for (int e : t.faceEdges(state_->current())) {
        IdRange fs = t.edgeFaces(e);
        if (fs.size() != 2) return false;
        int o = fs[0] == state_->current() ? fs[1] : fs[0];
        if (other >= 0 && o != other) return false;
        other = o;
    }
    return other >= 0;
}

bool MItMeshPolygon::hasValidTriangulation(MStatus* ReturnStatus) const {
    ConstMeshPtr m = state_->currentMesh(ReturnStatus);
    return m && m->geometry().faceTriangleCount(state_->current()) == m->faceSize(state_->current()) - 2;
}

MStatus MItMeshPolygon::numTriangles(int& triCount) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (m) triCount = m->geometry().faceTriangleCount(state_->current());
    return st;
}

MStatus MItMeshPolygon::getTriangle(int localTriIndex, MPointArray& points, MIntArray& vertexList,
                                    MSpace::Space space) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const int f = state_->current();
    const MeshGeometry& g = m->geometry();
    if (localTriIndex < 0 || localTriIndex >= g.faceTriangleCount(f)) return MS::kInvalidParameter;
    const MMatrix xf = state_->access().toSpace(space);
    points.clear();
    vertexList.clear();
    for (int v : g.triangleVertices(f, localTriIndex)) {
        points.append(pointIn(*m, v, xf));
        vertexList.append(v);
    }
    return MS::kSuccess;
}

// All triangles of the face: three points and three (mesh) vertex ids each.
MStatus MItMeshPolygon::getTriangles(MPointArray& points, MIntArray& vertexList, MSpace::Space space) const {
    MStatus st;
    ConstMeshPtr m = state_->currentMesh(&st);
    if (!m) return st;
    const int f = state_->current();
    const MeshGeometry& g = m->geometry();
    const MMatrix xf = state_->access().toSpace(space);
    points.clear();
    vertexList.clear();
    for (int k = 0; k < g.faceTriangleCount(f); ++k)
        for (int v : g.triangleVertices(f, k)) {
            points.append(pointIn(*m, v, xf));
            vertexList.append(v);
        }
    return MS::kSuccess;
}

MStatus MItMeshPolygon::updateSurface() {
    return MS::kSuccess;
}
MStatus MItMeshPolygon::geomChanged() {
    return MS::kSuccess;
}
