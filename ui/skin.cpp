#include "ui/skin.h"

#include "res/resources.h"

#include <QCoreApplication>
#include <QPainter>

#include <cmath>
#include <memory>

namespace {

std::unique_ptr<SkinObjects>& instance() {
    static std::unique_ptr<SkinObjects> objects;
    return objects;
}

// Fonts must go before the application does; statics are destroyed after it.
void releaseObjects() {
    instance().reset();
}

QFont makeFont(const QString& family, int tenthsOfPoint, int weight, QFont::StyleHint hint) {
    QFont font(family);
    font.setPixelSize(Skin::pointsToPixels(tenthsOfPoint));
    font.setWeight(weight == 700 ? QFont::Bold : QFont::Normal);
    font.setStyleHint(hint);
    return font;
}

// Row r of the 8 x 8 stripe pattern: two rows light, two rows dark, repeating.
QColor stripeRow(int r) {
    return (r & 2) == 0 ? SkinColor::stripeLight : SkinColor::stripeDark;
}

QImage stripeTile(int shift) {
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        const QRgb c = stripeRow(y + shift).rgb();
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, c);
    }
    return tile;
}

QImage filled(int w, int h, const QColor& c) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

QImage stripes(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, stripeRow(y).rgb());
    return image;
}

// Four 13 x 13 boxes: on, on pressed, off, off pressed.
QImage checkBoxStandIn() {
    QImage image = filled(52, 13, SkinColor::stripeDark);
    QPainter p(&image);
    for (int i = 0; i < 4; ++i) {
        const QRect box(i * 13, 0, 13, 13);
        p.fillRect(box.adjusted(1, 1, -1, -1), (i % 2) ? QColor(220, 200, 160) : Qt::white);
        Skin::frameRect(p, box, SkinColor::buttonDark);
        if (i < 2) {
            p.setPen(QPen(Qt::black, 2));
            p.drawLine(box.left() + 3, box.top() + 6, box.left() + 5, box.top() + 9);
            p.drawLine(box.left() + 5, box.top() + 9, box.left() + 10, box.top() + 3);
        }
    }
    return image;
}

QImage standIn(int id) {
    switch (id) {
    case SkinBitmap::stripes:
        return stripeTile(0);
    case SkinBitmap::stripes1:
        return stripeTile(1);
    case SkinBitmap::stripes2:
        return stripeTile(2);
    case SkinBitmap::stripes3:
        return stripeTile(3);
    case SkinBitmap::buttonFace:
        return filled(150, 46, QColor(196, 150, 92));
    case SkinBitmap::checkBoxes:
        return checkBoxStandIn();
    case SkinBitmap::splashTitle:
        return stripes(214, 91);
    case SkinBitmap::splashByline:
        return stripes(149, 77);
    default:
        return filled(8, 8, SkinColor::stripeLight);
    }
}

} // namespace

namespace Skin {

int pointsToPixels(int tenthsOfPoint) {
    return 96 * tenthsOfPoint / 720;
}

void create() {
    auto objects = std::make_unique<SkinObjects>();
    objects->stripeBrush = QBrush(bitmap(SkinBitmap::stripes));
    objects->sunkenBrush = QBrush(SkinColor::stripeLight);
    objects->whiteBrush = QBrush(Qt::white);
    objects->menuFont = makeFont(QStringLiteral("Times New Roman"), 140, 400, QFont::Decorative);
    objects->clockFont = makeFont(QStringLiteral("Arial"), 100, 700, QFont::AnyStyle);
    objects->messageFont = makeFont(QStringLiteral("Arial"), 100, 700, QFont::SansSerif);
    // A dialog template's 8 points become 11 pixels on a 96-dpi screen (rounded, not truncated).
    // The face standing in for "MS Sans Serif" sets Cyrillic a sixth wider than the original, so
    // it is asked for condensed: texts then fit the controls the templates made for them.
    objects->dialogFont = QFont(QStringLiteral("MS Sans Serif"));
    objects->dialogFont.setPixelSize(11);
    objects->dialogFont.setStretch(QFont::SemiCondensed);
    const bool first = !instance();
    instance() = std::move(objects);
    if (first && QCoreApplication::instance())
        qAddPostRoutine(releaseObjects);
}

const SkinObjects& objects() {
    if (!instance())
        create();
    return *instance();
}

int dluX(int dlu) {
    return static_cast<int>(std::lround(dlu * 6 / 4.0));
}
int dluY(int dlu) {
    return static_cast<int>(std::lround(dlu * 13 / 8.0));
}

QRect dluRect(int x, int y, int width, int height) {
    // Both edges are converted, as the dialog manager does, so neighbours never overlap.
    const int left = dluX(x), top = dluY(y);
    return QRect(left, top, dluX(x + width) - left, dluY(y + height) - top);
}

int stripeBitmapForTop(int top) {
    static constexpr int ids[4] = {SkinBitmap::stripes, SkinBitmap::stripes1, SkinBitmap::stripes2,
                                   SkinBitmap::stripes3};
    return ids[((top % 4) + 4) % 4];
}

QImage bitmap(int id) {
    QImage image = loadBitmapResource(id);
    return image.isNull() ? standIn(id) : image;
}

QImage bitmap(int id, double ratio) {
    QImage image = loadBitmapResource(id, ratio);
    return image.isNull() ? standIn(id) : image;
}

QPalette palette(QPalette base) {
    QBrush stripes = objects().stripeBrush;
    stripes.setColor(SkinColor::stripeLight);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        base.setBrush(group, QPalette::Window, stripes);
        base.setColor(group, QPalette::WindowText, SkinColor::label);
        base.setBrush(group, QPalette::Base, objects().whiteBrush);
        base.setColor(group, QPalette::Text, Qt::black);
        base.setColor(group, QPalette::ButtonText, Qt::black);
    }
    return base;
}

QPalette bevelledPalette(QPalette base) {
    base = palette(base);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        base.setColor(group, QPalette::Light, SkinColor::buttonLight);
        base.setColor(group, QPalette::Midlight, SkinColor::buttonInner);
        base.setColor(group, QPalette::Dark, SkinColor::buttonDark);
        base.setColor(group, QPalette::Mid, SkinColor::stripeDark);
        base.setColor(group, QPalette::Shadow, Qt::black);
    }
    return base;
}

void draw3dRect(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    const int x = r.x(), y = r.y(), cx = r.width(), cy = r.height();
    if (cx <= 0 || cy <= 0)
        return;
    painter.fillRect(x, y, cx - 1, 1, topLeft);
    painter.fillRect(x, y, 1, cy - 1, topLeft);
    painter.fillRect(x + cx - 1, y, 1, cy, bottomRight);
    painter.fillRect(x, y + cy - 1, cx, 1, bottomRight);
}

void frameRect(QPainter& painter, const QRect& r, const QColor& colour) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    painter.fillRect(r.x(), r.y(), r.width(), 1, colour);
    painter.fillRect(r.x(), r.bottom(), r.width(), 1, colour);
    painter.fillRect(r.x(), r.y(), 1, r.height(), colour);
    painter.fillRect(r.right(), r.y(), 1, r.height(), colour);
}

} // namespace Skin

void tileBitmap(const QImage& bitmap, QPainter& painter, const Rect& rect) {
    const QSize size = bitmap.deviceIndependentSize().toSize();
    const int w = size.width(), h = size.height();
    if (w <= 0 || h <= 0 || rect.isEmpty())
        return;
    painter.save();
    painter.setClipRect(rect.toQRect());
    // Start at the first tile that reaches into the rectangle; the grid itself stays anchored
    // at (0, 0), so stripes and grain run on across neighbouring fills.
    const int x0 = rect.left >= 0 ? rect.left / w * w : -((-rect.left + w - 1) / w) * w;
    const int y0 = rect.top >= 0 ? rect.top / h * h : -((-rect.top + h - 1) / h) * h;
    for (int y = y0; y < rect.bottom; y += h)
        for (int x = x0; x < rect.right; x += w)
            painter.drawImage(x, y, bitmap);
    painter.restore();
}

void tileBitmap(const QImage& bitmap, QPainter& painter, int left, int top, int width, int height) {
    tileBitmap(bitmap, painter, Rect{left, top, left + width, top + height});
}

const QImage& ScreenBitmap::at(double ratio) {
    if (image_.isNull() || ratio != ratio_) {
        image_ = Skin::bitmap(id_, ratio);
        ratio_ = ratio;
    }
    return image_;
}
