#include "app/backgroundcommands.h"
#include "app/commandtable.h"
#include "app/fullscreenmode.h"
#include "app/mainframe.h"
#include "app/previewcontrol.h"
#include "fakes.h"
#include "framegame.h"
#include "ui/fullscreenmenu.h"

#include <QApplication>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(FullScreenTest, F10DoesNothingInAWindowAndOffersTheWindowedModeInFullScreen) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.show();
    CFullScreenMenu* menu = frame.fullScreenMode().menu();
    EXPECT_TRUE(frame.runCommand(32805));
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(menu->itemText(12), QStringLiteral("П&олноэкранный Режим"));
    EXPECT_TRUE(fakes.sound.played.isEmpty());

    EXPECT_TRUE(frame.runCommand(32777));
    ASSERT_EQ(frame.fullScreen(), 1);
    EXPECT_FALSE(frame.menuBar()->isVisible());
    EXPECT_TRUE(frame.isFullScreen());
    frame.runCommand(32805);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->itemText(12), QStringLiteral("&Оконный Режим"));
    EXPECT_EQ(menu->itemText(13), QStringLiteral("Показать &Картинку"));
    EXPECT_TRUE(fakes.sound.played.contains(QStringLiteral("wave:219")));
    // Centred on the window, its middle at the window's middle.
    const QRect window = frame.frameGeometry();
    EXPECT_EQ(frame.fullScreenMode().popupPosition(),
              QPoint((2 * window.left() + window.width()) / 2 - menu->sizeHint().width() / 2,
                     std::max(0, (2 * window.top() + window.height()) / 2 - menu->totalHeight() / 2)));
    // The menu bar keeps its own texts.
    EXPECT_EQ(frame.commands().evaluate(32777).text, QStringLiteral("&Оконный Режим"));
    menu->hide();
    frame.runCommand(32777);
}

TEST(FullScreenTest, F10OffersToHideThePictureWhileItIsShown) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.show();
    GameState& s = frame.state();
    s.picture = QImage(320, 240, QImage::Format_RGB32);
    s.picture.fill(Qt::darkCyan);
    s.pictureWidth = 320;
    s.pictureHeight = 240;
    s.flags.pictureLoaded = 1;
    frame.runCommand(32777);
    ASSERT_TRUE(frame.runCommand(32775));
    ASSERT_TRUE(frame.preview().visible());
    CFullScreenMenu* menu = frame.fullScreenMode().menu();
    frame.runCommand(32805);
    EXPECT_EQ(menu->itemText(13), QStringLiteral("Спрятать &Картинку"));
    // The enabling rules reach the wooden items when the menu opens.
    EXPECT_TRUE(menu->actions()[6]->isEnabled());  // the cut: a picture is loaded
    EXPECT_FALSE(menu->actions()[8]->isEnabled()); // no cut yet: no elements to create
    EXPECT_FALSE(menu->actions()[2]->isEnabled()); // nothing to save
    EXPECT_FALSE(menu->actions()[9]->isEnabled()); // nothing to sort
    EXPECT_FALSE(menu->actions()[10]->isEnabled());
    menu->hide();
    frame.runCommand(32775);
    frame.runCommand(32805);
    EXPECT_EQ(menu->itemText(13), QStringLiteral("Показать &Картинку"));
    menu->hide();
}

TEST(FullScreenTest, TheFullMenuNeverStartsAboveTheScreenButTheBackgroundMenuMay) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.setGeometry(0, 0, 300, 200);
    frame.show();
    EXPECT_EQ(frame.fullScreenMode().popupPosition().y(), 0);
    const QRect window = frame.frameGeometry();
    EXPECT_EQ(frame.backgrounds().popupPosition().y(), (2 * window.top() + window.height()) / 2 - 220);
    EXPECT_LT(frame.backgrounds().popupPosition().y(), 0);
}

// Leaving full-screen mode gives the window back its own place and size, or its maximised
// state; a place the present screen no longer holds is moved onto it.
TEST(FullScreenTest, LeavingRestoresTheWindowsOwnPlaceAndSize) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.show();
    frame.setGeometry(60, 70, 500, 300);
    const auto roundTrip = [&frame] {
        frame.runCommand(32777);
        ASSERT_EQ(frame.fullScreen(), 1);
        frame.runCommand(32777);
        EXPECT_EQ(frame.fullScreen(), 0);
        EXPECT_FALSE(frame.isFullScreen());
        EXPECT_FALSE(frame.menuBar()->isHidden());
    };
    roundTrip();
    EXPECT_EQ(frame.geometry(), QRect(60, 70, 500, 300));

    frame.showMaximized();
    roundTrip();
    EXPECT_TRUE(frame.isMaximized());
    frame.showNormal();
    EXPECT_EQ(frame.normalGeometry(), QRect(60, 70, 500, 300));

    // The screen shrank while the window covered it.
    frame.setGeometry(900, 700, 500, 300);
    frame.runCommand(32777);
    fakes.screen.screenSize = QSize(800, 600);
    frame.runCommand(32777);
    EXPECT_EQ(frame.geometry(), QRect(300, 300, 500, 300));
}

TEST(FullScreenTest, ClosingLeavesFullScreenModeFirst) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.show();
    frame.runCommand(32777);
    ASSERT_TRUE(frame.isFullScreen());
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(frame.fullScreen(), 0);
    EXPECT_FALSE(frame.isFullScreen());
    EXPECT_TRUE(fakes.messages.shown.isEmpty());
}

TEST(FullScreenTest, RightClickOnEmptyBoardOpensTheMenuOnlyInFullScreen) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QWidget* view = frame.centralWidget();
    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(50, 50));
    EXPECT_FALSE(frame.fullScreenMode().menu()->isVisible());
    frame.runCommand(32777);
    QTest::mouseClick(view, Qt::RightButton, {}, QPoint(50, 50));
    EXPECT_TRUE(frame.fullScreenMode().menu()->isVisible());
    frame.fullScreenMode().menu()->hide();
}

TEST(DisplayChangeFrameTest, ASmallerScreenWithAGameKeepsTheBoardAndScrollsHome) {
    FrameGame::Options options;
    options.rows = 2;
    options.columns = 3;
    FrameGame game(options);
    GameState& s = game.state();
    ASSERT_TRUE(s.hasElements());
    const int width = s.board.boardWidth, height = s.board.boardHeight;
    s.board.scrollX = s.board.maxScrollX;
    s.board.scrollY = s.board.maxScrollY;
    game.frame.displayChange(800, 600, 32);
    EXPECT_EQ(s.board.boardWidth, width);
    EXPECT_EQ(s.board.boardHeight, height);
    EXPECT_EQ(s.board.scrollX, 0);
    EXPECT_EQ(s.board.scrollY, 0);
    // The limits are the board's size less the window's client area.
    EXPECT_EQ(s.board.maxScrollX, std::max(0, width - game.view()->width()));
    EXPECT_EQ(s.board.maxScrollY, std::max(0, height - game.view()->height()));
    // The board was drawn again: an element's body shows picture, not background.
    const Rect& body = s.puzzle.bodyRects[0];
    const QPoint middle((body.left + body.right) / 2, (body.top + body.bottom) / 2);
    const QRgb backgroundPixel = s.background.texture.pixel(middle.x() % 160, middle.y() % 120);
    EXPECT_NE(game.frame.renderer().boardImage(s.board.rect()).pixel(middle), backgroundPixel);
    EXPECT_TRUE(game.fakes.messages.shown.isEmpty());
}

TEST(DisplayChangeFrameTest, EightBitsAskTheDepthQuestionAtTheNextActivation) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.show();
    // Another window is active while the display changes; then the frame gets the activation.
    QWidget other;
    other.show();
    QApplication::processEvents();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    fakes.screen.bitsPerPixel = 8;
    frame.displayChange(1024, 768, 8);
    EXPECT_TRUE(fakes.messages.standardAsked.isEmpty());
    QApplication::setActiveWindow(&frame);
    QApplication::processEvents();
    ASSERT_TRUE(frame.isActiveWindow());
    ASSERT_EQ(fakes.messages.standardAsked.size(), 1);
    EXPECT_TRUE(fakes.messages.standardAsked[0].startsWith(
        QStringLiteral("Текущий режим дисплея: 1024 x 768 (8 бит на пиксел).\n")));
    // Nothing was loaded: no reload message, and the question is asked once only.
    EXPECT_TRUE(fakes.messages.shown.isEmpty());
    frame.fullScreenMode().activated();
    EXPECT_EQ(fakes.messages.standardAsked.size(), 1);
    EXPECT_TRUE(frame.isVisible());
}

TEST(DisplayChangeFrameTest, DecliningTheDepthQuestionEndsWithoutTheExitQuestion) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.show();
    frame.state().flags.pictureLoaded = 1;
    frame.state().puzzle.create(1, 1);
    fakes.messages.standardAnswer = false;
    frame.displayChange(1024, 768, 4);
    frame.fullScreenMode().activated();
    EXPECT_EQ(fakes.messages.standardAsked.size(), 1);
    EXPECT_TRUE(fakes.messages.shown.isEmpty());
    EXPECT_FALSE(frame.isVisible());
}

TEST(DisplayChangeFrameTest, ADepthChangeNoticedAtActivationAsksForAReload) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.show();
    QWidget other;
    other.show();
    QApplication::processEvents();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    frame.state().flags.pictureLoaded = 1;
    fakes.screen.bitsPerPixel = 16; // no size change announced: only the depth differs
    QApplication::setActiveWindow(&frame);
    QApplication::processEvents();
    EXPECT_EQ(frame.state().screenBitsPerPixel, 16);
    EXPECT_TRUE(fakes.messages.standardAsked.isEmpty());
    ASSERT_EQ(fakes.messages.shown.size(), 1);
    EXPECT_EQ(fakes.messages.shown[0].text,
              QStringLiteral("Перезагрузите картинку для правильной работы программы. "));
    EXPECT_EQ(fakes.messages.shown[0].kind, MessageKind::Information);
}

} // namespace
