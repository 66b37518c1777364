// xform, move, currentUnit.
#include <maya/MAngle.h>
#include <maya/MDistance.h>

#include <map>
#include <set>

#include "cmds/scene/SceneCommandUtil.h"
#include "cmds/scene/SceneCommands.h"
#include "mesh/MeshTopology.h"

namespace kxh::scenecmd {

using mel::ArgType;

namespace {

V3 scaled(const V3& v, double f) {
    return V3{v.x * f, v.y * f, v.z * f};
}
V3 added(const V3& a, const V3& b) {
    return V3{a.x + b.x, a.y + b.y, a.z + b.z};
}

Node* transformOf(Node& n) {
    if (n.isTransform()) return &n;
    Node* p = n.parent();
    return p && !p->isWorld() && p->isTransform() ? p : nullptr;
}

// The world position the translate of a transform puts its origin at.
V3 worldTranslation(Node& xform) {
    Matrix44 m = xform.inclusiveMatrix();
    return V3{m.m[3][0], m.m[3][1], m.m[3][2]};
}

// Sets translate so that the transform's origin lands on `world`.
bool setWorldTranslation(Node& xform, const V3& world, std::string& error) {
    Node* p = xform.parent();
    Matrix44 parentInv = p && !p->isWorld() ? p->inclusiveMatrix().inverse() : Matrix44();
    return setDouble3(xform, "translate", parentInv.transformPoint(world), error);
}

// A world-space displacement expressed in the transform's parent space.
V3 worldDeltaToParent(Node& xform, const V3& delta) {
    Node* p = xform.parent();
    return p && !p->isWorld() ? p->inclusiveMatrix().inverse().transformVector(delta) : delta;
}

// --- xform ------------------------------------------------------------------------------------------------

bool xformCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.queryable = true;
    syn.flag("t", "translation", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("ro", "rotation", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("s", "scale", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("m", "matrix")
        .flag("ws", "worldSpace")
        .flag("os", "objectSpace")
        .flag("r", "relative")
        .flag("a", "absolute");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::vector<NodePtr> nodes;
    std::string error;
    if (!objectsOrSelection(a.objects, nodes, error)) return inv.fail(error);
    const bool ws = a.has("ws");
    const double lin = uiToCm(), ang = uiToRadians();

    if (a.query) {
        Node* x = transformOf(*nodes[0]);
        if (!x) return inv.fail("Object " + nodes[0]->name() + " is not a transform.");
        std::vector<double> out;
        if (a.has("t")) {
            V3 t = ws ? worldTranslation(*x) : getDouble3(*x, "translate");
            out = {t.x / lin, t.y / lin, t.z / lin};
        } else if (a.has("ro")) {
            V3 r = ws ? decompose(x->inclusiveMatrix()).rotate : getDouble3(*x, "rotate");
            out = {r.x / ang, r.y / ang, r.z / ang};
        } else if (a.has("s")) {
            V3 s = ws ? decompose(x->inclusiveMatrix()).scale : getDouble3(*x, "scale");
            out = {s.x, s.y, s.z};
        } else if (a.has("m")) {
            Matrix44 m = ws ? x->inclusiveMatrix() : x->localMatrix();
            for (int i = 0; i < 16; ++i)
                out.push_back(i / 4 == 3 && i % 4 < 3 ? m.m[3][i % 4] / lin : m.m[i / 4][i % 4]);
        } else {
            return inv.fail("No query flag given.");
        }
        inv.result = mel::Value(out);
        return true;
    }

    auto vec = [&](const char* flag, double f) {
        return V3{a.arg(flag, mel::Value(0.0), 0).asFloat() * f,
                  a.arg(flag, mel::Value(0.0), 1).asFloat() * f,
                  a.arg(flag, mel::Value(0.0), 2).asFloat() * f};
    };
    const bool rel = a.has("r");
    return mel::undoable(inv, scene(), [&] {
        for (auto& n : nodes) {
            Node* x = transformOf(*n);
            if (!x) return inv.fail("Object " + n->name() + " is not a transform.");
            if (a.has("t")) {
                V3 t = vec("t", lin);
                bool ok;
                if (ws)
                    ok =
                        rel ? setDouble3(*x, "translate",
                                         added(getDouble3(*x, "translate"), worldDeltaToParent(*x, t)), error)
                            : setWorldTranslation(*x, t, error);
                else
                    ok = setDouble3(*x, "translate", rel ? added(getDouble3(*x, "translate"), t) : t, error);
                if (!ok) return inv.fail(error);
            }
            if (a.has("ro")) {
                V3 r = vec("ro", ang);
                if (!setDouble3(*x, "rotate", rel ? added(getDouble3(*x, "rotate"), r) : r, error))
                    return inv.fail(error);
            }
            if (a.has("s")) {
                V3 s = vec("s", 1.0);
                if (rel) {
                    V3 c = getDouble3(*x, "scale");
                    s = V3{c.x * s.x, c.y * s.y, c.z * s.z};
                }
                if (!setDouble3(*x, "scale", s, error)) return inv.fail(error);
            }
        }
        return true;
    });
}

// --- move
// ---------------------------------------------------------------------------------------------------

// Vertex ids of a component item (edges and faces stand for their corners).
std::vector<int> vertexIdsOf(const SelectionItem& item, const Mesh& mesh) {
    std::set<int> ids;
    switch (item.kind) {
        case ComponentKind::Vertex:
            ids.insert(item.ids.begin(), item.ids.end());
            break;
        case ComponentKind::Edge: {
            const MeshTopology& topo = mesh.topology();
            for (int e : item.ids)
                if (e < topo.numEdges()) {
                    ids.insert(topo.edgeVertex(e, 0));
                    ids.insert(topo.edgeVertex(e, 1));
                }
            break;
        }
        case ComponentKind::Face:
            for (int f : item.ids)
                if (f < mesh.numFaces())
                    for (int k = mesh.faceOffsets[f]; k < mesh.faceOffsets[f + 1]; ++k)
                        ids.insert(mesh.faceVerts[k]);
            break;
        default:
            break;
    }
    return std::vector<int>(ids.begin(), ids.end());
}

bool moveCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("r", "relative")
        .flag("a", "absolute")
        .flag("ws", "worldSpace")
        .flag("os", "objectSpace")
        .flag("ls", "localSpace")
        .flag("x", "moveX")
        .flag("y", "moveY")
        .flag("z", "moveZ");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    // Leading numbers are the displacement (or position); the words after them name what moves.
    std::vector<double> nums;
    size_t first = 0;
    while (first < a.objects.size() && first < 3 && a.objects[first].isNumber())
        nums.push_back(a.objects[first++].asFloat());
    std::vector<bool> axes = {a.has("x"), a.has("y"), a.has("z")};
    const bool anyAxis = axes[0] || axes[1] || axes[2];
    if (!anyAxis) axes = {true, true, true};
    double v[3] = {0, 0, 0};
    size_t k = 0;
    for (int i = 0; i < 3; ++i)
        if (axes[size_t(i)]) {
            if (k >= nums.size()) return inv.fail("Not enough values for move.");
            v[i] = nums[k++] * uiToCm();
        }
    std::vector<SelectionItem> items;
    std::string error;
    if (!itemsOrSelection(a.objects, items, error, first)) return inv.fail(error);
    if (items.empty()) return inv.fail("No objects specified and none selected.");
    const bool relative = a.has("r");
    const bool objectSpace = a.has("os") || a.has("ls");
    const V3 value{v[0], v[1], v[2]};

    return mel::undoable(inv, scene(), [&] {
        std::set<Node*> movedShapes;
        for (const auto& item : items) {
            Node& n = *item.node;
            if (!n.alive()) continue;
            if (!item.hasComponents()) {
                Node* x = transformOf(n);
                if (!x) continue;
                V3 t = getDouble3(*x, "translate");
                V3 target;
                if (relative) {
                    V3 delta = value;
                    if (!objectSpace)
                        delta = worldDeltaToParent(*x, delta);
                    else
                        delta = eulerMatrix(getDouble3(*x, "rotate").x, getDouble3(*x, "rotate").y,
                                            getDouble3(*x, "rotate").z, RotateOrder::XYZ)
                                    .transformVector(delta);
                    target = added(t, delta);
                } else {
                    // Absolute: only the named axes change.
                    V3 world = objectSpace ? t : worldTranslation(*x);
                    V3 w{axes[0] ? value.x : world.x, axes[1] ? value.y : world.y,
                         axes[2] ? value.z : world.z};
                    if (objectSpace)
                        target = w;
                    else {
                        if (!setWorldTranslation(*x, w, error)) return inv.fail(error);
                        continue;
                    }
                }
                if (!setDouble3(*x, "translate", target, error)) return inv.fail(error);
                continue;
            }
            if (n.typeName() != "mesh" || !movedShapes.insert(&n).second) continue;
            MeshPtr mesh = scene().shapeMesh(n);
            if (!mesh) continue;
            // Every component item of this shape together: a point named twice moves once.
            std::set<int> idSet;
            for (const auto& other : items)
                if (other.node.get() == &n && other.hasComponents()) {
                    std::vector<int> more = vertexIdsOf(other, *mesh);
                    idSet.insert(more.begin(), more.end());
                }
            std::vector<int> ids(idSet.begin(), idSet.end());
            if (ids.empty()) continue;
            std::vector<V3> pts = mesh->points;
            Matrix44 toWorld = n.inclusiveMatrix();
            Matrix44 toObject = toWorld.inverse();
            V3 delta;
            if (relative) {
                delta = objectSpace ? value : toObject.transformVector(value);
            } else {
                // Absolute: the centre of the moving points goes to the position (named axes only).
                V3 c{0, 0, 0};
                for (int id : ids)
                    c = added(c, objectSpace ? pts[size_t(id)] : toWorld.transformPoint(pts[size_t(id)]));
                c = scaled(c, 1.0 / double(ids.size()));
                V3 d{axes[0] ? value.x - c.x : 0, axes[1] ? value.y - c.y : 0, axes[2] ? value.z - c.z : 0};
                delta = objectSpace ? d : toObject.transformVector(d);
            }
            for (int id : ids) pts[size_t(id)] = added(pts[size_t(id)], delta);
            if (!scene().setShapePoints(n, pts, &error)) return inv.fail(error);
        }
        return true;
    });
}

// --- pointPosition ---------------------------------------------------------------------------------------

// pointPosition [-w|-l] <component>: the position of one mesh vertex (the first one named), in world
// space by default, in the UI's linear unit.
bool pointPositionCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("w", "world").flag("l", "local");
    syn.minObjects = 1;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::vector<SelectionItem> items;
    std::string error;
    if (!resolveItems({a.objects[0].asString()}, items, error)) return inv.fail(error);
    for (const auto& item : items) {
        if (!item.hasComponents() || item.node->typeName() != "mesh") continue;
        MeshPtr mesh = scene().shapeMesh(*item.node);
        if (!mesh) continue;
        std::vector<int> ids = vertexIdsOf(item, *mesh);
        if (ids.empty()) continue;
        V3 p = mesh->points[size_t(ids.front())];
        if (!a.has("l")) p = item.node->inclusiveMatrix().transformPoint(p);
        const double k = 1.0 / uiToCm();
        inv.result = mel::Value(std::vector<double>{p.x * k, p.y * k, p.z * k});
        return true;
    }
    return inv.fail("pointPosition: " + a.objects[0].asString() + " is not a mesh point.");
}

// --- currentUnit -------------------------------------------------------------------------------------------

const std::map<std::string, MDistance::Unit>& linearUnits() {
    static const std::map<std::string, MDistance::Unit> units = {
        {"mm", MDistance::kMillimeters}, {"millimeter", MDistance::kMillimeters},
        {"cm", MDistance::kCentimeters}, {"centimeter", MDistance::kCentimeters},
        {"m", MDistance::kMeters},       {"meter", MDistance::kMeters},
        {"km", MDistance::kKilometers},  {"kilometer", MDistance::kKilometers},
        {"in", MDistance::kInches},      {"inch", MDistance::kInches},
        {"ft", MDistance::kFeet},        {"foot", MDistance::kFeet},
        {"yd", MDistance::kYards},       {"yard", MDistance::kYards},
        {"mi", MDistance::kMiles},       {"mile", MDistance::kMiles}};
    return units;
}

std::string linearUnitName(MDistance::Unit u, bool full) {
    switch (u) {
        case MDistance::kMillimeters:
            return full ? "millimeter" : "mm";
        case MDistance::kMeters:
            return full ? "meter" : "m";
        case MDistance::kKilometers:
            return full ? "kilometer" : "km";
        case MDistance::kInches:
            return full ? "inch" : "in";
        case MDistance::kFeet:
            return full ? "foot" : "ft";
        case MDistance::kYards:
            return full ? "yard" : "yd";
        case MDistance::kMiles:
            return full ? "mile" : "mi";
        default:
            return full ? "centimeter" : "cm";
    }
}

bool currentUnitCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.queryable = true;
    syn.flag("l", "linear", {ArgType::String})
        .flag("a", "angle", {ArgType::String})
        .flag("f", "fullName")
        .flag("t", "time", {ArgType::String})
        .flag("ua", "updateAnimation", {ArgType::Bool});
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    if (a.query) {
        if (a.has("a")) {
            bool rad = MAngle::uiUnit() == MAngle::kRadians;
            inv.result = mel::Value(
                std::string(rad ? (a.has("f") ? "radian" : "rad") : (a.has("f") ? "degree" : "deg")));
        } else if (a.has("t")) {
            inv.result = mel::Value("film");
        } else {
            inv.result = mel::Value(linearUnitName(MDistance::uiUnit(), a.has("f")));
        }
        return true;
    }
    if (a.has("l")) {
        auto it = linearUnits().find(a.arg("l").asString());
        if (it == linearUnits().end()) return inv.fail("Invalid linear unit: " + a.arg("l").asString());
        MDistance::setUIUnit(it->second);
    }
    if (a.has("a")) {
        std::string u = a.arg("a").asString();
        if (u == "deg" || u == "degree")
            MAngle::setUIUnit(MAngle::kDegrees);
        else if (u == "rad" || u == "radian")
            MAngle::setUIUnit(MAngle::kRadians);
        else
            return inv.fail("Invalid angular unit: " + u);
    }
    return true;
}

}  // namespace

void registerTransformCommands(mel::CommandRegistry& registry) {
    registry.add({"xform", xformCmd, nullptr});
    registry.add({"move", moveCmd, nullptr});
    registry.add({"pointPosition", pointPositionCmd, nullptr});
    registry.add({"currentUnit", currentUnitCmd, nullptr});
}

}  // namespace kxh::scenecmd
