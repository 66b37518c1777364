#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>

namespace kxh {

namespace {

// Whole numbers below this magnitude are exact in a double and print as integers.
constexpr double kWholeLimit = 1e15;

template <class F>
std::string formatNumber(F value) {
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < kWholeLimit)
        return std::to_string(static_cast<long long>(value));  // -0.0 prints as "0"
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);  // shortest text that reads back exactly
    return std::string(buf, res.ptr);
}

void appendUtf8(std::string& out, unsigned long cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::wstring decodeUtf8(const std::string& s) {
    std::wstring out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= s.size()) {
            out += L'?';
            ++i;
            continue;
        }
        unsigned long cp = extra == 0 ? c : (c & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out += static_cast<wchar_t>(cp);
        i += extra + 1;
    }
    return out;
}

// The text with surrounding blanks removed.
std::string trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

// Reads an integer from the whole (trimmed) text; false when the text is not exactly one integer.
bool parseWholeInteger(const std::string& text, long long& value) {
    std::string t = trimmed(text);
    const char* b = t.c_str();
    const char* e = b + t.size();
    if (b != e && *b == '+') ++b;
    if (b == e) return false;
    auto res = std::from_chars(b, e, value);
    return res.ec == std::errc() && res.ptr == e;
}

// Reads a decimal number (digits, point, exponent) from the whole (trimmed) text.
bool parseWholeDouble(const std::string& text, double& value) {
    std::string t = trimmed(text);
    if (t.empty() || t.find_first_not_of("0123456789+-.eE") != std::string::npos) return false;
    const char* b = t.c_str();
    const char* e = b + t.size();
    if (*b == '+') ++b;
    auto res = std::from_chars(b, e, value);
    return res.ec == std::errc() && res.ptr == e;
}

}  // namespace

std::string formatDouble(double value) {
    return formatNumber(value);
}
std::string formatFloat(float value) {
    return formatNumber(value);
}

}  // namespace kxh

MString::MString(const char* charString) : text_(charString ? charString : "") {}

MString::MString(const wchar_t* charString) {
    set(charString);
}

MString::MString(const char* charString, int charLength) {
    set(charString, charLength);
}

MString& MString::operator+=(const MString& other) {
    text_ += other.text_;
    return *this;
}
MString& MString::operator+=(const char* other) {
    if (other) text_ += other;
    return *this;
}
MString& MString::operator+=(double other) {
    text_ += kxh::formatDouble(other);
    return *this;
}
MString& MString::operator+=(int other) {
    text_ += std::to_string(other);
    return *this;
}
MString& MString::operator+=(unsigned int other) {
    text_ += std::to_string(other);
    return *this;
}
MString& MString::operator+=(float other) {
    text_ += kxh::formatFloat(other);
    return *this;
}
MString& MString::operator=(const char* other) {
    text_ = other ? other : "";
    return *this;
}
MString& MString::operator=(double value) {
    text_ = kxh::formatDouble(value);
    return *this;
}

bool MString::operator==(const char* other) const {
    return text_ == (other ? other : "");
}

MString MString::operator+(const MString& other) const {
    MString r(*this);
    r.text_ += other.text_;
    return r;
}
MString MString::operator+(const char* other) const {
    MString r(*this);
    r += other;
    return r;
}
MString MString::operator+(double value) const {
    MString r(*this);
    r += value;
    return r;
}
MString operator+(const char* left, const MString& right) {
    MString r(left);
    r += right;
    return r;
}

MStatus MString::set(const char* charString) {
    text_ = charString ? charString : "";
    return MStatus::kSuccess;
}
MStatus MString::set(const char* charString, int charLength) {
    if (!charString || charLength < 0) {
        text_.clear();
        return charString ? MStatus::kInvalidParameter : MStatus::kSuccess;
    }
    text_.assign(charString, static_cast<size_t>(charLength));
    return MStatus::kSuccess;
}
MStatus MString::set(const wchar_t* charString) {
    text_.clear();
    if (charString)
        for (const wchar_t* p = charString; *p; ++p) kxh::appendUtf8(text_, static_cast<unsigned long>(*p));
    return MStatus::kSuccess;
}
MStatus MString::set(double value) {
    text_ = kxh::formatDouble(value);
    return MStatus::kSuccess;
}
MStatus MString::set(double value, int precision) {
    if (precision < 0) return MStatus::kInvalidParameter;
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", precision, value);
    text_ = buf;
    return MStatus::kSuccess;
}

const char* MString::asChar(int& length) const {
    length = static_cast<int>(text_.size());
    return text_.c_str();
}
const wchar_t* MString::asWChar() const {
    wide_ = kxh::decodeUtf8(text_);
    return wide_.c_str();
}

int MString::index(char c) const {
    size_t p = text_.find(c);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}
int MString::rindex(char c) const {
    size_t p = text_.rfind(c);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

MStatus MString::split(char delimiter, MStringArray& output) const {
    output.clear();
    size_t start = 0;
    while (start <= text_.size()) {
        size_t end = text_.find(delimiter, start);
        if (end == std::string::npos) end = text_.size();
        if (end > start) output.append(MString(text_.substr(start, end - start)));
        start = end + 1;
    }
    return MStatus::kSuccess;
}

MString MString::substring(int start, int end) const {
    int n = static_cast<int>(text_.size());
    if (start < 0) start = 0;
    if (end >= n) end = n - 1;
    if (start > end) return MString();
    return MString(text_.substr(static_cast<size_t>(start), static_cast<size_t>(end - start + 1)));
}

MString& MString::toUpperCase() {
    for (char& c : text_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}
MString& MString::toLowerCase() {
    for (char& c : text_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

MStatus MString::substitute(const MString& source, const MString& target) {
    if (source.text_.empty()) return MStatus::kInvalidParameter;
    std::string out;
    size_t pos = 0;
    for (;;) {
        size_t hit = text_.find(source.text_, pos);
        if (hit == std::string::npos) break;
        out.append(text_, pos, hit - pos);
        out += target.text_;
        pos = hit + source.text_.size();
    }
    out.append(text_, pos, std::string::npos);
    text_.swap(out);
    return MStatus::kSuccess;
}

bool MString::isShort() const {
    long long v;
    return kxh::parseWholeInteger(text_, v) && v >= SHRT_MIN && v <= SHRT_MAX;
}
short MString::asShort() const {
    return static_cast<short>(asInt());
}
bool MString::isInt() const {
    long long v;
    return kxh::parseWholeInteger(text_, v) && v >= INT_MIN && v <= INT_MAX;
}
int MString::asInt() const {
    return static_cast<int>(std::strtol(text_.c_str(), nullptr, 10));
}
bool MString::isUnsigned() const {
    long long v;
    std::string t = kxh::trimmed(text_);
    return !t.empty() && t[0] != '-' && kxh::parseWholeInteger(text_, v) && v <= UINT_MAX;
}
unsigned int MString::asUnsigned() const {
    return static_cast<unsigned int>(std::strtoul(text_.c_str(), nullptr, 10));
}
bool MString::isFloat() const {
    double v;
    return kxh::parseWholeDouble(text_, v) && std::fabs(v) <= 3.4028234663852886e38;
}
float MString::asFloat() const {
    return static_cast<float>(asDouble());
}
bool MString::isDouble() const {
    double v;
    return kxh::parseWholeDouble(text_, v);
}
double MString::asDouble() const {
    // The longest leading decimal number; 0 when there is none.
    std::string t = kxh::trimmed(text_);
    size_t n = 0;
    while (n < t.size() && std::strchr("0123456789+-.eE", t[n])) ++n;
    const char* b = t.c_str();
    const char* e = b + n;
    if (b != e && *b == '+') ++b;
    double v = 0.0;
    auto res = std::from_chars(b, e, v);
    return res.ec == std::errc() ? v : 0.0;
}

std::ostream& operator<<(std::ostream& os, const MString& str) {
    return os << str.text_;
}
