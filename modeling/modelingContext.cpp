#include "modeling/modelingContext.h"

#include <maya/MCursor.h>
#include <maya/MDagModifier.h>
#include <maya/MEventMessage.h>
#include <maya/MFnCamera.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MNodeMessage.h>
#include <maya/MString.h>
#include <maya/MTimerMessage.h>

#include <cstdlib>

#include "geometry/componentWalkers.h"
#include "geometry/units.h"
#include "geometry/viewPicking.h"
#include "modeling/drawLocator.h"
#include "modeling/modelingContextToolCmd.h"
#include "plugin/ToolSettings.h"

namespace {

int queryInt(const char* command) {
    int value = 0;
    MGlobal::executeCommand(command, value);
    return value;
}

// The select-type query's answer (0 vertex, 1 edge, 2 face, 3 none) as a component kind (1 vertex, 2 face,
// 3 edge, 0 none).
int kindFromSelectType(int selectType) {
    switch (selectType) {
        case 0:
            return rayIntersectionData::kVertex;
        case 1:
            return rayIntersectionData::kEdge;
        case 2:
            return rayIntersectionData::kFace;
        default:
            return rayIntersectionData::kNoComponent;
    }
}

MGlobal::ListAdjustment listAdjustmentOf(int adjustment) {
    switch (adjustment) {
        case 0:
            return MGlobal::kReplaceList;
        case 1:
            return MGlobal::kXORWithList;
        case 3:
            return MGlobal::kRemoveFromList;
        default:
            return MGlobal::kAddToList;
    }
}

// Release codes: left shift+ctrl 2, ctrl 1, shift or none 0; middle shift+ctrl 3, shift 1, ctrl 0, none 2.
int leftReleaseCode(bool shift, bool ctrl) {
    return shift && ctrl ? 2 : ctrl ? 1 : 0;
}
int middleReleaseCode(bool shift, bool ctrl) {
    return shift && ctrl ? 3 : shift ? 1 : ctrl ? 0 : 2;
}

}  // namespace

// --- Life of the tool ------------------------------------------------------------------------------------

modelingContext::modelingContext() {
    hoverData.fillUnitCircle();
}

modelingContext::~modelingContext() {
    // A context deleted while active (the host unloading the plug-in) must leave no callback behind.
    if (timerId) MMessage::removeCallback(timerId);
    if (cameraCallbackId) MMessage::removeCallback(cameraCallbackId);
    if (selectTypeCallbackId) MMessage::removeCallback(selectTypeCallbackId);
}

void modelingContext::toolOnSetup(MEvent&) {
    setTitleString("Advanced Modeling Tool");
    setImage("advancedModelingToolContext.bmp", MPxContext::kImage1);
    setCursor(MCursor::editCursor);

    drawLocatorNode = createDrawLocator();
    resetPickAccelParams();
    resetGestureState();
    bindHoverPlugs();

    timerId = MTimerMessage::addTimerCallback(0.01f, hoverTimer, this, &status);
    if (!status) timerId = 0;
    hoverChanged = true;

    MDagPath camera;
    view = M3dView::active3dView();
    if (view.getCamera(camera)) {
        MObject cameraTransform = camera.transform();
        MStatus st;
        cameraCallbackId = MNodeMessage::addNodeDirtyPlugCallback(cameraTransform, cameraChanged, this, &st);
        if (!st) cameraCallbackId = 0;
    }
    MStatus st;
    selectTypeCallbackId = MEventMessage::addEventCallback("SelectTypeChanged", selectTypeChanged, this, &st);
    if (!st) selectTypeCallbackId = 0;

    tumbleChangedByTool = false;
    if (queryInt("tumbleCtx -q -localTumble tumbleContext") == 0) {
        tumbleChangedByTool = true;
        MGlobal::executeCommand("tumbleCtx -e -localTumble 1 tumbleContext", false, false);
    }
}

void modelingContext::toolOffCleanup() {
    for (MCallbackId* id : {&timerId, &cameraCallbackId, &selectTypeCallbackId}) {
        if (*id) MMessage::removeCallback(*id);
        *id = 0;
    }
    freeAccelerator(hoverHit.meshPath);
    freeAccelerator(ToolSettings::instance().slideObject);
    MFnMesh::clearGlobalIntersectionAcceleratorInfo();
    if (!drawLocatorNode.isNull()) {
        MDagModifier modifier;
        if (modifier.deleteNode(drawLocatorNode)) modifier.doIt();
        drawLocatorNode = MObject::kNullObj;
    }
    hoverData.radiusPointsPlug = MPlug();
    hoverData.componentPointsPlug = MPlug();
    if (tumbleChangedByTool) {
        MGlobal::executeCommand("tumbleCtx -e -localTumble 0 tumbleContext", false, false);
        tumbleChangedByTool = false;
    }
}

void modelingContext::resetGestureState() {
    ToolSettings& settings = ToolSettings::instance();
    radiusAtPress = settings.brushRadius;
    listAdjustment = 2;
    hit = mirrorHit = previousHit = previousMirrorHit = hoverHit = rayIntersectionData();
    pointGesture = pointsMoved = hitFound = radiusGesture = mirror = lockAxis = false;
    clearOnMiss = dragged = replacePending = selectionWasEmpty = componentModeActive = false;
    orthographicView = false;
    cursorX = cursorY = pressX = pressY = 0;
    region = SoftRegion();
    mirrorAxis = mirrorWorldSpace = 0;
    unitFactor = centimetresToUiUnitFactor();
    hoverEnabled = true;
    betweenGestures = pressSeen = false;
    bevelExtrude = BevelExtrudeState();
    componentKind = 0;
}

void modelingContext::freeAccelerator(const MDagPath& mesh) {
    if (!mesh.isValid() || mesh.fullPathName().length() == 0) return;
    MStatus st;
    MFnMesh fn(mesh, &st);
    if (st && fn.cachedIntersectionAcceleratorInfo().length() > 0) fn.freeCachedIntersectionAccelerator();
}

void modelingContext::clearLocatorFeedback() {
    if (drawLocatorNode.isNull()) return;
    drawLocator::clearRadiusAndComponent(drawLocatorNode);
}

// --- Callbacks -------------------------------------------------------------------------------------------

void modelingContext::cameraChanged(MObject&, MPlug&, void* clientData) {
    modelingContext* self = static_cast<modelingContext*>(clientData);
    if (!self->betweenGestures || !self->pressSeen || !self->hoverChanged) return;
    self->clearLocatorFeedback();
    M3dView::active3dView().refresh(true, true);
    self->hoverChanged = false;
}

void modelingContext::selectTypeChanged(void* clientData) {
    static_cast<modelingContext*>(clientData)->selectComponentKindFromUi();
}

void modelingContext::selectComponentKindFromUi() {
    componentKind =
        ToolSettings::instance().multiComponent ? 0 : kindFromSelectType(componentSelectTypeFromUi());
}

// --- Press -----------------------------------------------------------------------------------------------

void modelingContext::beginGesture() {
    betweenGestures = false;
    pressSeen = true;
    view = M3dView::active3dView();
    MDagPath camera;
    orthographicView = false;
    if (view.getCamera(camera)) orthographicView = MFnCamera(camera).isOrtho();
    selectComponentKindFromUi();
    // A miss clears the selection only in the press that asks for it (a plain left press), never in a
    // later Shift or Ctrl press after a plain click.
    dragged = replacePending = hitFound = radiusGesture = componentModeActive = clearOnMiss = false;
    const ToolSettings& settings = ToolSettings::instance();
    softSelectIntensity = settings.softSelectIntensity;
    smoothIntensity = settings.smoothIntensity;
    smoothPush = settings.smoothPush;
    mirror = settings.mirror;
    lockAxis = settings.lockAxis;
    mirrorAxis = settings.mirrorAxis;
    mirrorWorldSpace = settings.mirrorWorldSpace;
    previousHit.meshPath = MDagPath();
    bevelExtrude = BevelExtrudeState();
}

MStatus modelingContext::doPress(MEvent& event) {
    const MEvent::MouseButtonType button = event.mouseButton();
    if (button != MEvent::kLeftMouse && button != MEvent::kMiddleMouse)
        return MPxSelectionContext::doPress(event);

    clearLocatorFeedback();
    beginGesture();
    event.getPosition(pressX, pressY);
    cursorX = pressX;
    cursorY = pressY;
    MGlobal::getActiveSelectionList(selectionAtPress);
    selectionWasEmpty = selectionAtPress.length() == 0;
    componentModeActive =
        queryInt("selectType -ocm -q -alc") == 1 || queryInt("selectMode -q -component") == 1;

    // With something selected, the kind picked follows what was picked last, or else the selection mask.
    if (!selectionWasEmpty) {
        componentKind = hit.componentType;
        if (componentKind == 0) componentKind = kindFromSelectType(componentSelectTypeFromUi());
    }

    const bool shift = event.isModifierShift();
    const bool ctrl = event.isModifierControl();
    if (button == MEvent::kLeftMouse)
        pressLeft(shift, ctrl);
    else
        pressMiddle(shift, ctrl);
    return MS::kSuccess;
}

void modelingContext::pressLeft(bool shift, bool ctrl) {
    bool pointGestureOnly = false;  // a smoothing press with nothing selected ends at the pick
    if (shift && ctrl) {
        listAdjustment = 2;
        hitFound = pickComponent(componentKind, listAdjustment, pressX, pressY);
    } else if (shift || ctrl) {
        listAdjustment = shift ? 2 : 3;
        if (selectionWasEmpty) {
            componentKind = 0;
            hitFound = pickComponent(componentKind, listAdjustment, pressX, pressY);
            pointGesture = true;
            if (hitFound) startPointGesture();
            pointGestureOnly = shift;
        } else {
            hitFound = pickComponent(componentKind, listAdjustment, pressX, pressY);
        }
    } else {
        listAdjustment = 0;
        replacePending = clearOnMiss = true;
        hitFound = pickComponent(componentKind, listAdjustment, pressX, pressY);
    }
    // Local tumbling then turns about the picked component.
    if (hitFound && !orthographicView && !pointGestureOnly) framePointInView(view, hit.point);
}

void modelingContext::pressMiddle(bool shift, bool ctrl) {
    if (shift && ctrl) {
        if (!selectionWasEmpty) beginBevelOrExtrude(componentKind, selectionAtPress, bevelExtrude);
        return;
    }
    if (shift || ctrl || !selectionWasEmpty) return;
    listAdjustment = 2;
    componentKind = 0;
    hitFound = pickComponent(componentKind, listAdjustment, pressX, pressY);
    pointGesture = radiusGesture = true;
}

bool modelingContext::pickComponent(int kind, int adjustment, short x, short y) {
    if (!componentModeActive) return false;
    rayIntersectionArray hits;
    if (!hitHilitedMeshes(view, x, y, hits)) {
        if (clearOnMiss) {
            MGlobal::setActiveSelectionList(MSelectionList(), MGlobal::kReplaceList);
            componentKind = 0;
        }
        return false;
    }
    replacePending = false;
    bool withinRadius = true;
    const rayIntersectionData picked = pickClosestComponent(kind, view, x, y, hits, withinRadius);
    for (const rayIntersectionData& h : hits) freeAccelerator(h.meshPath);
    if (!picked.meshPath.isValid() || picked.componentType == rayIntersectionData::kNoComponent) return false;
    hit = picked;
    if (pointGesture && previousHit.meshPath.isValid() && !(hit.meshPath == previousHit.meshPath)) {
        previousHit = rayIntersectionData();
        return false;
    }
    selectHitComponent(hit, view, listAdjustmentOf(adjustment));
    if (mirror) {
        mirrorHit = mirroredPick(hit, mirrorAxis, mirrorWorldSpace != 0);
        selectHitComponent(mirrorHit, view, listAdjustmentOf(adjustment == 0 ? 2 : adjustment));
    }
    componentKind = hit.componentType;
    return true;
}

// --- Drag ------------------------------------------------------------------------------------------------

MStatus modelingContext::doDrag(MEvent& event) {
    event.getPosition(cursorX, cursorY);
    if (!dragged) {
        if (std::abs(cursorY - pressY) < kDeadZonePixels && std::abs(cursorX - pressX) < kDeadZonePixels)
            return MS::kSuccess;
        dragged = true;
        clearOnMiss = false;
    }
    const bool shift = event.isModifierShift();
    const bool ctrl = event.isModifierControl();
    if (event.mouseButton() == MEvent::kMiddleMouse) {
        if (shift && ctrl) {
            if (bevelExtrude.active) dragBevelOrExtrude(view, pressX, pressY, cursorX, cursorY, bevelExtrude);
        } else if (!shift && !ctrl && radiusGesture) {
            radiusStep();
        }
        return MS::kSuccess;
    }
    if (event.mouseButton() != MEvent::kLeftMouse) return MS::kSuccess;

    if (shift && ctrl) {
        listAdjustment = 1;
        if (hitFound && hit.componentType == rayIntersectionData::kEdge) selectEdgePathByDrag();
    } else if (pointGesture) {
        if (shift && !ctrl) smoothStep();
        if (ctrl && !shift) grabStep();
    } else {
        // Paint selection: every component the cursor passes is added (or removed with Ctrl).
        listAdjustment = ctrl ? 3 : 2;
        if (pickComponent(hit.componentType, listAdjustment, cursorX, cursorY)) hitFound = true;
    }
    return MS::kSuccess;
}

MStatus modelingContext::doHold(MEvent&) {
    return MS::kSuccess;
}

// --- Release ---------------------------------------------------------------------------------------------

MStatus modelingContext::doRelease(MEvent& event) {
    const MEvent::MouseButtonType button = event.mouseButton();
    if (button != MEvent::kLeftMouse && button != MEvent::kMiddleMouse)
        return MPxSelectionContext::doRelease(event);
    event.getPosition(cursorX, cursorY);
    const bool shift = event.isModifierShift();
    const bool ctrl = event.isModifierControl();
    if (button == MEvent::kLeftMouse) {
        if (!pointGesture && !dragged && hitFound && hit.componentType == rayIntersectionData::kEdge)
            selectEdgeWalkOnClick(leftReleaseCode(shift, ctrl));
    } else if (!pointGesture) {
        const int code = middleReleaseCode(shift, ctrl);
        if (code == 3) {
            if (bevelExtrude.active) commitBevelOrExtrude(bevelExtrude);
        } else {
            MiddleAction action;
            action.code = code;
            action.componentKind = componentKind;
            action.hit = hit;
            action.mirrorHit = mirrorHit;
            action.mirror = mirror;
            action.mirrorAxis = mirrorAxis;
            action.edgesAtPress = int(edgeIdsOfSelectionItem(selectionAtPress).length());
            runMiddleAction(action);
        }
    }
    commitGesture();
    return MS::kSuccess;
}

void modelingContext::commitGesture() {
    if (pointGesture) {
        if (hitFound || pointsMoved) {
            MGlobal::setActiveSelectionList(MSelectionList(), MGlobal::kReplaceList);
            if (!radiusGesture && pointsBefore.length() > 0 && pointsAfter.length() > 0) {
                auto* command = static_cast<modelingContextToolCmd*>(newToolCommand());
                if (command) {
                    command->setPointsBefore(pointsBefore);
                    command->setPointsAfter(pointsAfter);
                    command->setKind(modelingContextToolCmd::kPoints);
                    command->setMesh(hit.meshPath);
                    command->finalize();
                }
            }
        }
        componentKind = 0;
    } else if (hitFound || (!selectionWasEmpty && replacePending)) {
        MGlobal::getActiveSelectionList(selectionAfter);
        auto* command = static_cast<modelingContextToolCmd*>(newToolCommand());
        if (command) {
            command->setSelectionBefore(selectionAtPress);
            command->setSelectionAfter(selectionAfter);
            command->setKind(modelingContextToolCmd::kSelection);
            command->finalize();
        }
    }
    if (!radiusGesture && hitFound) {
        freeAccelerator(hit.meshPath);
        previousHit = hit;
        previousMirrorHit = mirrorHit;
    }
    pointGesture = pointsMoved = false;
    radiusAtPress = ToolSettings::instance().brushRadius;
    if (!drawLocatorNode.isNull()) {
        drawLocator::clearPoints(drawLocatorNode);
        drawLocator::clearRadiusAndComponent(drawLocatorNode);
    }
    // The gesture's own data: a dense mesh's point arrays are not kept past the command that holds them.
    pointsBefore.clear();
    pointsAfter.clear();
    region = SoftRegion();
    regionNormals.clear();
    neighbours.clear();
    if (slideCopy.isValid()) {
        MObject transform = slideCopy.transform();
        MGlobal::deleteNode(transform);
        ToolSettings::instance().slideObject = slideObjectBeforeCopy;
        slideCopy = slideObjectBeforeCopy = MDagPath();
    }
    view = M3dView::active3dView();
    view.refresh();
    betweenGestures = true;
}
