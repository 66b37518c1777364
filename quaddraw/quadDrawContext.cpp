#include "quaddraw/quadDrawContext.h"

#include <GL/gl.h>
#include <maya/MColor.h>
#include <maya/MCursor.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFn.h>
#include <maya/MFnCamera.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MGlobal.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MItMeshVertex.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MTimerMessage.h>
#include <maya/MVector.h>

#include <cmath>

#include "geometry/units.h"
#include "geometry/viewPicking.h"
#include "plugin/ToolSettings.h"
#include "plugin/locatorSupport.h"
#include "quaddraw/quadDrawContextToolCmd.h"
#include "quaddraw/quadDrawFaces.h"
#include "quaddraw/quadDrawLocator.h"
#include "quaddraw/quadDrawPreview.h"

const char* const kQuadLocatorName = "kxModelingToolsDrawQuadLocator";

namespace {

int queryInt(const MString& command) {
    int value = 0;
    MGlobal::executeCommand(command, value);
    return value;
}

// The first hilited mesh that is not the slide surface: the reference an artist draws on is never the mesh
// the faces go to, even when it is hilited (as it is when it was selected as the tool started).
MDagPath retopologyTarget(const MDagPath& slide) {
    MSelectionList hilite;
    MGlobal::getHiliteList(hilite);
    MDagPath slideShape = slide;
    if (slideShape.isValid()) slideShape.extendToShape();
    for (unsigned i = 0; i < hilite.length(); ++i) {
        MDagPath path;
        if (!hilite.getDagPath(i, path) || !path.isValid()) continue;
        MDagPath shape = path;
        if (!shape.extendToShape() || !shape.node().hasFn(MFn::kMesh)) continue;
        if (slideShape.isValid() && shape.node() == slideShape.node()) continue;
        return path;
    }
    return MDagPath();
}

}  // namespace

// --- The context ---------------------------------------------------------------------------------------

quadDrawContext::quadDrawContext() {}

quadDrawContext::~quadDrawContext() {
    if (timerId) MMessage::removeCallback(timerId);
    dropTargetCallback();
}

void quadDrawContext::toolOnSetup(MEvent&) {
    setTitleString("QuadDraw Tool");
    setImage("quadDrawContext.bmp", MPxContext::kImage1);
    setCursor(MCursor::crossHairCursor);

    const bool haveLocator = ensureQuadLocator();
    resetPickAccelParams();

    pickedPoint = pointsChanged = false;
    overFace = false;
    view = M3dView::active3dView();
    perspective = true;
    hoverEnabled = previewAvailable = haveLocator;
    targetStale = true;

    // The hover record picks faces; its depth distance is kept in the user's unit.
    hoverData.points.clear();
    hoverData.componentKind = rayIntersectionData::kFace;
    hoverData.depthDistance = centimetresToUiUnitFactor();
    if (haveLocator) {
        MStatus st;
        MFnDependencyNode(locator).findPlug("geoparr", true, &st);
        if (!st) {
            st.perror("cannot find geoparr attribute");
            previewAvailable = false;
        }
    }

    timerId = MTimerMessage::addTimerCallback(0.01f, hoverTick, this, &status);

    localTumbleSwitched = false;
    if (queryInt("tumbleCtx -q -localTumble tumbleContext") == 0) {
        MGlobal::executeCommand("tumbleCtx -e -localTumble 1 tumbleContext");
        localTumbleSwitched = true;
    }
}

void quadDrawContext::toolOffCleanup() {
    if (timerId) {
        MMessage::removeCallback(timerId);
        timerId = 0;
    }
    dropTargetCallback();
    target = Target();
    MFnMesh::clearGlobalIntersectionAcceleratorInfo();
    // The node stays in the scene and is found again by name at the next setup.
    locator = MObject::kNullObj;
    if (localTumbleSwitched) {
        MGlobal::executeCommand("tumbleCtx -e -localTumble 0 tumbleContext");
        localTumbleSwitched = false;
    }
}

bool quadDrawContext::ensureQuadLocator() {
    const MStatus st = createToolLocator(quadDrawLocator::id, kQuadLocatorName, ExistingLocator::kReuse,
                                         componentSelectTypeFromUi(), locator);
    if (st == MS::kInvalidParameter) {
        // A stray node holding the locator's name is never written to, and no second locator is made.
        MSelectionList existing;
        MObject node;
        MString type("node");
        if (existing.add(kQuadLocatorName) && existing.getDependNode(0, node))
            type = MFnDependencyNode(node).typeName();
        MGlobal::displayError(MString("QuadDraw Tool: \"") + kQuadLocatorName + "\" is a " + type +
                              ", not the tool's quadDrawLocator; rename or delete it");
    } else if (!st) {
        st.perror("error creating node");
    }
    return st && !locator.isNull();
}

bool quadDrawContext::readLocatorPoints(const char* attribute, MPointArray& points) {
    points.clear();
    MStatus st;
    MFnDependencyNode node(locator, &st);
    if (!st) return false;
    MPlug plug = node.findPlug(attribute, true, &st);
    if (!st) return false;
    MObject value;
    if (!plug.getValue(value) || value.isNull()) return true;  // never set: no points yet
    MFnPointArrayData data(value, &st);
    if (st) data.copyTo(points);
    return true;
}

MStatus quadDrawContext::writeLocatorPoints(const char* attribute, const MPointArray& points) {
    MStatus st;
    MFnDependencyNode node(locator, &st);
    if (!st) return st;
    MPlug plug = node.findPlug(attribute, true, &st);
    if (!st) return st;
    MFnPointArrayData data;
    MObject value = data.create(points, &st);
    if (!st) {
        st.perror(MString("error creating a new MObject from a ") +
                  (MString(attribute) == "geoparr" ? "geoClosestPointArray" : "pointArray"));
        return st;
    }
    return plug.setValue(value);
}

void quadDrawContext::clearPreview() {
    writeLocatorPoints("geoparr", MPointArray());
}

// --- The target ----------------------------------------------------------------------------------------

void quadDrawContext::targetChanged(MObject&, MPlug&, void* clientData) {
    static_cast<quadDrawContext*>(clientData)->targetStale = true;
}

void quadDrawContext::dropTargetCallback() {
    if (targetCallbackId) MMessage::removeCallback(targetCallbackId);
    targetCallbackId = 0;
}

void quadDrawContext::useTarget(const MDagPath& path) {
    const bool same = path.isValid() && target.path.isValid() && path == target.path;
    if (same && !targetStale && path.inclusiveMatrix() == target.matrix) return;
    if (!same) dropTargetCallback();
    target = Target();
    targetStale = false;
    target.path = path;
    if (!path.isValid()) return;
    MStatus st;
    MFnMesh mesh(path, &st);
    if (!st) return;
    target.matrix = path.inclusiveMatrix();
    if (!targetCallbackId) {
        // Any change of the mesh (a face built, undone, points moved) makes it stale.
        MDagPath shape = path;
        shape.extendToShape();
        MObject node = shape.node();
        targetCallbackId = MNodeMessage::addNodeDirtyPlugCallback(node, targetChanged, this, &st);
        if (!st) targetCallbackId = 0;
    }
    // Without a callback the mesh is read at every use.
    targetStale = targetCallbackId == 0;
    mesh.getPoints(target.points, MSpace::kWorld);
    for (MItMeshPolygon face(path); !face.isDone(); face.next())
        if (face.onBoundary()) target.borderFaces.append(int(face.index()));
    for (MItMeshVertex vertex(path); !vertex.isDone(); vertex.next()) {
        if (!vertex.onBoundary()) continue;
        target.border.vertexIds.append(vertex.index());
        target.border.positions.append(vertex.position(MSpace::kWorld));
        MVector normal;
        vertex.getNormal(normal, MSpace::kWorld);
        target.borderNormals.append(normal);
    }
}

void quadDrawContext::beginQuadInteraction() {
    hoverEnabled = false;
    view = M3dView::active3dView();
    MDagPath cameraPath;
    perspective = true;
    if (view.getCamera(cameraPath)) perspective = !MFnCamera(cameraPath).isOrtho();
    pickedPoint = pointsChanged = false;
    pickedIndex = -1;
    readLocatorPoints("parr", oldPoints);
    overFace = false;
    useTarget(retopologyTarget(ToolSettings::instance().slideObject));
}

// --- Candidates ----------------------------------------------------------------------------------------

MPointArray quadDrawContext::candidatePoints(unsigned& firstBorder) {
    MPointArray candidates;
    readLocatorPoints("parr", candidates);
    firstBorder = candidates.length();
    MPoint nearPt, farPt;
    view.viewToWorld(cursorX, cursorY, nearPt, farPt);
    const MPointArray border =
        visibleBorderPoints(target.border.positions, target.borderNormals, farPt - nearPt,
                            ToolSettings::instance().ignoreQuadDrawBackface);
    for (unsigned i = 0; i < border.length(); ++i) candidates.append(border[i]);
    return candidates;
}

// The point nearest the cursor in view pixels (a strictly nearer point replaces the best so far, which
// starts at kFarPixels); -1 when none can be projected. Points that cannot be projected are reported.
int quadDrawContext::nearestOnScreen(const MPointArray& points, double& distance) {
    distance = kFarPixels;
    int nearestIndex = -1;
    for (unsigned i = 0; i < points.length(); ++i) {
        short x = 0, y = 0;
        MStatus st;
        view.worldToView(points[i], x, y, &st);
        if (!st) {
            st.perror("error converting point data to view space");
            continue;
        }
        const double d = std::hypot(double(x) - cursorX, double(y) - cursorY);
        if (d < distance) {
            distance = d;
            nearestIndex = int(i);
        }
    }
    return nearestIndex;
}

MPointArray quadDrawContext::fourNearestCandidates() {
    unsigned firstBorder = 0;
    const MPointArray candidates = candidatePoints(firstBorder);
    if (candidates.length() < 4) return MPointArray();
    MPointArray screen;
    std::vector<bool> projected(candidates.length(), true);
    for (unsigned i = 0; i < candidates.length(); ++i) {
        short x = 0, y = 0;
        MStatus st;
        view.worldToView(candidates[i], x, y, &st);
        if (!st) st.perror("error converting point data to view space");
        projected[i] = bool(st);
        screen.append(MPoint(x, y));
    }
    const std::vector<int> nearest = nearestDistinctCandidates(
        screen, projected, candidates, firstBorder, cursorX, cursorY, ToolSettings::instance().mergeDistance);
    if (nearest.size() != 4) return MPointArray();
    MPointArray nearScreen, nearWorld;
    for (int i : nearest) {
        nearScreen.append(screen[unsigned(i)]);
        nearWorld.append(candidates[unsigned(i)]);
    }
    return orderQuadCorners(nearScreen, nearWorld);
}

// --- Loose points --------------------------------------------------------------------------------------

void quadDrawContext::placeLivePoint() {
    view.beginXorDrawing(true, true, 1.0f, M3dView::kStippleNone, MColor(1.0f, 1.0f, 1.0f));

    // The candidate nearest the cursor on screen sets the depth of the new point.
    unsigned firstBorder = 0;
    const MPointArray candidates = candidatePoints(firstBorder);
    double nearest = 0;
    const int nearestIndex = nearestOnScreen(candidates, nearest);
    if (nearestIndex >= 0)
        currentPoint = screenToWorldAtDepth(view, cursorX, cursorY, candidates[unsigned(nearestIndex)]);
    else
        currentPoint = pointAlongViewRay(view, cursorX, cursorY);

    projectOntoSlideSurface();

    glPointSize(8.0f);
    glBegin(GL_POINTS);
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    glVertex3d(currentPoint.x, currentPoint.y, currentPoint.z);
    glEnd();
    view.endXorDrawing();
}

void quadDrawContext::projectOntoSlideSurface() {
    const ToolSettings& settings = ToolSettings::instance();
    if (!settings.slideSoftSelect || !settings.slideObject.isValid()) return;
    MStatus st;
    MFnMesh slide(settings.slideObject, &st);
    if (!st) return;
    MPoint nearPt, farPt;
    view.viewToWorld(cursorX, cursorY, nearPt, farPt);
    MVector direction = farPt - nearPt;
    direction.normalize();
    MFloatPoint hitPoint;
    const bool hit = slide.closestIntersection(
        MFloatPoint(float(nearPt.x), float(nearPt.y), float(nearPt.z)),
        MFloatVector(float(direction.x), float(direction.y), float(direction.z)), nullptr, nullptr, false,
        MSpace::kWorld, kMaxRayParameter, true, &pickAccelParams(), hitPoint, nullptr, nullptr, nullptr,
        nullptr, nullptr, kRayTolerance, &st);
    if (st == MS::kInvalidParameter)
        MGlobal::displayError("intersection test resulted in a param");
    else if (st == MS::kFailure)
        MGlobal::displayError("intersection test resulted in a failure");
    if (hit) currentPoint = MPoint(hitPoint.x, hitPoint.y, hitPoint.z);
}

void quadDrawContext::pickUpNearestPoint() {
    MPointArray points;
    if (!readLocatorPoints("parr", points)) {
        MGlobal::displayError("cannot find point attribute");
        return;
    }
    double nearest = 0;
    const int nearestIndex = nearestOnScreen(points, nearest);
    if (nearestIndex < 0 || nearest > kPickRadiusPixels) return;
    pickedPoint = true;
    pickedIndex = nearestIndex;
    // A release without a drag puts the point back where it was.
    currentPoint = points[unsigned(nearestIndex)];
    points.remove(unsigned(nearestIndex));
    writeLocatorPoints("parr", points);
    pointsChanged = true;
}

void quadDrawContext::addLivePoint() {
    MPointArray points;
    if (!readLocatorPoints("parr", points)) {
        MGlobal::displayError("cannot find attribute");
        return;
    }
    // A point picked up keeps its place in the list; a new one goes to the end.
    if (pickedPoint && pickedIndex >= 0 && unsigned(pickedIndex) <= points.length())
        points.insert(currentPoint, unsigned(pickedIndex));
    else
        points.append(currentPoint);
    writeLocatorPoints("parr", points);
    pointsChanged = true;
}

// --- Preview -------------------------------------------------------------------------------------------

MPointArray quadDrawContext::facePoints(int face) const {
    MPointArray points;
    MIntArray vertices;
    MFnMesh(target.path).getPolygonVertices(face, vertices);
    for (unsigned k = 0; k < vertices.length(); ++k)
        if (unsigned(vertices[k]) < target.points.length())
            points.append(target.points[unsigned(vertices[k])]);
    return points;
}

bool quadDrawContext::pickFaceUnderCursor() {
    // Only the target's faces matter for the duplicate test.
    if (!target.path.isValid()) return false;
    MSelectionList list;
    list.add(target.path);
    rayIntersectionArray hits;
    castRayIntoHiliteList(list, view, cursorX, cursorY, hits);
    if (hits.empty()) return false;
    bool withinRadius = true;
    faceHit = pickClosestComponent(kPickFace, view, cursorX, cursorY, hits, withinRadius);
    return true;
}

bool quadDrawContext::quadDuplicatesHitFace(const MPointArray& quad) {
    if (!target.path.isValid() || !overFace || faceHit.componentType != rayIntersectionData::kFace)
        return false;
    if (faceHit.componentId < 0 || faceHit.componentId >= MFnMesh(target.path).numPolygons()) return false;
    return countCornersOnFace(quad, facePoints(faceHit.componentId)) > 2;
}

bool quadDrawContext::quadDuplicatesBorderFace(const MPointArray& quad) {
    if (!target.path.isValid()) return false;
    for (unsigned f = 0; f < target.borderFaces.length(); ++f)
        if (countCornersOnFace(quad, facePoints(target.borderFaces[f])) > 2) return true;
    return false;
}

void quadDrawContext::updateQuadPreview() {
    const MPointArray quad = fourNearestCandidates();
    if (quad.length() != 4) return;
    overFace = pickFaceUnderCursor();
    if (quadDuplicatesHitFace(quad) || quadDuplicatesBorderFace(quad)) return;
    MStatus st;
    MFnDependencyNode node(locator, &st);
    if (st) node.findPlug("geoparr", true, &st);
    if (!st) {
        MGlobal::displayError("cannot find geo attribute");
        return;
    }
    writeLocatorPoints("geoparr", quad);
}

// --- Commit --------------------------------------------------------------------------------------------

void quadDrawContext::commitQuadAtCursor() {
    QuadCommitInput input;
    if (!readLocatorPoints("geoparr", input.quad)) MGlobal::displayError("cannot find geo attribute");
    if (!readLocatorPoints("parr", input.loose)) MGlobal::displayError("cannot find point attribute");
    input.target = target.path;
    input.border = target.border;
    const ToolSettings& settings = ToolSettings::instance();
    const QuadMirror mirror = quadMirrorFor(target.path, settings.mirror, settings.mirrorAxis,
                                            settings.mirrorWorldSpace != 0, settings.mergeDistance);
    const QuadCommitResult result = commitQuad(input, mirror);
    if (result.looseChanged && writeLocatorPoints("parr", result.loose)) pointsChanged = true;
    targetStale = true;
}

void quadDrawContext::finishQuadAction() {
    clearPreview();
    MPointArray newPoints;
    readLocatorPoints("parr", newPoints);
    // A Ctrl-click that put its point back changed nothing: no undo step, no framing.
    if (pointsChanged && newPoints.length() == oldPoints.length()) {
        bool same = true;
        for (unsigned i = 0; i < newPoints.length() && same; ++i) same = newPoints[i] == oldPoints[i];
        if (same) pointsChanged = false;
    }
    if (pointsChanged) {
        quadDrawContextToolCmd* command = static_cast<quadDrawContextToolCmd*>(newToolCommand());
        if (command) {
            command->setOldPoints(oldPoints);
            command->setNewPoints(newPoints);
            command->setLocator(locator);
            // Tumbling pivots on the last point placed.
            if (perspective) framePointInView(view, currentPoint);
            command->finalize();
        }
    }
    view = M3dView::active3dView();
    view.refresh();
    hoverEnabled = true;
}

// --- Events --------------------------------------------------------------------------------------------

MStatus quadDrawContext::doPress(MEvent& event) {
    if (locator.isNull()) return MS::kSuccess;
    clearPreview();
    beginQuadInteraction();
    event.getPosition(cursorX, cursorY);
    const MEvent::MouseButtonType button = event.mouseButton();
    if (button == MEvent::kMiddleMouse) return MS::kSuccess;
    if (button != MEvent::kLeftMouse) return MPxContext::doPress(event);
    const bool shift = event.isModifierShift();
    const bool ctrl = event.isModifierControl();
    if (shift && ctrl) {
        pickUpNearestPoint();
        view.refresh();
    } else if (shift) {
        updateQuadPreview();
    } else if (ctrl) {
        pickUpNearestPoint();
    } else {
        placeLivePoint();
    }
    return MS::kSuccess;
}

MStatus quadDrawContext::doDrag(MEvent& event) {
    if (locator.isNull() || event.mouseButton() != MEvent::kLeftMouse) return MS::kSuccess;
    event.getPosition(cursorX, cursorY);
    const bool shift = event.isModifierShift();
    const bool ctrl = event.isModifierControl();
    if (shift && ctrl) return MS::kSuccess;
    if (shift) {
        updateQuadPreview();
        view.refresh();
    } else if (!ctrl || pickedPoint) {
        placeLivePoint();
        view.refresh();
    }
    return MS::kSuccess;
}

MStatus quadDrawContext::doRelease(MEvent& event) {
    if (locator.isNull()) return MS::kSuccess;
    const bool left = event.mouseButton() == MEvent::kLeftMouse;
    event.getPosition(cursorX, cursorY);
    const bool shift = event.isModifierShift();
    const bool ctrl = event.isModifierControl();
    if (left && shift && !ctrl) {
        // The faces, their mirror and weld, and the loose points they used: one step on the undo queue.
        MGlobal::executeCommand("undoInfo -ock");
        commitQuadAtCursor();
        finishQuadAction();
        MGlobal::executeCommand("undoInfo -cck");
        return MS::kSuccess;
    }
    if (left && !shift && (!ctrl || pickedPoint)) addLivePoint();
    finishQuadAction();
    return MS::kSuccess;
}

MStatus quadDrawContext::doHold(MEvent&) {
    return MS::kSuccess;
}

// --- Hover ---------------------------------------------------------------------------------------------

void quadDrawContext::hoverTick(float, float, void* clientData) {
    static_cast<quadDrawContext*>(clientData)->hover();
}

void quadDrawContext::hover() {
    if (!hoverEnabled || !previewAvailable) return;
    M3dView active = M3dView::active3dView();
    int x = 0, y = 0;
    if (!cursorPositionInView(x, y, active)) return;
    hoverData.view = active;
    hoverData.cursorX = short(x);
    hoverData.cursorY = short(y);

    // Nothing hilited, nothing previewed. A hilited reference alone still previews the first face.
    MSelectionList hilite;
    MGlobal::getHiliteList(hilite);
    MDagPath first;
    if (hilite.length() == 0 || !hilite.getDagPath(0, first) || !first.isValid()) return;
    useTarget(retopologyTarget(ToolSettings::instance().slideObject));
    view = hoverData.view;
    cursorX = hoverData.cursorX;
    cursorY = hoverData.cursorY;
    updateQuadPreview();
}
