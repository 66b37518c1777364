// Plug values, connections, dirty propagation and pull evaluation.
#include <algorithm>
#include <atomic>
#include <set>

#include "graph/core/BuiltinTypes.h"
#include "graph/core/Scene.h"
#include "graph/core/ScenePoints.h"

namespace kxh {

namespace {

AttrPtr attrPtr(const Attribute* a) {
    return const_cast<Attribute*>(a)->shared_from_this();
}

// Plugs being computed right now, to cut evaluation cycles.
std::vector<Plug>& computeStack() {
    static std::vector<Plug> stack;
    return stack;
}

bool isDataAttr(const Attribute* a) {
    return a->holdsData();
}

// Whether a connection src -> dst may carry values between these attributes.
bool compatible(const Attribute* s, const Attribute* d) {
    if (s->isMessage()) return true;  // a message feeds anything; the destination keeps its value
    if (d->isMessage()) return false;
    if (s->isCompound() || d->isCompound()) {
        if (!s->isCompound() || !d->isCompound()) {
            // A numeric compound may feed a generic attribute that takes numbers, and the reverse.
            const Attribute* g = s->isCompound() ? d : s;
            return g->kind() == AttrKind::Generic;
        }
        if (s->children().size() != d->children().size()) return false;
        for (size_t i = 0; i < s->children().size(); ++i)
            if (!compatible(s->children()[i].get(), d->children()[i].get())) return false;
        return true;
    }
    if (s->isNumeric() && d->isNumeric()) return true;
    if (s->isNumeric() || d->isNumeric()) {
        const Attribute* other = s->isNumeric() ? d : s;
        return other->kind() == AttrKind::Generic;
    }
    if (isDataAttr(s) && isDataAttr(d)) {
        if (s->kind() == AttrKind::Generic || d->kind() == AttrKind::Generic) {
            if (s->kind() == AttrKind::Generic && d->kind() == AttrKind::Generic) return true;
            const Attribute* g = s->kind() == AttrKind::Generic ? s : d;
            const Attribute* t = s->kind() == AttrKind::Generic ? d : s;
            return g->acceptsData(t->dataKind());
        }
        return s->dataKind() == d->dataKind();
    }
    return false;
}

// Converts a value for storage in a plug of attribute `a`; false when it does not fit.
bool convertFor(const Attribute* a, const Value& v, Value& out) {
    switch (a->kind()) {
        case AttrKind::Numeric:
            if (!(v.isNumber() || (v.isNumbers() && v.asNumbers().size() == 1))) return false;
            out = Value(numericCoerce(a->numericType(), v.asDouble()));
            return true;
        case AttrKind::Compound: {
            if (!(v.isNumbers() || v.isNumber())) return false;
            size_t numeric = 0;
            for (auto& c : a->children())
                if (c->isNumeric() && !c->array) ++numeric;
            if (v.asNumbers().size() != numeric || numeric == 0) return false;
            out = v.isNumbers() ? v : Value(v.asNumbers());
            return true;
        }
        case AttrKind::Typed:
        case AttrKind::Matrix:
            if (v.isNone()) {
                out = v;
                return true;
            }
            if (a->kind() == AttrKind::Matrix && v.isNumbers() && v.asNumbers().size() == 16) {
                Matrix44 m;
                auto n = v.asNumbers();
                for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = n[size_t(i)];
                out = Value::matrix(m);
                return true;
            }
            if (!v.isData() || !a->acceptsData(v.dataKind())) return false;
            out = v;
            return true;
        case AttrKind::Generic:
            if (v.isData()) {
                if (!a->acceptsData(v.dataKind())) return false;
            } else if (!v.isNone() && !a->accepts().empty() && a->numericAccepts().empty()) {
                return false;
            }
            out = v;
            return true;
        case AttrKind::Message:
            return false;
    }
    return false;
}

// Marks a slot and everything below it dirty; notes whether anything was clean.
void dirtySubtree(PlugSlot& s, bool& wasClean) {
    if (!s.dirty) wasClean = true;
    s.dirty = true;
    for (auto& [a, c] : s.children) dirtySubtree(c, wasClean);
    for (auto& [i, e] : s.elements) dirtySubtree(e, wasClean);
}

// Walks the slots a (possibly partly unindexed) plug covers: unindexed arrays above the last level take
// every element. Ancestor slots on the way are marked dirty too (a parent's value includes its children).
void dirtyWalk(PlugSlot& s, const std::vector<const Attribute*>& chain, const std::vector<int>& idx, size_t i,
               bool& wasClean) {
    bool last = i + 1 == chain.size();
    PlugSlot* cur = &s;
    if (chain[i]->array) {
        if (idx[i] >= 0) {
            auto it = s.elements.find(idx[i]);
            if (it == s.elements.end()) return;
            cur = &it->second;
        } else if (!last) {
            if (!s.dirty) wasClean = true;
            s.dirty = true;
            for (auto& [k, e] : s.elements) {
                if (!e.dirty) wasClean = true;
                e.dirty = true;
                auto it = e.children.find(chain[i + 1]);
                if (it != e.children.end()) dirtyWalk(it->second, chain, idx, i + 1, wasClean);
            }
            return;
        }
    }
    if (last) {
        dirtySubtree(*cur, wasClean);
        if (cur != &s) {
            if (!s.dirty) wasClean = true;
            s.dirty = true;
        }
        return;
    }
    if (!cur->dirty) wasClean = true;
    cur->dirty = true;
    if (cur != &s) s.dirty = true;
    auto it = cur->children.find(chain[i + 1]);
    if (it != cur->children.end()) dirtyWalk(it->second, chain, idx, i + 1, wasClean);
}

}  // namespace

struct Scene::DirtyPass {
    std::set<Plug> visited;
    std::vector<Plug> notify;
};

// ---------------------------------------------------------------------------------------------------
// Slots
// ---------------------------------------------------------------------------------------------------

std::optional<PlugSlot> Scene::copySlot(const Plug& plug) const {
    const PlugSlot* s = plug.node()->slot(plug);
    if (!s) return std::nullopt;
    return *s;
}

void Scene::setSlotRaw(const Plug& plug, const std::optional<PlugSlot>& slot) {
    Node& n = *plug.node();
    if (slot) {
        if (PlugSlot* s = n.slotFor(plug, true)) *s = *slot;
        return;
    }
    // Erase the slot from its container.
    auto chain = plug.attribute()->chain();
    const auto& idx = plug.indices();
    if (chain.size() == 1 && !(chain[0]->array && idx[0] >= 0)) {
        n.slots_.erase(chain[0]);
        return;
    }
    if (plug.isElement()) {
        if (PlugSlot* arr = n.slotFor(plug.array(), false)) arr->elements.erase(idx.back());
        return;
    }
    Plug parent = plug.parent();
    if (PlugSlot* p = n.slotFor(parent, false)) p->children.erase(plug.attribute());
}

// ---------------------------------------------------------------------------------------------------
// Values
// ---------------------------------------------------------------------------------------------------

bool Scene::setValue(const Plug& plug, const Value& v, std::string* error, bool force) {
    if (plug.isNull() || !plug.node()->alive() || &plug.node()->scene() != this) {
        if (error) *error = "Invalid plug";
        return false;
    }
    Node& n = *plug.node();
    const Attribute* a = plug.attribute();
    if (plug.isArray() || !plug.isFullyIndexed()) {
        if (error) *error = "The attribute '" + plug.name() + "' is a multi; give an element index";
        return false;
    }
    if (!force && !a->writable) {
        if (error) *error = "The attribute '" + plug.name() + "' is not writable";
        return false;
    }
    if (!plug.effectiveSource().isNull() || !connectionsAt(plug, true, false, true).empty()) {
        if (error)
            *error = "The attribute '" + plug.name() + "' is locked or connected and cannot be modified.";
        return false;
    }
    Value stored;
    if (!convertFor(a, v, stored)) {
        if (error) *error = "Value does not fit the attribute '" + plug.name() + "'";
        return false;
    }
    std::optional<PlugSlot> before = copySlot(plug);
    PlugSlot* s = n.slotFor(plug, true);
    if (a->isCompound()) {
        auto nums = stored.asNumbers();
        size_t k = 0;
        for (auto& c : a->children()) {
            if (!c->isNumeric() || c->array) continue;
            PlugSlot& cs = s->children[c.get()];
            cs.value = Value(numericCoerce(c->numericType(), nums[k++]));
            cs.hasValue = true;
            cs.dirty = false;
        }
    } else {
        s->value = stored;
        s->hasValue = true;
    }
    s->dirty = false;
    std::optional<PlugSlot> after = copySlot(plug);
    record(
        [this, plug, before] {
            setSlotRaw(plug, before);
            propagateDirty(plug);
        },
        [this, plug, after] {
            setSlotRaw(plug, after);
            propagateDirty(plug);
        });
    propagateDirty(plug);
    // A value set on a computed plug stands until its inputs change.
    if (n.isComputed(a))
        if (PlugSlot* set = n.slotFor(plug, false)) set->dirty = false;
    firePlugCallbacks(kAttrChanged, n, plug);
    return true;
}

bool Scene::removeElement(const Plug& element, std::string* error) {
    if (!element.isElement() || !element.node()->alive()) {
        if (error) *error = "Not an array element";
        return false;
    }
    disconnectAll(element);
    std::optional<PlugSlot> before = copySlot(element);
    if (!before) return true;
    setSlotRaw(element, std::nullopt);
    record(
        [this, element, before] {
            setSlotRaw(element, before);
            propagateDirty(element);
        },
        [this, element] {
            setSlotRaw(element, std::nullopt);
            propagateDirty(element.array());
        });
    propagateDirty(element.array());
    return true;
}

Value Scene::evaluate(const Plug& plug) {
    if (plug.isNull() || !plug.node()->alive()) return {};
    Node& n = *plug.node();
    const Attribute* a = plug.attribute();
    if (plug.isArray() || !plug.isFullyIndexed()) return {};
    Plug src = plug.effectiveSource();
    if (!src.isNull()) {
        if (src.attribute()->isMessage() || a->isMessage()) return n.storedValue(plug);
        Value v = evaluate(src);
        if (a->isNumeric()) return Value(numericCoerce(a->numericType(), v.asDouble()));
        return v;
    }
    bool computed = n.isComputed(a);
    if (a->isNumericCompound() && !computed) {
        std::vector<double> t;
        for (unsigned i = 0; i < plug.numChildren(); ++i) t.push_back(evaluate(plug.child(i)).asDouble());
        return Value(t);
    }
    if (computed && n.isDirty(plug)) return evaluateLocal(plug);
    return n.storedValue(plug);
}

// Runs the node's compute for a dirty computed plug, then answers the stored value.
Value Scene::evaluateLocal(const Plug& plug) {
    Node& n = *plug.node();
    auto& stack = computeStack();
    if (std::find(stack.begin(), stack.end(), plug) != stack.end()) return n.storedValue(plug);
    NodePtr keep = n.ptr();
    stack.push_back(plug);
    ++evaluating_;
    ComputeStatus st = ComputeStatus::Unknown;
    if (NodeBehavior* b = n.behavior()) {
        st = b->compute(n, plug);
        for (Plug p = plug.parent(); st == ComputeStatus::Unknown && !p.isNull(); p = p.parent())
            st = b->compute(n, p);
        if (st == ComputeStatus::Unknown && plug.isElement()) st = b->compute(n, plug.array());
    }
    --evaluating_;
    stack.pop_back();
    if (n.alive()) n.setClean(plug);
    return n.storedValue(plug);
}

// ---------------------------------------------------------------------------------------------------
// Connections
// ---------------------------------------------------------------------------------------------------

void Scene::connectRaw(const Connection& c) {
    c.src.node()->outputs_.push_back(c);
    c.dst.node()->inputs_.push_back(c);
}

void Scene::disconnectRaw(const Connection& c) {
    auto& outs = c.src.node()->outputs_;
    outs.erase(std::remove(outs.begin(), outs.end(), c), outs.end());
    auto& ins = c.dst.node()->inputs_;
    ins.erase(std::remove(ins.begin(), ins.end(), c), ins.end());
}

std::vector<Connection> Scene::connections(const Node& node) const {
    std::vector<Connection> out = node.inputs_;
    out.insert(out.end(), node.outputs_.begin(), node.outputs_.end());
    return out;
}

std::vector<Connection> Scene::connectionsAt(const Plug& plug, bool asDst, bool asSrc, bool below) const {
    std::vector<Connection> out;
    if (plug.isNull()) return out;
    if (asDst)
        for (auto& c : plug.node()->inputs_)
            if (below ? plug.contains(c.dst) : c.dst == plug) out.push_back(c);
    if (asSrc)
        for (auto& c : plug.node()->outputs_)
            if (below ? plug.contains(c.src) : c.src == plug) out.push_back(c);
    return out;
}

bool Scene::connect(const Plug& src, const Plug& dst, std::string* error, bool force) {
    auto fail = [&](const std::string& m) {
        if (error) *error = m;
        return false;
    };
    if (src.isNull() || dst.isNull()) return fail("Invalid plug");
    if (!src.node()->alive() || !dst.node()->alive() || &src.node()->scene() != this ||
        &dst.node()->scene() != this)
        return fail("Invalid plug");
    if (src.node() == dst.node() && (src.contains(dst) || dst.contains(src)))
        return fail("Cannot connect '" + src.name() + "' to itself");
    const Attribute *sa = src.attribute(), *da = dst.attribute();
    if (!sa->connectable || !da->connectable) return fail("The attribute is not connectable");
    if (!sa->readable) return fail("The source attribute '" + src.name() + "' cannot be read");
    if (!da->writable) return fail("The destination attribute '" + dst.name() + "' cannot be written");
    if (src.isArray() != dst.isArray())
        return fail("The source attribute '" + src.name() + "' cannot be connected to '" + dst.name() +
                    "': array and non-array");
    if (!compatible(sa, da))
        return fail("The source attribute '" + src.name() + "' cannot be connected to '" + dst.name() + "'.");
    // Existing feeds of the destination: at the plug itself, above it or below it.
    std::vector<Connection> existing = connectionsAt(dst, true, false, true);
    for (auto& c : dst.node()->inputs_)
        if (c.dst.contains(dst) && !(c.dst == dst)) existing.push_back(c);
    for (auto& c : existing)
        if (c.dst == dst && c.src == src)
            return fail("'" + src.name() + "' is already connected to '" + dst.name() + "'.");
    if (!existing.empty()) {
        if (!force)
            return fail("'" + dst.name() + "' already has an incoming connection from '" +
                        existing[0].src.name() + "'.");
        for (auto& c : existing) disconnect(c.src, c.dst);
    }
    // Elements taking part in a connection exist.
    bool srcMade = false, dstMade = false;
    if (src.isFullyIndexed() && !src.node()->slot(src)) {
        src.node()->slotFor(src, true);
        srcMade = true;
    }
    if (dst.isFullyIndexed() && !dst.node()->slot(dst)) {
        dst.node()->slotFor(dst, true);
        dstMade = true;
    }
    Connection c{src, dst};
    connectRaw(c);
    record(
        [this, c, srcMade, dstMade] {
            disconnectRaw(c);
            if (dstMade) setSlotRaw(c.dst, std::nullopt);
            if (srcMade) setSlotRaw(c.src, std::nullopt);
            propagateDirty(c.dst);
        },
        [this, c] {
            if (c.src.isFullyIndexed()) c.src.node()->slotFor(c.src, true);
            if (c.dst.isFullyIndexed()) c.dst.node()->slotFor(c.dst, true);
            connectRaw(c);
            propagateDirty(c.dst);
        });
    propagateDirty(dst);
    return true;
}

bool Scene::disconnect(const Plug& src, const Plug& dst, std::string* error) {
    Connection c{src, dst};
    if (src.isNull() || dst.isNull()) {
        if (error) *error = "Invalid plug";
        return false;
    }
    auto& ins = dst.node()->inputs_;
    if (std::find(ins.begin(), ins.end(), c) == ins.end()) {
        if (error)
            *error = "There is no connection from '" + src.name() + "' to '" + dst.name() + "' to disconnect";
        return false;
    }
    // Undo puts the connection back at its place in both lists, so connection order survives undo.
    auto& outs = src.node()->outputs_;
    const size_t inAt = size_t(std::find(ins.begin(), ins.end(), c) - ins.begin());
    const size_t outAt = size_t(std::find(outs.begin(), outs.end(), c) - outs.begin());
    disconnectRaw(c);
    record(
        [this, c, inAt, outAt] {
            auto& i = c.dst.node()->inputs_;
            auto& o = c.src.node()->outputs_;
            i.insert(i.begin() + std::ptrdiff_t(std::min(inAt, i.size())), c);
            o.insert(o.begin() + std::ptrdiff_t(std::min(outAt, o.size())), c);
            propagateDirty(c.dst);
        },
        [this, c] {
            disconnectRaw(c);
            propagateDirty(c.dst);
        });
    propagateDirty(dst);
    return true;
}

void Scene::disconnectAll(const Plug& plug) {
    if (plug.isNull()) return;
    for (auto& c : connectionsAt(plug, true, true, true)) disconnect(c.src, c.dst);
}

// ---------------------------------------------------------------------------------------------------
// Dirty propagation
// ---------------------------------------------------------------------------------------------------

namespace {
std::atomic<std::uint64_t> gGraphGeneration{1};
}  // namespace

std::uint64_t sceneGraphGeneration() {
    return gGraphGeneration.load(std::memory_order_relaxed);
}

void Scene::propagateDirty(const Plug& plug) {
    gGraphGeneration.fetch_add(1, std::memory_order_relaxed);
    if (plug.isNull() || !plug.node()->alive()) return;
    if (auto* mesh = dynamic_cast<MeshBehavior*>(plug.node()->behavior())) mesh->plugChanged(plug);
    DirtyPass pass;
    markDirty(pass, plug, true);
    for (auto& p : pass.notify)
        if (p.node()->alive()) firePlugCallbacks(kDirty, *p.node(), p);
}

void Scene::markDirty(DirtyPass& pass, const Plug& plug, bool changedHere) {
    if (plug.isNull() || !plug.node()->alive()) return;
    if (!pass.visited.insert(plug).second) return;
    Node& n = *plug.node();
    const Attribute* a = plug.attribute();
    if (n.isComputed(a)) {
        bool wasClean = false;
        auto chain = a->chain();
        auto it = n.slots_.find(chain[0]);
        if (it != n.slots_.end()) dirtyWalk(it->second, chain, plug.indices(), 0, wasClean);
        // Already dirty (or never computed): everything below is dirty too.
        if (!changedHere && !wasClean) return;
    }
    pass.notify.push_back(plug);

    // Inside the node: what this attribute, its ancestors and its descendants affect.
    std::vector<const Attribute*> sources;
    for (const Attribute* x = a; x; x = x->parent()) sources.push_back(x);
    std::vector<const Attribute*> stack(a->children().size());
    for (size_t i = 0; i < a->children().size(); ++i) stack[i] = a->children()[i].get();
    while (!stack.empty()) {
        const Attribute* x = stack.back();
        stack.pop_back();
        sources.push_back(x);
        for (auto& c : x->children()) stack.push_back(c.get());
    }
    auto myChain = a->chain();
    for (const Attribute* x : sources)
        for (const Attribute* t : n.affectedBy(x)) {
            auto tChain = t->chain();
            std::vector<int> idx(tChain.size(), -1);
            for (size_t i = 0; i < tChain.size() && i < myChain.size() && tChain[i] == myChain[i]; ++i)
                idx[i] = plug.indices()[i];
            markDirty(pass, Plug(n.ptr(), attrPtr(t), idx), false);
        }

    // Downstream through connections.
    std::vector<Connection> outs = n.outputs_;
    for (auto& c : outs) {
        if (c.src.contains(plug))
            markDirty(pass, c.dst.mapFrom(c.src, plug), false);
        else if (plug.contains(c.src))
            markDirty(pass, c.dst, false);
    }

    // Down the DAG: a node's world matrix feeds its children's parent matrix.
    if (n.isDag() && a->longName() == attr::kWorldMatrix && !a->dynamic)
        for (Node* child : n.children_) {
            Plug pm = child->findPlug(attr::kParentMatrix);
            if (!pm.isNull()) markDirty(pass, pm, false);
        }
}

}  // namespace kxh
