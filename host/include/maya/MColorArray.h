#pragma once
// An array of colours.
#include <maya/MColor.h>
#include <maya/detail/ArrayStore.h>

class MColorArray : public kxh::ArrayStore<MColor, MColorArray> {
public:
    using ArrayStore::append;
    using ArrayStore::ArrayStore;
    using ArrayStore::set;
    MColorArray() = default;

    MStatus set(unsigned int index, float r, float g, float b, float a = 1.0f);
    MStatus append(float r, float g, float b, float a = 1.0f);
};
