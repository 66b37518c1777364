// A plug-in whose initializePlugin fails after registering a command: the host must unload it and take
// the command away again.
#include <maya/MFnPlugin.h>
#include <maya/MPxCommand.h>

namespace {

class OrphanCmd : public MPxCommand {
public:
    static void* creator() { return new OrphanCmd; }
};

}  // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Kestrix Tests", "1.0", "Any");
    plugin.registerCommand("kxtOrphan", OrphanCmd::creator);
    return MS::kFailure;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject) {
    return MS::kSuccess;
}
