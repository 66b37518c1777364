#pragma once
// The evaluated words of a command line, as a command's doIt receives them. Flags keep their dash
// ("-p"); a word written as a flag is remembered as one, so a quoted "-x" stays a value. Plug-ins also
// build lists themselves (addArg) to hand to doFinalize or to MArgDatabase.
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

class MDoubleArray;
class MIntArray;
class MPoint;
class MStringArray;
class MVector;

namespace kxh {
struct ArgListData;
struct CommandApi;
}  // namespace kxh

class MArgList {
public:
    MArgList();
    MArgList(const MArgList& other);
    MArgList& operator=(const MArgList& other);
    ~MArgList();

    unsigned int length(MStatus* ReturnStatus = NULL) const;

    // Scalar reads fail (kInvalidParameter) past the end or when the word does not convert: a string that
    // is not a number for the numeric reads, anything but a number or true/false/on/off/yes/no for asBool.
    bool asBool(unsigned int index, MStatus* ReturnStatus = NULL) const;
    int asInt(unsigned int index, MStatus* ReturnStatus = NULL) const;
    double asDouble(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MString asString(unsigned int index, MStatus* ReturnStatus = NULL) const;

    // Multi-word reads advance index past what they consumed. A vector is numElements numbers (or one
    // vector word); an array is one array word (or a single scalar word).
    MVector asVector(unsigned int& index, unsigned int numElements = 3, MStatus* ReturnStatus = NULL) const;
    MPoint asPoint(unsigned int& index, unsigned int numElements = 3, MStatus* ReturnStatus = NULL) const;
    MIntArray asIntArray(unsigned int& index, MStatus* ReturnStatus = NULL) const;
    MDoubleArray asDoubleArray(unsigned int& index, MStatus* ReturnStatus = NULL) const;
    MStringArray asStringArray(unsigned int& index, MStatus* ReturnStatus = NULL) const;

    // Index of the first word that is the flag by either name (given with or without dash), or
    // kInvalidArgIndex.
    unsigned int flagIndex(const char* shortFlag, const char* longFlag = NULL) const;

    MStatus get(unsigned int index, bool& ret) const;
    MStatus get(unsigned int index, int& ret) const;
    MStatus get(unsigned int index, double& ret) const;
    MStatus get(unsigned int index, MString& ret) const;

    // A string that looks like a flag ("-mr") is added as a flag, so a list built for doFinalize parses like
    // a typed command line.
    MArgList& addArg(bool arg);
    MArgList& addArg(int arg);
    MArgList& addArg(double arg);
    MArgList& addArg(const MString& arg);
    MArgList& addArg(const MVector& arg);
    MArgList& addArg(const MPoint& arg);
    MArgList& addArg(const MIntArray& arg);
    MArgList& addArg(const MDoubleArray& arg);
    MArgList& addArg(const MStringArray& arg);

    static const unsigned int kInvalidArgIndex;

private:
    friend struct kxh::CommandApi;
    kxh::ArgListData* data_;
};
