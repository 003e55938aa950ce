#include "fakes.h"
#include "filebytes.h"
#include "game/autosave.h"
#include "game/savedgamestore.h"
#include "game/savedgamesupport.h"
#include "model/cutsupport.h"
#include "model/devicepicture.h"
#include "model/picture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

QByteArray snapshotBytes(const SavedGame& game) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writeSavedGameTo(buffer, game));
    return bytes;
}

// Reads the newest generation back as the program would, picture and text checked together,
// the picture's fingerprint too.
std::optional<SavedGame> readBack(const AutosaveStore& store, QImage* picture = nullptr) {
    const auto files = store.latest();
    if (!files)
        return std::nullopt;
    const SavedGameFiles read =
        readSavedGameFiles(files->picture, files->game, !files->pictureFingerprint.isEmpty());
    if (!read.picture.ok() || read.error != SavedGameError::None ||
        !pictureFitsSavedGame(read.game, read.picture.picture) ||
        read.pictureFingerprint != files->pictureFingerprint)
        return std::nullopt;
    if (picture)
        *picture = read.picture.picture;
    return read.game;
}

} // namespace

// The snapshot the background writer works from writes the very bytes the game's own writer
// does, and reads back to the same play, for games with and without joins and turns.
TEST(AutosaveSnapshot, WritesWhatTheGameWritesAndReadsBack) {
    for (const auto& [rows, columns, rotate, joins] :
         {std::tuple{1, 1, false, 0}, std::tuple{3, 4, false, 5}, std::tuple{5, 6, true, 12}}) {
        auto s = generatedGame(rows, columns, rotate);
        joinRows(*s, joins);
        s->settings.captureArea = 9;
        s->background.bitmapBackground = 0;
        s->clock.clockCarried = 4000;
        const SavedGame snapshot = savedGameSnapshot(*s, 1, 4000);
        const QByteArray bytes = snapshotBytes(snapshot);
        EXPECT_EQ(bytes, formatSavedGame(*s, 1));
        SavedGame read;
        ASSERT_EQ(parseSavedGame(bytes, read), SavedGameError::None);
        EXPECT_TRUE(samePlay(read, snapshot));
        EXPECT_EQ(read.clockCarried(), 4000);
    }
}

TEST(AutosaveSnapshot, SamePlayIgnoresOnlyTheClock) {
    auto s = generatedGame(3, 3, true);
    const SavedGame a = savedGameSnapshot(*s, 0, 10);
    EXPECT_TRUE(samePlay(a, savedGameSnapshot(*s, 0, 9999)));
    s->puzzle.element(4).orientation = (s->puzzle.element(4).orientation + 1) % 4;
    EXPECT_FALSE(samePlay(a, savedGameSnapshot(*s, 0, 10)));
    auto t = generatedGame(3, 3, true);
    std::swap(t->puzzle.stackOrder[0], t->puzzle.stackOrder[1]);
    EXPECT_FALSE(samePlay(a, savedGameSnapshot(*t, 0, 10)));
    joinRows(*t, 1);
    EXPECT_FALSE(
        samePlay(savedGameSnapshot(*t, 0, 10), savedGameSnapshot(*generatedGame(3, 3, true), 0, 10)));
}

// A disk that fills up at any point of a write keeps the autosave before it whole: its picture
// and its text still belong together, nothing half written is left, and the next write that
// fits replaces it.
TEST(AutosaveStore, AFailedWriteAnywhereKeepsThePreviousGame) {
    QTemporaryDir dir;
    AutosaveStore store(dir.path() + QStringLiteral("/Autosave"));
    auto first = generatedGame(2, 3, false, 32, 1);
    auto second = generatedGame(4, 5, true, 48, 2);
    const SavedGame a = savedGameSnapshot(*first, 0, 60);
    const SavedGame b = savedGameSnapshot(*second, 0, 120);
    ASSERT_TRUE(store.write(a, first->picture, {QStringLiteral("утро"), QStringLiteral("a.png")}));

    // The second game's four files: its picture, its text in the compact form, two empty names
    // and the picture's name ("picture-2.bmp") with its fingerprint.
    const qint64 total = encodeBitmapFile(second->picture).size() +
                         formatSavedGame(b, SavedGameForm::Compact).size() + 2 + 14 + 17;
    for (qint64 limit : {qint64(0), qint64(1), qint64(53), total / 3, total / 2, total - 1}) {
        store.setDiskLimit(limit);
        EXPECT_FALSE(store.write(b, second->picture, {})) << limit;
        QImage picture;
        const std::optional<SavedGame> kept = readBack(store, &picture);
        ASSERT_TRUE(kept) << limit;
        EXPECT_TRUE(samePlay(*kept, a)) << limit;
        EXPECT_EQ(picture.size(), first->picture.size());
        EXPECT_EQ(AutosaveStore::readNames(store.latest()->names).gameName, QStringLiteral("утро"));
        EXPECT_EQ(QDir(store.folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1)
            << "what the failed write began is gone";
    }
    store.setDiskLimit(-1);
    ASSERT_TRUE(store.write(b, second->picture, {}));
    const std::optional<SavedGame> replaced = readBack(store);
    ASSERT_TRUE(replaced);
    EXPECT_TRUE(samePlay(*replaced, b));
    EXPECT_EQ(replaced->clockCarried(), 120);
    EXPECT_EQ(QDir(store.folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);

    store.discard();
    EXPECT_FALSE(store.latest());
}

// The picture is written once per game: later generations hold the state alone and name the
// picture file, which stays until no generation names it. A state-only write that fails keeps
// the generation before it, picture and all; a new game's picture replaces the old one.
TEST(AutosaveStore, StateOnlyGenerationsNameThePictureWrittenOnce) {
    QTemporaryDir dir;
    AutosaveStore store(dir.path() + QStringLiteral("/Autosave"));
    qint64 pictureBytes = 0, allBytes = 0;
    store.setStepHook([&](DurableFiles::Step step, const QString& path, qint64 bytes) {
        if (step == DurableFiles::Step::Write) {
            allBytes += bytes;
            pictureBytes += path.endsWith(QStringLiteral(".bmp")) ? bytes : 0;
        }
        return DurableFiles::Outcome::Go;
    });
    const auto pictures = [&] {
        return QDir(store.folder()).entryList({QStringLiteral("*.bmp")}, QDir::Files);
    };
    auto s = generatedGame(4, 5, true, 32, 3);
    const QImage& picture = s->picture;
    const auto first = store.write(savedGameSnapshot(*s, 0, 10), picture, {});
    ASSERT_TRUE(first);
    EXPECT_EQ(pictureBytes, encodeBitmapFile(picture).size());
    EXPECT_EQ(pictures(), QStringList{first->name});

    std::optional<AutosaveStore::PictureFile> kept = first;
    for (int round = 0; round < 3; ++round) {
        joinRows(*s, 2 + round);
        s->puzzle.element(round).orientation = (s->puzzle.element(round).orientation + 1) % 4;
        const SavedGame state = savedGameSnapshot(*s, 0, 20 + round);
        pictureBytes = allBytes = 0;
        kept = store.write(state, picture, {QStringLiteral("g"), QString()}, kept);
        ASSERT_TRUE(kept);
        EXPECT_EQ(*kept, *first);
        EXPECT_EQ(pictureBytes, 0) << "only the state";
        EXPECT_LT(allBytes, formatSavedGame(state, SavedGameForm::Compact).size() + 64);
        const std::optional<SavedGame> read = readBack(store);
        ASSERT_TRUE(read);
        EXPECT_TRUE(samePlay(*read, state));
        EXPECT_EQ(read->clockCarried(), 20 + round);
        EXPECT_EQ(QDir(store.folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
        EXPECT_EQ(pictures(), QStringList{first->name});
    }
    const SavedGame last = *readBack(store);
    store.setDiskLimit(100);
    EXPECT_FALSE(store.write(savedGameSnapshot(*s, 0, 99), picture, {}, kept));
    store.setDiskLimit(-1);
    ASSERT_TRUE(readBack(store));
    EXPECT_EQ(readBack(store)->clockCarried(), last.clockCarried());
    EXPECT_EQ(pictures(), QStringList{first->name});

    auto other = generatedGame(2, 3, false, 32, 4);
    const auto second = store.write(savedGameSnapshot(*other, 0, 5), other->picture, {});
    ASSERT_TRUE(second);
    EXPECT_NE(second->name, first->name) << "a picture's name never comes back for another one";
    EXPECT_EQ(pictures(), QStringList{second->name});
    EXPECT_TRUE(samePlay(*readBack(store), savedGameSnapshot(*other, 0, 5)));
    store.discard();
    EXPECT_TRUE(pictures().isEmpty());
}

// A game cut on a high-DPI screen keeps its finer picture once, as its picture: later
// generations name it without writing it again, and it goes with its picture.
TEST(AutosaveStore, TheFinerPictureIsKeptOnceBesideThePicture) {
    QTemporaryDir dir;
    AutosaveStore store(dir.path() + QStringLiteral("/Autosave"));
    qint64 deviceWrites = 0;
    store.setStepHook([&](DurableFiles::Step step, const QString& path, qint64) {
        deviceWrites += step == DurableFiles::Step::Write && path.endsWith(QStringLiteral(".hd.dib"));
        return DurableFiles::Outcome::Go;
    });
    auto s = generatedGame(3, 4, true, 32, 5);
    const QImage finer = makeDevicePicture(coordinatePicture(4 * 32 * 2, 3 * 32 * 2), s->picture.size(), 2.0);
    ASSERT_FALSE(finer.isNull());
    auto kept = store.write(savedGameSnapshot(*s, 0, 1), s->picture, {}, std::nullopt, finer);
    ASSERT_TRUE(kept);
    const auto readDevice = [&] {
        const auto files = store.latest();
        return files ? readDevicePicture(files->devicePicture, s->picture.size(), files->pictureFingerprint)
                     : QImage();
    };
    EXPECT_EQ(readDevice(), finer);
    const qint64 firstWrites = deviceWrites;
    EXPECT_GT(firstWrites, 0);
    kept = store.write(savedGameSnapshot(*s, 0, 2), s->picture, {}, kept, finer);
    ASSERT_TRUE(kept);
    EXPECT_EQ(deviceWrites, firstWrites) << "written once a game";
    EXPECT_EQ(readDevice(), finer);

    // Another game, without one: the earlier game's copy goes with its picture.
    auto other = generatedGame(2, 3, false, 32, 6);
    ASSERT_TRUE(store.write(savedGameSnapshot(*other, 0, 3), other->picture, {}));
    EXPECT_TRUE(readDevice().isNull());
    EXPECT_TRUE(QDir(store.folder()).entryList({QStringLiteral("*.hd.dib")}, QDir::Files).isEmpty());
    ASSERT_TRUE(store.write(savedGameSnapshot(*s, 0, 4), s->picture, {}, std::nullopt, finer));
    store.discard();
    EXPECT_TRUE(QDir(store.folder()).entryList(QDir::Files).filter(QStringLiteral("picture")).isEmpty());
}

// A state is used only with the picture it names: a picture file that is not the one written
// (replaced, damaged), or a reference that does not read, refuses the generation; a generation
// of an earlier version, its picture beside its text, still reads.
TEST(AutosaveStore, AStateWhosePictureDoesNotMatchIsRefused) {
    QTemporaryDir dir;
    AutosaveStore store(dir.path() + QStringLiteral("/Autosave"));
    auto s = generatedGame(3, 4, false, 32, 5);
    const SavedGame game = savedGameSnapshot(*s, 0, 30);
    ASSERT_TRUE(store.write(game, s->picture, {}));
    const AutosaveStore::Files files = *store.latest();
    ASSERT_TRUE(readBack(store));
    const QByteArray good = readAll(files.picture);
    QImage changed = s->picture.copy();
    changed.setPixel(5, 5, qRgb(1, 2, 3));
    writeAll(files.picture, encodeBitmapFile(changed));
    EXPECT_FALSE(readBack(store)) << "another picture of the same size";
    writeAll(files.picture, good);
    ASSERT_TRUE(readBack(store));
    const QString reference = QFileInfo(files.game).path() + QStringLiteral("/picture.txt");
    writeAll(reference, "../../elsewhere.bmp\n" + files.pictureFingerprint + "\n");
    EXPECT_FALSE(readBack(store));
    EXPECT_EQ(store.latest()->picture, reference);

    const QString earlier = store.folder() + QStringLiteral("/9");
    ASSERT_TRUE(QDir().mkpath(earlier));
    writeAll(earlier + QStringLiteral("/game.bmp"), good);
    writeAll(earlier + QStringLiteral("/game.pzs"), formatSavedGame(game, SavedGameForm::Described));
    writeAll(earlier + QStringLiteral("/names.txt"), "\n\n");
    ASSERT_TRUE(readBack(store));
    EXPECT_TRUE(store.latest()->pictureFingerprint.isEmpty());
    EXPECT_TRUE(samePlay(*readBack(store), game));
}

TEST(AutosaveStore, NamesBesideTheGameAreCheckedWhenRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("names.txt"));
    const auto namesOf = [&](const QByteArray& bytes) {
        writeAll(path, bytes);
        return AutosaveStore::readNames(path);
    };
    EXPECT_EQ(namesOf("Моя игра\nsunset.jpg\n"), (AutosaveNames{QStringLiteral("Моя игра"), "sunset.jpg"}));
    EXPECT_EQ(namesOf("../../etc\nok.png\n"), (AutosaveNames{QString(), "ok.png"}));
    EXPECT_EQ(namesOf("a\n" + QByteArray(300, 'x') + "\n"), (AutosaveNames{"a", QString()}));
    EXPECT_EQ(namesOf(QByteArray("x\x01y\nb\x7f\n", 8)), AutosaveNames{});
    EXPECT_EQ(AutosaveStore::readNames(dir.filePath(QStringLiteral("missing"))), AutosaveNames{});
}

// The background refresh: never more often than its interval, only when the play changed, and
// not at all without a game under way, whose autosave then goes.
TEST(Autosave, RefreshesOnlyWhenDueAndChanged) {
    QTemporaryDir dir;
    FakeClock clock;
    auto s = generatedGame(3, 4, true);
    s->clock.start(clock.seconds);
    Autosave autosave(*s, clock);
    ASSERT_TRUE(autosave.open(dir.path()));
    EXPECT_FALSE(autosave.refresh()) << "nothing before tracking begins";
    autosave.startTracking();

    EXPECT_TRUE(autosave.refresh());
    autosave.waitForWrite();
    ASSERT_TRUE(autosave.store().latest());
    const std::int64_t interval = autosave.schedule().interval();
    clock.advance(interval - 1);
    s->puzzle.element(0).orientation = (s->puzzle.element(0).orientation + 1) % 4;
    EXPECT_FALSE(autosave.refresh()) << "changed, but too soon";
    clock.advance(1);
    EXPECT_TRUE(autosave.refresh());
    autosave.waitForWrite();
    EXPECT_EQ(readBack(autosave.store())->elements[0].orientation, s->puzzle.element(0).orientation);
    EXPECT_EQ(readBack(autosave.store())->clockCarried(), interval);

    clock.advance(interval * 3);
    EXPECT_FALSE(autosave.refresh()) << "only the clock moved";
    s->puzzle.element(1).orientation = (s->puzzle.element(1).orientation + 1) % 4;
    EXPECT_TRUE(autosave.refresh());
    EXPECT_FALSE(autosave.refresh()) << "one write at a time";
    autosave.waitForWrite();
    EXPECT_EQ(autosave.writesStarted(), 3);

    bool building = true;
    autosave.setHoldBack([&building] { return building; });
    s->puzzle.element(1).orientation = (s->puzzle.element(1).orientation + 3) % 4;
    clock.advance(interval);
    EXPECT_FALSE(autosave.refresh()) << "not while a game is half made";
    building = false;
    EXPECT_TRUE(autosave.refresh());
    autosave.waitForWrite();

    s->flags.gameCompleted = 1;
    clock.advance(interval);
    EXPECT_FALSE(autosave.refresh());
    EXPECT_FALSE(autosave.store().latest()) << "a finished game leaves nothing to continue";
}

// The clock the autosave carries: the time played when it is written, the pause not counted.
TEST(Autosave, CarriesThePlayedTimeAtTheMomentOfWriting) {
    QTemporaryDir dir;
    FakeClock clock;
    auto s = generatedGame(2, 2, false);
    s->clock.start(clock.seconds, 100);
    Autosave autosave(*s, clock);
    ASSERT_TRUE(autosave.open(dir.path()));
    autosave.startTracking();
    clock.advance(50);
    s->clock.carry(clock.seconds); // the pause window opens
    clock.advance(3600);
    ASSERT_TRUE(autosave.writeNow());
    EXPECT_EQ(readBack(autosave.store())->clockCarried(), 150);
    EXPECT_EQ(s->clock.clockCarried, 150) << "the game's own clock is left alone";
}

// The next run continues the game from the autosave: the disk holds it already, and from then on
// only its state is written, naming the picture the earlier run wrote.
TEST(Autosave, AContinuedGameWritesOnlyItsState) {
    QTemporaryDir dir;
    FakeClock clock;
    {
        auto s = generatedGame(3, 4, true);
        joinRows(*s, 3);
        Autosave first(*s, clock);
        ASSERT_TRUE(first.open(dir.path()));
        first.startTracking();
        ASSERT_TRUE(first.writeNow());
    }
    const auto files = AutosaveStore(dir.path()).latest();
    ASSERT_TRUE(files);
    const SavedGameFiles read = readSavedGameFiles(files->picture, files->game, true);
    ASSERT_EQ(read.error, SavedGameError::None);
    ASSERT_EQ(read.pictureFingerprint, files->pictureFingerprint);
    auto t = installedGame(read.game, read.picture.picture);
    Autosave next(*t, clock);
    ASSERT_TRUE(next.open(dir.path()));
    ASSERT_TRUE(next.interrupted());
    next.continueFrom(*next.interrupted());
    next.startTracking();
    qint64 pictureBytes = 0;
    next.store().setStepHook([&](DurableFiles::Step step, const QString& path, qint64 bytes) {
        pictureBytes +=
            step == DurableFiles::Step::Write && path.endsWith(QStringLiteral(".bmp")) ? bytes : 0;
        return DurableFiles::Outcome::Go;
    });
    EXPECT_FALSE(next.refresh()) << "nothing changed since";
    t->puzzle.element(2).orientation = (t->puzzle.element(2).orientation + 1) % 4;
    EXPECT_TRUE(next.refresh());
    next.waitForWrite();
    EXPECT_EQ(pictureBytes, 0);
    EXPECT_EQ(next.store().latest()->picture, files->picture);
    EXPECT_EQ(readBack(next.store())->elements[2].orientation, t->puzzle.element(2).orientation);
}

TEST(Autosave, OneRunningCopyOwnsTheFolder) {
    QTemporaryDir dir;
    FakeClock clock;
    auto s = generatedGame(1, 2, false);
    Autosave owner(*s, clock);
    Autosave other(*s, clock);
    ASSERT_TRUE(owner.open(dir.path()));
    owner.startTracking();
    ASSERT_TRUE(owner.writeNow());
    EXPECT_FALSE(other.open(dir.path()));
    EXPECT_FALSE(other.interrupted()) << "the game of the copy still running is not offered";
    other.startTracking();
    s->puzzle.clear();
    other.writeNow();
    EXPECT_TRUE(owner.store().latest()) << "nor removed";
}

// A lock that cannot be made (a folder this run may only read; here a folder stands in its
// place) leaves the autosave to be offered, never written or removed. A pipe in its place is
// no running copy's lock and goes.
TEST(Autosave, ALockThatCannotBeMadeLeavesTheFolderToBeRead) {
    QTemporaryDir dir;
    FakeClock clock;
    auto s = generatedGame(1, 2, false);
    {
        Autosave first(*s, clock);
        ASSERT_TRUE(first.open(dir.path()));
        first.startTracking();
        ASSERT_TRUE(first.writeNow());
    }
    const QString lock = dir.filePath(QStringLiteral("lock"));
    ASSERT_TRUE(QDir().mkpath(lock + QStringLiteral("/inside")));
    Autosave reader(*s, clock);
    EXPECT_FALSE(reader.open(dir.path()));
    EXPECT_EQ(reader.access(), Autosave::Access::ReadOnly);
    EXPECT_TRUE(reader.interrupted());
    reader.startTracking();
    EXPECT_FALSE(reader.writeNow()) << "the game under way has nowhere to go";
    reader.discard();
    EXPECT_TRUE(reader.store().latest()) << "and the game offered stays";

    ASSERT_TRUE(QDir(lock).removeRecursively());
    ASSERT_EQ(::mkfifo(QFile::encodeName(lock).constData(), 0644), 0);
    Autosave owner(*s, clock);
    EXPECT_TRUE(owner.open(dir.path()));
    EXPECT_EQ(owner.access(), Autosave::Access::Owned);
}

// A save takes the picture file the autosave wrote for the game instead of writing it again: the
// saved files hold the bytes a save writes, every name stands on its own (removing the autosave's
// picture or one saved game leaves the others whole), and a file no longer whole, or another
// game's picture, is written anew.
TEST(Autosave, ASaveLinksThePictureTheAutosaveWrote) {
    QTemporaryDir dir;
    FakeServices fakes;
    auto s = generatedGame(3, 4, true);
    s->clock.start(fakes.clock.seconds);
    Autosave autosave(*s, fakes.clock);
    ASSERT_TRUE(autosave.open(dir.filePath(QStringLiteral("Autosave"))));
    autosave.startTracking();
    EXPECT_FALSE(autosave.pictureOnDisk(s->picture)) << "nothing written yet";
    ASSERT_TRUE(autosave.refresh());
    const auto onDisk = autosave.pictureOnDisk(s->picture); // the write under way is waited for
    ASSERT_TRUE(onDisk);
    EXPECT_FALSE(autosave.pictureOnDisk(generatedGame(2, 2, false)->picture));

    SavedGameStore store(fakes.messages, fakes.cursor);
    store.setFolder(dir.filePath(QStringLiteral("Save")));
    store.ensureFolder();
    store.setPictureSource([&](const QImage& picture) { return autosave.pictureOnDisk(picture); });
    int pictureWrites = 0, links = 0;
    store.setStepHook([&](DurableFiles::Step step, const QString& path, qint64) {
        pictureWrites += step == DurableFiles::Step::SyncFile && path.contains(QStringLiteral(".bmp"));
        links += step == DurableFiles::Step::Link;
        return DurableFiles::Outcome::Go;
    });
    const auto text = [](QIODevice& d) { return d.write("text") == 4; };
    const QByteArray bitmap = encodeBitmapFile(s->picture);
    const auto inode = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
    };
    for (const QString& name : {QStringLiteral("a"), QStringLiteral("b")}) {
        store.appendName(name);
        ASSERT_TRUE(store.save(name, s->picture, text));
        EXPECT_EQ(inode(store.picturePath(name)), inode(onDisk->path));
    }
    ASSERT_TRUE(store.save(QStringLiteral("b"), s->picture, text)) << "again, the same picture";
    EXPECT_EQ(QDir(store.folder()).entryList(QDir::Files).size(), 5) << "two games and the index";
    EXPECT_EQ(links, 3);
    EXPECT_EQ(pictureWrites, 0);
    // Loading either over the game under way needs no read of its picture: it is this one.
    const auto known = autosave.pictureAt(store.picturePath(QStringLiteral("b")));
    EXPECT_EQ(known.picture.cacheKey(), s->picture.cacheKey());
    EXPECT_EQ(known.fingerprint, onDisk->fingerprint);
    EXPECT_TRUE(autosave.pictureAt(dir.filePath(QStringLiteral("elsewhere.bmp"))).picture.isNull());

    autosave.discard();
    EXPECT_FALSE(QFileInfo::exists(onDisk->path));
    EXPECT_EQ(readAll(store.picturePath(QStringLiteral("a"))), bitmap);
    store.deleteGame(QStringLiteral("a"));
    EXPECT_EQ(readAll(store.picturePath(QStringLiteral("b"))), bitmap);

    // The autosave's new picture file cut short: the save writes the picture itself.
    ASSERT_TRUE(autosave.writeNow());
    const auto rewritten = autosave.pictureOnDisk(s->picture);
    ASSERT_TRUE(rewritten);
    ASSERT_TRUE(QFile::resize(rewritten->path, rewritten->size - 1));
    EXPECT_TRUE(autosave.pictureAt(rewritten->path).picture.isNull()) << "changed since it was written";
    ASSERT_TRUE(store.save(QStringLiteral("b"), s->picture, text));
    EXPECT_EQ(pictureWrites, 1);
    EXPECT_EQ(readAll(store.picturePath(QStringLiteral("b"))), bitmap);
    EXPECT_NE(inode(store.picturePath(QStringLiteral("b"))), inode(rewritten->path));
}
