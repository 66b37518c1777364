// rotate, scale and makeIdentity on objects and mesh components.
//   Objects: -a (the default) sets the transform's rotate/scale channels, -r adds to the rotate angles or
//   multiplies the scale. Components: the points turn or scale in world space (object space with -os)
//   about -p, or about the centre of their bounding box.
//   makeIdentity -a true bakes the chosen channels (-t -r -s, all when none is given) into the points of
//   the transform's mesh shapes and resets them; -a false only resets them.
#include <set>

#include "cmds/scene/SceneCommandUtil.h"
#include "cmds/scene/SceneCommands.h"
#include "graph/core/GraphMath.h"
#include "mesh/MeshTopology.h"

namespace kxh::scenecmd {

using mel::ArgType;

namespace {

Node* transformOf(Node& n) {
    if (n.isTransform()) return &n;
    Node* p = n.parent();
    return p && !p->isWorld() && p->isTransform() ? p : nullptr;
}

// The component ids of one shape's items as vertex ids (edges and faces through their corners).
std::vector<int> pointIds(const std::vector<SelectionItem>& items, Node& shape, const Mesh& mesh) {
    std::set<int> ids;
    for (const auto& item : items) {
        if (item.node.get() != &shape || !item.hasComponents()) continue;
        for (int id : item.ids) {
            if (item.kind == ComponentKind::Vertex && id < mesh.numVertices()) ids.insert(id);
            if (item.kind == ComponentKind::Edge && id < mesh.topology().numEdges())
                ids.insert({mesh.topology().edgeVertex(id, 0), mesh.topology().edgeVertex(id, 1)});
            if (item.kind == ComponentKind::Face && id < mesh.numFaces())
                ids.insert(mesh.faceVerts.begin() + mesh.faceOffsets[id],
                           mesh.faceVerts.begin() + mesh.faceOffsets[id + 1]);
        }
    }
    return std::vector<int>(ids.begin(), ids.end());
}

enum class Edit { Rotate, Scale };

bool rotateOrScale(mel::Invocation& inv, Edit edit) {
    mel::Syntax syn;
    syn.flag("r", "relative")
        .flag("a", "absolute")
        .flag("ws", "worldSpace")
        .flag("os", "objectSpace")
        .flag("p", "pivot", {ArgType::Float, ArgType::Float, ArgType::Float});
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::vector<double> nums;
    size_t first = 0;
    while (first < a.objects.size() && first < 3 && a.objects[first].isNumber())
        nums.push_back(a.objects[first++].asFloat());
    if (nums.size() != 3) return inv.fail(inv.name + ": three values (x y z) are needed.");
    std::vector<SelectionItem> items;
    std::string error;
    if (!itemsOrSelection(a.objects, items, error, first)) return inv.fail(error);
    if (items.empty()) return inv.fail("No objects specified and none selected.");
    const double k = edit == Edit::Rotate ? uiToRadians() : 1.0;
    const V3 value{nums[0] * k, nums[1] * k, nums[2] * k};
    const bool relative = a.has("r"), objectSpace = a.has("os");

    return mel::undoable(inv, scene(), [&] {
        std::set<Node*> done;
        for (const auto& item : items) {
            Node& n = *item.node;
            if (!n.alive() || !done.insert(&n).second) continue;
            if (!item.hasComponents()) {
                Node* x = transformOf(n);
                if (!x) continue;
                const char* attr = edit == Edit::Rotate ? "rotate" : "scale";
                V3 now = getDouble3(*x, attr), target = value;
                if (relative)
                    target = edit == Edit::Rotate ? V3{now.x + value.x, now.y + value.y, now.z + value.z}
                                                  : V3{now.x * value.x, now.y * value.y, now.z * value.z};
                if (!setDouble3(*x, attr, target, error)) return inv.fail(error);
                continue;
            }
            if (n.typeName() != "mesh") continue;
            MeshPtr mesh = scene().shapeMesh(n);
            if (!mesh) continue;
            std::vector<int> ids = pointIds(items, n, *mesh);
            if (ids.empty()) continue;
            Matrix44 toWorld = objectSpace ? Matrix44() : n.inclusiveMatrix();
            Matrix44 toObject = toWorld.inverse();
            std::vector<V3> pts = mesh->points;
            V3 c;
            if (a.has("p")) {
                c = V3{a.arg("p", 0.0, 0).asFloat() * uiToCm(), a.arg("p", 0.0, 1).asFloat() * uiToCm(),
                       a.arg("p", 0.0, 2).asFloat() * uiToCm()};
            } else {
                V3 lo = toWorld.transformPoint(pts[size_t(ids[0])]), hi = lo;
                for (int id : ids) {
                    V3 w = toWorld.transformPoint(pts[size_t(id)]);
                    lo = V3{std::min(lo.x, w.x), std::min(lo.y, w.y), std::min(lo.z, w.z)};
                    hi = V3{std::max(hi.x, w.x), std::max(hi.y, w.y), std::max(hi.z, w.z)};
                }
                c = V3{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
            }
            Matrix44 op = edit == Edit::Rotate ? eulerMatrix(value.x, value.y, value.z, RotateOrder::XYZ)
                                               : Matrix44::scaling(value.x, value.y, value.z);
            Matrix44 about =
                Matrix44::translation(-c.x, -c.y, -c.z) * op * Matrix44::translation(c.x, c.y, c.z);
            Matrix44 whole = toWorld * about * toObject;
            for (int id : ids) pts[size_t(id)] = whole.transformPoint(pts[size_t(id)]);
            if (!scene().setShapePoints(n, pts, &error)) return inv.fail(error);
        }
        return true;
    });
}

bool makeIdentityCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("a", "apply", {ArgType::Bool})
        .flag("t", "translate", {ArgType::Bool})
        .flag("r", "rotate", {ArgType::Bool})
        .flag("s", "scale", {ArgType::Bool})
        .flag("n", "normal", {ArgType::Int})
        .flag("pn", "preserveNormals", {ArgType::Bool});
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::vector<NodePtr> nodes;
    std::string error;
    if (!objectsOrSelection(a.objects, nodes, error)) return inv.fail(error);
    bool any = a.has("t") || a.has("r") || a.has("s");
    bool t = any ? a.arg("t", 0).asBool() : true, r = any ? a.arg("r", 0).asBool() : true,
         s = any ? a.arg("s", 0).asBool() : true;
    bool apply = a.arg("a", 0).asBool();
    return mel::undoable(inv, scene(), [&] {
        for (const NodePtr& node : nodes) {
            Node* x = transformOf(*node);
            if (!x || !x->alive()) continue;
            Matrix44 before = x->localMatrix();
            if (t && !setDouble3(*x, "translate", V3{0, 0, 0}, error)) return inv.fail(error);
            if (r && !setDouble3(*x, "rotate", V3{0, 0, 0}, error)) return inv.fail(error);
            if (s && !setDouble3(*x, "scale", V3{1, 1, 1}, error)) return inv.fail(error);
            if (!apply) continue;
            // Points keep their world place: p' = p * before * after^-1.
            Matrix44 bake = before * x->localMatrix().inverse();
            for (Node* child : x->children()) {
                if (child->typeName() != "mesh" || child->isIntermediate()) continue;
                MeshPtr mesh = scene().shapeMesh(*child);
                if (!mesh) continue;
                std::vector<V3> pts = mesh->points;
                for (V3& p : pts) p = bake.transformPoint(p);
                if (!scene().setShapePoints(*child, pts, &error)) return inv.fail(error);
            }
        }
        return true;
    });
}

}  // namespace

void registerRotateScaleCommands(mel::CommandRegistry& registry) {
    registry.add({"rotate", [](mel::Invocation& inv) { return rotateOrScale(inv, Edit::Rotate); }, nullptr});
    registry.add({"scale", [](mel::Invocation& inv) { return rotateOrScale(inv, Edit::Scale); }, nullptr});
    registry.add({"makeIdentity", makeIdentityCmd, nullptr});
}

}  // namespace kxh::scenecmd
