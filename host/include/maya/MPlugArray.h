#pragma once
// An array of MPlugs.
#include <maya/MPlug.h>
#include <maya/detail/ArrayStore.h>

class MPlugArray : public kxh::ArrayStore<MPlug, MPlugArray> {
public:
    using ArrayStore::ArrayStore;
    MPlugArray() = default;
};
