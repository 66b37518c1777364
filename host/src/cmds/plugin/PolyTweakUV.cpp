// MPxPolyTweakUVCommand: the host's side of a UV tweak command. doIt asks the plug-in for the new UV
// positions of each mesh, keeps the old ones, and applies them; undo and redo set one or the other.
#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MPxPolyTweakUVCommand.h>
#include <maya/MSelectionList.h>

#include <vector>

namespace kxh {

struct TweakUVRecord {
    struct MeshTweak {
        MDagPath shape;
        MString uvSet;
        MIntArray ids;
        MFloatArray oldU, oldV, newU, newV;
    };
    std::vector<MeshTweak> meshes;
};

namespace {

MStatus apply(const TweakUVRecord& record, bool newPositions) {
    MStatus result;
    for (const TweakUVRecord::MeshTweak& t : record.meshes) {
        MFnMesh fn(t.shape);
        const MFloatArray& u = newPositions ? t.newU : t.oldU;
        const MFloatArray& v = newPositions ? t.newV : t.oldV;
        for (unsigned i = 0; i < t.ids.length(); ++i) {
            MStatus st = fn.setUV(t.ids[i], u[i], v[i], &t.uvSet);
            if (!st) result = st;
        }
    }
    return result;
}

}  // namespace

}  // namespace kxh

using namespace kxh;

MPxPolyTweakUVCommand::MPxPolyTweakUVCommand() = default;
MPxPolyTweakUVCommand::~MPxPolyTweakUVCommand() = default;

MStatus MPxPolyTweakUVCommand::parseSyntax(MArgDatabase&) {
    return MS::kSuccess;
}

MStatus MPxPolyTweakUVCommand::getTweakedUVs(const MObject&, MIntArray&, MFloatArray&, MFloatArray&) {
    return MS::kSuccess;
}

MSyntax MPxPolyTweakUVCommand::newSyntax() {
    MSyntax syntax;
    syntax.setObjectType(MSyntax::kSelectionList);
    syntax.useSelectionAsDefault(true);
    return syntax;
}

MStatus MPxPolyTweakUVCommand::doIt(const MArgList& args) {
    MStatus st;
    MArgDatabase db(syntax(), args, &st);
    if (!st) return st;
    st = parseSyntax(db);
    if (!st) return st;
    MSelectionList objects;
    db.getObjects(objects);
    if (objects.length() == 0) MGlobal::getActiveSelectionList(objects);

    auto record = std::make_shared<TweakUVRecord>();
    for (unsigned i = 0; i < objects.length(); ++i) {
        MDagPath path;
        if (!objects.getDagPath(i, path)) continue;
        MStatus meshSt;
        MFnMesh fn(path, &meshSt);
        if (!meshSt) continue;
        TweakUVRecord::MeshTweak t;
        t.shape = fn.dagPath();
        t.uvSet = fn.currentUVSetName();
        MObject shape = t.shape.node();
        st = getTweakedUVs(shape, t.ids, t.newU, t.newV);
        if (!st) return st;
        if (t.newU.length() < t.ids.length() || t.newV.length() < t.ids.length()) {
            displayError("The UV positions do not cover every UV of the list.");
            return MS::kFailure;
        }
        const int numUVs = fn.numUVs(t.uvSet);
        for (unsigned k = 0; k < t.ids.length(); ++k) {
            float u = 0, v = 0;
            if (t.ids[k] < 0 || t.ids[k] >= numUVs) {
                displayError(MString("UV id ") + t.ids[k] + " is not on " + t.shape.partialPathName() + ".");
                return MS::kFailure;
            }
            fn.getUV(t.ids[k], u, v, &t.uvSet);
            t.oldU.append(u);
            t.oldV.append(v);
        }
        record->meshes.push_back(t);
    }
    record_ = record;
    return redoIt();
}

MStatus MPxPolyTweakUVCommand::redoIt() {
    return record_ ? apply(*record_, true) : MStatus(MS::kSuccess);
}

MStatus MPxPolyTweakUVCommand::undoIt() {
    return record_ ? apply(*record_, false) : MStatus(MS::kSuccess);
}

bool MPxPolyTweakUVCommand::isUndoable() const {
    return true;
}
