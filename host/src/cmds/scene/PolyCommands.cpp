// polyCube, polyPlane, polySphere (with or without a creator node) and polyEvaluate.
#include <map>

#include "cmds/scene/SceneCommandUtil.h"
#include "cmds/scene/SceneCommands.h"
#include "mesh/MeshPrimitives.h"

namespace kxh::scenecmd {

using mel::ArgType;

namespace {

struct Primitive {
    const char* creatorType;  // polyCube ...
    const char* objectBase;   // pCube ...
};

// One creator flag: its command-line names, the creator attribute it sets, and whether it is a length.
struct CreatorFlag {
    const char* shortName;
    const char* longName;
    const char* attr;
    bool distance;
    bool integer;
};

const std::vector<CreatorFlag>& flagsOf(const std::string& type) {
    static const std::vector<CreatorFlag> cube = {{"w", "width", "width", true, false},
                                                  {"h", "height", "height", true, false},
                                                  {"d", "depth", "depth", true, false},
                                                  {"sx", "subdivisionsX", "subdivisionsWidth", false, true},
                                                  {"sy", "subdivisionsY", "subdivisionsHeight", false, true},
                                                  {"sz", "subdivisionsZ", "subdivisionsDepth", false, true}};
    static const std::vector<CreatorFlag> plane = {
        {"w", "width", "width", true, false},
        {"h", "height", "height", true, false},
        {"sx", "subdivisionsX", "subdivisionsWidth", false, true},
        {"sy", "subdivisionsY", "subdivisionsHeight", false, true}};
    static const std::vector<CreatorFlag> sphere = {
        {"r", "radius", "radius", true, false},
        {"sa", "subdivisionsAxis", "subdivisionsAxis", false, true},
        {"sh", "subdivisionsHeight", "subdivisionsHeight", false, true}};
    if (type == "polyCube") return cube;
    if (type == "polyPlane") return plane;
    return sphere;
}

mel::Syntax primitiveSyntax(const std::string& type) {
    mel::Syntax s;
    for (const auto& f : flagsOf(type))
        s.flag(f.shortName, f.longName, {f.integer ? ArgType::Int : ArgType::Float});
    s.flag("ax", "axis", {ArgType::Float, ArgType::Float, ArgType::Float})
        .flag("cuv", "createUVs", {ArgType::Int})
        .flag("ch", "constructionHistory", {ArgType::Bool})
        .flag("n", "name", {ArgType::String})
        .flag("o", "object", {ArgType::Bool});
    s.maxObjects = 0;
    return s;
}

// Makes the mesh a creator of this type would output, from the creator's defaults and the flags.
Mesh meshFromFlags(const std::string& type, const mel::ParsedArgs& a, V3 axis) {
    const double lin = uiToCm();
    auto num = [&](const char* flag, double def) { return a.has(flag) ? a.arg(flag).asFloat() : def; };
    if (type == "polyCube")
        return cube(num("w", 1) * lin, num("h", 1) * lin, num("d", 1) * lin, int(num("sx", 1)),
                    int(num("sy", 1)), int(num("sz", 1)));
    if (type == "polyPlane")
        return plane(num("w", 1) * lin, num("h", 1) * lin, int(num("sx", 10)), int(num("sy", 10)), axis);
    return sphere(num("r", 1) * lin, int(num("sa", 20)), int(num("sh", 20)));
}

bool primitiveCmd(mel::Invocation& inv, const Primitive& prim) {
    const std::string type = prim.creatorType;
    static const std::map<std::string, mel::Syntax> syntaxes = {
        {"polyCube", primitiveSyntax("polyCube")},
        {"polyPlane", primitiveSyntax("polyPlane")},
        {"polySphere", primitiveSyntax("polySphere")}};
    const mel::Syntax& syntax = syntaxes.at(type);  // parsed flags point into it
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syntax, a)) return false;
    const bool history = a.arg("ch", mel::Value(true)).asBool();
    V3 axis{0, 1, 0};
    if (a.has("ax"))
        axis =
            V3{a.arg("ax", 0.0, 0).asFloat(), a.arg("ax", 0.0, 1).asFloat(), a.arg("ax", 0.0, 2).asFloat()};
    for (const auto& f : flagsOf(type))
        if (f.integer && a.has(f.shortName) && a.arg(f.shortName).asInt() < 1)
            return inv.fail(std::string("Invalid value for -") + f.shortName + ": " +
                            a.arg(f.shortName).asString());

    std::string error;
    NodePtr xform, creator;
    bool ok = mel::undoable(inv, scene(), [&] {
        Scene& s = scene();
        std::string wanted = a.has("n") ? a.arg("n").asString() : std::string(prim.objectBase) + "1";
        NodePtr shape = createMeshTransform(wanted, xform, error);
        if (!shape) return inv.fail(error);
        if (history) {
            creator = s.createNode(type, "", nullptr, &error);
            if (!creator) return inv.fail(error);
            for (const auto& f : flagsOf(type)) {
                if (!a.has(f.shortName)) continue;
                double v = a.arg(f.shortName).asFloat() * (f.distance ? uiToCm() : 1.0);
                if (!s.setValue(creator->findPlug(f.attr), Value(v), &error)) return inv.fail(error);
            }
            if (a.has("ax") && !creator->findPlug("axis").isNull() &&
                !s.setValue(creator->findPlug("axis"), Value(std::vector<double>{axis.x, axis.y, axis.z}),
                            &error))
                return inv.fail(error);
            if (!s.connect(creator->findPlug("output"), shape->findPlug(attr::kInMesh), &error))
                return inv.fail(error);
        } else {
            auto mesh = std::make_shared<Mesh>(meshFromFlags(type, a, axis));
            if (!s.setShapeMesh(*shape, mesh, &error)) return inv.fail(error);
        }
        selectOnly(xform);
        return true;
    });
    if (!ok) return false;
    std::vector<std::string> result{xform->name()};
    if (creator) result.push_back(creator->name());
    inv.result = mel::Value(result);
    return true;
}

// --- polyEvaluate ---------------------------------------------------------------------------------------

bool polyEvaluateCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("v", "vertex")
        .flag("e", "edge")
        .flag("f", "face")
        .flag("uv", "uvcoord")
        .flag("t", "triangle")
        .flag("vc", "vertexComponent")
        .flag("ec", "edgeComponent")
        .flag("fc", "faceComponent")
        .flag("uvc", "uvComponent");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::vector<SelectionItem> items;
    std::string error;
    if (a.objects.empty()) {
        items = scene().activeSelection().items();
    } else {
        std::vector<std::string> names;
        for (auto& v : a.objects) names.push_back(v.asString());
        if (!resolveItems(names, items, error)) return inv.fail(error);
    }
    // The first mesh named (or selected) is measured.
    Node* shape = nullptr;
    for (auto& item : items)
        if (item.node && item.node->alive() && (shape = meshShapeOf(*item.node))) break;
    if (!shape) return inv.fail("No polygon object specified and none selected.");
    MeshPtr mesh = scene().shapeMesh(*shape);
    if (!mesh) return inv.fail("The object " + shape->name() + " has no geometry.");
    auto selectedCount = [&](ComponentKind kind) {
        int n = 0;
        for (auto& item : items)
            if (item.node.get() == shape && item.kind == kind) n += int(item.ids.size());
        return n;
    };
    int triangles = 0;
    for (int f = 0; f < mesh->numFaces(); ++f) triangles += mesh->faceSize(f) - 2;
    std::vector<int> out;
    for (const auto& pf : a.flags) {
        const std::string n = pf.def->shortName;
        if (n == "v")
            out.push_back(mesh->numVertices());
        else if (n == "e")
            out.push_back(mesh->numEdges());
        else if (n == "f")
            out.push_back(mesh->numFaces());
        else if (n == "uv")
            out.push_back(componentCount(*shape, ComponentKind::Uv));
        else if (n == "t")
            out.push_back(triangles);
        else if (n == "vc")
            out.push_back(selectedCount(ComponentKind::Vertex));
        else if (n == "ec")
            out.push_back(selectedCount(ComponentKind::Edge));
        else if (n == "fc")
            out.push_back(selectedCount(ComponentKind::Face));
        else if (n == "uvc")
            out.push_back(selectedCount(ComponentKind::Uv));
    }
    if (out.empty()) {
        inv.result = mel::Value("vertex=" + std::to_string(mesh->numVertices()) +
                                " edge=" + std::to_string(mesh->numEdges()) +
                                " face=" + std::to_string(mesh->numFaces()) +
                                " uvcoord=" + std::to_string(componentCount(*shape, ComponentKind::Uv)) +
                                " triangle=" + std::to_string(triangles));
    } else if (out.size() == 1) {
        inv.result = mel::Value(out[0]);
    } else {
        inv.result = mel::Value(out);
    }
    return true;
}

}  // namespace

void registerPolyCommands(mel::CommandRegistry& registry) {
    registry.add({"polyCube",
                  [](mel::Invocation& inv) {
                      return primitiveCmd(inv, {"polyCube", "pCube"});
                  },
                  nullptr});
    registry.add({"polyPlane",
                  [](mel::Invocation& inv) {
                      return primitiveCmd(inv, {"polyPlane", "pPlane"});
                  },
                  nullptr});
    registry.add({"polySphere",
                  [](mel::Invocation& inv) {
                      return primitiveCmd(inv, {"polySphere", "pSphere"});
                  },
                  nullptr});
    registry.add({"polyEvaluate", polyEvaluateCmd, nullptr});
}

}  // namespace kxh::scenecmd
