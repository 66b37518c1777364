#pragma once
// The base of a plug-in tool context: what the tool does with the mouse in a 3D view.
//
// A context is made by its context command (MPxContextCommand::makeObj) and becomes the current tool with
// "setToolTo <name>": the host then calls toolOnSetup once, feeds it press, drag, release and hold events
// of the left and middle buttons in the active view, and calls toolOffCleanup when another tool is chosen.
// The Enter, Delete and Escape keys reach completeAction, deleteAction and abortAction.
//
// Title, images, help text and cursor are what the host shows for the tool ("contextInfo" answers them).
#include <maya/M3dView.h>
#include <maya/MCursor.h>
#include <maya/MDoubleArray.h>
#include <maya/MEvent.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPxToolCommand.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

class MDoubleArray;
class MEvent;
class MIntArray;
class MObject;
class MPxToolCommand;

namespace kxh {
struct ContextAccess;
struct ContextRecord;
}  // namespace kxh

class MPxContext {
public:
    enum ImageIndex { kImage1 = 0, kImage2, kImage3 };

    MPxContext();
    virtual ~MPxContext();

    virtual void toolOnSetup(MEvent& event);
    virtual void toolOffCleanup();
    // The base handlers do nothing and succeed.
    virtual MStatus doPress(MEvent& event);
    virtual MStatus doRelease(MEvent& event);
    virtual MStatus doDrag(MEvent& event);
    virtual MStatus doHold(MEvent& event);
    virtual MStatus doEnterRegion(MEvent& event);
    virtual MStatus helpStateHasChanged(MEvent& event);
    virtual void deleteAction();
    virtual void completeAction();
    // Manipulators are not drawn by this host; the base functions keep count and succeed.
    virtual MStatus addManipulator(const MObject& manipulator);
    virtual MStatus deleteManipulators();
    virtual void abortAction();
    // Numeric input from the host's input field: none unless a context takes it.
    virtual bool processNumericalInput(const MDoubleArray& values, const MIntArray& flags, bool isAbsolute);
    virtual bool feedbackNumericalInput() const;
    virtual MSyntax::MArgType argTypeNumericalInput(unsigned int index) const;
    // The class name "contextInfo -c" answers: by default the name of the context command that made the
    // context ("quadDrawContext"); host contexts answer their own.
    virtual MString stringClassName() const;
    virtual void getClassName(MString& name) const;

    MStatus setImage(const MString& image, ImageIndex index);
    MString image(ImageIndex index, MStatus* ReturnStatus = NULL) const;

    static const char* className();

protected:
    MStatus setHelpString(const MString& str);
    MStatus setTitleString(const MString& str);
    MStatus setCursor(const MCursor& cursor);
    // A new object of the tool command registered with this context's context command, or NULL when the
    // context command was registered without one. The host owns it: finalize hands it to the undo queue;
    // one that is never finalized is deleted when the tool is switched off.
    virtual MPxToolCommand* newToolCommand();

private:
    friend struct kxh::ContextAccess;
    MPxContext(const MPxContext&) = delete;
    MPxContext& operator=(const MPxContext&) = delete;

    MString title_;
    MString help_;
    MString images_[3];
    MCursor cursor_;
    int manipulators_ = 0;
    kxh::ContextRecord* record_ = nullptr;  // set by the host once the context is registered under its name
};
