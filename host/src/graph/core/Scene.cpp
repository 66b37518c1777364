#include "graph/core/Scene.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace kxh {

// ---------------------------------------------------------------------------------------------------
// Journal and callbacks
// ---------------------------------------------------------------------------------------------------

struct Scene::Recording {
    std::vector<std::pair<std::function<void()>, std::function<void()>>> ops;
};

struct Scene::Callback {
    GraphCallbackId id;
    int kind;
    std::weak_ptr<Node> node;
    bool hasNode = false;
    NodeCallback nodeFn;
    PlugCallback plugFn;
    BasicCallback basicFn;
};

namespace {

class JournalEntry : public UndoEntry {
public:
    JournalEntry(Scene& scene, std::vector<std::pair<std::function<void()>, std::function<void()>>> ops,
                 std::string description, int* replaying)
        : scene_(scene), ops_(std::move(ops)), description_(std::move(description)), replaying_(replaying) {}
    void undo() override {
        ++*replaying_;
        for (auto it = ops_.rbegin(); it != ops_.rend(); ++it) it->first();
        --*replaying_;
    }
    void redo() override {
        ++*replaying_;
        for (auto& op : ops_) op.second();
        --*replaying_;
    }
    std::string description() const override { return description_; }

private:
    Scene& scene_;
    std::vector<std::pair<std::function<void()>, std::function<void()>>> ops_;
    std::string description_;
    int* replaying_;
};

Scene* gCurrent = nullptr;

bool validNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':';
}

bool validName(const std::string& n) {
    if (n.empty()) return false;
    if (std::isdigit(static_cast<unsigned char>(n[0]))) return false;
    for (char c : n)
        if (!validNameChar(c) && c != '#') return false;
    return true;
}

bool wildcardMatch(const char* p, const char* s) {
    if (!*p) return !*s;
    if (*p == '*') return wildcardMatch(p + 1, s) || (*s && wildcardMatch(p, s + 1));
    if (*s && (*p == '?' || *p == *s)) return wildcardMatch(p + 1, s + 1);
    return false;
}

}  // namespace

Scene::Scene() {
    NodeTypePtr worldType = NodeTypeRegistry::instance().find("transform");
    world_ = makeNode(worldType, true);
    world_->name_ = "";
    world_->alive_ = true;
}

Scene::~Scene() {
    if (gCurrent == this) gCurrent = nullptr;
    // Break the DAG links so that nodes held elsewhere (journal entries, handles) do not point here.
    for (auto& [serial, n] : nodes_) {
        n->alive_ = false;
        n->parent_ = nullptr;
        n->children_.clear();
        n->inputs_.clear();
        n->outputs_.clear();
    }
    world_->children_.clear();
}

Scene& Scene::current() {
    if (gCurrent) return *gCurrent;
    static Scene defaultScene;
    return defaultScene;
}

void Scene::setCurrent(Scene* scene) {
    gCurrent = scene;
}

void Scene::reset() {
    ++replaying_;  // nothing below is recorded
    std::vector<NodePtr> top;
    for (Node* c : world_->children_) top.push_back(c->ptr());
    for (auto& n : top)
        if (n->alive_) deleteOne(*n);
    std::vector<NodePtr> rest;
    for (auto& [serial, n] : nodes_) rest.push_back(n);
    for (auto& n : rest)
        if (n->alive_) deleteOne(*n);
    active_.clear();
    hilite_.clear();
    --replaying_;
    recordings_.clear();
}

void Scene::record(std::function<void()> undo, std::function<void()> redo) {
    if (replaying_ > 0 || recordings_.empty()) return;
    recordings_.back()->ops.emplace_back(std::move(undo), std::move(redo));
}

void Scene::recordCustom(std::function<void()> undo, std::function<void()> redo) {
    record(std::move(undo), std::move(redo));
}

void Scene::beginRecording() {
    recordings_.push_back(std::make_unique<Recording>());
}

std::unique_ptr<UndoEntry> Scene::endRecording(const std::string& description) {
    if (recordings_.empty()) return nullptr;
    std::unique_ptr<Recording> r = std::move(recordings_.back());
    recordings_.pop_back();
    if (!recordings_.empty()) {
        auto& outer = recordings_.back()->ops;
        outer.insert(outer.end(), r->ops.begin(), r->ops.end());
    }
    if (r->ops.empty()) return nullptr;
    return std::make_unique<JournalEntry>(*this, std::move(r->ops), description, &replaying_);
}

void Scene::rollback() {
    if (recordings_.empty()) return;
    std::unique_ptr<Recording> r = std::move(recordings_.back());
    recordings_.pop_back();
    ++replaying_;
    for (auto it = r->ops.rbegin(); it != r->ops.rend(); ++it) it->first();
    --replaying_;
}

Scene::Callback& Scene::newCallback(CallbackKind kind, Node* node) {
    auto c = std::make_unique<Callback>();
    c->id = nextCallbackId_++;
    c->kind = kind;
    if (node) {
        c->node = node->ptr();
        c->hasNode = true;
    }
    callbacks_.push_back(std::move(c));
    return *callbacks_.back();
}

GraphCallbackId Scene::addNodeAddedCallback(NodeCallback cb) {
    Callback& c = newCallback(kAdded);
    c.nodeFn = std::move(cb);
    return c.id;
}

GraphCallbackId Scene::addNodeRemovedCallback(NodeCallback cb) {
    Callback& c = newCallback(kRemoved);
    c.nodeFn = std::move(cb);
    return c.id;
}

GraphCallbackId Scene::addNodeDestroyedCallback(Node& node, BasicCallback cb) {
    Callback& c = newCallback(kDestroyed, &node);
    c.basicFn = std::move(cb);
    return c.id;
}

GraphCallbackId Scene::addDirtyPlugCallback(Node& node, PlugCallback cb) {
    Callback& c = newCallback(kDirty, &node);
    c.plugFn = std::move(cb);
    return c.id;
}

GraphCallbackId Scene::addAttributeChangedCallback(Node& node, PlugCallback cb) {
    Callback& c = newCallback(kAttrChanged, &node);
    c.plugFn = std::move(cb);
    return c.id;
}

GraphCallbackId Scene::addSelectionChangedCallback(BasicCallback cb) {
    Callback& c = newCallback(kSelection);
    c.basicFn = std::move(cb);
    return c.id;
}

bool Scene::removeCallback(GraphCallbackId id) {
    for (auto it = callbacks_.begin(); it != callbacks_.end(); ++it)
        if ((*it)->id == id) {
            callbacks_.erase(it);
            return true;
        }
    return false;
}

std::vector<GraphCallbackId> Scene::nodeCallbacks(const Node& node) const {
    std::vector<GraphCallbackId> ids;
    for (auto& c : callbacks_)
        if (c->hasNode && c->node.lock().get() == &node) ids.push_back(c->id);
    return ids;
}

// Callbacks may add or remove callbacks: collect the ids first, then look each up again before calling.
void Scene::fireNodeCallbacks(int kind, Node& node) {
    std::vector<GraphCallbackId> ids;
    for (auto& c : callbacks_)
        if (c->kind == kind && (!c->hasNode || c->node.lock().get() == &node)) ids.push_back(c->id);
    for (GraphCallbackId id : ids)
        for (auto& c : callbacks_)
            if (c->id == id) {
                if (kind == kDestroyed || kind == kSelection) {
                    BasicCallback fn = c->basicFn;
                    if (fn) fn();
                } else {
                    NodeCallback fn = c->nodeFn;
                    if (fn) fn(node);
                }
                break;
            }
}

void Scene::firePlugCallbacks(int kind, Node& node, const Plug& plug) {
    std::vector<GraphCallbackId> ids;
    for (auto& c : callbacks_)
        if (c->kind == kind && c->hasNode && c->node.lock().get() == &node) ids.push_back(c->id);
    for (GraphCallbackId id : ids)
        for (auto& c : callbacks_)
            if (c->id == id) {
                PlugCallback fn = c->plugFn;
                if (fn) fn(node, plug);
                break;
            }
}

// ---------------------------------------------------------------------------------------------------
// Nodes
// ---------------------------------------------------------------------------------------------------

NodePtr Scene::makeNode(const NodeTypePtr& type, bool world) {
    auto n = std::make_shared<Node>(*this, type, world ? 0 : nextSerial_++);
    n->isWorld_ = world;
    return n;
}

std::string Scene::shapeNameFor(const std::string& transformName) {
    std::string base = transformName, digits;
    while (!base.empty() && std::isdigit(static_cast<unsigned char>(base.back()))) {
        digits.insert(digits.begin(), base.back());
        base.pop_back();
    }
    return base + "Shape" + digits;
}

std::string Scene::uniqueName(const std::string& wanted) const {
    size_t hash = wanted.find('#');
    if (hash != std::string::npos) {
        size_t end = hash;
        while (end < wanted.size() && wanted[end] == '#') ++end;
        std::string pre = wanted.substr(0, hash), post = wanted.substr(end);
        for (long n = 1;; ++n) {
            std::string c = pre + std::to_string(n) + post;
            if (!nameTaken(c)) return c;
        }
    }
    if (!nameTaken(wanted)) return wanted;
    size_t d = wanted.size();
    while (d > 0 && std::isdigit(static_cast<unsigned char>(wanted[d - 1]))) --d;
    std::string base = wanted.substr(0, d);
    long n = 0;
    if (d < wanted.size()) {
        std::string digits = wanted.substr(d);
        n = digits.size() > 15 ? 0 : std::stol(digits);
    }
    for (++n;; ++n) {
        std::string c = base + std::to_string(n);
        if (!nameTaken(c)) return c;
    }
}

void Scene::setParentRaw(Node& node, Node* parent, int position) {
    if (node.parent_) {
        auto& sib = node.parent_->children_;
        sib.erase(std::remove(sib.begin(), sib.end(), &node), sib.end());
    }
    node.parent_ = parent;
    if (parent) {
        auto& sib = parent->children_;
        if (position < 0 || position > int(sib.size()))
            sib.push_back(&node);
        else
            sib.insert(sib.begin() + position, &node);
    }
}

void Scene::insertNode(const NodePtr& node, Node* parent, const std::string& name) {
    node->name_ = nameTaken(name) ? uniqueName(name) : name;
    node->alive_ = true;
    nodes_[node->serial_] = node;
    byName_[node->name_] = node.get();
    if (node->isDag()) setParentRaw(*node, parent ? parent : world_.get());
    if (node->behavior_) node->behavior_->addedToScene(*node);
    fireNodeCallbacks(kAdded, *node);
}

void Scene::detachNode(const NodePtr& node) {
    fireNodeCallbacks(kRemoved, *node);
    if (node->isDag()) setParentRaw(*node, nullptr);
    auto it = byName_.find(node->name_);
    if (it != byName_.end() && it->second == node.get()) byName_.erase(it);
    nodes_.erase(node->serial_);
    node->alive_ = false;
    if (node->behavior_) node->behavior_->removedFromScene(*node);
    fireNodeCallbacks(kDestroyed, *node);
}

void Scene::pruneSelections() {
    SelectionList a = active_, h = hilite_;
    a.prune();
    h.prune();
    if (!(a == active_)) setActiveSelection(a);
    if (!(h == hilite_)) setHiliteList(h);
}

NodePtr Scene::createNode(const std::string& typeName, const std::string& name, Node* parent,
                          std::string* error) {
    NodeTypePtr type = NodeTypeRegistry::instance().find(typeName);
    if (!type) {
        if (error) *error = "Unknown object type: " + typeName;
        return nullptr;
    }
    if (!name.empty() && !validName(name)) {
        if (error) *error = "Invalid name \"" + name + "\"";
        return nullptr;
    }
    if (type->isDag()) {
        if (parent && (!parent->alive() || &parent->scene() != this || !parent->isDag())) {
            if (error) *error = "Invalid parent for a DAG node";
            return nullptr;
        }
        if (parent && parent->isShape()) {
            if (error) *error = "A shape cannot have children: " + parent->name();
            return nullptr;
        }
        if (type->isShape() && (!parent || parent->isWorld())) {
            // A shape always lives under a transform: make one, named after the shape.
            std::string base = type->defaultName.empty() ? type->name() : type->defaultName;
            size_t s = base.rfind("Shape");
            std::string tname = s != std::string::npos && s > 0 ? base.substr(0, s) + "1" : "transform1";
            NodePtr t = createNode("transform", tname, nullptr, error);
            if (!t) return nullptr;
            parent = t.get();
        }
    } else {
        parent = nullptr;
    }
    std::string base = type->defaultName.empty() ? type->name() : type->defaultName;
    std::string wanted = name.empty() ? base + "1" : name;
    NodePtr node = makeNode(type, false);
    std::string given = uniqueName(wanted);
    insertNode(node, parent, given);
    if (node->behavior_) node->behavior_->postConstructor(*node);
    Node* p = node->parent_;
    // Undoing the creation takes the node out of the selections too (a selection made outside any
    // recording would otherwise keep naming a node that is gone).
    record(
        [this, node] {
            detachNode(node);
            pruneSelections();
        },
        [this, node, p, given] { insertNode(node, p && p->alive() ? p : nullptr, given); });
    return node;
}

void Scene::deleteOne(Node& node) {
    NodePtr self = node.ptr();
    std::vector<Node*> kids = node.children_;
    for (auto it = kids.rbegin(); it != kids.rend(); ++it)
        if ((*it)->alive_) deleteOne(**it);
    std::vector<Connection> conns = node.inputs_;
    conns.insert(conns.end(), node.outputs_.begin(), node.outputs_.end());
    for (auto& c : conns) disconnect(c.src, c.dst);
    // Leave the selections.
    auto prune = [&](const SelectionList& l) {
        SelectionList out;
        for (auto& it : l.items())
            if (it.node != self) out.add(it);
        return out;
    };
    SelectionList a = prune(active_), h = prune(hilite_);
    if (!(a == active_)) setActiveSelection(a);
    if (!(h == hilite_)) setHiliteList(h);
    Node* parent = node.parent_;
    int pos = -1;
    if (parent) {
        auto& sib = parent->children_;
        pos = int(std::find(sib.begin(), sib.end(), &node) - sib.begin());
    }
    std::string name = node.name_;
    detachNode(self);
    record(
        [this, self, parent, pos, name] {
            insertNode(self, nullptr, name);
            if (self->isDag() && parent) setParentRaw(*self, parent, pos);
        },
        [this, self] { detachNode(self); });
}

bool Scene::deleteNode(Node& node, std::string* error) {
    if (node.isWorld_ || &node.scene() != this) {
        if (error) *error = "Cannot delete the world";
        return false;
    }
    if (!node.alive_) {
        if (error) *error = "Node was already deleted";
        return false;
    }
    if (node.locked) {
        if (error) *error = "Cannot delete locked node '" + node.name_ + "'.";
        return false;
    }
    Node* parent = node.parent_;
    bool wasShape = node.isShape();
    deleteOne(node);
    if (wasShape && parent && !parent->isWorld_ && parent->alive_ && parent->children_.empty())
        deleteOne(*parent);
    return true;
}

bool Scene::deleteNodes(const std::vector<NodePtr>& nodes, std::string* error) {
    bool ok = true;
    for (auto& n : nodes)
        if (n && n->alive_) ok = deleteNode(*n, error) && ok;
    return ok;
}

std::string Scene::renameNode(Node& node, const std::string& newName, std::string* error) {
    if (node.isWorld_ || !node.alive_) {
        if (error) *error = "Cannot rename this node";
        return "";
    }
    if (!validName(newName)) {
        if (error) *error = "New name \"" + newName + "\" is not valid";
        return "";
    }
    if (node.locked) {
        if (error) *error = "Cannot rename locked node '" + node.name_ + "'.";
        return "";
    }
    if (newName == node.name_) return newName;
    std::string old = node.name_;
    byName_.erase(old);
    std::string given = uniqueName(newName);
    node.name_ = given;
    byName_[given] = &node;
    NodePtr self = node.ptr();
    auto apply = [this, self](const std::string& from, const std::string& to) {
        auto it = byName_.find(from);
        if (it != byName_.end() && it->second == self.get()) byName_.erase(it);
        self->name_ = to;
        byName_[to] = self.get();
    };
    record([apply, old, given] { apply(given, old); }, [apply, old, given] { apply(old, given); });
    return given;
}

bool Scene::reparentNode(Node& node, Node* newParent, std::string* error) {
    if (!node.isDag() || node.isWorld_ || !node.alive_) {
        if (error) *error = "Only DAG objects can be parented";
        return false;
    }
    if (!newParent) newParent = world_.get();
    if (!newParent->isDag() || !newParent->alive_ || newParent->isShape()) {
        if (error) *error = "Invalid parent: " + newParent->name();
        return false;
    }
    if (node.isShape() && newParent->isWorld_) {
        if (error) *error = "A shape must be parented under a transform";
        return false;
    }
    for (Node* p = newParent; p; p = p->parent_)
        if (p == &node) {
            if (error) *error = "Cannot parent '" + node.name_ + "' under itself or its descendant";
            return false;
        }
    if (node.parent_ == newParent) return true;
    Node* old = node.parent_;
    auto& sib = old->children_;
    int pos = int(std::find(sib.begin(), sib.end(), &node) - sib.begin());
    setParentRaw(node, newParent);
    NodePtr self = node.ptr();
    NodePtr np = newParent->isWorld_ ? world_ : newParent->ptr();
    NodePtr op = old->isWorld_ ? world_ : old->ptr();
    record(
        [this, self, op, pos] {
            setParentRaw(*self, op.get(), pos);
            propagateDirty(self->findPlug(attr::kParentMatrix));
        },
        [this, self, np] {
            setParentRaw(*self, np.get());
            propagateDirty(self->findPlug(attr::kParentMatrix));
        });
    propagateDirty(node.findPlug(attr::kParentMatrix));
    return true;
}

NodePtr Scene::find(const std::string& nameOrPath) const {
    if (nameOrPath.empty()) return nullptr;
    if (nameOrPath.find('|') == std::string::npos) {
        auto it = byName_.find(nameOrPath);
        return it == byName_.end() ? nullptr : it->second->ptr();
    }
    // Split the path into names; a leading '|' anchors it at the world.
    bool absolute = nameOrPath[0] == '|';
    std::vector<std::string> parts;
    size_t pos = absolute ? 1 : 0;
    while (pos <= nameOrPath.size()) {
        size_t bar = nameOrPath.find('|', pos);
        std::string part = nameOrPath.substr(pos, bar == std::string::npos ? std::string::npos : bar - pos);
        if (part.empty()) return nullptr;
        parts.push_back(part);
        if (bar == std::string::npos) break;
        pos = bar + 1;
    }
    auto it = byName_.find(parts.back());
    if (it == byName_.end()) return nullptr;
    Node* n = it->second;
    if (!n->isDag()) return nullptr;
    Node* cur = n;
    for (size_t i = parts.size(); i-- > 0;) {
        if (!cur || cur->isWorld_ || cur->name_ != parts[i]) return nullptr;
        cur = cur->parent_;
    }
    if (absolute && cur && !cur->isWorld_) return nullptr;
    return n->ptr();
}

std::vector<NodePtr> Scene::match(const std::string& pattern) const {
    std::vector<NodePtr> out;
    if (pattern.find_first_of("*?") == std::string::npos) {
        if (NodePtr n = find(pattern)) out.push_back(n);
        return out;
    }
    for (auto& [serial, n] : nodes_)
        if (wildcardMatch(pattern.c_str(), n->name_.c_str())) out.push_back(n);
    return out;
}

std::vector<NodePtr> Scene::nodes() const {
    std::vector<NodePtr> out;
    out.reserve(nodes_.size());
    for (auto& [serial, n] : nodes_) out.push_back(n);
    return out;
}

std::vector<NodePtr> Scene::nodesOfType(const std::string& typeName, bool exact) const {
    std::vector<NodePtr> out;
    for (auto& [serial, n] : nodes_)
        if (exact ? n->typeName() == typeName : n->type().isA(typeName)) out.push_back(n);
    return out;
}

std::vector<NodePtr> Scene::nodesWithFn(int fnKind) const {
    std::vector<NodePtr> out;
    for (auto& [serial, n] : nodes_)
        if (n->type().hasFn(fnKind)) out.push_back(n);
    return out;
}

// ---------------------------------------------------------------------------------------------------
// Dynamic attributes
// ---------------------------------------------------------------------------------------------------

namespace {
bool nameUsed(const Node& node, const Attribute& attr) {
    std::vector<const Attribute*> stack{&attr};
    while (!stack.empty()) {
        const Attribute* a = stack.back();
        stack.pop_back();
        if (node.findAttribute(a->longName()) || node.findAttribute(a->shortName())) return true;
        for (auto& c : a->children()) stack.push_back(c.get());
    }
    return false;
}
}  // namespace

bool Scene::addAttribute(Node& node, AttrPtr attr, std::string* error) {
    if (!attr || attr->parent() || !node.alive_) {
        if (error) *error = "Invalid attribute";
        return false;
    }
    if (attr->attached() || node.hasAttribute(attr.get())) {
        if (error) *error = "Attribute '" + attr->longName() + "' is already attached";
        return false;
    }
    if (nameUsed(node, *attr)) {
        if (error)
            *error = "Found attribute name '" + attr->longName() + "' already on node '" + node.name_ + "'";
        return false;
    }
    attr->dynamic = true;
    attr->setAttached(true);
    NodePtr self = node.ptr();
    node.dynamic_.push_back(attr);
    auto add = [self, attr] {
        attr->setAttached(true);
        self->dynamic_.push_back(attr);
    };
    auto remove = [self, attr] {
        auto& d = self->dynamic_;
        d.erase(std::remove(d.begin(), d.end(), attr), d.end());
        self->slots_.erase(attr.get());
        attr->setAttached(false);
    };
    record(remove, add);
    return true;
}

bool Scene::removeAttribute(Node& node, const Attribute* attr, std::string* error) {
    if (!attr || !node.isDynamic(attr) || attr->parent()) {
        if (error) *error = "Only dynamic attributes can be removed";
        return false;
    }
    AttrPtr a;
    size_t pos = 0;
    for (; pos < node.dynamic_.size(); ++pos)
        if (node.dynamic_[pos].get() == attr) {
            a = node.dynamic_[pos];
            break;
        }
    disconnectAll(Plug(node.ptr(), a));
    std::optional<PlugSlot> saved;
    auto it = node.slots_.find(attr);
    if (it != node.slots_.end()) {
        saved = it->second;
        node.slots_.erase(it);
    }
    node.dynamic_.erase(node.dynamic_.begin() + long(pos));
    a->setAttached(false);
    NodePtr self = node.ptr();
    record(
        [self, a, pos, saved] {
            auto& d = self->dynamic_;
            d.insert(d.begin() + long(std::min(pos, d.size())), a);
            a->setAttached(true);
            if (saved) self->slots_[a.get()] = *saved;
        },
        [self, a] {
            auto& d = self->dynamic_;
            d.erase(std::remove(d.begin(), d.end(), a), d.end());
            self->slots_.erase(a.get());
            a->setAttached(false);
        });
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Selections
// ---------------------------------------------------------------------------------------------------

void Scene::setActiveSelection(const SelectionList& list, ListAdjust adjust) {
    SelectionList next = active_;
    next.merge(list, adjust);
    next.prune();
    if (next == active_) return;
    SelectionList before = active_;
    active_ = next;
    record(
        [this, before] {
            active_ = before;
            fireNodeCallbacks(kSelection, *world_);
        },
        [this, next] {
            active_ = next;
            fireNodeCallbacks(kSelection, *world_);
        });
    fireNodeCallbacks(kSelection, *world_);
}

void Scene::setHiliteList(const SelectionList& list, ListAdjust adjust) {
    SelectionList next = hilite_;
    next.merge(list, adjust);
    next.prune();
    if (next == hilite_) return;
    SelectionList before = hilite_;
    hilite_ = next;
    record([this, before] { hilite_ = before; }, [this, next] { hilite_ = next; });
}

}  // namespace kxh
