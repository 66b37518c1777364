#pragma once
// A text string. Numbers appended or assigned to a string are written in one fixed form: whole values as
// integers ("12", "-3"), every other value as the shortest decimal text that reads back to the same number
// ("0.1", "1e-05").
#include <maya/MIOStreamFwd.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <string>

class MStringArray;

class MString {
public:
    MString() = default;
    MString(const char* charString);
    MString(const wchar_t* charString);
    MString(const char* charString, int charLength);
    MString(const MString& other) = default;
    MString(MString&& other) noexcept = default;
    ~MString() = default;

    MString& operator+=(const MString& other);
    MString& operator+=(const char* other);
    MString& operator+=(double other);
    MString& operator+=(int other);
    MString& operator+=(unsigned int other);
    MString& operator+=(float other);
    MString& operator=(const MString& other) = default;
    MString& operator=(MString&& other) noexcept = default;
    MString& operator=(const char* other);
    MString& operator=(double value);

    bool operator==(const MString& other) const { return text_ == other.text_; }
    bool operator==(const char* other) const;
    bool operator!=(const MString& other) const { return text_ != other.text_; }
    bool operator!=(const char* other) const { return !(*this == other); }

    MString operator+(const MString& other) const;
    MString operator+(const char* other) const;
    MString operator+(double value) const;

    MStatus set(const char* charString);
    MStatus set(const char* charString, int charLength);
    MStatus set(const wchar_t* charString);
    MStatus set(double value);
    // Fixed notation with the given number of digits after the decimal point.
    MStatus set(double value, int precision);

    const char* asChar() const { return text_.c_str(); }
    const char* asChar(int& length) const;
    const char* asUTF8() const { return text_.c_str(); }
    const wchar_t* asWChar() const;
    unsigned int length() const { return static_cast<unsigned int>(text_.size()); }
    unsigned int numChars() const { return length(); }
    void clear() { text_.clear(); }

    // Position of the first / last occurrence of the character, -1 when absent.
    int index(char c) const;
    int rindex(char c) const;
    // Splits at every occurrence of the delimiter; empty pieces (from leading, trailing or repeated
    // delimiters) are dropped, so "a||b|" gives "a", "b" and an empty string gives no pieces.
    MStatus split(char delimiter, MStringArray& output) const;
    // The characters from start to end, both inclusive. Out-of-range bounds are clipped; an empty range
    // gives an empty string.
    MString substring(int start, int end) const;
    MString& toUpperCase();
    MString& toLowerCase();
    // Replaces every occurrence of source by target.
    MStatus substitute(const MString& source, const MString& target);

    // Numeric tests accept the whole string (surrounding blanks allowed) and nothing else; the as* readers
    // read a leading number and give 0 when there is none.
    bool isShort() const;
    short asShort() const;
    bool isInt() const;
    int asInt() const;
    bool isUnsigned() const;
    unsigned int asUnsigned() const;
    bool isFloat() const;
    float asFloat() const;
    bool isDouble() const;
    double asDouble() const;

    friend MString operator+(const char* left, const MString& right);
    friend std::ostream& operator<<(std::ostream& os, const MString& str);

    // Host side: direct access to the text.
    const std::string& str() const { return text_; }
    explicit MString(const std::string& text) : text_(text) {}

private:
    std::string text_;
    mutable std::wstring wide_;  // backing store for asWChar
};

namespace kxh {
// The text MString gives a number (see the class comment).
std::string formatDouble(double value);
std::string formatFloat(float value);
}  // namespace kxh
