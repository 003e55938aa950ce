#include "board/cellindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// The index finds exactly the squares a rectangle meets, each once, whatever the squares did
// before: moved a little or far, taken off, or lying beyond the board the buckets cover.
TEST(CellIndexTest, FindsWhatARectangleMeetsAsAPlainSearchDoes) {
    std::mt19937 random(23);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (const int bucket : {16, 128}) {
        constexpr int count = 300, size = 40;
        const Rect board{0, 0, 1000, 700};
        CellIndex index;
        index.reset(count, bucket, board);
        std::vector<Rect> cells(count);
        const auto anywhere = [&] {
            // A few beyond the board on every side.
            const int x = pick(-300, 1300), y = pick(-300, 1000);
            return Rect{x, y, x + size, y + size};
        };
        for (int i = 0; i < count; ++i)
            index.place(i, cells[i] = anywhere());
        for (int round = 0; round < 40; ++round) {
            for (int k = 0; k < 60; ++k) {
                const int i = pick(0, count - 1);
                const int what = pick(0, 9);
                if (what == 0)
                    cells[i] = Rect{}; // off the table
                else if (what < 6)
                    cells[i] =
                        cells[i].isEmpty() ? anywhere() : cells[i].translated(pick(-9, 9), pick(-9, 9));
                else
                    cells[i] = anywhere();
                index.place(i, cells[i]);
            }
            for (int q = 0; q < 20; ++q) {
                const int x = pick(-400, 1300), y = pick(-400, 1000);
                const Rect r{x, y, x + pick(1, 500), y + pick(1, 400)};
                std::vector<int> found, expected;
                index.forEachMeeting(r, [&](int i) { found.push_back(i); });
                for (int i = 0; i < count; ++i) {
                    const Rect& c = cells[i];
                    if (!c.isEmpty() && c.left < r.right && r.left < c.right && c.top < r.bottom &&
                        r.top < c.bottom)
                        expected.push_back(i);
                    ASSERT_EQ(index.isPlaced(i), !c.isEmpty());
                }
                std::sort(found.begin(), found.end());
                ASSERT_EQ(found, expected) << "bucket " << bucket << " round " << round;
            }
        }
    }
}

} // namespace
