#include "cutsupport.h"
#include "model/elementpainter.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct TilingCase {
    const char* name;
    CutPlan plan;
};

class ShapeTilingTest : public ::testing::TestWithParam<TilingCase> {};

void PrintTo(const TilingCase& c, std::ostream* os) {
    *os << c.name;
}

// The property the whole game rests on: put at their home places, the elements' shapes are
// pairwise disjoint and cover the picture exactly, so an assembled puzzle shows every picture
// pixel once. The same holds for a puzzle assembled with every element turned alike, laid out
// by the orientation table in the turned picture.
TEST_P(ShapeTilingTest, InnerRegionsAtHomeTileThePicture) {
    const CutPlan& plan = GetParam().plan;
    for (int second : {0, 17, 41}) {
        for (int turn : {0, 1, 2, -1}) {
            CutPlan s = plan;
            s.second = second;
            const int n = s.rows * s.columns;
            const auto cut = makeCut(s, false, std::vector<int>(n, turn));
            const int orientation = (4 - turn) % 4;
            QRegion covered;
            long long total = 0;
            for (int i = 0; i < n; ++i) {
                const QRegion placed = cut->puzzle.element(i).innerRegion.translated(
                    sourcePoint(orientation, i, s.rows, s.columns, cut->puzzle.geometry));
                ASSERT_TRUE(covered.intersected(placed).isEmpty())
                    << "element " << i << " overlaps, second " << second << ", turn " << turn;
                covered += placed;
                total += pixelCount(placed);
            }
            const int w = s.columns * s.size, h = s.rows * s.size;
            const QRegion picture = orientation % 2 ? QRegion(0, 0, h, w) : QRegion(0, 0, w, h);
            EXPECT_TRUE(samePixels(covered, picture))
                << "gaps or spill-over, second " << second << ", turn " << turn << ": "
                << pixelCount(covered.xored(picture)) << " pixels";
            EXPECT_EQ(total, static_cast<long long>(w) * h);
        }
    }
}

CutPlan plan(int size, bool mosaic, bool irregular, bool shift, int rows = 5, int columns = 6) {
    CutPlan s;
    s.size = size;
    s.mosaic = mosaic;
    s.irregularBase = irregular;
    s.shiftKnobs = shift;
    s.rows = rows;
    s.columns = columns;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, ShapeTilingTest,
    ::testing::Values(TilingCase{"ordinary64", plan(64, false, true, true)},
                      TilingCase{"ordinary64Centred", plan(64, false, true, false)},
                      TilingCase{"ordinary64Square", plan(64, false, false, true)},
                      TilingCase{"ordinary64SquareCentred", plan(64, false, false, false)},
                      TilingCase{"ordinary16", plan(16, false, true, true)},
                      TilingCase{"ordinary24", plan(24, false, true, true)},
                      TilingCase{"ordinary40", plan(40, false, true, true)},
                      TilingCase{"ordinary320", plan(320, false, true, true, 2, 3)},
                      TilingCase{"ordinary20", plan(20, false, true, true)},
                      TilingCase{"ordinary33", plan(33, false, true, true)},
                      TilingCase{"mosaic64", plan(64, true, true, true)},
                      TilingCase{"mosaic64Centred", plan(64, true, true, false)},
                      TilingCase{"mosaic64Square", plan(64, true, false, true)},
                      TilingCase{"mosaic24", plan(24, true, true, true)},
                      TilingCase{"mosaic16", plan(16, true, true, false)},
                      TilingCase{"singleRow", plan(32, false, true, true, 1, 7)},
                      TilingCase{"singleColumn", plan(32, true, true, true, 7, 1)}),
    [](const ::testing::TestParamInfo<TilingCase>& info) { return std::string(info.param.name); });

} // namespace
