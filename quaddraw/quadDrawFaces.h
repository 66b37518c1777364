#pragma once
// Face building of the quad draw tool: a Shift-release turns the four corners of the preview into a mesh
// face. The first face makes a new mesh (polyCreateFacet) that becomes the hilited target; later faces are
// appended to the target (polyAppendVertex), reusing a border vertex wherever a corner lies exactly on
// one. With mirroring on, the mirrored face is built in the same command string, and a first face is
// welded to its mirror (polyMergeVertex at the merge distance). The faces are built by undoable MEL
// commands; loose points used as corners leave the locator.
#include <maya/MPointArray.h>
#include <maya/MString.h>

class quadDrawContext;

// The Shift-release: createFirstQuad when there is no target yet, otherwise an appended face.
void commitQuad(quadDrawContext& context);
void createFirstQuad(quadDrawContext& context);

// The points mirrored across the mirror plane (ToolSettings mirrorAxis, in the target's object space or in
// world space), in reverse order; empty when mirroring is off.
MPointArray mirrorQuadPoints(quadDrawContext& context, const MPointArray& points);
// Per corner: the id + 1 of the border vertex at exactly that position (the last one wins), else 0.
void matchQuadToBorder(quadDrawContext& context);
// Drops the loose points exactly equal to one of the given points.
void removeUsedPoints(quadDrawContext& context, const MPointArray& points);
void appendQuad(quadDrawContext& context);

// The MEL strings the two cases run (appendQuad and createFirstQuad execute them).
MString appendQuadCommand(quadDrawContext& context);
MString firstQuadCommand(const MPointArray& quad, const MPointArray& mirrored, const MString& meshName);
