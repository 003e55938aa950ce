#include "model/sampledcanvas.h"
#include "model/shapebuilder.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

QImage drawn(SampledCanvas& canvas, const PictureSampler& texture = {}) {
    canvas.finish(texture, qRgb(20, 90, 40));
    QImage image(canvas.size(), QImage::Format_RGB32);
    canvas.store(image, QPoint(0, 0));
    return image;
}

// The same finished and stored in one pass, into a larger image at (3, 2).
QImage drawnAtOnce(SampledCanvas& canvas, const PictureSampler& texture) {
    QImage image(canvas.size() + QSize(5, 4), QImage::Format_RGB32);
    image.fill(Qt::black);
    canvas.finish(texture, qRgb(20, 90, 40), image, QPoint(3, 2));
    return image.copy(QRect(QPoint(3, 2), canvas.size()));
}

} // namespace

// Far out, an element drawn from the rows of its regions gives every sample what the regions'
// rectangles give: wherever it lies against the samples, at any far scale, with the canvas
// cutting it anywhere, read from a picture of 32 or 24 bits, and under elements drawn before it
// on the same canvas; finished over a texture and stored at once, as a tile is, it shows the same.
// Any part of the canvas drawn on its own, as part of a tile is drawn again, gives its pixels bit
// for bit.
TEST(SampledCanvasTest, RowsOfRegionsDrawExactlyWhatTheirRectanglesDraw) {
    QRandomGenerator random(20);
    QImage picture(97, 61, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 2, y * 4, (x * y) % 256));
    const QImage picture24 = picture.convertToFormat(QImage::Format_RGB888);
    struct Piece {
        QRegion outer, inner;
        QPoint cell;
        RowSpans outerRows, innerRows;
    };
    for (int round = 0; round < 400; ++round) {
        const double scale = 0.005 + random.generateDouble() * 0.244;
        const DeviceTransform view{scale, random.generateDouble() * 40 - 20,
                                   random.generateDouble() * 40 - 20};
        // A few shapes in cell coordinates, near each other: a body, knobs and holes (some apart
        // from the body, leaving rows of nothing between), and the picture inside it.
        std::vector<Piece> pieces(1 + random.bounded(3));
        const QPoint near(random.bounded(-300, 5000), random.bounded(-300, 5000));
        QRect reach;
        for (Piece& piece : pieces) {
            piece.outer = QRegion(QRect(10, 10, 40 + random.bounded(40), 40 + random.bounded(40)));
            for (int k = random.bounded(4); k > 0; --k) {
                const int x = random.bounded(100), y = random.bounded(100), s = 4 + random.bounded(20);
                const QRegion knob = ellipticRegion(Rect{x, y, x + s, y + s + random.bounded(6)});
                piece.outer =
                    random.bounded(3) == 0 ? piece.outer.subtracted(knob) : piece.outer.united(knob);
            }
            piece.inner = piece.outer.intersected(piece.outer.boundingRect().adjusted(3, 2, -2, -3));
            piece.cell = near + QPoint(random.bounded(-60, 60), random.bounded(-60, 60));
            ASSERT_TRUE(piece.outerRows.build(piece.outer));
            ASSERT_TRUE(piece.innerRows.build(piece.inner));
            reach |= view.deviceRect(piece.outer.translated(piece.cell).boundingRect());
        }
        QRect area = reach.adjusted(-1, -1, 1, 1);
        if (random.bounded(2))
            area =
                QRect(area.left() + random.bounded(area.width()), area.top() + random.bounded(area.height()),
                      1 + random.bounded(area.width()), 1 + random.bounded(area.height()));
        SCOPED_TRACE(testing::Message()
                     << "round " << round << " scale " << scale << " near " << near.x() << "," << near.y());
        PictureSampler sampler;
        sampler.image = random.bounded(2) ? &picture : &picture24;
        sampler.originX = random.generateDouble() * 20, sampler.originY = random.generateDouble() * 20;
        sampler.xx = sampler.yy = 0.5 + random.generateDouble();
        SampledCanvas byRects, byRows, part;
        byRects.begin(area.size(), view.from(area.topLeft()));
        byRows.begin(area.size(), view.from(area.topLeft()));
        const int partX = random.bounded(area.width()), partY = random.bounded(area.height());
        const QRect partArea(partX, partY, 1 + random.bounded(area.width() - partX),
                             1 + random.bounded(area.height() - partY));
        part.begin(partArea.size(), view.from(area.topLeft()), partArea.topLeft());
        ASSERT_TRUE(byRows.farOut());
        const QRgb outline = qRgb(250, 240, 10);
        for (const Piece& piece : pieces) {
            // Some joined on every side, their board region their picture region: one set of rows.
            const bool joined = random.bounded(4) == 0;
            const QRegion& board = joined ? piece.inner : piece.outer;
            const RowSpans& boardRows = joined ? piece.innerRows : piece.outerRows;
            byRects.addElement(board.translated(piece.cell), piece.inner, piece.cell, sampler, outline);
            byRows.prefetch(boardRows, piece.innerRows, piece.cell); // changes nothing
            byRows.prefetchPicture(boardRows, piece.cell, sampler);  // nor this
            byRows.addElement(boardRows, piece.innerRows, piece.cell, sampler, outline);
            if (random.bounded(2))
                part.addElement(boardRows, piece.innerRows, piece.cell, sampler, outline);
            else
                part.addElement(board.translated(piece.cell), piece.inner, piece.cell, sampler, outline);
        }
        // Over a repeating texture, finished and stored at once as a tile is.
        PictureSampler texture;
        texture.image = &picture;
        texture.wrap = true;
        texture.originX = random.generateDouble() * 50, texture.originY = random.generateDouble() * 50;
        texture.xx = texture.yy = 0.3 + random.generateDouble() * 3;
        const QImage whole = drawn(byRects, texture);
        ASSERT_EQ(whole, drawnAtOnce(byRows, texture));
        ASSERT_EQ(whole.copy(partArea), drawnAtOnce(part, texture));
    }
}
