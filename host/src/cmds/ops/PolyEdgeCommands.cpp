// polyDelEdge, polyCollapseEdge, polySubdivideEdge and polyConnectComponents: component edits on the
// named or selected components of each mesh, written into the shapes' geometry as one undo step.
#include <functional>

#include "cmds/ops/ComponentTargets.h"
#include "cmds/ops/OpsCommands.h"
#include "cmds/scene/SceneCommandUtil.h"
#include "foundation/Output.h"
#include "mesh/ops/ComponentOps.h"

namespace kxh::opscmd {

using mel::ArgType;
using scenecmd::scene;

namespace {

// Runs `edit` on a copy of each target's mesh that has the components the command takes (`takes`); fails
// with `noneError` when no target has any. Meshes the edit changes are written as one undo step; when
// nothing changes the scene and the undo queue stay as they are and `unchangedWarning` is printed. The
// result is the edited shapes' names.
bool runEdit(mel::Invocation& inv, const std::vector<mel::Value>& objects,
             const std::function<bool(const ComponentTarget&)>& takes, const std::string& noneError,
             const std::string& unchangedWarning,
             const std::function<bool(ComponentTarget&, Mesh&, std::string&)>& edit) {
    std::vector<ComponentTarget> targets;
    std::string error;
    if (!gatherTargets(inv.name, objects, targets, error)) return inv.fail(error);
    bool any = false, changed = false;
    std::vector<std::string> names;
    for (ComponentTarget& t : targets) {
        if (!takes(t)) continue;
        any = true;
        auto mesh = std::make_shared<Mesh>(*t.before);
        error.clear();
        if (!edit(t, *mesh, error)) return inv.fail(error);
        if (!error.empty()) continue;
        if (!checkResult(inv.name, *mesh, error)) return inv.fail(error);
        t.after = mesh;
        changed = true;
        names.push_back(t.shape->name());
    }
    if (!any) return inv.fail(inv.name + ": " + noneError);
    if (!changed) {
        output().warning(inv.name + ": " + unchangedWarning);
        inv.result = mel::Value(std::vector<std::string>{});
        return true;
    }
    const bool ok = mel::undoable(inv, scenecmd::scene(), [&] {
        if (!writeTargets(targets, error)) return inv.fail(error);
        return true;
    });
    if (ok) inv.result = mel::Value(names);
    return ok;
}

// An edit that changed nothing reports it through a non-empty error with success, so runEdit skips the
// target without failing.
constexpr const char* kUnchanged = "unchanged";

// --- polyDelEdge ------------------------------------------------------------------------------------

const mel::Syntax& delEdgeSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("cv", "cleanVertices", {ArgType::Bool}).flag("ch", "constructionHistory", {ArgType::Bool});
        s.flag("n", "name", {ArgType::String});
        return s;
    }();
    return syntax;
}

bool polyDelEdgeCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, delEdgeSyntax(), a)) return false;
    const bool clean = a.arg("cv", mel::Value(false)).asBool();
    return runEdit(
        inv, a.objects, [](const ComponentTarget& t) { return !t.edges.empty(); },
        "No edges given or selected.", "Only edges between two faces can be deleted; nothing changed.",
        [clean](ComponentTarget& t, Mesh& mesh, std::string& err) {
            if (!ops::deleteEdges(mesh, t.edges, clean).changed()) err = kUnchanged;
            return true;
        });
}

// --- polyCollapseEdge ---------------------------------------------------------------------------------

const mel::Syntax& collapseSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("ch", "constructionHistory", {ArgType::Bool}).flag("n", "name", {ArgType::String});
        return s;
    }();
    return syntax;
}

bool polyCollapseEdgeCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, collapseSyntax(), a)) return false;
    return runEdit(
        inv, a.objects, [](const ComponentTarget& t) { return !t.edges.empty() || !t.faces.empty(); },
        "No edges or faces given or selected.", "Nothing was collapsed.",
        [](ComponentTarget& t, Mesh& mesh, std::string& err) {
            // Faces collapse through their edges: each connected face region becomes one vertex.
            std::vector<int> edges = t.edges;
            for (int e : ops::edgesOfFaces(*t.before, t.faces)) edges.push_back(e);
            if (!ops::collapseEdges(mesh, edges).changed()) err = kUnchanged;
            return true;
        });
}

// --- polySubdivideEdge ----------------------------------------------------------------------------------

const mel::Syntax& subdivideSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("dv", "divisions", {ArgType::Int})
            .flag("s", "size", {ArgType::Float})
            .flag("ws", "worldSpace", {ArgType::Bool})
            .flag("ch", "constructionHistory", {ArgType::Bool})
            .flag("n", "name", {ArgType::String});
        return s;
    }();
    return syntax;
}

bool polySubdivideEdgeCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, subdivideSyntax(), a)) return false;
    const long divisions = a.arg("dv", mel::Value(1L)).asInt();
    if (divisions < 0 || divisions > 1000)
        return inv.fail("polySubdivideEdge: The divisions must be between 0 and 1000.");
    // -s (a target length for -dv 0) and -ws are accepted; the cut always makes -dv equal parts.
    if (divisions == 0) {
        output().warning("polySubdivideEdge: 0 divisions leave the edges as they are.");
        inv.result = mel::Value(std::vector<std::string>{});
        return true;
    }
    return runEdit(
        inv, a.objects, [](const ComponentTarget& t) { return !t.edges.empty(); },
        "No edges given or selected.", "Nothing was cut.",
        [divisions](ComponentTarget& t, Mesh& mesh, std::string& err) {
            if (!ops::subdivideEdges(mesh, t.edges, int(divisions)).changed()) err = kUnchanged;
            return true;
        });
}

// --- polyConnectComponents ------------------------------------------------------------------------------

const mel::Syntax& connectSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("ch", "constructionHistory", {ArgType::Bool})
            .flag("ief", "insertWithEdgeFlow", {ArgType::Bool})
            .flag("aef", "adjustEdgeFlow", {ArgType::Float})
            .flag("n", "name", {ArgType::String});
        return s;
    }();
    return syntax;
}

bool polyConnectComponentsCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, connectSyntax(), a)) return false;
    return runEdit(
        inv, a.objects, [](const ComponentTarget& t) { return !t.edges.empty() || !t.vertices.empty(); },
        "No edges or vertices given or selected.", "The components share no face; nothing was connected.",
        [](ComponentTarget& t, Mesh& mesh, std::string& err) {
            if (!ops::connectComponents(mesh, t.vertices, t.edges).changed()) err = kUnchanged;
            return true;
        });
}

}  // namespace

void registerEdgeCommands(mel::CommandRegistry& registry) {
    registry.add({"polyDelEdge", polyDelEdgeCmd, std::make_shared<mel::Syntax>(delEdgeSyntax())});
    registry.add({"polyCollapseEdge", polyCollapseEdgeCmd, std::make_shared<mel::Syntax>(collapseSyntax())});
    registry.add(
        {"polySubdivideEdge", polySubdivideEdgeCmd, std::make_shared<mel::Syntax>(subdivideSyntax())});
    registry.add(
        {"polyConnectComponents", polyConnectComponentsCmd, std::make_shared<mel::Syntax>(connectSyntax())});
}

}  // namespace kxh::opscmd
