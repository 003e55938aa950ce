#include "app/backgroundcommands.h"
#include "app/mainframe.h"
#include "fakes.h"
#include "game/widgets/clockwindow.h"
#include "res/resources.h"
#include "ui/backgroundmenu.h"
#include "ui/mycolordialog.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

// The board shows the texture laid from the board's own origin, wherever the view is scrolled.
void expectTextureAnchoredAtOrigin(CMainFrame& frame, const QImage& texture) {
    const GameState& s = frame.state();
    const QImage tile = texture.convertToFormat(QImage::Format_RGB32);
    const QImage board = frame.renderer().boardImage(s.board.rect());
    for (int y = 0; y < s.board.boardHeight; y += 37)
        for (int x = 0; x < s.board.boardWidth; x += 41)
            ASSERT_EQ(board.pixel(x, y), tile.pixel(x % 160, y % 120)) << x << "," << y;
}

int countColour(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += QColor(image.pixel(x, y)) == colour;
    return n;
}

TEST(BackgroundCommandsTest, ATextureRepaintsTheBoardFromItsOriginAndSetsTheClockColour) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    GameState& s = frame.state();
    EXPECT_EQ(s.background.textColor, QColor(0, 0, 0)); // black on limestone at the start
    const std::pair<int, int> commands[] = {{32810, 227}, {32817, 233}, {32812, 192}};
    for (const auto& [command, bitmap] : commands) {
        frame.renderer().boardImage(s.board.rect()); // what is shown now is kept for the view
        ASSERT_TRUE(frame.runCommand(command));
        EXPECT_EQ(s.background.backgroundBitmapId, bitmap);
        expectTextureAnchoredAtOrigin(frame, loadBitmapResource(bitmap));
    }
    // Choosing the texture already shown still repaints the whole board.
    frame.renderer().boardImage(s.board.rect());
    frame.runCommand(32812);
    expectTextureAnchoredAtOrigin(frame, loadBitmapResource(192));
    EXPECT_FALSE(fakes.sound.played.contains(QStringLiteral("wave:259")));

    frame.runCommand(32816);
    EXPECT_EQ(s.background.textColor, QColor(255, 220, 156));
    // The clock face: the texture's top-left corner under text in the text colour.
    const QImage face = ClockWindow::face(s, QSize(80, 20));
    const QImage texture = loadBitmapResource(147).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(face.pixel(79, 19), texture.pixel(79, 19));
    EXPECT_EQ(face.pixel(3, 18), texture.pixel(3, 18));
    EXPECT_EQ(QColor(face.pixel(0, 5)), QColor(128, 128, 128));  // sunken edge on the left
    EXPECT_EQ(QColor(face.pixel(79, 0)), QColor(128, 128, 128)); // and along the top
    EXPECT_NE(QColor(face.pixel(79, 5)), QColor(128, 128, 128)); // not on the right
    EXPECT_GT(countColour(face, QColor(255, 220, 156)), 10);
}

TEST(BackgroundCommandsTest, SolidColourThroughTheChooserWithSharedCustomColours) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    GameState& s = frame.state();
    QColor offered;
    QString title;
    frame.setModalRunner([&](QDialog& d) {
        auto& chooser = dynamic_cast<CMyColorDialog&>(d);
        offered = chooser.currentColor();
        title = chooser.windowTitle();
        EXPECT_TRUE(chooser.testOption(QColorDialog::DontUseNativeDialog));
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(QColorDialog::customColor(i), QColor(255, 210, 136)) << i;
        chooser.setCurrentColor(QColor(128, 128, 128));
        return int(QDialog::Accepted);
    });
    frame.runCommand(32820);
    EXPECT_EQ(offered, QColor(125, 125, 0));
    EXPECT_EQ(title, QStringLiteral("Выберите Цвет Фона"));
    EXPECT_EQ(s.background.bitmapBackground, 0);
    EXPECT_EQ(s.background.backgroundColor, QColor(128, 128, 128));
    EXPECT_EQ(s.background.textColor, QColor(0, 0, 0));
    EXPECT_EQ(QColor(frame.renderer().boardImage(s.board.rect()).pixel(700, 500)), QColor(128, 128, 128));
    EXPECT_EQ(QColor(ClockWindow::face(s, QSize(80, 20)).pixel(40, 1)), QColor(0, 0, 0)); // inner sunken edge

    // Cancel changes nothing; a texture keeps the colour for the next time.
    frame.setModalRunner([&](QDialog& d) {
        offered = dynamic_cast<QColorDialog&>(d).currentColor();
        dynamic_cast<QColorDialog&>(d).setCurrentColor(Qt::blue);
        return int(QDialog::Rejected);
    });
    frame.runCommand(32814);
    frame.runCommand(32820);
    EXPECT_EQ(offered, QColor(128, 128, 128));
    EXPECT_EQ(s.background.bitmapBackground, 1);
    EXPECT_EQ(s.background.backgroundColor, QColor(128, 128, 128));
}

TEST(BackgroundCommandsTest, CtrlBOpensTheWoodenMenuCentredOnTheWindow) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.show();
    CBackgroundMenu* menu = frame.backgrounds().menu();
    const QRect window = frame.frameGeometry();
    const QPoint centre((2 * window.left() + window.width()) / 2, (2 * window.top() + window.height()) / 2);
    EXPECT_EQ(frame.backgrounds().popupPosition(),
              QPoint(centre.x() - menu->sizeHint().width() / 2, centre.y() - 220));
    frame.runCommand(32779);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(fakes.sound.played, QList<QString>{QStringLiteral("wave:219")});
    // Its items reach the frame as the menu bar's do.
    menu->actions()[0]->trigger();
    EXPECT_EQ(frame.state().background.backgroundBitmapId, 227);
    menu->hide();
}

} // namespace
