#pragma once
// Helpers shared by the mesh API tests: meshes built through MFnMesh::create and a check that the stored
// mesh behind a function set is structurally valid.
#include <gtest/gtest.h>
#include <maya/MFloatArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MPointArray.h>

#include "graph/api/ApiObject.h"
#include "graph/core/Scene.h"
#include "mesh/MeshValidate.h"

namespace apimesh {

// Every test starts from an empty scene.
class MeshApiTest : public ::testing::Test {
protected:
    void SetUp() override { kxh::Scene::current().reset(); }
    void TearDown() override { kxh::Scene::current().reset(); }
};

// The mesh a function set is attached to is valid (shape geometry or mesh data).
inline void expectValid(const MFnMesh& fn) {
    kxh::ConstMeshPtr m;
    if (kxh::NodePtr n = kxh::nodeOf(fn.object()))
        m = n->scene().shapeMesh(*n);
    else
        m = kxh::meshOf(fn.object());
    ASSERT_TRUE(m);
    auto problems = kxh::validateMesh(*m);
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
}

// A grid of nx by nz unit quads in the XZ plane facing +Y: vertex (i, j) = i + j*(nx+1) at (i, 0, -j).
struct Grid {
    MPointArray points;
    MIntArray counts, connects;
    int nx, nz;
    Grid(int nx_, int nz_, double y = 0) : nx(nx_), nz(nz_) {
        for (int j = 0; j <= nz; ++j)
            for (int i = 0; i <= nx; ++i) points.append(MPoint(i, y, -j));
        for (int j = 0; j < nz; ++j)
            for (int i = 0; i < nx; ++i) {
                counts.append(4);
                for (int v : {vid(i, j), vid(i + 1, j), vid(i + 1, j + 1), vid(i, j + 1)}) connects.append(v);
            }
    }
    int vid(int i, int j) const { return i + j * (nx + 1); }
    int numVertices() const { return int(points.length()); }
    int numFaces() const { return int(counts.length()); }
};

inline MObject makeGrid(MFnMesh& fn, int nx, int nz, MObject parent = MObject::kNullObj) {
    Grid g(nx, nz);
    MStatus st;
    MObject r = fn.create(g.numVertices(), g.numFaces(), g.points, g.counts, g.connects, parent, &st);
    EXPECT_TRUE(st);
    return r;
}

// A unit cube centred on the origin, faces outward; each face has its own four UVs (six UV shells).
inline MObject makeCube(MFnMesh& fn, MObject parent = MObject::kNullObj) {
    MPointArray p;
    for (int i = 0; i < 8; ++i) p.append(MPoint(i & 1 ? 0.5 : -0.5, i & 2 ? 0.5 : -0.5, i & 4 ? 0.5 : -0.5));
    const int faces[6][4] = {{4, 5, 7, 6}, {1, 0, 2, 3}, {2, 6, 7, 3},
                             {0, 1, 5, 4}, {1, 3, 7, 5}, {0, 4, 6, 2}};
    MIntArray counts, connects, uvCounts, uvIds;
    MFloatArray u, v;
    for (int f = 0; f < 6; ++f) {
        counts.append(4);
        uvCounts.append(4);
        for (int c = 0; c < 4; ++c) {
            connects.append(faces[f][c]);
            uvIds.append(4 * f + c);
            u.append(float(f) + (c == 1 || c == 2 ? 1.f : 0.f));
            v.append(c >= 2 ? 1.f : 0.f);
        }
    }
    MStatus st;
    MObject r = fn.create(8, 6, p, counts, connects, u, v, parent, &st);
    EXPECT_TRUE(st);
    EXPECT_TRUE(fn.assignUVs(uvCounts, uvIds));
    return r;
}

}  // namespace apimesh
