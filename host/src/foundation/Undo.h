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

// Something that records its edits into undo entries; the graph's scene is one. Recordings nest: what an
// inner recording records also belongs to the enclosing ones.
class UndoJournal {
public:
    virtual ~UndoJournal() = default;
    virtual void beginRecording() = 0;
    // Ends the innermost recording; returns an entry that undoes and redoes what it recorded, or null when
    // it recorded nothing.
    virtual UndoEntryPtr endRecording(const std::string& description) = 0;
    // Undoes what the innermost recording recorded so far and ends it.
    virtual void rollback() = 0;
    virtual bool isRecording() const = 0;
};

}  // namespace kxh
