// The data function sets (strings, matrices, arrays, numeric tuples, component lists, meshes) and the
// component function sets. Data objects are copied before a change when anything else shares them, so a
// value stored in a plug never changes behind the graph's back.
#include <maya/MDoubleArray.h>
#include <maya/MFnComponent.h>
#include <maya/MFnComponentListData.h>
#include <maya/MFnData.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMatrixData.h>
#include <maya/MFnMeshData.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnPointArrayData.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MFnStringArrayData.h>
#include <maya/MFnStringData.h>
#include <maya/MFnVectorArrayData.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MStringArray.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#include "graph/api/ApiObject.h"
#include "graph/core/Selection.h"

using namespace kxh;

// Point and vector arrays hand out references to their elements: the graph's element types have the API
// types' layout (x, y, z[, w] doubles).
static_assert(sizeof(Point4) == sizeof(MPoint), "point layout");
static_assert(sizeof(Vector3) == sizeof(MVector), "vector layout");

// --- MFnData -----------------------------------------------------------------------------------------------

MFnData::MFnData() = default;
MFnData::MFnData(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnData::~MFnData() = default;
MFn::Type MFnData::type() const {
    return MFn::kData;
}
const char* MFnData::className() {
    return "MFnData";
}

namespace {

// Conversions between the API's element types and the graph's.
int toCore(int v) {
    return v;
}
double toCore(double v) {
    return v;
}
Point4 toCore(const MPoint& p) {
    return {p.x, p.y, p.z, p.w};
}
Vector3 toCore(const MVector& v) {
    return {v.x, v.y, v.z};
}
std::string toCore(const MString& s) {
    return s.str();
}
int toApi(int v) {
    return v;
}
double toApi(double v) {
    return v;
}
MPoint toApi(const Point4& p) {
    return MPoint(p[0], p[1], p[2], p[3]);
}
MVector toApi(const Vector3& v) {
    return MVector(v[0], v[1], v[2]);
}
MString toApi(const std::string& s) {
    return MString(s);
}

int& elementRef(std::vector<int>& v, unsigned i) {
    return v[i];
}
double& elementRef(std::vector<double>& v, unsigned i) {
    return v[i];
}
MPoint& elementRef(std::vector<Point4>& v, unsigned i) {
    return reinterpret_cast<MPoint&>(v[i]);
}
MVector& elementRef(std::vector<Vector3>& v, unsigned i) {
    return reinterpret_cast<MVector&>(v[i]);
}
// Strings are not stored as MStrings: a write through this reference is not kept.
MString& elementRef(std::vector<std::string>& v, unsigned i) {
    static thread_local MString scratch;
    scratch = MString(v[i]);
    return scratch;
}

// The shared implementation of the array data function sets.
template <class DataT, class ArrayT, class ElemT>
struct ArrayDataOps {
    static std::shared_ptr<DataT> read(const MObject& o) {
        return std::dynamic_pointer_cast<DataT>(dataOf(o));
    }
    static std::shared_ptr<DataT> write(const MObject& o) {
        if (!read(o)) return nullptr;
        return std::static_pointer_cast<DataT>(mutableData(o));
    }
    static MObject create(MObject& slot, const ArrayT* in, MStatus* st) {
        auto d = std::make_shared<DataT>();
        if (in)
            for (unsigned i = 0; i < in->length(); ++i) d->value.push_back(toCore((*in)[i]));
        slot = wrapData(d);
        setStatus(st, MS::kSuccess);
        return slot;
    }
    static unsigned length(const MObject& o, MStatus* st) {
        auto d = read(o);
        setStatus(st, d ? MS::kSuccess : MS::kInvalidParameter);
        return d ? static_cast<unsigned>(d->value.size()) : 0;
    }
    static MStatus copyTo(const MObject& o, ArrayT& out) {
        auto d = read(o);
        if (!d) return MS::kInvalidParameter;
        out.setLength(static_cast<unsigned>(d->value.size()));
        for (unsigned i = 0; i < d->value.size(); ++i) out[i] = toApi(d->value[i]);
        return MS::kSuccess;
    }
    static MStatus set(const MObject& o, const ArrayT& in) {
        auto d = write(o);
        if (!d) return MS::kInvalidParameter;
        d->value.clear();
        for (unsigned i = 0; i < in.length(); ++i) d->value.push_back(toCore(in[i]));
        return MS::kSuccess;
    }
    static MStatus setElement(const MObject& o, const ElemT& e, unsigned index) {
        auto d = write(o);
        if (!d || index >= d->value.size()) return MS::kInvalidParameter;
        d->value[index] = toCore(e);
        return MS::kSuccess;
    }
    static ElemT get(const MObject& o, unsigned index) {
        auto d = read(o);
        return d && index < d->value.size() ? toApi(d->value[index]) : ElemT();
    }
    static ElemT& ref(const MObject& o, unsigned index) {
        static thread_local ElemT outOfRange;
        auto d = write(o);
        if (!d || index >= d->value.size()) return outOfRange = ElemT();
        return elementRef(d->value, index);
    }
};

}  // namespace

#define KXH_ARRAY_DATA_FN(FnClass, DataT, ArrayT, ElemT, Kind, Name)   \
    namespace {                                                        \
    using FnClass##Ops = ArrayDataOps<DataT, ArrayT, ElemT>;           \
    }                                                                  \
    FnClass::FnClass() = default;                                      \
    FnClass::FnClass(MObject& object, MStatus* ReturnStatus) {         \
        setStatus(ReturnStatus, attach(object));                       \
    }                                                                  \
    FnClass::FnClass(const MObject& object, MStatus* ReturnStatus) {   \
        setStatus(ReturnStatus, attach(object));                       \
    }                                                                  \
    FnClass::~FnClass() = default;                                     \
    MFn::Type FnClass::type() const {                                  \
        return Kind;                                                   \
    }                                                                  \
    const char* FnClass::className() {                                 \
        return Name;                                                   \
    }                                                                  \
    MObject FnClass::create(MStatus* ReturnStatus) {                   \
        return FnClass##Ops::create(object_, nullptr, ReturnStatus);   \
    }                                                                  \
    MObject FnClass::create(const ArrayT& in, MStatus* ReturnStatus) { \
        return FnClass##Ops::create(object_, &in, ReturnStatus);       \
    }                                                                  \
    unsigned int FnClass::length(MStatus* ReturnStatus) const {        \
        return FnClass##Ops::length(object_, ReturnStatus);            \
    }                                                                  \
    ElemT& FnClass::operator[](unsigned int index) {                   \
        return FnClass##Ops::ref(object_, index);                      \
    }                                                                  \
    ElemT FnClass::operator[](unsigned int index) const {              \
        return FnClass##Ops::get(object_, index);                      \
    }                                                                  \
    MStatus FnClass::copyTo(ArrayT& out) const {                       \
        return FnClass##Ops::copyTo(object_, out);                     \
    }                                                                  \
    MStatus FnClass::set(const ArrayT& newArray) {                     \
        return FnClass##Ops::set(object_, newArray);                   \
    }                                                                  \
    MStatus FnClass::set(const ElemT& element, unsigned int index) {   \
        return FnClass##Ops::setElement(object_, element, index);      \
    }                                                                  \
    ArrayT FnClass::array(MStatus* ReturnStatus) {                     \
        ArrayT out;                                                    \
        setStatus(ReturnStatus, FnClass##Ops::copyTo(object_, out));   \
        return out;                                                    \
    }

KXH_ARRAY_DATA_FN(MFnIntArrayData, IntArrayData, MIntArray, int, MFn::kIntArrayData, "MFnIntArrayData")
KXH_ARRAY_DATA_FN(MFnDoubleArrayData, DoubleArrayData, MDoubleArray, double, MFn::kDoubleArrayData,
                  "MFnDoubleArrayData")
KXH_ARRAY_DATA_FN(MFnPointArrayData, PointArrayData, MPointArray, MPoint, MFn::kPointArrayData,
                  "MFnPointArrayData")
KXH_ARRAY_DATA_FN(MFnVectorArrayData, VectorArrayData, MVectorArray, MVector, MFn::kVectorArrayData,
                  "MFnVectorArrayData")
KXH_ARRAY_DATA_FN(MFnStringArrayData, StringArrayData, MStringArray, MString, MFn::kStringArrayData,
                  "MFnStringArrayData")
#undef KXH_ARRAY_DATA_FN

// --- MFnMatrixData -----------------------------------------------------------------------------------------

MFnMatrixData::MFnMatrixData() = default;
MFnMatrixData::MFnMatrixData(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnMatrixData::MFnMatrixData(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnMatrixData::~MFnMatrixData() = default;
MFn::Type MFnMatrixData::type() const {
    return MFn::kMatrixData;
}
const char* MFnMatrixData::className() {
    return "MFnMatrixData";
}

MObject MFnMatrixData::create(MStatus* ReturnStatus) {
    object_ = wrapData(std::make_shared<MatrixData>());
    setStatus(ReturnStatus, MS::kSuccess);
    return object_;
}
MObject MFnMatrixData::create(const MMatrix& in, MStatus* ReturnStatus) {
    object_ = wrapData(std::make_shared<MatrixData>(fromMMatrix(in)));
    setStatus(ReturnStatus, MS::kSuccess);
    return object_;
}
MObject MFnMatrixData::create(const MTransformationMatrix& in, MStatus* ReturnStatus) {
    return create(in.asMatrix(), ReturnStatus);
}

// The matrix is kept in this set so the returned reference outlives the call.
const MMatrix& MFnMatrixData::matrix(MStatus* ReturnStatus) const {
    static thread_local MMatrix result;
    auto d = std::dynamic_pointer_cast<MatrixData>(dataOf(object_));
    setStatus(ReturnStatus, d ? MS::kSuccess : MS::kInvalidParameter);
    result = d ? toMMatrix(d->value) : MMatrix();
    return result;
}
MTransformationMatrix MFnMatrixData::transformation(MStatus* ReturnStatus) const {
    return MTransformationMatrix(matrix(ReturnStatus));
}
MStatus MFnMatrixData::set(const MMatrix& newMatrix) {
    if (!std::dynamic_pointer_cast<MatrixData>(dataOf(object_))) return MS::kInvalidParameter;
    std::static_pointer_cast<MatrixData>(mutableData(object_))->value = fromMMatrix(newMatrix);
    return MS::kSuccess;
}
MStatus MFnMatrixData::set(const MTransformationMatrix& newMatrix) {
    return set(newMatrix.asMatrix());
}

// --- MFnStringData -----------------------------------------------------------------------------------------

MFnStringData::MFnStringData() = default;
MFnStringData::MFnStringData(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnStringData::MFnStringData(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnStringData::~MFnStringData() = default;
MFn::Type MFnStringData::type() const {
    return MFn::kStringData;
}
const char* MFnStringData::className() {
    return "MFnStringData";
}
MObject MFnStringData::create(MStatus* ReturnStatus) {
    return create(MString(), ReturnStatus);
}
MObject MFnStringData::create(const MString& str, MStatus* ReturnStatus) {
    object_ = wrapData(std::make_shared<StringData>(str.str()));
    setStatus(ReturnStatus, MS::kSuccess);
    return object_;
}
MString MFnStringData::string(MStatus* ReturnStatus) const {
    auto d = std::dynamic_pointer_cast<StringData>(dataOf(object_));
    setStatus(ReturnStatus, d ? MS::kSuccess : MS::kInvalidParameter);
    return d ? MString(d->value) : MString();
}
MStatus MFnStringData::set(const MString& newString) {
    if (!std::dynamic_pointer_cast<StringData>(dataOf(object_))) return MS::kInvalidParameter;
    std::static_pointer_cast<StringData>(mutableData(object_))->value = newString.str();
    return MS::kSuccess;
}

// --- MFnNumericData ----------------------------------------------------------------------------------------

MFnNumericData::MFnNumericData() = default;
MFnNumericData::MFnNumericData(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnNumericData::MFnNumericData(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnNumericData::~MFnNumericData() = default;
MFn::Type MFnNumericData::type() const {
    return MFn::kNumericData;
}
const char* MFnNumericData::className() {
    return "MFnNumericData";
}

MObject MFnNumericData::create(Type dataType, MStatus* ReturnStatus) {
    NumericType t = NumericType(int(dataType));
    int arity = numericArity(t);
    if (arity == 0) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    object_ = MObject(std::make_shared<NumericDataObject>(t, std::vector<double>(arity, 0.0)));
    setStatus(ReturnStatus, MS::kSuccess);
    return object_;
}

MFnNumericData::Type MFnNumericData::numericType(MStatus* ReturnStatus) {
    NumericDataObject* n = numericDataOf(object_);
    setStatus(ReturnStatus, n ? MS::kSuccess : MS::kInvalidParameter);
    return n ? Type(int(n->type)) : kInvalid;
}

namespace {
template <class T>
MStatus numericGet(const MObject& o, std::vector<T*> out) {
    NumericDataObject* n = numericDataOf(o);
    if (!n || n->values.size() != out.size()) return MS::kInvalidParameter;
    for (size_t i = 0; i < out.size(); ++i) *out[i] = static_cast<T>(n->values[i]);
    return MS::kSuccess;
}
MStatus numericSet(const MObject& o, std::vector<double> in) {
    NumericDataObject* n = numericDataOf(o);
    if (!n || n->values.size() != in.size()) return MS::kInvalidParameter;
    NumericType scalar = numericScalar(n->type);
    for (size_t i = 0; i < in.size(); ++i) n->values[i] = numericCoerce(scalar, in[i]);
    return MS::kSuccess;
}
}  // namespace

MStatus MFnNumericData::getData(int& a, int& b) {
    return numericGet<int>(object_, {&a, &b});
}
MStatus MFnNumericData::getData(float& a, float& b) {
    return numericGet<float>(object_, {&a, &b});
}
MStatus MFnNumericData::getData(double& a, double& b) {
    return numericGet<double>(object_, {&a, &b});
}
MStatus MFnNumericData::getData(int& a, int& b, int& c) {
    return numericGet<int>(object_, {&a, &b, &c});
}
MStatus MFnNumericData::getData(float& a, float& b, float& c) {
    return numericGet<float>(object_, {&a, &b, &c});
}
MStatus MFnNumericData::getData(double& a, double& b, double& c) {
    return numericGet<double>(object_, {&a, &b, &c});
}
MStatus MFnNumericData::getData(double& a, double& b, double& c, double& d) {
    return numericGet<double>(object_, {&a, &b, &c, &d});
}
MStatus MFnNumericData::setData(int a, int b) {
    return numericSet(object_, {double(a), double(b)});
}
MStatus MFnNumericData::setData(float a, float b) {
    return numericSet(object_, {double(a), double(b)});
}
MStatus MFnNumericData::setData(double a, double b) {
    return numericSet(object_, {a, b});
}
MStatus MFnNumericData::setData(int a, int b, int c) {
    return numericSet(object_, {double(a), double(b), double(c)});
}
MStatus MFnNumericData::setData(float a, float b, float c) {
    return numericSet(object_, {double(a), double(b), double(c)});
}
MStatus MFnNumericData::setData(double a, double b, double c) {
    return numericSet(object_, {a, b, c});
}
MStatus MFnNumericData::setData(double a, double b, double c, double d) {
    return numericSet(object_, {a, b, c, d});
}

// --- MFnComponentListData ----------------------------------------------------------------------------------

MFnComponentListData::MFnComponentListData() = default;
MFnComponentListData::MFnComponentListData(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnComponentListData::MFnComponentListData(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnComponentListData::~MFnComponentListData() = default;
MFn::Type MFnComponentListData::type() const {
    return MFn::kComponentListData;
}
const char* MFnComponentListData::className() {
    return "MFnComponentListData";
}

namespace {
std::shared_ptr<ComponentListData> listOf(const MObject& o) {
    return std::dynamic_pointer_cast<ComponentListData>(dataOf(o));
}
std::shared_ptr<ComponentListData> mutableListOf(const MObject& o) {
    if (!listOf(o)) return nullptr;
    return std::static_pointer_cast<ComponentListData>(mutableData(o));
}
}  // namespace

MObject MFnComponentListData::create(MStatus* ReturnStatus) {
    object_ = wrapData(std::make_shared<ComponentListData>());
    setStatus(ReturnStatus, MS::kSuccess);
    return object_;
}
unsigned int MFnComponentListData::length(MStatus* ReturnStatus) const {
    auto l = listOf(object_);
    setStatus(ReturnStatus, l ? MS::kSuccess : MS::kInvalidParameter);
    return l ? static_cast<unsigned int>(l->value.size()) : 0;
}

// True when one entry of the list holds every element of the component.
bool MFnComponentListData::has(const MObject& comp, MStatus* ReturnStatus) const {
    auto l = listOf(object_);
    ComponentObject* c = componentOf(comp);
    setStatus(ReturnStatus, l && c ? MS::kSuccess : MS::kInvalidParameter);
    if (!l || !c) return false;
    ComponentKind kind = componentKindOf(c->type);
    std::vector<int> ids = c->sortedIds();
    for (const Component& e : l->value)
        if (e.kind == kind && idsDifference(ids, e.ids).empty()) return true;
    return false;
}

MStatus MFnComponentListData::add(MObject& comp) {
    ComponentObject* c = componentOf(comp);
    auto l = mutableListOf(object_);
    if (!l || !c) return MS::kInvalidParameter;
    l->value.push_back(Component{componentKindOf(c->type), c->sortedIds()});
    return MS::kSuccess;
}

MStatus MFnComponentListData::remove(const MObject& comp) {
    ComponentObject* c = componentOf(comp);
    auto l = mutableListOf(object_);
    if (!l || !c) return MS::kInvalidParameter;
    Component target{componentKindOf(c->type), c->sortedIds()};
    for (auto it = l->value.begin(); it != l->value.end(); ++it)
        if (*it == target) {
            l->value.erase(it);
            return MS::kSuccess;
        }
    return MS::kFailure;
}

MStatus MFnComponentListData::remove(unsigned int index) {
    auto l = mutableListOf(object_);
    if (!l || index >= l->value.size()) return MS::kInvalidParameter;
    l->value.erase(l->value.begin() + index);
    return MS::kSuccess;
}

MObject MFnComponentListData::operator[](unsigned int index) const {
    auto l = listOf(object_);
    if (!l || index >= l->value.size()) return MObject();
    return wrapComponent(l->value[index].kind, l->value[index].ids);
}

MStatus MFnComponentListData::clear() {
    auto l = mutableListOf(object_);
    if (!l) return MS::kInvalidParameter;
    l->value.clear();
    return MS::kSuccess;
}

// --- MFnMeshData -------------------------------------------------------------------------------------------

MFnMeshData::MFnMeshData() = default;
MFnMeshData::MFnMeshData(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnMeshData::MFnMeshData(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnMeshData::~MFnMeshData() = default;
MFn::Type MFnMeshData::type() const {
    return MFn::kMeshData;
}
const char* MFnMeshData::className() {
    return "MFnMeshData";
}

// A mesh data object with no mesh yet; MFnMesh::create / copy with it as the owner fill it.
MObject MFnMeshData::create(MStatus* ReturnStatus) {
    object_ = wrapData(std::make_shared<MeshData>());
    setStatus(ReturnStatus, MS::kSuccess);
    return object_;
}

// --- MFnComponent ------------------------------------------------------------------------------------------

MFnComponent::MFnComponent() = default;
MFnComponent::MFnComponent(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnComponent::MFnComponent(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnComponent::~MFnComponent() = default;
MFn::Type MFnComponent::type() const {
    return MFn::kComponent;
}
const char* MFnComponent::className() {
    return "MFnComponent";
}

namespace {
ComponentObject* comp(const MObject& o, MStatus* st = nullptr) {
    ComponentObject* c = componentOf(o);
    setStatus(st, c ? MS::kSuccess : MS::kInvalidParameter);
    return c;
}
}  // namespace

int MFnComponent::elementCount(MStatus* ReturnStatus) const {
    ComponentObject* c = comp(object_, ReturnStatus);
    if (!c) return 0;
    return c->complete ? c->completeCount : static_cast<int>(c->ids.size());
}
MFn::Type MFnComponent::componentType(MStatus* ReturnStatus) const {
    ComponentObject* c = comp(object_, ReturnStatus);
    return c ? c->type : MFn::kInvalid;
}
bool MFnComponent::isEmpty(MStatus* ReturnStatus) const {
    return elementCount(ReturnStatus) == 0;
}
bool MFnComponent::isEqual(const MObject& other, MStatus* ReturnStatus) const {
    ComponentObject* a = comp(object_, ReturnStatus);
    ComponentObject* b = componentOf(other);
    return a && b && a->type == b->type && a->sortedIds() == b->sortedIds();
}
bool MFnComponent::isComplete(MStatus* ReturnStatus) const {
    ComponentObject* c = comp(object_, ReturnStatus);
    return c && c->complete;
}
MStatus MFnComponent::setComplete(bool complete) {
    ComponentObject* c = comp(object_);
    if (!c) return MS::kInvalidParameter;
    if (complete == c->complete) return MS::kSuccess;
    if (complete) {
        c->completeCount = static_cast<int>(c->ids.size());
        c->ids.clear();
        c->present.clear();
        c->complete = true;
    } else {
        c->ids = c->elements();
        c->present.insert(c->ids.begin(), c->ids.end());
        c->complete = false;
        c->completeCount = 0;
    }
    return MS::kSuccess;
}

// --- MFnSingleIndexedComponent -----------------------------------------------------------------------------

MFnSingleIndexedComponent::MFnSingleIndexedComponent() = default;
MFnSingleIndexedComponent::MFnSingleIndexedComponent(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnSingleIndexedComponent::MFnSingleIndexedComponent(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnSingleIndexedComponent::~MFnSingleIndexedComponent() = default;
MFn::Type MFnSingleIndexedComponent::type() const {
    return MFn::kSingleIndexedComponent;
}
const char* MFnSingleIndexedComponent::className() {
    return "MFnSingleIndexedComponent";
}

// Mesh vertices, edges, faces and UVs.
MObject MFnSingleIndexedComponent::create(MFn::Type compType, MStatus* ReturnStatus) {
    if (componentKindOf(compType) == ComponentKind::None) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    object_ = MObject(std::make_shared<ComponentObject>(compType));
    setStatus(ReturnStatus, MS::kSuccess);
    return object_;
}

// Elements keep the order they were added in; an element already present is not added again.
MStatus MFnSingleIndexedComponent::addElement(int element) {
    ComponentObject* c = comp(object_);
    if (!c || element < 0) return MS::kInvalidParameter;
    c->add(element);
    return MS::kSuccess;
}

MStatus MFnSingleIndexedComponent::addElements(MIntArray& elements) {
    ComponentObject* c = comp(object_);
    if (!c) return MS::kInvalidParameter;
    for (unsigned i = 0; i < elements.length(); ++i)
        if (elements[i] < 0) return MS::kInvalidParameter;
    for (unsigned i = 0; i < elements.length(); ++i) c->add(elements[i]);
    return MS::kSuccess;
}

int MFnSingleIndexedComponent::element(int index, MStatus* ReturnStatus) const {
    ComponentObject* c = comp(object_, ReturnStatus);
    if (!c) return -1;
    int count = c->complete ? c->completeCount : static_cast<int>(c->ids.size());
    if (index < 0 || index >= count) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return -1;
    }
    return c->complete ? index : c->ids[index];
}

MStatus MFnSingleIndexedComponent::getElements(MIntArray& elements) const {
    ComponentObject* c = comp(object_);
    elements.clear();
    if (!c) return MS::kInvalidParameter;
    for (int id : c->elements()) elements.append(id);
    return MS::kSuccess;
}

MStatus MFnSingleIndexedComponent::setCompleteData(int numElements) {
    ComponentObject* c = comp(object_);
    if (!c || numElements < 0) return MS::kInvalidParameter;
    c->ids.clear();
    c->present.clear();
    c->complete = true;
    c->completeCount = numElements;
    return MS::kSuccess;
}

MStatus MFnSingleIndexedComponent::getCompleteData(int& numElements) const {
    ComponentObject* c = comp(object_);
    if (!c) return MS::kInvalidParameter;
    numElements = c->complete ? c->completeCount : 0;
    return c->complete ? MS::kSuccess : MS::kFailure;
}
