// Edge rings and loops of the modeling tool: a click on an edge adds its ring or loop, a Shift+Ctrl drag from
// an edge adds the part of its loop or ring between the picked edge and the edge under the cursor, and the
// choices those make on screen and across the mirror plane.
#include <maya/MDagPath.h>
#include <maya/MGlobal.h>
#include <maya/MItMeshEdge.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>

#include <cmath>

#include "geometry/componentWalkers.h"
#include "geometry/viewPicking.h"
#include "modeling/modelingContext.h"

namespace {

// The point reflected across `axis` in the mesh's object space (or in world space).
MPoint reflectAcross(const MPoint& world, const MDagPath& mesh, int axis, bool worldSpace) {
    MPoint p = worldSpace ? world : world * mesh.inclusiveMatrixInverse();
    if (axis == 0) p.x = -p.x;
    if (axis == 1) p.y = -p.y;
    if (axis == 2) p.z = -p.z;
    return worldSpace ? p : p * mesh.inclusiveMatrix();
}

// The path of edges (loop or ring) from `from` to the edge `to` on the mesh of `walk`'s first item.
MSelectionList pathBetween(bool loop, const MSelectionList& walk, int from, int to) {
    return loop ? edgeLoopPathBetweenEdges(walk, from, to) : edgeRingPathBetweenEdges(walk, from, to);
}

}  // namespace

rayIntersectionData mirroredPick(const rayIntersectionData& hit, int axis, bool worldSpace) {
    if (!worldSpace) return mirrorIntersection(hit, axis, false);
    // In world space the plane goes through the world origin whatever the mesh's transform.
    rayIntersectionData mirrored(hit);
    mirrored.point = reflectAcross(hit.point, hit.meshPath, axis, true);
    resolveHitComponent(mirrored);
    return mirrored;
}

int closestEdgeInView(short x, short y, M3dView& view, const MSelectionList& edges) {
    MDagPath mesh;
    MObject component;
    if (edges.length() == 0 || !edges.getDagPath(0, mesh, component)) return -1;
    MStatus st;
    MItMeshEdge it(mesh, component, &st);
    if (!st) return -1;
    int best = -1;
    float bestDistance = 0.0f;
    for (; !it.isDone(); it.next()) {
        short ex = 0, ey = 0;
        view.worldToView(it.center(MSpace::kWorld), ex, ey);
        const short dx = short(ex - x), dy = short(ey - y);
        const float distance = std::sqrt(float(int(dx) * dx + int(dy) * dy));
        if (best < 0 || distance < bestDistance) {
            best = it.index();
            bestDistance = distance;
        }
    }
    return best;
}

int closestEdgeCenterInWorld(const MSelectionList& edges, int edgeId, int axis, bool worldSpace) {
    MDagPath mesh;
    MObject component;
    if (edges.length() == 0 || !edges.getDagPath(0, mesh, component)) return -1;
    MStatus st;
    MItMeshEdge given(mesh, MObject::kNullObj, &st);
    if (!st) return -1;
    int prev = 0;
    if (!given.setIndex(edgeId, prev)) return -1;
    const MPoint middle = (given.point(0, MSpace::kWorld) + given.point(1, MSpace::kWorld)) * 0.5;
    const MPoint target = reflectAcross(middle, mesh, axis, worldSpace);
    MItMeshEdge it(mesh, component, &st);
    if (!st) return -1;
    int best = -1;
    double bestDistance = 0.0;
    for (; !it.isDone(); it.next()) {
        const double distance = it.center(MSpace::kWorld).distanceTo(target);
        if (best < 0 || distance < bestDistance) {
            best = it.index();
            bestDistance = distance;
        }
    }
    return best;
}

bool dragRunsAlongEdge(M3dView& view, const rayIntersectionData& edgeHit, short x, short y) {
    MStatus st;
    MItMeshEdge edge(edgeHit.meshPath, MObject::kNullObj, &st);
    int prev = 0;
    if (!st || !edge.setIndex(edgeHit.componentId, prev)) return false;
    short ax = 0, ay = 0, bx = 0, by = 0, hx = 0, hy = 0;
    view.worldToView(edge.point(0, MSpace::kWorld), ax, ay);
    view.worldToView(edge.point(1, MSpace::kWorld), bx, by);
    view.worldToView(edgeHit.point, hx, hy);
    MVector e(double(bx - ax), double(by - ay), 0.0);
    MVector d(double(x - hx), double(y - hy), 0.0);
    if (e.length() == 0.0 || d.length() == 0.0) return false;
    e.normalize();
    d.normalize();
    return std::fabs(e * d) > 0.5;
}

void modelingContext::selectEdgeWalkOnClick(int code) {
    const bool loop = code == 2;
    MSelectionList walk = loop ? edgeLoopFromEdge(hit) : edgeRingFromEdge(hit);
    if (mirror && mirrorHit.componentType == rayIntersectionData::kEdge)
        walk.merge(loop ? edgeLoopFromEdge(mirrorHit) : edgeRingFromEdge(mirrorHit));
    MGlobal::setActiveSelectionList(walk, code == 1 ? MGlobal::kRemoveFromList : MGlobal::kAddToList);
    view.refresh();
}

void modelingContext::selectEdgePathByDrag() {
    const bool loop = dragRunsAlongEdge(view, hit, cursorX, cursorY);
    const MSelectionList walk = loop ? edgeLoopFromEdge(hit) : edgeRingFromEdge(hit);
    const int endEdge = closestEdgeInView(cursorX, cursorY, view, walk);
    if (endEdge < 0) return;
    MSelectionList path = pathBetween(loop, walk, hit.componentId, endEdge);
    if (mirror && mirrorHit.componentType == rayIntersectionData::kEdge) {
        const MSelectionList mirrorWalk = loop ? edgeLoopFromEdge(mirrorHit) : edgeRingFromEdge(mirrorHit);
        const int mirrorEnd =
            closestEdgeCenterInWorld(mirrorWalk, endEdge, mirrorAxis, mirrorWorldSpace != 0);
        if (mirrorEnd >= 0) path.merge(pathBetween(loop, mirrorWalk, mirrorHit.componentId, mirrorEnd));
    }
    MGlobal::setActiveSelectionList(selectionAtPress, MGlobal::kReplaceList);
    MGlobal::setActiveSelectionList(path, MGlobal::kAddToList);
    view.refresh();
}
