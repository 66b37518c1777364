#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "mesh/Mesh.h"
#include "mesh/MeshGeometry.h"
#include "mesh/MeshPrimitives.h"
#include "mesh/MeshTopology.h"
#include "mesh/MeshValidate.h"

using namespace kxh;

namespace {

// Two quads side by side (0 1 4 3, 1 2 5 4) with a map1 UV per vertex.
Mesh twoQuads() {
    Mesh m;
    m.points = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}};
    m.addFace({0, 1, 4, 3});
    m.addFace({1, 2, 5, 4});
    UvSet uv;
    for (const V3& p : m.points) {
        uv.u.push_back(float(p.x / 2));
        uv.v.push_back(float(p.y));
    }
    uv.faceVertUv = m.faceVerts;
    m.uvSets.push_back(uv);
    return m;
}

bool mentions(const std::vector<std::string>& lines, const std::string& fragment) {
    for (const std::string& l : lines)
        if (l.find(fragment) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(MeshValidate, ValidMeshesPass) {
    EXPECT_TRUE(validateMesh(Mesh()).empty());
    EXPECT_TRUE(validateMesh(twoQuads()).empty());
    Mesh withCaches = cube(1, 2, 3, 2, 3, 4);
    withCaches.geometry().vertexNormals(true);
    withCaches.geometry().numTriangles();
    EXPECT_TRUE(validateMesh(withCaches).empty());
}

// Each fault class on its own, applied to an otherwise valid mesh, is reported with a telling message.
TEST(MeshValidate, EachFaultIsReported) {
    struct Case {
        const char* name;
        std::function<void(Mesh&)> breakIt;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"offsets start", [](Mesh& m) { m.faceOffsets[0] = 1; }, "faceOffsets[0]"},
        {"offsets decrease", [](Mesh& m) { m.faceOffsets[1] = 9; }, "decrease"},
        {"offsets end", [](Mesh& m) { m.faceVerts.push_back(0); }, "faceOffsets end"},
        {"vertex id", [](Mesh& m) { m.faceVerts[2] = 6; }, "names vertex 6"},
        {"negative id", [](Mesh& m) { m.faceVerts[2] = -1; }, "names vertex -1"},
        {"face size",
         [](Mesh& m) {
             m.addFace({0, 3});
         },
         "face 2 has 2 vertices"},
        {"repeated vertex", [](Mesh& m) { m.faceVerts[6] = 4; }, "uses vertex 4 twice"},
        {"flipped face",
         [](Mesh& m) {
             // Face 1 reversed (4 5 2 1): it runs 1 -> 4 like face 0 does.
             std::swap(m.faceVerts[4], m.faceVerts[7]);
             std::swap(m.faceVerts[5], m.faceVerts[6]);
             m.uvSets[0].faceVertUv = m.faceVerts;
         },
         "same direction"},
        {"non-manifold edge",
         [](Mesh& m) {
             m.points.push_back({1, 0, 1});
             m.addFace({4, 1, 6});
         },
         "has 3 faces"},
        {"NaN point", [](Mesh& m) { m.points[5].y = std::nan(""); }, "not finite"},
        {"uv array length", [](Mesh& m) { m.uvSets[0].faceVertUv.pop_back(); }, "face-vertex ids for"},
        {"uv u/v length", [](Mesh& m) { m.uvSets[0].v.pop_back(); }, "arrays of different lengths"},
        {"uv id range", [](Mesh& m) { m.uvSets[0].faceVertUv[3] = 6; }, "names id 6"},
        {"partial uvs", [](Mesh& m) { m.uvSets[0].faceVertUv[3] = -1; }, "UVs on 3 of 4"},
        {"current uv set", [](Mesh& m) { m.currentUvSet = 1; }, "current UV set"},
        {"duplicate uv set", [](Mesh& m) { m.uvSets.push_back(m.uvSets[0]); }, "used twice"},
        {"colour length",
         [](Mesh& m) {
             m.colorSets.emplace_back();
             m.colorSets[0].faceVertColor.assign(3, -1);
         },
         "colour set"},
        {"crease not an edge",
         [](Mesh& m) {
             m.edgeCreases[{0, 4}] = 1.0;
         },
         "crease (0,4)"},
        {"crease unsorted",
         [](Mesh& m) {
             m.edgeCreases[{1, 0}] = 1.0;
         },
         "crease (1,0)"},
        {"locked normal",
         [](Mesh& m) {
             m.lockedNormals.push_back({9, V3{0, 0, 1}});
         },
         "missing vertex 9"},
        {"stale topology",
         [](Mesh& m) {
             m.topology();
             std::swap(m.faceVerts[0], m.faceVerts[1]);
             std::swap(m.faceVerts[2], m.faceVerts[3]);  // 1 0 3 4: still a valid face
         },
         "cached topology"},
        {"stale geometry",
         [](Mesh& m) {
             m.geometry().vertexNormals(false);
             m.points[4].z = 1;
         },
         "cached geometry"},
    };
    for (const Case& c : cases) {
        Mesh m = twoQuads();
        c.breakIt(m);
        const std::vector<std::string> faults = validateMesh(m);
        EXPECT_TRUE(mentions(faults, c.expected)) << c.name << ": got " << ::testing::PrintToString(faults);
    }
}

TEST(MeshValidate, LongReportsAreCapped) {
    Mesh m = plane(1, 1, 20, 20);
    for (int& v : m.faceVerts) v += 1000;  // every id out of range
    const std::vector<std::string> faults = validateMesh(m);
    ASSERT_LE(faults.size(), 10u);
    EXPECT_TRUE(mentions(faults, "more: vertex id"));
}
