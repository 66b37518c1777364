// The retopology example, run by kxhost as ./kx demo runs it on the scanned bison of the Assimp test
// models: the exported mesh must be a valid, manifold quad mesh lying on the reference it was drawn on,
// mirrored across X and welded along the spine, the reference untouched, with the picture written beside it.
#include <maya/MIntArray.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>

#include "quaddraw_fixture.h"
#include "support/kxhost.h"

namespace {

const char* const kBison = "/usr/share/assimp/models/OBJ/WusonOBJ.obj";

// Imports an OBJ file and answers the shape it made.
MDagPath importMesh(const std::string& file) {
    const auto before = kxh::session().execute("ls -type mesh").result.asStringArray();
    EXPECT_TRUE(kxh::session().execute("file -i \"" + file + "\"").ok) << file;
    const auto after = kxh::session().execute("ls -type mesh").result.asStringArray();
    for (const std::string& name : after)
        if (std::find(before.begin(), before.end(), name) == before.end()) return pathOf(name);
    return MDagPath();
}

TEST_F(QuadDrawTest, RetopologyExampleBuildsAWeldedMirroredQuadMeshOnTheScannedBison) {
    char pattern[] = "/tmp/kx_retopology_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string directory = pattern;
    int status = -1;
    const std::string output =
        kxtest::runKxhost(std::string(KX_SOURCE_DIR) + "/examples/retopology.mel", status, directory);
    ASSERT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;
    EXPECT_TRUE(std::ifstream(directory + "/out/retopology.png").good());

    // The reference the session left is the scan as it came, untouched.
    const MDagPath original = importMesh(kBison);
    const MDagPath reference = importMesh(directory + "/out/retopology_reference.obj");
    const MDagPath retopology = importMesh(directory + "/out/retopology.obj");
    ASSERT_TRUE(original.isValid() && reference.isValid() && retopology.isValid());
    EXPECT_EQ(MFnMesh(reference).numPolygons(), MFnMesh(original).numPolygons());
    EXPECT_EQ(MFnMesh(reference).numVertices(), MFnMesh(original).numVertices());
    EXPECT_TRUE(faultsOf(retopology).empty()) << faultsOf(retopology).front();

    // Five rows of four quads a side, mirrored: 40 quads on 6 x 9 vertices, the spine column shared.
    MFnMesh mesh(retopology);
    EXPECT_EQ(mesh.numPolygons(), 40);
    EXPECT_EQ(mesh.numVertices(), 54);
    for (int f = 0; f < mesh.numPolygons(); ++f) EXPECT_EQ(mesh.polygonVertexCount(f), 4) << f;
    // Every vertex lies on the reference and has its mirror image across X; the seam lies on the plane.
    MFnMesh surface(reference);
    int right = 0, left = 0, seam = 0;
    for (const MPoint& v : vertices(retopology)) {
        MPoint closest;
        surface.getClosestPoint(v, closest, MSpace::kWorld);
        EXPECT_LT(v.distanceTo(closest), 1e-3);
        EXPECT_TRUE(hasVertexNear(retopology, MPoint(-v.x, v.y, v.z), 1e-6));
        right += v.x > 0;
        left += v.x < 0;
        seam += v.x == 0;
    }
    EXPECT_EQ(left, right);
    EXPECT_EQ(seam, 6);
    // No doubled seam vertex, no sliver: every two vertices are well apart.
    EXPECT_GT(closestVertexPair(retopology), 0.05);
    // Manifold, and only the outline is open: the centre line is welded.
    bool nonManifold = true;
    EXPECT_EQ(openEdges(retopology, nonManifold), 2 * (8 + 5));
    EXPECT_FALSE(nonManifold);
    for (const auto& edge : edgeFaces(retopology)) {
        MPoint a, b;
        mesh.getPoint(edge.first.first, a, MSpace::kWorld);
        mesh.getPoint(edge.first.second, b, MSpace::kWorld);
        if (a.x == 0 && b.x == 0) {
            EXPECT_EQ(edge.second, 2) << "open edge on the centre line";
        }
    }
    std::system(("rm -rf '" + directory + "'").c_str());
}

}  // namespace
