// MFnPlugin: registration of a plug-in's commands, contexts, nodes and UI procedures.
// The host is no plug-in module: it must not export an MApiVersion of its own (a module's would clash).
#define MNoVersionString
#include <maya/MFnPlugin.h>
#include <maya/MSyntax.h>

#include <algorithm>

#include "cmds/plugin/CommandApi.h"
#include "cmds/plugin/PluginHost.h"
#include "graph/api/PluginNodes.h"
#include "mel/Interpreter.h"

using kxh::PluginHost;
using kxh::PluginRecord;

namespace {

bool eraseName(std::vector<std::string>& list, const std::string& name) {
    auto it = std::find(list.begin(), list.end(), name);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

inline void setStatus(MStatus* st, MStatus::MStatusCode code) {
    if (st) *st = code;
}

}  // namespace

MFnPlugin::MFnPlugin() = default;

MFnPlugin::MFnPlugin(MObject&, const char* vendor, const char* version, const char* requiredApiVersion,
                     MStatus* ReturnStatus) {
    // The host hands a plug-in its MObject only while its initializePlugin / uninitializePlugin runs;
    // that call's plug-in is the one this function set works on.
    plugin_ = PluginHost::instance().current();
    if (!plugin_) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return;
    }
    plugin_->vendor = vendor ? vendor : "Unknown";
    plugin_->version = version ? version : "Unknown";
    plugin_->requiredApiVersion = requiredApiVersion ? requiredApiVersion : "Any";
    setStatus(ReturnStatus, MS::kSuccess);
}

MFnPlugin::~MFnPlugin() = default;

#define KXH_PLUGIN_GETTER(method, expr)                      \
    MString MFnPlugin::method(MStatus* ReturnStatus) const { \
        if (!plugin_) {                                      \
            setStatus(ReturnStatus, MS::kFailure);           \
            return MString();                                \
        }                                                    \
        setStatus(ReturnStatus, MS::kSuccess);               \
        return MString(expr);                                \
    }
KXH_PLUGIN_GETTER(vendor, plugin_->vendor)
KXH_PLUGIN_GETTER(version, plugin_->version)
KXH_PLUGIN_GETTER(apiVersion, plugin_->apiVersion.empty() ? std::string("201104") : plugin_->apiVersion)
KXH_PLUGIN_GETTER(name, plugin_->name)
KXH_PLUGIN_GETTER(loadPath, plugin_->dir)
#undef KXH_PLUGIN_GETTER

MStatus MFnPlugin::setName(const MString& newName, bool) {
    if (!plugin_ || newName.length() == 0) return MS::kFailure;
    plugin_->name = newName.str();
    return MS::kSuccess;
}

MStatus MFnPlugin::setVersion(const MString& newVersion) {
    if (!plugin_) return MS::kFailure;
    plugin_->version = newVersion.str();
    return MS::kSuccess;
}

MStatus MFnPlugin::registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                                   MCreateSyntaxFunction createSyntaxFunction) {
    if (!plugin_ || !creatorFunction || commandName.length() == 0) return MS::kInvalidParameter;
    std::string name = commandName.str();
    MSyntax syntax = createSyntaxFunction ? createSyntaxFunction() : MSyntax();
    kxh::mel::CommandDef def;
    def.name = name;
    def.syntax = kxh::CommandApi::toMelSyntax(syntax);
    def.handler = [name, creatorFunction, syntax](kxh::mel::Invocation& inv) {
        return kxh::runPluginCommand(name, creatorFunction, syntax, inv);
    };
    if (!kxh::hostInterpreter().commands().add(std::move(def))) return MS::kFailure;
    plugin_->commands.push_back(name);
    plugin_->log.push_back("command " + name);
    return MS::kSuccess;
}

MStatus MFnPlugin::deregisterCommand(const MString& commandName) {
    // Only the plug-in's own commands: a built-in or another plug-in's command of that name stays.
    if (!plugin_ || !eraseName(plugin_->commands, commandName.str())) return MS::kFailure;
    kxh::hostInterpreter().commands().remove(commandName.str());
    plugin_->log.push_back("-command " + commandName.str());
    return MS::kSuccess;
}

MStatus MFnPlugin::registerContextCommand(const MString& commandName, MCreatorFunction creatorFunction) {
    return registerContextCommand(commandName, creatorFunction, MString(), nullptr, nullptr);
}

MStatus MFnPlugin::registerContextCommand(const MString& commandName, MCreatorFunction creatorFunction,
                                          const MString& toolCmdName, MCreatorFunction toolCmdCreator,
                                          MCreateSyntaxFunction toolCmdSyntax) {
    if (!plugin_ || !creatorFunction || commandName.length() == 0) return MS::kInvalidParameter;
    std::string name = commandName.str();
    std::string tool = toolCmdName.str();
    if (!tool.empty() && !toolCmdCreator) return MS::kInvalidParameter;
    // Both names live in the command namespace: neither may clash with a command or another context.
    auto& commands = kxh::hostInterpreter().commands();
    PluginHost& host = PluginHost::instance();
    if (commands.find(name) || host.findContextCommand(name)) return MS::kFailure;
    if (!tool.empty() && (tool == name || commands.find(tool) || host.findContextCommand(tool)))
        return MS::kFailure;
    for (const std::string& other : plugin_->contextCommands)
        if (const auto* info = host.findContextCommand(other);
            info && !tool.empty() && info->toolCommand == tool)
            return MS::kFailure;
    kxh::ContextCommandInfo info;
    info.name = name;
    info.creator = creatorFunction;
    info.toolCommand = tool;
    info.toolCreator = toolCmdCreator;
    info.toolSyntax = toolCmdSyntax;
    info.owner = plugin_;
    if (!host.addContextCommand(std::move(info))) return MS::kFailure;
    plugin_->contextCommands.push_back(name);
    plugin_->log.push_back("context " + name);
    return MS::kSuccess;
}

MStatus MFnPlugin::deregisterContextCommand(const MString& commandName) {
    if (!plugin_ || !eraseName(plugin_->contextCommands, commandName.str())) return MS::kFailure;
    PluginHost::instance().removeContextCommand(commandName.str());
    plugin_->log.push_back("-context " + commandName.str());
    return MS::kSuccess;
}

MStatus MFnPlugin::deregisterContextCommand(const MString& commandName, const MString& toolCmdName) {
    if (!plugin_) return MS::kFailure;
    const auto* info = PluginHost::instance().findContextCommand(commandName.str());
    if (!info || info->owner != plugin_ || info->toolCommand != toolCmdName.str()) return MS::kFailure;
    return deregisterContextCommand(commandName);
}

MStatus MFnPlugin::registerNode(const MString& typeName, const MTypeId& typeId,
                                MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                                MPxNode::Type type, const MString* classification) {
    if (!plugin_) return MS::kInvalidParameter;
    // The graph owns node types; it runs the initialize function and refuses taken names and ids.
    MStatus st =
        kxh::registerPluginNodeType(typeName, typeId, creatorFunction, initFunction, type, classification);
    if (!st) return st;
    plugin_->nodeIds.push_back(typeId.id());
    plugin_->nodeNames.push_back(typeName.str());
    plugin_->log.push_back("node " + typeName.str());
    return MS::kSuccess;
}

MStatus MFnPlugin::deregisterNode(const MTypeId& typeId) {
    if (!plugin_) return MS::kFailure;
    unsigned id = typeId.id();
    auto it = std::find(plugin_->nodeIds.begin(), plugin_->nodeIds.end(), id);
    if (it == plugin_->nodeIds.end()) return MS::kFailure;
    MStatus st = kxh::deregisterPluginNodeType(typeId);
    if (!st) return st;
    const auto index = it - plugin_->nodeIds.begin();
    plugin_->log.push_back("-node " + plugin_->nodeNames[size_t(index)]);
    plugin_->nodeNames.erase(plugin_->nodeNames.begin() + index);
    plugin_->nodeIds.erase(it);
    return MS::kSuccess;
}

MStatus MFnPlugin::registerUI(const MString& creationProc, const MString& deletionProc,
                              const MString& creationBatchProc, const MString& deletionBatchProc) {
    if (!plugin_) return MS::kFailure;
    plugin_->uiCreate = creationProc.str();
    plugin_->uiDelete = deletionProc.str();
    plugin_->uiCreateBatch = creationBatchProc.str();
    plugin_->uiDeleteBatch = deletionBatchProc.str();
    plugin_->log.push_back("ui " + plugin_->uiCreate);
    return MS::kSuccess;
}
