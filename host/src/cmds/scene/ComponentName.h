#pragma once
// Object, plug and component names as MEL writes them: "pCube1", "|group1|pCube1", "pCube1.vtx[3]",
// "pCube1.e[1:4]", "pCubeShape1.f[*]", "pCube1.map[0:7]", "pCubeShape1.pnts[3]". The parser splits a
// name into its node part and the text after the first dot, and reads the component part when it is
// one; the formatter prints component ids back as the host lists them: sorted, consecutive ids merged
// into "vtx[0:3]" ranges, or one id per name when flattened.
#include <string>
#include <utility>
#include <vector>

#include "graph/core/Value.h"

namespace kxh::scenecmd {

// The node part of a name and what follows the first '.' outside brackets. "|a|b.vtx[2]" gives
// node "|a|b" and rest "vtx[2]"; "pCube1" gives an empty rest.
struct NamePath {
    std::string node;
    std::string rest;
};
NamePath splitName(const std::string& text);

// A component reference as written: its kind and id ranges (inclusive, in the written order), or all
// components for "[*]" and for a bare "pCube1.vtx".
struct ComponentRef {
    ComponentKind kind = ComponentKind::None;
    bool all = false;
    std::vector<std::pair<int, int>> ranges;
};

// Reads "vtx[3]", "e[1:4]", "f[*]", "map[2]" (the rest of a name). Returns false when the text names no
// component kind (it is then a plug or nothing); sets error when the kind is known but the index part is
// malformed ("vtx[a]", "f[3", "vtx[-1]").
bool parseComponent(const std::string& rest, ComponentRef& out, std::string& error);

// Component names for sorted, unique ids on one object: "obj.vtx[0:3]", "obj.vtx[5]"; with flatten one
// name per id.
std::vector<std::string> formatComponents(const std::string& objectName, ComponentKind kind,
                                          const std::vector<int>& sortedIds, bool flatten);

// True when name matches a pattern with '*' (any run) and '?' (one character) wildcards.
bool wildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace kxh::scenecmd
