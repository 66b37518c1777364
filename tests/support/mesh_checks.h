#pragma once
// Reading and checking kernel meshes in tests: one face's vertex ids, and the validator's verdict.
#include <gtest/gtest.h>

#include <vector>

#include "mesh/Mesh.h"
#include "mesh/MeshValidate.h"

namespace kxtest {

// The vertex ids of face `f`, in order.
inline std::vector<int> faceOf(const kxh::Mesh& m, int f) {
    return std::vector<int>(m.faceVerts.begin() + m.faceOffsets[f],
                            m.faceVerts.begin() + m.faceOffsets[f + 1]);
}

// The mesh passes the validator; the first fault is shown when it does not.
inline void expectValid(const kxh::Mesh& m) {
    auto faults = kxh::validateMesh(m);
    EXPECT_TRUE(faults.empty()) << faults[0];
}

}  // namespace kxtest
