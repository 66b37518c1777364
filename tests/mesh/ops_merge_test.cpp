// Welding vertices by distance: clusters, rebuilt faces, compacted ids, and the data that rides on
// vertices, corners and edges.
#include <gtest/gtest.h>

#include "mesh/Mesh.h"
#include "mesh/MeshPrimitives.h"
#include "mesh/MeshTopology.h"
#include "mesh/MeshValidate.h"
#include "mesh/ops/MergeVertices.h"
#include "support/mesh_checks.h"

using namespace kxh;

namespace {

using kxtest::expectValid;
using kxtest::faceOf;

Mesh fromFaces(std::vector<V3> points, const std::vector<std::vector<int>>& faces) {
    Mesh m;
    m.points = std::move(points);
    for (auto& f : faces) m.addFace(f);
    m.pointsChanged();
    return m;
}

// A quad right of x = 0 and its mirror image left of it (built as the mirrored append does: corners
// mirrored and reversed), the seam corners `gap` apart.
Mesh mirroredQuads(double gap) {
    const double h = gap / 2;
    return fromFaces({V3{h, 0, 0}, V3{1, 0, 0}, V3{1, 1, 0}, V3{h, 1, 0},  //
                      V3{-h, 1, 0}, V3{-1, 1, 0}, V3{-1, 0, 0}, V3{-h, 0, 0}},
                     {{0, 1, 2, 3}, {4, 5, 6, 7}});
}

ops::MergeOptions within(double d, ops::MergePosition pos = ops::MergePosition::Mean) {
    ops::MergeOptions o;
    o.distance = d;
    o.position = pos;
    return o;
}

}  // namespace

TEST(OpsCluster, LowestIdSurvivesAndClustersDoNotChain) {
    std::vector<V3> row;
    for (int i = 0; i < 6; ++i) row.push_back(V3{0.6 * i, 0, 0});
    // 0 takes 1 (0.6) but not 2 (1.2); 2 starts the next cluster, and so on.
    EXPECT_EQ(ops::clusterByDistance(row, {0, 1, 2, 3, 4, 5}, 1.0), (std::vector<int>{0, 0, 2, 2, 4, 4}));
    // Only candidates take part; ids out of range are ignored.
    EXPECT_EQ(ops::clusterByDistance(row, {5, 1, 2, 99, -3}, 1.0), (std::vector<int>{0, 1, 1, 3, 4, 5}));
    // Distance 0 welds only exact duplicates; the bound is inclusive.
    std::vector<V3> pts{V3{1, 2, 3}, V3{1, 2, 3}, V3{1, 2, 3.5}, V3{1, 2, 3}};
    EXPECT_EQ(ops::clusterByDistance(pts, {0, 1, 2, 3}, 0.0), (std::vector<int>{0, 0, 2, 0}));
    EXPECT_EQ(ops::clusterByDistance(pts, {0, 1, 2, 3}, 0.5), (std::vector<int>{0, 0, 0, 0}));
}

TEST(OpsMerge, MirrorSeamWeldsIntoOneManifoldSheet) {
    Mesh m = mirroredQuads(0.008);
    auto r = ops::mergeByDistance(m, within(0.01));
    expectValid(m);
    EXPECT_EQ(r.mergedVertices, 2);
    EXPECT_EQ(r.addedVertices, 0);
    ASSERT_EQ(m.numVertices(), 6);
    ASSERT_EQ(m.numFaces(), 2);
    // 4 -> 3 and 7 -> 0; 5 and 6 move down to 4 and 5.
    EXPECT_EQ(r.vertexMap, (std::vector<int>{0, 1, 2, 3, 3, 4, 5, 0}));
    EXPECT_EQ(faceOf(m, 0), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(faceOf(m, 1), (std::vector<int>{3, 4, 5, 0}));
    EXPECT_NEAR(m.points[0].x, 0, 1e-12);  // the mean lands on the mirror plane
    EXPECT_NEAR(m.points[3].x, 0, 1e-12);
    EXPECT_EQ(m.points[4].x, -1);
    const MeshTopology& t = m.topology();
    EXPECT_EQ(t.edgeFaces(t.findEdge(0, 3)).size(), 2);
    EXPECT_EQ(m.numEdges(), 7);

    // The survivor may stay where it is instead; out of reach nothing changes at all.
    Mesh kept = mirroredQuads(0.008);
    ops::mergeByDistance(kept, within(0.01, ops::MergePosition::Survivor));
    EXPECT_DOUBLE_EQ(kept.points[3].x, 0.004);
    Mesh apart = mirroredQuads(0.02);
    const auto version = apart.topologyVersion();
    EXPECT_FALSE(ops::mergeByDistance(apart, within(0.01)).changed());
    EXPECT_EQ(apart.topologyVersion(), version);
}

TEST(OpsMerge, SubsetOfAGridCollapsesAnEdgeIntoTriangles) {
    Mesh m = plane(2, 2, 2, 2);  // 3x3 vertices, 4 quads
    const int uvs = int(m.uvSets[0].u.size());
    // Vertices 3 and 4 (middle row, left and centre) are 1 apart: far for the distance, but -am merges two.
    ops::MergeOptions o = within(0.01);
    o.alwaysMergeTwo = true;
    auto r = ops::mergeByDistance(m, {4, 3}, o);
    expectValid(m);
    EXPECT_EQ(r.mergedVertices, 1);
    EXPECT_EQ(m.numVertices(), 8);
    EXPECT_EQ(m.numFaces(), 4);
    EXPECT_EQ(r.droppedFaces, 0);
    int triangles = 0;
    for (int f = 0; f < 4; ++f) triangles += m.faceSize(f) == 3;
    EXPECT_EQ(triangles, 2);
    EXPECT_DOUBLE_EQ(m.points[3].x, -0.5);  // midway between the two
    EXPECT_EQ(int(m.uvSets[0].u.size()), uvs);
}

TEST(OpsMerge, DegenerateFacesAreDroppedAndPinchedOnesSplit) {
    // A quad with a triangle on its right side; welding the triangle's tip onto the side kills it.
    Mesh m = fromFaces({V3{0, 0, 0}, V3{1, 0, 0}, V3{1, 1, 0}, V3{0, 1, 0}, V3{1.001, 0.5, 0}},
                       {{0, 1, 2, 3}, {2, 1, 4}});
    std::vector<int> into{0, 1, 1, 3, 1};  // 2 and 4 into 1
    auto r = ops::mergeVertices(m, into);
    expectValid(m);
    EXPECT_EQ(r.droppedFaces, 1);
    EXPECT_EQ(r.faceMap, (std::vector<int>{0, -1}));
    ASSERT_EQ(m.numFaces(), 1);
    EXPECT_EQ(faceOf(m, 0), (std::vector<int>{0, 1, 2}));  // the quad lost its repeated corner
    EXPECT_EQ(m.numVertices(), 3);

    // A hexagon whose opposite corners 0 and 3 are welded: two triangles meeting at one vertex.
    Mesh hex = fromFaces({V3{0, 0, 0}, V3{1, -1, 0}, V3{2, -1, 0}, V3{3, 0, 0}, V3{2, 1, 0}, V3{1, 1, 0}},
                         {{0, 1, 2, 3, 4, 5}});
    auto split = ops::mergeVertices(hex, {0, 1, 2, 0, 4, 5}, ops::MergePosition::Survivor);
    expectValid(hex);
    ASSERT_EQ(hex.numFaces(), 2);
    EXPECT_EQ(split.faceMap[0], 0);
    EXPECT_EQ(faceOf(hex, 0), (std::vector<int>{0, 3, 4}));
    EXPECT_EQ(faceOf(hex, 1), (std::vector<int>{0, 1, 2}));
}

TEST(OpsMerge, OpposedWindingsGetACopyInsteadOfAFoldedEdge) {
    // The left quad runs its seam the same way as the right one: welding both seam corners would give the
    // seam edge two faces running one way, so the second face takes a copy of the seam's end vertex.
    Mesh m = fromFaces({V3{0, 0, 0}, V3{1, 0, 0}, V3{1, 1, 0}, V3{0, 1, 0},  //
                        V3{0, 0, 0}, V3{0, 1, 0}, V3{-1, 1, 0}, V3{-1, 0, 0}},
                       {{0, 1, 2, 3}, {4, 7, 6, 5}});
    // The left face closes with 5 -> 4, (0,1) -> (0,0): the same way as the right face's 3 -> 0.
    auto r = ops::mergeByDistance(m, within(0));
    expectValid(m);
    EXPECT_EQ(r.mergedVertices, 2);
    EXPECT_EQ(r.addedVertices, 1);
    EXPECT_EQ(m.numVertices(), 7);
    EXPECT_EQ(m.numFaces(), 2);
    const MeshTopology& t = m.topology();
    for (int e = 0; e < t.numEdges(); ++e) EXPECT_EQ(t.edgeFaces(e).size(), 1) << "edge " << e;
}

TEST(OpsMerge, CornerDataCreasesHardEdgesAndLockedNormalsFollowTheWeld) {
    Mesh m = mirroredQuads(0);  // seam vertices coincide: 4 == 3, 7 == 0
    m.uvSets.emplace_back();
    UvSet& uv = m.uvSets[0];
    for (int i = 0; i < 8; ++i) {
        uv.u.push_back(float(i));
        uv.v.push_back(0);
    }
    uv.faceVertUv = {0, 1, 2, 3, 4, 5, 6, 7};
    m.colorSets.emplace_back();
    m.colorSets[0].colors = {{1, 0, 0, 1}};
    m.colorSets[0].faceVertColor = {-1, -1, -1, -1, 0, 0, 0, 0};
    m.edgeCreases[{5, 6}] = 0.5;  // far side of the left quad: survives as 4-5
    m.edgeCreases[{4, 7}] = 0.2;  // left quad's seam: becomes the welded seam 0-3
    m.edgeCreases[{0, 3}] = 0.7;  // right quad's seam: same edge, larger value wins
    m.hardEdges.insert({1, 2});
    m.hardEdges.insert({6, 7});
    m.lockedNormals = {{7, V3{0, 0, 1}}, {5, V3{0, 1, 0}}};
    ASSERT_TRUE(validateMesh(m).empty());

    ops::mergeByDistance(m, within(0));
    expectValid(m);
    EXPECT_EQ(faceOf(m, 1), (std::vector<int>{3, 4, 5, 0}));
    EXPECT_EQ(m.uvSets[0].faceVertUv, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(m.colorSets[0].faceVertColor, (std::vector<int>{-1, -1, -1, -1, 0, 0, 0, 0}));
    EXPECT_EQ(m.edgeCreases, (std::map<std::pair<int, int>, double>{{{0, 3}, 0.7}, {{4, 5}, 0.5}}));
    EXPECT_EQ(m.hardEdges, (std::set<std::pair<int, int>>{{1, 2}, {0, 5}}));
    ASSERT_EQ(m.lockedNormals.size(), 1u);  // 7 merged away; 5 is now 4
    EXPECT_EQ(m.lockedNormals[0].first, 4);
}
