#pragma once
// The plug-in's load table registered from a test program, as initializePlugin registers it, under a
// plug-in scope of its own, so the commands and nodes run the program's copy of the plug-in code; and its
// removal again.
#ifndef MNoVersionString
#define MNoVersionString  // the test program is no plug-in module: no MApiVersion of its own
#endif
#include <maya/MFnPlugin.h>
#include <maya/MObject.h>

#include <string>

#include "cmds/plugin/PluginHost.h"
#include "plugin/registration.h"

namespace kxtest {

// Registers every row of the load table under the plug-in name `scopeName`; false when a row fails.
inline bool registerPluginCore(const char* scopeName) {
    kxh::PluginHost::Scope scope(scopeName);
    MObject handle;
    MFnPlugin plugin(handle, "Kestrix Tools", "2008", "Any");
    return bool(registerRows(plugin, loadTable()));
}

// Unloads what registerPluginCore registered, when it is still there.
inline void unregisterPluginCore(const char* scopeName) {
    std::string error;
    if (kxh::PluginHost::instance().find(scopeName)) kxh::PluginHost::instance().unload(scopeName, error);
}

}  // namespace kxtest
