#pragma once
// An array of single-precision points.
#include <maya/MFloatPoint.h>
#include <maya/detail/ArrayStore.h>

class MFloatPointArray : public kxh::ArrayStore<MFloatPoint, MFloatPointArray> {
public:
    using ArrayStore::append;
    using ArrayStore::ArrayStore;
    using ArrayStore::get;
    using ArrayStore::set;
    MFloatPointArray() = default;
    MFloatPointArray(const float src[][4], unsigned int count);
    MFloatPointArray(const double src[][4], unsigned int count);

    MStatus set(unsigned int index, float x, float y, float z = 0.0f, float w = 1.0f);
    MStatus get(float dest[][4]) const;
    MStatus get(double dest[][4]) const;
    MStatus append(float x, float y, float z = 0.0f, float w = 1.0f);
};
