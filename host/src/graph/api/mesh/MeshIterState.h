#pragma once
// What the three mesh iterators (MItMeshPolygon, MItMeshVertex, MItMeshEdge) share: their position over
// the mesh kernel's topology, and a few conversions. Every query reads the mesh's current state, so edits
// made through an iterator or elsewhere are seen at once; adjacency comes from the kernel's cached
// topology (built once per topology change, never per iterator).
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>

#include <algorithm>
#include <vector>

#include "graph/api/mesh/MeshAccess.h"
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

// A vertex position in the space `xf` maps to.
inline MPoint pointIn(const Mesh& m, int v, const MMatrix& xf) {
    return toMPoint(m.points[size_t(v)]) * xf;
}

inline void assign(MIntArray& out, IdRange r) {
    out.vec().assign(r.begin(), r.end());
}

// Writes one vertex position (given in `space`) back to the mesh.
inline MStatus writeVertex(MeshAccess& access, const Mesh& m, int v, const MPoint& p, MSpace::Space space) {
    std::vector<V3> pts = m.points;
    pts[size_t(v)] = toV3(p * access.toSpace(space).inverse());
    return access.setPoints(std::move(pts));
}

}  // namespace kxh
