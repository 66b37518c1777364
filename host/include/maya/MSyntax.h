#pragma once
// The syntax of a command: its flags (short and long names, up to six typed arguments each), its command
// arguments, the objects it accepts and whether it has query and edit modes. A plug-in builds one in its
// syntax function; MArgDatabase parses a command line against it.
//
// Flag names are stored without their dash: addFlag("-p", "-position") and addFlag("p", "position") declare
// the same flag, and lookups accept either form.
#include <maya/MStatus.h>
#include <maya/MTypes.h>

namespace kxh {
struct SyntaxData;
struct CommandApi;
}  // namespace kxh

class MSyntax {
public:
    enum MArgType {
        kInvalidArgType,
        kNoArg,
        kBoolean,
        kLong,
        kDouble,
        kString,
        kUnsigned,
        kDistance,
        kAngle,
        kTime,
        kSelectionItem,
        kLastArgType
    };
    enum MObjectFormat { kInvalidObjectFormat, kNone, kStringObjects, kSelectionList, kLastObjectFormat };

    MSyntax();
    MSyntax(const MSyntax& other);
    MSyntax& operator=(const MSyntax& rhs);
    virtual ~MSyntax();

    // Fails with kFailure when either name is taken, kInvalidParameter when a name is empty or a type is
    // not an argument type.
    MStatus addFlag(const char* shortName, const char* longName, MArgType argType1 = kNoArg,
                    MArgType argType2 = kNoArg, MArgType argType3 = kNoArg, MArgType argType4 = kNoArg,
                    MArgType argType5 = kNoArg, MArgType argType6 = kNoArg);
    MStatus makeFlagMultiUse(const char* flag);
    // In query mode flags normally take no arguments; this flag takes its full list (optional: may be left
    // out when the next word is a flag or the line ends).
    MStatus makeFlagQueryWithFullArgs(const char* flag, bool queryArgsAreOptional);
    // A typed command argument: the first non-flag words, before any objects.
    MStatus addArg(MArgType arg);

    // With kSelectionList objects, an empty object list means the active selection.
    void useSelectionAsDefault(bool useSelectionList = false);
    MStatus setObjectType(MObjectFormat objectFormat, unsigned int minimumObjects = 0);
    MStatus setObjectType(MObjectFormat objectFormat, unsigned int minimumObjects,
                          unsigned int maximumObjects);
    void setMinObjects(unsigned int minimumObjectCount);
    void setMaxObjects(unsigned int maximumObjectCount);
    unsigned int minObjects() const;
    unsigned int maxObjects() const;

    void enableQuery(bool supportsQuery = true);
    void enableEdit(bool supportsEdit = true);
    bool canQuery() const;
    bool canEdit() const;

private:
    friend struct kxh::CommandApi;
    kxh::SyntaxData* data_;
};
