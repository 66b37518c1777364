#include "mesh/MeshPrimitives.h"

#include <algorithm>
#include <cmath>

#include "mesh/MeshMath.h"

namespace kxh {

namespace {

// Appends a face with its UV ids (map1 is uvSets[0]).
void addFaceUv(Mesh& m, std::initializer_list<int> verts, std::initializer_list<int> uvs) {
    m.faceVerts.insert(m.faceVerts.end(), verts);
    m.faceOffsets.push_back(int(m.faceVerts.size()));
    m.uvSets[0].faceVertUv.insert(m.uvSets[0].faceVertUv.end(), uvs);
}

void addUv(Mesh& m, double u, double v) {
    m.uvSets[0].u.push_back(float(u));
    m.uvSets[0].v.push_back(float(v));
}

Mesh emptyWithMap1() {
    Mesh m;
    m.uvSets.emplace_back();
    m.uvSets[0].name = "map1";
    return m;
}

}  // namespace

Mesh cube(double w, double h, double d, int sx, int sy, int sz) {
    sx = std::max(1, sx);
    sy = std::max(1, sy);
    sz = std::max(1, sz);
    Mesh m = emptyWithMap1();

    // The ring: R rows of sx+1 vertices going around the X axis: front (up), top (back), back (down),
    // bottom (forward). Row R would be row 0 again.
    const int R = 2 * sy + 2 * sz;
    auto rowYZ = [&](int r, double& y, double& z) {
        if (r <= sy) {
            y = -h / 2 + h * r / sy, z = d / 2;
        } else if (r <= sy + sz) {
            y = h / 2, z = d / 2 - d * (r - sy) / sz;
        } else if (r <= 2 * sy + sz) {
            y = h / 2 - h * (r - sy - sz) / sy, z = -d / 2;
        } else {
            y = -h / 2, z = -d / 2 + d * (r - 2 * sy - sz) / sz;
        }
    };
    for (int r = 0; r < R; ++r) {
        double y, z;
        rowYZ(r, y, z);
        for (int i = 0; i <= sx; ++i) m.points.push_back({-w / 2 + w * i / sx, y, z});
    }
    const int ringCount = R * (sx + 1);
    auto ring = [&](int r, int i) { return (r % R) * (sx + 1) + i; };

    // Inner vertices of the right side (x = w/2) then the left side, rows bottom to top, columns front to
    // back on the right and back to front on the left.
    const int inner = (sy - 1) * (sz - 1);
    for (int side = 0; side < 2; ++side) {
        const double x = side == 0 ? w / 2 : -w / 2;
        for (int b = 1; b < sy; ++b)
            for (int a = 1; a < sz; ++a) {
                const double z = side == 0 ? d / 2 - d * a / sz : -d / 2 + d * a / sz;
                m.points.push_back({x, -h / 2 + h * b / sy, z});
            }
    }
    // Vertex of the right side at column a (0 = front .. sz = back) and row b (0 = bottom .. sy = top).
    auto rightVert = [&](int a, int b) {
        if (b == 0) return ring(R - a, sx);
        if (b == sy) return ring(sy + a, sx);
        if (a == 0) return ring(b, sx);
        if (a == sz) return ring(2 * sy + sz - b, sx);
        return ringCount + (b - 1) * (sz - 1) + (a - 1);
    };
    // Left side: column c runs from the back (0) to the front (sz).
    auto leftVert = [&](int c, int b) {
        const int a = sz - c;
        if (b == 0) return ring(R - a, 0);
        if (b == sy) return ring(sy + a, 0);
        if (a == 0) return ring(b, 0);
        if (a == sz) return ring(2 * sy + sz - b, 0);
        return ringCount + inner + (b - 1) * (sz - 1) + (c - 1);
    };

    // UVs: the ring unrolled as a strip u in [0.375, 0.625], v from 0 to 1 (R+1 rows), then the right
    // flap (u 0.625..0.875) and the left flap (u 0.125..0.375), both at v 0..0.25.
    auto rowV = [&](int r) {
        if (r <= sy) return 0.25 * r / sy;
        if (r <= sy + sz) return 0.25 + 0.25 * (r - sy) / sz;
        if (r <= 2 * sy + sz) return 0.5 + 0.25 * (r - sy - sz) / sy;
        return 0.75 + 0.25 * (r - 2 * sy - sz) / sz;
    };
    for (int r = 0; r <= R; ++r)
        for (int i = 0; i <= sx; ++i) addUv(m, 0.375 + 0.25 * i / sx, rowV(r));
    const int rightUvBase = (R + 1) * (sx + 1);
    for (int b = 0; b <= sy; ++b)
        for (int a = 1; a <= sz; ++a) addUv(m, 0.625 + 0.25 * a / sz, 0.25 * b / sy);
    const int leftUvBase = rightUvBase + (sy + 1) * sz;
    for (int b = 0; b <= sy; ++b)
        for (int c = 0; c < sz; ++c) addUv(m, 0.125 + 0.25 * c / sz, 0.25 * b / sy);
    auto ringUv = [&](int r, int i) { return r * (sx + 1) + i; };
    auto rightUv = [&](int a, int b) { return a == 0 ? ringUv(b, sx) : rightUvBase + b * sz + (a - 1); };
    auto leftUv = [&](int c, int b) { return c == sz ? ringUv(b, 0) : leftUvBase + b * sz + c; };

    for (int r = 0; r < R; ++r)
        for (int i = 0; i < sx; ++i)
            addFaceUv(m, {ring(r, i), ring(r, i + 1), ring(r + 1, i + 1), ring(r + 1, i)},
                      {ringUv(r, i), ringUv(r, i + 1), ringUv(r + 1, i + 1), ringUv(r + 1, i)});
    for (int b = 0; b < sy; ++b)
        for (int a = 0; a < sz; ++a)
            addFaceUv(m, {rightVert(a, b), rightVert(a + 1, b), rightVert(a + 1, b + 1), rightVert(a, b + 1)},
                      {rightUv(a, b), rightUv(a + 1, b), rightUv(a + 1, b + 1), rightUv(a, b + 1)});
    for (int b = 0; b < sy; ++b)
        for (int c = 0; c < sz; ++c)
            addFaceUv(m, {leftVert(c, b), leftVert(c + 1, b), leftVert(c + 1, b + 1), leftVert(c, b + 1)},
                      {leftUv(c, b), leftUv(c + 1, b), leftUv(c + 1, b + 1), leftUv(c, b + 1)});
    return m;
}

Mesh plane(double w, double h, int sx, int sy, V3 axis) {
    sx = std::max(1, sx);
    sy = std::max(1, sy);
    Mesh m = emptyWithMap1();

    // Rotation taking +Y onto the axis (Rodrigues with k = Y x a, |k| = sin, 1 + cos in the denominator).
    const V3 a = length(axis) > 0 ? normalized(axis) : V3{0, 1, 0};
    const V3 k = cross(V3{0, 1, 0}, a);
    const double c = a.y;
    auto rotate = [&](const V3& p) -> V3 {
        if (c > 1 - 1e-12) return p;
        if (c < -1 + 1e-12) return {p.x, -p.y, -p.z};  // half turn about X
        return p * c + cross(k, p) + k * (dot(k, p) / (1 + c));
    };

    for (int j = 0; j <= sy; ++j)
        for (int i = 0; i <= sx; ++i) {
            m.points.push_back(rotate({-w / 2 + w * i / sx, 0.0, h / 2 - h * j / sy}));
            addUv(m, double(i) / sx, double(j) / sy);
        }
    auto id = [&](int i, int j) { return j * (sx + 1) + i; };
    for (int j = 0; j < sy; ++j)
        for (int i = 0; i < sx; ++i) {
            const int q[4] = {id(i, j), id(i + 1, j), id(i + 1, j + 1), id(i, j + 1)};
            addFaceUv(m, {q[0], q[1], q[2], q[3]}, {q[0], q[1], q[2], q[3]});
        }
    return m;
}

Mesh sphere(double radius, int sa, int sh) {
    sa = std::max(3, sa);
    sh = std::max(2, sh);
    Mesh m = emptyWithMap1();
    const double pi = 3.14159265358979323846;
    const int rings = sh - 1;
    for (int j = 0; j < rings; ++j) {
        const double theta = pi * (j + 1) / sh;  // from the bottom pole
        const double y = -radius * std::cos(theta), s = radius * std::sin(theta);
        for (int i = 0; i < sa; ++i) {
            const double phi = 2 * pi * (i + 1) / sa;
            m.points.push_back({s * std::cos(phi), y, -s * std::sin(phi)});
        }
    }
    const int bottom = rings * sa, top = bottom + 1;
    m.points.push_back({0, -radius, 0});
    m.points.push_back({0, radius, 0});

    for (int j = 0; j < rings; ++j)
        for (int i = 0; i <= sa; ++i) addUv(m, double(i) / sa, double(j + 1) / sh);
    const int bottomUv = rings * (sa + 1), topUv = bottomUv + sa;
    for (int i = 0; i < sa; ++i) addUv(m, (i + 0.5) / sa, 0.0);
    for (int i = 0; i < sa; ++i) addUv(m, (i + 0.5) / sa, 1.0);

    auto v = [&](int j, int i) { return j * sa + i % sa; };
    auto uv = [&](int j, int i) { return j * (sa + 1) + i; };
    for (int j = 0; j + 1 < rings; ++j)
        for (int i = 0; i < sa; ++i)
            addFaceUv(m, {v(j, i), v(j, i + 1), v(j + 1, i + 1), v(j + 1, i)},
                      {uv(j, i), uv(j, i + 1), uv(j + 1, i + 1), uv(j + 1, i)});
    for (int i = 0; i < sa; ++i)
        addFaceUv(m, {v(0, i + 1), v(0, i), bottom}, {uv(0, i + 1), uv(0, i), bottomUv + i});
    for (int i = 0; i < sa; ++i)
        addFaceUv(m, {v(rings - 1, i), v(rings - 1, i + 1), top},
                  {uv(rings - 1, i), uv(rings - 1, i + 1), topUv + i});
    return m;
}

}  // namespace kxh
