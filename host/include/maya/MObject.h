#pragma once
// A generic handle on an object the host owns: a node, an attribute, a data value or a component.
// Function sets (MFn...) attach to an MObject to operate on what it refers to. Copies share the object.
#include <maya/MFn.h>
#include <maya/MTypes.h>

#include <memory>

namespace kxh {
class ApiObject;
}

class MObject {
public:
    MObject();
    MObject(const MObject& other);
    ~MObject();
    MObject& operator=(const MObject& other);

    bool hasFn(MFn::Type fs) const;
    bool isNull() const;
    MFn::Type apiType() const;
    const char* apiTypeStr() const;

    bool operator==(const MObject& other) const;
    bool operator!=(const MObject& other) const;

    // Not const: default arguments of the form `MObject& x = MObject::kNullObj` bind to it.
    static MObject kNullObj;

    // Host side: wraps an internal object / reads it back.
    explicit MObject(std::shared_ptr<kxh::ApiObject> object);
    const std::shared_ptr<kxh::ApiObject>& internal() const { return object_; }

private:
    std::shared_ptr<kxh::ApiObject> object_;
};
