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
const QImage& samplePicture() {
    static const QImage picture = lakeLandscape(160, 120);
    return picture;
}

} // namespace

QImage cutSample(bool mosaic, bool squareBase, bool shiftKnobs) {
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

    QImage image = tiledStripes(sampleSide, sampleSide);
    const QRect bounds = element.outerRegion.boundingRect();
    const QPoint offset((sampleSide - bounds.width()) / 2 - bounds.left(),
                        (sampleSide - bounds.height()) / 2 - bounds.top());
    QPainter p(&image);
    // As the board shows an element: the outline band under the shape, the picture inside it.
    p.setClipRegion(element.outerRegion.translated(offset));
    p.fillRect(image.rect(), outlineColour);
    p.setClipRegion(element.innerRegion.translated(offset));
    p.drawImage(offset, samplePicture(),
                QRect(40, 30, options.geometry.bitmapSize, options.geometry.bitmapSize));
    return image;
}

QImage sizeMotif() {
    const int side = 32;
    QImage image = tiledStripes(side, side);
    QPainter p(&image);
    const QRect field(3, 9, 26, 20);
    const QColor light(236, 212, 160), line(150, 96, 52), dark(60, 32, 12);
    // The grid: a picture divided into cells.
    p.fillRect(field, QColor(222, 196, 150));
    p.setPen(line);
    for (int x = field.left() + 6; x < field.right(); x += 7)
        p.drawLine(x, field.top() + 1, x, field.bottom() - 1);
    for (int y = field.top() + 6; y < field.bottom(); y += 7)
        p.drawLine(field.left() + 1, y, field.right() - 1, y);
    p.setPen(dark);
    p.drawRect(field.adjusted(0, 0, -1, -1));
    // The ruler above it, ticks every pixel pair, long ones at each cell.
    const QRect ruler(1, 2, 30, 6);
    p.fillRect(ruler, light);
    p.setPen(dark);
    p.drawRect(ruler.adjusted(0, 0, -1, -1));
    for (int x = field.left(); x <= field.right(); x += 2) {
        const bool cell = (x - field.left()) % 7 == 6 || x == field.left();
        p.drawLine(x, ruler.bottom() - 1, x, ruler.bottom() - (cell ? 4 : 2));
    }
    return image;
}

} // namespace makeart
