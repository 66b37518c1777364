#pragma once
// The MEL command that makes contexts of a plug-in tool. Running it creates a context with makeObj, names
// it after the command ("quadDrawContext1", or the name given as its object) and returns that name. With
// -e or -q and a context name it works on that context: the host hands the line to doEditFlags or
// doQueryFlags of the same command object that made the context, so a command can keep the pointer
// makeObj returned. Flags given when creating go to doEditFlags after makeObj.
//
// Every context command has -ex/-exists and the image flags -i1/-image1, -i2/-image2, -i3/-image3 of the
// host; appendSyntax adds the command's own flags to syntax().
#include <maya/MArgList.h>
#include <maya/MArgParser.h>
#include <maya/MPxContext.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

class MPxContext;

namespace kxh {
struct ContextCommandAccess;
struct SyntaxData;
}  // namespace kxh

class MPxContextCommand {
public:
    MPxContextCommand();
    virtual ~MPxContextCommand();

    virtual MStatus doEditFlags();
    virtual MStatus doQueryFlags();
    virtual MPxContext* makeObj();
    virtual MStatus appendSyntax();

    MStatus setResult(bool result);
    MStatus setResult(int result);
    MStatus setResult(double result);
    MStatus setResult(const MString& result);

    static const char* className();

protected:
    // The command's syntax. Flags added to the returned object are added to the command
    // ("MSyntax s = syntax(); s.addFlag(...)" in appendSyntax).
    MSyntax syntax(MStatus* ReturnStatus = NULL) const;
    // The command line being run, parsed against that syntax.
    MArgParser parser(MStatus* ReturnStatus = NULL) const;

private:
    friend struct kxh::ContextCommandAccess;
    MPxContextCommand(const MPxContextCommand&) = delete;
    MPxContextCommand& operator=(const MPxContextCommand&) = delete;

    kxh::SyntaxData* syntax_;
    MArgParser parser_;
};
