// setAttr, getAttr, connectAttr, disconnectAttr, addAttr, deleteAttr, attributeQuery, listAttr.
#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

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
        case AttrUnit::Distance: return uiToCm();
        case AttrUnit::Angle: return uiToRadians();
        default: return 1.0;
    }
}

// Value limits given by addAttr -min/-max, per attribute.
struct Limits {
    std::optional<double> min, max;
};
std::map<const Attribute*, Limits>& limits() {
    static std::map<const Attribute*, Limits> table;
    return table;
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
    if (words.empty() || !wordToNumber(words[0], n) || n < 0 || size_t(n) * per + 1 != words.size()) return false;
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
bool typedValue(const std::string& type, const std::vector<mel::Value>& words, Value& out, std::string& error) {
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
            for (size_t i = 0; i + 3 < nums.size(); i += 4) pts.push_back({nums[i], nums[i + 1], nums[i + 2], nums[i + 3]});
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
    static const std::map<std::string, size_t> tuples = {
        {"double2", 2}, {"double3", 3}, {"double4", 4}, {"float2", 2}, {"float3", 3},
        {"long2", 2},   {"long3", 3},   {"short2", 2},  {"short3", 3}};
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
            for (size_t i = 0; i < nums.size(); ++i) nums[i] = applyLimits(kids[i].get(), nums[i] * unitFactor(kids[i].get()));
            value = Value(nums);
        }
    } else if (attr->isNumericCompound() && !plug.isArray()) {
        std::vector<double> nums;
        const auto& kids = attr->children();
        if (words.size() != kids.size() || !numbersOf(words, nums)) return inv.fail(kParseError);
        for (size_t i = 0; i < nums.size(); ++i) nums[i] = applyLimits(kids[i].get(), nums[i] * unitFactor(kids[i].get()));
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
        case NumericType::Double: return false;
        default: return true;
    }
}

std::string numericTypeName(NumericType t, bool isEnum) {
    if (isEnum) return "enum";
    switch (t) {
        case NumericType::Boolean: return "bool";
        case NumericType::Byte: return "byte";
        case NumericType::Char: return "char";
        case NumericType::Short: return "short";
        case NumericType::Short2: return "short2";
        case NumericType::Short3: return "short3";
        case NumericType::Int: return "long";
        case NumericType::Int2: return "long2";
        case NumericType::Int3: return "long3";
        case NumericType::Float: return "float";
        case NumericType::Float2: return "float2";
        case NumericType::Float3: return "float3";
        case NumericType::Double: return "double";
        case NumericType::Double2: return "double2";
        case NumericType::Double3: return "double3";
        case NumericType::Double4: return "double4";
        default: return "unknown";
    }
}

std::string dataTypeName(DataKind k) {
    switch (k) {
        case DataKind::String: return "string";
        case DataKind::Matrix: return "matrix";
        case DataKind::StringArray: return "stringArray";
        case DataKind::DoubleArray: return "doubleArray";
        case DataKind::IntArray: return "Int32Array";
        case DataKind::PointArray: return "pointArray";
        case DataKind::VectorArray: return "vectorArray";
        case DataKind::ComponentList: return "componentList";
        case DataKind::Mesh: return "mesh";
        default: return "unknown";
    }
}

// A compound of numeric leaves built by addAttr reads as the tuple of its children's type.
NumericType tupleType(const Attribute* a) {
    if (a->numericType() != NumericType::Invalid) return a->numericType();
    const auto& kids = a->children();
    if (kids.empty()) return NumericType::Invalid;
    NumericType s = kids[0]->numericType();
    int n = int(kids.size());
    switch (s) {
        case NumericType::Double: return n == 2 ? NumericType::Double2 : n == 3 ? NumericType::Double3 : NumericType::Double4;
        case NumericType::Float: return n == 2 ? NumericType::Float2 : NumericType::Float3;
        case NumericType::Int: return n == 2 ? NumericType::Int2 : NumericType::Int3;
        case NumericType::Short: return n == 2 ? NumericType::Short2 : NumericType::Short3;
        default: return NumericType::Invalid;
    }
}

std::string typeOfPlug(const Plug& p) {
    const Attribute* a = p.attribute();
    if (p.isArray()) return "TdataCompound";
    switch (a->kind()) {
        case AttrKind::Numeric: return numericTypeName(a->numericType(), a->isEnum());
        case AttrKind::Compound: return a->isNumericCompound() ? numericTypeName(tupleType(a), false) : "TdataCompound";
        case AttrKind::Message: return "message";
        case AttrKind::Matrix: return "matrix";
        case AttrKind::Typed: return dataTypeName(a->dataKind());
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
        for (size_t i = 0; i < n.size(); ++i) nums.push_back(n[i] / (i < kids.size() ? unitFactor(kids[i].get()) : 1.0));
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
        case DataKind::String: isString = true; strs.push_back(v.asString()); return true;
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
            error = "The value of '" + p.name() + "' (" + dataTypeName(v.dataKind()) + ") cannot be shown by getAttr.";
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
    if (!plug.isFullyIndexed() && !plug.isArray()) return inv.fail("The attribute '" + plug.name() + "' needs an index.");
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
            if (!appendValue(plug.elementByLogicalIndex(unsigned(idx)), nums, strs, integral, isString, error))
                return inv.fail(error);
    } else {
        if (!appendValue(plug, nums, strs, integral, isString, error)) return inv.fail(error);
        const bool dataArray = attr->holdsData() && !(scene().evaluate(plug).dataKind() == DataKind::String);
        single = !attr->isNumericCompound() && !dataArray;
    }
    if (isString) {
        if (single && strs.size() == 1) inv.result = mel::Value(strs[0]);
        else inv.result = mel::Value(strs);
    } else if (single && nums.size() == 1) {
        if (integral) inv.result = mel::Value(long(nums[0]));
        else inv.result = mel::Value(nums[0]);
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
    if (!resolvePlug(a.objects[0].asString(), src, error) || !resolvePlug(a.objects[1].asString(), dst, error))
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

// --- addAttr -------------------------------------------------------------------------------------------

// Compound attributes whose children are still being added (addAttr -nc N, then N addAttr -p). They
// join the node once the last child arrives, as the host makes them usable only then.
struct PendingCompound {
    std::weak_ptr<Node> node;
    AttrPtr attr;
    int expected = 0;
};
std::vector<PendingCompound>& pending() {
    static std::vector<PendingCompound> list;
    return list;
}

int countDescendants(const Attribute& a) {
    int n = 0;
    for (auto& c : a.children()) n += 1 + countDescendants(*c);
    return n;
}

PendingCompound* findPending(Node& node, const std::string& name) {
    for (auto& p : pending())
        if (p.node.lock().get() == &node && p.attr->findDescendant(name)) return &p;
    return nullptr;
}

bool makeAttribute(const mel::ParsedArgs& a, const std::string& ln, const std::string& sn, AttrPtr& out,
                   int& childCount, std::string& error) {
    childCount = 0;
    if (a.has("dt")) {
        static const std::map<std::string, DataKind> kinds = {
            {"string", DataKind::String},           {"doubleArray", DataKind::DoubleArray},
            {"Int32Array", DataKind::IntArray},     {"pointArray", DataKind::PointArray},
            {"vectorArray", DataKind::VectorArray}, {"stringArray", DataKind::StringArray},
            {"mesh", DataKind::Mesh},               {"matrix", DataKind::Matrix}};
        std::string t = a.arg("dt").asString();
        auto it = kinds.find(t);
        if (it == kinds.end()) return error = "Unknown data type: " + t, false;
        out = it->second == DataKind::Matrix ? Attribute::matrix(ln, sn) : Attribute::typed(ln, sn, it->second);
        return true;
    }
    std::string t = a.arg("at", mel::Value("double")).asString();
    static const std::map<std::string, NumericType> numeric = {
        {"bool", NumericType::Boolean}, {"byte", NumericType::Byte},  {"char", NumericType::Char},
        {"short", NumericType::Short},  {"long", NumericType::Int},   {"float", NumericType::Float},
        {"double", NumericType::Double}, {"doubleLinear", NumericType::Double}, {"doubleAngle", NumericType::Double},
        {"time", NumericType::Double}};
    if (auto it = numeric.find(t); it != numeric.end()) {
        out = Attribute::numeric(ln, sn, it->second, a.arg("dv", mel::Value(0.0)).asFloat());
        if (t == "doubleLinear") out->setUnit(AttrUnit::Distance);
        if (t == "doubleAngle") out->setUnit(AttrUnit::Angle);
        return true;
    }
    if (t == "enum") {
        std::vector<std::pair<std::string, int>> fields;
        std::string fieldList = a.arg("en", mel::Value("")).asString();
        int next = 0;
        size_t pos = 0;
        while (pos <= fieldList.size() && !fieldList.empty()) {
            size_t colon = fieldList.find(':', pos);
            std::string field = fieldList.substr(pos, colon == std::string::npos ? std::string::npos : colon - pos);
            if (!field.empty()) {
                size_t eq = field.find('=');
                if (eq != std::string::npos) {
                    next = std::atoi(field.c_str() + eq + 1);
                    field = field.substr(0, eq);
                }
                fields.emplace_back(field, next++);
            }
            if (colon == std::string::npos) break;
            pos = colon + 1;
        }
        out = Attribute::enumAttr(ln, sn, int(a.arg("dv", mel::Value(0)).asInt()), fields);
        return true;
    }
    if (t == "message") {
        out = Attribute::message(ln, sn);
        return true;
    }
    if (t == "matrix" || t == "fltMatrix") {
        out = Attribute::matrix(ln, sn);
        return true;
    }
    static const std::map<std::string, int> tuples = {{"double2", 2}, {"double3", 3}, {"float2", 2}, {"float3", 3},
                                                      {"long2", 2},   {"long3", 3},   {"short2", 2}, {"short3", 3}};
    if (auto it = tuples.find(t); it != tuples.end()) {
        out = Attribute::compound(ln, sn);
        childCount = it->second;
        return true;
    }
    if (t == "compound") {
        out = Attribute::compound(ln, sn);
        childCount = int(a.arg("nc", mel::Value(0)).asInt());
        if (childCount <= 0) return error = "Compound attribute '" + ln + "' needs -numberOfChildren.", false;
        return true;
    }
    error = "Unknown attribute type: " + t;
    return false;
}

bool addAttrCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("ln", "longName", {ArgType::String})
        .flag("sn", "shortName", {ArgType::String})
        .flag("at", "attributeType", {ArgType::String})
        .flag("dt", "dataType", {ArgType::String})
        .flag("nc", "numberOfChildren", {ArgType::Int})
        .flag("p", "parent", {ArgType::String})
        .flag("m", "multi")
        .flag("im", "indexMatters", {ArgType::Bool})
        .flag("dv", "defaultValue", {ArgType::Float})
        .flag("min", "minValue", {ArgType::Float})
        .flag("max", "maxValue", {ArgType::Float})
        .flag("smn", "softMinValue", {ArgType::Float})
        .flag("smx", "softMaxValue", {ArgType::Float})
        .flag("k", "keyable", {ArgType::Bool})
        .flag("h", "hidden", {ArgType::Bool})
        .flag("s", "storable", {ArgType::Bool})
        .flag("r", "readable", {ArgType::Bool})
        .flag("w", "writable", {ArgType::Bool})
        .flag("en", "enumName", {ArgType::String})
        .flag("uac", "usedAsColor")
        .flag("nn", "niceName", {ArgType::String});
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string ln = a.arg("ln", mel::Value("")).asString();
    std::string sn = a.arg("sn", mel::Value("")).asString();
    if (ln.empty()) ln = sn;
    if (sn.empty()) sn = ln;
    if (ln.empty()) return inv.fail("New attribute needs either a long (-ln) or short (-sn) attribute name.");
    std::vector<NodePtr> nodes;
    std::string error;
    if (!objectsOrSelection(a.objects, nodes, error)) return inv.fail(error);

    return mel::undoable(inv, scene(), [&] {
        for (auto& node : nodes) {
            if (node->findAttribute(ln) || (sn != ln && node->findAttribute(sn)) || findPending(*node, ln))
                return inv.fail("Found attribute name '" + ln + "' already on node '" + node->name() + "'.");
            AttrPtr attr;
            int children = 0;
            if (!makeAttribute(a, ln, sn, attr, children, error)) return inv.fail(error);
            if (a.has("m")) attr->array = true;
            if (a.has("im")) attr->indexMatters = a.arg("im").asBool();
            if (a.has("k")) attr->keyable = a.arg("k").asBool();
            if (a.has("h")) attr->hidden = a.arg("h").asBool();
            if (a.has("s")) attr->storable = a.arg("s").asBool();
            if (a.has("r")) attr->readable = a.arg("r").asBool();
            if (a.has("w")) attr->writable = a.arg("w").asBool();
            if (a.has("min") || a.has("max")) {
                Limits& l = limits()[attr.get()];
                if (a.has("min")) l.min = a.arg("min").asFloat();
                if (a.has("max")) l.max = a.arg("max").asFloat();
            }
            if (a.has("p")) {
                std::string parentName = a.arg("p").asString();
                PendingCompound* pc = findPending(*node, parentName);
                if (!pc)
                    return inv.fail("No compound attribute '" + parentName + "' awaiting children on '" +
                                    node->name() + "'.");
                AttrPtr parent = pc->attr->findDescendant(parentName);
                parent->addChild(attr);
                if (children > 0) {
                    pc->expected += children;  // a nested compound brings children of its own
                }
                if (countDescendants(*pc->attr) < pc->expected) continue;
                AttrPtr done = pc->attr;
                auto& list = pending();
                list.erase(list.begin() + (pc - list.data()));
                if (!scene().addAttribute(*node, done, &error)) return inv.fail(error);
                continue;
            }
            if (children > 0) {
                pending().push_back(PendingCompound{node, attr, children});
                continue;
            }
            if (!scene().addAttribute(*node, attr, &error)) return inv.fail(error);
        }
        return true;
    });
}

// --- deleteAttr, attributeQuery, listAttr -------------------------------------------------------------------

bool deleteAttrCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("at", "attribute", {ArgType::String});
    syn.minObjects = 1;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string error;
    NodePtr node;
    std::string attrName;
    if (a.has("at")) {
        node = findNode(a.objects[0].asString(), error);
        attrName = a.arg("at").asString();
    } else {
        NamePath np = splitName(a.objects[0].asString());
        node = findNode(np.node, error);
        attrName = np.rest;
    }
    if (!node) return inv.fail(error);
    AttrPtr attr = node->findAttribute(attrName);
    if (!attr) return inv.fail("No object matches name: " + node->name() + "." + attrName);
    if (!node->isDynamic(attr.get())) return inv.fail("Cannot delete static attribute '" + attrName + "'.");
    return mel::undoable(inv, scene(), [&] {
        if (!scene().removeAttribute(*node, attr->root(), &error)) return inv.fail(error);
        return true;
    });
}

bool attributeQueryCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("n", "node", {ArgType::String})
        .flag("typ", "type", {ArgType::String})
        .flag("ex", "exists")
        .flag("at", "attributeType")
        .flag("m", "multi")
        .flag("k", "keyable")
        .flag("h", "hidden")
        .flag("ln", "longName")
        .flag("sn", "shortName")
        .flag("min", "minimum")
        .flag("max", "maximum")
        .flag("mne", "minExists")
        .flag("mxe", "maxExists")
        .flag("le", "listEnum")
        .flag("lc", "listChildren")
        .flag("lp", "listParent")
        .flag("ud", "userDefined");
    syn.minObjects = 1;
    syn.maxObjects = 1;
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::string name = a.objects[0].asString();
    AttrPtr attr;
    NodePtr node;
    std::string error;
    if (a.has("n")) {
        node = findNode(a.arg("n").asString(), error);
        if (!node) return inv.fail(error);
        attr = node->findAttribute(name);
    } else if (a.has("typ")) {
        NodeTypePtr t = NodeTypeRegistry::instance().find(a.arg("typ").asString());
        if (!t) return inv.fail("Unknown object type: " + a.arg("typ").asString());
        attr = t->findAttribute(name);
    } else {
        return inv.fail("Must specify a node or a type.");
    }
    if (a.has("ex")) {
        inv.result = mel::Value(attr ? 1 : 0);
        return true;
    }
    if (!attr) return inv.fail("No attribute '" + name + "' found.");
    if (a.has("at")) {
        std::string t;
        switch (attr->kind()) {
            case AttrKind::Numeric: t = numericTypeName(attr->numericType(), attr->isEnum()); break;
            case AttrKind::Compound: t = attr->isNumericCompound() ? numericTypeName(tupleType(attr.get()), false) : "compound"; break;
            case AttrKind::Message: t = "message"; break;
            case AttrKind::Matrix: t = "matrix"; break;
            case AttrKind::Typed: t = "typed"; break;
            case AttrKind::Generic: t = "generic"; break;
        }
        inv.result = mel::Value(t);
    } else if (a.has("m")) {
        inv.result = mel::Value(attr->array ? 1 : 0);
    } else if (a.has("k")) {
        inv.result = mel::Value(attr->keyable ? 1 : 0);
    } else if (a.has("h")) {
        inv.result = mel::Value(attr->hidden ? 1 : 0);
    } else if (a.has("ln")) {
        inv.result = mel::Value(attr->longName());
    } else if (a.has("sn")) {
        inv.result = mel::Value(attr->shortName());
    } else if (a.has("ud")) {
        inv.result = mel::Value(node && node->isDynamic(attr.get()) ? 1 : 0);
    } else if (a.has("mne") || a.has("mxe")) {
        auto it = limits().find(attr.get());
        bool exists = it != limits().end() && (a.has("mne") ? bool(it->second.min) : bool(it->second.max));
        inv.result = mel::Value(exists ? 1 : 0);
    } else if (a.has("min") || a.has("max")) {
        auto it = limits().find(attr.get());
        std::optional<double> v;
        if (it != limits().end()) v = a.has("min") ? it->second.min : it->second.max;
        if (!v) return inv.fail("Attribute '" + name + "' has no " + (a.has("min") ? "minimum." : "maximum."));
        inv.result = mel::Value(std::vector<double>{*v});
    } else if (a.has("le")) {
        std::string s;
        for (auto& [f, v] : attr->enumFields()) s += (s.empty() ? "" : ":") + f + "=" + std::to_string(v);
        inv.result = mel::Value(std::vector<std::string>{s});
    } else if (a.has("lc")) {
        std::vector<std::string> names;
        for (auto& c : attr->children()) names.push_back(c->longName());
        inv.result = mel::Value(names);
    } else if (a.has("lp")) {
        std::vector<std::string> names;
        if (attr->parent()) names.push_back(attr->parent()->longName());
        inv.result = mel::Value(names);
    } else {
        inv.result = mel::Value(attr->longName());
    }
    return true;
}

void listAttrNames(const Attribute& a, std::vector<std::string>& out) {
    out.push_back(a.longName());
    for (auto& c : a.children()) listAttrNames(*c, out);
}

bool listAttrCmd(mel::Invocation& inv) {
    mel::Syntax syn;
    syn.flag("ud", "userDefined").flag("k", "keyable").flag("m", "multi").flag("w", "write").flag("sn", "shortNames");
    mel::ParsedArgs a;
    if (!mel::parseArgs(inv, syn, a)) return false;
    std::vector<NodePtr> nodes;
    std::string error;
    if (!objectsOrSelection(a.objects, nodes, error)) return inv.fail(error);
    std::vector<std::string> out;
    for (auto& node : nodes) {
        std::vector<AttrPtr> attrs = a.has("ud") ? node->dynamicAttributes() : node->attributes();
        for (auto& attr : attrs) {
            if (attr->internal) continue;
            if (a.has("k") && !attr->keyable) continue;
            if (a.has("m") && !attr->array) continue;
            if (a.has("w") && !attr->writable) continue;
            if (a.has("sn")) out.push_back(attr->shortName());
            else listAttrNames(*attr, out);
        }
    }
    inv.result = mel::Value(out);
    return true;
}

}  // namespace

void registerAttrCommands(mel::CommandRegistry& registry) {
    registry.add({"setAttr", setAttrCmd, nullptr});
    registry.add({"getAttr", getAttrCmd, nullptr});
    registry.add({"connectAttr", connectAttrCmd, nullptr});
    registry.add({"disconnectAttr", disconnectAttrCmd, nullptr});
    registry.add({"addAttr", addAttrCmd, nullptr});
    registry.add({"deleteAttr", deleteAttrCmd, nullptr});
    registry.add({"attributeQuery", attributeQueryCmd, nullptr});
    registry.add({"listAttr", listAttrCmd, nullptr});
}

}  // namespace kxh::scenecmd
