#include "quaddraw/quadDrawFaces.h"

#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MStatus.h>
#include <maya/MStringArray.h>

#include <cmath>
#include <vector>

namespace {

bool samePoint(const MPoint& a, const MPoint& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

double& coordinate(MPoint& p, int axis) {
    return axis == 1 ? p.y : axis == 2 ? p.z : p.x;
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

// The border vertex nearest `p` within `distance`, or -1.
int borderVertexNear(const QuadBorder& border, const MPoint& p, double distance) {
    int found = -1;
    double best = distance;
    for (unsigned b = 0; b < border.positions.length() && b < border.vertexIds.length(); ++b) {
        const double d = border.positions[b].distanceTo(p);
        if (d <= best) {
            best = d;
            found = border.vertexIds[b];
        }
    }
    return found;
}

bool allNearPlane(const MPointArray& quad, const QuadMirror& mirror) {
    for (unsigned c = 0; c < quad.length(); ++c)
        if (!mirror.nearPlane(quad[c])) return false;
    return quad.length() > 0;
}

}  // namespace

// --- Mirror ---------------------------------------------------------------------------------------------

MPoint QuadMirror::reflect(const MPoint& world) const {
    MPoint p = world * space.inverse();
    coordinate(p, axis) = -coordinate(p, axis);
    return p * space;
}

bool QuadMirror::nearPlane(const MPoint& world) const {
    MPoint p = world * space.inverse();
    return std::fabs(coordinate(p, axis)) <= double(mergeDistance);
}

MPoint QuadMirror::ontoPlane(const MPoint& world) const {
    MPoint p = world * space.inverse();
    coordinate(p, axis) = 0.0;
    return p * space;
}

QuadMirror quadMirrorFor(const MDagPath& target, bool enabled, int axis, bool worldSpace,
                         float mergeDistance) {
    QuadMirror mirror;
    mirror.enabled = enabled;
    mirror.axis = axis;
    mirror.mergeDistance = mergeDistance;
    if (target.isValid() && !worldSpace) mirror.space = target.inclusiveMatrix();
    return mirror;
}

MPointArray mirrorQuadPoints(const MPointArray& points, const QuadMirror& mirror) {
    MPointArray out;
    if (!mirror.enabled) return out;
    for (unsigned i = points.length(); i-- > 0;) out.append(mirror.reflect(points[i]));
    return out;
}

MPointArray snapSeamCorners(const MPointArray& quad, const MIntArray& cornerIds, const QuadMirror& mirror) {
    MPointArray out(quad);
    if (!mirror.enabled) return out;
    for (unsigned c = 0; c < out.length(); ++c) {
        const bool onBorder = c < cornerIds.length() && cornerIds[c] != 0;
        if (!onBorder && mirror.nearPlane(out[c])) out[c] = mirror.ontoPlane(out[c]);
    }
    return out;
}

// --- Border and loose points ----------------------------------------------------------------------------

MIntArray matchQuadToBorder(const MPointArray& quad, const QuadBorder& border) {
    MIntArray ids;
    for (unsigned c = 0; c < quad.length(); ++c) {
        int id = 0;
        for (unsigned b = 0; b < border.positions.length() && b < border.vertexIds.length(); ++b)
            if (samePoint(border.positions[b], quad[c])) id = border.vertexIds[b] + 1;
        ids.append(id);
    }
    return ids;
}

MPointArray withoutUsedPoints(const MPointArray& loose, const MPointArray& used, double mergeDistance) {
    MPointArray kept;
    for (unsigned i = 0; i < loose.length(); ++i) {
        bool isUsed = false;
        for (unsigned k = 0; k < used.length() && !isUsed; ++k)
            isUsed = samePoint(loose[i], used[k]) || loose[i].distanceTo(used[k]) <= mergeDistance;
        if (!isUsed) kept.append(loose[i]);
    }
    return kept;
}

// --- Command strings -------------------------------------------------------------------------------------

MString appendQuadCommand(const MString& mesh, const MMatrix& worldToObject, int vertexCount,
                          const MPointArray& quad, const MIntArray& cornerIds, const QuadBorder& border,
                          const QuadMirror& mirror) {
    const unsigned corners = quad.length();
    // The vertex each corner becomes: its border vertex, or the next id the append gives a new point.
    std::vector<int> vertexOf(corners, -1);
    int next = vertexCount;
    MString command("polyAppendVertex");
    for (unsigned c = 0; c < corners; ++c) {
        const int id = c < cornerIds.length() ? cornerIds[c] : 0;
        if (id == 0) {
            command += pointArgument(quad[c] * worldToObject);
            vertexOf[c] = next++;
        } else {
            command += vertexArgument(id - 1);
            vertexOf[c] = id - 1;
        }
    }
    command += " " + mesh + "; ";
    if (!mirror.enabled || allNearPlane(quad, mirror)) return command;

    // The mirrored face goes round the other way.
    MString mirrored("polyAppendVertex");
    for (unsigned r = 0; r < corners; ++r) {
        const unsigned c = corners - 1 - r;
        if (mirror.nearPlane(quad[c])) {
            mirrored += vertexArgument(vertexOf[c]);  // the seam: one vertex for both faces
            continue;
        }
        const MPoint image = mirror.reflect(quad[c]);
        const int onBorder = borderVertexNear(border, image, mirror.mergeDistance);
        mirrored += onBorder >= 0 ? vertexArgument(onBorder) : pointArgument(image * worldToObject);
    }
    return command + mirrored + " " + mesh + "; ";
}

MString firstQuadCommand(const MPointArray& quad, const MPointArray& mirrored, float mergeDistance,
                         const MString& meshName) {
    MString a, b;
    for (unsigned i = 0; i < quad.length(); ++i) a += pointArgument(quad[i]);
    for (unsigned i = 0; i < mirrored.length(); ++i) b += pointArgument(mirrored[i]);
    if (mirrored.length() > 0) {
        MString command = "polyCreateFacet" + a + " " + meshName + "; " + "polyAppendVertex" + b + " " +
                          meshName + "; " + "polyMergeVertex -d ";
        // Appended as a float, the distance reads "0.01" rather than the float's double expansion.
        command += mergeDistance;
        return command + " " + meshName + "; select -d;";
    }
    return "polyCreateFacet" + a + " " + meshName + "; " + meshName + "; select -d;";
}

// --- Building ---------------------------------------------------------------------------------------------

QuadCommitResult createFirstQuad(const QuadCommitInput& input, const QuadMirror& mirror) {
    QuadCommitResult result;
    const MPointArray quad = snapSeamCorners(input.quad, MIntArray(), mirror);
    // A face lying on the plane is its own mirror image.
    const MPointArray mirrored = allNearPlane(quad, mirror) ? MPointArray() : mirrorQuadPoints(quad, mirror);
    const MString meshName = input.target.isValid() ? input.target.fullPathName() : MString();

    MStringArray before;
    MGlobal::executeCommand("ls -type \"transform\"", before);
    result.ok = bool(MGlobal::executeCommand(firstQuadCommand(quad, mirrored, mirror.mergeDistance, meshName),
                                             false, true));
    result.loose = withoutUsedPoints(input.loose, input.quad, mirror.mergeDistance);
    result.looseChanged = result.loose.length() != input.loose.length();

    // The new mesh is the transform that was not there before; hiliting it makes it the next target.
    MStringArray after;
    MGlobal::executeCommand("ls -type \"transform\"", after);
    for (unsigned i = 0; i < after.length(); ++i) {
        bool existed = false;
        for (unsigned k = 0; k < before.length() && !existed; ++k) existed = after[i] == before[k];
        if (existed) continue;
        MGlobal::displayInfo(" " + after[i]);
        // Hilited by an undoable command, so undoing the face also gives back the hilite it replaced.
        MGlobal::executeCommand("hilite -r \"" + after[i] + "\"", false, true);
        result.newTransform = after[i];
        break;
    }
    return result;
}

QuadCommitResult commitQuad(const QuadCommitInput& input, const QuadMirror& mirror) {
    if (!input.target.isValid()) return createFirstQuad(input, mirror);
    QuadCommitResult result;
    const MIntArray ids = matchQuadToBorder(input.quad, input.border);
    const MPointArray quad = snapSeamCorners(input.quad, ids, mirror);
    result.loose = withoutUsedPoints(input.loose, input.quad, mirror.mergeDistance);
    result.looseChanged = result.loose.length() != input.loose.length();
    const int vertexCount = MFnMesh(input.target).numVertices();
    const MString command =
        appendQuadCommand(input.target.fullPathName(), input.target.inclusiveMatrixInverse(), vertexCount,
                          quad, ids, input.border, mirror);
    result.ok = bool(MGlobal::executeCommand(command, false, true));
    return result;
}
