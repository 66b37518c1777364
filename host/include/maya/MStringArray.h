#pragma once
// An array of strings.
#include <maya/MString.h>
#include <maya/detail/ArrayStore.h>

class MStringArray : public kxh::ArrayStore<MString, MStringArray> {
public:
    using ArrayStore::ArrayStore;
    MStringArray() = default;
};
