// The dense mesh the edit benchmarks drag on: a wavy grid of quads with 0.1 between vertices, and the
// dabs of a brush stroke along its diagonal (discs holding ~2% of the vertices each).
#pragma once

#include <maya/MIntArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace kxbench {

constexpr double kGridSpacing = 0.1;

// The points, face counts and face connects of a grid of quadsPerSide x quadsPerSide quads, object space.
inline void denseGrid(int quadsPerSide, MPointArray& points, MIntArray& counts, MIntArray& connects) {
    const int n = quadsPerSide + 1;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            points.append(
                MPoint(i * kGridSpacing, 1.5 * std::sin(0.21 * i) * std::cos(0.17 * j), -j * kGridSpacing));
    for (int j = 0; j < quadsPerSide; ++j)
        for (int i = 0; i < quadsPerSide; ++i) {
            const int v = i + j * n;
            counts.append(4);
            for (int c : {v, v + 1, v + n + 1, v + n}) connects.append(c);
        }
}

// Sixteen dabs along the grid's diagonal: the vertex ids of each and its centre (object space, y = 0).
inline void strokeDabs(int quadsPerSide, std::vector<std::vector<unsigned>>& dabs,
                       std::vector<MPoint>& centres) {
    const int n = quadsPerSide + 1;
    const double r = std::sqrt(0.02 * n * n / M_PI);
    for (int k = 0; k < 16; ++k) {
        const double ci = r + (n - 2 * r) * (k + 0.5) / 16, cj = ci * 0.7 + 0.15 * n;
        std::vector<unsigned> ids;
        for (int j = std::max(0, int(cj - r)); j <= std::min(n - 1, int(cj + r) + 1); ++j)
            for (int i = std::max(0, int(ci - r)); i <= std::min(n - 1, int(ci + r) + 1); ++i)
                if ((i - ci) * (i - ci) + (j - cj) * (j - cj) <= r * r) ids.push_back(unsigned(i + j * n));
        dabs.push_back(ids);
        centres.push_back(MPoint(ci * kGridSpacing, 0, -cj * kGridSpacing));
    }
}

}  // namespace kxbench
