#include "game/widgets/congratulationwindow.h"
#include "game/widgets/pausewindow.h"
#include "game/widgets/recordswindow.h"
#include "ui/progressdialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(PauseWindowTest, PauseEnterAndEscapeCloseIt) {
    for (const Qt::Key key : {Qt::Key_Pause, Qt::Key_Return, Qt::Key_Escape}) {
        PauseWindow window;
        window.open();
        ASSERT_TRUE(window.isVisible());
        QTest::keyClick(&window, Qt::Key_A);
        EXPECT_TRUE(window.isVisible());
        QTest::keyClick(&window, key);
        EXPECT_FALSE(window.isVisible()) << key;
        EXPECT_EQ(window.result(), QDialog::Rejected);
    }
}

TEST(PauseWindowTest, ShowsPauseInLightOrangeOnStripes) {
    PauseWindow window;
    window.ensureInitialized();
    EXPECT_EQ(window.size(), QSize(188, 37)); // 125 x 23 dialog units
    const QImage shot = window.grab().toImage();
    int label = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            label += QColor(shot.pixel(x, y)) == QColor(255, 210, 136);
    EXPECT_GT(label, 50);
}

// The fullest window: ten times, a time not among them, a long name and both notes. Everything
// lies inside it, one below the other, and OK, Enter or Escape closes it.
TEST(RecordsWindowTest, EverythingFitsAndTheUsualKeysClose) {
    FinishReport report;
    report.record.key = RecordKey{QByteArray(32, 'a'), 320, 128, 128, 1, 1, 0, 0, 1};
    report.record.seconds = 360000;
    report.elements = 16384;
    report.pictureName = QString(200, QLatin1Char('x')) + QStringLiteral(".jpg");
    for (int i = 0; i < RecordStore::maxPerKey; ++i)
        report.best.push_back(Record{report.record.key, 1000 + i, 1767323045 + i, {}});
    report.damaged = true;
    report.written = false;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        RecordsWindow window(report);
        window.open();
        ASSERT_TRUE(window.isVisible());
        int below = 0;
        for (int id : {RecordsWindow::pictureText, RecordsWindow::timeText, RecordsWindow::elementsText,
                       RecordsWindow::cutText, RecordsWindow::firstRow, RecordsWindow::firstRow + 27,
                       RecordsWindow::noteText, 1}) {
            const QWidget* w = window.item(id);
            ASSERT_NE(w, nullptr) << id;
            EXPECT_TRUE(window.rect().contains(w->geometry())) << id;
            EXPECT_GE(w->y(), below) << id;
            below = w->geometry().bottom();
        }
        EXPECT_EQ(window.itemAs<QLabel>(RecordsWindow::timeText)->text(), QStringLiteral("100:00:00"));
        QTest::keyClick(&window, key);
        EXPECT_FALSE(window.isVisible()) << key;
        EXPECT_EQ(window.result(), key == Qt::Key_Escape ? QDialog::Rejected : QDialog::Accepted);
    }
}

TEST(CongratulationWindowTest, OnlyTheLetteringIsOpaque) {
    CongratulationWindow window;
    const QImage& image = window.image();
    ASSERT_EQ(image.size(), QSize(234, 65));
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) == 255;
    EXPECT_GT(opaque, 500);
    EXPECT_LT(opaque, 234 * 65 / 2);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    // The window is shaped to the letters, so it needs no compositor to show what lies behind.
    EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(window.mask().isEmpty());
}

TEST(CongratulationWindowTest, AnyKeyButCtrlOrAClickClosesIt) {
    {
        CongratulationWindow window;
        window.open();
        QTest::keyClick(&window, Qt::Key_Control);
        EXPECT_TRUE(window.isVisible());
        QTest::keyClick(&window, Qt::Key_Space);
        EXPECT_FALSE(window.isVisible());
    }
    {
        CongratulationWindow window;
        window.open();
        QTest::mouseClick(&window, Qt::RightButton);
        EXPECT_FALSE(window.isVisible());
    }
}

TEST(ProgressDialogTest, BlocksPercentAndTheOwnerDisabledMeanwhile) {
    QWidget owner;
    owner.show();
    {
        CProgressDialog progress(&owner);
        EXPECT_FALSE(owner.isEnabled());
        progress.begin(0, 38, 2);
        progress.setPosition(0);
        EXPECT_EQ(progress.blocksDrawn(), 1);
        progress.setPosition(14);
        EXPECT_EQ(progress.percentText(), QStringLiteral("36%"));
        EXPECT_EQ(progress.blocksDrawn(), 2); // one block per call at most
        for (int p = 15; p < 38; ++p)
            progress.setPosition(p);
        EXPECT_EQ(progress.blocksDrawn(), 19);
        progress.end();
    }
    EXPECT_TRUE(owner.isEnabled());
}

} // namespace
