#include "board/referencetable.h"
#include "cutsupport.h"
#include "model/elementpainter.h"
#include "model/picture.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> cyclingTurns(int n) {
    std::vector<int> turns(n);
    for (int i = 0; i < n; ++i)
        turns[i] = i % 4 - 1; // -1, 0, +1, 2
    return turns;
}

// The element as the painter draws it at 100 %, from the picture as cut.
QImage lookOf(const TestCut& cut, int i, const QImage& picture) {
    const int size = cut.puzzle.geometry.bitmapSize;
    QImage look(size, size, QImage::Format_RGB32);
    look.fill(Qt::magenta);
    EXPECT_TRUE(paintElementBitmap(look, cut.puzzle.element(i), cut.puzzle, picture, cut.outlineColour));
    return look;
}

// Inside its inner region the element shows exactly the picture pixels of its cell, turned
// the way the element is turned; everywhere else the outline colour. The expected source is
// found by turning the cell back, independently of the orientation table.
void expectPictureInShape(const TestCut& cut, int i) {
    const Element& e = cut.puzzle.element(i);
    const Geometry& g = cut.puzzle.geometry;
    const int c = g.cellSize, gap = (g.cellSize - g.elementSize) / 2;
    const QImage look = lookOf(cut, i, cut.pictures[0]);
    ASSERT_EQ(look.size(), QSize(g.bitmapSize, g.bitmapSize));
    for (int y = 0; y < g.bitmapSize; ++y) {
        for (int x = 0; x < g.bitmapSize; ++x) {
            const QRgb actual = look.pixel(x, y);
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

TEST(ElementPainterTest, ShowsThePicturePixelsOfItsOrientation) {
    for (bool mosaic : {false, true}) {
        const CutPlan plan{3, 4, 32, mosaic, true, true, true, 3, 11};
        const auto cut = makeCut(plan, true, cyclingTurns(12));
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(cut->puzzle.element(i).orientation, (4 - (i % 4 - 1)) % 4);
            expectPictureInShape(*cut, i);
        }
    }
}

// Painting from the one picture as cut gives, in every orientation and for every format a
// picture may have, what painting the element's bitmap from the picture turned whole gave:
// border elements, mosaic elements, and any part of the element alone.
TEST(ElementPainterTest, PaintingFromThePictureAsCutIsPaintingFromTheTurnedPicture) {
    for (bool mosaic : {false, true}) {
        const CutPlan plan{3, 4, 24, mosaic, true, true, true, 3, 5};
        auto cut = makeCut(plan, true, cyclingTurns(12));
        for (const QImage::Format format :
             {QImage::Format_RGB32, QImage::Format_RGB888, QImage::Format_Indexed8, QImage::Format_RGB16}) {
            const QImage picture = cut->pictures[0].convertToFormat(format);
            const std::array<QImage, 4> turns = referenceTurns(picture);
            for (int i = 0; i < 12; ++i) {
                const Element& e = cut->puzzle.element(i);
                const QImage expected = referenceBitmap(e, cut->puzzle, turns, cut->outlineColour);
                EXPECT_EQ(lookOf(*cut, i, picture), expected)
                    << "mosaic " << mosaic << ", format " << format << ", element " << i << ", turn "
                    << e.orientation;
                // A part painted on its own is that part of the whole.
                const QRect part(5, 7, 13, 11);
                QImage partly(expected.size(), QImage::Format_RGB32);
                partly.fill(Qt::magenta);
                ASSERT_TRUE(paintElementBitmap(partly, e, cut->puzzle, picture, cut->outlineColour, part));
                for (int y = 0; y < expected.height(); ++y)
                    for (int x = 0; x < expected.width(); ++x)
                        ASSERT_EQ(partly.pixel(x, y),
                                  part.contains(x, y) ? expected.pixel(x, y) : qRgb(255, 0, 255))
                            << i << " at " << x << "," << y;
            }
        }
    }
    auto cut = makeCut(CutPlan{}, false);
    QImage look(cut->puzzle.geometry.bitmapSize, cut->puzzle.geometry.bitmapSize, QImage::Format_RGB32);
    EXPECT_FALSE(paintElementBitmap(look, cut->puzzle.element(0), cut->puzzle, QImage(), QColor()));
}

// Turning keeps the orientation in step with the edges: the element is drawn as its edges lie.
TEST(ElementPainterTest, TheOrientationFollowsTheTurnedEdges) {
    auto cut = makeCut(CutPlan{2, 2, 32, false, true, true, true, 4, 8}, true);
    Element& e = cut->puzzle.element(3);
    ElementContext context = cut->context();
    const EdgeRecord sign = e.edgeSign;
    prepareElement(context, 3, +1);
    EXPECT_EQ(e.orientation, 3);
    EXPECT_EQ(e.edgeSign, (EdgeRecord{sign[Left], sign[Top], sign[Right], sign[Bottom]}));
    expectPictureInShape(*cut, 3);
}

TEST(ElementPainterTest, TurnsUndoEachOtherAndFourMakeTheIdentity) {
    auto cut = makeCut(CutPlan{3, 3, 32, false, true, true, true, 4, 51}, true);
    ElementContext context = cut->context();
    Element& e = cut->puzzle.element(4); // the middle element: four knob or socket sides
    const Element start = e;
    const QImage startLook = lookOf(*cut, 4, cut->pictures[0]);
    auto expectRestored = [&](const char* what) {
        EXPECT_EQ(e.edgeSign, start.edgeSign) << what;
        EXPECT_EQ(e.edgeShift, start.edgeShift) << what;
        EXPECT_EQ(e.orientation, start.orientation) << what;
        EXPECT_EQ(e.shapeBounds, start.shapeBounds) << what;
        EXPECT_TRUE(samePixels(e.innerRegion, start.innerRegion)) << what;
        EXPECT_TRUE(samePixels(e.outerRegion, start.outerRegion)) << what;
        EXPECT_EQ(lookOf(*cut, 4, cut->pictures[0]), startLook) << what;
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

TEST(ElementPainterTest, BoardRegionFollowsCellAndJoinSeam) {
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
