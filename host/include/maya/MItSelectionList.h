#pragma once
// Iterates over the items of a selection list, optionally keeping only those of one MFn type (an item
// matches when its node, its component, or - for a transform - its shape is of the type).
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

class MDagPath;
class MPlug;
class MStringArray;

class MItSelectionList {
public:
    enum selItemType {
        kUnknownItem = -1,
        kDagSelectionItem,
        kAnimSelectionItem,
        kDNselectionItem,
        kPlugSelectionItem
    };

    MItSelectionList(const MSelectionList& list, MFn::Type filter = MFn::kInvalid,
                     MStatus* ReturnStatus = NULL);
    virtual ~MItSelectionList();

    bool isDone(MStatus* ReturnStatus = NULL);
    MStatus next();
    MStatus reset();
    MStatus getDependNode(MObject& depNode);
    MStatus getDagPath(MDagPath& dagPath, MObject& component);
    MStatus getDagPath(MDagPath& dagPath);
    MStatus getPlug(MPlug& plug) const;
    MStatus getStrings(MStringArray& array) const;
    selItemType itemType(MStatus* ReturnStatus = NULL);
    MStatus setFilter(MFn::Type filter);
    bool hasComponents(MStatus* ReturnStatus = NULL) const;

private:
    bool matches(unsigned int index) const;
    void skipToMatch();
    MSelectionList list_;
    MFn::Type filter_;
    unsigned int index_ = 0;
};
