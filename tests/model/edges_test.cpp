#include "cutsupport.h"

#include <gtest/gtest.h>

namespace {

TEST(EdgesTest, NeighboursAreComplementaryAndBordersStraight) {
    const int rows = 7, columns = 9, n = rows * columns;
    StandardRandom random;
    FakeClock clock;
    std::vector<std::int32_t> signs(2 * n), shifts(2 * n);
    fillRandomTable(signs, RandomTableKind::EdgeSigns, columns, random, clock);
    fillRandomTable(shifts, RandomTableKind::KnobShifts, columns, random, clock);
    const EdgeGrids g = computeEdgeProfiles(signs, shifts, rows, columns);
    ASSERT_EQ(g.signs.size(), std::size_t(n));
    for (int i = 0; i < n; ++i) {
        const int r = i / columns, c = i % columns;
        EXPECT_EQ(g.signs[i][Top] == 0, r == 0);
        EXPECT_EQ(g.signs[i][Left] == 0, c == 0);
        EXPECT_EQ(g.signs[i][Bottom] == 0, r == rows - 1);
        EXPECT_EQ(g.signs[i][Right] == 0, c == columns - 1);
        // Top and left shifts come from the table even on the border, where they shape nothing.
        EXPECT_EQ(g.shifts[i][Top], shifts[i]);
        EXPECT_EQ(g.shifts[i][Left], shifts[n + i]);
        if (c + 1 < columns) {
            EXPECT_EQ(g.signs[i][Right], -g.signs[i + 1][Left]);
            EXPECT_EQ(g.shifts[i][Right], -g.shifts[i + 1][Left]);
        } else {
            EXPECT_EQ(g.shifts[i][Right], 0);
        }
        if (r + 1 < rows) {
            EXPECT_EQ(g.signs[i][Bottom], -g.signs[i + columns][Top]);
            EXPECT_EQ(g.shifts[i][Bottom], -g.shifts[i + columns][Top]);
        } else {
            EXPECT_EQ(g.shifts[i][Bottom], 0);
        }
    }
}

TEST(EdgesTest, SingleElementHasFourStraightEdgesAndShortTablesGiveNothing) {
    const std::vector<std::int32_t> signs{1, -1}, shifts{1, -1};
    const EdgeGrids g = computeEdgeProfiles(signs, shifts, 1, 1);
    ASSERT_EQ(g.signs.size(), 1u);
    EXPECT_EQ(g.signs[0], (EdgeRecord{0, 0, 0, 0}));
    EXPECT_EQ(g.shifts[0], (EdgeRecord{1, 0, 0, -1}));
    EXPECT_TRUE(computeEdgeProfiles(signs, shifts, 2, 2).signs.empty());
}

TEST(EdgesTest, TurnsMoveValuesAroundAndUndoEachOther) {
    const EdgeRecord start{1, 2, 3, 4}; // top, right, bottom, left
    EdgeRecord v = start;
    turnEdges(v, +1);
    EXPECT_EQ(v, (EdgeRecord{4, 1, 2, 3}));
    turnEdges(v, -1);
    EXPECT_EQ(v, start);
    turnEdges(v, -1);
    EXPECT_EQ(v, (EdgeRecord{2, 3, 4, 1}));
    turnEdgesBy(v, 2);
    EXPECT_EQ(v, (EdgeRecord{4, 1, 2, 3}));
    for (int k = 0; k < 3; ++k)
        turnEdges(v, +1);
    EXPECT_EQ(v, (EdgeRecord{1, 2, 3, 4}));
}

} // namespace
