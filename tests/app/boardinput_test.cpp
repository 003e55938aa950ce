#include "framegame.h"
#include "board/referencetable.h"
#include "board/widgets/hinttipdialog.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QWheelEvent>

namespace {

FrameGame::Options small() {
    FrameGame::Options o;
    o.rows = 2;
    o.columns = 3;
    o.rotate = false;
    return o;
}

TEST(BoardInputTest, APressMoveAndReleaseOnTheWindowDragAnElement) {
    FrameGame g(small());
    const QPoint start = g.body(4);
    const QPoint p = g.grabPoint(4);
    g.press(Qt::LeftButton, p);
    EXPECT_EQ(g.state().input.pickedElement, 4);
    g.moveTo(p + QPoint(300, 200));
    g.release(Qt::LeftButton, p + QPoint(300, 200));
    EXPECT_EQ(g.state().input.pickedElement, -1);
    EXPECT_EQ(g.body(4), start + QPoint(300, 200));
    // The window shows the element where it now lies.
    QApplication::processEvents();
    const QImage shown = g.view()->grab().toImage();
    const QPoint c = g.grabPoint(4);
    const Element& e = g.puzzle().element(4);
    const QImage bitmap =
        referenceBitmap(e, g.puzzle(), referenceTurns(g.state().picture), g.state().settings.outlineColor);
    EXPECT_EQ(shown.pixel(c), bitmap.pixel(c - QPoint(e.cellRect.left, e.cellRect.top)));
}

TEST(BoardInputTest, BothButtonsTogetherMoveTheBlock) {
    FrameGame g(small());
    // Join 0 and 1 first: 1 dropped beside 0.
    g.drag(1, g.body(0) + QPoint(g.puzzle().geometry.elementSize + 2, 1) - g.body(1));
    ASSERT_EQ(g.puzzle().blocks.blockSize(0), 2);
    const QPoint at0 = g.body(0), at1 = g.body(1);
    const QPoint p = g.grabPoint(1);
    g.press(Qt::LeftButton, p);
    // The right button goes down while the left one is held: a hand-made event with both.
    QMouseEvent both(QEvent::MouseButtonPress, QPointF(p), QPointF(g.view()->mapToGlobal(p)), Qt::RightButton,
                     Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(g.view(), &both);
    QMouseEvent move(QEvent::MouseMove, QPointF(p + QPoint(0, 250)),
                     QPointF(g.view()->mapToGlobal(p + QPoint(0, 250))), Qt::NoButton,
                     Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(g.view(), &move);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(p + QPoint(0, 250)),
                   QPointF(g.view()->mapToGlobal(p + QPoint(0, 250))), Qt::RightButton, Qt::LeftButton,
                   Qt::NoModifier);
    QApplication::sendEvent(g.view(), &up);
    EXPECT_EQ(g.body(0), at0 + QPoint(0, 250));
    EXPECT_EQ(g.body(1), at1 + QPoint(0, 250));
    g.release(Qt::LeftButton, p + QPoint(0, 250));
}

TEST(BoardInputTest, ADoubleClickOnTheWindowTurnsOnceWithCtrlTheBlock) {
    FrameGame::Options o = small();
    o.rotate = true;
    FrameGame g(o);
    const int before = g.puzzle().element(2).orientation;
    g.doubleClick(Qt::LeftButton, g.grabPoint(2));
    EXPECT_EQ(g.puzzle().element(2).orientation, (before + 1) % 4);
    g.doubleClick(Qt::RightButton, g.grabPoint(2));
    g.doubleClick(Qt::RightButton, g.grabPoint(2));
    EXPECT_EQ(g.puzzle().element(2).orientation, (before + 3) % 4);
    EXPECT_EQ(g.fakes.sound.played.count(QStringLiteral("wave:218")), 3);
    EXPECT_EQ(g.state().input.pickedElement, -1);
    g.doubleClick(Qt::LeftButton, g.grabPoint(2), Qt::ControlModifier);
    EXPECT_EQ(g.puzzle().element(2).orientation, before);
}

// Ctrl + wheel zooms in steps about the pointer: the board point under it stays under it.
TEST(BoardInputTest, TheWheelScrollsDownSidewaysWithShiftAndZoomsWithCtrl) {
    FrameGame::Options o = small();
    o.rows = 12; // a board taller and wider than the screen
    o.columns = 12;
    FrameGame g(o);
    ASSERT_GT(g.state().board.maxScrollY, 0);
    auto wheel = [&](QPoint at, int delta, Qt::KeyboardModifiers m, Qt::MouseButtons buttons) {
        QWheelEvent e(QPointF(at), QPointF(g.view()->mapToGlobal(at)), QPoint(), QPoint(0, delta), buttons, m,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(g.view(), &e);
        return e.isAccepted();
    };
    const Board& b = g.state().board;
    const int step = g.puzzle().geometry.bitmapSize;
    EXPECT_TRUE(wheel({300, 300}, -120, Qt::NoModifier, Qt::NoButton));
    EXPECT_EQ(b.scrollY, step);
    EXPECT_TRUE(wheel({300, 300}, -120, Qt::ShiftModifier, Qt::NoButton));
    EXPECT_EQ(b.scrollX, step);
    EXPECT_FALSE(wheel({300, 300}, -120, Qt::NoModifier, Qt::LeftButton));
    EXPECT_EQ(b.scrollY, step);

    for (const QPoint at : {QPoint(300, 200), QPoint(17, 401), QPoint(600, 30)}) {
        for (const int delta : {-120, -120, 120, 120, 120, -120}) {
            const QPointF before = b.toBoardF(QPointF(at));
            const double scale = b.scale;
            EXPECT_TRUE(wheel(at, delta, Qt::ControlModifier, Qt::NoButton));
            EXPECT_EQ(b.scale > scale, delta > 0) << delta;
            // Within a pixel of the view, unless the view met the board's edge.
            const QPointF after = b.toClientF(before);
            if (b.scrollX > 0 && b.scrollX < b.maxScrollX && b.originX == 0) {
                EXPECT_NEAR(after.x(), at.x(), 1.0) << b.scale;
            }
            if (b.scrollY > 0 && b.scrollY < b.maxScrollY && b.originY == 0) {
                EXPECT_NEAR(after.y(), at.y(), 1.0) << b.scale;
            }
        }
    }
    // Zooming never goes past 200 % or below the whole table.
    for (int k = 0; k < 20; ++k)
        wheel({300, 300}, 120, Qt::ControlModifier, Qt::NoButton);
    EXPECT_EQ(b.scale, 2.0);
    for (int k = 0; k < 40; ++k)
        wheel({300, 300}, -120, Qt::ControlModifier, Qt::NoButton);
    EXPECT_EQ(b.scale, g.frame.viewport().wholeTableScale());
    // A fine wheel's eighths of a notch add up to a step.
    const double whole = b.scale;
    for (int k = 0; k < 7; ++k)
        wheel({300, 300}, 15, Qt::ControlModifier, Qt::NoButton);
    EXPECT_EQ(b.scale, whole);
    wheel({300, 300}, 15, Qt::ControlModifier, Qt::NoButton);
    EXPECT_GT(b.scale, whole);
}

TEST(BoardInputTest, EdgeScrollingRepeatsWhileTheCursorRestsAndStopsOnInput) {
    FrameGame::Options o = small();
    o.rows = 12;
    o.columns = 12;
    FrameGame g(o);
    const QPoint band(g.view()->width() - 3, 200);
    QCursor::setPos(g.view()->mapToGlobal(band));
    if (g.view()->mapFromGlobal(QCursor::pos()) != band)
        GTEST_SKIP() << "this platform cannot place the cursor";
    g.moveTo(band);
    EXPECT_TRUE(g.view()->edgeScrolling());
    QElapsedTimer timer;
    timer.start();
    while (g.state().board.scrollX < 30 && timer.elapsed() < 5000)
        QApplication::processEvents();
    EXPECT_GE(g.state().board.scrollX, 30); // ten steps of 3 from one move
    // A key press for the window stops it at once; nothing moves any more.
    QTest::keyClick(g.view(), Qt::Key_Shift);
    EXPECT_FALSE(g.view()->edgeScrolling());
    const int stoppedAt = g.state().board.scrollX;
    for (int k = 0; k < 20; ++k)
        QApplication::processEvents();
    EXPECT_EQ(g.state().board.scrollX, stoppedAt);
    // It repeats until the limit, then stops by itself.
    QCursor::setPos(g.view()->mapToGlobal(band + QPoint(0, 1)));
    g.moveTo(band + QPoint(0, 1));
    EXPECT_TRUE(g.view()->edgeScrolling());
    timer.restart();
    while (g.view()->edgeScrolling() && timer.elapsed() < 20000)
        QApplication::processEvents();
    EXPECT_EQ(g.state().board.scrollX, g.state().board.maxScrollX);
    EXPECT_FALSE(g.view()->edgeScrolling());
}

TEST(BoardInputTest, HKeyHintCursorAndTheTipForTheClickedElement) {
    FrameGame g(small());
    QTest::keyClick(g.view(), Qt::Key_H);
    EXPECT_EQ(g.state().input.hintMode, 1);
    const QCursor cursor = g.view()->cursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(0, 0));
    int row = 0, column = 0;
    g.frame.setModalRunner([&](QDialog& d) {
        auto* tip = qobject_cast<HintTipDialog*>(&d);
        EXPECT_NE(tip, nullptr);
        if (tip) {
            const QStringList numbers = tip->layout().numbers.split(QLatin1Char('\n'));
            row = numbers.value(0).toInt();
            column = numbers.value(1).toInt();
        }
        return 0;
    });
    g.press(Qt::LeftButton, g.grabPoint(5));
    g.release(Qt::LeftButton, g.grabPoint(5));
    EXPECT_EQ(row, 2);
    EXPECT_EQ(column, 3);
    EXPECT_EQ(g.state().input.hintMode, 0);
    EXPECT_NE(g.view()->cursor().shape(), Qt::BitmapCursor);
    // The same key with the Russian layout.
    QKeyEvent er(QEvent::KeyPress, 0x0420, Qt::NoModifier, QString::fromUtf8("р"));
    QApplication::sendEvent(g.view(), &er);
    EXPECT_EQ(g.state().input.hintMode, 1);
}

} // namespace
