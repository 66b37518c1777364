#pragma once
// Construction-history surgery for commands that insert a node of their own between a mesh and whatever
// feeds it (a node with "inMesh" and "outMesh" mesh attributes), and take it out again on undo.
//
// A mesh may carry per-vertex point tweaks in its "pnts" array. A node inserted upstream would see the
// points without them, so the tweaks are moved into a polyTweak node placed in front of the inserted node
// (and moved back on removal). A mesh without history gets an intermediate "Orig" copy of itself under its
// transform to feed the chain; removal bakes the history away again.
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

// Whether the shape's "inMesh" is connected (the mesh has construction history).
bool hasInputMeshConnection(const MObject& meshShape);

// Whether any element of the shape's "pnts" array holds a non-zero offset.
bool hasPointTweaks(const MObject& meshShape);

// Places `modifierNode` between the mesh shape and what fed its "inMesh":
//   upstream (or a new "Orig" shape) -> [tweakNode] -> modifierNode -> shape.
// With hasTweaks the shape's tweaks move into `tweakNode` (a polyTweak); when they cannot be moved the error
// "error setting tweaks on node" is displayed and the call fails. Any failure after the shape was cut from
// its input takes back what was done and reconnects that input: the mesh is left as it was.
// Errors: returns the failed step's status; apart from the tweak message above, the caller reports.
MStatus insertModifierNode(const MDagPath& meshShape, MObject& modifierNode, MObject& tweakNode,
                           bool hasHistory, bool hasTweaks);

// Reverses insertModifierNode given the same flags: the tweaks go back to the shape, the modifier node is
// deleted, and the original upstream feeds the shape again (without history, the "Orig" shape is baked
// away with "delete -constructionHistory"). Both objects are reset to null. Returns the failed step's
// status and prints nothing; the caller reports.
MStatus removeModifierNode(const MDagPath& meshShape, MObject& modifierNode, MObject& tweakNode,
                           bool hasHistory, bool hasTweaks);
