#pragma once
// An array of unsigned integers.
#include <maya/detail/ArrayStore.h>

class MUintArray : public kxh::ArrayStore<unsigned int, MUintArray> {
public:
    using ArrayStore::ArrayStore;
    MUintArray() = default;
};
