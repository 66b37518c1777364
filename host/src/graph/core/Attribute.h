#pragma once
// Attributes: the description of one named slot of a node (a plug is an attribute on a particular node,
// with the logical indices of its array ancestors).
//
// An attribute is created unattached (the API's MFnAttribute::create), configured, and then either added
// to a node type as a static attribute (every node of the type has it) or to one node as a dynamic
// attribute. A compound owns its children; a child knows its parent. Once attached, an attribute's shape
// (kind, children, array flag) must not change; flags may.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graph/core/Value.h"

namespace kxh {

enum class AttrKind {
    Numeric,  // one number (bool, byte, short, int, enum, float, double)
    Typed,    // one data object of a fixed DataKind (string, mesh, intArray, ...)
    Generic,  // a data object (or number) of any of several accepted kinds
    Message,  // no value; only connections
    Matrix,   // a 4x4 matrix (held as MatrixData)
    Compound  // children; a numeric compound (float3 ...) reads as a tuple
};

// Unit of a numeric attribute. Values are stored in internal units (centimetres, radians); the command
// layer converts from UI units when a command such as setAttr writes a Distance or Angle attribute. Time
// values are stored in seconds.
enum class AttrUnit { None, Distance, Angle, Time };

class Attribute;
using AttrPtr = std::shared_ptr<Attribute>;

class Attribute : public std::enable_shared_from_this<Attribute> {
public:
    // --- construction (unattached) -------------------------------------------------------------------
    static AttrPtr numeric(const std::string& longName, const std::string& shortName, NumericType type,
                           double defaultValue = 0);
    // A numeric compound of arity 2..4 (Float3, Double3, Short2, ...) whose children are made with the
    // given names (or longName+"0".. / shortName+"0".. when names are empty); defaults per child.
    static AttrPtr numericCompound(const std::string& longName, const std::string& shortName,
                                   NumericType type,
                                   const std::vector<std::pair<std::string, std::string>>& childNames = {},
                                   const std::vector<double>& defaults = {});
    static AttrPtr enumAttr(const std::string& longName, const std::string& shortName, int defaultValue,
                            std::vector<std::pair<std::string, int>> fields = {});
    static AttrPtr typed(const std::string& longName, const std::string& shortName, DataKind kind,
                         DataPtr defaultData = nullptr);
    static AttrPtr generic(const std::string& longName, const std::string& shortName);
    static AttrPtr message(const std::string& longName, const std::string& shortName);
    static AttrPtr matrix(const std::string& longName, const std::string& shortName);
    static AttrPtr compound(const std::string& longName, const std::string& shortName,
                            std::vector<AttrPtr> children = {});

    // --- identity --------------------------------------------------------------------------------------
    const std::string& longName() const { return longName_; }
    const std::string& shortName() const { return shortName_; }
    bool hasName(const std::string& n) const { return n == longName_ || n == shortName_; }
    AttrKind kind() const { return kind_; }
    // Numeric attributes: their type. Numeric compounds: the tuple type (Float3, ...). Otherwise Invalid.
    NumericType numericType() const { return numericType_; }
    DataKind dataKind() const { return dataKind_; }  // Typed: its kind; Matrix: Matrix; otherwise Invalid
    bool isNumeric() const { return kind_ == AttrKind::Numeric; }
    bool isCompound() const { return kind_ == AttrKind::Compound; }
    bool isMessage() const { return kind_ == AttrKind::Message; }
    // A compound whose children are all plain numeric leaves (reads as a tuple).
    bool isNumericCompound() const;
    bool holdsData() const {  // Typed, Generic or Matrix: values are data objects
        return kind_ == AttrKind::Typed || kind_ == AttrKind::Generic || kind_ == AttrKind::Matrix;
    }

    // --- structure -------------------------------------------------------------------------------------
    const std::vector<AttrPtr>& children() const { return children_; }
    int childIndex(const Attribute* child) const;  // -1 when not a child
    void addChild(AttrPtr child);                  // compound only, before the attribute is attached
    Attribute* parent() const { return parent_; }
    // This attribute and its ancestors, root first.
    std::vector<const Attribute*> chain() const;
    const Attribute* root() const;
    // Finds this attribute or a descendant by long or short name (depth first).
    AttrPtr findDescendant(const std::string& name);

    // --- generic accepts -------------------------------------------------------------------------------
    void addAccept(DataKind kind) { accepts_.push_back(kind); }
    void addNumericAccept(NumericType t) { numericAccepts_.push_back(t); }
    const std::vector<DataKind>& accepts() const { return accepts_; }
    const std::vector<NumericType>& numericAccepts() const { return numericAccepts_; }
    // True when a value of this kind may be stored: Typed = its own kind, Generic = an accepted kind
    // (Any accepts all), Matrix = Matrix.
    bool acceptsData(DataKind kind) const;

    // --- defaults --------------------------------------------------------------------------------------
    // Numeric: the default number. Typed: the default data (may be none). Numeric compounds: the tuple of
    // the children's defaults.
    Value defaultValue() const;
    void setDefault(const Value& v) { default_ = v; }
    const std::vector<std::pair<std::string, int>>& enumFields() const { return enumFields_; }
    void addEnumField(const std::string& name, int value) { enumFields_.emplace_back(name, value); }
    bool isEnum() const { return isEnum_; }
    AttrUnit unit() const { return unit_; }
    void setUnit(AttrUnit u) { unit_ = u; }

    // --- flags ---------------------------------------------------------------------------------------
    bool array = false;  // sparse array of elements by logical index
    bool readable = true;
    bool writable = true;
    bool storable = true;
    bool keyable = false;
    bool hidden = false;
    bool connectable = true;
    bool cached = true;
    bool indexMatters = true;
    bool usesArrayDataBuilder = false;
    bool affectsAppearance = false;
    bool internal = false;  // host-private storage (not listed by listAttr, not saved by name)
    bool dynamic = false;   // set when added to a node at run time

    // Whether the attribute is attached (static to a type, or dynamic on a node).
    bool attached() const { return attached_; }
    void setAttached(bool a) { attached_ = a; }

private:
    Attribute(std::string longName, std::string shortName, AttrKind kind);

    std::string longName_, shortName_;
    AttrKind kind_;
    NumericType numericType_ = NumericType::Invalid;
    DataKind dataKind_ = DataKind::Invalid;
    std::vector<AttrPtr> children_;
    Attribute* parent_ = nullptr;
    std::vector<DataKind> accepts_;
    std::vector<NumericType> numericAccepts_;
    Value default_;
    std::vector<std::pair<std::string, int>> enumFields_;
    bool isEnum_ = false;
    AttrUnit unit_ = AttrUnit::None;
    bool attached_ = false;
};

}  // namespace kxh
