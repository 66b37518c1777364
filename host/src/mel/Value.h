#pragma once
// A MEL value: int, float, string, vector, or an array of ints, floats, strings or vectors. Conversions
// follow MEL: numbers print whole values as integers and others losslessly ("1", "0.5", "1e-05");
// strings convert to numbers by their leading numeric text ("3abc" -> 3, "abc" -> 0).
#include <array>
#include <string>
#include <vector>

namespace kxh::mel {

class Value {
public:
    enum class Kind { None, Int, Float, String, Vector, IntArray, FloatArray, StringArray, VectorArray };
    using Vec = std::array<double, 3>;

    Value() = default;
    Value(int v);
    Value(long v);
    Value(bool v);
    Value(double v);
    Value(const char* v);
    Value(std::string v);
    Value(const Vec& v);
    Value(std::vector<int> v);
    Value(std::vector<double> v);
    Value(std::vector<std::string> v);
    Value(std::vector<Vec> v);

    Kind kind() const { return kind_; }
    bool isNone() const { return kind_ == Kind::None; }
    bool isArray() const;
    bool isNumber() const { return kind_ == Kind::Int || kind_ == Kind::Float; }
    bool isString() const { return kind_ == Kind::String; }

    // Scalar conversions (an array converts through its first element, an empty one to 0 / "").
    long asInt() const;
    double asFloat() const;
    bool asBool() const;  // numbers: non-zero; strings: "true","on","yes","1" (any case) and non-zero numbers
    std::string asString() const;
    Vec asVector() const;

    // Array views (a scalar becomes a one-element array).
    std::vector<long> asIntArray() const;
    std::vector<double> asFloatArray() const;
    std::vector<std::string> asStringArray() const;
    std::vector<Vec> asVectorArray() const;
    size_t size() const;  // element count of an array, 1 for a scalar, 0 for None

    // The text of the value as "print" and "// Result:" show it: arrays space-separated, vectors "<<1, 2,
    // 3>>".
    std::string toString() const;

    static std::string formatNumber(double v);  // whole values as integers, others losslessly

    // Element i of an array (past the end: the element type's zero); a scalar is its own element 0.
    Value element(size_t i) const;
    // Sets element i, growing the array with zeros. A None value becomes an array of v's kind; a scalar
    // becomes an array of its own kind first.
    void setElement(size_t i, const Value& v);
    void append(const Value& v);
    void clearElements();  // an array becomes empty; a scalar becomes its zero

    // The value converted to another kind, as assigning to a variable of that kind converts.
    Value convertedTo(Kind k) const;
    static Value zero(Kind k);
    static Kind elementKind(Kind arrayKind);  // IntArray -> Int; scalars map to themselves
    static Kind arrayKind(Kind elementKind);  // Int -> IntArray; arrays map to themselves
    static std::string kindName(Kind k);      // "int", "float[]", "string", "vector", ...
    // Reads a whole word as a number ("-1", ".5", "1e-05", "0x1f" is not one). Sets isInt when the text
    // has no fraction or exponent.
    static bool parseNumber(const std::string& text, double& out, bool* isInt = nullptr);

private:
    Kind kind_ = Kind::None;
    long i_ = 0;
    double f_ = 0;
    std::string s_;
    Vec v_{0, 0, 0};
    std::vector<long> ia_;
    std::vector<double> fa_;
    std::vector<std::string> sa_;
    std::vector<Vec> va_;
};

}  // namespace kxh::mel
