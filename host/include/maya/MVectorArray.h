#pragma once
// An array of double-precision vectors.
#include <maya/MVector.h>
#include <maya/detail/ArrayStore.h>

class MVectorArray : public kxh::ArrayStore<MVector, MVectorArray> {
public:
    using ArrayStore::ArrayStore;
    using ArrayStore::get;
    using ArrayStore::set;
    MVectorArray() = default;
    MVectorArray(const double src[][3], unsigned int count);
    MVectorArray(const float src[][3], unsigned int count);

    MStatus set(const double element[3], unsigned int index);
    MStatus set(const float element[3], unsigned int index);
    MStatus get(double dest[][3]) const;
    MStatus get(float dest[][3]) const;
};
