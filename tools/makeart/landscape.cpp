#include "samples.h"

#include "colour.h"
#include "noise.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <vector>

namespace makeart {

namespace {

// A fir: drooping boughs from the top of the trunk to the ground, longest at the bottom; the
// boughs on the side towards the sun are lighter.
void drawFir(QPainter& p, Random& random, double x, double base, double height, const QColor& dark,
             const QColor& lit) {
    const double width = height * random.uniform(0.46, 0.56);
    p.setPen(QPen(QColor(64, 40, 24), std::max(1.0, height * 0.02)));
    p.drawLine(QPointF(x, base), QPointF(x, base - height));
    const double step = std::max(0.8, height / 110);
    const double thickness = std::max(1.0, height * 0.014);
    p.setBrush(Qt::NoBrush);
    for (double y = base - height * 0.08; y > base - height; y -= step) {
        const double f = (base - y) / height;
        const double reach = width / 2 * std::pow(1.0 - f, 0.95) * random.uniform(0.8, 1.1) + height * 0.01;
        for (int side = -1; side <= 1; side += 2) {
            const double length = reach * random.uniform(0.75, 1.0);
            const double droop = length * random.uniform(0.15, 0.40);
            QPainterPath bough(QPointF(x, y));
            bough.quadTo(QPointF(x + side * length * 0.5, y - droop * 0.3),
                         QPointF(x + side * length, y + droop));
            const double shade = random.uniform(0.0, 1.0);
            QColor colour = side > 0 && shade > 0.35 ? lit : dark;
            colour = colour.darker(int(100 + 40 * random.uniform()));
            p.setPen(QPen(colour, thickness * random.uniform(0.8, 1.3), Qt::SolidLine, Qt::RoundCap));
            p.drawPath(bough);
        }
    }
}

struct Range {
    double base, amplitude, frequency;
    Rgb rock, haze;
    double hazeAmount, snowLine;
    bool forest;
};

// One range of mountains between its ridge line and the shore: creased rock lit from the
// right, snow on the heights, haze towards the valley floor.
void drawRange(QImage& image, const Range& range, int index, int shore, const PeriodicNoise& ridgeNoise,
               const PeriodicNoise& rockNoise) {
    const int w = image.width(), h = image.height();
    std::vector<double> ridge(w + 16);
    for (int x = 0; x < w + 16; ++x) {
        const double u = double(x - 8) / w * range.frequency + 40 * index;
        const double n = 1.0 - std::abs(ridgeNoise.plain(u, 5.0 * index, 7, 0.48) * 1.9);
        ridge[x] = shore - h * (range.base + range.amplitude * n * n);
    }
    auto ridgeAt = [&](int x) { return ridge[std::size_t(x + 8)]; };
    auto terrain = [&](double x, double y) {
        const double u = x / 110.0 + 30 * index, v = y / 80.0;
        return 1.0 - std::abs(rockNoise.plain(u, v, 6, 0.5)) * 2.0;
    };
    for (int x = 0; x < w; ++x) {
        // Faces under a ridge falling to the right look towards the sun.
        const double ridgeSlope = (ridgeAt(x + 6) - ridgeAt(x - 6)) / 12.0;
        for (int y = std::max(0, int(std::ceil(ridgeAt(x)))); y < shore; ++y) {
            const double below = y - ridgeAt(x);
            const double altitude = double(shore - y) / h;
            const double t = terrain(x, y);
            const double slopeX = terrain(x + 2, y) - terrain(x - 2, y);
            double light = 0.78 - 2.2 * slopeX + 0.25 * t;
            light += std::clamp(ridgeSlope, -1.0, 1.0) * 0.35 * std::exp(-below / 120.0);
            light = std::clamp(light, 0.35, 1.35);
            Rgb c = range.rock * light;
            const double fine = rockNoise.plain(x / 9.0, y / 9.0, 2);
            c = c * (1.0 + 0.12 * fine);
            const double snow =
                smoothstep(range.snowLine - 0.015, range.snowLine + 0.015, altitude + 0.05 * t + 0.02 * fine);
            c = mix(c, Rgb(238, 242, 252) * std::min(1.12, light * 0.95 + 0.15), snow * (0.6 + 0.4 * t));
            if (range.forest) {
                // Dark conifer forest over the lower slopes, its edge ragged.
                const double trees = smoothstep(0.10, 0.06, altitude - 0.03 * t - 0.04 * fine);
                const double canopy = 0.75 + 0.5 * rockNoise.plain(x / 3.0, y / 2.5, 2);
                c = mix(c, Rgb(36, 64, 40) * (canopy * (0.85 + 0.3 * (light - 0.78))), trees);
            }
            const double mist =
                range.hazeAmount + (1 - range.hazeAmount) * 0.55 * smoothstep(0.06, 0.0, altitude);
            c = mix(c, range.haze, mist);
            image.setPixel(x, y, c.toQRgb());
        }
    }
}

} // namespace

QImage lakeLandscape(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    const PeriodicNoise cloudNoise(1), ridgeNoise(2), rockNoise(3), rippleNoise(4), grassNoise(5);
    Random random(2024);
    const int shore = int(h * 0.60);
    const QPointF sun(w * 0.70, h * 0.20);
    const double sunRadius = w * 0.03;

    // Sky with the sun's glow and fair-weather clouds, their bases shaded.
    const Rgb skyStops[] = {{34, 78, 156}, {78, 132, 204}, {160, 192, 226}, {240, 222, 196}};
    for (int y = 0; y < shore; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double fy = double(y) / shore;
        for (int x = 0; x < w; ++x) {
            Rgb c = ramp(skyStops, std::pow(fy, 1.2));
            const double d = std::hypot(x - sun.x(), y - sun.y());
            c = c + Rgb(255, 214, 160) * (0.5 * std::exp(-d / (w * 0.09)));
            if (d < sunRadius + 1)
                c = mix(c, Rgb(255, 252, 236), smoothstep(sunRadius + 1, sunRadius - 1, d));
            const double u = x / (w * 0.20), v = y / (h * 0.06);
            const double density =
                smoothstep(0.04, 0.30, cloudNoise.plain(u, v, 6)) * (1.0 - smoothstep(0.25, 0.5, fy));
            const double above = cloudNoise.plain(u, v - 0.35, 6);
            const Rgb cloud =
                mix(Rgb(255, 252, 246), Rgb(156, 164, 190), smoothstep(0.05, 0.35, above) * 0.7);
            c = mix(c, cloud, density * 0.95);
            line[x] = c.toQRgb();
        }
    }

    const Range ranges[] = {
        {0.16, 0.20, 2.2, Rgb(120, 128, 150), Rgb(168, 186, 216), 0.50, 0.30, false},
        {0.09, 0.20, 3.0, Rgb(104, 100, 104), Rgb(160, 180, 210), 0.22, 0.24, false},
        {0.02, 0.10, 4.5, Rgb(92, 96, 80), Rgb(150, 172, 196), 0.08, 1.0, true},
    };
    for (int r = 0; r < 3; ++r)
        drawRange(image, ranges[r], r, shore, ridgeNoise, rockNoise);

    // Small firs along the far shore.
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        for (double x = -5; x < w + 5; x += random.uniform(3, 9)) {
            const double height = random.uniform(9, 22) * (1.0 + 0.5 * std::sin(x / w * 9.0));
            drawFir(p, random, x, shore + 1, height, QColor(26, 46, 34), QColor(50, 78, 52));
        }
    }

    // The lake: the scene above, mirrored, broken by ripples and tinted by the water. Only the rows
    // above the shore are painted so far; the mirror never reads below them.
    const QImage above = image.copy(0, 0, w, shore);
    for (int y = shore; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double depth = double(y - shore) / (h - shore);
        for (int x = 0; x < w; ++x) {
            const double wave = rippleNoise.plain(x / 180.0, (y - shore) / (2.0 + 16 * depth), 4);
            const int sx = std::clamp(int(x + wave * (4 + 20 * depth)), 0, w - 1);
            const int sy = std::clamp(2 * shore - y + int(wave * 4 * depth), 0, shore - 1);
            Rgb c = Rgb::from(above.pixel(sx, sy)) * 0.86;
            c = mix(c, Rgb(28, 64, 92), 0.12 + 0.35 * depth);
            const double glitter = std::exp(-std::pow((x - sun.x()) / (w * (0.015 + 0.04 * depth)), 2));
            c = c + Rgb(255, 236, 190) * (glitter * smoothstep(0.12, 0.40, wave) * 0.8);
            c = c * (1.0 + 0.18 * smoothstep(0.2, 0.5, wave) - 0.08 * smoothstep(-0.2, -0.5, wave));
            line[x] = c.toQRgb();
        }
    }

    // The near meadow with grass and flowers, and big firs in front.
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath meadow;
    meadow.moveTo(0, h * 0.86);
    for (int x = 0; x <= w; x += 8)
        meadow.lineTo(x, h * (0.86 + 0.04 * std::sin(x * 3.0 / w + 1.0)) +
                             12 * grassNoise.plain(x / 90.0, 0.5, 3));
    meadow.lineTo(w, h);
    meadow.lineTo(0, h);
    meadow.closeSubpath();
    QLinearGradient grass(0, h * 0.82, 0, h);
    grass.setColorAt(0, QColor(118, 160, 62));
    grass.setColorAt(1, QColor(44, 92, 32));
    p.fillPath(meadow, grass);
    p.save();
    p.setClipPath(meadow);
    const QColor flowerColours[] = {QColor(230, 40, 50), QColor(250, 210, 40), QColor(250, 250, 245),
                                    QColor(160, 80, 200), QColor(255, 140, 30)};
    for (int i = 0; i < w * 5; ++i) {
        const double x = random.uniform(0, w), y = random.uniform(h * 0.80, h + 10);
        const double len = 4 + 16 * (y - h * 0.80) / (h * 0.20);
        const int g = 70 + random.below(90);
        p.setPen(QPen(QColor(g / 2 + 20, g + 40, g / 3 + 10), 0.8 + len / 14));
        p.drawLine(QPointF(x, y), QPointF(x + random.uniform(-0.4, 0.4) * len, y - len));
    }
    p.setPen(Qt::NoPen);
    for (int i = 0; i < w / 4; ++i) {
        const double x = random.uniform(0, w), y = random.uniform(h * 0.84, h);
        const double r = 1.5 + 4.0 * (y - h * 0.84) / (h * 0.16);
        p.setBrush(flowerColours[random.below(5)]);
        p.drawEllipse(QPointF(x, y), r, r * 0.8);
        p.setBrush(QColor(250, 220, 80));
        p.drawEllipse(QPointF(x, y), r * 0.35, r * 0.3);
    }
    p.restore();
    drawFir(p, random, w * 0.06, h * 1.0, h * 0.66, QColor(20, 44, 28), QColor(44, 82, 46));
    drawFir(p, random, w * 0.15, h * 0.95, h * 0.44, QColor(22, 48, 30), QColor(48, 88, 50));
    drawFir(p, random, w * 0.94, h * 1.01, h * 0.58, QColor(20, 44, 28), QColor(44, 82, 46));
    // A few birds.
    p.setPen(QPen(QColor(40, 40, 50), 1.6));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 5; ++i) {
        const double x = w * random.uniform(0.30, 0.50), y = h * random.uniform(0.10, 0.22),
                     s = random.uniform(5, 9);
        QPainterPath bird;
        bird.moveTo(x - s, y - s * 0.3);
        bird.quadTo(x - s * 0.4, y - s * 0.6, x, y);
        bird.quadTo(x + s * 0.4, y - s * 0.6, x + s, y - s * 0.3);
        p.drawPath(bird);
    }
    return image;
}

} // namespace makeart
