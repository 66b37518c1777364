#include "geometry/viewPicking.h"

#include <windows.h>

#include <maya/MDagPath.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFn.h>
#include <maya/MFnCamera.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MIntArray.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MItSelectionList.h>
#include <maya/MMatrix.h>
#include <maya/MString.h>
#include <maya/MVector.h>

#include <cmath>
#include <vector>

namespace {

// A mesh's function set through the path of a list item; false when the item is not a mesh.
bool meshItem(MItSelectionList& it, MDagPath& path) {
    if (!it.getDagPath(path)) return false;
    MDagPath shape(path);
    if (shape.extendToShape() && shape.node().hasFn(MFn::kMesh)) path = shape;
    return path.node().hasFn(MFn::kMesh);
}

// Calls `visit(path, mesh)` for every mesh item of the list (see meshItem) that a mesh function set takes.
template <class Visit>
void forEachMeshItem(const MSelectionList& list, Visit visit) {
    for (MItSelectionList it(list); !it.isDone(); it.next()) {
        MDagPath path;
        if (!meshItem(it, path)) continue;
        MStatus st;
        MFnMesh mesh(path, &st);
        if (!st) continue;
        visit(path, mesh);
    }
}

struct RayHit {
    MPoint point;
    int face = -1;
};

// The view ray through (x, y) cast into the mesh: from the near point along (far - near).
bool castViewRay(M3dView& view, MFnMesh& mesh, short x, short y, MMeshIsectAccelParams* accel, RayHit& out) {
    MPoint nearPt, farPt;
    if (!view.viewToWorld(x, y, nearPt, farPt)) return false;
    MFloatPoint source(nearPt);
    MFloatVector direction(farPt - nearPt);
    MFloatPoint hitPoint;
    float param = 0.0f, bary1 = 0.0f, bary2 = 0.0f;
    int face = -1, triangle = -1;
    bool hit = mesh.closestIntersection(source, direction, NULL, NULL, false, MSpace::kWorld,
                                        kMaxRayParameter, false, accel, hitPoint, &param, &face, &triangle,
                                        &bary1, &bary2, kRayTolerance);
    if (!hit) return false;
    out.point = MPoint(hitPoint);
    out.face = face;
    return true;
}

rayIntersectionData faceRecord(M3dView& view, const MDagPath& path, const RayHit& hit) {
    rayIntersectionData record;
    record.meshPath = path;
    record.componentType = rayIntersectionData::kFace;
    record.componentId = hit.face;
    record.point = hit.point;
    record.distance = viewRayDepthRatio(view, hit.point);
    return record;
}

// Pixel distance from the cursor to a world point's projection; false when the point does not project.
bool pixelDistance(M3dView& view, short x, short y, const MPoint& world, float& distance) {
    short px = 0, py = 0;
    if (!view.worldToView(world, px, py)) return false;
    float dx = float(px) - float(x), dy = float(py) - float(y);
    distance = std::sqrt(dx * dx + dy * dy);
    return true;
}

MPoint worldPoint(const MFnMesh& mesh, int vertex) {
    MPoint p;
    mesh.getPoint(vertex, p, MSpace::kWorld);
    return p;
}

MPoint edgeMidpoint(const MFnMesh& mesh, int edge) {
    int2 ends;
    mesh.getEdgeVertices(edge, ends);
    MPoint a = worldPoint(mesh, ends[0]), b = worldPoint(mesh, ends[1]);
    return MPoint((a.x + b.x) * 0.5, (a.y + b.y) * 0.5, (a.z + b.z) * 0.5);
}

// The candidate nearest the cursor so far; only a strictly nearer one replaces it.
struct Nearest {
    float distance = kFarPixels;
    int id = -1;
    int type = rayIntersectionData::kNoComponent;
    MPoint point;

    void offer(float d, int candidateId, int candidateType, const MPoint& candidatePoint) {
        if (d < distance) {
            distance = d;
            id = candidateId;
            type = candidateType;
            point = candidatePoint;
        }
    }
    void applyTo(rayIntersectionData& hit) const {
        if (id < 0) return;
        hit.componentId = id;
        hit.componentType = type;
        hit.point = point;
    }
};

// Moves the hit onto the one of `ids` whose world point (`pointOf(id)`) lies nearest the hit's point; the
// first of equally near ones wins.
template <class PointOf>
void snapToNearest(rayIntersectionData& hit, const MIntArray& ids, PointOf pointOf) {
    double best = -1.0;
    MPoint from = hit.point;
    for (unsigned i = 0; i < ids.length(); ++i) {
        MPoint p = pointOf(ids[i]);
        double d = p.distanceTo(from);
        if (best < 0.0 || d < best) {
            best = d;
            hit.componentId = ids[i];
            hit.point = p;
        }
    }
}

}  // namespace

MMeshIsectAccelParams& pickAccelParams() {
    static MMeshIsectAccelParams params = MFnMesh::autoUniformGridParams();
    return params;
}

void resetPickAccelParams() {
    pickAccelParams() = MFnMesh::autoUniformGridParams();
}

bool cursorPositionInView(int& x, int& y, M3dView& view) {
    POINT cursor;
    if (!GetCursorPos(&cursor)) return false;
    if (!ScreenToClient(view.window(), &cursor)) return false;
    int width = view.portWidth(), height = view.portHeight();
    if (cursor.x < 0 || cursor.y < 0 || cursor.x > width || cursor.y > height) return false;
    // Client coordinates run down from the top; the port's run up from the bottom.
    x = int(cursor.x);
    y = height - int(cursor.y);
    return true;
}

MPoint pointAlongViewRay(M3dView& view, short x, short y) {
    MPoint nearPt, farPt;
    view.viewToWorld(x, y, nearPt, farPt);
    MVector direction = farPt - nearPt;
    direction.normalize();
    return nearPt + direction * kViewRayPointDistance;
}

double viewRayDepthRatio(M3dView& view, const MPoint& point) {
    short x = 0, y = 0;
    view.worldToView(point, x, y);
    MPoint nearPt, farPt;
    view.viewToWorld(x, y, nearPt, farPt);
    double span = (farPt - nearPt).length();
    return span > 0.0 ? (point - nearPt).length() / span : 0.0;
}

MPoint screenToWorldAtDepth(M3dView& view, short x, short y, const MPoint& reference) {
    MPoint nearPt, farPt;
    view.viewToWorld(x, y, nearPt, farPt);
    return nearPt + (farPt - nearPt) * viewRayDepthRatio(view, reference);
}

void castRayIntoHiliteList(const MSelectionList& list, M3dView& view, short x, short y,
                           rayIntersectionArray& hits) {
    forEachMeshItem(list, [&](const MDagPath& path, MFnMesh& mesh) {
        // The ray through the cursor itself, without an accelerator.
        RayHit hit;
        if (castViewRay(view, mesh, x, y, NULL, hit)) {
            hits.push_back(faceRecord(view, path, hit));
            return;
        }

        // Missed: try a 4 x 4 grid of rays beside the cursor (offset by one step to the right), top row
        // first, so a cursor just off a thin mesh still finds it. Each face is recorded once.
        std::vector<unsigned char> seenFace(size_t(mesh.numPolygons()), 0);
        for (int row = 0; row < 4; ++row) {
            int gy = int(y) + 2 * kPickGridStepPixels - row * kPickGridStepPixels;
            for (int column = 0; column < 4; ++column) {
                int gx = int(x) - kPickGridStepPixels + column * kPickGridStepPixels;
                if (!castViewRay(view, mesh, short(gx), short(gy), &pickAccelParams(), hit)) continue;
                if (hit.face < 0 || size_t(hit.face) >= seenFace.size() || seenFace[size_t(hit.face)])
                    continue;
                seenFace[size_t(hit.face)] = 1;
                hits.push_back(faceRecord(view, path, hit));
            }
        }
        if (mesh.cachedIntersectionAcceleratorInfo().length() > 0) mesh.freeCachedIntersectionAccelerator();
    });
}

void castRayIntoSelection(const MSelectionList& list, M3dView& view, short x, short y,
                          rayIntersectionArray& hits) {
    forEachMeshItem(list, [&](const MDagPath& path, MFnMesh& mesh) {
        RayHit hit;
        if (castViewRay(view, mesh, x, y, &pickAccelParams(), hit))
            hits.push_back(faceRecord(view, path, hit));
    });
}

bool hitHilitedMeshes(M3dView& view, short x, short y, rayIntersectionArray& hits) {
    MSelectionList hilited;
    MGlobal::getHiliteList(hilited);
    if (hilited.length() == 0) return false;
    castRayIntoHiliteList(hilited, view, x, y, hits);
    return !hits.empty();
}

bool hitSelectedMeshes(M3dView& view, short x, short y, const MSelectionList& list,
                       rayIntersectionArray& hits) {
    castRayIntoSelection(list, view, x, y, hits);
    return !hits.empty();
}

rayIntersectionData pickClosestComponent(int mode, M3dView& view, short x, short y,
                                         const rayIntersectionArray& hits, bool& withinRadius) {
    rayIntersectionData best;
    double bestDistance = kFarPixels;
    for (const rayIntersectionData& hit : hits) {
        rayIntersectionData candidate(hit);
        switch (mode) {
            case kPickNearest:
                refineHitToNearestComponent(view, x, y, candidate);
                withinRadius = true;
                break;
            case kPickVertex:
                withinRadius = refineHitToVertex(view, x, y, candidate);
                break;
            case kPickEdge:
                withinRadius = refineHitToEdge(view, x, y, candidate);
                break;
            default:
                break;  // faces stay as cast
        }
        if (candidate.distance < bestDistance) {
            best = candidate;
            bestDistance = candidate.distance;
        }
    }
    return best;
}

bool refineHitToVertex(M3dView& view, short x, short y, rayIntersectionData& hit) {
    MStatus st;
    MFnMesh mesh(hit.meshPath, &st);
    if (!st || hit.componentId < 0 || hit.componentId >= mesh.numPolygons()) return false;
    MIntArray vertices;
    mesh.getPolygonVertices(hit.componentId, vertices);
    Nearest nearest;
    for (unsigned i = 0; i < vertices.length(); ++i) {
        MPoint p = worldPoint(mesh, vertices[i]);
        float d;
        if (pixelDistance(view, x, y, p, d)) nearest.offer(d, vertices[i], rayIntersectionData::kVertex, p);
    }
    nearest.applyTo(hit);
    return nearest.distance <= kPickRadiusPixels;
}

bool refineHitToEdge(M3dView& view, short x, short y, rayIntersectionData& hit) {
    MStatus st;
    MFnMesh mesh(hit.meshPath, &st);
    if (!st || hit.componentId < 0 || hit.componentId >= mesh.numPolygons()) return false;
    MItMeshPolygon faceIt(hit.meshPath);
    int prev;
    faceIt.setIndex(hit.componentId, prev);
    MIntArray edges;
    faceIt.getEdges(edges);
    Nearest nearest;
    const float cx = float(x), cy = float(y);
    for (unsigned i = 0; i < edges.length(); ++i) {
        int2 ends;
        mesh.getEdgeVertices(edges[i], ends);
        short x1, y1, x2, y2;
        if (!view.worldToView(worldPoint(mesh, ends[0]), x1, y1)) continue;
        if (!view.worldToView(worldPoint(mesh, ends[1]), x2, y2)) continue;
        // The cursor's distance to the infinite line through the projected edge.
        float ex = float(x2) - float(x1), ey = float(y2) - float(y1);
        float length = std::sqrt(ex * ex + ey * ey);
        float d = std::fabs((float(y1) - cy) * ex - (float(x1) - cx) * ey) / length;
        nearest.offer(d, edges[i], rayIntersectionData::kEdge, edgeMidpoint(mesh, edges[i]));
    }
    nearest.applyTo(hit);
    return nearest.distance <= kPickRadiusPixels;
}

void refineHitToNearestComponent(M3dView& view, short x, short y, rayIntersectionData& hit) {
    MStatus st;
    MFnMesh mesh(hit.meshPath, &st);
    if (!st || hit.componentId < 0 || hit.componentId >= mesh.numPolygons()) return;
    MItMeshPolygon faceIt(hit.meshPath);
    int prev;
    faceIt.setIndex(hit.componentId, prev);
    MPoint centre = faceIt.center(MSpace::kWorld);
    // A face with holes is always meant as the face.
    if (faceIt.isHoled()) {
        hit.componentType = rayIntersectionData::kFace;
        hit.point = centre;
        return;
    }
    Nearest nearest;
    float d;
    if (pixelDistance(view, x, y, centre, d))
        nearest.offer(d, hit.componentId, rayIntersectionData::kFace, centre);
    MIntArray edges;
    faceIt.getEdges(edges);
    for (unsigned i = 0; i < edges.length(); ++i) {
        int2 ends;
        mesh.getEdgeVertices(edges[i], ends);
        for (int end = 0; end < 2; ++end) {
            MPoint p = worldPoint(mesh, ends[end]);
            if (pixelDistance(view, x, y, p, d)) nearest.offer(d, ends[end], rayIntersectionData::kVertex, p);
        }
        MPoint middle = edgeMidpoint(mesh, edges[i]);
        if (pixelDistance(view, x, y, middle, d))
            nearest.offer(d, edges[i], rayIntersectionData::kEdge, middle);
    }
    nearest.applyTo(hit);
}

void resolveHitComponent(rayIntersectionData& hit) {
    MStatus st;
    MFnMesh mesh(hit.meshPath, &st);
    if (!st) return;
    MPoint closest;
    int face = -1;
    if (!mesh.getClosestPoint(hit.point, closest, MSpace::kWorld, &face) || face < 0) return;
    switch (hit.componentType) {
        case rayIntersectionData::kVertex: {
            MIntArray vertices;
            mesh.getPolygonVertices(face, vertices);
            snapToNearest(hit, vertices, [&](int vertex) { return worldPoint(mesh, vertex); });
            break;
        }
        case rayIntersectionData::kFace:
            hit.componentId = face;
            hit.point = closest;
            break;
        case rayIntersectionData::kEdge: {
            MItMeshPolygon faceIt(hit.meshPath);
            int prev;
            faceIt.setIndex(face, prev);
            MIntArray edges;
            faceIt.getEdges(edges);
            snapToNearest(hit, edges, [&](int edge) { return edgeMidpoint(mesh, edge); });
            break;
        }
        default:
            break;
    }
}

rayIntersectionData mirrorIntersection(const rayIntersectionData& hit, int axis, bool objectSpace) {
    rayIntersectionData mirrored(hit);
    MPoint p = hit.point;
    if (!objectSpace) p = p * hit.meshPath.inclusiveMatrixInverse();
    if (axis == 0) p.x = -p.x;
    if (axis == 1) p.y = -p.y;
    if (axis == 2) p.z = -p.z;
    mirrored.point = p * hit.meshPath.inclusiveMatrix();
    resolveHitComponent(mirrored);
    return mirrored;
}

bool framePointInView(M3dView& view, const MPoint& point) {
    MDagPath cameraPath;
    if (!view.getCamera(cameraPath)) return false;
    MStatus st;
    MFnCamera camera(cameraPath, &st);
    if (!st) return false;
    short x = 0, y = 0;
    MStatus projected;
    if (!view.worldToView(point, x, y, &projected) || !projected) return false;
    // The eye is read from the camera, never rebuilt from the point's (rounded) pixel: rebuilding it moved
    // the camera a little at every click, and panned orthographic cameras.
    const MPoint eye = camera.eyePoint(MSpace::kWorld);
    const MVector direction = camera.viewDirection(MSpace::kWorld).normal();
    const double depth = (point - eye) * direction;
    if (!(depth > 0.0)) return false;
    const double distance = camera.isOrtho() ? depth : point.distanceTo(eye);
    return camera.setCenterOfInterest(distance) == MS::kSuccess;
}

void selectHitComponent(const rayIntersectionData& hit, M3dView& view, MGlobal::ListAdjustment adjustment) {
    MFn::Type kind = MFn::kInvalid;
    if (hit.componentType == rayIntersectionData::kVertex) kind = MFn::kMeshVertComponent;
    if (hit.componentType == rayIntersectionData::kFace) kind = MFn::kMeshPolygonComponent;
    if (hit.componentType == rayIntersectionData::kEdge) kind = MFn::kMeshEdgeComponent;
    if (kind == MFn::kInvalid) return;
    MFnSingleIndexedComponent fn;
    MObject component = fn.create(kind);
    fn.addElement(hit.componentId);
    MSelectionList list;
    list.add(hit.meshPath, component);
    MGlobal::setActiveSelectionList(list, adjustment);
    view.refresh();
}
