#include "model/cutcalculator.h"

#include <gtest/gtest.h>

namespace {

TEST(CutCalculatorTest, SizeListHasTwentyFiveEntries) {
    EXPECT_EQ(CutCalculator::sizeAt(0), 16);
    EXPECT_EQ(CutCalculator::sizeAt(1), 24);
    EXPECT_EQ(CutCalculator::sizeAt(10), 96);
    EXPECT_EQ(CutCalculator::sizeAt(11), 112);
    EXPECT_EQ(CutCalculator::sizeAt(24), 320);
    EXPECT_EQ(CutCalculator::selectionFor(64), 6);
    EXPECT_EQ(CutCalculator::selectionFor(100), -1);
    EXPECT_EQ(CutCalculator::selectionFor(8), -1);
}

TEST(CutCalculatorTest, NearestRoundsHalvesUp) {
    EXPECT_EQ(CutCalculator::nearest(7.5), 8);
    EXPECT_EQ(CutCalculator::nearest(7.4999), 7);
    EXPECT_EQ(CutCalculator::nearest(6.67), 7);
    EXPECT_EQ(CutCalculator::nearest(5.0), 5);
    EXPECT_EQ(CutCalculator::nearest(0.0), 0);
}

TEST(CutCalculatorTest, QuotientsBeyondIntEndAtItsLimits) {
    EXPECT_EQ(CutCalculator::nearest(4e9), 2147483647);
    EXPECT_EQ(CutCalculator::nearest(-4e9), -2147483647 - 1);
    // A typed width of two thousand million on a portrait picture: the height cannot follow.
    CutCalculator c;
    c.open(480, 640, 16);
    c.widthEdited(2000000000);
    EXPECT_EQ(c.height(), 2147483647);
    EXPECT_EQ(c.resultHeight(), std::int64_t(c.rows()) * 16);
}

TEST(CutCalculatorTest, OpeningAndChangingTheElementSize) {
    CutCalculator c;
    c.open(640, 480, 64);
    EXPECT_EQ(c.columns(), 10);
    EXPECT_EQ(c.rows(), 8); // 7.5 goes up
    EXPECT_EQ(c.resultWidth(), 640);
    EXPECT_EQ(c.resultHeight(), 512);
    c.sizeChosen(96);
    EXPECT_EQ(c.columns(), 7);
    EXPECT_EQ(c.rows(), 5);
    EXPECT_EQ(c.width(), 640); // the picture size never follows the element size
}

TEST(CutCalculatorTest, KeepRatioCarriesTheOtherSide) {
    CutCalculator c;
    c.open(640, 480, 64);
    c.widthEdited(800);
    EXPECT_EQ(c.height(), 600);
    EXPECT_EQ(c.columns(), 13);
    EXPECT_EQ(c.rows(), 9);
    c.heightEdited(240);
    EXPECT_EQ(c.width(), 320);

    CutCalculator free;
    free.open(640, 480, 64);
    free.setKeepRatio(false);
    free.widthEdited(800);
    EXPECT_EQ(free.height(), 480);
    EXPECT_EQ(free.rows(), 8);
    EXPECT_EQ(free.columns(), 13);
}

TEST(CutCalculatorTest, TypedCountsChangeOnlyThemselves) {
    CutCalculator c;
    c.open(640, 480, 64);
    c.columnsEdited(3);
    EXPECT_EQ(c.columns(), 3);
    EXPECT_EQ(c.rows(), 8);
    EXPECT_EQ(c.width(), 640);
    EXPECT_EQ(c.resultWidth(), 192);
}

TEST(CutCalculatorTest, DegeneratePictureDoesNotDivideByZero) {
    CutCalculator c;
    c.open(0, 0, 0);
    EXPECT_EQ(c.columns(), 0);
    EXPECT_EQ(c.rows(), 0);
    c.heightEdited(100);
    EXPECT_GE(c.width(), 0);
}

TEST(CutCalculatorTest, PreviewBitmapFollowsTheShapeOptions) {
    EXPECT_EQ(CutCalculator::previewBitmap(false, false, true), 315);
    EXPECT_EQ(CutCalculator::previewBitmap(false, false, false), 321);
    EXPECT_EQ(CutCalculator::previewBitmap(false, true, true), 320);
    EXPECT_EQ(CutCalculator::previewBitmap(false, true, false), 316);
    EXPECT_EQ(CutCalculator::previewBitmap(true, false, true), 317);
    EXPECT_EQ(CutCalculator::previewBitmap(true, false, false), 318);
    EXPECT_EQ(CutCalculator::previewBitmap(true, true, true), 319);
    EXPECT_EQ(CutCalculator::previewBitmap(true, true, false), 319);
}

} // namespace
