#pragma once
// What an MObject refers to inside the host, and the conversions between API values (MObject, MPlug,
// MDagPath) and graph objects (Node, Attribute, Plug, Data). Used by the API classes and by the layers
// above that implement further API classes (MFnMesh, MFnPlugin, ...).
//
// An MObject shares one ApiObject. Copies of an MObject share it too, so a data object changed through one
// copy (MFnIntArrayData::set) is changed for all of them. Data stored in a plug is never changed in place:
// a data object that is shared with a plug (or anything else) is copied before a function set changes it.
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "graph/core/Node.h"
#include "graph/core/Value.h"

namespace kxh {

inline void setStatus(MStatus* status, MStatus value) {
    if (status) *status = value;
}

class ApiObject {
public:
    virtual ~ApiObject() = default;
    virtual MFn::Type apiType() const = 0;
    // What equality of MObjects compares.
    virtual const void* identity() const { return this; }
};

// A dependency node (DAG or not).
class NodeObject : public ApiObject {
public:
    explicit NodeObject(NodePtr n) : node(std::move(n)) {}
    MFn::Type apiType() const override;
    const void* identity() const override { return node.get(); }
    NodePtr node;
};

// An attribute, attached or not.
class AttributeObject : public ApiObject {
public:
    explicit AttributeObject(AttrPtr a) : attr(std::move(a)) {}
    MFn::Type apiType() const override;
    const void* identity() const override { return attr.get(); }
    AttrPtr attr;
};

// A data object (string, matrix, arrays, mesh, component list, plug-in data). `data` may be replaced by a
// private copy before a change (see mutableData).
class DataObject : public ApiObject {
public:
    explicit DataObject(DataPtr d) : data(std::move(d)) {}
    MFn::Type apiType() const override;
    DataPtr data;
};

// Numeric data (MFnNumericData): a type and its numbers (arity of the type).
class NumericDataObject : public ApiObject {
public:
    NumericDataObject(NumericType t, std::vector<double> v) : type(t), values(std::move(v)) {}
    MFn::Type apiType() const override { return MFn::kNumericData; }
    NumericType type;
    std::vector<double> values;
};

// A component: element ids of one kind, in the order added (no repeats). A complete component holds
// 0 .. completeCount-1.
class ComponentObject : public ApiObject {
public:
    explicit ComponentObject(MFn::Type t) : type(t) {}
    MFn::Type apiType() const override { return type; }
    MFn::Type type;
    std::vector<int> ids;
    std::unordered_set<int> present;  // the ids, for repeat checks
    bool complete = false;
    int completeCount = 0;
    // Appends an id unless present (a complete component is first made explicit).
    void add(int id);
    // The ids in order, expanding a complete component.
    std::vector<int> elements() const;
    // The ids, expanding a complete component; sorted and unique.
    std::vector<int> sortedIds() const;
};

// --- MObject <-> graph --------------------------------------------------------------------------------
MObject wrapNode(const NodePtr& node);  // null MObject for a null node
MObject wrapNode(Node* node);
MObject wrapAttribute(const AttrPtr& attr);
MObject wrapData(const DataPtr& data);
MObject wrapComponent(ComponentKind kind, const std::vector<int>& ids);

NodePtr nodeOf(const MObject& object);  // null unless the object is a node
// The parent a DAG node create call names: null for a null object (under the world). False when the
// object is not a DAG node.
bool dagParentOf(const MObject& parent, Node*& out);
AttrPtr attributeOf(const MObject& object);  // null unless the object is an attribute
DataPtr dataOf(const MObject& object);       // null unless the object is a (non-numeric) data object
DataObject* dataObjectOf(const MObject& object);
NumericDataObject* numericDataOf(const MObject& object);
ComponentObject* componentOf(const MObject& object);

// The data of a data object, made private to it first when anything else shares it (copy on write).
// Null unless the object is a data object.
DataPtr mutableData(const MObject& object);
// Mesh data: the mesh of a kMeshData object, made private first (see mutableData); an empty mesh data
// object gets a new empty mesh. Null unless the object is mesh data.
MeshPtr mutableMesh(const MObject& object);
// The mesh of a kMeshData object for reading (may be null).
MeshPtr meshOf(const MObject& object);

// MFn kinds of graph kinds.
MFn::Type componentApiType(ComponentKind kind);
ComponentKind componentKindOf(MFn::Type type);
MFn::Type dataApiType(DataKind kind);

// The value an MObject gives when stored in a plug (data objects; numeric data as numbers / a tuple).
Value valueOfObject(const MObject& object);
// The MObject a plug value reads as through MPlug::getValue(MObject&) / MDataHandle::data(): data objects
// wrap the value's data (shared: changes through a function set copy it first); numbers give numeric data.
MObject objectOfValue(const Value& value, const Attribute* attr);

// --- MPlug <-> Plug ---------------------------------------------------------------------------------------
Plug corePlug(const MPlug& plug);  // null Plug when the MPlug is null
MPlug apiPlug(const Plug& plug);

// --- node creation
// ------------------------------------------------------------------------------------------ Creates a node
// of a registered type in the current scene. A shape type with no parent gets a new transform first (named
// after the type: "locator1" over "locatorShape1", "polySurface1" over "polySurfaceShape1"), and *transform
// receives it. `name` names the node created of the type (empty: generated). Null with a message on failure.
NodePtr createNodeOfType(const std::string& typeName, const std::string& name, Node* parent,
                         NodePtr* transform, std::string* error);
// The name of a registered type by id ("" when unknown).
std::string typeNameOfId(unsigned typeId);

// --- MDagPath <-> nodes -----------------------------------------------------------------------------------
// The path from the top-level transform down to the node (DAG nodes have one parent).
MDagPath pathTo(Node& node);
Node* pathNode(const MDagPath& path);  // the last node, or null for an empty path

}  // namespace kxh

class MMatrix;
namespace kxh {
// Conversions between the graph's 4x4 matrix and the API's.
MMatrix toMMatrix(const Matrix44& m);
Matrix44 fromMMatrix(const MMatrix& m);
}  // namespace kxh
