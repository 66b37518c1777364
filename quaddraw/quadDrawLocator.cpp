// The quad draw tool's locator: loose points and the preview face, drawn with OpenGL.
#include "quaddraw/quadDrawLocator.h"

#include <maya/MDataBlock.h>
#include <maya/MFnData.h>
#include <maya/MFnGenericAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <GL/gl.h>

const MTypeId quadDrawLocator::id(1126289);
const MString quadDrawLocator::drawDbClassification("drawdb/geometry/quadDrawLocator");

MObject quadDrawLocator::pointArray;
MObject quadDrawLocator::geoPointArray;
MObject quadDrawLocator::inWorldMatrix;
MObject quadDrawLocator::outPosition;

namespace {

// The stipple of the preview face, shared by every node: a 32 x 32 checkerboard (rows of 0xAA bytes
// alternating with rows of 0x55), so the mesh under the preview stays visible through every other pixel.
GLubyte previewStipple[128];

void buildPreviewStipple() {
    for (int row = 0; row < 32; ++row)
        for (int byte = 0; byte < 4; ++byte) previewStipple[row * 4 + byte] = (row % 2 == 0) ? 0xAA : 0x55;
}

// A generic attribute for point-array data that only the tool writes (never keyed, never cached).
MObject createPointArrayAttribute(const char* longName, const char* shortName, const char* addFailure) {
    MStatus status;
    MFnGenericAttribute fn;
    MObject attr = fn.create(longName, shortName, &status);
    if (!status) {
        MGlobal::displayError("error creating generic attribute!");
        return attr;
    }
    fn.addDataAccept(MFnData::kPointArray);
    fn.setKeyable(false);
    fn.setCached(false);
    if (!MPxNode::addAttribute(attr)) MGlobal::displayError(addFailure);
    return attr;
}

// Reads one of the node's point arrays; false when the plug holds no point-array data.
bool readPoints(const MObject& node, const MObject& attr, MPointArray& points) {
    MObject data;
    if (!MPlug(node, attr).getValue(data)) return false;
    MStatus status;
    MFnPointArrayData fn(data, &status);
    return status && fn.copyTo(points);
}

}  // namespace

quadDrawLocator::quadDrawLocator() {
    buildPreviewStipple();
}

quadDrawLocator::~quadDrawLocator() = default;

void* quadDrawLocator::creator() {
    return new quadDrawLocator;
}

MStatus quadDrawLocator::initialize() {
    pointArray = createPointArrayAttribute("pointArray", "parr", "error adding PointArray attribute!");
    geoPointArray =
        createPointArrayAttribute("geoPointArray", "geoparr", "error adding GeoPointArray attribute!");

    MStatus status;
    MFnMatrixAttribute matrix;
    inWorldMatrix = matrix.create("inWorldMatrix", "iwmtx", MFnMatrixAttribute::kDouble, &status);
    status = addAttribute(inWorldMatrix);
    if (!status) status.perror("addAttribute");

    MFnNumericAttribute numeric;
    outPosition = numeric.create("outPosition", "opos", MFnNumericData::kInt, 1, &status);
    if (status) {
        numeric.setKeyable(false);
        numeric.setStorable(false);
        if (!addAttribute(outPosition)) MGlobal::displayError("error adding outPosition attribute!");
    } else {
        MGlobal::displayError("error creating outPosition attribute!");
    }

    if (!attributeAffects(pointArray, outPosition))
        MGlobal::displayError("error setting point attribute dependency!");
    if (!attributeAffects(geoPointArray, outPosition))
        MGlobal::displayError("error setting geo point attribute dependency!");
    // Failures are reported above; the node type stays registered with what did get added.
    return MS::kSuccess;
}

MStatus quadDrawLocator::compute(const MPlug& plug, MDataBlock& data) {
    return data.setClean(plug);
}

void quadDrawLocator::draw(M3dView& view, const MDagPath&, M3dView::DisplayStyle, M3dView::DisplayStatus) {
    const MObject node = thisMObject();
    MPointArray points, preview;
    const bool havePoints = readPoints(node, pointArray, points);
    const bool havePreview = readPoints(node, geoPointArray, preview);
    if (!havePoints && !havePreview) return;
    if (points.length() == 0 && preview.length() == 0) return;

    view.beginGL();
    glPushAttrib(GL_CURRENT_BIT | GL_POINT_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPointSize(8);

    if (havePoints) {
        glBegin(GL_POINTS);
        for (unsigned i = 0; i < points.length(); ++i) {
            glColor4f(0, 1, 0, 1);
            glVertex3f(float(points[i].x), float(points[i].y), float(points[i].z));
        }
        glEnd();
    }

    glEnable(GL_BLEND);

    if (havePreview) {
        glEnable(GL_POLYGON_STIPPLE);
        glPolygonStipple(previewStipple);
        glBegin(GL_POLYGON);
        for (unsigned i = 0; i < preview.length(); ++i) {
            glColor4f(0.2f, 0.2f, 1.0f, 0.8f);
            glVertex3f(float(preview[i].x), float(preview[i].y), float(preview[i].z));
        }
        glEnd();
    }

    glPopAttrib();
    glPopClientAttrib();
    glDisable(GL_POLYGON_STIPPLE);
    view.endGL();
}
