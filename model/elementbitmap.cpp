#include "model/elementbitmap.h"

#include "model/element.h"
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

bool paintElementBitmap(Element& element, int turn, const Puzzle& puzzle,
                        const std::array<QImage, 4>& turnedPictures, const QColor& outlineColor) {
    const int orientation = ((element.orientation - turn) % 4 + 4) % 4;
    const QImage& picture = turnedPictures[orientation];
    const int size = puzzle.geometry.bitmapSize;
    if (picture.isNull() || size <= 0 || puzzle.columns <= 0)
        return false;
    if (element.bitmap.width() != size || element.bitmap.height() != size ||
        element.bitmap.format() != QImage::Format_RGB32) {
        QImage fresh(size, size, QImage::Format_RGB32);
        if (fresh.isNull())
            return false;
        element.bitmap = std::move(fresh);
    }
    element.orientation = orientation;
    element.bitmap.fill(outlineColor.rgb());
    const QRegion clip = element.innerRegion.intersected(element.shapeBounds.toQRect());
    copyRegion(element.bitmap, clip, picture,
               sourcePoint(orientation, element.homeIndex, puzzle.rows, puzzle.columns, puzzle.geometry));
    return true;
}
