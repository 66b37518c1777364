#include "plugin/locatorSupport.h"

#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnGenericAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPxNode.h>
#include <maya/MSelectionList.h>

#include <GL/gl.h>

#include <cmath>

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

// The DAG node called `name`, extended to its shape when it has one; false when there is none.
bool nodeNamed(const MString& name, MDagPath& path) {
    MSelectionList list;
    if (!list.add(name) || !list.getDagPath(0, path)) return false;
    path.extendToShape();
    return true;
}

}  // namespace

MStatus createToolLocator(const MTypeId& type, const MString& name, ExistingLocator existing,
                          int componentSelectType, MObject& shape) {
    shape = MObject::kNullObj;
    MDagPath found;
    if (nodeNamed(name, found)) {
        const bool ofType = MFnDependencyNode(found.node()).typeId() == type;
        if (existing == ExistingLocator::kReuse) {
            // Another kind of node under the name holds none of the locator's data: never write into it,
            // and never make "name1" beside it (its data would be found by no one).
            if (!ofType) return MS::kInvalidParameter;
            shape = found.node();
            return MS::kSuccess;
        }
        MDagModifier remove;
        remove.deleteNode(found.node());
        remove.doIt();
    }

    // Creating and selecting the locator changes the selection; what the user had is put back at the end,
    // hilited objects included.
    MSelectionList saved, hilite;
    MGlobal::getActiveSelectionList(saved);
    MGlobal::getHiliteList(hilite);
    saved.merge(hilite);

    MStatus status;
    MDagModifier modifier;
    const MObject transform = modifier.createNode(type, MObject::kNullObj, &status);
    if (!status) return status;
    modifier.renameNode(transform, name);
    status = modifier.doIt();
    if (!status) return status;

    MGlobal::executeCommand("select " + name);
    MFnDagNode dagNode(transform, &status);
    MDagPath path;
    if (status) status = dagNode.getPath(path);
    if (status && path.extendToShape()) shape = path.node();

    // A view that isolates its selection would hide the new node: add it to the isolated set.
    MString panel;
    MGlobal::executeCommand("paneLayout -q -pane1 viewPanes", panel);
    int isolating = 0;
    MGlobal::executeCommand("isolateSelect -q -s " + panel, isolating);
    if (isolating == 1) MGlobal::executeCommand("isolateSelect -ado \"" + name + "\" " + panel);

    MGlobal::setActiveSelectionList(saved, MGlobal::kReplaceList);
    MGlobal::setHiliteList(hilite);

    // Back into the component mode the object was in.
    MDagPath first;
    if (saved.length() > 0 && saved.getDagPath(0, first) && first.isValid()) {
        const char* mode = componentSelectType == 2 ? "facet" : componentSelectType == 1 ? "edge" : "vertex";
        MGlobal::executeCommand("doMenuComponentSelection(\"" + first.partialPathName() + "\", \"" + mode +
                                "\")");
    }
    return shape.isNull() ? MStatus(MS::kFailure) : MStatus(MS::kSuccess);
}

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

void pushDepthOffsetTowardCamera() {
    GLdouble projection[16], modelView[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // The last column of a perspective projection is (0, 0, -1, 0); an orthographic one ends in 1, and
    // its first element is 2 / the view's width.
    if (projection[15] == 0.0) {
        const double s = 1.0 - kLocatorDepthOffset;
        glScaled(s, s, s);
    } else if (projection[0] != 0.0) {
        glTranslated(0.0, 0.0, kLocatorDepthOffset * 2.0 / std::fabs(projection[0]));
    }
    glMultMatrixd(modelView);
}
