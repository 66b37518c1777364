// Mesh and UV commands written as public mesh plug-ins are:
//   kxsClosest -p x y z mesh   the closest point of the mesh (world space): "face x y z" in object space
//   kxsMeshes                  the full paths of the mesh shapes, walking the DAG
//   kxsFlipUV [-v] [mesh]      mirrors the mesh's UVs across u = 0.5 (with -v across v = 0.5); undoable
#include <maya/MArgDatabase.h>
#include <maya/MDagPath.h>
#include <maya/MFloatArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MIOStream.h>
#include <maya/MIntArray.h>
#include <maya/MItDag.h>
#include <maya/MMeshIntersector.h>
#include <maya/MPxCommand.h>
#include <maya/MPxPolyTweakUVCommand.h>
#include <maya/MSelectionList.h>
#include <maya/MSyntax.h>

class closestCmd : public MPxCommand {
public:
    static void* creator() { return new closestCmd; }
    static MSyntax newSyntax() {
        MSyntax syntax;
        syntax.addFlag("-p", "-position", MSyntax::kDouble, MSyntax::kDouble, MSyntax::kDouble);
        syntax.setObjectType(MSyntax::kStringObjects, 1, 1);
        return syntax;
    }
    virtual MStatus doIt(const MArgList& args) {
        MStatus status;
        MArgDatabase db(syntax(), args, &status);
        if (!status) return status;
        MPoint point;
        for (unsigned i = 0; i < 3; ++i) db.getFlagArgument("-p", i, point[i]);
        MStringArray names;
        db.getObjects(names);
        MSelectionList list;
        MDagPath path;
        if (!list.add(names[0]) || !list.getDagPath(0, path)) {
            displayError("No mesh named " + names[0] + ".");
            return MS::kFailure;
        }
        path.extendToShape();
        MObject shape = path.node();
        MMeshIntersector intersector;
        status = intersector.create(shape, path.inclusiveMatrix());
        if (!status) {
            displayError(names[0] + " is not a mesh.");
            return status;
        }
        MPointOnMesh hit;
        status = intersector.getClosestPoint(point, hit);
        if (!status) return status;
        MFloatPoint p = hit.getPoint();
        MString result;
        result += hit.faceIndex();
        result += MString(" ") + p.x + " " + p.y + " " + p.z;
        setResult(result);
        return MS::kSuccess;
    }
};

class meshesCmd : public MPxCommand {
public:
    static void* creator() { return new meshesCmd; }
    virtual MStatus doIt(const MArgList&) {
        MStringArray paths;
        for (MItDag it(MItDag::kDepthFirst, MFn::kMesh); !it.isDone(); it.next()) {
            MDagPath path;
            it.getPath(path);
            paths.append(path.fullPathName());
        }
        setResult(paths);
        return MS::kSuccess;
    }
};

class flipUVCmd : public MPxPolyTweakUVCommand {
public:
    static void* creator() { return new flipUVCmd; }
    static MSyntax newSyntax() {
        MSyntax syntax = MPxPolyTweakUVCommand::newSyntax();
        syntax.addFlag("-v", "-vertical");
        return syntax;
    }
    virtual MStatus parseSyntax(MArgDatabase& argData) {
        vertical = argData.isFlagSet("-v");
        return MS::kSuccess;
    }
    virtual MStatus getTweakedUVs(const MObject& meshObj, MIntArray& uvList, MFloatArray& uPos,
                                  MFloatArray& vPos) {
        MStatus status;
        MFnMesh mesh(meshObj, &status);
        if (!status) return status;
        status = mesh.getUVs(uPos, vPos);
        if (!status) return status;
        for (unsigned i = 0; i < uPos.length(); ++i) {
            uvList.append(int(i));
            if (vertical)
                vPos[i] = 1.0f - vPos[i];
            else
                uPos[i] = 1.0f - uPos[i];
        }
        return MS::kSuccess;
    }
    bool vertical = false;
};

MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, PLUGIN_COMPANY, "1.0", "Any");
    MStatus status = plugin.registerCommand("kxsClosest", closestCmd::creator, closestCmd::newSyntax);
    if (status) status = plugin.registerCommand("kxsMeshes", meshesCmd::creator);
    if (status) status = plugin.registerCommand("kxsFlipUV", flipUVCmd::creator, flipUVCmd::newSyntax);
    if (!status) status.perror("registerCommand");
    return status;
}

MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    plugin.deregisterCommand("kxsClosest");
    plugin.deregisterCommand("kxsMeshes");
    return plugin.deregisterCommand("kxsFlipUV");
}
