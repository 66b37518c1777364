// What the modeling tool shows between gestures: every 10 ms the component under the cursor goes to the
// draw locator's "cparr" (a vertex, an edge's two ends or a face's outline) and, while nothing is selected
// and the cursor is over a hilited mesh, the soft-selection radius circle to its "rparr".
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MQuaternion.h>

#include "geometry/viewPicking.h"
#include "modeling/drawLocator.h"
#include "modeling/modelingContext.h"
#include "plugin/ToolSettings.h"

namespace {

// The world points that outline a picked component: a vertex, an edge's two ends, a face's corners in
// polygon order.
MPointArray componentOutline(const rayIntersectionData& picked) {
    MPointArray points;
    MStatus st;
    MFnMesh mesh(picked.meshPath, &st);
    if (!st || picked.componentId < 0) return points;
    MIntArray ids;
    if (picked.componentType == rayIntersectionData::kVertex) {
        ids.append(picked.componentId);
    } else if (picked.componentType == rayIntersectionData::kEdge) {
        int2 ends;
        if (mesh.getEdgeVertices(picked.componentId, ends)) {
            ids.append(ends[0]);
            ids.append(ends[1]);
        }
    } else if (picked.componentType == rayIntersectionData::kFace) {
        mesh.getPolygonVertices(picked.componentId, ids);
    }
    MPoint p;
    for (unsigned i = 0; i < ids.length(); ++i)
        if (mesh.getPoint(ids[i], p, MSpace::kWorld)) points.append(p);
    return points;
}

}  // namespace

void modelingContext::bindHoverPlugs() {
    hoverData.radiusPointsPlug = MPlug();
    hoverData.componentPointsPlug = MPlug();
    hoverData.depthDistance = unitFactor;
    if (drawLocatorNode.isNull()) return;
    MFnDependencyNode node(drawLocatorNode);
    hoverData.radiusPointsPlug = node.findPlug("rparr", true);
    hoverData.componentPointsPlug = node.findPlug("cparr", true);
}

void modelingContext::hoverTimer(float, float, void* clientData) {
    static_cast<modelingContext*>(clientData)->hover();
}

void modelingContext::hover() {
    if (!betweenGestures || !pressSeen || drawLocatorNode.isNull()) return;
    hoverData.view = M3dView::active3dView();
    M3dView& active = hoverData.view;
    int x = 0, y = 0;
    if (!cursorPositionInView(x, y, active)) return;
    hoverData.cursorX = short(x);
    hoverData.cursorY = short(y);
    const ToolSettings& settings = ToolSettings::instance();
    hoverData.componentKind = settings.multiComponent ? 0 : componentKind;

    // 1. The component under the cursor.
    if (hoverEnabled) {
        rayIntersectionArray hits;
        if (hitHilitedMeshes(active, hoverData.cursorX, hoverData.cursorY, hits)) {
            bool withinRadius = true;
            hoverHit = pickClosestComponent(hoverData.componentKind, active, hoverData.cursorX,
                                            hoverData.cursorY, hits, withinRadius);
            drawLocator::setPointArray(drawLocatorNode, "cparr", componentOutline(hoverHit));
        }
    } else {
        drawLocator::setPointArray(drawLocatorNode, "cparr", MPointArray());
    }

    // 2. The radius circle, over a hilited mesh while nothing is selected.
    float depth = 1.0f;
    active.readDepthMap((unsigned short)x, (unsigned short)y, 1, 1, reinterpret_cast<unsigned char*>(&depth),
                        M3dView::kDepth_Float);
    active.viewToWorld(hoverData.cursorX, hoverData.cursorY, hoverData.rayNear, hoverData.rayFar);
    hoverData.rayDirection = hoverData.rayFar - hoverData.rayNear;
    hoverData.rayDirection.normalize();
    bool shown = false;
    MPoint centre = hoverData.rayNear;
    MGlobal::getActiveSelectionList(hoverData.activeList);
    MGlobal::getHiliteList(hoverData.hiliteList);
    if (depth != 1.0f && hoverEnabled && hoverData.activeList.length() == 0 &&
        hoverData.hiliteList.length() > 0) {
        rayIntersectionArray faces;
        castRayIntoSelection(hoverData.hiliteList, active, hoverData.cursorX, hoverData.cursorY, faces);
        double nearest = 0.0;
        for (const rayIntersectionData& face : faces)
            if (!shown || face.distance < nearest) {
                shown = true;
                centre = face.point;
                nearest = face.distance;
            }
    }
    hoverData.circlePoints.clear();
    if (shown) {
        const double radius = settings.brushRadius;
        hoverData.rotation = MQuaternion(MVector(0, 0, 1), hoverData.rayDirection).asMatrix();
        for (unsigned i = 0; i < hoverData.circleTemplate.length(); ++i) {
            const MPoint& unit = hoverData.circleTemplate[i];
            const MPoint onSurface =
                MPoint(MVector(unit.x, unit.y, 0.0) * radius * hoverData.rotation) + centre;
            // Drawn just past the near plane, where the mesh can never hide it.
            short px = 0, py = 0;
            active.worldToView(onSurface, px, py);
            MPoint nearPt, farPt;
            active.viewToWorld(px, py, nearPt, farPt);
            MVector direction = farPt - nearPt;
            direction.normalize();
            hoverData.circlePoints.append(nearPt + direction * hoverData.depthDistance);
        }
    }
    drawLocator::setPointArray(drawLocatorNode, "rparr", hoverData.circlePoints);
    hoverChanged = true;
}
