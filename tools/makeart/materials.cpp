#include "materials.h"

#include "noise.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace makeart {

namespace {

constexpr double twoPi = 2 * std::numbers::pi;

// Each pixel averages 3 × 3 samples, so that thin rings and veins stay smooth.
template <typename F> QImage paintPixels(int width, int height, F colourAt) {
    constexpr int grid = 3;
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            Rgb sum;
            for (int j = 0; j < grid; ++j)
                for (int i = 0; i < grid; ++i)
                    sum =
                        sum + colourAt((x + (i + 0.5) / grid) / width, (y + (j + 0.5) / grid) / height, x, y);
            line[x] = (sum * (1.0 / (grid * grid))).toQRgb();
        }
    }
    return image;
}

// A scalar field over a tile, read with wrap-around so that slopes at the edges see the
// neighbouring tile.
struct Field {
    int w, h;
    std::vector<double> v;
    Field(int width, int height) : w(width), h(height), v(std::size_t(width) * height) {}
    double& operator()(int x, int y) { return v[std::size_t(((y % h + h) % h)) * w + ((x % w + w) % w)]; }
};

// Small round marks scattered over the tile, wrapped at the edges: pores, grains, shell bits. A
// field of `scale` pixels to each of the tile's gets the same marks at that scale.
void scatterSpecks(Field& field, Random& random, int count, double minRadius, double maxRadius,
                   double minDepth, double maxDepth, int scale) {
    for (int i = 0; i < count; ++i) {
        const double cx = random.uniform(0, field.w), cy = random.uniform(0, field.h);
        const double r = scale * random.uniform(minRadius, maxRadius),
                     depth = random.uniform(minDepth, maxDepth);
        const double stretch = random.uniform(0.6, 1.6);
        const int reach = int(std::ceil(r * 2 * std::max(stretch, 1.0))) + 1;
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                const int px = int(std::floor(cx)) + dx, py = int(std::floor(cy)) + dy;
                const double ex = (px + 0.5 - cx) / stretch, ey = (py + 0.5 - cy) * stretch;
                const double d2 = (ex * ex + ey * ey) / (r * r);
                if (d2 < 4)
                    field(px, py) += depth * std::exp(-d2 * 1.5);
            }
        }
    }
}

} // namespace

QImage woodTexture(int width, int height, const WoodStyle& s, int scale) {
    const PeriodicNoise warp(s.seed), fibre(s.seed + 11), marks(s.seed + 23), tone(s.seed + 37);
    // The figure changes slowly along the board and faster across it.
    const int cx = std::max(1, width / 120), cy = std::max(1, int(std::lround(height / 60.0)));
    const int fibreX = std::max(2, width / 40), fibreY = std::max(8, height * 2 / 3);
    const int poreX = std::max(1, width / 10), poreY = std::max(1, height * 5 / 6);
    const int rayX = std::max(1, width / 16), rayY = std::max(1, height / 5);
    return paintPixels(width * scale, height * scale, [&](double fx, double fy, int, int) {
        // Rings: the phase runs a whole number of cycles over the tile and wanders with
        // low-frequency noise, which bends the rings into the arches of flat-sawn boards.
        // Within a ring the wood darkens towards the latewood and turns light again at the
        // next ring.
        const double wander = s.figure * warp.fbm(fx, fy, cx, cy, 3, 0.35);
        const double phase = s.rings * fy + s.slant * fx + wander + 0.3;
        const double t = phase - std::floor(phase);
        const double late = smoothstep(0.9 - s.latewood, 0.9, t) * (1.0 - smoothstep(0.92, 1.0, t));
        Rgb c = mix(s.early, s.late, 0.15 + 0.75 * late);
        // Fibres: noise cells long along the grain and very narrow across it.
        const double streaks = fibre.fbm(fx, fy, fibreX, fibreY, 3, 0.6);
        c = mix(c, s.streak, std::clamp(0.5 + streaks, 0.0, 1.0) * 0.35 * s.fibres);
        c = c * (1.0 + 0.30 * s.fibres * streaks + 0.10 * tone.fbm(fx, fy, cx, cy, 3));
        if (s.pores > 0) {
            // Short dark dashes of the open pores, mostly in the earlywood.
            const double p = marks.at(fx * poreX + 0.5, fy * poreY + 0.5, poreX, poreY);
            c = c * (1.0 - 0.40 * s.pores * smoothstep(0.30, 0.45, p) * (1.0 - 0.7 * late));
        }
        if (s.rays > 0) {
            const double r = marks.fbm(fx + 0.37, fy + 0.11, rayX, rayY, 2);
            c = mix(c, s.early * 1.1, s.rays * smoothstep(0.20, 0.32, r) * 0.5);
        }
        return c;
    });
}

QImage limestoneTexture(int width, int height, std::uint32_t seed, int scale) {
    const PeriodicNoise cloud(seed), grain(seed + 5), beds(seed + 9);
    Random random(seed);
    Field specks(width * scale, height * scale);
    // Dark pores and the pale fragments of shells scattered through the stone.
    scatterSpecks(specks, random, width * height / 140, 0.4, 1.0, -0.8, -0.3, scale);
    scatterSpecks(specks, random, width * height / 500, 0.8, 1.8, 0.3, 0.6, scale);
    scatterSpecks(specks, random, width * height / 2000, 1.5, 2.5, -0.25, -0.1, scale);
    const Rgb base(210, 199, 174), warm(220, 202, 164), cool(192, 186, 170);
    const int cx = std::max(1, width / 40), cy = std::max(1, height / 40);
    return paintPixels(width * scale, height * scale, [&](double fx, double fy, int x, int y) {
        const double m = cloud.fbm(fx, fy, cx, cy, 5, 0.55);
        Rgb c = mix(base, m > 0 ? warm : cool, std::min(1.0, std::abs(m) * 1.6));
        // Faint bedding: variation that changes mostly from one layer to the next.
        c = c * (1.0 + 0.035 * beds.fbm(fx, fy, 1, std::max(2, height / 20), 3));
        c = c * (1.0 + 0.07 * grain.fbm(fx, fy, width / 3, height / 3, 2, 0.7));
        const double s = specks(x, y);
        c = s < 0 ? mix(c, Rgb(120, 108, 90), std::min(0.75, -s))
                  : mix(c, Rgb(236, 230, 214), std::min(0.8, s));
        return c;
    });
}

QImage pinkStoneTexture(int width, int height, std::uint32_t seed, int scale) {
    const PeriodicNoise cloud(seed), veinNoise(seed + 3), fineVein(seed + 7), crystal(seed + 13),
        bend(seed + 17);
    const Rgb pale(230, 182, 174), rose(208, 136, 136), deep(176, 100, 106), vein(248, 232, 224);
    const int cx = std::max(1, width / 40), cy = std::max(1, height / 40);
    const int px = std::max(1, width / 2), py = std::max(1, height / 2);
    return paintPixels(width * scale, height * scale, [&](double fx, double fy, int, int) {
        const double m = cloud.fbm(fx, fy, cx, cy, 5, 0.55);
        Rgb c = m > 0 ? mix(rose, pale, std::min(1.0, m * 2.5)) : mix(rose, deep, std::min(1.0, -m * 2.5));
        // Marble veins follow the zero line of bent noise: meandering, branching curves
        // that, like all the noise here, join up across the tile's edges.
        const double bx = fx + 0.08 * bend.fbm(fx, fy, 2, 2, 3), by = fy + 0.08 * bend.fbm(fy, fx, 2, 2, 3);
        const double a = std::abs(veinNoise.fbm(bx, by, 2, 2, 5, 0.5));
        c = mix(c, vein, 0.30 * (1.0 - smoothstep(0.0, 0.10, a)));
        c = mix(c, vein, 0.85 * (1.0 - smoothstep(0.006, 0.028, a)));
        const double b = std::abs(fineVein.fbm(bx, by, 3, 3, 5, 0.55));
        c = mix(c, Rgb(164, 92, 100), 0.35 * (1.0 - smoothstep(0.003, 0.014, b)));
        // Crystalline sparkle of the polished stone.
        c = c * (1.0 + 0.06 * crystal.at(fx * px + 0.5, fy * py + 0.5, px, py));
        return c;
    });
}

QImage plasterTexture(int width, int height, std::uint32_t seed, int scale) {
    const PeriodicNoise lumps(seed), fine(seed + 2), tone(seed + 4);
    const int cx = std::max(1, width / 32), cy = std::max(1, height / 32);
    Field relief(width * scale, height * scale);
    for (int y = 0; y < relief.h; ++y) {
        for (int x = 0; x < relief.w; ++x) {
            const double fx = (x + 0.5) / relief.w, fy = (y + 0.5) / relief.h;
            // Knocked-down plaster: flattened plateaus where the trowel passed, with ragged
            // edges, over a finely rough ground.
            const double k = lumps.fbm(fx, fy, cx, cy, 5, 0.5);
            const double plateau = smoothstep(0.06, 0.20, k + 0.25 * fine.fbm(fx, fy, cx * 2, cy * 2, 3));
            relief(x, y) = 2.2 * plateau + 0.9 * fine.fbm(fx, fy, width / 6, height / 6, 3, 0.6);
        }
    }
    const Rgb base(230, 221, 202);
    return paintPixels(width * scale, height * scale, [&](double fx, double fy, int x, int y) {
        // Slopes per pixel of the tile, whatever the scale.
        const double dx = scale * (relief(x + 1, y) - relief(x - 1, y));
        const double dy = scale * (relief(x, y + 1) - relief(x, y - 1));
        // Light from the top left, as for the embossed lettering.
        const double shade = 1.0 + 0.16 * (dx + dy);
        Rgb c = base * (1.0 + 0.04 * tone.fbm(fx, fy, cx, cy, 3));
        return c * shade;
    });
}

} // namespace makeart
