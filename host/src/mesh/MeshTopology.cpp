#include "mesh/MeshTopology.h"

#include <algorithm>
#include <utility>

namespace kxh {

namespace {

// Turns per-slot counts (stored at [i+1]) into offsets.
void prefixSum(std::vector<int>& offs) {
    for (size_t i = 1; i < offs.size(); ++i) offs[i] += offs[i - 1];
}

}  // namespace

MeshTopology::MeshTopology(const Mesh& mesh) : faceOffsets_(mesh.faceOffsets) {
    buildEdges(mesh);
    buildEdgeFaces();
    buildVertexFans(mesh);
    buildFaceNeighbours();
}

// Edge ids by first appearance. Every corner c stands for the directed edge (c -> next corner). Corners are
// bucketed by the smaller vertex of their edge; inside a bucket, corners with the same larger vertex are the
// same edge, and the edge belongs to the earliest of them. Walking corners in order then hands out ids.
void MeshTopology::buildEdges(const Mesh& mesh) {
    const int nf = mesh.numFaces();
    const int nfv = mesh.numFaceVertices();
    const int nv = mesh.numVertices();
    const std::vector<int>& fvs = mesh.faceVerts;

    faceVertFace_.resize(nfv);
    std::vector<int> nextVert(nfv);
    for (int f = 0; f < nf; ++f) {
        const int b = faceOffsets_[f], e = faceOffsets_[f + 1];
        for (int c = b; c < e; ++c) {
            faceVertFace_[c] = f;
            nextVert[c] = fvs[c + 1 < e ? c + 1 : b];
        }
    }

    std::vector<int> bucketOffs(nv + 1, 0);
    for (int c = 0; c < nfv; ++c) ++bucketOffs[std::min(fvs[c], nextVert[c]) + 1];
    prefixSum(bucketOffs);
    std::vector<int> bucket(nfv);
    {
        std::vector<int> fill(bucketOffs.begin(), bucketOffs.end() - 1);
        for (int c = 0; c < nfv; ++c) bucket[fill[std::min(fvs[c], nextVert[c])]++] = c;
    }

    // owner[c]: the earliest corner of the same edge.
    std::vector<int> owner(nfv);
    std::vector<std::pair<int, int>> sorted;
    auto hiOf = [&](int c) { return std::max(fvs[c], nextVert[c]); };
    for (int v = 0; v < nv; ++v) {
        const int b = bucketOffs[v], e = bucketOffs[v + 1];
        if (e - b <= 16) {
            for (int i = b; i < e; ++i) {
                const int c = bucket[i], hi = hiOf(c);
                owner[c] = c;
                for (int j = b; j < i; ++j) {
                    if (hiOf(bucket[j]) == hi) {
                        owner[c] = owner[bucket[j]];
                        break;
                    }
                }
            }
        } else {  // a high-valence vertex (a pole): sort instead of the quadratic scan
            sorted.clear();
            for (int i = b; i < e; ++i) sorted.emplace_back(hiOf(bucket[i]), bucket[i]);
            std::sort(sorted.begin(), sorted.end());
            for (size_t i = 0; i < sorted.size(); ++i) {
                const bool sameAsPrev = i > 0 && sorted[i].first == sorted[i - 1].first;
                owner[sorted[i].second] = sameAsPrev ? owner[sorted[i - 1].second] : sorted[i].second;
            }
        }
    }

    faceVertEdge_.resize(nfv);
    edgeVerts_.clear();
    for (int c = 0; c < nfv; ++c) {
        if (owner[c] == c) {
            faceVertEdge_[c] = int(edgeVerts_.size() / 2);
            edgeVerts_.push_back(fvs[c]);
            edgeVerts_.push_back(nextVert[c]);
        } else {
            faceVertEdge_[c] = faceVertEdge_[owner[c]];
        }
    }
}

void MeshTopology::buildEdgeFaces() {
    const int ne = numEdges();
    const int nfv = int(faceVertEdge_.size());
    // Corners come in face order, so a face that uses an edge twice (a malformed face) shows up as two
    // consecutive entries for that edge; it is listed once.
    std::vector<int> lastFace(ne, -1);
    edgeFaceOffsets_.assign(ne + 1, 0);
    for (int c = 0; c < nfv; ++c) {
        const int e = faceVertEdge_[c], f = faceVertFace_[c];
        if (lastFace[e] != f) {
            lastFace[e] = f;
            ++edgeFaceOffsets_[e + 1];
        }
    }
    prefixSum(edgeFaceOffsets_);
    edgeFaces_.resize(edgeFaceOffsets_[ne]);
    std::fill(lastFace.begin(), lastFace.end(), -1);
    std::vector<int> fill(edgeFaceOffsets_.begin(), edgeFaceOffsets_.end() - 1);
    for (int c = 0; c < nfv; ++c) {
        const int e = faceVertEdge_[c], f = faceVertFace_[c];
        if (lastFace[e] != f) {
            lastFace[e] = f;
            edgeFaces_[fill[e]++] = f;
        }
    }
}

// Orders each vertex's corners into fans. At corner c of vertex v, out(c) is the edge to the next corner
// and in(c) the edge from the previous corner. Turning counter-clockwise, the corner after c is the corner
// whose out-edge is in(c). A fan starts at a corner that no unused corner leads into (a boundary edge);
// when every remaining corner has a predecessor, the rest are closed fans, started at their first corner.
void MeshTopology::buildVertexFans(const Mesh& mesh) {
    const int nv = mesh.numVertices();
    const int nfv = mesh.numFaceVertices();
    const std::vector<int>& fvs = mesh.faceVerts;

    std::vector<int> cornerOffs(nv + 1, 0);
    for (int c = 0; c < nfv; ++c) ++cornerOffs[fvs[c] + 1];
    prefixSum(cornerOffs);
    std::vector<int> corners(nfv);
    {
        std::vector<int> fill(cornerOffs.begin(), cornerOffs.end() - 1);
        for (int c = 0; c < nfv; ++c) corners[fill[fvs[c]]++] = c;
    }

    auto prevCorner = [&](int c) {
        const int f = faceVertFace_[c];
        return c > faceOffsets_[f] ? c - 1 : faceOffsets_[f + 1] - 1;
    };

    vertEdgeOffsets_.assign(1, 0);
    vertEdgeOffsets_.reserve(nv + 1);
    vertFaceOffsets_.assign(1, 0);
    vertFaceOffsets_.reserve(nv + 1);
    vertEdges_.clear();
    vertEdges_.reserve(edgeVerts_.size());
    vertFaces_.clear();
    vertFaces_.reserve(nfv);
    vertFaceVerts_.clear();
    vertFaceVerts_.reserve(nfv);
    vertBoundary_.assign(nv, 0);

    std::vector<int> stamp(numEdges(), -1);
    std::vector<int> out, in;
    std::vector<std::pair<int, int>> byOut, byIn;  // (edge, local corner index), sorted
    std::vector<char> used;

    auto pushEdge = [&](int v, int e) {
        if (stamp[e] == v) return;
        stamp[e] = v;
        vertEdges_.push_back(e);
    };

    for (int v = 0; v < nv; ++v) {
        const int cb = cornerOffs[v], k = cornerOffs[v + 1] - cb;
        out.resize(k);
        in.resize(k);
        byOut.resize(k);
        byIn.resize(k);
        used.assign(k, 0);
        for (int i = 0; i < k; ++i) {
            const int c = corners[cb + i];
            out[i] = faceVertEdge_[c];
            in[i] = faceVertEdge_[prevCorner(c)];
            byOut[i] = {out[i], i};
            byIn[i] = {in[i], i};
        }
        std::sort(byOut.begin(), byOut.end());
        std::sort(byIn.begin(), byIn.end());

        // First unused corner other than `self` whose key edge is `edge`, in one of the sorted lists.
        auto findUnused = [&](const std::vector<std::pair<int, int>>& list, int edge, int self) {
            auto it = std::lower_bound(list.begin(), list.end(), std::make_pair(edge, -1));
            for (; it != list.end() && it->first == edge; ++it)
                if (!used[it->second] && it->second != self) return it->second;
            return -1;
        };

        int remaining = k;
        while (remaining > 0) {
            int start = -1;
            for (int i = 0; i < k && start < 0; ++i)
                if (!used[i] && findUnused(byIn, out[i], i) < 0) start = i;
            for (int i = 0; i < k && start < 0; ++i)
                if (!used[i]) start = i;

            int cur = start;
            for (;;) {
                used[cur] = 1;
                --remaining;
                const int c = corners[cb + cur];
                vertFaces_.push_back(faceVertFace_[c]);
                vertFaceVerts_.push_back(c);
                pushEdge(v, out[cur]);
                const int nxt = findUnused(byOut, in[cur], cur);
                if (nxt < 0) break;
                cur = nxt;
            }
            pushEdge(v, in[cur]);
        }

        vertFaceOffsets_.push_back(int(vertFaces_.size()));
        vertEdgeOffsets_.push_back(int(vertEdges_.size()));
    }

    vertNbrs_.resize(vertEdges_.size());
    for (int v = 0; v < nv; ++v) {
        for (int i = vertEdgeOffsets_[v]; i < vertEdgeOffsets_[v + 1]; ++i) {
            const int e = vertEdges_[i];
            const int a = edgeVerts_[2 * e], b = edgeVerts_[2 * e + 1];
            vertNbrs_[i] = a == v ? b : a;
            if (edgeOnBoundary(e)) vertBoundary_[v] = 1;
        }
    }
}

void MeshTopology::buildFaceNeighbours() {
    const int nf = int(faceOffsets_.size()) - 1;
    faceNbrOffsets_.assign(1, 0);
    faceNbrOffsets_.reserve(nf + 1);
    faceNbrs_.clear();
    faceNbrs_.reserve(faceVertEdge_.size());
    faceBoundary_.assign(nf, 0);
    for (int f = 0; f < nf; ++f) {
        const size_t first = faceNbrs_.size();
        for (int c = faceOffsets_[f]; c < faceOffsets_[f + 1]; ++c) {
            const int e = faceVertEdge_[c];
            if (edgeOnBoundary(e)) faceBoundary_[f] = 1;
            for (int g : edgeFaces(e)) {
                if (g == f || std::find(faceNbrs_.begin() + first, faceNbrs_.end(), g) != faceNbrs_.end())
                    continue;
                faceNbrs_.push_back(g);
            }
        }
        faceNbrOffsets_.push_back(int(faceNbrs_.size()));
    }
}

int MeshTopology::findEdge(int a, int b) const {
    if (a < 0 || a >= numVertices()) return -1;
    for (int e : vertexEdges(a)) {
        const int p = edgeVerts_[2 * e], q = edgeVerts_[2 * e + 1];
        if ((p == a && q == b) || (p == b && q == a)) return e;
    }
    return -1;
}

bool MeshTopology::operator==(const MeshTopology& o) const {
    return faceOffsets_ == o.faceOffsets_ && faceVertEdge_ == o.faceVertEdge_ &&
           faceVertFace_ == o.faceVertFace_ && edgeVerts_ == o.edgeVerts_ &&
           edgeFaceOffsets_ == o.edgeFaceOffsets_ && edgeFaces_ == o.edgeFaces_ &&
           vertEdgeOffsets_ == o.vertEdgeOffsets_ && vertEdges_ == o.vertEdges_ && vertNbrs_ == o.vertNbrs_ &&
           vertFaceOffsets_ == o.vertFaceOffsets_ && vertFaces_ == o.vertFaces_ &&
           vertFaceVerts_ == o.vertFaceVerts_ && vertBoundary_ == o.vertBoundary_ &&
           faceNbrOffsets_ == o.faceNbrOffsets_ && faceNbrs_ == o.faceNbrs_ &&
           faceBoundary_ == o.faceBoundary_;
}

}  // namespace kxh
