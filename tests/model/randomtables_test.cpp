#include "fakes.h"
#include "model/randomtables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Hands out a fixed script of draws and records the seeds it was given.
class ScriptedRandom : public IRandom {
public:
    explicit ScriptedRandom(std::vector<std::uint32_t> draws) : draws_(std::move(draws)) {}
    void seed(std::uint32_t s) override { seeds.push_back(s); }
    std::uint32_t next() override { return draws_.at(pos_++); }
    std::vector<std::uint32_t> seeds;

private:
    std::vector<std::uint32_t> draws_;
    std::size_t pos_ = 0;
};

FakeClock clockAtSecond(int second) {
    FakeClock clock;
    clock.seconds = 1'700'000'000 - 1'700'000'000 % 60 + second;
    return clock;
}

TEST(RandomTablesTest, ScriptedDrawsGiveTheDescribedValues) {
    const FakeClock clock = clockAtSecond(42);
    // Edge signs, 1 row x 4 columns (8 entries): entry 4 starts the left-edge half and
    // follows entry 0 (draw % 10), the others follow their predecessor (draw % 5).
    ScriptedRandom signDraws({7, 5, 1, 2, 3, 11, 0, 9});
    std::vector<std::int32_t> signs(8);
    fillRandomTable(signs, RandomTableKind::EdgeSigns, 4, signDraws, clock);
    EXPECT_EQ(signs, (std::vector<std::int32_t>{1, 1, -1, 1, -1, 1, 1, -1}));
    EXPECT_EQ(signDraws.seeds, std::vector<std::uint32_t>{42});

    ScriptedRandom shiftDraws({3, 1, 4, 2, 2, 5, 3});
    std::vector<std::int32_t> shifts(4);
    fillRandomTable(shifts, RandomTableKind::KnobShifts, 4, shiftDraws, clock);
    EXPECT_EQ(shifts, (std::vector<std::int32_t>{-1, 1, 0, 0}));

    ScriptedRandom turnDraws({0, 1, 2, 3, 7});
    std::vector<std::int32_t> turns(5);
    fillRandomTable(turns, RandomTableKind::Turns, 4, turnDraws, clock);
    EXPECT_EQ(turns, (std::vector<std::int32_t>{-1, 0, 1, 2, 2}));
}

TEST(RandomTablesTest, PermutationHoldsEveryIndexOnce) {
    StandardRandom random;
    const FakeClock clock = clockAtSecond(30);
    for (int n : {0, 1, 2, 19, 10000}) {
        std::vector<std::int32_t> table(n, -1), again(n, -1);
        randomPermutation(table, random, clock);
        randomPermutation(again, random, clock);
        EXPECT_EQ(table, again) << "same second, same permutation";
        std::vector<std::int32_t> sorted = table;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(sorted[i], i);
        if (n == 10000) {
            EXPECT_FALSE(std::is_sorted(table.begin(), table.end()));
        }
    }
}

} // namespace
