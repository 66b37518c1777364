#include "cmds/scene/SceneCommandUtil.h"

#include <maya/MAngle.h>
#include <maya/MDistance.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace kxh::scenecmd {

// --- names -----------------------------------------------------------------------------------------------

bool hasWildcard(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

NodePtr findNode(const std::string& name, std::string& error) {
    NodePtr n = scene().find(name);
    if (!n || n->isWorld()) {
        error = "No object matches name: " + name;
        return nullptr;
    }
    return n;
}

std::vector<NodePtr> findNodes(const std::string& nameOrPattern) {
    if (hasWildcard(nameOrPattern)) return scene().match(nameOrPattern);
    NodePtr n = scene().find(nameOrPattern);
    if (!n || n->isWorld()) return {};
    return {n};
}

NodePtr createMeshTransform(const std::string& wanted, NodePtr& xform, std::string& error) {
    Scene& s = scene();
    xform = s.createNode("transform", wanted, nullptr, &error);
    if (!xform) return nullptr;
    return s.createNode("mesh", s.uniqueName(Scene::shapeNameFor(xform->name())), xform.get(), &error);
}

void selectOnly(const NodePtr& node) {
    SelectionList sel;
    sel.add(node);
    scene().setActiveSelection(sel);
}

Node* meshShapeOf(Node& node) {
    if (node.typeName() == "mesh") return &node;
    if (!node.isTransform()) return nullptr;
    Node* s = node.shape();
    if (s && s->typeName() == "mesh") return s;
    for (Node* c : node.children())
        if (c->typeName() == "mesh" && !c->isIntermediate()) return c;
    return nullptr;
}

std::string nodeName(const Node& node, bool longNames) {
    return longNames && node.isDag() ? node.fullPathName() : node.name();
}

std::string componentOwnerName(const Node& shape, bool longNames) {
    if (longNames) return shape.fullPathName();
    Node* parent = shape.parent();
    if (parent && !parent->isWorld() && parent->shape() == &shape) return parent->name();
    return shape.name();
}

int componentCount(Node& shape, ComponentKind kind) {
    MeshPtr mesh = scene().shapeMesh(shape);
    if (!mesh) return 0;
    switch (kind) {
        case ComponentKind::Vertex:
            return mesh->numVertices();
        case ComponentKind::Edge:
            return mesh->numEdges();
        case ComponentKind::Face:
            return mesh->numFaces();
        case ComponentKind::Uv:
            if (mesh->uvSets.empty()) return 0;
            return int(mesh->uvSets[size_t(std::clamp(mesh->currentUvSet, 0, int(mesh->uvSets.size()) - 1))]
                           .u.size());
        default:
            return 0;
    }
}

bool resolveItems(const std::vector<std::string>& names, std::vector<SelectionItem>& out,
                  std::string& error) {
    for (const std::string& name : names) {
        NamePath np = splitName(name);
        if (np.rest.empty()) {
            std::vector<NodePtr> nodes = findNodes(name);
            if (nodes.empty()) {
                error = "No object matches name: " + name;
                return false;
            }
            for (auto& n : nodes) out.push_back(SelectionItem{n, ComponentKind::None, {}});
            continue;
        }
        ComponentRef ref;
        std::string perr;
        if (!parseComponent(np.rest, ref, perr) || !perr.empty()) {
            error = "No object matches name: " + name;
            return false;
        }
        std::vector<NodePtr> owners = findNodes(np.node);
        bool any = false;
        for (auto& owner : owners) {
            Node* shape = meshShapeOf(*owner);
            if (!shape) continue;
            int count = componentCount(*shape, ref.kind);
            std::vector<int> ids;
            if (ref.all) {
                for (int i = 0; i < count; ++i) ids.push_back(i);
            } else {
                for (auto [a, b] : ref.ranges)
                    for (int i = a; i <= b && i < count; ++i) ids.push_back(i);
            }
            if (ids.empty()) continue;
            out.push_back(SelectionItem{shape->ptr(), ref.kind, idsNormalize(std::move(ids))});
            any = true;
        }
        if (!any) {
            error = "No object matches name: " + name;
            return false;
        }
    }
    return true;
}

std::vector<std::string> itemStrings(const SelectionItem& item, bool longNames, bool flatten) {
    if (!item.node) return {};
    if (!item.hasComponents()) return {nodeName(*item.node, longNames)};
    return formatComponents(componentOwnerName(*item.node, longNames), item.kind, item.ids, flatten);
}

std::vector<std::string> selectionStrings(const SelectionList& list, bool longNames, bool flatten) {
    std::vector<std::string> out;
    for (const auto& item : list.items()) {
        if (!item.node || !item.node->alive()) continue;
        auto s = itemStrings(item, longNames, flatten);
        out.insert(out.end(), s.begin(), s.end());
    }
    return out;
}

bool objectsOrSelection(const std::vector<mel::Value>& objects, std::vector<NodePtr>& out, std::string& error,
                        bool required) {
    std::set<Node*> seen;
    auto push = [&](const NodePtr& n) {
        if (n && seen.insert(n.get()).second) out.push_back(n);
    };
    if (!objects.empty()) {
        for (const auto& v : objects) {
            std::string name = v.asString();
            NamePath np = splitName(name);
            std::vector<NodePtr> nodes = findNodes(np.rest.empty() ? name : np.node);
            if (nodes.empty()) {
                error = "No object matches name: " + name;
                return false;
            }
            for (auto& n : nodes) push(n);
        }
        return true;
    }
    for (const auto& item : scene().activeSelection().items())
        if (item.node && item.node->alive()) push(item.node);
    if (out.empty() && required) {
        error = "No objects specified and none selected.";
        return false;
    }
    return true;
}

bool itemsOrSelection(const std::vector<mel::Value>& objects, std::vector<SelectionItem>& out,
                      std::string& error, size_t first) {
    if (objects.size() > first) {
        std::vector<std::string> names;
        for (size_t i = first; i < objects.size(); ++i) names.push_back(objects[i].asString());
        return resolveItems(names, out, error);
    }
    for (const auto& item : scene().activeSelection().items())
        if (item.node && item.node->alive()) out.push_back(item);
    return true;
}

// --- plugs ---------------------------------------------------------------------------------------------

bool resolvePlug(const std::string& text, Plug& out, std::string& error) {
    NamePath np = splitName(text);
    if (np.rest.empty()) {
        error = "No object matches name: " + text;
        return false;
    }
    NodePtr node = scene().find(np.node);
    if (!node || node->isWorld()) {
        error = "No object matches name: " + text;
        return false;
    }
    Plug p = node->findPlug(np.rest);
    if (p.isNull() && node->isTransform()) {
        // A transform passes attributes it does not have on to its shape ("pCube1.pnts[3]").
        if (Node* shape = node->shape()) p = shape->findPlug(np.rest);
    }
    if (p.isNull()) {
        error = "No object matches name: " + text;
        return false;
    }
    out = p;
    return true;
}

// --- units -----------------------------------------------------------------------------------------------

double uiToCm() {
    return MDistance(1.0, MDistance::uiUnit()).as(MDistance::kCentimeters);
}

double uiToRadians() {
    return MAngle(1.0, MAngle::uiUnit()).as(MAngle::kRadians);
}

}  // namespace kxh::scenecmd

namespace kxh::scenecmd {

Trs decompose(const Matrix44& m) {
    Trs t;
    t.translate = V3{m.m[3][0], m.m[3][1], m.m[3][2]};
    double r[3][3];
    double s[3];
    for (int i = 0; i < 3; ++i) {
        s[i] = std::sqrt(m.m[i][0] * m.m[i][0] + m.m[i][1] * m.m[i][1] + m.m[i][2] * m.m[i][2]);
        for (int j = 0; j < 3; ++j) r[i][j] = s[i] > 0 ? m.m[i][j] / s[i] : (i == j ? 1 : 0);
    }
    // A mirroring matrix keeps its handedness in a negative x scale.
    double det = r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
                 r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                 r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
    if (det < 0) {
        s[0] = -s[0];
        for (int j = 0; j < 3; ++j) r[0][j] = -r[0][j];
    }
    t.scale = V3{s[0], s[1], s[2]};
    // R = Rx * Ry * Rz (row vectors): R[0][2] = -sin(y), R[1][2] = sin(x)cos(y), R[2][2] = cos(x)cos(y),
    // R[0][1] = cos(y)sin(z), R[0][0] = cos(y)cos(z).
    double sy = std::clamp(-r[0][2], -1.0, 1.0);
    double y = std::asin(sy);
    double x, z;
    if (std::abs(sy) < 1 - 1e-12) {
        x = std::atan2(r[1][2], r[2][2]);
        z = std::atan2(r[0][1], r[0][0]);
    } else {
        z = 0;
        x = std::atan2(r[1][0] * sy, r[1][1]);
    }
    t.rotate = V3{x, y, z};
    return t;
}

bool setDouble3(Node& node, const char* attrName, const V3& v, std::string& error) {
    Plug p = node.findPlug(attrName);
    if (p.isNull()) {
        error = std::string("No attribute '") + attrName + "' on " + node.name();
        return false;
    }
    return scene().setValue(p, Value(std::vector<double>{v.x, v.y, v.z}), &error);
}

V3 getDouble3(Node& node, const char* attrName) {
    Plug p = node.findPlug(attrName);
    if (p.isNull()) return V3{};
    std::vector<double> n = scene().evaluate(p).asNumbers();
    if (n.size() < 3) return V3{};
    return V3{n[0], n[1], n[2]};
}

bool setLocalMatrix(Node& xform, const Matrix44& m, std::string& error) {
    Trs t = decompose(m);
    Plug ro = xform.findPlug("rotateOrder");
    if (!ro.isNull() && scene().evaluate(ro).asInt() != 0 && !scene().setValue(ro, Value(0), &error))
        return false;
    return setDouble3(xform, "translate", t.translate, error) &&
           setDouble3(xform, "rotate", t.rotate, error) && setDouble3(xform, "scale", t.scale, error);
}

}  // namespace kxh::scenecmd
