#pragma once
// An RGBA colour in floats (components usually in [0, 1]).
#include <maya/MIOStreamFwd.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>

class MColor {
public:
    enum MColorType { kRGB, kHSV, kCMY, kCMYK };

    MColor() : r(0.0f), g(0.0f), b(0.0f), a(1.0f) {}
    MColor(const MColor& src) = default;
    MColor(float rr, float gg, float bb = 0.0f, float aa = 1.0f) : r(rr), g(gg), b(bb), a(aa) {}
    MColor(const float rgb[3]) : r(rgb[0]), g(rgb[1]), b(rgb[2]), a(1.0f) {}
    // A colour given in another model (HSV with hue in degrees, CMY or CMYK), converted to RGB.
    MColor(MColorType colorModel, float c1, float c2, float c3, float alpha = 1.0f);
    ~MColor() = default;

    MColor& operator=(const MColor& src) = default;
    float operator()(unsigned int i) const { return (&r)[i]; }
    float& operator()(unsigned int i) { return (&r)[i]; }
    float operator[](unsigned int i) const { return (&r)[i]; }
    float& operator[](unsigned int i) { return (&r)[i]; }

    MStatus get(float dest[4]) const {
        dest[0] = r;
        dest[1] = g;
        dest[2] = b;
        dest[3] = a;
        return MStatus::kSuccess;
    }
    bool get(MColorType colorModel, float& c1, float& c2, float& c3) const;
    bool set(MColorType colorModel, float c1, float c2, float c3, float alpha = 1.0f);

    MColor& operator*=(float s) {
        r *= s;
        g *= s;
        b *= s;
        a *= s;
        return *this;
    }
    MColor operator*(float s) const { return MColor(r * s, g * s, b * s, a * s); }
    MColor& operator*=(const MColor& o) {
        r *= o.r;
        g *= o.g;
        b *= o.b;
        a *= o.a;
        return *this;
    }
    MColor operator*(const MColor& o) const { return MColor(r * o.r, g * o.g, b * o.b, a * o.a); }
    MColor& operator/=(float s) {
        r /= s;
        g /= s;
        b /= s;
        a /= s;
        return *this;
    }
    MColor operator/(float s) const { return MColor(r / s, g / s, b / s, a / s); }
    MColor& operator+=(const MColor& o) {
        r += o.r;
        g += o.g;
        b += o.b;
        a += o.a;
        return *this;
    }
    MColor operator+(const MColor& o) const { return MColor(r + o.r, g + o.g, b + o.b, a + o.a); }
    MColor& operator-=(const MColor& o) {
        r -= o.r;
        g -= o.g;
        b -= o.b;
        a -= o.a;
        return *this;
    }
    MColor operator-(const MColor& o) const { return MColor(r - o.r, g - o.g, b - o.b, a - o.a); }
    MColor operator-() const { return MColor(-r, -g, -b, -a); }
    bool operator==(const MColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const MColor& o) const { return !(*this == o); }
    bool isEquivalent(const MColor& other, float tolerance = 1.0e-5f) const;

    friend MColor operator*(float s, const MColor& c) { return c * s; }
    friend std::ostream& operator<<(std::ostream& os, const MColor& c);

    float r;
    float g;
    float b;
    float a;
};
