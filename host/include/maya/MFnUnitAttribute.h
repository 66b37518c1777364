#pragma once
// Function set for unit attributes: a double holding a distance, an angle or a time. Values are stored in
// the internal units (centimetres, radians, seconds); the create, limit and default forms that take an
// MDistance, MAngle or MTime convert, the plain double forms are in the internal unit.
#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MFnAttribute.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTime.h>
#include <maya/MTypes.h>

class MFnUnitAttribute : public MFnAttribute {
public:
    enum Type { kInvalid, kAngle, kDistance, kTime, kLast };

    MFnUnitAttribute();
    MFnUnitAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnUnitAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnUnitAttribute();

    MFn::Type type() const override;
    static const char* className();

    MObject create(const MString& fullName, const MString& briefName, Type unitType,
                   double defaultValue = 0.0, MStatus* ReturnStatus = NULL);
    MObject create(const MString& fullName, const MString& briefName, const MTime& defaultValue,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MString& fullName, const MString& briefName, const MDistance& defaultValue,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MString& fullName, const MString& briefName, const MAngle& defaultValue,
                   MStatus* ReturnStatus = NULL);

    Type unitType(MStatus* ReturnStatus = NULL) const;

    bool hasMin(MStatus* ReturnStatus = NULL) const;
    bool hasMax(MStatus* ReturnStatus = NULL) const;
    bool hasSoftMin(MStatus* ReturnStatus = NULL) const;
    bool hasSoftMax(MStatus* ReturnStatus = NULL) const;
    MStatus getMin(double& minValue) const;
    MStatus getMin(MTime& minValue) const;
    MStatus getMin(MDistance& minValue) const;
    MStatus getMin(MAngle& minValue) const;
    MStatus getMax(double& maxValue) const;
    MStatus getMax(MTime& maxValue) const;
    MStatus getMax(MDistance& maxValue) const;
    MStatus getMax(MAngle& maxValue) const;
    MStatus getSoftMin(double& minValue) const;
    MStatus getSoftMin(MTime& minValue) const;
    MStatus getSoftMin(MDistance& minValue) const;
    MStatus getSoftMin(MAngle& minValue) const;
    MStatus getSoftMax(double& maxValue) const;
    MStatus getSoftMax(MTime& maxValue) const;
    MStatus getSoftMax(MDistance& maxValue) const;
    MStatus getSoftMax(MAngle& maxValue) const;
    MStatus setMin(double minValue);
    MStatus setMin(const MTime& minValue);
    MStatus setMin(const MDistance& minValue);
    MStatus setMin(const MAngle& minValue);
    MStatus setMax(double maxValue);
    MStatus setMax(const MTime& maxValue);
    MStatus setMax(const MDistance& maxValue);
    MStatus setMax(const MAngle& maxValue);
    MStatus setSoftMin(double minValue);
    MStatus setSoftMin(const MTime& minValue);
    MStatus setSoftMin(const MDistance& minValue);
    MStatus setSoftMin(const MAngle& minValue);
    MStatus setSoftMax(double maxValue);
    MStatus setSoftMax(const MTime& maxValue);
    MStatus setSoftMax(const MDistance& maxValue);
    MStatus setSoftMax(const MAngle& maxValue);
    MStatus getDefault(double& defaultValue);
    MStatus getDefault(MTime& defaultValue);
    MStatus getDefault(MDistance& defaultValue);
    MStatus getDefault(MAngle& defaultValue);
    MStatus setDefault(double defaultValue);
    MStatus setDefault(const MTime& defaultValue);
    MStatus setDefault(const MDistance& defaultValue);
    MStatus setDefault(const MAngle& defaultValue);

protected:
    bool compatibleWith(const MObject& object) const override;
};
