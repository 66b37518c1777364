#pragma once
// Cameras in the graph: the "camera" node type, the startup cameras of a new scene, and the two ways the
// host reads and moves a camera.
//
// A camera shape sits under a transform. The transform's world matrix places the eye (its origin) and
// turns the camera: it looks down the matrix's -Z axis with +Y up and +X right (scale is ignored). The
// shape holds the lens and the clipping planes. Moving a camera writes the transform's translate and
// rotate, so a move is an ordinary attribute change (dirty-plug callbacks, journal recording).
#include <string>

#include "graph/core/Scene.h"
#include "mesh/MeshMath.h"

namespace kxh::view {

// Registers the "camera" node type once (later calls do nothing).
void ensureCameraType();

// The camera shape of a node: the node itself when it is a camera, else the first camera shape under a
// transform. Null otherwise.
Node* cameraShapeOf(Node* node);
bool isCamera(const Node& node);

// The camera as the view uses it, in world space. Angles in radians, distances in centimetres.
struct CameraFrame {
    V3 eye{0, 0, 0};
    V3 dir{0, 0, -1};  // unit view direction
    V3 up{0, 1, 0};    // unit, perpendicular to dir
    V3 right{1, 0, 0};
    bool ortho = false;
    double orthoWidth = 30;
    double hFov = 0, vFov = 0;  // of the film back
    double nearClip = 0.1, farClip = 10000;
    double coi = 5;
};

// Reads a camera shape's frame from its world matrix and attributes.
CameraFrame readCamera(Node& shape);

// The lens: fields of view from focal length and film aperture, and back.
double horizontalFov(Node& shape);
double verticalFov(Node& shape);
double cameraAttr(Node& shape, const char* name);
bool setCameraAttr(Node& shape, const char* name, double value, std::string* error = nullptr);

// Turns and moves the camera's transform so that the eye is at `eye` looking along `dir` with `up` (all
// world space; `up` need only not be parallel to `dir`). Writes translate and rotate (rotate order xyz is
// assumed); the transform's parent, scale and pivots are honoured. Fails for a zero or parallel pair.
bool placeCamera(Node& shape, const V3& eye, const V3& dir, const V3& up, std::string* error = nullptr);

// Startup cameras: persp, top, front and side (shapes perspShape ...), at the host's default placements.
// Missing ones are created, existing ones are put back to their defaults. Not recorded.
void restoreStartupCameras(Scene& scene);
// The startup camera shapes by transform name ("persp" -> perspShape); null when absent.
Node* startupCameraShape(Scene& scene, const std::string& transformName);

}  // namespace kxh::view
