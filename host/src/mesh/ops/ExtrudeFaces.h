#pragma once
// Extruding faces, as the host's polyExtrudeFacet node computes it: the faces are lifted off the mesh
// along their normals and joined back to it by side walls.
//
// Faces kept together form regions (faces joined by an edge); otherwise every face is its own region.
// The vertices on a region's border are copied (the copies go after all other vertices, region by
// region, in the order the region's faces first use them); the region's faces move onto the copies and
// keep their ids; a region's inner vertices move in place. Every border edge of a region (an edge whose
// other face is outside the region, or that has no other face) gets `divisions` side quads, appended
// after all other faces, with the intermediate rings of vertices after the copies. A moving vertex goes
// along the normalised sum of the area-weighted normals of its region's faces around it, by
// localTranslateZ (the intermediate rings by equal fractions of it). Side corners take the UVs of the
// face corner they rise from.
#include <cmath>
#include <utility>
#include <vector>

#include "mesh/Mesh.h"

namespace kxh::ops {

struct ExtrudeOptions {
    double localTranslateZ = 0;  // centimetres, along the normals
    bool keepFacesTogether = true;
    int divisions = 1;  // side quads per border edge (at least 1)
    // The edges of the side faces are made hard where their faces meet at more than this (radians) and
    // soft elsewhere; pi or more leaves them as they are.
    double smoothingAngle = M_PI;
    // Along the way out, each region turns about its axis (the line through the centre of its vertices
    // along its normal) by up to `twist` radians, scales about it to `taper` times its size and is inset
    // toward it by up to `offset` centimetres; a ring of the sides takes its share of each.
    double twist = 0, taper = 1, offset = 0;
};

struct ExtrudeResult {
    int regions = 0;
    int sideFaces = 0;
    std::vector<int> faces;  // the extruded faces (their ids, unchanged), sorted
};

// Where the vertices an extrusion moves lie, so that another localTranslateZ needs no new extrusion:
// vertex ids[i] of the result lies at base[i] + direction[i] * (localTranslateZ * fraction[i]). Empty (no
// ids) when twist, taper or offset take part: the extrusion must then be made again.
struct ExtrudeMotion {
    std::vector<int> ids;
    std::vector<V3> base, direction;
    std::vector<double> fraction;
    double smoothingAngle = M_PI;
    std::vector<std::pair<int, int>> sideEdges;  // the edges smoothingAngle decides, as vertex pairs
};

// Ids out of range or repeated are ignored; no valid face leaves the mesh untouched. With `motion`, the
// moved vertices are recorded there.
ExtrudeResult extrudeFaces(Mesh& mesh, const std::vector<int>& faces, const ExtrudeOptions& options,
                           ExtrudeMotion* motion = nullptr);

// Puts the moved vertices of a mesh made by extrudeFaces (with this motion, points not edited since) where
// another localTranslateZ puts them: the same points a new extrusion would give, at the cost of the
// moved vertices.
void moveExtruded(Mesh& mesh, const ExtrudeMotion& motion, double localTranslateZ);

}  // namespace kxh::ops
