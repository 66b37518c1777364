#include "geometry/componentWalkers.h"

#include <maya/MFn.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MItMeshEdge.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MItMeshVertex.h>

#include <vector>

namespace {

typedef std::vector<unsigned char> Flags;

// One component of the given kind holding the ids, added with the path to a new list.
MSelectionList componentList(const MDagPath& path, MFn::Type kind, MIntArray& ids) {
    MFnSingleIndexedComponent fn;
    MObject component = fn.create(kind);
    fn.addElements(ids);
    MSelectionList list;
    list.add(path, component);
    return list;
}

// Appends `id` to `ids` the first time it comes, marking it in `added`.
void appendOnce(Flags& added, MIntArray& ids, int id) {
    if (added[size_t(id)]) return;
    added[size_t(id)] = 1;
    ids.append(id);
}

// Walks the components of `component` with an iterator of type It and gathers the ids `neighbours`
// reports for each of them, in order, repeats kept.
template <class It, class Neighbours>
MIntArray gatherIds(const MDagPath& mesh, MObject& component, Neighbours neighbours) {
    MIntArray ids;
    MStatus st;
    It it(mesh, component, &st);
    if (!st) return ids;
    MIntArray found;
    for (; !it.isDone(); it.next()) {
        neighbours(it, found);
        for (unsigned i = 0; i < found.length(); ++i) ids.append(found[i]);
    }
    return ids;
}

// Attaches `mesh` to the hit's mesh; false when it cannot, or when the hit names no edge of that mesh.
bool attachToHitEdge(const rayIntersectionData& edgeHit, MFnMesh& mesh) {
    return mesh.setObject(edgeHit.meshPath) && edgeHit.componentId >= 0 &&
           edgeHit.componentId < mesh.numEdges();
}

int indexIn(const MIntArray& ids, int id) {
    for (unsigned i = 0; i < ids.length(); ++i)
        if (ids[i] == id) return int(i);
    return -1;
}

// Follows the loop from `edge` through `vertex`, collecting edges, until `target` is collected. Returns an
// empty array when a vertex without exactly 4 edges, or an edge already walked, comes first.
MIntArray walkLoopTowards(const MDagPath& path, const MFnMesh& mesh, int edge, int vertex, int target) {
    MIntArray walked;
    Flags seen(size_t(mesh.numEdges()), 0);
    seen[size_t(edge)] = 1;
    MItMeshVertex vertexIt(path);
    MIntArray edges;
    int prev;
    while (true) {
        vertexIt.setIndex(vertex, prev);
        vertexIt.getConnectedEdges(edges);
        int at = indexIn(edges, edge);
        if (edges.length() != 4 || at < 0) return MIntArray();
        int next = edges[unsigned(at + 2) % 4];
        if (seen[size_t(next)]) return MIntArray();
        seen[size_t(next)] = 1;
        walked.append(next);
        if (next == target) return walked;
        int2 ends;
        mesh.getEdgeVertices(next, ends);
        vertex = ends[0] == vertex ? ends[1] : ends[0];
        edge = next;
    }
}

// Follows the ring from `edge` across `face`, collecting edges, until `target` is collected. Each step
// crosses a 4-sided face to the edge opposite the one it came by; it fails (empty array) at a face of
// another size, at an edge without exactly two faces, or at an edge already walked.
MIntArray walkRingTowards(const MFnMesh& mesh, MItMeshEdge& edgeIt, MItMeshPolygon& faceIt, int edge,
                          int face, int target) {
    MIntArray walked;
    Flags seen(size_t(mesh.numEdges()), 0);
    seen[size_t(edge)] = 1;
    MIntArray faceEdges, faces;
    int prev;
    while (true) {
        faceIt.setIndex(face, prev);
        faceIt.getEdges(faceEdges);
        const int at = indexIn(faceEdges, edge);
        if (faceEdges.length() != 4 || at < 0) return MIntArray();
        const int next = faceEdges[unsigned(at + 2) % 4];
        if (seen[size_t(next)]) return MIntArray();
        seen[size_t(next)] = 1;
        walked.append(next);
        if (next == target) return walked;
        edgeIt.setIndex(next, prev);
        edgeIt.getConnectedFaces(faces);
        if (faces.length() != 2) return MIntArray();
        face = faces[0] == face ? faces[1] : faces[0];
        edge = next;
    }
}

}  // namespace

MIntArray edgeIdsOfSelectionItem(const MSelectionList& list) {
    MIntArray ids;
    MDagPath path;
    MObject component;
    if (list.length() == 0 || !list.getDagPath(0, path, component)) return ids;
    MStatus st;
    MItMeshEdge it(path, component, &st);
    if (!st) return ids;
    for (; !it.isDone(); it.next()) ids.append(it.index());
    return ids;
}

MIntArray faceEdgesComponent(const MDagPath& mesh, MObject& faceComponent) {
    return gatherIds<MItMeshPolygon>(mesh, faceComponent,
                                     [](MItMeshPolygon& it, MIntArray& edges) { it.getEdges(edges); });
}

MIntArray edgeFacesComponent(const MDagPath& mesh, MObject& edgeComponent) {
    return gatherIds<MItMeshEdge>(mesh, edgeComponent,
                                  [](MItMeshEdge& it, MIntArray& faces) { it.getConnectedFaces(faces); });
}

MSelectionList edgeRingFromEdge(const rayIntersectionData& edgeHit) {
    MIntArray ring;
    MFnMesh mesh;
    if (!attachToHitEdge(edgeHit, mesh))
        return componentList(edgeHit.meshPath, MFn::kMeshEdgeComponent, ring);

    Flags visited(size_t(mesh.numEdges()), 0);
    MItMeshEdge edgeIt(edgeHit.meshPath);
    MItMeshPolygon faceIt(edgeHit.meshPath);
    std::vector<int> stack{edgeHit.componentId};
    MIntArray faces, faceEdges;
    int prev;
    while (!stack.empty()) {
        int edge = stack.back();
        stack.pop_back();
        if (visited[size_t(edge)]) continue;
        visited[size_t(edge)] = 1;
        ring.append(edge);
        edgeIt.setIndex(edge, prev);
        edgeIt.getConnectedFaces(faces);
        // An edge shared by 3 or more faces is not part of a ring's strip: the walk ends there.
        if (faces.length() >= 3) continue;
        for (unsigned f = 0; f < faces.length(); ++f) {
            faceIt.setIndex(faces[f], prev);
            faceIt.getEdges(faceEdges);
            if (faceEdges.length() != 4) continue;
            int at = indexIn(faceEdges, edge);
            if (at < 0) continue;
            int opposite = faceEdges[unsigned(at + 2) % 4];
            if (!visited[size_t(opposite)]) stack.push_back(opposite);
        }
    }
    return componentList(edgeHit.meshPath, MFn::kMeshEdgeComponent, ring);
}

MSelectionList edgeLoopFromEdge(const rayIntersectionData& edgeHit) {
    MIntArray loop;
    MFnMesh mesh;
    if (!attachToHitEdge(edgeHit, mesh))
        return componentList(edgeHit.meshPath, MFn::kMeshEdgeComponent, loop);

    Flags inLoop(size_t(mesh.numEdges()), 0);
    Flags visitedVertex(size_t(mesh.numVertices()), 0);
    inLoop[size_t(edgeHit.componentId)] = 1;
    loop.append(edgeHit.componentId);

    int2 ends;
    mesh.getEdgeVertices(edgeHit.componentId, ends);
    std::vector<int> stack{ends[0], ends[1]};
    MItMeshVertex vertexIt(edgeHit.meshPath);
    MIntArray edges;
    int prev;
    while (!stack.empty()) {
        int vertex = stack.back();
        stack.pop_back();
        if (visitedVertex[size_t(vertex)]) continue;
        visitedVertex[size_t(vertex)] = 1;
        vertexIt.setIndex(vertex, prev);
        vertexIt.getConnectedEdges(edges);
        // Only a regular vertex (4 edges) has an edge opposite the one the loop arrives by.
        if (edges.length() != 4) continue;
        int at = -1;
        for (unsigned i = 0; i < 4 && at < 0; ++i)
            if (inLoop[size_t(edges[i])]) at = int(i);
        if (at < 0) continue;
        int next = edges[unsigned(at + 2) % 4];
        appendOnce(inLoop, loop, next);
        mesh.getEdgeVertices(next, ends);
        stack.push_back(ends[0]);
        stack.push_back(ends[1]);
    }
    return componentList(edgeHit.meshPath, MFn::kMeshEdgeComponent, loop);
}

MSelectionList edgeLoopPathBetweenEdges(const MSelectionList& meshList, int edgeA, int edgeB) {
    MDagPath path;
    MIntArray result;
    if (meshList.length() == 0 || !meshList.getDagPath(0, path)) return MSelectionList();
    MStatus st;
    MFnMesh mesh(path, &st);
    int numEdges = st ? mesh.numEdges() : 0;
    if (edgeA != edgeB && edgeA >= 0 && edgeA < numEdges && edgeB >= 0 && edgeB < numEdges) {
        int2 ends;
        mesh.getEdgeVertices(edgeA, ends);
        MIntArray first = walkLoopTowards(path, mesh, edgeA, ends[0], edgeB);
        MIntArray second = walkLoopTowards(path, mesh, edgeA, ends[1], edgeB);
        // The walk leaving a's first vertex wins unless it failed or the other one is strictly shorter.
        bool useSecond = second.length() > 0 && (first.length() == 0 || second.length() < first.length());
        result = useSecond ? second : first;
    }
    result.append(edgeA);
    return componentList(path, MFn::kMeshEdgeComponent, result);
}

MSelectionList edgeRingPathBetweenEdges(const MSelectionList& meshList, int edgeA, int edgeB) {
    MDagPath path;
    if (meshList.length() == 0 || !meshList.getDagPath(0, path)) return MSelectionList();
    MStatus st;
    MFnMesh mesh(path, &st);
    const int numEdges = st ? mesh.numEdges() : 0;
    if (edgeA < 0 || edgeA >= numEdges) return MSelectionList();
    MItMeshEdge edgeIt(path);
    MItMeshPolygon faceIt(path);
    int prev;
    MIntArray faces;
    edgeIt.setIndex(edgeA, prev);
    if (!edgeIt.getConnectedFaces(faces)) return MSelectionList();
    MIntArray result;
    if (edgeB != edgeA && edgeB >= 0 && edgeB < numEdges) {
        MIntArray best;
        for (unsigned f = 0; f < faces.length() && f < 2; ++f) {
            MIntArray walk = walkRingTowards(mesh, edgeIt, faceIt, edgeA, faces[f], edgeB);
            if (walk.length() > 0 && (best.length() == 0 || walk.length() < best.length())) best = walk;
        }
        result = best;
    }
    result.append(edgeA);
    return componentList(path, MFn::kMeshEdgeComponent, result);
}

MSelectionList faceRegionWithinEdges(MObject& seedFaces, const MDagPath& mesh, const MSelectionList& border) {
    MIntArray region;
    MStatus st;
    MFnMesh meshFn(mesh, &st);
    if (!st) return componentList(mesh, MFn::kMeshPolygonComponent, region);
    size_t numEdges = size_t(meshFn.numEdges());
    Flags barrier(numEdges, 0), visited(numEdges, 0), inRegion(size_t(meshFn.numPolygons()), 0);

    MIntArray borderEdges = edgeIdsOfSelectionItem(border);
    for (unsigned i = 0; i < borderEdges.length(); ++i)
        if (borderEdges[i] >= 0 && size_t(borderEdges[i]) < numEdges) barrier[size_t(borderEdges[i])] = 1;

    std::vector<int> stack;
    MItMeshPolygon seedIt(mesh, seedFaces, &st);
    MIntArray edges;
    for (; st && !seedIt.isDone(); seedIt.next()) {
        appendOnce(inRegion, region, int(seedIt.index()));
        seedIt.getEdges(edges);
        for (unsigned i = 0; i < edges.length(); ++i) stack.push_back(edges[i]);
    }

    MItMeshEdge edgeIt(mesh);
    MItMeshPolygon faceIt(mesh);
    MIntArray faces;
    int prev;
    while (!stack.empty()) {
        int edge = stack.back();
        stack.pop_back();
        if (visited[size_t(edge)]) continue;
        visited[size_t(edge)] = 1;
        if (barrier[size_t(edge)]) continue;
        edgeIt.setIndex(edge, prev);
        edgeIt.getConnectedFaces(faces);
        for (unsigned f = 0; f < faces.length(); ++f) {
            int face = faces[f];
            appendOnce(inRegion, region, face);
            faceIt.setIndex(face, prev);
            faceIt.getEdges(edges);
            for (unsigned i = 0; i < edges.length(); ++i)
                if (!visited[size_t(edges[i])]) stack.push_back(edges[i]);
        }
    }
    return componentList(mesh, MFn::kMeshPolygonComponent, region);
}
