#include "skins.h"

#include "colour.h"
#include "materials.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace makeart {

namespace {

const QRgb stripeLight = qRgb(145, 61, 7);
const QRgb stripeDark = qRgb(105, 55, 22);

QRgb stripeRow(int row) {
    return (row % 4) < 2 ? stripeLight : stripeDark;
}

// A one-pixel 3D frame: light on the top and left, dark on the bottom and right.
void frame3d(QPainter& p, const QRect& r, const QColor& light, const QColor& dark) {
    pixelLine(p, r.topLeft(), QPoint(r.right() - 1, r.top()), light);
    pixelLine(p, r.topLeft(), QPoint(r.left(), r.bottom() - 1), light);
    pixelLine(p, r.bottomLeft(), r.bottomRight(), dark);
    pixelLine(p, r.topRight(), r.bottomRight(), dark);
}

// An image of `width` x `height` at `scale` pixels to each of its own: painted in its own
// coordinates, it gets the detail of the finer grid.
QImage scaledImage(int width, int height, int scale, QImage::Format format) {
    QImage image(width * scale, height * scale, format);
    image.setDevicePixelRatio(scale);
    return image;
}

} // namespace

void pixelLine(QPainter& p, QPoint a, QPoint b, const QColor& colour) {
    p.fillRect(QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                     QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))),
               colour);
}

void pixelFrame(QPainter& p, const QRect& r, const QColor& colour) {
    pixelLine(p, r.topLeft(), r.topRight(), colour);
    pixelLine(p, r.bottomLeft(), r.bottomRight(), colour);
    pixelLine(p, r.topLeft(), r.bottomLeft(), colour);
    pixelLine(p, r.topRight(), r.bottomRight(), colour);
}

QImage stripeTile(int k) {
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, stripeRow(y + k));
    return tile;
}

QImage tiledStripes(int width, int height, int scale) {
    QImage image = scaledImage(width, height, scale, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)), image.width(), stripeRow(y / scale));
    return image;
}

QImage buttonFace(int scale) {
    WoodStyle s;
    s.early = Rgb(224, 178, 112);
    s.late = Rgb(176, 118, 60);
    s.streak = Rgb(200, 146, 84);
    s.rings = 2;
    s.figure = 0.9;
    s.seed = 258;
    return woodTexture(150, 46, s, scale);
}

QImage lightWood(int scale) {
    WoodStyle s;
    s.early = Rgb(240, 212, 160);
    s.late = Rgb(206, 160, 100);
    s.streak = Rgb(226, 190, 134);
    s.rings = 2;
    s.slant = 1;
    s.figure = 0.7;
    s.seed = 217;
    return woodTexture(250, 40, s, scale);
}

QImage checkBoxStrip(int scale) {
    QImage strip = scaledImage(52, 13, scale, QImage::Format_RGB32);
    QPainter p(&strip);
    for (int i = 0; i < 4; ++i) {
        const bool on = i < 2, pressed = i % 2 == 1;
        const QRect box(i * 13, 0, 13, 13);
        // A sunken cream well; pressing darkens it and moves the mark like a button face.
        QLinearGradient well(box.topLeft(), box.bottomRight());
        well.setColorAt(0, pressed ? QColor(214, 164, 96) : QColor(255, 236, 190));
        well.setColorAt(1, pressed ? QColor(190, 136, 74) : QColor(238, 200, 140));
        p.fillRect(box, well);
        frame3d(p, box, QColor(49, 41, 24), QColor(255, 205, 115));
        frame3d(p, box.adjusted(1, 1, -1, -1), QColor(164, 90, 49), QColor(246, 197, 123));
        if (on) {
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            const QPointF o = box.topLeft() + QPointF(pressed ? 1 : 0, pressed ? 1 : 0);
            QPainterPath tick;
            tick.moveTo(o + QPointF(3.2, 6.4));
            tick.lineTo(o + QPointF(5.4, 8.8));
            tick.lineTo(o + QPointF(9.8, 3.4));
            p.strokePath(tick, QPen(QColor(110, 24, 0), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.restore();
        }
    }
    return strip;
}

QImage pictureFrame(int scale) {
    const int w = 179, h = 138, border = 7;
    QImage image = scaledImage(w, h, scale, QImage::Format_RGB32);
    QPainter p(&image);
    // The field the preview is drawn on, slightly shaded under the frame's inner lip.
    p.fillRect(image.rect(), QColor(222, 196, 150));
    for (int i = 0; i < 3; ++i) {
        const QColor shade(150 + 20 * i, 118 + 20 * i, 80 + 16 * i);
        pixelLine(p, QPoint(border + i, border + i), QPoint(w - border - 1, border + i), shade);
        pixelLine(p, QPoint(border + i, border + i), QPoint(border + i, h - border - 1), shade);
    }
    WoodStyle s;
    s.early = Rgb(184, 118, 60);
    s.late = Rgb(92, 46, 18);
    s.streak = Rgb(150, 88, 40);
    s.rings = 3;
    s.figure = 0.5;
    s.latewood = 0.3;
    s.fibres = 1.8;
    s.seed = 183;
    QImage along = woodTexture(w, border * 3, s, scale); // grain along the top and bottom
    QImage across = woodTexture(h, border * 3, s, scale).transformed(QTransform().rotate(90));
    along.setDevicePixelRatio(scale);
    across.setDevicePixelRatio(scale);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Mitred corners: each side is a trapezoid cut from a strip whose grain runs along it.
    const QPolygon top({QPoint(0, 0), QPoint(w, 0), QPoint(w - border, border), QPoint(border, border)});
    const QPolygon bottom(
        {QPoint(0, h), QPoint(border, h - border), QPoint(w - border, h - border), QPoint(w, h)});
    const QPolygon left({QPoint(0, 0), QPoint(border, border), QPoint(border, h - border), QPoint(0, h)});
    const QPolygon right(
        {QPoint(w, 0), QPoint(w, h), QPoint(w - border, h - border), QPoint(w - border, border)});
    auto side = [&](const QPolygon& shape, const QImage& wood, QPoint at, double light) {
        p.save();
        p.setClipRegion(QRegion(shape));
        p.drawImage(at, wood);
        p.fillRect(image.rect(), light > 1 ? QColor(255, 240, 200, int((light - 1) * 255))
                                           : QColor(30, 12, 0, int((1 - light) * 255)));
        p.restore();
    };
    side(top, along, QPoint(0, 0), 1.18);
    side(bottom, along, QPoint(0, h - border * 3 + 4), 0.72);
    side(left, across, QPoint(0, 0), 1.08);
    side(right, across, QPoint(w - border * 3 + 3, 0), 0.80);
    // Rounded moulding: a light outer edge and a dark inner edge on the lit sides, and the
    // reverse on the shaded ones.
    frame3d(p, QRect(0, 0, w, h), QColor(236, 190, 130), QColor(52, 28, 10));
    frame3d(p, QRect(border - 1, border - 1, w - 2 * border + 2, h - 2 * border + 2), QColor(62, 34, 12),
            QColor(214, 166, 106));
    return image;
}

QImage progressBlock(int scale) {
    QImage image = scaledImage(14, 22, scale, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient amber(0, 0, 0, 22);
    amber.setColorAt(0.0, QColor(255, 226, 150));
    amber.setColorAt(0.35, QColor(240, 168, 64));
    amber.setColorAt(0.6, QColor(206, 122, 34));
    amber.setColorAt(1.0, QColor(150, 80, 22));
    const QRect r(0, 0, 14, 22);
    p.fillRect(r, amber);
    frame3d(p, r, QColor(255, 236, 180), QColor(80, 40, 10));
    frame3d(p, r.adjusted(1, 1, -1, -1), QColor(250, 200, 120), QColor(130, 68, 20));
    return image;
}

QImage sizeGrip(int scale) {
    QImage image = scaledImage(15, 15, scale, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    // Three ridges across the corner, each a light line above a dark one.
    for (int k = 2; k <= 10; k += 4) {
        p.setPen(QColor(255, 230, 131));
        p.drawLine(k, 14, 14, k);
        p.setPen(QColor(98, 74, 49));
        p.drawLine(k + 1, 14, 14, k + 1);
        p.drawLine(k + 2, 14, 14, k + 2);
    }
    return image;
}

} // namespace makeart
