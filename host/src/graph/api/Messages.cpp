// MMessage and its subclasses. Node and graph callbacks are registered with the scene; event and scene
// message callbacks are kept here and fired by the layers that know when the events happen.
#include "graph/api/Messages.h"

#include <maya/MDGMessage.h>
#include <maya/MEventMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlug.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <map>
#include <vector>

#include "graph/api/ApiObject.h"
#include "graph/api/Hooks.h"
#include "graph/core/Scene.h"

namespace kxh {

namespace {

struct CallbackRecord {
    std::function<void()> remove;
    std::weak_ptr<Node> node;
};

struct EventCallback {
    MCallbackId id;
    std::string event;
    MMessage::MBasicFunction func;
    void* clientData;
};

struct SceneCallback {
    MCallbackId id;
    MSceneMessage::Message message;
    MMessage::MBasicFunction func;
    void* clientData;
};

struct Registry {
    std::map<MCallbackId, CallbackRecord> records;
    MCallbackId nextId = 1;
    MCallbackId current = 0;
    std::vector<EventCallback> events;
    std::vector<SceneCallback> sceneCallbacks;
    std::vector<std::string> eventNames = {"SelectionChanged",
                                           "SelectTypeChanged",
                                           "SelectModeChanged",
                                           "SelectPriorityChanged",
                                           "ActiveViewChanged",
                                           "ToolChanged",
                                           "PostToolChanged",
                                           "timeChanged",
                                           "idle",
                                           "idleHigh",
                                           "Undo",
                                           "Redo",
                                           "NewSceneOpened",
                                           "SceneOpened",
                                           "SceneSaved",
                                           "DagObjectCreated",
                                           "NameChanged",
                                           "linearUnitChanged",
                                           "angularUnitChanged",
                                           "modelEditorChanged",
                                           "ModelPanelSetFocus",
                                           "quitApplication",
                                           "deleteAll",
                                           "DisplayRGBColorChanged"};
    GraphCallbackId selectionHook = 0;
    Scene* selectionHookScene = nullptr;
};

Registry& registry() {
    static Registry r;
    return r;
}

// Selection changes of the scene become "SelectionChanged" events once someone listens for them.
void ensureSelectionHook() {
    Registry& r = registry();
    Scene& scene = Scene::current();
    if (r.selectionHook && r.selectionHookScene == &scene) return;
    r.selectionHook = scene.addSelectionChangedCallback([] { fireEvent("SelectionChanged"); });
    r.selectionHookScene = &scene;
}

}  // namespace

MCallbackId addCallbackRecord(std::function<void()> remove, const NodePtr& node) {
    Registry& r = registry();
    MCallbackId id = r.nextId++;
    r.records[id] = CallbackRecord{std::move(remove), node};
    return id;
}

CurrentCallbackScope::CurrentCallbackScope(MCallbackId id) : previous_(registry().current) {
    registry().current = id;
}
CurrentCallbackScope::~CurrentCallbackScope() {
    registry().current = previous_;
}

void fireEvent(const std::string& name) {
    Registry& r = registry();
    if (std::find(r.eventNames.begin(), r.eventNames.end(), name) == r.eventNames.end())
        r.eventNames.push_back(name);
    // A copy: callbacks may add or remove callbacks.
    std::vector<EventCallback> due;
    for (const EventCallback& e : r.events)
        if (e.event == name) due.push_back(e);
    for (const EventCallback& e : due) {
        bool still = std::any_of(r.events.begin(), r.events.end(),
                                 [&](const EventCallback& x) { return x.id == e.id; });
        if (!still) continue;
        CurrentCallbackScope scope(e.id);
        e.func(e.clientData);
    }
}

void fireSceneMessage(MSceneMessage::Message message) {
    Registry& r = registry();
    std::vector<SceneCallback> due;
    for (const SceneCallback& s : r.sceneCallbacks)
        if (s.message == message) due.push_back(s);
    for (const SceneCallback& s : due) {
        bool still = std::any_of(r.sceneCallbacks.begin(), r.sceneCallbacks.end(),
                                 [&](const SceneCallback& x) { return x.id == s.id; });
        if (!still) continue;
        CurrentCallbackScope scope(s.id);
        s.func(s.clientData);
    }
}

}  // namespace kxh

using namespace kxh;

// --- MMessage ----------------------------------------------------------------------------------------------

MStatus MMessage::removeCallback(MCallbackId id) {
    Registry& r = registry();
    auto it = r.records.find(id);
    if (it == r.records.end()) return MS::kFailure;
    std::function<void()> remove = std::move(it->second.remove);
    r.records.erase(it);
    if (remove) remove();
    return MS::kSuccess;
}

MStatus MMessage::removeCallbacks(MCallbackIdArray& ids) {
    MStatus result = MS::kSuccess;
    for (unsigned i = 0; i < ids.length(); ++i)
        if (!removeCallback(ids[i])) result = MS::kFailure;
    return result;
}

MCallbackId MMessage::currentCallbackId(MStatus* ReturnStatus) {
    MCallbackId id = registry().current;
    setStatus(ReturnStatus, id ? MS::kSuccess : MS::kFailure);
    return id;
}

MStatus MMessage::nodeCallbacks(MObject& node, MCallbackIdArray& ids) {
    ids.clear();
    NodePtr n = nodeOf(node);
    if (!n) return MS::kInvalidParameter;
    for (const auto& rec : registry().records)
        if (rec.second.node.lock() == n) ids.append(rec.first);
    return MS::kSuccess;
}

// --- MNodeMessage ------------------------------------------------------------------------------------------

namespace {

// Registers a scene callback on a node and gives it an API id; the id is also current while it runs.
template <class AddFn>
MCallbackId addNodeCallback(MObject& node, MStatus* st, AddFn add) {
    NodePtr n = nodeOf(node);
    if (!n) {
        setStatus(st, MS::kInvalidParameter);
        return 0;
    }
    Scene* scene = &n->scene();
    auto id = std::make_shared<MCallbackId>(0);
    GraphCallbackId coreId = add(*n, id);
    *id = addCallbackRecord([scene, coreId] { scene->removeCallback(coreId); }, n);
    setStatus(st, MS::kSuccess);
    return *id;
}

}  // namespace

// Fires for each plug of the node that is set or made dirty.
MCallbackId MNodeMessage::addNodeDirtyPlugCallback(MObject& node, MMessage::MNodePlugFunction func,
                                                   void* clientData, MStatus* ReturnStatus) {
    if (!func) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return 0;
    }
    return addNodeCallback(node, ReturnStatus, [&](Node& n, std::shared_ptr<MCallbackId> id) {
        return n.scene().addDirtyPlugCallback(n, [func, clientData, id](Node& target, const Plug& plug) {
            CurrentCallbackScope scope(*id);
            MObject o = wrapNode(&target);
            MPlug p = apiPlug(plug);
            func(o, p, clientData);
        });
    });
}

// Fires when the node leaves the scene (deleted, or its creation undone).
MCallbackId MNodeMessage::addNodeDestroyedCallback(MObject& node, MMessage::MBasicFunction func,
                                                   void* clientData, MStatus* ReturnStatus) {
    if (!func) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return 0;
    }
    return addNodeCallback(node, ReturnStatus, [&](Node& n, std::shared_ptr<MCallbackId> id) {
        return n.scene().addNodeDestroyedCallback(n, [func, clientData, id] {
            CurrentCallbackScope scope(*id);
            func(clientData);
        });
    });
}

// Fires with kAttributeSet after a plug of the node is set; the other plug is null.
MCallbackId MNodeMessage::addAttributeChangedCallback(MObject& node, MAttr2PlugFunction func,
                                                      void* clientData, MStatus* ReturnStatus) {
    if (!func) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return 0;
    }
    return addNodeCallback(node, ReturnStatus, [&](Node& n, std::shared_ptr<MCallbackId> id) {
        return n.scene().addAttributeChangedCallback(n, [func, clientData, id](Node&, const Plug& plug) {
            CurrentCallbackScope scope(*id);
            MPlug p = apiPlug(plug);
            MPlug other;
            func(kAttributeSet, p, other, clientData);
        });
    });
}

// Renames are not reported by the graph: registration fails.
MCallbackId MNodeMessage::addNameChangedCallback(MObject&, MMessage::MNodeStringFunction, void*,
                                                 MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kNotImplemented);
    return 0;
}

// --- MEventMessage -----------------------------------------------------------------------------------------

MCallbackId MEventMessage::addEventCallback(const MString& event, MMessage::MBasicFunction func,
                                            void* clientData, MStatus* ReturnStatus) {
    Registry& r = registry();
    std::string name = event.str();
    if (!func || std::find(r.eventNames.begin(), r.eventNames.end(), name) == r.eventNames.end()) {
        setStatus(ReturnStatus, MS::kFailure);
        return 0;
    }
    if (name == "SelectionChanged") ensureSelectionHook();
    MCallbackId id = addCallbackRecord([id = r.nextId] {
        auto& ev = registry().events;
        ev.erase(std::remove_if(ev.begin(), ev.end(), [id](const EventCallback& e) { return e.id == id; }),
                 ev.end());
    });
    r.events.push_back(EventCallback{id, name, func, clientData});
    setStatus(ReturnStatus, MS::kSuccess);
    return id;
}

void MEventMessage::getEventNames(MStringArray& names) {
    names.clear();
    for (const std::string& n : registry().eventNames) names.append(MString(n));
}

// --- MSceneMessage -----------------------------------------------------------------------------------------

MCallbackId MSceneMessage::addCallback(Message msg, MMessage::MBasicFunction func, void* clientData,
                                       MStatus* ReturnStatus) {
    Registry& r = registry();
    if (!func || msg < kSceneUpdate || msg >= kLast) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return 0;
    }
    MCallbackId id = addCallbackRecord([id = r.nextId] {
        auto& sc = registry().sceneCallbacks;
        sc.erase(std::remove_if(sc.begin(), sc.end(), [id](const SceneCallback& s) { return s.id == id; }),
                 sc.end());
    });
    r.sceneCallbacks.push_back(SceneCallback{id, msg, func, clientData});
    setStatus(ReturnStatus, MS::kSuccess);
    return id;
}

// --- MDGMessage --------------------------------------------------------------------------------------------

namespace {
MCallbackId addGraphNodeCallback(bool added, MMessage::MNodeFunction func, const MString& nodeType,
                                 void* clientData, MStatus* st) {
    if (!func) {
        setStatus(st, MS::kInvalidParameter);
        return 0;
    }
    Scene* scene = &Scene::current();
    std::string type = nodeType.str();
    auto id = std::make_shared<MCallbackId>(0);
    auto cb = [func, clientData, type, id](Node& n) {
        if (modifierPreparing() || (!type.empty() && !n.type().isA(type))) return;
        CurrentCallbackScope scope(*id);
        MObject o = wrapNode(&n);
        func(o, clientData);
    };
    GraphCallbackId coreId = added ? scene->addNodeAddedCallback(cb) : scene->addNodeRemovedCallback(cb);
    *id = addCallbackRecord([scene, coreId] { scene->removeCallback(coreId); });
    setStatus(st, MS::kSuccess);
    return *id;
}
}  // namespace

MCallbackId MDGMessage::addNodeAddedCallback(MMessage::MNodeFunction func, const MString& nodeType,
                                             void* clientData, MStatus* ReturnStatus) {
    return addGraphNodeCallback(true, func, nodeType, clientData, ReturnStatus);
}

MCallbackId MDGMessage::addNodeRemovedCallback(MMessage::MNodeFunction func, const MString& nodeType,
                                               void* clientData, MStatus* ReturnStatus) {
    return addGraphNodeCallback(false, func, nodeType, clientData, ReturnStatus);
}
