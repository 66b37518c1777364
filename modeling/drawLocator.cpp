// The feedback locator of the modeling and brush tools: four world-space arrays in, OpenGL out.
#include "modeling/drawLocator.h"

#include <maya/MDataBlock.h>
#include <maya/MFnData.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>

#include <GL/gl.h>

#include "modeling/circleCallbackData.h"
#include "plugin/locatorSupport.h"

const MTypeId drawLocator::id(0x112F8D);
const MString drawLocator::drawDbClassification("drawdb/geometry/drawLocator");
const char* const drawLocator::toolInstanceName = "kxModelingToolsDrawSSPointLocator";
const char* const drawLocator::pinInstanceName = "kxModelingToolsDrawPinLocator";

MObject drawLocator::pointArray;
MObject drawLocator::ssRadiusValArray;
MObject drawLocator::radiusPointArray;
MObject drawLocator::componentPointArray;
MObject drawLocator::outPosition;

namespace {

// The value of one of the node's array plugs; an unset or unreadable plug reads as empty.
MPointArray readPoints(const MObject& node, const MObject& attr) {
    MPointArray points;
    readPointArray(node, attr, points);
    return points;
}

MDoubleArray readDoubles(const MObject& node, const MObject& attr) {
    MDoubleArray values;
    MObject data;
    if (!MPlug(node, attr).getValue(data)) return values;
    MStatus status;
    MFnDoubleArrayData fn(data, &status);
    if (status) fn.copyTo(values);
    return values;
}

void vertex(const MPoint& p) {
    glVertex3f(float(p.x), float(p.y), float(p.z));
}

// The node's plug of that short name, or a printed failure.
MPlug findArrayPlug(const MObject& node, const MString& shortName, MStatus& status) {
    MFnDependencyNode fn(node, &status);
    MPlug plug;
    if (status) plug = fn.findPlug(shortName, &status);
    if (!status) status.perror("cannot find " + shortName + " attribute");
    return plug;
}

}  // namespace

drawLocator::drawLocator() = default;

drawLocator::~drawLocator() = default;

void* drawLocator::creator() {
    return new drawLocator;
}

MStatus drawLocator::initialize() {
    pointArray = createToolArrayAttribute("pointArray", "parr", MFnData::kPointArray);
    addOrReport(pointArray, "error adding PointArray attribute!");
    ssRadiusValArray = createToolArrayAttribute("ssRadiusValArray", "ssrparr", MFnData::kDoubleArray);
    addOrReport(ssRadiusValArray, "error adding RadiusValueArray attribute!");
    radiusPointArray = createToolArrayAttribute("radiusPointArray", "rparr", MFnData::kPointArray);
    addOrReport(radiusPointArray, "error adding Radius PointArray attribute!");
    componentPointArray = createToolArrayAttribute("componentPointArray", "cparr", MFnData::kPointArray);
    addOrReport(componentPointArray, "error adding Component PointArray attribute!");

    outPosition = createOutPositionAttribute();

    affectsOrReport(pointArray, outPosition, "error setting point attribute dependency!");
    affectsOrReport(ssRadiusValArray, outPosition, "error setting geo point attribute dependency!");
    affectsOrReport(radiusPointArray, outPosition, "error setting radius point attribute dependency!");
    affectsOrReport(componentPointArray, outPosition, "error setting component point attribute dependency!");
    // A failed attribute is reported above; the node type is still usable for what did get added.
    return MS::kSuccess;
}

MStatus drawLocator::compute(const MPlug& plug, MDataBlock& data) {
    return data.setClean(plug);
}

bool drawLocator::isBounded() const {
    return false;
}

void drawLocator::draw(M3dView& view, const MDagPath&, M3dView::DisplayStyle, M3dView::DisplayStatus) {
    drawPoints_ = drawRadius_ = drawComponent_ = true;
    const MObject node = thisMObject();
    const MPointArray points = readPoints(node, pointArray);
    const MDoubleArray weights = readDoubles(node, ssRadiusValArray);
    const MPointArray circle = readPoints(node, radiusPointArray);
    const MPointArray component = readPoints(node, componentPointArray);

    // Weights pair with points one to one; a grab step that wrote one array and not yet the other shows
    // no points rather than mismatched colours.
    if (points.length() == 0 || points.length() != weights.length()) drawPoints_ = false;
    if (circle.length() == 0) drawRadius_ = false;
    if (component.length() == 0) drawComponent_ = false;
    if (!drawPoints_ && !drawRadius_ && !drawComponent_) return;

    view.beginGL();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    // The soft-selection points and the hovered component lie on the mesh's surface: drawn a little
    // nearer the camera than they are, the surface does not hide them. (The circle already lies just
    // past the near plane.)
    pushDepthOffsetTowardCamera();
    if (drawPoints_) drawSoftSelectionPoints(points, weights);
    if (drawRadius_) drawRadius(circle);
    if (drawComponent_) drawComponent(component);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    glPopClientAttrib();
    glDisable(GL_BLEND);
    view.endGL();
}

void drawLocator::drawSoftSelectionPoints(const MPointArray& points, const MDoubleArray& weights) const {
    glPointSize(8);
    glBegin(GL_POINTS);
    for (unsigned i = 0; i < points.length(); ++i) {
        const float v = float(weights[i]);
        glColor4f(1 - v, v, v, 1);
        vertex(points[i]);
    }
    glEnd();
}

void drawLocator::drawRadius(const MPointArray& circle) const {
    glLineWidth(4);
    glBegin(GL_LINE_LOOP);
    for (unsigned i = 0; i < circle.length(); ++i) {
        glColor4f(0, 1, 0, 1);
        vertex(circle[i]);
    }
    glEnd();
}

void drawLocator::drawComponent(const MPointArray& component) const {
    const unsigned n = component.length();
    if (n == 1) {
        glPointSize(8);
        glBegin(GL_POINTS);
        glColor4f(1, 1, 0, 1);
        vertex(component[0]);
        glEnd();
    } else if (n == 2) {
        glLineWidth(3);
        glBegin(GL_LINE_LOOP);
        glColor4f(1, 0, 0, 1);
        vertex(component[0]);
        vertex(component[1]);
        glEnd();
    } else {
        drawStippledFace(component);
    }
}

MStatus drawLocator::setPointArray(const MObject& node, const MString& shortName, const MPointArray& points) {
    MStatus status;
    MPlug plug = findArrayPlug(node, shortName, status);
    if (!status) return status;
    MFnPointArrayData fn;
    MObject data = fn.create(points, &status);
    if (!status) {
        status.perror("error creating a new MObject from a PointArray");
        return status;
    }
    return plug.setValue(data);
}

MStatus drawLocator::setDoubleArray(const MObject& node, const MString& shortName,
                                    const MDoubleArray& values) {
    MStatus status;
    MPlug plug = findArrayPlug(node, shortName, status);
    if (!status) return status;
    MFnDoubleArrayData fn;
    MObject data = fn.create(values, &status);
    if (!status) {
        status.perror("error creating a new MObject from a DoubleArray");
        return status;
    }
    return plug.setValue(data);
}

// Both arrays of a pair are written even when the first write fails, so neither is left half cleared.
MStatus drawLocator::clearPoints(const MObject& node) {
    const MStatus points = setPointArray(node, "parr", MPointArray());
    const MStatus weights = setDoubleArray(node, "ssrparr", MDoubleArray());
    return points ? weights : points;
}

MStatus drawLocator::clearRadiusAndComponent(const MObject& node) {
    const MStatus circle = setPointArray(node, "rparr", MPointArray());
    const MStatus component = setPointArray(node, "cparr", MPointArray());
    return circle ? component : circle;
}

MObject createDrawLocator() {
    MObject shape;
    const MStatus status = createToolLocator(drawLocator::id, drawLocator::toolInstanceName,
                                             ExistingLocator::kReplace, componentSelectTypeFromUi(), shape);
    if (!status) status.perror("error creating draw locator node");
    return shape;
}
