#include "plugin/locatorSupport.h"

#include <maya/MFnGenericAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>

#include <GL/gl.h>

namespace {

// The stipple of drawStippledFace. One mask serves every locator of the process; it is built on first use
// and lives as long as the module, so it outlives every node.
const GLubyte* checkerboardStipple() {
    static const struct Mask {
        GLubyte bytes[128];
        Mask() {
            for (int row = 0; row < 32; ++row)
                for (int byte = 0; byte < 4; ++byte) bytes[row * 4 + byte] = (row % 2 == 0) ? 0xAA : 0x55;
        }
    } mask;
    return mask.bytes;
}

}  // namespace

MObject createToolArrayAttribute(const char* longName, const char* shortName, MFnData::Type accepts,
                                 const char* addFailure) {
    MStatus status;
    MFnGenericAttribute fn;
    MObject attr = fn.create(longName, shortName, &status);
    if (!status) {
        MGlobal::displayError("error creating generic attribute!");
        return attr;
    }
    fn.addDataAccept(accepts);
    fn.setKeyable(false);
    fn.setCached(false);
    if (addFailure) addOrReport(attr, addFailure);
    return attr;
}

MObject createOutPositionAttribute() {
    MStatus status;
    MFnNumericAttribute numeric;
    MObject attr = numeric.create("outPosition", "opos", MFnNumericData::kInt, 1, &status);
    if (status) {
        numeric.setKeyable(false);
        numeric.setStorable(false);
        addOrReport(attr, "error adding outPosition attribute!");
    } else {
        MGlobal::displayError("error creating outPosition attribute!");
    }
    return attr;
}

void addOrReport(const MObject& attr, const char* message) {
    if (!MPxNode::addAttribute(attr)) MGlobal::displayError(message);
}

void affectsOrReport(const MObject& input, const MObject& output, const char* message) {
    if (!MPxNode::attributeAffects(input, output)) MGlobal::displayError(message);
}

bool readPointArray(const MObject& node, const MObject& attr, MPointArray& points) {
    MObject data;
    if (!MPlug(node, attr).getValue(data)) return false;
    MStatus status;
    MFnPointArrayData fn(data, &status);
    return status && fn.copyTo(points);
}

void drawStippledFace(const MPointArray& corners) {
    glEnable(GL_POLYGON_STIPPLE);
    glPolygonStipple(checkerboardStipple());
    glBegin(GL_POLYGON);
    for (unsigned i = 0; i < corners.length(); ++i) {
        glColor4f(0.2f, 0.2f, 1.0f, 0.8f);
        glVertex3f(float(corners[i].x), float(corners[i].y), float(corners[i].z));
    }
    glEnd();
}
