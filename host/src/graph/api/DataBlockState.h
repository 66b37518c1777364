#pragma once
// The state behind MDataBlock and its handles (see DataBlock.cpp).
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MString.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#include <map>
#include <memory>
#include <vector>

#include "graph/core/Node.h"

namespace kxh {

// Typed copies of a handle's value that the as...() references point into.
struct HandleScratch {
    bool b = false;
    char c = 0;
    unsigned char uc = 0;
    short s = 0;
    int i = 0;
    float f = 0;
    double d = 0;
    short2 s2{};
    int2 i2{};
    float2 f2{};
    double2 d2{};
    short3 s3{};
    int3 i3{};
    float3 f3{};
    double3 d3{};
    MVector v3;
    MFloatVector fv;
    MMatrix m;
    MString str;

    void load(const Value& v);
    bool changedValue(const HandleScratch& before, const Attribute* attr, Value& out) const;
};

struct DataBlockState;

struct DataHandleState {
    Plug plug;  // null for a builder element not yet placed
    bool output = false;
    Value value;         // the value opened / last set
    MObject dataObject;  // the object data() handed out
    HandleScratch scratch, snapshot;
    std::shared_ptr<DataBlockState> block;

    void load(const Value& v);
    // Sets the value (outputs store it in the node now).
    void assign(const Value& v);
    // Stores what was written through references or data objects since the last store (outputs only).
    void commit();
};

struct DataBlockState {
    NodePtr node;
    std::vector<std::shared_ptr<DataHandleState>> handles;  // output handles, to store after compute

    std::shared_ptr<DataHandleState> open(const Plug& plug, bool output);
    void commitAll();
    void commitPlug(const Plug& plug);
};

struct ArrayHandleState {
    Plug arrayPlug;
    bool output = false;
    std::vector<int> indices;  // existing logical indices when opened
    size_t pos = 0;
    std::shared_ptr<DataBlockState> block;
};

struct ArrayBuilderState {
    Plug arrayPlug;  // null for a builder made from an attribute alone
    AttrPtr attr;
    std::map<int, std::shared_ptr<DataHandleState>> elements;
    std::shared_ptr<DataBlockState> block;
};

}  // namespace kxh
