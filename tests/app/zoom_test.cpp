#include "app/commandtable.h"
#include "app/fullscreenmode.h"
#include "framegame.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

namespace {

// The view's client area as the scroll limits see it.
QSize clientOf(FrameGame& g) {
    QApplication::processEvents();
    return g.view()->size();
}

// The element whose body reaches furthest right and down must come into view in a window
// smaller than the screen; the limits follow the window through resizing, maximising and
// full-screen mode, and a maximised window comes back maximised from full-screen mode.
TEST(ZoomFrameTest, ScrollLimitsFollowTheClientAreaSoTheWholeBoardIsReached) {
    FrameGame g(FrameGame::Options{.rows = 10, .columns = 10, .size = 64});
    g.frame.resize(682, 512); // the window's size at start-up
    g.frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g.frame));
    const Board& b = g.state().board;
    auto expectLimitsFollow = [&](const char* when) {
        const QSize client = clientOf(g);
        EXPECT_EQ(b.maxScrollX, std::max(0, b.boardWidth - client.width())) << when;
        EXPECT_EQ(b.maxScrollY, std::max(0, b.boardHeight - client.height())) << when;
        EXPECT_LE(b.scrollX, b.maxScrollX) << when;
        EXPECT_LE(b.scrollY, b.maxScrollY) << when;
    };
    expectLimitsFollow("at start-up size");

    // The cursor keys scroll to the far corner, where every element has been seen.
    for (int k = 0; k < 30; ++k) {
        QTest::keyClick(g.view(), Qt::Key_Right);
        QTest::keyClick(g.view(), Qt::Key_Down);
    }
    const QSize client = clientOf(g);
    const QRect seen(0, 0, b.scrollX + client.width(), b.scrollY + client.height());
    for (int i = 0; i < g.puzzle().count(); ++i) {
        const Rect& body = g.puzzle().bodyRects[i];
        EXPECT_TRUE(seen.contains(QRect(body.left, body.top, body.width(), body.height())))
            << "element " << i;
    }

    g.frame.resize(900, 700);
    expectLimitsFollow("resized");
    g.frame.showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(g.frame.isMaximized());
    expectLimitsFollow("maximised");
    ASSERT_TRUE(g.frame.runCommand(Cmd::FullScreen));
    ASSERT_TRUE(g.frame.isFullScreen());
    expectLimitsFollow("full screen"); // the client area is the screen: the limits as they were
    ASSERT_TRUE(g.frame.runCommand(Cmd::FullScreen));
    QApplication::processEvents();
    EXPECT_TRUE(g.frame.isMaximized());
    expectLimitsFollow("back from full screen, maximised");
    g.frame.showNormal();
    expectLimitsFollow("restored");
}

// The keys of the view: Ctrl + "+", "=", "-" and "0" through the window's shortcuts; Z by its
// key or, on another layout, by the letter or key code that key gives; the middle button.
TEST(ZoomFrameTest, KeysMenuItemsAndTheMiddleButton) {
    FrameGame g(FrameGame::Options{});
    g.frame.resize(480, 400);
    g.frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g.frame));
    const Board& b = g.state().board;
    Viewport& view = g.frame.viewport();

    const std::pair<int, const char*> items[] = {{Cmd::ZoomIn, "&Увеличить\tCtrl++"},
                                                 {Cmd::ZoomOut, "Ум&еньшить\tCtrl+-"},
                                                 {Cmd::ActualSize, "&Масштаб 100%\tCtrl+0"},
                                                 {Cmd::WholeTable, "&Весь стол\tZ"}};
    for (const auto& [id, text] : items) {
        QAction* a = g.frame.commands().menuAction(id);
        ASSERT_NE(a, nullptr) << id;
        EXPECT_EQ(a->text(), QString::fromUtf8(text));
        EXPECT_TRUE(a->isEnabled());
    }

    QTest::keyClick(g.window(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(b.scale, std::exp2(-1.0 / 3));
    QTest::keyClick(g.window(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(b.scale, 1.0);
    QTest::keyClick(g.window(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(b.scale, std::exp2(1.0 / 3));
    QTest::keyClick(g.window(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(b.scale, std::exp2(2.0 / 3));
    QTest::keyClick(g.window(), Qt::Key_0, Qt::ControlModifier);

    QTest::keyClick(g.window(), Qt::Key_Z);
    EXPECT_TRUE(view.wholeTableShown());
    // The Russian layout gives "Я" for the Z key.
    QKeyEvent ya(QEvent::KeyPress, 0x042F, Qt::NoModifier, 52, 0x6d1, 0, QString::fromUtf8("я"));
    QApplication::sendEvent(g.view(), &ya);
    EXPECT_FALSE(view.wholeTableShown());
    EXPECT_EQ(b.scale, 1.0);
    // Any other letter on that key is known by the X11 key code; Ctrl + Z is no view key.
    const QKeyEvent other(QEvent::KeyPress, 0x05D6, Qt::NoModifier, 52, 0, 0);
    EXPECT_EQ(BoardView::gameKey(other, true), int(Qt::Key_Z));
    EXPECT_EQ(BoardView::gameKey(other, false), 0x05D6);
    const QKeyEvent ctrlZ(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier, 52, 0, 0);
    EXPECT_EQ(BoardView::gameKey(ctrlZ, true), 0);

    // The middle button: the whole table, then 100 % centred on the element clicked.
    QTest::mouseClick(g.window(), Qt::MiddleButton, {}, g.inWindow(QPoint(10, 10)));
    ASSERT_TRUE(view.wholeTableShown());
    const QPoint on = g.grabPoint(7);
    const QPoint boardPoint = b.toBoard(on);
    QTest::mouseClick(g.window(), Qt::MiddleButton, {}, g.inWindow(on));
    EXPECT_EQ(b.scale, 1.0);
    const QPoint middle = b.toBoard(QPoint(g.view()->width() / 2, g.view()->height() / 2));
    if (b.scrollX > 0 && b.scrollX < b.maxScrollX) {
        EXPECT_LE(std::abs(middle.x() - boardPoint.x()), 2);
    }
    if (b.scrollY > 0 && b.scrollY < b.maxScrollY) {
        EXPECT_LE(std::abs(middle.y() - boardPoint.y()), 2);
    }
    EXPECT_EQ(view.visibleBoardRect().contains(QPointF(boardPoint)), true);
}

// The progress window of a new game disables the main window while the elements are made, which
// takes the keyboard from the board; it must come back, or the cursor keys, H and the view keys
// of other layouts (read from the board's own key events) do nothing until the player clicks.
TEST(ZoomFrameTest, TheBoardHasTheKeysBackAfterANewGame) {
    FrameGame g(FrameGame::Options{.rows = 6, .columns = 6});
    g.frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&g.frame));
    g.view()->setFocus();
    ASSERT_TRUE(g.view()->hasFocus());
    ASSERT_TRUE(g.frame.runCommand(Cmd::CreateElements)); // a second game, with the progress window
    QApplication::processEvents();
    ASSERT_TRUE(g.fakes.messages.shown.size() >= 1); // asked before replacing the game
    EXPECT_TRUE(g.view()->hasFocus());
    QWidget* keys = QApplication::focusWidget() ? QApplication::focusWidget() : &g.frame;
    QKeyEvent ya(QEvent::KeyPress, 0x042F, Qt::NoModifier, 52, 0x6d1, 0, QString::fromUtf8("я"));
    QApplication::sendEvent(keys, &ya);
    EXPECT_TRUE(g.frame.viewport().wholeTableShown());
}

} // namespace
