#pragma once
// An array of MDagPaths.
#include <maya/MDagPath.h>
#include <maya/detail/ArrayStore.h>

class MDagPathArray : public kxh::ArrayStore<MDagPath, MDagPathArray> {
public:
    using ArrayStore::ArrayStore;
    MDagPathArray() = default;
};
