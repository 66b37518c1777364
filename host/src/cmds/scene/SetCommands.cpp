// sets: object sets whose members are connected by message (DAG members into dagSetMembers, other
// nodes into dnSetMembers).
#include <set>

#include "cmds/scene/SceneCommandUtil.h"
#include "cmds/scene/SceneCommands.h"

namespace kxh::scenecmd {

using mel::ArgType;

namespace {

const char* memberAttrFor(const Node& member) {
    return member.isDag() ? "dagSetMembers" : "dnSetMembers";
}

bool isMember(Node& set, Node& member) {
    for (const auto& c : set.inputs())
        if (c.src.node() == &member) return true;
    return false;
}

bool addMember(Node& set, Node& member, std::string& error) {
    if (isMember(set, member)) return true;
    Plug arr = set.findPlug(memberAttrFor(member));
    if (arr.isNull()) {
        error = set.name() + " is not a set.";
        return false;
    }
    std::vector<int> used = arr.existingLogicalIndices();
    int next = used.empty() ? 0 : used.back() + 1;
    return scene().connect(member.findPlug("message"), arr.elementByLogicalIndex(unsigned(next)), &error);
}

bool removeMember(Node& set, Node& member, std::string& error) {
    std::vector<Connection> conns = set.inputs();
    for (const auto& c : conns)
        if (c.src.node() == &member) {
            if (!scene().disconnect(c.src, c.dst, &error)) return false;
            if (!scene().removeElement(c.dst, &error)) return false;
        }
    return true;
}

// The member nodes the words name: objects as they are, components standing for their shape.
bool memberNodes(const std::vector<mel::Value>& words, bool useSelection, std::vector<NodePtr>& out,
                 std::string& error) {
    if (words.empty() && !useSelection) return true;
    return objectsOrSelection(words, out, error, false);
}

NodePtr findSet(const std::string& name, std::string& error) {
    NodePtr set = findNode(name, error);
    if (set && !set->type().isA("objectSet")) {
        error = name + " is not a set.";
        return nullptr;
    }
    return set;
}

bool setsCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.queryable = true;
    syn.editable = true;
    syn.flag("n", "name", {ArgType::String})
        .flag("em", "empty")
        .flag("fe", "forceElement", {ArgType::String})
        .flag("add", "addElement", {ArgType::String})
        .flag("rm", "remove", {ArgType::String})
        .flag("in", "isMember", {ArgType::String})
        .flag("cl", "clear", {ArgType::String})
        .flag("t", "text", {ArgType::String});
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;

    if (a.query) {
        if (a.objects.empty()) return inv.fail("No set specified.");
        std::vector<std::string> out;
        for (auto& v : a.objects) {
            NodePtr set = findSet(v.asString(), error);
            if (!set) return inv.fail(error);
            auto s = selectionStrings(setMembers(*set), false, false);
            out.insert(out.end(), s.begin(), s.end());
        }
        inv.result = mel::Value(out);
        return true;
    }

    if (a.has("in")) {
        NodePtr set = findSet(a.arg("in").asString(), error);
        if (!set) return inv.fail(error);
        std::vector<NodePtr> members;
        if (!memberNodes(a.objects, true, members, error)) return inv.fail(error);
        bool all = !members.empty();
        for (auto& m : members) all = all && isMember(*set, *m);
        inv.result = mel::Value(all ? 1 : 0);
        return true;
    }

    const char* editFlag = a.has("fe")    ? "fe"
                           : a.has("add") ? "add"
                           : a.has("rm")  ? "rm"
                           : a.has("cl")  ? "cl"
                                          : nullptr;
    if (editFlag) {
        NodePtr set = findSet(a.arg(editFlag).asString(), error);
        if (!set) return inv.fail(error);
        std::vector<NodePtr> members;
        if (std::string(editFlag) != "cl" && !memberNodes(a.objects, true, members, error))
            return inv.fail(error);
        return mel::undoable(inv, scene(), [&] {
            if (std::string(editFlag) == "cl") {
                std::vector<Connection> conns = set->inputs();
                std::set<Node*> done;
                for (auto& c : conns)
                    if (done.insert(c.src.node()).second && !removeMember(*set, *c.src.node(), error))
                        return inv.fail(error);
                return true;
            }
            for (auto& m : members) {
                bool ok = std::string(editFlag) == "rm" ? removeMember(*set, *m, error)
                                                        : addMember(*set, *m, error);
                if (!ok) return inv.fail(error);
            }
            return true;
        });
    }

    if (a.edit) return inv.fail("No edit flag given.");
    // Create a set from the named objects, or the selection unless -empty.
    std::vector<NodePtr> members;
    if (!a.has("em") && !memberNodes(a.objects, true, members, error)) return inv.fail(error);
    NodePtr set;
    bool ok = mel::undoable(inv, scene(), [&] {
        set = scene().createNode("objectSet", a.arg("n", mel::Value("set1")).asString(), nullptr, &error);
        if (!set) return inv.fail(error);
        if (a.has("t") &&
            !scene().setValue(set->findPlug("annotation"), Value::string(a.arg("t").asString()), &error))
            return inv.fail(error);
        for (auto& m : members)
            if (!addMember(*set, *m, error)) return inv.fail(error);
        return true;
    });
    if (ok) inv.result = mel::Value(set->name());
    return ok;
}

}  // namespace

SelectionList setMembers(Node& set) {
    SelectionList out;
    for (const auto& c : set.inputs()) {
        const std::string& dst = c.dst.attribute()->longName();
        if ((dst == "dagSetMembers" || dst == "dnSetMembers") && c.src.node()->alive())
            out.add(c.src.nodePtr());
    }
    return out;
}

void registerSetCommands(mel::CommandRegistry& registry) {
    registry.add({"sets", setsCmd, nullptr});
}

}  // namespace kxh::scenecmd
