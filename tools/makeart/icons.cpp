#include "icons.h"

#include "colour.h"
#include "lettering.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace makeart {

namespace {

// Appends one edge of a piece from `from` to `to`. Along the edge, a knob (sign 1) or a
// socket (sign -1) in the classic shape: a narrow neck and a round head, as deep as a third of
// the edge.
void addEdge(QPainterPath& path, QPointF from, QPointF to, int sign) {
    const QPointF along = to - from;
    const QPointF outward(along.y(), -along.x()); // to the left of the direction of travel
    auto at = [&](double t, double h) { return from + along * t + outward * (h * sign); };
    path.lineTo(at(0.34, 0));
    path.cubicTo(at(0.42, 0.0), at(0.45, 0.05), at(0.42, 0.12));
    path.cubicTo(at(0.30, 0.22), at(0.34, 0.36), at(0.50, 0.36));
    path.cubicTo(at(0.66, 0.36), at(0.70, 0.22), at(0.58, 0.12));
    path.cubicTo(at(0.55, 0.05), at(0.58, 0.0), at(0.66, 0.0));
    path.lineTo(to);
}

// A piece from the middle of a picture: knobs on the top and right, sockets on the left and
// bottom; the body is the unit square.
QPainterPath pieceOutline() {
    QPainterPath path(QPointF(0, 0));
    addEdge(path, {0, 0}, {1, 0}, 1);
    addEdge(path, {1, 0}, {1, 1}, 1);
    addEdge(path, {1, 1}, {0, 1}, -1);
    addEdge(path, {0, 1}, {0, 0}, -1);
    path.closeSubpath();
    return path;
}

} // namespace

QImage programIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    // Fit the piece, knobs included, into the square with a small margin for the outline.
    const QPainterPath unit = pieceOutline();
    const QRectF bounds = unit.boundingRect();
    const double scale = 0.92 * s / std::max(bounds.width(), bounds.height());
    QTransform fit;
    fit.translate(s / 2, s / 2);
    fit.scale(scale, scale);
    fit.translate(-bounds.center().x(), -bounds.center().y());
    const QPainterPath piece = fit.map(unit);

    QLinearGradient fill(0, 0, s, s);
    fill.setColorAt(0.0, QColor(255, 214, 110));
    fill.setColorAt(0.5, QColor(238, 140, 40));
    fill.setColorAt(1.0, QColor(176, 62, 16));
    p.fillPath(piece, fill);

    if (size >= 64) {
        // At large sizes, a sun and hills show that the piece is a bit of a picture.
        p.save();
        p.setClipPath(piece);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 246, 190, 200));
        p.drawEllipse(QPointF(0.34 * s, 0.40 * s), 0.07 * s, 0.07 * s);
        QPainterPath hill;
        hill.moveTo(0, 0.80 * s);
        hill.cubicTo(0.3 * s, 0.62 * s, 0.55 * s, 0.74 * s, s, 0.60 * s);
        hill.lineTo(s, s);
        hill.lineTo(0, s);
        p.fillPath(hill, QColor(120, 40, 10, 90));
        p.restore();
    }
    p.end();

    // Bevel: pixels of the piece whose neighbour towards the top left lies outside it form
    // the lit rim; towards the bottom right, the shaded rim.
    const QImage flat = image.copy();
    const int b = std::max(1, size / 40);
    auto inside = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= size || y >= size)
            return 0.0;
        return qAlpha(flat.pixel(x, y)) / 255.0;
    };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double here = inside(x, y);
            if (here == 0)
                continue;
            double lit = 0, shade = 0;
            for (int k = 1; k <= b; ++k) {
                lit = std::max(lit, 1.0 - inside(x - k, y - k));
                shade = std::max(shade, 1.0 - inside(x + k, y + k));
            }
            const QRgb c = flat.pixel(x, y);
            const double a = qAlpha(c);
            Rgb colour(qRed(c) * 255.0 / a, qGreen(c) * 255.0 / a, qBlue(c) * 255.0 / a);
            colour = mix(colour, Rgb(255, 246, 210), 0.75 * lit);
            colour = mix(colour, Rgb(110, 34, 6), 0.6 * shade);
            const QRgb out = colour.toQRgb();
            image.setPixel(x, y, qPremultiply(qRgba(qRed(out), qGreen(out), qBlue(out), int(a))));
        }
    }
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.strokePath(piece, QPen(QColor(70, 24, 4), std::max(1.0, s / 32.0)));
    return image;
}

QImage hintCursor(int& hotX, int& hotY, int scale) {
    QImage image(32 * scale, 32 * scale, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    // The arrow is set pixel by pixel so that its tip is exactly the pixel (0, 0): white, with a
    // one-pixel black rim wherever a pixel of the arrow borders one outside it.
    const QPolygonF arrow({QPointF(0, 0), QPointF(0, 17.6), QPointF(4.3, 13.4), QPointF(7.6, 20.4),
                           QPointF(10.4, 19.3), QPointF(7.5, 12.5), QPointF(12.8, 12.5)});
    auto inArrow = [&](int x, int y) {
        if (x < 0 || y < 0)
            return false;
        return (x == 0 && y == 0) ||
               arrow.containsPoint(QPointF((x + 0.5) / scale, (y + 0.5) / scale), Qt::OddEvenFill);
    };
    for (int y = 0; y < 24 * scale; ++y) {
        for (int x = 0; x < 16 * scale; ++x) {
            if (!inArrow(x, y))
                continue;
            const bool rim =
                !inArrow(x - 1, y) || !inArrow(x + 1, y) || !inArrow(x, y - 1) || !inArrow(x, y + 1);
            image.setPixel(x, y, rim ? qRgba(0, 0, 0, 255) : qRgba(255, 255, 255, 255));
        }
    }

    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    // The question mark in a round label below and to the right of the arrow.
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF badge(13.5, 11.5, 17, 19);
    p.setBrush(QColor(255, 210, 136));
    p.setPen(QPen(QColor(80, 46, 22), 1.2));
    p.drawEllipse(badge);
    const QFont font = findFont({"DejaVu Sans", "Liberation Sans"}, 18, QFont::Bold);
    p.fillPath(fittedText("?", font, badge.adjusted(4, 3, -4, -3)), QColor(80, 16, 0));
    hotX = 0;
    hotY = 0;
    return image;
}

} // namespace makeart
