#include "model/elementpainter.h"

#include "model/element.h"
#include "model/picture.h"
#include "model/puzzle.h"
#include "model/regioncopy.h"

#include <QRegion>

#include <algorithm>

QPoint sourcePoint(int orientation, int homeIndex, int rows, int columns, const Geometry& geometry) {
    const int s = geometry.elementSize;
    const int g = (geometry.cellSize - s) / 2;
    if (columns <= 0)
        return {};
    const int row = homeIndex / columns, col = homeIndex % columns;
    switch (orientation & 3) {
    case 0:
        return {col * s - g, row * s - g};
    case 1:
        return {row * s - g, (columns - 1 - col) * s - g};
    case 2:
        return {(columns - 1 - col) * s - g, (rows - 1 - row) * s - g};
    default:
        return {(rows - 1 - row) * s - g, col * s - g};
    }
}

namespace {

// The rectangle of the unturned picture (width w, height h) that becomes `turned` once the
// picture is turned counter-clockwise `orientation` times.
QRect unturnedRect(const QRect& turned, int orientation, int w, int h) {
    switch (orientation & 3) {
    case 1: // turned(X, Y) = picture(w - 1 - Y, X)
        return {w - 1 - turned.bottom(), turned.left(), turned.height(), turned.width()};
    case 2: // turned(X, Y) = picture(w - 1 - X, h - 1 - Y)
        return {w - 1 - turned.right(), h - 1 - turned.bottom(), turned.width(), turned.height()};
    case 3: // turned(X, Y) = picture(Y, h - 1 - X)
        return {turned.top(), h - 1 - turned.right(), turned.height(), turned.width()};
    default:
        return turned;
    }
}

// Copies the area (bitmap coordinates, inside the turned picture once moved by `source`) pixel
// by pixel from the unturned picture, turning on the way: 32-bit or 24-bit pictures.
template <int Bytes, int Orientation>
void copyTurned(QImage& bitmap, const QRegion& area, const QImage& picture, QPoint source) {
    const int w = picture.width(), h = picture.height();
    const uchar* const bits = picture.constBits();
    const qsizetype stride = picture.bytesPerLine();
    const auto at = [&](int x, int y) -> QRgb {
        const uchar* p = bits + y * stride + qsizetype(x) * Bytes;
        if constexpr (Bytes == 4)
            return *reinterpret_cast<const QRgb*>(p);
        else
            return qRgb(p[0], p[1], p[2]);
    };
    uchar* const target = bitmap.bits();
    const qsizetype targetStride = bitmap.bytesPerLine();
    for (const QRect& r : area) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(target + y * targetStride);
            const int Y = y + source.y();
            for (int x = r.left(), X = x + source.x(); x <= r.right(); ++x, ++X) {
                if constexpr (Orientation == 1)
                    row[x] = at(w - 1 - Y, X);
                else if constexpr (Orientation == 2)
                    row[x] = at(w - 1 - X, h - 1 - Y);
                else
                    row[x] = at(Y, h - 1 - X);
            }
        }
    }
}

template <int Bytes>
void copyTurned(QImage& bitmap, const QRegion& area, const QImage& picture, int orientation, QPoint source) {
    switch (orientation) {
    case 1:
        copyTurned<Bytes, 1>(bitmap, area, picture, source);
        break;
    case 2:
        copyTurned<Bytes, 2>(bitmap, area, picture, source);
        break;
    default:
        copyTurned<Bytes, 3>(bitmap, area, picture, source);
        break;
    }
}

void fill(QImage& bitmap, const QRect& area, QRgb colour) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        std::fill(row + area.left(), row + area.left() + area.width(), colour);
    }
}

} // namespace

bool paintElementBitmap(QImage& bitmap, const Element& element, const Puzzle& puzzle, const QImage& picture,
                        const QColor& outlineColor, const QRect& wanted) {
    const int size = puzzle.geometry.bitmapSize;
    if (picture.isNull() || size <= 0 || puzzle.columns <= 0 || bitmap.format() != QImage::Format_RGB32 ||
        bitmap.width() < size || bitmap.height() < size)
        return false;
    const QRect area = wanted.intersected(QRect(0, 0, size, size));
    if (area.isEmpty())
        return true;
    fill(bitmap, area, outlineColor.rgb());
    const int orientation = element.orientation & 3;
    const QPoint source =
        sourcePoint(orientation, element.homeIndex, puzzle.rows, puzzle.columns, puzzle.geometry);
    const QRegion clip = element.innerRegion.intersected(element.shapeBounds.toQRect().intersected(area));
    if (clip.isEmpty())
        return true;
    if (orientation == 0)
        return copyRegion(bitmap, clip, picture, source);
    const QSize turnedSize = orientation % 2 ? picture.size().transposed() : picture.size();
    const QRect shown = QRect(source, QSize(size, size)).intersected(QRect(QPoint(0, 0), turnedSize));
    if (shown.isEmpty())
        return true;
    const QRegion part = clip.intersected(shown.translated(-source));
    if (picture.format() == QImage::Format_RGB32) {
        copyTurned<4>(bitmap, part, picture, orientation, source);
        return true;
    }
    if (picture.format() == QImage::Format_RGB888) {
        copyTurned<3>(bitmap, part, picture, orientation, source);
        return true;
    }
    // Other formats: the piece the element shows, cut out and turned on its own.
    const QRect needed = part.boundingRect().translated(source);
    QImage piece = picture.copy(unturnedRect(needed, orientation, picture.width(), picture.height()));
    for (int k = 0; k < orientation && !piece.isNull(); ++k)
        piece = turnPicture(piece);
    return !piece.isNull() && copyRegion(bitmap, part, piece, source - needed.topLeft());
}

bool paintElementBitmap(QImage& bitmap, const Element& element, const Puzzle& puzzle, const QImage& picture,
                        const QColor& outlineColor) {
    const int size = puzzle.geometry.bitmapSize;
    return paintElementBitmap(bitmap, element, puzzle, picture, outlineColor, QRect(0, 0, size, size));
}
