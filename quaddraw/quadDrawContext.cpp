#include "quaddraw/quadDrawContext.h"

#include <GL/gl.h>
#include <maya/MColor.h>
#include <maya/MCursor.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnCamera.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MGlobal.h>
#include <maya/MItMeshPolygon.h>
#include <maya/MItMeshVertex.h>
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

const char* const kQuadLocatorName = "kxModelingToolsDrawQuadLocator";

namespace {

// Pixel distance that no on-screen point reaches: the start of every nearest-point search.
const double kFarPixels = 10000.0;
// A Ctrl press picks up a loose point only this close to the cursor.
const double kPickUpPixels = 20.0;

int queryInt(const MString& command) {
    int value = 0;
    MGlobal::executeCommand(command, value);
    return value;
}

double pixelDistance(const MPoint& screen, double x, double y) {
    return std::hypot(screen.x - x, screen.y - y);
}

}  // namespace

// --- Pure helpers --------------------------------------------------------------------------------------

MPointArray orderQuadCorners(const MPointArray& screen, const MPointArray& world) {
    if (screen.length() != 4 || world.length() != 4) return world;
    double cx = 0, cy = 0;
    for (unsigned k = 0; k < 4; ++k) {
        cx += screen[k].x / 4.0;
        cy += screen[k].y / 4.0;
    }
    double dx[4], dy[4];
    for (unsigned k = 0; k < 4; ++k) {
        dx[k] = screen[k].x - cx;
        dy[k] = screen[k].y - cy;
        const double len = std::hypot(dx[k], dy[k]);
        if (len > 0) {
            dx[k] /= len;
            dy[k] /= len;
        }
    }
    // Signed angle of each corner from the first one, in degrees (positive counter-clockwise).
    double angle[4] = {0, 0, 0, 0};
    for (unsigned k = 1; k < 4; ++k) {
        const double dot = std::max(-1.0, std::min(1.0, dx[0] * dx[k] + dy[0] * dy[k]));
        double a = std::acos(dot) * 180.0 / M_PI;
        if (dx[0] * dy[k] - dy[0] * dx[k] < 0) a = -a;
        angle[k] = a;
    }
    // j: smallest angle in (0, 180); m: the angle in (-180, 0) nearest 0; the last index is opposite s0.
    int j = -1, m = -1;
    for (int k = 1; k < 4; ++k) {
        if (angle[k] > 0 && angle[k] < 180 && (j < 0 || angle[k] < angle[j])) j = k;
        if (angle[k] < 0 && angle[k] > -180 && (m < 0 || angle[k] > angle[m])) m = k;
    }
    if (j < 0 || m < 0) {
        // All corners on one side of the first (a degenerate quad): go round counter-clockwise instead.
        int order[3] = {1, 2, 3};
        auto ccw = [&](int k) { return angle[k] > 0 ? angle[k] : angle[k] + 360.0; };
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b)
                if (ccw(order[b]) < ccw(order[a])) std::swap(order[a], order[b]);
        j = order[0];
        m = order[2];
    }
    const int opposite = 6 - j - m;
    MPointArray out;
    out.append(world[0]);
    out.append(world[unsigned(j)]);
    out.append(world[unsigned(opposite)]);
    out.append(world[unsigned(m)]);
    return out;
}

std::vector<int> nearestFourIndices(const MPointArray& screen, double x, double y) {
    double slotDistance[4] = {kFarPixels, kFarPixels, kFarPixels, kFarPixels};
    int slot[4] = {-1, -1, -1, -1};
    for (unsigned i = 0; i < screen.length(); ++i) {
        const double d = pixelDistance(screen[i], x, y);
        for (int s = 0; s < 4; ++s) {
            if (d < slotDistance[s]) {
                for (int t = 3; t > s; --t) {
                    slotDistance[t] = slotDistance[t - 1];
                    slot[t] = slot[t - 1];
                }
                slotDistance[s] = d;
                slot[s] = int(i);
                break;
            }
        }
    }
    std::vector<int> out;
    for (int s = 0; s < 4; ++s)
        if (slot[s] >= 0) out.push_back(slot[s]);
    return out;
}

int countCornersOnFace(const MPointArray& quad, const MPointArray& facePoints) {
    int count = 0;
    for (unsigned i = 0; i < quad.length(); ++i) {
        for (unsigned k = 0; k < facePoints.length(); ++k) {
            if (quad[i].x == facePoints[k].x && quad[i].y == facePoints[k].y &&
                quad[i].z == facePoints[k].z) {
                ++count;
                break;
            }
        }
    }
    return count;
}

// --- The context ---------------------------------------------------------------------------------------

quadDrawContext::quadDrawContext()
    : cursorX(0),
      cursorY(0),
      pickedPoint(false),
      pointsChanged(false),
      localTumbleSwitched(false),
      perspective(true),
      overFace(false),
      timerId(0),
      hoverEnabled(false),
      previewAvailable(false) {
    for (int k = 0; k < 4; ++k) cornerVertexIds.append(0);
}

quadDrawContext::~quadDrawContext() {
    if (timerId) {
        MMessage::removeCallback(timerId);
        timerId = 0;
    }
}

void quadDrawContext::toolOnSetup(MEvent&) {
    setTitleString("QuadDraw Tool");
    setImage("quadDrawContext.bmp", MPxContext::kImage1);
    setCursor(MCursor::crossHairCursor);

    ensureQuadLocator();
    resetPickAccelParams();

    pickedPoint = pointsChanged = false;
    overFace = false;
    view = M3dView::active3dView();
    perspective = true;
    hoverEnabled = previewAvailable = true;
    cornerVertexIds.clear();
    for (int k = 0; k < 4; ++k) cornerVertexIds.append(0);

    // The hover record picks faces; its depth distance is kept in the user's unit.
    hoverData.points.clear();
    hoverData.componentKind = rayIntersectionData::kFace;
    hoverData.depthDistance = centimetresToUiUnitFactor();
    MStatus st;
    MFnDependencyNode node(locator, &st);
    if (st) node.findPlug("geoparr", true, &st);
    if (!st) {
        st.perror("cannot find geoparr attribute");
        previewAvailable = false;
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
    MFnMesh::clearGlobalIntersectionAcceleratorInfo();
    // The node stays in the scene and is found again by name at the next setup.
    locator = MObject::kNullObj;
    if (localTumbleSwitched) {
        MGlobal::executeCommand("tumbleCtx -e -localTumble 0 tumbleContext");
        localTumbleSwitched = false;
    }
}

void quadDrawContext::ensureQuadLocator() {
    const MStatus st = createToolLocator(quadDrawLocator::id, kQuadLocatorName, ExistingLocator::kReuse,
                                         componentSelectTypeFromUi(), locator);
    if (st == MS::kInvalidParameter)
        MGlobal::displayError(MString("cannot use ") + kQuadLocatorName + ": it is not a quadDrawLocator");
    else if (!st)
        st.perror("error creating node");
}

bool quadDrawContext::readLocatorPoints(const char* attribute, MPointArray& points) {
    MStatus st;
    MFnDependencyNode node(locator, &st);
    if (!st) return false;
    MPlug plug = node.findPlug(attribute, true, &st);
    if (!st) return false;
    MObject value;
    points.clear();
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

void quadDrawContext::readTarget(const MDagPath& target) {
    targetMesh = target;
    targetPoints.clear();
    borderFaces.clear();
    borderVertexIds.clear();
    borderPositions.clear();
    borderNormals.clear();
    if (!targetMesh.isValid()) return;
    MStatus st;
    MFnMesh mesh(targetMesh, &st);
    if (!st) return;
    mesh.getPoints(targetPoints, MSpace::kWorld);
    for (MItMeshPolygon face(targetMesh); !face.isDone(); face.next())
        if (face.onBoundary()) borderFaces.append(int(face.index()));
    for (MItMeshVertex vertex(targetMesh); !vertex.isDone(); vertex.next()) {
        if (!vertex.onBoundary()) continue;
        borderVertexIds.append(vertex.index());
        borderPositions.append(vertex.position(MSpace::kWorld));
        MVector normal;
        vertex.getNormal(normal, MSpace::kWorld);
        borderNormals.append(normal);
    }
}

void quadDrawContext::beginQuadInteraction() {
    hoverEnabled = false;
    view = M3dView::active3dView();
    MDagPath cameraPath;
    perspective = true;
    if (view.getCamera(cameraPath)) perspective = !MFnCamera(cameraPath).isOrtho();
    pickedPoint = pointsChanged = false;
    targetMesh = MDagPath();
    readLocatorPoints("parr", oldPoints);
    overFace = false;

    MSelectionList hilite;
    MGlobal::getHiliteList(hilite);
    MDagPath target;
    if (hilite.length() > 0) hilite.getDagPath(0, target);
    readTarget(target);
}

MPointArray quadDrawContext::visibleBorderPoints() {
    MPointArray out;
    const ToolSettings& settings = ToolSettings::instance();
    if (!settings.ignoreQuadDrawBackface) return borderPositions;
    if (borderPositions.length() != borderNormals.length()) return out;
    MPoint nearPt, farPt;
    view.viewToWorld(cursorX, cursorY, nearPt, farPt);
    const MVector direction = farPt - nearPt;
    for (unsigned i = 0; i < borderPositions.length(); ++i)
        if (borderNormals[i] * direction <= 0) out.append(borderPositions[i]);
    return out;
}

MPointArray quadDrawContext::candidatePoints() {
    MPointArray candidates;
    readLocatorPoints("parr", candidates);
    const MPointArray border = visibleBorderPoints();
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

void quadDrawContext::placeLivePoint() {
    view.beginXorDrawing(true, true, 1.0f, M3dView::kStippleNone, MColor(1.0f, 1.0f, 1.0f));

    // The candidate nearest the cursor on screen sets the depth of the new point.
    const MPointArray candidates = candidatePoints();
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
    const bool hit =
        slide.closestIntersection(MFloatPoint(float(nearPt.x), float(nearPt.y), float(nearPt.z)),
                                  MFloatVector(float(direction.x), float(direction.y), float(direction.z)),
                                  nullptr, nullptr, false, MSpace::kWorld, 1e6f, true, &pickAccelParams(),
                                  hitPoint, nullptr, nullptr, nullptr, nullptr, nullptr, 1e-6f, &st);
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
    if (nearestIndex < 0 || nearest > kPickUpPixels) return;
    pickedPoint = true;
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
    points.append(currentPoint);
    writeLocatorPoints("parr", points);
    pointsChanged = true;
}

MPointArray quadDrawContext::fourNearestCandidates() {
    const MPointArray candidates = candidatePoints();
    if (candidates.length() < 4) return MPointArray();
    MPointArray screen;
    for (unsigned i = 0; i < candidates.length(); ++i) {
        short x = 0, y = 0;
        MStatus st;
        view.worldToView(candidates[i], x, y, &st);
        if (!st) st.perror("error converting point data to view space");
        // A point that cannot be projected never comes near the cursor.
        screen.append(st ? MPoint(x, y) : MPoint(2 * kFarPixels, 2 * kFarPixels));
    }
    const std::vector<int> nearest = nearestFourIndices(screen, cursorX, cursorY);
    if (nearest.size() != 4) return MPointArray();
    MPointArray nearScreen, nearWorld;
    for (int i : nearest) {
        nearScreen.append(screen[unsigned(i)]);
        nearWorld.append(candidates[unsigned(i)]);
    }
    return orderQuadCorners(nearScreen, nearWorld);
}

bool quadDrawContext::pickFaceUnderCursor() {
    rayIntersectionArray hits;
    if (!hitHilitedMeshes(view, cursorX, cursorY, hits)) return false;
    bool withinRadius = true;
    faceHit = pickClosestComponent(kPickFace, view, cursorX, cursorY, hits, withinRadius);
    return true;
}

bool quadDrawContext::quadDuplicatesHitFace(const MPointArray& quad) {
    if (!targetMesh.isValid() || !overFace) return false;
    // The hit may lie on another hilited mesh; the target may be named by its transform.
    MDagPath hitShape = faceHit.meshPath, targetShape = targetMesh;
    hitShape.extendToShape();
    targetShape.extendToShape();
    if (faceHit.componentType != rayIntersectionData::kFace || !(hitShape.node() == targetShape.node()))
        return false;
    MFnMesh mesh(targetMesh);
    if (faceHit.componentId < 0 || faceHit.componentId >= mesh.numPolygons()) return false;
    MIntArray vertices;
    mesh.getPolygonVertices(faceHit.componentId, vertices);
    MPointArray facePoints;
    for (unsigned k = 0; k < vertices.length(); ++k)
        if (unsigned(vertices[k]) < targetPoints.length())
            facePoints.append(targetPoints[unsigned(vertices[k])]);
    return countCornersOnFace(quad, facePoints) > 2;
}

bool quadDrawContext::quadDuplicatesBorderFace(const MPointArray& quad) {
    if (!targetMesh.isValid()) return false;
    MFnMesh mesh(targetMesh);
    for (unsigned f = 0; f < borderFaces.length(); ++f) {
        MIntArray vertices;
        mesh.getPolygonVertices(borderFaces[f], vertices);
        MPointArray facePoints;
        for (unsigned k = 0; k < vertices.length(); ++k)
            if (unsigned(vertices[k]) < targetPoints.length())
                facePoints.append(targetPoints[unsigned(vertices[k])]);
        if (countCornersOnFace(quad, facePoints) > 2) return true;
    }
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

void quadDrawContext::finishQuadAction() {
    clearPreview();
    if (pointsChanged) {
        readLocatorPoints("parr", newPoints);
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
    if (event.mouseButton() != MEvent::kLeftMouse) return MS::kSuccess;
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
    if (event.mouseButton() == MEvent::kLeftMouse) {
        event.getPosition(cursorX, cursorY);
        const bool shift = event.isModifierShift();
        const bool ctrl = event.isModifierControl();
        if (shift && !ctrl)
            commitQuad(*this);
        else if (!shift && (!ctrl || pickedPoint))
            addLivePoint();
    }
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

    MSelectionList hilite;
    MGlobal::getHiliteList(hilite);
    MDagPath target;
    if (hilite.length() == 0 || !hilite.getDagPath(0, target) || !target.isValid()) return;
    readTarget(target);
    view = hoverData.view;
    cursorX = hoverData.cursorX;
    cursorY = hoverData.cursorY;
    updateQuadPreview();
}
