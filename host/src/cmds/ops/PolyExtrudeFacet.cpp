// polyExtrudeFacet: extrudes the named or selected faces of each mesh through a polyExtrudeFace history
// node inserted in front of the shape, so that its plugs (localTranslateZ ...) keep editing the result
// live; with -ch 0 the extrusion is written into the shape directly. The extruded faces become the
// selection.
#include "cmds/ops/ComponentTargets.h"
#include "cmds/ops/OpsCommands.h"
#include "cmds/scene/SceneCommandUtil.h"
#include "mesh/ops/ExtrudeFaces.h"

namespace kxh::opscmd {

using mel::ArgType;
using scenecmd::scene;

namespace {

const mel::Syntax& extrudeSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("ch", "constructionHistory", {ArgType::Bool})
            .flag("kft", "keepFacesTogether", {ArgType::Bool})
            .flag("d", "divisions", {ArgType::Int})
            .flag("ltz", "localTranslateZ", {ArgType::Float})
            .flag("twt", "twist", {ArgType::Float})
            .flag("tp", "taper", {ArgType::Float})
            .flag("off", "offset", {ArgType::Float})
            .flag("sma", "smoothingAngle", {ArgType::Float})
            .flag("n", "name", {ArgType::String});
        return s;
    }();
    return syntax;
}

bool polyExtrudeFacetCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, extrudeSyntax(), a)) return false;
    const bool history = a.arg("ch", mel::Value(true)).asBool();
    const long divisions = a.arg("d", mel::Value(1L)).asInt();
    if (divisions < 1 || divisions > 1000)
        return inv.fail("polyExtrudeFacet: The divisions must be between 1 and 1000.");
    const double toCm = scenecmd::uiToCm();
    ops::ExtrudeOptions options;
    options.localTranslateZ = a.arg("ltz", mel::Value(0.0)).asFloat() * toCm;
    options.keepFacesTogether = a.arg("kft", mel::Value(true)).asBool();
    options.divisions = int(divisions);
    // Without -smoothingAngle (180 degrees) the new edges keep the smoothing they come with.
    options.smoothingAngle = a.arg("sma", mel::Value(180.0)).asFloat() * scenecmd::uiToRadians();
    options.twist = a.arg("twt", mel::Value(0.0)).asFloat() * scenecmd::uiToRadians();
    options.taper = a.arg("tp", mel::Value(1.0)).asFloat();
    options.offset = a.arg("off", mel::Value(0.0)).asFloat() * toCm;

    std::vector<ComponentTarget> targets;
    std::string error;
    if (!gatherTargets(inv.name, a.objects, targets, error)) return inv.fail(error);
    std::vector<ComponentTarget*> withFaces;
    for (ComponentTarget& t : targets)
        if (!t.faces.empty()) withFaces.push_back(&t);
    if (withFaces.empty()) return inv.fail("polyExtrudeFacet: No faces given or selected.");

    std::vector<std::string> names;
    const bool ok = mel::undoable(inv, scenecmd::scene(), [&] {
        Scene& s = scene();
        SelectionList extruded;
        for (ComponentTarget* t : withFaces) {
            extruded.add(t->shape->ptr(), ComponentKind::Face, t->faces);
            if (!history) {
                auto mesh = std::make_shared<Mesh>(*t->before);
                ops::extrudeFaces(*mesh, t->faces, options);
                if (!s.setShapeMesh(*t->shape, mesh, &error)) return inv.fail(error);
                continue;
            }
            NodePtr node =
                s.createNode("polyExtrudeFace", a.arg("n", mel::Value("")).asString(), nullptr, &error);
            if (!node) return inv.fail(error);
            auto faces =
                std::make_shared<ComponentListData>(std::vector<Component>{{ComponentKind::Face, t->faces}});
            auto set = [&](const char* plug, const Value& v) {
                return s.setValue(node->findPlug(plug), v, &error);
            };
            if (!set("inputComponents", Value(faces)) ||
                !set("localTranslateZ", Value(options.localTranslateZ)) ||
                !set("keepFacesTogether", Value(options.keepFacesTogether)) ||
                !set("divisions", Value(options.divisions)) || !set("offset", Value(options.offset)) ||
                !set("twist", Value(options.twist)) || !set("taper", Value(options.taper)) ||
                !set("smoothingAngle", Value(options.smoothingAngle)))
                return inv.fail(error);
            if (!insertModifier(*t->shape, *node, error)) return inv.fail(error);
            names.push_back(node->name());
        }
        s.setActiveSelection(extruded);
        return true;
    });
    if (ok) inv.result = mel::Value(names);
    return ok;
}

}  // namespace

void registerExtrudeFacet(mel::CommandRegistry& registry) {
    registry.add({"polyExtrudeFacet", polyExtrudeFacetCmd, std::make_shared<mel::Syntax>(extrudeSyntax())});
}

}  // namespace kxh::opscmd
