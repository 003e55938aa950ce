#include "cutsupport.h"
#include "model/elementbitmap.h"
#include "model/picture.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> cyclingTurns(int n) {
    std::vector<int> turns(n);
    for (int i = 0; i < n; ++i)
        turns[i] = i % 4 - 1; // -1, 0, +1, 2
    return turns;
}

// Inside its inner region the bitmap shows exactly the picture pixels of its cell, turned
// the way the element is turned; everywhere else the outline colour. The expected source is
// found by turning the cell back, independently of the orientation table.
void expectPictureInShape(const TestCut& cut, int i) {
    const Element& e = cut.puzzle.element(i);
    const Geometry& g = cut.puzzle.geometry;
    const int c = g.cellSize, gap = (g.cellSize - g.elementSize) / 2;
    ASSERT_EQ(e.bitmap.size(), QSize(g.bitmapSize, g.bitmapSize));
    for (int y = 0; y < g.bitmapSize; ++y) {
        for (int x = 0; x < g.bitmapSize; ++x) {
            const QRgb actual = e.bitmap.pixel(x, y);
            if (!e.innerRegion.contains(QPoint(x, y))) {
                ASSERT_EQ(actual, cut.outlineColour.rgb()) << i << " at " << x << "," << y;
                continue;
            }
            int x0 = x, y0 = y;
            for (int k = 0; k < e.orientation; ++k) {
                const int back = c - 1 - y0; // undo one counter-clockwise quarter turn
                y0 = x0;
                x0 = back;
            }
            const int px = cut.puzzle.columnOf(i) * g.elementSize - gap + x0;
            const int py = cut.puzzle.rowOf(i) * g.elementSize - gap + y0;
            ASSERT_EQ(actual, coordinateColour(px, py))
                << i << " orientation " << e.orientation << " at " << x << "," << y;
        }
    }
}

TEST(ElementBitmapTest, ShowsThePicturePixelsOfItsOrientation) {
    for (bool mosaic : {false, true}) {
        const CutPlan plan{3, 4, 32, mosaic, true, true, true, 3, 11};
        const auto cut = makeCut(plan, true, cyclingTurns(12));
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(cut->puzzle.element(i).orientation, (4 - (i % 4 - 1)) % 4);
            expectPictureInShape(*cut, i);
        }
    }
}

TEST(ElementBitmapTest, PicturesOfOtherFormatsPaintTheSame) {
    const CutPlan plan{2, 3, 24, false, true, true, true, 2, 3};
    const auto rgb32 = makeCut(plan, true, cyclingTurns(6));
    auto other = makeCut(plan, false, cyclingTurns(6));
    for (int k = 0; k < 4; ++k)
        other->pictures[k] = rgb32->pictures[k].convertToFormat(QImage::Format_RGB888);
    for (int i = 0; i < 6; ++i) {
        Element& e = other->puzzle.element(i);
        ASSERT_TRUE(paintElementBitmap(e, rgb32->puzzle.element(i).orientation * -1, other->puzzle,
                                       other->pictures, other->outlineColour));
        EXPECT_EQ(e.bitmap, rgb32->puzzle.element(i).bitmap) << i;
    }
}

// Painting from the unturned picture gives the very bitmap painting from the turned picture
// gives, in every orientation, border elements and odd formats included.
TEST(ElementBitmapTest, PaintingFromTheUnturnedPictureIsTheSame) {
    for (bool mosaic : {false, true}) {
        const CutPlan plan{3, 4, 24, mosaic, true, true, true, 3, 5};
        auto cut = makeCut(plan, true, cyclingTurns(12));
        for (const QImage::Format format :
             {QImage::Format_RGB32, QImage::Format_RGB888, QImage::Format_Indexed8}) {
            const QImage picture = cut->pictures[0].convertToFormat(format);
            std::array<QImage, 4> pictures{picture};
            buildTurnedPictures(pictures);
            for (int i = 0; i < 12; ++i) {
                Element& e = cut->puzzle.element(i);
                ASSERT_TRUE(paintElementBitmap(e, 0, cut->puzzle, pictures, cut->outlineColour));
                const QImage turned = e.bitmap;
                ASSERT_TRUE(paintElementBitmapFromPicture(e, cut->puzzle, picture, cut->outlineColour));
                EXPECT_EQ(e.bitmap, turned)
                    << "mosaic " << mosaic << ", element " << i << ", turn " << e.orientation;
            }
        }
    }
    auto cut = makeCut(CutPlan{}, false);
    EXPECT_FALSE(paintElementBitmapFromPicture(cut->puzzle.element(0), cut->puzzle, QImage(), QColor()));
}

TEST(ElementBitmapTest, FailedPaintChangesNothing) {
    auto cut = makeCut(CutPlan{2, 2, 32, false, true, true, true, 4, 8}, true);
    Element& e = cut->puzzle.element(3);
    const QImage before = e.bitmap.copy();
    cut->pictures[3] = QImage(); // the picture turned by +1 is missing
    EXPECT_FALSE(paintElementBitmap(e, +1, cut->puzzle, cut->pictures, cut->outlineColour));
    EXPECT_EQ(e.orientation, 0);
    EXPECT_EQ(e.bitmap, before);
    // prepareElement still keeps the orientation in step with the turned edges.
    ElementContext context = cut->context();
    const EdgeRecord sign = e.edgeSign;
    EXPECT_FALSE(prepareElement(context, 3, +1));
    EXPECT_EQ(e.orientation, 3);
    EXPECT_EQ(e.edgeSign, (EdgeRecord{sign[Left], sign[Top], sign[Right], sign[Bottom]}));
}

TEST(ElementBitmapTest, TurnsUndoEachOtherAndFourMakeTheIdentity) {
    auto cut = makeCut(CutPlan{3, 3, 32, false, true, true, true, 4, 51}, true);
    ElementContext context = cut->context();
    Element& e = cut->puzzle.element(4); // the middle element: four knob or socket sides
    const Element start = e;
    auto expectRestored = [&](const char* what) {
        EXPECT_EQ(e.edgeSign, start.edgeSign) << what;
        EXPECT_EQ(e.edgeShift, start.edgeShift) << what;
        EXPECT_EQ(e.orientation, start.orientation) << what;
        EXPECT_EQ(e.shapeBounds, start.shapeBounds) << what;
        EXPECT_TRUE(samePixels(e.innerRegion, start.innerRegion)) << what;
        EXPECT_TRUE(samePixels(e.outerRegion, start.outerRegion)) << what;
        EXPECT_EQ(e.bitmap, start.bitmap) << what;
    };
    prepareElement(context, 4, +1);
    EXPECT_EQ(e.orientation, 3);
    expectPictureInShape(*cut, 4);
    prepareElement(context, 4, -1);
    expectRestored("+1 then -1");
    for (int k = 0; k < 4; ++k) {
        prepareElement(context, 4, -1);
        expectPictureInShape(*cut, 4);
    }
    expectRestored("four turns");
    prepareElement(context, 4, 2);
    prepareElement(context, 4, 2);
    expectRestored("two half turns");
}

TEST(ElementBitmapTest, BoardRegionFollowsCellAndJoinSeam) {
    auto cut = makeCut(CutPlan{2, 2, 32, false, true, true, true, 4, 30});
    Element& e = cut->puzzle.element(1);
    cut->puzzle.setCellRect(1, e.cellRect.translated(100, 50));
    placeBoardRegion(cut->puzzle, cut->shapes, 1);
    EXPECT_EQ(cut->puzzle.boardRegions[1], e.outerRegion.translated(e.cellRect.left, e.cellRect.top));

    // With the bevel a joined side leaves its band out; the entry is made anew from the join state.
    e.joinedNeighbour[Left] = 0;
    placeBoardRegion(cut->puzzle, cut->shapes, 1);
    const QRegion trimmed = joinStateRegion(e, cut->shapes).translated(e.cellRect.left, e.cellRect.top);
    EXPECT_EQ(cut->puzzle.boardRegions[1], trimmed);
    EXPECT_NE(trimmed, e.outerRegion.translated(e.cellRect.left, e.cellRect.top));

    auto flat = makeCut(CutPlan{2, 2, 32, false, true, true, false, 0, 30});
    flat->puzzle.element(0).joinedNeighbour[Right] = 1;
    placeBoardRegion(flat->puzzle, flat->shapes, 0);
    const Element& f = flat->puzzle.element(0);
    EXPECT_EQ(flat->puzzle.boardRegions[0], f.outerRegion.translated(f.cellRect.left, f.cellRect.top));
}

} // namespace
