// The quad draw tool's locator: loose points and the preview face, drawn with OpenGL.
#include "quaddraw/quadDrawLocator.h"

#include <maya/MDataBlock.h>
#include <maya/MFnData.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <GL/gl.h>

#include "plugin/locatorSupport.h"

const MTypeId quadDrawLocator::id(1126289);
const MString quadDrawLocator::drawDbClassification("drawdb/geometry/quadDrawLocator");

MObject quadDrawLocator::pointArray;
MObject quadDrawLocator::geoPointArray;
MObject quadDrawLocator::inWorldMatrix;
MObject quadDrawLocator::outPosition;

quadDrawLocator::quadDrawLocator() = default;

quadDrawLocator::~quadDrawLocator() = default;

void* quadDrawLocator::creator() {
    return new quadDrawLocator;
}

MStatus quadDrawLocator::initialize() {
    pointArray = createToolArrayAttribute("pointArray", "parr", MFnData::kPointArray,
                                          "error adding PointArray attribute!");
    geoPointArray = createToolArrayAttribute("geoPointArray", "geoparr", MFnData::kPointArray,
                                             "error adding GeoPointArray attribute!");

    MStatus status;
    MFnMatrixAttribute matrix;
    inWorldMatrix = matrix.create("inWorldMatrix", "iwmtx", MFnMatrixAttribute::kDouble, &status);
    status = addAttribute(inWorldMatrix);
    if (!status) status.perror("addAttribute");

    outPosition = createOutPositionAttribute();

    affectsOrReport(pointArray, outPosition, "error setting point attribute dependency!");
    affectsOrReport(geoPointArray, outPosition, "error setting geo point attribute dependency!");
    // Failures are reported above; the node type stays registered with what did get added.
    return MS::kSuccess;
}

MStatus quadDrawLocator::compute(const MPlug& plug, MDataBlock& data) {
    return data.setClean(plug);
}

void quadDrawLocator::draw(M3dView& view, const MDagPath&, M3dView::DisplayStyle, M3dView::DisplayStatus) {
    const MObject node = thisMObject();
    MPointArray points, preview;
    const bool havePoints = readPointArray(node, pointArray, points);
    const bool havePreview = readPointArray(node, geoPointArray, preview);
    if (!havePoints && !havePreview) return;
    if (points.length() == 0 && preview.length() == 0) return;

    view.beginGL();
    // The enable bits come back with the pop, so blending and the stipple end with this draw.
    glPushAttrib(GL_CURRENT_BIT | GL_POINT_BIT | GL_ENABLE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    // The points and the preview lie on the reference surface, and the preview's inside runs under it
    // when the surface is convex: both are drawn a little nearer the camera than they are.
    pushDepthOffsetTowardCamera();
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

    if (havePreview) drawStippledFace(preview);

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    glPopClientAttrib();
    view.endGL();
}
