#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "mesh/MeshGeometry.h"
#include "mesh/MeshIO.h"
#include "mesh/MeshMath.h"
#include "mesh/MeshPrimitives.h"
#include "mesh/MeshTopology.h"
#include "mesh/MeshValidate.h"

using namespace kxh;
namespace fs = std::filesystem;

namespace {

const std::string kModels = "/usr/share/assimp/models/";

// A corner as seen in a file: world position and map1 UV (-1, -1 without UVs).
using Corner = std::array<double, 5>;
using Face = std::vector<Corner>;

V3 transform(const V3& p, const Matrix4& m) {
    return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
            p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
            p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
}

Corner corner(const Mesh& m, const Matrix4& matrix, int fv) {
    const V3 p = transform(m.points[m.faceVerts[fv]], matrix);
    double u = -1, v = -1;
    if (!m.uvSets.empty() && m.uvSets[0].faceVertUv[fv] >= 0) {
        u = m.uvSets[0].u[m.uvSets[0].faceVertUv[fv]];
        v = m.uvSets[0].v[m.uvSets[0].faceVertUv[fv]];
    }
    return {p.x, p.y, p.z, u, v};
}

// Every face of the meshes (or every triangle of the host's triangulation, when `triangles`).
std::vector<Face> faces(const std::vector<std::pair<const Mesh*, Matrix4>>& meshes, bool triangles) {
    std::vector<Face> out;
    for (const auto& [m, matrix] : meshes) {
        for (int f = 0; f < m->numFaces(); ++f) {
            const int b = m->faceOffsets[f];
            if (triangles) {
                for (int t = 0; t < m->geometry().faceTriangleCount(f); ++t) {
                    Face tri;
                    for (int c : m->geometry().triangleCorners(f, t))
                        tri.push_back(corner(*m, matrix, b + c));
                    out.push_back(tri);
                }
            } else {
                Face face;
                for (int c = b; c < m->faceOffsets[f + 1]; ++c) face.push_back(corner(*m, matrix, c));
                out.push_back(face);
            }
        }
    }
    return out;
}

// Same corners in the same cyclic order (winding kept), up to float precision.
bool sameFace(const Face& a, const Face& b) {
    if (a.size() != b.size()) return false;
    auto close = [](const Corner& p, const Corner& q) {
        for (int i = 0; i < 5; ++i)
            if (std::fabs(p[i] - q[i]) > 1e-5) return false;
        return true;
    };
    for (size_t shift = 0; shift < b.size(); ++shift) {
        bool all = true;
        for (size_t k = 0; k < a.size() && all; ++k) all = close(a[k], b[(k + shift) % b.size()]);
        if (all) return true;
    }
    return false;
}

// Both lists hold the same polygons: same corners, winding, world positions and UVs.
void expectSameFaces(const std::vector<Face>& got, const std::vector<Face>& want) {
    ASSERT_EQ(got.size(), want.size());
    std::vector<bool> used(want.size(), false);
    for (size_t i = 0; i < got.size(); ++i) {
        bool found = false;
        for (size_t j = 0; j < want.size() && !found; ++j)
            if (!used[j] && sameFace(got[i], want[j])) used[j] = found = true;
        EXPECT_TRUE(found) << "face " << i << " has no match";
    }
}

std::vector<std::pair<const Mesh*, Matrix4>> refs(const std::vector<ImportedMesh>& meshes) {
    std::vector<std::pair<const Mesh*, Matrix4>> out;
    for (const ImportedMesh& im : meshes) out.push_back({&im.mesh, im.matrix});
    return out;
}

void expectValid(const ImportResult& r) {
    for (const ImportedMesh& im : r.meshes)
        EXPECT_TRUE(validateMesh(im.mesh).empty())
            << im.name << ": " << ::testing::PrintToString(validateMesh(im.mesh));
}

class MeshIOTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kx_mesh_io_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

}  // namespace

TEST_F(MeshIOTest, ImportKeepsPolygonsAndWeldsSplitVertices) {
    const ImportResult box = importMeshes(kModels + "OBJ/box.obj");
    ASSERT_TRUE(box.ok) << box.error;
    ASSERT_EQ(box.meshes.size(), 1u);
    const Mesh& m = box.meshes[0].mesh;
    EXPECT_EQ(m.numVertices(), 8);
    EXPECT_EQ(m.numFaces(), 6);
    for (int f = 0; f < 6; ++f) EXPECT_EQ(m.faceSize(f), 4);
    EXPECT_EQ(m.numEdges(), 12);
    for (int e = 0; e < m.numEdges(); ++e) EXPECT_FALSE(m.topology().edgeOnBoundary(e));
    expectValid(box);

    // A PLY cube with per-corner UVs: corners with equal UVs share one UV id.
    const ImportResult ply = importMeshes(kModels + "PLY/cube_uv.ply");
    ASSERT_TRUE(ply.ok) << ply.error;
    EXPECT_EQ(ply.meshes[0].mesh.numFaces(), 6);
    EXPECT_EQ(ply.meshes[0].mesh.numVertices(), 8);
    ASSERT_EQ(ply.meshes[0].mesh.uvSets.size(), 1u);
    EXPECT_EQ(ply.meshes[0].mesh.uvSets[0].name, "map1");
    EXPECT_EQ(ply.meshes[0].mesh.uvSets[0].u.size(), 4u);
    expectValid(ply);

    // glTF stores triangles with vertices split per face: welding brings back the 8 cube corners.
    const ImportResult gltf = importMeshes(kModels + "glTF2/BoxTextured-glTF/BoxTextured.gltf");
    ASSERT_TRUE(gltf.ok) << gltf.error;
    EXPECT_EQ(gltf.meshes[0].mesh.numVertices(), 8);
    EXPECT_EQ(gltf.meshes[0].mesh.numFaces(), 12);
    EXPECT_EQ(gltf.meshes[0].mesh.numEdges(), 18);
    EXPECT_FALSE(gltf.meshes[0].mesh.uvSets.empty());
    expectValid(gltf);

    // A polygon with a hole bridged by a cut passes twice through two positions: it stays one face.
    const ImportResult concave = importMeshes(kModels + "OBJ/concave_polygon.obj");
    ASSERT_TRUE(concave.ok) << concave.error;
    EXPECT_EQ(concave.meshes[0].mesh.numFaces(), 1);
    EXPECT_EQ(concave.meshes[0].mesh.faceSize(0), 66);
    // Ear clipping handles the bridge: every triangle keeps the face's winding.
    const Mesh& cm = concave.meshes[0].mesh;
    ASSERT_EQ(cm.geometry().faceTriangleCount(0), 64);
    for (int t = 0; t < 64; ++t) {
        const auto v = cm.geometry().triangleVertices(0, t);
        const V3 n = cross(cm.points[v[1]] - cm.points[v[0]], cm.points[v[2]] - cm.points[v[0]]);
        EXPECT_GE(dot(n, cm.geometry().faceNormal(0)), 0) << "triangle " << t;
    }
    expectValid(concave);
}

TEST_F(MeshIOTest, FbxCubeFromTheHostMatchesThePrimitive) {
    // A default cube saved by the host as FBX: same polygons, winding and UV layout as cube().
    const ImportResult r = importMeshes(kModels + "FBX/phong_cube.fbx");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.meshes.size(), 1u);
    EXPECT_EQ(r.meshes[0].name, "pCube1");
    EXPECT_EQ(r.meshes[0].mesh.uvSets[0].u.size(), 14u);
    const Mesh c = cube();
    expectSameFaces(faces(refs(r.meshes), false), faces({{&c, Matrix4()}}, false));
}

TEST_F(MeshIOTest, ImportKeepsObjectsAndTransforms) {
    const ImportResult r = importMeshes(kModels + "glTF2/IncorrectVertexArrays/Cube.gltf");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.meshes.size(), 4u);
    EXPECT_EQ(r.meshes[1].name, "TruncatedCube");
    EXPECT_DOUBLE_EQ(r.meshes[1].matrix[3][0], 2.5);
    EXPECT_DOUBLE_EQ(r.meshes[1].matrix[3][2], 2.5);
    EXPECT_DOUBLE_EQ(r.meshes[1].matrix[3][3], 1.0);
    expectValid(r);

    const ImportResult spider = importMeshes(kModels + "OBJ/spider.obj");
    ASSERT_TRUE(spider.ok) << spider.error;
    EXPECT_EQ(spider.meshes.size(), 19u);
    EXPECT_EQ(spider.meshes[0].name, "HLeib01");
}

TEST_F(MeshIOTest, BrokenFilesGiveClearErrors) {
    const ImportResult missing = importMeshes(path("nothing-here.obj"));
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("nothing-here.obj"), std::string::npos);
    EXPECT_NE(missing.error.find("not found"), std::string::npos);

    const ImportResult directory = importMeshes(dir_.string());
    EXPECT_FALSE(directory.ok);

    const ImportResult malformed = importMeshes(kModels + "invalid/malformed.obj");
    EXPECT_FALSE(malformed.ok);
    EXPECT_NE(malformed.error.find("malformed.obj"), std::string::npos);
    EXPECT_NE(malformed.error.find("face index"), std::string::npos);  // Assimp's reason is passed on

    const ImportResult points = importMeshes(kModels + "OBJ/testpoints.obj");
    EXPECT_FALSE(points.ok);

    // Every sample of broken files: a clear failure, or (for the few Assimp tolerates) valid meshes.
    for (const auto& entry : fs::directory_iterator(kModels + "invalid")) {
        SCOPED_TRACE(entry.path().string());
        const ImportResult r = importMeshes(entry.path().string());
        if (r.ok) {
            EXPECT_FALSE(r.meshes.empty());
            expectValid(r);
        } else {
            EXPECT_EQ(r.error.rfind("Cannot import '" + entry.path().string() + "': ", 0), 0u) << r.error;
            EXPECT_GT(r.error.size(), entry.path().string().size() + 20);
        }
    }

    // A file cut short in the middle.
    std::ifstream in(kModels + "PLY/cube_binary.ply", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(path("cut.ply"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    EXPECT_FALSE(importMeshes(path("cut.ply")).ok);
}

TEST_F(MeshIOTest, RoundTripsKeepPolygonsPositionsAndUvs) {
    const Mesh box = cube(2, 2, 2, 2, 1, 1);
    Mesh ball = sphere(1, 8, 6);
    Matrix4 moved;
    moved[3][0] = 5;
    moved[3][1] = 1;
    const std::vector<MeshExportItem> items = {{"box", &box, Matrix4()}, {"ball", &ball, moved}};
    const auto original = std::vector<std::pair<const Mesh*, Matrix4>>{{&box, Matrix4()}, {&ball, moved}};

    struct Format {
        const char* id;
        const char* file;
        bool triangles;  // the format stores triangles only
        bool oneMesh;    // the format holds one mesh per file
    };
    for (const Format& fmt :
         {Format{"obj", "rt.obj", false, false}, Format{"fbx", "rt.fbx", false, false},
          Format{"fbxa", "rt_ascii.fbx", false, false}, Format{"ply", "rt.ply", false, true},
          Format{"gltf2", "rt.gltf", true, false}, Format{"glb2", "rt.glb", true, false}}) {
        SCOPED_TRACE(fmt.id);
        const ExportResult e = exportMeshes(path(fmt.file), fmt.id, items);
        ASSERT_TRUE(e.ok) << e.error;
        const ImportResult r = importMeshes(path(fmt.file));
        ASSERT_TRUE(r.ok) << r.error;
        expectValid(r);
        expectSameFaces(faces(refs(r.meshes), false), faces(original, fmt.triangles));
        if (fmt.oneMesh) {
            ASSERT_EQ(r.meshes.size(), 1u);
            EXPECT_EQ(r.meshes[0].mesh.numVertices(), box.numVertices() + ball.numVertices());
            continue;
        }
        ASSERT_EQ(r.meshes.size(), 2u);
        EXPECT_EQ(r.meshes[0].name, "box");
        EXPECT_EQ(r.meshes[1].name, "ball");
        // Welding restores the shared vertices, and with them the edges.
        EXPECT_EQ(r.meshes[1].mesh.numVertices(), ball.numVertices());
        EXPECT_EQ(r.meshes[0].mesh.uvSets[0].u.size(), box.uvSets[0].u.size());
        if (!fmt.triangles) {
            EXPECT_EQ(r.meshes[1].mesh.numEdges(), ball.numEdges());
        }
    }
}

TEST_F(MeshIOTest, ExportErrorsAndFileTypes) {
    const Mesh c = cube();
    const std::vector<MeshExportItem> items = {{"c", &c, Matrix4()}};
    const ExportResult unknown = exportMeshes(path("x.obj"), "nope", items);
    EXPECT_FALSE(unknown.ok);
    EXPECT_NE(unknown.error.find("nope"), std::string::npos);
    const ExportResult unwritable = exportMeshes(path("no/such/dir/x.obj"), "obj", items);
    EXPECT_FALSE(unwritable.ok);
    EXPECT_NE(unwritable.error.find("x.obj"), std::string::npos);
    EXPECT_FALSE(exportMeshes(path("x.obj"), "obj", std::vector<MeshExportItem>{}).ok);

    EXPECT_EQ(exporterIdForFileType("OBJexport"), "obj");
    EXPECT_EQ(exporterIdForFileType("FBX export"), "fbx");
    EXPECT_EQ(exporterIdForFileType("glTF"), "gltf2");
    EXPECT_EQ(exporterIdForFileType("PLY"), "ply");
    EXPECT_EQ(exporterIdForFileType("mayaAscii"), "");
    EXPECT_EQ(exporterIdForPath("/a/b/Model.OBJ"), "obj");
    EXPECT_EQ(exporterIdForPath("scene.glb"), "glb2");
    EXPECT_EQ(exporterIdForPath("noext"), "");
}
