// Mesh shapes' geometry and construction history.
#include <algorithm>
#include <deque>
#include <set>

#include "graph/core/Scene.h"

namespace kxh {

namespace {

bool isMeshShape(const Node& n) {
    return n.alive() && n.type().isA("mesh");
}

}  // namespace

MeshPtr Scene::shapeMesh(Node& shape) {
    if (!isMeshShape(shape)) return nullptr;
    return evaluate(shape.findPlug(attr::kOutMesh)).asMesh();
}

bool Scene::hasHistory(const Node& shape) const {
    if (!isMeshShape(shape)) return false;
    Plug in = shape.findPlug(attr::kInMesh);
    return !in.isNull() && !in.effectiveSource().isNull();
}

bool Scene::setShapeMesh(Node& shape, MeshPtr mesh, std::string* error) {
    if (!isMeshShape(shape)) {
        if (error) *error = "Not a mesh shape";
        return false;
    }
    if (!mesh) {
        if (error) *error = "No mesh given";
        return false;
    }
    Plug pnts = shape.findPlug(attr::kPnts);
    Plug edits = shape.findPlug(attr::kMeshEdits);
    if (hasHistory(shape)) {
        Plug in = shape.findPlug(attr::kInMesh);
        MeshPtr base = evaluate(in).asMesh();
        if (base && meshTopologyEqual(*base, *mesh)) {
            // Points: the difference to the evaluated input goes to pnts (as float tweaks).
            std::vector<int> existing = pnts.existingLogicalIndices();
            std::set<int> have(existing.begin(), existing.end());
            for (int i = 0; i < mesh->numVertices(); ++i) {
                const V3 &p = mesh->points[size_t(i)], &b = base->points[size_t(i)];
                std::vector<double> d{double(float(p.x - b.x)), double(float(p.y - b.y)),
                                      double(float(p.z - b.z))};
                Plug e = pnts.elementByLogicalIndex(unsigned(i));
                bool zero = d[0] == 0 && d[1] == 0 && d[2] == 0;
                if (!have.count(i)) {
                    if (zero) continue;
                } else if (shape.storedValue(e).asNumbers() == d) {
                    continue;
                }
                if (!setValue(e, Value(d), error, true)) return false;
            }
            // Everything else goes to the edit layer (or leaves it when it matches the input).
            MeshPtr stored = shape.storedValue(edits).asMesh();
            if (!meshNonPointDataEqual(*base, *mesh)) {
                if (!stored || !meshNonPointDataEqual(*stored, *mesh) || !meshTopologyEqual(*stored, *mesh))
                    return setValue(edits, Value::mesh(mesh), error, true);
            } else if (stored) {
                return setValue(edits, Value(), error, true);
            }
            return true;
        }
        if (!bakeHistory(shape, error)) return false;
    }
    if (!setValue(shape.findPlug(attr::kCachedInMesh), Value::mesh(mesh), error, true)) return false;
    for (int i : pnts.existingLogicalIndices()) removeElement(pnts.elementByLogicalIndex(unsigned(i)));
    if (shape.storedValue(edits).asMesh()) setValue(edits, Value(), nullptr, true);
    return true;
}

std::vector<NodePtr> Scene::history(Node& node, bool pruneDagObjects) {
    std::vector<NodePtr> out;
    if (!node.alive()) return out;
    std::set<Node*> seen{&node};
    std::deque<Node*> queue{&node};
    while (!queue.empty()) {
        Node* n = queue.front();
        queue.pop_front();
        if (!(pruneDagObjects && n->isDag())) out.push_back(n->ptr());
        for (auto& c : n->inputs_) {
            if (!n->type().affectsAnything(c.dst.attribute())) continue;
            Node* up = c.src.node();
            if (seen.insert(up).second) queue.push_back(up);
        }
    }
    return out;
}

bool Scene::bakeHistory(Node& shape, std::string* error) {
    if (!isMeshShape(shape)) {
        if (error) *error = "Not a mesh shape";
        return false;
    }
    Plug in = shape.findPlug(attr::kInMesh);
    Plug pnts = shape.findPlug(attr::kPnts);
    Plug edits = shape.findPlug(attr::kMeshEdits);
    bool history = hasHistory(shape);
    if (!history && pnts.numElements() == 0 && !shape.storedValue(edits).asMesh()) return true;
    MeshPtr result = shapeMesh(shape);
    std::vector<NodePtr> upstream = history ? this->history(shape) : std::vector<NodePtr>();
    if (!upstream.empty()) upstream.erase(upstream.begin());  // the shape itself

    for (auto& c : connectionsAt(in, true, false, true)) disconnect(c.src, c.dst);
    if (!setValue(shape.findPlug(attr::kCachedInMesh), result ? Value::mesh(result) : Value(), error, true))
        return false;
    for (int i : pnts.existingLogicalIndices()) removeElement(pnts.elementByLogicalIndex(unsigned(i)));
    if (shape.storedValue(edits).asMesh()) setValue(edits, Value(), nullptr, true);

    // Upstream nodes that feed nothing any more go (DAG objects only when they are intermediate shapes).
    std::set<Node*> doomed;
    for (bool changed = true; changed;) {
        changed = false;
        for (auto& u : upstream) {
            if (!u->alive() || doomed.count(u.get())) continue;
            if (u->isDag() && !(u->isShape() && u->isIntermediate())) continue;
            bool feeds = false;
            for (auto& c : u->outputs_)
                if (!doomed.count(c.dst.node())) feeds = true;
            if (feeds) continue;
            doomed.insert(u.get());
            changed = true;
        }
    }
    for (auto& u : upstream)
        if (doomed.count(u.get()) && u->alive()) deleteNode(*u);
    return true;
}

}  // namespace kxh
