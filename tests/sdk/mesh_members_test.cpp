// Mesh members plug-ins call that the host's own plug-in does not: colour sets by id with their
// representation and clamping, points at UV positions and UVs at points, and unit attribute kinds.
#include <gtest/gtest.h>
#include <maya/MColorArray.h>
#include <maya/MDagPath.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVector.h>
#include <maya/MFnMesh.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MIntArray.h>
#include <maya/MGlobal.h>
#include <maya/MItMeshEdge.h>
#include <maya/MItMeshFaceVertex.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <string>

#include "cmds/Session.h"
#include "foundation/Output.h"

namespace {

class MeshMembersTest : public ::testing::Test {
protected:
    void SetUp() override {
        kxh::output().setEcho(false);
        ASSERT_TRUE(kxh::session().execute("file -f -new").ok);
    }
    static MDagPath shape(const std::string& mel, const char* name) {
        EXPECT_TRUE(kxh::session().execute(mel).ok) << mel;
        MSelectionList list;
        list.add(name);
        MDagPath path;
        list.getDagPath(0, path);
        path.extendToShape();
        return path;
    }
};

TEST_F(MeshMembersTest, ColourSetsByIdKeepTheirRepresentationAndClamping) {
    MFnMesh mesh(shape("polyPlane -n pl -sx 1 -sy 1", "pl"));
    MString name("tint");
    ASSERT_TRUE(mesh.createColorSet(name, true, MFnMesh::kRGB));
    ASSERT_TRUE(mesh.setCurrentColorSetName(name));
    EXPECT_EQ(mesh.getColorRepresentation(name), MFnMesh::kRGB);
    EXPECT_TRUE(mesh.isColorClamped(name));

    // Values: clamped into 0..1, alpha left at 1 by an RGB set.
    MColorArray colors;
    colors.append(MColor(2.0f, 0.5f, -1.0f, 0.25f));
    colors.append(MColor(0.1f, 0.2f, 0.3f));
    ASSERT_TRUE(mesh.setColors(colors, &name));
    MColorArray stored;
    mesh.getColors(stored, &name);
    ASSERT_EQ(stored.length(), 2u);
    EXPECT_EQ(stored[0], MColor(1.0f, 0.5f, 0.0f, 1.0f));

    // Assignment by id, one per face-vertex; -1 leaves a corner without colour.
    MIntArray ids;
    for (int id : {0, 1, -1, 1}) ids.append(id);
    ASSERT_TRUE(mesh.assignColors(ids, &name));
    int index = 7;
    EXPECT_TRUE(mesh.getColorIndex(0, 1, index, &name));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(mesh.getColorIndex(0, 2, index, &name));
    EXPECT_EQ(index, -1);
    ASSERT_TRUE(mesh.assignColor(0, 2, 0, &name));
    EXPECT_TRUE(mesh.getColorIndex(0, 2, index, &name));
    EXPECT_EQ(index, 0);
    ASSERT_TRUE(mesh.setColor(2, MColor(0.5f, 0.5f, 0.5f), &name));  // the id past the end appends
    EXPECT_EQ(mesh.numColors(name), 3);

    // Errors the caller can make are refused, leaving the set as it was.
    MIntArray tooFew;
    tooFew.append(0);
    EXPECT_FALSE(mesh.assignColors(tooFew, &name));
    MIntArray unknownId;
    for (int id : {0, 1, 9, 1}) unknownId.append(id);
    EXPECT_FALSE(mesh.assignColors(unknownId, &name));
    MColorArray one;
    one.append(MColor(0, 0, 0));
    EXPECT_FALSE(mesh.setColors(one, &name));  // would cut off ids the corners use
    EXPECT_FALSE(mesh.getColorIndex(3, 0, index, &name));
    MString missing("nope");
    EXPECT_FALSE(mesh.setColor(0, MColor(0, 0, 0), &missing));
    EXPECT_EQ(mesh.numColors(name), 3);
}

TEST_F(MeshMembersTest, PointsAtUVsAndUVsAtPointsAgree) {
    MDagPath path = shape("polyPlane -n pl -sx 1 -sy 1 -w 2 -h 2; move 0 5 0 pl", "pl");
    MFnMesh mesh(path);
    float2 uv = {0.5f, 0.5f};
    MPoint p;
    ASSERT_TRUE(mesh.getPointAtUV(0, p, uv));
    EXPECT_TRUE(p.isEquivalent(MPoint(0, 0, 0), 1e-6));
    ASSERT_TRUE(mesh.getPointAtUV(0, p, uv, MSpace::kWorld));
    EXPECT_TRUE(p.isEquivalent(MPoint(0, 5, 0), 1e-6));

    // A world point above the plane: its UV, and the point at that UV, lie under it.
    MPoint above(0.3, 9, -0.4);
    float2 at = {0, 0};
    int face = -1;
    ASSERT_TRUE(mesh.getUVAtPoint(above, at, MSpace::kWorld, NULL, &face));
    EXPECT_EQ(face, 0);
    ASSERT_TRUE(mesh.getPointAtUV(0, p, at, MSpace::kWorld));
    EXPECT_TRUE(p.isEquivalent(MPoint(0.3, 5, -0.4), 1e-5));

    // Outside the face's UVs: refused, unless within the tolerance (then the nearest point of the face).
    float2 off = {1.25f, 0.5f};
    EXPECT_FALSE(mesh.getPointAtUV(0, p, off));
    EXPECT_TRUE(mesh.getPointAtUV(0, p, off, MSpace::kObject, NULL, 0.3f));
    EXPECT_NEAR(std::fabs(p.x) + std::fabs(p.z), 1.0, 1e-5);

    // The iterator answers for its current face.
    MItMeshPolygon it(path);
    float2 back = {0, 0};
    MPoint onFace(0.3, 0, -0.4);
    ASSERT_TRUE(it.getUVAtPoint(onFace, back));
    EXPECT_NEAR(back[0], at[0], 1e-5);
    EXPECT_NEAR(back[1], at[1], 1e-5);
    ASSERT_TRUE(it.getPointAtUV(p, back));
    EXPECT_TRUE(p.isEquivalent(onFace, 1e-5));
    EXPECT_FALSE(mesh.getPointAtUV(4, p, uv));
}

TEST_F(MeshMembersTest, FaceVertexIteratorWalksCornersFaceByFace) {
    MDagPath path = shape("polyCube -n box", "box");
    MFnMesh mesh(path);
    int corners = 0, lastFace = -1;
    for (MItMeshFaceVertex it(path); !it.isDone(); it.next(), ++corners) {
        EXPECT_GE(it.faceId(), lastFace);  // face by face
        lastFace = it.faceId();
        MIntArray verts;
        mesh.getPolygonVertices(it.faceId(), verts);
        EXPECT_EQ(it.vertId(), verts[unsigned(it.faceVertId())]);
        float2 uv, expected;
        ASSERT_TRUE(it.hasUVs() && it.getUV(uv));
        mesh.getPolygonUV(it.faceId(), it.faceVertId(), expected[0], expected[1]);
        EXPECT_EQ(uv[0], expected[0]);
        EXPECT_FALSE(it.hasColor());  // no colour set yet
    }
    EXPECT_EQ(corners, 24);

    // Restricted to the selected faces' corners.
    ASSERT_TRUE(kxh::session().execute("select -r box.f[1] box.f[3]").ok);
    MSelectionList selected;
    MGlobal::getActiveSelectionList(selected);
    MDagPath selPath;
    MObject faces;
    selected.getDagPath(0, selPath, faces);
    corners = 0;
    for (MItMeshFaceVertex it(selPath, faces); !it.isDone(); it.next(), ++corners)
        EXPECT_TRUE(it.faceId() == 1 || it.faceId() == 3);
    EXPECT_EQ(corners, 8);
}

// The highest y of the vertices of face f.
double topOf(MFnMesh& mesh, int f) {
    MIntArray verts;
    mesh.getPolygonVertices(f, verts);
    double y = -1e30;
    for (unsigned i = 0; i < verts.length(); ++i) {
        MPoint p;
        mesh.getPoint(verts[i], p);
        y = std::max(y, p.y);
    }
    return y;
}

TEST_F(MeshMembersTest, ModelingMembersEditTheMeshInPlace) {
    MFnMesh mesh(shape("polyCube -n box", "box"));
    MIntArray top;
    top.append(1);
    MFloatVector up(0, 1, 0);
    ASSERT_TRUE(mesh.extrudeFaces(top, 2, &up));
    EXPECT_EQ(mesh.numPolygons(), 6 + 2 * 4);
    EXPECT_EQ(mesh.numVertices(), 8 + 2 * 4);
    EXPECT_DOUBLE_EQ(topOf(mesh, 1), 2.5);

    // Bad ids are refused and change nothing.
    MIntArray bad;
    bad.append(99);
    EXPECT_FALSE(mesh.extrudeFaces(bad));
    EXPECT_FALSE(mesh.extractFaces(bad));
    EXPECT_FALSE(mesh.subdivideEdges(bad, 1));
    EXPECT_EQ(mesh.numPolygons(), 14);

    MIntArray edge;
    edge.append(0);
    ASSERT_TRUE(mesh.subdivideEdges(edge, 2));
    EXPECT_EQ(mesh.numVertices(), 16 + 2);
    EXPECT_EQ(mesh.numPolygons(), 14);

    // Extracting the top face gives it its own four vertices; it moves, its old neighbours stay.
    ASSERT_TRUE(mesh.extractFaces(top, &up));
    EXPECT_EQ(mesh.numVertices(), 18 + 4);
    EXPECT_DOUBLE_EQ(topOf(mesh, 1), 3.5);
    EXPECT_DOUBLE_EQ(topOf(mesh, mesh.numPolygons() - 1), 2.5);

    // createInPlace replaces the geometry under the same node.
    EXPECT_FALSE(mesh.subdivideFaces(top, 0));
    MFloatPointArray points;
    points.append(0, 0, 0);
    points.append(1, 0, 0);
    points.append(0, 0, 1);
    MIntArray counts, connects;
    counts.append(3);
    for (int v : {0, 2, 1}) connects.append(v);
    MIntArray badConnects;
    for (int v : {0, 2, 5}) badConnects.append(v);
    EXPECT_FALSE(mesh.createInPlace(3, 1, points, counts, badConnects));
    EXPECT_EQ(mesh.numPolygons(), 14);
    ASSERT_TRUE(mesh.createInPlace(3, 1, points, counts, connects));
    EXPECT_EQ(mesh.numVertices(), 3);
    EXPECT_EQ(mesh.numPolygons(), 1);
    EXPECT_EQ(mesh.name(), MString("boxShape"));
}

TEST_F(MeshMembersTest, SubdividedFacesBecomeQuadsAroundTheirCentres) {
    MFnMesh cube(shape("polyCube -n box", "box"));
    MIntArray top;
    top.append(1);
    float2 uvs[4];
    for (int k = 0; k < 4; ++k) cube.getPolygonUV(1, k, uvs[k][0], uvs[k][1]);
    ASSERT_TRUE(cube.subdivideFaces(top, 1));
    EXPECT_EQ(cube.numPolygons(), 5 + 4);
    EXPECT_EQ(cube.numVertices(), 8 + 4 + 1);
    // Still closed: V - E + F = 2.
    EXPECT_EQ(cube.numVertices() - cube.numEdges() + cube.numPolygons(), 2);
    // The neighbours of the top face take the midpoints of the sides they share.
    int fivers = 0;
    for (int f = 0; f < cube.numPolygons(); ++f) fivers += cube.polygonVertexCount(f) == 5;
    EXPECT_EQ(fivers, 4);
    // Each new quad's third corner is the centre, with the old corners' average UV.
    MPoint centre;
    MIntArray quad;
    cube.getPolygonVertices(5, quad);
    cube.getPoint(quad[2], centre);
    EXPECT_TRUE(centre.isEquivalent(MPoint(0, 0.5, 0), 1e-12));
    float u = 0, v = 0;
    ASSERT_TRUE(cube.getPolygonUV(5, 2, u, v));
    EXPECT_NEAR(u, (uvs[0][0] + uvs[1][0] + uvs[2][0] + uvs[3][0]) / 4, 1e-6);
    EXPECT_NEAR(v, (uvs[0][1] + uvs[1][1] + uvs[2][1] + uvs[3][1]) / 4, 1e-6);

    // Two levels on a one-face plane give a 4 x 4 grid.
    MFnMesh plane(shape("polyPlane -n pl -sx 1 -sy 1", "pl"));
    MIntArray only;
    only.append(0);
    ASSERT_TRUE(plane.subdivideFaces(only, 2));
    EXPECT_EQ(plane.numPolygons(), 16);
    EXPECT_EQ(plane.numVertices(), 25);
}

TEST_F(MeshMembersTest, SplitCutsFacesBetweenPointsOnTheirEdges) {
    MDagPath path = shape("polyCube -n box", "box");
    MFnMesh mesh(path);
    auto sidesOf = [&](int face) {
        MItMeshPolygon it(path);
        int previous = 0;
        it.setIndex(face, previous);
        MIntArray edges;
        it.getEdges(edges);
        return edges;
    };
    const MIntArray top = sidesOf(1);
    MIntArray placements, edges;
    MFloatArray factors;
    MFloatPointArray none;
    // Across the top face, between the middles of two opposite sides.
    for (int k : {0, 2}) {
        placements.append(MFnMesh::kOnEdge);
        edges.append(top[unsigned(k)]);
        factors.append(0.5f);
    }
    ASSERT_TRUE(mesh.split(placements, edges, factors, none));
    EXPECT_EQ(mesh.numPolygons(), 7);
    EXPECT_EQ(mesh.numVertices(), 10);
    EXPECT_EQ(mesh.numVertices() - mesh.numEdges() + mesh.numPolygons(), 2);

    // Points with no face in common, and points inside faces, are refused with the mesh unchanged.
    // Two edges of the cut mesh with no face in common.
    auto facesOf = [&](int edge) {
        MItMeshEdge it(path);
        int previous = 0;
        it.setIndex(edge, previous);
        MIntArray faces;
        it.getConnectedFaces(faces);
        return faces;
    };
    MIntArray apart;
    for (int e1 = 0; e1 < mesh.numEdges() && apart.length() == 0; ++e1)
        for (int e2 = e1 + 1; e2 < mesh.numEdges() && apart.length() == 0; ++e2) {
            const MIntArray f1 = facesOf(e1), f2 = facesOf(e2);
            bool shared = false;
            for (unsigned i = 0; i < f1.length(); ++i)
                for (unsigned j = 0; j < f2.length(); ++j) shared = shared || f1[i] == f2[j];
            if (!shared) {
                apart.append(e1);
                apart.append(e2);
            }
        }
    ASSERT_EQ(apart.length(), 2u);
    EXPECT_FALSE(mesh.split(placements, apart, factors, none));
    MIntArray inside;
    inside.append(MFnMesh::kOnEdge);
    inside.append(MFnMesh::kInternalPoint);
    MFloatPointArray centre;
    centre.append(0, 0.5f, 0);
    EXPECT_FALSE(mesh.split(inside, edges, factors, centre));
    EXPECT_EQ(mesh.numPolygons(), 7);
}

TEST_F(MeshMembersTest, ExtrudedBorderEdgesGrowWallsOfQuads) {
    MFnMesh plane(shape("polyPlane -n pl -sx 1 -sy 1", "pl"));
    MFloatVector up(0, 1, 0);
    MIntArray all;
    for (int e = 0; e < 4; ++e) all.append(e);
    ASSERT_TRUE(plane.extrudeEdges(all, 2, &up));
    // Together: one ring of new vertices per extrusion, a wall of 4 quads per ring; still one disc.
    EXPECT_EQ(plane.numVertices(), 4 + 2 * 4);
    EXPECT_EQ(plane.numPolygons(), 1 + 2 * 4);
    EXPECT_EQ(plane.numVertices() - plane.numEdges() + plane.numPolygons(), 1);
    MPoint highest;
    plane.getPoint(plane.numVertices() - 1, highest);
    EXPECT_DOUBLE_EQ(highest.y, 2.0);

    // Apart, each edge gets its own new vertices; an edge between two faces is refused.
    MFnMesh other(shape("polyPlane -n pl2 -sx 1 -sy 1", "pl2"));
    MIntArray two;
    two.append(0);
    two.append(1);
    ASSERT_TRUE(other.extrudeEdges(two, 1, &up, false));
    EXPECT_EQ(other.numVertices(), 4 + 4);
    MFnMesh cube(shape("polyCube -n box", "box"));
    MIntArray inner;
    inner.append(0);
    EXPECT_FALSE(cube.extrudeEdges(inner));
    EXPECT_EQ(cube.numPolygons(), 6);
}

TEST_F(MeshMembersTest, UnitAttributesReportTheirKind) {
    MFnUnitAttribute fn;
    MObject distance = fn.create("reach", "rc", MDistance(2.0, MDistance::kMeters));
    EXPECT_EQ(fn.unitType(), MFnUnitAttribute::kDistance);
    EXPECT_TRUE(distance.hasFn(MFn::kUnitAttribute));
    EXPECT_TRUE(distance.hasFn(MFn::kDoubleLinearAttribute));
    MDistance def;
    ASSERT_TRUE(fn.getDefault(def));
    EXPECT_DOUBLE_EQ(def.asCentimeters(), 200.0);
    fn.setMax(MDistance(3.0, MDistance::kMeters));
    MDistance max;
    ASSERT_TRUE(fn.hasMax() && fn.getMax(max));
    EXPECT_DOUBLE_EQ(max.asMeters(), 3.0);

    MObject time = fn.create("when", "wh", MTime(48.0, MTime::kFilm));
    EXPECT_EQ(fn.unitType(), MFnUnitAttribute::kTime);
    EXPECT_TRUE(time.hasFn(MFn::kTimeAttribute));
    MTime t;
    fn.getDefault(t);
    EXPECT_DOUBLE_EQ(t.as(MTime::kSeconds), 2.0);
    EXPECT_EQ(MTime(2.0, MTime::kSeconds), MTime(48.0, MTime::kFilm));

    EXPECT_TRUE(fn.create("bad", "bd", MFnUnitAttribute::kInvalid).isNull());
    MStatus st;
    MFnUnitAttribute none(MObject(), &st);
    EXPECT_FALSE(st);
}

}  // namespace
