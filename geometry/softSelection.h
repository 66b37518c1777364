#pragma once
// Per-vertex data of point gestures: the pinned vertices of a mesh and the soft-selection region with its
// falloff weights around a picked component.
//
// Errors: these print nothing; a mesh or attribute that cannot be read gives empty results.
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MPointArray.h>

#include <vector>

#include "geometry/rayIntersectionData.h"

class MFnMesh;

// The pinned vertex ids stored in the shape's "kxparr" int array. Pins count only while that plug is
// connected (to a pin display); otherwise, or when the attribute is missing, the result is empty.
MIntArray pinnedVertexIds(const MDagPath& mesh);

// One byte per vertex of the mesh: 1 for each pinned vertex, 0 for the others.
std::vector<unsigned char> pinnedVertexMask(const MDagPath& mesh, const MFnMesh& meshFn);

// Smooth step from 1 at d = a down to 0 at d = b: 1 - t^2 (3 - 2t) with t = (d - a) / (b - a).
double smoothFalloff(double d, double a, double b);

// The soft-selection region around the picked component for `radius` (in the units of `positions`):
// vertex ids and weights in [0, 1]. The region grows depth-first from the component's vertices over
// `neighbours` (connected vertex ids per vertex) and takes every reached vertex whose position lies within
// the radius of the record's point; a vertex outside ends that branch. `visited` (one byte per vertex,
// grown to the vertex count when shorter) marks the vertices reached; vertices already marked are skipped.
// With radius 0 the result is the component's own vertices with weight 1.
void softSelectionWeights(const rayIntersectionData& hit, MIntArray& ids, MDoubleArray& weights,
                          std::vector<unsigned char>& visited, const MPointArray& positions,
                          const std::vector<MIntArray>& neighbours, double radius);
