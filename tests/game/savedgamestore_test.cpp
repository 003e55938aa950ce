#include "fakes.h"
#include "filebytes.h"
#include "game/savedgamestore.h"
#include "res/strings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

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

} // namespace
