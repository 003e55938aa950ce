#include "app/framegame.h"
#include "game/commands.h"
#include "game/widgets/clockwindow.h"
#include "board/referencetable.h"
#include "model/elementpainter.h"
#include "ui/mycolordialog.h"
#include "ui/settingsdialog.h"
#include "ui/skincheckbox.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A game on the board whose modal runner plays the player's part in the settings dialog and
// in the colour chooser it opens.
struct SettingsGame : FrameGame {
    std::function<void(CSettingsDialog&)> inSettings;
    QColor colourToChoose; // invalid: the chooser is cancelled
    int choosers = 0;
    QString chooserTitle;

    explicit SettingsGame(const Options& o = Options{}) : FrameGame(o) {
        frame.setModalRunner([this](QDialog& d) {
            modals << d.objectName();
            if (auto* chooser = qobject_cast<CMyColorDialog*>(&d)) {
                ++choosers;
                chooserTitle = chooser->windowTitle();
                if (!colourToChoose.isValid())
                    return int(QDialog::Rejected);
                chooser->setCurrentColor(colourToChoose);
                return int(QDialog::Accepted);
            }
            auto* settings = qobject_cast<CSettingsDialog*>(&d);
            if (!settings)
                return 0;
            settings->show();
            QApplication::processEvents();
            if (inSettings)
                inSettings(*settings);
            settings->hide();
            return settings->result();
        });
    }

    static void type(CSettingsDialog& d, int id, const QString& text) {
        QLineEdit* field = d.itemAs<QLineEdit>(id);
        field->selectAll();
        field->insert(text);
    }
    static void click(CSettingsDialog& d, int id) {
        QTest::mouseClick(d.itemAs<QAbstractButton>(id), Qt::LeftButton);
    }

    std::vector<QRegion> regions() { return puzzle().boardRegions.toVector(); }
    // A pixel of element i's outline band on the board, and one of its picture.
    QPoint bandPixel(int i) {
        const Element& e = puzzle().element(i);
        const QRegion band =
            puzzle().boardRegions[i].subtracted(e.innerRegion.translated(e.cellRect.left, e.cellRect.top));
        return band.isEmpty() ? QPoint(-1, -1) : band.begin()->topLeft();
    }
};

TEST(SettingsCommandTest, ANewThicknessResizesEveryElementAndRedrawsTheBoard) {
    SettingsGame g;
    const Geometry& geo = g.puzzle().geometry;
    ASSERT_EQ(geo.bitmapSize, geo.cellSize + 4);
    const std::vector<Rect> bodies = g.puzzle().bodyRects;
    g.inSettings = [](CSettingsDialog& d) {
        SettingsGame::type(d, CSettingsDialog::thicknessEdit, QStringLiteral("1"));
        SettingsGame::click(d, 1);
    };
    ASSERT_TRUE(g.frame.runCommand(Cmd::Settings));
    EXPECT_TRUE(g.modals.contains("dialog158"));
    EXPECT_EQ(g.state().settings.outlineThickness, 1);
    EXPECT_EQ(geo.bitmapSize, geo.cellSize + 1);
    EXPECT_EQ(g.puzzle().bodyRects, bodies);
    EXPECT_EQ(g.fakes.cursor.waitDepth, 0);
    for (int i = 0; i < g.puzzle().count(); ++i) {
        const Element& e = g.puzzle().element(i);
        EXPECT_EQ(e.cellRect.width(), geo.bitmapSize);
        EXPECT_EQ(g.puzzle().boardRegions[i], e.outerRegion.translated(e.cellRect.left, e.cellRect.top)) << i;
    }
    // One element on the board: its band in the outline colour, its picture inside, and the
    // one-pixel band ends where the four-pixel one used to go on.
    const Element& e = g.puzzle().element(7);
    const QImage board = g.frame.renderer().boardImage(g.state().board.rect());
    const QImage bitmap =
        referenceBitmap(e, g.puzzle(), referenceTurns(g.state().picture), g.state().settings.outlineColor);
    ASSERT_EQ(bitmap.size(), QSize(geo.bitmapSize, geo.bitmapSize));
    const QPoint band = g.bandPixel(7);
    ASSERT_NE(band, QPoint(-1, -1));
    EXPECT_EQ(board.pixel(band), g.state().settings.outlineColor.rgb());
    const QPoint inside(g.puzzle().bodyRects[7].left + 10, g.puzzle().bodyRects[7].top + 10);
    EXPECT_EQ(board.pixel(inside), bitmap.pixel(inside - QPoint(e.cellRect.left, e.cellRect.top)));
    EXPECT_EQ(board.pixel(inside),
              referenceTurns(g.state().picture)[e.orientation].pixel(
                  inside - QPoint(e.cellRect.left, e.cellRect.top) +
                  sourcePoint(e.orientation, 7, g.puzzle().rows, g.puzzle().columns, geo)));
}

TEST(SettingsCommandTest, ANewColourRepaintsTheBitmapsOnlyAndStaysAfterCancel) {
    SettingsGame g;
    const std::vector<QRegion> regions = g.regions();
    const Settings before = g.state().settings;
    // A background pixel far from every element stays the background.
    const QPoint far(g.state().board.boardWidth - 2, g.state().board.boardHeight - 2);
    const QRgb farPixel = g.frame.renderer().boardImage(g.state().board.rect()).pixel(far);
    g.colourToChoose = QColor(200, 0, 0);
    g.inSettings = [](CSettingsDialog& d) {
        SettingsGame::type(d, CSettingsDialog::captureEdit, QStringLiteral("9"));
        SettingsGame::click(d, CSettingsDialog::colorButton);
        EXPECT_TRUE(d.isVisible());
        SettingsGame::click(d, 2);
    };
    ASSERT_TRUE(g.frame.runCommand(Cmd::Settings));
    EXPECT_EQ(g.choosers, 1);
    EXPECT_EQ(g.chooserTitle, QString::fromUtf8("Выберите Цвет Контура"));
    EXPECT_EQ(g.state().settings.outlineColor, QColor(200, 0, 0));
    EXPECT_EQ(g.state().settings.captureArea, before.captureArea); // the rest was cancelled
    EXPECT_EQ(g.state().settings.outlineThickness, before.outlineThickness);
    EXPECT_EQ(g.regions(), regions);
    const QImage board = g.frame.renderer().boardImage(g.state().board.rect());
    EXPECT_EQ(board.pixel(far), farPixel);
    for (int i = 0; i < g.puzzle().count(); ++i) {
        const QPoint band = g.bandPixel(i);
        ASSERT_NE(band, QPoint(-1, -1));
        EXPECT_EQ(board.pixel(band), qRgb(200, 0, 0)) << i;
    }
    // The shared table of custom colours starts light orange.
    EXPECT_EQ(QColorDialog::customColor(15), QColor(255, 210, 136));

    // Cancelling the chooser changes nothing.
    g.colourToChoose = QColor();
    ASSERT_TRUE(g.frame.runCommand(Cmd::Settings));
    EXPECT_EQ(g.choosers, 2);
    EXPECT_EQ(g.state().settings.outlineColor, QColor(200, 0, 0));
}

TEST(SettingsCommandTest, CancelChangesNothing) {
    SettingsGame g;
    const Settings before = g.state().settings;
    const std::vector<QRegion> regions = g.regions();
    const QImage board = g.frame.renderer().boardImage(g.state().board.rect());
    const int redraws = g.frame.renderer().redraws();
    g.inSettings = [](CSettingsDialog& d) {
        SettingsGame::type(d, CSettingsDialog::thicknessEdit, QStringLiteral("2"));
        SettingsGame::type(d, CSettingsDialog::keySpeedEdit, QStringLiteral("7"));
        for (int id : {1050, 1052, 1053, 1054})
            SettingsGame::click(d, id);
        SettingsGame::click(d, 2);
    };
    ASSERT_TRUE(g.frame.runCommand(Cmd::Settings));
    EXPECT_EQ(g.state().settings, before);
    EXPECT_EQ(g.regions(), regions);
    EXPECT_EQ(g.frame.renderer().redraws(), redraws);
    EXPECT_EQ(g.frame.renderer().boardImage(g.state().board.rect()), board);
    EXPECT_TRUE(g.frame.clockWindow()->isVisible());
}

TEST(SettingsCommandTest, TheDialogHidesAndShowsTheClock) {
    SettingsGame g;
    ASSERT_TRUE(g.frame.clockWindow()->isVisible());
    const QImage board = g.frame.renderer().boardImage(g.state().board.rect());
    const int redraws = g.frame.renderer().redraws();
    g.inSettings = [](CSettingsDialog& d) {
        SettingsGame::click(d, CSettingsDialog::timerBox);
        SettingsGame::click(d, 1);
    };
    ASSERT_TRUE(g.frame.runCommand(Cmd::Settings));
    EXPECT_EQ(g.state().settings.showTimer, 0);
    EXPECT_FALSE(g.frame.clockWindow()->isVisible());
    EXPECT_FALSE(g.frame.clockTimer().isActive());
    // No redraw for the clock alone.
    EXPECT_EQ(g.frame.renderer().redraws(), redraws);
    EXPECT_EQ(g.frame.renderer().boardImage(g.state().board.rect()), board);

    ASSERT_TRUE(g.frame.runCommand(Cmd::Settings));
    EXPECT_EQ(g.state().settings.showTimer, 1);
    EXPECT_TRUE(g.frame.clockWindow()->isVisible());
    EXPECT_TRUE(g.frame.clockTimer().isActive());
}

TEST(SettingsCommandTest, SquareMosaicKeepsExactAssembly) {
    SettingsGame::Options o;
    o.mosaic = true;
    o.squareBase = true;
    SettingsGame g(o);
    ASSERT_EQ(g.state().settings.exactAssembly, 1);
    g.inSettings = [](CSettingsDialog& d) {
        SettingsGame::click(d, CSettingsDialog::exactBox);
        SettingsGame::click(d, 1);
    };
    ASSERT_TRUE(g.frame.runCommand(Cmd::Settings));
    ASSERT_EQ(g.fakes.messages.shown.size(), 1);
    EXPECT_EQ(g.fakes.messages.shown[0].kind, MessageKind::Information);
    EXPECT_EQ(g.state().settings.exactAssembly, 1);
}

} // namespace
