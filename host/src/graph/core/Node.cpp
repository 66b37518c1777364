#include "graph/core/Node.h"

#include <cctype>

#include "graph/core/Scene.h"

namespace kxh {

bool PlugSlot::operator==(const PlugSlot& o) const {
    return hasValue == o.hasValue && (!hasValue || value == o.value) && children == o.children &&
           elements == o.elements;
}

Node::Node(Scene& scene, NodeTypePtr type, uint64_t serial)
    : scene_(&scene), type_(std::move(type)), serial_(serial) {
    if (type_->factory) behavior_ = type_->factory();
}

Node::~Node() = default;

std::vector<AttrPtr> Node::attributes() const {
    std::vector<AttrPtr> all = type_->attributes();
    all.insert(all.end(), dynamic_.begin(), dynamic_.end());
    return all;
}

AttrPtr Node::findAttribute(const std::string& name) const {
    if (AttrPtr a = type_->findAttribute(name)) return a;
    for (auto& a : dynamic_)
        if (a->hasName(name)) return a;
    for (auto& a : dynamic_)
        if (auto d = a->findDescendant(name)) return d;
    return nullptr;
}

bool Node::hasAttribute(const Attribute* attr) const {
    if (!attr) return false;
    if (type_->hasAttribute(attr)) return true;
    return isDynamic(attr);
}

bool Node::isDynamic(const Attribute* attr) const {
    if (!attr) return false;
    const Attribute* root = attr->root();
    for (auto& a : dynamic_)
        if (a.get() == root) return true;
    return false;
}

Plug Node::findPlug(const std::string& path) const {
    NodePtr self = const_cast<Node*>(this)->ptr();
    AttrPtr cur;
    std::vector<int> idx;
    size_t pos = 0;
    bool first = true;
    while (pos <= path.size()) {
        size_t dot = path.find('.', pos);
        std::string seg = path.substr(pos, dot == std::string::npos ? std::string::npos : dot - pos);
        int index = -1;
        size_t br = seg.find('[');
        if (br != std::string::npos) {
            size_t close = seg.find(']', br);
            if (close == std::string::npos || close != seg.size() - 1) return {};
            std::string num = seg.substr(br + 1, close - br - 1);
            if (num.empty()) return {};
            for (char c : num)
                if (!std::isdigit(static_cast<unsigned char>(c))) return {};
            index = std::stoi(num);
            seg = seg.substr(0, br);
        }
        if (first) {
            cur = findAttribute(seg);
            if (!cur) return {};
            idx.assign(cur->chain().size(), -1);
            first = false;
        } else {
            AttrPtr next;
            if (cur->isCompound())
                for (auto& c : cur->children())
                    if (c->hasName(seg)) next = c;
            if (!next) return {};
            cur = next;
            idx.push_back(-1);
        }
        if (index >= 0) {
            if (!cur->array) return {};
            idx.back() = index;
        }
        if (dot == std::string::npos) break;
        pos = dot + 1;
    }
    if (!cur) return {};
    return Plug(self, cur, idx);
}

std::vector<const Attribute*> Node::affectedBy(const Attribute* attr) const {
    return type_->affectedBy(attr);
}

bool Node::isComputed(const Attribute* attr) const {
    return type_->isAffected(attr);
}

PlugSlot* Node::topSlot(const Attribute* root, bool create) {
    auto it = slots_.find(root);
    if (it != slots_.end()) return &it->second;
    if (!create) return nullptr;
    return &slots_[root];
}

PlugSlot* Node::slotFor(const Plug& p, bool create) {
    if (p.isNull()) return nullptr;
    const Attribute* attr = p.attribute();
    if (!attr->parent()) {
        // A top-level attribute (the common case, read on every query): no chain to build.
        PlugSlot* s = topSlot(attr, create);
        if (!s || !attr->array) return s;
        const auto& idx = p.indices();
        if (idx.empty() || idx[0] < 0) return s;
        auto it = s->elements.find(idx[0]);
        if (it == s->elements.end()) {
            if (!create) return nullptr;
            it = s->elements.emplace(idx[0], PlugSlot()).first;
        }
        return &it->second;
    }
    auto chain = attr->chain();
    const auto& idx = p.indices();
    PlugSlot* s = topSlot(chain[0], create);
    for (size_t i = 0; s && i < chain.size(); ++i) {
        bool last = i + 1 == chain.size();
        if (chain[i]->array) {
            if (idx[i] < 0) {
                if (!last) return nullptr;  // not fully indexed
            } else {
                auto it = s->elements.find(idx[i]);
                if (it == s->elements.end()) {
                    if (!create) return nullptr;
                    it = s->elements.emplace(idx[i], PlugSlot()).first;
                }
                s = &it->second;
            }
        }
        if (!last) {
            auto it = s->children.find(chain[i + 1]);
            if (it == s->children.end()) {
                if (!create) return nullptr;
                it = s->children.emplace(chain[i + 1], PlugSlot()).first;
            }
            s = &it->second;
        }
    }
    return s;
}

const PlugSlot* Node::slot(const Plug& p) const {
    return const_cast<Node*>(this)->slotFor(p, false);
}

std::vector<int> Node::elementIndices(const Plug& arrayPlug) const {
    std::vector<int> out;
    if (!arrayPlug.isArray()) return out;
    const PlugSlot* s = slot(arrayPlug);
    if (!s) return out;
    for (auto& e : s->elements) out.push_back(e.first);
    return out;
}

Value Node::storedValue(const Plug& p) const {
    if (p.isNull() || p.isArray()) return {};
    const Attribute* a = p.attribute();
    if (a->isNumericCompound()) {
        std::vector<double> t;
        for (unsigned i = 0; i < p.numChildren(); ++i) t.push_back(storedValue(p.child(i)).asDouble());
        return Value(t);
    }
    const PlugSlot* s = slot(p);
    if (s && s->hasValue) return s->value;
    return a->defaultValue();
}

void Node::setComputed(const Plug& p, const Value& v) {
    if (p.isNull() || !p.isFullyIndexed()) return;
    const Attribute* a = p.attribute();
    if (a->isNumericCompound() && (v.isNumbers() || v.isNumber())) {
        auto t = v.asNumbers();
        for (unsigned i = 0; i < p.numChildren() && i < t.size(); ++i) setComputed(p.child(i), Value(t[i]));
        if (PlugSlot* s = slotFor(p, true)) s->dirty = false;
        return;
    }
    PlugSlot* s = slotFor(p, true);
    if (!s) return;
    if (a->isNumeric())
        s->value = Value(numericCoerce(a->numericType(), v.asDouble()));
    else
        s->value = v;
    s->hasValue = true;
    s->dirty = false;
}

void Node::setClean(const Plug& p) {
    if (PlugSlot* s = slotFor(p, true)) s->dirty = false;
}

bool Node::isDirty(const Plug& p) const {
    const PlugSlot* s = slot(p);
    return !s || s->dirty;
}

std::string Node::fullPathName() const {
    if (isWorld_) return "";
    if (!isDag()) return name_;
    std::string path;
    for (const Node* n = this; n && !n->isWorld_; n = n->parent_) path = "|" + n->name_ + path;
    return path;
}

std::string Node::partialPathName() const {
    return isWorld_ ? std::string() : name_;
}

bool Node::isIntermediate() const {
    if (!isDag()) return false;
    Plug p = findPlug(attr::kIntermediateObject);
    return !p.isNull() && p.asBool();
}

Matrix44 Node::localMatrix() const {
    if (!isTransform()) return Matrix44();
    Plug p = findPlug(attr::kMatrix);
    return p.isNull() ? Matrix44() : p.value().asMatrix();
}

Matrix44 Node::inclusiveMatrix() const {
    Matrix44 m = localMatrix();
    for (const Node* n = parent_; n && !n->isWorld_; n = n->parent_) m = m * n->localMatrix();
    return m;
}

Matrix44 Node::exclusiveMatrix() const {
    return parent_ && !parent_->isWorld_ ? parent_->inclusiveMatrix() : Matrix44();
}

Node* Node::shape() const {
    if (isShape()) return const_cast<Node*>(this);
    if (!isTransform()) return nullptr;
    for (Node* c : children_)
        if (c->isShape() && !c->isIntermediate()) return c;
    return nullptr;
}

}  // namespace kxh
