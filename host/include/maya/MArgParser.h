#pragma once
// Parses an MArgList against an MSyntax: which flags were given (and how often, and where), their
// arguments by type, the command arguments, the objects, and the query/edit mode.
//
// Construction reports a line that does not fit the syntax as an error in the script output ("Invalid
// flag '-x'", "Flag '-p' must be passed a float argument", "Too many objects or values.") and returns
// kFailure; every query on such a parser fails.
#include <maya/MArgList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MSyntax.h>

class MArgList;
class MStringArray;

namespace kxh {
struct ParsedData;
struct CommandApi;
}  // namespace kxh

class MArgParser {
public:
    MArgParser();
    MArgParser(const MSyntax& syntax, const MArgList& argList, MStatus* ReturnStatus = NULL);
    MArgParser(const MArgParser& other);
    MArgParser& operator=(const MArgParser& other);
    virtual ~MArgParser();

    bool isFlagSet(const char* flag, MStatus* ReturnStatus = NULL) const;
    bool isEdit(MStatus* ReturnStatus = NULL) const;
    bool isQuery(MStatus* ReturnStatus = NULL) const;
    unsigned int numberOfFlagsUsed() const;
    unsigned int numberOfFlagUses(const char* flag) const;

    // The index-th argument of the flag's first use. Fails when the flag was not given, has no such
    // argument, or the argument does not convert to the requested type.
    MStatus getFlagArgument(const char* flag, unsigned int index, bool& result) const;
    MStatus getFlagArgument(const char* flag, unsigned int index, int& result) const;
    MStatus getFlagArgument(const char* flag, unsigned int index, double& result) const;
    MStatus getFlagArgument(const char* flag, unsigned int index, MString& result) const;
    MStatus getFlagArgument(const char* flag, unsigned int index, unsigned int& result) const;

    // For multi-use flags: the position (word index in the MArgList) of the i-th use, and its arguments.
    MStatus getFlagArgumentPosition(const char* flag, unsigned int i, unsigned int& position) const;
    MStatus getFlagArgumentList(const char* flag, unsigned int i, MArgList& args) const;

    MStatus getCommandArgument(unsigned int index, bool& result) const;
    MStatus getCommandArgument(unsigned int index, int& result) const;
    MStatus getCommandArgument(unsigned int index, double& result) const;
    MStatus getCommandArgument(unsigned int index, MString& result) const;
    MStatus getCommandArgument(unsigned int index, unsigned int& result) const;

    MStatus getObjects(MStringArray& result) const;

protected:
    friend struct kxh::CommandApi;
    kxh::ParsedData* data_;
};
