#pragma once
// What the attribute function sets (Attributes.cpp, AttrTypes.cpp) share: the attribute behind an MObject,
// and the attach step that ends every create().
#include <maya/MFnBase.h>
#include <maya/MObject.h>

#include "graph/api/ApiObject.h"

namespace kxh {

// The attribute an MObject refers to, or null (with kInvalidParameter in st) if it refers to none.
inline Attribute* attrOf(const MObject& o, MStatus* st = nullptr) {
    AttrPtr a = attributeOf(o);
    setStatus(st, a ? MS::kSuccess : MS::kInvalidParameter);
    return a.get();
}

// Wraps a newly made attribute as the function set's object and returns it.
inline MObject created(MFnBase& fn, AttrPtr attr, MStatus* st, MObject& slot) {
    slot = wrapAttribute(attr);
    (void)fn;
    setStatus(st, MS::kSuccess);
    return slot;
}

}  // namespace kxh
