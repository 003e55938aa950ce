#include "app/commandtable.h"
#include "app/savedgamecommands.h"
#include "filebytes.h"
#include "framegame.h"
#include "game/savedgame.h"
#include "game/savedgamesupport.h"
#include "game/widgets/loadgamedialog.h"
#include "game/widgets/savedgamesummarypanel.h"
#include "game/widgets/savegamedialog.h"
#include "model/devicepicture.h"
#include "model/picture.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <thread>

namespace {

// A frame with a game and a store in a folder of its own; the dialogs are driven by scripts.
struct SavedGamesTest : ::testing::Test {
    QTemporaryDir dir;
    std::unique_ptr<FrameGame> game;
    // What to do in the next save dialog: type this name and press Save.
    std::deque<QString> typedNames;
    // Which entry to pick in the next load dialog (-1: none), or cancel it.
    int loadRow = 0;
    bool cancelLoad = false;
    std::function<void(CLoadGameDialog&)> inspectLoad;
    QStringList dialogs;

    void SetUp() override { start(FrameGame::Options{.rows = 3, .columns = 4, .size = 32, .rotate = true}); }

    void start(const FrameGame::Options& options) {
        game = std::make_unique<FrameGame>(options);
        store().setFolder(dir.path());
        frame().setModalRunner([this](QDialog& d) { return drive(d); });
    }

    int drive(QDialog& d) {
        dialogs << d.objectName();
        if (auto* save = qobject_cast<CSaveGameDialog*>(&d)) {
            if (!typedNames.empty()) {
                save->edit()->setText(typedNames.front());
                typedNames.pop_front();
                save->save();
            }
            if (save->result() != QDialog::Accepted)
                save->reject();
            return save->result();
        }
        if (auto* load = qobject_cast<CLoadGameDialog*>(&d)) {
            if (inspectLoad)
                inspectLoad(*load);
            if (cancelLoad) {
                load->reject();
                return load->result();
            }
            if (loadRow >= 0)
                load->list()->setCurrentRow(loadRow);
            load->load();
            return load->result();
        }
        return 0;
    }

    CMainFrame& frame() { return game->frame; }
    GameState& state() { return game->state(); }
    SavedGameStore& store() { return frame().savedGames().store(); }
    FakeServices& fakes() { return game->fakes; }
    QStringList messages() const {
        QStringList texts;
        for (const auto& m : game->fakes.messages.shown)
            texts << m.text;
        return texts;
    }
    bool save(const QString& name) {
        typedNames.push_back(name);
        return frame().runCommand(Cmd::SaveGame);
    }
    bool load(int row = 0) {
        loadRow = row;
        const bool underWay = state().gameUnderWay();
        const qsizetype before = fakes().messages.shown.size();
        const bool ran = frame().runCommand(Cmd::LoadGame);
        // With a game under way F3 asks first (answered Yes); what follows is the test's.
        if (ran && underWay) {
            EXPECT_GT(fakes().messages.shown.size(), before);
            if (fakes().messages.shown.size() > before) {
                EXPECT_EQ(fakes().messages.shown[before].text, loadString(Str::LoadGameQuestion));
                fakes().messages.shown.removeAt(before);
            }
        }
        QCoreApplication::processEvents();
        return ran;
    }
    QByteArray snapshot() { return formatSavedGame(state(), 0); }
    static QString withPath(int id, const QString& path) {
        return loadString(id).replace(QLatin1String("%s"), QDir::toNativeSeparators(path));
    }
};

TEST_F(SavedGamesTest, LoadingRestoresTheSavedGameAndTheClockGoesOn) {
    ASSERT_GT(joinRows(state(), 6), 0);
    state().settings.captureArea = 9;
    state().background.bitmapBackground = 0;
    state().background.backgroundColor = QColor(0, 90, 0);
    state().background.textColor = QColor(255, 255, 255);
    fakes().clock.advance(100);
    ASSERT_TRUE(save(QStringLiteral("Первая")));
    ASSERT_TRUE(QFile::exists(store().gamePath(QStringLiteral("Первая"))));
    ASSERT_TRUE(QFile::exists(store().picturePath(QStringLiteral("Первая"))));
    EXPECT_EQ(readAll(store().indexPath()),
              QByteArray("[SAVED GAMES]\r\n") + QStringLiteral("Первая").toUtf8() + "\r\n");
    const QByteArray saved = snapshot();
    EXPECT_EQ(state().clock.clockCarried, 100);

    // Play on: move an element, change a setting and the background, let time pass.
    Puzzle& p = state().puzzle;
    const Rect moved = p.element(0).cellRect.translated(40, 40);
    p.setCellRect(0, moved);
    state().settings.captureArea = 2;
    state().background.bitmapBackground = 1;
    fakes().clock.advance(500);
    ASSERT_NE(snapshot(), saved);

    ASSERT_TRUE(load());
    EXPECT_EQ(snapshot(), saved);
    EXPECT_EQ(state().gameName, QStringLiteral("Первая"));
    EXPECT_EQ(state().settings.captureArea, 9);
    EXPECT_EQ(state().background.bitmapBackground, 0);
    EXPECT_EQ(state().background.backgroundColor, QColor(0, 90, 0));
    EXPECT_TRUE(state().puzzle.blocks.isConsistent());
    EXPECT_TRUE(state().hasElements());
    EXPECT_EQ(state().flags.pictureLoaded, 1);
    EXPECT_FALSE(state().picture.isNull());
    for (int i = 0; i < p.count(); ++i)
        EXPECT_FALSE(p.boardRegions[i].isEmpty()) << i;
    EXPECT_TRUE(frame().clockTimer().isActive());
    fakes().clock.advance(30);
    EXPECT_EQ(frame().gameFlow().elapsedText(), QStringLiteral("00:02:10"));
}

// The chosen game's files are read ahead while the dialog shows it; a file replaced after that
// is read as it is when the game is loaded.
TEST_F(SavedGamesTest, AGameReplacedAfterItWasChosenIsReadAsItIsNow) {
    ASSERT_TRUE(save(QStringLiteral("g")));
    state().puzzle.setCellRect(1, state().puzzle.element(1).cellRect.translated(32, 0));
    ASSERT_TRUE(save(QStringLiteral("h")));
    const QByteArray second = snapshot();
    state().puzzle.setCellRect(1, state().puzzle.element(1).cellRect.translated(0, 32));
    const QString pzs = store().gamePath(QStringLiteral("g"));
    for (const bool replace : {false, true}) {
        inspectLoad = [&](CLoadGameDialog& d) {
            d.list()->setCurrentRow(0);
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            if (!replace)
                return;
            const QString copy = pzs + QStringLiteral(".new");
            ASSERT_TRUE(QFile::copy(store().gamePath(QStringLiteral("h")), copy));
            ASSERT_EQ(::rename(QFile::encodeName(copy).constData(), QFile::encodeName(pzs).constData()), 0);
        };
        ASSERT_TRUE(load(0));
        EXPECT_EQ(snapshot() == second, replace);
        EXPECT_EQ(state().gameName, QStringLiteral("g"));
        state().puzzle.setCellRect(1, state().puzzle.element(1).cellRect.translated(0, 32));
    }
}

TEST_F(SavedGamesTest, GameWithoutTurningStartsAtOnce) {
    start(FrameGame::Options{.rows = 2, .columns = 3, .size = 32, .rotate = false});
    ASSERT_TRUE(save(QStringLiteral("flat")));
    const QByteArray saved = snapshot();
    state().puzzle.setCellRect(1, state().puzzle.element(1).cellRect.translated(5, 0));
    frame().setModalRunner([this](QDialog& d) { return drive(d); });
    ASSERT_TRUE(frame().runCommand(Cmd::LoadGame));
    EXPECT_EQ(snapshot(), saved);
}

TEST_F(SavedGamesTest, LoadCommandIsEnabledOnlyWithSavedGames) {
    EXPECT_FALSE(frame().commands().evaluate(Cmd::LoadGame).enabled);
    ASSERT_TRUE(save(QStringLiteral("one")));
    EXPECT_TRUE(frame().commands().evaluate(Cmd::LoadGame).enabled);
    store().deleteGame(QStringLiteral("one"));
    EXPECT_FALSE(frame().commands().evaluate(Cmd::LoadGame).enabled);
}

TEST_F(SavedGamesTest, DamagedFilesAreRefusedAndTheGameOnTheBoardStays) {
    ASSERT_TRUE(save(QStringLiteral("g")));
    const QString pzs = store().gamePath(QStringLiteral("g"));
    const QString bmp = store().picturePath(QStringLiteral("g"));
    const QByteArray good = readAll(pzs);
    const QByteArray goodPicture = readAll(bmp);
    state().puzzle.setCellRect(2, state().puzzle.element(2).cellRect.translated(64, 0));
    const QByteArray current = snapshot();

    struct Damage {
        const char* what;
        QByteArray text;
        QByteArray picture;
        int message;
        QString path;
    };
    const std::vector<Damage> damages = {
        {"truncated", good.left(good.size() / 2), goodPicture, 32825, pzs},
        {"garbage numbers", QByteArray(good).replace("[MAINFRAME]\r\n0 0", "[MAINFRAME]\r\nx y"), goodPicture,
         32825, pzs},
        {"N mismatch", QByteArray(good).replace("[GLOBALS]\r\n3 4", "[GLOBALS]\r\n4 4"), goodPicture, 32825,
         pzs},
        {"unknown format", QByteArray(good).replace("[GLOBALS]", "[GLOBAL]"), goodPicture, 32824, pzs},
        {"picture of another size", good,
         [] {
             QByteArray b;
             QBuffer buffer(&b);
             buffer.open(QIODevice::WriteOnly);
             QImage(10, 10, QImage::Format_RGB32).save(&buffer, "BMP");
             return b;
         }(),
         32825, pzs},
        {"picture not a picture", good, "BM garbage", 32824, bmp},
        {"picture missing", good, QByteArray(), 32824, bmp},
        {"text missing", QByteArray(), goodPicture, 32825, pzs},
    };
    for (const Damage& d : damages) {
        QFile::remove(pzs);
        QFile::remove(bmp);
        if (std::string(d.what) != "text missing") {
            ASSERT_NO_FATAL_FAILURE(writeAll(pzs, d.text));
        }
        if (std::string(d.what) != "picture missing") {
            ASSERT_NO_FATAL_FAILURE(writeAll(bmp, d.picture));
        }
        fakes().messages.shown.clear();
        ASSERT_TRUE(load()) << d.what;
        ASSERT_EQ(messages().size(), 1) << d.what;
        EXPECT_EQ(messages()[0], withPath(d.message, d.path)) << d.what;
        EXPECT_EQ(snapshot(), current) << d.what << ": the game on the board is untouched";
        EXPECT_TRUE(state().hasElements());
        EXPECT_FALSE(state().picture.isNull());
    }
}

// Games a player makes and the layout example load through F3: a join between differently
// turned elements (tolerant assembly), a block whose lines mark members with another digit, and
// the example of the layout with its own picture.
TEST_F(SavedGamesTest, EveryKindOfSaveLoadsThroughF3) {
    Puzzle& p = state().puzzle;
    int a = -1, b = -1;
    for (int i = 0; i < p.count() && a < 0; ++i)
        for (int j = 0; j < p.count() && a < 0; ++j)
            if (p.element(i).orientation != p.element(j).orientation && joinPair(state(), i, j, true))
                a = i, b = j;
    ASSERT_GE(a, 0) << "no differently turned pair with fitting sides";
    ASSERT_TRUE(save(QStringLiteral("turned")));
    const QByteArray turned = snapshot();
    p.setCellRect(a, p.element(a).cellRect.translated(30, 0));
    fakes().messages.shown.clear();
    ASSERT_TRUE(load());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(snapshot(), turned);
    EXPECT_TRUE(state().puzzle.blocks.sameBlock(a, b));

    // The same game with the block's first line marked by 2s: the same block.
    const QString pzs = store().gamePath(QStringLiteral("turned"));
    QByteArray text = readAll(pzs);
    const QByteArray line = state().puzzle.blocks.membershipLine(a);
    const qsizetype at = text.indexOf("\r\n" + line + "\r\n");
    ASSERT_GT(at, 0);
    text.replace(at + 2, line.size(), QByteArray(line).replace('1', '2'));
    ASSERT_NO_FATAL_FAILURE(writeAll(pzs, text));
    ASSERT_TRUE(load());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(snapshot(), turned);

    // The layout example, written by hand with a picture of its size.
    ASSERT_NO_FATAL_FAILURE(writeAll(store().gamePath(QStringLiteral("example")), crlf(kLayoutExample)));
    ASSERT_TRUE(writeBitmapFile(store().picturePath(QStringLiteral("example")), coordinatePicture(128, 64)));
    store().readIndex();
    store().appendName(QStringLiteral("example"));
    ASSERT_TRUE(store().writeIndex());
    ASSERT_TRUE(load(1));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(state().puzzle.count(), 2);
    EXPECT_EQ(state().puzzle.element(1).orientation, 2);
    EXPECT_EQ(state().clock.clockCarried, 205);
    EXPECT_EQ(snapshot(), crlf(kLayoutExample));
}

// Files of a few bytes that claim huge games, far elements or overlapping blocks are refused
// with the program's message and change nothing; a huge stored board is clamped, not taken.
TEST_F(SavedGamesTest, HostileFilesAreRefusedOrBounded) {
    ASSERT_TRUE(save(QStringLiteral("g")));
    const QString pzs = store().gamePath(QStringLiteral("g"));
    const QByteArray good = readAll(pzs);
    const QByteArray current = snapshot();
    const qsizetype firstBody = good.indexOf('\n', good.indexOf('\n') + 1) + 1;
    const QByteArray firstBodyLine = good.mid(firstBody, good.indexOf('\r', firstBody) - firstBody);
    QByteArray overlapping = good;
    overlapping.replace(overlapping.indexOf("\r\n000", overlapping.indexOf("[ELEMENTS]")) + 2, 12,
                        "111111111111");

    const std::vector<std::pair<const char*, QByteArray>> hostile = {
        {"more elements than any cut", "[GLOBALS]\r\n128 129\r\n"},
        {"ten thousand elements in a few bytes", "[GLOBALS]\r\n100 100\r\n"},
        {"a row of the largest cut in a few bytes", "[GLOBALS]\r\n1 16384\r\n"},
        {"the largest game in the compact form in a few bytes", "[GLOBALS 2]\r\n200 300\r\n"},
        {"an element far beyond any board",
         QByteArray(good).replace(firstBodyLine, "5000000 5000000 5000032 5000032")},
        {"blocks that overlap", overlapping},
    };
    for (const auto& [what, text] : hostile) {
        ASSERT_NO_FATAL_FAILURE(writeAll(pzs, text));
        fakes().messages.shown.clear();
        ASSERT_TRUE(load()) << what;
        EXPECT_EQ(messages(), QStringList{withPath(32825, pzs)}) << what;
        EXPECT_EQ(snapshot(), current) << what;
    }

    ASSERT_NO_FATAL_FAILURE(
        writeAll(pzs, QByteArray(good).replace("[MAINFRAME]\r\n0 0\r\n0 0\r\n1024 768",
                                               "[MAINFRAME]\r\n0 0\r\n0 0\r\n2147483647 32768")));
    ASSERT_NE(readAll(pzs), good);
    fakes().messages.shown.clear();
    ASSERT_TRUE(load());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(state().board.rect().size(), QSize(2048, 1536)) << "twice the screen, no more";
}

// A loaded game is under way at once, its clock at the time the file holds however long ago
// the game was saved, and going on from the load.
TEST_F(SavedGamesTest, ALoadedGameStartsAtOnceWithAConsistentClock) {
    fakes().clock.advance(4000);
    ASSERT_TRUE(save(QStringLiteral("clock")));
    const std::int32_t saved = state().clock.clockCarried;
    ASSERT_EQ(saved, 4000);
    // Much later, with the old game's clock start long gone.
    fakes().clock.advance(86400 * 400);
    loadRow = 0;
    ASSERT_TRUE(frame().runCommand(Cmd::LoadGame));
    EXPECT_TRUE(frame().commands().evaluate(Cmd::Pause).enabled);
    EXPECT_TRUE(frame().commands().evaluate(Cmd::SaveGame).enabled);
    EXPECT_EQ(state().clock.clockCarried, saved) << "exactly what the file held";
    EXPECT_EQ(state().clock.elapsed(fakes().clock.nowSeconds()), saved);
    // The game can be played straight away.
    const QByteArray loaded = snapshot();
    game->drag(1, QPoint(40, 30));
    EXPECT_NE(snapshot(), loaded);

    fakes().clock.advance(50);
    EXPECT_EQ(frame().gameFlow().elapsedText(), QStringLiteral("01:07:30"));
    fakes().clock.advance(20);
    ASSERT_TRUE(save(QStringLiteral("clock")));
    EXPECT_EQ(state().clock.clockCarried, saved + 70);
}

TEST_F(SavedGamesTest, TenGamesRefuseAnEleventhAndAskBeforeReplacing) {
    for (int k = 0; k < 10; ++k)
        store().appendName(QStringLiteral("game %1").arg(k));
    ASSERT_TRUE(store().writeIndex());
    fakes().messages.shown.clear();

    EXPECT_TRUE(save(QStringLiteral("eleventh")));
    ASSERT_EQ(messages(), QStringList{loadString(32822)});
    EXPECT_EQ(fakes().messages.shown[0].kind, MessageKind::Information);
    EXPECT_FALSE(QFile::exists(store().gamePath(QStringLiteral("eleventh"))));

    // Another spelling of a listed name: asked, refused, then agreed.
    fakes().messages.shown.clear();
    fakes().messages.answers = {MessageResult::No};
    save(QStringLiteral("GAME 3"));
    EXPECT_EQ(messages(), QStringList{loadString(32823)});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "only the index";

    fakes().messages.answers = {MessageResult::Yes};
    save(QStringLiteral("GAME 3"));
    EXPECT_TRUE(QFile::exists(store().gamePath(QStringLiteral("game 3")))) << "saved under the listed name";
    EXPECT_FALSE(QFile::exists(store().gamePath(QStringLiteral("GAME 3"))));
    store().readIndex();
    EXPECT_EQ(store().names().size(), 10);
    EXPECT_EQ(store().names().at(3), QStringLiteral("game 3"));
}

TEST_F(SavedGamesTest, NamesWithPathsAreRefused) {
    for (const char* bad : {"../escape", "a/b", "..", "sub\\dir"}) {
        fakes().messages.shown.clear();
        save(QString::fromUtf8(bad));
        EXPECT_EQ(messages(), QStringList{loadString(Str::BadGameName)}) << bad;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(), 0);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("../escape.pzs"))));
}

// A game cut on a screen of ratio 2 keeps its finer picture in a file of its own; the described
// files are the very bytes a screen of ratio 1 writes. The copy travels with the game through a
// load and a save on a screen of ratio 1 and back; a copy that belongs to another picture is left
// unused, a save without one leaves none behind, and deleting the game removes it.
TEST_F(SavedGamesTest, TheFinerPictureTravelsBesideTheDescribedFiles) {
    const QSize logical = state().picture.size();
    ASSERT_TRUE(save(QStringLiteral("one")));
    EXPECT_FALSE(QFile::exists(store().devicePicturePath(QStringLiteral("one"))));

    const QImage finer =
        makeDevicePicture(coordinatePicture(logical.width() * 3, logical.height() * 3), logical, 2.0);
    ASSERT_EQ(finer.size(), logical * 2);
    state().devicePicture = finer;
    ASSERT_TRUE(save(QStringLiteral("two")));
    EXPECT_EQ(readAll(store().picturePath(QStringLiteral("two"))),
              readAll(store().picturePath(QStringLiteral("one"))));
    EXPECT_EQ(readAll(store().gamePath(QStringLiteral("two"))),
              readAll(store().gamePath(QStringLiteral("one"))));
    ASSERT_TRUE(QFile::exists(store().devicePicturePath(QStringLiteral("two"))));

    // On a screen of ratio 1: loaded, saved again, loaded back.
    state().deviceRatio = 1.0;
    state().devicePicture = QImage();
    ASSERT_TRUE(load(1));
    EXPECT_EQ(state().devicePicture, finer);
    ASSERT_TRUE(save(QStringLiteral("three")));
    state().devicePicture = QImage();
    ASSERT_TRUE(load(2));
    EXPECT_EQ(state().gameName, QStringLiteral("three"));
    EXPECT_EQ(state().devicePicture, finer);
    ASSERT_TRUE(load(0));
    EXPECT_TRUE(state().devicePicture.isNull());

    // Another picture's copy beside a game is not taken for its own.
    state().picture.setPixel(0, 0, qRgb(1, 2, 3));
    ASSERT_TRUE(save(QStringLiteral("other")));
    ASSERT_TRUE(QFile::copy(store().devicePicturePath(QStringLiteral("two")),
                            store().devicePicturePath(QStringLiteral("other"))));
    fakes().messages.shown.clear();
    ASSERT_TRUE(load(3));
    EXPECT_EQ(state().gameName, QStringLiteral("other"));
    EXPECT_TRUE(state().devicePicture.isNull());
    EXPECT_TRUE(messages().isEmpty());

    // Saved again without one, a name keeps no stale copy; deleted, it keeps none at all.
    ASSERT_TRUE(load(1));
    state().devicePicture = QImage();
    fakes().messages.answers = {MessageResult::Yes};
    ASSERT_TRUE(save(QStringLiteral("two")));
    EXPECT_FALSE(QFile::exists(store().devicePicturePath(QStringLiteral("two"))));
    store().deleteGame(QStringLiteral("three"));
    EXPECT_FALSE(QFile::exists(store().devicePicturePath(QStringLiteral("three"))));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.dib*")}, QDir::Files),
              QStringList{QStringLiteral("other.hd.dib")});
}

TEST_F(SavedGamesTest, AFailedSaveKeepsTheOldSave) {
    ASSERT_TRUE(save(QStringLiteral("keep")));
    const QByteArray oldText = readAll(store().gamePath(QStringLiteral("keep")));
    const QByteArray oldPicture = readAll(store().picturePath(QStringLiteral("keep")));
    state().puzzle.setCellRect(0, state().puzzle.element(0).cellRect.translated(10, 10));

    // The text file cannot be put in place: a folder stands where it would be written.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("keep.pzs.new")));
    fakes().messages.shown.clear();
    fakes().messages.answers = {MessageResult::Yes};
    save(QStringLiteral("keep"));
    EXPECT_EQ(messages(), (QStringList{loadString(32823), loadString(32826)}));
    EXPECT_EQ(readAll(store().gamePath(QStringLiteral("keep"))), oldText);
    EXPECT_EQ(readAll(store().picturePath(QStringLiteral("keep"))), oldPicture);
    store().readIndex();
    EXPECT_EQ(store().names(), QStringList{QStringLiteral("keep")});

    // A new name that fails is not listed.
    fakes().messages.shown.clear();
    store().setPictureWriter([](QIODevice&, const QImage&) { return false; });
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("fresh.bmp.new")));
    save(QStringLiteral("fresh"));
    EXPECT_EQ(messages(), QStringList{loadString(32826)});
    EXPECT_EQ(store().names(), QStringList{QStringLiteral("keep")});
    EXPECT_TRUE(frame().commands().evaluate(Cmd::LoadGame).enabled);
}

TEST_F(SavedGamesTest, SaveDialogFollowsTypingAndSelection) {
    for (const char* name : {"alpha", "beta"})
        store().appendName(QString::fromUtf8(name));
    store().writeIndex();
    CSaveGameDialog dialog(store(), fakes().messages, &frame());
    dialog.ensureInitialized();
    QWidget* saveButton = dialog.item(CSaveGameDialog::saveButton);
    QWidget* deleteButton = dialog.item(CSaveGameDialog::deleteButton);
    EXPECT_EQ(dialog.list()->count(), 2);
    EXPECT_TRUE(dialog.list()->selectedItems().isEmpty());
    EXPECT_FALSE(saveButton->isEnabled());
    EXPECT_FALSE(deleteButton->isEnabled());

    dialog.edit()->setText(QStringLiteral("BETA"));
    EXPECT_TRUE(saveButton->isEnabled());
    EXPECT_TRUE(deleteButton->isEnabled());
    EXPECT_EQ(dialog.list()->currentRow(), 1);
    EXPECT_EQ(dialog.edit()->text(), QStringLiteral("BETA")) << "the typed text stays as typed";

    dialog.edit()->setText(QStringLiteral("gamma"));
    EXPECT_TRUE(dialog.list()->selectedItems().isEmpty());
    EXPECT_FALSE(deleteButton->isEnabled());

    dialog.list()->setCurrentRow(0);
    EXPECT_EQ(dialog.edit()->text(), QStringLiteral("alpha"));
    dialog.edit()->clear();
    EXPECT_FALSE(saveButton->isEnabled());

    // Delete takes effect at once, whatever becomes of the dialog.
    save(QStringLiteral("alpha"));
    ASSERT_TRUE(QFile::exists(store().gamePath(QStringLiteral("alpha"))));
    dialog.list()->setCurrentRow(0);
    dialog.deleteSelected();
    EXPECT_EQ(dialog.list()->count(), 1);
    EXPECT_TRUE(dialog.edit()->text().isEmpty());
    EXPECT_FALSE(deleteButton->isEnabled());
    EXPECT_FALSE(QFile::exists(store().gamePath(QStringLiteral("alpha"))));
    store().readIndex();
    EXPECT_EQ(store().names(), QStringList{QStringLiteral("beta")});
    dialog.reject();
}

// An index line that is no game's name (here a path out of the folder) is shown as damaged and
// never followed: loading it says so and leaves the board, the save dialog can only delete it,
// and deleting it touches nothing outside the folder.
TEST_F(SavedGamesTest, ADamagedIndexEntryIsShownAndNeverFollowed) {
    const QString folder = dir.filePath(QStringLiteral("data/Save"));
    ASSERT_TRUE(QDir().mkpath(folder));
    store().setFolder(folder);
    const QString entry = QStringLiteral("../../victim");
    for (const char* suffix : {".bmp", ".pzs"})
        ASSERT_NO_FATAL_FAILURE(
            writeAll(dir.filePath(QStringLiteral("victim") + QLatin1String(suffix)), "precious"));
    ASSERT_NO_FATAL_FAILURE(writeAll(store().indexPath(), "[SAVED GAMES]\r\n" + entry.toUtf8() + "\r\n"));
    ASSERT_TRUE(save(QStringLiteral("good")));
    const QByteArray current = snapshot();
    fakes().messages.shown.clear();
    ASSERT_TRUE(load(0));
    EXPECT_EQ(messages(), QStringList{loadString(Str::CannotLoadDamagedEntry).arg(entry)});
    EXPECT_EQ(snapshot(), current);

    CLoadGameDialog loadDialog(store(), &frame());
    loadDialog.ensureInitialized();
    ASSERT_EQ(loadDialog.list()->count(), 2);
    EXPECT_EQ(loadDialog.list()->item(0)->text(), loadString(Str::DamagedGameEntry).arg(entry));
    EXPECT_EQ(loadDialog.list()->item(1)->text(), QStringLiteral("good"));
    loadDialog.reject();

    CSaveGameDialog dialog(store(), fakes().messages, &frame());
    dialog.ensureInitialized();
    dialog.list()->setCurrentRow(0);
    EXPECT_FALSE(dialog.item(CSaveGameDialog::saveButton)->isEnabled());
    EXPECT_TRUE(dialog.item(CSaveGameDialog::deleteButton)->isEnabled());
    EXPECT_TRUE(dialog.edit()->text().isEmpty());
    dialog.deleteSelected();
    dialog.reject();
    for (const char* suffix : {".bmp", ".pzs"})
        EXPECT_EQ(readAll(dir.filePath(QStringLiteral("victim") + QLatin1String(suffix))),
                  QByteArray("precious"));
    store().readIndex();
    EXPECT_EQ(store().names(), QStringList{QStringLiteral("good")});
    EXPECT_EQ(fakes().messages.shown.size(), 1) << "deleting a damaged entry asks and reports nothing";
}

// F3 with a game under way asks first. No keeps the game without a dialog; after Yes the game
// and its clock stay as they were through a cancelled dialog or a game that does not read, and
// give way only to a game read whole.
TEST_F(SavedGamesTest, F3AsksFirstAndTheGameStaysUntilTheChosenGameIsRead) {
    ASSERT_TRUE(save(QStringLiteral("kept")));
    ASSERT_TRUE(save(QStringLiteral("broken")));
    ASSERT_NO_FATAL_FAILURE(writeAll(store().gamePath(QStringLiteral("broken")), "[GLOBALS]\r\n3 4\r\n"));
    Puzzle& p = state().puzzle;
    p.setCellRect(0, p.element(0).cellRect.translated(25, 0));
    fakes().clock.advance(40);
    const QByteArray current = snapshot();
    const std::int64_t start = state().clock.clockStart;
    const auto unchanged = [&](const char* what) {
        EXPECT_EQ(snapshot(), current) << what;
        EXPECT_EQ(state().clock.clockStart, start) << what;
        EXPECT_TRUE(frame().clockTimer().isActive()) << what;
        EXPECT_TRUE(state().hasElements()) << what;
    };

    dialogs.clear();
    fakes().messages.shown.clear();
    fakes().messages.answers = {MessageResult::No};
    ASSERT_TRUE(frame().runCommand(Cmd::LoadGame));
    EXPECT_EQ(messages(), QStringList{loadString(Str::LoadGameQuestion)});
    EXPECT_EQ(fakes().messages.shown[0].kind, MessageKind::Question);
    EXPECT_EQ(fakes().messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(dialogs.isEmpty());
    unchanged("No");

    cancelLoad = true;
    ASSERT_TRUE(load());
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("CLoadGameDialog")});
    unchanged("cancelled");

    cancelLoad = false;
    fakes().messages.shown.clear();
    ASSERT_TRUE(load(1));
    EXPECT_EQ(messages().size(), 1); // what is wrong with the file, after the question
    unchanged("damaged");

    ASSERT_TRUE(load(0));
    EXPECT_NE(snapshot(), current);
    EXPECT_EQ(state().gameName, QStringLiteral("kept"));

    // A finished game is given up without a question.
    state().flags.gameCompleted = 1;
    fakes().messages.shown.clear();
    ASSERT_TRUE(frame().runCommand(Cmd::LoadGame));
    EXPECT_TRUE(messages().isEmpty());
}

// Beside the list, the selected game: its picture, elements, joins, clock and date; a damaged
// game gets a short notice, and the list goes on working past it.
TEST_F(SavedGamesTest, TheLoadDialogSummarisesTheSelectedGame) {
    ASSERT_GT(joinRows(state(), 3), 0);
    int joined = 0;
    for (int i = 0; i < state().puzzle.count(); ++i)
        joined += !state().puzzle.element(i).alone();
    fakes().clock.advance(3723);
    ASSERT_TRUE(save(QStringLiteral("whole")));
    ASSERT_TRUE(save(QStringLiteral("damaged")));
    const QString damaged = store().gamePath(QStringLiteral("damaged"));
    const QByteArray text = readAll(damaged);
    ASSERT_NO_FATAL_FAILURE(writeAll(damaged, text.left(text.size() - 40)));

    QStringList seen;
    inspectLoad = [&](CLoadGameDialog& d) {
        SavedGameSummaryPanel* panel = d.summary();
        ASSERT_NE(panel, nullptr);
        EXPECT_TRUE(panel->isVisibleTo(&d));
        // Beside the list, not over it.
        EXPECT_GE(panel->geometry().left(), d.list()->geometry().right());
        EXPECT_EQ(d.list()->currentRow(), 0);
        seen << panel->elementsText() << panel->joinedText() << panel->clockText() << panel->noticeText();
        EXPECT_TRUE(panel->savedText().startsWith(QString::fromUtf8("Сохранена: ")));
        ASSERT_NE(panel->pictureLabel()->pixmap().isNull(), true);
        EXPECT_EQ(panel->pictureLabel()->pixmap().size(), QSize(128, 96));
        d.list()->setCurrentRow(1);
        seen << panel->noticeText() << panel->elementsText();
        EXPECT_TRUE(panel->pictureLabel()->pixmap().isNull());
        d.list()->setCurrentRow(0);
        seen << panel->elementsText();
    };
    cancelLoad = true;
    ASSERT_TRUE(load());
    EXPECT_EQ(seen, QStringList({QString::fromUtf8("Элементов: 12 (3 × 4)"),
                                 QString::fromUtf8("Соединено: %1").arg(joined),
                                 QString::fromUtf8("Время: 01:02:03"), QString(),
                                 QString::fromUtf8("Игра повреждена,\nее нельзя загрузить."), QString(),
                                 QString::fromUtf8("Элементов: 12 (3 × 4)")}));
}

} // namespace
