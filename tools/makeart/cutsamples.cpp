#include "cutsamples.h"

#include "samples.h"
#include "skins.h"

#include "model/element.h"
#include "model/shapebuilder.h"

#include <QPainter>

namespace makeart {

namespace {

constexpr int sampleSide = 67;
constexpr int outlineThickness = 4; // the game's default band
const QColor outlineColour(128, 128, 128);

// Knobs above and to the right, sockets below and to the left: both kinds show on one element.
constexpr EdgeRecord sampleSigns{1, 1, -1, -1};
// Each knob moved one step along its edge, clockwise and back, so the shift is easy to see.
constexpr EdgeRecord sampleShifts{1, -1, 1, -1};

// The part of a landscape the element is cut from: sky, hills and water all show in it.
QImage samplePicture(int scale) {
    return lakeLandscape(160 * scale, 120 * scale);
}

} // namespace

QImage cutSample(bool mosaic, bool squareBase, bool shiftKnobs, int scale) {
    // A square mosaic element has no tabs; a larger size lets it fill the sample as the others do.
    const int elementSize = mosaic && squareBase ? 48 : 40;
    ShapeOptions options;
    options.geometry = Geometry::compute(elementSize, mosaic, !squareBase, outlineThickness);
    options.mosaic = mosaic;
    options.threeD = true;
    ShapeBuilder shapes(options);

    Element element;
    element.edgeSign = sampleSigns;
    element.edgeShift = shiftKnobs ? sampleShifts : EdgeRecord{0, 0, 0, 0};
    shapes.buildShape(element);
    QRegion outer = element.outerRegion, inner = element.innerRegion;
    if (scale != 1) {
        const ShapeBuilder::ScaledShape fine =
            shapes.scaledShape(element.edgeSign, element.edgeShift, 0, double(scale));
        outer = fine.region, inner = fine.picture;
    }

    // Drawn in the image's own pixels; placed as the plain sample places the element.
    QImage image = tiledStripes(sampleSide, sampleSide, scale);
    image.setDevicePixelRatio(1);
    const QRect bounds = element.outerRegion.boundingRect();
    const QPoint offset = scale * QPoint((sampleSide - bounds.width()) / 2 - bounds.left(),
                                         (sampleSide - bounds.height()) / 2 - bounds.top());
    QPainter p(&image);
    // As the board shows an element: the outline band under the shape, the picture inside it.
    p.setClipRegion(outer.translated(offset));
    p.fillRect(image.rect(), outlineColour);
    p.setClipRegion(inner.translated(offset));
    const int side = options.geometry.bitmapSize * scale;
    p.drawImage(offset, samplePicture(scale), QRect(40 * scale, 30 * scale, side, side));
    p.end();
    image.setDevicePixelRatio(scale);
    return image;
}

QImage sizeMotif(int scale) {
    const int side = 32;
    QImage image = tiledStripes(side, side, scale);
    QPainter p(&image);
    const QRect field(3, 9, 26, 20);
    const QColor light(236, 212, 160), line(150, 96, 52), dark(60, 32, 12);
    // The grid: a picture divided into cells.
    p.fillRect(field, QColor(222, 196, 150));
    for (int x = field.left() + 6; x < field.right(); x += 7)
        pixelLine(p, QPoint(x, field.top() + 1), QPoint(x, field.bottom() - 1), line);
    for (int y = field.top() + 6; y < field.bottom(); y += 7)
        pixelLine(p, QPoint(field.left() + 1, y), QPoint(field.right() - 1, y), line);
    pixelFrame(p, field, dark);
    // The ruler above it, ticks every pixel pair, long ones at each cell.
    const QRect ruler(1, 2, 30, 6);
    p.fillRect(ruler, light);
    pixelFrame(p, ruler, dark);
    for (int x = field.left(); x <= field.right(); x += 2) {
        const bool cell = (x - field.left()) % 7 == 6 || x == field.left();
        pixelLine(p, QPoint(x, ruler.bottom() - 1), QPoint(x, ruler.bottom() - (cell ? 4 : 2)), dark);
    }
    return image;
}

} // namespace makeart
