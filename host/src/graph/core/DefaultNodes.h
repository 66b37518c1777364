#pragma once
// The nodes every scene starts with besides the cameras: the default shading group and its material, and
// the time node.
namespace kxh {

class Scene;

// Creates what is missing of initialShadingGroup (a shadingEngine set), lambert1 (its surface shader) and
// time1; the nodes are locked, as the host's default nodes cannot be deleted or renamed.
void ensureDefaultNodes(Scene& scene);

}  // namespace kxh
