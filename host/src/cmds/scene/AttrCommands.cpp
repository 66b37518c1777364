// setAttr, getAttr, connectAttr, disconnectAttr (addAttr and the other attribute definition commands:
// AttrDefCommands.cpp).
#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "cmds/scene/AttrTypes.h"
#include "cmds/scene/SceneCommandUtil.h"
#include "cmds/scene/SceneCommands.h"

namespace kxh::scenecmd {

using mel::ArgType;

namespace {

const char* kParseError = "Error while parsing arguments.";

std::string lower(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A number from a command word: numbers as they are, "true"/"on"/"yes" as 1, "false"/"off"/"no" as 0,
// numeric text as its value. Anything else fails.
bool wordToNumber(const mel::Value& v, double& out) {
    if (v.isNumber()) {
        out = v.asFloat();
        return true;
    }
    std::string s = lower(v.asString());
    if (s == "true" || s == "on" || s == "yes") {
        out = 1;
        return true;
    }
    if (s == "false" || s == "off" || s == "no") {
        out = 0;
        return true;
    }
    return mel::Value::parseNumber(s, out);
}

// The unit factor (UI -> internal) of a numeric leaf.
double unitFactor(const Attribute* a) {
    switch (a->unit()) {
        case AttrUnit::Distance:
            return uiToCm();
        case AttrUnit::Angle:
            return uiToRadians();
        default:
            return 1.0;
    }
}

double applyLimits(const Attribute* a, double v) {
    auto it = limits().find(a);
    if (it == limits().end()) return v;
    if (it->second.min && v < *it->second.min) v = *it->second.min;
    if (it->second.max && v > *it->second.max) v = *it->second.max;
    return v;
}

// --- setAttr ---------------------------------------------------------------------------------------------

// Reads the host's array form: the item count, then that many items of `per` words each ("3 1 2 3").
bool arrayItems(const std::vector<mel::Value>& words, size_t per, std::vector<mel::Value>& items) {
    double n;
    if (words.empty() || !wordToNumber(words[0], n) || n < 0 || size_t(n) * per + 1 != words.size())
        return false;
    items.assign(words.begin() + 1, words.end());
    return true;
}

bool numbersOf(const std::vector<mel::Value>& words, std::vector<double>& out) {
    for (auto& w : words) {
        double d;
        if (!wordToNumber(w, d)) return false;
        out.push_back(d);
    }
    return true;
}

// Builds the value of a typed set (-type ...).
bool typedValue(const std::string& type, const std::vector<mel::Value>& words, Value& out,
                std::string& error) {
    if (type == "string") {
        if (words.size() != 1) return error = kParseError, false;
        out = Value::string(words[0].asString());
        return true;
    }
    if (type == "stringArray") {
        std::vector<mel::Value> items;
        if (!arrayItems(words, 1, items)) return error = kParseError, false;
        std::vector<std::string> s;
        for (auto& w : items) s.push_back(w.asString());
        out = Value(std::make_shared<StringArrayData>(s));
        return true;
    }
    std::vector<double> nums;
    if (type == "doubleArray" || type == "Int32Array" || type == "pointArray" || type == "vectorArray") {
        size_t per = type == "pointArray" ? 4 : type == "vectorArray" ? 3 : 1;
        std::vector<mel::Value> items;
        if (!arrayItems(words, per, items) || !numbersOf(items, nums)) return error = kParseError, false;
        if (type == "doubleArray") {
            out = Value(std::make_shared<DoubleArrayData>(nums));
        } else if (type == "Int32Array") {
            std::vector<int> ints;
            for (double d : nums) ints.push_back(int(d));
            out = Value::intArray(ints);
        } else if (type == "pointArray") {
            std::vector<Point4> pts;
            for (size_t i = 0; i + 3 < nums.size(); i += 4)
                pts.push_back({nums[i], nums[i + 1], nums[i + 2], nums[i + 3]});
            out = Value(std::make_shared<PointArrayData>(pts));
        } else {
            std::vector<Vector3> vs;
            for (size_t i = 0; i + 2 < nums.size(); i += 3) vs.push_back({nums[i], nums[i + 1], nums[i + 2]});
            out = Value(std::make_shared<VectorArrayData>(vs));
        }
        return true;
    }
    if (type == "matrix") {
        if (words.size() != 16 || !numbersOf(words, nums)) return error = kParseError, false;
        Matrix44 m;
        for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = nums[size_t(i)];
        out = Value::matrix(m);
        return true;
    }
    static const std::map<std::string, size_t> tuples = {{"double2", 2}, {"double3", 3}, {"double4", 4},
                                                         {"float2", 2},  {"float3", 3},  {"long2", 2},
                                                         {"long3", 3},   {"short2", 2},  {"short3", 3}};
    if (auto it = tuples.find(type); it != tuples.end()) {
        if (words.size() != it->second || !numbersOf(words, nums)) return error = kParseError, false;
        out = Value(nums);
        return true;
    }
    error = "Unsupported data type: " + type;
    return false;
}

bool setAttrCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("typ", "type", {ArgType::String})
        .flag("l", "lock", {ArgType::Bool})
        .flag("k", "keyable", {ArgType::Bool})
        .flag("cb", "channelBox", {ArgType::Bool})
        .flag("s", "size", {ArgType::Int})
        .flag("ca", "caching", {ArgType::Bool});
    syn.minObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;
    Plug plug;
    if (!resolvePlug(a.objects[0].asString(), plug, error)) return inv.fail(error);
    std::vector<mel::Value> words(a.objects.begin() + 1, a.objects.end());
    const Attribute* attr = plug.attribute();

    // Flags that only change attribute properties need no value.
    if (words.empty()) {
        if (a.has("l") || a.has("k") || a.has("cb") || a.has("s") || a.has("ca")) {
            if (a.has("k")) const_cast<Attribute*>(attr)->keyable = a.arg("k").asBool();
            return true;
        }
        return inv.fail(kParseError);
    }

    Value value;
    if (a.has("typ")) {
        if (!typedValue(a.arg("typ").asString(), words, value, error)) return inv.fail(error);
        // A tuple goes through the numeric compound's unit conversion below.
        if (value.isNumbers() && attr->isNumericCompound()) {
            std::vector<double> nums = value.asNumbers();
            const auto& kids = attr->children();
            if (nums.size() != kids.size()) return inv.fail(kParseError);
            for (size_t i = 0; i < nums.size(); ++i)
                nums[i] = applyLimits(kids[i].get(), nums[i] * unitFactor(kids[i].get()));
            value = Value(nums);
        }
    } else if (attr->isNumericCompound() && !plug.isArray()) {
        std::vector<double> nums;
        const auto& kids = attr->children();
        if (words.size() != kids.size() || !numbersOf(words, nums)) return inv.fail(kParseError);
        for (size_t i = 0; i < nums.size(); ++i)
            nums[i] = applyLimits(kids[i].get(), nums[i] * unitFactor(kids[i].get()));
        value = Value(nums);
    } else if (attr->isNumeric()) {
        if (words.size() != 1) return inv.fail(kParseError);
        double d;
        if (!wordToNumber(words[0], d)) {
            // An enum takes its field names too.
            bool found = false;
            for (auto& [name, v] : attr->enumFields())
                if (name == words[0].asString()) {
                    d = v;
                    found = true;
                }
            if (!found) return inv.fail(kParseError);
        }
        value = Value(applyLimits(attr, d * unitFactor(attr)));
    } else if (attr->kind() == AttrKind::Typed && attr->dataKind() == DataKind::String) {
        if (words.size() != 1) return inv.fail(kParseError);
        value = Value::string(words[0].asString());
    } else {
        return inv.fail("The data type of '" + plug.name() + "' needs -type to be set.");
    }
    return mel::undoable(inv, scene(), [&] {
        if (!scene().setValue(plug, value, &error)) return inv.fail(error);
        return true;
    });
}

// --- getAttr -------------------------------------------------------------------------------------------

bool isIntegral(NumericType t) {
    switch (numericScalar(t)) {
        case NumericType::Float:
        case NumericType::Double:
            return false;
        default:
            return true;
    }
}

std::string dataTypeName(DataKind k) {
    switch (k) {
        case DataKind::String:
            return "string";
        case DataKind::Matrix:
            return "matrix";
        case DataKind::StringArray:
            return "stringArray";
        case DataKind::DoubleArray:
            return "doubleArray";
        case DataKind::IntArray:
            return "Int32Array";
        case DataKind::PointArray:
            return "pointArray";
        case DataKind::VectorArray:
            return "vectorArray";
        case DataKind::ComponentList:
            return "componentList";
        case DataKind::Mesh:
            return "mesh";
        default:
            return "unknown";
    }
}

std::string typeOfPlug(const Plug& p) {
    const Attribute* a = p.attribute();
    if (p.isArray()) return "TdataCompound";
    switch (a->kind()) {
        case AttrKind::Numeric:
            return numericTypeName(a->numericType(), a->isEnum());
        case AttrKind::Compound:
            return a->isNumericCompound() ? numericTypeName(tupleType(a), false) : "TdataCompound";
        case AttrKind::Message:
            return "message";
        case AttrKind::Matrix:
            return "matrix";
        case AttrKind::Typed:
            return dataTypeName(a->dataKind());
        case AttrKind::Generic: {
            Value v = scene().evaluate(p);
            return v.isData() ? dataTypeName(v.dataKind()) : "double";
        }
    }
    return "unknown";
}

// Appends the MEL form of one fully indexed plug's value to the result lists.
bool appendValue(const Plug& p, std::vector<double>& nums, std::vector<std::string>& strs, bool& integral,
                 bool& isString, std::string& error) {
    const Attribute* a = p.attribute();
    Value v = scene().evaluate(p);
    if (a->isNumeric()) {
        integral = integral && isIntegral(a->numericType());
        nums.push_back(v.asDouble() / unitFactor(a));
        return true;
    }
    if (a->isNumericCompound()) {
        integral = false;
        std::vector<double> n = v.asNumbers();
        const auto& kids = a->children();
        for (size_t i = 0; i < n.size(); ++i)
            nums.push_back(n[i] / (i < kids.size() ? unitFactor(kids[i].get()) : 1.0));
        return true;
    }
    if (a->isMessage()) return true;
    if (!v.isData()) {
        if (v.isNumber()) {
            integral = false;
            nums.push_back(v.asDouble());
        }
        return true;
    }
    integral = false;
    switch (v.dataKind()) {
        case DataKind::String:
            isString = true;
            strs.push_back(v.asString());
            return true;
        case DataKind::StringArray:
            isString = true;
            for (auto& s : v.dataAs<StringArrayData>()->value) strs.push_back(s);
            return true;
        case DataKind::DoubleArray:
            for (double d : v.dataAs<DoubleArrayData>()->value) nums.push_back(d);
            return true;
        case DataKind::IntArray:
            integral = true;
            for (int d : v.dataAs<IntArrayData>()->value) nums.push_back(d);
            return true;
        case DataKind::PointArray:
            for (auto& pt : v.dataAs<PointArrayData>()->value) nums.insert(nums.end(), pt.begin(), pt.end());
            return true;
        case DataKind::VectorArray:
            for (auto& pt : v.dataAs<VectorArrayData>()->value) nums.insert(nums.end(), pt.begin(), pt.end());
            return true;
        case DataKind::Matrix: {
            Matrix44 m = v.asMatrix();
            for (int i = 0; i < 16; ++i) nums.push_back(m.m[i / 4][i % 4]);
            return true;
        }
        default:
            error = "The value of '" + p.name() + "' (" + dataTypeName(v.dataKind()) +
                    ") cannot be shown by getAttr.";
            return false;
    }
}

bool getAttrCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("typ", "type").flag("s", "size").flag("as", "asString").flag("l", "lock").flag("k", "keyable");
    syn.minObjects = 1;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;
    Plug plug;
    if (!resolvePlug(a.objects[0].asString(), plug, error)) return inv.fail(error);
    const Attribute* attr = plug.attribute();
    if (a.has("typ")) {
        inv.result = mel::Value(typeOfPlug(plug));
        return true;
    }
    if (a.has("s")) {
        inv.result = mel::Value(plug.isArray() ? int(plug.numElements()) : 1);
        return true;
    }
    if (a.has("l")) {
        inv.result = mel::Value(plug.node()->locked ? 1 : 0);
        return true;
    }
    if (a.has("k")) {
        inv.result = mel::Value(attr->keyable ? 1 : 0);
        return true;
    }
    if (!plug.isFullyIndexed() && !plug.isArray())
        return inv.fail("The attribute '" + plug.name() + "' needs an index.");
    if (a.has("as") && attr->isEnum() && !plug.isArray()) {
        int v = scene().evaluate(plug).asInt();
        for (auto& [name, fv] : attr->enumFields())
            if (fv == v) {
                inv.result = mel::Value(name);
                return true;
            }
        inv.result = mel::Value(std::to_string(v));
        return true;
    }
    std::vector<double> nums;
    std::vector<std::string> strs;
    bool integral = true, isString = false;
    bool single = false;
    if (plug.isArray()) {
        for (int idx : plug.existingLogicalIndices())
            if (!appendValue(plug.elementByLogicalIndex(unsigned(idx)), nums, strs, integral, isString,
                             error))
                return inv.fail(error);
    } else {
        if (!appendValue(plug, nums, strs, integral, isString, error)) return inv.fail(error);
        const bool dataArray = attr->holdsData() && !(scene().evaluate(plug).dataKind() == DataKind::String);
        single = !attr->isNumericCompound() && !dataArray;
    }
    if (isString) {
        if (single && strs.size() == 1)
            inv.result = mel::Value(strs[0]);
        else
            inv.result = mel::Value(strs);
    } else if (single && nums.size() == 1) {
        if (integral)
            inv.result = mel::Value(long(nums[0]));
        else
            inv.result = mel::Value(nums[0]);
    } else if (integral && !nums.empty()) {
        std::vector<int> ints;
        for (double d : nums) ints.push_back(int(d));
        inv.result = mel::Value(ints);
    } else {
        inv.result = mel::Value(nums);
    }
    return true;
}

// --- connectAttr / disconnectAttr -------------------------------------------------------------------------

bool connectAttrCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("f", "force").flag("na", "nextAvailable").flag("l", "lock", {ArgType::Bool});
    syn.minObjects = 2;
    syn.maxObjects = 2;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;
    Plug src, dst;
    if (!resolvePlug(a.objects[0].asString(), src, error) ||
        !resolvePlug(a.objects[1].asString(), dst, error))
        return inv.fail(error);
    if (a.has("na") && dst.isArray()) {
        std::vector<int> used = dst.existingLogicalIndices();
        int next = used.empty() ? 0 : used.back() + 1;
        dst = dst.elementByLogicalIndex(unsigned(next));
    }
    bool ok = mel::undoable(inv, scene(), [&] {
        if (!scene().connect(src, dst, &error, a.has("f"))) return inv.fail(error);
        return true;
    });
    if (ok) inv.result = mel::Value("Connected " + src.name(false) + " to " + dst.name(false) + ".");
    return ok;
}

bool disconnectAttrCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("na", "nextAvailable");
    syn.minObjects = 1;
    syn.maxObjects = 2;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;
    Plug src, dst;
    if (!resolvePlug(a.objects[0].asString(), src, error)) return inv.fail(error);
    if (a.objects.size() == 1) {
        // One plug: every connection into it (and below it) goes.
        return mel::undoable(inv, scene(), [&] {
            auto conns = scene().connectionsAt(src, true, false, true);
            for (auto& c : conns)
                if (!scene().disconnect(c.src, c.dst, &error)) return inv.fail(error);
            return true;
        });
    }
    if (!resolvePlug(a.objects[1].asString(), dst, error)) return inv.fail(error);
    return mel::undoable(inv, scene(), [&] {
        if (!scene().disconnect(src, dst, &error)) return inv.fail(error);
        return true;
    });
}

}  // namespace

std::map<const Attribute*, Limits>& limits() {
    static std::map<const Attribute*, Limits> table;
    return table;
}

std::string numericTypeName(NumericType t, bool isEnum) {
    if (isEnum) return "enum";
    switch (t) {
        case NumericType::Boolean:
            return "bool";
        case NumericType::Byte:
            return "byte";
        case NumericType::Char:
            return "char";
        case NumericType::Short:
            return "short";
        case NumericType::Short2:
            return "short2";
        case NumericType::Short3:
            return "short3";
        case NumericType::Int:
            return "long";
        case NumericType::Int2:
            return "long2";
        case NumericType::Int3:
            return "long3";
        case NumericType::Float:
            return "float";
        case NumericType::Float2:
            return "float2";
        case NumericType::Float3:
            return "float3";
        case NumericType::Double:
            return "double";
        case NumericType::Double2:
            return "double2";
        case NumericType::Double3:
            return "double3";
        case NumericType::Double4:
            return "double4";
        default:
            return "unknown";
    }
}

NumericType tupleType(const Attribute* a) {
    if (a->numericType() != NumericType::Invalid) return a->numericType();
    const auto& kids = a->children();
    if (kids.empty()) return NumericType::Invalid;
    NumericType s = kids[0]->numericType();
    int n = int(kids.size());
    switch (s) {
        case NumericType::Double:
            return n == 2 ? NumericType::Double2 : n == 3 ? NumericType::Double3 : NumericType::Double4;
        case NumericType::Float:
            return n == 2 ? NumericType::Float2 : NumericType::Float3;
        case NumericType::Int:
            return n == 2 ? NumericType::Int2 : NumericType::Int3;
        case NumericType::Short:
            return n == 2 ? NumericType::Short2 : NumericType::Short3;
        default:
            return NumericType::Invalid;
    }
}

void registerAttrCommands(mel::CommandRegistry& registry) {
    registry.add({"setAttr", setAttrCmd, nullptr});
    registry.add({"getAttr", getAttrCmd, nullptr});
    registry.add({"connectAttr", connectAttrCmd, nullptr});
    registry.add({"disconnectAttr", disconnectAttrCmd, nullptr});
}

}  // namespace kxh::scenecmd
