#pragma once
// Hooks through which the graph's API classes reach the layers above them.
#include <functional>
#include <string>

namespace kxh {

// Runs MEL for MDGModifier::commandToExecute; set by the command layer. It must run the text with the
// host's undo queue off: the modifier records the graph edits the command makes and undoes them itself.
// Returns false when the command fails. While unset, queued commands fail.
extern std::function<bool(const std::string&)> melExecutor;

// True while a modifier makes the nodes its createNode returns and takes them back out until doIt. The
// node added/removed messages (MDGMessage) skip that round trip: they report the nodes once, at doIt.
bool modifierPreparing();

}  // namespace kxh
