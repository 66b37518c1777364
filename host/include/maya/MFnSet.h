#pragma once
// Function set for object sets (objectSet and the shadingEngine sets such as initialShadingGroup). Members
// are whole nodes, connected to the set by message; a component given as a member stands for its shape.
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

class MFnSet : public MFnDependencyNode {
public:
    enum Restriction { kNone, kVerticesOnly, kEdgesOnly, kFacetsOnly, kEditPointsOnly, kRenderableOnly };

    MFnSet();
    MFnSet(MObject& object, MStatus* ReturnStatus = NULL);
    MFnSet(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnSet() override;

    MFn::Type type() const override;
    static const char* className();

    // A new objectSet ("set1", ...) holding the members; the set is attached.
    MObject create(const MSelectionList& members, Restriction restriction = kNone,
                   MStatus* ReturnStatus = NULL);
    MStatus getMembers(MSelectionList& members, bool flatten) const;
    MStatus addMember(const MDagPath& dagPath, const MObject& component = MObject::kNullObj);
    MStatus addMember(const MObject& obj);
    MStatus addMembers(const MSelectionList& list);
    MStatus removeMember(const MDagPath& dagPath, const MObject& component);
    MStatus removeMember(const MObject& obj);
    MStatus removeMembers(const MSelectionList& list);
    MStatus clear();
    bool isMember(const MDagPath& object, const MObject& component = MObject::kNullObj,
                  MStatus* ReturnStatus = NULL) const;
    bool isMember(const MObject& object, MStatus* ReturnStatus = NULL) const;
    Restriction restriction(MStatus* ReturnStatus = NULL) const;
    MString annotation(MStatus* ReturnStatus = NULL) const;
    MStatus setAnnotation(const MString& annotation);

private:
    Restriction restriction_ = kNone;
};
