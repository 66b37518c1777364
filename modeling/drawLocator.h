#pragma once
// drawLocator: the locator through which the modeling and brush tools show their feedback in the 3D views.
// The tools write world-space arrays into its attributes and refresh the view; the node itself computes
// nothing and only draws what it holds:
//   parr + ssrparr   soft-selection points, each coloured by its weight (0 red .. 1 cyan)
//   rparr            the radius circle, a closed green polyline
//   cparr            the component under the cursor: 1 point a yellow dot (vertex), 2 a red line (edge),
//                    3 or more a stippled blue polygon (face)
#include <maya/M3dView.h>
#include <maya/MDoubleArray.h>
#include <maya/MObject.h>
#include <maya/MPointArray.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class MDagPath;
class MDataBlock;
class MPlug;

class drawLocator : public MPxLocatorNode {
public:
    drawLocator();
    ~drawLocator() override;

    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    void draw(M3dView& view, const MDagPath& path, M3dView::DisplayStyle style,
              M3dView::DisplayStatus status) override;
    // The feedback is drawn wherever the arrays say; the node has no bounds of its own.
    bool isBounded() const override;

    static void* creator();
    static MStatus initialize();

    static const MTypeId id;
    static const MString drawDbClassification;
    // The node the modeling and brush tools draw into, and the one that shows pinned vertices (made by
    // the scene, never by this module).
    static const char* const toolInstanceName;  // "kxModelingToolsDrawSSPointLocator"
    static const char* const pinInstanceName;   // "kxModelingToolsDrawPinLocator"

    static MObject pointArray;           // parr: soft-selection points
    static MObject ssRadiusValArray;     // ssrparr: one weight in 0..1 per soft-selection point
    static MObject radiusPointArray;     // rparr: radius circle
    static MObject componentPointArray;  // cparr: component under the cursor
    static MObject outPosition;          // opos: what the arrays affect

    // Writing the arrays as the tools do: the plug is found by its short name on `node` and given a new
    // data object. Failures are printed (MStatus::perror) and leave the plug as it was.
    static MStatus setPointArray(const MObject& node, const MString& shortName, const MPointArray& points);
    static MStatus setDoubleArray(const MObject& node, const MString& shortName, const MDoubleArray& values);
    // Empties parr and ssrparr together (the soft-selection points).
    static MStatus clearPoints(const MObject& node);
    // Empties rparr and cparr together (the radius circle and the component).
    static MStatus clearRadiusAndComponent(const MObject& node);

private:
    void drawSoftSelectionPoints(const MPointArray& points, const MDoubleArray& weights) const;
    void drawRadius(const MPointArray& circle) const;
    void drawComponent(const MPointArray& component) const;

    bool drawPoints_ = true;
    bool drawRadius_ = true;
    bool drawComponent_ = true;
};

// Makes the tools' draw locator, as a tool does at set-up: a node already called
// "kxModelingToolsDrawSSPointLocator" is deleted first, the new one gets that exact name, joins the
// isolate set of the first view panel when that panel isolates its selection, and the selection, hilite
// list and component mode the user had are put back. Returns the locator shape (null when it could not be
// made).
MObject createDrawLocator();
