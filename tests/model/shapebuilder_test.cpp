#include "cutsupport.h"

#include <gtest/gtest.h>

namespace {

ShapeBuilder builder(int size, bool mosaic, bool irregular, bool threeD = true, int outline = 4) {
    return ShapeBuilder(
        ShapeOptions{Geometry::compute(size, mosaic, irregular, threeD ? outline : 0), mosaic, threeD});
}

Element elementWith(const EdgeRecord& sign, const EdgeRecord& shift) {
    Element e;
    e.edgeSign = sign;
    e.edgeShift = shift;
    return e;
}

TEST(ShapeBuilderTest, TopKnobOfTheDefaultElement) {
    // Size 64, irregular base: K 16, N 8, D 4, B 4, M 48; top knob shifted by +1.
    ShapeBuilder shapes = builder(64, false, true);
    Element e = elementWith({1, -1, 1, -1}, {1, 0, 0, 0});
    const QPolygon outline = shapes.outline(e.edgeSign, e.edgeShift);
    ASSERT_EQ(outline.size(), 20);
    EXPECT_EQ(outline[1], QPoint(48, 20)); // base points, pulled into the body by B
    EXPECT_EQ(outline[4], QPoint(56, 20));
    EXPECT_EQ(outline[2], QPoint(45, 8)); // neck tops, N above the edge
    EXPECT_EQ(outline[3], QPoint(59, 8));
    EXPECT_EQ(shapes.knobBox(Top, e.edgeSign, e.edgeShift), (Rect{44, 0, 60, 16}));
    shapes.buildShape(e);
    shapes.computeShapeBounds(e);
    EXPECT_EQ(e.shapeBounds.top, 0);
    // The head reaches row 0 with six pixels centred on x 52.
    EXPECT_TRUE(e.innerRegion.contains(QPoint(49, 0)) && e.innerRegion.contains(QPoint(54, 0)));
    EXPECT_FALSE(e.innerRegion.contains(QPoint(48, 0)) || e.innerRegion.contains(QPoint(55, 0)));
}

TEST(ShapeBuilderTest, EllipticRegionIsSymmetricAndFull) {
    const QRegion circle = ellipticRegion(Rect{10, 20, 26, 36});
    EXPECT_EQ(circle.boundingRect(), QRect(10, 20, 16, 16));
    EXPECT_EQ(pixelCount(circle.intersected(QRect(10, 20, 16, 1))), 6);
    QRegion mirrored, transposed;
    for (const QRect& r : circle) {
        mirrored += QRect(10 + 25 - r.right(), 20 + 35 - r.bottom(), r.width(), r.height());
        transposed += QRect(10 + r.top() - 20, 20 + r.left() - 10, r.height(), r.width());
    }
    EXPECT_TRUE(samePixels(circle, mirrored));
    EXPECT_TRUE(samePixels(circle, transposed));
    EXPECT_NEAR(pixelCount(circle), 3.14159 * 64, 12);
    EXPECT_TRUE(ellipticRegion(Rect{5, 5, 5, 9}).isEmpty());
    EXPECT_EQ(pixelCount(ellipticRegion(Rect{3, 3, 4, 4})), 1);
}

TEST(ShapeBuilderTest, BoundsFollowTheTableAndHoldTheShape) {
    ShapeBuilder ordinary = builder(64, false, true), mosaic = builder(64, true, true);
    EXPECT_EQ(ordinary.shapeBounds({1, 0, -1, 1}), (Rect{0, 0, 80, 84}));
    EXPECT_EQ(ordinary.shapeBounds({-1, 1, 0, -1}), (Rect{12, 12, 96, 80}));
    EXPECT_EQ(mosaic.shapeBounds({1, 0, -1, -1}), (Rect{0, 16, 80, 96}));
    EXPECT_EQ(mosaic.shapeBounds({-1, -1, 1, 0}), (Rect{16, 0, 96, 80}));
    // Painting copies only shapeBounds, so no shape may stick out of it.
    for (ShapeBuilder* shapes : {&ordinary, &mosaic}) {
        for (int code = 0; code < 81 * 3; ++code) {
            EdgeRecord sign, shift;
            for (int side = 0, c = code; side < 4; ++side, c /= 3)
                sign[side] = c % 3 - 1;
            shift.fill(code / 81 - 1);
            Element e = elementWith(sign, shift);
            shapes->buildShape(e);
            shapes->computeShapeBounds(e);
            ASSERT_TRUE(e.innerRegion.subtracted(e.shapeBounds.toQRect()).isEmpty()) << code;
        }
    }
}

TEST(ShapeBuilderTest, OutlineBandAndSquareMosaic) {
    // Square mosaic: every element is the plain S x S square, its band t deep.
    ShapeBuilder square = builder(64, true, false, true, 3);
    Element e = elementWith({-1, 1, -1, 1}, {1, -1, 0, 1});
    square.buildShape(e);
    EXPECT_TRUE(samePixels(e.innerRegion, QRegion(0, 0, 64, 64)));
    EXPECT_EQ(e.outerRegion.boundingRect(), QRect(0, 0, 67, 67));
    EXPECT_EQ(pixelCount(e.outerRegion), 64 * 64 + 3 * (2 * 64 - 1)); // each step adds an L
    EXPECT_EQ(square.options().geometry.bitmapSize, 67);

    ShapeBuilder ordinary = builder(32, false, true, true, 5);
    Element k = elementWith({1, -1, 1, 1}, {0, 1, -1, 0});
    ordinary.buildShape(k);
    const QRect in = k.innerRegion.boundingRect();
    EXPECT_EQ(k.outerRegion.boundingRect(), in.adjusted(0, 0, 5, 5));
    EXPECT_TRUE(k.innerRegion.subtracted(k.outerRegion).isEmpty());

    ShapeBuilder flat = builder(32, false, true, false);
    flat.buildShape(k);
    EXPECT_EQ(k.outerRegion, k.innerRegion);
    EXPECT_EQ(flat.options().geometry.bitmapSize, flat.options().geometry.cellSize);
    QRegion untouched(1, 1, 1, 1);
    flat.buildShape(k, true, SideMask::Right, &untouched);
    EXPECT_EQ(untouched, QRegion(1, 1, 1, 1)) << "no trimming without threeD";
}

TEST(ShapeBuilderTest, SingleElementIsTheBodySquare) {
    const auto ordinary = makeCut(CutPlan{1, 1, 48, false, true, true, true, 4, 9});
    const Element& e = ordinary->puzzle.element(0);
    EXPECT_EQ(e.edgeSign, (EdgeRecord{0, 0, 0, 0}));
    EXPECT_TRUE(samePixels(e.innerRegion, QRegion(12, 12, 48, 48)));
    EXPECT_EQ(e.shapeBounds, (Rect{12, 12, 60, 60}));
}

TEST(ShapeBuilderTest, TrimmingDropsTheBandOnJoinedSidesOnly) {
    ShapeBuilder shapes = builder(64, false, true, true, 5);
    Element e = elementWith({1, -1, -1, 1}, {-1, 1, 0, 1});
    shapes.buildShape(e);
    const QRegion band = e.outerRegion.subtracted(e.innerRegion);
    for (int mask = 1; mask < 16; ++mask) {
        int sideMask = 0;
        for (int side = 0; side < 4; ++side)
            sideMask |= mask & (1 << side) ? SideMask::of(side) : 0;
        QRegion trimmed(7, 7, 1, 1);
        shapes.buildShape(e, true, sideMask, &trimmed);
        if (sideMask == SideMask::All) {
            EXPECT_EQ(trimmed, QRegion(7, 7, 1, 1)) << "all sides: the caller takes innerRegion";
            continue;
        }
        EXPECT_TRUE(e.innerRegion.subtracted(trimmed).isEmpty()) << mask;
        EXPECT_TRUE(trimmed.subtracted(e.outerRegion).isEmpty()) << mask;
        for (int side = 0; side < 4; ++side) {
            const QRegion bandHere = band.intersected(shapes.quarter(side));
            if (sideMask & SideMask::of(side))
                EXPECT_TRUE(trimmed.intersected(bandHere).isEmpty()) << mask << " side " << side;
            else
                EXPECT_TRUE(bandHere.subtracted(trimmed).isEmpty()) << mask << " side " << side;
        }
    }
    QRegion untouched(7, 7, 1, 1);
    shapes.buildShape(e, false, SideMask::Top, &untouched);
    shapes.buildShape(e, true, 0, &untouched);
    EXPECT_EQ(untouched, QRegion(7, 7, 1, 1));
}

// What trimming is for: in an assembled puzzle whose elements are all joined, no element's
// board region covers another's, and together they still show the whole picture.
TEST(ShapeBuilderTest, JoinedNeighboursDoNotCoverEachOther) {
    for (bool mosaic : {false, true}) {
        auto cut = makeCut(CutPlan{4, 5, 32, mosaic, true, true, true, 5, 23});
        QRegion covered;
        for (int i = 0; i < cut->puzzle.count(); ++i) {
            for (int side = 0; side < 4; ++side)
                cut->puzzle.element(i).joinedNeighbour[side] = cut->puzzle.homeNeighbour(i, side);
            placeBoardRegion(cut->puzzle, cut->shapes, i);
            const QRegion& placed = cut->puzzle.boardRegions[i];
            ASSERT_TRUE(covered.intersected(placed).isEmpty()) << "mosaic " << mosaic << " element " << i;
            covered += placed;
        }
        EXPECT_TRUE(QRegion(0, 0, 5 * 32, 4 * 32).subtracted(covered).isEmpty());
    }
}

TEST(ShapeBuilderTest, ProfilesAreBuiltOnceAndOptionsResetThem) {
    ShapeBuilder shapes = builder(64, false, true);
    Element a = elementWith({0, 1, -1, 1}, {1, 0, 1, -1});
    Element b = elementWith({0, 1, -1, 1}, {-1, 0, 1, -1}); // differs only on the straight side
    shapes.buildShape(a);
    shapes.buildShape(b);
    EXPECT_EQ(shapes.cachedShapes(), 1);
    EXPECT_EQ(a.innerRegion, b.innerRegion);
    shapes.setOptions(ShapeOptions{Geometry::compute(32, false, true, 4), false, true});
    EXPECT_EQ(shapes.cachedShapes(), 0);
    shapes.buildShape(b);
    EXPECT_NE(a.innerRegion, b.innerRegion);
}

} // namespace

namespace {

// A region drawn `ratio` times larger, each pixel the device pixels it reaches.
QRegion enlarged(const QRegion& region, double ratio) {
    QRegion out;
    for (const QRect& r : region)
        out += QRect(QPoint(int(std::lround(r.left() * ratio)), int(std::lround(r.top() * ratio))),
                     QPoint(int(std::lround((r.right() + 1) * ratio)) - 1,
                            int(std::lround((r.bottom() + 1) * ratio)) - 1));
    return out;
}

// Moved by every offset up to `d` in each direction, united or intersected.
QRegion grown(const QRegion& region, int d, bool unite) {
    QRegion out = region;
    for (int dy = -d; dy <= d; ++dy)
        for (int dx = -d; dx <= d; ++dx)
            out = unite ? out.united(region.translated(dx, dy)) : out.intersected(region.translated(dx, dy));
    return out;
}

} // namespace

// Made at a finer screen's pixels, a shape is the logical one enlarged, its edge within a pixel
// or two of the enlarged edge, for every kind of side, the mosaic and each set of joined sides
// (at ratio 1 exactly the logical shape). At ratio 2 a knob's edge steps one device pixel at a
// time where the enlarged logical edge steps two.
TEST(ShapeBuilderTest, ShapesAtDevicePixelsFollowTheLogicalOnes) {
    for (const bool mosaic : {false, true}) {
        ShapeBuilder shapes = builder(64, mosaic, true);
        for (const EdgeRecord& sign : {EdgeRecord{1, -1, 0, 1}, EdgeRecord{-1, 1, -1, 0}})
            for (const int mask : {0, SideMask::Top, SideMask::Right | SideMask::Bottom, SideMask::All}) {
                Element e = elementWith(sign, {1, 0, -1, 0});
                shapes.buildShape(e);
                QRegion logical = e.outerRegion;
                if (mask == SideMask::All)
                    logical = e.innerRegion;
                else if (mask != 0)
                    logical = shapes.trimmedOuterRegion(e.edgeSign, e.edgeShift, mask);
                const auto same = shapes.scaledShape(e.edgeSign, e.edgeShift, mask, 1.0);
                EXPECT_EQ(same.region, logical);
                EXPECT_EQ(same.picture, e.innerRegion);
                for (const double ratio : {1.25, 1.5, 2.0}) {
                    SCOPED_TRACE(testing::Message()
                                 << "mosaic " << mosaic << " mask " << mask << " ratio " << ratio);
                    const auto fine = shapes.scaledShape(e.edgeSign, e.edgeShift, mask, ratio);
                    for (const auto& [made, wanted] :
                         {std::pair{fine.region, enlarged(logical, ratio)},
                          std::pair{fine.picture, enlarged(e.innerRegion, ratio)}}) {
                        EXPECT_TRUE(made.subtracted(grown(wanted, 2, true)).isEmpty());
                        EXPECT_TRUE(grown(wanted, 2, false).subtracted(made).isEmpty());
                    }
                }
            }
    }
    // The top knob's head at ratio 2: rows 2k and 2k + 1 of the enlarged logical head always
    // share their left edge; the finer head's edge moves between them on most of the curve.
    ShapeBuilder shapes = builder(64, false, true);
    const EdgeRecord sign{1, 0, 0, 0}, shift{0, 0, 0, 0};
    const QRect head = shapes.knobBox(Top, sign, shift).toQRect();
    const QRegion fine = shapes.scaledShape(sign, shift, 0, 2.0).picture;
    Element e = elementWith(sign, shift);
    shapes.buildShape(e);
    const QRegion coarse = enlarged(e.innerRegion, 2.0);
    const auto leftEdge = [](const QRegion& region, int y) {
        for (const QRect& r : region)
            if (r.top() <= y && y <= r.bottom())
                return r.left();
        return -1;
    };
    int coarseSteps = 0, fineSteps = 0;
    for (int y = 2 * head.top(); y < 2 * (head.top() + head.height() / 2); y += 2) {
        coarseSteps += leftEdge(coarse, y) != leftEdge(coarse, y + 1);
        fineSteps += leftEdge(fine, y) != leftEdge(fine, y + 1);
    }
    EXPECT_EQ(coarseSteps, 0);
    EXPECT_GE(fineSteps, head.height() / 4);
}
