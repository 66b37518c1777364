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
#include "mel/Interpreter.h"

namespace kxh {

namespace {

using EntryPoint = MStatus (*)(MObject);

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
    auto init = reinterpret_cast<EntryPoint>(::dlsym(handle, "initializePlugin"));
    if (!init || !::dlsym(handle, "uninitializePlugin")) {
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
    return p;
}

bool PluginHost::unload(const std::string& name, std::string& error) {
    PluginRecord* p = find(name);
    if (!p) {
        error = "Plug-in \"" + name + "\" is not loaded.";
        return false;
    }
    void* handle = p->handle;
    if (handle) {
        auto uninit = reinterpret_cast<EntryPoint>(::dlsym(handle, "uninitializePlugin"));
        push(p);
        MStatus st = uninit ? uninit(MObject()) : MStatus(MS::kFailure);
        pop();
        if (!st) {
            error = "uninitializePlugin function failed (" + p->name + ")";
            return false;
        }
    }
    removeRegistrations(*p);
    // Undo entries may own command objects whose code lives in the module.
    hostInterpreter().undoQueue().clear();
    erase(p);
    if (handle) ::dlclose(handle);
    return true;
}

void PluginHost::erase(PluginRecord* p) {
    plugins_.erase(
        std::remove_if(plugins_.begin(), plugins_.end(), [p](const auto& r) { return r.get() == p; }),
        plugins_.end());
}

void PluginHost::removeRegistrations(PluginRecord& plugin) {
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
