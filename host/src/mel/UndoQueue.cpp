#include "mel/UndoQueue.h"

#include "foundation/Output.h"

namespace kxh::mel {

namespace {

// Several entries undone as one step: undo runs them backwards, redo forwards.
class GroupEntry : public UndoEntry {
public:
    GroupEntry(std::vector<UndoEntryPtr> entries, std::string name)
        : entries_(std::move(entries)), name_(std::move(name)) {}
    void undo() override {
        for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) (*it)->undo();
    }
    void redo() override {
        for (auto& e : entries_) e->redo();
    }
    std::string description() const override {
        if (!name_.empty()) return name_;
        return entries_.empty() ? std::string() : entries_.front()->description();
    }

private:
    std::vector<UndoEntryPtr> entries_;
    std::string name_;
};

}  // namespace

struct UndoQueue::Chunk {
    std::string name;
    std::vector<UndoEntryPtr> entries;
};

UndoQueue::UndoQueue() = default;

UndoQueue::~UndoQueue() = default;

bool UndoQueue::recording() const {
    return state_ && !busy_ && suspended_ == 0;
}

bool UndoQueue::push(UndoEntryPtr entry) {
    if (!entry || !recording()) return false;
    redo_.clear();
    if (!chunks_.empty())
        chunks_.back()->entries.push_back(std::move(entry));
    else
        undo_.push_back(std::move(entry));
    return true;
}

void UndoQueue::openChunk(const std::string& name) {
    chunks_.push_back(std::make_unique<Chunk>(Chunk{name, {}}));
}

// Closes the innermost chunk and returns what it gathered as one entry (null when empty).
UndoEntryPtr UndoQueue::closeOne() {
    std::unique_ptr<Chunk> c = std::move(chunks_.back());
    chunks_.pop_back();
    UndoEntryPtr group;
    if (c->entries.size() == 1 && c->name.empty())
        group = std::move(c->entries.front());
    else if (!c->entries.empty())
        group = std::make_unique<GroupEntry>(std::move(c->entries), c->name);
    return group;
}

bool UndoQueue::closeChunk() {
    if (chunks_.empty()) return false;
    UndoEntryPtr group = closeOne();
    if (!group) return true;
    if (!chunks_.empty())
        chunks_.back()->entries.push_back(std::move(group));
    else
        undo_.push_back(std::move(group));
    return true;
}

bool UndoQueue::undo() {
    return step(true);
}

bool UndoQueue::redo() {
    return step(false);
}

bool UndoQueue::step(bool undoing) {
    while (!chunks_.empty()) closeChunk();
    std::vector<UndoEntryPtr>& from = undoing ? undo_ : redo_;
    std::vector<UndoEntryPtr>& to = undoing ? redo_ : undo_;
    if (from.empty()) {
        output().warning(undoing ? "There are no more commands to undo."
                                 : "There are no more commands to redo.");
        return false;
    }
    UndoEntryPtr e = std::move(from.back());
    from.pop_back();
    busy_ = true;
    if (undoing)
        e->undo();
    else
        e->redo();
    busy_ = false;
    output().info((undoing ? "Undo: " : "Redo: ") + e->description());
    to.push_back(std::move(e));
    return true;
}

bool UndoQueue::canUndo() const {
    if (!undo_.empty()) return true;
    for (const auto& c : chunks_)
        if (!c->entries.empty()) return true;
    return false;
}

bool UndoQueue::canRedo() const {
    return !redo_.empty();
}

void UndoQueue::setState(bool on, bool flush) {
    if (!on && flush) clear();
    state_ = on;
}

void UndoQueue::clear() {
    undo_.clear();
    redo_.clear();
    for (auto& c : chunks_) c->entries.clear();
}

std::vector<std::string> UndoQueue::undoNames() const {
    std::vector<std::string> r;
    for (const auto& e : undo_) r.push_back(e->description());
    return r;
}

std::vector<std::string> UndoQueue::redoNames() const {
    std::vector<std::string> r;
    for (auto it = redo_.rbegin(); it != redo_.rend(); ++it) r.push_back((*it)->description());
    return r;
}

std::string UndoQueue::undoName() const {
    return undo_.empty() ? std::string() : undo_.back()->description();
}
std::string UndoQueue::redoName() const {
    return redo_.empty() ? std::string() : redo_.back()->description();
}

}  // namespace kxh::mel
