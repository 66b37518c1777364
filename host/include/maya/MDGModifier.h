#pragma once
// A queue of graph edits applied together by doIt and reverted together by undoIt. doIt applies the
// operations added since the previous doIt; undoIt reverts everything applied so far, in reverse order;
// a doIt after undoIt replays all of it.
#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

#include <memory>

class MPlug;
class MTypeId;

namespace kxh {
class ModifierQueue;
}

class MDGModifier {
public:
    MDGModifier();
    virtual ~MDGModifier();

    MObject createNode(const MTypeId& typeId, MStatus* ReturnStatus = NULL);
    MObject createNode(const MString& type, MStatus* ReturnStatus = NULL);
    MStatus deleteNode(const MObject& node);
    MStatus renameNode(const MObject& node, const MString& newName);

    MStatus connect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                    const MObject& destAttr);
    MStatus connect(const MPlug& source, const MPlug& dest);
    MStatus disconnect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                       const MObject& destAttr);
    MStatus disconnect(const MPlug& source, const MPlug& dest);

    MStatus addAttribute(const MObject& node, const MObject& attribute,
                         MFnDependencyNode::MAttrClass type = MFnDependencyNode::kLocalDynamicAttr);
    MStatus removeAttribute(const MObject& node, const MObject& attribute,
                            MFnDependencyNode::MAttrClass type = MFnDependencyNode::kLocalDynamicAttr);

    MStatus newPlugValue(const MPlug& plug, MObject& plugValue);
    MStatus newPlugValueBool(const MPlug& plug, bool plugValue);
    MStatus newPlugValueChar(const MPlug& plug, char plugValue);
    MStatus newPlugValueDouble(const MPlug& plug, double plugValue);
    MStatus newPlugValueFloat(const MPlug& plug, float plugValue);
    MStatus newPlugValueInt(const MPlug& plug, int plugValue);
    MStatus newPlugValueShort(const MPlug& plug, short plugValue);
    MStatus newPlugValueString(const MPlug& plug, const MString& plugValue);

    MStatus commandToExecute(const MString& command);

    MStatus doIt();
    MStatus undoIt();

protected:
    std::unique_ptr<kxh::ModifierQueue> queue_;

private:
    MDGModifier(const MDGModifier&) = delete;
    MDGModifier& operator=(const MDGModifier&) = delete;
};
