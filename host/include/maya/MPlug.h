#pragma once
// A plug: one attribute of one node, narrowed to an element of each array attribute on the way
// ("node.attr[3].child"). Reading a plug evaluates the graph (pulling connected and computed values).
#include <maya/MAngle.h>
#include <maya/MDGContext.h>
#include <maya/MDistance.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTime.h>
#include <maya/MTypes.h>

#include <vector>

class MIntArray;
class MPlugArray;

class MPlug {
public:
    enum MValueSelector { kAll, kNonDefault, kChanged, kLastAttrSelector };

    MPlug();
    MPlug(const MPlug& in);
    MPlug(const MObject& node, const MObject& attribute);
    virtual ~MPlug();
    MPlug& operator=(const MPlug& other);

    MStatus setAttribute(MObject& attribute);
    MObject attribute(MStatus* ReturnStatus = NULL) const;
    MObject node(MStatus* ReturnStatus = NULL) const;
    MString name(MStatus* ReturnStatus = NULL) const;
    MString partialName(bool includeNodeName = false, bool includeNonMandatoryIndices = false,
                        bool includeInstancedIndices = false, bool useAlias = false,
                        bool useFullAttributePath = false, bool useLongNames = false,
                        MStatus* ReturnStatus = NULL) const;
    MString info(MStatus* ReturnStatus = NULL) const;

    bool isNull(MStatus* ReturnStatus = NULL) const;
    bool isNetworked(MStatus* ReturnStatus = NULL) const;
    bool isArray(MStatus* ReturnStatus = NULL) const;
    bool isElement(MStatus* ReturnStatus = NULL) const;
    bool isCompound(MStatus* ReturnStatus = NULL) const;
    bool isChild(MStatus* ReturnStatus = NULL) const;
    bool isDynamic(MStatus* ReturnStatus = NULL) const;
    bool isKeyable(MStatus* ReturnStatus = NULL) const;
    bool isLocked(MStatus* ReturnStatus = NULL) const;
    MStatus setLocked(bool locked);
    bool isConnected(MStatus* ReturnStatus = NULL) const;
    bool isSource(MStatus* ReturnStatus = NULL) const;
    bool isDestination(MStatus* ReturnStatus = NULL) const;
    bool isFromReferencedFile(MStatus* ReturnStatus = NULL) const;

    unsigned int logicalIndex(MStatus* ReturnStatus = NULL) const;
    MStatus selectAncestorLogicalIndex(unsigned int index, const MObject& attribute = MObject::kNullObj);
    unsigned int getExistingArrayAttributeIndices(MIntArray& indices, MStatus* ReturnStatus = NULL);
    unsigned int numElements(MStatus* ReturnStatus = NULL) const;
    unsigned int evaluateNumElements(MStatus* ReturnStatus = NULL);
    unsigned int numChildren(MStatus* ReturnStatus = NULL) const;
    unsigned int numConnectedElements(MStatus* ReturnStatus = NULL) const;
    unsigned int numConnectedChildren(MStatus* ReturnStatus = NULL) const;

    MPlug child(MObject& attr, MStatus* ReturnStatus = NULL) const;
    MPlug child(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MPlug parent(MStatus* ReturnStatus = NULL) const;
    MPlug array(MStatus* ReturnStatus = NULL) const;
    MPlug elementByLogicalIndex(unsigned int logicalIndex, MStatus* ReturnStatus = NULL) const;
    MPlug elementByPhysicalIndex(unsigned int physicalIndex, MStatus* ReturnStatus = NULL) const;
    MPlug connectionByPhysicalIndex(unsigned int physicalIndex, MStatus* ReturnStatus = NULL) const;
    MPlug operator[](MObject& attr) const;
    MPlug operator[](unsigned int physicalIndex) const;

    bool connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus = NULL) const;

    MStatus getValue(MObject& val, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(double& val, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(float& val, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(int& val, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(short& val, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(bool& val, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(MString& val, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(char& val, MDGContext& ctx = MDGContext::fsNormal) const;
    // Unit values read the stored internal value (centimetres, radians, seconds).
    MStatus getValue(MDistance& val, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(MAngle& val, MDGContext& ctx = MDGContext::fsNormal) const;
    MStatus getValue(MTime& val, MDGContext& ctx = MDGContext::fsNormal) const;

    MStatus setValue(MObject& val);
    MStatus setValue(double val);
    MStatus setValue(float val);
    MStatus setValue(int val);
    MStatus setValue(short val);
    MStatus setValue(bool val);
    MStatus setValue(const MString& val);
    MStatus setValue(const char* val);
    MStatus setValue(char val);
    MStatus setValue(const MDistance& val);
    MStatus setValue(const MAngle& val);
    MStatus setValue(const MTime& val);

    bool asBool(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    int asInt(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    short asShort(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    char asChar(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    float asFloat(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    double asDouble(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    MString asString(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    MObject asMObject(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    MDistance asMDistance(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    MAngle asMAngle(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;
    MTime asMTime(MDGContext& ctx = MDGContext::fsNormal, MStatus* ReturnStatus = NULL) const;

    MStatus setBool(bool val);
    MStatus setInt(int val);
    MStatus setShort(short val);
    MStatus setChar(char val);
    MStatus setFloat(float val);
    MStatus setDouble(double val);
    MStatus setString(const MString& val);
    MStatus setMObject(MObject& val);
    MStatus setMDistance(const MDistance& val);
    MStatus setMAngle(const MAngle& val);
    MStatus setMTime(const MTime& val);

    bool operator==(const MPlug& other) const;
    bool operator==(const MObject& other) const;
    bool operator!=(const MPlug& other) const;
    bool operator!=(const MObject& other) const;

    // Host side: the logical index chosen for each array attribute from the root attribute down to this
    // plug's attribute (-1 where no element is chosen: the plug is then the array itself).
    MPlug(const MObject& node, const MObject& attribute, std::vector<int> indices);
    const std::vector<int>& indices() const { return indices_; }

private:
    MObject node_;
    MObject attr_;
    std::vector<int> indices_;
};
