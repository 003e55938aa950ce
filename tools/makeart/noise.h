#pragma once

#include <cstdint>

namespace makeart {

// Small deterministic generator (splitmix64): the same seed gives the same art on every
// platform, which the standard distributions do not promise.
class Random {
public:
    explicit Random(std::uint64_t seed) : state(seed) {}
    std::uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return static_cast<int>(uniform() * n); }

private:
    std::uint64_t state;
};

// Gradient noise on an integer lattice that wraps with a period of (periodX, periodY) cells,
// so that a texture sampled over exactly one period tiles without seams.
class PeriodicNoise {
public:
    explicit PeriodicNoise(std::uint32_t seed) : seed(seed) {}

    // Noise at lattice coordinates (u, v); roughly in [-0.7, 0.7]. Periodic in u with period
    // periodX and in v with period periodY, whatever constant is added to u or v.
    double at(double u, double v, int periodX, int periodY) const;

    // Fractal sum over a tile: (x, y) are fractions of the tile in [0, 1); the first octave
    // has cellsX × cellsY lattice cells across the tile, each further octave twice as many.
    double fbm(double x, double y, int cellsX, int cellsY, int octaves, double gain = 0.5) const;

    // Fractal noise for pictures that need not tile: (u, v) in cells of the first octave; the
    // period (a million cells) lies far outside any picture.
    double plain(double u, double v, int octaves, double gain = 0.5) const;

    // Like fbm but sums absolute values: creased, billowy patterns for veins and relief.
    double turbulence(double x, double y, int cellsX, int cellsY, int octaves, double gain = 0.5) const;

private:
    void gradient(int i, int j, double& gx, double& gy) const;
    double offset(int octave, int axis) const;
    std::uint32_t seed;
};

} // namespace makeart
