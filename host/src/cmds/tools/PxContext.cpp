// MCursor, MPxContext, MPxSelectionContext, MPxContextCommand and MPxToolCommand.
#include <maya/MArgList.h>
#include <maya/MCursor.h>
#include <maya/MDoubleArray.h>
#include <maya/MEvent.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPxContext.h>
#include <maya/MPxContextCommand.h>
#include <maya/MPxSelectionContext.h>
#include <maya/MPxToolCommand.h>

#include <cstdlib>

#include "cmds/plugin/CommandApi.h"
#include "cmds/plugin/PluginHost.h"
#include "cmds/tools/Tools.h"
#include "cmds/tools/ToolsApi.h"
#include "mel/Interpreter.h"

// --- MCursor -----------------------------------------------------------------------------------------------

namespace {
enum CursorShape { kDefault, kCrossHair, kDoubleCrossHair, kEdit, kPencil, kHand };
}

const MCursor MCursor::defaultCursor(kDefault);
const MCursor MCursor::crossHairCursor(kCrossHair);
const MCursor MCursor::doubleCrossHairCursor(kDoubleCrossHair);
const MCursor MCursor::editCursor(kEdit);
const MCursor MCursor::pencilCursor(kPencil);
const MCursor MCursor::handCursor(kHand);

std::string kxh::cursorName(const MCursor& cursor) {
    switch (CursorAccess::shape(cursor)) {
        case kDefault:
            return "defaultCursor";
        case kCrossHair:
            return "crossHairCursor";
        case kDoubleCrossHair:
            return "doubleCrossHairCursor";
        case kEdit:
            return "editCursor";
        case kPencil:
            return "pencilCursor";
        case kHand:
            return "handCursor";
    }
    return "unknownCursor";
}

// --- MPxContext --------------------------------------------------------------------------------------------

MPxContext::MPxContext() : cursor_(MCursor::defaultCursor) {}
MPxContext::~MPxContext() = default;

void MPxContext::toolOnSetup(MEvent&) {}
void MPxContext::toolOffCleanup() {}
MStatus MPxContext::doPress(MEvent&) {
    return MS::kSuccess;
}
MStatus MPxContext::doRelease(MEvent&) {
    return MS::kSuccess;
}
MStatus MPxContext::doDrag(MEvent&) {
    return MS::kSuccess;
}
MStatus MPxContext::doHold(MEvent&) {
    return MS::kSuccess;
}
MStatus MPxContext::doEnterRegion(MEvent&) {
    return MS::kSuccess;
}
MStatus MPxContext::helpStateHasChanged(MEvent&) {
    return MS::kSuccess;
}
void MPxContext::deleteAction() {}
void MPxContext::completeAction() {}
void MPxContext::abortAction() {}

MStatus MPxContext::addManipulator(const MObject& manipulator) {
    if (manipulator.isNull()) return MS::kInvalidParameter;
    ++manipulators_;
    return MS::kSuccess;
}
MStatus MPxContext::deleteManipulators() {
    manipulators_ = 0;
    return MS::kSuccess;
}

bool MPxContext::processNumericalInput(const MDoubleArray&, const MIntArray&, bool) {
    return false;
}
bool MPxContext::feedbackNumericalInput() const {
    return false;
}
MSyntax::MArgType MPxContext::argTypeNumericalInput(unsigned int) const {
    return MSyntax::kNoArg;
}

MString MPxContext::stringClassName() const {
    if (!record_) return MString();
    return MString(record_->commandName.empty() ? record_->className : record_->commandName);
}
void MPxContext::getClassName(MString& name) const {
    name = stringClassName();
}

MStatus MPxContext::setImage(const MString& image, ImageIndex index) {
    if (index < kImage1 || index > kImage3) return MS::kInvalidParameter;
    images_[index] = image;
    return MS::kSuccess;
}

MString MPxContext::image(ImageIndex index, MStatus* ReturnStatus) const {
    const bool ok = index >= kImage1 && index <= kImage3;
    if (ReturnStatus) *ReturnStatus = ok ? MS::kSuccess : MS::kInvalidParameter;
    return ok ? images_[index] : MString();
}

const char* MPxContext::className() {
    return "MPxContext";
}

MStatus MPxContext::setHelpString(const MString& str) {
    help_ = str;
    return MS::kSuccess;
}
MStatus MPxContext::setTitleString(const MString& str) {
    title_ = str;
    return MS::kSuccess;
}
MStatus MPxContext::setCursor(const MCursor& cursor) {
    cursor_ = cursor;
    return MS::kSuccess;
}

MPxToolCommand* MPxContext::newToolCommand() {
    if (!record_ || !record_->toolCreator) return nullptr;
    void* raw = record_->toolCreator();
    if (!raw) return nullptr;
    auto* cmd = static_cast<MPxToolCommand*>(raw);
    kxh::CommandApi::setSyntax(*cmd, record_->toolSyntax ? record_->toolSyntax() : MSyntax());
    cmd->setCommandString(MString(record_->toolCommand));
    kxh::tools::adoptToolCommand(cmd, record_);
    return cmd;
}

// --- MPxSelectionContext -----------------------------------------------------------------------------------

MPxSelectionContext::MPxSelectionContext() = default;
MPxSelectionContext::~MPxSelectionContext() = default;

MStatus MPxSelectionContext::doPress(MEvent& event) {
    MStatus st;
    const MEvent::MouseButtonType button = event.mouseButton(&st);
    if (!st) return MS::kFailure;
    event.getPosition(startX_, startY_);
    lastX_ = startX_;
    lastY_ = startY_;
    button_ = button;
    selecting_ = button == MEvent::kLeftMouse;
    return MS::kSuccess;
}

MStatus MPxSelectionContext::doDrag(MEvent& event) {
    event.getPosition(lastX_, lastY_);
    return MS::kSuccess;
}

MStatus MPxSelectionContext::doHold(MEvent&) {
    return MS::kSuccess;
}

MStatus MPxSelectionContext::doRelease(MEvent& event) {
    event.getPosition(lastX_, lastY_);
    if (!selecting_) return MS::kSuccess;
    selecting_ = false;
    // The host's click conventions: Shift toggles, Ctrl removes, both add, neither replaces.
    MGlobal::ListAdjustment adjust = MGlobal::kReplaceList;
    const bool shift = event.isModifierShift(), ctrl = event.isModifierControl();
    if (shift && ctrl)
        adjust = MGlobal::kAddToList;
    else if (shift)
        adjust = MGlobal::kXORWithList;
    else if (ctrl)
        adjust = MGlobal::kRemoveFromList;
    return MGlobal::selectFromScreen(lastX_, lastY_, adjust, MGlobal::kSurfaceSelectMethod);
}

bool MPxSelectionContext::isSelecting() {
    return selecting_;
}
MPoint MPxSelectionContext::startPoint() {
    return MPoint(startX_, startY_, 0);
}
MPoint MPxSelectionContext::lastDragPoint() {
    return MPoint(lastX_, lastY_, 0);
}
MPxToolCommand* MPxSelectionContext::newToolCommand() {
    return MPxContext::newToolCommand();
}
const char* MPxSelectionContext::className() {
    return "MPxSelectionContext";
}

// --- MPxContextCommand -------------------------------------------------------------------------------------

MPxContextCommand::MPxContextCommand() : syntax_(new kxh::SyntaxData) {}

MPxContextCommand::~MPxContextCommand() {
    kxh::CommandApi::releaseSyntax(*syntax_);
    delete syntax_;
}

MStatus MPxContextCommand::doEditFlags() {
    return MS::kSuccess;
}
MStatus MPxContextCommand::doQueryFlags() {
    return MS::kSuccess;
}
MPxContext* MPxContextCommand::makeObj() {
    return nullptr;
}
MStatus MPxContextCommand::appendSyntax() {
    return MS::kSuccess;
}

MStatus MPxContextCommand::setResult(bool result) {
    kxh::currentResult() = kxh::mel::Value(result ? 1 : 0);
    return MS::kSuccess;
}
MStatus MPxContextCommand::setResult(int result) {
    kxh::currentResult() = kxh::mel::Value(result);
    return MS::kSuccess;
}
MStatus MPxContextCommand::setResult(double result) {
    kxh::currentResult() = kxh::mel::Value(result);
    return MS::kSuccess;
}
MStatus MPxContextCommand::setResult(const MString& result) {
    kxh::currentResult() = kxh::mel::Value(result.str());
    return MS::kSuccess;
}

const char* MPxContextCommand::className() {
    return "MPxContextCommand";
}

MSyntax MPxContextCommand::syntax(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return kxh::CommandApi::borrowSyntax(*syntax_);
}

MArgParser MPxContextCommand::parser(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return parser_;
}

// --- MPxToolCommand ----------------------------------------------------------------------------------------

MPxToolCommand::MPxToolCommand() = default;

MPxToolCommand::~MPxToolCommand() {
    // A command the plug-in deletes itself must not be deleted again by the host.
    kxh::tools::releaseToolCommand(this);
}

MStatus MPxToolCommand::cancel() {
    if (state_ != kOpen) return MS::kFailure;
    state_ = kCancelled;
    return MS::kSuccess;
}

MStatus MPxToolCommand::finalize() {
    MArgList command;
    command.addArg(commandString());
    return doFinalize(command);
}

const char* MPxToolCommand::className() {
    return "MPxToolCommand";
}

MStatus MPxToolCommand::doFinalize(MArgList& command) {
    if (state_ != kOpen) return MS::kFailure;
    state_ = kFinalized;
    std::string line;
    for (const auto& word : kxh::CommandApi::data(command).words) {
        if (!line.empty()) line += ' ';
        line += word.value.asString();
    }
    if (line.empty()) line = commandString().str();
    kxh::tools::releaseToolCommand(this);
    // The queue takes the command as one already-done step. One that is not undoable, or arrives while
    // the queue does not record, is only journaled; it is deleted at the host's next safe point (the
    // caller is still inside its own finalize).
    auto& queue = kxh::hostInterpreter().undoQueue();
    if (isUndoable() && queue.recording()) {
        kxh::pushCommandUndo(std::unique_ptr<MPxCommand>(this), line);
    } else {
        kxh::tools::retireToolCommand(this);
    }
    return MS::kSuccess;
}
