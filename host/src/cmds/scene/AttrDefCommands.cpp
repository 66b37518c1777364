// addAttr, deleteAttr, attributeQuery, listAttr: the commands that define attributes and describe them.
#include <algorithm>
#include <map>
#include <optional>

#include "cmds/scene/AttrTypes.h"
#include "cmds/scene/SceneCommandUtil.h"
#include "cmds/scene/SceneCommands.h"

namespace kxh::scenecmd {

using mel::ArgType;

namespace {

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
        static const std::map<std::string, DataKind> kinds = {{"string", DataKind::String},
                                                              {"doubleArray", DataKind::DoubleArray},
                                                              {"Int32Array", DataKind::IntArray},
                                                              {"pointArray", DataKind::PointArray},
                                                              {"vectorArray", DataKind::VectorArray},
                                                              {"stringArray", DataKind::StringArray},
                                                              {"mesh", DataKind::Mesh},
                                                              {"matrix", DataKind::Matrix}};
        std::string t = a.arg("dt").asString();
        auto it = kinds.find(t);
        if (it == kinds.end()) return error = "Unknown data type: " + t, false;
        out =
            it->second == DataKind::Matrix ? Attribute::matrix(ln, sn) : Attribute::typed(ln, sn, it->second);
        return true;
    }
    std::string t = a.arg("at", mel::Value("double")).asString();
    static const std::map<std::string, NumericType> numeric = {
        {"bool", NumericType::Boolean},       {"byte", NumericType::Byte},
        {"char", NumericType::Char},          {"short", NumericType::Short},
        {"long", NumericType::Int},           {"float", NumericType::Float},
        {"double", NumericType::Double},      {"doubleLinear", NumericType::Double},
        {"doubleAngle", NumericType::Double}, {"time", NumericType::Double}};
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
            std::string field =
                fieldList.substr(pos, colon == std::string::npos ? std::string::npos : colon - pos);
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
    static const std::map<std::string, int> tuples = {{"double2", 2}, {"double3", 3}, {"float2", 2},
                                                      {"float3", 3},  {"long2", 2},   {"long3", 3},
                                                      {"short2", 2},  {"short3", 3}};
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

// --- deleteAttr, attributeQuery, listAttr
// -------------------------------------------------------------------

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
            case AttrKind::Numeric:
                t = numericTypeName(attr->numericType(), attr->isEnum());
                break;
            case AttrKind::Compound:
                t = attr->isNumericCompound() ? numericTypeName(tupleType(attr.get()), false) : "compound";
                break;
            case AttrKind::Message:
                t = "message";
                break;
            case AttrKind::Matrix:
                t = "matrix";
                break;
            case AttrKind::Typed:
                t = "typed";
                break;
            case AttrKind::Generic:
                t = "generic";
                break;
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
        if (!v)
            return inv.fail("Attribute '" + name + "' has no " + (a.has("min") ? "minimum." : "maximum."));
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
    syn.flag("ud", "userDefined")
        .flag("k", "keyable")
        .flag("m", "multi")
        .flag("w", "write")
        .flag("sn", "shortNames");
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
            if (a.has("sn"))
                out.push_back(attr->shortName());
            else
                listAttrNames(*attr, out);
        }
    }
    inv.result = mel::Value(out);
    return true;
}

}  // namespace

void registerAttrDefinitionCommands(mel::CommandRegistry& registry) {
    registry.add({"addAttr", addAttrCmd, nullptr});
    registry.add({"deleteAttr", deleteAttrCmd, nullptr});
    registry.add({"attributeQuery", attributeQueryCmd, nullptr});
    registry.add({"listAttr", listAttrCmd, nullptr});
}

}  // namespace kxh::scenecmd
