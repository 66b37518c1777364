#pragma once
// Bookkeeping of the point writes of mesh shapes (Scene::setShapePoints, in ScenePoints.cpp).

namespace kxh {

// Bytes held right now by the undo records of point writes (the changed ids with their points before and
// after); records of whole arrays or copies of meshes would show here as their full size.
long long scenePointRecordBytes();

}  // namespace kxh
