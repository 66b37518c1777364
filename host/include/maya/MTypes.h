#pragma once
// Basic types shared by the whole API: the API version, the plug-in export marker, coordinate spaces and the
// function-pointer types through which the host calls back into a plug-in.
#include <cstddef>
#include <cstdint>

#define MAYA_API_VERSION 201104

// Marks a plug-in's entry points (initializePlugin, uninitializePlugin) as exported. On Linux this is only
// a visibility attribute, as in the SDK: the entry points keep C++ linkage (the host finds both the mangled
// and the plain names), and stay visible when the module hides its other symbols.
#define PLUGIN_EXPORT __attribute__((visibility("default")))

// The vendor string the API's example plug-ins pass to MFnPlugin; a build may define its own.
#ifndef PLUGIN_COMPANY
#define PLUGIN_COMPANY "Autodesk"
#endif

class MStatus;
class MSyntax;

typedef void* (*MCreatorFunction)();
typedef MSyntax (*MCreateSyntaxFunction)();
typedef MStatus (*MInitializeFunction)();

typedef short short2[2];
typedef short short3[3];
typedef int int2[2];
typedef int int3[3];
typedef int int4[4];
typedef float float2[2];
typedef float float3[3];
typedef float float4[4];
typedef double double2[2];
typedef double double3[3];
typedef double double4[4];

// An unsigned integer as wide as a pointer (callback ids are of this type).
typedef std::uintptr_t MUintPtrSz;

class MSpace {
public:
    enum Space {
        kInvalid = 0,
        kTransform = 1,      // the space of the transform's own attributes
        kPreTransform = 2,   // before the node's transform applies: object space
        kPostTransform = 3,  // after the node's transform: the parent's space
        kWorld = 4,          // all transforms above applied
        kLast = 5,
        kObject = kPreTransform
    };
};
