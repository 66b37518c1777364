#include "graph/core/Attribute.h"

#include <algorithm>

namespace kxh {

Attribute::Attribute(std::string longName, std::string shortName, AttrKind kind)
    : longName_(std::move(longName)), shortName_(std::move(shortName)), kind_(kind) {
    if (shortName_.empty()) shortName_ = longName_;
}

AttrPtr Attribute::numeric(const std::string& longName, const std::string& shortName, NumericType type,
                           double defaultValue) {
    if (numericArity(type) > 1) return numericCompound(longName, shortName, type);
    AttrPtr a(new Attribute(longName, shortName, AttrKind::Numeric));
    a->numericType_ = type;
    a->default_ = Value(numericCoerce(type, defaultValue));
    return a;
}

AttrPtr Attribute::numericCompound(const std::string& longName, const std::string& shortName,
                                   NumericType type,
                                   const std::vector<std::pair<std::string, std::string>>& childNames,
                                   const std::vector<double>& defaults) {
    AttrPtr a(new Attribute(longName, shortName, AttrKind::Compound));
    a->numericType_ = type;
    int n = numericArity(type);
    NumericType scalar = numericScalar(type);
    for (int i = 0; i < n; ++i) {
        std::string ln = longName + std::to_string(i), sn = a->shortName_ + std::to_string(i);
        if (i < int(childNames.size())) {
            ln = childNames[i].first;
            sn = childNames[i].second;
        }
        double d = i < int(defaults.size()) ? defaults[i] : 0.0;
        a->addChild(numeric(ln, sn, scalar, d));
    }
    return a;
}

AttrPtr Attribute::enumAttr(const std::string& longName, const std::string& shortName, int defaultValue,
                            std::vector<std::pair<std::string, int>> fields) {
    AttrPtr a = numeric(longName, shortName, NumericType::Short, defaultValue);
    a->isEnum_ = true;
    a->enumFields_ = std::move(fields);
    return a;
}

AttrPtr Attribute::typed(const std::string& longName, const std::string& shortName, DataKind kind,
                         DataPtr defaultData) {
    AttrPtr a(new Attribute(longName, shortName, AttrKind::Typed));
    a->dataKind_ = kind;
    if (defaultData) a->default_ = Value(defaultData);
    return a;
}

AttrPtr Attribute::generic(const std::string& longName, const std::string& shortName) {
    return AttrPtr(new Attribute(longName, shortName, AttrKind::Generic));
}

AttrPtr Attribute::message(const std::string& longName, const std::string& shortName) {
    AttrPtr a(new Attribute(longName, shortName, AttrKind::Message));
    a->storable = false;
    return a;
}

AttrPtr Attribute::matrix(const std::string& longName, const std::string& shortName) {
    AttrPtr a(new Attribute(longName, shortName, AttrKind::Matrix));
    a->dataKind_ = DataKind::Matrix;
    a->default_ = Value::matrix(Matrix44());
    return a;
}

AttrPtr Attribute::compound(const std::string& longName, const std::string& shortName,
                            std::vector<AttrPtr> children) {
    AttrPtr a(new Attribute(longName, shortName, AttrKind::Compound));
    for (auto& c : children) a->addChild(c);
    return a;
}

bool Attribute::isNumericCompound() const {
    if (kind_ != AttrKind::Compound || children_.empty()) return false;
    for (auto& c : children_)
        if (c->kind_ != AttrKind::Numeric || c->array) return false;
    return true;
}

int Attribute::childIndex(const Attribute* child) const {
    for (size_t i = 0; i < children_.size(); ++i)
        if (children_[i].get() == child) return int(i);
    return -1;
}

void Attribute::addChild(AttrPtr child) {
    if (kind_ != AttrKind::Compound || !child) return;
    child->parent_ = this;
    children_.push_back(std::move(child));
}

std::vector<const Attribute*> Attribute::chain() const {
    std::vector<const Attribute*> c;
    for (const Attribute* a = this; a; a = a->parent_) c.push_back(a);
    std::reverse(c.begin(), c.end());
    return c;
}

const Attribute* Attribute::root() const {
    const Attribute* a = this;
    while (a->parent_) a = a->parent_;
    return a;
}

AttrPtr Attribute::findDescendant(const std::string& name) {
    if (hasName(name)) return shared_from_this();
    for (auto& c : children_)
        if (auto f = c->findDescendant(name)) return f;
    return nullptr;
}

bool Attribute::acceptsData(DataKind k) const {
    switch (kind_) {
        case AttrKind::Typed:
            return k == dataKind_;
        case AttrKind::Matrix:
            return k == DataKind::Matrix;
        case AttrKind::Generic:
            if (accepts_.empty()) return true;
            for (DataKind a : accepts_)
                if (a == k || a == DataKind::Any) return true;
            return false;
        default:
            return false;
    }
}

Value Attribute::defaultValue() const {
    if (isNumericCompound()) {
        std::vector<double> d;
        for (auto& c : children_) d.push_back(c->default_.asDouble());
        return Value(d);
    }
    return default_;
}

}  // namespace kxh
