#include "samples.h"

#include "colour.h"
#include "noise.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace makeart {

namespace {

// One row of buildings standing on the line y = ground; windows lit at random.
void drawBuildings(QPainter& p, Random& random, int w, double ground, double minHeight, double maxHeight,
                   const QColor& wall, double litShare, bool rim, double sunX) {
    double x = random.uniform(-40, 0);
    while (x < w) {
        const double bw = random.uniform(28, 80);
        const double bh = random.uniform(minHeight, maxHeight) *
                          (1.0 + 0.5 * std::exp(-std::pow((x - w * 0.3) / (w * 0.12), 2)));
        const QRectF body(x, ground - bh, bw, bh + 1);
        QPainterPath shape;
        shape.addRect(body);
        const int roof = random.below(5);
        if (roof == 0) { // stepped top
            shape.addRect(QRectF(x + bw * 0.2, ground - bh - bh * 0.12, bw * 0.6, bh * 0.12 + 1));
        } else if (roof == 1) { // spire
            QPainterPath spire;
            spire.moveTo(x + bw * 0.25, ground - bh);
            spire.lineTo(x + bw * 0.5, ground - bh - bh * 0.35);
            spire.lineTo(x + bw * 0.75, ground - bh);
            spire.closeSubpath();
            shape.addPath(spire);
        } else if (roof == 2) { // antenna
            shape.addRect(QRectF(x + bw * 0.5 - 1, ground - bh - 40, 2, 41));
        }
        p.fillPath(shape.simplified(), wall);
        if (rim) {
            // The edge facing the sun catches the last light.
            const bool leftOfSun = x + bw < sunX;
            const QRectF edge =
                leftOfSun ? QRectF(x + bw - 2, ground - bh, 2, bh) : QRectF(x, ground - bh, 2, bh);
            p.fillRect(edge, QColor(255, 150, 80, 120));
        }
        const double cw = random.uniform(5, 8), ch = random.uniform(7, 10);
        for (double wy = ground - bh + 8; wy < ground - 10; wy += ch + 5) {
            for (double wx = x + 5; wx < x + bw - cw - 3; wx += cw + 4) {
                if (random.uniform() < litShare) {
                    const int warmth = random.below(3);
                    const QColor light = warmth == 0   ? QColor(255, 228, 140)
                                         : warmth == 1 ? QColor(255, 190, 90)
                                                       : QColor(230, 236, 255);
                    p.fillRect(QRectF(wx, wy, cw, ch), light);
                }
            }
        }
        x += bw + random.uniform(-6, 10);
    }
}

} // namespace

QImage sunsetSkyline(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    const PeriodicNoise cloudNoise(31), waveNoise(32);
    Random random(1950);
    const int waterline = int(h * 0.70);
    const QPointF sun(w * 0.60, h * 0.50);
    const double sunRadius = h * 0.085;

    const Rgb sky[] = {{26, 20, 70}, {92, 40, 110}, {190, 64, 100}, {248, 128, 62}, {255, 206, 112}};
    for (int y = 0; y < waterline; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double fy = double(y) / waterline;
            Rgb c = ramp(sky, std::pow(fy, 0.9));
            const double d = std::hypot(x - sun.x(), (y - sun.y()) * 1.4);
            c = c + Rgb(255, 170, 90) * (0.6 * std::exp(-d / (w * 0.13)));
            if (d < sunRadius * 1.4 && std::hypot(x - sun.x(), y - sun.y()) < sunRadius)
                c = mix(Rgb(255, 244, 200), Rgb(255, 200, 110),
                        (y - (sun.y() - sunRadius)) / (2 * sunRadius));
            // Long thin clouds, dark violet above and glowing pink-orange on their undersides.
            const double streak = cloudNoise.plain(x / 300.0, y / 16.0, 5);
            const double density =
                smoothstep(0.08, 0.35, streak) * smoothstep(0.05, 0.25, fy) * (1 - smoothstep(0.6, 0.8, fy));
            const double underside =
                smoothstep(0.0, 0.3, cloudNoise.plain(x / 300.0, (y - 6) / 16.0, 5) - streak + 0.2);
            c = mix(c, mix(Rgb(90, 44, 96), Rgb(255, 140, 120), underside), density * 0.85);
            line[x] = c.toQRgb();
        }
    }
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawBuildings(p, random, w, waterline, 60, 150, QColor(120, 62, 110), 0.0, false, sun.x());
        drawBuildings(p, random, w, waterline, 70, 190, QColor(62, 34, 72), 0.10, false, sun.x());
        drawBuildings(p, random, w, waterline + 2, 40, 140, QColor(24, 16, 34), 0.35, true, sun.x());
        p.setPen(QPen(QColor(30, 20, 40), 1.8));
        for (int i = 0; i < 7; ++i) {
            const double x = w * random.uniform(0.15, 0.45), y = h * random.uniform(0.12, 0.3);
            const double s = random.uniform(6, 11);
            QPainterPath bird;
            bird.moveTo(x - s, y - s * 0.35);
            bird.quadTo(x - s * 0.4, y - s * 0.7, x, y);
            bird.quadTo(x + s * 0.4, y - s * 0.7, x + s, y - s * 0.35);
            p.drawPath(bird);
        }
    }

    // The river: the city mirrored, smeared into vertical streaks by the waves.
    const QImage above = image.copy(0, 0, w, waterline + 1);
    for (int y = waterline; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double depth = double(y - waterline) / (h - waterline);
        for (int x = 0; x < w; ++x) {
            const double wave = waveNoise.plain(x / 40.0, (y - waterline) / (2.0 + 12 * depth), 4);
            const int sx = std::clamp(int(x + wave * (3 + 14 * depth)), 0, w - 1);
            const int sy = std::clamp(2 * waterline - y + int(wave * (4 + 30 * depth)), 0, waterline);
            Rgb c = Rgb::from(above.pixel(sx, sy)) * 0.75;
            c = mix(c, Rgb(24, 20, 52), 0.2 + 0.4 * depth);
            const double path = std::exp(-std::pow((x - sun.x()) / (sunRadius * (0.8 + 1.5 * depth)), 2));
            c = c + Rgb(255, 190, 110) * (path * smoothstep(0.1, 0.4, wave) * 0.9);
            line[x] = c.toQRgb();
        }
    }
    return image;
}

} // namespace makeart
