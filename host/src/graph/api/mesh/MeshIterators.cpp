// MItMeshPolygon, MItMeshVertex and MItMeshEdge over the mesh kernel's topology. Every query reads the
// mesh's current state, so edits made through the iterator or elsewhere are seen at once; adjacency comes
// from the kernel's cached topology (built once per topology change, never per iterator).
#include <maya/MDagPath.h>
#include <maya/MFloatArray.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshEdge.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MItMeshVertex.h>
#include <maya/MPointArray.h>
#include <maya/MString.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#include <algorithm>
#include <cmath>

#include "graph/api/mesh/MeshAccess.h"
#include "mesh/MeshGeometry.h"
#include "mesh/MeshTopology.h"

namespace kxh {

// The position of an iterator: either every element of its kind (0 .. n-1) or a component's elements in
// the component's order.
class MeshIterState {
public:
    explicit MeshIterState(ComponentKind kind) : kind_(kind) {}

    MStatus attach(const MObject& object) {
        all_ = true;
        ids_.clear();
        if (!access_.attach(object)) return MS::kInvalidParameter;
        reset();
        return MS::kSuccess;
    }
    MStatus attach(const MDagPath& path, const MObject& component) {
        all_ = true;
        ids_.clear();
        if (!access_.attach(path)) return MS::kInvalidParameter;
        MStatus st = restrictTo(component);
        reset();
        return st;
    }
    MStatus attach(const MObject& object, const MObject& component) {
        all_ = true;
        ids_.clear();
        if (!access_.attach(object)) return MS::kInvalidParameter;
        MStatus st = restrictTo(component);
        reset();
        return st;
    }

    const MeshAccess& access() const { return access_; }
    MeshAccess& access() { return access_; }
    ConstMeshPtr mesh() const { return access_.attached() ? access_.read() : nullptr; }

    int elementCount(const Mesh& m) const {
        switch (kind_) {
            case ComponentKind::Vertex:
                return m.numVertices();
            case ComponentKind::Edge:
                return m.numEdges();
            default:
                return m.numFaces();
        }
    }
    int count() const {
        ConstMeshPtr m = mesh();
        if (!m) return 0;
        return all_ ? elementCount(*m) : int(ids_.size());
    }
    bool done() const {
        ConstMeshPtr m = mesh();
        if (!m) return true;
        return all_ ? cur_ >= elementCount(*m) : pos_ >= ids_.size();
    }
    void next() {
        if (all_) {
            ++cur_;
        } else if (pos_ < ids_.size()) {
            ++pos_;
            if (pos_ < ids_.size()) cur_ = ids_[pos_];
        }
    }
    void reset() {
        pos_ = 0;
        cur_ = all_ || ids_.empty() ? 0 : ids_[0];
    }
    int current() const { return cur_; }
    // Moves to an element of the mesh; inside a component the position follows when the id is in it.
    MStatus setIndex(int index, int& prev) {
        ConstMeshPtr m = mesh();
        if (!m) return MS::kFailure;
        if (index < 0 || index >= elementCount(*m)) return MS::kInvalidParameter;
        prev = cur_;
        cur_ = index;
        if (!all_) {
            auto it = std::find(ids_.begin(), ids_.end(), index);
            if (it != ids_.end()) pos_ = size_t(it - ids_.begin());
        }
        return MS::kSuccess;
    }
    // The mesh when the current element exists in it (null otherwise, with a failure status).
    ConstMeshPtr currentMesh(MStatus* st = nullptr) const {
        ConstMeshPtr m = mesh();
        bool ok = m && cur_ >= 0 && cur_ < elementCount(*m);
        setStatus(st, ok ? MS::kSuccess : MS::kFailure);
        return ok ? m : nullptr;
    }
    MObject currentItem(MStatus* st) const {
        if (!currentMesh(st)) return MObject();
        return wrapComponent(kind_, {cur_});
    }

private:
    MStatus restrictTo(const MObject& component) {
        if (component.isNull()) return MS::kSuccess;
        ComponentObject* c = componentOf(component);
        if (!c || componentKindOf(c->type) != kind_) return MS::kInvalidParameter;
        ConstMeshPtr m = mesh();
        const int n = m ? elementCount(*m) : 0;
        all_ = false;
        for (int id : c->elements())
            if (id >= 0 && id < n) ids_.push_back(id);
        return MS::kSuccess;
    }

    ComponentKind kind_;
    MeshAccess access_;
    bool all_ = true;
    std::vector<int> ids_;
    size_t pos_ = 0;
    int cur_ = 0;
};

}  // namespace kxh

using namespace kxh;

namespace {

MPoint pointIn(const Mesh& m, int v, const MMatrix& xf) {
    return toMPoint(m.points[size_t(v)]) * xf;
}

void assign(MIntArray& out, IdRange r) {
    out.vec().assign(r.begin(), r.end());
}

// Writes one vertex position (given in `space`) back to the mesh.
MStatus writeVertex(MeshAccess& access, const Mesh& m, int v, const MPoint& p, MSpace::Space space) {
    std::vector<V3> pts = m.points;
    pts[size_t(v)] = toV3(p * access.toSpace(space).inverse());
    return access.setPoints(std::move(pts));
}

}  // namespace

// =============================================================================================================
// MItMeshPolygon
// =============================================================================================================

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

// =============================================================================================================
// MItMeshVertex
// =============================================================================================================

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

// =============================================================================================================
// MItMeshEdge
// =============================================================================================================

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
