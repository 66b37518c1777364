#pragma once
// The base class of locator nodes a plug-in defines (registered with MPxNode::kLocatorNode). A locator is a
// shape under a transform; it computes like any node and draws itself into the 3D views with OpenGL.
//
// The host calls draw() for each visible locator every time a view is refreshed, with the locator's world
// matrix loaded on the model-view stack, so draw() works in the locator's own object space. The host saves
// the whole GL state around the call and restores it afterwards; a locator should still push and pop what
// it changes, as it must in the host's other views.
#include <maya/M3dView.h>
#include <maya/MBoundingBox.h>
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>
#include <maya/MVector.h>

class MDagPath;

class MPxLocatorNode : public MPxNode {
public:
    MPxLocatorNode();
    ~MPxLocatorNode() override;

    Type type() const override;

    // Draws the locator; the default draws nothing.
    virtual void draw(M3dView& view, const MDagPath& path, M3dView::DisplayStyle style,
                      M3dView::DisplayStatus status);
    // Whether boundingBox() answers a box (default false: the locator has no bounds).
    virtual bool isBounded() const;
    // The locator's bounds in object space (default an empty box).
    virtual MBoundingBox boundingBox() const;
    // Whether hiding locators in a view ("show locators" off) hides this node too (default true).
    virtual bool excludeAsLocator() const;
    // Transparent locators are drawn after the opaque objects of the view (default false).
    virtual bool isTransparent() const;
    // Locators that ask to be drawn last are drawn after everything else (default false).
    virtual bool drawLast() const;

    // The colour index and the colour the host draws a locator in for a display status (dormant, active,
    // lead, template, ...).
    unsigned color(M3dView::DisplayStatus displayStatus);
    MColor colorRGB(M3dView::DisplayStatus displayStatus);

    // Attributes every locator has (shared with the host's own locator).
    static MObject underWorldObject;
    static MObject localPosition;
    static MObject localPositionX;
    static MObject localPositionY;
    static MObject localPositionZ;
    static MObject worldPosition;
    static MObject worldPositionX;
    static MObject worldPositionY;
    static MObject worldPositionZ;
    static MObject localScale;
    static MObject localScaleX;
    static MObject localScaleY;
    static MObject localScaleZ;
    // ... and every DAG node.
    static MObject visibility;
    static MObject intermediateObject;
    static MObject isTemplated;
    static MObject matrix;
    static MObject inverseMatrix;
    static MObject worldMatrix;
    static MObject worldInverseMatrix;
    static MObject parentMatrix;
    static MObject parentInverseMatrix;
};
