// polyUnite and polySeparate. Neither makes a history node whatever -ch says (see the host's semantics
// notes): polyUnite writes the combined mesh, in world space, into a new transform's shape and deletes the
// source shapes (and transforms left empty); polySeparate replaces a shape by one new mesh per shell
// under the shape's transform, which becomes their group. One undo step each.
#include <cmath>
#include <set>

#include "cmds/ops/ComponentTargets.h"
#include "cmds/ops/OpsCommands.h"
#include "cmds/scene/SceneCommandUtil.h"
#include "mesh/ops/CombineShells.h"
#include "mesh/ops/FaceWinding.h"

namespace kxh::opscmd {

using mel::ArgType;
using scenecmd::scene;

namespace {

const mel::Syntax& uniteSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("ch", "constructionHistory", {ArgType::Bool})
            .flag("n", "name", {ArgType::String})
            .flag("muv", "mergeUVSets", {ArgType::Int})
            .flag("cp", "centerPivot", {ArgType::Bool});
        return s;
    }();
    return syntax;
}

const mel::Syntax& separateSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("ch", "constructionHistory", {ArgType::Bool});
        s.maxObjects = 1;
        return s;
    }();
    return syntax;
}

double determinant3(const Matrix44& t) {
    const auto& m = t.m;
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// A copy of a shape's mesh with its points (and locked normals) in world space. A mirroring matrix
// turns the faces inside out, so their winding is reversed to keep them facing the same way.
Mesh worldMesh(Node& shape, const Mesh& mesh) {
    Mesh out = mesh;
    const Matrix44 toWorld = shape.inclusiveMatrix();
    if (toWorld.isIdentity()) return out;
    for (V3& p : out.points) p = toWorld.transformPoint(p);
    for (auto& [v, n] : out.lockedNormals) {
        V3 w = toWorld.transformVector(n);
        const double len = std::sqrt(w.x * w.x + w.y * w.y + w.z * w.z);
        if (len > 0) n = V3{w.x / len, w.y / len, w.z / len};
    }
    out.pointsChanged();
    if (determinant3(toWorld) < 0) ops::reverseFaces(out, ops::allFaces(out));
    return out;
}

bool polyUniteCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, uniteSyntax(), a)) return false;
    std::vector<NodePtr> nodes;
    std::string error;
    if (!scenecmd::objectsOrSelection(a.objects, nodes, error)) return inv.fail(error);
    std::vector<Node*> shapes;
    std::set<Node*> seen;
    for (const NodePtr& n : nodes) {
        Node* shape = scenecmd::meshShapeOf(*n);
        if (!shape || !scene().shapeMesh(*shape))
            return inv.fail("polyUnite: " + n->name() + " is not a polygon mesh.");
        if (seen.insert(shape).second) shapes.push_back(shape);
    }
    if (shapes.size() < 2) return inv.fail("polyUnite: At least two polygon meshes are needed to combine.");

    std::vector<Mesh> parts;
    parts.reserve(shapes.size());
    for (Node* shape : shapes) parts.push_back(worldMesh(*shape, *scene().shapeMesh(*shape)));
    std::vector<const Mesh*> partPtrs;
    for (const Mesh& m : parts) partPtrs.push_back(&m);
    auto combined = std::make_shared<Mesh>(ops::combineMeshes(partPtrs));
    if (!checkResult("polyUnite", *combined, error)) return inv.fail(error);

    NodePtr xform;
    const bool ok = mel::undoable(inv, scene(), [&] {
        Scene& s = scene();
        std::vector<NodePtr> gone;
        for (Node* shape : shapes) gone.push_back(shape->ptr());
        // The sources go first so that a name they held (-n pCube1) is free for the result.
        if (!s.deleteNodes(gone, &error)) return inv.fail(error);
        const std::string wanted = a.has("n") ? a.arg("n").asString() : std::string("polySurface1");
        NodePtr shape = scenecmd::createMeshTransform(wanted, xform, error);
        if (!shape) return inv.fail(error);
        if (!s.setShapeMesh(*shape, combined, &error)) return inv.fail(error);
        scenecmd::selectOnly(xform);
        return true;
    });
    if (ok) inv.result = mel::Value(std::vector<std::string>{xform->name()});
    return ok;
}

bool polySeparateCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, separateSyntax(), a)) return false;
    std::vector<NodePtr> nodes;
    std::string error;
    if (!scenecmd::objectsOrSelection(a.objects, nodes, error)) return inv.fail(error);
    if (nodes.size() != 1)
        return inv.fail("polySeparate: Exactly one polygon object must be given or selected.");
    Node* shape = scenecmd::meshShapeOf(*nodes[0]);
    MeshPtr mesh = shape ? scene().shapeMesh(*shape) : nullptr;
    if (!mesh || !shape->parent())
        return inv.fail("polySeparate: " + nodes[0]->name() + " is not a polygon mesh.");
    const std::vector<std::vector<int>> shells = ops::meshShells(*mesh);
    if (shells.size() < 2)
        return inv.fail("polySeparate: Object " + nodes[0]->name() + " has only one piece. Ignored.");

    std::vector<MeshPtr> pieces;
    for (const auto& faces : shells) {
        auto piece = std::make_shared<Mesh>(ops::extractFaces(*mesh, faces));
        if (!checkResult("polySeparate", *piece, error)) return inv.fail(error);
        pieces.push_back(piece);
    }
    Node* group = shape->parent();
    std::vector<std::string> names;
    const bool ok = mel::undoable(inv, scene(), [&] {
        Scene& s = scene();
        // The pieces keep the shape's object space: each new transform sits under the group with an
        // identity matrix. They go in before the shape goes, so that the group is never left empty.
        std::vector<NodePtr> made;
        for (const MeshPtr& piece : pieces) {
            NodePtr xform;
            NodePtr pieceShape = scenecmd::createMeshTransform("polySurface1", xform, error);
            if (!pieceShape || !s.reparentNode(*xform, group, &error) ||
                !s.setShapeMesh(*pieceShape, piece, &error))
                return inv.fail(error);
            made.push_back(xform);
            names.push_back(xform->name());
        }
        if (!s.deleteNode(*shape, &error)) return inv.fail(error);
        SelectionList sel;
        for (const NodePtr& n : made) sel.add(n);
        s.setActiveSelection(sel);
        return true;
    });
    if (ok) inv.result = mel::Value(names);
    return ok;
}

}  // namespace

void registerUniteSeparate(mel::CommandRegistry& registry) {
    registry.add({"polyUnite", polyUniteCmd, std::make_shared<mel::Syntax>(uniteSyntax())});
    registry.add({"polySeparate", polySeparateCmd, std::make_shared<mel::Syntax>(separateSyntax())});
}

}  // namespace kxh::opscmd
