#pragma once
// Shared set-up for the point-gesture tests: a grid of unit quads centred on the origin (symmetric across
// x = 0) under a transform that is moved and turned, so that object-space mirroring differs from world
// space; its world points and neighbour lists; and the soft region around a vertex and its mirror.
#include <maya/MFnMesh.h>
#include <maya/MMatrix.h>
#include <maya/MPointArray.h>

#include <cmath>
#include <vector>

#include "geometry/geometry_fixture.h"
#include "modeling/pointGestures.h"

class GesturesTest : public GeometryTest {
protected:
    // A 10 x 10 grid of unit quads in the object's xz plane, placed by its transform when `placed`.
    MDagPath grid(bool placed = true) {
        mel("polyPlane -w 10 -h 10 -sx 10 -sy 10 -n grid");
        if (placed) {
            mel("setAttr grid.translate 3 -2 5");
            mel("setAttr grid.rotate 20 35 -10");
        }
        mesh_ = shapeOf("grid");
        readMesh();
        return mesh_;
    }
    void readMesh() {
        MFnMesh(mesh_).getPoints(before_, MSpace::kWorld);
        neighbours_ = vertexNeighbours(mesh_);
    }
    // The world position of a point given in the grid's object space.
    MPoint world(const MPoint& object) const { return object * mesh_.inclusiveMatrix(); }
    int vertexAtObject(const MPoint& object) const { return vertexAt(mesh_, world(object)); }
    rayIntersectionData vertexHit(const MPoint& object) const {
        return hitRecord(mesh_, rayIntersectionData::kVertex, vertexAtObject(object), world(object));
    }
    GestureMirror mirrorX() const { return gestureMirrorFor(mesh_, true, 0, false); }

    // The region around the vertex at `object` (and, with mirror, around its reflection across x = 0).
    SoftRegion region(const MPoint& object, double radius, bool mirror) const {
        SoftRegion r;
        buildSoftRegion(vertexHit(object), vertexHit(MPoint(-object.x, object.y, object.z)), mirror, radius,
                        before_, neighbours_, r);
        return r;
    }
    static double weightOf(const SoftRegion& r, int id) {
        for (unsigned i = 0; i < r.ids.length(); ++i)
            if (r.ids[i] == id) return r.weights[i];
        return -1;
    }

    MDagPath mesh_;
    MPointArray before_;
    std::vector<MIntArray> neighbours_;
};
