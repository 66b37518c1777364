#include "graph/core/Selection.h"

#include <algorithm>

#include "graph/core/Node.h"

namespace kxh {

std::vector<int> idsNormalize(std::vector<int> ids) {
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::vector<int> idsUnion(const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<int> out;
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

std::vector<int> idsDifference(const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<int> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

std::vector<int> idsSymmetricDifference(const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<int> out;
    std::set_symmetric_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

int SelectionList::find(const NodePtr& node, ComponentKind kind) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].node == node && items_[i].kind == kind) return int(i);
    return -1;
}

void SelectionList::add(const SelectionItem& item, bool atHead) {
    if (!item.node) return;
    SelectionItem it = item;
    it.ids = idsNormalize(it.ids);
    if (it.hasComponents() && it.ids.empty()) return;
    int i = find(it.node, it.kind);
    if (i >= 0) {
        if (it.hasComponents()) items_[size_t(i)].ids = idsUnion(items_[size_t(i)].ids, it.ids);
        return;
    }
    if (atHead)
        items_.insert(items_.begin(), it);
    else
        items_.push_back(it);
}

void SelectionList::add(const NodePtr& node, ComponentKind kind, const std::vector<int>& ids) {
    add(SelectionItem{node, kind, ids});
}

void SelectionList::remove(const SelectionItem& item) {
    int i = find(item.node, item.kind);
    if (i < 0) return;
    if (item.hasComponents()) {
        auto& ids = items_[size_t(i)].ids;
        ids = idsDifference(ids, idsNormalize(item.ids));
        if (!ids.empty()) return;
    }
    items_.erase(items_.begin() + i);
}

void SelectionList::toggle(const SelectionItem& item) {
    int i = find(item.node, item.kind);
    if (i < 0) {
        add(item);
        return;
    }
    if (!item.hasComponents()) {
        items_.erase(items_.begin() + i);
        return;
    }
    auto& ids = items_[size_t(i)].ids;
    ids = idsSymmetricDifference(ids, idsNormalize(item.ids));
    if (ids.empty()) items_.erase(items_.begin() + i);
}

void SelectionList::removeAt(size_t i) {
    if (i < items_.size()) items_.erase(items_.begin() + long(i));
}

void SelectionList::merge(const SelectionList& other, ListAdjust adjust) {
    switch (adjust) {
        case ListAdjust::Replace:
            items_.clear();
            for (auto& it : other.items_) add(it);
            break;
        case ListAdjust::Add:
            for (auto& it : other.items_) add(it);
            break;
        case ListAdjust::AddToHead:
            for (auto it = other.items_.rbegin(); it != other.items_.rend(); ++it) add(*it, true);
            break;
        case ListAdjust::Remove:
            for (auto& it : other.items_) remove(it);
            break;
        case ListAdjust::Toggle:
            for (auto& it : other.items_) toggle(it);
            break;
    }
}

bool SelectionList::has(const SelectionItem& item) const {
    int i = find(item.node, item.kind);
    if (i < 0) return false;
    if (!item.hasComponents()) return true;
    auto ids = idsNormalize(item.ids);
    return std::includes(items_[size_t(i)].ids.begin(), items_[size_t(i)].ids.end(), ids.begin(), ids.end());
}

bool SelectionList::hasPartly(const SelectionItem& item) const {
    if (!item.hasComponents()) {
        for (auto& it : items_)
            if (it.node == item.node) return true;
        return false;
    }
    int i = find(item.node, item.kind);
    if (i < 0) return false;
    auto ids = idsNormalize(item.ids);
    for (int id : ids)
        if (std::binary_search(items_[size_t(i)].ids.begin(), items_[size_t(i)].ids.end(), id)) return true;
    return false;
}

void SelectionList::prune() {
    items_.erase(std::remove_if(items_.begin(), items_.end(),
                                [](const SelectionItem& it) { return !it.node || !it.node->alive(); }),
                 items_.end());
}

std::vector<std::string> SelectionList::strings() const {
    std::vector<std::string> out;
    for (auto& it : items_) {
        std::string name = it.node->partialPathName();
        if (!it.hasComponents()) {
            out.push_back(name);
            continue;
        }
        const auto& ids = it.ids;
        for (size_t i = 0; i < ids.size();) {
            size_t j = i;
            while (j + 1 < ids.size() && ids[j + 1] == ids[j] + 1) ++j;
            std::string r = std::to_string(ids[i]);
            if (j > i) r += ":" + std::to_string(ids[j]);
            out.push_back(name + "." + componentKindName(it.kind) + "[" + r + "]");
            i = j + 1;
        }
    }
    return out;
}

}  // namespace kxh
