#pragma once
// An array of times.
#include <maya/MTime.h>
#include <maya/detail/ArrayStore.h>

class MTimeArray : public kxh::ArrayStore<MTime, MTimeArray> {
public:
    using ArrayStore::ArrayStore;
    MTimeArray() = default;
};
