#pragma once
// An array of matrices.
#include <maya/MMatrix.h>
#include <maya/detail/ArrayStore.h>

class MMatrixArray : public kxh::ArrayStore<MMatrix, MMatrixArray> {
public:
    using ArrayStore::ArrayStore;
    MMatrixArray() = default;
};
