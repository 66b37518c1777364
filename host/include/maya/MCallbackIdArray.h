#pragma once
// An array of callback ids (as returned by the message classes' add*Callback functions).
#include <maya/MTypes.h>
#include <maya/detail/ArrayStore.h>

typedef MUintPtrSz MCallbackId;

class MCallbackIdArray : public kxh::ArrayStore<MCallbackId, MCallbackIdArray> {
public:
    using ArrayStore::ArrayStore;
    MCallbackIdArray() = default;
};
