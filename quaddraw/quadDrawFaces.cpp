#include "quaddraw/quadDrawFaces.h"

#include <maya/MDagPath.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include "geometry/rayIntersectionData.h"
#include "geometry/viewPicking.h"
#include "plugin/ToolSettings.h"
#include "quaddraw/quadDrawContext.h"

namespace {

bool samePoint(const MPoint& a, const MPoint& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// " -p x y z", each number through MString's append of a double.
MString pointArgument(const MPoint& p) {
    MString s(" -p ");
    s += p.x;
    s += " ";
    s += p.y;
    s += " ";
    s += p.z;
    return s;
}

MString vertexArgument(int id) {
    MString s(" -v ");
    s += double(id);
    return s;
}

bool readQuadPoints(quadDrawContext& context) {
    if (!context.readLocatorPoints("geoparr", context.quadPoints)) {
        MGlobal::displayError("cannot find geo attribute");
        context.quadPoints.clear();
        return false;
    }
    return true;
}

}  // namespace

MPointArray mirrorQuadPoints(quadDrawContext& context, const MPointArray& points) {
    MPointArray out;
    const ToolSettings& settings = ToolSettings::instance();
    if (!settings.mirror) return out;
    MMatrix toSpace, fromSpace;  // identity: world space
    if (context.targetMesh.isValid() && settings.mirrorWorldSpace == 0) {
        fromSpace = context.targetMesh.inclusiveMatrix();
        toSpace = context.targetMesh.inclusiveMatrixInverse();
    }
    for (unsigned i = points.length(); i-- > 0;) {
        MPoint p = points[i] * toSpace;
        if (settings.mirrorAxis == 0) p.x = -p.x;
        if (settings.mirrorAxis == 1) p.y = -p.y;
        if (settings.mirrorAxis == 2) p.z = -p.z;
        out.append(p * fromSpace);
    }
    return out;
}

void matchQuadToBorder(quadDrawContext& context) {
    context.cornerVertexIds.clear();
    for (unsigned c = 0; c < context.quadPoints.length(); ++c) {
        int id = 0;
        for (unsigned b = 0; b < context.borderPositions.length() && b < context.borderVertexIds.length();
             ++b)
            if (samePoint(context.borderPositions[b], context.quadPoints[c]))
                id = context.borderVertexIds[b] + 1;
        context.cornerVertexIds.append(id);
    }
}

void removeUsedPoints(quadDrawContext& context, const MPointArray& points) {
    MPointArray loose;
    if (!context.readLocatorPoints("parr", loose)) {
        MGlobal::displayError("cannot find point attribute");
        return;
    }
    MPointArray kept;
    for (unsigned i = 0; i < loose.length(); ++i) {
        bool used = false;
        for (unsigned k = 0; k < points.length() && !used; ++k) used = samePoint(loose[i], points[k]);
        if (!used) kept.append(loose[i]);
    }
    if (kept.length() == loose.length()) return;
    context.writeLocatorPoints("parr", kept);
    context.pointsChanged = true;
}

MString appendQuadCommand(quadDrawContext& context) {
    const ToolSettings& settings = ToolSettings::instance();
    const MString mesh = context.targetMesh.fullPathName();
    const MMatrix toObject = context.targetMesh.inclusiveMatrixInverse();
    const unsigned corners = context.quadPoints.length();
    auto cornerId = [&](unsigned c) {
        return c < context.cornerVertexIds.length() ? context.cornerVertexIds[c] : 0;
    };

    MString command("polyAppendVertex");
    for (unsigned c = 0; c < corners; ++c) {
        const int id = cornerId(c);
        command += id == 0 ? pointArgument(context.quadPoints[c] * toObject) : vertexArgument(id - 1);
    }
    command += " " + mesh + "; ";

    if (settings.mirror) {
        // The mirrored face goes round the other way; mirroredQuadPoints is already reversed.
        MString mirrored("polyAppendVertex");
        for (unsigned r = 0; r < corners; ++r) {
            const unsigned c = corners - 1 - r;
            const int id = cornerId(c);
            if (id == 0) {
                if (r < context.mirroredQuadPoints.length())
                    mirrored += pointArgument(context.mirroredQuadPoints[r] * toObject);
                continue;
            }
            // The target's vertex on the other side of the plane. mirrorIntersection mirrors in the
            // target's object space (the corner is a world point); a world-space mirror resolves the
            // corner's world image directly.
            rayIntersectionData vertex;
            vertex.meshPath = context.targetMesh;
            vertex.componentId = id - 1;
            vertex.componentType = rayIntersectionData::kVertex;
            vertex.point = context.quadPoints[c];
            rayIntersectionData other;
            if (settings.mirrorWorldSpace == 0) {
                other = mirrorIntersection(vertex, settings.mirrorAxis, false);
            } else {
                MPointArray one;
                one.append(context.quadPoints[c]);
                other = vertex;
                other.point = mirrorQuadPoints(context, one)[0];
                resolveHitComponent(other);
            }
            mirrored += vertexArgument(other.componentId);
        }
        command += mirrored + " " + mesh + "; ";
    }
    return command;
}

void appendQuad(quadDrawContext& context) {
    MGlobal::executeCommand(appendQuadCommand(context), false, true);
}

MString firstQuadCommand(const MPointArray& quad, const MPointArray& mirrored, const MString& meshName) {
    MString a, b;
    for (unsigned i = 0; i < quad.length(); ++i) a += pointArgument(quad[i]);
    for (unsigned i = 0; i < mirrored.length(); ++i) b += pointArgument(mirrored[i]);
    if (ToolSettings::instance().mirror) {
        MString command = "polyCreateFacet" + a + " " + meshName + "; " + "polyAppendVertex" + b + " " +
                          meshName + "; " + "polyMergeVertex -d ";
        // The setting is a float: appended as one, it reads "0.01" rather than the float's double expansion.
        command += ToolSettings::instance().mergeDistance;
        command += " " + meshName + "; select -d;";
        return command;
    }
    return "polyCreateFacet" + a + " " + meshName + "; " + meshName + "; select -d;";
}

void createFirstQuad(quadDrawContext& context) {
    readQuadPoints(context);
    context.mirroredQuadPoints = mirrorQuadPoints(context, context.quadPoints);
    const MString meshName = context.targetMesh.isValid() ? context.targetMesh.fullPathName() : MString();

    MStringArray before;
    MGlobal::executeCommand("ls -type \"transform\"", before);
    MGlobal::executeCommand(firstQuadCommand(context.quadPoints, context.mirroredQuadPoints, meshName), false,
                            true);
    removeUsedPoints(context, context.quadPoints);

    // The new mesh is the transform that was not there before; hiliting it makes it the next target.
    MStringArray after;
    MGlobal::executeCommand("ls -type \"transform\"", after);
    for (unsigned i = 0; i < after.length(); ++i) {
        bool existed = false;
        for (unsigned k = 0; k < before.length() && !existed; ++k) existed = after[i] == before[k];
        if (existed) continue;
        MSelectionList list;
        list.add(after[i]);
        MGlobal::displayInfo(" " + after[i]);
        MGlobal::setHiliteList(list);
        break;
    }
}

void commitQuad(quadDrawContext& context) {
    if (!context.targetMesh.isValid()) {
        createFirstQuad(context);
        return;
    }
    readQuadPoints(context);
    context.mirroredQuadPoints = mirrorQuadPoints(context, context.quadPoints);
    matchQuadToBorder(context);
    removeUsedPoints(context, context.quadPoints);
    appendQuad(context);
}
