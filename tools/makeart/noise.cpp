#include "noise.h"

#include <cmath>
#include <numbers>

namespace makeart {

std::uint64_t Random::next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Random::uniform() {
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

namespace {

std::uint32_t hash(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

int wrap(int i, int period) {
    const int m = i % period;
    return m < 0 ? m + period : m;
}

double fade(double t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

} // namespace

void PeriodicNoise::gradient(int i, int j, double& gx, double& gy) const {
    const std::uint32_t h =
        hash(hash(static_cast<std::uint32_t>(i) ^ seed) + static_cast<std::uint32_t>(j) * 0x9E3779B9u);
    const double angle = double(h) / 4294967296.0 * 2 * std::numbers::pi;
    gx = std::cos(angle);
    gy = std::sin(angle);
}

double PeriodicNoise::at(double u, double v, int periodX, int periodY) const {
    const double fu = std::floor(u), fv = std::floor(v);
    const int i0 = static_cast<int>(fu), j0 = static_cast<int>(fv);
    const double du = u - fu, dv = v - fv;
    double corner[4];
    for (int k = 0; k < 4; ++k) {
        const int di = k & 1, dj = k >> 1;
        double gx, gy;
        gradient(wrap(i0 + di, periodX), wrap(j0 + dj, periodY), gx, gy);
        corner[k] = gx * (du - di) + gy * (dv - dj);
    }
    const double su = fade(du), sv = fade(dv);
    const double top = corner[0] + (corner[1] - corner[0]) * su;
    const double bottom = corner[2] + (corner[3] - corner[2]) * su;
    return top + (bottom - top) * sv;
}

double PeriodicNoise::offset(int octave, int axis) const {
    // Gradient noise is zero on its lattice points; shifting every octave by its own
    // fraction of a cell keeps those points off the tile's edges and apart from each other.
    // Any shift keeps the period.
    return 0.5 + double(hash(seed * 2u + std::uint32_t(axis) + std::uint32_t(octave) * 0x632BE5ABu) % 1000) /
                     1000.0;
}

double PeriodicNoise::fbm(double x, double y, int cellsX, int cellsY, int octaves, double gain) const {
    double sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        const int px = cellsX << o, py = cellsY << o;
        sum += amplitude * at(x * px + offset(o, 0), y * py + offset(o, 1), px, py);
        norm += amplitude;
        amplitude *= gain;
    }
    return sum / norm;
}

double PeriodicNoise::plain(double u, double v, int octaves, double gain) const {
    constexpr int period = 1 << 20;
    double sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        const double scale = double(1 << o);
        sum += amplitude * at(u * scale + offset(o, 0), v * scale + offset(o, 1), period, period);
        norm += amplitude;
        amplitude *= gain;
    }
    return sum / norm;
}

double PeriodicNoise::turbulence(double x, double y, int cellsX, int cellsY, int octaves, double gain) const {
    double sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        const int px = cellsX << o, py = cellsY << o;
        sum += amplitude * std::abs(at(x * px + offset(o, 0), y * py + offset(o, 1), px, py));
        norm += amplitude;
        amplitude *= gain;
    }
    return sum / norm;
}

} // namespace makeart
