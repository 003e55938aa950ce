#include "app/commandtable.h"
#include "app/mainframe.h"
#include "app/previewcontrol.h"
#include "board/widgets/boardview.h"
#include "fakes.h"
#include "game/commands.h"
#include "game/widgets/myfiledialog.h"
#include "model/picture.h"
#include "ui/cutdialog.h"
#include "ui/picturewnd.h"
#include "ui/sizegrip.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Four flat quarters: red, green / blue, white.
QImage quarters(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool right = x >= w / 2, bottom = y >= h / 2;
            if (!bottom)
                image.setPixelColor(x, y, right ? QColor(0, 200, 0) : QColor(200, 0, 0));
            else if (!right)
                image.setPixelColor(x, y, QColor(0, 0, 200));
        }
    return image;
}

class PreviewTest : public testing::Test {
protected:
    FakeServices fakes;
    CMainFrame frame{fakes.services()};
    QTemporaryDir dir;

    void SetUp() override {
        frame.setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    }
    CPictureWnd& wnd() { return *frame.pictureWnd(); }
    void havePicture(int w, int h) {
        GameState& s = frame.state();
        s.picture = quarters(w, h);
        s.pictureWidth = w;
        s.pictureHeight = h;
        s.flags.pictureLoaded = 1;
    }
    QString menuText() {
        for (QMenu* m : frame.commands().menus())
            emit m->aboutToShow();
        return frame.commands().menuAction(Cmd::ShowPicture)->text();
    }
    QRect clientOnScreen() {
        return QRect(frame.boardView()->mapToGlobal(QPoint(0, 0)), frame.boardView()->size());
    }
    // A mouse event with an exact screen position, as the window system delivers it while the
    // window moves under the pointer.
    static void mouse(QWidget* w, QEvent::Type type, QPoint global, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(w->mapFromGlobal(global)), QPointF(global), button, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void drag(QWidget* w, QPoint fromGlobal, QPoint toGlobal) {
        mouse(w, QEvent::MouseButtonPress, fromGlobal, Qt::LeftButton, Qt::LeftButton);
        mouse(w, QEvent::MouseMove, (fromGlobal + toGlobal) / 2, Qt::NoButton, Qt::LeftButton);
        mouse(w, QEvent::MouseMove, toGlobal, Qt::NoButton, Qt::LeftButton);
        mouse(w, QEvent::MouseButtonRelease, toGlobal, Qt::LeftButton, Qt::NoButton);
    }
};

TEST_F(PreviewTest, CreatedHiddenAtAThirdOfTheScreen) {
    EXPECT_FALSE(wnd().isVisible());
    EXPECT_FALSE(frame.preview().visible());
    EXPECT_EQ(wnd().geometry(), QRect(341, 256, 341, 256));
    EXPECT_TRUE(wnd().windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(wnd().parentWidget(), &frame); // stays with and above the main window
    EXPECT_EQ(wnd().grip(), nullptr);        // made at the first showing
}

TEST_F(PreviewTest, CommandShowsAndHidesItAndTheMenuTextFollows) {
    EXPECT_EQ(menuText(), QString::fromUtf8("Показать &Картинку\tCtrl+P"));
    havePicture(640, 480);
    ASSERT_TRUE(frame.runCommand(Cmd::ShowPicture));
    ASSERT_TRUE(wnd().isVisible());
    EXPECT_TRUE(frame.preview().visible());
    const QRect client = clientOnScreen();
    EXPECT_EQ(wnd().size(), QSize(341, 255));
    EXPECT_EQ(wnd().geometry().x() + wnd().width(), client.x() + client.width());
    EXPECT_EQ(wnd().geometry().y(), client.y());
    EXPECT_EQ(menuText(), QString::fromUtf8("Спрятать &Картинку\tCtrl+P"));
    ASSERT_NE(wnd().grip(), nullptr);
    EXPECT_EQ(wnd().grip()->geometry(), QRect(341 - 4 - 15, 255 - 4 - 15, 15, 15));
    EXPECT_EQ(wnd().grip()->property("controlId").toInt(), 107);

    ASSERT_TRUE(frame.runCommand(Cmd::ShowPicture));
    EXPECT_FALSE(wnd().isVisible());
    EXPECT_FALSE(frame.preview().visible());
    EXPECT_EQ(menuText(), QString::fromUtf8("Показать &Картинку\tCtrl+P"));
    // Hidden, it keeps its size and place.
    EXPECT_EQ(wnd().size(), QSize(341, 255));
}

TEST_F(PreviewTest, CtrlPGoesThroughTheCommand) {
    havePicture(480, 640);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(frame.boardView(), Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(frame.preview().visible());
    EXPECT_EQ(wnd().size(), QSize(192, 256));
    QTest::keyClick(frame.boardView(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(frame.preview().visible());
}

TEST_F(PreviewTest, DisabledWithoutAPicture) {
    for (QMenu* m : frame.commands().menus())
        emit m->aboutToShow();
    EXPECT_FALSE(frame.commands().menuAction(Cmd::ShowPicture)->isEnabled());
    EXPECT_FALSE(frame.runCommand(Cmd::ShowPicture));
    EXPECT_FALSE(wnd().isVisible());
}

TEST_F(PreviewTest, ShowingAgainRestoresPlaceAndProportions) {
    havePicture(200, 150);
    frame.runCommand(Cmd::ShowPicture);
    EXPECT_EQ(wnd().size(), QSize(200, 150));
    wnd().setGeometry(10, 20, 90, 300);
    frame.runCommand(Cmd::ShowPicture);
    frame.runCommand(Cmd::ShowPicture);
    const QRect client = clientOnScreen();
    EXPECT_EQ(wnd().geometry(), QRect(client.x() + client.width() - 200, client.y(), 200, 150));
}

TEST_F(PreviewTest, DiscardingTheGameWithItsPictureHidesIt) {
    havePicture(320, 200);
    frame.runCommand(Cmd::ShowPicture);
    ASSERT_TRUE(frame.preview().visible());
    frame.gameFlow().discardGame(false);
    EXPECT_TRUE(frame.preview().visible());
    frame.gameFlow().discardGame(true);
    EXPECT_FALSE(frame.preview().visible());
    EXPECT_EQ(menuText(), QString::fromUtf8("Показать &Картинку\tCtrl+P"));
    EXPECT_FALSE(frame.commands().menuAction(Cmd::ShowPicture)->isEnabled());
}

TEST_F(PreviewTest, CutKeepsLeftTopAndWidthAndTakesTheNewProportions) {
    havePicture(1000, 1000);
    wnd().setGeometry(50, 60, 300, 77);
    frame.state().pictureWidth = 640;
    frame.state().pictureHeight = 480;
    frame.preview().fitToPicture();
    EXPECT_EQ(wnd().geometry(), QRect(50, 60, 300, 225));
    EXPECT_FALSE(wnd().isVisible()); // fitting does not show it
}

TEST_F(PreviewTest, LoadingShowsItAndTheCutFitsIt) {
    QImage image = quarters(640, 480);
    const QString path = dir.filePath("p.bmp");
    ASSERT_TRUE(writeBitmapFile(path, image.convertToFormat(QImage::Format_RGB888)));
    frame.setModalRunner([&](QDialog& d) {
        if (auto* files = qobject_cast<CMyFileDialog*>(&d)) {
            files->selectFile(path);
            files->accept();
        } else {
            d.accept(); // the cut dialog as offered: 64-pixel elements, 10 x 8
        }
        return d.result();
    });
    // Shown before the load: it ends shown all the same, sized for the new picture.
    havePicture(100, 400);
    frame.runCommand(Cmd::ShowPicture);
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    ASSERT_TRUE(frame.preview().visible());
    EXPECT_EQ(wnd().size(), QSize(341, 255));
    const QRect before = wnd().geometry();

    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    ASSERT_EQ(frame.state().pictureHeight, 512);
    EXPECT_EQ(wnd().geometry(), QRect(before.topLeft(), QSize(341, 273))); // 341 / 1.25 = 272.8
}

TEST_F(PreviewTest, PaintsThePictureStretchedInsideTheBorder) {
    havePicture(200, 150);
    frame.runCommand(Cmd::ShowPicture);
    wnd().resize(408, 108); // client area 400 x 100
    const QImage shot = wnd().grab().toImage();
    ASSERT_EQ(shot.size(), QSize(408, 108));
    const QRect c = wnd().clientRect();
    EXPECT_EQ(c, QRect(4, 4, 400, 100));
    EXPECT_EQ(shot.pixelColor(c.x() + 100, c.y() + 25), QColor(200, 0, 0));
    EXPECT_EQ(shot.pixelColor(c.x() + 300, c.y() + 25), QColor(0, 200, 0));
    EXPECT_EQ(shot.pixelColor(c.x() + 100, c.y() + 75), QColor(0, 0, 200));
    EXPECT_EQ(shot.pixelColor(c.x() + 250, c.y() + 70), QColor(Qt::white));
    // Repainting at the same size reuses the scaled copy.
    const int scalings = wnd().imageCache().scalings();
    wnd().grab();
    wnd().repaint();
    EXPECT_EQ(wnd().imageCache().scalings(), scalings);
    // A new picture (as after the cut) is painted at once.
    frame.state().picture.fill(QColor(10, 20, 30));
    EXPECT_EQ(wnd().grab().toImage().pixelColor(c.x() + 100, c.y() + 25), QColor(10, 20, 30));
}

TEST_F(PreviewTest, DraggingTheInsideMovesItAndGivesTheKeyboardBack) {
    havePicture(300, 300);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.runCommand(Cmd::ShowPicture);
    const QRect start = wnd().geometry();
    // Something else took the keyboard meanwhile.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

    const QPoint from = start.topLeft() + QPoint(100, 100);
    mouse(&wnd(), QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(wnd().dragFlag(), 1);
    mouse(&wnd(), QEvent::MouseMove, from + QPoint(-30, 40), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(wnd().geometry(), start.translated(-30, 40));
    // With the right button held as well the window stays.
    mouse(&wnd(), QEvent::MouseMove, from + QPoint(-90, 90), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(wnd().geometry(), start.translated(-30, 40));
    mouse(&wnd(), QEvent::MouseMove, from + QPoint(-130, 20), Qt::NoButton, Qt::LeftButton);
    mouse(&wnd(), QEvent::MouseButtonRelease, from + QPoint(-130, 20), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(wnd().geometry(), start.translated(-130, 20));
    EXPECT_EQ(wnd().size(), start.size());
    EXPECT_EQ(wnd().dragFlag(), 0);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
    EXPECT_EQ(QApplication::focusWidget(), frame.boardView());

    // Moving the pointer afterwards without a button moves nothing.
    mouse(&wnd(), QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(wnd().geometry(), start.translated(-130, 20));
}

TEST_F(PreviewTest, BorderAndGripResizeDownToAMinimum) {
    havePicture(300, 300);
    frame.runCommand(Cmd::ShowPicture);
    const QRect start = wnd().geometry();
    // The left border: the right edge stays.
    const QPoint leftBorder = start.topLeft() + QPoint(1, 150);
    drag(&wnd(), leftBorder, leftBorder + QPoint(-50, 0));
    EXPECT_EQ(wnd().geometry(), QRect(start.x() - 50, start.y(), 350, 300));
    drag(&wnd(), wnd().geometry().topLeft() + QPoint(1, 150), wnd().geometry().topLeft() + QPoint(1000, 150));
    EXPECT_EQ(wnd().width(), CPictureWnd::minimumSide);
    EXPECT_EQ(wnd().geometry().x() + wnd().width(), start.x() + start.width());

    // The grip: bottom-right corner, top-left stays.
    wnd().setGeometry(start);
    CSizeGrip* grip = wnd().grip();
    ASSERT_NE(grip, nullptr);
    const QPoint g = grip->mapToGlobal(QPoint(7, 7));
    drag(grip, g, g + QPoint(40, -20));
    EXPECT_EQ(wnd().geometry(), QRect(start.topLeft(), QSize(340, 280)));
    EXPECT_EQ(grip->geometry().bottomRight(), wnd().clientRect().bottomRight()); // follows the corner
    const QPoint g2 = grip->mapToGlobal(QPoint(7, 7));
    drag(grip, g2, g2 - QPoint(2000, 2000));
    EXPECT_EQ(wnd().geometry(), QRect(start.topLeft(), QSize(40, 40)));
    // Shown again with the command, the proportions come back.
    frame.runCommand(Cmd::ShowPicture);
    frame.runCommand(Cmd::ShowPicture);
    EXPECT_EQ(wnd().size(), QSize(300, 300));
}

TEST_F(PreviewTest, ATinyPictureStillGetsAUsableWindowOnTheRightEdge) {
    havePicture(6, 3);
    frame.runCommand(Cmd::ShowPicture);
    const QRect client = clientOnScreen();
    EXPECT_EQ(wnd().size(), QSize(40, 40));
    EXPECT_EQ(wnd().geometry().x() + wnd().width(), client.x() + client.width());
}

TEST_F(PreviewTest, CreatingTurnedElementsLeavesItsCursorsAlone) {
    havePicture(128, 64);
    GameState& s = frame.state();
    s.cut.rotateElements = 1;
    s.cutRows = 2;
    s.cutColumns = 4;
    s.cutElementSize = 32;
    s.flags.cutDone = 1;
    frame.runCommand(Cmd::ShowPicture);
    ASSERT_TRUE(frame.runCommand(Cmd::CreateElements));
    // Nothing is turned ahead, so there is no busy time to show.
    EXPECT_NE(wnd().cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(wnd().grip()->cursor().shape(), Qt::SizeFDiagCursor);
    EXPECT_TRUE(s.hasElements());
}

} // namespace
