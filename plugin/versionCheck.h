#pragma once
// The version check: reads the version page over WinINet and compares its first four characters with
// the version built into the plug-in, then tells the artist through a confirm dialog.
//
// The page address is built in (kDefaultVersionPage); the plug-in has no configuration of its own.
//
// Errors: the check is an action of its own, not a helper: it tells the artist every outcome it is asked
// to report through its dialogs, and returns nothing.
#include <maya/MString.h>

extern const char* const kPluginVersion;       // "1.11"
extern const char* const kDefaultVersionPage;  // http:// address of the version page

// The address the check reads.
MString versionPageAddress();

// Runs the check. A newer (or any different) version shows "New Version!", an unreachable page "Sorry!";
// the same version shows "Up To Date!" only when every outcome is to be reported (the check on demand),
// not in the quiet check at load.
void runVersionCheck(bool reportEveryOutcome);
