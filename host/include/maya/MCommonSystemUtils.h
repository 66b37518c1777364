#pragma once
// Environment variables and folders, as plug-ins reach them through the API.
#include <maya/MStatus.h>
#include <maya/MString.h>

class MCommonSystemUtils {
public:
    // The variable's value; "" (and kFailure) when it is not set.
    static MString getEnv(const MString& variable, MStatus* ReturnStatus = NULL);
    static MStatus putEnv(const MString& variable, const MString& value);
    // Makes the folder and any missing parents; succeeds when it already exists.
    static MStatus makeDirectory(const MString& path);
};
