// Plug-in modules: dlopen, the entry points, and the bookkeeping of what each plug-in registered.
#include "cmds/plugin/PluginHost.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <algorithm>
#include <cstdlib>

#include "cmds/Session.h"
#include "foundation/Output.h"
#include "graph/api/PluginNodes.h"
#include "graph/core/NodeType.h"
#include "graph/core/Scene.h"
#include "mel/Interpreter.h"

namespace kxh {

namespace {

using EntryPoint = MStatus (*)(MObject);

// An entry point by its C name, else by the C++ name of `MStatus name(MObject)`: plug-ins written for the
// SDK on Linux export the mangled form (PLUGIN_EXPORT is only a visibility attribute there), others
// declare the entry points extern "C".
EntryPoint entryPoint(void* handle, const std::string& name) {
    if (void* plain = ::dlsym(handle, name.c_str())) return reinterpret_cast<EntryPoint>(plain);
    const std::string mangled = "_Z" + std::to_string(name.size()) + name + "7MObject";
    return reinterpret_cast<EntryPoint>(::dlsym(handle, mangled.c_str()));
}

bool isFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string dirOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// "dir/kxModelingTools.so" -> "kxModelingTools"
std::string pluginNameOf(const std::string& path) {
    std::string base = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    for (const char* ext : {".so", ".mll", ".bundle"}) {
        size_t n = std::char_traits<char>::length(ext);
        if (base.size() > n && base.compare(base.size() - n, n, ext) == 0)
            return base.substr(0, base.size() - n);
    }
    return base;
}

std::string absolute(const std::string& path) {
    char* r = ::realpath(path.c_str(), nullptr);
    if (!r) return path;
    std::string s(r);
    std::free(r);
    return s;
}

void splitInto(const char* value, std::vector<std::string>& out) {
    if (!value) return;
    std::string s(value);
    size_t start = 0;
    while (start <= s.size()) {
        size_t colon = s.find(':', start);
        if (colon == std::string::npos) colon = s.size();
        if (colon > start) out.push_back(s.substr(start, colon - start));
        start = colon + 1;
    }
}

}  // namespace

PluginHost& PluginHost::instance() {
    // Never destroyed: modules stay mapped until the process ends, so undo entries that own their objects
    // can still be destroyed safely at exit.
    static PluginHost* host = new PluginHost;
    return *host;
}

std::vector<std::string> PluginHost::pluginPath() const {
    std::vector<std::string> dirs;
    splitInto(std::getenv("KX_PLUG_IN_PATH"), dirs);
    splitInto(std::getenv("MAYA_PLUG_IN_PATH"), dirs);
    // The folder of the library holding the host: the build puts plug-in modules next to it.
    Dl_info info;
    if (::dladdr(reinterpret_cast<void*>(&registerPluginCommands), &info) && info.dli_fname)
        dirs.push_back(dirOf(absolute(info.dli_fname)));
    return dirs;
}

std::string PluginHost::resolve(const std::string& nameOrPath) const {
    if (nameOrPath.empty()) return {};
    auto tryFile = [](const std::string& p) -> std::string {
        if (isFile(p)) return absolute(p);
        if (isFile(p + ".so")) return absolute(p + ".so");
        return {};
    };
    if (nameOrPath.find('/') != std::string::npos) return tryFile(nameOrPath);
    for (const std::string& dir : pluginPath()) {
        std::string found = tryFile(dir + "/" + nameOrPath);
        if (!found.empty()) return found;
    }
    return {};
}

PluginRecord* PluginHost::find(const std::string& name) {
    std::string key = pluginNameOf(name);
    for (auto& p : plugins_)
        if (p->name == name || p->name == key || p->path == name) return p.get();
    return nullptr;
}

std::vector<std::string> PluginHost::loadedNames() const {
    std::vector<std::string> r;
    for (const auto& p : plugins_) r.push_back(p->name);
    return r;
}

PluginRecord* PluginHost::load(const std::string& nameOrPath, bool quiet, std::string& error) {
    if (PluginRecord* existing = find(nameOrPath)) {
        if (!quiet) output().warning("Plug-in \"" + existing->name + "\" is already loaded.");
        return existing;
    }
    std::string path = resolve(nameOrPath);
    if (path.empty()) {
        error = "Plug-in, \"" + nameOrPath + "\", was not found on MAYA_PLUG_IN_PATH.";
        return nullptr;
    }
    if (PluginRecord* existing = find(path)) {
        if (!quiet) output().warning("Plug-in \"" + existing->name + "\" is already loaded.");
        return existing;
    }
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        error = "Unable to dynamically load : " + path + (why ? std::string("\n") + why : std::string());
        return nullptr;
    }
    EntryPoint init = entryPoint(handle, "initializePlugin");
    if (!init || !entryPoint(handle, "uninitializePlugin")) {
        ::dlclose(handle);
        error = "Plug-in \"" + path + "\" has no initializePlugin or uninitializePlugin function.";
        return nullptr;
    }
    auto rec = std::make_unique<PluginRecord>();
    rec->name = pluginNameOf(path);
    rec->path = path;
    rec->dir = dirOf(path);
    rec->handle = handle;
    if (auto* version = static_cast<const char*>(::dlsym(handle, "MApiVersion"))) rec->apiVersion = version;
    PluginRecord* p = rec.get();
    plugins_.push_back(std::move(rec));

    // A plug-in ships its MEL scripts beside the module or in a "scripts" folder next to it; both join the
    // script path before initializePlugin runs, so the plug-in can source them (and they stay after unload).
    session().addScriptPath(p->dir);
    session().addScriptPath(p->dir + "/scripts");

    push(p);
    MStatus st = init(MObject());
    pop();
    if (!st) {
        // A plug-in that fails to initialize is unloaded again; what it registered goes with it, since its
        // creators would point into the closed module.
        error = "initializePlugin function failed (" + p->name + ")";
        removeRegistrations(*p);
        erase(p);
        ::dlclose(handle);
        return nullptr;
    }
    // The plug-in's UI, as the host builds it after a successful load.
    runUiProcedure(p->uiCreate);
    return p;
}

bool PluginHost::unload(const std::string& name, bool force, std::string& error) {
    PluginRecord* p = find(name);
    if (!p) {
        error = "Plug-in \"" + name + "\" is not loaded.";
        return false;
    }
    if (force) {
        // Forced: the plug-in's nodes go first, and with them the undo steps that could bring them back,
        // so the module can close whatever its uninitializePlugin then says.
        deletePluginNodes(*p);
        hostInterpreter().undoQueue().clear();
    }
    void* handle = p->handle;
    if (handle) {
        EntryPoint uninit = entryPoint(handle, "uninitializePlugin");
        const Registrations before = snapshot(*p);
        push(p);
        MStatus st = uninit ? uninit(MObject()) : MStatus(MS::kFailure);
        pop();
        if (!st && !force) {
            // The plug-in stays loaded as it was: what its uninitializePlugin removed before it stopped
            // is registered again, so a later unload starts from the whole plug-in.
            restore(*p, before);
            const std::vector<std::string> inUse = nodesInUse(*p);
            if (!inUse.empty()) {
                error = "Plug-in \"" + p->name + "\" is in use: " + std::to_string(inUse.size()) +
                        " of its nodes are in the scene (" + inUse.front() +
                        (inUse.size() > 1 ? ", ..." : "") +
                        "). Delete them, or unload with \"unloadPlugin -f\", which deletes them.";
            } else {
                error = "uninitializePlugin function failed (" + p->name + ")";
            }
            return false;
        }
    }
    // The UI the plug-in registered goes with it: its deletion procedure is MEL of the plug-in's script,
    // which stays sourced.
    runUiProcedure(p->uiDelete);
    removeRegistrations(*p);
    // Undo entries may own command and node objects whose code lives in the module.
    hostInterpreter().undoQueue().clear();
    erase(p);
    if (handle) ::dlclose(handle);
    return true;
}

PluginHost::Registrations PluginHost::snapshot(const PluginRecord& plugin) const {
    Registrations r;
    r.record = plugin;
    const mel::CommandRegistry& reg = hostInterpreter().commands();
    for (const std::string& c : plugin.commands)
        if (const mel::CommandDef* def = reg.find(c)) r.commands.push_back(*def);
    for (const std::string& c : plugin.contextCommands)
        if (const ContextCommandInfo* info = findContextCommand(c)) r.contexts.push_back(*info);
    for (unsigned id : plugin.nodeIds)
        if (NodeTypePtr t = NodeTypeRegistry::instance().findById(id)) r.nodeTypes.push_back(t);
    return r;
}

void PluginHost::restore(PluginRecord& plugin, const Registrations& before) {
    mel::CommandRegistry& reg = hostInterpreter().commands();
    for (const mel::CommandDef& def : before.commands)
        if (!reg.find(def.name)) reg.add(def);
    for (const ContextCommandInfo& info : before.contexts)
        if (!findContextCommand(info.name)) addContextCommand(info);
    for (const NodeTypePtr& t : before.nodeTypes)
        if (!NodeTypeRegistry::instance().findById(t->typeId())) NodeTypeRegistry::instance().add(t);
    std::vector<std::string> log = plugin.log;
    plugin = before.record;
    plugin.log = std::move(log);
}

std::vector<std::string> PluginHost::nodesInUse(const PluginRecord& plugin) const {
    std::vector<std::string> names;
    for (unsigned id : plugin.nodeIds)
        for (const NodePtr& n : nodesOfPluginType(MTypeId(id))) names.push_back(n->name());
    return names;
}

void PluginHost::deletePluginNodes(const PluginRecord& plugin) {
    std::vector<NodePtr> nodes;
    for (unsigned id : plugin.nodeIds)
        for (const NodePtr& n : nodesOfPluginType(MTypeId(id))) nodes.push_back(n);
    if (!nodes.empty()) Scene::current().deleteNodes(nodes);
}

void PluginHost::runUiProcedure(const std::string& procedure) {
    if (procedure.empty()) return;
    // A procedure that fails prints its error; the load or unload stands.
    hostInterpreter().execute(procedure);
}

void PluginHost::erase(PluginRecord* p) {
    plugins_.erase(
        std::remove_if(plugins_.begin(), plugins_.end(), [p](const auto& r) { return r.get() == p; }),
        plugins_.end());
}

void PluginHost::removeRegistrations(PluginRecord& plugin) {
    // Node types cannot go while nodes of theirs exist, and must go before the module closes.
    deletePluginNodes(plugin);
    mel::CommandRegistry& reg = hostInterpreter().commands();
    for (const std::string& c : plugin.commands) reg.remove(c);
    plugin.commands.clear();
    for (const std::string& c : plugin.contextCommands) removeContextCommand(c);
    plugin.contextCommands.clear();
    for (unsigned id : plugin.nodeIds) deregisterPluginNodeType(MTypeId(id));
    plugin.nodeIds.clear();
    plugin.nodeNames.clear();
}

PluginHost::Scope::Scope(const std::string& name) {
    PluginHost& h = instance();
    record_ = h.find(name);
    if (!record_) {
        auto rec = std::make_unique<PluginRecord>();
        rec->name = name;
        record_ = rec.get();
        h.plugins_.push_back(std::move(rec));
    }
    h.push(record_);
}

PluginHost::Scope::~Scope() {
    instance().pop();
}

const ContextCommandInfo* PluginHost::findContextCommand(const std::string& name) const {
    auto it = contexts_.find(name);
    return it == contexts_.end() ? nullptr : &it->second;
}

bool PluginHost::addContextCommand(ContextCommandInfo info) {
    if (info.name.empty() || contexts_.count(info.name)) return false;
    if (contextHooks_.added && !contextHooks_.added(info)) return false;
    std::string name = info.name;
    contexts_.emplace(std::move(name), std::move(info));
    return true;
}

bool PluginHost::removeContextCommand(const std::string& name) {
    auto it = contexts_.find(name);
    if (it == contexts_.end()) return false;
    if (contextHooks_.removed) contextHooks_.removed(it->second);
    contexts_.erase(name);
    return true;
}

}  // namespace kxh
