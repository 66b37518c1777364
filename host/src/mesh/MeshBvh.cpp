// The chunked BVH's life (MeshBvhChunks.h): the first build, partial updates after point edits, the slot a
// mesh keeps it in, and the process-wide statistics. The queries are in MeshBvhQuery.cpp.
#include <embree3/rtcore.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>

#include "mesh/MeshBvh.h"
#include "mesh/MeshBvhChunks.h"
#include "mesh/MeshGeometry.h"
#include "mesh/MeshMath.h"

namespace kxh {

namespace {

// --- the process-wide device -----------------------------------------------------------------------------

std::atomic<long long> gDeviceBytes{0};
std::atomic<long> gBuilds{0}, gRefits{0}, gUnchanged{0}, gChunkCommits{0};

bool trackMemory(void*, ssize_t bytes, bool) {
    gDeviceBytes += bytes;
    return true;
}

void reportError(void*, RTCError code, const char* text) {
    std::fprintf(stderr, "Embree error %d: %s\n", int(code), text ? text : "");
}

// One device for the whole process. Scenes hold a reference to it, so releasing ours at exit is safe
// whatever the order in which static meshes go.
RTCDevice device() {
    static struct Holder {
        RTCDevice dev;
        Holder() : dev(rtcNewDevice(nullptr)) {
            rtcSetDeviceErrorFunction(dev, reportError, nullptr);
            rtcSetDeviceMemoryMonitorFunction(dev, trackMemory, nullptr);
        }
        ~Holder() { rtcReleaseDevice(dev); }
    } holder;
    return holder.dev;
}

using Clock = std::chrono::steady_clock;

// How a chunk is built before its first update, and the scene's flags.
constexpr RTCBuildQuality kFirstQuality = RTC_BUILD_QUALITY_MEDIUM;
const RTCSceneFlags kSceneFlags = RTC_SCENE_FLAG_DYNAMIC | RTC_SCENE_FLAG_CONTEXT_FILTER_FUNCTION;

// True when every corner of the face turns the same way as its Newell normal by a clear margin: then the
// kernel's own (tolerant) convexity test agrees, at a fraction of its cost (no square roots).
bool strictlyConvex(const Mesh& mesh, int f) {
    const V3 n = MeshGeometry::newellNormal(mesh, f);
    const int b = mesh.faceOffsets[size_t(f)], count = mesh.faceSize(f);
    const V3* prev = &mesh.points[size_t(mesh.faceVerts[size_t(b + count - 1)])];
    const V3* cur = &mesh.points[size_t(mesh.faceVerts[size_t(b)])];
    for (int i = 0; i < count; ++i) {
        const V3* next = &mesh.points[size_t(mesh.faceVerts[size_t(b + (i + 1) % count)])];
        if (!(dot(cross(*cur - *prev, *next - *cur), n) > 0)) return false;
        prev = cur;
        cur = next;
    }
    return true;
}

// 10 bits of x spread to every third bit.
std::uint32_t spread10(std::uint32_t x) {
    x &= 0x3ff;
    x = (x | (x << 16)) & 0x030000ff;
    x = (x | (x << 8)) & 0x0300f00f;
    x = (x | (x << 4)) & 0x030c30c3;
    x = (x | (x << 2)) & 0x09249249;
    return x;
}

}  // namespace

// --- building ----------------------------------------------------------------------------------------------

MeshBvh::~MeshBvh() {
    if (scene_) rtcReleaseScene(scene_);
    for (Chunk& c : chunks_)
        if (c.geom) rtcReleaseGeometry(c.geom);
}

void MeshBvh::updateBounds() {
    RTCBounds b;
    rtcGetSceneBounds(scene_, &b);
    lo_ = {b.lower_x, b.lower_y, b.lower_z};
    hi_ = {b.upper_x, b.upper_y, b.upper_z};
}

void MeshBvh::build(const Mesh& mesh) {
    const auto start = Clock::now();
    const long long bytesBefore = gDeviceBytes;
    // The kernel's triangulation: the mesh's own when it has one, else triangulated here face by face with
    // the same function (a BVH needs no adjacency, so the first query does not build the topology).
    const MeshGeometry* g = mesh.cachedGeometry();
    claim(mesh);
    pointsVersion_ = mesh.pointsVersion();
    const int nf = mesh.numFaces();
    faceCount_.resize(size_t(nf));
    facePos_.assign(size_t(nf), 0);
    faceChunk_.assign(size_t(nf), 0);
    faceStamp_.assign(size_t(nf), 0);
    numTris_ = 0;
    for (int f = 0; f < nf; ++f) {
        faceCount_[size_t(f)] = std::max(0, mesh.faceSize(f) - 2);
        numTris_ += faceCount_[size_t(f)];
    }
    std::vector<int> corners;

    if (numTris_ > 0) {
        // Faces along a Morton curve through their first corner's position in the points' bounds: nearby
        // faces land in the same chunk.
        V3 lo{HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        for (const V3& p : mesh.points) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        const double ext = std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z, 1e-300});
        const double scale = 1023.0 / ext;
        std::vector<std::uint64_t> keys;
        keys.reserve(size_t(nf));
        for (int f = 0; f < nf; ++f) {
            if (faceCount_[size_t(f)] == 0) continue;
            const int b = mesh.faceOffsets[size_t(f)], e = mesh.faceOffsets[size_t(f) + 1];
            V3 c;
            for (int i = b; i < e; ++i) c += mesh.points[size_t(mesh.faceVerts[size_t(i)])];
            c = c * (1.0 / (e - b));
            auto cell = [&](double x, double l) {
                const double q = (x - l) * scale;
                return std::uint32_t(q > 0 ? std::min(q, 1023.0) : 0.0);
            };
            const std::uint32_t code =
                spread10(cell(c.x, lo.x)) | spread10(cell(c.y, lo.y)) << 1 | spread10(cell(c.z, lo.z)) << 2;
            keys.push_back(std::uint64_t(code) << 32 | std::uint32_t(f));
        }
        std::sort(keys.begin(), keys.end());

        index_.resize(3 * size_t(numTris_));
        posFace_.resize(size_t(numTris_));
        unsigned pos = 0;
        chunks_.clear();
        chunks_.push_back(Chunk{});
        for (std::uint64_t key : keys) {
            const int f = int(key & 0xffffffffu);
            if (chunks_.back().count >= unsigned(kChunkTriangles)) {
                chunks_.push_back(Chunk{});
                chunks_.back().first = pos;
            }
            facePos_[size_t(f)] = int(pos);
            faceChunk_[size_t(f)] = int(chunks_.size()) - 1;
            const int* fv = &mesh.faceVerts[size_t(mesh.faceOffsets[size_t(f)])];
            const int count = faceCount_[size_t(f)];
            if (!g && count > 1) {
                corners.clear();
                MeshGeometry::triangulateFace(mesh, f, corners);
            }
            for (int k = 0; k < count; ++k, ++pos) {
                posFace_[pos] = {f, k};
                unsigned* t = &index_[3 * size_t(pos)];
                if (g) {
                    const auto vs = g->triangleVertices(f, k);
                    for (int c = 0; c < 3; ++c) t[c] = unsigned(vs[size_t(c)]);
                } else if (count == 1) {
                    for (int c = 0; c < 3; ++c) t[c] = unsigned(fv[c]);
                } else {
                    for (int c = 0; c < 3; ++c) t[c] = unsigned(fv[corners[3 * size_t(k) + size_t(c)]]);
                }
            }
            chunks_.back().count += unsigned(faceCount_[size_t(f)]);
        }

        verts_.resize(3 * size_t(numVerts_) + 1, 0.0f);
        for (size_t i = 0; i < mesh.points.size(); ++i) {
            verts_[3 * i] = float(mesh.points[i].x);
            verts_[3 * i + 1] = float(mesh.points[i].y);
            verts_[3 * i + 2] = float(mesh.points[i].z);
        }

        RTCDevice dev = device();
        scene_ = rtcNewScene(dev);
        // A scene of quality LOW is built in two levels: a BVH per geometry, rebuilt or refit only when that
        // geometry is committed again, and a top level over them. Each chunk starts at the quality of a
        // static mesh (kFirstQuality); sync() moves the chunks it updates to REFIT.
        rtcSetSceneFlags(scene_, kSceneFlags);
        rtcSetSceneBuildQuality(scene_, RTC_BUILD_QUALITY_LOW);
        for (size_t i = 0; i < chunks_.size(); ++i) {
            Chunk& c = chunks_[i];
            c.geom = rtcNewGeometry(dev, RTC_GEOMETRY_TYPE_TRIANGLE);
            rtcSetGeometryBuildQuality(c.geom, kFirstQuality);
            rtcSetSharedGeometryBuffer(c.geom, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3, verts_.data(), 0,
                                       3 * sizeof(float), size_t(numVerts_));
            rtcSetSharedGeometryBuffer(c.geom, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, index_.data(),
                                       3 * sizeof(unsigned) * size_t(c.first), 3 * sizeof(unsigned), c.count);
            rtcCommitGeometry(c.geom);
            rtcAttachGeometryByID(scene_, c.geom, unsigned(i));
        }
        rtcCommitScene(scene_);
        updateBounds();
    }
    memory_ = size_t(std::max(0LL, gDeviceBytes - bytesBefore)) + verts_.size() * sizeof(float) +
              index_.size() * sizeof(unsigned) + posFace_.size() * sizeof(FaceTriangle) +
              (facePos_.size() + faceCount_.size() + faceChunk_.size() + faceStamp_.size()) * sizeof(int);
    seconds_ = std::chrono::duration<double>(Clock::now() - start).count();
    ++gBuilds;
}

// --- partial updates
// ----------------------------------------------------------------------------------------

void MeshBvh::buildAdjacency(const Mesh& mesh) {
    const size_t nv = size_t(numVerts_);
    // Vertex -> chunks: chunks are visited in order, so a vertex meets each of its chunks in one run.
    std::vector<int> last(nv, -1);
    vertChunkOffsets_.assign(nv + 1, 0);
    auto eachCorner = [&](auto&& visit) {
        for (size_t c = 0; c < chunks_.size(); ++c)
            for (size_t i = 3 * size_t(chunks_[c].first); i < 3 * size_t(chunks_[c].first + chunks_[c].count);
                 ++i)
                visit(index_[i], int(c));
    };
    eachCorner([&](unsigned v, int c) {
        if (last[v] != c) {
            last[v] = c;
            ++vertChunkOffsets_[v + 1];
        }
    });
    for (size_t v = 0; v < nv; ++v) vertChunkOffsets_[v + 1] += vertChunkOffsets_[v];
    vertChunks_.resize(size_t(vertChunkOffsets_[nv]));
    std::fill(last.begin(), last.end(), -1);
    std::vector<int> fill(vertChunkOffsets_.begin(), vertChunkOffsets_.end() - 1);
    eachCorner([&](unsigned v, int c) {
        if (last[v] != c) {
            last[v] = c;
            vertChunks_[size_t(fill[v]++)] = c;
        }
    });
    // Vertex -> polygons with more than three corners (the faces whose triangles a point edit may change).
    vertPolyOffsets_.assign(nv + 1, 0);
    for (int f = 0; f < numFaces_; ++f)
        if (mesh.faceSize(f) > 3)
            for (int i = mesh.faceOffsets[size_t(f)]; i < mesh.faceOffsets[size_t(f) + 1]; ++i)
                ++vertPolyOffsets_[size_t(mesh.faceVerts[size_t(i)]) + 1];
    for (size_t v = 0; v < nv; ++v) vertPolyOffsets_[v + 1] += vertPolyOffsets_[v];
    vertPolys_.resize(size_t(vertPolyOffsets_[nv]));
    fill.assign(vertPolyOffsets_.begin(), vertPolyOffsets_.end() - 1);
    for (int f = 0; f < numFaces_; ++f)
        if (mesh.faceSize(f) > 3)
            for (int i = mesh.faceOffsets[size_t(f)]; i < mesh.faceOffsets[size_t(f) + 1]; ++i)
                vertPolys_[size_t(fill[size_t(mesh.faceVerts[size_t(i)])]++)] = f;
    memory_ += (vertChunkOffsets_.size() + vertChunks_.size() + vertPolyOffsets_.size() + vertPolys_.size()) *
               sizeof(int);
    adjacency_ = true;
}

bool MeshBvh::retriangulate(const Mesh& mesh, int f, std::vector<int>& scratch) {
    const int n = mesh.faceSize(f);
    unsigned* t = &index_[3 * size_t(facePos_[size_t(f)])];
    const int* fv = &mesh.faceVerts[size_t(mesh.faceOffsets[size_t(f)])];
    // The kernel fans convex (and degenerate) faces from corner 0. A face that is fanned and still convex
    // keeps its triangles; that is the common case, decided without the kernel's full test.
    bool fanned = true;
    for (int k = 0; k < n - 2 && fanned; ++k)
        fanned = t[3 * k] == unsigned(fv[0]) && t[3 * k + 1] == unsigned(fv[k + 1]) &&
                 t[3 * k + 2] == unsigned(fv[k + 2]);
    if (fanned && strictlyConvex(mesh, f)) return false;
    scratch.clear();
    MeshGeometry::triangulateFace(mesh, f, scratch);
    bool changed = false;
    for (size_t i = 0; i < scratch.size() && i < 3 * size_t(faceCount_[size_t(f)]); ++i) {
        const unsigned v = unsigned(fv[scratch[i]]);
        if (t[i] != v) {
            t[i] = v;
            changed = true;
        }
    }
    return changed;
}

void MeshBvh::sync(const Mesh& mesh) {
    const auto start = Clock::now();
    pointsVersion_ = mesh.pointsVersion();
    if (numTris_ == 0) {
        ++gUnchanged;
        return;
    }
    // The moved vertices: those whose float position differs from what the buffer holds, looked for among
    // the vertices the edits named when they told (meshPointsMoved), else among all.
    std::vector<int> moved;
    const V3* p = mesh.points.data();
    auto look = [&](int i) {
        float* v = &verts_[3 * size_t(i)];
        const float x = float(p[i].x), y = float(p[i].y), z = float(p[i].z);
        if (v[0] != x || v[1] != y || v[2] != z) {
            v[0] = x;
            v[1] = y;
            v[2] = z;
            moved.push_back(i);
        }
    };
    if (hintVersion_ == pointsVersion_ && hintVersion_ != 0) {
        std::sort(hint_.begin(), hint_.end());
        hint_.erase(std::unique(hint_.begin(), hint_.end()), hint_.end());
        for (int i : hint_)
            if (i >= 0 && i < numVerts_) look(i);
    } else {
        for (int i = 0; i < numVerts_; ++i) look(i);
    }
    hint_.clear();
    hintVersion_ = 0;
    if (moved.empty()) {
        ++gUnchanged;
        return;
    }
    if (!adjacency_) buildAdjacency(mesh);
    std::vector<char> vertsDirty(chunks_.size(), 0), indexDirty(chunks_.size(), 0);
    for (int i : moved)
        for (int k = vertChunkOffsets_[size_t(i)]; k < vertChunkOffsets_[size_t(i) + 1]; ++k)
            vertsDirty[size_t(vertChunks_[size_t(k)])] = 1;
    bool trianglesChanged = false;
    if (!vertPolys_.empty()) {
        if (++stamp_ == 0) {
            std::fill(faceStamp_.begin(), faceStamp_.end(), 0);
            stamp_ = 1;
        }
        std::vector<int> scratch;
        for (int i : moved)
            for (int k = vertPolyOffsets_[size_t(i)]; k < vertPolyOffsets_[size_t(i) + 1]; ++k) {
                const int f = vertPolys_[size_t(k)];
                if (faceStamp_[size_t(f)] == stamp_) continue;
                faceStamp_[size_t(f)] = stamp_;
                if (retriangulate(mesh, f, scratch)) {
                    indexDirty[size_t(faceChunk_[size_t(f)])] = 1;
                    trianglesChanged = true;
                }
            }
    }
    for (size_t c = 0; c < chunks_.size(); ++c) {
        if (!vertsDirty[c] && !indexDirty[c]) continue;
        if (vertsDirty[c]) rtcUpdateGeometryBuffer(chunks_[c].geom, RTC_BUFFER_TYPE_VERTEX, 0);
        if (indexDirty[c]) rtcUpdateGeometryBuffer(chunks_[c].geom, RTC_BUFFER_TYPE_INDEX, 0);
        if (!chunks_[c].refit) {
            rtcSetGeometryBuildQuality(chunks_[c].geom, RTC_BUILD_QUALITY_REFIT);
            chunks_[c].refit = true;
        }
        rtcCommitGeometry(chunks_[c].geom);
        ++gChunkCommits;
    }
    rtcCommitScene(scene_);
    updateBounds();
    // New triangles make Embree rebuild those chunks' hierarchies; new vertices alone refit them.
    ++(trianglesChanged ? gBuilds : gRefits);
    seconds_ = std::chrono::duration<double>(Clock::now() - start).count();
}

void MeshBvh::hintMoved(std::uint64_t fromVersion, std::uint64_t toVersion, const std::vector<int>& ids) {
    if (fromVersion == pointsVersion_ && hintVersion_ == 0) {
        hint_.assign(ids.begin(), ids.end());  // the first edit since the last sync
    } else if (hintVersion_ != 0 && fromVersion == hintVersion_) {
        hint_.insert(hint_.end(), ids.begin(), ids.end());  // one more edit
    } else {
        hint_.clear();  // edits it was not told about: compare everything at the next sync
        hintVersion_ = 0;
        return;
    }
    hintVersion_ = toVersion;
}

// --- the mesh's slot ---------------------------------------------------------------------------------------

namespace {
std::mutex& slotMutex() {
    static std::mutex m;
    return m;
}
}  // namespace

// The one the mesh holds when it describes these faces (synced first when the points moved), else a new
// one.
std::shared_ptr<MeshBvh> acquireMeshBvh(const Mesh& mesh, std::unique_lock<std::mutex>& lock) {
    // The slot itself is guarded too, so that one mesh queried from two threads builds one BVH.
    std::unique_lock<std::mutex> slotLock(slotMutex());
    std::shared_ptr<MeshBvh>& slot = mesh.bvhSlot();
    if (slot && slot->sameTopology(mesh)) {
        std::shared_ptr<MeshBvh> bvh = slot;
        slotLock.unlock();
        lock = std::unique_lock<std::mutex>(bvh->mutex);
        if (!bvh->describes(mesh)) bvh->sync(mesh);
        return bvh;
    }
    auto bvh = std::make_shared<MeshBvh>();
    bvh->claim(mesh);
    lock = std::unique_lock<std::mutex>(bvh->mutex);
    slot = bvh;
    slotLock.unlock();
    bvh->build(mesh);
    return bvh;
}

// --- statistics ------------------------------------------------------------------------------------------

MeshBvhCounters meshBvhCounters() {
    MeshBvhCounters c;
    c.builds = gBuilds;
    c.refits = gRefits;
    c.unchanged = gUnchanged;
    c.chunkCommits = gChunkCommits;
    return c;
}

size_t meshBvhMemory(const Mesh& mesh, double* seconds) {
    std::shared_ptr<MeshBvh> bvh;
    {
        std::lock_guard<std::mutex> slotLock(slotMutex());
        bvh = mesh.bvhSlot();
        if (!bvh || !bvh->sameTopology(mesh)) return 0;
    }
    std::lock_guard<std::mutex> lock(bvh->mutex);
    if (seconds) *seconds = bvh->seconds();
    return bvh->memory();
}

void meshPointsMoved(const Mesh& mesh, std::uint64_t fromVersion, const std::vector<int>& ids) {
    std::shared_ptr<MeshBvh> bvh;
    {
        std::lock_guard<std::mutex> slotLock(slotMutex());
        bvh = mesh.bvhSlot();
        if (!bvh || !bvh->sameTopology(mesh)) return;
    }
    std::lock_guard<std::mutex> lock(bvh->mutex);
    bvh->hintMoved(fromVersion, mesh.pointsVersion(), ids);
}

int meshBvhChunks(const Mesh& mesh) {
    std::unique_lock<std::mutex> lock;
    return acquireMeshBvh(mesh, lock)->numChunks();
}

void meshBvhPrepare(const Mesh& mesh) {
    std::unique_lock<std::mutex> lock;
    acquireMeshBvh(mesh, lock);
}

}  // namespace kxh
