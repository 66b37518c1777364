#include "mel/Value.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kxh::mel {

namespace {

// Leading numeric text of a string, as MEL converts strings to numbers ("3abc" -> 3, "abc" -> 0).
double leadingNumber(const std::string& s) {
    const char* p = s.c_str();
    char* end = nullptr;
    double v = std::strtod(p, &end);
    if (end == p || !std::isfinite(v)) {
        // strtod accepts "inf"/"nan" spellings MEL does not; treat them as no number.
        return 0.0;
    }
    // Reject hexadecimal forms that strtod accepts: "0x10" reads as 0 in MEL.
    const char* q = p;
    while (*q == ' ' || *q == '\t') ++q;
    if (*q == '+' || *q == '-') ++q;
    if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X')) return 0.0;
    return v;
}

long toLong(double v) {
    if (std::isnan(v)) return 0;
    if (v >= double(std::numeric_limits<long>::max())) return std::numeric_limits<long>::max();
    if (v <= double(std::numeric_limits<long>::min())) return std::numeric_limits<long>::min();
    return long(v);
}

std::string lower(std::string s) {
    for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

Value::Vec vectorFromString(const std::string& s) {
    Value::Vec v{0, 0, 0};
    const char* p = s.c_str();
    for (int i = 0; i < 3; ++i) {
        while (*p && (std::isspace(static_cast<unsigned char>(*p)) || *p == ',' || *p == '<' || *p == '>'))
            ++p;
        char* end = nullptr;
        double d = std::strtod(p, &end);
        if (end == p) break;
        v[i] = std::isfinite(d) ? d : 0.0;
        p = end;
    }
    return v;
}

}  // namespace

Value::Value(int v) : kind_(Kind::Int), i_(v) {}
Value::Value(long v) : kind_(Kind::Int), i_(v) {}
Value::Value(bool v) : kind_(Kind::Int), i_(v ? 1 : 0) {}
Value::Value(double v) : kind_(Kind::Float), f_(v) {}
Value::Value(const char* v) : kind_(Kind::String), s_(v ? v : "") {}
Value::Value(std::string v) : kind_(Kind::String), s_(std::move(v)) {}
Value::Value(const Vec& v) : kind_(Kind::Vector), v_(v) {}
Value::Value(std::vector<int> v) : kind_(Kind::IntArray), ia_(v.begin(), v.end()) {}
Value::Value(std::vector<double> v) : kind_(Kind::FloatArray), fa_(std::move(v)) {}
Value::Value(std::vector<std::string> v) : kind_(Kind::StringArray), sa_(std::move(v)) {}
Value::Value(std::vector<Vec> v) : kind_(Kind::VectorArray), va_(std::move(v)) {}

bool Value::isArray() const {
    return kind_ == Kind::IntArray || kind_ == Kind::FloatArray || kind_ == Kind::StringArray ||
           kind_ == Kind::VectorArray;
}

long Value::asInt() const {
    switch (kind_) {
        case Kind::None:
            return 0;
        case Kind::Int:
            return i_;
        case Kind::Float:
            return toLong(f_);
        case Kind::String:
            return toLong(leadingNumber(s_));
        case Kind::Vector:
            return toLong(v_[0]);
        default:
            return size() ? element(0).asInt() : 0;
    }
}

double Value::asFloat() const {
    switch (kind_) {
        case Kind::None:
            return 0;
        case Kind::Int:
            return double(i_);
        case Kind::Float:
            return f_;
        case Kind::String:
            return leadingNumber(s_);
        case Kind::Vector:
            return v_[0];
        default:
            return size() ? element(0).asFloat() : 0;
    }
}

bool Value::asBool() const {
    switch (kind_) {
        case Kind::None:
            return false;
        case Kind::Int:
            return i_ != 0;
        case Kind::Float:
            return f_ != 0;
        case Kind::String: {
            std::string l = lower(s_);
            if (l == "true" || l == "on" || l == "yes") return true;
            return leadingNumber(s_) != 0;
        }
        case Kind::Vector:
            return v_[0] != 0 || v_[1] != 0 || v_[2] != 0;
        default:
            return size() ? element(0).asBool() : false;
    }
}

std::string Value::asString() const {
    switch (kind_) {
        case Kind::None:
            return "";
        case Kind::Int:
            return std::to_string(i_);
        case Kind::Float:
            return formatNumber(f_);
        case Kind::String:
            return s_;
        case Kind::Vector:
            return formatNumber(v_[0]) + " " + formatNumber(v_[1]) + " " + formatNumber(v_[2]);
        default:
            return size() ? element(0).asString() : "";
    }
}

Value::Vec Value::asVector() const {
    switch (kind_) {
        case Kind::Vector:
            return v_;
        case Kind::String:
            return vectorFromString(s_);
        case Kind::Int:
        case Kind::Float: {
            double d = asFloat();
            return {d, d, d};
        }
        case Kind::None:
            return {0, 0, 0};
        default:
            return size() ? element(0).asVector() : Vec{0, 0, 0};
    }
}

std::vector<long> Value::asIntArray() const {
    std::vector<long> r;
    if (kind_ == Kind::IntArray) return ia_;
    size_t n = size();
    r.reserve(n);
    for (size_t i = 0; i < n; ++i) r.push_back(element(i).asInt());
    return r;
}

std::vector<double> Value::asFloatArray() const {
    if (kind_ == Kind::FloatArray) return fa_;
    std::vector<double> r;
    size_t n = size();
    r.reserve(n);
    for (size_t i = 0; i < n; ++i) r.push_back(element(i).asFloat());
    return r;
}

std::vector<std::string> Value::asStringArray() const {
    if (kind_ == Kind::StringArray) return sa_;
    std::vector<std::string> r;
    size_t n = size();
    r.reserve(n);
    for (size_t i = 0; i < n; ++i) r.push_back(element(i).asString());
    return r;
}

std::vector<Value::Vec> Value::asVectorArray() const {
    if (kind_ == Kind::VectorArray) return va_;
    std::vector<Vec> r;
    size_t n = size();
    r.reserve(n);
    for (size_t i = 0; i < n; ++i) r.push_back(element(i).asVector());
    return r;
}

size_t Value::size() const {
    switch (kind_) {
        case Kind::None:
            return 0;
        case Kind::IntArray:
            return ia_.size();
        case Kind::FloatArray:
            return fa_.size();
        case Kind::StringArray:
            return sa_.size();
        case Kind::VectorArray:
            return va_.size();
        default:
            return 1;
    }
}

std::string Value::toString() const {
    if (kind_ == Kind::Vector)
        return "<<" + formatNumber(v_[0]) + ", " + formatNumber(v_[1]) + ", " + formatNumber(v_[2]) + ">>";
    if (!isArray()) return asString();
    std::string r;
    size_t n = size();
    for (size_t i = 0; i < n; ++i) {
        if (i) r += ' ';
        r += element(i).toString();
    }
    return r;
}

std::string Value::formatNumber(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    if (v == 0) return "0";  // also prints -0 as 0
    if (v == std::floor(v) && std::fabs(v) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", v);
        return buf;
    }
    // The shortest %g form that reads back to the same double.
    char buf[40];
    for (int prec = 6; prec <= 17; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*g", prec, v);
        if (std::strtod(buf, nullptr) == v) break;
    }
    return buf;
}

Value Value::element(size_t i) const {
    switch (kind_) {
        case Kind::IntArray:
            return i < ia_.size() ? Value(ia_[i]) : Value(0);
        case Kind::FloatArray:
            return i < fa_.size() ? Value(fa_[i]) : Value(0.0);
        case Kind::StringArray:
            return i < sa_.size() ? Value(sa_[i]) : Value(std::string());
        case Kind::VectorArray:
            return i < va_.size() ? Value(va_[i]) : Value(Vec{0, 0, 0});
        case Kind::None:
            return Value();
        default:
            return i == 0 ? *this : zero(kind_);
    }
}

void Value::setElement(size_t i, const Value& v) {
    if (kind_ == Kind::None) {
        *this = zero(arrayKind(v.isNone() ? Kind::Int : elementKind(v.kind())));
    } else if (!isArray()) {
        Value first = *this;
        *this = zero(arrayKind(kind_));
        setElement(0, first);
    }
    switch (kind_) {
        case Kind::IntArray:
            if (ia_.size() <= i) ia_.resize(i + 1, 0);
            ia_[i] = v.asInt();
            break;
        case Kind::FloatArray:
            if (fa_.size() <= i) fa_.resize(i + 1, 0.0);
            fa_[i] = v.asFloat();
            break;
        case Kind::StringArray:
            if (sa_.size() <= i) sa_.resize(i + 1);
            sa_[i] = v.asString();
            break;
        case Kind::VectorArray:
            if (va_.size() <= i) va_.resize(i + 1, Vec{0, 0, 0});
            va_[i] = v.asVector();
            break;
        default:
            break;
    }
}

void Value::append(const Value& v) {
    setElement(isArray() ? size() : (isNone() ? 0 : 1), v);
}

void Value::clearElements() {
    if (isArray()) {
        ia_.clear();
        fa_.clear();
        sa_.clear();
        va_.clear();
    } else {
        *this = zero(kind_);
    }
}

namespace {
double magnitude(const Value::Vec& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}
}  // namespace

// Assigning or casting a vector to a number gives its length, as the language documents it; reading a
// vector through asFloat (a procedure argument) takes its x.
Value Value::convertedTo(Kind k) const {
    if (k == kind_) return *this;
    switch (k) {
        case Kind::None:
            return Value();
        case Kind::Int:
            if (kind_ == Kind::Vector) return Value(long(magnitude(v_)));
            return Value(asInt());
        case Kind::Float:
            if (kind_ == Kind::Vector) return Value(magnitude(v_));
            return Value(asFloat());
        case Kind::String:
            return Value(asString());
        case Kind::Vector:
            return Value(asVector());
        case Kind::IntArray: {
            Value r = zero(k);
            r.ia_ = asIntArray();
            return r;
        }
        case Kind::FloatArray:
            return Value(asFloatArray());
        case Kind::StringArray:
            return Value(asStringArray());
        case Kind::VectorArray:
            return Value(asVectorArray());
    }
    return Value();
}

Value Value::zero(Kind k) {
    Value r;
    r.kind_ = k;
    return r;
}

Value::Kind Value::elementKind(Kind k) {
    switch (k) {
        case Kind::IntArray:
            return Kind::Int;
        case Kind::FloatArray:
            return Kind::Float;
        case Kind::StringArray:
            return Kind::String;
        case Kind::VectorArray:
            return Kind::Vector;
        default:
            return k;
    }
}

Value::Kind Value::arrayKind(Kind k) {
    switch (k) {
        case Kind::Int:
            return Kind::IntArray;
        case Kind::Float:
            return Kind::FloatArray;
        case Kind::String:
            return Kind::StringArray;
        case Kind::Vector:
            return Kind::VectorArray;
        default:
            return k;
    }
}

std::string Value::kindName(Kind k) {
    switch (k) {
        case Kind::None:
            return "none";
        case Kind::Int:
            return "int";
        case Kind::Float:
            return "float";
        case Kind::String:
            return "string";
        case Kind::Vector:
            return "vector";
        case Kind::IntArray:
            return "int[]";
        case Kind::FloatArray:
            return "float[]";
        case Kind::StringArray:
            return "string[]";
        case Kind::VectorArray:
            return "vector[]";
    }
    return "";
}

bool Value::parseNumber(const std::string& text, double& out, bool* isInt) {
    size_t i = 0, n = text.size();
    if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
    size_t digits = 0;
    bool integral = true;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    if (i < n && text[i] == '.') {
        integral = false;
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        integral = false;
        ++i;
        if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
        size_t expDigits = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    double v = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(v)) return false;
    out = v;
    // Integers too large for a long read as floats.
    if (integral && std::fabs(v) > 9.2e18) integral = false;
    if (isInt) *isInt = integral;
    return true;
}

}  // namespace kxh::mel
