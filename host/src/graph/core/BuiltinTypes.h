#pragma once
// Behaviours of the built-in node types, exposed so that other behaviours can extend them: a plug-in
// locator's behaviour derives from DagBehavior and hands the DAG matrices (matrix, worldMatrix,
// parentMatrix and their inverses) to DagBehavior::compute when its own compute does not handle a plug.
#include "graph/core/Node.h"

namespace kxh {

// Every DAG node: matrix (localMatrix()), inverseMatrix, parentMatrix[0] (the parent's worldMatrix[0]),
// worldMatrix[0] = matrix * parentMatrix[0], worldInverseMatrix[0], parentInverseMatrix[0].
class DagBehavior : public NodeBehavior {
public:
    ComputeStatus compute(Node& node, const Plug& plug) override;
    virtual Matrix44 localMatrix(Node& node);  // identity for shapes
};

// transform: matrix = scale about scalePivot, rotate (rotateOrder) about rotatePivot, then translate:
// SP^-1 * S * SP * SPT * RP^-1 * R * RP * RPT * T (row vectors). Angles are radians.
class TransformBehavior : public DagBehavior {
public:
    Matrix44 localMatrix(Node& node) override;
};

// locator: the DAG matrices, and worldPosition[0] = localPosition * worldMatrix[0].
class LocatorBehavior : public DagBehavior {
public:
    ComputeStatus compute(Node& node, const Plug& plug) override;
};

// mesh: outMesh = (inMesh when connected, with the edit layer applied, else cachedInMesh) + pnts;
// worldMesh[0] = outMesh with points in world space.
// The result with tweaks is kept: when only the flat point path changed pnts since (tweaksWritten) and the
// input is the same, the next compute rewrites the kept mesh at the written vertices only.
class MeshBehavior : public DagBehavior {
public:
    ComputeStatus compute(Node& node, const Plug& plug) override;
    // The flat point path wrote these pnts elements; the dirty notification that follows is expected.
    void tweaksWritten(const std::vector<int>& ids);
    // Told of every plug of the node that is set (Scene::propagateDirty): a change of pnts other than
    // the announced one makes the next compute add every tweak again.
    void plugChanged(const Plug& plug);

private:
    MeshPtr addTweaks(Node& node, const MeshPtr& base);
    MeshPtr tweaked_;                // the last outMesh that added tweaks to its input
    std::uint64_t tweakedFrom_ = 0;  // the points version of that input
    std::vector<int> pending_;       // pnts elements written since
    bool tweaksValid_ = false, announced_ = false;
};

}  // namespace kxh
