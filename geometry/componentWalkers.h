#pragma once
// Walkers over mesh components: edge rings and loops through quads, the loop path between two edges, and
// the face region enclosed by border edges; plus the edge and face lists behind them. Loops and rings
// continue only through regular quad topology: a loop passes a vertex only when it has exactly 4 edges
// (taking the edge opposite the one it came by), a ring crosses only 4-sided faces and never an edge that
// 3 or more faces share.
//
// Errors: the walkers print nothing and never fail; a record or path the mesh does not have, or topology
// that stops a walk, gives an empty or partial component. Callers decide whether that is worth a message.
#include <maya/MDagPath.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>

#include "geometry/rayIntersectionData.h"

// The ids of the edges of the first item of the list (its path and component), in visiting order.
MIntArray edgeIdsOfSelectionItem(const MSelectionList& list);

// The edges of every face of a face component, face by face (repetitions kept).
MIntArray faceEdgesComponent(const MDagPath& mesh, MObject& faceComponent);

// The faces of every edge of an edge component, edge by edge (repetitions kept).
MIntArray edgeFacesComponent(const MDagPath& mesh, MObject& edgeComponent);

// The edge ring through the picked edge, as one edge component on its mesh.
MSelectionList edgeRingFromEdge(const rayIntersectionData& edgeHit);

// The edge loop through the picked edge, as one edge component on its mesh.
MSelectionList edgeLoopFromEdge(const rayIntersectionData& edgeHit);

// The edges of the loop from edge a up to and including edge b, on the mesh of the list's first item.
// Of the two directions the shorter successful walk wins (the one leaving a's first vertex on a tie);
// when b cannot be reached along the loop the result is a alone.
MSelectionList edgeLoopPathBetweenEdges(const MSelectionList& meshList, int edgeA, int edgeB);

// The edges of the ring from edge a up to and including edge b, on the mesh of the list's first item: one
// walk leaves a through each of its faces, crossing 4-sided faces to the opposite edge and continuing only
// over edges with two faces; the shorter walk that reaches b wins (the first on a tie). When neither
// reaches b the result is a alone; when a's faces cannot be read it is an empty list.
MSelectionList edgeRingPathBetweenEdges(const MSelectionList& meshList, int edgeA, int edgeB);

// The faces reachable from the seed faces without crossing an edge of the border selection, seed faces
// included, as one face component.
MSelectionList faceRegionWithinEdges(MObject& seedFaces, const MDagPath& mesh, const MSelectionList& border);
