#pragma once
// Plug-in modules in the host: loading with dlopen, the plug-in records MFnPlugin works on, what each
// plug-in registered, and the MEL commands loadPlugin / unloadPlugin / pluginInfo.
#include <maya/MTypes.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kxh {

namespace mel {
class CommandRegistry;
class Interpreter;
struct CommandDef;
}  // namespace mel
class NodeType;

// The interpreter of the host session: plug-in commands register into its command registry, and
// MGlobal runs MEL through it.
mel::Interpreter& hostInterpreter();

struct ContextCommandInfo {
    std::string name;
    MCreatorFunction creator = nullptr;
    std::string toolCommand;  // empty when registered without a tool command
    MCreatorFunction toolCreator = nullptr;
    MCreateSyntaxFunction toolSyntax = nullptr;
    struct PluginRecord* owner = nullptr;
};

struct PluginRecord {
    std::string name;        // the file name without extension ("kxModelingTools")
    std::string path;        // the file loaded
    std::string dir;         // its directory (MFnPlugin::loadPath)
    void* handle = nullptr;  // null for plug-ins registered from inside the host (tests)
    std::string vendor = "Unknown";
    std::string version = "Unknown";
    std::string requiredApiVersion = "Any";
    std::string apiVersion;  // the module's MApiVersion symbol

    std::vector<std::string> commands;         // in registration order
    std::vector<std::string> contextCommands;  // context command names
    std::vector<unsigned> nodeIds;             // node types (registered with the graph)
    std::vector<std::string> nodeNames;
    std::string uiCreate, uiDelete, uiCreateBatch, uiDeleteBatch;
    // Every successful registration ("command kxSetCommands", "context quadDrawContext", "node drawLocator",
    // "ui kx_modeling_tool_ui") and removal (the same with a leading '-'), in the order they were made.
    std::vector<std::string> log;
};

class PluginHost {
public:
    static PluginHost& instance();

    // Loads a module by path or by name (searched on pluginPath()). An already loaded plug-in is not
    // loaded again (a warning unless quiet). On failure returns nullptr with the error message set.
    PluginRecord* load(const std::string& nameOrPath, bool quiet, std::string& error);
    // Calls uninitializePlugin; when it fails the plug-in stays loaded with everything it had registered
    // (the host registers again what the failed call removed), and the error names the nodes that keep it
    // in use when that is why. Otherwise runs its UI deletion procedure, removes whatever
    // it left registered, flushes the undo queue (its entries may own the module's objects) and closes
    // the module. `force` first deletes the scene's nodes of the plug-in's types and flushes the undo
    // queue, and unloads even when uninitializePlugin fails.
    bool unload(const std::string& name, bool force, std::string& error);
    bool unload(const std::string& name, std::string& error) { return unload(name, false, error); }

    // By plug-in name, file name or path.
    PluginRecord* find(const std::string& name);
    std::vector<std::string> loadedNames() const;

    // KX_PLUG_IN_PATH and MAYA_PLUG_IN_PATH (colon-separated), then the folder holding the host library.
    std::vector<std::string> pluginPath() const;
    std::string resolve(const std::string& nameOrPath) const;  // "" when not found

    // The plug-in whose initializePlugin / uninitializePlugin is running (MFnPlugin binds to it).
    PluginRecord* current() const { return current_.empty() ? nullptr : current_.back(); }

    // A plug-in without a module, for registering from inside the host: the record is current while the
    // scope lives and stays listed (as "name") until removed with unload().
    class Scope {
    public:
        explicit Scope(const std::string& name);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        PluginRecord& record() { return *record_; }

    private:
        PluginRecord* record_;
    };

    // Context commands registered by plug-ins (contexts themselves are created elsewhere).
    const ContextCommandInfo* findContextCommand(const std::string& name) const;
    bool addContextCommand(ContextCommandInfo info);
    bool removeContextCommand(const std::string& name);

    // The tool layer's part in context command registration: `added` makes the MEL commands of a new
    // context command (returning false refuses the registration); `removed` takes them away with the
    // contexts the command made, before the entry goes.
    struct ContextCommandHooks {
        std::function<bool(const ContextCommandInfo&)> added;
        std::function<void(const ContextCommandInfo&)> removed;
    };
    void setContextCommandHooks(ContextCommandHooks hooks) { contextHooks_ = std::move(hooks); }

    // Removes everything the plug-in registered that is still registered (deleting the scene's nodes of
    // its node types first).
    void removeRegistrations(PluginRecord& plugin);
    // The names of the scene's nodes of the plug-in's node types.
    std::vector<std::string> nodesInUse(const PluginRecord& plugin) const;

private:
    PluginHost() = default;
    void push(PluginRecord* p) { current_.push_back(p); }
    void pop() { current_.pop_back(); }
    void erase(PluginRecord* p);
    void deletePluginNodes(const PluginRecord& plugin);
    // What a plug-in has registered, taken before its uninitializePlugin runs and put back when it fails.
    struct Registrations {
        PluginRecord record;
        std::vector<mel::CommandDef> commands;
        std::vector<ContextCommandInfo> contexts;
        std::vector<std::shared_ptr<NodeType>> nodeTypes;
    };
    Registrations snapshot(const PluginRecord& plugin) const;
    void restore(PluginRecord& plugin, const Registrations& before);
    // Runs a registerUI procedure (nothing for an empty name).
    void runUiProcedure(const std::string& procedure);

    std::vector<std::unique_ptr<PluginRecord>> plugins_;  // load order
    std::vector<PluginRecord*> current_;
    std::map<std::string, ContextCommandInfo> contexts_;
    ContextCommandHooks contextHooks_;
};

// MEL commands of this family: loadPlugin, unloadPlugin, pluginInfo.
void registerPluginCommands(mel::CommandRegistry& registry);

// Commands queued by MGlobal::executeCommandOnIdle. The host runs them when idle (the event loop, or a
// test calling runIdleCommands); returns how many ran.
void queueIdleCommand(const std::string& command, bool display);
int runIdleCommands();

}  // namespace kxh
