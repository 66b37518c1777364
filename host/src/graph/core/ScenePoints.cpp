// Point writes of mesh shapes, the flat path behind MFnMesh::setPoints: the new points are compared with the
// current ones, only the entries that differ are written (into the shape's own mesh, or into its pnts
// tweaks when it has history) and kept by the undo record, and the shape is dirtied once. The shape's mesh
// is written in place when nothing but the shape itself holds it; a mesh that an undo record, a downstream
// node or a caller still holds is copied first (copy-on-write). UV, colour and locked-normal changes
// (changeShapeMeshData) take the same way into the shape's own mesh.
#include <atomic>

#include "graph/core/BuiltinTypes.h"
#include "graph/core/Scene.h"
#include "graph/core/ScenePoints.h"
#include "mesh/MeshBvh.h"
#include "mesh/MeshMath.h"

namespace kxh {

namespace {

std::atomic<long long> gPointRecordBytes{0};
std::atomic<long long> gMeshDataRecordBytes{0};

// What one point write changed: the ids and the values before and after, kept by its undo record.
struct PointDelta {
    std::vector<int> ids;
    std::vector<V3> before, after;
    std::vector<bool> existed;  // tweaks: whether the pnts element existed before
    size_t bytes = 0;
    void seal() {
        ids.shrink_to_fit();
        before.shrink_to_fit();
        after.shrink_to_fit();
        existed.shrink_to_fit();
        bytes = sizeof(*this) + ids.capacity() * sizeof(int) +
                (before.capacity() + after.capacity()) * sizeof(V3) + existed.capacity() / 8;
        gPointRecordBytes += (long long)bytes;
    }
    ~PointDelta() { gPointRecordBytes -= (long long)bytes; }
};

const MeshData* meshDataOf(const PlugSlot& s) {
    if (!s.value.isData()) return nullptr;
    return dynamic_cast<const MeshData*>(s.value.data().get());
}

// A data change kept by an undo record, counted in sceneMeshDataRecordBytes while it lives.
struct RecordedChange {
    std::shared_ptr<MeshDataChange> change;
    size_t bytes;
    explicit RecordedChange(std::shared_ptr<MeshDataChange> c)
        : change(std::move(c)), bytes(change->bytes()) {
        gMeshDataRecordBytes += (long long)bytes;
    }
    ~RecordedChange() { gMeshDataRecordBytes -= (long long)bytes; }
};
}  // namespace

// True when `mesh` is held by nothing but the shape's own mesh plugs (its geometry, the evaluated outMesh
// and worldMesh) and `localRefs` references of the caller.
bool shapeOwnsMesh(Node& n, const MeshPtr& mesh, long localRefs) {
    long holders = 0;
    for (const char* name : {attr::kCachedInMesh, attr::kOutMesh, attr::kWorldMesh}) {
        const PlugSlot* top = n.slot(n.findPlug(name));
        if (!top) continue;
        std::vector<const PlugSlot*> slots{top};
        for (auto& e : top->elements) slots.push_back(&e.second);
        for (const PlugSlot* s : slots) {
            const MeshData* d = meshDataOf(*s);
            if (!d || d->mesh != mesh) continue;
            if (s->value.data().use_count() != 1) return false;  // the data object itself is shared
            ++holders;
        }
    }
    return mesh.use_count() == holders + localRefs;
}

long long scenePointRecordBytes() {
    return gPointRecordBytes;
}

long long sceneMeshDataRecordBytes() {
    return gMeshDataRecordBytes;
}

bool Scene::setShapePoints(Node& shape, const std::vector<V3>& points, std::string* error) {
    MeshPtr cur = shapeMesh(shape);
    if (!cur) {
        if (error) *error = "The shape has no geometry";
        return false;
    }
    if (int(points.size()) != cur->numVertices()) {
        if (error) *error = "Point count does not match the vertex count";
        return false;
    }
    // Writes points into the shape's own mesh (a copy when another holder has it), then dirties it once.
    auto writeOwnPoints = [this](Node& n, const std::vector<int>& ids, const std::vector<V3>& values) {
        const Plug cached = n.findPlug(attr::kCachedInMesh);
        PlugSlot* s = n.slotFor(cached, false);
        const MeshData* d = s ? meshDataOf(*s) : nullptr;
        if (!d || !d->mesh) return;
        MeshPtr m = d->mesh;
        if (!shapeOwnsMesh(n, m, 1)) {
            m = std::make_shared<Mesh>(*m);
            s->value = Value::mesh(m);
        }
        const std::uint64_t from = m->pointsVersion();
        for (size_t k = 0; k < ids.size(); ++k) m->points[size_t(ids[k])] = values[k];
        m->pointsChanged();
        meshPointsMoved(*m, from, ids);  // the BVH's next sync looks at these vertices only
        propagateDirty(cached);
        firePlugCallbacks(kAttrChanged, n, cached);
    };
    // Sets pnts elements (removing those whose `keep` entry is false), then dirties pnts once.
    auto writeTweaks = [this](Node& n, const std::vector<int>& ids, const std::vector<V3>& values,
                              const std::vector<bool>* keep) {
        const Plug pnts = n.findPlug(attr::kPnts);
        PlugSlot* arr = n.slotFor(pnts, true);
        const Attribute* a = pnts.attribute();
        for (size_t k = 0; k < ids.size(); ++k) {
            if (keep && !(*keep)[k]) {
                arr->elements.erase(ids[k]);
                continue;
            }
            PlugSlot& e = arr->elements[ids[k]];
            e.dirty = false;
            const double xyz[3] = {values[k].x, values[k].y, values[k].z};
            for (size_t c = 0; c < 3 && c < a->children().size(); ++c) {
                PlugSlot& cs = e.children[a->children()[c].get()];
                cs.value = Value(xyz[c]);
                cs.hasValue = true;
                cs.dirty = false;
            }
        }
        // The kept evaluation takes these ids; the dirty notification below is the announced one.
        auto* mesh = dynamic_cast<MeshBehavior*>(n.behavior());
        if (mesh && n.alive()) mesh->tweaksWritten(ids);
        propagateDirty(pnts);
        firePlugCallbacks(kAttrChanged, n, pnts);
    };
    const Plug pnts = shape.findPlug(attr::kPnts);
    const bool history = hasHistory(shape);
    NodePtr self = shape.ptr();
    auto delta = std::make_shared<PointDelta>();

    if (!history && pnts.numElements() == 0) {
        // The shape's own geometry is what it shows: write the points that differ.
        for (size_t i = 0; i < points.size(); ++i)
            if (points[i] != cur->points[i]) {
                delta->ids.push_back(int(i));
                delta->before.push_back(cur->points[i]);
                delta->after.push_back(points[i]);
            }
        cur.reset();  // not a holder of the mesh
        if (delta->ids.empty()) return true;
        writeOwnPoints(shape, delta->ids, delta->after);
        if (isRecording() && !replaying()) {
            delta->seal();
            record([writeOwnPoints, self, delta] { writeOwnPoints(*self, delta->ids, delta->before); },
                   [writeOwnPoints, self, delta] { writeOwnPoints(*self, delta->ids, delta->after); });
        }
        return true;
    }

    const Plug in = shape.findPlug(attr::kInMesh);
    MeshPtr base = history ? evaluate(in).asMesh() : nullptr;
    const PlugSlot* arr = shape.slotFor(pnts, false);
    if (history && base && base->numVertices() == cur->numVertices() &&
        connectionsAt(pnts, true, false, true).empty()) {
        // History: the difference to the evaluated input goes to pnts (float tweaks), entry by entry. A
        // point equal to the one shown now keeps its tweak; only the others are looked up in pnts.
        static const std::map<int, PlugSlot> none;
        const std::map<int, PlugSlot>& elems = arr ? arr->elements : none;
        const Attribute* a = pnts.attribute();
        for (int i = 0; i < int(points.size()); ++i) {
            const V3 &p = points[size_t(i)], &b = base->points[size_t(i)];
            if (p == cur->points[size_t(i)]) continue;
            const V3 d{double(float(p.x - b.x)), double(float(p.y - b.y)), double(float(p.z - b.z))};
            auto it = elems.find(i);
            const bool have = it != elems.end();
            V3 old;
            if (have) {
                double* xyz[3] = {&old.x, &old.y, &old.z};
                for (size_t c = 0; c < 3 && c < a->children().size(); ++c) {
                    auto ch = it->second.children.find(a->children()[c].get());
                    if (ch != it->second.children.end() && ch->second.hasValue)
                        *xyz[c] = ch->second.value.asDouble();
                }
            }
            if (have ? old == d : (d.x == 0 && d.y == 0 && d.z == 0)) continue;
            delta->ids.push_back(i);
            delta->before.push_back(old);
            delta->after.push_back(d);
            delta->existed.push_back(have);
        }
        cur.reset();
        base.reset();
        if (delta->ids.empty()) return true;
        writeTweaks(shape, delta->ids, delta->after, nullptr);
        if (isRecording() && !replaying()) {
            delta->seal();
            record([writeTweaks, self,
                    delta] { writeTweaks(*self, delta->ids, delta->before, &delta->existed); },
                   [writeTweaks, self, delta] { writeTweaks(*self, delta->ids, delta->after, nullptr); });
        }
        return true;
    }

    // Anything else (tweaks on a shape without history, connected tweaks): the whole mesh is written.
    auto m = std::make_shared<Mesh>(*cur);
    m->points = points;
    m->pointsChanged();
    return setShapeMesh(shape, m, error);
}

bool Scene::changeShapeMeshData(Node& shape, std::shared_ptr<MeshDataChange> change) {
    if (!change || !shape.alive() || !shape.type().isA("mesh") || hasHistory(shape)) return false;
    const Plug cached = shape.findPlug(attr::kCachedInMesh);
    {
        const PlugSlot* s = shape.slot(cached);
        const MeshData* d = s ? meshDataOf(*s) : nullptr;
        if (!d || !d->mesh) return false;
    }
    // Applies the change (or takes it back) in the shape's own mesh, copied first when held elsewhere.
    auto write = [this, cached](Node& n, const MeshDataChange& c, bool forward) {
        PlugSlot* s = n.slotFor(cached, false);
        const MeshData* d = s ? meshDataOf(*s) : nullptr;
        if (!d || !d->mesh) return;
        MeshPtr m = d->mesh;
        if (!shapeOwnsMesh(n, m, 1)) {
            m = std::make_shared<Mesh>(*m);
            s->value = Value::mesh(m);
        }
        c.apply(*m, forward);
        if (c.changesNormals()) {
            const std::uint64_t from = m->pointsVersion();
            m->pointsChanged();
            meshPointsMoved(*m, from, {});  // no vertex moved: the BVH stays as it is
        }
        propagateDirty(cached);
        firePlugCallbacks(kAttrChanged, n, cached);
    };
    write(shape, *change, true);
    if (isRecording() && !replaying()) {
        NodePtr self = shape.ptr();
        auto held = std::make_shared<RecordedChange>(std::move(change));
        record([write, self, held] { write(*self, *held->change, false); },
               [write, self, held] { write(*self, *held->change, true); });
    }
    return true;
}

}  // namespace kxh
