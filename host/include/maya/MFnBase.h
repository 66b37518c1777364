#pragma once
// The base of all function sets: holds the object the set is attached to.
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

class MFnBase {
public:
    MFnBase();
    virtual ~MFnBase();

    virtual MFn::Type type() const;
    bool hasObj(MFn::Type type) const;
    bool hasObj(const MObject& object) const;
    MObject object(MStatus* ReturnStatus = NULL) const;
    virtual MStatus setObject(MObject& object);
    virtual MStatus setObject(const MObject& object);

    static const char* className();

protected:
    // Attaches when the object is compatible (compatibleWith); otherwise detaches and fails.
    MStatus attach(const MObject& object);
    // Whether the set can operate on the object; by default when the object has the set's type().
    virtual bool compatibleWith(const MObject& object) const;
    MObject object_;

private:
    MFnBase(const MFnBase&) = delete;
    MFnBase& operator=(const MFnBase&) = delete;
};
