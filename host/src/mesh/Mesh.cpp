#include "mesh/Mesh.h"

#include <atomic>

#include "mesh/MeshGeometry.h"
#include "mesh/MeshTopology.h"

namespace kxh {

std::uint64_t newMeshDataVersion() {
    static std::atomic<std::uint64_t> next{1};
    return next++;
}

int Mesh::numEdges() const {
    return topology().numEdges();
}

int Mesh::addFace(const std::vector<int>& verts) {
    faceVerts.insert(faceVerts.end(), verts.begin(), verts.end());
    faceOffsets.push_back(int(faceVerts.size()));
    for (UvSet& set : uvSets) set.faceVertUv.resize(faceVerts.size(), -1);
    for (ColorSet& set : colorSets) set.faceVertColor.resize(faceVerts.size(), -1);
    topologyChanged();
    return numFaces() - 1;
}

void Mesh::topologyChanged() {
    cache_.topo.reset();
    cache_.geom.reset();
    cache_.bvh.reset();
    cache_.topoVersion = newMeshDataVersion();
    cache_.pointsVersion = newMeshDataVersion();
}

void Mesh::pointsChanged() {
    // Normals, triangles and bounds built for the old points are carried over and updated where the
    // points moved (on first use), unless nothing was built or the vertex count changed.
    std::shared_ptr<const MeshGeometry> old = std::move(cache_.geom);
    if (old && old.use_count() == 1 && old->carriesOver(*this, cache_.topo.get()))
        cache_.geom = std::make_shared<const MeshGeometry>(*this, std::move(const_cast<MeshGeometry&>(*old)));
    cache_.pointsVersion = newMeshDataVersion();
}

const MeshTopology& Mesh::topology() const {
    if (!cache_.topo) cache_.topo = std::make_shared<const MeshTopology>(*this);
    return *cache_.topo;
}

const MeshGeometry& Mesh::geometry() const {
    // The geometry fetches the topology itself if it ever needs adjacency.
    if (!cache_.geom) cache_.geom = std::make_shared<const MeshGeometry>(*this);
    return *cache_.geom;
}

V3 Mesh::vertexNormal(int v, bool angleWeighted) const {
    return geometry().vertexNormal(v, angleWeighted);
}

int Mesh::findUvSet(const std::string& name) const {
    for (size_t i = 0; i < uvSets.size(); ++i)
        if (uvSets[i].name == name) return int(i);
    return -1;
}

int Mesh::findColorSet(const std::string& name) const {
    for (size_t i = 0; i < colorSets.size(); ++i)
        if (colorSets[i].name == name) return int(i);
    return -1;
}

}  // namespace kxh
