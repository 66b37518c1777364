// MEL commands over plug-in modules: loadPlugin, unloadPlugin, pluginInfo; and the idle queue.
#include <deque>
#include <functional>

#include "cmds/Session.h"
#include "cmds/plugin/PluginHost.h"
#include "foundation/Output.h"
#include "mel/Interpreter.h"

namespace kxh {

namespace {

using mel::ArgType;
using mel::Invocation;
using mel::ParsedArgs;
using mel::Syntax;
using mel::Value;

std::vector<std::string> objectNames(const ParsedArgs& args) {
    std::vector<std::string> names;
    for (const Value& v : args.objects)
        for (const std::string& s : v.asStringArray()) names.push_back(s);
    return names;
}

// The syntax of loadPlugin and unloadPlugin: one flag and one or more plug-ins.
Syntax flagAndPluginsSyntax(const char* shortName, const char* longName) {
    Syntax s;
    s.flag(shortName, longName);
    s.minObjects = 1;
    return s;
}

// Runs `step` on each plug-in the command names, in order; the result is the plug-in name each step
// gives back. The first failing step fails the command with its error.
bool forEachPluginArg(Invocation& inv, const Syntax& syntax,
                      const std::function<bool(const std::string& name, const ParsedArgs& args,
                                               std::string& pluginName, std::string& error)>& step) {
    ParsedArgs args;
    if (!mel::parseArgs(inv, syntax, args)) return false;
    std::vector<std::string> done;
    for (const std::string& name : objectNames(args)) {
        std::string pluginName, error;
        if (!step(name, args, pluginName, error)) return inv.fail(error);
        done.push_back(pluginName);
    }
    inv.result = Value(done);
    return true;
}

// loadPlugin [-qt] name|path ...: returns the names of the loaded plug-ins.
bool loadPluginCmd(Invocation& inv) {
    static const Syntax syntax = flagAndPluginsSyntax("qt", "quiet");
    return forEachPluginArg(
        inv, syntax,
        [](const std::string& name, const ParsedArgs& args, std::string& pluginName, std::string& error) {
            PluginRecord* p = PluginHost::instance().load(name, args.has("qt"), error);
            if (!p) return false;
            pluginName = p->name;
            return true;
        });
}

// unloadPlugin [-f] name ...: returns the names of the unloaded plug-ins.
bool unloadPluginCmd(Invocation& inv) {
    static const Syntax syntax = flagAndPluginsSyntax("f", "force");
    return forEachPluginArg(
        inv, syntax,
        [](const std::string& name, const ParsedArgs& args, std::string& pluginName, std::string& error) {
            PluginRecord* p = PluginHost::instance().find(name);
            pluginName = p ? p->name : name;
            return PluginHost::instance().unload(name, args.has("f"), error);
        });
}

// pluginInfo -q -loaded name | -q -listPlugins | -q -vendor/-version/-path/-apiVersion/-command name.
bool pluginInfoCmd(Invocation& inv) {
    static const Syntax syntax = [] {
        Syntax s;
        s.flag("l", "loaded").flag("ls", "listPlugins").flag("vd", "vendor").flag("v", "version");
        s.flag("p", "path").flag("av", "apiVersion").flag("c", "command").flag("n", "name");
        s.queryable = true;
        s.maxObjects = 1;
        return s;
    }();
    ParsedArgs args;
    if (!mel::parseArgs(inv, syntax, args)) return false;
    PluginHost& host = PluginHost::instance();
    if (args.has("ls")) {
        inv.result = Value(host.loadedNames());
        return true;
    }
    std::vector<std::string> names = objectNames(args);
    if (names.empty()) return inv.fail("pluginInfo: a plug-in name is required.");
    PluginRecord* p = host.find(names[0]);
    if (args.has("l")) {
        inv.result = Value(p != nullptr);
        return true;
    }
    if (!p) return inv.fail("Plug-in \"" + names[0] + "\" is not loaded.");
    if (args.has("vd"))
        inv.result = Value(p->vendor);
    else if (args.has("v"))
        inv.result = Value(p->version);
    else if (args.has("p"))
        inv.result = Value(p->path);
    else if (args.has("av"))
        inv.result = Value(p->apiVersion);
    else if (args.has("c"))
        inv.result = Value(p->commands);
    else if (args.has("n"))
        inv.result = Value(p->name);
    else
        return inv.fail("pluginInfo: nothing to query.");
    return true;
}

struct IdleCommand {
    std::string text;
    bool display;
};

std::deque<IdleCommand>& idleQueue() {
    static std::deque<IdleCommand> q;
    return q;
}

}  // namespace

void registerPluginCommands(mel::CommandRegistry& reg) {
    reg.add({"loadPlugin", loadPluginCmd, nullptr});
    reg.add({"unloadPlugin", unloadPluginCmd, nullptr});
    reg.add({"pluginInfo", pluginInfoCmd, nullptr});
}

void queueIdleCommand(const std::string& command, bool display) {
    idleQueue().push_back({command, display});
}

int runIdleCommands() {
    // Commands queued while the queue runs wait for the next idle time.
    std::deque<IdleCommand> batch;
    batch.swap(idleQueue());
    int n = 0;
    for (const IdleCommand& c : batch) {
        if (c.display) output().print(c.text + "\n");
        hostInterpreter().execute(c.text);
        ++n;
    }
    return n;
}

}  // namespace kxh

namespace kxh {
mel::Interpreter& hostInterpreter() {
    return session().interpreter();
}
}  // namespace kxh
