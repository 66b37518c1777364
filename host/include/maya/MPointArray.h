#pragma once
// An array of double-precision points.
#include <maya/MPoint.h>
#include <maya/detail/ArrayStore.h>

class MPointArray : public kxh::ArrayStore<MPoint, MPointArray> {
public:
    using ArrayStore::append;
    using ArrayStore::ArrayStore;
    using ArrayStore::get;
    using ArrayStore::set;
    MPointArray() = default;
    MPointArray(const double src[][4], unsigned int count);
    MPointArray(const float src[][4], unsigned int count);

    MStatus set(unsigned int index, double x, double y, double z = 0.0, double w = 1.0);
    MStatus set(const double element[4], unsigned int index);
    MStatus set(const float element[4], unsigned int index);
    MStatus get(double dest[][4]) const;
    MStatus get(float dest[][4]) const;
    MStatus append(double x, double y, double z = 0.0, double w = 1.0);
};
