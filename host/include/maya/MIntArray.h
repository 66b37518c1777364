#pragma once
// An array of integers.
#include <maya/detail/ArrayStore.h>

class MIntArray : public kxh::ArrayStore<int, MIntArray> {
public:
    using ArrayStore::ArrayStore;
    MIntArray() = default;
};
