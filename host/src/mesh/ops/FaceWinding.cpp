#include "mesh/ops/FaceWinding.h"

#include <algorithm>

#include "mesh/MeshGeometry.h"
#include "mesh/ops/RebuildFaces.h"

namespace kxh::ops {

namespace {

// Which faces are named (ids out of range dropped).
std::vector<char> markFaces(const Mesh& mesh, const std::vector<int>& faces) {
    std::vector<char> marked(size_t(mesh.numFaces()), 0);
    for (int f : faces)
        if (f >= 0 && f < mesh.numFaces()) marked[size_t(f)] = 1;
    return marked;
}

}  // namespace

int triangulateFaces(Mesh& mesh, const std::vector<int>& faces) {
    const std::vector<char> marked = markFaces(mesh, faces);
    std::vector<FaceLoop> loops;
    loops.reserve(size_t(mesh.numFaces()));
    std::vector<int> corners;
    int count = 0;
    for (int f = 0; f < mesh.numFaces(); ++f) {
        const int base = mesh.faceOffsets[f];
        if (!marked[size_t(f)] || mesh.faceSize(f) <= 3) {
            loops.push_back(faceLoop(mesh, f));
            continue;
        }
        corners.clear();
        MeshGeometry::triangulateFace(mesh, f, corners);
        for (size_t i = 0; i + 2 < corners.size(); i += 3) {
            FaceLoop tri;
            for (size_t k = 0; k < 3; ++k) {
                const int fv = base + corners[i + k];
                tri.push_back(LoopCorner::from(mesh.faceVerts[size_t(fv)], fv));
            }
            loops.push_back(std::move(tri));
        }
        ++count;
    }
    if (count) rebuildFaces(mesh, mesh.points, loops);
    return count;
}

int reverseFaces(Mesh& mesh, const std::vector<int>& faces) {
    const std::vector<char> marked = markFaces(mesh, faces);
    std::vector<FaceLoop> loops;
    loops.reserve(size_t(mesh.numFaces()));
    int count = 0;
    for (int f = 0; f < mesh.numFaces(); ++f) {
        FaceLoop loop = faceLoop(mesh, f);
        if (marked[size_t(f)] && loop.size() > 1) {
            std::reverse(loop.begin() + 1, loop.end());
            ++count;
        }
        loops.push_back(std::move(loop));
    }
    if (count) rebuildFaces(mesh, mesh.points, loops);
    return count;
}

std::vector<int> allFaces(const Mesh& mesh) {
    std::vector<int> faces(size_t(mesh.numFaces()));
    for (int f = 0; f < mesh.numFaces(); ++f) faces[size_t(f)] = f;
    return faces;
}

}  // namespace kxh::ops
