// The module's entry points. The host calls initializePlugin when it loads kxModelingTools and
// uninitializePlugin before it unloads it; MApiVersion (defined by MFnPlugin.h) tells it which API the
// module was built against.
#include <maya/M3dView.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include "plugin/ToolSettings.h"
#include "plugin/registration.h"
#include "plugin/versionCheck.h"

namespace {

const char* const kVendor = "Kestrix Tools";
const char* const kPluginIdentityVersion = "2008";

// The host's main window, which the tablet reader listens on.
void attachToMainWindow() {
    MStatus status;
    M3dView::applicationShell(&status);
    if (!status) MGlobal::displayInfo("cannot get hwnd ");
    // The tablet pressure reader (one per process) attaches to this window here, with initTablet, once
    // the brushes bring it.
}

}  // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    ToolSettings::instance().loadDefaults();

    // The MEL interface: windows, controls and the procedures the plug-in calls back. A missing script
    // leaves the plug-in usable from MEL, so its result is not checked.
    MGlobal::executeCommand("source kx_modeling_tool_ui", false, false);

    int checkNow = 0;
    MGlobal::executeCommand("shouldCheckForUpdatesOnLoad_KXPT_Proc", checkNow, false, false);
    if (checkNow == 1) runVersionCheck(false);

    attachToMainWindow();

    MFnPlugin plugin(obj, kVendor, kPluginIdentityVersion, "Any");
    return registerRows(plugin, loadTable());
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Unknown", "Unknown", "Any");
    return deregisterRows(plugin, unloadTable());
}
