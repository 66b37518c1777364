// The attribute function sets over the graph's Attribute descriptions. create() makes a new unattached
// attribute and attaches the set to it; the attribute is then added to a node type (MPxNode::addAttribute)
// or to one node (MFnDependencyNode::addAttribute).
// This file holds the base set and the numeric one; the typed, generic, message, matrix, compound and enum
// sets are in AttrTypes.cpp.
#include <maya/MFnAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MTypeId.h>

#include <map>

#include "graph/api/ApiObject.h"
#include "graph/api/AttrShared.h"

using namespace kxh;

namespace {

// What the graph's attributes do not keep themselves: numeric limits and flags that only matter to the
// host's user interface. Keyed by attribute; limits are reported back, not enforced on set.
struct AttrExtras {
    std::vector<double> min, max;
    bool hasSoftMin = false, hasSoftMax = false;
    double softMin = 0, softMax = 0;
    bool usedAsColor = false, indeterminant = false, renderSource = false, worldSpace = false;
    bool affectsWorldSpace = false, channelBox = false;
    MFnAttribute::DisconnectBehavior disconnect = MFnAttribute::kNothing;
};

std::map<const Attribute*, AttrExtras>& extrasTable() {
    static std::map<const Attribute*, AttrExtras> table;
    return table;
}

AttrExtras& extras(const Attribute* a) {
    return extrasTable()[a];
}

const AttrExtras* findExtras(const Attribute* a) {
    auto it = extrasTable().find(a);
    return it == extrasTable().end() ? nullptr : &it->second;
}

template <class F>
MStatus setFlag(const MObject& o, F f) {
    Attribute* a = attrOf(o);
    if (!a) return MS::kInvalidParameter;
    f(*a);
    return MS::kSuccess;
}

MStatus setLimits(const MObject& o, std::vector<double> values, bool isMin) {
    Attribute* a = attrOf(o);
    if (!a) return MS::kInvalidParameter;
    (isMin ? extras(a).min : extras(a).max) = std::move(values);
    return MS::kSuccess;
}

MStatus getLimits(const MObject& o, bool isMin, std::vector<double*> out) {
    Attribute* a = attrOf(o);
    const AttrExtras* e = a ? findExtras(a) : nullptr;
    if (!e) return MS::kFailure;
    const std::vector<double>& v = isMin ? e->min : e->max;
    if (v.size() < out.size()) return MS::kFailure;
    for (size_t i = 0; i < out.size(); ++i) *out[i] = v[i];
    return MS::kSuccess;
}

// The default of a numeric attribute as numbers (one per child for compounds).
std::vector<double> defaultsOf(const Attribute& a) {
    return a.defaultValue().asNumbers();
}

MStatus setDefaults(const MObject& o, const std::vector<double>& values) {
    Attribute* a = attrOf(o);
    if (!a) return MS::kInvalidParameter;
    if (a->isNumericCompound()) {
        if (values.size() != a->children().size()) return MS::kInvalidParameter;
        for (size_t i = 0; i < values.size(); ++i) a->children()[i]->setDefault(Value(values[i]));
        return MS::kSuccess;
    }
    if (!a->isNumeric() || values.size() != 1) return MS::kInvalidParameter;
    a->setDefault(Value(numericCoerce(a->numericType(), values[0])));
    return MS::kSuccess;
}

template <class T>
MStatus getDefaults(const MObject& o, std::vector<T*> out) {
    Attribute* a = attrOf(o);
    if (!a) return MS::kInvalidParameter;
    std::vector<double> d = defaultsOf(*a);
    if (d.size() != out.size()) return MS::kFailure;
    for (size_t i = 0; i < out.size(); ++i) *out[i] = static_cast<T>(d[i]);
    return MS::kSuccess;
}

}  // namespace

// --- MFnAttribute ------------------------------------------------------------------------------------------

MFnAttribute::MFnAttribute() = default;
MFnAttribute::MFnAttribute(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnAttribute::MFnAttribute(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnAttribute::~MFnAttribute() = default;
MFn::Type MFnAttribute::type() const {
    return MFn::kAttribute;
}
const char* MFnAttribute::className() {
    return "MFnAttribute";
}

#define KXH_ATTR_FLAG_GET(method, expr)                      \
    bool MFnAttribute::method(MStatus* ReturnStatus) const { \
        Attribute* a = attrOf(object_, ReturnStatus);        \
        if (!a) return false;                                \
        const AttrExtras* e = findExtras(a);                 \
        (void)e;                                             \
        return expr;                                         \
    }
KXH_ATTR_FLAG_GET(isReadable, a->readable)
KXH_ATTR_FLAG_GET(isWritable, a->writable)
KXH_ATTR_FLAG_GET(isConnectable, a->connectable)
KXH_ATTR_FLAG_GET(isStorable, a->storable)
KXH_ATTR_FLAG_GET(isCached, a->cached)
KXH_ATTR_FLAG_GET(isArray, a->array)
KXH_ATTR_FLAG_GET(indexMatters, a->indexMatters)
KXH_ATTR_FLAG_GET(isKeyable, a->keyable)
KXH_ATTR_FLAG_GET(isChannelBoxFlagSet, e && e->channelBox)
KXH_ATTR_FLAG_GET(isHidden, a->hidden)
KXH_ATTR_FLAG_GET(isUsedAsColor, e && e->usedAsColor)
KXH_ATTR_FLAG_GET(isIndeterminant, e && e->indeterminant)
KXH_ATTR_FLAG_GET(isRenderSource, e && e->renderSource)
KXH_ATTR_FLAG_GET(isDynamic, a->dynamic)
KXH_ATTR_FLAG_GET(isExtension, false)
KXH_ATTR_FLAG_GET(isWorldSpace, e && e->worldSpace)
KXH_ATTR_FLAG_GET(isAffectsWorldSpace, e && e->affectsWorldSpace)
KXH_ATTR_FLAG_GET(isAffectsAppearance, a->affectsAppearance)
KXH_ATTR_FLAG_GET(usesArrayDataBuilder, a->usesArrayDataBuilder)
#undef KXH_ATTR_FLAG_GET

MFnAttribute::DisconnectBehavior MFnAttribute::disconnectBehavior(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    const AttrExtras* e = a ? findExtras(a) : nullptr;
    return e ? e->disconnect : kNothing;
}

MStatus MFnAttribute::setReadable(bool s) {
    return setFlag(object_, [s](Attribute& a) { a.readable = s; });
}
MStatus MFnAttribute::setWritable(bool s) {
    return setFlag(object_, [s](Attribute& a) { a.writable = s; });
}
MStatus MFnAttribute::setConnectable(bool s) {
    return setFlag(object_, [s](Attribute& a) { a.connectable = s; });
}
MStatus MFnAttribute::setStorable(bool s) {
    return setFlag(object_, [s](Attribute& a) { a.storable = s; });
}
MStatus MFnAttribute::setCached(bool s) {
    return setFlag(object_, [s](Attribute& a) { a.cached = s; });
}
MStatus MFnAttribute::setIndexMatters(bool s) {
    return setFlag(object_, [s](Attribute& a) { a.indexMatters = s; });
}
MStatus MFnAttribute::setKeyable(bool s) {
    return setFlag(object_, [s](Attribute& a) { a.keyable = s; });
}
MStatus MFnAttribute::setHidden(bool s) {
    return setFlag(object_, [s](Attribute& a) { a.hidden = s; });
}
MStatus MFnAttribute::setAffectsAppearance(bool s) {
    return setFlag(object_, [s](Attribute& a) { a.affectsAppearance = s; });
}
MStatus MFnAttribute::setUsesArrayDataBuilder(bool s) {
    return setFlag(object_, [s](Attribute& a) { a.usesArrayDataBuilder = s; });
}
MStatus MFnAttribute::setChannelBox(bool s) {
    return setFlag(object_, [s](Attribute& a) { extras(&a).channelBox = s; });
}
MStatus MFnAttribute::setUsedAsColor(bool s) {
    return setFlag(object_, [s](Attribute& a) { extras(&a).usedAsColor = s; });
}
MStatus MFnAttribute::setIndeterminant(bool s) {
    return setFlag(object_, [s](Attribute& a) { extras(&a).indeterminant = s; });
}
MStatus MFnAttribute::setRenderSource(bool s) {
    return setFlag(object_, [s](Attribute& a) { extras(&a).renderSource = s; });
}
MStatus MFnAttribute::setWorldSpace(bool s) {
    return setFlag(object_, [s](Attribute& a) { extras(&a).worldSpace = s; });
}
MStatus MFnAttribute::setAffectsWorldSpace(bool s) {
    return setFlag(object_, [s](Attribute& a) { extras(&a).affectsWorldSpace = s; });
}
MStatus MFnAttribute::setDisconnectBehavior(DisconnectBehavior b) {
    return setFlag(object_, [b](Attribute& a) { extras(&a).disconnect = b; });
}
MStatus MFnAttribute::setNiceNameOverride(const MString&) {
    return setFlag(object_, [](Attribute&) {});
}

// The array flag is part of the attribute's shape: it can change only before the attribute is added.
MStatus MFnAttribute::setArray(bool s) {
    Attribute* a = attrOf(object_);
    if (!a) return MS::kInvalidParameter;
    if (a->attached() && a->array != s) return MS::kFailure;
    a->array = s;
    return MS::kSuccess;
}

bool MFnAttribute::accepts(MFnData::Type type, MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    return a && a->acceptsData(DataKind(int(type)));
}
bool MFnAttribute::accepts(const MTypeId&, MStatus* ReturnStatus) const {
    attrOf(object_, ReturnStatus);
    return false;
}

MObject MFnAttribute::parent(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    if (!a || !a->parent()) {
        setStatus(ReturnStatus, MS::kFailure);
        return MObject();
    }
    return wrapAttribute(a->parent()->shared_from_this());
}
MString MFnAttribute::name(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    return a ? MString(a->longName()) : MString();
}
MString MFnAttribute::shortName(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    return a ? MString(a->shortName()) : MString();
}
// "parent.child" names from the root down.
MString MFnAttribute::pathName(bool longName, MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    if (!a) return MString();
    std::string s;
    for (const Attribute* c : a->chain())
        s += (s.empty() ? "" : ".") + (longName ? c->longName() : c->shortName());
    return MString(s);
}

// --- MFnNumericAttribute -----------------------------------------------------------------------------------

MFnNumericAttribute::MFnNumericAttribute() = default;
MFnNumericAttribute::MFnNumericAttribute(MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnNumericAttribute::MFnNumericAttribute(const MObject& object, MStatus* ReturnStatus) {
    setStatus(ReturnStatus, attach(object));
}
MFnNumericAttribute::~MFnNumericAttribute() = default;
MFn::Type MFnNumericAttribute::type() const {
    return MFn::kNumericAttribute;
}
const char* MFnNumericAttribute::className() {
    return "MFnNumericAttribute";
}

// Plain numbers and compounds of numbers (points, colours, float3 ...); not enums.
bool MFnNumericAttribute::compatibleWith(const MObject& object) const {
    AttrPtr a = attributeOf(object);
    return a && ((a->isNumeric() && !a->isEnum()) || a->isNumericCompound());
}

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    MFnNumericData::Type unitType, double defaultValue,
                                    MStatus* ReturnStatus) {
    NumericType t = NumericType(int(unitType));
    int arity = numericArity(t);
    if (arity == 0 || t == NumericType::Addr) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    AttrPtr a = arity == 1 ? Attribute::numeric(fullName.str(), briefName.str(), t, defaultValue)
                           : Attribute::numericCompound(fullName.str(), briefName.str(), t, {},
                                                        std::vector<double>(arity, defaultValue));
    return created(*this, a, ReturnStatus, object_);
}

namespace {
AttrPtr tripleOfFloats(const std::string& full, const std::string& brief, const char* suffixes) {
    std::vector<std::pair<std::string, std::string>> names;
    for (int i = 0; i < 3; ++i) names.emplace_back(full + suffixes[i], brief + suffixes[i]);
    return Attribute::numericCompound(full, brief, NumericType::Float3, names, {0, 0, 0});
}
}  // namespace

// A float3 whose children are <name>R, <name>G, <name>B.
MObject MFnNumericAttribute::createColor(const MString& fullName, const MString& briefName,
                                         MStatus* ReturnStatus) {
    AttrPtr a = tripleOfFloats(fullName.str(), briefName.str(), "RGB");
    extras(a.get()).usedAsColor = true;
    return created(*this, a, ReturnStatus, object_);
}

// A float3 whose children are <name>X, <name>Y, <name>Z.
MObject MFnNumericAttribute::createPoint(const MString& fullName, const MString& briefName,
                                         MStatus* ReturnStatus) {
    return created(*this, tripleOfFloats(fullName.str(), briefName.str(), "XYZ"), ReturnStatus, object_);
}

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName, const MObject& child1,
                                    const MObject& child2, const MObject& child3, MStatus* ReturnStatus) {
    std::vector<AttrPtr> kids;
    for (const MObject* c : {&child1, &child2, &child3}) {
        if (c->isNull()) continue;
        AttrPtr k = attributeOf(*c);
        if (!k || !k->isNumeric() || k->parent() || k->attached()) {
            setStatus(ReturnStatus, MS::kInvalidParameter);
            return MObject();
        }
        kids.push_back(k);
    }
    if (kids.size() < 2) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    return created(*this, Attribute::compound(fullName.str(), briefName.str(), kids), ReturnStatus, object_);
}

MFnNumericData::Type MFnNumericAttribute::unitType(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    return a ? MFnNumericData::Type(int(a->numericType())) : MFnNumericData::kInvalid;
}

bool MFnNumericAttribute::hasMin(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    const AttrExtras* e = a ? findExtras(a) : nullptr;
    return e && !e->min.empty();
}
bool MFnNumericAttribute::hasMax(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    const AttrExtras* e = a ? findExtras(a) : nullptr;
    return e && !e->max.empty();
}
bool MFnNumericAttribute::hasSoftMin(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    const AttrExtras* e = a ? findExtras(a) : nullptr;
    return e && e->hasSoftMin;
}
bool MFnNumericAttribute::hasSoftMax(MStatus* ReturnStatus) const {
    Attribute* a = attrOf(object_, ReturnStatus);
    const AttrExtras* e = a ? findExtras(a) : nullptr;
    return e && e->hasSoftMax;
}

MStatus MFnNumericAttribute::getMin(int& m) const {
    double d;
    MStatus st = getLimits(object_, true, {&d});
    if (st) m = static_cast<int>(d);
    return st;
}
MStatus MFnNumericAttribute::getMin(double& m) const {
    return getLimits(object_, true, {&m});
}
MStatus MFnNumericAttribute::getMin(double& a, double& b) const {
    return getLimits(object_, true, {&a, &b});
}
MStatus MFnNumericAttribute::getMin(double& a, double& b, double& c) const {
    return getLimits(object_, true, {&a, &b, &c});
}
MStatus MFnNumericAttribute::getMax(int& m) const {
    double d;
    MStatus st = getLimits(object_, false, {&d});
    if (st) m = static_cast<int>(d);
    return st;
}
MStatus MFnNumericAttribute::getMax(double& m) const {
    return getLimits(object_, false, {&m});
}
MStatus MFnNumericAttribute::getMax(double& a, double& b) const {
    return getLimits(object_, false, {&a, &b});
}
MStatus MFnNumericAttribute::getMax(double& a, double& b, double& c) const {
    return getLimits(object_, false, {&a, &b, &c});
}
MStatus MFnNumericAttribute::getSoftMin(double& m) const {
    Attribute* a = attrOf(object_);
    const AttrExtras* e = a ? findExtras(a) : nullptr;
    if (!e || !e->hasSoftMin) return MS::kFailure;
    m = e->softMin;
    return MS::kSuccess;
}
MStatus MFnNumericAttribute::getSoftMax(double& m) const {
    Attribute* a = attrOf(object_);
    const AttrExtras* e = a ? findExtras(a) : nullptr;
    if (!e || !e->hasSoftMax) return MS::kFailure;
    m = e->softMax;
    return MS::kSuccess;
}

MStatus MFnNumericAttribute::setMin(int a) {
    return setLimits(object_, {double(a)}, true);
}
MStatus MFnNumericAttribute::setMin(float a) {
    return setLimits(object_, {double(a)}, true);
}
MStatus MFnNumericAttribute::setMin(double a) {
    return setLimits(object_, {a}, true);
}
MStatus MFnNumericAttribute::setMin(int a, int b) {
    return setLimits(object_, {double(a), double(b)}, true);
}
MStatus MFnNumericAttribute::setMin(float a, float b) {
    return setLimits(object_, {double(a), double(b)}, true);
}
MStatus MFnNumericAttribute::setMin(double a, double b) {
    return setLimits(object_, {a, b}, true);
}
MStatus MFnNumericAttribute::setMin(int a, int b, int c) {
    return setLimits(object_, {double(a), double(b), double(c)}, true);
}
MStatus MFnNumericAttribute::setMin(float a, float b, float c) {
    return setLimits(object_, {double(a), double(b), double(c)}, true);
}
MStatus MFnNumericAttribute::setMin(double a, double b, double c) {
    return setLimits(object_, {a, b, c}, true);
}
MStatus MFnNumericAttribute::setMax(int a) {
    return setLimits(object_, {double(a)}, false);
}
MStatus MFnNumericAttribute::setMax(float a) {
    return setLimits(object_, {double(a)}, false);
}
MStatus MFnNumericAttribute::setMax(double a) {
    return setLimits(object_, {a}, false);
}
MStatus MFnNumericAttribute::setMax(int a, int b) {
    return setLimits(object_, {double(a), double(b)}, false);
}
MStatus MFnNumericAttribute::setMax(float a, float b) {
    return setLimits(object_, {double(a), double(b)}, false);
}
MStatus MFnNumericAttribute::setMax(double a, double b) {
    return setLimits(object_, {a, b}, false);
}
MStatus MFnNumericAttribute::setMax(int a, int b, int c) {
    return setLimits(object_, {double(a), double(b), double(c)}, false);
}
MStatus MFnNumericAttribute::setMax(float a, float b, float c) {
    return setLimits(object_, {double(a), double(b), double(c)}, false);
}
MStatus MFnNumericAttribute::setMax(double a, double b, double c) {
    return setLimits(object_, {a, b, c}, false);
}
MStatus MFnNumericAttribute::setSoftMin(double m) {
    return setFlag(object_, [m](Attribute& a) {
        extras(&a).hasSoftMin = true;
        extras(&a).softMin = m;
    });
}
MStatus MFnNumericAttribute::setSoftMax(double m) {
    return setFlag(object_, [m](Attribute& a) {
        extras(&a).hasSoftMax = true;
        extras(&a).softMax = m;
    });
}

MStatus MFnNumericAttribute::getDefault(bool& a) {
    return getDefaults<bool>(object_, {&a});
}
MStatus MFnNumericAttribute::getDefault(char& a) {
    return getDefaults<char>(object_, {&a});
}
MStatus MFnNumericAttribute::getDefault(int& a) {
    return getDefaults<int>(object_, {&a});
}
MStatus MFnNumericAttribute::getDefault(float& a) {
    return getDefaults<float>(object_, {&a});
}
MStatus MFnNumericAttribute::getDefault(double& a) {
    return getDefaults<double>(object_, {&a});
}
MStatus MFnNumericAttribute::getDefault(int& a, int& b) {
    return getDefaults<int>(object_, {&a, &b});
}
MStatus MFnNumericAttribute::getDefault(float& a, float& b) {
    return getDefaults<float>(object_, {&a, &b});
}
MStatus MFnNumericAttribute::getDefault(double& a, double& b) {
    return getDefaults<double>(object_, {&a, &b});
}
MStatus MFnNumericAttribute::getDefault(int& a, int& b, int& c) {
    return getDefaults<int>(object_, {&a, &b, &c});
}
MStatus MFnNumericAttribute::getDefault(float& a, float& b, float& c) {
    return getDefaults<float>(object_, {&a, &b, &c});
}
MStatus MFnNumericAttribute::getDefault(double& a, double& b, double& c) {
    return getDefaults<double>(object_, {&a, &b, &c});
}

MStatus MFnNumericAttribute::setDefault(bool a) {
    return setDefaults(object_, {a ? 1.0 : 0.0});
}
MStatus MFnNumericAttribute::setDefault(char a) {
    return setDefaults(object_, {double(a)});
}
MStatus MFnNumericAttribute::setDefault(int a) {
    return setDefaults(object_, {double(a)});
}
MStatus MFnNumericAttribute::setDefault(float a) {
    return setDefaults(object_, {double(a)});
}
MStatus MFnNumericAttribute::setDefault(double a) {
    return setDefaults(object_, {a});
}
MStatus MFnNumericAttribute::setDefault(int a, int b) {
    return setDefaults(object_, {double(a), double(b)});
}
MStatus MFnNumericAttribute::setDefault(float a, float b) {
    return setDefaults(object_, {double(a), double(b)});
}
MStatus MFnNumericAttribute::setDefault(double a, double b) {
    return setDefaults(object_, {a, b});
}
MStatus MFnNumericAttribute::setDefault(int a, int b, int c) {
    return setDefaults(object_, {double(a), double(b), double(c)});
}
MStatus MFnNumericAttribute::setDefault(float a, float b, float c) {
    return setDefaults(object_, {double(a), double(b), double(c)});
}
MStatus MFnNumericAttribute::setDefault(double a, double b, double c) {
    return setDefaults(object_, {a, b, c});
}
