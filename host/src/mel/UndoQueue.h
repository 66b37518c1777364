#pragma once
// The host's undo queue. Commands that change the scene push one entry after they succeed; "undoInfo
// -ock/-cck" group everything pushed in between into one entry (chunks nest; the group is formed when the
// outermost chunk closes, and an empty group adds nothing). A new push clears the redo list. While undo or
// redo runs, and while recording is off (undoInfo -st off) or suspended, pushes are dropped.
#include <memory>
#include <string>
#include <vector>

#include "foundation/Undo.h"

namespace kxh::mel {

class UndoQueue {
public:
    UndoQueue();
    ~UndoQueue();
    UndoQueue(const UndoQueue&) = delete;
    UndoQueue& operator=(const UndoQueue&) = delete;

    // Records a done step. Returns false when the entry was dropped (recording off, suspended, or an
    // undo/redo is running).
    bool push(UndoEntryPtr entry);
    bool recording() const;  // a push now would be kept

    // Chunks. openChunk may name the group ("undoInfo -ock -cn name"); otherwise the group is described by
    // its first entry. closeChunk returns false when no chunk is open.
    void openChunk(const std::string& name = "");
    bool closeChunk();
    int chunkDepth() const { return int(chunks_.size()); }

    // Undo or redo the most recent step. An open chunk is closed first, so what it gathered undoes as one
    // step. Prints "// Undo: <description>" / "// Redo: <description>" as an info line; with nothing to do
    // prints the warning "There are no more commands to undo." (or "redo.") and returns false.
    bool undo();
    bool redo();
    bool canUndo() const;
    bool canRedo() const;
    bool busy() const { return busy_; }  // true while an entry's undo()/redo() runs

    // undoInfo -st: turning recording off flushes the queue unless flush is false (-swf).
    void setState(bool on, bool flush = true);
    bool state() const { return state_; }

    // Suspends recording (nestable) without touching the user-visible state: commands run with their undo
    // flag off go through here.
    void suspend() { ++suspended_; }
    void resume() {
        if (suspended_ > 0) --suspended_;
    }
    class Suspend {
    public:
        explicit Suspend(UndoQueue& q) : q_(q) { q_.suspend(); }
        ~Suspend() { q_.resume(); }
        Suspend(const Suspend&) = delete;
        Suspend& operator=(const Suspend&) = delete;

    private:
        UndoQueue& q_;
    };

    // Drops every undo and redo step, and what open chunks gathered so far (the chunks stay open).
    void clear();

    size_t size() const { return undo_.size(); }
    size_t redoSize() const { return redo_.size(); }
    std::vector<std::string> undoNames() const;  // oldest first
    std::vector<std::string> redoNames() const;  // next redo first
    std::string undoName() const;                // what undo would undo, or ""
    std::string redoName() const;                // what redo would redo, or ""

private:
    struct Chunk;
    UndoEntryPtr closeOne();
    // undo() when `undoing`, else redo(): moves the most recent entry to the other list on the way.
    bool step(bool undoing);
    std::vector<UndoEntryPtr> undo_;
    std::vector<UndoEntryPtr> redo_;              // back() is the next redo
    std::vector<std::unique_ptr<Chunk>> chunks_;  // open chunks, innermost last
    bool state_ = true;
    bool busy_ = false;
    int suspended_ = 0;
};

}  // namespace kxh::mel
