#include "graph/api/mesh/MeshAccess.h"

#include "graph/core/Scene.h"
#include "graph/core/ScenePoints.h"

namespace kxh {

namespace {

bool isMeshNode(const Node& n) {
    return n.alive() && n.type().hasFn(MFn::kMesh);
}

// A plug of a node by an attribute found once per node type: every query through a function set reads a
// few plugs (outMesh, worldMatrix[0], intermediateObject), and finding them by name each time costs more
// than the ray cast they serve.
Plug plugOf(Node& n, const char* name, int element = -1) {
    struct Cached {
        const NodeType* type = nullptr;
        const char* name = nullptr;
        AttrPtr attr;
    };
    static thread_local Cached cache[4];
    for (Cached& c : cache)
        if (c.type == &n.type() && c.name == name)
            return element < 0 ? n.plug(c.attr) : Plug(n.ptr(), c.attr, {element});
    static thread_local unsigned next = 0;
    Cached& c = cache[next++ % 4];
    c = {&n.type(), name, n.findAttribute(name)};
    if (!c.attr) return Plug();
    return element < 0 ? n.plug(c.attr) : Plug(n.ptr(), c.attr, {element});
}

bool intermediate(Node& n) {
    const Plug p = plugOf(n, attr::kIntermediateObject);
    return !p.isNull() && n.scene().evaluate(p).asBool();
}

// The mesh shape a transform stands for: its one non-intermediate mesh shape (or its only mesh shape).
Node* meshShapeBelow(const Node& transform) {
    std::vector<Node*> meshes, visible;
    for (Node* c : transform.children()) {
        if (!c->isShape() || !isMeshNode(*c)) continue;
        meshes.push_back(c);
        if (!intermediate(*c)) visible.push_back(c);
    }
    if (visible.size() == 1) return visible[0];
    if (meshes.size() == 1) return meshes[0];
    return nullptr;
}

// What the last queries of a thread read from one shape: its outMesh and world matrices, valid while the
// graph's change count stays the same (a pick or closest-point query per mouse event then reads the graph
// once). The mesh is held weakly, so the cache never keeps a mesh from being written in place.
struct ShapeReads {
    const Node* raw = nullptr;  // the node `node` held when the entry was made
    std::weak_ptr<Node> node;
    std::uint64_t generation = 0;
    std::weak_ptr<const Mesh> mesh;
    bool haveMesh = false, haveWorld = false, haveInverse = false;
    MMatrix world, inverse;
};

ShapeReads& readsOf(Node& n) {
    static thread_local ShapeReads reads;
    const std::uint64_t g = sceneGraphGeneration();
    // A live node is the only one at its address: comparing the address and asking whether the node is
    // still alive is enough (no reference taken per query).
    if (reads.generation != g || reads.raw != &n || reads.node.expired()) {
        reads = ShapeReads();
        reads.raw = &n;
        reads.node = n.ptr();
        reads.generation = g;
    }
    return reads;
}

}  // namespace

bool MeshAccess::attach(const MObject& object) {
    detach();
    if (NodePtr n = nodeOf(object)) {
        if (!isMeshNode(*n)) return false;
        object_ = object;
        return true;
    }
    DataPtr d = dataOf(object);
    if (!d || d->kind() != DataKind::Mesh) return false;
    object_ = object;
    return true;
}

namespace {

// The path to the mesh shape below a transform's path (meshShapeBelow appended), kept per thread for the
// last transform while the graph does not change: a function set made from a transform path per mouse event
// would otherwise evaluate intermediateObject and make a new handle of the shape each time. A node has one
// path, so the transform alone names the path. Null when there is no mesh shape below. Like any path a
// caller keeps, the kept one holds its nodes until the next attach through another transform replaces it.
const MDagPath* cachedShapePath(const MDagPath& path, Node& transform) {
    struct Found {
        std::weak_ptr<Node> transform, shape;
        std::uint64_t generation = 0;
        size_t children = 0;  // nodes added or removed below change the answer without a plug change
        MDagPath path;
        bool valid = false;
    };
    static thread_local Found found;
    const std::uint64_t g = sceneGraphGeneration();
    if (found.valid && found.generation == g && found.transform.lock().get() == &transform &&
        found.children == transform.children().size()) {
        NodePtr s = found.shape.lock();
        if (s && s->alive() && s->parent() == &transform) return &found.path;
    }
    Node* s = meshShapeBelow(transform);
    if (!s) return nullptr;
    MDagPath full = path;
    full.push(wrapNode(s));
    // Not kept for the next call when meshShapeBelow's evaluation changed the graph.
    found = {transform.ptr(), s->ptr(), g, transform.children().size(), full, g == sceneGraphGeneration()};
    return &found.path;
}

}  // namespace

bool MeshAccess::resolve(const MDagPath& path, MDagPath& shapePath) {
    if (!path.isValid()) return false;
    Node* n = pathNode(path);
    if (n && n->isTransform()) {
        const MDagPath* full = cachedShapePath(path, *n);
        if (!full) return false;
        shapePath = *full;
        return true;
    }
    if (!n || !isMeshNode(*n)) return false;
    shapePath = path;
    return true;
}

bool MeshAccess::attach(const MDagPath& path) {
    detach();
    if (!resolve(path, path_)) {
        path_ = MDagPath();
        return false;
    }
    object_ = path_.nodes().back();  // the path's own handle of the shape (no new wrapper)
    return true;
}

void MeshAccess::detach() {
    object_ = MObject();
    path_ = MDagPath();
}

Node* MeshAccess::shape() const {
    // The function set's handle keeps the node: no reference of our own is needed.
    const auto* h = dynamic_cast<const NodeObject*>(object_.internal().get());
    return h && h->node && h->node->alive() ? h->node.get() : nullptr;
}

ConstMeshPtr MeshAccess::read() const {
    // Attached objects are mesh shapes (checked by attach): their outMesh is the evaluated geometry.
    // The function set's handle keeps the node: no reference of our own is needed.
    const auto* h = dynamic_cast<const NodeObject*>(object_.internal().get());
    if (Node* n = h ? h->node.get() : nullptr) {
        if (!n->alive()) return nullptr;
        const std::uint64_t g = sceneGraphGeneration();
        if (ShapeReads& r = readsOf(*n); r.haveMesh) {
            if (ConstMeshPtr m = r.mesh.lock()) return m;
        }
        MeshPtr m = n->scene().evaluate(plugOf(*n, attr::kOutMesh)).asMesh();
        // Kept only when nothing changed while evaluating (a compute may have read another shape too).
        if (g == sceneGraphGeneration()) {
            ShapeReads& r = readsOf(*n);
            r.mesh = m;
            r.haveMesh = m != nullptr;
        }
        return m;
    }
    return meshOf(object_);
}

MMatrix MeshAccess::toSpace(MSpace::Space space) const {
    if (space != MSpace::kWorld) return MMatrix();
    Node* n = shape();
    if (!n) return MMatrix();
    // The shape's worldMatrix[0]: the attached path's matrix (a node has exactly one path, no instancing),
    // kept by the graph until a transform above changes.
    const std::uint64_t g = sceneGraphGeneration();
    if (ShapeReads& r = readsOf(*n); r.haveWorld) return r.world;
    const Plug wm = plugOf(*n, attr::kWorldMatrix, 0);
    const MMatrix m =
        wm.isNull() ? pathTo(*n).inclusiveMatrix() : toMMatrix(n->scene().evaluate(wm).asMatrix());
    if (g == sceneGraphGeneration()) {
        ShapeReads& r = readsOf(*n);
        r.world = m;
        r.haveWorld = true;
    }
    return m;
}

MStatus MeshAccess::edit(const std::function<MStatus(Mesh&)>& change) {
    if (NodePtr n = nodeOf(object_)) {
        if (!n->alive()) return MS::kFailure;
        MeshPtr cur = n->scene().shapeMesh(*n);
        auto copy = cur ? std::make_shared<Mesh>(*cur) : std::make_shared<Mesh>();
        MStatus st = change(*copy);
        if (!st) return st;
        return n->scene().setShapeMesh(*n, copy) ? MS::kSuccess : MS::kFailure;
    }
    MeshPtr m = mutableMesh(object_);
    if (!m) return MS::kInvalidParameter;
    // Work on a copy so that a failed edit leaves the data as it was.
    Mesh copy = *m;
    MStatus st = change(copy);
    if (st) *m = std::move(copy);
    return st;
}

MStatus MeshAccess::setPoints(std::vector<V3>&& points) {
    if (NodePtr n = nodeOf(object_)) {
        if (!n->alive()) return MS::kFailure;
        return n->scene().setShapePoints(*n, points) ? MS::kSuccess : MS::kInvalidParameter;
    }
    MeshPtr m = mutableMesh(object_);
    if (!m) return MS::kInvalidParameter;
    if (int(points.size()) != m->numVertices()) return MS::kInvalidParameter;
    m->points = std::move(points);
    m->pointsChanged();
    return MS::kSuccess;
}

MStatus MeshAccess::setPointsFrom(const std::vector<V3>& points) {
    if (NodePtr n = nodeOf(object_)) {
        if (!n->alive()) return MS::kFailure;
        return n->scene().setShapePoints(*n, points) ? MS::kSuccess : MS::kInvalidParameter;
    }
    return setPoints(std::vector<V3>(points));
}

MStatus MeshAccess::change(const std::shared_ptr<MeshDataChange>& c) {
    if (!c) return attached() ? MS::kSuccess : MS::kFailure;
    auto applyTo = [&c](Mesh& m) -> MStatus {
        c->apply(m, true);
        if (c->changesNormals()) m.pointsChanged();
        return MS::kSuccess;
    };
    if (NodePtr n = nodeOf(object_)) {
        if (!n->alive()) return MS::kFailure;
        if (n->scene().changeShapeMeshData(*n, c)) return MS::kSuccess;
        return edit(applyTo);
    }
    MeshPtr m = mutableMesh(object_);
    if (!m) return MS::kInvalidParameter;
    return applyTo(*m);
}

MMatrix MeshAccess::toObject(MSpace::Space space) const {
    if (space != MSpace::kWorld) return MMatrix();
    Node* n = shape();
    if (!n) return MMatrix();
    const std::uint64_t g = sceneGraphGeneration();
    if (ShapeReads& r = readsOf(*n); r.haveInverse) return r.inverse;
    const Plug wim = plugOf(*n, "worldInverseMatrix", 0);
    const MMatrix m =
        wim.isNull() ? toSpace(space).inverse() : toMMatrix(n->scene().evaluate(wim).asMatrix());
    if (g == sceneGraphGeneration()) {
        ShapeReads& r = readsOf(*n);
        r.inverse = m;
        r.haveInverse = true;
    }
    return m;
}

V3 xformNormal(const V3& n, const MMatrix& m) {
    if (isIdentity(m)) return n;
    MVector v = toMVector(n).transformAsNormal(m);
    return normalized(toV3(v));
}

int uvSetIndex(const Mesh& mesh, const MString* name) {
    if (!name || name->length() == 0) {
        if (mesh.uvSets.empty()) return -1;
        return mesh.currentUvSet >= 0 && mesh.currentUvSet < int(mesh.uvSets.size()) ? mesh.currentUvSet : 0;
    }
    return mesh.findUvSet(name->str());
}

int colorSetIndex(const Mesh& mesh, const MString* name) {
    if (!name || name->length() == 0) {
        if (mesh.colorSets.empty()) return -1;
        return mesh.currentColorSet >= 0 && mesh.currentColorSet < int(mesh.colorSets.size())
                   ? mesh.currentColorSet
                   : 0;
    }
    return mesh.findColorSet(name->str());
}

}  // namespace kxh
