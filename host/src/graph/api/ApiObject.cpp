// MObject, MObjectHandle, MFnBase, MDGContext and the conversions between API values and graph objects.
#include "graph/api/ApiObject.h"

#include <maya/MDGContext.h>
#include <maya/MFnBase.h>
#include <maya/MMatrix.h>
#include <maya/MObjectHandle.h>

#include <algorithm>
#include <functional>

#include "graph/core/Scene.h"

// --- MObject ---------------------------------------------------------------------------------------------

MObject MObject::kNullObj;

MObject::MObject() = default;
MObject::MObject(const MObject& other) = default;
MObject::~MObject() = default;
MObject& MObject::operator=(const MObject& other) = default;
MObject::MObject(std::shared_ptr<kxh::ApiObject> object) : object_(std::move(object)) {}

bool MObject::isNull() const {
    return !object_;
}

MFn::Type MObject::apiType() const {
    return object_ ? object_->apiType() : MFn::kInvalid;
}

bool MObject::hasFn(MFn::Type fs) const {
    if (!object_) return false;
    if (auto* n = dynamic_cast<const kxh::NodeObject*>(object_.get()))
        if (n->node->type().hasFn(int(fs))) return true;
    return kxh::apiTypeIsA(apiType(), fs);
}

const char* MObject::apiTypeStr() const {
    return kxh::apiTypeName(apiType());
}

bool MObject::operator==(const MObject& other) const {
    if (!object_ || !other.object_) return !object_ && !other.object_;
    return object_->identity() == other.object_->identity();
}
bool MObject::operator!=(const MObject& other) const {
    return !(*this == other);
}

// --- MObjectHandle
// ------------------------------------------------------------------------------------------

MObjectHandle::MObjectHandle() = default;
MObjectHandle::MObjectHandle(const MObject& object) : object_(object) {}
MObjectHandle::MObjectHandle(const MObjectHandle& handle) = default;
MObjectHandle::~MObjectHandle() = default;
MObject MObjectHandle::object() const {
    return object_;
}
const MObject& MObjectHandle::objectRef() const {
    return object_;
}

unsigned int MObjectHandle::hashCode() const {
    const void* id = object_.internal() ? object_.internal()->identity() : nullptr;
    size_t h = std::hash<const void*>()(id);
    return static_cast<unsigned int>(h ^ (h >> 32));
}

bool MObjectHandle::isValid() const {
    if (object_.isNull()) return false;
    if (kxh::NodePtr n = kxh::nodeOf(object_)) return n->alive();
    return true;
}

// Objects are kept in memory as long as a handle refers to them, so only a null handle is not alive.
bool MObjectHandle::isAlive() const {
    return !object_.isNull();
}

bool MObjectHandle::operator==(const MObject& object) const {
    return object_ == object;
}
bool MObjectHandle::operator==(const MObjectHandle& other) const {
    return object_ == other.object_;
}
bool MObjectHandle::operator!=(const MObject& object) const {
    return !(object_ == object);
}
bool MObjectHandle::operator!=(const MObjectHandle& other) const {
    return !(object_ == other.object_);
}
MObjectHandle& MObjectHandle::operator=(const MObject& object) {
    object_ = object;
    return *this;
}
MObjectHandle& MObjectHandle::operator=(const MObjectHandle& other) = default;

// --- MFnBase ---------------------------------------------------------------------------------------------

MFnBase::MFnBase() = default;
MFnBase::~MFnBase() = default;
MFn::Type MFnBase::type() const {
    return MFn::kBase;
}
const char* MFnBase::className() {
    return "MFnBase";
}
bool MFnBase::hasObj(MFn::Type t) const {
    return kxh::apiTypeIsA(t, type());
}
bool MFnBase::hasObj(const MObject& object) const {
    return !object.isNull() && object.hasFn(type());
}

bool MFnBase::compatibleWith(const MObject& object) const {
    return hasObj(object);
}

MObject MFnBase::object(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = object_.isNull() ? MS::kFailure : MS::kSuccess;
    return object_;
}

MStatus MFnBase::setObject(MObject& object) {
    return attach(object);
}
MStatus MFnBase::setObject(const MObject& object) {
    return attach(object);
}

MStatus MFnBase::attach(const MObject& object) {
    if (object.isNull()) {
        object_ = MObject();
        return MS::kInvalidParameter;
    }
    if (!compatibleWith(object)) {
        object_ = MObject();
        return MS::kInvalidParameter;
    }
    object_ = object;
    return MS::kSuccess;
}

// --- MDGContext ------------------------------------------------------------------------------------------

MDGContext MDGContext::fsNormal;
MDGContext::MDGContext() = default;
MDGContext::MDGContext(const MDGContext&) = default;
MDGContext::~MDGContext() = default;
MDGContext& MDGContext::operator=(const MDGContext&) = default;
bool MDGContext::isNormal(MStatus* ReturnStatus) const {
    if (ReturnStatus) *ReturnStatus = MS::kSuccess;
    return true;
}

namespace kxh {

// --- object kinds
// -------------------------------------------------------------------------------------------

MFn::Type NodeObject::apiType() const {
    return MFn::Type(node->type().fnKind());
}

MFn::Type AttributeObject::apiType() const {
    switch (attr->kind()) {
        case AttrKind::Numeric:
            if (attr->isEnum()) return MFn::kEnumAttribute;
            // Numbers with a unit are unit attributes, as MFnUnitAttribute makes them.
            switch (attr->unit()) {
                case AttrUnit::Distance:
                    return MFn::kDoubleLinearAttribute;
                case AttrUnit::Angle:
                    return MFn::kDoubleAngleAttribute;
                case AttrUnit::Time:
                    return MFn::kTimeAttribute;
                default:
                    return MFn::kNumericAttribute;
            }
        case AttrKind::Typed:
            return MFn::kTypedAttribute;
        case AttrKind::Generic:
            return MFn::kGenericAttribute;
        case AttrKind::Message:
            return MFn::kMessageAttribute;
        case AttrKind::Matrix:
            return MFn::kMatrixAttribute;
        case AttrKind::Compound:
            if (attr->isNumericCompound()) {
                switch (attr->numericType()) {
                    case NumericType::Double2:
                        return MFn::kAttribute2Double;
                    case NumericType::Float2:
                        return MFn::kAttribute2Float;
                    case NumericType::Int2:
                    case NumericType::Short2:
                        return MFn::kAttribute2Int;
                    case NumericType::Double3:
                        return MFn::kAttribute3Double;
                    case NumericType::Float3:
                        return MFn::kAttribute3Float;
                    case NumericType::Int3:
                    case NumericType::Short3:
                        return MFn::kAttribute3Int;
                    default:
                        break;
                }
            }
            return MFn::kCompoundAttribute;
    }
    return MFn::kAttribute;
}

MFn::Type dataApiType(DataKind kind) {
    switch (kind) {
        case DataKind::Numeric:
            return MFn::kNumericData;
        case DataKind::String:
            return MFn::kStringData;
        case DataKind::Matrix:
            return MFn::kMatrixData;
        case DataKind::StringArray:
            return MFn::kStringArrayData;
        case DataKind::DoubleArray:
            return MFn::kDoubleArrayData;
        case DataKind::IntArray:
            return MFn::kIntArrayData;
        case DataKind::PointArray:
            return MFn::kPointArrayData;
        case DataKind::VectorArray:
            return MFn::kVectorArrayData;
        case DataKind::ComponentList:
            return MFn::kComponentListData;
        case DataKind::Mesh:
            return MFn::kMeshData;
        case DataKind::Plugin:
        case DataKind::PluginGeometry:
            return MFn::kPluginData;
        default:
            return MFn::kData;
    }
}

MFn::Type DataObject::apiType() const {
    return data ? dataApiType(data->kind()) : MFn::kData;
}

void ComponentObject::add(int id) {
    if (complete) {
        ids = elements();
        present.insert(ids.begin(), ids.end());
        complete = false;
        completeCount = 0;
    }
    if (present.insert(id).second) ids.push_back(id);
}

std::vector<int> ComponentObject::elements() const {
    if (complete) {
        std::vector<int> all(std::max(completeCount, 0));
        for (int i = 0; i < completeCount; ++i) all[i] = i;
        return all;
    }
    return ids;
}

std::vector<int> ComponentObject::sortedIds() const {
    return idsNormalize(elements());
}

MFn::Type componentApiType(ComponentKind kind) {
    switch (kind) {
        case ComponentKind::Vertex:
            return MFn::kMeshVertComponent;
        case ComponentKind::Edge:
            return MFn::kMeshEdgeComponent;
        case ComponentKind::Face:
            return MFn::kMeshPolygonComponent;
        case ComponentKind::Uv:
            return MFn::kMeshMapComponent;
        default:
            return MFn::kInvalid;
    }
}

ComponentKind componentKindOf(MFn::Type type) {
    switch (type) {
        case MFn::kMeshVertComponent:
            return ComponentKind::Vertex;
        case MFn::kMeshEdgeComponent:
            return ComponentKind::Edge;
        case MFn::kMeshPolygonComponent:
            return ComponentKind::Face;
        case MFn::kMeshMapComponent:
            return ComponentKind::Uv;
        default:
            return ComponentKind::None;
    }
}

// --- wrapping ---------------------------------------------------------------------------------------------

MObject wrapNode(const NodePtr& node) {
    return node ? MObject(std::make_shared<NodeObject>(node)) : MObject();
}
MObject wrapNode(Node* node) {
    return node ? wrapNode(node->ptr()) : MObject();
}
MObject wrapAttribute(const AttrPtr& attr) {
    return attr ? MObject(std::make_shared<AttributeObject>(attr)) : MObject();
}
MObject wrapData(const DataPtr& data) {
    return data ? MObject(std::make_shared<DataObject>(data)) : MObject();
}
MObject wrapComponent(ComponentKind kind, const std::vector<int>& ids) {
    auto c = std::make_shared<ComponentObject>(componentApiType(kind));
    for (int id : ids) c->add(id);
    return MObject(c);
}

NodePtr nodeOf(const MObject& object) {
    auto* n = dynamic_cast<NodeObject*>(object.internal().get());
    return n ? n->node : nullptr;
}
bool dagParentOf(const MObject& parent, Node*& out) {
    out = nullptr;
    if (parent.isNull()) return true;
    out = nodeOf(parent).get();
    return out && out->isDag();
}
AttrPtr attributeOf(const MObject& object) {
    auto* a = dynamic_cast<AttributeObject*>(object.internal().get());
    return a ? a->attr : nullptr;
}
DataObject* dataObjectOf(const MObject& object) {
    return dynamic_cast<DataObject*>(object.internal().get());
}
DataPtr dataOf(const MObject& object) {
    DataObject* d = dataObjectOf(object);
    return d ? d->data : nullptr;
}
NumericDataObject* numericDataOf(const MObject& object) {
    return dynamic_cast<NumericDataObject*>(object.internal().get());
}
ComponentObject* componentOf(const MObject& object) {
    return dynamic_cast<ComponentObject*>(object.internal().get());
}

DataPtr mutableData(const MObject& object) {
    DataObject* d = dataObjectOf(object);
    if (!d || !d->data) return nullptr;
    // The wrapper holds one reference; any other holder (a plug, the journal, another wrapper) means the
    // object is shared and must not change under it.
    if (d->data.use_count() > 1) d->data = d->data->clone();
    return d->data;
}

MeshPtr mutableMesh(const MObject& object) {
    DataObject* d = dataObjectOf(object);
    if (!d || !d->data || d->data->kind() != DataKind::Mesh) return nullptr;
    auto md = std::static_pointer_cast<MeshData>(mutableData(object));
    if (!md->mesh)
        md->mesh = std::make_shared<Mesh>();
    else if (md->mesh.use_count() > 1)
        md->mesh = std::make_shared<Mesh>(*md->mesh);
    return md->mesh;
}

MeshPtr meshOf(const MObject& object) {
    DataPtr d = dataOf(object);
    auto md = std::dynamic_pointer_cast<MeshData>(d);
    return md ? md->mesh : nullptr;
}

Value valueOfObject(const MObject& object) {
    if (NumericDataObject* n = numericDataOf(object)) {
        if (n->values.size() == 1) return Value(n->values[0]);
        return Value(n->values);
    }
    if (DataObject* d = dataObjectOf(object)) return Value(d->data);
    return Value();
}

MObject objectOfValue(const Value& value, const Attribute* attr) {
    if (value.isData()) return wrapData(value.data());
    if (value.isNumber() || value.isNumbers()) {
        NumericType t = attr ? attr->numericType() : NumericType::Double;
        if (t == NumericType::Invalid) t = NumericType::Double;
        return MObject(std::make_shared<NumericDataObject>(t, value.asNumbers()));
    }
    return MObject();
}

// --- plugs ------------------------------------------------------------------------------------------------

Plug corePlug(const MPlug& plug) {
    NodePtr node = nodeOf(plug.node());
    AttrPtr attr = attributeOf(plug.attribute());
    if (!node || !attr) return Plug();
    std::vector<int> indices = plug.indices();
    indices.resize(attr->chain().size(), -1);
    return Plug(node, attr, indices);
}

MPlug apiPlug(const Plug& plug) {
    if (plug.isNull()) return MPlug();
    return MPlug(wrapNode(plug.nodePtr()), wrapAttribute(plug.attrPtr()), plug.indices());
}

// --- paths ------------------------------------------------------------------------------------------------

MDagPath pathTo(Node& node) {
    std::vector<MObject> chain;
    for (Node* n = &node; n && !n->isWorld(); n = n->parent()) chain.push_back(wrapNode(n));
    std::reverse(chain.begin(), chain.end());
    return MDagPath(std::move(chain));
}

Node* pathNode(const MDagPath& path) {
    if (path.nodes().empty()) return nullptr;
    return nodeOf(path.nodes().back()).get();
}

MMatrix toMMatrix(const Matrix44& m) {
    return MMatrix(m.m);
}

Matrix44 fromMMatrix(const MMatrix& m) {
    Matrix44 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = m.matrix[i][j];
    return r;
}

}  // namespace kxh

namespace kxh {

std::string typeNameOfId(unsigned typeId) {
    NodeTypePtr t = NodeTypeRegistry::instance().findById(typeId);
    return t ? t->name() : std::string();
}

NodePtr createNodeOfType(const std::string& typeName, const std::string& name, Node* parent,
                         NodePtr* transform, std::string* error) {
    if (transform) transform->reset();
    NodeTypePtr type = NodeTypeRegistry::instance().find(typeName);
    if (!type) {
        if (error) *error = "Unknown object type: " + typeName;
        return nullptr;
    }
    Scene& scene = Scene::current();
    if (!type->isShape() || parent) return scene.createNode(typeName, name, parent, error);

    // A shape needs a transform above it. The shape's base name ends in "Shape"; the transform takes the
    // base without it, and the shape the transform's number.
    std::string shapeBase = type->defaultName.empty() ? typeName : type->defaultName;
    std::string xformBase = shapeBase;
    const std::string suffix = "Shape";
    if (xformBase.size() > suffix.size() &&
        xformBase.compare(xformBase.size() - suffix.size(), suffix.size(), suffix) == 0)
        xformBase.resize(xformBase.size() - suffix.size());
    else
        shapeBase += suffix;
    NodePtr xform = scene.createNode("transform", xformBase + "#", nullptr, error);
    if (!xform) return nullptr;
    std::string shapeName = name;
    if (shapeName.empty()) {
        const std::string& xn = xform->name();
        size_t digits = xn.find_last_not_of("0123456789") + 1;
        shapeName = shapeBase + xn.substr(digits);
    }
    NodePtr shape = scene.createNode(typeName, shapeName, xform.get(), error);
    if (!shape) {
        scene.deleteNode(*xform);
        return nullptr;
    }
    if (transform) *transform = xform;
    return shape;
}

}  // namespace kxh
