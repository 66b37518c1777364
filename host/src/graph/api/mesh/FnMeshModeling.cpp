// MFnMesh's modeling members over the kernel operations the polygon commands use: extrudeFaces (the
// polyExtrudeFacet operation), subdivideEdges (polySubdivideEdge's) and extractFaces.
#include <maya/MFloatVector.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>

#include <algorithm>
#include <set>

#include "graph/api/mesh/MeshAccess.h"
#include "mesh/ops/ComponentOps.h"
#include "mesh/ops/ExtrudeFaces.h"

using namespace kxh;

namespace {

// The ids when every one names a face of the mesh; empty otherwise (an id out of range is the caller's
// error, not something to skip).
bool validIds(const MIntArray& ids, int count, std::vector<int>& out) {
    out.clear();
    for (int id : ids) {
        if (id < 0 || id >= count) return false;
        out.push_back(id);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return !out.empty();
}

void moveFaces(Mesh& m, const std::vector<int>& faces, const V3& by) {
    std::set<int> vertices;
    for (int f : faces)
        for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c)
            vertices.insert(m.faceVerts[size_t(c)]);
    for (int v : vertices) m.points[size_t(v)] = m.points[size_t(v)] + by;
}

V3 offsetOf(const MFloatVector* translation) {
    return translation ? V3{translation->x, translation->y, translation->z} : V3{0, 0, 0};
}

}  // namespace

MStatus MFnMesh::extrudeFaces(MIntArray& faceList, int extrusionCount, MFloatVector* translation,
                              bool extrudeTogether) {
    if (object_.isNull()) return MS::kFailure;
    if (extrusionCount < 1) return MS::kInvalidParameter;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        std::vector<int> faces;
        if (!validIds(faceList, m.numFaces(), faces)) return MS::kInvalidParameter;
        ops::ExtrudeOptions options;
        options.keepFacesTogether = extrudeTogether;
        const V3 by = offsetOf(translation);
        for (int i = 0; i < extrusionCount; ++i) {
            ops::ExtrudeResult r = ops::extrudeFaces(m, faces, options);
            if (r.faces.empty()) return MS::kFailure;
            faces = r.faces;
            moveFaces(m, faces, by);
            m.pointsChanged();  // the next extrusion's normals come from the moved points
        }
        return MS::kSuccess;
    });
}

MStatus MFnMesh::subdivideEdges(const MIntArray& edgeList, int numDivisions) {
    if (object_.isNull()) return MS::kFailure;
    if (numDivisions < 1) return MS::kInvalidParameter;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        std::vector<int> edges;
        if (!validIds(edgeList, m.numEdges(), edges)) return MS::kInvalidParameter;
        // The operation takes the edges in the order given (its new vertices follow that order).
        std::vector<int> ordered(edgeList.vec().begin(), edgeList.vec().end());
        return ops::subdivideEdges(m, ordered, numDivisions).changed() ? MStatus(MS::kSuccess)
                                                                       : MStatus(MS::kFailure);
    });
}

// Each vertex the faces share with faces outside the list gets a copy (after all other vertices, in
// order of first use) that the listed faces' corners take instead; then the faces move by the
// translation. UVs and colours stay on the corners.
MStatus MFnMesh::extractFaces(const MIntArray& faceList, MFloatVector* translation) {
    if (object_.isNull()) return MS::kFailure;
    MeshAccess a(object_, path_);
    return a.edit([&](Mesh& m) -> MStatus {
        std::vector<int> faces;
        if (!validIds(faceList, m.numFaces(), faces)) return MS::kInvalidParameter;
        std::vector<char> listed(size_t(m.numFaces()), 0);
        for (int f : faces) listed[size_t(f)] = 1;
        std::vector<char> usedOutside(size_t(m.numVertices()), 0);
        for (int f = 0; f < m.numFaces(); ++f)
            if (!listed[size_t(f)])
                for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c)
                    usedOutside[size_t(m.faceVerts[size_t(c)])] = 1;
        std::vector<int> copyOf(size_t(m.numVertices()), -1);
        for (int f : faces)
            for (int c = m.faceOffsets[size_t(f)]; c < m.faceOffsets[size_t(f) + 1]; ++c) {
                const int v = m.faceVerts[size_t(c)];
                if (!usedOutside[size_t(v)]) continue;
                if (copyOf[size_t(v)] < 0) {
                    copyOf[size_t(v)] = m.numVertices();
                    m.points.push_back(m.points[size_t(v)]);
                }
                m.faceVerts[size_t(c)] = copyOf[size_t(v)];
            }
        moveFaces(m, faces, offsetOf(translation));
        m.topologyChanged();
        return MS::kSuccess;
    });
}
