#include "board/background.h"

#include "res/resources.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

void BackgroundState::loadTexture() {
    texture = loadBitmapResource(backgroundBitmapId);
    if (texture.isNull()) {
        texture = QImage(160, 120, QImage::Format_RGB32);
        texture.fill(QColor(190, 186, 170));
    }
}

void BackgroundState::paint(QPainter& painter, const Rect& rect) const {
    if (bitmapBackground)
        tileBitmap(texture, painter, rect);
    else
        painter.fillRect(rect.toQRect(), backgroundColor);
}

void tileBitmap(const QImage& bitmap, QPainter& painter, const Rect& rect) {
    const int w = bitmap.width(), h = bitmap.height();
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

void tileBitmap(const QImage& bitmap, QImage& destination, const Rect& rect) {
    const int w = bitmap.width(), h = bitmap.height();
    const Rect r{std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, destination.width()),
                 std::min(rect.bottom, destination.height())};
    if (w <= 0 || h <= 0 || r.isEmpty())
        return;
    const QImage source =
        bitmap.format() == QImage::Format_RGB32 ? bitmap : bitmap.convertToFormat(QImage::Format_RGB32);
    for (int y = r.top; y < r.bottom; ++y) {
        const auto* srcRow = reinterpret_cast<const quint32*>(source.constScanLine(y % h));
        auto* dstRow = reinterpret_cast<quint32*>(destination.scanLine(y));
        int x = r.left;
        while (x < r.right) {
            const int sx = x % w;
            const int run = std::min(w - sx, r.right - x);
            std::memcpy(dstRow + x, srcRow + sx, sizeof(quint32) * run);
            x += run;
        }
    }
}
