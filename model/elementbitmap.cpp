#include "model/elementbitmap.h"

#include "model/element.h"
#include "model/picture.h"
#include "model/puzzle.h"
#include "model/regioncopy.h"

#include <QRegion>

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

bool ensureBitmap(Element& element, int size) {
    if (element.bitmap.width() == size && element.bitmap.height() == size &&
        element.bitmap.format() == QImage::Format_RGB32)
        return true;
    QImage fresh(size, size, QImage::Format_RGB32);
    if (fresh.isNull())
        return false;
    element.bitmap = std::move(fresh);
    return true;
}

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
template <int Bytes>
void copyTurned(QImage& bitmap, const QRegion& area, const QImage& picture, int orientation, QPoint source) {
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
                switch (orientation) {
                case 1:
                    row[x] = at(w - 1 - Y, X);
                    break;
                case 2:
                    row[x] = at(w - 1 - X, h - 1 - Y);
                    break;
                default:
                    row[x] = at(Y, h - 1 - X);
                    break;
                }
            }
        }
    }
}

} // namespace

bool paintElementBitmapFromPicture(Element& element, const Puzzle& puzzle, const QImage& picture,
                                   const QColor& outlineColor) {
    const int size = puzzle.geometry.bitmapSize;
    const int orientation = element.orientation & 3;
    if (picture.isNull() || size <= 0 || puzzle.columns <= 0 || !ensureBitmap(element, size))
        return false;
    element.bitmap.fill(outlineColor.rgb());
    const QPoint source =
        sourcePoint(orientation, element.homeIndex, puzzle.rows, puzzle.columns, puzzle.geometry);
    const QRegion clip = element.innerRegion.intersected(element.shapeBounds.toQRect());
    if (orientation == 0)
        return copyRegion(element.bitmap, clip, picture, source);
    const QSize turnedSize = orientation % 2 ? picture.size().transposed() : picture.size();
    const QRect shown = QRect(source, QSize(size, size)).intersected(QRect(QPoint(0, 0), turnedSize));
    if (shown.isEmpty())
        return true;
    const QRegion area = clip.intersected(element.bitmap.rect()).intersected(shown.translated(-source));
    if (picture.format() == QImage::Format_RGB32) {
        copyTurned<4>(element.bitmap, area, picture, orientation, source);
        return true;
    }
    if (picture.format() == QImage::Format_RGB888) {
        copyTurned<3>(element.bitmap, area, picture, orientation, source);
        return true;
    }
    // Other formats: the piece the element shows, cut out and turned on its own.
    QImage piece = picture.copy(unturnedRect(shown, orientation, picture.width(), picture.height()));
    for (int k = 0; k < orientation && !piece.isNull(); ++k)
        piece = turnPicture(piece);
    return !piece.isNull() && copyRegion(element.bitmap, area, piece, source - shown.topLeft());
}

bool paintElementBitmap(Element& element, int turn, const Puzzle& puzzle,
                        const std::array<QImage, 4>& turnedPictures, const QColor& outlineColor) {
    const int orientation = turnedOrientation(element.orientation, turn);
    const QImage& picture = turnedPictures[orientation];
    const int size = puzzle.geometry.bitmapSize;
    if (picture.isNull() || size <= 0 || puzzle.columns <= 0 || !ensureBitmap(element, size))
        return false;
    element.orientation = orientation;
    element.bitmap.fill(outlineColor.rgb());
    const QRegion clip = element.innerRegion.intersected(element.shapeBounds.toQRect());
    copyRegion(element.bitmap, clip, picture,
               sourcePoint(orientation, element.homeIndex, puzzle.rows, puzzle.columns, puzzle.geometry));
    return true;
}
