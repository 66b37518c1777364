#pragma once
// Values held by plugs: numbers, numeric tuples and data objects.
//
// Every numeric plug value is kept as a double (bool, byte, short, int, float and double all fit exactly;
// a float attribute rounds to float precision when it is set). A compound of numeric children (translate,
// pnts[3], a float3) reads and writes as a tuple of numbers, one per child. Everything else (strings,
// matrices, arrays, meshes, component lists, plug-in data) is a data object shared by pointer: plugs,
// connections and the undo journal share one object, so a data object must never be changed in place once
// it is stored in a plug (copy, change the copy, set the copy).
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "graph/core/GraphMath.h"
#include "mesh/Mesh.h"

namespace kxh {

// Numeric types, numbered as the host's MFnNumericData::Type (so the API layer can cast).
enum class NumericType : int {
    Invalid = 0,
    Boolean,
    Byte,
    Char,
    Short,
    Short2,
    Short3,
    Int,
    Int2,
    Int3,
    Float,
    Float2,
    Float3,
    Double,
    Double2,
    Double3,
    Double4,
    Addr
};

// Data kinds, numbered as the host's MFnData::Type.
enum class DataKind : int {
    Invalid = 0,
    Numeric,
    Plugin,
    PluginGeometry,
    String,
    Matrix,
    StringArray,
    DoubleArray,
    IntArray,
    PointArray,
    VectorArray,
    ComponentList,
    Mesh,
    Any = 100  // Any: only as a generic attribute's accept
};

const char* dataKindName(DataKind kind);
// Number of components of a numeric type (Float3 -> 3, Int -> 1, Invalid -> 0).
int numericArity(NumericType type);
// The scalar type of a tuple type (Float3 -> Float); scalars map to themselves.
NumericType numericScalar(NumericType type);
// Rounds/clamps a double to what an attribute of the scalar type can hold (bool -> 0/1, int -> truncated,
// float -> float precision).
double numericCoerce(NumericType scalar, double v);

// Component kinds of meshes, for selections and component lists.
enum class ComponentKind : int { None = 0, Vertex, Edge, Face, Uv };
const char* componentKindName(ComponentKind kind);  // "vtx", "e", "f", "map" ("" for None)

struct Component {
    ComponentKind kind = ComponentKind::None;
    std::vector<int> ids;  // sorted, unique
    bool operator==(const Component& o) const { return kind == o.kind && ids == o.ids; }
};

// Base of every data object.
class Data {
public:
    virtual ~Data() = default;
    virtual DataKind kind() const = 0;
    virtual std::shared_ptr<Data> clone() const = 0;
    // Deep equality (used by tests and by "value unchanged" checks); plug-in data compares by identity.
    virtual bool equals(const Data& other) const { return this == &other; }
    // A short human-readable form for scene dumps.
    virtual std::string describe() const;
};
using DataPtr = std::shared_ptr<Data>;
using ConstDataPtr = std::shared_ptr<const Data>;

template <DataKind K, class T>
class TypedData : public Data {
public:
    static constexpr DataKind kKind = K;
    TypedData() = default;
    explicit TypedData(T v) : value(std::move(v)) {}
    DataKind kind() const override { return K; }
    DataPtr clone() const override { return std::make_shared<TypedData>(value); }
    bool equals(const Data& other) const override {
        auto* o = dynamic_cast<const TypedData*>(&other);
        return o && o->value == value;
    }
    std::string describe() const override;
    T value;
};

using Point4 = std::array<double, 4>;   // x, y, z, w
using Vector3 = std::array<double, 3>;  // x, y, z

using StringData = TypedData<DataKind::String, std::string>;
using MatrixData = TypedData<DataKind::Matrix, Matrix44>;
using StringArrayData = TypedData<DataKind::StringArray, std::vector<std::string>>;
using DoubleArrayData = TypedData<DataKind::DoubleArray, std::vector<double>>;
using IntArrayData = TypedData<DataKind::IntArray, std::vector<int>>;
using PointArrayData = TypedData<DataKind::PointArray, std::vector<Point4>>;
using VectorArrayData = TypedData<DataKind::VectorArray, std::vector<Vector3>>;
using ComponentListData = TypedData<DataKind::ComponentList, std::vector<Component>>;

// Mesh data: shares the mesh. The mesh is treated as immutable once wrapped (copy-on-write).
class MeshData : public Data {
public:
    MeshData() = default;
    explicit MeshData(MeshPtr m) : mesh(std::move(m)) {}
    DataKind kind() const override { return DataKind::Mesh; }
    DataPtr clone() const override;  // deep copy of the mesh
    bool equals(const Data& other) const override;
    std::string describe() const override;
    MeshPtr mesh;  // may be null (an empty mesh data object)
};

// Data of a plug-in's own type (MPxData): the API layer derives from this.
class PluginData : public Data {
public:
    DataKind kind() const override { return DataKind::Plugin; }
    virtual unsigned typeId() const = 0;
};

bool meshesEqual(const Mesh& a, const Mesh& b);  // every stored array compared exactly
// As many points and the same faces (offsets and face-vertex ids).
bool meshTopologyEqual(const Mesh& a, const Mesh& b);
// What a mesh stores besides points and faces (UV and colour sets, creases, hard edges, locked normals),
// compared exactly.
bool meshNonPointDataEqual(const Mesh& a, const Mesh& b);

// A plug value: nothing, one number, a tuple of numbers, or a data object.
class Value {
public:
    enum class Kind { None, Number, Numbers, Data };

    Value() = default;
    Value(double v) : kind_(Kind::Number), num_(v) {}
    Value(int v) : kind_(Kind::Number), num_(v) {}
    Value(unsigned v) : kind_(Kind::Number), num_(v) {}
    Value(bool v) : kind_(Kind::Number), num_(v ? 1.0 : 0.0) {}
    Value(float v) : kind_(Kind::Number), num_(v) {}
    Value(std::vector<double> v) : kind_(Kind::Numbers), nums_(std::move(v)) {}
    Value(DataPtr d) : kind_(d ? Kind::Data : Kind::None), data_(std::move(d)) {}
    Value(const char*) = delete;  // strings are StringData: use Value::string(...)

    static Value string(std::string s) { return Value(std::make_shared<StringData>(std::move(s))); }
    static Value matrix(const Matrix44& m) { return Value(std::make_shared<MatrixData>(m)); }
    static Value mesh(MeshPtr m) { return Value(std::make_shared<MeshData>(std::move(m))); }
    static Value intArray(std::vector<int> v) { return Value(std::make_shared<IntArrayData>(std::move(v))); }

    Kind kind() const { return kind_; }
    bool isNone() const { return kind_ == Kind::None; }
    bool isNumber() const { return kind_ == Kind::Number; }
    bool isNumbers() const { return kind_ == Kind::Numbers; }
    bool isData() const { return kind_ == Kind::Data; }

    // Numbers: a Number reads as itself; Numbers read their first entry; anything else reads 0.
    double asDouble() const;
    int asInt() const { return int(asDouble()); }
    bool asBool() const { return asDouble() != 0.0; }
    // Tuple view: a Number is a 1-tuple, None and Data are empty.
    std::vector<double> asNumbers() const;
    const DataPtr& data() const { return data_; }
    DataKind dataKind() const { return data_ ? data_->kind() : DataKind::Invalid; }
    // Typed access: null when the value holds no data of that type.
    template <class T>
    std::shared_ptr<T> dataAs() const {
        return std::dynamic_pointer_cast<T>(data_);
    }
    std::string asString() const;  // StringData's text, or "" for other values
    MeshPtr asMesh() const;        // MeshData's mesh, or null
    Matrix44 asMatrix() const;     // MatrixData's matrix, or identity

    bool operator==(const Value& o) const;  // data compared deeply
    bool operator!=(const Value& o) const { return !(*this == o); }
    std::string describe() const;

private:
    Kind kind_ = Kind::None;
    double num_ = 0;
    std::vector<double> nums_;
    DataPtr data_;
};

}  // namespace kxh
