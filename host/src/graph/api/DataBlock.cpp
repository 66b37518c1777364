// MDataBlock, MDataHandle, MArrayDataHandle and MArrayDataBuilder: what a plug-in node's compute sees.
//
// A handle keeps the value it was opened on plus a typed scratch copy, because the API hands out references
// (asFloat() = 2.0f writes through). An output handle stores its value in the node when set() is called,
// and again when the handle (or its plug) is set clean or compute returns, picking up any write made through
// a reference or through a data object obtained from data().
#include <maya/MArrayDataBuilder.h>
#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MVector.h>

#include <cstring>
#include <map>

#include "graph/api/ApiObject.h"
#include "graph/api/DataBlockState.h"
#include "graph/core/Scene.h"

namespace kxh {

namespace {

template <class T, size_t N>
void fill(T (&dst)[N], const std::vector<double>& n) {
    for (size_t i = 0; i < N; ++i) dst[i] = static_cast<T>(i < n.size() ? n[i] : 0.0);
}

template <class T, size_t N>
bool same(const T (&a)[N], const T (&b)[N]) {
    return std::memcmp(a, b, sizeof(a)) == 0;
}

template <class T, size_t N>
std::vector<double> numbers(const T (&a)[N]) {
    std::vector<double> out;
    for (size_t i = 0; i < N; ++i) out.push_back(static_cast<double>(a[i]));
    return out;
}

}  // namespace

void HandleScratch::load(const Value& v) {
    std::vector<double> n = v.asNumbers();
    double first = n.empty() ? 0.0 : n[0];
    b = first != 0.0;
    c = static_cast<char>(first);
    uc = static_cast<unsigned char>(first);
    s = static_cast<short>(first);
    i = static_cast<int>(first);
    f = static_cast<float>(first);
    d = first;
    fill(s2, n);
    fill(i2, n);
    fill(f2, n);
    fill(d2, n);
    fill(s3, n);
    fill(i3, n);
    fill(f3, n);
    fill(d3, n);
    v3 = MVector(d3[0], d3[1], d3[2]);
    fv = MFloatVector(f3[0], f3[1], f3[2]);
    m = v.dataKind() == DataKind::Matrix ? toMMatrix(v.asMatrix()) : MMatrix();
    str = MString(v.asString());
}

// The value written through a reference, if any: the first field that differs from `before`.
bool HandleScratch::changedValue(const HandleScratch& before, const Attribute* attr, Value& out) const {
    if (!same(d3, before.d3)) return out = Value(numbers(d3)), true;
    if (!same(f3, before.f3)) return out = Value(numbers(f3)), true;
    if (!same(i3, before.i3)) return out = Value(numbers(i3)), true;
    if (!same(s3, before.s3)) return out = Value(numbers(s3)), true;
    if (!(v3 == before.v3)) return out = Value(std::vector<double>{v3.x, v3.y, v3.z}), true;
    if (!(fv == before.fv)) return out = Value(std::vector<double>{fv.x, fv.y, fv.z}), true;
    if (!same(d2, before.d2)) return out = Value(numbers(d2)), true;
    if (!same(f2, before.f2)) return out = Value(numbers(f2)), true;
    if (!same(i2, before.i2)) return out = Value(numbers(i2)), true;
    if (!same(s2, before.s2)) return out = Value(numbers(s2)), true;
    if (d != before.d) return out = Value(d), true;
    if (f != before.f) return out = Value(f), true;
    if (i != before.i) return out = Value(i), true;
    if (s != before.s) return out = Value(int(s)), true;
    if (c != before.c) return out = Value(int(c)), true;
    if (uc != before.uc) return out = Value(int(uc)), true;
    if (b != before.b) return out = Value(b), true;
    if (!(m == before.m)) return out = Value::matrix(fromMMatrix(m)), true;
    if (!(str == before.str)) return out = Value::string(str.str()), true;
    (void)attr;
    return false;
}

void DataHandleState::load(const Value& v) {
    value = v;
    scratch.load(v);
    snapshot = scratch;
    dataObject = MObject();
}

void DataHandleState::assign(const Value& v) {
    load(v);
    if (output && !plug.isNull()) plug.node()->setComputed(plug, v);
}

void DataHandleState::commit() {
    if (!output || plug.isNull()) return;
    Value v = value;
    bool changed = scratch.changedValue(snapshot, plug.attribute(), v);
    if (DataObject* d = dataObjectOf(dataObject)) {
        if (d->data != value.data()) {
            v = Value(d->data);
            changed = true;
        }
    }
    if (!changed) return;
    MObject keep = dataObject;
    value = v;
    scratch.load(v);
    snapshot = scratch;
    dataObject = keep;
    plug.node()->setComputed(plug, v);
}

std::shared_ptr<DataHandleState> DataBlockState::open(const Plug& plug, bool output) {
    auto h = std::make_shared<DataHandleState>();
    h->plug = plug;
    h->output = output;
    if (!plug.isNull() && !plug.isArray())
        h->load(output ? plug.node()->storedValue(plug) : plug.node()->scene().evaluate(plug));
    if (output) handles.push_back(h);
    return h;
}

void DataBlockState::commitAll() {
    for (auto& h : handles) h->commit();
}

void DataBlockState::commitPlug(const Plug& plug) {
    for (auto& h : handles)
        if (h->plug == plug) h->commit();
}

}  // namespace kxh

using namespace kxh;

namespace {

Plug plugOfAttr(DataBlockState& block, const MObject& attribute) {
    AttrPtr a = attributeOf(attribute);
    if (!a || !block.node || !block.node->hasAttribute(a.get())) return Plug();
    return Plug(block.node, a);
}

HandleScratch& scratchOf(const std::shared_ptr<DataHandleState>& s) {
    static thread_local HandleScratch empty;
    return s ? s->scratch : (empty = HandleScratch());
}

}  // namespace

// --- MDataHandle -------------------------------------------------------------------------------------------

MDataHandle::MDataHandle() = default;
MDataHandle::MDataHandle(const MDataHandle& other) = default;
MDataHandle::~MDataHandle() = default;
MDataHandle& MDataHandle::operator=(const MDataHandle& other) = default;
MDataHandle::MDataHandle(std::shared_ptr<DataHandleState> state) : state_(std::move(state)) {}

bool MDataHandle::isNumeric() const {
    return state_ && !state_->plug.isNull() &&
           (state_->plug.attribute()->isNumeric() || state_->plug.attribute()->isNumericCompound());
}

bool MDataHandle::isGeneric(bool& isNumericOut, bool& isNull) const {
    bool generic = state_ && !state_->plug.isNull() && state_->plug.attribute()->kind() == AttrKind::Generic;
    isNumericOut = state_ && (state_->value.isNumber() || state_->value.isNumbers());
    isNull = !state_ || state_->value.isNone();
    return generic;
}

MFnNumericData::Type MDataHandle::numericType() const {
    if (!state_ || state_->plug.isNull()) return MFnNumericData::kInvalid;
    return MFnNumericData::Type(int(state_->plug.attribute()->numericType()));
}

MFnData::Type MDataHandle::type() const {
    if (!state_) return MFnData::kInvalid;
    if (state_->value.isData()) return MFnData::Type(int(state_->value.dataKind()));
    if (state_->value.isNumber() || state_->value.isNumbers() || isNumeric()) return MFnData::kNumeric;
    if (!state_->plug.isNull()) return MFnData::Type(int(state_->plug.attribute()->dataKind()));
    return MFnData::kInvalid;
}

MTypeId MDataHandle::typeId() const {
    return MTypeId();
}

void MDataHandle::setClean() {
    if (!state_) return;
    state_->commit();
    if (!state_->plug.isNull()) state_->plug.node()->setClean(state_->plug);
}

MStatus MDataHandle::copy(const MDataHandle& src) {
    if (!state_ || !src.state_) return MS::kInvalidParameter;
    src.state_->commit();
    Value v = src.state_->value;
    Value changed;
    if (src.state_->scratch.changedValue(src.state_->snapshot, nullptr, changed)) v = changed;
    state_->assign(v);
    return MS::kSuccess;
}

bool& MDataHandle::asBool() const {
    return scratchOf(state_).b;
}
char& MDataHandle::asChar() const {
    return scratchOf(state_).c;
}
unsigned char& MDataHandle::asUChar() const {
    return scratchOf(state_).uc;
}
short& MDataHandle::asShort() const {
    return scratchOf(state_).s;
}
int& MDataHandle::asInt() const {
    return scratchOf(state_).i;
}
float& MDataHandle::asFloat() const {
    return scratchOf(state_).f;
}
double& MDataHandle::asDouble() const {
    return scratchOf(state_).d;
}
short2& MDataHandle::asShort2() const {
    return scratchOf(state_).s2;
}
int2& MDataHandle::asInt2() const {
    return scratchOf(state_).i2;
}
float2& MDataHandle::asFloat2() const {
    return scratchOf(state_).f2;
}
double2& MDataHandle::asDouble2() const {
    return scratchOf(state_).d2;
}
short3& MDataHandle::asShort3() const {
    return scratchOf(state_).s3;
}
int3& MDataHandle::asInt3() const {
    return scratchOf(state_).i3;
}
float3& MDataHandle::asFloat3() const {
    return scratchOf(state_).f3;
}
double3& MDataHandle::asDouble3() const {
    return scratchOf(state_).d3;
}
MVector& MDataHandle::asVector() const {
    return scratchOf(state_).v3;
}
MFloatVector& MDataHandle::asFloatVector() const {
    return scratchOf(state_).fv;
}
MMatrix& MDataHandle::asMatrix() const {
    return scratchOf(state_).m;
}
MString& MDataHandle::asString() const {
    return scratchOf(state_).str;
}

// The handle's data object; the same object each time, so a function set's changes to it are stored.
MObject MDataHandle::data() {
    if (!state_) return MObject();
    if (state_->dataObject.isNull())
        state_->dataObject = objectOfValue(state_->value, state_->plug.attribute());
    return state_->dataObject;
}

MObject MDataHandle::asMesh() const {
    if (!state_ || state_->value.dataKind() != DataKind::Mesh) return MObject();
    return const_cast<MDataHandle*>(this)->data();
}

void MDataHandle::set(bool v) {
    if (state_) state_->assign(Value(v));
}
void MDataHandle::set(char v) {
    if (state_) state_->assign(Value(int(v)));
}
void MDataHandle::set(short v) {
    if (state_) state_->assign(Value(int(v)));
}
void MDataHandle::set(int v) {
    if (state_) state_->assign(Value(v));
}
void MDataHandle::set(float v) {
    if (state_) state_->assign(Value(v));
}
void MDataHandle::set(double v) {
    if (state_) state_->assign(Value(v));
}
void MDataHandle::set(const MMatrix& v) {
    if (state_) state_->assign(Value::matrix(fromMMatrix(v)));
}
void MDataHandle::set(short a, short b) {
    if (state_) state_->assign(Value(std::vector<double>{double(a), double(b)}));
}
void MDataHandle::set(int a, int b) {
    if (state_) state_->assign(Value(std::vector<double>{double(a), double(b)}));
}
void MDataHandle::set(float a, float b) {
    if (state_) state_->assign(Value(std::vector<double>{double(a), double(b)}));
}
void MDataHandle::set(double a, double b) {
    if (state_) state_->assign(Value(std::vector<double>{a, b}));
}
void MDataHandle::set(short a, short b, short c) {
    if (state_) state_->assign(Value(std::vector<double>{double(a), double(b), double(c)}));
}
void MDataHandle::set(int a, int b, int c) {
    if (state_) state_->assign(Value(std::vector<double>{double(a), double(b), double(c)}));
}
void MDataHandle::set(float a, float b, float c) {
    if (state_) state_->assign(Value(std::vector<double>{double(a), double(b), double(c)}));
}
void MDataHandle::set(double a, double b, double c) {
    if (state_) state_->assign(Value(std::vector<double>{a, b, c}));
}
void MDataHandle::set(const MVector& v) {
    set(v.x, v.y, v.z);
}
void MDataHandle::set(const MFloatVector& v) {
    set(v.x, v.y, v.z);
}
void MDataHandle::set(const MString& v) {
    if (state_) state_->assign(Value::string(v.str()));
}
void MDataHandle::set2Double(double a, double b) {
    set(a, b);
}
void MDataHandle::set3Double(double a, double b, double c) {
    set(a, b, c);
}
void MDataHandle::set3Float(float a, float b, float c) {
    set(a, b, c);
}
void MDataHandle::set3Int(int a, int b, int c) {
    set(a, b, c);
}

// The data is shared with the handle (the object the caller passed is what data() returns afterwards).
MStatus MDataHandle::set(const MObject& val) {
    if (!state_ || val.isNull()) return MS::kInvalidParameter;
    Value v = valueOfObject(val);
    if (v.isData() && !state_->plug.isNull() && state_->plug.attribute()->holdsData() &&
        !state_->plug.attribute()->acceptsData(v.dataKind()))
        return MS::kInvalidParameter;
    state_->assign(v);
    if (v.isData()) state_->dataObject = val;
    return MS::kSuccess;
}
MStatus MDataHandle::setMObject(const MObject& val) {
    return set(val);
}

MDataHandle MDataHandle::child(const MObject& attribute) {
    AttrPtr a = attributeOf(attribute);
    if (!state_ || state_->plug.isNull() || !a || state_->plug.attribute()->childIndex(a.get()) < 0)
        return MDataHandle();
    Plug c = state_->plug.child(a.get());
    std::shared_ptr<DataHandleState> h;
    if (state_->block)
        h = state_->block->open(c, state_->output);
    else {
        h = std::make_shared<DataHandleState>();
        h->plug = c;
        h->output = state_->output;
        h->load(c.node()->storedValue(c));
    }
    h->block = state_->block;
    return MDataHandle(h);
}

MDataHandle MDataHandle::child(const MPlug& plug) {
    return child(plug.attribute());
}

// --- MDataBlock --------------------------------------------------------------------------------------------

MDataBlock::MDataBlock(const MDataBlock& in) = default;
MDataBlock::~MDataBlock() = default;
MDataBlock::MDataBlock(std::shared_ptr<DataBlockState> state) : state_(std::move(state)) {}

namespace {
MDataHandle openHandle(const std::shared_ptr<DataBlockState>& block, const Plug& p, bool output,
                       MStatus* st) {
    if (p.isNull() || p.isArray() || !p.isFullyIndexed()) {
        setStatus(st, MS::kInvalidParameter);
        return MDataHandle();
    }
    setStatus(st, MS::kSuccess);
    auto h = block->open(p, output);
    h->block = block;
    return MDataHandle(h);
}
}  // namespace

MDataHandle MDataBlock::inputValue(const MPlug& plug, MStatus* ReturnStatus) {
    return openHandle(state_, corePlug(plug), false, ReturnStatus);
}
MDataHandle MDataBlock::inputValue(const MObject& attribute, MStatus* ReturnStatus) {
    return openHandle(state_, plugOfAttr(*state_, attribute), false, ReturnStatus);
}
MDataHandle MDataBlock::outputValue(const MPlug& plug, MStatus* ReturnStatus) {
    return openHandle(state_, corePlug(plug), true, ReturnStatus);
}
MDataHandle MDataBlock::outputValue(const MObject& attribute, MStatus* ReturnStatus) {
    return openHandle(state_, plugOfAttr(*state_, attribute), true, ReturnStatus);
}

namespace {
MArrayDataHandle openArray(const std::shared_ptr<DataBlockState>& block, const Plug& p, bool output,
                           MStatus* st) {
    if (p.isNull() || !p.isArray()) {
        setStatus(st, MS::kInvalidParameter);
        return MArrayDataHandle(std::shared_ptr<ArrayHandleState>());
    }
    setStatus(st, MS::kSuccess);
    auto s = std::make_shared<ArrayHandleState>();
    s->arrayPlug = p;
    s->output = output;
    s->block = block;
    s->indices = p.existingLogicalIndices();
    return MArrayDataHandle(s);
}
}  // namespace

MArrayDataHandle MDataBlock::inputArrayValue(const MPlug& plug, MStatus* ReturnStatus) {
    return openArray(state_, corePlug(plug), false, ReturnStatus);
}
MArrayDataHandle MDataBlock::inputArrayValue(const MObject& attribute, MStatus* ReturnStatus) {
    return openArray(state_, plugOfAttr(*state_, attribute), false, ReturnStatus);
}
MArrayDataHandle MDataBlock::outputArrayValue(const MPlug& plug, MStatus* ReturnStatus) {
    return openArray(state_, corePlug(plug), true, ReturnStatus);
}
MArrayDataHandle MDataBlock::outputArrayValue(const MObject& attribute, MStatus* ReturnStatus) {
    return openArray(state_, plugOfAttr(*state_, attribute), true, ReturnStatus);
}

MStatus MDataBlock::setClean(const MPlug& plug) {
    Plug p = corePlug(plug);
    if (p.isNull()) return MS::kInvalidParameter;
    state_->commitPlug(p);
    p.node()->setClean(p);
    return MS::kSuccess;
}
MStatus MDataBlock::setClean(const MObject& attribute) {
    Plug p = plugOfAttr(*state_, attribute);
    if (p.isNull()) return MS::kInvalidParameter;
    state_->commitPlug(p);
    p.node()->setClean(p);
    return MS::kSuccess;
}
bool MDataBlock::isClean(const MPlug& plug) {
    Plug p = corePlug(plug);
    return !p.isNull() && !p.node()->isDirty(p);
}
bool MDataBlock::isClean(const MObject& attribute, MStatus* ReturnStatus) {
    Plug p = plugOfAttr(*state_, attribute);
    setStatus(ReturnStatus, p.isNull() ? MS::kInvalidParameter : MS::kSuccess);
    return !p.isNull() && !p.node()->isDirty(p);
}
MDGContext MDataBlock::context(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kSuccess);
    return MDGContext();
}
MStatus MDataBlock::setContext(const MDGContext&) {
    return MS::kSuccess;
}

// --- MArrayDataHandle --------------------------------------------------------------------------------------

MArrayDataHandle::MArrayDataHandle(std::shared_ptr<ArrayHandleState> state) : state_(std::move(state)) {}
MArrayDataHandle::MArrayDataHandle(const MArrayDataHandle& other) = default;
MArrayDataHandle::~MArrayDataHandle() = default;
MArrayDataHandle& MArrayDataHandle::operator=(const MArrayDataHandle& other) = default;

MArrayDataHandle::MArrayDataHandle(const MDataHandle& in, MStatus* ReturnStatus) {
    auto h = in.state();
    if (!h || h->plug.isNull()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return;
    }
    state_ = std::make_shared<ArrayHandleState>();
    state_->arrayPlug = h->plug;
    state_->output = h->output;
    state_->block = h->block;
    state_->indices = h->plug.existingLogicalIndices();
    setStatus(ReturnStatus, h->plug.isArray() ? MS::kSuccess : MS::kInvalidParameter);
}

namespace {
Plug currentElement(const std::shared_ptr<ArrayHandleState>& s) {
    if (!s || s->pos >= s->indices.size()) return Plug();
    return s->arrayPlug.elementByLogicalIndex(s->indices[s->pos]);
}
MDataHandle elementHandle(const std::shared_ptr<ArrayHandleState>& s, bool output, MStatus* st) {
    Plug e = currentElement(s);
    if (e.isNull()) {
        setStatus(st, MS::kFailure);
        return MDataHandle();
    }
    std::shared_ptr<DataBlockState> block = s->block ? s->block : std::make_shared<DataBlockState>();
    if (!block->node) block->node = s->arrayPlug.nodePtr();
    return openHandle(block, e, output, st);
}
}  // namespace

MDataHandle MArrayDataHandle::inputValue(MStatus* ReturnStatus) {
    return elementHandle(state_, false, ReturnStatus);
}
MDataHandle MArrayDataHandle::outputValue(MStatus* ReturnStatus) {
    return elementHandle(state_, true, ReturnStatus);
}

// Arrays nested directly in arrays do not occur in the host's attributes.
MArrayDataHandle MArrayDataHandle::inputArrayValue(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, MS::kNotImplemented);
    return MArrayDataHandle(std::shared_ptr<ArrayHandleState>());
}
MArrayDataHandle MArrayDataHandle::outputArrayValue(MStatus* ReturnStatus) {
    return inputArrayValue(ReturnStatus);
}

MStatus MArrayDataHandle::next() {
    if (!state_ || state_->pos >= state_->indices.size()) return MS::kFailure;
    ++state_->pos;
    return state_->pos < state_->indices.size() ? MS::kSuccess : MS::kFailure;
}

unsigned int MArrayDataHandle::elementCount(MStatus* ReturnStatus) {
    setStatus(ReturnStatus, state_ ? MS::kSuccess : MS::kInvalidParameter);
    return state_ ? static_cast<unsigned int>(state_->indices.size()) : 0;
}

unsigned int MArrayDataHandle::elementIndex(MStatus* ReturnStatus) {
    if (!state_ || state_->pos >= state_->indices.size()) {
        setStatus(ReturnStatus, MS::kFailure);
        return 0;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return static_cast<unsigned int>(state_->indices[state_->pos]);
}

MStatus MArrayDataHandle::jumpToElement(unsigned int index) {
    if (!state_) return MS::kInvalidParameter;
    for (size_t i = 0; i < state_->indices.size(); ++i)
        if (state_->indices[i] == int(index)) {
            state_->pos = i;
            return MS::kSuccess;
        }
    return MS::kInvalidParameter;
}

MStatus MArrayDataHandle::jumpToArrayElement(unsigned int position) {
    if (!state_ || position >= state_->indices.size()) return MS::kInvalidParameter;
    state_->pos = position;
    return MS::kSuccess;
}

MStatus MArrayDataHandle::setClean() {
    if (!state_) return MS::kInvalidParameter;
    Plug e = currentElement(state_);
    if (state_->block) state_->block->commitAll();
    state_->arrayPlug.node()->setClean(e.isNull() ? state_->arrayPlug : e);
    return MS::kSuccess;
}

MStatus MArrayDataHandle::setAllClean() {
    if (!state_) return MS::kInvalidParameter;
    if (state_->block) state_->block->commitAll();
    for (int i : state_->indices)
        state_->arrayPlug.node()->setClean(state_->arrayPlug.elementByLogicalIndex(i));
    state_->arrayPlug.node()->setClean(state_->arrayPlug);
    return MS::kSuccess;
}

MArrayDataBuilder MArrayDataHandle::builder(MStatus* ReturnStatus) {
    auto b = std::make_shared<ArrayBuilderState>();
    if (state_) {
        b->arrayPlug = state_->arrayPlug;
        b->block = state_->block;
    }
    setStatus(ReturnStatus, state_ ? MS::kSuccess : MS::kInvalidParameter);
    return MArrayDataBuilder(b);
}

// Stores the builder's elements in this array (existing elements the builder does not name stay).
MStatus MArrayDataHandle::set(MArrayDataBuilder& builder) {
    auto b = builder.state();
    if (!state_ || !b) return MS::kInvalidParameter;
    for (auto& e : b->elements) {
        auto& h = e.second;
        Value v = h->value;
        Value changed;
        if (h->scratch.changedValue(h->snapshot, nullptr, changed)) v = changed;
        h->plug = state_->arrayPlug.elementByLogicalIndex(e.first);
        h->output = true;
        if (!v.isNone()) state_->arrayPlug.node()->setComputed(h->plug, v);
        h->load(v);
    }
    state_->indices = state_->arrayPlug.existingLogicalIndices();
    state_->pos = 0;
    return MS::kSuccess;
}

// --- MArrayDataBuilder -------------------------------------------------------------------------------------

MArrayDataBuilder::MArrayDataBuilder(std::shared_ptr<ArrayBuilderState> state) : state_(std::move(state)) {}
MArrayDataBuilder::MArrayDataBuilder(const MArrayDataBuilder& other) = default;
MArrayDataBuilder::~MArrayDataBuilder() = default;
MArrayDataBuilder& MArrayDataBuilder::operator=(const MArrayDataBuilder& other) = default;

MArrayDataBuilder::MArrayDataBuilder(const MObject& attribute, unsigned int, MStatus* ReturnStatus)
    : state_(std::make_shared<ArrayBuilderState>()) {
    state_->attr = attributeOf(attribute);
    setStatus(ReturnStatus, state_->attr ? MS::kSuccess : MS::kInvalidParameter);
}

MArrayDataBuilder::MArrayDataBuilder(MDataBlock* block, const MObject& attribute, unsigned int numElements,
                                     MStatus* ReturnStatus)
    : MArrayDataBuilder(attribute, numElements, ReturnStatus) {
    if (block && block->state()) {
        state_->block = block->state();
        if (state_->attr && block->state()->node)
            state_->arrayPlug = Plug(block->state()->node, state_->attr);
    }
}

// Element handles of a builder hold their values until the builder is set into an array handle.
MDataHandle MArrayDataBuilder::addElement(unsigned int index, MStatus* ReturnStatus) {
    auto h = std::make_shared<DataHandleState>();
    h->output = false;
    const Attribute* a = state_->arrayPlug.isNull() ? state_->attr.get() : state_->arrayPlug.attribute();
    if (!state_->arrayPlug.isNull()) {
        Plug e = state_->arrayPlug.elementByLogicalIndex(index);
        h->load(e.node()->storedValue(e));
    } else if (a) {
        h->load(a->defaultValue());
    }
    state_->elements[int(index)] = h;
    setStatus(ReturnStatus, MS::kSuccess);
    return MDataHandle(h);
}

MDataHandle MArrayDataBuilder::addLast(MStatus* ReturnStatus) {
    unsigned next = state_->elements.empty() ? 0 : unsigned(state_->elements.rbegin()->first + 1);
    return addElement(next, ReturnStatus);
}

MStatus MArrayDataBuilder::removeElement(unsigned int index) {
    return state_->elements.erase(int(index)) ? MS::kSuccess : MS::kInvalidParameter;
}

unsigned int MArrayDataBuilder::elementCount(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return static_cast<unsigned int>(state_->elements.size());
}

MDataHandle MArrayDataBuilder::inputValue(MStatus* ReturnStatus) {
    if (state_->elements.empty()) {
        setStatus(ReturnStatus, MS::kFailure);
        return MDataHandle();
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return MDataHandle(state_->elements.begin()->second);
}

MStatus MArrayDataBuilder::growArray(unsigned int) {
    return MS::kSuccess;
}
MStatus MArrayDataBuilder::setGrowSize(unsigned int) {
    return MS::kSuccess;
}
