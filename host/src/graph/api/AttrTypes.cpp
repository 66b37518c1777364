// The attribute function sets for non-numeric attributes: typed (data objects), generic (one of several
// data types), message, matrix, compound and enum. The base set and the numeric one are in Attributes.cpp.
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnGenericAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MMatrix.h>
#include <maya/MTypeId.h>

#include "graph/api/ApiObject.h"
#include "graph/api/AttrShared.h"

using namespace kxh;

// --- MFnTypedAttribute -------------------------------------------------------------------------------------

MFnTypedAttribute::MFnTypedAttribute() = default;
MFnTypedAttribute::MFnTypedAttribute(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnTypedAttribute::MFnTypedAttribute(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnTypedAttribute::~MFnTypedAttribute() = default;
MFn::Type MFnTypedAttribute::type() const {
    return MFn::kTypedAttribute;
}
const char* MFnTypedAttribute::className() {
    return "MFnTypedAttribute";
}

MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, MFnData::Type type,
                                  MObject defaultData, MStatus* ReturnStatus) {
    if (type == MFnData::kInvalid || type == MFnData::kNumeric || type >= MFnData::kLast) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    AttrPtr a = Attribute::typed(fullName.str(), briefName.str(), DataKind(int(type)), dataOf(defaultData));
    return created(*this, a, ReturnStatus, object_);
}

// Plug-in data types are not modelled: the attribute holds plug-in data of any id.
MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, const MTypeId&,
                                  MObject defaultData, MStatus* ReturnStatus) {
    AttrPtr a = Attribute::typed(fullName.str(), briefName.str(), DataKind::Plugin, dataOf(defaultData));
    return created(*this, a, ReturnStatus, object_);
}

MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, const MTypeId& id,
                                  MStatus* ReturnStatus) {
    return create(fullName, briefName, id, MObject::kNullObj, ReturnStatus);
}
MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, MFnData::Type type,
                                  MStatus* ReturnStatus) {
    return create(fullName, briefName, type, MObject::kNullObj, ReturnStatus);
}

MFnData::Type MFnTypedAttribute::attrType(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    return a ? MFnData::Type(int(a->dataKind())) : MFnData::kInvalid;
}

MStatus MFnTypedAttribute::getDefault(MObject& defaultData) {
    Attribute* a = attrOf(object_);
    if (!a) return MS::kInvalidParameter;
    defaultData = wrapData(a->defaultValue().data());
    return MS::kSuccess;
}

MStatus MFnTypedAttribute::setDefault(const MObject& defaultData) {
    Attribute* a = attrOf(object_);
    DataPtr d = dataOf(defaultData);
    if (!a || (d && !a->acceptsData(d->kind()))) return MS::kInvalidParameter;
    a->setDefault(Value(d));
    return MS::kSuccess;
}

// --- MFnGenericAttribute -----------------------------------------------------------------------------------

MFnGenericAttribute::MFnGenericAttribute() = default;
MFnGenericAttribute::MFnGenericAttribute(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnGenericAttribute::MFnGenericAttribute(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnGenericAttribute::~MFnGenericAttribute() = default;
MFn::Type MFnGenericAttribute::type() const {
    return MFn::kGenericAttribute;
}
const char* MFnGenericAttribute::className() {
    return "MFnGenericAttribute";
}

MObject MFnGenericAttribute::create(const MString& fullName, const MString& briefName,
                                    MStatus* ReturnStatus) {
    return created(*this, Attribute::generic(fullName.str(), briefName.str()), ReturnStatus, object_);
}

MStatus MFnGenericAttribute::addDataAccept(MFnData::Type type) {
    Attribute* a = attrOf(object_);
    if (!a || type == MFnData::kInvalid || type >= MFnData::kLast) return MS::kInvalidParameter;
    a->addAccept(type == MFnData::kAny ? DataKind::Any : DataKind(int(type)));
    return MS::kSuccess;
}
MStatus MFnGenericAttribute::addNumericDataAccept(MFnNumericData::Type type) {
    Attribute* a = attrOf(object_);
    if (!a || type == MFnNumericData::kInvalid || type >= MFnNumericData::kLast) return MS::kInvalidParameter;
    a->addNumericAccept(NumericType(int(type)));
    return MS::kSuccess;
}
MStatus MFnGenericAttribute::addDataAccept(const MTypeId&) {
    Attribute* a = attrOf(object_);
    if (!a) return MS::kInvalidParameter;
    a->addAccept(DataKind::Plugin);
    return MS::kSuccess;
}
MStatus MFnGenericAttribute::addAccept(MFnData::Type type) {
    return addDataAccept(type);
}
MStatus MFnGenericAttribute::addAccept(MFnNumericData::Type type) {
    return addNumericDataAccept(type);
}
MStatus MFnGenericAttribute::addAccept(const MTypeId& id) {
    return addDataAccept(id);
}
// Accepted kinds are only ever added.
MStatus MFnGenericAttribute::removeDataAccept(MFnData::Type) {
    return MS::kNotImplemented;
}
MStatus MFnGenericAttribute::removeDataAccept(const MTypeId&) {
    return MS::kNotImplemented;
}
MStatus MFnGenericAttribute::removeNumericDataAccept(MFnNumericData::Type) {
    return MS::kNotImplemented;
}
MStatus MFnGenericAttribute::removeAccept(MFnData::Type t) {
    return removeDataAccept(t);
}
MStatus MFnGenericAttribute::removeAccept(MFnNumericData::Type t) {
    return removeNumericDataAccept(t);
}
MStatus MFnGenericAttribute::removeAccept(const MTypeId& id) {
    return removeDataAccept(id);
}

// --- MFnMessageAttribute -----------------------------------------------------------------------------------

MFnMessageAttribute::MFnMessageAttribute() = default;
MFnMessageAttribute::MFnMessageAttribute(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnMessageAttribute::MFnMessageAttribute(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnMessageAttribute::~MFnMessageAttribute() = default;
MFn::Type MFnMessageAttribute::type() const {
    return MFn::kMessageAttribute;
}
const char* MFnMessageAttribute::className() {
    return "MFnMessageAttribute";
}
MObject MFnMessageAttribute::create(const MString& fullName, const MString& briefName,
                                    MStatus* ReturnStatus) {
    return created(*this, Attribute::message(fullName.str(), briefName.str()), ReturnStatus, object_);
}

// --- MFnMatrixAttribute ------------------------------------------------------------------------------------

MFnMatrixAttribute::MFnMatrixAttribute() = default;
MFnMatrixAttribute::MFnMatrixAttribute(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnMatrixAttribute::MFnMatrixAttribute(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnMatrixAttribute::~MFnMatrixAttribute() = default;
MFn::Type MFnMatrixAttribute::type() const {
    return MFn::kMatrixAttribute;
}
const char* MFnMatrixAttribute::className() {
    return "MFnMatrixAttribute";
}

// Float and double matrices are both held in double precision.
MObject MFnMatrixAttribute::create(const MString& fullName, const MString& briefName, Type,
                                   MStatus* ReturnStatus) {
    return created(*this, Attribute::matrix(fullName.str(), briefName.str()), ReturnStatus, object_);
}
MStatus MFnMatrixAttribute::getDefault(MMatrix& defaultValue) {
    Attribute* a = attrOf(object_);
    if (!a) return MS::kInvalidParameter;
    defaultValue = toMMatrix(a->defaultValue().asMatrix());
    return MS::kSuccess;
}
MStatus MFnMatrixAttribute::setDefault(const MMatrix& defaultValue) {
    Attribute* a = attrOf(object_);
    if (!a) return MS::kInvalidParameter;
    a->setDefault(Value::matrix(fromMMatrix(defaultValue)));
    return MS::kSuccess;
}

// --- MFnCompoundAttribute ----------------------------------------------------------------------------------

MFnCompoundAttribute::MFnCompoundAttribute() = default;
MFnCompoundAttribute::MFnCompoundAttribute(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnCompoundAttribute::MFnCompoundAttribute(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnCompoundAttribute::~MFnCompoundAttribute() = default;
MFn::Type MFnCompoundAttribute::type() const {
    return MFn::kCompoundAttribute;
}
const char* MFnCompoundAttribute::className() {
    return "MFnCompoundAttribute";
}

MObject MFnCompoundAttribute::create(const MString& fullName, const MString& briefName,
                                     MStatus* ReturnStatus) {
    return created(*this, Attribute::compound(fullName.str(), briefName.str()), ReturnStatus, object_);
}

// Children are added before the compound is added to a node or type.
MStatus MFnCompoundAttribute::addChild(const MObject& child) {
    Attribute* a = attrOf(object_);
    AttrPtr c = attributeOf(child);
    if (!a || !c || c.get() == a || c->parent() || c->attached()) return MS::kInvalidParameter;
    if (a->attached()) return MS::kFailure;
    a->addChild(c);
    return MS::kSuccess;
}
MStatus MFnCompoundAttribute::removeChild(const MObject&) {
    return MS::kNotImplemented;
}
unsigned int MFnCompoundAttribute::numChildren(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    return a ? static_cast<unsigned int>(a->children().size()) : 0;
}
MObject MFnCompoundAttribute::child(unsigned int index, MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    if (!a || index >= a->children().size()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    return wrapAttribute(a->children()[index]);
}

// --- MFnEnumAttribute --------------------------------------------------------------------------------------

MFnEnumAttribute::MFnEnumAttribute() = default;
MFnEnumAttribute::MFnEnumAttribute(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnEnumAttribute::MFnEnumAttribute(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnEnumAttribute::~MFnEnumAttribute() = default;
MFn::Type MFnEnumAttribute::type() const {
    return MFn::kEnumAttribute;
}
const char* MFnEnumAttribute::className() {
    return "MFnEnumAttribute";
}

MObject MFnEnumAttribute::create(const MString& fullName, const MString& briefName, short defaultValue,
                                 MStatus* ReturnStatus) {
    return created(*this, Attribute::enumAttr(fullName.str(), briefName.str(), defaultValue), ReturnStatus,
                   object_);
}

// Field names and values are unique within an attribute.
MStatus MFnEnumAttribute::addField(const MString& fieldString, short index) {
    Attribute* a = attrOf(object_);
    if (!a || fieldString.length() == 0) return MS::kInvalidParameter;
    for (const auto& f : a->enumFields())
        if (f.first == fieldString.str() || f.second == index) return MS::kFailure;
    a->addEnumField(fieldString.str(), index);
    return MS::kSuccess;
}

MString MFnEnumAttribute::fieldName(short index, MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    if (a)
        for (const auto& f : a->enumFields())
            if (f.second == index) return MString(f.first);
    setStatus(ReturnStatus, MS::kInvalidParameter);
    return MString();
}

short MFnEnumAttribute::fieldIndex(const MString& fieldString, MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    if (a)
        for (const auto& f : a->enumFields())
            if (f.first == fieldString.str()) return static_cast<short>(f.second);
    setStatus(ReturnStatus, MS::kInvalidParameter);
    return -1;
}

MStatus MFnEnumAttribute::getMin(short& minValue) const {
    Attribute* a = attrOf(object_);
    if (!a || a->enumFields().empty()) return MS::kFailure;
    int m = a->enumFields()[0].second;
    for (const auto& f : a->enumFields()) m = std::min(m, f.second);
    minValue = static_cast<short>(m);
    return MS::kSuccess;
}

MStatus MFnEnumAttribute::getMax(short& maxValue) const {
    Attribute* a = attrOf(object_);
    if (!a || a->enumFields().empty()) return MS::kFailure;
    int m = a->enumFields()[0].second;
    for (const auto& f : a->enumFields()) m = std::max(m, f.second);
    maxValue = static_cast<short>(m);
    return MS::kSuccess;
}

MStatus MFnEnumAttribute::setDefault(short index) {
    Attribute* a = attrOf(object_);
    if (!a) return MS::kInvalidParameter;
    a->setDefault(Value(int(index)));
    return MS::kSuccess;
}

MStatus MFnEnumAttribute::setDefault(const MString& fieldString) {
    MStatus st;
    short index = fieldIndex(fieldString, &st);
    return st ? setDefault(index) : st;
}

MStatus MFnEnumAttribute::getDefault(short& index) const {
    Attribute* a = attrOf(object_);
    if (!a) return MS::kInvalidParameter;
    index = static_cast<short>(a->defaultValue().asInt());
    return MS::kSuccess;
}

short MFnEnumAttribute::defaultValue(MStatus* ReturnStatus) const {
    short v = 0;
    setStatus(ReturnStatus, getDefault(v));
    return v;
}
