#pragma once
// Host side of the message classes: firing named events and scene messages, and giving callbacks kept by
// other layers (timers) an id that MMessage::removeCallback understands.
#include <maya/MMessage.h>
#include <maya/MSceneMessage.h>

#include <functional>
#include <memory>
#include <string>

#include "graph/core/Node.h"

namespace kxh {

// Calls the MEventMessage callbacks registered for the event, in the order they were added. Firing a name
// the host did not list makes it known (later addEventCallback calls accept it).
void fireEvent(const std::string& name);

// Calls the MSceneMessage callbacks registered for the message.
void fireSceneMessage(MSceneMessage::Message message);

// Registers a callback kept elsewhere: `remove` is called once by MMessage::removeCallback. A callback
// attached to a node is listed by MMessage::nodeCallbacks for it.
MCallbackId addCallbackRecord(std::function<void()> remove, const NodePtr& node = nullptr);

// While a callback runs, its id (MMessage::currentCallbackId); other layers firing their own callbacks set
// it.
class CurrentCallbackScope {
public:
    explicit CurrentCallbackScope(MCallbackId id);
    ~CurrentCallbackScope();

private:
    MCallbackId previous_;
};

}  // namespace kxh
