#include "game/gameclock.h"

#include <gtest/gtest.h>

namespace {

TEST(GameClockTest, FormatsUnwrappedHours) {
    EXPECT_EQ(GameClock::format(0), QStringLiteral("00:00:00"));
    EXPECT_EQ(GameClock::format(90061), QStringLiteral("25:01:01"));
    EXPECT_EQ(GameClock::format(360000), QStringLiteral("100:00:00"));
    EXPECT_EQ(GameClock::format(59), QStringLiteral("00:00:59"));
    EXPECT_EQ(GameClock::format(-5), QStringLiteral("00:00:00"));
}

TEST(GameClockTest, PauseCarriesTimeAndResumesWithoutLoss) {
    GameClock c;
    c.start(1000);
    EXPECT_EQ(c.elapsed(1100), 100);
    c.carry(1100);  // pause
    c.resume(4700); // an hour later
    EXPECT_EQ(c.elapsed(4700), 100);
    EXPECT_EQ(c.elapsed(4710), 110);
    c.start(5000, 42); // loaded game carries its time
    EXPECT_EQ(c.elapsed(5001), 43);
}

} // namespace
