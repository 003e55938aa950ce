#include "framegame.h"

#include <QApplication>

namespace {

// Plays a generated game to the end with the mouse alone: every element is turned upright by
// double clicks, then dragged, in picture order, to its place in a free part of the board,
// where all but the first snap to the ones already laid.
void playToTheEnd(FrameGame& g) {
    Puzzle& p = g.puzzle();
    const int n = p.count();
    for (int i = 0; i < n; ++i) {
        int guard = 0;
        while (p.element(i).orientation != 0 && guard++ < 4) {
            // Left turns counter-clockwise (orientation + 1), right clockwise.
            const Qt::MouseButton button = p.element(i).orientation == 3 ? Qt::LeftButton : Qt::RightButton;
            g.doubleClick(button, g.grabPoint(i));
        }
        ASSERT_EQ(p.element(i).orientation, 0) << "element " << i;
    }
    const int s = p.geometry.elementSize;
    const Rect scatter{0, 0, p.columns * p.geometry.bitmapSize, p.rows * p.geometry.bitmapSize};
    const QPoint origin(scatter.right + 40, 60);
    ASSERT_LE(origin.x() + p.columns * s, g.view()->width());
    ASSERT_LE(origin.y() + p.rows * s, g.view()->height());
    for (int i = 0; i < n; ++i) {
        const QPoint target =
            origin + QPoint(p.columnOf(i) * s, p.rowOf(i) * s) + (i == 0 ? QPoint() : QPoint(2, -1));
        g.drag(i, target - g.body(i));
        ASSERT_EQ(g.body(i), origin + QPoint(p.columnOf(i) * s, p.rowOf(i) * s)) << "element " << i;
        ASSERT_EQ(g.state().input.pickedElement, -1);
        if (i > 0) {
            ASSERT_EQ(p.blocks.blockSize(0), i + 1) << "element " << i;
        }
    }
}

void expectCompleted(FrameGame& g) {
    const GameState& s = g.state();
    EXPECT_EQ(s.flags.gameCompleted, 1);
    EXPECT_FALSE(g.frame.clockTimer().isActive());
    EXPECT_EQ(g.modals, QStringList{QStringLiteral("congratulationWindow")});
    EXPECT_TRUE(g.fakes.sound.played.last().endsWith(QStringLiteral("congratu.wav")));
    EXPECT_EQ(s.puzzle.blocks.blockSize(0), s.puzzle.count());
}

TEST(WholeGameTest, TolerantAssemblyWithTurnedElements) {
    FrameGame g(FrameGame::Options{});
    ASSERT_EQ(g.puzzle().count(), 20);
    int turned = 0;
    for (const Element& e : g.puzzle().elementGrid)
        turned += e.orientation != 0;
    EXPECT_GT(turned, 0);
    g.fakes.clock.advance(125);
    playToTheEnd(g);
    expectCompleted(g);
    EXPECT_EQ(g.state().clockText, QStringLiteral("00:02:05"));
}

TEST(WholeGameTest, ExactAssembly) {
    FrameGame::Options o;
    o.exact = true;
    FrameGame g(o);
    ASSERT_EQ(g.state().settings.exactAssembly, 1);
    playToTheEnd(g);
    expectCompleted(g);
}

TEST(WholeGameTest, MosaicElementsTolerantAndSquare) {
    for (const bool square : {false, true}) {
        FrameGame::Options o;
        o.mosaic = true;
        o.squareBase = square;
        FrameGame g(o);
        EXPECT_EQ(g.state().settings.exactAssembly, square ? 1 : 0);
        playToTheEnd(g);
        expectCompleted(g);
    }
}

} // namespace
