// A locator drawn with OpenGL and a tool that places it: a click in a view drops a kxsMarker where the
// view ray meets the ground plane. The placement is a tool command, so one undo takes the marker away.
// Written as locator and tool plug-ins are: GL through the view header, the marker's size a distance.
#include <maya/M3dView.h>
#include <maya/MArgList.h>
#include <maya/MDagModifier.h>
#include <maya/MDistance.h>
#include <maya/MEvent.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnTransform.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPxContext.h>
#include <maya/MPxContextCommand.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MPxToolCommand.h>
#include <maya/MToolsInfo.h>
#include <maya/MVector.h>

#include <math.h>

class markerNode : public MPxLocatorNode {
public:
    virtual void draw(M3dView& view, const MDagPath& path, M3dView::DisplayStyle style,
                      M3dView::DisplayStatus status);
    virtual bool isBounded() const { return true; }
    virtual MBoundingBox boundingBox() const;
    static void* creator() { return new markerNode(); }
    static MStatus initialize();
    double size() const;

    static MObject sizeAttr;
    static MTypeId id;
};

MObject markerNode::sizeAttr;
MTypeId markerNode::id(0x0011A2F1);

double markerNode::size() const {
    MPlug plug(thisMObject(), sizeAttr);
    MDistance d;
    plug.getValue(d);
    return d.asCentimeters();
}

void markerNode::draw(M3dView& view, const MDagPath&, M3dView::DisplayStyle, M3dView::DisplayStatus) {
    const double s = size();
    view.beginGL();
    glBegin(GL_LINES);
    glVertex3d(-s, 0.0, 0.0);
    glVertex3d(s, 0.0, 0.0);
    glVertex3d(0.0, 0.0, -s);
    glVertex3d(0.0, 0.0, s);
    glEnd();
    view.endGL();
}

MBoundingBox markerNode::boundingBox() const {
    const double s = size();
    return MBoundingBox(MPoint(-s, 0.0, -s), MPoint(s, 0.0, s));
}

MStatus markerNode::initialize() {
    MFnUnitAttribute unitFn;
    sizeAttr = unitFn.create("size", "sz", MFnUnitAttribute::kDistance);
    unitFn.setDefault(2.0);
    return addAttribute(sizeAttr);
}

// kxsPlaceMarker x y z: creates a marker at the point (the tool's journal line has this form too).
class placeMarkerCmd : public MPxToolCommand {
public:
    placeMarkerCmd() { setCommandString("kxsPlaceMarker"); }
    static void* creator() { return new placeMarkerCmd; }
    virtual MStatus doIt(const MArgList& args) {
        if (args.length() != 3) {
            displayError("kxsPlaceMarker needs x y z.");
            return MS::kFailure;
        }
        where = MPoint(args.asDouble(0), args.asDouble(1), args.asDouble(2));
        return redoIt();
    }
    virtual MStatus redoIt() {
        modifier = new MDagModifier;
        MObject transform = modifier->createNode("kxsMarker");
        MStatus st = modifier->doIt();
        if (!st) return st;
        MFnTransform fn(transform);
        fn.setTranslation(MVector(where), MSpace::kTransform);
        setResult(fn.name());
        return MS::kSuccess;
    }
    virtual MStatus undoIt() {
        MStatus st = modifier ? modifier->undoIt() : MStatus(MS::kFailure);
        delete modifier;
        modifier = 0;
        return st;
    }
    virtual bool isUndoable() const { return true; }
    virtual MStatus finalize() {
        MArgList command;
        command.addArg(commandString());
        command.addArg(where.x);
        command.addArg(where.y);
        command.addArg(where.z);
        return doFinalize(command);
    }
    ~placeMarkerCmd() { delete modifier; }

    MPoint where;
    MDagModifier* modifier = 0;
};

class markerContext : public MPxContext {
public:
    markerContext() { setTitleString("Marker Tool"); }
    virtual void toolOnSetup(MEvent&) {
        setHelpString("Click on the ground to place a marker.");
        MToolsInfo::setDirtyFlag(*this);
    }
    virtual MStatus doPress(MEvent& event) {
        short x, y;
        event.getPosition(x, y);
        MPoint origin;
        MVector direction;
        M3dView view = M3dView::active3dView();
        if (!view.viewToWorld(x, y, origin, direction) || fabs(direction.y) < 1e-9) return MS::kFailure;
        const double t = -origin.y / direction.y;
        placeMarkerCmd* cmd = (placeMarkerCmd*)newToolCommand();
        cmd->where = origin + direction * t;
        cmd->redoIt();
        return cmd->finalize();
    }
};

class markerContextCmd : public MPxContextCommand {
public:
    static void* creator() { return new markerContextCmd; }
    virtual MPxContext* makeObj() { return new markerContext; }
};

MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, PLUGIN_COMPANY, "1.0", "Any");
    MStatus status = plugin.registerNode("kxsMarker", markerNode::id, markerNode::creator,
                                         markerNode::initialize, MPxNode::kLocatorNode);
    if (!status) return status;
    status = plugin.registerContextCommand("kxsMarkerContext", markerContextCmd::creator, "kxsPlaceMarker",
                                           placeMarkerCmd::creator);
    return status;
}

MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    plugin.deregisterContextCommand("kxsMarkerContext", "kxsPlaceMarker");
    return plugin.deregisterNode(markerNode::id);
}
