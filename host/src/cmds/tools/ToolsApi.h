#pragma once
// Host-side access to the insides of the tool API classes (MPxContext, MPxContextCommand, MEvent,
// MCursor). Nothing here is visible to plug-ins.
#include <maya/MArgParser.h>
#include <maya/MCursor.h>
#include <maya/MEvent.h>
#include <maya/MPxContext.h>
#include <maya/MPxContextCommand.h>

#include <string>

namespace kxh {

struct SyntaxData;

struct ContextAccess {
    static void bind(MPxContext& c, ContextRecord* record) { c.record_ = record; }
    static ContextRecord* record(const MPxContext& c) { return c.record_; }
    static const MString& title(const MPxContext& c) { return c.title_; }
    static const MString& help(const MPxContext& c) { return c.help_; }
    static const MCursor& cursor(const MPxContext& c) { return c.cursor_; }
    static int manipulators(const MPxContext& c) { return c.manipulators_; }
    static void setTitle(MPxContext& c, const MString& t) { c.title_ = t; }
};

struct ContextCommandAccess {
    static SyntaxData& syntax(MPxContextCommand& c) { return *c.syntax_; }
    static void setParser(MPxContextCommand& c, const MArgParser& p) { c.parser_ = p; }
};

struct EventAccess {
    static void setButton(MEvent& e, int button) { e.button_ = button; }
    static void setHeld(MEvent& e, int held) { e.heldButtons_ = held; }
    static void setScreen(MEvent& e, short x, short y) {
        e.screenX_ = x;
        e.screenY_ = y;
    }
};

struct CursorAccess {
    static int shape(const MCursor& c) { return c.shape_; }
};

// The host's name of a cursor shape ("editCursor").
std::string cursorName(const MCursor& cursor);

}  // namespace kxh
