// The smallest plug-in: one command declared with the simple-command macro. "kxsHello name" prints a
// greeting to the output stream and answers it.
#include <maya/MIOStream.h>
#include <maya/MSimple.h>

DeclareSimpleCommand(kxsHello, PLUGIN_COMPANY, "1.0")

    MStatus kxsHello::doIt(const MArgList& args) {
    MString greeting = "Hello";
    for (unsigned i = 0; i < args.length(); ++i) greeting += MString(" ") + args.asString(i);
    cout << greeting.asChar() << endl;
    setResult(greeting);
    return MS::kSuccess;
}
