#pragma once
// An array of MObjects.
#include <maya/MObject.h>
#include <maya/detail/ArrayStore.h>

class MObjectArray : public kxh::ArrayStore<MObject, MObjectArray> {
public:
    using ArrayStore::ArrayStore;
    MObjectArray() = default;
};
