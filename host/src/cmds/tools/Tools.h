#pragma once
// Interactive tools in the host: tool contexts and the current tool, mouse events in the views, the
// virtual clock that runs timer callbacks, and the selection-mode, tumble and panel state that tools read
// through MEL.
//
// Contexts live in one table by name. The host's own contexts are there from the start
// ("selectSuperContext", the default tool, and "tumbleContext"); a plug-in's context command adds one per
// run. Exactly one context is the current tool.
//
// Events are injected by tests and scripts (C++ below, or the MEL commands kxhPress, kxhDrag, kxhRelease,
// kxhHold and kxhToolKey); they go to the active view, move the simulated cursor and reach the current
// tool. Time only passes when asked (advanceTime / kxhAdvanceTime): timer callbacks fire synchronously on
// the calling thread, never from a wall clock.
#include <maya/MTypes.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mel/Command.h"

class MPxContext;
class MPxContextCommand;
class MPxToolCommand;

namespace kxh {

struct PluginRecord;

// One context in the table.
struct ContextRecord {
    std::string name;         // "quadDrawContext1"
    std::string commandName;  // the context command that made it ("quadDrawContext"); empty for host ones
    std::string className;    // host contexts: what "contextInfo -c" answers
    std::unique_ptr<MPxContextCommand> command;  // the command object that made it (plug-in contexts)
    std::unique_ptr<MPxContext> context;
    std::string toolCommand;  // the tool command registered with the context command ("" when none)
    MCreatorFunction toolCreator = nullptr;
    MCreateSyntaxFunction toolSyntax = nullptr;
    PluginRecord* owner = nullptr;
    int localTumble = 0;  // tumble contexts: the -localTumble setting
    bool tumble = false;
};

// Registers the commands of this family and hooks the tool layer into plug-in registration and into the
// session's reset (`addResetHook` receives what a fresh session runs: back to the default tool, default
// selection modes, tumble settings and isolate state).
void registerToolCommands(mel::CommandRegistry& registry,
                          const std::function<void(std::function<void()>)>& addResetHook);

namespace tools {

constexpr const char* kDefaultTool = "selectSuperContext";

// --- Contexts and the current tool ---------------------------------------------------------------------

ContextRecord* findContext(const std::string& name);
ContextRecord* currentTool();
std::string currentToolName();
// Makes the named context the current tool: toolOffCleanup of the current one, then toolOnSetup of the new
// one. Choosing the current tool again does nothing. False with an error when no such context exists.
bool setTool(const std::string& name, std::string& error);
// Removes a context (a current one is switched off first, back to the default tool). Host contexts stay.
bool deleteContext(const std::string& name);

// Tool commands handed out by newToolCommand and not (yet) on the undo queue are the host's: they are
// deleted when their tool is switched off, its context deleted, or the session reset.
void adoptToolCommand(MPxToolCommand* cmd, ContextRecord* owner);
// The command goes to the undo queue (or is done with): the host no longer deletes it itself.
bool releaseToolCommand(MPxToolCommand* cmd);
void retireToolCommand(MPxToolCommand* cmd);
void deleteToolCommandsOf(const ContextRecord* owner);
void flushRetiredToolCommands();

// --- Events --------------------------------------------------------------------------------------------

enum class EventKind { Press, Drag, Release, Hold };
enum class MouseButton { Left, Middle, Right };

struct MouseEvent {
    EventKind kind = EventKind::Press;
    int x = 0, y = 0;                        // port pixels of the view, origin at the bottom left
    MouseButton button = MouseButton::Left;  // drag, release and hold use the pressed button
    bool shift = false, ctrl = false;
    std::string panel;  // "" = the active view; a panel name makes that view active first
};

// Sends one event: moves the cursor to (x, y) in the view and calls the current tool's handler. A drag,
// release or hold needs a pressed button. Right-button events move the cursor only (the host's menus take
// them). False with an error when the event cannot be delivered; `status` is the handler's answer.
bool sendMouseEvent(const MouseEvent& event, std::string& error, bool* handlerOk = nullptr);
// The button held since the last press, if any.
bool buttonHeld(MouseButton* which = nullptr);
// Enter, Delete and Escape: completeAction, deleteAction, abortAction of the current tool.
enum class ToolKey { Complete, Delete, Abort };
void sendToolKey(ToolKey key);

// --- Virtual clock -------------------------------------------------------------------------------------

double virtualTime();  // seconds since the session started
// Moves the clock forward, firing every timer callback that falls due on the way, in time order (ties in
// the order the callbacks were added). Returns how many calls were made.
int advanceTime(double seconds);
// One idle step: runs the commands queued for idle time. Returns how many ran.
int runIdle();
int timerCount();  // live timer callbacks

// --- Selection modes, tumble, panels -------------------------------------------------------------------

struct ComponentTypes {
    bool vertex = false, edge = false, facet = false;
    bool all() const { return vertex && edge && facet; }
    bool operator==(const ComponentTypes& o) const {
        return vertex == o.vertex && edge == o.edge && facet == o.facet;
    }
};

bool componentMode();
// The component types of component mode, and (objectComponent) those of hilited objects in object mode.
ComponentTypes componentTypes(bool objectComponent);
// Changes fire "SelectModeChanged"/"SelectTypeChanged" when something changed.
void setComponentMode(bool on);
void setComponentTypes(bool objectComponent, const ComponentTypes& types);

int localTumble(const std::string& tumbleContext = "tumbleContext");

// The panel in the first pane of the view layout ("modelPanel4": the layout shows the focused panel).
std::string firstPanePanel();
bool isolateState(const std::string& panel);
std::vector<std::string> isolatedObjects(const std::string& panel);

// Back to the defaults of a fresh session.
void resetToolState();

}  // namespace tools

}  // namespace kxh
