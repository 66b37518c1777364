#include "cmds/scene/ComponentName.h"

#include <cctype>
#include <cstdlib>

namespace kxh::scenecmd {

NamePath splitName(const std::string& text) {
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '[')
            ++depth;
        else if (c == ']')
            --depth;
        else if (c == '.' && depth == 0)
            return {text.substr(0, i), text.substr(i + 1)};
    }
    return {text, {}};
}

namespace {

ComponentKind kindOf(const std::string& token) {
    if (token == "vtx") return ComponentKind::Vertex;
    if (token == "e") return ComponentKind::Edge;
    if (token == "f") return ComponentKind::Face;
    if (token == "map") return ComponentKind::Uv;
    return ComponentKind::None;
}

bool parseIndex(const std::string& text, int& out) {
    if (text.empty()) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    if (text.size() > 9) return false;
    out = std::atoi(text.c_str());
    return true;
}

}  // namespace

bool parseComponent(const std::string& rest, ComponentRef& out, std::string& error) {
    out = ComponentRef{};
    size_t open = rest.find('[');
    std::string token = rest.substr(0, open);
    ComponentKind kind = kindOf(token);
    if (kind == ComponentKind::None) return false;
    out.kind = kind;
    if (open == std::string::npos) {
        out.all = true;  // "pCube1.vtx" names every vertex, as "[*]" does
        return true;
    }
    size_t close = rest.find(']', open);
    if (close == std::string::npos || close + 1 != rest.size()) {
        error = "Malformed component index: " + rest;
        return true;
    }
    std::string inside = rest.substr(open + 1, close - open - 1);
    if (inside == "*") {
        out.all = true;
        return true;
    }
    size_t colon = inside.find(':');
    int a = 0, b = 0;
    if (colon == std::string::npos) {
        if (!parseIndex(inside, a)) {
            error = "Malformed component index: " + rest;
            return true;
        }
        b = a;
    } else if (!parseIndex(inside.substr(0, colon), a) || !parseIndex(inside.substr(colon + 1), b)) {
        error = "Malformed component index: " + rest;
        return true;
    }
    if (a > b) std::swap(a, b);
    out.ranges.push_back({a, b});
    return true;
}

std::vector<std::string> formatComponents(const std::string& objectName, ComponentKind kind,
                                          const std::vector<int>& sortedIds, bool flatten) {
    std::vector<std::string> out;
    const std::string prefix = objectName + "." + componentKindName(kind) + "[";
    for (size_t i = 0; i < sortedIds.size();) {
        size_t j = i;
        if (!flatten)
            while (j + 1 < sortedIds.size() && sortedIds[j + 1] == sortedIds[j] + 1) ++j;
        if (j == i)
            out.push_back(prefix + std::to_string(sortedIds[i]) + "]");
        else
            out.push_back(prefix + std::to_string(sortedIds[i]) + ":" + std::to_string(sortedIds[j]) + "]");
        i = j + 1;
    }
    return out;
}

bool wildcardMatch(const std::string& pattern, const std::string& name) {
    // Iterative match with backtracking to the last '*'.
    size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace kxh::scenecmd
