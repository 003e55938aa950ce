#include "game/flowfixture.h"
#include "board/referencetable.h"
#include "model/elementpainter.h"

#include <set>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(GenerationTest, BoardSizeCoversTheScatterGridAndTheScreen) {
    // 10 columns of 100-pixel bitmaps on a 1024 screen: max(1024, 1000 + 0 + 50).
    EXPECT_EQ(boardSizeFor(10, 5, 100, {1024, 768}, {1024, 768}), QSize(1050, 768));
    EXPECT_EQ(boardSizeFor(1, 1, 100, {1024, 768}, {1024, 768}), QSize(1024, 768));
    EXPECT_EQ(boardSizeFor(10, 8, 100, {1024, 768}, {1024, 740}), QSize(1050, 878));
}

TEST(GenerationTest, ProgressFromNineteenElementsOn) {
    EXPECT_EQ(progressStep(19), 1);
    EXPECT_EQ(progressStep(18), 1);
    EXPECT_EQ(progressStep(380), 20);
    for (const auto& [rows, columns, shown] : {std::tuple{3, 6, false}, std::tuple{1, 19, true}}) {
        FlowFixture f;
        f.prepare(rows, columns, 32, false);
        RecordingProgress progress;
        f.flow.generateElements(f.random, &progress);
        EXPECT_EQ(progress.begun, shown ? 1 : 0) << rows * columns;
        if (shown) {
            EXPECT_EQ(progress.step, 1);
            EXPECT_EQ(progress.high, 19);
            EXPECT_EQ(progress.positions.size(), 19u);
            EXPECT_EQ(progress.ended, 1);
        }
    }
}

TEST(GenerationTest, SingleElementLiesInTheTopLeftSquare) {
    FlowFixture f;
    f.prepare(1, 1, 64, false);
    f.flow.generateElements(f.random, nullptr);
    const Element& e = f.state.puzzle.element(0);
    EXPECT_EQ(e.cellRect, (Rect{0, 0, 100, 100}));
    EXPECT_EQ(e.edgeSign, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(f.state.board.boardWidth, 1024);
    EXPECT_EQ(f.state.board.boardHeight, 768);
    EXPECT_TRUE(f.state.hasElements());
}

// After generation every element's inner region on the board shows exactly the picture pixels
// of its place, turned the way the element is turned; nothing overlaps at the start.
TEST(GenerationTest, BoardShowsThePicturePixelsOfEachOrientation) {
    for (const bool rotate : {false, true}) {
        FlowFixture f;
        f.prepare(4, 5, 32, rotate);
        f.flow.generateElements(f.random, nullptr);
        const Puzzle& p = f.state.puzzle;
        ASSERT_EQ(p.count(), 20);
        const QImage board = f.renderer.boardImage(f.state.board.rect());
        const std::array<QImage, 4> turns = referenceTurns(f.state.picture);
        std::set<int> orientations;
        QRegion covered;
        for (int i = 0; i < p.count(); ++i) {
            const Element& e = p.element(i);
            orientations.insert(e.orientation);
            if (!rotate) {
                EXPECT_EQ(e.orientation, 0);
            }
            const QRegion onBoard = e.innerRegion.translated(e.cellRect.left, e.cellRect.top);
            EXPECT_FALSE(covered.intersects(onBoard)) << "element " << i << " overlaps";
            covered += p.boardRegions[i];
            const QImage& source = turns[e.orientation];
            const QPoint src = sourcePoint(e.orientation, i, p.rows, p.columns, p.geometry);
            for (const QRect& r : onBoard)
                for (int y = r.top(); y <= r.bottom(); ++y)
                    for (int x = r.left(); x <= r.right(); ++x)
                        ASSERT_EQ(board.pixel(x, y),
                                  source.pixel(x - e.cellRect.left + src.x(), y - e.cellRect.top + src.y()))
                            << "element " << i << " at " << x << "," << y;
        }
        if (rotate) {
            EXPECT_GT(orientations.size(), 1u);
        }
        EXPECT_EQ(f.fakes.sound.played.count(QStringLiteral("wave:259")), 1);
        EXPECT_TRUE(f.flowHost.timerRunning);
    }
}

TEST(GenerationTest, SquareMosaicForcesExactAssembly) {
    FlowFixture f;
    f.prepare(2, 2, 32, false);
    f.state.cut.mosaic = 1;
    f.state.cut.irregularBase = 0;
    f.flow.generateElements(f.random, nullptr);
    EXPECT_EQ(f.state.settings.exactAssembly, 1);
    EXPECT_EQ(f.state.puzzle.element(0).innerRegion, QRegion(0, 0, 32, 32));
}

TEST(GameFlowTest, PauseHidesTheBoardAndLosesNoTime) {
    FlowFixture f;
    f.prepare(2, 3, 32, false);
    f.flow.generateElements(f.random, nullptr);
    f.fakes.clock.advance(100);
    bool coveredWhilePaused = false;
    f.flowHost.whilePaused = [&] {
        EXPECT_FALSE(f.flowHost.timerRunning);
        const Element& e = f.state.puzzle.element(0);
        const QRect inner = e.innerRegion.boundingRect().translated(e.cellRect.left, e.cellRect.top);
        const QImage board = f.renderer.boardImage(f.state.board.rect());
        coveredWhilePaused = true;
        for (int y = inner.top(); y <= inner.bottom(); ++y)
            for (int x = inner.left(); x <= inner.right(); ++x)
                coveredWhilePaused = coveredWhilePaused &&
                                     board.pixel(x, y) == f.state.background.texture.pixel(x % 160, y % 120);
        f.fakes.clock.advance(3600);
    };
    f.flow.pause();
    EXPECT_EQ(f.flowHost.pauseWindows, 1);
    EXPECT_TRUE(coveredWhilePaused);
    EXPECT_TRUE(f.flowHost.timerRunning);
    f.flow.clockTick();
    EXPECT_EQ(f.state.clockText, QStringLiteral("00:01:40"));
    // The paused hour never reaches the records either.
    f.fakes.clock.advance(20);
    f.flow.announceCompletion();
    EXPECT_EQ(f.flowHost.recorded, std::vector<std::int64_t>{120});
}

TEST(GameFlowTest, PauseIsInertWithoutARunningVisibleClock) {
    FlowFixture f;
    f.flow.pause(); // no game
    f.prepare(1, 2, 32, false);
    f.flow.generateElements(f.random, nullptr);
    f.state.settings.showTimer = 0;
    f.flow.pause();
    f.state.settings.showTimer = 1;
    f.state.flags.gameCompleted = 1;
    f.flow.pause();
    EXPECT_EQ(f.flowHost.pauseWindows, 0);
}

TEST(GameFlowTest, HiddenClockKeepsCountingAndShowsTheHiddenStretch) {
    FlowFixture f;
    f.prepare(1, 2, 32, false);
    f.flow.generateElements(f.random, nullptr);
    f.state.settings.showTimer = 0;
    f.flow.applyClockVisibility();
    EXPECT_FALSE(f.flowHost.clockVisible);
    EXPECT_FALSE(f.flowHost.timerRunning);
    f.fakes.clock.advance(60);
    f.flow.clockTick(); // no refresh while hidden
    EXPECT_EQ(f.state.clockText, QStringLiteral("00:00:00"));
    f.state.settings.showTimer = 1;
    f.flow.applyClockVisibility();
    EXPECT_TRUE(f.flowHost.clockVisible);
    EXPECT_TRUE(f.flowHost.timerRunning);
    f.flow.clockTick();
    EXPECT_EQ(f.state.clockText, QStringLiteral("00:01:00"));
}

TEST(GameFlowTest, CompletionStopsTheClockOnTheFinalTime) {
    FlowFixture f;
    f.prepare(1, 2, 32, false);
    f.flow.generateElements(f.random, nullptr);
    f.fakes.clock.advance(90061);
    f.flow.announceCompletion();
    EXPECT_FALSE(f.flowHost.timerRunning);
    EXPECT_EQ(f.state.clockText, QStringLiteral("25:01:01"));
    EXPECT_EQ(f.state.flags.gameCompleted, 1);
    EXPECT_EQ(f.flowHost.congratulations, 1);
    EXPECT_EQ(f.flowHost.recorded, std::vector<std::int64_t>{90061});
    EXPECT_TRUE(f.fakes.sound.played.contains(QStringLiteral("file:/games/congratu.wav")));
    f.flow.pause();
    EXPECT_EQ(f.flowHost.pauseWindows, 0);
}

TEST(GameFlowTest, CreatingAsksOnceAndNoKeepsTheGame) {
    FlowFixture f;
    f.prepare(1, 2, 32, false);
    f.flow.generateElements(f.random, nullptr);
    f.fakes.messages.answers = {MessageResult::No};
    EXPECT_FALSE(f.flow.beginCreateElements());
    EXPECT_EQ(f.fakes.messages.shown.size(), 1);
    EXPECT_EQ(f.fakes.messages.shown[0].text, QString::fromUtf8("Создать новую игру?"));
    EXPECT_TRUE(f.state.hasElements());
    EXPECT_EQ(f.state.puzzle.count(), 2);

    // A completed game is replaced without a question.
    f.state.flags.gameCompleted = 1;
    EXPECT_TRUE(f.flow.beginCreateElements());
    EXPECT_EQ(f.fakes.messages.shown.size(), 1);
    EXPECT_FALSE(f.state.hasElements());
    EXPECT_EQ(f.state.flags.gameCompleted, 0);
    EXPECT_EQ(f.state.clockText, QStringLiteral("00:00:00"));
    EXPECT_EQ(f.state.flags.pictureLoaded, 1); // the picture stays
}

TEST(GameFlowTest, DiscardWithPictureDropsIt) {
    FlowFixture f;
    f.prepare(1, 2, 32, true);
    f.flow.discardGame(true);
    EXPECT_EQ(f.state.flags.pictureLoaded, 0);
    EXPECT_TRUE(f.state.picture.isNull());
}

} // namespace
