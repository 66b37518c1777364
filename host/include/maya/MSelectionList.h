#pragma once
// An ordered list of selected items: dependency nodes, DAG paths with optional components, and plugs.
// Strings are read and printed as MEL names them: "pCube1", "|pCube1|pCubeShape1", "pCube1.vtx[3:5]",
// "pCube1.e[*]", "node.attr".
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <memory>
#include <vector>

class MDagPath;
class MPlug;
class MString;
class MStringArray;

namespace kxh {
struct SelectionItem;
struct SelectionListData;
}  // namespace kxh

class MSelectionList {
public:
    enum MergeStrategy { kMergeNormal = 0, kXORWithList, kRemoveFromList };

    MSelectionList();
    MSelectionList(const MSelectionList& src);
    virtual ~MSelectionList();
    MSelectionList& operator=(const MSelectionList& other);

    MStatus clear();
    bool isEmpty(MStatus* ReturnStatus = NULL) const;
    unsigned int length(MStatus* ReturnStatus = NULL) const;

    MStatus getDependNode(unsigned int index, MObject& depNode) const;
    MStatus getDagPath(unsigned int index, MDagPath& dagPath, MObject& component = MObject::kNullObj) const;
    MStatus getPlug(unsigned int index, MPlug& plug) const;

    MStatus add(const MObject& object, const bool mergeWithExisting = false);
    MStatus add(const MDagPath& object, const MObject& component = MObject::kNullObj,
                const bool mergeWithExisting = false);
    MStatus add(const MString& matchString, const bool searchChildNamespacesToo = false);
    MStatus add(const MPlug& plug, const bool mergeWithExisting = false);

    MStatus remove(unsigned int index);
    MStatus replace(unsigned int index, const MObject& item);
    MStatus replace(unsigned int index, const MDagPath& item, const MObject& component = MObject::kNullObj);
    MStatus replace(unsigned int index, const MPlug& plug);

    bool hasItem(const MObject& item, MStatus* ReturnStatus = NULL) const;
    bool hasItem(const MDagPath& item, const MObject& component = MObject::kNullObj,
                 MStatus* ReturnStatus = NULL) const;
    bool hasItem(const MPlug& plug, MStatus* ReturnStatus = NULL) const;
    bool hasItemPartly(const MDagPath& item, const MObject& component, MStatus* ReturnStatus = NULL) const;
    MStatus toggle(const MDagPath& item, const MObject& component = MObject::kNullObj);

    MStatus merge(const MSelectionList& other, const MergeStrategy strategy = kMergeNormal);
    MStatus merge(const MDagPath& object, const MObject& component,
                  const MergeStrategy strategy = kMergeNormal);

    MStatus getSelectionStrings(MStringArray& array) const;
    MStatus getSelectionStrings(unsigned int index, MStringArray& array) const;

    // Host side: the items, in order (an item added as a plug stands for its node here).
    const std::vector<kxh::SelectionItem>& items() const;
    std::vector<kxh::SelectionItem>& items();

private:
    std::unique_ptr<kxh::SelectionListData> data_;
};
