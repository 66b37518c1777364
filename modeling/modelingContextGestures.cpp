// The point gestures of the modeling tool as the context runs them: the gesture's start (the mesh's points,
// neighbours, region, slide target, pins and view directions), the grab and smooth steps of a drag and the
// radius drag. The steps themselves are the functions of pointGestures; this file hands them the
// context's state and writes the results to the mesh and the draw locator.
//
// A dense mesh's points are read once at the start (pointsBefore, copied once into pointsAfter); a step
// changes pointsAfter in place at the region's ids and hands it to setPoints without another copy.
#include <maya/MBoundingBox.h>
#include <maya/MFnCamera.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>

#include "brushes/tablet.h"
#include "geometry/softSelection.h"
#include "geometry/viewPicking.h"
#include "modeling/drawLocator.h"
#include "modeling/modelingContext.h"
#include "plugin/ToolSettings.h"

GestureMirror modelingContext::mirrorRecord() const {
    return gestureMirrorFor(hit.meshPath, mirror, mirrorAxis, mirrorWorldSpace != 0);
}

void modelingContext::startPointGesture() {
    MStatus st;
    MFnMesh mesh(hit.meshPath, &st);
    if (!st) return;
    mesh.getPoints(pointsBefore, MSpace::kWorld);
    pointsAfter = pointsBefore;
    neighbours = vertexNeighbours(hit.meshPath);
    regionNormals.setLength(pointsBefore.length());
    buildRegion();

    ToolSettings& settings = ToolSettings::instance();
    if (settings.slideOnItself) {
        // The mesh slides onto a hidden copy of itself as it was at the start, so a step never projects
        // onto the points it is moving.
        MDagPath copy;
        if (makeSlideCopy(hit.meshPath, copy)) {
            slideCopy = copy;
            slideObjectBeforeCopy = settings.slideObject;
            settings.slideObject = copy;
        }
    }

    limits.pinned = pinnedVertexMask(hit.meshPath, mesh);
    limits.lockX = settings.lockX;
    limits.lockY = settings.lockY;
    limits.lockZ = settings.lockZ;

    viewDirection = MVector(0, 0, -1);
    MDagPath camera;
    if (view.getCamera(camera)) viewDirection = MFnCamera(camera).viewDirection(MSpace::kWorld);
    mirroredViewDirection = viewDirection;
    if (mirrorAxis >= 0 && mirrorAxis <= 2)
        mirroredViewDirection[unsigned(mirrorAxis)] = -mirroredViewDirection[unsigned(mirrorAxis)];
}

void modelingContext::buildRegion() {
    buildSoftRegion(hit, mirrorHit, mirror, ToolSettings::instance().brushRadius, pointsAfter, neighbours,
                    region);
}

// The world normals the slide projection and the smooth step read, at the region's ids only.
void modelingContext::fillRegionNormals() {
    MStatus st;
    MFnMesh mesh(hit.meshPath, &st);
    if (!st) return;
    if (regionNormals.length() != pointsAfter.length()) regionNormals.setLength(pointsAfter.length());
    MVector normal;
    for (const MIntArray* ids : {&region.ids, &region.mirrorIds})
        for (unsigned i = 0; i < ids->length(); ++i) {
            const int id = (*ids)[i];
            if (id >= 0 && unsigned(id) < regionNormals.length() &&
                mesh.getVertexNormal(id, normal, MSpace::kWorld))
                regionNormals[unsigned(id)] = normal;
        }
}

void modelingContext::slideRegion(const GestureMirror& gestureMirror) {
    const ToolSettings& settings = ToolSettings::instance();
    if (!settings.slideSoftSelect || !settings.slideObject.isValid()) return;
    SlideProjection slide;
    slide.surface = settings.slideObject;
    slide.normalDirection = settings.normalDirection;
    slide.viewDirection = viewDirection;
    slide.mirroredViewDirection = mirroredViewDirection;
    slideOntoSurface(slide, pointsBefore, pointsAfter, regionNormals, region, hit.point, gestureMirror,
                     limits);
}

bool modelingContext::writePoints() {
    MStatus st;
    MFnMesh mesh(hit.meshPath, &st);
    if (st) st = mesh.setPoints(pointsAfter, MSpace::kWorld);
    if (!st) {
        MGlobal::displayError("error setting points");
        return false;
    }
    if (mesh.cachedIntersectionAcceleratorInfo().length() > 0) mesh.freeCachedIntersectionAccelerator();
    return true;
}

void modelingContext::grabStep() {
    if (pointsBefore.length() == 0 || !hit.meshPath.isValid()) return;
    const MPoint h = hit.point;
    short hx = 0, hy = 0;
    view.worldToView(h, hx, hy);
    const MPoint t =
        screenToWorldAtDepth(view, short(hx + cursorX - pressX), short(hy + cursorY - pressY), h);
    const GestureMirror gestureMirror = mirrorRecord();
    grabPoints(pointsBefore, pointsAfter, region, t - h, mirroredDisplacement(h, t, gestureMirror),
               softSelectIntensity * 0.01, lockAxis, gestureMirror, limits);
    if (ToolSettings::instance().slideSoftSelect) {
        fillRegionNormals();
        slideRegion(gestureMirror);
    }
    writePoints();
    pointsMoved = true;

    if (!drawLocatorNode.isNull()) {
        MPointArray shown(region.ids.length());
        for (unsigned i = 0; i < region.ids.length(); ++i) shown[i] = pointsAfter[unsigned(region.ids[i])];
        drawLocator::setPointArray(drawLocatorNode, "parr", shown);
        drawLocator::setDoubleArray(drawLocatorNode, "ssrparr", region.weights);
    }
    // No redraw of its own: the changed mesh and locator show at the view's next draw (the release refreshes
    // it), so a step on a dense mesh costs the edit, not a render.
}

void modelingContext::smoothStep() {
    // The face under the cursor; the selection is left alone.
    rayIntersectionArray hits;
    if (!hitHilitedMeshes(view, cursorX, cursorY, hits)) return;
    bool withinRadius = true;
    const rayIntersectionData faceHit =
        pickClosestComponent(kPickFace, view, cursorX, cursorY, hits, withinRadius);
    if (!faceHit.meshPath.isValid() || faceHit.componentType == rayIntersectionData::kNoComponent) return;
    if (previousHit.meshPath.isValid() && !(faceHit.meshPath == previousHit.meshPath)) {
        previousHit = rayIntersectionData();
        return;
    }
    if (pointsBefore.length() > 0 && !(faceHit.meshPath == hit.meshPath)) return;
    hit = faceHit;
    if (mirror) mirrorHit = mirroredPick(hit, mirrorAxis, mirrorWorldSpace != 0);
    // A stroke that began off the mesh starts its gesture on the first face it reaches.
    if (pointsBefore.length() == 0) {
        startPointGesture();
        if (pointsBefore.length() == 0) return;
    } else {
        buildRegion();
    }

    float strength = float(smoothIntensity) * 0.01f;
    PenSample pen;
    if (readPenSample(pen)) strength *= pen.pressure;
    MStatus st;
    const MBoundingBox box = MFnDagNode(hit.meshPath).boundingBox(&st);
    const double diagonal = st ? box.min().distanceTo(box.max()) : 0.0;
    const double push = smoothPush * 0.01 * 0.01 * diagonal;

    fillRegionNormals();
    const GestureMirror gestureMirror = mirrorRecord();
    smoothPoints(pointsBefore, pointsAfter, region, neighbours, regionNormals, strength, push,
                 mirror || lockAxis, gestureMirror, limits);
    slideRegion(gestureMirror);
    if (writePoints()) {
        MFnMesh mesh(hit.meshPath);
        mesh.syncObject();
        mesh.updateSurface();
    }
    pointsMoved = true;
    previousHit = hit;
    view.refresh();
}

void modelingContext::radiusStep() {
    MPoint p0, p1;
    if (hitFound) {
        p0 = screenToWorldAtDepth(view, pressX, pressY, hit.point);
        p1 = screenToWorldAtDepth(view, cursorX, cursorY, hit.point);
    } else {
        p0 = pointAlongViewRay(view, pressX, pressY);
        p1 = pointAlongViewRay(view, cursorX, cursorY);
    }
    const double radius = radiusFromDrag(radiusAtPress, p0.distanceTo(p1), cursorX > pressX);
    ToolSettings::instance().brushRadius = radius;

    MPoint centre = hit.point;
    if (!hitFound) {
        MVector direction;
        view.viewToWorld(pressX, pressY, centre, direction);
    }
    if (!drawLocatorNode.isNull())
        drawLocator::setPointArray(drawLocatorNode, "rparr",
                                   radiusCircle(view, pressX, pressY, centre, radius, unitFactor));
    view.refresh();
}
