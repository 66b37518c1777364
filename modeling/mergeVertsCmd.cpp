// kxMergeVerts: flag parsing, the selected vertices of the one selected mesh, and the move onto the target
// (and, with mirror, onto its mirror vertex by side of the plane).
#include "modeling/mergeVertsCmd.h"

#include <maya/MArgDatabase.h>
#include <maya/MFn.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MItMeshVertex.h>
#include <maya/MItSelectionList.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

#include "plugin/ToolSettings.h"

namespace {

const char* const kMirrorFlag = "mr";
const char* const kMirrorFlagLong = "mirror";
const char* const kComponentIdFlag = "id";
const char* const kComponentIdFlagLong = "componentId";
const char* const kMirrorIdFlag = "mId";
const char* const kMirrorIdFlagLong = "mirrorId";
const char* const kAxisFlag = "ax";
const char* const kAxisFlagLong = "axis";

// Reads a flag's argument when the flag is set; a failed read is printed with its message.
template <typename T>
MStatus readFlag(const MArgDatabase& args, const char* flag, T& value, const char* failureMessage) {
    if (!args.isFlagSet(flag)) return MS::kSuccess;
    MStatus status = args.getFlagArgument(flag, 0, value);
    if (!status) status.perror(failureMessage);
    return status;
}

}  // namespace

mergeVertsCmd::mergeVertsCmd() = default;
mergeVertsCmd::~mergeVertsCmd() = default;

void* mergeVertsCmd::creator() {
    return new mergeVertsCmd;
}

MSyntax mergeVertsCmd::newSyntax() {
    MSyntax syntax;
    syntax.addFlag(kMirrorFlag, kMirrorFlagLong, MSyntax::kBoolean);
    syntax.addFlag(kComponentIdFlag, kComponentIdFlagLong, MSyntax::kLong);
    syntax.addFlag(kMirrorIdFlag, kMirrorIdFlagLong, MSyntax::kLong);
    syntax.addFlag(kAxisFlag, kAxisFlagLong, MSyntax::kLong);
    return syntax;
}

MStatus mergeVertsCmd::parseArgs(const MArgList& args) {
    MStatus status;
    MArgDatabase argData(syntax(), args, &status);
    if (!status) return status;  // the host has printed what it could not parse
    if (!(status = readFlag(argData, kMirrorFlag, mirror, "could not parse message mirrorBool")))
        return status;
    if (!(status =
              readFlag(argData, kComponentIdFlag, componentId, "could not parse message componentIDFlag")))
        return status;
    if (!(status = readFlag(argData, kMirrorIdFlag, mirrorId, "could not parse message mirrorIDFlag")))
        return status;
    return readFlag(argData, kAxisFlag, axis, "could not parse message axisFlag");
}

MStatus mergeVertsCmd::collectSelectedVertices() {
    MSelectionList selection;
    MGlobal::getActiveSelectionList(selection);
    if (selection.length() != 1) {
        displayError("mergeVert command does not work with multiple objects selected.");
        return MS::kFailure;
    }
    for (MItSelectionList items(selection, MFn::kMeshVertComponent); !items.isDone(); items.next()) {
        MDagPath path;
        MObject component;
        if (!items.getDagPath(path, component)) continue;
        mesh = path;
        for (MItMeshVertex vertex(path, component); !vertex.isDone(); vertex.next()) {
            vertexIds.append(vertex.index());
            savedPositions.append(vertex.position(MSpace::kObject));
        }
    }
    if (vertexIds.length() < (mirror ? 3u : 2u)) {
        displayError("mergeVert command failed: Selected Verts cannot be merged");
        return MS::kFailure;
    }
    return MS::kSuccess;
}

MStatus mergeVertsCmd::checkIds() {
    MFnMesh fn(mesh);
    const int count = fn.numVertices();
    MString problem;
    if (componentId < 0 || componentId >= count) {
        problem = "target vertex ";
        problem += componentId;
    } else if (mirror && (mirrorId < 0 || mirrorId >= count)) {
        problem = "mirror vertex ";
        problem += mirrorId;
    }
    if (problem.length() > 0) {
        displayError("mergeVert command failed: the " + problem + " is not a vertex of " +
                     mesh.partialPathName());
        return MS::kFailure;
    }
    if (mirror && (axis < 0 || axis > 2)) {
        displayError("mergeVert command failed: the axis must be 0 (X), 1 (Y) or 2 (Z)");
        return MS::kFailure;
    }
    return MS::kSuccess;
}

MStatus mergeVertsCmd::doIt(const MArgList& args) {
    MStatus status = parseArgs(args);
    if (!status) return status;
    // Redo replays this command as it ran, whatever the tool's mirror space is by then.
    mirrorWorldSpace = ToolSettings::instance().mirrorWorldSpace != 0;
    if (!(status = collectSelectedVertices())) return status;
    if (!(status = checkIds())) return status;
    return redoIt();
}

bool mergeVertsCmd::idsOnMesh(unsigned count) const {
    auto on = [count](int id) { return id >= 0 && unsigned(id) < count; };
    for (unsigned i = 0; i < vertexIds.length(); ++i)
        if (!on(vertexIds[i])) return false;
    return on(componentId) && (!mirror || on(mirrorId));
}

MStatus mergeVertsCmd::redoIt() {
    if (!mesh.isValid()) return MS::kFailure;
    // Points are moved in object space: a vertex onto another is the same move in any space, and the
    // points the command does not move are written back exactly as they were.
    MFnMesh fn(mesh);
    MPointArray points;
    fn.getPoints(points, MSpace::kObject);
    if (!idsOnMesh(points.length())) return MS::kFailure;
    const MPoint target = points[unsigned(componentId)];

    if (!mirror) {
        for (unsigned i = 0; i < vertexIds.length(); ++i) points[unsigned(vertexIds[i])] = target;
    } else {
        const MPoint mirrorTarget = points[unsigned(mirrorId)];
        // Sides are told in object space, where the mirror plane is, unless the tool mirrors in world space.
        const MMatrix toWorld = mesh.inclusiveMatrix();
        auto coordinate = [&](const MPoint& p) {
            const MPoint q = mirrorWorldSpace ? p * toWorld : p;
            return axis == 0 ? q.x : axis == 1 ? q.y : q.z;
        };
        const bool targetPositive = coordinate(target) >= 0.0;
        for (unsigned i = 0; i < vertexIds.length(); ++i) {
            MPoint& p = points[unsigned(vertexIds[i])];
            const bool positive = coordinate(p) >= 0.0;
            p = positive == targetPositive ? target : mirrorTarget;
        }
    }
    fn.setPoints(points, MSpace::kObject);
    return MS::kSuccess;
}

MStatus mergeVertsCmd::undoIt() {
    if (!mesh.isValid()) return MS::kFailure;
    MFnMesh fn(mesh);
    MPointArray points;
    fn.getPoints(points, MSpace::kObject);
    if (!idsOnMesh(points.length())) return MS::kFailure;
    for (unsigned i = 0; i < vertexIds.length(); ++i) points[unsigned(vertexIds[i])] = savedPositions[i];
    fn.setPoints(points, MSpace::kObject);
    return MS::kSuccess;
}
