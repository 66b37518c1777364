#include "graph/core/Plug.h"

#include "graph/core/Node.h"
#include "graph/core/Scene.h"

namespace kxh {

Plug::Plug(NodePtr node, AttrPtr attr) : node_(std::move(node)), attr_(std::move(attr)) {
    if (attr_) indices_.assign(attr_->chain().size(), -1);
}

Plug::Plug(NodePtr node, AttrPtr attr, std::vector<int> indices)
    : node_(std::move(node)), attr_(std::move(attr)), indices_(std::move(indices)) {
    if (attr_) indices_.resize(attr_->chain().size(), -1);
}

bool Plug::isArray() const {
    return attr_ && attr_->array && indices_.back() < 0;
}
bool Plug::isElement() const {
    return attr_ && attr_->array && indices_.back() >= 0;
}
bool Plug::isCompound() const {
    return attr_ && attr_->isCompound();
}
bool Plug::isChild() const {
    return attr_ && attr_->parent();
}

bool Plug::isFullyIndexed() const {
    if (!attr_) return false;
    auto chain = attr_->chain();
    for (size_t i = 0; i < chain.size(); ++i)
        if (chain[i]->array && indices_[i] < 0) return false;
    return true;
}

int Plug::logicalIndex() const {
    return isElement() ? indices_.back() : -1;
}

Plug Plug::parent() const {
    if (!attr_ || !attr_->parent()) return {};
    AttrPtr p = const_cast<Attribute*>(attr_->parent())->shared_from_this();
    std::vector<int> idx(indices_.begin(), indices_.end() - 1);
    return Plug(node_, p, idx);
}

Plug Plug::array() const {
    if (!isElement()) return {};
    Plug p = *this;
    p.indices_.back() = -1;
    return p;
}

unsigned Plug::numChildren() const {
    return attr_ && attr_->isCompound() ? unsigned(attr_->children().size()) : 0;
}

Plug Plug::child(unsigned i) const {
    if (!attr_ || i >= numChildren()) return {};
    std::vector<int> idx = indices_;
    idx.push_back(-1);
    return Plug(node_, attr_->children()[i], idx);
}

Plug Plug::child(const Attribute* childAttr) const {
    if (!attr_) return {};
    int i = attr_->childIndex(childAttr);
    return i < 0 ? Plug() : child(unsigned(i));
}

Plug Plug::elementByLogicalIndex(unsigned logical) const {
    if (!attr_ || !attr_->array) return {};
    Plug p = *this;
    p.indices_.back() = int(logical);
    return p;
}

Plug Plug::elementByPhysicalIndex(unsigned physical) const {
    if (!isArray()) return {};
    auto idx = existingLogicalIndices();
    if (physical >= idx.size()) return {};
    return elementByLogicalIndex(unsigned(idx[physical]));
}

unsigned Plug::numElements() const {
    return isArray() ? unsigned(existingLogicalIndices().size()) : 0;
}

std::vector<int> Plug::existingLogicalIndices() const {
    if (!isArray()) return {};
    return node_->elementIndices(*this);
}

bool Plug::contains(const Plug& other) const {
    if (isNull() || other.isNull() || node_ != other.node_) return false;
    auto mine = attr_->chain();
    auto theirs = other.attr_->chain();
    if (theirs.size() < mine.size()) return false;
    for (size_t i = 0; i < mine.size(); ++i) {
        if (mine[i] != theirs[i]) return false;
        bool last = i + 1 == mine.size();
        if (last && isArray()) continue;  // the whole array holds every element
        if (indices_[i] != other.indices_[i]) return false;
    }
    return true;
}

Plug Plug::mapFrom(const Plug& base, const Plug& other) const {
    if (isNull() || base.isNull() || other.isNull()) return {};
    auto baseChain = base.attr_->chain();
    auto otherChain = other.attr_->chain();
    size_t n = baseChain.size();
    std::vector<int> idx = indices_;
    if (base.isArray() && other.indices_.size() >= n) idx.back() = other.indices_[n - 1];
    const Attribute* cur = attr_.get();
    AttrPtr curPtr = attr_;
    for (size_t i = n; i < otherChain.size(); ++i) {
        int ci = otherChain[i - 1]->childIndex(otherChain[i]);
        if (ci < 0 || !cur->isCompound() || ci >= int(cur->children().size())) return {};
        curPtr = cur->children()[size_t(ci)];
        cur = curPtr.get();
        idx.push_back(other.indices_[i]);
    }
    return Plug(node_, curPtr, idx);
}

std::string Plug::attributePath(bool longNames) const {
    if (!attr_) return {};
    auto chain = attr_->chain();
    std::string s;
    // Ancestors appear only from the first indexed one down (as "pnts[3].pntx"); a plain compound's
    // child is named by itself ("translateX").
    size_t start = chain.size() - 1;
    for (size_t i = 0; i < chain.size(); ++i)
        if (chain[i]->array && indices_[i] >= 0 && i < start) {
            start = i;
            break;
        }
    for (size_t i = start; i < chain.size(); ++i) {
        if (!s.empty()) s += ".";
        s += longNames ? chain[i]->longName() : chain[i]->shortName();
        if (chain[i]->array && indices_[i] >= 0) s += "[" + std::to_string(indices_[i]) + "]";
    }
    return s;
}

std::string Plug::name(bool longNames) const {
    if (isNull()) return {};
    return node_->name() + "." + attributePath(longNames);
}

Value Plug::value() const {
    if (isNull()) return {};
    return node_->scene().evaluate(*this);
}

bool Plug::setValue(const Value& v, std::string* error) const {
    if (isNull()) {
        if (error) *error = "Null plug";
        return false;
    }
    return node_->scene().setValue(*this, v, error);
}

bool Plug::isConnected() const {
    return isDestination() || isSource();
}

bool Plug::isDestination() const {
    if (isNull()) return false;
    for (auto& c : node_->inputs())
        if (c.dst == *this) return true;
    return false;
}

bool Plug::isSource() const {
    if (isNull()) return false;
    for (auto& c : node_->outputs())
        if (c.src == *this) return true;
    return false;
}

Plug Plug::source() const {
    if (isNull()) return {};
    for (auto& c : node_->inputs())
        if (c.dst == *this) return c.src;
    return {};
}

std::vector<Plug> Plug::destinations() const {
    std::vector<Plug> out;
    if (isNull()) return out;
    for (auto& c : node_->outputs())
        if (c.src == *this) out.push_back(c.dst);
    return out;
}

Plug Plug::effectiveSource() const {
    if (isNull()) return {};
    const Connection* best = nullptr;
    size_t bestDepth = 0;
    for (auto& c : node_->inputs())
        if (c.dst.contains(*this)) {
            size_t depth = c.dst.attr_->chain().size() * 2 + (c.dst.isArray() ? 0 : 1);
            if (!best || depth > bestDepth) {
                best = &c;
                bestDepth = depth;
            }
        }
    if (!best) return {};
    return best->src.mapFrom(best->dst, *this);
}

bool Plug::operator<(const Plug& o) const {
    uint64_t a = node_ ? node_->serial() : 0, b = o.node_ ? o.node_->serial() : 0;
    if (a != b) return a < b;
    if (attr_ != o.attr_) return attr_ < o.attr_;
    return indices_ < o.indices_;
}

}  // namespace kxh
