#pragma once
// What the plug-in's feedback locators share: their input arrays (generic attributes only the tools
// write), the "outPosition" output that every input affects, reading a point array back from a plug, and
// the stippled face they draw over the mesh.
#include <maya/MFnData.h>
#include <maya/MObject.h>
#include <maya/MPointArray.h>

// A generic attribute holding one kind of array data, set only by the tools and never keyed or cached.
// Reports "error creating generic attribute!" when it cannot be made. With `addFailure`, a created
// attribute is also added to the node class being initialized, and `addFailure` is reported when that fails.
MObject createToolArrayAttribute(const char* longName, const char* shortName, MFnData::Type accepts,
                                 const char* addFailure = nullptr);

// The locator's "outPosition" ("opos"): an int that is neither keyable nor storable, added to the node
// class being initialized. Failures are reported as errors.
MObject createOutPositionAttribute();

// Adds `attr` to the node class being initialized; reports `message` as an error when that fails.
void addOrReport(const MObject& attr, const char* message);
// Makes `input` affect `output`; reports `message` as an error when that fails.
void affectsOrReport(const MObject& input, const MObject& output, const char* message);

// Reads one of the node's point arrays into `points`; false when the plug holds no point-array data.
bool readPointArray(const MObject& node, const MObject& attr, MPointArray& points);

// Draws a face through `corners` in translucent blue, stippled as a 32 x 32 checkerboard (rows of 0xAA
// bytes alternating with rows of 0x55) so the mesh under it shows through every other pixel. Leaves
// GL_POLYGON_STIPPLE enabled, for the caller's attribute pop or disable.
void drawStippledFace(const MPointArray& corners);
