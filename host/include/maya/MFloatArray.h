#pragma once
// An array of floats.
#include <maya/detail/ArrayStore.h>

class MFloatArray : public kxh::ArrayStore<float, MFloatArray> {
public:
    using ArrayStore::ArrayStore;
    MFloatArray() = default;
};
