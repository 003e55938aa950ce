#include "model/sampledcanvas.h"
#include "model/shapebuilder.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

QImage drawn(SampledCanvas& canvas) {
    canvas.finish(PictureSampler{}, qRgb(20, 90, 40));
    QImage image(canvas.size(), QImage::Format_RGB32);
    canvas.store(image, QPoint(0, 0));
    return image;
}

} // namespace

// Far out, an element drawn from the rows of its regions gives every sample what the regions'
// rectangles give: wherever it lies against the samples, at any far scale, and with the canvas
// cutting it anywhere.
TEST(SampledCanvasTest, RowsOfRegionsDrawExactlyWhatTheirRectanglesDraw) {
    QRandomGenerator random(20);
    QImage picture(97, 61, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 2, y * 4, (x * y) % 256));
    for (int round = 0; round < 400; ++round) {
        // A shape in cell coordinates: a body, knobs and holes, and the picture inside it.
        QRegion outer(QRect(10, 10, 40 + random.bounded(40), 40 + random.bounded(40)));
        for (int k = random.bounded(4); k > 0; --k) {
            const int x = random.bounded(100), y = random.bounded(100), s = 4 + random.bounded(20);
            const QRegion knob = ellipticRegion(Rect{x, y, x + s, y + s + random.bounded(6)});
            outer = random.bounded(3) == 0 ? outer.subtracted(knob) : outer.united(knob);
        }
        const QRegion inner = outer.intersected(outer.boundingRect().adjusted(3, 2, -2, -3));
        const QPoint cell(random.bounded(-300, 5000), random.bounded(-300, 5000));
        const double scale = 0.005 + random.generateDouble() * 0.244;
        const DeviceTransform view{scale, random.generateDouble() * 40 - 20,
                                   random.generateDouble() * 40 - 20};
        QRect area = view.deviceRect(outer.translated(cell).boundingRect()).adjusted(-1, -1, 1, 1);
        if (random.bounded(2))
            area =
                QRect(area.left() + random.bounded(area.width()), area.top() + random.bounded(area.height()),
                      1 + random.bounded(area.width()), 1 + random.bounded(area.height()));
        SCOPED_TRACE(testing::Message()
                     << "round " << round << " scale " << scale << " cell " << cell.x() << "," << cell.y());
        PictureSampler sampler;
        sampler.image = &picture;
        sampler.originX = random.generateDouble() * 20, sampler.originY = random.generateDouble() * 20;
        sampler.xx = sampler.yy = 0.5 + random.generateDouble();
        RowSpans outerRows, innerRows;
        ASSERT_TRUE(outerRows.build(outer));
        ASSERT_TRUE(innerRows.build(inner));
        SampledCanvas byRects, byRows;
        byRects.begin(area.size(), view.from(area.topLeft()));
        byRows.begin(area.size(), view.from(area.topLeft()));
        ASSERT_TRUE(byRows.farOut());
        const QRgb outline = qRgb(250, 240, 10);
        byRects.addElement(outer.translated(cell), inner, cell, sampler, outline);
        byRows.addElement(outerRows, innerRows, cell, sampler, outline);
        ASSERT_EQ(drawn(byRects), drawn(byRows));
    }
}
