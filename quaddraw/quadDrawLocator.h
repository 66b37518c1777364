#pragma once
// quadDrawLocator: the scene node that holds the quad draw tool's working data and shows it in the 3D
// views. "pointArray" (parr) keeps the loose points the user has dropped, drawn as green dots;
// "geoPointArray" (geoparr) the corners of the face a Shift-release would build (none or four, in corner
// order), drawn as a stippled, see-through blue polygon. Both are world space. Because the data lives on
// the node, it outlasts the tool and is restored by the tool command's undo.
#include <maya/M3dView.h>
#include <maya/MObject.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class MDagPath;
class MDataBlock;
class MPlug;

class quadDrawLocator : public MPxLocatorNode {
public:
    quadDrawLocator();
    ~quadDrawLocator() override;

    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    void draw(M3dView& view, const MDagPath& path, M3dView::DisplayStyle style,
              M3dView::DisplayStatus status) override;

    static void* creator();
    static MStatus initialize();

    static const MTypeId id;
    static const MString drawDbClassification;

    static MObject pointArray;     // parr: loose points
    static MObject geoPointArray;  // geoparr: preview face corners
    static MObject inWorldMatrix;  // iwmtx: for connections; the node does not read it
    static MObject outPosition;    // opos: what the arrays affect
};
