#pragma once
// A command that moves UVs of meshes. The plug-in implements parseSyntax (reading its flags) and
// getTweakedUVs (the UV ids to move and their new positions, in the mesh's current UV set); the host runs
// the command on the meshes named on the command line or, with none, on the selected ones, applies the
// returned positions and undoes and redoes them itself.
#include <maya/MArgDatabase.h>
#include <maya/MFloatArray.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>
#include <maya/MSyntax.h>

#include <memory>

namespace kxh {
struct TweakUVRecord;
}

class MPxPolyTweakUVCommand : public MPxCommand {
public:
    MPxPolyTweakUVCommand();
    ~MPxPolyTweakUVCommand() override;

    // Reads the plug-in's own flags; the default accepts anything.
    virtual MStatus parseSyntax(MArgDatabase& argData);
    // The UVs to move on one mesh (a mesh shape); the default moves none.
    virtual MStatus getTweakedUVs(const MObject& meshObj, MIntArray& uvList, MFloatArray& uPos,
                                  MFloatArray& vPos);
    // The base syntax: objects as a selection list, the selection when none are given. Plug-ins add their
    // flags to it.
    static MSyntax newSyntax();

private:
    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override;

    std::shared_ptr<kxh::TweakUVRecord> record_;
};
