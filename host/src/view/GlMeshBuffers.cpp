#include "view/GlMeshBuffers.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>

#include "graph/api/mesh/MeshAccess.h"
#include "mesh/MeshGeometry.h"
#include "mesh/MeshTopology.h"
#include "view/GlMeshes.h"

namespace kxh::view::gl {

namespace {

// The triangles of faces [firstFace, lastFace), one vertex per triangle corner: positions, normals and
// colours (when given) as the GL takes them, so that they go to a buffer object in one copy. Triangles are
// laid out face after face, so the triangles of a run of faces are one run of the whole mesh's arrays.
struct TriangleArrays {
    std::vector<float> positions, normals, colors;
    GLsizei count = 0;
};

TriangleArrays triangleArrays(const Mesh& mesh, bool flat, const ColorSet* colors, int firstFace,
                              int lastFace) {
    const MeshGeometry& g = mesh.geometry();
    // Smooth shading follows hard edges and locked normals; without either the cached vertex normals do.
    const bool simpleNormals = mesh.hardEdges.empty() && mesh.lockedNormals.empty();
    const std::vector<V3>* vertexNormals = !flat && simpleNormals ? &g.vertexNormals(false) : nullptr;
    TriangleArrays a;
    const int lastTriangle = lastFace < mesh.numFaces() ? g.faceTriangleStart(lastFace) : g.numTriangles();
    a.count = GLsizei(3 * size_t(lastTriangle - g.faceTriangleStart(firstFace)));
    a.positions.resize(3 * size_t(a.count));
    a.normals.resize(3 * size_t(a.count));
    if (colors) a.colors.resize(4 * size_t(a.count));
    float *p = a.positions.data(), *n = a.normals.data(), *rgba = a.colors.data();
    auto put = [](float*& out, const V3& v) {
        *out++ = float(v.x);
        *out++ = float(v.y);
        *out++ = float(v.z);
    };
    for (int f = firstFace; f < lastFace; ++f) {
        const int base = mesh.faceOffsets[size_t(f)];
        const int tris = g.faceTriangleCount(f);
        for (int t = 0; t < tris; ++t) {
            for (int c : g.triangleCorners(f, t)) {
                const int fv = base + c;
                const int v = mesh.faceVerts[size_t(fv)];
                if (colors) {
                    const int id = colors->faceVertColor[size_t(fv)];
                    const std::array<float, 4> grey{kMeshGrey, kMeshGrey, kMeshGrey, 1.0f};
                    const std::array<float, 4>& col =
                        id >= 0 && id < int(colors->colors.size()) ? colors->colors[size_t(id)] : grey;
                    rgba = std::copy(col.begin(), col.end(), rgba);
                }
                if (flat)
                    put(n, g.faceNormal(f));
                else if (vertexNormals)
                    put(n, (*vertexNormals)[size_t(v)]);
                else
                    put(n, faceVertexNormal(mesh, f, v));
                put(p, mesh.points[size_t(v)]);
            }
        }
    }
    return a;
}

// Draws triangle arrays from the bound buffer object, at these offsets into it; `indexed`, the corners the
// bound element buffer lists.
void drawTriangleArrays(size_t positions, size_t normals, const size_t* colors, GLsizei count,
                        bool indexed = false) {
    if (count == 0) return;
    const auto at = [](size_t offset) { return reinterpret_cast<const void*>(offset); };
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, at(positions));
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, at(normals));
    if (colors) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, 0, at(*colors));
    }
    if (indexed)
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, nullptr);
    else
        glDrawArrays(GL_TRIANGLES, 0, count);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// Shaded triangles in a buffer object: positions, then normals, then colours when shown (one copy to make).
// Smooth triangles with one normal per vertex and no colours share their vertices: `indices` then holds the
// vertex ids of the triangle corners and `id` one position and one normal per vertex (a sixth of the
// vertices for the GL to light and transform on a quad mesh).
struct ShadedBuffer {
    GLuint id = 0, indices = 0;
    GLsizei count = 0;  // triangle corners
    bool flat = false, colors = false;
    std::uint64_t key = 0;  // shadingKey of what it was made from
};

// A mesh's geometry kept in the GL, so that refreshing a view does not send every vertex again: its shaded
// triangles (`tinted` is the colourless set a hilited mesh is drawn with) and its wireframe (the vertex
// positions, and every side of every face as a pair of vertex ids), each in a buffer object. A new topology
// remakes them; a shading key that changed (flat or smooth normals, the colours shown, hard edges and
// locked normals) remakes the shaded set; a point edit rewrites the parts the moved vertices reach: the
// wireframe positions of the moved vertices, and the triangles of every face whose normals they change.
struct MeshLists {
    std::weak_ptr<Node> node;
    std::uint64_t points = 0, topology = 0;
    std::vector<V3> drawnPoints;  // the points the buffers hold
    ShadedBuffer shaded, tinted;
    GLuint wire = 0, wireEdges = 0;  // vertex positions; the vertex pairs of every face's sides
    GLsizei wireIndices = 0;
};

std::map<const Node*, MeshLists>& meshLists() {
    static auto* lists = new std::map<const Node*, MeshLists>();
    return *lists;
}

bool gForgetBuffers = false;
unsigned gPointUpdates = 0;

void freeShaded(ShadedBuffer& b) {
    if (b.id) glDeleteBuffers(1, &b.id);
    if (b.indices) glDeleteBuffers(1, &b.indices);
    b.id = b.indices = 0;
}

// Whether the shaded triangles can share their vertices (see ShadedBuffer).
bool sharesVertices(const Mesh& mesh, bool flat, const ColorSet* colors) {
    return !flat && !colors && mesh.hardEdges.empty() && mesh.lockedNormals.empty();
}

// The vertex ids of the triangle corners of faces [firstFace, lastFace).
std::vector<GLuint> cornerVertices(const Mesh& mesh, int firstFace, int lastFace) {
    const MeshGeometry& g = mesh.geometry();
    std::vector<GLuint> ids;
    for (int f = firstFace; f < lastFace; ++f) {
        const int base = mesh.faceOffsets[size_t(f)];
        for (int t = 0; t < g.faceTriangleCount(f); ++t)
            for (int c : g.triangleCorners(f, t)) ids.push_back(GLuint(mesh.faceVerts[size_t(base + c)]));
    }
    return ids;
}

// Positions, then normals, of vertices [first, last) as floats.
void vertexArrays(const Mesh& mesh, int first, int last, std::vector<float>& positions,
                  std::vector<float>& normals) {
    const std::vector<V3>& n = mesh.geometry().vertexNormals(false);
    positions.resize(3 * size_t(last - first));
    normals.resize(3 * size_t(last - first));
    float *p = positions.data(), *q = normals.data();
    for (int v = first; v < last; ++v) {
        const V3 &a = mesh.points[size_t(v)], &b = n[size_t(v)];
        *p++ = float(a.x);
        *p++ = float(a.y);
        *p++ = float(a.z);
        *q++ = float(b.x);
        *q++ = float(b.y);
        *q++ = float(b.z);
    }
}

void freeLists(MeshLists& l) {
    freeShaded(l.shaded);
    freeShaded(l.tinted);
    if (l.wire) glDeleteBuffers(1, &l.wire);
    if (l.wireEdges) glDeleteBuffers(1, &l.wireEdges);
    l.wire = l.wireEdges = 0;
}

// Face or vertex ids, sorted, as runs [first, last): ids a few apart share a run, so a compact edit makes
// few uploads (the elements between are written again with what they hold).
std::vector<std::pair<int, int>> idRuns(std::vector<int> ids) {
    constexpr int kGap = 16;
    std::sort(ids.begin(), ids.end());
    std::vector<std::pair<int, int>> runs;
    for (int i : ids) {
        if (!runs.empty() && i <= runs.back().second + kGap)
            runs.back().second = i + 1;
        else
            runs.push_back({i, i + 1});
    }
    return runs;
}

// Writes the triangles of the face runs into a shaded buffer (bound by the caller).
void rewriteShaded(const ShadedBuffer& b, const Mesh& mesh, const ColorSet* colors,
                   const std::vector<std::pair<int, int>>& runs) {
    const MeshGeometry& g = mesh.geometry();
    if (b.indices) {
        // Shared vertices: `runs` are the vertices whose position or normal changed.
        std::vector<float> positions, normals;
        const size_t block = 3 * sizeof(float) * size_t(mesh.numVertices());
        for (const auto& [first, last] : runs) {
            vertexArrays(mesh, first, last, positions, normals);
            const size_t at = 3 * sizeof(float) * size_t(first);
            glBufferSubData(GL_ARRAY_BUFFER, GLintptr(at), GLsizeiptr(positions.size() * sizeof(float)),
                            positions.data());
            glBufferSubData(GL_ARRAY_BUFFER, GLintptr(block + at), GLsizeiptr(normals.size() * sizeof(float)),
                            normals.data());
        }
        return;
    }
    const size_t block = 3 * sizeof(float) * size_t(b.count);
    const ColorSet* shown = b.colors ? colors : nullptr;  // a buffer the colours changed for is remade anyway
    for (const auto& [first, last] : runs) {
        const TriangleArrays a = triangleArrays(mesh, b.flat, shown, first, last);
        const size_t corner = 3 * size_t(g.faceTriangleStart(first));
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(3 * sizeof(float) * corner),
                        GLsizeiptr(a.positions.size() * sizeof(float)), a.positions.data());
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(block + 3 * sizeof(float) * corner),
                        GLsizeiptr(a.normals.size() * sizeof(float)), a.normals.data());
        if (shown)
            glBufferSubData(GL_ARRAY_BUFFER, GLintptr(2 * block + 4 * sizeof(float) * corner),
                            GLsizeiptr(a.colors.size() * sizeof(float)), a.colors.data());
    }
}

// Brings the buffers made for `l.drawnPoints` up to the mesh's points (same topology): only what the moved
// vertices reach is written again. Returns false when so much moved that remaking them costs less.
bool updatePoints(Node& shape, const Mesh& mesh, MeshLists& l) {
    std::vector<int> moved;
    const V3* p = mesh.points.data();
    for (size_t i = 0; i < l.drawnPoints.size(); ++i)
        if (l.drawnPoints[i] != p[i]) {
            l.drawnPoints[i] = p[i];
            moved.push_back(int(i));
        }
    if (moved.empty() || (!l.shaded.id && !l.tinted.id && !l.wire)) return true;
    if (moved.size() > l.drawnPoints.size() / 4) return false;
    const MeshTopology& topo = mesh.topology();
    // The faces around the moved vertices change shape and face normal; with smooth normals, every corner
    // of those faces changes its normal, and so do all the faces around those corners.
    std::vector<char> faceMark(size_t(mesh.numFaces()), 0);
    std::vector<int> near;
    for (int v : moved)
        for (int f : topo.vertexFaces(v))
            if (!faceMark[size_t(f)]) {
                faceMark[size_t(f)] = 1;
                near.push_back(f);
            }
    std::vector<int> reached = near;
    auto perCorner = [](const ShadedBuffer& b) { return b.id && !b.flat && !b.indices; };
    if (perCorner(l.shaded) || perCorner(l.tinted)) {
        std::vector<char> vertMark(l.drawnPoints.size(), 0);
        for (int f : near)
            for (int k = mesh.faceOffsets[size_t(f)]; k < mesh.faceOffsets[size_t(f) + 1]; ++k) {
                const int v = mesh.faceVerts[size_t(k)];
                if (vertMark[size_t(v)]) continue;
                vertMark[size_t(v)] = 1;
                for (int g : topo.vertexFaces(v))
                    if (!faceMark[size_t(g)]) {
                        faceMark[size_t(g)] = 1;
                        reached.push_back(g);
                    }
            }
    }
    const std::vector<std::pair<int, int>> nearRuns = idRuns(near), reachedRuns = idRuns(reached);
    std::vector<std::pair<int, int>> cornerRuns;  // the vertices of the near faces: new normals
    if (l.shaded.indices || l.tinted.indices) {
        std::vector<char> vertMark(l.drawnPoints.size(), 0);
        std::vector<int> corners;
        for (int f : near)
            for (int k = mesh.faceOffsets[size_t(f)]; k < mesh.faceOffsets[size_t(f) + 1]; ++k) {
                const int v = mesh.faceVerts[size_t(k)];
                if (!vertMark[size_t(v)]) {
                    vertMark[size_t(v)] = 1;
                    corners.push_back(v);
                }
            }
        cornerRuns = idRuns(std::move(corners));
    }
    const ColorSet* colors = shownColors(shape, mesh);
    const MeshGeometry& g = mesh.geometry();
    for (ShadedBuffer* b : {&l.shaded, &l.tinted}) {
        if (!b->id) continue;
        glBindBuffer(GL_ARRAY_BUFFER, b->id);
        rewriteShaded(*b, mesh, colors, b->indices ? cornerRuns : b->flat ? nearRuns : reachedRuns);
        if (!b->indices) continue;
        // The near faces' triangles may have turned the other way (a quad gone concave).
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b->indices);
        for (const auto& [first, last] : nearRuns) {
            const std::vector<GLuint> ids = cornerVertices(mesh, first, last);
            glBufferSubData(GL_ELEMENT_ARRAY_BUFFER,
                            GLintptr(3 * sizeof(GLuint) * size_t(g.faceTriangleStart(first))),
                            GLsizeiptr(ids.size() * sizeof(GLuint)), ids.data());
        }
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }
    if (l.wire) {
        glBindBuffer(GL_ARRAY_BUFFER, l.wire);
        std::vector<float> xyz;
        for (const auto& [first, last] : idRuns(moved)) {
            xyz.resize(3 * size_t(last - first));
            float* out = xyz.data();
            for (int v = first; v < last; ++v) {
                *out++ = float(p[v].x);
                *out++ = float(p[v].y);
                *out++ = float(p[v].z);
            }
            glBufferSubData(GL_ARRAY_BUFFER, GLintptr(3 * sizeof(float) * size_t(first)),
                            GLsizeiptr(xyz.size() * sizeof(float)), xyz.data());
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    ++gPointUpdates;
    return true;
}

MeshLists& listsFor(Node& shape, const Mesh& mesh) {
    MeshLists& l = meshLists()[&shape];
    const bool same = l.node.lock().get() == &shape && l.topology == mesh.topologyVersion() &&
                      l.drawnPoints.size() == mesh.points.size();
    if (same && l.points != mesh.pointsVersion()) {
        l.points = mesh.pointsVersion();
        if (updatePoints(shape, mesh, l)) return l;
    } else if (same) {
        return l;
    }
    freeLists(l);
    l.node = shape.ptr();
    l.points = mesh.pointsVersion();
    l.topology = mesh.topologyVersion();
    l.drawnPoints = mesh.points;
    return l;
}

// Draws the mesh's shaded triangles from the buffer, made first when it is missing or its key changed.
void drawShadedBuffer(ShadedBuffer& b, const Mesh& mesh, bool flat, const ColorSet* colors) {
    const std::uint64_t key = shadingKey(mesh, flat, colors);
    if (b.id && b.key != key) freeShaded(b);
    if (!b.id && sharesVertices(mesh, flat, colors)) {
        std::vector<float> positions, normals;
        vertexArrays(mesh, 0, mesh.numVertices(), positions, normals);
        const std::vector<GLuint> ids = cornerVertices(mesh, 0, mesh.numFaces());
        const size_t bytes = positions.size() * sizeof(float);
        glGenBuffers(1, &b.id);
        glBindBuffer(GL_ARRAY_BUFFER, b.id);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(2 * bytes), nullptr, GL_STATIC_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(bytes), positions.data());
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(bytes), GLsizeiptr(bytes), normals.data());
        glGenBuffers(1, &b.indices);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(ids.size() * sizeof(GLuint)), ids.data(),
                     GL_STATIC_DRAW);
        b.key = key;
        b.count = GLsizei(ids.size());
        b.flat = flat;
        b.colors = false;
    } else if (!b.id) {
        const TriangleArrays a = triangleArrays(mesh, flat, colors, 0, mesh.numFaces());
        const size_t pos = a.positions.size() * sizeof(float), nrm = a.normals.size() * sizeof(float),
                     col = a.colors.size() * sizeof(float);
        glGenBuffers(1, &b.id);
        glBindBuffer(GL_ARRAY_BUFFER, b.id);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(pos + nrm + col), nullptr, GL_STATIC_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(pos), a.positions.data());
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(pos), GLsizeiptr(nrm), a.normals.data());
        if (col) glBufferSubData(GL_ARRAY_BUFFER, GLintptr(pos + nrm), GLsizeiptr(col), a.colors.data());
        b.key = key;
        b.count = a.count;
        b.flat = flat;
        b.colors = colors != nullptr;
    } else {
        glBindBuffer(GL_ARRAY_BUFFER, b.id);
        if (b.indices) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
    }
    if (b.indices) {
        drawTriangleArrays(0, 3 * sizeof(float) * mesh.points.size(), nullptr, b.count, true);
    } else {
        const size_t block = 3 * sizeof(float) * size_t(b.count), colorsAt = 2 * block;
        drawTriangleArrays(0, block, b.colors ? &colorsAt : nullptr, b.count);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace

void drawShadedTriangles(Node& shape, const Mesh& mesh, bool flat, const ColorSet* colors, bool tinted) {
    MeshLists& l = listsFor(shape, mesh);
    drawShadedBuffer(tinted ? l.tinted : l.shaded, mesh, flat, colors);
}

// The outline of every face in the current colour, from the wire buffer (made first when missing).
void drawOutlines(Node& shape, const Mesh& mesh) {
    MeshLists& l = listsFor(shape, mesh);
    if (!l.wire) {
        // Each side of a face as its own segment, in the order a line loop around the face draws them.
        std::vector<GLuint> sides;
        sides.reserve(2 * mesh.faceVerts.size());
        for (int f = 0; f < mesh.numFaces(); ++f) {
            const int b = mesh.faceOffsets[size_t(f)], e = mesh.faceOffsets[size_t(f) + 1];
            if (e - b < 2) continue;
            for (int k = b; k < e; ++k) {
                sides.push_back(GLuint(mesh.faceVerts[size_t(k)]));
                sides.push_back(GLuint(mesh.faceVerts[size_t(k + 1 < e ? k + 1 : b)]));
            }
        }
        std::vector<float> xyz(3 * mesh.points.size());
        float* out = xyz.data();
        for (const V3& q : mesh.points) {
            *out++ = float(q.x);
            *out++ = float(q.y);
            *out++ = float(q.z);
        }
        glGenBuffers(1, &l.wire);
        glBindBuffer(GL_ARRAY_BUFFER, l.wire);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(xyz.size() * sizeof(float)), xyz.data(), GL_STATIC_DRAW);
        glGenBuffers(1, &l.wireEdges);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, l.wireEdges);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(sides.size() * sizeof(GLuint)), sides.data(),
                     GL_STATIC_DRAW);
        l.wireIndices = GLsizei(sides.size());
    } else {
        glBindBuffer(GL_ARRAY_BUFFER, l.wire);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, l.wireEdges);
    }
    if (l.wireIndices > 0) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        glDrawElements(GL_LINES, l.wireIndices, GL_UNSIGNED_INT, nullptr);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// Drops the lists of nodes that are gone (of every node after forgetMeshBuffers).
void pruneMeshBuffers() {
    auto& all = meshLists();
    const bool forget = gForgetBuffers;
    gForgetBuffers = false;
    for (auto it = all.begin(); it != all.end();) {
        NodePtr n = it->second.node.lock();
        if (n && n->alive() && !forget) {
            ++it;
        } else {
            freeLists(it->second);
            it = all.erase(it);
        }
    }
}

void forgetMeshBuffers() {
    gForgetBuffers = true;
}

unsigned meshBufferPointUpdates() {
    return gPointUpdates;
}

}  // namespace kxh::view::gl
