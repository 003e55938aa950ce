#include "model/cutparameters.h"

#include <gtest/gtest.h>

namespace {

struct GeometryCase {
    int size;
    bool mosaic;
    bool irregular;
    int outline;
    Geometry expected; // elementSize, knobSize, baseBow, cellSize, bodyOffset, bitmapSize, neckHalf, knobStep
};

class GeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(GeometryTest, DerivesEveryValue) {
    const GeometryCase& c = GetParam();
    const Geometry g = Geometry::compute(c.size, c.mosaic, c.irregular, c.outline);
    EXPECT_EQ(g.elementSize, c.expected.elementSize);
    EXPECT_EQ(g.knobSize, c.expected.knobSize);
    EXPECT_EQ(g.baseBow, c.expected.baseBow);
    EXPECT_EQ(g.cellSize, c.expected.cellSize);
    EXPECT_EQ(g.bodyOffset, c.expected.bodyOffset);
    EXPECT_EQ(g.bitmapSize, c.expected.bitmapSize);
    EXPECT_EQ(g.neckHalf, c.expected.neckHalf);
    EXPECT_EQ(g.knobStep, c.expected.knobStep);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GeometryTest,
    ::testing::Values(
        // The default element: cell 96, bitmap 100 with outline 4.
        GeometryCase{64, false, true, 4, {64, 16, 4, 96, 16, 100, 8, 4}},
        // Size 24: the bow truncates to 1 while the knob step 1.5 rounds up to 2.
        GeometryCase{24, false, true, 4, {24, 6, 1, 36, 6, 40, 3, 2}},
        GeometryCase{24, false, false, 0, {24, 6, 0, 36, 6, 36, 3, 2}},
        // Odd size: 1.5 x 33 = 49.5 truncates to 49; 33/16 = 2.06 rounds to 2.
        GeometryCase{33, false, true, 1, {33, 8, 2, 49, 8, 50, 4, 2}},
        // 40/16 = 2.5 rounds half up to 3.
        GeometryCase{40, false, true, 5, {40, 10, 2, 60, 10, 65, 5, 3}},
        // Mosaic with an irregular base: the bow is a quarter, the cell grows by two bows.
        GeometryCase{64, true, true, 4, {64, 16, 16, 96, 16, 100, 8, 4}},
        // Square mosaic: the cell is the body itself.
        GeometryCase{64, true, false, 4, {64, 16, 0, 64, 0, 68, 8, 4}},
        GeometryCase{24, true, false, 0, {24, 6, 0, 24, 0, 24, 3, 2}}));

TEST(GeometryTest, OutlineChangeMovesOnlyTheBitmapSize) {
    Geometry g = Geometry::compute(64, false, true, 4);
    g.setOutlineThickness(1);
    EXPECT_EQ(g.bitmapSize, 97);
    EXPECT_EQ(g.cellSize, 96);
}

TEST(CutParametersTest, DefaultsAndForcedExactAssembly) {
    CutParameters p;
    EXPECT_EQ(p.elementSize, 64);
    EXPECT_EQ(p.irregularBase, 1);
    EXPECT_EQ(p.shiftKnobs, 1);
    EXPECT_EQ(p.rotateElements, 1);
    EXPECT_EQ(p.mosaic, 0);
    EXPECT_FALSE(p.forcesExactAssembly());
    p.mosaic = 1;
    EXPECT_FALSE(p.forcesExactAssembly());
    p.irregularBase = 0;
    EXPECT_TRUE(p.forcesExactAssembly());
}

} // namespace
