#pragma once
// The base class of nodes a plug-in defines. The plug-in registers a creator and an initializer with
// MFnPlugin::registerNode; the initializer declares the node type's attributes with the static
// addAttribute / attributeAffects, and compute() produces output values when they are asked for.
#include <maya/MDGContext.h>
#include <maya/MDGModifier.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

#include <memory>

class MDataBlock;
class MPlug;
class MTypeId;

namespace kxh {
class Node;
}

class MPxNode {
public:
    enum Type {
        kDependNode,
        kLocatorNode,
        kDeformerNode,
        kManipContainer,
        kSurfaceShape,
        kFieldNode,
        kEmitterNode,
        kSpringNode,
        kIkSolverNode,
        kHardwareShader,
        kHwShaderNode,
        kTransformNode,
        kObjectSet,
        kFluidEmitterNode,
        kImagePlaneNode,
        kParticleAttributeMapperNode,
        kCameraSetNode,
        kConstraintNode,
        kLast
    };

    MPxNode();
    virtual ~MPxNode();

    virtual void postConstructor();
    virtual MStatus compute(const MPlug& plug, MDataBlock& dataBlock);
    virtual MStatus connectionMade(const MPlug& plug, const MPlug& otherPlug, bool asSrc);
    virtual MStatus connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc);
    virtual MTypeId typeId() const;
    virtual MString typeName() const;
    virtual MString name() const;
    virtual Type type() const;
    virtual bool isAbstractClass() const;
    MObject thisMObject() const;

    static MStatus addAttribute(const MObject& attr);
    static MStatus inheritAttributesFrom(const MString& parentClassName);
    static MStatus attributeAffects(const MObject& whenChanges, const MObject& isAffected);

    // Attributes every node has.
    static MObject message;
    static MObject isHistoricallyInteresting;
    static MObject caching;
    static MObject state;

    // Host side: the graph node this object implements (set before postConstructor runs). Held weakly:
    // the node owns this object.
    void setInternalNode(const std::shared_ptr<kxh::Node>& node) { node_ = node; }
    std::shared_ptr<kxh::Node> internalNode() const { return node_.lock(); }

private:
    MPxNode(const MPxNode&) = delete;
    MPxNode& operator=(const MPxNode&) = delete;
    std::weak_ptr<kxh::Node> node_;
};
