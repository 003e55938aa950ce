#include "lettering.h"

#include "colour.h"
#include "skins.h"

#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <vector>

namespace makeart {

QFont findFont(const QStringList& families, int pixelSize, int weight, bool italic) {
    const QStringList installed = QFontDatabase::families();
    QString chosen;
    for (const QString& wanted : families) {
        for (const QString& family : installed) {
            if (family.startsWith(wanted, Qt::CaseInsensitive)) {
                chosen = family;
                break;
            }
        }
        if (!chosen.isEmpty())
            break;
    }
    if (chosen.isEmpty()) {
        std::fprintf(stderr, "makeart: none of the fonts %s is installed; using a serif face\n",
                     qPrintable(families.join(", ")));
        chosen = QStringLiteral("serif");
    }
    QFont font(chosen);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QPainterPath fittedText(const QString& text, const QFont& font, const QRectF& box) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    const double scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(scale, scale);
    t.translate(-bounds.center().x(), -bounds.center().y());
    return t.map(path);
}

namespace {

// Coverage of the path, 0..1 per pixel, softened so that the letters get rounded shoulders.
std::vector<double> softMask(const QPainterPath& path, int w, int h, int blurPasses) {
    QImage cover(w, h, QImage::Format_Grayscale8);
    cover.fill(0);
    {
        QPainter p(&cover);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(path, Qt::white);
    }
    std::vector<double> m(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            m[std::size_t(y) * w + x] = cover.constScanLine(y)[x] / 255.0;
    auto at = [&](const std::vector<double>& v, int x, int y) {
        return v[std::size_t(std::clamp(y, 0, h - 1)) * w + std::clamp(x, 0, w - 1)];
    };
    std::vector<double> tmp(m.size());
    for (int pass = 0; pass < blurPasses; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                tmp[std::size_t(y) * w + x] =
                    0.25 * at(m, x - 1, y) + 0.5 * at(m, x, y) + 0.25 * at(m, x + 1, y);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                m[std::size_t(y) * w + x] =
                    0.25 * at(tmp, x, y - 1) + 0.5 * at(tmp, x, y) + 0.25 * at(tmp, x, y + 1);
    }
    return m;
}

} // namespace

QImage embossText(const QImage& texture, const QString& text, const QFont& font, const QRectF& box,
                  int scale) {
    const int w = texture.width(), h = texture.height();
    // Blurred as much at every scale: passes add up as the square of the blur's width.
    const std::vector<double> m =
        softMask(QTransform::fromScale(scale, scale).map(fittedText(text, font, box)), w, h, scale * scale);
    auto at = [&](int x, int y) {
        return m[std::size_t(std::clamp(y, 0, h - 1)) * w + std::clamp(x, 0, w - 1)];
    };
    QImage out = texture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            // Slope towards the light (top left) brightens, slope away darkens; a faint shadow
            // falls to the bottom right of each letter. Slopes are per pixel of the box.
            const double slope = scale * ((at(x + 1, y) - at(x - 1, y)) + (at(x, y + 1) - at(x, y - 1)));
            const double shadow = std::max(0.0, at(x - scale, y - scale) - at(x, y));
            const double k = 1.0 + 0.55 * slope - 0.10 * shadow + 0.04 * at(x, y);
            line[x] = (Rgb::from(line[x]) * k).toQRgb();
        }
    }
    return out;
}

namespace {

// Gold lettering with a dark rim and a drop shadow, on the stripe pattern.
QImage goldLettering(int w, int h, const QPainterPath& text, int scale) {
    QImage image = tiledStripes(w, h, scale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(text.translated(2, 2), QColor(30, 12, 2, 170));
    p.strokePath(text, QPen(QColor(48, 22, 4), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QRectF b = text.boundingRect();
    QLinearGradient gold(b.topLeft(), b.bottomLeft());
    gold.setColorAt(0.0, QColor(255, 244, 196));
    gold.setColorAt(0.45, QColor(250, 204, 110));
    gold.setColorAt(0.55, QColor(214, 150, 52));
    gold.setColorAt(1.0, QColor(255, 210, 136));
    p.fillPath(text, gold);
    return image;
}

QFont blackletter(int pixelSize) {
    return findFont({"Blankenburg", "UnifrakturMaguntia", "Old English", "Liberation Serif"}, pixelSize);
}

} // namespace

QImage splashTitle(int scale) {
    const QPainterPath text = fittedText("Puzzle", blackletter(80), QRectF(10, 6, 192, 76));
    return goldLettering(214, 91, text, scale);
}

QImage splashByline(int scale) {
    QPainterPath text = fittedText("from", blackletter(30), QRectF(45, 3, 56, 26));
    text.addPath(fittedText("Brindlecot", blackletter(40), QRectF(6, 30, 135, 40)));
    return goldLettering(149, 77, text, scale);
}

void congratulation(QImage& colours, QImage& mask) {
    const int w = 234, h = 65;
    // Each word followed by a blank and an exclamation mark, as the window shows it.
    const QFont font = findFont({"DejaVu Serif", "Liberation Serif"}, 48, QFont::Bold, true);
    const QPainterPath text = fittedText(QString::fromUtf8("Ура! Ура!"), font, QRectF(5, 5, w - 10, h - 10));

    QImage art(w, h, QImage::Format_ARGB32_Premultiplied);
    art.fill(Qt::transparent);
    {
        QPainter p(&art);
        p.setRenderHint(QPainter::Antialiasing);
        p.strokePath(text, QPen(QColor(90, 12, 0), 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QRectF b = text.boundingRect();
        QLinearGradient fire(b.topLeft(), b.bottomLeft());
        fire.setColorAt(0.0, QColor(255, 250, 150));
        fire.setColorAt(0.35, QColor(255, 214, 40));
        fire.setColorAt(0.7, QColor(250, 120, 10));
        fire.setColorAt(1.0, QColor(215, 30, 20));
        p.fillPath(text, fire);
        // A thin gleam along the upper part of the letters.
        p.setClipPath(text);
        p.strokePath(text.translated(0, 2), QPen(QColor(255, 255, 230, 150), 1.2));
    }
    colours = QImage(w, h, QImage::Format_RGB32);
    mask = QImage(w, h, QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    // Filling sets the unused bits at the ends of the rows too, so that the file is the same
    // from one run to the next.
    mask.fill(1);
    for (int y = 0; y < h; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(art.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(colours.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = qAlpha(in[x]);
            // Hard edges: the window shows the lettering through a one-bit mask.
            const bool letter = a >= 100;
            mask.setPixel(x, y, letter ? 0 : 1);
            out[x] = letter ? qRgb(qRed(in[x]) * 255 / a, qGreen(in[x]) * 255 / a, qBlue(in[x]) * 255 / a)
                            : qRgb(0, 0, 0);
        }
    }
}

} // namespace makeart
