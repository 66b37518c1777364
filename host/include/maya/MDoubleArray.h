#pragma once
// An array of doubles.
#include <maya/detail/ArrayStore.h>

class MDoubleArray : public kxh::ArrayStore<double, MDoubleArray> {
public:
    using ArrayStore::ArrayStore;
    MDoubleArray() = default;
};
