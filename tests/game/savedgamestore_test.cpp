#include "fakes.h"
#include "filebytes.h"
#include "game/savedgamestore.h"
#include "model/fingerprint.h"
#include "model/picture.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <functional>
#include <map>

namespace {

struct StoreTest : ::testing::Test {
    QTemporaryDir dir;
    FakeServices fakes;
    SavedGameStore store{fakes.messages, fakes.cursor};
    void SetUp() override { store.setFolder(dir.path()); }
    QImage picture() const {
        QImage p(4, 2, QImage::Format_RGB32);
        p.fill(qRgb(10, 20, 30));
        return p;
    }
    static SavedGameStore::TextWriter text(const QByteArray& bytes) {
        return [bytes](QIODevice& d) { return d.write(bytes) == bytes.size(); };
    }
};

TEST_F(StoreTest, IndexIsWrittenWithCrLfAndReadBack) {
    store.appendName(QStringLiteral("первая"));
    store.appendName(QStringLiteral("second game"));
    ASSERT_TRUE(store.writeIndex());
    EXPECT_EQ(readAll(store.indexPath()),
              QByteArray("[SAVED GAMES]\r\n") + QStringLiteral("первая").toUtf8() + "\r\nsecond game\r\n");
    SavedGameStore other(fakes.messages, fakes.cursor);
    other.setFolder(dir.path());
    other.readIndex();
    EXPECT_EQ(other.names(), store.names());
    EXPECT_EQ(fakes.cursor.waitDepth, 0);
}

TEST_F(StoreTest, ReaderStopsAtTenNamesAtAnEmptyLineAndAcceptsLf) {
    QByteArray text = "[SAVED GAMES]\n";
    for (int k = 1; k <= 12; ++k)
        text += "g" + QByteArray::number(k) + "\n";
    writeAll(store.indexPath(), text);
    store.readIndex();
    ASSERT_EQ(store.names().size(), 10);
    EXPECT_EQ(store.names().back(), QStringLiteral("g10"));
    ASSERT_TRUE(store.writeIndex());
    store.readIndex();
    EXPECT_EQ(store.names().size(), 10) << "the next write keeps only the first ten";

    writeAll(store.indexPath(), "[SAVED GAMES]\r\na\r\n\r\nb\r\n");
    store.readIndex();
    EXPECT_EQ(store.names(), QStringList{QStringLiteral("a")});
}

TEST_F(StoreTest, BadOrMissingIndexLeavesTheListAsItWas) {
    writeAll(store.indexPath(), "[SAVED GAMES]\r\nkept\r\n");
    store.readIndex();
    writeAll(store.indexPath(), "[SAVED GAME]\r\nother\r\n");
    store.readIndex();
    EXPECT_EQ(store.names(), QStringList{QStringLiteral("kept")});
    ASSERT_EQ(fakes.messages.shown.size(), 1);
    EXPECT_TRUE(fakes.messages.shown[0].text.startsWith(loadString(32831).left(20)));
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(QDir::toNativeSeparators(store.indexPath())));

    QFile::remove(store.indexPath());
    store.readIndex();
    EXPECT_EQ(store.names(), QStringList{QStringLiteral("kept")});
    EXPECT_EQ(fakes.messages.shown.size(), 1) << "a missing index is no error";
}

TEST_F(StoreTest, NamesThatCannotBeFileNamesAreRefused) {
    for (const char* bad :
         {"",          "   ",       "a/b",   "../up",  "a\\b", "..",      "x..y", "what?", "a:b", "a*",
          "tab\there", "trailing.", " lead", "trail ", "CON",  "nul.txt", "com1", "<>",    "a|b", "\"q\""})
        EXPECT_FALSE(SavedGameStore::isValidName(QString::fromUtf8(bad))) << bad;
    EXPECT_FALSE(SavedGameStore::isValidName(QString(SavedGameStore::maxNameLength + 1, QLatin1Char('a'))));
    for (const char* good : {"a", "Игра 1", "my.game", "con game", "com0", "x-y_z (2)"})
        EXPECT_TRUE(SavedGameStore::isValidName(QString::fromUtf8(good))) << good;
    EXPECT_TRUE(SavedGameStore::isValidName(QString(SavedGameStore::maxNameLength, QLatin1Char('a'))));
}

TEST_F(StoreTest, WritesBothFilesAndLeavesNoTemporaries) {
    ASSERT_TRUE(store.writeGameFiles(QStringLiteral("g"), picture(), text("text")));
    EXPECT_EQ(readAll(store.gamePath(QStringLiteral("g"))), QByteArray("text"));
    EXPECT_EQ(QImage(store.picturePath(QStringLiteral("g"))).pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(StoreTest, AFailedSaveKeepsTheEarlierSaveOfThatName) {
    const QString name = QStringLiteral("g");
    ASSERT_TRUE(store.writeGameFiles(name, picture(), text("old")));
    const QByteArray oldPicture = readAll(store.picturePath(name));

    QImage other = picture();
    other.fill(qRgb(200, 0, 0));
    // The text file fails half-way.
    EXPECT_FALSE(store.writeGameFiles(name, other, [](QIODevice& d) {
        d.write("partial");
        return false;
    }));
    EXPECT_EQ(readAll(store.gamePath(name)), QByteArray("old"));
    EXPECT_EQ(readAll(store.picturePath(name)), oldPicture);

    // No picture writer works.
    store.setPictureWriter([](QIODevice&, const QImage&) { return false; });
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("g.bmp.new"))); // the fallback cannot write either
    EXPECT_FALSE(store.writeGameFiles(name, other, text("new")));
    EXPECT_EQ(readAll(store.gamePath(name)), QByteArray("old"));
    EXPECT_EQ(readAll(store.picturePath(name)), oldPicture);
    EXPECT_FALSE(QFile::exists(store.gamePath(name) + QStringLiteral(".new")));
    EXPECT_TRUE(fakes.messages.shown.isEmpty()) << "the store reports nothing; its caller does";

    EXPECT_FALSE(store.writeGameFiles(QStringLiteral("../g"), other, text("x")));
}

TEST_F(StoreTest, DeletingRemovesFilesAndEntry) {
    store.appendName(QStringLiteral("a"));
    store.appendName(QStringLiteral("b"));
    ASSERT_TRUE(store.writeGameFiles(QStringLiteral("a"), picture(), text("a")));
    store.deleteGame(QStringLiteral("a"));
    EXPECT_FALSE(QFile::exists(store.picturePath(QStringLiteral("a"))));
    EXPECT_FALSE(QFile::exists(store.gamePath(QStringLiteral("a"))));
    EXPECT_EQ(store.names(), QStringList{QStringLiteral("b")});
    EXPECT_EQ(readAll(store.indexPath()), QByteArray("[SAVED GAMES]\r\nb\r\n"));
    // Files that were never written need no deleting and bring no message.
    store.deleteGame(QStringLiteral("b"));
    EXPECT_TRUE(fakes.messages.shown.isEmpty());
    EXPECT_TRUE(store.names().isEmpty());
}

TEST_F(StoreTest, AFileThatCannotBeDeletedIsReported) {
    store.appendName(QStringLiteral("d"));
    // A non-empty folder in place of the picture file cannot be removed as a file.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("d.bmp/inner")));
    store.deleteGame(QStringLiteral("d"));
    ASSERT_EQ(fakes.messages.shown.size(), 1);
    EXPECT_EQ(fakes.messages.shown[0].kind, MessageKind::Warning);
    EXPECT_TRUE(fakes.messages.shown[0].text.contains(
        QDir::toNativeSeparators(store.picturePath(QStringLiteral("d")))));
    EXPECT_TRUE(store.names().isEmpty()) << "the entry goes all the same";
}

// The games a folder holds as a player would load them at the next start: after settling
// what a crash left, each listed name's text and the colour of its picture ("" when unreadable).
std::map<QString, std::pair<QByteArray, QRgb>> nextStart(FakeServices& fakes, const QString& folder) {
    SavedGameStore store(fakes.messages, fakes.cursor);
    store.setFolder(folder);
    store.settleAll();
    store.readIndex();
    std::map<QString, std::pair<QByteArray, QRgb>> games;
    for (const QString& name : store.names()) {
        const auto files = store.gameFiles(name);
        const LoadResult picture = loadPicture(files->picture);
        games[name] = {readAll(files->game), picture.ok() ? picture.picture.pixel(0, 0) : 0};
    }
    return games;
}

// A save of a listed name and of a new one, failed or cut short as by a crash at every step it
// takes on the disk (each piece written, each sync, rename, removal and link), then a fresh start:
// every listed name loads the old game or the new one, whole; a save reported done loads the
// new one, a failed one the old; and nothing of the interrupted save is left once settled. The
// same with the new picture already on the disk elsewhere, which the save links.
TEST_F(StoreTest, ASaveCutShortAnywhereLeavesTheOldOrTheNewGame) {
    const QRgb oldColour = qRgb(10, 20, 30), newColour = qRgb(200, 0, 0);
    QImage fresh = picture();
    fresh.fill(newColour);
    QTemporaryDir elsewhere;
    const QString ready = elsewhere.filePath(QStringLiteral("picture.bmp"));
    const QByteArray freshBytes = encodeBitmapFile(fresh);
    Fingerprint taken;
    taken.add(freshBytes);
    const QByteArray freshFingerprint = taken.hex();
    ASSERT_NO_FATAL_FAILURE(writeAll(ready, freshBytes));
    for (const bool linked : {false, true})
        for (const QString& name : {QStringLiteral("g"), QStringLiteral("new one")}) {
            for (const auto outcome : {DurableFiles::Outcome::Fail, DurableFiles::Outcome::Crash}) {
                // The first run takes every step and counts them.
                int steps = 0;
                for (int at = -1; at < steps; ++at) {
                    QTemporaryDir folder;
                    SavedGameStore s(fakes.messages, fakes.cursor);
                    s.setFolder(folder.path());
                    if (linked)
                        s.setPictureSource([&](const QImage& p) {
                            return p.cacheKey() == fresh.cacheKey()
                                       ? std::optional(SavedGameStore::PictureOnDisk{ready, freshBytes.size(),
                                                                                     freshFingerprint})
                                       : std::nullopt;
                        });
                    // The disk is not synced here (a crash is only simulated), which keeps the test quick.
                    int step = 0;
                    bool armed = false;
                    s.setStepHook([&](DurableFiles::Step kind, const QString&, qint64) {
                        if (armed && step++ == at)
                            return outcome;
                        const bool sync =
                            kind == DurableFiles::Step::SyncFile || kind == DurableFiles::Step::SyncFolder;
                        return sync ? DurableFiles::Outcome::Skip : DurableFiles::Outcome::Go;
                    });
                    for (const QString& listed : {QStringLiteral("g"), QStringLiteral("other")}) {
                        ASSERT_TRUE(s.writeGameFiles(listed, picture(), text("old")));
                        s.appendName(listed);
                    }
                    ASSERT_TRUE(s.writeIndex());
                    armed = true;
                    // As the save command runs: a new name joins the list once its files are written.
                    if (s.find(name) < 0)
                        s.appendName(name);
                    const bool saved = s.save(name, fresh, text("new"));
                    if (at < 0) {
                        ASSERT_TRUE(saved);
                        steps = step;
                    }
                    const auto games = nextStart(fakes, folder.path());
                    const std::pair<QByteArray, QRgb> oldGame{"old", oldColour}, newGame{"new", newColour};
                    const std::string where =
                        name.toStdString() + (linked ? " linked" : "") + " step " + std::to_string(at);
                    EXPECT_EQ(games.at(QStringLiteral("other")), oldGame) << where;
                    if (games.count(name)) {
                        const auto& game = games.at(name);
                        EXPECT_TRUE(game == oldGame || game == newGame) << where;
                        // A failed save keeps the game there was (a new name has none to keep).
                        if (outcome == DurableFiles::Outcome::Fail && !saved && name == QStringLiteral("g")) {
                            EXPECT_EQ(game, oldGame) << where;
                        }
                    }
                    if (saved) {
                        EXPECT_EQ(games.at(name), newGame) << where;
                    }
                    QStringList left = QDir(folder.path()).entryList(QDir::Files);
                    left.removeAll(QStringLiteral("games.psg"));
                    for (const QString& listed : {QStringLiteral("g"), QStringLiteral("other"), name})
                        for (const char* suffix : {".bmp", ".pzs"})
                            left.removeAll(listed + QLatin1String(suffix));
                    EXPECT_TRUE(left.isEmpty()) << where << ": " << left.join(' ').toStdString();
                }
            }
        }
    EXPECT_EQ(readAll(ready), freshBytes) << "the linked file is never written through";
    EXPECT_TRUE(fakes.messages.shown.isEmpty());
}

// What the earlier writer left when killed between its renames (the earlier pair set aside as
// ".old", the new one as ".new", a temporary file of its own): settled at start, each name loads
// a whole game, the new one once both new files were complete, and the leftovers go.
TEST_F(StoreTest, LeftoversOfTheEarlierWriterAreSettled) {
    ASSERT_NO_FATAL_FAILURE(writeAll(store.indexPath(), "[SAVED GAMES]\r\na\r\nb\r\nc\r\nd\r\ne\r\n"));
    QImage fresh = picture();
    fresh.fill(qRgb(0, 0, 250));
    const auto put = [&](const QString& name, const char* suffix, bool isNew) {
        ASSERT_TRUE(
            writeBitmapFile(store.picturePath(name) + QLatin1String(suffix), isNew ? fresh : picture()));
        ASSERT_NO_FATAL_FAILURE(
            writeAll(store.gamePath(name) + QLatin1String(suffix), isNew ? "new" : "old"));
    };
    const auto remove = [&](const QString& path) { ASSERT_TRUE(QFile::remove(path)); };
    // a: killed after the picture was set aside; b: after both were; c: after the new picture
    // went in place; d: before the old pair was removed; e: while the new text was written.
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        put(QString::fromLatin1(name), "", false);
        put(QString::fromLatin1(name), ".new", true);
    }
    for (const QString& name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")})
        ASSERT_TRUE(QFile::rename(store.picturePath(name), store.picturePath(name) + ".old"));
    for (const QString& name : {QStringLiteral("b"), QStringLiteral("c")})
        ASSERT_TRUE(QFile::rename(store.gamePath(name), store.gamePath(name) + ".old"));
    ASSERT_TRUE(QFile::rename(store.picturePath("c") + ".new", store.picturePath("c")));
    put(QStringLiteral("d"), ".old", false);
    remove(store.picturePath("d"));
    remove(store.gamePath("d"));
    ASSERT_TRUE(QFile::rename(store.picturePath("d") + ".new", store.picturePath("d")));
    ASSERT_TRUE(QFile::rename(store.gamePath("d") + ".new", store.gamePath("d")));
    remove(store.gamePath("e") + ".new");
    ASSERT_NO_FATAL_FAILURE(writeAll(store.gamePath("e") + ".new.Ab12Cd", "ne"));
    ASSERT_NO_FATAL_FAILURE(writeAll(store.indexPath() + ".x1Y2z3", "[SAVED"));

    const auto games = nextStart(fakes, dir.path());
    const std::pair<QByteArray, QRgb> oldGame{"old", qRgb(10, 20, 30)}, newGame{"new", qRgb(0, 0, 250)};
    for (const char* name : {"a", "b", "c", "d"})
        EXPECT_EQ(games.at(QString::fromLatin1(name)), newGame) << name;
    EXPECT_EQ(games.at(QStringLiteral("e")), oldGame);
    QStringList expected{QStringLiteral("games.psg")};
    for (const char* name : {"a", "b", "c", "d", "e"})
        expected << QStringLiteral("%1.bmp").arg(name) << QStringLiteral("%1.pzs").arg(name);
    expected.sort();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), expected);
}

// Index lines that are no game's name (a path out of the folder, control characters) are listed
// as damaged and never followed: nothing is read, written or deleted for them, here or above.
// A link standing where a save writes is replaced, not written through.
TEST_F(StoreTest, HostileNamesAndLinksTouchNothingOutsideTheFolder) {
    QTemporaryDir outside;
    const QString save = outside.filePath(QStringLiteral("a/b/c/Save"));
    ASSERT_TRUE(QDir().mkpath(save));
    store.setFolder(save);
    const QString victim = outside.filePath(QStringLiteral("victim"));
    for (const char* suffix : {".bmp", ".pzs"})
        ASSERT_NO_FATAL_FAILURE(writeAll(victim + QLatin1String(suffix), "precious"));
    ASSERT_NO_FATAL_FAILURE(
        writeAll(store.indexPath(), "[SAVED GAMES]\r\n../../../../victim\r\nbell\x07\r\n..\r\nok\r\n"));
    store.readIndex();
    ASSERT_EQ(store.names().size(), 4);
    EXPECT_EQ(SavedGameStore::shownName(store.names()[0]),
              loadString(Str::DamagedGameEntry).arg(QStringLiteral("../../../../victim")));
    EXPECT_EQ(SavedGameStore::shownName(store.names()[1]),
              loadString(Str::DamagedGameEntry).arg(QStringLiteral("bell") + QChar(0xFFFD)));
    EXPECT_EQ(SavedGameStore::shownName(QStringLiteral("ok")), QStringLiteral("ok"));
    for (const QString& name : QStringList(store.names().mid(0, 3))) {
        EXPECT_FALSE(store.gameFiles(name)) << name.toStdString();
        EXPECT_FALSE(store.writeGameFiles(name, picture(), text("x"))) << name.toStdString();
        store.deleteGame(name);
    }
    EXPECT_EQ(store.names(), QStringList{QStringLiteral("ok")});
    for (const char* suffix : {".bmp", ".pzs"})
        EXPECT_EQ(readAll(victim + QLatin1String(suffix)), QByteArray("precious"));
    EXPECT_TRUE(fakes.messages.shown.isEmpty());

    // Links left where a save writes its parts and its new files.
    for (const char* file : {"ok.bmp.part", "ok.pzs.part", "ok.bmp.new", "games.psg.part"})
        ASSERT_TRUE(QFile::link(victim + ".bmp", store.folder() + QLatin1Char('/') + QLatin1String(file)));
    ASSERT_TRUE(store.writeGameFiles(QStringLiteral("ok"), picture(), text("ok")));
    ASSERT_TRUE(store.writeIndex());
    EXPECT_EQ(readAll(store.gamePath(QStringLiteral("ok"))), QByteArray("ok"));
    EXPECT_EQ(readAll(victim + ".bmp"), QByteArray("precious"));
    store.deleteGame(QStringLiteral("ok"));
    EXPECT_EQ(QDir(save).entryList(QDir::Files | QDir::System), QStringList{QStringLiteral("games.psg")});
}

} // namespace
