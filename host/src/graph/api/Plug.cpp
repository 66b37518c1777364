// MPlug over the graph's plugs. Reads evaluate (pull connected sources, run computes); writes go through
// the scene (journal, dirty propagation, callbacks).
#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

#include "graph/api/ApiObject.h"
#include "graph/core/Scene.h"

using namespace kxh;

namespace {

Plug core(const MPlug& p, MStatus* st = nullptr) {
    Plug c = corePlug(p);
    setStatus(st, c.isNull() ? MS::kFailure : MS::kSuccess);
    return c;
}

MStatus setCore(const MPlug& p, const Value& v) {
    Plug c = corePlug(p);
    if (c.isNull()) return MS::kFailure;
    if (!c.isFullyIndexed() || c.isArray()) return MS::kInvalidParameter;
    return c.node()->scene().setValue(c, v) ? MS::kSuccess : MS::kFailure;
}

// A numeric read: fails for plugs that hold no number.
MStatus readNumber(const MPlug& p, double& out) {
    Plug c = corePlug(p);
    if (c.isNull() || c.isArray()) return MS::kFailure;
    Value v = c.value();
    if (!v.isNumber() && !v.isNumbers()) return MS::kFailure;
    out = v.asDouble();
    return MS::kSuccess;
}

}  // namespace

MPlug::MPlug() = default;
MPlug::MPlug(const MPlug& in) = default;
MPlug::MPlug(const MObject& node, const MObject& attribute) : node_(node), attr_(attribute) {
    if (AttrPtr a = attributeOf(attr_)) indices_.assign(a->chain().size(), -1);
}
MPlug::MPlug(const MObject& node, const MObject& attribute, std::vector<int> indices)
    : node_(node), attr_(attribute), indices_(std::move(indices)) {}
MPlug::~MPlug() = default;
MPlug& MPlug::operator=(const MPlug& other) = default;

MStatus MPlug::setAttribute(MObject& attribute) {
    AttrPtr a = attributeOf(attribute);
    if (!a) return MS::kInvalidParameter;
    attr_ = attribute;
    indices_.assign(a->chain().size(), -1);
    return MS::kSuccess;
}

MObject MPlug::attribute(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, attr_.isNull() ? MS::kFailure : MS::kSuccess);
    return attr_;
}

MObject MPlug::node(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, node_.isNull() ? MS::kFailure : MS::kSuccess);
    return node_;
}

// "node.attr[3].child" with long attribute names.
MString MPlug::name(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    return c.isNull() ? MString() : MString(c.name(true));
}

// The attribute part, short names unless asked; only the plug's own attribute unless the full path is asked
// for or an ancestor carries an index (those indices are part of the name).
MString MPlug::partialName(bool includeNodeName, bool, bool, bool, bool useFullAttributePath,
                           bool useLongNames, MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    if (c.isNull()) return MString();
    bool ancestorIndexed = false;
    for (size_t i = 0; i + 1 < c.indices().size(); ++i) ancestorIndexed |= c.indices()[i] >= 0;
    std::string path;
    if (useFullAttributePath || ancestorIndexed) {
        path = c.attributePath(useLongNames);
    } else {
        const Attribute* a = c.attribute();
        path = useLongNames ? a->longName() : a->shortName();
        if (!c.indices().empty() && c.indices().back() >= 0)
            path += "[" + std::to_string(c.indices().back()) + "]";
    }
    if (includeNodeName) path = c.node()->name() + "." + path;
    return MString(path);
}

MString MPlug::info(MStatus* ReturnStatus) const {
    return name(ReturnStatus);
}

bool MPlug::isNull(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return node_.isNull() || attr_.isNull();
}
bool MPlug::isNetworked(MStatus* ReturnStatus) const {
    return isConnected(ReturnStatus);
}
bool MPlug::isArray(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    return !c.isNull() && c.isArray();
}
bool MPlug::isElement(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    return !c.isNull() && c.isElement();
}
bool MPlug::isCompound(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    return !c.isNull() && c.isCompound();
}
bool MPlug::isChild(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    return !c.isNull() && c.isChild();
}
bool MPlug::isDynamic(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    return !c.isNull() && c.node()->isDynamic(c.attribute()->root());
}
bool MPlug::isKeyable(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    return !c.isNull() && c.attribute()->keyable;
}
bool MPlug::isLocked(MStatus* ReturnStatus) const {
    core(*this, ReturnStatus);
    return false;
}
// Attribute locking is not modelled: plugs are never locked.
MStatus MPlug::setLocked(bool) {
    return isNull() ? MS::kFailure : MS::kSuccess;
}
bool MPlug::isConnected(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    return !c.isNull() && c.isConnected();
}
bool MPlug::isSource(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    return !c.isNull() && c.isSource();
}
bool MPlug::isDestination(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    return !c.isNull() && c.isDestination();
}
bool MPlug::isFromReferencedFile(MStatus* ReturnStatus) const {
    core(*this, ReturnStatus);
    return false;
}

unsigned int MPlug::logicalIndex(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    if (c.isNull() || !c.isElement()) {
        setStatus(ReturnStatus, MS::kFailure);
        return 0;
    }
    return static_cast<unsigned int>(c.logicalIndex());
}

// Chooses the element of an array ancestor (the plug's own attribute when `attribute` is null).
MStatus MPlug::selectAncestorLogicalIndex(unsigned int index, const MObject& attribute) {
    Plug c = corePlug(*this);
    if (c.isNull()) return MS::kFailure;
    auto chain = c.attribute()->chain();
    AttrPtr target = attributeOf(attribute);
    for (size_t i = chain.size(); i-- > 0;) {
        bool match = target ? chain[i] == target.get() : i + 1 == chain.size();
        if (!match) continue;
        if (!chain[i]->array) return MS::kInvalidParameter;
        indices_.resize(chain.size(), -1);
        indices_[i] = static_cast<int>(index);
        return MS::kSuccess;
    }
    return MS::kInvalidParameter;
}

unsigned int MPlug::getExistingArrayAttributeIndices(MIntArray& indices, MStatus* ReturnStatus) {
    indices.clear();
    Plug c = core(*this, ReturnStatus);
    if (c.isNull() || !c.isArray()) {
        setStatus(ReturnStatus, MS::kFailure);
        return 0;
    }
    for (int i : c.existingLogicalIndices()) indices.append(i);
    return indices.length();
}

unsigned int MPlug::numElements(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    if (c.isNull() || !c.isArray()) {
        setStatus(ReturnStatus, MS::kFailure);
        return 0;
    }
    return c.numElements();
}
unsigned int MPlug::evaluateNumElements(MStatus* ReturnStatus) {
    return numElements(ReturnStatus);
}

unsigned int MPlug::numChildren(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    return c.isNull() ? 0 : c.numChildren();
}

unsigned int MPlug::numConnectedElements(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    if (c.isNull() || !c.isArray()) return 0;
    unsigned n = 0;
    for (int i : c.existingLogicalIndices())
        if (c.elementByLogicalIndex(i).isConnected()) ++n;
    return n;
}

unsigned int MPlug::numConnectedChildren(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    if (c.isNull()) return 0;
    unsigned n = 0;
    for (unsigned i = 0; i < c.numChildren(); ++i)
        if (c.child(i).isConnected()) ++n;
    return n;
}

MPlug MPlug::child(MObject& attr, MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    AttrPtr a = attributeOf(attr);
    if (c.isNull() || !a || c.attribute()->childIndex(a.get()) < 0) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MPlug();
    }
    return apiPlug(c.child(a.get()));
}

MPlug MPlug::child(unsigned int index, MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    if (c.isNull() || index >= c.numChildren()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MPlug();
    }
    return apiPlug(c.child(index));
}

MPlug MPlug::parent(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    Plug p = c.isNull() ? Plug() : c.parent();
    if (p.isNull()) setStatus(ReturnStatus, MS::kInvalidParameter);
    return apiPlug(p);
}

MPlug MPlug::array(MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    Plug p = c.isNull() ? Plug() : c.array();
    if (p.isNull()) setStatus(ReturnStatus, MS::kInvalidParameter);
    return apiPlug(p);
}

// The element is created when it does not exist yet (as the host does), so that it counts in numElements
// and physical indexing. Elements of computed arrays come into being when their node computes them.
MPlug MPlug::elementByLogicalIndex(unsigned int logicalIndex, MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    if (c.isNull() || !c.isArray()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MPlug();
    }
    Plug e = c.elementByLogicalIndex(logicalIndex);
    if (!e.isNull() && e.isFullyIndexed() && !c.node()->slot(e) && !c.node()->isComputed(e.attribute()))
        c.node()->setClean(e);
    return apiPlug(e);
}

MPlug MPlug::elementByPhysicalIndex(unsigned int physicalIndex, MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    Plug e = c.isNull() || !c.isArray() ? Plug() : c.elementByPhysicalIndex(physicalIndex);
    if (e.isNull()) setStatus(ReturnStatus, MS::kInvalidParameter);
    return apiPlug(e);
}

MPlug MPlug::connectionByPhysicalIndex(unsigned int physicalIndex, MStatus* ReturnStatus) const {
    Plug c = core(*this, ReturnStatus);
    if (c.isNull() || !c.isArray()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MPlug();
    }
    unsigned n = 0;
    for (int i : c.existingLogicalIndices()) {
        Plug e = c.elementByLogicalIndex(i);
        if (!e.isConnected()) continue;
        if (n++ == physicalIndex) return apiPlug(e);
    }
    setStatus(ReturnStatus, MS::kInvalidParameter);
    return MPlug();
}

MPlug MPlug::operator[](MObject& attr) const {
    return child(attr);
}
MPlug MPlug::operator[](unsigned int physicalIndex) const {
    return elementByPhysicalIndex(physicalIndex);
}

// asDst: the plugs feeding this one; asSrc: the plugs this one feeds.
bool MPlug::connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus) const {
    array.clear();
    Plug c = core(*this, ReturnStatus);
    if (c.isNull()) return false;
    for (const Connection& k : c.node()->scene().connectionsAt(c, asDst, asSrc)) {
        if (asDst && k.dst == c) array.append(apiPlug(k.src));
        if (asSrc && k.src == c) array.append(apiPlug(k.dst));
    }
    return array.length() > 0;
}

// --- values ------------------------------------------------------------------------------------------------

// A data plug that holds nothing reads as a null object (with success).
MStatus MPlug::getValue(MObject& val, MDGContext&) const {
    Plug c = corePlug(*this);
    if (c.isNull() || c.isArray()) return MS::kFailure;
    val = objectOfValue(c.value(), c.attribute());
    return MS::kSuccess;
}

MStatus MPlug::getValue(double& val, MDGContext&) const {
    return readNumber(*this, val);
}
MStatus MPlug::getValue(float& val, MDGContext&) const {
    double d;
    MStatus st = readNumber(*this, d);
    if (st) val = static_cast<float>(d);
    return st;
}
MStatus MPlug::getValue(int& val, MDGContext&) const {
    double d;
    MStatus st = readNumber(*this, d);
    if (st) val = static_cast<int>(d);
    return st;
}
MStatus MPlug::getValue(short& val, MDGContext&) const {
    double d;
    MStatus st = readNumber(*this, d);
    if (st) val = static_cast<short>(d);
    return st;
}
MStatus MPlug::getValue(bool& val, MDGContext&) const {
    double d;
    MStatus st = readNumber(*this, d);
    if (st) val = d != 0.0;
    return st;
}
MStatus MPlug::getValue(char& val, MDGContext&) const {
    double d;
    MStatus st = readNumber(*this, d);
    if (st) val = static_cast<char>(d);
    return st;
}

MStatus MPlug::getValue(MString& val, MDGContext&) const {
    Plug c = corePlug(*this);
    if (c.isNull() || c.isArray()) return MS::kFailure;
    Value v = c.value();
    if (v.dataKind() == DataKind::String || v.isNone()) {
        val = MString(v.asString());
        return MS::kSuccess;
    }
    return MS::kFailure;
}

MStatus MPlug::setValue(MObject& val) {
    if (val.isNull()) return MS::kInvalidParameter;
    return setCore(*this, valueOfObject(val));
}
MStatus MPlug::setValue(double val) {
    return setCore(*this, Value(val));
}
MStatus MPlug::setValue(float val) {
    return setCore(*this, Value(val));
}
MStatus MPlug::setValue(int val) {
    return setCore(*this, Value(val));
}
MStatus MPlug::setValue(short val) {
    return setCore(*this, Value(int(val)));
}
MStatus MPlug::setValue(bool val) {
    return setCore(*this, Value(val));
}
MStatus MPlug::setValue(char val) {
    return setCore(*this, Value(int(val)));
}
MStatus MPlug::setValue(const MString& val) {
    return setCore(*this, Value::string(val.str()));
}
MStatus MPlug::setValue(const char* val) {
    return setCore(*this, Value::string(val ? val : ""));
}

namespace {
template <class T>
T readAs(const MPlug& p, MStatus* st) {
    T v{};
    MStatus s = p.getValue(v);
    setStatus(st, s);
    return v;
}
}  // namespace

bool MPlug::asBool(MDGContext&, MStatus* ReturnStatus) const {
    return readAs<bool>(*this, ReturnStatus);
}
int MPlug::asInt(MDGContext&, MStatus* ReturnStatus) const {
    return readAs<int>(*this, ReturnStatus);
}
short MPlug::asShort(MDGContext&, MStatus* ReturnStatus) const {
    return readAs<short>(*this, ReturnStatus);
}
char MPlug::asChar(MDGContext&, MStatus* ReturnStatus) const {
    return readAs<char>(*this, ReturnStatus);
}
float MPlug::asFloat(MDGContext&, MStatus* ReturnStatus) const {
    return readAs<float>(*this, ReturnStatus);
}
double MPlug::asDouble(MDGContext&, MStatus* ReturnStatus) const {
    return readAs<double>(*this, ReturnStatus);
}
MString MPlug::asString(MDGContext&, MStatus* ReturnStatus) const {
    return readAs<MString>(*this, ReturnStatus);
}
MObject MPlug::asMObject(MDGContext&, MStatus* ReturnStatus) const {
    return readAs<MObject>(*this, ReturnStatus);
}

MStatus MPlug::setBool(bool val) {
    return setValue(val);
}
MStatus MPlug::setInt(int val) {
    return setValue(val);
}
MStatus MPlug::setShort(short val) {
    return setValue(val);
}
MStatus MPlug::setChar(char val) {
    return setValue(val);
}
MStatus MPlug::setFloat(float val) {
    return setValue(val);
}
MStatus MPlug::setDouble(double val) {
    return setValue(val);
}
MStatus MPlug::setString(const MString& val) {
    return setValue(val);
}
MStatus MPlug::setMObject(MObject& val) {
    return setValue(val);
}

bool MPlug::operator==(const MPlug& other) const {
    return node_ == other.node_ && attr_ == other.attr_ && corePlug(*this) == corePlug(other);
}
bool MPlug::operator==(const MObject& other) const {
    return attr_ == other;
}
bool MPlug::operator!=(const MPlug& other) const {
    return !(*this == other);
}
bool MPlug::operator!=(const MObject& other) const {
    return !(*this == other);
}
