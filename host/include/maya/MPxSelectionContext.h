#pragma once
// A tool context that selects. Its base event handlers do the host's click selection: a press starts the
// click, drags follow the cursor, and the release picks the object under the release point, replacing the
// selection, toggling with Shift, removing with Ctrl and adding with Shift+Ctrl (middle-button events
// only follow the cursor). A context that overrides a handler and still wants this calls the base.
#include <maya/MEvent.h>
#include <maya/MPoint.h>
#include <maya/MPxContext.h>
#include <maya/MString.h>

class MPxSelectionContext : public MPxContext {
public:
    MPxSelectionContext();
    ~MPxSelectionContext() override;

    MStatus doPress(MEvent& event) override;
    MStatus doRelease(MEvent& event) override;
    MStatus doDrag(MEvent& event) override;
    MStatus doHold(MEvent& event) override;

    static const char* className();

protected:
    // Between a left press and its release handled by the base class.
    bool isSelecting();
    // The port positions (z = 0) of that press and of the latest drag.
    MPoint startPoint();
    MPoint lastDragPoint();
    MPxToolCommand* newToolCommand() override;

private:
    bool selecting_ = false;
    int button_ = 0;
    short startX_ = 0, startY_ = 0, lastX_ = 0, lastY_ = 0;
};
