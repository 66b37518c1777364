#include "graph/core/NodeType.h"

#include <algorithm>

namespace kxh {

NodeType::NodeType(std::string name, unsigned typeId, std::string parentName, int fnKind)
    : name_(std::move(name)), typeId_(typeId), parentName_(std::move(parentName)), fnKind_(fnKind) {}

std::vector<int> NodeType::fnKinds() const {
    std::vector<int> k;
    for (const NodeType* t = this; t; t = t->parent_)
        if (t->fnKind_ != fn::kInvalid && std::find(k.begin(), k.end(), t->fnKind_) == k.end())
            k.push_back(t->fnKind_);
    return k;
}

bool NodeType::hasFn(int kind) const {
    if (kind == fn::kBase) return true;
    for (const NodeType* t = this; t; t = t->parent_)
        if (t->fnKind_ == kind) return true;
    return false;
}

bool NodeType::isA(const std::string& typeName) const {
    for (const NodeType* t = this; t; t = t->parent_)
        if (t->name_ == typeName) return true;
    return false;
}

void NodeType::addAttribute(AttrPtr attr) {
    if (!attr) return;
    attr->setAttached(true);
    attrs_.push_back(std::move(attr));
}

std::vector<AttrPtr> NodeType::attributes() const {
    std::vector<AttrPtr> all = parent_ ? parent_->attributes() : std::vector<AttrPtr>();
    all.insert(all.end(), attrs_.begin(), attrs_.end());
    return all;
}

AttrPtr NodeType::findAttribute(const std::string& name) const {
    for (const NodeType* t = this; t; t = t->parent_) {
        for (auto& a : t->attrs_)
            if (a->hasName(name)) return a;
        for (auto& a : t->attrs_)
            if (auto d = a->findDescendant(name)) return d;
    }
    return nullptr;
}

bool NodeType::hasAttribute(const Attribute* attr) const {
    if (!attr) return false;
    const Attribute* root = attr->root();
    for (const NodeType* t = this; t; t = t->parent_)
        for (auto& a : t->attrs_)
            if (a.get() == root) return true;
    return false;
}

void NodeType::addAffects(const Attribute* from, const Attribute* to) {
    if (!from || !to) return;
    auto range = affects_.equal_range(from);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second == to) return;
    affects_.emplace(from, to);
    affected_[to] = true;
}

void NodeType::addAffects(const std::string& from, const std::string& to) {
    AttrPtr f = findAttribute(from), t = findAttribute(to);
    addAffects(f.get(), t.get());
}

std::vector<const Attribute*> NodeType::affectedBy(const Attribute* attr) const {
    std::vector<const Attribute*> out;
    for (const NodeType* t = this; t; t = t->parent_) {
        auto range = t->affects_.equal_range(attr);
        for (auto it = range.first; it != range.second; ++it)
            if (std::find(out.begin(), out.end(), it->second) == out.end()) out.push_back(it->second);
    }
    return out;
}

bool NodeType::affectsAnything(const Attribute* attr) const {
    for (const Attribute* a = attr; a; a = a->parent())
        for (const NodeType* t = this; t; t = t->parent_)
            if (t->affects_.count(a)) return true;
    return false;
}

bool NodeType::isAffected(const Attribute* attr) const {
    for (const Attribute* a = attr; a; a = a->parent())
        for (const NodeType* t = this; t; t = t->parent_)
            if (t->affected_.count(a)) return true;
    return false;
}

NodeTypeRegistry& NodeTypeRegistry::instance() {
    static NodeTypeRegistry registry;
    return registry;
}

NodeTypeRegistry::NodeTypeRegistry() {
    registerBuiltinTypes(*this);
}

bool NodeTypeRegistry::add(NodeTypePtr type, std::string* error) {
    if (!type) return false;
    for (auto& t : types_) {
        if (t->name() == type->name()) {
            if (error) *error = "Node type \"" + type->name() + "\" is already registered";
            return false;
        }
        if (t->typeId() == type->typeId()) {
            if (error) *error = "Node type id " + std::to_string(type->typeId()) + " is already in use";
            return false;
        }
    }
    if (!type->parentName().empty()) {
        NodeTypePtr p = find(type->parentName());
        if (!p) {
            if (error) *error = "Unknown parent node type \"" + type->parentName() + "\"";
            return false;
        }
        type->setParent(p.get());
    }
    types_.push_back(std::move(type));
    return true;
}

bool NodeTypeRegistry::remove(const std::string& name) {
    for (auto it = types_.begin(); it != types_.end(); ++it)
        if ((*it)->name() == name) {
            types_.erase(it);
            return true;
        }
    return false;
}

bool NodeTypeRegistry::removeById(unsigned typeId) {
    for (auto it = types_.begin(); it != types_.end(); ++it)
        if ((*it)->typeId() == typeId) {
            types_.erase(it);
            return true;
        }
    return false;
}

NodeTypePtr NodeTypeRegistry::find(const std::string& name) const {
    for (auto& t : types_)
        if (t->name() == name) return t;
    return nullptr;
}

NodeTypePtr NodeTypeRegistry::findById(unsigned typeId) const {
    for (auto& t : types_)
        if (t->typeId() == typeId) return t;
    return nullptr;
}

std::vector<NodeTypePtr> NodeTypeRegistry::all() const {
    return types_;
}

}  // namespace kxh
