#pragma once
// A handle on one value of a node's data block during compute: an input (evaluated when the handle was
// taken) or an output (written with set(), or through the references the as...() functions return, and
// stored when the handle is set clean or compute returns).
#include <maya/MFloatVector.h>
#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTime.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#include <memory>

class MFloatVector;
class MMatrix;
class MPlug;
class MString;
class MTypeId;
class MVector;

namespace kxh {
struct DataHandleState;
}

class MDataHandle {
public:
    MDataHandle();
    MDataHandle(const MDataHandle& other);
    ~MDataHandle();
    MDataHandle& operator=(const MDataHandle& other);

    bool isNumeric() const;
    bool isGeneric(bool& isNumeric, bool& isNull) const;
    MFnNumericData::Type numericType() const;
    MFnData::Type type() const;
    MTypeId typeId() const;
    void setClean();
    MStatus copy(const MDataHandle& src);

    bool& asBool() const;
    char& asChar() const;
    unsigned char& asUChar() const;
    short& asShort() const;
    int& asInt() const;
    float& asFloat() const;
    double& asDouble() const;
    short2& asShort2() const;
    int2& asInt2() const;
    float2& asFloat2() const;
    double2& asDouble2() const;
    short3& asShort3() const;
    int3& asInt3() const;
    float3& asFloat3() const;
    double3& asDouble3() const;
    // asLong is the API's older name of asInt (an int, not a C long).
    int& asLong() const;
    int2& asLong2() const;
    int3& asLong3() const;
    // Unit attributes: the stored internal value (centimetres, radians, seconds) with its unit.
    MDistance asDistance() const;
    MAngle asAngle() const;
    MTime asTime() const;
    MVector& asVector() const;
    MFloatVector& asFloatVector() const;
    MMatrix& asMatrix() const;
    MString& asString() const;
    MObject data();
    MObject asMesh() const;

    void set(bool val);
    void set(char val);
    void set(short val);
    void set(int val);
    void set(float val);
    void set(double val);
    void set(const MMatrix& val);
    void set(short val1, short val2);
    void set(int val1, int val2);
    void set(float val1, float val2);
    void set(double val1, double val2);
    void set(short val1, short val2, short val3);
    void set(int val1, int val2, int val3);
    void set(float val1, float val2, float val3);
    void set(double val1, double val2, double val3);
    void set(const MVector& val);
    void set(const MFloatVector& val);
    void set(const MString& val);
    MStatus set(const MObject& val);
    MStatus setMObject(const MObject& val);
    void set(const MDistance& val);
    void set(const MAngle& val);
    void set(const MTime& val);
    void setMDistance(const MDistance& val);
    void setMAngle(const MAngle& val);
    void setMTime(const MTime& val);
    void set2Short(short val1, short val2);
    void set2Int(int val1, int val2);
    void set2Float(float val1, float val2);
    void set3Short(short val1, short val2, short val3);
    void set2Double(double val1, double val2);
    void set3Double(double val1, double val2, double val3);
    void set3Float(float val1, float val2, float val3);
    void set3Int(int val1, int val2, int val3);

    MDataHandle child(const MPlug& plug);
    MDataHandle child(const MObject& attribute);

    // Host side.
    explicit MDataHandle(std::shared_ptr<kxh::DataHandleState> state);
    const std::shared_ptr<kxh::DataHandleState>& state() const { return state_; }

private:
    std::shared_ptr<kxh::DataHandleState> state_;
};
