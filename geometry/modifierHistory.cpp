#include "geometry/modifierHistory.h"

#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MString.h>

#include "geometry/units.h"

namespace {

// The plug connected into `plug`, or a null plug.
MPlug sourceOf(const MPlug& plug) {
    MPlugArray sources;
    if (plug.connectedTo(sources, true, false) && sources.length() > 0) return sources[0];
    return MPlug();
}

// The node's plug of that name; `st` tells whether the node and the attribute were there.
MPlug plugOf(const MObject& node, const char* name, MStatus& st) {
    MFnDependencyNode fn(node, &st);
    if (!st) return MPlug();
    return fn.findPlug(name, &st);
}

bool readFloat3(const MPlug& element, float value[3]) {
    for (unsigned c = 0; c < 3; ++c) {
        MStatus st = element.child(c).getValue(value[c]);
        if (!st) return false;
    }
    return true;
}

// "setAttr <plugPath>[L] x y z". The plug reads internal units (centimetres) while setAttr takes the
// user's unit, so the values are converted on the way.
MString setFloat3Command(const MString& arrayPath, unsigned logicalIndex, const float value[3]) {
    float toUi = centimetresToUiUnitFactor();
    MString cmd("setAttr ");
    cmd += arrayPath;
    cmd += "[";
    cmd += logicalIndex;
    cmd += "] ";
    cmd += double(value[0] * toUi);
    cmd += " ";
    cmd += double(value[1] * toUi);
    cmd += " ";
    cmd += double(value[2] * toUi);
    return cmd;
}

// Re-routes every connection of `from` (in either direction) to `to`.
bool moveConnections(MDGModifier& mod, const MPlug& from, const MPlug& to) {
    MPlugArray sources;
    if (from.connectedTo(sources, true, false)) {
        for (unsigned i = 0; i < sources.length(); ++i) {
            if (!mod.disconnect(sources[i], from) || !mod.connect(sources[i], to)) return false;
        }
    }
    MPlugArray destinations;
    if (from.connectedTo(destinations, false, true)) {
        for (unsigned i = 0; i < destinations.length(); ++i) {
            if (!mod.disconnect(from, destinations[i]) || !mod.connect(to, destinations[i])) return false;
        }
    }
    return true;
}

// Moves the connections of one float3 element, or of its connected children when the element itself is
// not connected.
bool moveElementConnections(MDGModifier& mod, const MPlug& from, const MPlug& to) {
    if (from.isConnected()) return moveConnections(mod, from, to);
    for (unsigned c = 0; c < 3; ++c) {
        MPlug child = from.child(c);
        if (child.isConnected() && !moveConnections(mod, child, to.child(c))) return false;
    }
    return true;
}

enum class TweakMove { ToNode, ToShape };

// ToNode queues, for every element L of the shape's "pnts": its value onto the tweak node's "tweak[L]",
// its connections onto that element, and the reset of the shape's element to zero. ToShape is the
// reverse: every element L of the tweak node's "tweak" back onto the shape's "pnts[L]", with its
// connections (the tweak node's elements are left as they are).
bool moveTweaks(MDGModifier& mod, const MDagPath& shapePath, const MObject& tweakNode, TweakMove direction) {
    if (tweakNode.isNull()) return false;
    MStatus st;
    MPlug pnts = plugOf(shapePath.node(), "pnts", st);
    if (!st) return false;
    MFnDependencyNode tweakFn(tweakNode, &st);
    if (!st) return false;
    MPlug tweaks = tweakFn.findPlug("tweak", &st);
    if (!st) return false;

    const bool toNode = direction == TweakMove::ToNode;
    const MPlug& from = toNode ? pnts : tweaks;
    const MPlug& to = toNode ? tweaks : pnts;
    MString pntsArray = shapePath.fullPathName() + ".pnts";
    MString toArray = toNode ? tweakFn.name() + ".tweak" : pntsArray;
    const float zero[3] = {0.0f, 0.0f, 0.0f};
    unsigned count = from.numElements();
    for (unsigned i = 0; i < count; ++i) {
        MPlug element = from.elementByPhysicalIndex(i, &st);
        if (!st) return false;
        unsigned logical = element.logicalIndex();
        float value[3];
        if (!readFloat3(element, value)) return false;
        if (!mod.commandToExecute(setFloat3Command(toArray, logical, value))) return false;
        if (!moveElementConnections(mod, element, to.elementByLogicalIndex(logical))) return false;
        if (toNode && !mod.commandToExecute(setFloat3Command(pntsArray, logical, zero))) return false;
    }
    return true;
}

// Duplicates the mesh, turns the copy's shape into an intermediate object named "<name>Orig" under the
// mesh's own transform and deletes the copy's transform. Returns the intermediate shape's "outMesh".
MPlug createIntermediateShape(MDagModifier& mod, const MDagPath& shapePath, MStatus& st) {
    MFnDagNode shapeFn(shapePath, &st);
    if (!st) return MPlug();
    MObject copy = shapeFn.duplicate(false, false, &st);
    if (!st) return MPlug();
    MFnDagNode copyFn(copy, &st);
    if (!st) return MPlug();
    MString copyPath = copyFn.fullPathName();
    MObject child = copyFn.child(0, &st);
    if (!st) return MPlug();
    MFnDagNode childFn(child, &st);
    if (!st) return MPlug();
    mod.commandToExecute("setAttr " + childFn.fullPathName() + ".intermediateObject true");
    MPlug outMesh = childFn.findPlug("outMesh", &st);
    if (!st) return MPlug();
    mod.renameNode(child, childFn.name() + "Orig");
    mod.reparentNode(child, shapePath.transform());
    mod.commandToExecute("delete " + copyPath);
    st = mod.doIt();
    return outMesh;
}

}  // namespace

bool hasInputMeshConnection(const MObject& meshShape) {
    MStatus st;
    MPlug inMesh = plugOf(meshShape, "inMesh", st);
    return st && inMesh.isConnected();
}

bool hasPointTweaks(const MObject& meshShape) {
    MStatus st;
    MPlug pnts = plugOf(meshShape, "pnts", st);
    if (!st) return false;
    unsigned count = pnts.numElements();
    for (unsigned i = 0; i < count; ++i) {
        float value[3];
        if (!readFloat3(pnts.elementByPhysicalIndex(i), value)) continue;
        if (value[0] != 0.0f || value[1] != 0.0f || value[2] != 0.0f) return true;
    }
    return false;
}

MStatus insertModifierNode(const MDagPath& meshShape, MObject& modifierNode, MObject& tweakNode,
                           bool hasHistory, bool hasTweaks) {
    MStatus st;
    MPlug shapeIn = plugOf(meshShape.node(), "inMesh", st);
    if (!st) return st;
    MPlug nodeIn = plugOf(modifierNode, "inMesh", st);
    if (!st) return st;
    MPlug nodeOut = plugOf(modifierNode, "outMesh", st);
    if (!st) return st;

    // Cut the shape off what fed it, at once, so nothing evaluates through both paths.
    const MPlug fed = sourceOf(shapeIn);
    if (!fed.isNull()) {
        MDGModifier cut;
        cut.disconnect(fed, shapeIn);
        st = cut.doIt();
        if (!st) return st;
    }

    MDagModifier mod;
    // Any later failure takes back what was done and feeds the shape from where it was fed before, so the
    // mesh keeps its history and its points.
    auto restore = [&](MStatus failure) {
        mod.undoIt();
        if (!fed.isNull() && !shapeIn.isConnected()) {
            MDGModifier back;
            back.connect(fed, shapeIn);
            back.doIt();
        }
        return failure;
    };

    MPlug upstream = fed;
    MPlug input = nodeIn;
    if (hasTweaks) {
        if (!moveTweaks(mod, meshShape, tweakNode, TweakMove::ToNode)) {
            MGlobal::displayError("error setting tweaks on node");
            return restore(MS::kFailure);
        }
        MFnDependencyNode tweakFn(tweakNode);
        input = tweakFn.findPlug("inputPolymesh", &st);
        if (!st) return restore(st);
        MPlug tweakOut = tweakFn.findPlug("output", &st);
        if (!st) return restore(st);
        mod.connect(tweakOut, nodeIn);
    }

    if (!hasHistory) {
        // Apply the tweak moves before copying the mesh: the intermediate shape must carry the untweaked
        // points, or the tweaks would count twice (once in the copy, once in the tweak node).
        st = mod.doIt();
        if (!st) return restore(st);
        upstream = createIntermediateShape(mod, meshShape, st);
        if (!st) return restore(st);
    }

    if (!upstream.isNull()) mod.connect(upstream, input);
    mod.connect(nodeOut, shapeIn);
    st = mod.doIt();
    return st ? st : restore(st);
}

MStatus removeModifierNode(const MDagPath& meshShape, MObject& modifierNode, MObject& tweakNode,
                           bool hasHistory, bool hasTweaks) {
    MStatus st;
    MPlug shapeIn = plugOf(meshShape.node(), "inMesh", st);
    if (!st) return st;
    MPlug nodeOut = plugOf(modifierNode, "outMesh", st);
    if (!st) return st;

    MDagModifier mod;
    MPlug upstreamSide;
    if (hasTweaks) {
        upstreamSide = plugOf(tweakNode, "inputPolymesh", st);
        if (!st) return st;
        if (!moveTweaks(mod, meshShape, tweakNode, TweakMove::ToShape)) return MS::kFailure;
    } else {
        upstreamSide = plugOf(modifierNode, "inMesh", st);
        if (!st) return st;
    }

    mod.disconnect(nodeOut, shapeIn);
    MPlug feeding = sourceOf(upstreamSide);
    if (!feeding.isNull()) mod.disconnect(feeding, upstreamSide);

    if (hasHistory) {
        if (!feeding.isNull()) mod.connect(feeding, shapeIn);
        st = mod.doIt();
        if (!st) return st;
        if (!modifierNode.isNull()) MGlobal::deleteNode(modifierNode);
    } else {
        st = mod.doIt();
        if (!st) return st;
        MGlobal::deleteNode(modifierNode);
        // The intermediate shape feeds the mesh once more, and baking the history deletes it.
        if (!feeding.isNull()) {
            MDGModifier reconnect;
            reconnect.connect(feeding, shapeIn);
            st = reconnect.doIt();
            if (!st) return st;
        }
        MGlobal::executeCommand("delete -constructionHistory " + meshShape.fullPathName());
    }

    modifierNode = MObject::kNullObj;
    tweakNode = MObject::kNullObj;
    return MS::kSuccess;
}
