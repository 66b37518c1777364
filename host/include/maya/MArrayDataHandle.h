#pragma once
// A handle on an array attribute's value during compute: iterates over its existing elements (in logical
// index order) and hands out a data handle for each.
#include <maya/MArrayDataBuilder.h>
#include <maya/MDataHandle.h>
#include <maya/MStatus.h>

#include <memory>

namespace kxh {
struct ArrayHandleState;
}

class MArrayDataHandle {
public:
    MArrayDataHandle(const MDataHandle& in, MStatus* ReturnStatus = NULL);
    MArrayDataHandle(const MArrayDataHandle& other);
    ~MArrayDataHandle();
    MArrayDataHandle& operator=(const MArrayDataHandle& other);

    MDataHandle inputValue(MStatus* ReturnStatus = NULL);
    MDataHandle outputValue(MStatus* ReturnStatus = NULL);
    MArrayDataHandle inputArrayValue(MStatus* ReturnStatus = NULL);
    MArrayDataHandle outputArrayValue(MStatus* ReturnStatus = NULL);
    MStatus next();
    unsigned int elementCount(MStatus* ReturnStatus = NULL);
    unsigned int elementIndex(MStatus* ReturnStatus = NULL);
    MStatus jumpToElement(unsigned int index);
    MStatus jumpToArrayElement(unsigned int position);
    MStatus setClean();
    MStatus setAllClean();
    MArrayDataBuilder builder(MStatus* ReturnStatus = NULL);
    MStatus set(MArrayDataBuilder& builder);

    // Host side.
    explicit MArrayDataHandle(std::shared_ptr<kxh::ArrayHandleState> state);

private:
    std::shared_ptr<kxh::ArrayHandleState> state_;
};
