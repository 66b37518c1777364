#pragma once
// A 3D view of a model panel: its camera, its port (pixels, origin at the bottom left), conversions
// between world space and port coordinates, a depth read and the hooks of legacy OpenGL drawing.
//
// An M3dView is a small handle onto one of the host's views; copies refer to the same view. A
// default-constructed one refers to no view and every call on it fails.
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MGL.h>
#include <maya/MMatrix.h>
#include <maya/MNativeWindowHdl.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

class MDagPath;
class MMatrix;
class MPoint;
class MVector;

class M3dView {
public:
    enum DisplayStyle { kBoundingBox, kFlatShaded, kGouraudShaded, kWireFrame, kPoints };
    enum DisplayStatus {
        kActive,
        kLive,
        kDormant,
        kInvisible,
        kHilite,
        kTemplate,
        kActiveTemplate,
        kActiveComponent,
        kLead,
        kIntermediateObject,
        kActiveAffected,
        kNoStatus
    };
    enum ColorTable {
        kActiveColors = kActive,
        kDormantColors = kDormant,
        kTemplateColor = kTemplate,
        kBackgroundColor
    };
    enum DepthBufferFormat { kDepth_8 = 0, kDepth_Float };
    enum LineStipplePattern { kStippleNone, kStippleDashed };
    enum TextPosition { kLeft, kCenter, kRight };

    M3dView();
    virtual ~M3dView();

    // The view that has the focus (the perspective panel of a new session).
    static M3dView active3dView(MStatus* ReturnStatus = NULL);
    static unsigned numberOf3dViews();
    static MStatus get3dView(const unsigned index, M3dView& view);
    // The main window of the application.
    static MNativeWindowHdl applicationShell(MStatus* ReturnStatus = NULL);

    // The window the view draws into; its client area is the port.
    MNativeWindowHdl window(MStatus* ReturnStatus = NULL);
    int portWidth(MStatus* ReturnStatus = NULL);
    int portHeight(MStatus* ReturnStatus = NULL);

    DisplayStyle displayStyle(MStatus* ReturnStatus = NULL) const;
    MStatus setDisplayStyle(DisplayStyle style, bool activeOnly = false);
    bool isVisible(MStatus* ReturnStatus = NULL) const;

    // Drawing into the view from outside a draw callback.
    MStatus beginGL();
    MStatus endGL();
    // XOR drawing: drawing the same thing twice erases it.
    MStatus beginXorDrawing(bool drawOrthographic = true, bool disableDepthTesting = true,
                            float lineWidth = 1.0f, LineStipplePattern stipplePattern = kStippleNone,
                            const MColor& lineColor = MColor(1.0f, 1.0f, 1.0f));
    MStatus endXorDrawing();
    MStatus setDrawColor(unsigned int index, ColorTable table = kActiveColors);
    MStatus setDrawColor(const MColor& color);
    MStatus drawText(const MString& text, const MPoint position, TextPosition textPosition = kLeft);

    // The camera shape the view looks through, and a change of it (a camera shape or its transform).
    MStatus getCamera(MDagPath& camera);
    MStatus setCamera(MDagPath& camera);

    // Redraws the view (all views when `all`).
    MStatus refresh(bool all = false, bool force = false);

    // The ray through a port position: a point on it and its unit direction, or its points on the near and
    // far clipping planes.
    MStatus viewToWorld(short x_pos, short y_pos, MPoint& worldPt, MVector& worldVector) const;
    MStatus viewToWorld(short x_pos, short y_pos, MPoint& nearClipPt, MPoint& farClipPt) const;
    // The port position of a world point, rounded and clamped to the range of a short. False when the point
    // lies at or behind the eye (or cannot be projected).
    bool worldToView(const MPoint& worldPt, short& x_pos, short& y_pos, MStatus* ReturnStatus = NULL) const;

    // The matrices of the view (row vectors): world to eye, and eye to clip space (as OpenGL's).
    MStatus projectionMatrix(MMatrix& projectionMatrix) const;
    MStatus modelViewMatrix(MMatrix& modelViewMatrix) const;

    // Reads a block of the depth buffer into a caller-allocated buffer, row by row from the bottom:
    // kDepth_Float writes floats in [0, 1], kDepth_8 bytes in [0, 255]; 1 (255) where nothing is drawn.
    MStatus readDepthMap(unsigned short x, unsigned short y, unsigned int width, unsigned int height,
                         unsigned char* bufferPtr, DepthBufferFormat depthMapPrecision);

    // Host side: the id of the view this handle refers to (-1 for none).
    int hostViewId() const { return id_; }
    explicit M3dView(int hostViewId) : id_(hostViewId) {}

private:
    int id_ = -1;
};
