// MArgList: the evaluated words of a command line, with the reads plug-ins use on them.
#include <maya/MArgList.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MPoint.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

#include <cctype>
#include <cmath>

#include "cmds/plugin/CommandApi.h"

using kxh::ArgListData;
using kxh::mel::Arg;
using kxh::mel::Value;

namespace kxh {

namespace {

std::string lower(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool numberOf(const Value& v, double& out) {
    if (v.isNumber()) {
        out = v.asFloat();
        return true;
    }
    return v.kind() == Value::Kind::String && Value::parseNumber(v.asString(), out);
}

}  // namespace

bool looksLikeFlag(const std::string& text) {
    return text.size() > 1 && text[0] == '-' && std::isalpha(static_cast<unsigned char>(text[1]));
}

bool valueToBool(const Value& v, bool& out) {
    if (v.kind() == Value::Kind::String) {
        std::string l = lower(v.asString());
        if (l == "true" || l == "on" || l == "yes") return out = true, true;
        if (l == "false" || l == "off" || l == "no") return out = false, true;
    }
    double d;
    if (!numberOf(v, d)) return false;
    out = d != 0;
    return true;
}

bool valueToDouble(const Value& v, double& out) {
    return numberOf(v, out);
}

bool valueToInt(const Value& v, int& out) {
    double d;
    if (!numberOf(v, d) || !std::isfinite(d)) return false;
    out = int(v.kind() == Value::Kind::Int ? v.asInt() : long(d));
    return true;
}

bool valueToUnsigned(const Value& v, unsigned& out) {
    double d;
    if (!numberOf(v, d) || !std::isfinite(d) || d < 0) return false;
    out = unsigned(v.kind() == Value::Kind::Int ? v.asInt() : long(d));
    return true;
}

MArgList CommandApi::fromWords(const std::vector<Arg>& words) {
    MArgList list;
    list.data_->words = words;
    return list;
}

}  // namespace kxh

const unsigned int MArgList::kInvalidArgIndex = 0xffffffffu;

MArgList::MArgList() : data_(new ArgListData) {}
MArgList::MArgList(const MArgList& other) : data_(new ArgListData(*other.data_)) {}
MArgList& MArgList::operator=(const MArgList& other) {
    if (this != &other) *data_ = *other.data_;
    return *this;
}
MArgList::~MArgList() {
    delete data_;
}

namespace {

inline void setStatus(MStatus* st, MStatus::MStatusCode code) {
    if (st) *st = code;
}

const Value* wordAt(const ArgListData& d, unsigned index, MStatus* st) {
    if (index >= d.words.size()) {
        setStatus(st, MS::kInvalidParameter);
        return nullptr;
    }
    return &d.words[index].value;
}

}  // namespace

unsigned int MArgList::length(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MS::kSuccess);
    return unsigned(data_->words.size());
}

bool MArgList::asBool(unsigned int index, MStatus* ReturnStatus) const {
    bool r = false;
    MStatus st = get(index, r);
    if (ReturnStatus) *ReturnStatus = st;
    return r;
}

int MArgList::asInt(unsigned int index, MStatus* ReturnStatus) const {
    int r = 0;
    MStatus st = get(index, r);
    if (ReturnStatus) *ReturnStatus = st;
    return r;
}

double MArgList::asDouble(unsigned int index, MStatus* ReturnStatus) const {
    double r = 0;
    MStatus st = get(index, r);
    if (ReturnStatus) *ReturnStatus = st;
    return r;
}

MString MArgList::asString(unsigned int index, MStatus* ReturnStatus) const {
    MString r;
    MStatus st = get(index, r);
    if (ReturnStatus) *ReturnStatus = st;
    return r;
}

MStatus MArgList::get(unsigned int index, bool& ret) const {
    const Value* v = wordAt(*data_, index, nullptr);
    if (!v) return MS::kInvalidParameter;
    bool r;
    if (!kxh::valueToBool(*v, r)) return MS::kInvalidParameter;
    ret = r;
    return MS::kSuccess;
}

MStatus MArgList::get(unsigned int index, int& ret) const {
    const Value* v = wordAt(*data_, index, nullptr);
    int r;
    if (!v || !kxh::valueToInt(*v, r)) return MS::kInvalidParameter;
    ret = r;
    return MS::kSuccess;
}

MStatus MArgList::get(unsigned int index, double& ret) const {
    const Value* v = wordAt(*data_, index, nullptr);
    double r;
    if (!v || !kxh::valueToDouble(*v, r)) return MS::kInvalidParameter;
    ret = r;
    return MS::kSuccess;
}

MStatus MArgList::get(unsigned int index, MString& ret) const {
    const Value* v = wordAt(*data_, index, nullptr);
    if (!v) return MS::kInvalidParameter;
    ret = MString(v->asString());
    return MS::kSuccess;
}

MVector MArgList::asVector(unsigned int& index, unsigned int numElements, MStatus* ReturnStatus) const {
    MPoint p = asPoint(index, numElements, ReturnStatus);
    return MVector(p.x, p.y, p.z);
}

MPoint MArgList::asPoint(unsigned int& index, unsigned int numElements, MStatus* ReturnStatus) const {
    MPoint p;
    const Value* first = wordAt(*data_, index, ReturnStatus);
    if (!first) return p;
    if (first->kind() == Value::Kind::Vector) {
        Value::Vec v = first->asVector();
        p = MPoint(v[0], v[1], v[2]);
        ++index;
        setStatus(ReturnStatus, MS::kSuccess);
        return p;
    }
    if (numElements < 1 || numElements > 4 || index + numElements > data_->words.size()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return p;
    }
    double c[4] = {0, 0, 0, 1};
    for (unsigned k = 0; k < numElements; ++k) {
        if (!kxh::valueToDouble(data_->words[index + k].value, c[k])) {
            setStatus(ReturnStatus, MS::kInvalidParameter);
            return MPoint();
        }
    }
    index += numElements;
    setStatus(ReturnStatus, MS::kSuccess);
    return MPoint(c[0], c[1], c[2], c[3]);
}

MIntArray MArgList::asIntArray(unsigned int& index, MStatus* ReturnStatus) const {
    MIntArray r;
    const Value* v = wordAt(*data_, index, ReturnStatus);
    if (!v) return r;
    for (size_t i = 0; i < v->size(); ++i) {
        int n;
        if (!kxh::valueToInt(v->element(i), n)) {
            setStatus(ReturnStatus, MS::kInvalidParameter);
            return MIntArray();
        }
        r.append(n);
    }
    ++index;
    setStatus(ReturnStatus, MS::kSuccess);
    return r;
}

MDoubleArray MArgList::asDoubleArray(unsigned int& index, MStatus* ReturnStatus) const {
    MDoubleArray r;
    const Value* v = wordAt(*data_, index, ReturnStatus);
    if (!v) return r;
    for (size_t i = 0; i < v->size(); ++i) {
        double d;
        if (!kxh::valueToDouble(v->element(i), d)) {
            setStatus(ReturnStatus, MS::kInvalidParameter);
            return MDoubleArray();
        }
        r.append(d);
    }
    ++index;
    setStatus(ReturnStatus, MS::kSuccess);
    return r;
}

MStringArray MArgList::asStringArray(unsigned int& index, MStatus* ReturnStatus) const {
    MStringArray r;
    const Value* v = wordAt(*data_, index, ReturnStatus);
    if (!v) return r;
    for (const std::string& s : v->asStringArray()) r.append(MString(s));
    ++index;
    setStatus(ReturnStatus, MS::kSuccess);
    return r;
}

unsigned int MArgList::flagIndex(const char* shortFlag, const char* longFlag) const {
    std::string s = kxh::stripDash(shortFlag ? shortFlag : "");
    std::string l = kxh::stripDash(longFlag ? longFlag : "");
    for (size_t i = 0; i < data_->words.size(); ++i) {
        const Arg& w = data_->words[i];
        if (!w.isFlag) continue;
        std::string n = w.flagName();
        if ((!s.empty() && n == s) || (!l.empty() && n == l)) return unsigned(i);
    }
    return kInvalidArgIndex;
}

namespace {

MArgList& push(MArgList& list, ArgListData& d, Value v, bool isFlag = false) {
    Arg a;
    a.value = std::move(v);
    a.isFlag = isFlag;
    d.words.push_back(std::move(a));
    return list;
}

}  // namespace

MArgList& MArgList::addArg(bool arg) {
    return push(*this, *data_, Value(arg ? 1 : 0));
}
MArgList& MArgList::addArg(int arg) {
    return push(*this, *data_, Value(arg));
}
MArgList& MArgList::addArg(double arg) {
    return push(*this, *data_, Value(arg));
}
MArgList& MArgList::addArg(const MString& arg) {
    return push(*this, *data_, Value(arg.str()), kxh::looksLikeFlag(arg.str()));
}
MArgList& MArgList::addArg(const MVector& arg) {
    push(*this, *data_, Value(arg.x));
    push(*this, *data_, Value(arg.y));
    return push(*this, *data_, Value(arg.z));
}
MArgList& MArgList::addArg(const MPoint& arg) {
    push(*this, *data_, Value(arg.x));
    push(*this, *data_, Value(arg.y));
    return push(*this, *data_, Value(arg.z));
}
MArgList& MArgList::addArg(const MIntArray& arg) {
    return push(*this, *data_, Value(std::vector<int>(arg.vec().begin(), arg.vec().end())));
}
MArgList& MArgList::addArg(const MDoubleArray& arg) {
    return push(*this, *data_, Value(std::vector<double>(arg.vec().begin(), arg.vec().end())));
}
MArgList& MArgList::addArg(const MStringArray& arg) {
    std::vector<std::string> v;
    for (unsigned i = 0; i < arg.length(); ++i) v.push_back(arg[i].str());
    return push(*this, *data_, Value(std::move(v)));
}
