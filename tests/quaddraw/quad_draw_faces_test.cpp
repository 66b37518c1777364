// Faces built by Shift-release: the first face as a new mesh (never on the reference), appended faces that
// reuse border vertices, mirrored faces welded along the mirror plane row after row, and undo and redo of a
// face with its loose points as one step; and the face building's own functions (mirror spaces, exact
// border matching, loose points used as corners).
#include <maya/MIntArray.h>
#include <maya/MItMeshVertex.h>
#include <maya/MMatrix.h>

#include <algorithm>

#include "mel/UndoQueue.h"
#include "quaddraw/quadDrawFaces.h"
#include "quaddraw_fixture.h"

namespace {

MPointArray square(double x0, double y0, double x1, double y1, double z = 0) {
    MPointArray out;
    out.append(MPoint(x0, y0, z));
    out.append(MPoint(x1, y0, z));
    out.append(MPoint(x1, y1, z));
    out.append(MPoint(x0, y1, z));
    return out;
}

// --- The face building's functions --------------------------------------------------------------------

TEST(QuadFaces, MirrorsAcrossTheTargetsOwnPlaneOrTheWorldsInReverseOrder) {
    MMatrix moved;  // a target moved 5 along x: its own plane is world x = 5
    moved[3][0] = 5;
    const MPointArray quad = square(6, 0, 7, 1);
    QuadMirror mirror{true, 0, moved, 0.01f};
    MPointArray mirrored = mirrorQuadPoints(quad, mirror);
    ASSERT_EQ(mirrored.length(), 4u);
    EXPECT_TRUE(mirrored[0].isEquivalent(MPoint(4, 1, 0)));  // reversed: from the last corner
    EXPECT_TRUE(mirrored[2].isEquivalent(MPoint(3, 0, 0)));
    mirror.space = MMatrix();
    EXPECT_TRUE(mirrorQuadPoints(quad, mirror)[0].isEquivalent(MPoint(-6, 1, 0)));
    mirror.axis = 1;
    EXPECT_TRUE(mirrorQuadPoints(quad, mirror)[0].isEquivalent(MPoint(6, -1, 0)));
    mirror.enabled = false;
    EXPECT_EQ(mirrorQuadPoints(quad, mirror).length(), 0u);

    // Near the plane means within the merge distance in mirror space; snapping leaves border corners alone.
    mirror = QuadMirror{true, 0, moved, 0.01f};
    EXPECT_TRUE(mirror.nearPlane(MPoint(5.009, 3, 0)));
    EXPECT_FALSE(mirror.nearPlane(MPoint(5.011, 3, 0)));
    MIntArray ids;
    for (int id : {0, 7, 0, 0}) ids.append(id);
    const MPointArray snapped = snapSeamCorners(square(5.005, 0, 4.995, 1), ids, mirror);
    EXPECT_EQ(snapped[0], MPoint(5, 0, 0));
    EXPECT_EQ(snapped[1], MPoint(4.995, 0, 0));  // a border vertex keeps its place
    EXPECT_EQ(snapped[2], MPoint(5, 1, 0));
}

TEST(QuadFaces, CornersReuseBorderVerticesOnlyWhenExactlyOnThemAndUsedLoosePointsGo) {
    QuadBorder border;
    border.vertexIds.append(1);
    border.positions.append(MPoint(1, 0, 0));
    border.vertexIds.append(2);
    border.positions.append(MPoint(1, 1, 0));
    MPointArray quad = square(1, 0, 2, 1);
    MIntArray ids = matchQuadToBorder(quad, border);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], 0);
    EXPECT_EQ(ids[3], 3);
    quad[3] = MPoint(1 + 1e-9, 1, 0);  // a hair off: a new point
    EXPECT_EQ(matchQuadToBorder(quad, border)[3], 0);

    // Loose points on a corner or within the merge distance of one are used up; the others stay.
    MPointArray loose = square(1, 0, 2, 1);
    loose.append(MPoint(2.005, 1, 0));
    loose.append(MPoint(2.5, 1, 0));
    const MPointArray kept = withoutUsedPoints(loose, square(1, 0, 2, 1), 0.01);
    ASSERT_EQ(kept.length(), 1u);
    EXPECT_EQ(kept[0], MPoint(2.5, 1, 0));
}

// --- Scripted sessions ---------------------------------------------------------------------------------

TEST_F(QuadDrawTest, ShiftReleasesBuildANewMeshAndAppendQuadsReusingBorderVertices) {
    // As after importing a reference: it is selected, so starting the tool hilites it. It gives no border to
    // build on and is never the target.
    const MDagPath reference = slideOnSphere();
    const int referenceFaces = MFnMesh(reference).numPolygons();
    mel("select -r reference");
    startTool();
    clickSquare(0, 0, 2, 2);
    click(6, 6);  // too far to take part
    const MPointArray dropped = loosePoints();
    hover(1, 1);
    EXPECT_EQ(preview().length(), 4u);
    shiftClick(1, 1);

    // The first quad: a new mesh of the four nearest points, facing the camera, hilited as the target.
    const MDagPath mesh = target();
    ASSERT_TRUE(mesh.isValid());
    EXPECT_FALSE(mesh.node() == MDagPath(reference).node());
    MFnMesh fn(mesh);
    EXPECT_EQ(fn.numPolygons(), 1);
    EXPECT_EQ(fn.numVertices(), 4);
    for (unsigned i = 0; i < 4; ++i) EXPECT_TRUE(hasVertexNear(mesh, dropped[i], 1e-5)) << i;
    MVector normal;
    fn.getPolygonNormal(0, normal, MSpace::kWorld);
    EXPECT_GT(normal.z, 0.9);
    // Used points leave the locator; the far one stays. The new transform is announced by name.
    ASSERT_EQ(loosePoints().length(), 1u);
    EXPECT_EQ(loosePoints()[0], dropped[4]);
    MDagPath transform = mesh;
    transform.pop();
    const auto info = lines(kxh::OutputKind::Info);
    EXPECT_NE(std::find(info.begin(), info.end(), " " + std::string(transform.partialPathName().asChar())),
              info.end());

    // Next quads append, their corners on border vertices reused exactly.
    mel("delete kxModelingToolsDrawQuadLocator; setToolTo selectSuperContext");
    startTool();
    struct Row {
        std::vector<std::pair<double, double>> clicks;
        std::pair<double, double> shift;
        int faces, vertices;
    };
    const Row rows[] = {{{{4, 0}, {4, 2}}, {3, 1}, 2, 6},
                        {{{4, 4}, {2, 4}}, {3, 3}, 3, 8},  // two corners shared with earlier faces
                        {{{0, 4}}, {1, 3}, 4, 9}};         // three corners from the border
    for (const Row& row : rows) {
        for (auto [x, y] : row.clicks) click(x, y);
        shiftClick(row.shift.first, row.shift.second);
        EXPECT_EQ(fn.numPolygons(), row.faces)
            << "Shift-click at " << row.shift.first << "," << row.shift.second;
        EXPECT_EQ(fn.numVertices(), row.vertices)
            << "Shift-click at " << row.shift.first << "," << row.shift.second;
        EXPECT_EQ(loosePoints().length(), 0u);
    }
    for (const MPoint& v : vertices(mesh)) EXPECT_NEAR(MVector(v).length(), 10.0, 0.15);
    EXPECT_EQ(MFnMesh(reference).numPolygons(), referenceFaces);
}

// (The retopology example checks a larger mirrored mesh for mirror images, manifold edges and the weld.)
TEST_F(QuadDrawTest, RowsAlongTheMirrorPlaneShareTheirSeamVertices) {
    slideOnSphere();
    mirrorAcrossWorldX();
    settings().mergeDistance = 0.1f;  // the inner column is clicked a pixel (0.047) off the plane
    startTool();
    const double seam = 1.0 / kPixelsPerUnit;
    clickSquare(seam, 0, 2, 2);
    shiftClick(1, 1);
    for (int row = 1; row < 3; ++row) {
        if (row == 2) click(seam, 2 * row);  // a stray point on a seam vertex: it counts once
        click(seam, 2 * row + 2);
        click(2, 2 * row + 2);
        shiftClick(1, 2 * row + 1);
    }
    const MDagPath mesh = target();
    ASSERT_TRUE(mesh.isValid());
    MFnMesh fn(mesh);
    EXPECT_EQ(fn.numPolygons(), 6);
    EXPECT_EQ(fn.numVertices(), 4 + 4 + 4);  // right column, left column, seam: none doubled
    EXPECT_TRUE(faultsOf(mesh).empty()) << faultsOf(mesh).front();
    EXPECT_EQ(loosePoints().length(), 0u);
    int onSeam = 0;
    for (const MPoint& v : vertices(mesh)) onSeam += v.x == 0.0;
    EXPECT_EQ(onSeam, 4);
    bool nonManifold = true;
    EXPECT_EQ(openEdges(mesh, nonManifold), 2 + 2 + 3 + 3);  // top and bottom rows, two outer columns
}

TEST_F(QuadDrawTest, OneShiftClickUndoesAndRedoesAsOneStepWithItsLoosePoints) {
    slideOnSphere();
    mirrorAcrossWorldX();
    startTool();
    kxh::mel::UndoQueue& queue = kxh::session().interpreter().undoQueue();
    const size_t sceneSteps = queue.size();  // making the reference and placing the camera
    clickSquare(0, 0, 2, 2);
    shiftClick(1, 1);
    click(4, 0);
    click(4, 2);
    const MPointArray beforeFace = loosePoints();
    ASSERT_EQ(beforeFace.length(), 2u);
    const size_t steps = queue.size();
    shiftClick(3, 1);
    EXPECT_EQ(queue.size(), steps + 1);
    const MDagPath mesh = target();
    EXPECT_EQ(MFnMesh(mesh).numPolygons(), 4);
    EXPECT_EQ(loosePoints().length(), 0u);

    // One undo: the face and its mirror go and the two points come back, together.
    mel("undo");
    EXPECT_EQ(MFnMesh(mesh).numPolygons(), 2);
    EXPECT_EQ(list(loosePoints()), list(beforeFace));
    mel("redo");
    EXPECT_EQ(MFnMesh(mesh).numPolygons(), 4);
    EXPECT_EQ(loosePoints().length(), 0u);
    EXPECT_TRUE(faultsOf(mesh).empty());

    // Undo everything: no mesh, no points; redo everything: the same mesh again.
    while (queue.size() > sceneSteps) mel("undo");
    EXPECT_EQ(loosePoints().length(), 0u);
    EXPECT_EQ(mel("ls -type mesh").asStringArray(), std::vector<std::string>{"referenceShape"});
    while (queue.canRedo()) mel("redo");
    EXPECT_EQ(loosePoints().length(), 0u);
    const std::vector<std::string> meshes = mel("ls -type mesh").asStringArray();
    ASSERT_EQ(meshes.size(), 2u);
    const MDagPath built = pathOf(meshes[1]);
    EXPECT_EQ(MFnMesh(built).numPolygons(), 4);
    EXPECT_EQ(MFnMesh(built).numVertices(), 10);

    // After an undo the tool works from the mesh as it now is, not as the hover last read it: the same face
    // can be built again.
    hover(3, 1);
    mel("undo");
    EXPECT_EQ(MFnMesh(built).numPolygons(), 2);
    shiftClick(3, 1);
    EXPECT_EQ(MFnMesh(built).numPolygons(), 4);
    EXPECT_EQ(MFnMesh(built).numVertices(), 10);
    EXPECT_TRUE(faultsOf(built).empty());
}

TEST_F(QuadDrawTest, MirroredCornersOnTheBorderReuseTheVertexAcrossTheObjectsPlane) {
    // Two faces symmetric about the object's own plane, on a transform moved 5 along x (world x = 5).
    mel("polyCreateFacet -p -3 0 0 -p -2 0 0 -p -2 1 0 -p -3 1 0 -n built;"
        "polyAppendVertex -p 2 0 0 -p 3 0 0 -p 3 1 0 -p 2 1 0 built; move -a 5 0 0 built");
    const MDagPath mesh = pathOf("builtShape");
    QuadBorder border;
    for (MItMeshVertex v(mesh); !v.isDone(); v.next()) {
        border.vertexIds.append(v.index());
        border.positions.append(v.position(MSpace::kWorld));
    }
    // A quad below the right face, sharing its bottom edge (world (7, 0) and (8, 0)).
    MPointArray quad;
    for (const MPoint& p : {MPoint(7, -1, 0), MPoint(8, -1, 0), MPoint(8, 0, 0), MPoint(7, 0, 0)})
        quad.append(p);
    const MIntArray ids = matchQuadToBorder(quad, border);
    ASSERT_EQ(ids[2], 6);
    ASSERT_EQ(ids[3], 5);
    const QuadMirror mirror = quadMirrorFor(mesh, true, 0, false, 0.01f);
    mel(appendQuadCommand(mesh.fullPathName(), mesh.inclusiveMatrixInverse(), 8, quad, ids, border, mirror)
            .asChar());
    MFnMesh fn(mesh);
    EXPECT_EQ(fn.numPolygons(), 4);
    EXPECT_EQ(fn.numVertices(), 12);
    for (const MPoint& v : vertices(mesh)) EXPECT_TRUE(hasVertexNear(mesh, MPoint(10 - v.x, v.y, v.z), 1e-9));
}

TEST_F(QuadDrawTest, UndoingPointsOfALocatorDeletedOutsideTheQueueDoesNothing) {
    startTool();
    click(0, 0);
    mel("setToolTo selectSuperContext");
    // Deleted through the API, so no undo step brings it back before the click's.
    MDagPath locator = pathOf("kxModelingToolsDrawQuadLocator");
    MObject node = locator.node();
    ASSERT_TRUE(MGlobal::deleteNode(node));
    ASSERT_TRUE(mel("ls -type quadDrawLocator").asStringArray().empty());
    mel("undo");  // the click's tool command: its locator is gone, nothing to restore
    mel("redo");
    EXPECT_TRUE(mel("ls -type quadDrawLocator").asStringArray().empty());
    EXPECT_TRUE(lines(kxh::OutputKind::Error).empty());
    EXPECT_TRUE(lines(kxh::OutputKind::Perror).empty());
}

}  // namespace
