#pragma once
// Small conversions tests share when they call the host's C++ API: a node's path by name, and point
// arrays to and from vectors.
#include <gtest/gtest.h>

#include <maya/MDagPath.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <string>
#include <vector>

namespace kxtest {

// The path of a DAG node by name (a transform's path stays a transform's path); a failed expectation
// when the name finds none.
inline MDagPath pathOf(const std::string& name) {
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add(name.c_str()) && list.getDagPath(0, path)) << name;
    return path;
}
// The shape under the named node (or the named shape itself).
inline MDagPath shapeOf(const std::string& name) {
    MDagPath path = pathOf(name);
    EXPECT_TRUE(path.extendToShape()) << name;
    return path;
}

inline MPointArray pointArray(const std::vector<MPoint>& in) {
    MPointArray out;
    for (const MPoint& p : in) out.append(p);
    return out;
}
inline std::vector<MPoint> pointList(const MPointArray& in) {
    std::vector<MPoint> out;
    for (unsigned i = 0; i < in.length(); ++i) out.push_back(in[i]);
    return out;
}

}  // namespace kxtest
