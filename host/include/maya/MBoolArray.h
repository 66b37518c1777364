#pragma once
// An array of booleans.
#include <maya/detail/ArrayStore.h>

class MBoolArray : public kxh::ArrayStore<bool, MBoolArray> {
public:
    using ArrayStore::ArrayStore;
    MBoolArray() = default;
};
