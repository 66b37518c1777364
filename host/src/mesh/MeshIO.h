#pragma once
// Polygon file import and export through Assimp (OBJ, FBX, glTF, PLY and whatever else Assimp reads).
//
// Import keeps polygons as they are in the file (no triangulation), welds the vertices that the file
// format or the importer split for UVs and normals back into shared vertices (exact position, within one
// object) so the topology comes back, and keeps texture coordinates as UV sets ("map1", then "uvSet1",
// ...) with identical UVs shared. File normals are not kept: the host derives its own.
#include <string>
#include <vector>

#include "mesh/Mesh.h"

namespace kxh {

// A 4x4 transform in the row-vector convention of the host's API (p' = p * M, translation in row 3).
struct Matrix4 {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    double* operator[](int r) { return m[r]; }
    const double* operator[](int r) const { return m[r]; }
};

struct ImportedMesh {
    std::string name;  // the node's name (or the mesh's when the node has none)
    Mesh mesh;
    Matrix4 matrix;  // the node's world transform
};

struct ImportResult {
    bool ok = false;
    std::string error;  // "Cannot import '<file>': <reason>" when !ok
    std::vector<ImportedMesh> meshes;
};

// Reads every polygon mesh of a file, one entry per scene node that holds meshes (a node's meshes, split
// by material in the file, are joined into one). A missing, unreadable or broken file, or one with no
// polygons at all, gives ok = false and an error naming the file and the reason; it never throws.
ImportResult importMeshes(const std::string& path);

struct MeshExportItem {
    std::string name;
    const Mesh* mesh = nullptr;
    Matrix4 matrix;
};

struct ExportResult {
    bool ok = false;
    std::string error;  // "Cannot export '<file>': <reason>" when !ok
};

// Writes the meshes, one node each, with positions, normals, all UV sets and the current colour set.
// `formatId` is an Assimp exporter id ("obj", "fbx", "fbxa", "gltf2", "glb2", "ply", ...). Polygons are
// written as they are, except for glTF, which stores only triangles: those meshes are triangulated.
ExportResult exportMeshes(const std::string& path, const std::string& formatId,
                          const std::vector<MeshExportItem>& meshes);
ExportResult exportMeshes(const std::string& path, const std::string& formatId,
                          const std::vector<ImportedMesh>& meshes);

// The exporter id for one of the host's file type names ("OBJexport", "FBX export", "glTF", "PLY"), or ""
// when the host has no such type.
std::string exporterIdForFileType(const std::string& hostFileType);
// The exporter id for a file name's extension (.obj, .fbx, .gltf, .glb, .ply), or "".
std::string exporterIdForPath(const std::string& path);

}  // namespace kxh
