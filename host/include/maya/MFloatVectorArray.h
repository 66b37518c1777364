#pragma once
// An array of single-precision vectors.
#include <maya/MFloatVector.h>
#include <maya/detail/ArrayStore.h>

class MFloatVectorArray : public kxh::ArrayStore<MFloatVector, MFloatVectorArray> {
public:
    using ArrayStore::ArrayStore;
    using ArrayStore::get;
    using ArrayStore::set;
    MFloatVectorArray() = default;
    MFloatVectorArray(const float src[][3], unsigned int count);

    MStatus set(const float element[3], unsigned int index);
    MStatus get(float dest[][3]) const;
};
