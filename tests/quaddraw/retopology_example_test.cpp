// The retopology example, run by kxhost as ./kx demo runs it: the exported mesh must be a valid, manifold
// quad mesh lying on the reference it was drawn on, mirrored across X, with the picture written beside it.
#include <maya/MIntArray.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>

#include "quaddraw_fixture.h"

namespace {

std::string runScript(const std::string& directory, const std::string& script, int& status) {
    const std::string command =
        "cd '" + directory + "' && '" + std::string(KX_BINARY_DIR) + "/bin/kxhost' '" + script + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    if (!pipe) return output;
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    status = ::pclose(pipe);
    return output;
}

// Imports an OBJ file and answers the shape it made.
MDagPath importMesh(const std::string& file) {
    const auto before = kxh::session().execute("ls -type mesh").result.asStringArray();
    kxh::session().execute("file -i \"" + file + "\"");
    const auto after = kxh::session().execute("ls -type mesh").result.asStringArray();
    MDagPath path;
    for (const std::string& name : after) {
        if (std::find(before.begin(), before.end(), name) != before.end()) continue;
        MSelectionList list;
        list.add(name.c_str());
        list.getDagPath(0, path);
        break;
    }
    return path;
}

TEST_F(QuadDrawTest, RetopologyExampleBuildsAMirroredQuadMeshOnTheReference) {
    char pattern[] = "/tmp/kx_retopology_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string directory = pattern;
    int status = -1;
    const std::string output =
        runScript(directory, std::string(KX_SOURCE_DIR) + "/examples/retopology.mel", status);
    ASSERT_EQ(status, 0) << output;
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;
    EXPECT_TRUE(std::ifstream(directory + "/out/retopology.png").good());

    const MDagPath reference = importMesh(directory + "/out/retopology_reference.obj");
    const MDagPath retopology = importMesh(directory + "/out/retopology.obj");
    ASSERT_TRUE(reference.isValid());
    ASSERT_TRUE(retopology.isValid());
    EXPECT_TRUE(faultsOf(retopology).empty()) << faultsOf(retopology).front();

    MFnMesh mesh(retopology);
    EXPECT_GE(mesh.numPolygons(), 40);
    for (int f = 0; f < mesh.numPolygons(); ++f) EXPECT_EQ(mesh.polygonVertexCount(f), 4) << f;
    // Every vertex lies on the reference and has its mirror image across X.
    MFnMesh surface(reference);
    int right = 0, left = 0;
    for (const MPoint& v : vertices(retopology)) {
        MPoint closest;
        surface.getClosestPoint(v, closest, MSpace::kWorld);
        EXPECT_LT(v.distanceTo(closest), 1e-3);
        EXPECT_TRUE(hasVertexNear(retopology, MPoint(-v.x, v.y, v.z), 1e-3));
        right += v.x > 1e-3;
        left += v.x < -1e-3;
    }
    EXPECT_EQ(left, right);
    EXPECT_GT(right, 20);
    // Every edge has one or two faces, and the centre line was welded: only the outline is open.
    std::map<std::pair<int, int>, int> edgeFaces;
    for (int f = 0; f < mesh.numPolygons(); ++f) {
        MIntArray ids;
        mesh.getPolygonVertices(f, ids);
        for (unsigned k = 0; k < ids.length(); ++k) {
            const int a = ids[k], b = ids[(k + 1) % ids.length()];
            ++edgeFaces[{std::min(a, b), std::max(a, b)}];
        }
    }
    for (const auto& edge : edgeFaces) {
        EXPECT_LE(edge.second, 2);
        if (edge.second == 1) {
            MPoint a, b;
            mesh.getPoint(edge.first.first, a, MSpace::kWorld);
            mesh.getPoint(edge.first.second, b, MSpace::kWorld);
            EXPECT_FALSE(std::fabs(a.x) < 1e-3 && std::fabs(b.x) < 1e-3) << "open edge on the centre line";
        }
    }
    std::system(("rm -rf '" + directory + "'").c_str());
}

}  // namespace
