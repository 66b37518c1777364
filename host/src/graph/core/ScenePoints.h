#pragma once
// Bookkeeping of the flat writes of mesh shapes: points (Scene::setShapePoints) and UVs, colours and locked
// normals (Scene::changeShapeMeshData), both in ScenePoints.cpp; and the graph's change count that lets
// readers of shapes (MFnMesh queries) keep what they read.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace kxh {

class Mesh;
class Node;

// True when `mesh` is held by nothing but the shape's own mesh plugs (cachedInMesh, outMesh, worldMesh)
// and `localRefs` references of the caller: then it may be written in place.
bool shapeOwnsMesh(Node& shape, const std::shared_ptr<Mesh>& mesh, long localRefs);

// Bytes held right now by the undo records of point writes (the changed ids with their points before and
// after); records of whole arrays or copies of meshes would show here as their full size.
long long scenePointRecordBytes();
// The same for the undo records of Scene::changeShapeMeshData (what each change holds).
long long sceneMeshDataRecordBytes();

// A number that changes whenever a plug of any scene is set or dirtied (every graph change goes through
// Scene::propagateDirty): what a reader evaluated at one count is still current while the count is the same.
std::uint64_t sceneGraphGeneration();

// A reversible change of a mesh's UVs, colours or locked normals, holding only the entries it changes.
struct MeshDataChange {
    virtual ~MeshDataChange() = default;
    // Writes the new values into `mesh` (forward), or the old ones back.
    virtual void apply(Mesh& mesh, bool forward) const = 0;
    // Bytes the change holds.
    virtual size_t bytes() const = 0;
    // True when it changes what the derived normals depend on (locked normals).
    virtual bool changesNormals() const { return false; }
};

}  // namespace kxh
