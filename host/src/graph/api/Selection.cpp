// MSelectionList, MItSelectionList and MItDependencyNodes. A list holds the graph's selection items (a node,
// optionally with mesh component ids); items added as plugs remember the plug too. Strings are read and
// printed the way MEL names objects: "pCube1", "|pCube1|pCubeShape1", "pCube1.vtx[3:5]", "pCube1.e[*]",
// "node.attr".
#include <maya/MDagPath.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MItSelectionList.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <cstdlib>

#include "graph/api/ApiObject.h"
#include "graph/core/Scene.h"
#include "graph/core/Selection.h"

namespace kxh {

struct SelectionListData {
    std::vector<SelectionItem> items;
    std::vector<MPlug> plugs;  // parallel to items where known; a null plug for non-plug items

    MPlug plugAt(size_t i) const { return i < plugs.size() ? plugs[i] : MPlug(); }
    void push(const SelectionItem& item, const MPlug& plug = MPlug()) {
        plugs.resize(items.size());
        items.push_back(item);
        plugs.push_back(plug);
    }
    // Replaces the items by those of a graph selection list (plugs are not kept through merges).
    void assign(const SelectionList& list) {
        items = list.items();
        plugs.clear();
    }
    SelectionList asList() const {
        SelectionList l;
        for (const SelectionItem& it : items) l.add(it);
        return l;
    }
};

}  // namespace kxh

using namespace kxh;

namespace {

// The shape that carries a component named on a transform ("pCube1.vtx[3]" is a vertex of pCubeShape1).
Node* componentOwner(Node& n) {
    if (n.isShape()) return &n;
    return n.shape();
}

// The number of elements of a kind on a mesh shape ("vtx[*]").
int elementCountOf(Node& shape, ComponentKind kind) {
    MeshPtr m = shape.scene().shapeMesh(shape);
    if (!m) return 0;
    switch (kind) {
        case ComponentKind::Vertex:
            return m->numVertices();
        case ComponentKind::Edge:
            return m->numEdges();
        case ComponentKind::Face:
            return m->numFaces();
        case ComponentKind::Uv:
            return m->uvSets.empty()
                       ? 0
                       : int(m->uvSets[std::min<size_t>(m->currentUvSet, m->uvSets.size() - 1)].u.size());
        default:
            return 0;
    }
}

bool parseIndex(const std::string& s, int& out) {
    if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::atoi(s.c_str());
    return true;
}

// Reads "vtx[3]", "vtx[3:5]", "e[*]", "f", "map[0:7]". Returns false when the text names no component kind.
// `ok` turns false when the kind is known but the index part is malformed.
bool parseComponent(const std::string& rest, ComponentKind& kind, bool& all, std::vector<int>& ids,
                    bool& ok) {
    ok = true;
    all = false;
    ids.clear();
    size_t br = rest.find('[');
    std::string token = rest.substr(0, br);
    if (token == "vtx")
        kind = ComponentKind::Vertex;
    else if (token == "e")
        kind = ComponentKind::Edge;
    else if (token == "f")
        kind = ComponentKind::Face;
    else if (token == "map")
        kind = ComponentKind::Uv;
    else
        return false;
    if (br == std::string::npos) {
        all = true;
        return true;
    }
    if (rest.back() != ']' || rest.find('[', br + 1) != std::string::npos) {
        ok = false;
        return true;
    }
    std::string inner = rest.substr(br + 1, rest.size() - br - 2);
    if (inner == "*") {
        all = true;
        return true;
    }
    size_t colon = inner.find(':');
    int a = 0, b = 0;
    if (colon == std::string::npos) {
        ok = parseIndex(inner, a);
        b = a;
    } else {
        ok = parseIndex(inner.substr(0, colon), a) && parseIndex(inner.substr(colon + 1), b) && a <= b;
    }
    if (ok)
        for (int i = a; i <= b; ++i) ids.push_back(i);
    return true;
}

// The first '.' outside brackets splits the node part from the rest.
void splitName(const std::string& text, std::string& node, std::string& rest) {
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '[') ++depth;
        if (text[i] == ']') --depth;
        if (text[i] == '.' && depth == 0) {
            node = text.substr(0, i);
            rest = text.substr(i + 1);
            return;
        }
    }
    node = text;
    rest.clear();
}

// The name an item prints under: a component of a transform's only shape is named on the transform.
std::string itemNodeName(const SelectionItem& item) {
    Node* n = item.node.get();
    if (item.hasComponents() && n->isShape() && n->parent() && !n->parent()->isWorld() &&
        n->parent()->shape() == n)
        return n->parent()->name();
    return n->name();
}

std::vector<std::string> itemStrings(const SelectionItem& item, const MPlug& plug) {
    if (!plug.isNull()) return {plug.name().str()};
    if (!item.hasComponents()) return {item.node->name()};
    std::vector<std::string> out;
    std::string prefix = itemNodeName(item) + "." + componentKindName(item.kind) + "[";
    const std::vector<int>& ids = item.ids;
    for (size_t i = 0; i < ids.size();) {
        size_t j = i;
        while (j + 1 < ids.size() && ids[j + 1] == ids[j] + 1) ++j;
        std::string range = std::to_string(ids[i]);
        if (j > i) range += ":" + std::to_string(ids[j]);
        out.push_back(prefix + range + "]");
        i = j + 1;
    }
    return out;
}

SelectionItem itemOf(const NodePtr& node, const MObject& component) {
    SelectionItem item{node, ComponentKind::None, {}};
    if (ComponentObject* c = componentOf(component)) {
        item.kind = componentKindOf(c->type);
        item.ids = c->sortedIds();
    }
    return item;
}

ListAdjust adjustOf(MSelectionList::MergeStrategy s) {
    switch (s) {
        case MSelectionList::kXORWithList:
            return ListAdjust::Toggle;
        case MSelectionList::kRemoveFromList:
            return ListAdjust::Remove;
        default:
            return ListAdjust::Add;
    }
}

}  // namespace

MSelectionList::MSelectionList() : data_(new SelectionListData) {}
MSelectionList::MSelectionList(const MSelectionList& src) : data_(new SelectionListData(*src.data_)) {}
MSelectionList::~MSelectionList() = default;
MSelectionList& MSelectionList::operator=(const MSelectionList& other) {
    *data_ = *other.data_;
    return *this;
}

const std::vector<SelectionItem>& MSelectionList::items() const {
    return data_->items;
}
std::vector<SelectionItem>& MSelectionList::items() {
    return data_->items;
}

MStatus MSelectionList::clear() {
    data_->items.clear();
    data_->plugs.clear();
    return MS::kSuccess;
}

bool MSelectionList::isEmpty(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return data_->items.empty();
}

unsigned int MSelectionList::length(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return static_cast<unsigned int>(data_->items.size());
}

MStatus MSelectionList::getDependNode(unsigned int index, MObject& depNode) const {
    if (index >= data_->items.size()) return MS::kInvalidParameter;
    depNode = wrapNode(data_->items[index].node);
    return MS::kSuccess;
}

// The component argument is written only when the caller passed one (not the shared null default).
MStatus MSelectionList::getDagPath(unsigned int index, MDagPath& dagPath, MObject& component) const {
    if (index >= data_->items.size()) return MS::kInvalidParameter;
    const SelectionItem& item = data_->items[index];
    if (!item.node || !item.node->isDag()) return MS::kInvalidParameter;
    dagPath = pathTo(*item.node);
    if (&component != &MObject::kNullObj)
        component = item.hasComponents() ? wrapComponent(item.kind, item.ids) : MObject();
    return MS::kSuccess;
}

MStatus MSelectionList::getPlug(unsigned int index, MPlug& plug) const {
    if (index >= data_->items.size()) return MS::kInvalidParameter;
    MPlug p = data_->plugAt(index);
    if (p.isNull()) return MS::kFailure;
    plug = p;
    return MS::kSuccess;
}

MStatus MSelectionList::add(const MObject& object, const bool mergeWithExisting) {
    NodePtr n = nodeOf(object);
    if (!n) return MS::kInvalidParameter;
    if (mergeWithExisting) return merge(pathTo(*n), MObject(), kMergeNormal);
    data_->push(SelectionItem{n, ComponentKind::None, {}});
    return MS::kSuccess;
}

MStatus MSelectionList::add(const MDagPath& object, const MObject& component, const bool mergeWithExisting) {
    NodePtr n = nodeOf(object.node());
    if (!n) return MS::kInvalidParameter;
    if (!component.isNull() && !componentOf(component)) return MS::kInvalidParameter;
    if (mergeWithExisting) return merge(object, component, kMergeNormal);
    data_->push(itemOf(n, component));
    return MS::kSuccess;
}

MStatus MSelectionList::add(const MPlug& plug, const bool) {
    NodePtr n = nodeOf(plug.node());
    if (!n || plug.isNull()) return MS::kInvalidParameter;
    data_->push(SelectionItem{n, ComponentKind::None, {}}, plug);
    return MS::kSuccess;
}

// Names, paths, wildcard patterns, components ("pCube1.vtx[3:5]", "pCube1.e[*]", "pCube1.f") and plugs
// ("pCube1.translateX"). Fails when nothing matches or a component's index part is malformed.
MStatus MSelectionList::add(const MString& matchString, const bool) {
    std::string nodePart, rest;
    splitName(matchString.str(), nodePart, rest);
    if (nodePart.empty()) return MS::kInvalidParameter;
    Scene& scene = Scene::current();
    std::vector<NodePtr> nodes;
    if (nodePart.find_first_of("*?") != std::string::npos) {
        nodes = scene.match(nodePart);
    } else if (NodePtr n = scene.find(nodePart)) {
        nodes.push_back(n);
    }
    if (nodes.empty()) return MS::kInvalidParameter;

    if (rest.empty()) {
        for (const NodePtr& n : nodes) data_->push(SelectionItem{n, ComponentKind::None, {}});
        return MS::kSuccess;
    }
    ComponentKind kind = ComponentKind::None;
    bool all = false, ok = true;
    std::vector<int> ids;
    if (parseComponent(rest, kind, all, ids, ok)) {
        if (!ok) return MS::kInvalidParameter;
        bool added = false;
        for (const NodePtr& n : nodes) {
            Node* owner = componentOwner(*n);
            if (!owner) continue;
            std::vector<int> these = ids;
            if (all) {
                these.resize(elementCountOf(*owner, kind));
                for (size_t i = 0; i < these.size(); ++i) these[i] = int(i);
            }
            if (these.empty()) continue;
            SelectionItem item{owner->ptr(), kind, idsNormalize(these)};
            SelectionList merged = data_->asList();
            merged.add(item);
            data_->assign(merged);
            added = true;
        }
        return added ? MS::kSuccess : MS::kInvalidParameter;
    }
    bool added = false;
    for (const NodePtr& n : nodes) {
        Plug p = n->findPlug(rest);
        if (p.isNull()) continue;
        data_->push(SelectionItem{n, ComponentKind::None, {}}, apiPlug(p));
        added = true;
    }
    return added ? MS::kSuccess : MS::kInvalidParameter;
}

MStatus MSelectionList::remove(unsigned int index) {
    if (index >= data_->items.size()) return MS::kInvalidParameter;
    data_->items.erase(data_->items.begin() + index);
    if (index < data_->plugs.size()) data_->plugs.erase(data_->plugs.begin() + index);
    return MS::kSuccess;
}

MStatus MSelectionList::replace(unsigned int index, const MObject& item) {
    NodePtr n = nodeOf(item);
    if (index >= data_->items.size() || !n) return MS::kInvalidParameter;
    data_->items[index] = SelectionItem{n, ComponentKind::None, {}};
    if (index < data_->plugs.size()) data_->plugs[index] = MPlug();
    return MS::kSuccess;
}

MStatus MSelectionList::replace(unsigned int index, const MDagPath& item, const MObject& component) {
    NodePtr n = nodeOf(item.node());
    if (index >= data_->items.size() || !n) return MS::kInvalidParameter;
    data_->items[index] = itemOf(n, component);
    if (index < data_->plugs.size()) data_->plugs[index] = MPlug();
    return MS::kSuccess;
}

MStatus MSelectionList::replace(unsigned int index, const MPlug& plug) {
    NodePtr n = nodeOf(plug.node());
    if (index >= data_->items.size() || !n) return MS::kInvalidParameter;
    data_->items[index] = SelectionItem{n, ComponentKind::None, {}};
    data_->plugs.resize(data_->items.size());
    data_->plugs[index] = plug;
    return MS::kSuccess;
}

bool MSelectionList::hasItem(const MObject& item, MStatus* ReturnStatus) const {
    NodePtr n = nodeOf(item);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kInvalidParameter);
    return n && data_->asList().has(SelectionItem{n, ComponentKind::None, {}});
}

// With a component: every element of it is on the list; without: the whole object is.
bool MSelectionList::hasItem(const MDagPath& item, const MObject& component, MStatus* ReturnStatus) const {
    NodePtr n = nodeOf(item.node());
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kInvalidParameter);
    return n && data_->asList().has(itemOf(n, component));
}

bool MSelectionList::hasItem(const MPlug& plug, MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    for (size_t i = 0; i < data_->items.size(); ++i)
        if (!plug.isNull() && data_->plugAt(i) == plug) return true;
    return false;
}

bool MSelectionList::hasItemPartly(const MDagPath& item, const MObject& component,
                                   MStatus* ReturnStatus) const {
    NodePtr n = nodeOf(item.node());
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kInvalidParameter);
    return n && data_->asList().hasPartly(itemOf(n, component));
}

MStatus MSelectionList::toggle(const MDagPath& item, const MObject& component) {
    return merge(item, component, kXORWithList);
}

// kMergeNormal adds (component ids merge into the item of the same node and kind), kXORWithList toggles
// each element, kRemoveFromList removes.
MStatus MSelectionList::merge(const MSelectionList& other, const MergeStrategy strategy) {
    SelectionList mine = data_->asList();
    mine.merge(other.data_->asList(), adjustOf(strategy));
    data_->assign(mine);
    return MS::kSuccess;
}

MStatus MSelectionList::merge(const MDagPath& object, const MObject& component,
                              const MergeStrategy strategy) {
    NodePtr n = nodeOf(object.node());
    if (!n) return MS::kInvalidParameter;
    SelectionList one;
    one.add(itemOf(n, component));
    SelectionList mine = data_->asList();
    mine.merge(one, adjustOf(strategy));
    data_->assign(mine);
    return MS::kSuccess;
}

MStatus MSelectionList::getSelectionStrings(MStringArray& array) const {
    array.clear();
    for (size_t i = 0; i < data_->items.size(); ++i)
        for (const std::string& s : itemStrings(data_->items[i], data_->plugAt(i))) array.append(MString(s));
    return MS::kSuccess;
}

MStatus MSelectionList::getSelectionStrings(unsigned int index, MStringArray& array) const {
    array.clear();
    if (index >= data_->items.size()) return MS::kInvalidParameter;
    for (const std::string& s : itemStrings(data_->items[index], data_->plugAt(index)))
        array.append(MString(s));
    return MS::kSuccess;
}

// --- MItSelectionList --------------------------------------------------------------------------------------

MItSelectionList::MItSelectionList(const MSelectionList& list, MFn::Type filter, MStatus* ReturnStatus)
    : list_(list), filter_(filter) {
    skipToMatch();
    setStatus(ReturnStatus, MS::kSuccess);
}
MItSelectionList::~MItSelectionList() = default;

bool MItSelectionList::matches(unsigned int index) const {
    if (filter_ == MFn::kInvalid) return true;
    const SelectionItem& item = list_.items()[index];
    if (!item.node) return false;
    MObject node = wrapNode(item.node);
    if (node.hasFn(filter_)) return true;
    if (item.hasComponents() && apiTypeIsA(componentApiType(item.kind), filter_)) return true;
    if (item.node->isTransform()) {
        Node* s = item.node->shape();
        if (s && wrapNode(s).hasFn(filter_)) return true;
    }
    return false;
}

void MItSelectionList::skipToMatch() {
    while (index_ < list_.length() && !matches(index_)) ++index_;
}

bool MItSelectionList::isDone(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return index_ >= list_.length();
}

MStatus MItSelectionList::next() {
    if (index_ < list_.length()) ++index_;
    skipToMatch();
    return MS::kSuccess;
}

MStatus MItSelectionList::reset() {
    index_ = 0;
    skipToMatch();
    return MS::kSuccess;
}

MStatus MItSelectionList::setFilter(MFn::Type filter) {
    filter_ = filter;
    return reset();
}

MStatus MItSelectionList::getDependNode(MObject& depNode) {
    return list_.getDependNode(index_, depNode);
}

MStatus MItSelectionList::getDagPath(MDagPath& dagPath, MObject& component) {
    MObject comp;
    MStatus st = list_.getDagPath(index_, dagPath, comp);
    if (st && &component != &MObject::kNullObj) component = comp;
    return st;
}

MStatus MItSelectionList::getDagPath(MDagPath& dagPath) {
    return list_.getDagPath(index_, dagPath);
}
MStatus MItSelectionList::getPlug(MPlug& plug) const {
    return list_.getPlug(index_, plug);
}
MStatus MItSelectionList::getStrings(MStringArray& array) const {
    return list_.getSelectionStrings(index_, array);
}

MItSelectionList::selItemType MItSelectionList::itemType(MStatus* ReturnStatus) {
    if (index_ >= list_.length()) {
        setStatus(ReturnStatus, MS::kFailure);
        return kUnknownItem;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    MPlug p;
    if (list_.getPlug(index_, p)) return kPlugSelectionItem;
    const SelectionItem& item = list_.items()[index_];
    return item.node && item.node->isDag() ? kDagSelectionItem : kDNselectionItem;
}

bool MItSelectionList::hasComponents(MStatus* ReturnStatus) const {
    if (index_ >= list_.length()) {
        setStatus(ReturnStatus, MS::kFailure);
        return false;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return list_.items()[index_].hasComponents();
}

// --- MItDependencyNodes ------------------------------------------------------------------------------------

MItDependencyNodes::MItDependencyNodes(MFn::Type filter, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, reset(filter));
}
MItDependencyNodes::~MItDependencyNodes() = default;

// A snapshot of the scene's nodes (in creation order) taken now.
MStatus MItDependencyNodes::reset(MFn::Type filter) {
    nodes_.clear();
    index_ = 0;
    for (const NodePtr& n : Scene::current().nodes()) {
        MObject o = wrapNode(n);
        if (filter == MFn::kInvalid || o.hasFn(filter)) nodes_.push_back(o);
    }
    return MS::kSuccess;
}

bool MItDependencyNodes::isDone(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return index_ >= nodes_.size();
}

MStatus MItDependencyNodes::next() {
    if (index_ < nodes_.size()) ++index_;
    return MS::kSuccess;
}

MObject MItDependencyNodes::item(MStatus* ReturnStatus) const {
    if (index_ >= nodes_.size()) {
        setStatus(ReturnStatus, MS::kFailure);
        return MObject();
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return nodes_[index_];
}

MObject MItDependencyNodes::thisNode(MStatus* ReturnStatus) const {
    return item(ReturnStatus);
}
