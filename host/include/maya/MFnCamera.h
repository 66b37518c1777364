#pragma once
// Function set for cameras. A camera is a "camera" shape under a transform: the transform places the eye
// and turns the camera (it looks down its local -Z axis with +Y up), the shape holds the lens (focal
// length and film aperture, or an orthographic width), the clipping planes and the centre of interest.
// Moving or turning the camera edits the transform's translate and rotate, so the transform's dirty-plug
// callbacks see every camera move. A path to the transform attaches to its camera shape.
#include <maya/MFloatMatrix.h>
#include <maya/MFnDagNode.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

class MFloatMatrix;
class MPoint;
class MVector;

class MFnCamera : public MFnDagNode {
public:
    MFnCamera();
    MFnCamera(MObject& object, MStatus* ReturnStatus = NULL);
    MFnCamera(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnCamera(const MDagPath& object, MStatus* ReturnStatus = NULL);
    virtual ~MFnCamera();

    MFn::Type type() const override;
    static const char* className();

    // Creates a camera shape under a new transform (or under `parent`); returns the transform (the shape
    // when a parent was given).
    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(MObject& parent, MStatus* ReturnStatus = NULL);

    // Placement. Object space is the camera's own frame (eye at the origin, looking down -Z, +Y up).
    MPoint eyePoint(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MVector viewDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MVector upDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MVector rightDirection(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MPoint centerOfInterestPoint(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;

    // Places the camera at an eye point (world space) looking along a direction with an up vector, with a
    // horizontal field of view (radians) and film aspect ratio.
    MStatus set(const MPoint& wsEyeLocation, const MVector& wsViewDirection, const MVector& wsUpDirection,
                double horizFieldOfView, double aspectRatio);
    MStatus setEyePoint(const MPoint& eyeLocation, MSpace::Space space = MSpace::kObject);
    MStatus setViewDirection(const MVector& viewDirection, MSpace::Space space = MSpace::kObject);
    MStatus setCenterOfInterestPoint(const MPoint& centerOfInterest, MSpace::Space space = MSpace::kObject);

    double centerOfInterest(MStatus* ReturnStatus = NULL) const;
    MStatus setCenterOfInterest(double dist);

    // Lens: fields of view in radians, from the focal length (mm) and the film aperture (inches).
    double horizontalFieldOfView(MStatus* ReturnStatus = NULL) const;
    double verticalFieldOfView(MStatus* ReturnStatus = NULL) const;
    MStatus setHorizontalFieldOfView(double fov);
    MStatus setVerticalFieldOfView(double fov);
    double aspectRatio(MStatus* ReturnStatus = NULL) const;
    MStatus setAspectRatio(double aspectRatio);
    double focalLength(MStatus* ReturnStatus = NULL) const;
    MStatus setFocalLength(double focalLength);
    double horizontalFilmAperture(MStatus* ReturnStatus = NULL) const;
    MStatus setHorizontalFilmAperture(double hFilmAperture);
    double verticalFilmAperture(MStatus* ReturnStatus = NULL) const;
    MStatus setVerticalFilmAperture(double vFilmAperture);
    // The fields of view of a port of the given size, as a view shows them.
    MStatus getPortFieldOfView(int width, int height, double& horizontalFOV, double& verticalFOV) const;

    double nearClippingPlane(MStatus* ReturnStatus = NULL) const;
    double farClippingPlane(MStatus* ReturnStatus = NULL) const;
    MStatus setNearClippingPlane(double dNear);
    MStatus setFarClippingPlane(double dFar);
    MStatus setNearFarClippingPlanes(double dNear, double dFar);

    bool isOrtho(MStatus* ReturnStatus = NULL) const;
    // Switches projection. Going orthographic with useDist > 0 sets the ortho width that shows at that
    // distance what the perspective showed.
    MStatus setIsOrtho(bool orthoState, double useDist = 0.0);
    double orthoWidth(MStatus* ReturnStatus = NULL) const;
    MStatus setOrthoWidth(double orthoWidth);

    // Eye space to clip space of the film (OpenGL's convention, row vectors).
    MFloatMatrix projectionMatrix(MStatus* ReturnStatus = NULL) const;

    MStatus setObject(const MDagPath& path);
    MStatus setObject(MObject& object) override;
    MStatus setObject(const MObject& object) override;
};
