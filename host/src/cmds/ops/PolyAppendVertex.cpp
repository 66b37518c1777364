// polyAppendVertex: one new face on a mesh, its corners given in order by existing vertex ids (-v) and new
// object-space points (-p), interleaved as they stand on the command line.
#include <algorithm>

#include "cmds/ops/OpsCommands.h"
#include "cmds/scene/SceneCommandUtil.h"
#include "mesh/ops/AppendFace.h"

namespace kxh::opscmd {

using mel::ArgType;
using scenecmd::scene;

namespace {

const mel::Syntax& appendVertexSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("p", "point", {ArgType::Float, ArgType::Float, ArgType::Float}, true)
            .flag("v", "vertex", {ArgType::Int}, true)
            .flag("h", "hole", {}, true)
            .flag("n", "name", {ArgType::String})
            .flag("ch", "constructionHistory", {ArgType::Bool})
            .flag("tx", "texture", {ArgType::Int});
        return s;
    }();
    return syntax;
}

bool isNumberWord(const mel::Arg& w) {
    if (w.isFlag) return false;
    if (w.value.isNumber()) return true;
    double d;
    return w.value.kind() == mel::Value::Kind::String && mel::Value::parseNumber(w.value.asString(), d);
}

// -a/-append stands for the other flags by its number of arguments: three numbers are a point (-p), one a
// vertex id (-v), none the start of a hole (-h). Rewrites it so that the syntax can parse the line.
std::vector<mel::Arg> expandAppendFlags(const std::vector<mel::Arg>& words) {
    std::vector<mel::Arg> out;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string name = words[i].flagName();
        if (name != "a" && name != "append") {
            out.push_back(words[i]);
            continue;
        }
        size_t numbers = 0;
        while (numbers < 3 && i + 1 + numbers < words.size() && isNumberWord(words[i + 1 + numbers]))
            ++numbers;
        mel::Arg flag;
        flag.isFlag = true;
        flag.value = mel::Value(numbers >= 3 ? "-p" : numbers >= 1 ? "-v" : "-h");
        out.push_back(flag);
    }
    return out;
}

bool polyAppendVertexCmd(mel::Invocation& inv) {
    const std::vector<mel::Arg> words = expandAppendFlags(inv.args);
    mel::ParsedArgs a;
    std::string error;
    if (!mel::parseArgs(inv.name, appendVertexSyntax(), words, a, error)) return inv.fail(error);
    if (a.has("h")) return inv.fail("polyAppendVertex: Faces with holes are not supported.");
    if (a.arg("tx", mel::Value(0L)).asInt() != 0)
        return inv.fail("polyAppendVertex: Only -texture 0 (no mapping) is supported.");
    // -ch is accepted; the face is written into the shape's geometry directly.

    // The one mesh named, or the one selected.
    std::vector<NodePtr> nodes;
    if (!scenecmd::objectsOrSelection(a.objects, nodes, error, false)) return inv.fail(error);
    std::vector<Node*> shapes;
    for (const NodePtr& n : nodes) {
        Node* shape = scenecmd::meshShapeOf(*n);
        if (!shape) {
            if (!a.objects.empty())
                return inv.fail("polyAppendVertex: " + n->name() + " is not a polygon mesh.");
            continue;
        }
        if (std::find(shapes.begin(), shapes.end(), shape) == shapes.end()) shapes.push_back(shape);
    }
    if (shapes.empty()) return inv.fail("polyAppendVertex: No polygon object given or selected.");
    if (shapes.size() > 1)
        return inv.fail("polyAppendVertex: Only one polygon object may be given or selected.");
    Node& shape = *shapes[0];
    MeshPtr current = scene().shapeMesh(shape);
    if (!current) return inv.fail("polyAppendVertex: " + shape.name() + " has no geometry.");

    // Corners in command-line order; points are in the shape's object space, in the UI unit.
    const double toCm = scenecmd::uiToCm();
    std::vector<ops::FaceCorner> corners;
    for (const auto& f : a.flags) {
        if (f.def->shortName == "p")
            corners.push_back(ops::FaceCorner::at(
                V3{f.args[0].asFloat() * toCm, f.args[1].asFloat() * toCm, f.args[2].asFloat() * toCm}));
        else if (f.def->shortName == "v")
            corners.push_back(ops::FaceCorner::existing(int(f.args[0].asInt())));
    }
    auto mesh = std::make_shared<Mesh>(*current);
    ops::AppendResult r = ops::appendFace(*mesh, corners);
    if (!r.ok) return inv.fail("polyAppendVertex: " + r.error);

    bool ok = mel::undoable(inv, scene(), [&] {
        std::string err;
        if (!scene().setShapeMesh(shape, mesh, &err)) return inv.fail(err);
        return true;
    });
    if (!ok) return false;
    inv.result = mel::Value(shape.name());
    return true;
}

}  // namespace

void registerAppendVertex(mel::CommandRegistry& registry) {
    registry.add(
        {"polyAppendVertex", polyAppendVertexCmd, std::make_shared<mel::Syntax>(appendVertexSyntax())});
}

}  // namespace kxh::opscmd
