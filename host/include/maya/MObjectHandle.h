#pragma once
// A handle that tells whether the object an MObject refers to still exists: isValid is false once the node
// was deleted (and true again when an undo brings it back); isAlive is true while the object is in memory.
#include <maya/MObject.h>

class MObjectHandle {
public:
    MObjectHandle();
    MObjectHandle(const MObject& object);
    MObjectHandle(const MObjectHandle& handle);
    ~MObjectHandle();

    MObject object() const;
    const MObject& objectRef() const;
    unsigned int hashCode() const;
    bool isValid() const;
    bool isAlive() const;

    bool operator==(const MObject& object) const;
    bool operator==(const MObjectHandle& object) const;
    bool operator!=(const MObject& object) const;
    bool operator!=(const MObjectHandle& object) const;
    MObjectHandle& operator=(const MObject& object);
    MObjectHandle& operator=(const MObjectHandle& other);

private:
    MObject object_;
};
