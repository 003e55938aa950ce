#include "samples.h"

#include "colour.h"
#include "noise.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

namespace makeart {

namespace {

struct Site {
    double x, y;
    std::uint32_t pick; // chooses the pane's colour in each part of the window it crosses
    double tint;
};

} // namespace

QImage stainedGlass(int w, int h) {
    Random random(77);
    const PeriodicNoise glassNoise(8), bubbleNoise(9);
    const double cell = 58;
    const int gx = int(std::ceil(w / cell)) + 1, gy = int(std::ceil(h / cell)) + 1;
    const QPointF centre(w / 2.0, h / 2.0);
    const double rose = h * 0.40;

    // Palettes: a warm rose window in the middle, a ring of deep blue, cool jewels outside.
    const Rgb warm[] = {{214, 32, 36}, {244, 166, 20}, {250, 214, 60}, {190, 60, 20}, {236, 110, 40}};
    const Rgb ring[] = {{22, 48, 160}, {40, 90, 200}, {16, 30, 110}, {70, 40, 160}};
    const Rgb cool[] = {{30, 130, 70},  {20, 90, 150}, {120, 40, 150},
                        {40, 160, 170}, {150, 20, 60}, {220, 180, 40}};

    std::vector<Site> sites(std::size_t(gx) * gy);
    for (int j = 0; j < gy; ++j) {
        for (int i = 0; i < gx; ++i) {
            Site& s = sites[std::size_t(j) * gx + i];
            s.x = (i + random.uniform(0.15, 0.85)) * cell;
            s.y = (j + random.uniform(0.15, 0.85)) * cell;
            s.pick = std::uint32_t(random.next() >> 32);
            s.tint = random.uniform(0.85, 1.1);
        }
    }

    QImage image(w, h, QImage::Format_RGB32);
    const double came = 3.2; // half width of the lead strips
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const int ci = int(px / cell), cj = int(py / cell);
            const Site* a = nullptr;
            const Site* b = nullptr;
            double da = std::numeric_limits<double>::max(), db = da;
            for (int j = std::max(0, cj - 2); j <= std::min(gy - 1, cj + 2); ++j) {
                for (int i = std::max(0, ci - 2); i <= std::min(gx - 1, ci + 2); ++i) {
                    const Site& s = sites[std::size_t(j) * gx + i];
                    const double d = (s.x - px) * (s.x - px) + (s.y - py) * (s.y - py);
                    if (d < da) {
                        db = da;
                        b = a;
                        da = d;
                        a = &s;
                    } else if (d < db) {
                        db = d;
                        b = &s;
                    }
                }
            }
            // Distance to the cell border: to the bisector of the two nearest sites.
            double edge = (db - da) / (2 * std::hypot(b->x - a->x, b->y - a->y));
            // The rose window's rim and its twelve spokes are lead as well.
            const double r = std::hypot(px - centre.x(), py - centre.y());
            edge = std::min(edge, std::abs(r - rose));
            edge = std::min(edge, std::abs(r - rose * 0.82));
            edge = std::min(edge, std::abs(r - rose * 0.22));
            const double angle = std::atan2(py - centre.y(), px - centre.x());
            const int sector = int(std::floor(angle / (std::numbers::pi / 6))) + 6;
            if (r > rose * 0.22 && r < rose * 0.82) {
                const double spoke = std::remainder(angle, std::numbers::pi / 6);
                edge = std::min(edge, std::abs(spoke) * r);
            }
            Rgb c;
            if (edge < came) {
                // Lead came: dark, with a soft highlight along its crown.
                const double crown = 1.0 - edge / came;
                c = mix(Rgb(26, 26, 30), Rgb(118, 118, 124), std::pow(crown, 3.0));
            } else {
                const std::uint32_t pick = a->pick ^ (std::uint32_t(sector) * 0x9E3779B9u);
                Rgb base = r < rose * 0.22   ? Rgb(255, 236, 150)
                           : r < rose * 0.82 ? warm[(pick >> 8) % 5]
                           : r < rose        ? ring[(a->pick >> 8) % 4]
                                             : cool[(a->pick >> 8) % 6];
                base = base * a->tint;
                // Glass: brighter towards the middle of the pane, streaky and seedy, and lit
                // more strongly from the upper right.
                const double centreGlow = std::exp(-std::sqrt(da) / (cell * 0.9));
                const double streaks = glassNoise.plain(px / 90.0, py / 14.0, 4);
                const double bubbles = smoothstep(0.45, 0.55, bubbleNoise.plain(px / 5.0, py / 5.0, 1));
                const double light =
                    0.62 + 0.38 * (px / w) * (1 - py / h) + 0.25 * centreGlow + 0.18 * streaks;
                c = base * light + Rgb(255, 255, 240) * (0.25 * bubbles);
                // A thin dark line where the glass meets the lead.
                c = c * (0.55 + 0.45 * smoothstep(came, came + 2.5, edge));
            }
            line[x] = c.toQRgb();
        }
    }
    return image;
}

} // namespace makeart
