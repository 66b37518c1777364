#pragma once
// What the attribute commands share (AttrCommands.cpp, AttrDefCommands.cpp): the value limits addAttr
// gives, and the type names getAttr -typ and attributeQuery answer.
#include <map>
#include <optional>
#include <string>

#include "graph/core/Scene.h"

namespace kxh::scenecmd {

// Value limits given by addAttr -min/-max, per attribute.
struct Limits {
    std::optional<double> min, max;
};
std::map<const Attribute*, Limits>& limits();

// The host's name of a numeric type ("long", "double3"; "enum" for an enum attribute).
std::string numericTypeName(NumericType t, bool isEnum);
// A compound of numeric leaves built by addAttr reads as the tuple of its children's type.
NumericType tupleType(const Attribute* a);

}  // namespace kxh::scenecmd
