#include "board/background.h"

#include "res/resources.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

void BackgroundState::loadTexture() {
    texture = loadBitmapResource(backgroundBitmapId);
    if (texture.isNull()) {
        texture = QImage(160, 120, QImage::Format_RGB32);
        texture.fill(QColor(190, 186, 170));
    }
    const QImage fine = loadBitmapResource(backgroundBitmapId, 2.0);
    fineTexture_ = fine.devicePixelRatio() == 2.0 && fine.size() == texture.size() * 2 ? fine : QImage();
    fineFor_ = texture.cacheKey();
}

namespace {

QColor meanColour(const QImage& texture) {
    const QImage rgb =
        texture.format() == QImage::Format_RGB32 ? texture : texture.convertToFormat(QImage::Format_RGB32);
    std::int64_t r = 0, g = 0, b = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            r += qRed(line[x]);
            g += qGreen(line[x]);
            b += qBlue(line[x]);
        }
    }
    const std::int64_t n = std::int64_t(rgb.width()) * rgb.height();
    return QColor(int(r / n), int(g / n), int(b / n));
}

} // namespace

QColor BackgroundState::surroundColor() const {
    if (!bitmapBackground || texture.isNull())
        return backgroundColor.darker(300);
    if (textureMean_.textureKey != texture.cacheKey())
        textureMean_ = {texture.cacheKey(), meanColour(texture)};
    return textureMean_.colour.darker(300);
}

void tileBitmap(const QImage& bitmap, QImage& destination, const Rect& rect, QPoint origin) {
    const int w = bitmap.width(), h = bitmap.height();
    const Rect r{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, destination.width()),
                 std::min(rect.bottom, destination.height())};
    if (w <= 0 || h <= 0 || r.isEmpty())
        return;
    const QImage source =
        bitmap.format() == QImage::Format_RGB32 ? bitmap : bitmap.convertToFormat(QImage::Format_RGB32);
    const auto wrapped = [](int v, int n) { return (v % n + n) % n; };
    for (int y = r.top; y < r.bottom; ++y) {
        const auto* srcRow =
            reinterpret_cast<const quint32*>(source.constScanLine(wrapped(y + origin.y(), h)));
        auto* dstRow = reinterpret_cast<quint32*>(destination.scanLine(y));
        int x = r.left;
        while (x < r.right) {
            const int sx = wrapped(x + origin.x(), w);
            const int run = std::min(w - sx, r.right - x);
            std::memcpy(dstRow + x, srcRow + sx, sizeof(quint32) * run);
            x += run;
        }
    }
}
