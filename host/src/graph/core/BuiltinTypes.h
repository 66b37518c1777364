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
class MeshBehavior : public DagBehavior {
public:
    ComputeStatus compute(Node& node, const Plug& plug) override;
};

}  // namespace kxh
