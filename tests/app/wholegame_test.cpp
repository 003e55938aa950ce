#include "app/savedgamecommands.h"
#include "framegame.h"
#include "game/widgets/loadgamedialog.h"
#include "app/commandtable.h"
#include "game/gamerecords.h"
#include "game/widgets/recordslistwindow.h"
#include "game/widgets/recordswindow.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "game/widgets/savegamedialog.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTreeWidget>

namespace {

// Plays a generated game to the end with the mouse alone: every element is turned upright by
// double clicks, then dragged, in picture order, to its place in a free part of the board,
// where all but the first snap to the ones already laid. At any scale of the view.
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
    QPoint origin(scatter.right + 40, 60);
    ASSERT_TRUE(g.view()->rect().contains(g.client(origin + QPoint(p.columns * s, p.rows * s))));
    const double scale = g.state().board.scale;
    for (int i = 0; i < n; ++i) {
        const QPoint target =
            origin + QPoint(p.columnOf(i) * s, p.rowOf(i) * s) + (i == 0 ? QPoint() : QPoint(2, -1));
        g.dragBody(i, target - g.body(i));
        if (i == 0 && scale != 1.0) {
            // Nothing to snap to: it lies where the pointer let go, within a view pixel.
            ASSERT_LE((g.body(0) - target).manhattanLength(), 2 * int(std::ceil(1 / scale)));
            origin += g.body(0) - target;
        }
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
    EXPECT_EQ(g.modals,
              (QStringList{QStringLiteral("congratulationWindow"), QStringLiteral("recordsWindow")}));
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

// The same game through the window zoomed out, at 50 % (Ctrl + "-" three times) and in the
// whole-table view (Z), in windows much smaller than the board: a press finds the element under the
// pointer, double clicks turn it, drags bring it where the pointer lets go and it joins.
TEST(WholeGameTest, PlayedAtHalfSizeAndInTheWholeTableView) {
    for (const bool whole : {false, true}) {
        FrameGame g(FrameGame::Options{});
        // A window small enough that the whole table needs less than half the board's size.
        g.frame.resize(whole ? 400 : 480, whole ? 330 : 400);
        g.frame.activateWindow(); // the keys are the window's shortcuts
        ASSERT_TRUE(QTest::qWaitForWindowActive(&g.frame));
        if (whole) {
            QTest::keyClick(g.window(), Qt::Key_Z);
            ASSERT_TRUE(g.frame.viewport().wholeTableShown());
            ASSERT_LT(g.state().board.scale, 0.5);
        } else {
            for (int k = 0; k < 3; ++k)
                QTest::keyClick(g.window(), Qt::Key_Minus, Qt::ControlModifier);
            ASSERT_DOUBLE_EQ(g.state().board.scale, 0.5);
        }
        for (int i = 0; i < g.puzzle().count(); ++i) {
            g.press(Qt::LeftButton, g.grabPoint(i));
            EXPECT_EQ(g.state().input.pickedElement, i) << whole;
            g.release(Qt::LeftButton, g.grabPoint(i));
        }
        playToTheEnd(g);
        expectCompleted(g);
    }
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

// The same picture and cut finished twice, the second time after a save and a load and with an
// hour in the pause window: the records window lists both times, the faster first and marked,
// and counts the time carried in the saved game but not the pause.
TEST(WholeGameTest, FinishingTwiceShowsBothTimesInOrder) {
    FrameGame g(FrameGame::Options{.rows = 2, .columns = 2, .size = 64, .rotate = true});
    QTemporaryDir saves;
    g.frame.savedGames().store().setFolder(saves.path());
    struct Shown {
        FinishReport report;
        QStringList times; // as the window's rows show them, top to bottom
        QString note;
    };
    std::vector<Shown> shown;
    g.frame.setModalRunner([&](QDialog& d) {
        g.modals << d.objectName();
        if (auto* save = qobject_cast<CSaveGameDialog*>(&d)) {
            save->edit()->setText(QStringLiteral("вторая"));
            save->save();
        } else if (auto* load = qobject_cast<CLoadGameDialog*>(&d)) {
            load->list()->setCurrentRow(0);
            load->load();
        } else if (d.objectName() == QStringLiteral("pauseWindow")) {
            g.fakes.clock.advance(3600);
        } else if (auto* records = qobject_cast<RecordsWindow*>(&d)) {
            const auto* note = records->itemAs<QLabel>(RecordsWindow::noteText);
            Shown s{records->report(), {}, note ? note->text() : QString()};
            for (int i = 0; auto* time = records->itemAs<QLabel>(RecordsWindow::firstRow + 3 * i + 1); ++i)
                s.times << time->text();
            shown.push_back(s);
        }
        return d.result();
    });

    // A records file damaged in its second line: the first is another picture's time.
    RecordStore onDisk;
    onDisk.setFolder(g.recordsFolder.path());
    const QByteArray otherTime =
        QByteArray(32, 'e') + "\t64\t2\t2\t1\t0\t1\t1\t0\t99\t2026-01-02T03:04:05Z\tsea.png\n";
    const QByteArray damaged = "[RECORDS]\n" + otherTime + "\x01\x02\n";
    {
        QFile file(onDisk.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }

    g.state().pictureName = QStringLiteral("озеро.jpg"); // as loading it from that file names it
    g.fakes.clock.advance(125);
    playToTheEnd(g);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].times, QStringList{QStringLiteral("00:02:05")});
    EXPECT_EQ(shown[0].report.elements, 4);
    // The game went on; the player is told, and the damaged file is kept as it was.
    EXPECT_TRUE(shown[0].note.contains(RecordStore::damagedFileName()));
    QFile copy(onDisk.damagedCopyPath());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), damaged);

    ASSERT_TRUE(g.frame.runCommand(Cmd::CreateElements));
    g.fakes.clock.advance(40);
    ASSERT_TRUE(g.frame.runCommand(Cmd::SaveGame));
    g.fakes.clock.advance(500); // played on, then given up for the saved game
    ASSERT_TRUE(g.frame.runCommand(Cmd::LoadGame));
    QCoreApplication::processEvents();
    ASSERT_EQ(g.state().clock.clockCarried, 40);
    EXPECT_EQ(g.state().pictureName, QString());
    ASSERT_TRUE(g.frame.runCommand(Cmd::Pause));
    g.fakes.clock.advance(20);
    playToTheEnd(g);

    ASSERT_EQ(shown.size(), 2u);
    const FinishReport& second = shown[1].report;
    // The picture read back from the saved game is known as the one cut before.
    EXPECT_EQ(second.record.key, shown[0].report.record.key);
    EXPECT_EQ(second.record.seconds, 60);
    // A saved game does not know the picture's file; the earlier time does.
    EXPECT_EQ(second.pictureName, QStringLiteral("озеро.jpg"));
    EXPECT_EQ(second.place, 0);
    EXPECT_EQ(shown[1].times, (QStringList{QStringLiteral("00:01:00"), QStringLiteral("00:02:05")}));
    EXPECT_EQ(shown[1].note, QString::fromUtf8("Новый рекорд!"));
    EXPECT_TRUE(second.written);

    ASSERT_EQ(onDisk.read(), RecordStore::ReadStatus::Read);
    EXPECT_EQ(onDisk.bestFor(second.record.key), second.best);
    EXPECT_EQ(onDisk.records().size(), 3u); // the other picture's time was kept
}

// Pause and hint from the actions menu, with their keys shown and the keys' rules; the best
// times from the game menu, of the picture on the table or, without a game, of every picture.
TEST(WholeGameTest, PauseHintAndBestTimesFromTheMenus) {
    FrameGame g(FrameGame::Options{.rows = 2, .columns = 2, .size = 64, .rotate = false});
    CommandTable& commands = g.frame.commands();
    QAction* pause = commands.menuAction(Cmd::Pause);
    QAction* hint = commands.menuAction(Cmd::Hint);
    QAction* records = commands.menuAction(Cmd::Records);
    ASSERT_TRUE(pause && hint && records);
    EXPECT_EQ(pause->text(), QString::fromUtf8("&Пауза\tPause"));
    EXPECT_EQ(hint->text(), QString::fromUtf8("По&дсказка\tH"));
    EXPECT_EQ(records->text(), QString::fromUtf8("&Рекорды..."));
    const auto refresh = [&] {
        for (QMenu* m : commands.menus())
            emit m->aboutToShow();
    };
    refresh();
    EXPECT_TRUE(pause->isEnabled());
    pause->trigger();
    EXPECT_EQ(g.modals, QStringList{QStringLiteral("pauseWindow")});
    g.state().settings.showTimer = 0; // no clock, no pause: the key does nothing either
    refresh();
    EXPECT_FALSE(pause->isEnabled());
    EXPECT_FALSE(g.frame.runCommand(Cmd::Pause));
    EXPECT_EQ(g.modals.size(), 1);

    EXPECT_TRUE(hint->isEnabled());
    hint->trigger();
    EXPECT_EQ(g.state().input.hintMode, 1);

    // One earlier time of this picture and cut, and one of another.
    RecordStore onDisk;
    onDisk.setFolder(g.recordsFolder.path());
    Record mine{recordKeyFor(g.state()), 125, 1700000000, QStringLiteral("дом.bmp")};
    Record other = mine;
    other.key.picture = QByteArray(32, 'e');
    other.pictureName = QStringLiteral("море.bmp");
    onDisk.add(mine);
    onDisk.add(other);
    ASSERT_TRUE(onDisk.write());

    std::vector<FinishReport> shown;
    std::vector<std::vector<FinishReport>> lists;
    g.frame.setModalRunner([&](QDialog& d) {
        g.modals << d.objectName();
        if (auto* window = qobject_cast<RecordsWindow*>(&d))
            shown.push_back(window->report());
        if (auto* list = qobject_cast<RecordsListWindow*>(&d)) {
            lists.push_back(list->reports());
            list->openRow(1);
        }
        return 0;
    });
    refresh();
    ASSERT_TRUE(records->isEnabled());
    records->trigger();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].finished);
    ASSERT_EQ(shown[0].best.size(), 1u);
    EXPECT_EQ(shown[0].best[0].seconds, 125);
    EXPECT_EQ(shown[0].place, -1);
    EXPECT_EQ(shown[0].elements, 4);

    g.frame.gameFlow().discardGame(true);
    records->trigger();
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(lists[0].size(), 2u);
    EXPECT_EQ(lists[0][0].pictureName, QStringLiteral("дом.bmp"));
    EXPECT_EQ(lists[0][1].pictureName, QStringLiteral("море.bmp"));
    // A line opens its own records.
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].record.key, other.key);

    // Without any records the list says so.
    QFile::remove(onDisk.path());
    records->trigger();
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_TRUE(lists[1].empty());
}

} // namespace
