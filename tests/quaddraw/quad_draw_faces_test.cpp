// Faces built by Shift-release: the first face as a new mesh, appended faces that reuse border vertices by
// id, mirrored faces and the weld of a first face to its mirror, the exact command strings, and undo and
// redo of faces and loose points together.
#include <maya/MIntArray.h>

#include <algorithm>

#include "quaddraw/quadDrawContext.h"
#include "quaddraw/quadDrawFaces.h"
#include "mel/UndoQueue.h"
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

TEST_F(QuadDrawTest, FirstQuadCommandsAreBuiltCharacterForCharacter) {
    const MPointArray quad = square(0, 0, 1.5, 2.25, -3);
    EXPECT_EQ(firstQuadCommand(quad, MPointArray(), ""),
              MString("polyCreateFacet -p 0 0 -3 -p 1.5 0 -3 -p 1.5 2.25 -3 -p 0 2.25 -3 ; ; select -d;"));
    settings().mirror = true;
    quadDrawContext context;
    const MPointArray mirrored = mirrorQuadPoints(context, quad);
    ASSERT_EQ(mirrored.length(), 4u);
    EXPECT_EQ(mirrored[0], MPoint(0, 2.25, -3));  // reversed, x negated
    EXPECT_EQ(mirrored[1], MPoint(-1.5, 2.25, -3));
    EXPECT_EQ(firstQuadCommand(quad, mirrored, ""),
              MString("polyCreateFacet -p 0 0 -3 -p 1.5 0 -3 -p 1.5 2.25 -3 -p 0 2.25 -3 ; "
                      "polyAppendVertex -p 0 2.25 -3 -p -1.5 2.25 -3 -p -1.5 0 -3 -p 0 0 -3 ; "
                      "polyMergeVertex -d 0.01 ; select -d;"));
}

TEST_F(QuadDrawTest, MirroringInObjectSpaceUsesTheTargetsPlane) {
    mel("polyCreateFacet -p 0 0 0 -p 1 0 0 -p 1 1 0 -n built; move -a 5 0 0 built");
    quadDrawContext context;
    MSelectionList list;
    list.add("built");
    list.getDagPath(0, context.targetMesh);
    context.targetMesh.extendToShape();
    settings().mirror = true;
    settings().mirrorAxis = 0;
    const MPointArray quad = square(6, 0, 7, 1);
    settings().mirrorWorldSpace = 0;
    MPointArray mirrored = mirrorQuadPoints(context, quad);
    ASSERT_EQ(mirrored.length(), 4u);
    EXPECT_TRUE(mirrored[0].isEquivalent(MPoint(4, 1, 0)));
    EXPECT_TRUE(mirrored[2].isEquivalent(MPoint(3, 0, 0)));
    settings().mirrorWorldSpace = 1;
    mirrored = mirrorQuadPoints(context, quad);
    EXPECT_TRUE(mirrored[0].isEquivalent(MPoint(-6, 1, 0)));
    settings().mirrorAxis = 1;
    EXPECT_TRUE(mirrorQuadPoints(context, quad)[0].isEquivalent(MPoint(6, -1, 0)));
    settings().mirror = false;
    EXPECT_EQ(mirrorQuadPoints(context, quad).length(), 0u);
}

TEST_F(QuadDrawTest, MirroredBorderCornersResolveToTheVertexAcrossTheChosenPlane) {
    // Two faces symmetric about world x = 0, on a transform moved 5 along x: the object's own plane lies
    // at world x = 5.
    mel("polyCreateFacet -p -7 0 0 -p -6 0 0 -p -6 1 0 -p -7 1 0 -n built;"
        "polyAppendVertex -p -4 0 0 -p -3 0 0 -p -3 1 0 -p -4 1 0 built; move -a 5 0 0 built");
    quadDrawContext context;
    MSelectionList list;
    list.add("built");
    MDagPath mesh;
    list.getDagPath(0, mesh);
    mesh.extendToShape();
    context.readTarget(mesh);
    settings().mirror = true;
    settings().mirrorAxis = 0;
    // A quad below face B sharing its bottom edge (world (2, 0) and (1, 0)).
    for (const MPoint& p : {MPoint(1, -1, 0), MPoint(2, -1, 0), MPoint(2, 0, 0), MPoint(1, 0, 0)})
        context.quadPoints.append(p);
    matchQuadToBorder(context);
    ASSERT_EQ(context.cornerVertexIds[2], 6);  // vertex 5 at world (2, 0)
    ASSERT_EQ(context.cornerVertexIds[3], 5);  // vertex 4 at world (1, 0)

    // Mirrored across world x = 0: vertices 1 and 0 of face A, new points in object space.
    settings().mirrorWorldSpace = 1;
    context.mirroredQuadPoints = mirrorQuadPoints(context, context.quadPoints);
    EXPECT_EQ(appendQuadCommand(context),
              MString("polyAppendVertex -p -4 -1 0 -p -3 -1 0 -v 5 -v 4 |built|builtShape; "
                      "polyAppendVertex -v 1 -v 0 -p -7 -1 0 -p -6 -1 0 |built|builtShape; "));
    appendQuad(context);
    EXPECT_EQ(MFnMesh(mesh).numPolygons(), 4);
    EXPECT_EQ(MFnMesh(mesh).numVertices(), 12);
}

TEST_F(QuadDrawTest, ShiftReleaseBuildsAQuadFromTheFourNearestPointsAndHilitesIt) {
    slideOnSphere();
    startTool();
    clickSquare(0, 0, 2, 2);
    click(6, 6);  // too far to take part
    const MPointArray dropped = loosePoints();
    shiftClick(1, 1);

    const MDagPath mesh = target();
    ASSERT_TRUE(mesh.isValid());
    MFnMesh fn(mesh);
    EXPECT_EQ(fn.numPolygons(), 1);
    EXPECT_EQ(fn.numVertices(), 4);
    for (unsigned i = 0; i < 4; ++i) EXPECT_TRUE(hasVertexNear(mesh, dropped[i], 1e-5)) << i;
    // The face looks at the camera.
    MVector normal;
    fn.getPolygonNormal(0, normal, MSpace::kWorld);
    EXPECT_GT(normal.z, 0.9);
    // Used points leave the locator; the far one stays.
    ASSERT_EQ(loosePoints().length(), 1u);
    EXPECT_EQ(loosePoints()[0], dropped[4]);
    // The new transform is announced by name.
    MDagPath transform = mesh;
    transform.pop();
    const auto info = lines(kxh::OutputKind::Info);
    EXPECT_NE(std::find(info.begin(), info.end(), " " + std::string(transform.partialPathName().asChar())),
              info.end());
}

TEST_F(QuadDrawTest, NextQuadsAppendAndReuseBorderVerticesExactly) {
    slideOnSphere();
    startTool();
    clickSquare(0, 0, 2, 2);
    shiftClick(1, 1);
    click(4, 0);
    click(4, 2);
    shiftClick(3, 1);
    click(4, 4);
    click(2, 4);
    shiftClick(3, 3);  // three border corners... two of them shared with earlier faces
    const MDagPath mesh = target();
    MFnMesh fn(mesh);
    EXPECT_EQ(fn.numPolygons(), 3);
    EXPECT_EQ(fn.numVertices(), 4 + 2 + 2);
    EXPECT_TRUE(faultsOf(mesh).empty());
    EXPECT_EQ(loosePoints().length(), 0u);
    // One more quad needing a single new point: three corners come from the border.
    click(0, 4);
    shiftClick(1, 3);
    EXPECT_EQ(fn.numPolygons(), 4);
    EXPECT_EQ(fn.numVertices(), 9);
    for (const MPoint& v : vertices(mesh)) EXPECT_NEAR(MVector(v).length(), 10.0, 0.15);
}

TEST_F(QuadDrawTest, AppendCommandUsesVertexIdsOnlyForCornersExactlyOnTheBorder) {
    mel("polyCreateFacet -p 0 0 0 -p 1 0 0 -p 1 1 0 -p 0 1 0 -n built");
    quadDrawContext context;
    MSelectionList list;
    list.add("built");
    MDagPath mesh;
    list.getDagPath(0, mesh);
    mesh.extendToShape();
    context.readTarget(mesh);
    ASSERT_EQ(context.borderVertexIds.length(), 4u);
    // Corners 0 and 3 of the new quad lie on vertices 1 and 2; a corner a hair off vertex 2 is a new point.
    context.quadPoints = square(1, 0, 2, 1);
    context.quadPoints[3] = MPoint(1 + 1e-9, 1, 0);
    matchQuadToBorder(context);
    EXPECT_EQ(context.cornerVertexIds[0], 2);
    EXPECT_EQ(context.cornerVertexIds[3], 0);
    context.quadPoints = square(1, 0, 2, 1);
    matchQuadToBorder(context);
    EXPECT_EQ(appendQuadCommand(context),
              MString("polyAppendVertex -v 1 -p 2 0 0 -p 2 1 0 -v 2 ") + mesh.fullPathName() + "; ");
    appendQuad(context);
    EXPECT_EQ(MFnMesh(mesh).numPolygons(), 2);
    EXPECT_EQ(MFnMesh(mesh).numVertices(), 6);
}

TEST_F(QuadDrawTest, WithMirrorTheFirstFaceIsWeldedToItsMirrorAndLaterFacesAreMirroredToo) {
    slideOnSphere();
    settings().mirror = true;
    settings().mirrorAxis = 0;
    settings().mirrorWorldSpace = 1;
    startTool();
    clickSquare(0, 0, 2, 2);
    shiftClick(1, 1);
    const MDagPath mesh = target();
    ASSERT_TRUE(mesh.isValid());
    MFnMesh fn(mesh);
    EXPECT_EQ(fn.numPolygons(), 2);
    EXPECT_EQ(fn.numVertices(), 6);  // the two corners on the plane are shared
    EXPECT_TRUE(faultsOf(mesh).empty());
    // The next quad on the right is mirrored onto the left, joined to the mirrored face's border.
    click(4, 0);
    click(4, 2);
    shiftClick(3, 1);
    EXPECT_EQ(fn.numPolygons(), 4);
    EXPECT_EQ(fn.numVertices(), 10);
    EXPECT_TRUE(faultsOf(mesh).empty());
    for (const MPoint& v : vertices(mesh)) EXPECT_TRUE(hasVertexNear(mesh, MPoint(-v.x, v.y, v.z), 1e-4));
}

TEST_F(QuadDrawTest, UndoAndRedoRestoreFacesAndLoosePointsInStep) {
    slideOnSphere();
    startTool();
    kxh::mel::UndoQueue& queue = kxh::session().interpreter().undoQueue();
    const size_t sceneSteps = queue.size();  // making the reference and placing the camera
    clickSquare(0, 0, 2, 2);
    const MPointArray dropped = loosePoints();
    shiftClick(1, 1);
    ASSERT_TRUE(target().isValid());
    ASSERT_EQ(loosePoints().length(), 0u);
    click(4, 0);
    click(4, 2);
    shiftClick(3, 1);
    EXPECT_EQ(MFnMesh(target()).numPolygons(), 2);

    // The last step is the loose points: undoing it brings back the two used as corners, face still there.
    mel("undo");
    EXPECT_EQ(loosePoints().length(), 2u);
    EXPECT_EQ(MFnMesh(target()).numPolygons(), 2);
    // Then the face goes, the points stay.
    while (MFnMesh(target()).numPolygons() == 2 && queue.size() > sceneSteps) mel("undo");
    EXPECT_EQ(MFnMesh(target()).numPolygons(), 1);
    EXPECT_EQ(loosePoints().length(), 2u);
    // Back to the four dropped points before the first face, then to nothing.
    while (loosePoints().length() != 4 && queue.size() > sceneSteps) mel("undo");
    EXPECT_EQ(list(loosePoints()), list(dropped));
    while (queue.size() > sceneSteps) mel("undo");
    EXPECT_EQ(loosePoints().length(), 0u);
    EXPECT_EQ(mel("ls -type mesh").asStringArray(), std::vector<std::string>{"referenceShape"});

    // Redo all of it: the same two faces, no loose points.
    while (queue.redoSize() > 0) mel("redo");
    EXPECT_EQ(loosePoints().length(), 0u);
    const std::vector<std::string> meshes = mel("ls -type mesh").asStringArray();
    ASSERT_EQ(meshes.size(), 2u);
    MSelectionList list;
    list.add(meshes[1].c_str());
    MDagPath built;
    list.getDagPath(0, built);
    EXPECT_EQ(MFnMesh(built).numPolygons(), 2);
    EXPECT_EQ(MFnMesh(built).numVertices(), 6);
}

TEST_F(QuadDrawTest, UndoingPointsOfADeletedLocatorDoesNothing) {
    startTool();
    click(0, 0);
    mel("setToolTo selectSuperContext; delete kxModelingToolsDrawQuadLocator");
    mel("undo");  // the delete
    mel("undo");  // the click's tool command: its locator object is gone, nothing to restore
    mel("redo; redo");
    EXPECT_TRUE(lines(kxh::OutputKind::Error).empty());
    EXPECT_TRUE(lines(kxh::OutputKind::Perror).empty());
}

}  // namespace
