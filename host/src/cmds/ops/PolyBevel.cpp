// polyBevel: bevels the named or selected edges of each mesh through a polyBevel history node inserted in
// front of the shape, so that its plugs (offset, segments ...) keep editing the result live; with -ch 0
// the bevel is written into the shape directly.
#include "cmds/ops/ComponentTargets.h"
#include "cmds/ops/OpsCommands.h"
#include "cmds/scene/SceneCommandUtil.h"
#include "graph/core/GraphMath.h"
#include "mesh/ops/BevelEdges.h"

namespace kxh::opscmd {

using mel::ArgType;
using scenecmd::scene;

namespace {

const mel::Syntax& bevelSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("ch", "constructionHistory", {ArgType::Bool})
            .flag("o", "offset", {ArgType::Float})
            .flag("oaf", "offsetAsFraction", {ArgType::Bool})
            .flag("af", "autoFit", {ArgType::Bool})
            .flag("sg", "segments", {ArgType::Int})
            .flag("ws", "worldSpace", {ArgType::Bool})
            .flag("uva", "uvAssignment", {ArgType::Int})
            .flag("fn", "fillNgons", {ArgType::Bool})
            .flag("mv", "mergeVertices", {ArgType::Bool})
            .flag("mvt", "mergeVertexTolerance", {ArgType::Float})
            .flag("sa", "smoothingAngle", {ArgType::Float})
            .flag("ma", "miteringAngle", {ArgType::Float})
            .flag("at", "angleTolerance", {ArgType::Float})
            .flag("n", "name", {ArgType::String});
        return s;
    }();
    return syntax;
}

void setToWorld(ops::BevelOptions& o, const Matrix44& m) {
    o.worldSpace = !m.isIdentity();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) o.toWorld[r][c] = m.m[r][c];
}

bool polyBevelCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, bevelSyntax(), a)) return false;
    const bool history = a.arg("ch", mel::Value(true)).asBool();
    const long segments = a.arg("sg", mel::Value(1L)).asInt();
    if (segments < 1 || segments > 1000)
        return inv.fail("polyBevel: The segments must be between 1 and 1000.");
    if (a.arg("oaf", mel::Value(false)).asBool())
        return inv.fail("polyBevel: Only -offsetAsFraction 0 (an offset in distance) is supported.");
    const double toCm = scenecmd::uiToCm(), toRad = scenecmd::uiToRadians();
    ops::BevelOptions options;
    options.offset = a.arg("o", mel::Value(0.2)).asFloat() * toCm;
    options.segments = int(segments);
    const bool merge = a.arg("mv", mel::Value(false)).asBool();
    const double tolerance = a.arg("mvt", mel::Value(0.0)).asFloat() * toCm;
    options.mergeTolerance = merge ? tolerance : 0;
    // Without -smoothingAngle (180 degrees) the new edges keep the smoothing they come with.
    options.smoothingAngle = a.arg("sa", mel::Value(180.0)).asFloat() * toRad;
    options.autoFit = a.arg("af", mel::Value(true)).asBool();
    options.fillNgons = a.arg("fn", mel::Value(false)).asBool();
    const bool worldSpace = a.arg("ws", mel::Value(false)).asBool();

    std::vector<ComponentTarget> targets;
    std::string error;
    if (!gatherTargets(inv.name, a.objects, targets, error)) return inv.fail(error);
    std::vector<ComponentTarget*> withEdges;
    for (ComponentTarget& t : targets)
        if (!t.edges.empty()) withEdges.push_back(&t);
    if (withEdges.empty()) return inv.fail("polyBevel: No edges given or selected.");

    std::vector<std::string> names;
    const bool ok = mel::undoable(inv, scenecmd::scene(), [&] {
        Scene& s = scene();
        for (ComponentTarget* t : withEdges) {
            const Plug worldMatrix = t->shape->findPlug("worldMatrix[0]");
            if (!history) {
                ops::BevelOptions o = options;
                if (worldSpace) setToWorld(o, s.evaluate(worldMatrix).asMatrix());
                auto mesh = std::make_shared<Mesh>(*t->before);
                ops::bevelEdges(*mesh, t->edges, o);
                if (!checkResult(inv.name, *mesh, error)) return inv.fail(error);
                t->after = mesh;
                continue;
            }
            NodePtr node = s.createNode("polyBevel", a.arg("n", mel::Value("")).asString(), nullptr, &error);
            if (!node) return inv.fail(error);
            auto edges =
                std::make_shared<ComponentListData>(std::vector<Component>{{ComponentKind::Edge, t->edges}});
            auto set = [&](const char* plug, const Value& v) {
                return s.setValue(node->findPlug(plug), v, &error);
            };
            auto flag = [&](const char* name, double def) { return a.arg(name, mel::Value(def)).asFloat(); };
            if (!set("inputComponents", Value(edges)) || !set("offset", Value(options.offset)) ||
                !set("segments", Value(options.segments)) || !set("autoFit", Value(options.autoFit)) ||
                !set("worldSpace", Value(worldSpace)) || !set("uvAssignment", Value(flag("uva", 0))) ||
                !set("fillNgons", Value(options.fillNgons)) || !set("mergeVertices", Value(merge)) ||
                !set("mergeVertexTolerance", Value(tolerance)) ||
                !set("smoothingAngle", Value(options.smoothingAngle)) ||
                !set("miteringAngle", Value(flag("ma", 0) * toRad)) ||
                !set("angleTolerance", Value(flag("at", 0) * toRad)))
                return inv.fail(error);
            if (!insertModifier(*t->shape, *node, error)) return inv.fail(error);
            // A world-space offset follows the object's transform.
            if (worldSpace && !s.connect(worldMatrix, node->findPlug("inputMatrix"), &error))
                return inv.fail(error);
            MeshPtr result = s.shapeMesh(*t->shape);
            if (!result || !checkResult(inv.name, *result, error)) return inv.fail(error);
            t->after = result;
            names.push_back(node->name());
        }
        // The bevelled meshes' component ids changed: their items leave the selection. The shapes already
        // hold their results, so only the mesh-less -ch 0 targets are written here.
        if (history)
            for (ComponentTarget* t : withEdges) t->after = nullptr;
        if (!writeTargets(targets, error)) return inv.fail(error);
        SelectionList sel;
        for (const SelectionItem& item : s.activeSelection().items()) {
            bool edited = false;
            for (ComponentTarget* t : withEdges) edited = edited || t->shape == item.node.get();
            if (!(edited && item.hasComponents() && item.kind != ComponentKind::Uv)) sel.add(item);
        }
        if (!(sel == s.activeSelection())) s.setActiveSelection(sel);
        return true;
    });
    if (ok) inv.result = mel::Value(names);
    return ok;
}

}  // namespace

void registerBevel(mel::CommandRegistry& registry) {
    registry.add({"polyBevel", polyBevelCmd, std::make_shared<mel::Syntax>(bevelSyntax())});
}

}  // namespace kxh::opscmd
