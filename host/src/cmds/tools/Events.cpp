// MEvent and mouse events in the views: delivery to the current tool, the simulated cursor following the
// events, and the host's MEL commands that inject them (kxhPress, kxhDrag, kxhRelease, kxhHold) or press
// the tool keys (kxhToolKey).
#include <maya/MEvent.h>
#include <maya/MPxContext.h>

#include "cmds/tools/ToolCommands.h"
#include "cmds/tools/Tools.h"
#include "cmds/tools/ToolsApi.h"
#include "view/Views.h"

// --- MEvent ------------------------------------------------------------------------------------------------

namespace {

inline void ok(MStatus* st) {
    if (st) *st = MS::kSuccess;
}

}  // namespace

MEvent::MEvent() = default;
MEvent::~MEvent() = default;

MStatus MEvent::getPosition(short& x_pos, short& y_pos) const {
    x_pos = x_;
    y_pos = y_;
    return MS::kSuccess;
}

MStatus MEvent::setPosition(short x_pos, short y_pos) {
    x_ = x_pos;
    y_ = y_pos;
    return MS::kSuccess;
}

MStatus MEvent::getWindowPosition(short& x_pos, short& y_pos) const {
    x_pos = screenX_;
    y_pos = screenY_;
    return MS::kSuccess;
}

MEvent::MouseButtonType MEvent::mouseButton(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = button_ ? MS::kSuccess : MS::kFailure;
    return MouseButtonType(button_);
}

bool MEvent::isModifierShift(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return (modifiers_ & shiftKey) != 0;
}
bool MEvent::isModifierControl(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return (modifiers_ & controlKey) != 0;
}
bool MEvent::isModifierNone(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return modifiers_ == 0;
}
bool MEvent::isModifierKeyRelease(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return false;
}
bool MEvent::isModifierLeftMouseButton(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return (heldButtons_ & kLeftMouse) != 0;
}
bool MEvent::isModifierMiddleMouseButton(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return (heldButtons_ & kMiddleMouse) != 0;
}
MEvent::ModifierType MEvent::modifiers(MStatus* ReturnStatus) const {
    ok(ReturnStatus);
    return ModifierType(modifiers_);
}
MStatus MEvent::setModifiers(const ModifierType& modType) {
    modifiers_ = int(modType) & (shiftKey | controlKey);
    return MS::kSuccess;
}
const char* MEvent::className() {
    return "MEvent";
}

// --- Delivery ----------------------------------------------------------------------------------------------

namespace kxh {

namespace {

struct EventState {
    bool held = false;
    tools::MouseButton button = tools::MouseButton::Left;
    int lastX = 0, lastY = 0;
};

EventState& state() {
    static EventState s;
    return s;
}

const char* kindWord(tools::EventKind k) {
    switch (k) {
        case tools::EventKind::Press:
            return "press";
        case tools::EventKind::Drag:
            return "drag";
        case tools::EventKind::Release:
            return "release";
        case tools::EventKind::Hold:
            return "hold";
    }
    return "";
}

}  // namespace

namespace tools {

bool buttonHeld(MouseButton* which) {
    if (which) *which = state().button;
    return state().held;
}

bool sendMouseEvent(const MouseEvent& event, std::string& error, bool* handlerOk) {
    if (handlerOk) *handlerOk = true;
    EventState& s = state();
    view::View* v = event.panel.empty() ? view::activeView() : view::viewByPanel(event.panel);
    if (!v) {
        error = event.panel.empty() ? "There is no active view."
                                    : "Panel '" + event.panel + "' is not a model panel.";
        return false;
    }
    if (event.kind == EventKind::Press && s.held) {
        error = "A mouse button is already pressed; release it first.";
        return false;
    }
    if (event.kind != EventKind::Press && !s.held) {
        error = std::string("No mouse button is pressed to ") + kindWord(event.kind) + ".";
        return false;
    }
    // A click in a panel gives it the focus.
    if (!event.panel.empty()) view::setActiveView(v->id);
    flushRetiredToolCommands();

    const MouseButton button = event.kind == EventKind::Press ? event.button : s.button;
    view::setCursorInView(*v, event.x, event.y);
    s.lastX = event.x;
    s.lastY = event.y;
    if (event.kind == EventKind::Press) {
        s.held = true;
        s.button = button;
    }
    const bool releasing = event.kind == EventKind::Release;
    if (releasing) s.held = false;
    // The right button opens the host's menus; contexts never see it.
    if (button == MouseButton::Right) return true;

    MEvent e;
    e.setPosition(short(event.x), short(event.y));
    int sx, sy;
    view::cursorScreen(sx, sy);
    EventAccess::setScreen(e, short(sx), short(sy));
    EventAccess::setButton(e, button == MouseButton::Left ? MEvent::kLeftMouse : MEvent::kMiddleMouse);
    e.setModifiers(
        MEvent::ModifierType((event.shift ? MEvent::shiftKey : 0) | (event.ctrl ? MEvent::controlKey : 0)));

    ContextRecord* tool = currentTool();
    if (!tool || !tool->context) return true;
    MPxContext& ctx = *tool->context;
    MStatus st;
    switch (event.kind) {
        case EventKind::Press:
            st = ctx.doPress(e);
            break;
        case EventKind::Drag:
            st = ctx.doDrag(e);
            break;
        case EventKind::Release:
            st = ctx.doRelease(e);
            break;
        case EventKind::Hold:
            st = ctx.doHold(e);
            break;
    }
    if (handlerOk) *handlerOk = bool(st);
    return true;
}

void sendToolKey(ToolKey key) {
    ContextRecord* tool = currentTool();
    if (!tool || !tool->context) return;
    switch (key) {
        case ToolKey::Complete:
            tool->context->completeAction();
            break;
        case ToolKey::Delete:
            tool->context->deleteAction();
            break;
        case ToolKey::Abort:
            tool->context->abortAction();
            break;
    }
}

}  // namespace tools

void resetEvents() {
    state() = EventState();
}

// --- MEL ---------------------------------------------------------------------------------------------------

namespace {

using mel::ArgType;

bool parseButton(const std::string& word, tools::MouseButton& out) {
    if (word == "left" || word == "1")
        out = tools::MouseButton::Left;
    else if (word == "middle" || word == "2")
        out = tools::MouseButton::Middle;
    else if (word == "right" || word == "3")
        out = tools::MouseButton::Right;
    else
        return false;
    return true;
}

// kxh<Event> [-p panel] [-b left|middle|right] [-sh] [-ct] [x y]
// A press names its button (left unless -b) and needs a position; the other events use the pressed button
// and, without a position, stay where the last event was.
mel::Handler eventHandler(tools::EventKind kind) {
    return [kind](mel::Invocation& inv) {
        mel::Syntax syn;
        syn.flag("p", "panel", {ArgType::String}).flag("sh", "shift").flag("ct", "ctrl");
        if (kind == tools::EventKind::Press) syn.flag("b", "button", {ArgType::String});
        syn.maxObjects = 2;
        mel::ParsedArgs a;
        if (!mel::parseArgs(inv, syn, a)) return false;
        tools::MouseEvent e;
        e.kind = kind;
        e.shift = a.has("sh");
        e.ctrl = a.has("ct");
        e.panel = a.arg("p", "").asString();
        if (a.has("b") && !parseButton(a.arg("b").asString(), e.button))
            return inv.fail(inv.name + ": the button is left, middle or right.");
        if (a.objects.size() == 2) {
            e.x = int(a.objects[0].asInt());
            e.y = int(a.objects[1].asInt());
        } else if (a.objects.empty() && kind != tools::EventKind::Press) {
            e.x = state().lastX;
            e.y = state().lastY;
        } else {
            return inv.fail(inv.name + ": give the x and y port position.");
        }
        std::string error;
        if (!tools::sendMouseEvent(e, error)) return inv.fail(inv.name + ": " + error);
        return true;
    };
}

// kxhToolKey complete|delete|abort: Enter, Delete or Escape in the view.
bool toolKeyCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.minObjects = syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    const std::string key = a.objects[0].asString();
    if (key == "complete")
        tools::sendToolKey(tools::ToolKey::Complete);
    else if (key == "delete")
        tools::sendToolKey(tools::ToolKey::Delete);
    else if (key == "abort")
        tools::sendToolKey(tools::ToolKey::Abort);
    else
        return inv.fail("kxhToolKey: the key is complete, delete or abort.");
    return true;
}

}  // namespace

void registerEventCommands(mel::CommandRegistry& registry) {
    registry.add({"kxhPress", eventHandler(tools::EventKind::Press), nullptr});
    registry.add({"kxhDrag", eventHandler(tools::EventKind::Drag), nullptr});
    registry.add({"kxhRelease", eventHandler(tools::EventKind::Release), nullptr});
    registry.add({"kxhHold", eventHandler(tools::EventKind::Hold), nullptr});
    registry.add({"kxhToolKey", toolKeyCmd, nullptr});
}

}  // namespace kxh
