#pragma once
// A picked mesh component: the mesh shape that was hit, how deep along the view ray the hit lies, and
// which vertex, face or edge the pick settled on, with its world-space point.
#include <maya/MDagPath.h>
#include <maya/MPoint.h>

#include <vector>

class rayIntersectionData {
public:
    // Values of componentType.
    enum ComponentType { kNoComponent = 0, kVertex = 1, kFace = 2, kEdge = 3 };

    rayIntersectionData();
    rayIntersectionData(const rayIntersectionData& other);
    rayIntersectionData& operator=(const rayIntersectionData& other);
    virtual ~rayIntersectionData();

    MDagPath meshPath;  // the mesh shape that was hit
    double distance;    // depth ratio of the hit along its view ray; smaller is nearer the camera
    int componentId;    // index of the face, vertex or edge
    int componentType;  // 1 vertex, 2 face, 3 edge (0 while nothing is picked)
    MPoint point;       // world-space point of the hit or of the chosen component
};

// Hits of one ray cast, in the order the meshes were visited.
typedef std::vector<rayIntersectionData> rayIntersectionArray;
