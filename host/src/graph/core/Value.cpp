#include "graph/core/Value.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace kxh {

namespace {

std::string num(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string describeItem(const std::string& s) {
    return "\"" + s + "\"";
}
std::string describeItem(double v) {
    return num(v);
}
std::string describeItem(int v) {
    return std::to_string(v);
}
bool sameV3(const V3& a, const V3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
std::string describeItem(const Vector3& v) {
    return "(" + num(v[0]) + " " + num(v[1]) + " " + num(v[2]) + ")";
}
std::string describeItem(const V3& v) {
    return "(" + num(v.x) + " " + num(v.y) + " " + num(v.z) + ")";
}
std::string describeItem(const Point4& p) {
    return "(" + num(p[0]) + " " + num(p[1]) + " " + num(p[2]) + " " + num(p[3]) + ")";
}
std::string describeItem(const Component& c) {
    std::string s = std::string(componentKindName(c.kind)) + "[";
    for (size_t i = 0; i < c.ids.size(); ++i) s += (i ? " " : "") + std::to_string(c.ids[i]);
    return s + "]";
}
std::string describeItem(const Matrix44& m) {
    std::string s = "[";
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) s += (i || j ? " " : "") + num(m.m[i][j]);
    return s + "]";
}
template <class T>
std::string describeItem(const std::vector<T>& v) {
    std::string s = "{";
    for (size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + describeItem(v[i]);
    return s + "}";
}

}  // namespace

const char* dataKindName(DataKind kind) {
    switch (kind) {
        case DataKind::Invalid:
            return "invalid";
        case DataKind::Numeric:
            return "numeric";
        case DataKind::Plugin:
            return "plugin";
        case DataKind::PluginGeometry:
            return "pluginGeometry";
        case DataKind::String:
            return "string";
        case DataKind::Matrix:
            return "matrix";
        case DataKind::StringArray:
            return "stringArray";
        case DataKind::DoubleArray:
            return "doubleArray";
        case DataKind::IntArray:
            return "intArray";
        case DataKind::PointArray:
            return "pointArray";
        case DataKind::VectorArray:
            return "vectorArray";
        case DataKind::ComponentList:
            return "componentList";
        case DataKind::Mesh:
            return "mesh";
        case DataKind::Any:
            return "any";
    }
    return "?";
}

int numericArity(NumericType t) {
    switch (t) {
        case NumericType::Invalid:
            return 0;
        case NumericType::Short2:
        case NumericType::Int2:
        case NumericType::Float2:
        case NumericType::Double2:
            return 2;
        case NumericType::Short3:
        case NumericType::Int3:
        case NumericType::Float3:
        case NumericType::Double3:
            return 3;
        case NumericType::Double4:
            return 4;
        default:
            return 1;
    }
}

NumericType numericScalar(NumericType t) {
    switch (t) {
        case NumericType::Short2:
        case NumericType::Short3:
            return NumericType::Short;
        case NumericType::Int2:
        case NumericType::Int3:
            return NumericType::Int;
        case NumericType::Float2:
        case NumericType::Float3:
            return NumericType::Float;
        case NumericType::Double2:
        case NumericType::Double3:
        case NumericType::Double4:
            return NumericType::Double;
        default:
            return t;
    }
}

double numericCoerce(NumericType scalar, double v) {
    switch (scalar) {
        case NumericType::Boolean:
            return v != 0.0 ? 1.0 : 0.0;
        case NumericType::Byte:
        case NumericType::Char:
        case NumericType::Short:
        case NumericType::Int:
        case NumericType::Addr:
            return std::isfinite(v) ? std::trunc(v) : 0.0;
        case NumericType::Float:
            return double(float(v));
        default:
            return v;
    }
}

const char* componentKindName(ComponentKind kind) {
    switch (kind) {
        case ComponentKind::Vertex:
            return "vtx";
        case ComponentKind::Edge:
            return "e";
        case ComponentKind::Face:
            return "f";
        case ComponentKind::Uv:
            return "map";
        default:
            return "";
    }
}

std::string Data::describe() const {
    return std::string("<") + dataKindName(kind()) + ">";
}

template <DataKind K, class T>
std::string TypedData<K, T>::describe() const {
    return describeItem(value);
}

template class TypedData<DataKind::String, std::string>;
template class TypedData<DataKind::Matrix, Matrix44>;
template class TypedData<DataKind::StringArray, std::vector<std::string>>;
template class TypedData<DataKind::DoubleArray, std::vector<double>>;
template class TypedData<DataKind::IntArray, std::vector<int>>;
template class TypedData<DataKind::PointArray, std::vector<Point4>>;
template class TypedData<DataKind::VectorArray, std::vector<Vector3>>;
template class TypedData<DataKind::ComponentList, std::vector<Component>>;

DataPtr MeshData::clone() const {
    return std::make_shared<MeshData>(mesh ? std::make_shared<Mesh>(*mesh) : nullptr);
}

bool MeshData::equals(const Data& other) const {
    auto* o = dynamic_cast<const MeshData*>(&other);
    if (!o) return false;
    if (mesh == o->mesh) return true;
    if (!mesh || !o->mesh) return false;
    return meshesEqual(*mesh, *o->mesh);
}

std::string MeshData::describe() const {
    if (!mesh) return "<mesh null>";
    std::ostringstream s;
    s << "<mesh v=" << mesh->numVertices() << " f=" << mesh->numFaces() << " pts=";
    for (auto& p : mesh->points) s << describeItem(p);
    s << " fv=";
    for (int v : mesh->faceVerts) s << v << ",";
    s << " uvsets=" << mesh->uvSets.size() << ">";
    return s.str();
}

bool meshesEqual(const Mesh& a, const Mesh& b) {
    if (!meshTopologyEqual(a, b)) return false;
    for (size_t i = 0; i < a.points.size(); ++i)
        if (!sameV3(a.points[i], b.points[i])) return false;
    return meshNonPointDataEqual(a, b);
}

bool meshTopologyEqual(const Mesh& a, const Mesh& b) {
    return a.points.size() == b.points.size() && a.faceOffsets == b.faceOffsets && a.faceVerts == b.faceVerts;
}

bool meshNonPointDataEqual(const Mesh& a, const Mesh& b) {
    if (a.uvSets.size() != b.uvSets.size() || a.currentUvSet != b.currentUvSet) return false;
    for (size_t i = 0; i < a.uvSets.size(); ++i) {
        auto &x = a.uvSets[i], &y = b.uvSets[i];
        if (x.name != y.name || x.u != y.u || x.v != y.v || x.faceVertUv != y.faceVertUv) return false;
    }
    if (a.colorSets.size() != b.colorSets.size() || a.currentColorSet != b.currentColorSet) return false;
    for (size_t i = 0; i < a.colorSets.size(); ++i) {
        auto &x = a.colorSets[i], &y = b.colorSets[i];
        if (x.name != y.name || x.colors != y.colors || x.faceVertColor != y.faceVertColor ||
            x.representation != y.representation || x.clamped != y.clamped)
            return false;
    }
    if (a.edgeCreases != b.edgeCreases || a.hardEdges != b.hardEdges) return false;
    if (a.lockedNormals.size() != b.lockedNormals.size()) return false;
    for (size_t i = 0; i < a.lockedNormals.size(); ++i)
        if (a.lockedNormals[i].first != b.lockedNormals[i].first ||
            !sameV3(a.lockedNormals[i].second, b.lockedNormals[i].second))
            return false;
    return true;
}

double Value::asDouble() const {
    if (kind_ == Kind::Number) return num_;
    if (kind_ == Kind::Numbers) return nums_.empty() ? 0.0 : nums_[0];
    return 0.0;
}

std::vector<double> Value::asNumbers() const {
    if (kind_ == Kind::Number) return {num_};
    if (kind_ == Kind::Numbers) return nums_;
    return {};
}

std::string Value::asString() const {
    auto s = dataAs<StringData>();
    return s ? s->value : std::string();
}

MeshPtr Value::asMesh() const {
    auto m = dataAs<MeshData>();
    return m ? m->mesh : nullptr;
}

Matrix44 Value::asMatrix() const {
    auto m = dataAs<MatrixData>();
    return m ? m->value : Matrix44();
}

bool Value::operator==(const Value& o) const {
    if (kind_ != o.kind_) return false;
    switch (kind_) {
        case Kind::None:
            return true;
        case Kind::Number:
            return num_ == o.num_;
        case Kind::Numbers:
            return nums_ == o.nums_;
        case Kind::Data:
            return data_ == o.data_ || data_->equals(*o.data_);
    }
    return false;
}

std::string Value::describe() const {
    switch (kind_) {
        case Kind::None:
            return "none";
        case Kind::Number:
            return num(num_);
        case Kind::Numbers:
            return describeItem(nums_);
        case Kind::Data:
            return data_->describe();
    }
    return "?";
}

}  // namespace kxh
