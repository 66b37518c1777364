#pragma once
// The base of the data function sets. Data objects are values a plug or data handle holds (strings,
// arrays, matrices, meshes, ...); they are created by the data function sets and copied into plugs.
#include <maya/MFnBase.h>

class MFnData : public MFnBase {
public:
    enum Type {
        kInvalid,
        kNumeric,
        kPlugin,
        kPluginGeometry,
        kString,
        kMatrix,
        kStringArray,
        kDoubleArray,
        kIntArray,
        kPointArray,
        kVectorArray,
        kComponentList,
        kMesh,
        kLattice,
        kNurbsCurve,
        kNurbsSurface,
        kSphere,
        kDynArrayAttrs,
        kDynSweptGeometry,
        kSubdSurface,
        kNObject,
        kNId,
        kAny,
        kLast
    };

    MFnData();
    MFnData(const MObject& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnData();

    MFn::Type type() const override;
    static const char* className();
};
