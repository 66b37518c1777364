#pragma once
// A plug-in made of one command: DeclareSimpleCommand(name, vendor, version) declares the command class
// `name` (an MPxCommand whose doIt the plug-in defines), its creator, and the plug-in's initializePlugin and
// uninitializePlugin, which register and remove the command under the class's name. Such a command is not
// undoable, so it should only query the scene or print.
#include <maya/MArgList.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MIOStream.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#define DeclareSimpleCommand(_className, _vendor, _version)                          \
    class _className : public MPxCommand {                                           \
    public:                                                                          \
        _className() {}                                                              \
        virtual MStatus doIt(const MArgList&);                                       \
        static void* creator() { return new _className; }                            \
    };                                                                               \
    PLUGIN_EXPORT MStatus initializePlugin(MObject _obj) {                           \
        MFnPlugin _plugin(_obj, _vendor, _version, "Any");                           \
        MStatus _status = _plugin.registerCommand(#_className, _className::creator); \
        if (!_status) _status.perror("registerCommand");                             \
        return _status;                                                              \
    }                                                                                \
    PLUGIN_EXPORT MStatus uninitializePlugin(MObject _obj) {                         \
        MFnPlugin _plugin(_obj);                                                     \
        MStatus _status = _plugin.deregisterCommand(#_className);                    \
        if (!_status) _status.perror("deregisterCommand");                           \
        return _status;                                                              \
    }
