#include "app/commandtable.h"
#include "app/mainframe.h"
#include "fakes.h"
#include "game/commands.h"
#include "game/widgets/myfiledialog.h"
#include "model/bmpbytes.h"
#include "model/picture.h"
#include "res/strings.h"
#include "ui/cutdialog.h"
#include "ui/skincheckbox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

// The main frame with fakes, its modal dialogs answered by the test.
class PictureCommandsTest : public testing::Test {
protected:
    FakeServices fakes;
    CMainFrame frame{fakes.services()};
    QTemporaryDir dir;
    QStringList dialogsRun;
    std::function<int(CMyFileDialog&)> onFileDialog = [](CMyFileDialog&) { return int(QDialog::Rejected); };
    std::function<int(CCutDialog&)> onCutDialog = [](CCutDialog&) { return int(QDialog::Rejected); };

    void SetUp() override {
        frame.setModalRunner([this](QDialog& dialog) {
            dialogsRun.append(QString::fromLatin1(dialog.metaObject()->className()));
            if (auto* files = qobject_cast<CMyFileDialog*>(&dialog))
                return onFileDialog(*files);
            if (auto* cut = qobject_cast<CCutDialog*>(&dialog))
                return onCutDialog(*cut);
            return int(QDialog::Rejected);
        });
    }

    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString bitmap(const QString& name, int w, int h) {
        QImage image(w, h, QImage::Format_RGB888);
        image.fill(QColor(200, 100, 50));
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeBitmapFile(path, image));
        return path;
    }
    // The player picks `path` in the file dialog and presses OK.
    void choose(const QString& path) {
        onFileDialog = [path](CMyFileDialog& d) {
            d.selectFile(path);
            d.accept();
            return d.result();
        };
    }
    // A game on the board, made from a loaded and cut picture.
    void gameUnderWay() {
        GameState& s = frame.state();
        s.picture = QImage(128, 64, QImage::Format_RGB32);
        s.picture.fill(Qt::darkGreen);
        s.pictureWidth = 128;
        s.pictureHeight = 64;
        s.cut.rotateElements = 0;
        s.cutRows = 2;
        s.cutColumns = 4;
        s.cutElementSize = 32;
        s.flags.pictureLoaded = 1;
        s.flags.cutDone = 1;
        ASSERT_TRUE(frame.runCommand(Cmd::CreateElements));
        ASSERT_TRUE(s.hasElements());
        dialogsRun.clear();
    }
    QString message32824(const QString& path) const {
        return QString::fromUtf8("Ошибка при открытии файла %1.\nНеизвестный формат.").arg(path);
    }
};

TEST_F(PictureCommandsTest, LoadingAPictureSetsTheFlagsAndTheSize) {
    frame.state().flags.cutDone = 1;
    choose(bitmap("sky.bmp", 320, 200));
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    const GameState& s = frame.state();
    EXPECT_EQ(dialogsRun, QStringList({"CMyFileDialog"}));
    EXPECT_TRUE(fakes.messages.shown.isEmpty());
    EXPECT_EQ(s.flags.pictureLoaded, 1);
    EXPECT_EQ(s.flags.cutDone, 0);
    EXPECT_EQ(s.pictureWidth, 320);
    EXPECT_EQ(s.pictureHeight, 200);
    EXPECT_EQ(s.picture.size(), QSize(320, 200));
    EXPECT_EQ(fakes.cursor.waitDepth, 0);
}

TEST_F(PictureCommandsTest, AnsweringNoChangesNothing) {
    gameUnderWay();
    const QImage before = frame.state().picture;
    fakes.messages.answers = {MessageResult::No};
    choose(bitmap("other.bmp", 50, 50));
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    ASSERT_EQ(fakes.messages.shown.size(), 1);
    EXPECT_EQ(fakes.messages.shown[0].text, QString::fromUtf8("Создать новую игру?"));
    EXPECT_EQ(fakes.messages.shown[0].kind, MessageKind::Question);
    EXPECT_EQ(fakes.messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(dialogsRun.isEmpty());
    const GameState& s = frame.state();
    EXPECT_TRUE(s.hasElements());
    EXPECT_EQ(s.puzzle.count(), 8);
    EXPECT_EQ(s.flags.pictureLoaded, 1);
    EXPECT_EQ(s.picture, before);
    EXPECT_EQ(s.pictureWidth, 128);
}

TEST_F(PictureCommandsTest, AFinishedGameIsReplacedWithoutAsking) {
    gameUnderWay();
    frame.state().flags.gameCompleted = 1;
    choose(bitmap("next.bmp", 60, 40));
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    EXPECT_TRUE(fakes.messages.shown.isEmpty());
    EXPECT_FALSE(frame.state().hasElements());
    EXPECT_EQ(frame.state().pictureWidth, 60);
}

// Yes to the question gives the game up only once a new picture has been read: cancelling the
// dialog or a file that does not read leaves the game, its picture and its clock as they were.
TEST_F(PictureCommandsTest, AGameUnderWayStaysUntilTheNewPictureIsRead) {
    gameUnderWay();
    GameState& s = frame.state();
    fakes.clock.advance(75);
    frame.gameFlow().clockTick();
    const QString clockBefore = s.clockText;
    const QImage picture = s.picture;
    const std::int64_t start = s.clock.clockStart;
    ASSERT_TRUE(frame.clockTimer().isActive());
    const auto unchanged = [&](const char* what) {
        EXPECT_TRUE(s.hasElements()) << what;
        EXPECT_EQ(s.flags.pictureLoaded, 1) << what;
        EXPECT_EQ(s.flags.cutDone, 1) << what;
        EXPECT_EQ(s.puzzle.count(), 8) << what;
        EXPECT_EQ(s.picture, picture) << what;
        EXPECT_EQ(s.clock.clockStart, start) << what;
        EXPECT_TRUE(frame.clockTimer().isActive()) << what;
        EXPECT_EQ(s.clockText, clockBefore) << what;
        // The game can still be saved and the picture cut: nothing was given up.
        EXPECT_TRUE(frame.commands().evaluate(Cmd::SaveGame).enabled) << what;
    };

    fakes.messages.answers = {MessageResult::Yes};
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    EXPECT_EQ(dialogsRun, QStringList({"CMyFileDialog"}));
    unchanged("cancelled");

    // New game: one question, and the cut and creation never run after a cancelled dialog.
    dialogsRun.clear();
    fakes.messages.shown.clear();
    fakes.messages.answers = {MessageResult::Yes};
    ASSERT_TRUE(frame.runCommand(Cmd::NewGame));
    EXPECT_EQ(fakes.messages.shown.size(), 1);
    EXPECT_EQ(dialogsRun, QStringList({"CMyFileDialog"}));
    unchanged("new game cancelled");

    fakes.messages.shown.clear();
    fakes.messages.answers = {MessageResult::Yes};
    choose(file("broken.bmp", QByteArray("BM not a picture at all")));
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    ASSERT_EQ(fakes.messages.shown.size(), 2); // the question, then what is wrong with the file
    EXPECT_EQ(fakes.messages.shown[1].buttons, MessageButtons::Ok);
    unchanged("unreadable");

    // A picture that reads replaces the game at last.
    fakes.messages.answers = {MessageResult::Yes};
    choose(bitmap("next.bmp", 60, 40));
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    EXPECT_FALSE(s.hasElements());
    EXPECT_EQ(s.pictureWidth, 60);
    EXPECT_EQ(s.flags.cutDone, 0);
    EXPECT_FALSE(frame.clockTimer().isActive());
    EXPECT_EQ(s.clockText, QStringLiteral("00:00:00"));

    // Without a game under way nothing is asked and, as always, the old picture goes at once:
    // cancelling then leaves no picture.
    fakes.messages.shown.clear();
    onFileDialog = [](CMyFileDialog&) { return int(QDialog::Rejected); };
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    EXPECT_TRUE(fakes.messages.shown.isEmpty());
    EXPECT_EQ(s.flags.pictureLoaded, 0);
    EXPECT_FALSE(frame.runCommand(Cmd::CutPicture));
}

// The cut of a game under way: after Yes the game stays through a cancelled dialog, and goes
// when the new cut is confirmed.
TEST_F(PictureCommandsTest, TheCutGivesUpAGameUnderWayOnlyOnOk) {
    gameUnderWay();
    fakes.messages.answers = {MessageResult::Yes};
    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    EXPECT_EQ(dialogsRun, QStringList({"CCutDialog"}));
    EXPECT_TRUE(frame.state().hasElements());
    EXPECT_EQ(frame.state().puzzle.count(), 8);

    onCutDialog = [](CCutDialog& d) {
        d.accept();
        return d.result();
    };
    fakes.messages.answers = {MessageResult::Yes};
    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    EXPECT_FALSE(frame.state().hasElements());
    EXPECT_EQ(frame.state().flags.cutDone, 1);
}

TEST_F(PictureCommandsTest, BadFilesGiveTheMessageWithTheirPathAndNothingElse) {
    BmpLayout hostile;
    hostile.width = 60000;
    hostile.height = 60000;
    hostile.bitsPerPixel = 32;
    QImage good(40, 30, QImage::Format_RGB888);
    good.fill(Qt::red);
    const QByteArray whole = encodeBitmapFile(good);
    const QStringList paths = {
        file("truncated.bmp", whole.left(whole.size() / 2)),
        file("hostile.bmp", makeBmp(hostile)),
        file("empty.bmp", QByteArray()),
        file("noise.bmp", QByteArray("BM\x01\x02\x03 not a header at all", 25)),
        file("photo.jpg", QByteArray("\xFF\xD8\xFF\xE0 cut short", 14)),
    };
    for (const QString& path : paths) {
        fakes.messages.shown.clear();
        frame.state().flags.pictureLoaded = 1;
        frame.state().picture = good;
        choose(path);
        ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
        ASSERT_EQ(fakes.messages.shown.size(), 1) << path.toStdString();
        const QString chosen = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
        EXPECT_EQ(fakes.messages.shown[0].text, message32824(chosen));
        EXPECT_EQ(fakes.messages.shown[0].kind, MessageKind::Plain); // no icon
        EXPECT_EQ(fakes.messages.shown[0].buttons, MessageButtons::Ok);
        // As after the discard: no picture.
        EXPECT_EQ(frame.state().flags.pictureLoaded, 0);
        EXPECT_TRUE(frame.state().picture.isNull());
        EXPECT_EQ(fakes.cursor.waitDepth, 0);
    }
}

TEST_F(PictureCommandsTest, ConfirmingTheCutScalesThePictureAndKeepsTheChoice) {
    choose(bitmap("640.bmp", 640, 480));
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    onCutDialog = [](CCutDialog& d) {
        QTest::mouseClick(d.findChild<CSkinCheckBox*>(CSkinDialog::controlName(1046)), Qt::LeftButton);
        QTest::mouseClick(d.findChild<CSkinCheckBox*>(CSkinDialog::controlName(1045)), Qt::LeftButton);
        d.accept();
        return d.result();
    };
    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    const GameState& s = frame.state();
    EXPECT_EQ(s.flags.cutDone, 1);
    EXPECT_EQ(s.pictureWidth, 640);
    EXPECT_EQ(s.pictureHeight, 512);
    EXPECT_EQ(s.picture.size(), QSize(640, 512));
    EXPECT_EQ(s.cutColumns, 10);
    EXPECT_EQ(s.cutRows, 8);
    EXPECT_EQ(s.cutElementSize, 64);
    EXPECT_EQ(s.cut.mosaic, 1);
    EXPECT_EQ(s.cut.rotateElements, 0);
    EXPECT_EQ(s.cut.irregularBase, 1);
    EXPECT_EQ(s.cut.shiftKnobs, 1);
    EXPECT_EQ(fakes.cursor.waitDepth, 0);

    // The next opening shows the cut size and the options kept.
    QString widthLabel, heightLabel;
    int preview = 0;
    onCutDialog = [&](CCutDialog& d) {
        widthLabel = d.findChild<QLabel*>(CSkinDialog::controlName(1026))->text();
        heightLabel = d.findChild<QLabel*>(CSkinDialog::controlName(1027))->text();
        preview = d.previewBitmapId();
        return int(QDialog::Rejected);
    };
    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    EXPECT_EQ(widthLabel, QString::fromUtf8("&ширина    640"));
    EXPECT_EQ(heightLabel, QString::fromUtf8("&высота   512"));
    EXPECT_EQ(preview, 317);
    EXPECT_EQ(s.flags.cutDone, 1); // cancelling kept the cut
}

// On a screen of ratio 2 (the window moved there after the program started) the cut also keeps
// the picture twice as fine, from the picture's own pixels, while every value of the cut stays
// what ratio 1 gives; a picture with no more pixels than the cut gets no finer copy, and loading
// another picture drops it.
TEST_F(PictureCommandsTest, OnAScreenOfRatioTwoTheCutKeepsTheFinerPicture) {
    GameState& s = frame.state();
    // The player cuts a large photo to 14 x 9 elements of 64 pixels.
    const auto smaller = [](CCutDialog& d) {
        for (const auto& [id, text] : {std::pair{1042, "14"}, std::pair{1039, "9"}}) {
            auto* edit = d.findChild<QLineEdit*>(CSkinDialog::controlName(id));
            edit->selectAll();
            QTest::keyClicks(edit, text);
        }
        d.accept();
        return d.result();
    };
    const auto cut = [&](const QString& picture, double ratio) {
        // The window is moved to a screen of that ratio.
        fakes.screen.ratio = ratio;
        QEvent moved(QEvent::ScreenChangeInternal);
        QCoreApplication::sendEvent(&frame, &moved);
        choose(picture);
        EXPECT_TRUE(frame.runCommand(Cmd::LoadPicture));
        EXPECT_TRUE(frame.runCommand(Cmd::CutPicture));
        return std::tuple(s.picture, s.pictureWidth, s.pictureHeight, s.cutColumns, s.cutRows,
                          s.cutElementSize);
    };
    onCutDialog = smaller;
    const QString large = bitmap("large.bmp", 3600, 2400);
    const auto atOne = cut(large, 1.0);
    EXPECT_TRUE(s.devicePicture.isNull());
    EXPECT_EQ(cut(large, 2.0), atOne);
    EXPECT_EQ(s.picture.size(), QSize(14 * 64, 9 * 64));
    EXPECT_EQ(s.devicePicture.size(), s.picture.size() * 2);
    EXPECT_EQ(s.devicePicture.pixel(5, 5), qRgb(200, 100, 50));

    // A picture cut at about its own size has no more detail to keep.
    onCutDialog = [](CCutDialog& d) {
        d.accept();
        return d.result();
    };
    cut(bitmap("small.bmp", 400, 300), 2.0);
    EXPECT_TRUE(s.devicePicture.isNull());
}

TEST_F(PictureCommandsTest, TheLastChosenSizeOpensTheNextCut) {
    choose(bitmap("p.bmp", 480, 480));
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    onCutDialog = [](CCutDialog& d) {
        auto* combo = d.findChild<QComboBox*>(CSkinDialog::controlName(1043));
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down); // 64 -> 72
        d.accept();
        return d.result();
    };
    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    EXPECT_EQ(frame.state().cutElementSize, 72);
    EXPECT_EQ(frame.state().pictureWidth, 7 * 72); // 6.67 goes up
    int size = 0;
    onCutDialog = [&](CCutDialog& d) {
        size = d.choice().elementSize;
        return int(QDialog::Rejected);
    };
    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    EXPECT_EQ(size, 72);
}

TEST_F(PictureCommandsTest, TheCutDiscardsTheGameOnlyWhenAllowed) {
    gameUnderWay();
    fakes.messages.answers = {MessageResult::No};
    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    EXPECT_TRUE(dialogsRun.isEmpty());
    EXPECT_TRUE(frame.state().hasElements());

    // A finished game goes without a question; the picture stays, and cancelling the dialog
    // does not bring the game back.
    frame.state().flags.gameCompleted = 1;
    fakes.messages.shown.clear();
    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    EXPECT_TRUE(fakes.messages.shown.isEmpty());
    EXPECT_EQ(dialogsRun, QStringList({"CCutDialog"}));
    EXPECT_FALSE(frame.state().hasElements());
    EXPECT_EQ(frame.state().flags.pictureLoaded, 1);
    EXPECT_FALSE(frame.state().picture.isNull());
}

TEST_F(PictureCommandsTest, ACutTooLargeForAPictureIsRefusedAndChangesNothing) {
    choose(bitmap("p.bmp", 100, 100));
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    // 2000 x 8 elements of 320 pixels: few enough elements, far too many pixels.
    onCutDialog = [](CCutDialog& d) {
        auto* size = d.findChild<QComboBox*>(CSkinDialog::controlName(1043));
        size->setCurrentIndex(24);
        emit size->activated(24);
        for (const auto& [id, text] : {std::pair{1039, "8"}, std::pair{1042, "2000"}}) {
            auto* edit = d.findChild<QLineEdit*>(CSkinDialog::controlName(id));
            edit->selectAll();
            QTest::keyClicks(edit, text);
        }
        d.accept();
        return d.result();
    };
    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    ASSERT_EQ(fakes.messages.shown.size(), 1);
    EXPECT_EQ(fakes.messages.shown[0].text, loadString(32829));
    EXPECT_EQ(frame.state().flags.cutDone, 0);
    EXPECT_EQ(frame.state().pictureWidth, 100);
    EXPECT_EQ(frame.state().picture.size(), QSize(100, 100));
    EXPECT_EQ(fakes.cursor.waitDepth, 0);
}

// One element more than a saved game can hold is refused in the dialog, before anything is
// stretched; the largest cut goes through.
TEST_F(PictureCommandsTest, ACutOfMoreElementsThanASaveHoldsIsRefusedInTheDialog) {
    choose(bitmap("p.bmp", 100, 100));
    ASSERT_TRUE(frame.runCommand(Cmd::LoadPicture));
    int columns = 301;
    bool stayedOpen = false;
    onCutDialog = [&](CCutDialog& d) {
        auto* size = d.findChild<QComboBox*>(CSkinDialog::controlName(1043));
        size->setCurrentIndex(0); // 16 pixels
        emit size->activated(0);
        for (const auto& [id, text] :
             {std::pair{1039, QByteArray("200")}, std::pair{1042, QByteArray::number(columns)}}) {
            auto* edit = d.findChild<QLineEdit*>(CSkinDialog::controlName(id));
            edit->selectAll();
            QTest::keyClicks(edit, QString::fromLatin1(text));
        }
        d.accept();
        stayedOpen = d.result() != QDialog::Accepted;
        if (stayedOpen)
            d.reject();
        return d.result();
    };
    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    ASSERT_EQ(fakes.messages.shown.size(), 1);
    EXPECT_EQ(fakes.messages.shown[0].text, loadString(32838).arg(60000));
    EXPECT_EQ(fakes.messages.shown[0].kind, MessageKind::Warning);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(frame.state().flags.cutDone, 0);
    EXPECT_EQ(frame.state().picture.size(), QSize(100, 100)) << "nothing was stretched";

    fakes.messages.shown.clear();
    columns = 300;
    ASSERT_TRUE(frame.runCommand(Cmd::CutPicture));
    EXPECT_TRUE(fakes.messages.shown.empty());
    EXPECT_EQ(frame.state().flags.cutDone, 1);
    EXPECT_EQ(frame.state().cutRows * frame.state().cutColumns, 60000);
    EXPECT_EQ(frame.state().picture.size(), QSize(4800, 3200));
}

TEST_F(PictureCommandsTest, NewGameRunsLoadCutAndCreateInTurn) {
    frame.state().cut.rotateElements = 0;
    choose(bitmap("new.bmp", 256, 128));
    onCutDialog = [](CCutDialog& d) {
        d.accept();
        return d.result();
    };
    ASSERT_TRUE(frame.runCommand(Cmd::NewGame));
    EXPECT_EQ(dialogsRun, QStringList({"CMyFileDialog", "CCutDialog"}));
    const GameState& s = frame.state();
    EXPECT_EQ(s.flags.cutDone, 1);
    EXPECT_TRUE(s.hasElements());
    EXPECT_EQ(s.puzzle.count(), 4 * 2);

    // A cancelled cut creates nothing.
    frame.state().flags.gameCompleted = 1;
    dialogsRun.clear();
    onCutDialog = [](CCutDialog&) { return int(QDialog::Rejected); };
    ASSERT_TRUE(frame.runCommand(Cmd::NewGame));
    EXPECT_EQ(dialogsRun, QStringList({"CMyFileDialog", "CCutDialog"}));
    EXPECT_FALSE(frame.state().hasElements());
    EXPECT_EQ(frame.state().flags.cutDone, 0);
}

} // namespace
