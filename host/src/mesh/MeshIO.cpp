#include "mesh/MeshIO.h"

#include <assimp/Exporter.hpp>
#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unordered_map>

#include "mesh/MeshGeometry.h"
#include "mesh/MeshMath.h"

namespace kxh {

namespace {

// --- hashing keys made of exact values ------------------------------------------------------------------

struct FloatsKey {
    std::array<float, 4> v{};
    bool operator==(const FloatsKey& o) const { return std::memcmp(v.data(), o.v.data(), sizeof v) == 0; }
};
struct FloatsKeyHash {
    size_t operator()(const FloatsKey& k) const {
        uint32_t bits[4];
        std::memcpy(bits, k.v.data(), sizeof bits);
        size_t h = 1469598103934665603ull;
        for (uint32_t b : bits) h = (h ^ b) * 1099511628211ull;
        return h;
    }
};
// Equal positions weld even when one is +0 and the other -0.
float canonical(float f) {
    return f == 0 ? 0.0f : f;
}

struct IntsKeyHash {
    size_t operator()(const std::vector<int>& k) const {
        size_t h = 1469598103934665603ull;
        for (int b : k) h = (h ^ uint32_t(b)) * 1099511628211ull;
        return h;
    }
};

Matrix4 fromAssimp(const aiMatrix4x4& a) {
    // Assimp uses column vectors (translation in a4, b4, c4): the row-vector matrix is its transpose.
    const float* src[4] = {&a.a1, &a.b1, &a.c1, &a.d1};
    Matrix4 m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m[c][r] = src[r][c];
    return m;
}

aiMatrix4x4 toAssimp(const Matrix4& m) {
    aiMatrix4x4 a;
    float* dst[4] = {&a.a1, &a.b1, &a.c1, &a.d1};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dst[r][c] = float(m[c][r]);
    return a;
}

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// --- import ---------------------------------------------------------------------------------------------

// Builds one host mesh from the Assimp meshes of one node, welding vertices by exact position.
Mesh buildMesh(const aiScene* scene, const aiNode* node) {
    Mesh m;
    std::unordered_map<FloatsKey, int, FloatsKeyHash> pointIds;

    // Which UV channels and whether colours appear in any of the node's meshes.
    unsigned uvChannels = 0;
    bool colours = false;
    for (unsigned i = 0; i < node->mNumMeshes; ++i) {
        const aiMesh* am = scene->mMeshes[node->mMeshes[i]];
        for (unsigned ch = 0; ch < AI_MAX_NUMBER_OF_TEXTURECOORDS; ++ch)
            if (am->HasTextureCoords(ch)) uvChannels = std::max(uvChannels, ch + 1);
        colours = colours || am->HasVertexColors(0);
    }
    std::vector<std::unordered_map<FloatsKey, int, FloatsKeyHash>> uvIds(uvChannels);
    for (unsigned ch = 0; ch < uvChannels; ++ch) {
        m.uvSets.emplace_back();
        m.uvSets.back().name = ch == 0 ? "map1" : "uvSet" + std::to_string(ch);
    }
    std::unordered_map<FloatsKey, int, FloatsKeyHash> colourIds;
    if (colours) m.colorSets.emplace_back();

    std::vector<int> welded, verts;
    for (unsigned i = 0; i < node->mNumMeshes; ++i) {
        const aiMesh* am = scene->mMeshes[node->mMeshes[i]];
        welded.resize(am->mNumVertices);
        for (unsigned v = 0; v < am->mNumVertices; ++v) {
            const aiVector3D& p = am->mVertices[v];
            const FloatsKey key{{canonical(p.x), canonical(p.y), canonical(p.z), 0}};
            auto [it, inserted] = pointIds.emplace(key, m.numVertices());
            if (inserted) m.points.push_back({double(p.x), double(p.y), double(p.z)});
            welded[v] = it->second;
        }
        for (unsigned f = 0; f < am->mNumFaces; ++f) {
            const aiFace& face = am->mFaces[f];
            if (face.mNumIndices < 3) continue;  // points and lines are not polygons
            // Corners that welding made consecutive duplicates collapse; a face with fewer than three left
            // is dropped.
            std::vector<unsigned> corners;
            for (unsigned k = 0; k < face.mNumIndices; ++k) {
                const unsigned idx = face.mIndices[k];
                if (idx >= am->mNumVertices) continue;
                if (!corners.empty() && welded[corners.back()] == welded[idx]) continue;
                corners.push_back(idx);
            }
            while (corners.size() > 1 && welded[corners.front()] == welded[corners.back()])
                corners.pop_back();
            if (corners.size() < 3) continue;
            verts.clear();
            for (unsigned idx : corners) verts.push_back(welded[idx]);
            // A face that passes through one position twice (a polygon with a hole bridged by a cut) gets
            // its own copy of the vertex for each later visit, so no face repeats a vertex.
            for (size_t k = 1; k < verts.size(); ++k)
                if (std::find(verts.begin(), verts.begin() + k, verts[k]) != verts.begin() + k) {
                    m.points.push_back(m.points[verts[k]]);
                    verts[k] = m.numVertices() - 1;
                }

            m.faceVerts.insert(m.faceVerts.end(), verts.begin(), verts.end());
            m.faceOffsets.push_back(int(m.faceVerts.size()));
            for (unsigned ch = 0; ch < uvChannels; ++ch) {
                UvSet& set = m.uvSets[ch];
                for (unsigned idx : corners) {
                    if (!am->HasTextureCoords(ch)) {
                        set.faceVertUv.push_back(-1);
                        continue;
                    }
                    const aiVector3D& t = am->mTextureCoords[ch][idx];
                    const FloatsKey key{{canonical(t.x), canonical(t.y), 0, 0}};
                    auto [it, inserted] = uvIds[ch].emplace(key, int(set.u.size()));
                    if (inserted) {
                        set.u.push_back(t.x);
                        set.v.push_back(t.y);
                    }
                    set.faceVertUv.push_back(it->second);
                }
            }
            if (colours) {
                ColorSet& set = m.colorSets[0];
                for (unsigned idx : corners) {
                    if (!am->HasVertexColors(0)) {
                        set.faceVertColor.push_back(-1);
                        continue;
                    }
                    const aiColor4D& c = am->mColors[0][idx];
                    auto [it, inserted] =
                        colourIds.emplace(FloatsKey{{c.r, c.g, c.b, c.a}}, int(set.colors.size()));
                    if (inserted) set.colors.push_back({c.r, c.g, c.b, c.a});
                    set.faceVertColor.push_back(it->second);
                }
            }
        }
    }
    // Vertices used only by dropped points/lines stay: ids match the file's vertex order after welding.
    return m;
}

void collect(const aiScene* scene, const aiNode* node, const aiMatrix4x4& parent,
             const std::string& fallbackName, ImportResult& out) {
    const aiMatrix4x4 world = parent * node->mTransformation;
    if (node->mNumMeshes > 0) {
        ImportedMesh im;
        im.mesh = buildMesh(scene, node);
        if (im.mesh.numFaces() > 0) {
            // Importers name a synthetic root "RootNode" or "<FormatRoot>": that is no object name.
            im.name = node->mName.C_Str();
            if (im.name.empty() || im.name == "RootNode" || (im.name.front() == '<' && im.name.back() == '>'))
                im.name = scene->mMeshes[node->mMeshes[0]]->mName.C_Str();
            if (im.name.empty()) im.name = fallbackName;
            im.matrix = fromAssimp(world);
            out.meshes.push_back(std::move(im));
        }
    }
    for (unsigned i = 0; i < node->mNumChildren; ++i)
        collect(scene, node->mChildren[i], world, fallbackName, out);
}

// --- export ---------------------------------------------------------------------------------------------

bool isGltf(const std::string& id) {
    return id == "gltf" || id == "glb" || id == "gltf2" || id == "glb2";
}

// One Assimp mesh from a host mesh: a vertex per distinct (vertex, UV ids, colour id) corner, since Assimp
// stores attributes per vertex; faces as polygons, or as the host's triangles when `triangulate`.
aiMesh* toAssimpMesh(const Mesh& m, const std::string& name, bool triangulate) {
    auto am = std::make_unique<aiMesh>();
    am->mName = aiString(name);
    am->mMaterialIndex = 0;

    const int nsets = std::min<int>(int(m.uvSets.size()), AI_MAX_NUMBER_OF_TEXTURECOORDS);
    const ColorSet* colours =
        m.colorSets.empty() ? nullptr
                            : &m.colorSets[std::clamp(m.currentColorSet, 0, int(m.colorSets.size()) - 1)];

    std::unordered_map<std::vector<int>, int, IntsKeyHash> ids;
    std::vector<int> cornerVertex(m.numFaceVertices());
    std::vector<int> firstCorner;  // per exported vertex, a corner that has its attributes
    std::vector<int> key(1 + nsets + 1);
    for (int c = 0; c < m.numFaceVertices(); ++c) {
        key[0] = m.faceVerts[c];
        for (int s = 0; s < nsets; ++s) key[1 + s] = m.uvSets[s].faceVertUv[c];
        key[1 + nsets] = colours ? colours->faceVertColor[c] : -1;
        auto [it, inserted] = ids.emplace(key, int(firstCorner.size()));
        if (inserted) firstCorner.push_back(c);
        cornerVertex[c] = it->second;
    }

    const unsigned nv = unsigned(firstCorner.size());
    am->mNumVertices = nv;
    am->mVertices = new aiVector3D[nv];
    am->mNormals = new aiVector3D[nv];
    const std::vector<V3>& normals = m.geometry().vertexNormals(true);
    for (unsigned i = 0; i < nv; ++i) {
        const int v = m.faceVerts[firstCorner[i]];
        const V3& p = m.points[v];
        am->mVertices[i] = aiVector3D(float(p.x), float(p.y), float(p.z));
        const V3& n = normals[v];
        am->mNormals[i] = aiVector3D(float(n.x), float(n.y), float(n.z));
    }
    for (int s = 0; s < nsets; ++s) {
        const UvSet& set = m.uvSets[s];
        am->mTextureCoords[s] = new aiVector3D[nv];
        am->mNumUVComponents[s] = 2;
        for (unsigned i = 0; i < nv; ++i) {
            const int uv = set.faceVertUv[firstCorner[i]];
            am->mTextureCoords[s][i] = uv >= 0 ? aiVector3D(set.u[uv], set.v[uv], 0) : aiVector3D(0, 0, 0);
        }
    }
    if (colours) {
        am->mColors[0] = new aiColor4D[nv];
        for (unsigned i = 0; i < nv; ++i) {
            const int id = colours->faceVertColor[firstCorner[i]];
            const auto& c = id >= 0 ? colours->colors[id] : std::array<float, 4>{0, 0, 0, 1};
            am->mColors[0][i] = aiColor4D(c[0], c[1], c[2], c[3]);
        }
    }

    const MeshGeometry& g = m.geometry();
    unsigned nfaces = 0;
    for (int f = 0; f < m.numFaces(); ++f)
        nfaces += triangulate ? g.faceTriangleCount(f) : (m.faceSize(f) >= 3);
    am->mNumFaces = nfaces;
    am->mFaces = new aiFace[nfaces];
    unsigned out = 0;
    bool polygons = false;
    for (int f = 0; f < m.numFaces(); ++f) {
        const int b = m.faceOffsets[f], n = m.faceSize(f);
        if (triangulate) {
            for (int t = 0; t < g.faceTriangleCount(f); ++t) {
                const std::array<int, 3> tc = g.triangleCorners(f, t);
                aiFace& face = am->mFaces[out++];
                face.mNumIndices = 3;
                face.mIndices = new unsigned[3];
                for (int k = 0; k < 3; ++k) face.mIndices[k] = unsigned(cornerVertex[b + tc[k]]);
            }
        } else if (n >= 3) {
            aiFace& face = am->mFaces[out++];
            face.mNumIndices = unsigned(n);
            face.mIndices = new unsigned[n];
            for (int k = 0; k < n; ++k) face.mIndices[k] = unsigned(cornerVertex[b + k]);
            polygons = polygons || n > 3;
        }
    }
    am->mPrimitiveTypes = aiPrimitiveType_TRIANGLE | (polygons ? aiPrimitiveType_POLYGON : 0);
    return am.release();
}

// Assimp's OFF reader trusts the element counts in the header and loops over them even when the file is
// far shorter (a header claiming billions of vertices keeps it busy for minutes). A count that the file
// cannot possibly hold (each element needs at least two bytes) is rejected here first.
std::string offHeaderProblem(const std::string& path, uintmax_t fileSize) {
    std::ifstream in(path);
    std::string magic;
    if (!(in >> magic) || magic.size() < 3 || magic.compare(magic.size() - 3, 3, "OFF") != 0) return "";
    std::string token;
    for (int i = 0; i < 2 && in >> token; ++i) {
        if (token.find_first_not_of("0123456789") != std::string::npos) return "";
        if (token.size() > 18 || std::stoull(token) > fileSize / 2)
            return "the OFF header declares " + token + (i == 0 ? " vertices" : " faces") +
                   " but the file has only " + std::to_string(fileSize) + " bytes";
    }
    return "";
}

}  // namespace

ImportResult importMeshes(const std::string& path) {
    ImportResult result;
    auto fail = [&](const std::string& reason) {
        result.ok = false;
        result.error = "Cannot import '" + path + "': " + reason;
        result.meshes.clear();
        return result;
    };
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return fail("file not found");
    if (std::filesystem::is_directory(path, ec)) return fail("is a directory");
    const std::string offProblem = offHeaderProblem(path, std::filesystem::file_size(path, ec));
    if (!offProblem.empty()) return fail(offProblem);

    Assimp::Importer importer;
    // Fold FBX pivot helper nodes into their node's transform, so each object is one node.
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
    // No triangulation, no splitting by primitive type: polygons stay as the file has them.
    const aiScene* scene = importer.ReadFile(path, aiProcess_ValidateDataStructure);
    if (!scene) {
        const std::string why = importer.GetErrorString();
        return fail(why.empty() ? "unreadable or unsupported file" : why);
    }
    if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode) return fail("incomplete scene");

    collect(scene, scene->mRootNode, aiMatrix4x4(), std::filesystem::path(path).stem().string(), result);
    if (result.meshes.empty()) return fail("no polygon meshes in the file");
    result.ok = true;
    return result;
}

ExportResult exportMeshes(const std::string& path, const std::string& formatId,
                          const std::vector<MeshExportItem>& meshes) {
    ExportResult result;
    auto fail = [&](const std::string& reason) {
        result.ok = false;
        result.error = "Cannot export '" + path + "': " + reason;
        return result;
    };

    Assimp::Exporter exporter;
    bool known = false;
    for (size_t i = 0; i < exporter.GetExportFormatCount(); ++i)
        known = known || formatId == exporter.GetExportFormatDescription(i)->id;
    if (!known) return fail("unknown export format '" + formatId + "'");
    if (meshes.empty()) return fail("nothing to export");

    // Binary FBX from this Assimp release is rejected by its own reader (a padding record is written
    // short), so FBX goes out as ASCII FBX, which every FBX reader accepts.
    const std::string writer = formatId == "fbx" ? "fbxa" : formatId;
    const bool triangulate = isGltf(formatId);
    auto scene = std::make_unique<aiScene>();
    scene->mRootNode = new aiNode("root");
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial*[1];
    scene->mMaterials[0] = new aiMaterial();
    const aiString materialName("lambert1");
    scene->mMaterials[0]->AddProperty(&materialName, AI_MATKEY_NAME);

    scene->mNumMeshes = unsigned(meshes.size());
    scene->mMeshes = new aiMesh*[meshes.size()]();
    scene->mRootNode->mNumChildren = unsigned(meshes.size());
    scene->mRootNode->mChildren = new aiNode*[meshes.size()]();
    for (size_t i = 0; i < meshes.size(); ++i) {
        if (!meshes[i].mesh) return fail("mesh " + std::to_string(i) + " is missing");
        const std::string name = meshes[i].name.empty() ? "mesh" + std::to_string(i + 1) : meshes[i].name;
        scene->mMeshes[i] = toAssimpMesh(*meshes[i].mesh, name, triangulate);
        aiNode* node = new aiNode(name);
        node->mParent = scene->mRootNode;
        node->mTransformation = toAssimp(meshes[i].matrix);
        node->mNumMeshes = 1;
        node->mMeshes = new unsigned[1]{unsigned(i)};
        scene->mRootNode->mChildren[i] = node;
    }

    if (exporter.Export(scene.get(), writer, path) != AI_SUCCESS) {
        const std::string why = exporter.GetErrorString();
        return fail(why.empty() ? "the exporter failed" : why);
    }
    result.ok = true;
    return result;
}

ExportResult exportMeshes(const std::string& path, const std::string& formatId,
                          const std::vector<ImportedMesh>& meshes) {
    std::vector<MeshExportItem> items;
    for (const ImportedMesh& im : meshes) items.push_back({im.name, &im.mesh, im.matrix});
    return exportMeshes(path, formatId, items);
}

std::string exporterIdForFileType(const std::string& hostFileType) {
    static const std::pair<const char*, const char*> table[] = {
        {"OBJexport", "obj"}, {"OBJ", "obj"},  {"FBX export", "fbx"}, {"FBX", "fbx"},
        {"glTF", "gltf2"},    {"glb", "glb2"}, {"PLY", "ply"},
    };
    for (const auto& [type, id] : table)
        if (hostFileType == type) return id;
    return "";
}

std::string exporterIdForPath(const std::string& path) {
    const std::string ext = lower(std::filesystem::path(path).extension().string());
    if (ext == ".obj") return "obj";
    if (ext == ".fbx") return "fbx";
    if (ext == ".gltf") return "gltf2";
    if (ext == ".glb") return "glb2";
    if (ext == ".ply") return "ply";
    return "";
}

}  // namespace kxh
