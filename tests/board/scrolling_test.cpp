#include "board/hinttiplayout.h"
#include "board/widgets/hinttipdialog.h"
#include "boardfixture.h"

#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Board 1800 x 1400 on a 1024 x 768 screen: the view goes 0..776 across and 0..632 down.
struct ScrollBoard : BoardFixture {
    ScrollBoard() : BoardFixture(plan(2, 3)) {}
    QPoint scroll() const { return {state.board.scrollX, state.board.scrollY}; }
    void setScroll(int x, int y) {
        state.board.scrollX = x;
        state.board.scrollY = y;
    }
};

TEST(KeyScrollTest, ArrowsStepByTheKeySpeedAndStopAtTheLimits) {
    ScrollBoard f;
    ASSERT_EQ(f.state.board.maxScrollX, 776);
    ASSERT_EQ(f.state.board.maxScrollY, 632);
    f.setScroll(100, 100);
    f.interaction.keyDown(Qt::Key_Left);
    EXPECT_EQ(f.scroll(), QPoint(0, 100));
    EXPECT_EQ(f.host.fullInvalidations, 1);
    f.interaction.keyDown(Qt::Key_Left);
    EXPECT_EQ(f.scroll(), QPoint(0, 100));
    EXPECT_EQ(f.host.fullInvalidations, 1); // at the limit nothing is repainted
    f.interaction.keyDown(Qt::Key_Up);
    EXPECT_EQ(f.scroll(), QPoint(0, 0));
    for (int k = 0; k < 6; ++k)
        f.interaction.keyDown(Qt::Key_Right);
    EXPECT_EQ(f.scroll(), QPoint(776, 0));
    for (int k = 0; k < 5; ++k)
        f.interaction.keyDown(Qt::Key_Down);
    EXPECT_EQ(f.scroll(), QPoint(776, 632));
    EXPECT_EQ(f.host.fullInvalidations, 2 + 6 + 5);
    f.state.settings.keyScrollSpeed = 10;
    f.interaction.keyDown(Qt::Key_Left);
    EXPECT_EQ(f.scroll(), QPoint(766, 632));
}

TEST(KeyScrollTest, NoKeyScrollsWhileAnElementIsHeld) {
    ScrollBoard f;
    f.setScroll(100, 100);
    f.press(L, f.grabPoint(1) - QPoint(100, 100));
    for (const int key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_H})
        f.interaction.keyDown(key);
    EXPECT_EQ(f.scroll(), QPoint(100, 100));
    EXPECT_EQ(f.state.input.hintMode, 0);
    f.interaction.buttonUp();
    f.interaction.keyDown(Qt::Key_Down);
    EXPECT_EQ(f.scroll(), QPoint(100, 250));
}

TEST(WheelTest, OneElementStepPerMessageOnlyShiftAloneGoesSideways) {
    ScrollBoard f;
    const int step = f.state.puzzle.geometry.bitmapSize;
    f.setScroll(300, 300);
    EXPECT_TRUE(f.interaction.wheel(0, -120));
    EXPECT_EQ(f.scroll(), QPoint(300, 300 + step));
    EXPECT_TRUE(f.interaction.wheel(0, 960)); // one step whatever the delta
    EXPECT_EQ(f.scroll(), QPoint(300, 300));
    // With Ctrl the wheel zooms instead (the view's tests); any other word scrolls down.
    EXPECT_TRUE(f.interaction.wheel(Shift | M, -120));
    EXPECT_TRUE(f.interaction.wheel(M, -120));
    EXPECT_TRUE(f.interaction.wheel(M, -120));
    EXPECT_EQ(f.scroll(), QPoint(300, 300 + 3 * step));
    EXPECT_TRUE(f.interaction.wheel(Shift, -120));
    EXPECT_EQ(f.scroll(), QPoint(300 + step, 300 + 3 * step));
    EXPECT_TRUE(f.interaction.wheel(Shift, 120));
    EXPECT_EQ(f.scroll(), QPoint(300, 300 + 3 * step));
    EXPECT_TRUE(f.interaction.wheel(0, 0));
    EXPECT_EQ(f.scroll(), QPoint(300, 300 + 3 * step));
    for (const int word : {L, R, L | R, Shift | L, Ctrl | R}) {
        EXPECT_FALSE(f.interaction.wheel(word, -120)) << word;
        EXPECT_EQ(f.scroll(), QPoint(300, 300 + 3 * step));
    }
    f.setScroll(0, 5);
    f.host.clearInvalidations();
    f.interaction.wheel(0, 120);
    EXPECT_EQ(f.scroll(), QPoint(0, 0)); // clamped
    f.interaction.wheel(0, 120);
    f.interaction.wheel(Shift, 120);
    EXPECT_EQ(f.host.fullInvalidations, 1);
}

TEST(EdgeScrollTest, TheBandsScrollOneStepAndCornersBothWays) {
    ScrollBoard f;
    f.setScroll(100, 100);
    const QSize client = f.host.client; // 800 x 600, band 20, step 3
    EXPECT_TRUE(f.interaction.mouseMove(0, QPoint(0, 300)));
    EXPECT_EQ(f.scroll(), QPoint(97, 100));
    EXPECT_EQ(f.host.updates, 1);
    EXPECT_TRUE(f.interaction.mouseMove(0, QPoint(19, 19)));
    EXPECT_EQ(f.scroll(), QPoint(94, 97));
    EXPECT_FALSE(f.interaction.mouseMove(0, QPoint(20, 300)));
    EXPECT_FALSE(f.interaction.mouseMove(0, QPoint(client.width() - 20, 300)));
    EXPECT_TRUE(f.interaction.mouseMove(Shift, QPoint(client.width() - 19, client.height() - 1)));
    EXPECT_EQ(f.scroll(), QPoint(97, 100));
    f.state.settings.mouseScrollSpeed = 10;
    f.state.settings.scrollArea = 50;
    EXPECT_TRUE(f.interaction.mouseMove(0, QPoint(400, 49)));
    EXPECT_EQ(f.scroll(), QPoint(97, 90));
    f.setScroll(0, 0);
    EXPECT_FALSE(f.interaction.mouseMove(0, QPoint(0, 0))); // at the limit: no change, no repaint
    EXPECT_EQ(f.host.updates, 4);
    f.setScroll(50, 50);
    f.state.settings.scrollEnabled = 0;
    EXPECT_FALSE(f.interaction.mouseMove(0, QPoint(0, 0)));
    f.state.settings.scrollEnabled = 1;
    f.state.board.maxScrollX = f.state.board.maxScrollY = 0;
    EXPECT_FALSE(f.interaction.mouseMove(0, QPoint(0, 0)));
    EXPECT_EQ(f.scroll(), QPoint(50, 50));
}

TEST(EdgeScrollTest, ButtonCombinationsNeverScroll) {
    ScrollBoard f;
    f.setScroll(100, 100);
    for (const int word : {L, R, L | R, Shift | L, Shift | R, Ctrl | L, Ctrl | R})
        EXPECT_FALSE(f.interaction.mouseMove(word, QPoint(0, 0))) << word;
    EXPECT_EQ(f.scroll(), QPoint(100, 100));
}

TEST(HintTest, TheLastElementOfATenByTwelveCutShowsTenAndTwelve) {
    BoardFixture f(plan(10, 12));
    f.placeBody(119, QPoint(700, 700));
    f.state.puzzle.stackOrder.erase(
        std::find(f.state.puzzle.stackOrder.begin(), f.state.puzzle.stackOrder.end(), 119));
    f.state.puzzle.stackOrder.insert(f.state.puzzle.stackOrder.begin(), 119);
    f.interaction.keyDown(Qt::Key_H);
    EXPECT_EQ(f.state.input.hintMode, 1);
    EXPECT_EQ(f.host.hintChanges, 1);
    const QPoint p = f.grabPoint(119);
    f.interaction.leftButtonDown(L, p);
    ASSERT_EQ(f.host.tips.size(), 1u);
    EXPECT_EQ(f.host.tips[0].row, 10);
    EXPECT_EQ(f.host.tips[0].column, 12);
    EXPECT_EQ(f.host.tips[0].point, p);
    EXPECT_EQ(f.state.input.hintMode, 0);
    EXPECT_EQ(f.host.hintChanges, 2);
    EXPECT_EQ(f.state.input.pickedElement, -1);       // the hint click picks nothing
    f.interaction.leftButtonDown(L, f.grabPoint(13)); // hint mode is over: this one picks
    EXPECT_EQ(f.host.tips.size(), 1u);
    EXPECT_EQ(f.state.input.pickedElement, 13);
}

TEST(HintTest, EmptyBoardEndsHintModeARightClickStillPicks) {
    BoardFixture f(plan(2, 3));
    f.interaction.keyDown(Qt::Key_H);
    f.press(R, f.grabPoint(4));
    EXPECT_EQ(f.state.input.pickedElement, 4);
    EXPECT_EQ(f.state.input.hintMode, 1);
    f.interaction.buttonUp();
    f.interaction.leftButtonDown(L | Shift, QPoint(5, 1300));
    EXPECT_EQ(f.state.input.hintMode, 0);
    EXPECT_TRUE(f.host.tips.empty());
    f.puzzle().clear(); // no game
    f.interaction.keyDown(Qt::Key_H);
    EXPECT_EQ(f.state.input.hintMode, 0); // no game, no hint
}

TEST(HintTipTest, LaidOutAtTheCursorAndKeptOnTheScreen) {
    const QFontMetrics metrics(hintTipFont());
    const HintTipLayout tip = layoutHintTip(metrics, 10, 12, QPoint(300, 200), 1024, 738);
    const int w =
        std::max(metrics.boundingRect(QRect(), Qt::TextSingleLine, QStringLiteral("колонка: 10")).width(),
                 metrics.boundingRect(QRect(), Qt::TextSingleLine, QStringLiteral("колонка: 12")).width());
    EXPECT_EQ(tip.window.topLeft(), QPoint(300, 200));
    EXPECT_EQ(tip.window.width(), w + 10);
    EXPECT_EQ(tip.textRect, QRect(5, 2, w, tip.window.height() - 4));
    EXPECT_GE(tip.textRect.height(), 2 * metrics.height() - 2); // two lines
    EXPECT_EQ(tip.labels, QStringLiteral("ряд\nколонка"));
    EXPECT_EQ(tip.numbers, QStringLiteral("10\n12"));

    const HintTipLayout corner = layoutHintTip(metrics, 10, 12, QPoint(1020, 735), 1024, 738);
    EXPECT_EQ(corner.window.x() + corner.window.width(), 1024);
    EXPECT_EQ(corner.window.y() + corner.window.height(), 738);
    EXPECT_EQ(corner.window.size(), tip.window.size());
    const HintTipLayout fits = layoutHintTip(metrics, 1, 1, QPoint(0, 0), 1024, 738);
    EXPECT_EQ(fits.window.topLeft(), QPoint(0, 0));
}

TEST(HintTipTest, ALightOrangeTipThatAnyKeyOrClickCloses) {
    HintTipDialog tip(3, 7, QPoint(100, 100), 1024, 768);
    EXPECT_EQ(tip.geometry(), tip.layout().window);
    EXPECT_EQ(tip.font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(tip.font().pointSize(), 9);
    EXPECT_EQ(tip.font().weight(), QFont::Bold);
    const QImage look = tip.grab().toImage();
    EXPECT_EQ(look.pixel(3, look.height() / 2), qRgb(255, 210, 136));
    EXPECT_EQ(look.pixel(0, 0), qRgb(0, 0, 0)); // the thin border

    tip.show();
    QSignalSpy rejected(&tip, &QDialog::rejected);
    QTest::keyClick(&tip, Qt::Key_Space);
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_FALSE(tip.isVisible());
    tip.show();
    QTest::mouseClick(&tip, Qt::RightButton);
    EXPECT_EQ(rejected.count(), 2);
    tip.show();
    QTest::mouseClick(&tip, Qt::MiddleButton);
    EXPECT_EQ(rejected.count(), 2);
    QTest::keyClick(&tip, Qt::Key_Alt); // system keys close it too
    EXPECT_EQ(rejected.count(), 3);
    EXPECT_FALSE(tip.isVisible());
}

} // namespace
