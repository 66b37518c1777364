// polyTriangulate and polyNormal: rewrite the faces of each named or selected mesh (named faces, or every
// face of a named or selected object) in place, one undo step. No history node is made whatever -ch says:
// the result is written into the shape (see the host's semantics notes).
#include "cmds/ops/ComponentTargets.h"
#include "cmds/ops/OpsCommands.h"
#include "cmds/scene/SceneCommandUtil.h"
#include "mesh/ops/FaceWinding.h"

namespace kxh::opscmd {

using mel::ArgType;

namespace {

const mel::Syntax& triangulateSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("ch", "constructionHistory", {ArgType::Bool}).flag("n", "name", {ArgType::String});
        return s;
    }();
    return syntax;
}

const mel::Syntax& normalSyntax() {
    static const mel::Syntax syntax = [] {
        mel::Syntax s;
        s.flag("nm", "normalMode", {ArgType::Int})
            .flag("ch", "constructionHistory", {ArgType::Bool})
            .flag("uch", "userNormalMode", {ArgType::Bool})
            .flag("n", "name", {ArgType::String});
        return s;
    }();
    return syntax;
}

// Runs `edit` on a copy of every target's mesh (on the named faces, or all faces of a whole object),
// checks the result (failing with `invalid` when given and the result is not a valid mesh) and writes the
// changed meshes in one undo step; answers the edited shapes' names.
template <class Edit>
bool editFaces(mel::Invocation& inv, const std::vector<mel::Value>& objects, Edit edit,
               const char* invalid = nullptr) {
    std::vector<ComponentTarget> targets;
    std::string error;
    if (!gatherTargets(inv.name, objects, targets, error)) return inv.fail(error);
    bool anyFaces = false;
    for (ComponentTarget& t : targets) {
        if (t.whole) t.faces = ops::allFaces(*t.before);
        anyFaces = anyFaces || !t.faces.empty();
    }
    if (!anyFaces) return inv.fail(inv.name + ": No faces given or selected.");
    std::vector<std::string> names;
    for (ComponentTarget& t : targets) {
        if (t.faces.empty()) continue;
        auto mesh = std::make_shared<Mesh>(*t.before);
        if (!edit(*mesh, t.faces)) continue;
        if (!checkResult(inv.name, *mesh, error)) return inv.fail(invalid ? std::string(invalid) : error);
        t.after = mesh;
        names.push_back(t.shape->name());
    }
    const bool ok = mel::undoable(inv, scenecmd::scene(), [&] {
        if (!writeTargets(targets, error)) return inv.fail(error);
        return true;
    });
    if (ok) inv.result = mel::Value(names);
    return ok;
}

bool polyTriangulateCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, triangulateSyntax(), a)) return false;
    return editFaces(inv, a.objects, [](Mesh& mesh, const std::vector<int>& faces) {
        return ops::triangulateFaces(mesh, faces) > 0;
    });
}

bool polyNormalCmd(mel::Invocation& inv) {
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, normalSyntax(), a)) return false;
    const long mode = a.arg("nm", mel::Value(0L)).asInt();
    if (mode == 2) {
        // The host keeps every shell's faces wound alike (a mesh that disagrees is not valid), so
        // conforming finds nothing to turn; the targets are still checked.
        return editFaces(inv, a.objects, [](Mesh&, const std::vector<int>&) { return false; });
    }
    if (mode != 0) return inv.fail("polyNormal: Only -normalMode 0 (reverse) and 2 (conform) are supported.");
    // Reversing part of a shell would leave neighbouring faces facing opposite ways, which no mesh of
    // the host may do.
    return editFaces(
        inv, a.objects,
        [](Mesh& mesh, const std::vector<int>& faces) { return ops::reverseFaces(mesh, faces) > 0; },
        "polyNormal: Reversing only some faces of a shell would make its faces disagree; give whole shells.");
}

}  // namespace

void registerFaceCommands(mel::CommandRegistry& registry) {
    registry.add({"polyTriangulate", polyTriangulateCmd, std::make_shared<mel::Syntax>(triangulateSyntax())});
    registry.add({"polyNormal", polyNormalCmd, std::make_shared<mel::Syntax>(normalSyntax())});
}

}  // namespace kxh::opscmd
