#pragma once
// One mouse event in a 3D view as a tool context receives it: where it happened (port pixels, origin at the
// bottom left), which button caused it and which modifier keys were held.
//
// Contexts only ever see the left and middle buttons; the right button belongs to the host's menus.
#include <maya/MStatus.h>
#include <maya/MTypes.h>

namespace kxh {
struct EventAccess;
}

class MEvent {
public:
    enum ModifierType { shiftKey = 1 << 0, controlKey = 1 << 2 };
    enum MouseButtonType { kLeftMouse = 1 << 6, kMiddleMouse = kLeftMouse << 1 };

    MEvent();
    virtual ~MEvent();

    MStatus getPosition(short& x_pos, short& y_pos) const;
    MStatus setPosition(short x_pos, short y_pos);
    // The position on the screen (pixels, y down).
    MStatus getWindowPosition(short& x_pos, short& y_pos) const;

    // The button of a press, drag, release or hold; fails with kFailure for an event without one (the
    // event handed to toolOnSetup).
    MouseButtonType mouseButton(MStatus* ReturnStatus = NULL) const;

    bool isModifierShift(MStatus* ReturnStatus = NULL) const;
    bool isModifierControl(MStatus* ReturnStatus = NULL) const;
    bool isModifierNone(MStatus* ReturnStatus = NULL) const;
    bool isModifierKeyRelease(MStatus* ReturnStatus = NULL) const;
    // Whether that button is held as well (a second button during another button's hold).
    bool isModifierLeftMouseButton(MStatus* ReturnStatus = NULL) const;
    bool isModifierMiddleMouseButton(MStatus* ReturnStatus = NULL) const;
    ModifierType modifiers(MStatus* ReturnStatus = NULL) const;
    MStatus setModifiers(const ModifierType& modType);

    static const char* className();

private:
    friend struct kxh::EventAccess;
    short x_ = 0, y_ = 0;
    short screenX_ = 0, screenY_ = 0;
    int button_ = 0;       // 0: no button
    int modifiers_ = 0;    // ModifierType bits
    int heldButtons_ = 0;  // other buttons held, MouseButtonType bits
};
