#pragma once
// The API version a plug-in was built against, exported as the data symbol MApiVersion. The host reads it
// when it loads the module. MFnPlugin.h includes this header, so exactly one translation unit of a plug-in
// includes MFnPlugin.h without MNoVersionString (or MNoPluginEntry) defined; the others define one of them
// first.
#include <maya/MTypes.h>

#if !defined(MNoVersionString) && !defined(MNoPluginEntry)
#define KXH_STRINGIFY2(x) #x
#define KXH_STRINGIFY(x) KXH_STRINGIFY2(x)
extern "C" __attribute__((visibility("default"))) const char MApiVersion[] = KXH_STRINGIFY(MAYA_API_VERSION);
#undef KXH_STRINGIFY
#undef KXH_STRINGIFY2
#endif
