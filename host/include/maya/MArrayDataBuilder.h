#pragma once
// Builds the elements of an array attribute's value during compute; handed to MArrayDataHandle::set.
#include <maya/MDataHandle.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <memory>

class MDataBlock;

namespace kxh {
struct ArrayBuilderState;
}

class MArrayDataBuilder {
public:
    MArrayDataBuilder(const MObject& attribute, unsigned int numElements, MStatus* ReturnStatus = NULL);
    MArrayDataBuilder(MDataBlock* block, const MObject& attribute, unsigned int numElements,
                      MStatus* ReturnStatus = NULL);
    MArrayDataBuilder(const MArrayDataBuilder& other);
    ~MArrayDataBuilder();
    MArrayDataBuilder& operator=(const MArrayDataBuilder& other);

    MDataHandle addElement(unsigned int index, MStatus* ReturnStatus = NULL);
    MDataHandle addLast(MStatus* ReturnStatus = NULL);
    MStatus removeElement(unsigned int index);
    unsigned int elementCount(MStatus* ReturnStatus = NULL) const;
    MDataHandle inputValue(MStatus* ReturnStatus = NULL);
    MStatus growArray(unsigned int amount);
    MStatus setGrowSize(unsigned int size);

    // Host side.
    explicit MArrayDataBuilder(std::shared_ptr<kxh::ArrayBuilderState> state);
    const std::shared_ptr<kxh::ArrayBuilderState>& state() const { return state_; }

private:
    std::shared_ptr<kxh::ArrayBuilderState> state_;
};
