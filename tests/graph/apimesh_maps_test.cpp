// MFnMesh UV sets and colour sets on a cube whose faces each have their own UVs.
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MStringArray.h>

#include "apimesh_util.h"

using namespace apimesh;

using MeshMaps = MeshApiTest;

TEST_F(MeshMaps, UvSetsAreCreatedRenamedCopiedAndDeleted) {
    MFnMesh fn;
    makeCube(fn);
    MString name("extra");
    ASSERT_TRUE(fn.createUVSet(name));
    EXPECT_EQ(name, MString("extra"));
    EXPECT_EQ(fn.createUVSetWithName("extra"), MString("extra1"));  // a taken name is made unique
    MStringArray names;
    fn.getUVSetNames(names);
    ASSERT_EQ(names.length(), 3u);
    EXPECT_EQ(names[0], MString("map1"));
    EXPECT_EQ(fn.numUVs(MString("extra")), 0);

    ASSERT_TRUE(fn.setCurrentUVSetName("extra"));
    EXPECT_EQ(fn.currentUVSetName(), MString("extra"));
    EXPECT_EQ(fn.numUVs(), 0);
    EXPECT_EQ(fn.setCurrentUVSetName("missing"), MS::kInvalidParameter);

    MString copyName("copied");
    ASSERT_TRUE(fn.copyUVSet("map1", copyName));
    EXPECT_EQ(fn.numUVs(MString("copied")), 24);
    MString set("copied");
    int id;
    ASSERT_TRUE(fn.getPolygonUVid(5, 2, id, &set));
    EXPECT_EQ(id, 22);

    EXPECT_EQ(fn.renameUVSet("copied", "map1"), MS::kInvalidParameter);
    ASSERT_TRUE(fn.renameUVSet("copied", "second"));
    ASSERT_TRUE(fn.deleteUVSet("extra"));  // the current set: the current moves to a remaining set
    fn.getUVSetNames(names);
    EXPECT_EQ(names.length(), 3u);
    EXPECT_FALSE(fn.currentUVSetName().length() == 0);
    ASSERT_TRUE(fn.deleteUVSet("extra1"));
    ASSERT_TRUE(fn.deleteUVSet("second"));
    EXPECT_EQ(fn.deleteUVSet("map1"), MS::kInvalidParameter);  // the last set stays
    EXPECT_EQ(fn.currentUVSetName(), MString("map1"));
    expectValid(fn);
}

TEST_F(MeshMaps, UvValuesAndAssignments) {
    MFnMesh fn;
    makeCube(fn);
    float u, v;
    ASSERT_TRUE(fn.getPolygonUV(1, 2, u, v));
    EXPECT_EQ(u, 2.f);
    EXPECT_EQ(v, 1.f);
    ASSERT_TRUE(fn.setUV(6, 0.25f, 0.75f));
    fn.getUV(6, u, v);
    EXPECT_EQ(u, 0.25f);

    // Growing the set, then pointing face 0 at the new UVs.
    MFloatArray us, vs;
    fn.getUVs(us, vs);
    for (int i = 0; i < 4; ++i) {
        us.append(9.f + float(i));
        vs.append(0.f);
    }
    ASSERT_TRUE(fn.setUVs(us, vs));
    EXPECT_EQ(fn.numUVs(), 28);
    MFloatArray shorter = us;
    shorter.setLength(3);
    EXPECT_EQ(fn.setUVs(shorter, shorter), MS::kInvalidParameter);
    for (int c = 0; c < 4; ++c) ASSERT_TRUE(fn.assignUV(0, c, 24 + c));
    ASSERT_TRUE(fn.getPolygonUV(0, 3, u, v));
    EXPECT_EQ(u, 12.f);

    MIntArray counts, ids;
    fn.getAssignedUVs(counts, ids);
    ASSERT_EQ(counts.length(), 6u);
    EXPECT_EQ(ids.length(), 24u);
    EXPECT_EQ(ids[0], 24);
    // Unmapping two faces: counts of 0.
    counts[2] = 0;
    counts[3] = 0;
    MIntArray kept;
    for (unsigned i = 0; i < ids.length(); ++i)
        if (i / 4 != 2 && i / 4 != 3) kept.append(ids[i]);
    ASSERT_TRUE(fn.assignUVs(counts, kept));
    int id;
    EXPECT_EQ(fn.getPolygonUVid(2, 0, id), MS::kFailure);
    EXPECT_EQ(fn.assignUV(2, 0, 0), MS::kFailure);  // a face is mapped whole or not at all
    MIntArray wrong;
    wrong.append(4);
    EXPECT_EQ(fn.assignUVs(wrong, kept), MS::kInvalidParameter);
    expectValid(fn);

    ASSERT_TRUE(fn.clearUVs());
    EXPECT_EQ(fn.numUVs(), 0);
    fn.getAssignedUVs(counts, ids);
    EXPECT_EQ(ids.length(), 0u);
    expectValid(fn);
}

TEST_F(MeshMaps, ShellsFollowSharedUvsAcrossFaceSides) {
    MFnMesh fn;
    makeCube(fn);
    MIntArray shells;
    unsigned n = 0;
    ASSERT_TRUE(fn.getUvShellsIds(shells, n));
    EXPECT_EQ(n, 6u);
    ASSERT_EQ(shells.length(), 24u);
    EXPECT_EQ(shells[0], 0);
    EXPECT_EQ(shells[23], 5);

    // Face 1 (-z) shares its edge 0-2 with face 5 (-x, corners 0,4,6,2): give face 1 the UVs face 5 uses
    // for those two vertices, joining the two shells.
    MIntArray counts, ids;
    fn.getAssignedUVs(counts, ids);
    ids[4 + 1] = 20;  // face 1 corner 1 is vertex 0, face 5 corner 0 is vertex 0
    ids[4 + 2] = 23;  // face 1 corner 2 is vertex 2, face 5 corner 3 is vertex 2
    ASSERT_TRUE(fn.assignUVs(counts, ids));
    ASSERT_TRUE(fn.getUvShellsIds(shells, n));
    EXPECT_EQ(n, 7u);  // two UVs of face 1 are now used by nothing: shells of their own
    EXPECT_EQ(shells[4], shells[20]);
    EXPECT_EQ(shells[7], shells[22]);
    EXPECT_NE(shells[5], shells[20]);
    MString none("none");
    EXPECT_EQ(fn.getUvShellsIds(shells, n, &none), MS::kInvalidParameter);
}

TEST_F(MeshMaps, ColoursPerFaceAndPerVertex) {
    MFnMesh fn;
    makeCube(fn);
    MStringArray names;
    fn.getColorSetNames(names);
    EXPECT_EQ(names.length(), 0u);
    ASSERT_TRUE(fn.clearColors());  // nothing to clear

    ASSERT_TRUE(fn.setFaceColor(MColor(1, 0, 0), 2));
    fn.getColorSetNames(names);
    ASSERT_EQ(names.length(), 1u);
    EXPECT_EQ(fn.currentColorSetName(), MString("colorSet1"));
    MColorArray fv;
    ASSERT_TRUE(fn.getFaceVertexColors(fv));
    ASSERT_EQ(fv.length(), 24u);
    EXPECT_EQ(fv[8], MColor(1, 0, 0));
    EXPECT_EQ(fv[0], MColor(-1, -1, -1, -1));
    MColor unset(0.5f, 0.5f, 0.5f);
    fn.getFaceVertexColors(fv, nullptr, &unset);
    EXPECT_EQ(fv[0], unset);

    MColorArray cols;
    cols.append(MColor(0, 1, 0));
    cols.append(MColor(0, 0, 1));
    MIntArray faces;
    faces.append(0);
    faces.append(5);
    ASSERT_TRUE(fn.setFaceColors(cols, faces));
    fn.getFaceVertexColors(fv);
    EXPECT_EQ(fv[3], MColor(0, 1, 0));
    EXPECT_EQ(fv[21], MColor(0, 0, 1));

    // Vertex 7 touches faces 0, 2 and 4; a vertex colour replaces all three corners.
    ASSERT_TRUE(fn.setVertexColor(MColor(1, 1, 1), 7));
    MColorArray perVertex;
    fn.getVertexColors(perVertex);
    EXPECT_EQ(perVertex[7], MColor(1, 1, 1));
    expectValid(fn);

    MIntArray drop;
    drop.append(2);
    ASSERT_TRUE(fn.removeFaceColors(drop));
    fn.getFaceVertexColors(fv);
    EXPECT_EQ(fv[9], MColor(-1, -1, -1, -1));
    ASSERT_TRUE(fn.clearColors());
    EXPECT_EQ(fn.numColors(), 0);
    fn.getFaceVertexColors(fv);
    EXPECT_EQ(fv[3], MColor(-1, -1, -1, -1));
    expectValid(fn);

    EXPECT_FALSE(fn.displayColors());
    ASSERT_TRUE(fn.setDisplayColors(true));
    EXPECT_TRUE(fn.displayColors());
    MString setName("paint");
    ASSERT_TRUE(fn.createColorSet(setName));
    ASSERT_TRUE(fn.setCurrentColorSetName("paint"));
    EXPECT_EQ(fn.currentColorSetName(), MString("paint"));
    ASSERT_TRUE(fn.deleteColorSet("paint"));
    EXPECT_EQ(fn.currentColorSetName(), MString("colorSet1"));
}
