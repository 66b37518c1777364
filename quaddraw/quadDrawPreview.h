#pragma once
// The quad draw tool's preview, as functions of their inputs: which candidates a face may use, the four
// nearest the cursor, their order around the face, and when a quad would duplicate an existing face.
//
// Candidates are the loose points followed by the camera-facing border vertices of the mesh being built.
// Positions are world points; screen positions are view-port pixels (z ignored).
#include <maya/MPointArray.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#include <vector>

// The border positions a face may use: all of them, or with `ignoreBackfaces` only those whose normal
// faces the camera (normal . rayDirection <= 0); none when positions and normals are out of step.
MPointArray visibleBorderPoints(const MPointArray& positions, const MVectorArray& normals,
                                const MVector& rayDirection, bool ignoreBackfaces);

// Indices of the four candidates nearest (x, y) on screen, nearest first; fewer when fewer project. A
// candidate counts only when nearer than kFarPixels, and a strictly nearer one goes first (ties keep the
// earlier). Candidates closer than `mergeDistance` to each other in the world count once: a border vertex
// (index >= firstBorder) takes the place of a loose point it coincides with, otherwise the nearer one on
// screen stays. `projected[i]` is false for a candidate that could not be projected (never taken).
std::vector<int> nearestDistinctCandidates(const MPointArray& screen, const std::vector<bool>& projected,
                                           const MPointArray& world, unsigned firstBorder, double x, double y,
                                           double mergeDistance);

// Orders four corners around their centre in screen space: the first point, then counter-clockwise (y up)
// the point at the smallest positive angle from it, the opposite one, and the one at the smallest negative
// angle. screen holds the corners' port positions (z ignored), world the matching world points.
MPointArray orderQuadCorners(const MPointArray& screen, const MPointArray& world);

// How many of the quad's points are exactly equal (x, y and z) to one of the face's points. A quad with
// more than two corners on an existing face would duplicate it.
int countCornersOnFace(const MPointArray& quad, const MPointArray& facePoints);
