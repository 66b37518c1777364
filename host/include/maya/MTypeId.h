#pragma once
// The numeric id of a node type (or user data type); plug-ins register their nodes under one.
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MTypeId {
public:
    MTypeId() : id_(0) {}
    MTypeId(unsigned int id) : id_(id) {}
    // A 24-bit prefix with an 8-bit id below it.
    MTypeId(unsigned int prefix, unsigned int id) : id_((prefix << 8) | (id & 0xffu)) {}
    MTypeId(const MTypeId& src) = default;
    ~MTypeId() = default;

    MTypeId& operator=(const MTypeId& src) = default;
    bool operator==(const MTypeId& other) const { return id_ == other.id_; }
    bool operator!=(const MTypeId& other) const { return id_ != other.id_; }

    unsigned int id(MStatus* ReturnStatus = NULL) const {
        if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
        return id_;
    }

private:
    unsigned int id_;
};
