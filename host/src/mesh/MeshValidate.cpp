#include "mesh/MeshValidate.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

#include "mesh/MeshGeometry.h"
#include "mesh/MeshMath.h"
#include "mesh/MeshTopology.h"

namespace kxh {

namespace {

// Collects faults, keeping the first few of each kind and counting the rest.
class Report {
public:
    static constexpr int kPerKind = 5;

    template <typename... Args>
    void add(const char* kind, Args&&... parts) {
        int& n = counts_[kind];
        if (n++ >= kPerKind) return;
        std::ostringstream s;
        (s << ... << parts);
        lines_.push_back(s.str());
    }
    std::vector<std::string> finish() {
        for (const auto& [kind, n] : counts_)
            if (n > kPerKind) lines_.push_back("... " + std::to_string(n - kPerKind) + " more: " + kind);
        return std::move(lines_);
    }

private:
    std::vector<std::string> lines_;
    std::map<std::string, int> counts_;
};

bool checkOffsets(const Mesh& m, Report& r) {
    const std::vector<int>& o = m.faceOffsets;
    if (o.empty()) {
        r.add("offsets", "faceOffsets is empty (needs numFaces()+1 entries starting at 0)");
        return false;
    }
    bool ok = true;
    if (o[0] != 0) {
        r.add("offsets", "faceOffsets[0] is ", o[0], ", not 0");
        ok = false;
    }
    for (size_t f = 0; f + 1 < o.size(); ++f)
        if (o[f + 1] < o[f]) {
            r.add("offsets", "faceOffsets decrease at face ", f, " (", o[f], " then ", o[f + 1], ")");
            ok = false;
        }
    if (o.back() != int(m.faceVerts.size())) {
        r.add("offsets", "faceOffsets end at ", o.back(), " but faceVerts has ", m.faceVerts.size(),
              " entries");
        ok = false;
    }
    return ok;
}

bool checkFaces(const Mesh& m, Report& r) {
    bool idsOk = true;
    const int nv = m.numVertices();
    for (size_t i = 0; i < m.faceVerts.size(); ++i)
        if (m.faceVerts[i] < 0 || m.faceVerts[i] >= nv) {
            r.add("vertex id", "face-vertex ", i, " names vertex ", m.faceVerts[i], " (mesh has ", nv,
                  " vertices)");
            idsOk = false;
        }
    std::vector<int> sorted;
    for (int f = 0; f < m.numFaces(); ++f) {
        const int n = m.faceSize(f);
        if (n < 3) r.add("face size", "face ", f, " has ", n, " vertices");
        sorted.assign(m.faceVerts.begin() + m.faceOffsets[f], m.faceVerts.begin() + m.faceOffsets[f + 1]);
        std::sort(sorted.begin(), sorted.end());
        auto dup = std::adjacent_find(sorted.begin(), sorted.end());
        if (dup != sorted.end()) r.add("repeated vertex", "face ", f, " uses vertex ", *dup, " twice");
    }
    for (int v = 0; v < nv; ++v)
        if (!isFinite(m.points[v])) r.add("point", "vertex ", v, " is not finite");
    return idsOk;
}

void checkEdges(const Mesh& m, const MeshTopology& t, Report& r) {
    // Per edge, how many corners run along it in each direction (vertex 0 -> 1, and back).
    std::vector<unsigned char> uses(2 * size_t(t.numEdges()), 0);
    for (int c = 0; c < m.numFaceVertices(); ++c) {
        const int e = t.faceVertEdge(c);
        const int dir = m.faceVerts[c] == t.edgeVertex(e, 0) ? 0 : 1;
        unsigned char& n = uses[2 * e + dir];
        if (n < 255) ++n;
    }
    for (int e = 0; e < t.numEdges(); ++e) {
        const int a = t.edgeVertex(e, 0), b = t.edgeVertex(e, 1);
        const IdRange faces = t.edgeFaces(e);
        if (faces.size() > 2) {
            r.add("non-manifold edge", "edge ", e, " (", a, "-", b, ") has ", faces.size(), " faces");
            continue;
        }
        if (uses[2 * e] > 1 || uses[2 * e + 1] > 1) {
            r.add("orientation", "edge ", e, " (", a, "-", b, ") is used twice in the same direction",
                  faces.size() == 2 ? " (faces " : "", faces.size() == 2 ? std::to_string(faces[0]) : "",
                  faces.size() == 2 ? " and " + std::to_string(faces[1]) + ")" : "");
        }
    }
}

template <typename Set, typename IdsOf, typename CountOf>
void checkSets(const Mesh& m, const std::vector<Set>& sets, int current, const char* what, IdsOf ids,
               CountOf count, bool wholeFaces, Report& r) {
    // wholeFaces: check that each face has UVs on all corners or none (needs valid offsets).
    if (!sets.empty() && (current < 0 || current >= int(sets.size())))
        r.add(what, "current ", what, " set index ", current, " is out of range (", sets.size(), " sets)");
    std::set<std::string> names;
    for (const Set& s : sets) {
        if (!names.insert(s.name).second) r.add(what, what, " set name '", s.name, "' is used twice");
        const std::vector<int>& fvIds = ids(s);
        const int n = count(s);
        if (n < 0) {
            r.add(what, what, " set '", s.name, "' has arrays of different lengths");
            continue;
        }
        if (fvIds.size() != m.faceVerts.size()) {
            r.add(what, what, " set '", s.name, "' has ", fvIds.size(), " face-vertex ids for ",
                  m.faceVerts.size(), " face-vertices");
            continue;
        }
        for (size_t i = 0; i < fvIds.size(); ++i)
            if (fvIds[i] < -1 || fvIds[i] >= n)
                r.add(what, what, " set '", s.name, "': face-vertex ", i, " names id ", fvIds[i],
                      " (set has ", n, ")");
        if (!wholeFaces) continue;
        for (int f = 0; f < m.numFaces(); ++f) {
            int with = 0;
            for (int c = m.faceOffsets[f]; c < m.faceOffsets[f + 1]; ++c) with += fvIds[c] >= 0;
            if (with != 0 && with != m.faceSize(f))
                r.add(what, what, " set '", s.name, "': face ", f, " has ", what, "s on ", with, " of ",
                      m.faceSize(f), " corners");
        }
    }
}

}  // namespace

std::vector<std::string> validateMesh(const Mesh& m) {
    Report r;
    const bool offsetsOk = checkOffsets(m, r);
    const bool idsOk = offsetsOk && checkFaces(m, r);

    checkSets(
        m, m.uvSets, m.currentUvSet, "UV",
        [](const UvSet& s) -> const std::vector<int>& { return s.faceVertUv; },
        [](const UvSet& s) { return s.u.size() == s.v.size() ? int(s.u.size()) : -1; }, offsetsOk, r);
    checkSets(
        m, m.colorSets, m.currentColorSet, "colour",
        [](const ColorSet& s) -> const std::vector<int>& { return s.faceVertColor; },
        [](const ColorSet& s) { return int(s.colors.size()); }, false, r);

    for (const auto& [v, n] : m.lockedNormals) {
        if (v < 0 || v >= m.numVertices()) r.add("locked normal", "locked normal on missing vertex ", v);
        if (!isFinite(n)) r.add("locked normal", "locked normal of vertex ", v, " is not finite");
    }

    if (!idsOk) return r.finish();  // the rest needs a topology, which needs valid ids

    const auto freshPtr = std::make_shared<const MeshTopology>(m);
    const MeshTopology& fresh = *freshPtr;
    checkEdges(m, fresh, r);
    for (const auto& [key, value] : m.edgeCreases) {
        if (key.first >= key.second || fresh.findEdge(key.first, key.second) < 0)
            r.add("crease", "crease (", key.first, ",", key.second,
                  ") does not name an edge by its sorted vertices");
        if (!(value >= 0)) r.add("crease", "crease (", key.first, ",", key.second, ") has value ", value);
    }

    const MeshTopology* cachedTopo = m.cachedTopology();
    if (cachedTopo && *cachedTopo != fresh) {
        // The cached geometry works over the stale topology and could index past the arrays: stop here.
        r.add("stale cache", "cached topology differs from a rebuild (missing topologyChanged())");
        return r.finish();
    }
    if (const MeshGeometry* cached = m.cachedGeometry()) {
        const MeshGeometry freshGeometry(m, freshPtr);
        if (!cached->agreesWith(freshGeometry))
            r.add("stale cache", "cached geometry differs from a rebuild (missing pointsChanged())");
    }
    return r.finish();
}

}  // namespace kxh
