#pragma once

#include <QColor>
#include <QRgb>

#include <algorithm>
#include <cmath>

namespace makeart {

// Floating-point colour for mixing and shading; channels are 0..255 and may leave that range
// until they are written into an image.
struct Rgb {
    double r = 0, g = 0, b = 0;

    constexpr Rgb() = default;
    constexpr Rgb(double red, double green, double blue) : r(red), g(green), b(blue) {}

    Rgb operator+(const Rgb& o) const { return {r + o.r, g + o.g, b + o.b}; }
    Rgb operator-(const Rgb& o) const { return {r - o.r, g - o.g, b - o.b}; }
    Rgb operator*(double k) const { return {r * k, g * k, b * k}; }
    Rgb operator*(const Rgb& o) const { return {r * o.r / 255.0, g * o.g / 255.0, b * o.b / 255.0}; }

    QRgb toQRgb() const {
        auto c = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0))); };
        return qRgb(c(r), c(g), c(b));
    }
    QColor toColor() const { return QColor(toQRgb()); }
    static Rgb from(QRgb c) { return {double(qRed(c)), double(qGreen(c)), double(qBlue(c))}; }
};

inline Rgb mix(const Rgb& a, const Rgb& b, double t) {
    return a + (b - a) * t;
}

inline double smoothstep(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

inline double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

// Piecewise-linear colour ramp through evenly spaced stops.
template <std::size_t N> Rgb ramp(const Rgb (&stops)[N], double t) {
    t = std::clamp(t, 0.0, 1.0) * (N - 1);
    const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(t), N - 2);
    return mix(stops[i], stops[i + 1], t - double(i));
}

} // namespace makeart
