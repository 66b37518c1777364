#pragma once
// The host's polygon primitives (polyCube, polyPlane, polySphere), centred on the origin, each with the UV
// set "map1". Subdivision counts below the host's minimum are raised to it.
#include "mesh/Mesh.h"

namespace kxh {

// A box with sx*sy*sz subdivisions. Vertices wrap around the X axis first (front, top, back, bottom rows
// of sx+1 vertices, starting at (-w/2,-h/2,d/2)), then the inner vertices of the right and left sides.
// Faces: front, top, back, bottom, right, left, each row by row. UVs in the host's cross layout.
Mesh cube(double width = 1, double height = 1, double depth = 1, int subdivisionsX = 1, int subdivisionsY = 1,
          int subdivisionsZ = 1);

// A plane facing +Y: vertex 0 at (-w/2, 0, h/2), rows of sx+1 vertices along +X, successive rows toward -Z;
// UV (0,0) at vertex 0 and (1,1) at the far corner. `axis` turns the +Y normal onto that direction (the
// shortest rotation; a zero axis means +Y).
Mesh plane(double width = 1, double height = 1, int subdivisionsX = 10, int subdivisionsY = 10,
           V3 axis = V3{0, 1, 0});

// A UV sphere around +Y: (subdivisionsHeight-1) rings of subdivisionsAxis vertices from bottom to top, then
// the bottom and top poles. Faces: the quads ring by ring, then the bottom fan, then the top fan. UVs: a
// (subdivisionsAxis+1)-wide grid over the rings plus one UV per pole triangle.
Mesh sphere(double radius = 1, int subdivisionsAxis = 20, int subdivisionsHeight = 20);

}  // namespace kxh
