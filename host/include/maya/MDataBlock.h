#pragma once
// A node's data during compute: handles on its input values (evaluated on request, pulling upstream) and
// its output values (stored as compute sets them).
#include <maya/MArrayDataHandle.h>
#include <maya/MDGContext.h>
#include <maya/MDataHandle.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <memory>

class MPlug;

namespace kxh {
struct DataBlockState;
}

class MDataBlock {
public:
    MDataBlock(const MDataBlock& in);
    virtual ~MDataBlock();

    MDataHandle inputValue(const MPlug& plug, MStatus* ReturnStatus = NULL);
    MDataHandle inputValue(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MDataHandle outputValue(const MPlug& plug, MStatus* ReturnStatus = NULL);
    MDataHandle outputValue(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MArrayDataHandle inputArrayValue(const MPlug& plug, MStatus* ReturnStatus = NULL);
    MArrayDataHandle inputArrayValue(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MArrayDataHandle outputArrayValue(const MPlug& plug, MStatus* ReturnStatus = NULL);
    MArrayDataHandle outputArrayValue(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MStatus setClean(const MPlug& plug);
    MStatus setClean(const MObject& attribute);
    bool isClean(const MPlug& plug);
    bool isClean(const MObject& attribute, MStatus* ReturnStatus = NULL);
    MDGContext context(MStatus* ReturnStatus = NULL);
    MStatus setContext(const MDGContext& ctx);

    // Host side: a block over one node's values.
    explicit MDataBlock(std::shared_ptr<kxh::DataBlockState> state);
    const std::shared_ptr<kxh::DataBlockState>& state() const { return state_; }

private:
    MDataBlock& operator=(const MDataBlock&) = delete;
    std::shared_ptr<kxh::DataBlockState> state_;
};
