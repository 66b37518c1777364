// polyCreateFacet: a new transform and mesh shape holding one face through the given points.
#include "cmds/ops/OpsCommands.h"
#include "cmds/scene/SceneCommandUtil.h"
#include "mesh/ops/AppendFace.h"

namespace kxh::opscmd {

using mel::ArgType;
using scenecmd::scene;

namespace {

const mel::Syntax& createFacetSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("p", "point", {ArgType::Float, ArgType::Float, ArgType::Float}, true)
            .flag("n", "name", {ArgType::String})
            .flag("ch", "constructionHistory", {ArgType::Bool})
            .flag("s", "subdivision", {ArgType::Int})
            .flag("tx", "texture", {ArgType::Int});
        s.maxObjects = 0;
        return s;
    }();
    return syntax;
}

bool polyCreateFacetCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, createFacetSyntax(), a)) return false;
    // Points are world positions in the UI unit; the new transform is the identity, so they are also the
    // shape's object-space points.
    const double toCm = scenecmd::uiToCm();
    std::vector<V3> points;
    for (const auto& f : a.flags)
        if (f.def->shortName == "p")
            points.push_back(
                V3{f.args[0].asFloat() * toCm, f.args[1].asFloat() * toCm, f.args[2].asFloat() * toCm});
    if (points.size() < 3) return inv.fail("polyCreateFacet: A polygon needs at least three points.");
    const long subdivisions = a.arg("s", mel::Value(1L)).asInt();
    if (subdivisions < 1) return inv.fail("polyCreateFacet: The subdivision must be 1 or more.");
    if (a.arg("tx", mel::Value(0L)).asInt() != 0)
        return inv.fail("polyCreateFacet: Only -texture 0 (no mapping) is supported.");
    // -ch is accepted; no creator node is made (see the host's semantics notes).

    auto mesh = std::make_shared<Mesh>(ops::createFacetMesh(points, int(subdivisions)));
    NodePtr xform;
    bool ok = mel::undoable(inv, scene(), [&] {
        Scene& s = scene();
        std::string error;
        const std::string wanted = a.has("n") ? a.arg("n").asString() : std::string("polySurface1");
        NodePtr shape = scenecmd::createMeshTransform(wanted, xform, error);
        if (!shape) return inv.fail(error);
        if (!s.setShapeMesh(*shape, mesh, &error)) return inv.fail(error);
        scenecmd::selectOnly(xform);
        return true;
    });
    if (!ok) return false;
    inv.result = mel::Value(std::vector<std::string>{xform->name()});
    return true;
}

}  // namespace

void registerCreateFacet(mel::CommandRegistry& registry) {
    registry.add({"polyCreateFacet", polyCreateFacetCmd, std::make_shared<mel::Syntax>(createFacetSyntax())});
}

}  // namespace kxh::opscmd
