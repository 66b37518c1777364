#pragma once
// The base of a plug-in command. The host creates one object per invocation with the registered creator
// and calls doIt once with the command line's words. When doIt succeeds and isUndoable() is true, the
// object lives on in the undo queue and receives undoIt/redoIt; otherwise it is deleted after doIt.
//
// The result statics set the MEL return value of the command that is running (what "$r = `cmd`" and
// MGlobal::executeCommand see).
#include <maya/MArgList.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MSyntax.h>
#include <maya/MTypes.h>

class MArgList;
class MDoubleArray;
class MIntArray;
class MStringArray;

namespace kxh {
struct CommandApi;
}

class MPxCommand {
public:
    enum MResultType { kLong, kDouble, kString, kNoArg };

    MPxCommand();
    virtual ~MPxCommand();

    virtual MStatus doIt(const MArgList& args);
    virtual MStatus undoIt();
    virtual MStatus redoIt();
    virtual bool isUndoable() const;  // false unless overridden
    virtual bool hasSyntax() const;   // true unless overridden

    // The syntax registered with the command (empty when it was registered without a syntax function).
    MSyntax syntax() const;

    bool isHistoryOn() const;
    MString commandString() const;
    MStatus setHistoryOn(bool state);
    MStatus setCommandString(const MString& name);

    // Script output: "// text", "// Warning: text", "// Error: text".
    static void displayInfo(const MString& theInfo);
    static void displayWarning(const MString& theWarning, bool showLineNumber = false);
    static void displayError(const MString& theError, bool showLineNumber = false);

    static void clearResult();
    static void setResult(unsigned int val);
    static void setResult(int val);
    static void setResult(double val);
    static void setResult(bool val);
    static void setResult(const char* val);
    static void setResult(const MString& val);
    static void setResult(const MIntArray& val);
    static void setResult(const MDoubleArray& val);
    static void setResult(const MStringArray& val);
    // Appending turns the result into an array (of the first element's kind; a string appended to numbers
    // makes a string array).
    static void appendToResult(unsigned int val);
    static void appendToResult(int val);
    static void appendToResult(double val);
    static void appendToResult(bool val);
    static void appendToResult(const char* val);
    static void appendToResult(const MString& val);
    static void appendToResult(const MStringArray& val);

    static bool isCurrentResultArray();
    static MResultType currentResultType();
    static int currentIntResult(MStatus* ReturnStatus = NULL);
    static double currentDoubleResult(MStatus* ReturnStatus = NULL);
    static MString currentStringResult(MStatus* ReturnStatus = NULL);
    static MStatus getCurrentResult(MIntArray& val);
    static MStatus getCurrentResult(MDoubleArray& val);
    static MStatus getCurrentResult(MStringArray& val);

private:
    friend struct kxh::CommandApi;
    MPxCommand(const MPxCommand&) = delete;
    MPxCommand& operator=(const MPxCommand&) = delete;
    MSyntax syntax_;
    MString commandString_;
    bool historyOn_ = true;
};
