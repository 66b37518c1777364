#pragma once
// What the plug-in's feedback locators share: making the scene node a tool draws into, their input arrays
// (generic attributes only the tools write), the "outPosition" output that every input affects, reading a
// point array back from a plug, the stippled face they draw over the mesh, and the depth offset that keeps
// their feedback in front of the surface it lies on.
//
// Errors: the helpers return MStatus (or a bool for a read that may find nothing) and print no message of
// their own; the caller reports a failure with the message of its step. The initialize-time helpers below
// print exactly the messages their callers pass them, and carry on, as the node initializers do.
#include <maya/MFnData.h>
#include <maya/MObject.h>
#include <maya/MPointArray.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

// What createToolLocator does with a node that already holds the locator's name.
enum class ExistingLocator {
    kReplace,  // delete it and make a fresh one (feedback that lives only while a tool is active)
    kReuse,    // keep it and its data when it is a locator of the type (data that outlasts the tool)
};

// Makes the locator a tool draws into: a node of `type` under a transform named exactly `name`, as a tool
// does at set-up. Creating and selecting it must not disturb the user: the active selection (with the
// hilited objects merged in) and the hilite list are put back, the first selected object goes back into
// the component mode `componentSelectType` names (0 vertex, 1 edge, 2 face, 3 none: vertex), and when the
// first view panel isolates its selection the new node joins the isolated set so that it stays visible.
// On success `shape` is the locator's shape node. Returns MS::kInvalidParameter, creating nothing, when
// with kReuse the name belongs to a node that is no locator of `type`; MS::kFailure when the node cannot
// be made.
MStatus createToolLocator(const MTypeId& type, const MString& name, ExistingLocator existing,
                          int componentSelectType, MObject& shape);

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

// Pulls what is drawn next toward the camera, so that points and faces lying on a surface are not hidden
// by it: a face built between points on a convex surface runs inside it, by up to a few percent of the
// view's extent for the faces an artist draws. In a perspective view the model-view is scaled about the
// eye by 1 - kLocatorDepthOffset, which keeps every point at its pixel and moves it that fraction of its
// distance nearer; in an orthographic view it moves that fraction of the view's width toward the camera.
// The offset clears the one the host draws hilited meshes with (4%) by 2% more: the feedback most often
// lies on a hilited mesh, and an 8-pixel point at the same depth as a slanted face around it is half hidden.
// Pushes the model-view matrix: pop it (glPopMatrix in GL_MODELVIEW) when done.
constexpr double kLocatorDepthOffset = 0.06;
void pushDepthOffsetTowardCamera();
