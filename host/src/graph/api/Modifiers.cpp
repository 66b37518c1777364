// MDGModifier and MDagModifier: a queue of graph operations. Each operation runs inside its own journal
// recording, which gives an entry that undoes and redoes exactly what the operation did; undoIt and a later
// doIt replay those entries. Nodes created by the modifier exist from the createNode call on (so later
// operations and function sets can refer to them) but are only in the scene between doIt and undoIt.
#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MPlug.h>
#include <maya/MTypeId.h>

#include "graph/api/ApiObject.h"
#include "graph/api/Hooks.h"
#include "graph/core/Scene.h"

namespace kxh {

std::function<bool(const std::string&)> melExecutor;

namespace {
int preparing = 0;
}

bool modifierPreparing() {
    return preparing > 0;
}

class ModifierQueue {
public:
    struct Op {
        std::function<bool()> apply;  // null for operations whose entry was made when queued
        std::unique_ptr<UndoEntry> entry;
        bool applied = false;
    };

    void add(std::function<bool()> apply) {
        Op op;
        op.apply = std::move(apply);
        ops_.push_back(std::move(op));
    }

    // Runs `make` now, records it, and takes it back out of the scene until doIt.
    bool addPrepared(const std::function<bool()>& make) {
        Scene& scene = Scene::current();
        ++preparing;
        scene.beginRecording();
        bool ok = make();
        std::unique_ptr<UndoEntry> entry = scene.endRecording("modifier");
        if (entry) entry->undo();
        --preparing;
        if (!ok) return false;
        Op op;
        op.entry = std::move(entry);
        ops_.push_back(std::move(op));
        return true;
    }

    MStatus doIt() {
        Scene& scene = Scene::current();
        for (size_t i = 0; i < ops_.size(); ++i) {
            Op& op = ops_[i];
            if (op.applied) continue;
            if (op.entry) {
                op.entry->redo();
            } else if (op.apply) {
                scene.beginRecording();
                bool ok = op.apply();
                op.entry = scene.endRecording("modifier");
                if (!ok) {
                    // A failed operation leaves nothing behind and is dropped from the queue.
                    if (op.entry) op.entry->undo();
                    ops_.erase(ops_.begin() + static_cast<long>(i));
                    return MS::kFailure;
                }
            }
            op.applied = true;
        }
        return MS::kSuccess;
    }

    MStatus undoIt() {
        for (auto it = ops_.rbegin(); it != ops_.rend(); ++it) {
            if (!it->applied) continue;
            if (it->entry) it->entry->undo();
            it->applied = false;
        }
        return MS::kSuccess;
    }

private:
    std::vector<Op> ops_;
};

}  // namespace kxh

using namespace kxh;

namespace {

MObject prepareNode(ModifierQueue& queue, const std::string& type, Node* parent, bool allowDag, MStatus* st) {
    NodeTypePtr t = NodeTypeRegistry::instance().find(type);
    if (!t || (!allowDag && t->isDag())) {
        setStatus(st, MS::kInvalidParameter);
        return MObject();
    }
    NodePtr made, transform;
    bool ok = queue.addPrepared([&] {
        made = createNodeOfType(type, "", parent, &transform, nullptr);
        return made != nullptr;
    });
    setStatus(st, ok ? MS::kSuccess : MS::kFailure);
    if (!ok) return MObject();
    return wrapNode(transform ? transform : made);
}

}  // namespace

MDGModifier::MDGModifier() : queue_(new ModifierQueue) {}
MDGModifier::~MDGModifier() = default;

// Dependency nodes only: DAG nodes are made with MDagModifier.
MObject MDGModifier::createNode(const MString& type, MStatus* ReturnStatus) {
    return prepareNode(*queue_, type.str(), nullptr, false, ReturnStatus);
}
MObject MDGModifier::createNode(const MTypeId& typeId, MStatus* ReturnStatus) {
    return createNode(MString(typeNameOfId(typeId.id())), ReturnStatus);
}

MStatus MDGModifier::deleteNode(const MObject& node) {
    NodePtr n = nodeOf(node);
    if (!n) return MS::kInvalidParameter;
    queue_->add([n] { return n->alive() && n->scene().deleteNode(*n); });
    return MS::kSuccess;
}

MStatus MDGModifier::renameNode(const MObject& node, const MString& newName) {
    NodePtr n = nodeOf(node);
    if (!n || newName.length() == 0) return MS::kInvalidParameter;
    std::string name = newName.str();
    queue_->add([n, name] { return !n->scene().renameNode(*n, name).empty(); });
    return MS::kSuccess;
}

MStatus MDGModifier::connect(const MPlug& source, const MPlug& dest) {
    if (source.isNull() || dest.isNull()) return MS::kInvalidParameter;
    queue_->add([source, dest] {
        Plug s = corePlug(source), d = corePlug(dest);
        return !s.isNull() && !d.isNull() && s.node()->scene().connect(s, d);
    });
    return MS::kSuccess;
}

MStatus MDGModifier::connect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                             const MObject& destAttr) {
    return connect(MPlug(sourceNode, sourceAttr), MPlug(destNode, destAttr));
}

MStatus MDGModifier::disconnect(const MPlug& source, const MPlug& dest) {
    if (source.isNull() || dest.isNull()) return MS::kInvalidParameter;
    queue_->add([source, dest] {
        Plug s = corePlug(source), d = corePlug(dest);
        return !s.isNull() && !d.isNull() && s.node()->scene().disconnect(s, d);
    });
    return MS::kSuccess;
}

MStatus MDGModifier::disconnect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                                const MObject& destAttr) {
    return disconnect(MPlug(sourceNode, sourceAttr), MPlug(destNode, destAttr));
}

MStatus MDGModifier::addAttribute(const MObject& node, const MObject& attribute,
                                  MFnDependencyNode::MAttrClass type) {
    NodePtr n = nodeOf(node);
    AttrPtr a = attributeOf(attribute);
    if (!n || !a || type != MFnDependencyNode::kLocalDynamicAttr) return MS::kInvalidParameter;
    queue_->add([n, a] { return n->scene().addAttribute(*n, a); });
    return MS::kSuccess;
}

MStatus MDGModifier::removeAttribute(const MObject& node, const MObject& attribute,
                                     MFnDependencyNode::MAttrClass type) {
    NodePtr n = nodeOf(node);
    AttrPtr a = attributeOf(attribute);
    if (!n || !a || type != MFnDependencyNode::kLocalDynamicAttr) return MS::kInvalidParameter;
    queue_->add([n, a] { return n->scene().removeAttribute(*n, a.get()); });
    return MS::kSuccess;
}

namespace {
MStatus queueValue(ModifierQueue& queue, const MPlug& plug, Value v) {
    if (plug.isNull()) return MS::kInvalidParameter;
    queue.add([plug, v] {
        Plug p = corePlug(plug);
        return !p.isNull() && p.node()->scene().setValue(p, v);
    });
    return MS::kSuccess;
}
}  // namespace

MStatus MDGModifier::newPlugValue(const MPlug& plug, MObject& plugValue) {
    if (plugValue.isNull()) return MS::kInvalidParameter;
    return queueValue(*queue_, plug, valueOfObject(plugValue));
}
MStatus MDGModifier::newPlugValueBool(const MPlug& plug, bool v) {
    return queueValue(*queue_, plug, Value(v));
}
MStatus MDGModifier::newPlugValueChar(const MPlug& plug, char v) {
    return queueValue(*queue_, plug, Value(int(v)));
}
MStatus MDGModifier::newPlugValueDouble(const MPlug& plug, double v) {
    return queueValue(*queue_, plug, Value(v));
}
MStatus MDGModifier::newPlugValueFloat(const MPlug& plug, float v) {
    return queueValue(*queue_, plug, Value(v));
}
MStatus MDGModifier::newPlugValueInt(const MPlug& plug, int v) {
    return queueValue(*queue_, plug, Value(v));
}
MStatus MDGModifier::newPlugValueShort(const MPlug& plug, short v) {
    return queueValue(*queue_, plug, Value(int(v)));
}
MStatus MDGModifier::newPlugValueString(const MPlug& plug, const MString& v) {
    return queueValue(*queue_, plug, Value::string(v.str()));
}

MStatus MDGModifier::commandToExecute(const MString& command) {
    if (command.length() == 0) return MS::kInvalidParameter;
    std::string text = command.str();
    queue_->add([text] { return melExecutor && melExecutor(text); });
    return MS::kSuccess;
}

MStatus MDGModifier::doIt() {
    return queue_->doIt();
}
MStatus MDGModifier::undoIt() {
    return queue_->undoIt();
}

// --- MDagModifier ------------------------------------------------------------------------------------------

MDagModifier::MDagModifier() = default;
MDagModifier::~MDagModifier() = default;

MObject MDagModifier::createNode(const MString& type, const MObject& parent, MStatus* ReturnStatus) {
    Node* p = nullptr;
    if (!dagParentOf(parent, p)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    NodeTypePtr t = NodeTypeRegistry::instance().find(type.str());
    if (!t || !t->isDag()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    return prepareNode(*queue_, type.str(), p, true, ReturnStatus);
}

MObject MDagModifier::createNode(const MTypeId& typeId, const MObject& parent, MStatus* ReturnStatus) {
    return createNode(MString(typeNameOfId(typeId.id())), parent, ReturnStatus);
}

MStatus MDagModifier::reparentNode(const MObject& node, const MObject& newParent) {
    NodePtr n = nodeOf(node);
    NodePtr p = nodeOf(newParent);
    if (!n || !n->isDag() || (!newParent.isNull() && (!p || !p->isDag()))) return MS::kInvalidParameter;
    queue_->add([n, p] {
        Node* target = p && !p->isWorld() ? p.get() : nullptr;
        return n->scene().reparentNode(*n, target);
    });
    return MS::kSuccess;
}
