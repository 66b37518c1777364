#pragma once
// The kinds of API objects (MObject::apiType, MItDependencyNodes filters, function-set compatibility).
#include <maya/MTypes.h>

class MFn {
public:
    enum Type {
#define KXH_MFN_TYPE(name, number, parent) name = number,
#include <maya/detail/MFnTypeList.h>
#undef KXH_MFN_TYPE
        kLast = 2000
    };
};

namespace kxh {
// The enum name of a kind ("kMesh", "kPolyTweakUV"); "kInvalid" for values that name no kind.
const char* apiTypeName(MFn::Type type);
// The kind a kind derives from (kMesh -> kSurface -> kGeometric -> kShape -> kDagNode -> ...);
// kInvalid for the roots.
MFn::Type apiTypeParent(MFn::Type type);
// True when type is base or derives from it.
bool apiTypeIsA(MFn::Type type, MFn::Type base);
}  // namespace kxh
