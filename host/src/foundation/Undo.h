#pragma once
// One reversible step on the host's undo queue. Built-in commands record their graph edits into an entry
// (the graph's journal), plug-in commands wrap their MPxCommand object, chunks group several entries.
#include <memory>
#include <string>

namespace kxh {

class UndoEntry {
public:
    virtual ~UndoEntry() = default;
    virtual void undo() = 0;
    virtual void redo() = 0;
    // Text shown by "undo"/"redo" ("// Undo: polyCube"); the command line that made the entry.
    virtual std::string description() const { return {}; }
};

using UndoEntryPtr = std::unique_ptr<UndoEntry>;

}  // namespace kxh
