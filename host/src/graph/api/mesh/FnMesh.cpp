// MFnMesh: attaching, creation and copies, counts, points, topology, edge flags, creases and normals.
// UV sets and colours are in FnMeshMaps.cpp, closest point and ray casts in FnMeshIntersect.cpp.
#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MPointArray.h>
#include <maya/MUintArray.h>
#include <maya/MVectorArray.h>

#include <algorithm>

#include "graph/api/mesh/MeshAccess.h"
#include "graph/api/mesh/MeshDataChanges.h"
#include "graph/core/Scene.h"
#include "mesh/MeshGeometry.h"
#include "mesh/MeshTopology.h"
#include "mesh/MeshValidate.h"

using namespace kxh;

namespace {

std::pair<int, int> edgeKey(const MeshTopology& t, int e) {
    int a = t.edgeVertex(e, 0), b = t.edgeVertex(e, 1);
    return {std::min(a, b), std::max(a, b)};
}

// The set's mesh for reading, with the status most queries report: failure when unattached or gone.
struct Reader {
    MeshAccess access;
    ConstMeshPtr mesh;
    Reader(const MObject& object, const MDagPath& path) : access(object, path) {
        if (!object.isNull()) mesh = access.read();
    }
    explicit operator bool() const { return bool(mesh); }
};

// Object-space points of a create() call, checked against the counts.
template <class PointArray>
bool pointsOf(const PointArray& arr, int numVertices, std::vector<V3>& out) {
    if (numVertices < 0 || int(arr.length()) < numVertices) return false;
    out.resize(size_t(numVertices));
    for (int i = 0; i < numVertices; ++i) {
        const auto& p = arr[unsigned(i)];
        double w = p.w != 0 ? p.w : 1.0;
        out[size_t(i)] = V3{p.x / w, p.y / w, p.z / w};
    }
    return true;
}

// Builds a mesh from the arrays create() takes; null when they do not describe a valid mesh.
std::shared_ptr<Mesh> buildMesh(std::vector<V3>&& points, int numPolygons, const MIntArray& counts,
                                const MIntArray& connects, const MFloatArray* u, const MFloatArray* v) {
    if (numPolygons < 0 || int(counts.length()) < numPolygons) return nullptr;
    auto m = std::make_shared<Mesh>();
    m->points = std::move(points);
    size_t total = 0;
    for (int f = 0; f < numPolygons; ++f) {
        if (counts[unsigned(f)] < 3) return nullptr;
        total += size_t(counts[unsigned(f)]);
    }
    if (total != connects.length()) return nullptr;
    m->faceVerts.assign(connects.begin(), connects.end());
    m->faceOffsets.resize(size_t(numPolygons) + 1);
    for (int f = 0; f < numPolygons; ++f)
        m->faceOffsets[size_t(f) + 1] = m->faceOffsets[size_t(f)] + counts[unsigned(f)];
    for (int id : m->faceVerts)
        if (id < 0 || id >= m->numVertices()) return nullptr;
    // Every mesh has the default UV set; UVs given here are stored in it, not assigned to faces.
    UvSet uvs;
    uvs.faceVertUv.assign(m->faceVerts.size(), -1);
    if (u && v) {
        if (u->length() != v->length()) return nullptr;
        uvs.u = u->vec();
        uvs.v = v->vec();
    }
    m->uvSets.push_back(std::move(uvs));
    m->topologyChanged();
    if (!validateMesh(*m).empty()) return nullptr;
    return m;
}

// The mesh of a create() call, from double or float points; null when the arrays do not describe one.
template <class PointArray>
std::shared_ptr<Mesh> meshOf(const PointArray& vertexArray, int numVertices, int numPolygons,
                             const MIntArray& counts, const MIntArray& connects, const MFloatArray* u,
                             const MFloatArray* v) {
    std::vector<V3> pts;
    if (!pointsOf(vertexArray, numVertices, pts)) return nullptr;
    return buildMesh(std::move(pts), numPolygons, counts, connects, u, v);
}

}  // namespace

// --- attaching ---------------------------------------------------------------------------------------------

MFnMesh::MFnMesh() = default;
MFnMesh::MFnMesh(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}
MFnMesh::MFnMesh(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}
MFnMesh::MFnMesh(const MDagPath& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, setObject(object));
}
MFnMesh::~MFnMesh() = default;
MFn::Type MFnMesh::type() const {
    return MFn::kMesh;
}
const char* MFnMesh::className() {
    return "MFnMesh";
}

MStatus MFnMesh::setObject(const MDagPath& path) {
    if (!MeshAccess::resolve(path, path_)) {
        object_ = MObject();
        path_ = MDagPath();
        return MS::kInvalidParameter;
    }
    object_ = path_.nodes().back();  // the path's own handle of the shape
    return MS::kSuccess;
}
MStatus MFnMesh::setObject(MObject& object) {
    return setObject(static_cast<const MObject&>(object));
}
MStatus MFnMesh::setObject(const MObject& object) {
    path_ = MDagPath();
    MeshAccess a;
    if (!a.attach(object)) {
        object_ = MObject();
        return MS::kInvalidParameter;
    }
    object_ = object;
    return MS::kSuccess;
}

// --- creation
// -------------------------------------------------------------------------------------------------

// No parent: a new transform with a mesh shape under it; the transform is returned. A transform parent: a
// mesh shape under it, returned. Mesh data: the data is filled and returned. The set attaches to the mesh.
MObject MFnMesh::place(const std::shared_ptr<Mesh>& mesh, MObject& parentOrOwner, MStatus* ReturnStatus) {
    if (!mesh) {  // create()'s arrays did not describe a mesh
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    if (!parentOrOwner.isNull() && parentOrOwner.apiType() == MFn::kMeshData) {
        MeshPtr target = mutableMesh(parentOrOwner);
        if (!target) {
            setStatus(ReturnStatus, MS::kInvalidParameter);
            return MObject();
        }
        *target = *mesh;
        setObject(parentOrOwner);
        setStatus(ReturnStatus, MS::kSuccess);
        return parentOrOwner;
    }
    Node* parent = nullptr;
    if (!parentOrOwner.isNull()) {
        NodePtr p = nodeOf(parentOrOwner);
        if (!p || !p->alive() || !p->isTransform()) {
            setStatus(ReturnStatus, MS::kInvalidParameter);
            return MObject();
        }
        parent = p.get();
    }
    std::string error;
    NodePtr transform;
    NodePtr shape = createNodeOfType("mesh", "", parent, &transform, &error);
    if (!shape) {
        setStatus(ReturnStatus, MS::kFailure);
        return MObject();
    }
    Scene& scene = shape->scene();
    if (!scene.setShapeMesh(*shape, mesh, &error)) {
        scene.deleteNode(transform ? *transform : *shape);
        setStatus(ReturnStatus, MS::kFailure);
        return MObject();
    }
    setObject(wrapNode(shape));
    setStatus(ReturnStatus, MS::kSuccess);
    return transform ? wrapNode(transform) : object_;
}

MObject MFnMesh::create(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                        MObject parentOrOwner, MStatus* ReturnStatus) {
    return place(
        meshOf(vertexArray, numVertices, numPolygons, polygonCounts, polygonConnects, nullptr, nullptr),
        parentOrOwner, ReturnStatus);
}

MObject MFnMesh::create(int numVertices, int numPolygons, const MPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                        MObject parentOrOwner, MStatus* ReturnStatus) {
    return place(
        meshOf(vertexArray, numVertices, numPolygons, polygonCounts, polygonConnects, nullptr, nullptr),
        parentOrOwner, ReturnStatus);
}

MObject MFnMesh::create(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                        const MFloatArray& uArray, const MFloatArray& vArray, MObject parentOrOwner,
                        MStatus* ReturnStatus) {
    return place(
        meshOf(vertexArray, numVertices, numPolygons, polygonCounts, polygonConnects, &uArray, &vArray),
        parentOrOwner, ReturnStatus);
}

MObject MFnMesh::create(int numVertices, int numPolygons, const MPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects,
                        const MFloatArray& uArray, const MFloatArray& vArray, MObject parentOrOwner,
                        MStatus* ReturnStatus) {
    return place(
        meshOf(vertexArray, numVertices, numPolygons, polygonCounts, polygonConnects, &uArray, &vArray),
        parentOrOwner, ReturnStatus);
}

// The source is a mesh shape, a transform with one mesh shape, or mesh data; its evaluated mesh (UV sets,
// colours, creases, edge flags and locked normals included) is copied without history.
MObject MFnMesh::copy(const MObject& source, MObject parentOrOwner, MStatus* ReturnStatus) {
    MeshAccess src;
    bool ok = src.attach(source);
    if (!ok) {
        NodePtr n = nodeOf(source);
        ok = n && n->isTransform() && src.attach(pathTo(*n));
    }
    ConstMeshPtr m = ok ? src.read() : nullptr;
    if (!m) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    return place(std::make_shared<Mesh>(*m), parentOrOwner, ReturnStatus);
}

// Appends one polygon. With mergeVertices, a corner within pointTolerance of an existing vertex uses it.
// Without an attached mesh (or with a parent/owner given) a new mesh is made by the create() rules.
MObject MFnMesh::addPolygon(const MPointArray& vertexArray, int& faceIndex, bool mergeVertices,
                            double pointTolerance, MObject parentOrOwner, MStatus* ReturnStatus) {
    if (vertexArray.length() < 3) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    auto addTo = [&](Mesh& m) -> MStatus {
        std::vector<int> ids;
        for (const MPoint& p : vertexArray) {
            V3 q = toV3(p);
            int id = -1;
            if (mergeVertices) {
                for (int i = 0; i < m.numVertices() && id < 0; ++i)
                    if (length(m.points[size_t(i)] - q) <= pointTolerance) id = i;
            }
            if (id < 0) {
                id = m.numVertices();
                m.points.push_back(q);
            }
            ids.push_back(id);
        }
        Mesh trial = m;
        faceIndex = trial.addFace(ids);
        trial.pointsChanged();
        if (!validateMesh(trial).empty()) return MS::kInvalidParameter;
        m = std::move(trial);
        return MS::kSuccess;
    };
    if (object_.isNull() || !parentOrOwner.isNull()) {
        auto m = std::make_shared<Mesh>();
        m->uvSets.push_back(UvSet());
        MStatus st = addTo(*m);
        if (!st) {
            setStatus(ReturnStatus, st);
            return MObject();
        }
        return place(m, parentOrOwner, ReturnStatus);
    }
    MeshAccess a(object_, path_);
    MStatus st = a.edit(addTo);
    setStatus(ReturnStatus, st);
    return st ? object_ : MObject();
}

MObject MFnMesh::addPolygon(const MPointArray& vertexArray, bool mergeVertices, double pointTolerance,
                            MObject parentOrOwner, MStatus* ReturnStatus) {
    int face = -1;
    return addPolygon(vertexArray, face, mergeVertices, pointTolerance, parentOrOwner, ReturnStatus);
}

// Removes one face; vertices no other face uses are removed too (ids above them shift down). Per-corner
// UV and colour assignments of the face go with it; creases and hard edges of edges that disappear go.
MStatus MFnMesh::deleteFace(int faceId, MDGModifier*) {
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        if (faceId < 0 || faceId >= m.numFaces()) return MS::kInvalidParameter;
        const int b = m.faceOffsets[size_t(faceId)], e = m.faceOffsets[size_t(faceId) + 1], n = e - b;
        auto eraseRange = [&](std::vector<int>& v) { v.erase(v.begin() + b, v.begin() + e); };
        eraseRange(m.faceVerts);
        for (UvSet& s : m.uvSets) eraseRange(s.faceVertUv);
        for (ColorSet& s : m.colorSets) eraseRange(s.faceVertColor);
        m.faceOffsets.erase(m.faceOffsets.begin() + faceId + 1);
        for (size_t f = size_t(faceId) + 1; f < m.faceOffsets.size(); ++f) m.faceOffsets[f] -= n;
        // Compact the vertices.
        std::vector<int> remap(size_t(m.numVertices()), -1);
        for (int v : m.faceVerts) remap[size_t(v)] = 0;
        int next = 0;
        std::vector<V3> pts;
        for (size_t v = 0; v < remap.size(); ++v)
            if (remap[v] == 0) {
                remap[v] = next++;
                pts.push_back(m.points[v]);
            }
        m.points = std::move(pts);
        for (int& v : m.faceVerts) v = remap[size_t(v)];
        m.topologyChanged();
        const MeshTopology& t = m.topology();
        auto live = [&](std::pair<int, int> k, std::pair<int, int>& out) {
            if (remap[size_t(k.first)] < 0 || remap[size_t(k.second)] < 0) return false;
            out = {remap[size_t(k.first)], remap[size_t(k.second)]};
            if (out.first > out.second) std::swap(out.first, out.second);
            return t.findEdge(out.first, out.second) >= 0;
        };
        std::map<std::pair<int, int>, double> creases;
        for (auto& [k, c] : m.edgeCreases) {
            std::pair<int, int> nk;
            if (live(k, nk)) creases[nk] = c;
        }
        m.edgeCreases = std::move(creases);
        std::set<std::pair<int, int>> hard;
        for (auto& k : m.hardEdges) {
            std::pair<int, int> nk;
            if (live(k, nk)) hard.insert(nk);
        }
        m.hardEdges = std::move(hard);
        std::vector<std::pair<int, V3>> locks;
        for (auto& [v, nrm] : m.lockedNormals)
            if (remap[size_t(v)] >= 0) locks.emplace_back(remap[size_t(v)], nrm);
        m.lockedNormals = std::move(locks);
        return MS::kSuccess;
    });
}

// --- counts -----------------------------------------------------------------------------------------------

namespace {
template <class F>
int countOf(const MObject& object, const MDagPath& path, MStatus* st, F f) {
    Reader r(object, path);
    setStatus(st, r ? MS::kSuccess : MS::kFailure);
    return r ? f(*r.mesh) : 0;
}
}  // namespace

int MFnMesh::numVertices(MStatus* ReturnStatus) const {
    return countOf(object_, path_, ReturnStatus, [](const Mesh& m) { return m.numVertices(); });
}
int MFnMesh::numEdges(MStatus* ReturnStatus) const {
    return countOf(object_, path_, ReturnStatus, [](const Mesh& m) { return m.numEdges(); });
}
int MFnMesh::numPolygons(MStatus* ReturnStatus) const {
    return countOf(object_, path_, ReturnStatus, [](const Mesh& m) { return m.numFaces(); });
}
int MFnMesh::numFaceVertices(MStatus* ReturnStatus) const {
    return countOf(object_, path_, ReturnStatus, [](const Mesh& m) { return m.numFaceVertices(); });
}
int MFnMesh::polygonVertexCount(int polygonId, MStatus* ReturnStatus) const {
    Reader r(object_, path_);
    if (!r || polygonId < 0 || polygonId >= r.mesh->numFaces()) {
        setStatus(ReturnStatus, r ? MS::kInvalidParameter : MS::kFailure);
        return 0;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return r.mesh->faceSize(polygonId);
}
int MFnMesh::numUVSets(MStatus* ReturnStatus) const {
    return countOf(object_, path_, ReturnStatus, [](const Mesh& m) { return int(m.uvSets.size()); });
}
int MFnMesh::numColorSets(MStatus* ReturnStatus) const {
    return countOf(object_, path_, ReturnStatus, [](const Mesh& m) { return int(m.colorSets.size()); });
}

// --- points -----------------------------------------------------------------------------------------------

namespace {
// An affine matrix (last column 0, 0, 0, 1) applied in the row-vector form, without MPoint's homogeneous
// division: the per-point cost of whole-array reads and writes.
struct Affine {
    double m[4][3];
    bool identity = true, affine = true;
    explicit Affine(const MMatrix& x) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c) m[r][c] = x.matrix[r][c];
        identity = isIdentity(x);
        affine = x.matrix[0][3] == 0 && x.matrix[1][3] == 0 && x.matrix[2][3] == 0 && x.matrix[3][3] == 1;
    }
    V3 apply(double x, double y, double z) const {
        return {x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0],
                x * m[0][1] + y * m[1][1] + z * m[2][1] + m[3][1],
                x * m[0][2] + y * m[1][2] + z * m[2][2] + m[3][2]};
    }
};

template <class PointArray>
MStatus readPoints(const MObject& object, const MDagPath& path, PointArray& out, MSpace::Space space) {
    Reader r(object, path);
    if (!r) return MS::kFailure;
    const std::vector<V3>& pts = r.mesh->points;
    const MMatrix m = r.access.toSpace(space);
    const Affine a(m);
    auto& v = out.vec();
    v.resize(pts.size());
    using P = typename PointArray::value_type;
    for (size_t i = 0; i < pts.size(); ++i) {
        const V3& q = pts[i];
        const V3 p = a.identity ? q : a.affine ? a.apply(q.x, q.y, q.z) : xformPoint(q, m);
        v[i] = P(p.x, p.y, p.z);
    }
    return MS::kSuccess;
}

// One flat pass from the caller's array into object-space points, then one write of what changed.
template <class PointArray>
MStatus writePoints(const MObject& object, const MDagPath& path, const PointArray& in, MSpace::Space space) {
    MeshAccess a(object, path);
    if (object.isNull()) return MS::kFailure;
    const MMatrix inv = a.toObject(space);
    const Affine x(inv);
    // A buffer kept between calls: a drag writes the same size of array on every event, and a fresh one
    // would cost its page faults each time.
    static thread_local std::vector<V3> buffer;
    std::vector<V3>& pts = buffer;  // one thread-local lookup, not one per point
    const unsigned n = in.length();
    pts.resize(n);
    const auto* src = n ? &in[0] : nullptr;
    V3* out = pts.data();
    for (unsigned i = 0; i < n; ++i) {
        const auto& p = src[i];
        double px = p.x, py = p.y, pz = p.z;
        if (p.w != 1 && p.w != 0) {
            px /= p.w;
            py /= p.w;
            pz /= p.w;
        }
        out[i] = x.identity ? V3{px, py, pz}
                 : x.affine ? x.apply(px, py, pz)
                            : xformPoint(V3{px, py, pz}, inv);
    }
    return a.setPointsFrom(pts);
}
}  // namespace

MStatus MFnMesh::getPoints(MFloatPointArray& vertexArray, MSpace::Space space) const {
    return readPoints(object_, path_, vertexArray, space);
}
MStatus MFnMesh::getPoints(MPointArray& vertexArray, MSpace::Space space) const {
    return readPoints(object_, path_, vertexArray, space);
}
MStatus MFnMesh::setPoints(MFloatPointArray& vertexArray, MSpace::Space space) {
    return writePoints(object_, path_, vertexArray, space);
}
MStatus MFnMesh::setPoints(MPointArray& vertexArray, MSpace::Space space) {
    return writePoints(object_, path_, vertexArray, space);
}

MStatus MFnMesh::getPoint(int vertexId, MPoint& pos, MSpace::Space space) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    if (vertexId < 0 || vertexId >= r.mesh->numVertices()) return MS::kInvalidParameter;
    pos = toMPoint(r.mesh->points[size_t(vertexId)]) * r.access.toSpace(space);
    return MS::kSuccess;
}

MStatus MFnMesh::setPoint(int vertexId, const MPoint& pos, MSpace::Space space) {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    if (vertexId < 0 || vertexId >= r.mesh->numVertices()) return MS::kInvalidParameter;
    std::vector<V3> pts = r.mesh->points;
    pts[size_t(vertexId)] = toV3(pos * r.access.toSpace(space).inverse());
    return r.access.setPoints(std::move(pts));
}

// --- topology ---------------------------------------------------------------------------------------------

MStatus MFnMesh::getPolygonVertices(int polygonId, MIntArray& vertexList) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    const Mesh& m = *r.mesh;
    if (polygonId < 0 || polygonId >= m.numFaces()) return MS::kInvalidParameter;
    vertexList.vec().assign(m.faceVerts.begin() + m.faceOffsets[size_t(polygonId)],
                            m.faceVerts.begin() + m.faceOffsets[size_t(polygonId) + 1]);
    return MS::kSuccess;
}

MStatus MFnMesh::getVertices(MIntArray& vertexCount, MIntArray& vertexList) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    const Mesh& m = *r.mesh;
    auto& counts = vertexCount.vec();
    counts.resize(size_t(m.numFaces()));
    for (int f = 0; f < m.numFaces(); ++f) counts[size_t(f)] = m.faceSize(f);
    vertexList.vec() = m.faceVerts;
    return MS::kSuccess;
}

MStatus MFnMesh::getEdgeVertices(int edgeId, int2& vertexList) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    const MeshTopology& t = r.mesh->topology();
    if (edgeId < 0 || edgeId >= t.numEdges()) return MS::kInvalidParameter;
    vertexList[0] = t.edgeVertex(edgeId, 0);
    vertexList[1] = t.edgeVertex(edgeId, 1);
    return MS::kSuccess;
}

MStatus MFnMesh::getTriangles(MIntArray& triangleCounts, MIntArray& triangleVertices) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    const Mesh& m = *r.mesh;
    const MeshGeometry& g = m.geometry();
    auto& counts = triangleCounts.vec();
    auto& verts = triangleVertices.vec();
    counts.resize(size_t(m.numFaces()));
    verts.clear();
    verts.reserve(size_t(g.numTriangles()) * 3);
    for (int f = 0; f < m.numFaces(); ++f) {
        counts[size_t(f)] = g.faceTriangleCount(f);
        for (int k = 0; k < counts[size_t(f)]; ++k) {
            auto tri = g.triangleVertices(f, k);
            verts.insert(verts.end(), tri.begin(), tri.end());
        }
    }
    return MS::kSuccess;
}

MStatus MFnMesh::getPolygonTriangleVertices(int polygonId, int triangleId, int vertexList[3]) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    const Mesh& m = *r.mesh;
    if (polygonId < 0 || polygonId >= m.numFaces()) return MS::kInvalidParameter;
    const MeshGeometry& g = m.geometry();
    if (triangleId < 0 || triangleId >= g.faceTriangleCount(polygonId)) return MS::kInvalidParameter;
    auto tri = g.triangleVertices(polygonId, triangleId);
    for (int i = 0; i < 3; ++i) vertexList[i] = tri[size_t(i)];
    return MS::kSuccess;
}

// --- edge flags and creases
// ---------------------------------------------------------------------------------

bool MFnMesh::isEdgeSmooth(int edgeId, MStatus* ReturnStatus) const {
    Reader r(object_, path_);
    if (!r) {
        setStatus(ReturnStatus, MS::kFailure);
        return false;
    }
    const MeshTopology& t = r.mesh->topology();
    if (edgeId < 0 || edgeId >= t.numEdges()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return false;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return r.mesh->hardEdges.count(edgeKey(t, edgeId)) == 0;
}

MStatus MFnMesh::setEdgeSmoothing(int edgeId, bool smooth) {
    MeshAccess a(object_, path_);
    if (object_.isNull()) return MS::kFailure;
    return a.edit([&](Mesh& m) -> MStatus {
        const MeshTopology& t = m.topology();
        if (edgeId < 0 || edgeId >= t.numEdges()) return MS::kInvalidParameter;
        if (smooth)
            m.hardEdges.erase(edgeKey(t, edgeId));
        else
            m.hardEdges.insert(edgeKey(t, edgeId));
        // Face-vertex normals depend on the flags.
        m.pointsChanged();
        return MS::kSuccess;
    });
}

// Edge flags take effect at once here, so there is nothing left to clean up.
MStatus MFnMesh::cleanupEdgeSmoothing() {
    return object_.isNull() ? MS::kFailure : MS::kSuccess;
}

// Every edge with a crease above zero, by increasing edge id.
MStatus MFnMesh::getCreaseEdges(MUintArray& edgeIds, MDoubleArray& creaseData) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    const MeshTopology& t = r.mesh->topology();
    std::vector<std::pair<int, double>> found;
    for (auto& [k, c] : r.mesh->edgeCreases) {
        int e = t.findEdge(k.first, k.second);
        if (e >= 0 && c > 0) found.emplace_back(e, c);
    }
    std::sort(found.begin(), found.end());
    edgeIds.clear();
    creaseData.clear();
    for (auto& [e, c] : found) {
        edgeIds.append(unsigned(e));
        creaseData.append(c);
    }
    return MS::kSuccess;
}

// A crease of zero (or less) removes the edge's crease.
MStatus MFnMesh::setCreaseEdges(const MUintArray& edgeIds, const MDoubleArray& creaseData) {
    if (edgeIds.length() != creaseData.length()) return MS::kInvalidParameter;
    MeshAccess a(object_, path_);
    if (object_.isNull()) return MS::kFailure;
    return a.edit([&](Mesh& m) -> MStatus {
        const MeshTopology& t = m.topology();
        for (unsigned i = 0; i < edgeIds.length(); ++i) {
            int e = int(edgeIds[i]);
            if (e < 0 || e >= t.numEdges()) return MS::kInvalidParameter;
            if (creaseData[i] > 0)
                m.edgeCreases[edgeKey(t, e)] = creaseData[i];
            else
                m.edgeCreases.erase(edgeKey(t, e));
        }
        return MS::kSuccess;
    });
}

// --- normals ----------------------------------------------------------------------------------------------

namespace kxh {
V3 faceVertexNormal(const Mesh& m, int f, int v) {
    for (auto it = m.lockedNormals.rbegin(); it != m.lockedNormals.rend(); ++it)
        if (it->first == v) return it->second;
    const MeshTopology& t = m.topology();
    const MeshGeometry& g = m.geometry();
    if (m.hardEdges.empty()) return m.vertexNormal(v, false);
    IdRange faces = t.vertexFaces(v), edges = t.vertexEdges(v);
    int nf = faces.size(), ne = edges.size();
    int at = -1;
    for (int i = 0; i < nf; ++i)
        if (faces[i] == f) at = i;
    if (at < 0) return m.vertexNormal(v, false);
    // In a single fan, face i lies between edges i and i+1 (wrapping for a closed fan).
    bool closed = ne == nf;
    if (ne != nf && ne != nf + 1) return g.faceNormal(f);  // several fans: the face alone
    auto hard = [&](int edgeSlot) {
        int e = edges[(edgeSlot % ne + ne) % ne];
        int a = t.edgeVertex(e, 0), b = t.edgeVertex(e, 1);
        return m.hardEdges.count({std::min(a, b), std::max(a, b)}) != 0;
    };
    V3 sum = MeshGeometry::newellNormal(m, f);
    int steps = 0;
    for (int i = at; steps < nf - 1; ++steps) {  // forward across edge i+1
        if ((!closed && i + 1 >= nf) || hard(i + 1)) break;
        i = (i + 1) % nf;
        if (i == at) break;
        sum += MeshGeometry::newellNormal(m, faces[i]);
    }
    int back = 0;
    for (int i = at; back < nf - 1 - steps; ++back) {  // backward across edge i
        if ((!closed && i == 0) || hard(i)) break;
        i = (i - 1 + nf) % nf;
        sum += MeshGeometry::newellNormal(m, faces[i]);
    }
    return normalized(sum);
}
}  // namespace kxh

MStatus MFnMesh::getVertexNormal(int vertexId, MVector& normal, MSpace::Space space) const {
    return getVertexNormal(vertexId, false, normal, space);
}

MStatus MFnMesh::getVertexNormal(int vertexId, bool angleWeighted, MVector& normal,
                                 MSpace::Space space) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    if (vertexId < 0 || vertexId >= r.mesh->numVertices()) return MS::kInvalidParameter;
    normal = toMVector(xformNormal(r.mesh->vertexNormal(vertexId, angleWeighted), r.access.toSpace(space)));
    return MS::kSuccess;
}

MStatus MFnMesh::getVertexNormals(bool angleWeighted, MFloatVectorArray& normals, MSpace::Space space) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    const std::vector<V3>& ns = r.mesh->geometry().vertexNormals(angleWeighted);
    MMatrix m = r.access.toSpace(space);
    auto& out = normals.vec();
    out.resize(ns.size());
    for (size_t i = 0; i < ns.size(); ++i) {
        V3 n = xformNormal(ns[i], m);
        out[i] = MFloatVector(float(n.x), float(n.y), float(n.z));
    }
    return MS::kSuccess;
}

MStatus MFnMesh::getPolygonNormal(int polygonId, MVector& normal, MSpace::Space space) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    if (polygonId < 0 || polygonId >= r.mesh->numFaces()) return MS::kInvalidParameter;
    normal = toMVector(xformNormal(r.mesh->geometry().faceNormal(polygonId), r.access.toSpace(space)));
    return MS::kSuccess;
}

MStatus MFnMesh::getFaceVertexNormal(int faceIndex, int vertexIndex, MVector& normal,
                                     MSpace::Space space) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    const Mesh& m = *r.mesh;
    if (faceIndex < 0 || faceIndex >= m.numFaces() || vertexIndex < 0 || vertexIndex >= m.numVertices())
        return MS::kInvalidParameter;
    if (!m.topology().vertexFaces(vertexIndex).contains(faceIndex)) return MS::kInvalidParameter;
    normal = toMVector(xformNormal(faceVertexNormal(m, faceIndex, vertexIndex), r.access.toSpace(space)));
    return MS::kSuccess;
}

// One normal per face-vertex, in face-vertex order (the normal of each corner as its face sees it).
MStatus MFnMesh::getNormals(MFloatVectorArray& normals, MSpace::Space space) const {
    Reader r(object_, path_);
    if (!r) return MS::kFailure;
    const Mesh& m = *r.mesh;
    MMatrix xf = r.access.toSpace(space);
    auto& out = normals.vec();
    out.resize(size_t(m.numFaceVertices()));
    for (int f = 0; f < m.numFaces(); ++f)
        for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c) {
            V3 n = xformNormal(faceVertexNormal(m, f, m.faceVerts[size_t(c)]), xf);
            out[size_t(c)] = MFloatVector(float(n.x), float(n.y), float(n.z));
        }
    return MS::kSuccess;
}

// Sets and locks the shared normal of each listed vertex (given in `space`, stored in object space).
MStatus MFnMesh::setVertexNormals(MVectorArray& normalArray, MIntArray& vertexList, MSpace::Space space) {
    if (normalArray.length() != vertexList.length()) return MS::kInvalidParameter;
    MeshAccess a(object_, path_);
    if (object_.isNull()) return MS::kFailure;
    MMatrix toObject = a.toSpace(space).inverse();
    std::vector<V3> normals(normalArray.length());
    for (unsigned i = 0; i < normalArray.length(); ++i)
        normals[i] = xformNormal(normalized(toV3(normalArray[i])), toObject);
    std::shared_ptr<MeshDataChange> change;
    {
        ConstMeshPtr m = a.read();
        if (!m) return MS::kFailure;
        for (int v : vertexList)
            if (v < 0 || v >= m->numVertices()) return MS::kInvalidParameter;
        change = lockedNormalChange(*m, vertexList.vec(), normals);
    }  // let go before the write (in place when nothing else holds the mesh)
    return a.change(change);
}

MStatus MFnMesh::setVertexNormal(MVector& normal, int vertexId, MSpace::Space space, MDGModifier*) {
    MVectorArray n;
    n.append(normal);
    MIntArray ids;
    ids.append(vertexId);
    return setVertexNormals(n, ids, space);
}

MStatus MFnMesh::unlockVertexNormals(MIntArray& vertexList) {
    MeshAccess a(object_, path_);
    if (object_.isNull()) return MS::kFailure;
    std::set<int> drop(vertexList.begin(), vertexList.end());
    return a.edit([&](Mesh& m) -> MStatus {
        auto& l = m.lockedNormals;
        l.erase(std::remove_if(l.begin(), l.end(), [&](auto& e) { return drop.count(e.first) != 0; }),
                l.end());
        m.pointsChanged();
        return MS::kSuccess;
    });
}

// --- updates ----------------------------------------------------------------------------------------------

// Every query reads the node's current geometry, so there is no stale copy to refresh.
MStatus MFnMesh::syncObject() {
    return object_.isNull() ? MS::kFailure : MS::kSuccess;
}

// Drawing reads the shape's geometry on every refresh; nothing is cached for display here.
MStatus MFnMesh::updateSurface() {
    return object_.isNull() ? MS::kFailure : MS::kSuccess;
}
