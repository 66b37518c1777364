#include "quaddraw/quadDrawPreview.h"

#include <algorithm>
#include <cmath>

#include "geometry/viewPicking.h"

MPointArray visibleBorderPoints(const MPointArray& positions, const MVectorArray& normals,
                                const MVector& rayDirection, bool ignoreBackfaces) {
    if (!ignoreBackfaces) return positions;
    MPointArray out;
    if (positions.length() != normals.length()) return out;
    for (unsigned i = 0; i < positions.length(); ++i)
        if (normals[i] * rayDirection <= 0) out.append(positions[i]);
    return out;
}

std::vector<int> nearestDistinctCandidates(const MPointArray& screen, const std::vector<bool>& projected,
                                           const MPointArray& world, unsigned firstBorder, double x, double y,
                                           double mergeDistance) {
    std::vector<int> order;
    std::vector<double> distance(screen.length(), double(kFarPixels));
    for (unsigned i = 0; i < screen.length(); ++i) {
        if (i < projected.size() && !projected[i]) continue;
        distance[i] = std::hypot(screen[i].x - x, screen[i].y - y);
        if (distance[i] < double(kFarPixels)) order.push_back(int(i));
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return distance[size_t(a)] < distance[size_t(b)]; });

    std::vector<int> taken;
    for (int i : order) {
        int twin = -1;
        for (size_t t = 0; t < taken.size() && twin < 0; ++t)
            if (world[unsigned(i)].distanceTo(world[unsigned(taken[t])]) < mergeDistance) twin = int(t);
        if (twin >= 0) {
            // One place for both: the border vertex wins over a loose point lying on it.
            const bool isBorder = unsigned(i) >= firstBorder;
            if (isBorder && unsigned(taken[size_t(twin)]) < firstBorder) taken[size_t(twin)] = i;
            continue;
        }
        if (taken.size() < 4) taken.push_back(i);
    }
    return taken;
}

MPointArray orderQuadCorners(const MPointArray& screen, const MPointArray& world) {
    if (screen.length() != 4 || world.length() != 4) return world;
    double cx = 0, cy = 0;
    for (unsigned k = 0; k < 4; ++k) {
        cx += screen[k].x / 4.0;
        cy += screen[k].y / 4.0;
    }
    double dx[4], dy[4];
    for (unsigned k = 0; k < 4; ++k) {
        dx[k] = screen[k].x - cx;
        dy[k] = screen[k].y - cy;
        const double len = std::hypot(dx[k], dy[k]);
        if (len > 0) {
            dx[k] /= len;
            dy[k] /= len;
        }
    }
    // Signed angle of each corner from the first one, in degrees (positive counter-clockwise).
    double angle[4] = {0, 0, 0, 0};
    for (unsigned k = 1; k < 4; ++k) {
        const double dot = std::max(-1.0, std::min(1.0, dx[0] * dx[k] + dy[0] * dy[k]));
        double a = std::acos(dot) * 180.0 / M_PI;
        if (dx[0] * dy[k] - dy[0] * dx[k] < 0) a = -a;
        angle[k] = a;
    }
    // j: smallest angle in (0, 180); m: the angle in (-180, 0) nearest 0; the last index is opposite s0.
    int j = -1, m = -1;
    for (int k = 1; k < 4; ++k) {
        if (angle[k] > 0 && angle[k] < 180 && (j < 0 || angle[k] < angle[j])) j = k;
        if (angle[k] < 0 && angle[k] > -180 && (m < 0 || angle[k] > angle[m])) m = k;
    }
    if (j < 0 || m < 0) {
        // All corners on one side of the first (a degenerate quad): go round counter-clockwise instead.
        int order[3] = {1, 2, 3};
        auto ccw = [&](int k) { return angle[k] > 0 ? angle[k] : angle[k] + 360.0; };
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b)
                if (ccw(order[b]) < ccw(order[a])) std::swap(order[a], order[b]);
        j = order[0];
        m = order[2];
    }
    const int opposite = 6 - j - m;
    MPointArray out;
    out.append(world[0]);
    out.append(world[unsigned(j)]);
    out.append(world[unsigned(opposite)]);
    out.append(world[unsigned(m)]);
    return out;
}

int countCornersOnFace(const MPointArray& quad, const MPointArray& facePoints) {
    int count = 0;
    for (unsigned i = 0; i < quad.length(); ++i) {
        for (unsigned k = 0; k < facePoints.length(); ++k) {
            if (quad[i].x == facePoints[k].x && quad[i].y == facePoints[k].y &&
                quad[i].z == facePoints[k].z) {
                ++count;
                break;
            }
        }
    }
    return count;
}
