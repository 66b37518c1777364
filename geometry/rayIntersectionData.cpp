#include "geometry/rayIntersectionData.h"

rayIntersectionData::rayIntersectionData()
    : distance(0.0), componentId(-1), componentType(kNoComponent), point(0.0, 0.0, 0.0, 1.0) {}

rayIntersectionData::rayIntersectionData(const rayIntersectionData& other)
    : meshPath(other.meshPath),
      distance(other.distance),
      componentId(other.componentId),
      componentType(other.componentType),
      point(other.point) {}

rayIntersectionData& rayIntersectionData::operator=(const rayIntersectionData& other) {
    if (this != &other) {
        meshPath = other.meshPath;
        distance = other.distance;
        componentId = other.componentId;
        componentType = other.componentType;
        point = other.point;
    }
    return *this;
}

rayIntersectionData::~rayIntersectionData() {}
