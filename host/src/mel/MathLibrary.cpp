// The math procedures of the language: trigonometry, powers and logs, rounding, clamps and steps,
// random numbers, and the vector procedures (mag, cross, dot, unit, angle, rot). Arguments convert as a
// call to a procedure with float or vector parameters converts them; an array where a number or a vector
// is expected fails with the host's conversion message.
#include <cmath>
#include <random>

#include "mel/Library.h"

namespace kxh::mel::lib {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool scalarArg(Invocation& inv, size_t i, double& out) {
    const Value& v = at(inv, i);
    if (v.isArray())
        return inv.fail("Cannot convert data of type " + Value::kindName(v.kind()) + " to type float.");
    out = v.asFloat();
    return true;
}

bool vectorArg(Invocation& inv, size_t i, Value::Vec& out) {
    const Value& v = at(inv, i);
    if (v.isArray() && !(v.kind() == Value::Kind::FloatArray && v.size() == 3) &&
        !(v.kind() == Value::Kind::IntArray && v.size() == 3))
        return inv.fail("Cannot convert data of type " + Value::kindName(v.kind()) + " to type vector.");
    if (v.isArray()) {
        auto a = v.asFloatArray();
        out = {a[0], a[1], a[2]};
    } else {
        out = v.asVector();
    }
    return true;
}

double dot3(const Value::Vec& a, const Value::Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Value::Vec cross3(const Value::Vec& a, const Value::Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double len3(const Value::Vec& a) {
    return std::sqrt(dot3(a, a));
}
Value::Vec unit3(const Value::Vec& a) {
    double l = len3(a);
    if (l == 0) return a;  // the zero vector stays zero
    return {a[0] / l, a[1] / l, a[2] / l};
}

// One generator for every script, so seed() makes all later rand/gauss/sphrand calls repeat.
std::mt19937_64& generator() {
    static std::mt19937_64 g(12345);
    return g;
}
double uniform(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(generator());
}

void addUnary(Interpreter& interp, const std::string& name, double (*fn)(double)) {
    add(interp, name, [fn](Invocation& inv) {
        double x;
        if (!argCount(inv, 1, 1) || !scalarArg(inv, 0, x)) return false;
        inv.result = Value(fn(x));
        return true;
    });
}

void addBinary(Interpreter& interp, const std::string& name, double (*fn)(double, double)) {
    add(interp, name, [fn](Invocation& inv) {
        double x, y;
        if (!argCount(inv, 2, 2) || !scalarArg(inv, 0, x) || !scalarArg(inv, 1, y)) return false;
        inv.result = Value(fn(x, y));
        return true;
    });
}

void registerScalar(Interpreter& interp) {
    addUnary(interp, "sin", [](double x) { return std::sin(x); });
    addUnary(interp, "cos", [](double x) { return std::cos(x); });
    addUnary(interp, "tan", [](double x) { return std::tan(x); });
    addUnary(interp, "asin", [](double x) { return std::asin(x); });
    addUnary(interp, "acos", [](double x) { return std::acos(x); });
    addUnary(interp, "atan", [](double x) { return std::atan(x); });
    addUnary(interp, "sind", [](double x) { return std::sin(x * kPi / 180); });
    addUnary(interp, "cosd", [](double x) { return std::cos(x * kPi / 180); });
    addUnary(interp, "tand", [](double x) { return std::tan(x * kPi / 180); });
    addUnary(interp, "asind", [](double x) { return std::asin(x) * 180 / kPi; });
    addUnary(interp, "acosd", [](double x) { return std::acos(x) * 180 / kPi; });
    addUnary(interp, "atand", [](double x) { return std::atan(x) * 180 / kPi; });
    addUnary(interp, "sinh", [](double x) { return std::sinh(x); });
    addUnary(interp, "cosh", [](double x) { return std::cosh(x); });
    addUnary(interp, "tanh", [](double x) { return std::tanh(x); });
    addUnary(interp, "exp", [](double x) { return std::exp(x); });
    addUnary(interp, "log", [](double x) { return std::log(x); });
    addUnary(interp, "log10", [](double x) { return std::log10(x); });
    addUnary(interp, "trunc", [](double x) { return std::trunc(x); });
    addUnary(interp, "deg_to_rad", [](double x) { return x * kPi / 180; });
    addUnary(interp, "rad_to_deg", [](double x) { return x * 180 / kPi; });
    addUnary(interp, "sign", [](double x) { return x > 0 ? 1.0 : x < 0 ? -1.0 : 0.0; });
    addBinary(interp, "atan2", [](double y, double x) { return std::atan2(y, x); });
    addBinary(interp, "atan2d", [](double y, double x) { return std::atan2(y, x) * 180 / kPi; });
    addBinary(interp, "hypot", [](double x, double y) { return std::hypot(x, y); });
    addBinary(interp, "fmod", [](double x, double y) { return std::fmod(x, y); });
    addBinary(interp, "equivalent", [](double x, double y) { return std::fabs(x - y) <= 1e-5 ? 1.0 : 0.0; });

    auto three = [&interp](const std::string& name, double (*fn)(double, double, double)) {
        add(interp, name, [fn](Invocation& inv) {
            double a, b, c;
            if (!argCount(inv, 3, 3) || !scalarArg(inv, 0, a) || !scalarArg(inv, 1, b) ||
                !scalarArg(inv, 2, c))
                return false;
            inv.result = Value(fn(a, b, c));
            return true;
        });
    };
    // clamp(min, max, value)
    three("clamp", [](double lo, double hi, double v) { return v < lo ? lo : v > hi ? hi : v; });
    three("equivalentTol",
          [](double x, double y, double tol) { return std::fabs(x - y) <= tol ? 1.0 : 0.0; });
    // linstep/smoothstep(start, end, parameter): 0 before start, 1 after end.
    three("linstep", [](double s, double e, double p) {
        if (p <= s) return 0.0;
        if (p >= e) return 1.0;
        return (p - s) / (e - s);
    });
    three("smoothstep", [](double s, double e, double p) {
        if (p <= s) return 0.0;
        if (p >= e) return 1.0;
        double t = (p - s) / (e - s);
        return t * t * (3 - 2 * t);
    });
}

void registerRandom(Interpreter& interp) {
    add(interp, "seed", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        if (at(inv, 0).isArray()) return inv.fail("seed: the seed must be an int.");
        generator().seed((unsigned long)at(inv, 0).asInt());
        inv.result = Value(at(inv, 0).asInt());
        return true;
    });
    // rand(max), rand(min, max): a float in [min, max); with vectors, per component.
    add(interp, "rand", [](Invocation& inv) {
        if (!argCount(inv, 1, 2)) return false;
        bool isVec = at(inv, 0).kind() == Value::Kind::Vector;
        if (isVec) {
            Value::Vec lo{0, 0, 0}, hi;
            if (!vectorArg(inv, inv.args.size() - 1, hi)) return false;
            if (inv.args.size() == 2 && !vectorArg(inv, 0, lo)) return false;
            Value::Vec r;
            for (size_t i = 0; i < 3; ++i)
                r[i] = lo[i] == hi[i] ? lo[i] : uniform(std::min(lo[i], hi[i]), std::max(lo[i], hi[i]));
            inv.result = Value(r);
            return true;
        }
        double lo = 0, hi;
        if (!scalarArg(inv, inv.args.size() - 1, hi)) return false;
        if (inv.args.size() == 2 && !scalarArg(inv, 0, lo)) return false;
        inv.result = Value(lo == hi ? lo : uniform(std::min(lo, hi), std::max(lo, hi)));
        return true;
    });
    add(interp, "gauss", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        if (at(inv, 0).kind() == Value::Kind::Vector) {
            Value::Vec d = at(inv, 0).asVector(), r;
            for (size_t i = 0; i < 3; ++i)
                r[i] = std::normal_distribution<double>(0, std::fabs(d[i]))(generator());
            inv.result = Value(r);
            return true;
        }
        double d;
        if (!scalarArg(inv, 0, d)) return false;
        inv.result = Value(std::normal_distribution<double>(0, std::fabs(d))(generator()));
        return true;
    });
    // sphrand(radius): a point uniformly inside the sphere (or the ellipsoid of a vector's radii).
    add(interp, "sphrand", [](Invocation& inv) {
        if (!argCount(inv, 1, 1)) return false;
        Value::Vec radii;
        if (!vectorArg(inv, 0, radii)) return false;
        Value::Vec p;
        do {
            p = {uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)};
        } while (dot3(p, p) > 1);
        inv.result = Value(Value::Vec{p[0] * radii[0], p[1] * radii[1], p[2] * radii[2]});
        return true;
    });
}

void registerVector(Interpreter& interp) {
    add(interp, "mag", [](Invocation& inv) {
        Value::Vec v;
        if (!argCount(inv, 1, 1) || !vectorArg(inv, 0, v)) return false;
        inv.result = Value(len3(v));
        return true;
    });
    add(interp, "unit", [](Invocation& inv) {
        Value::Vec v;
        if (!argCount(inv, 1, 1) || !vectorArg(inv, 0, v)) return false;
        inv.result = Value(unit3(v));
        return true;
    });
    add(interp, "normalize", [](Invocation& inv) {
        Value::Vec v;
        if (!argCount(inv, 1, 1) || !vectorArg(inv, 0, v)) return false;
        inv.result = Value(unit3(v));
        return true;
    });
    add(interp, "dot", [](Invocation& inv) {
        Value::Vec a, b;
        if (!argCount(inv, 2, 2) || !vectorArg(inv, 0, a) || !vectorArg(inv, 1, b)) return false;
        inv.result = Value(dot3(a, b));
        return true;
    });
    add(interp, "cross", [](Invocation& inv) {
        Value::Vec a, b;
        if (!argCount(inv, 2, 2) || !vectorArg(inv, 0, a) || !vectorArg(inv, 1, b)) return false;
        inv.result = Value(cross3(a, b));
        return true;
    });
    // angle(v1, v2): radians between the vectors; 0 when either is zero.
    add(interp, "angle", [](Invocation& inv) {
        Value::Vec a, b;
        if (!argCount(inv, 2, 2) || !vectorArg(inv, 0, a) || !vectorArg(inv, 1, b)) return false;
        inv.result = Value(std::atan2(len3(cross3(a, b)), dot3(a, b)));
        return true;
    });
    // rot(v, axis, radians): v turned about the axis (right hand).
    add(interp, "rot", [](Invocation& inv) {
        Value::Vec v, axis;
        double a;
        if (!argCount(inv, 3, 3) || !vectorArg(inv, 0, v) || !vectorArg(inv, 1, axis) ||
            !scalarArg(inv, 2, a))
            return false;
        Value::Vec k = unit3(axis), kxv = cross3(k, v), r;
        double c = std::cos(a), s = std::sin(a), kd = dot3(k, v) * (1 - c);
        for (size_t i = 0; i < 3; ++i) r[i] = v[i] * c + kxv[i] * s + k[i] * kd;
        inv.result = Value(r);
        return true;
    });
}

}  // namespace

void registerMathLibrary(Interpreter& interp) {
    registerScalar(interp);
    registerRandom(interp);
    registerVector(interp);
}

}  // namespace kxh::mel::lib
