#include "game/savedgamesummary.h"
#include "game/savedgamesupport.h"
#include "model/bmpreader.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>

namespace {

// A device over bytes in memory that counts what is read from it.
class CountingBuffer : public QBuffer {
public:
    using QBuffer::QBuffer;
    qint64 bytesRead = 0;

protected:
    qint64 readData(char* data, qint64 size) override {
        const qint64 got = QBuffer::readData(data, size);
        bytesRead += std::max<qint64>(got, 0);
        return got;
    }
};

// A game of rows x columns lying on the scatter grid, in the file's own layout, with `joined`
// horizontal pairs in blocks of two (the text reader's view: the records only, no shapes).
SavedGame gridGame(int rows, int columns, int size, int pairs) {
    SavedGame g;
    g.rows = rows;
    g.columns = columns;
    g.elementSize = size;
    g.backgroundBitmapId = 192;
    g.hours = 1;
    g.minutes = 2;
    g.seconds = 3;
    const int n = rows * columns;
    for (int i = 0; i < n; ++i) {
        const int left = 20 + (i % columns) * 2 * size, top = 20 + (i / columns) * 2 * size;
        g.bodyRects.push_back({left, top, left + size, top + size});
        g.stackOrder.push_back(i);
        const int r = i / columns, c = i % columns;
        g.elements.emplace_back().edgeSign = {r ? -1 : 0, c + 1 < columns ? 1 : 0, r + 1 < rows ? 1 : 0,
                                              c ? -1 : 0};
    }
    for (int p = 0; p < pairs; ++p) {
        const int a = 2 * p, b = a + 1;
        g.elements[a].alone = g.elements[b].alone = 0;
        g.elements[a].joinedNeighbour[1] = b;
        g.elements[b].joinedNeighbour[3] = a;
        g.blocks.push_back({a, b});
    }
    return g;
}

QByteArray textOf(const SavedGame& g) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writeSavedGameTo(buffer, g));
    return bytes;
}

struct SummaryTest : ::testing::Test {
    QTemporaryDir dir;
    QString bmp = dir.filePath(QStringLiteral("g.bmp"));
    QString pzs = dir.filePath(QStringLiteral("g.pzs"));

    void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    SavedGameSummary summary() { return readSavedGameSummary(bmp, pzs, QSize(156, 100)); }
};

// A game as the program saves it: its cut, its joined elements as the full reader finds them,
// its clock, its date, and a small picture of its proportions with the picture's colours.
TEST_F(SummaryTest, AValidGameIsSummarisedAsTheFullReaderReadsIt) {
    auto state = generatedGame(3, 4, true, 32);
    ASSERT_GT(joinRows(*state, 4), 0);
    state->clock.clockCarried = 3723;
    ASSERT_TRUE(writeSavedGame(pzs, *state, 0));
    ASSERT_TRUE(writeBitmapFile(bmp, state->picture));

    const SavedGameSummary s = summary();
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.game.rows, 3);
    EXPECT_EQ(s.game.columns, 4);
    EXPECT_EQ(s.game.count(), 12);
    EXPECT_EQ(s.game.clockCarried, 3723);
    SavedGame full;
    ASSERT_EQ(readSavedGameFile(pzs, full), SavedGameError::None);
    int joined = 0;
    for (const SavedElement& e : full.elements)
        joined += e.alone == 0;
    EXPECT_GT(joined, 0);
    EXPECT_EQ(s.game.joined, joined);
    // 128 x 96 fits the box unreduced; its corners keep the picture's colours.
    EXPECT_EQ(s.picture.size(), QSize(128, 96));
    EXPECT_EQ(s.picture.pixel(0, 0), state->picture.pixel(0, 0));
    EXPECT_EQ(s.picture.pixel(127, 95), state->picture.pixel(127, 95));
    EXPECT_TRUE(s.savedAt.isValid());
    EXPECT_LE(std::abs(s.savedAt.secsTo(QDateTime::currentDateTime())), 60);
}

// Whatever is wrong with either file, the summary says so and never blocks: a pipe under the
// game's name is not opened at all.
TEST_F(SummaryTest, DamagedOrMissingFilesGiveNoSummary) {
    const SavedGame g = gridGame(3, 4, 32, 2);
    const QByteArray good = textOf(g);
    QImage picture(128, 96, QImage::Format_RGB888);
    picture.fill(Qt::darkRed);
    ASSERT_TRUE(writeBitmapFile(bmp, picture));
    const QByteArray goodPicture = [&] {
        QFile f(bmp);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }();
    write(pzs, good);
    ASSERT_TRUE(summary().ok);
    EXPECT_EQ(summary().game.joined, 4);

    const qsizetype lastLine = good.lastIndexOf("\r\n", good.size() - 5);
    const struct {
        const char* what;
        QByteArray text;
        QByteArray picture;
    } damages[] = {
        {"cut in the head", good.left(good.indexOf("[MAINFRAME]")), goodPicture},
        {"cut in the records", good.left(good.indexOf("[ELEMENTS]") + 40), goodPicture},
        {"cut in the last membership line", good.left(lastLine - 3), goodPicture},
        {"a membership line too short",
         QByteArray(good).replace("\r\n000010000000\r\n", "\r\n00001000000\r\n"), goodPicture},
        {"unknown first line", QByteArray(good).replace("[GLOBALS]", "[GLOBAL]"), goodPicture},
        {"more elements than the file holds", QByteArray("[GLOBALS]\r\n100 100\r\n"), goodPicture},
        {"picture of another size", good,
         [] {
             QByteArray b;
             QBuffer buffer(&b);
             buffer.open(QIODevice::WriteOnly);
             QImage(10, 10, QImage::Format_RGB32).save(&buffer, "BMP");
             return b;
         }()},
        {"picture cut short", good, goodPicture.left(goodPicture.size() / 2)},
        {"picture not a picture", good, QByteArray("BM garbage")},
        {"text empty", QByteArray(), goodPicture},
    };
    for (const auto& d : damages) {
        write(pzs, d.text);
        write(bmp, d.picture);
        EXPECT_FALSE(summary().ok) << d.what;
    }
    write(bmp, goodPicture);
    QFile::remove(pzs);
    EXPECT_FALSE(summary().ok) << "text missing";
    ASSERT_EQ(mkfifo(pzs.toLocal8Bit().constData(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(summary().ok) << "a pipe";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// The largest games are summarised from a small part of their text file: the head and a few
// bytes of each record, never the membership lines, and the joined count is still exact. The
// compact form is read whole.
TEST_F(SummaryTest, AHugeGameIsReadInPartsOnly) {
    const SavedGame g = gridGame(100, 100, 16, 37);
    const QByteArray text = textOf(g);
    ASSERT_GT(text.size(), qint64(10000) * 10000);
    CountingBuffer device;
    device.setData(text);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    SavedGameOverview overview;
    ASSERT_EQ(readSavedGameOverview(device, overview), SavedGameError::None);
    EXPECT_EQ(overview.count(), 10000);
    EXPECT_EQ(overview.joined, 74);
    EXPECT_EQ(overview.clockCarried, 3723);
    EXPECT_LT(device.bytesRead, text.size() / 20);

    // Through the files, with a picture of the cut's size reduced to the box.
    write(pzs, text);
    QImage picture(1600, 1600, QImage::Format_RGB888);
    picture.fill(QColor(10, 120, 200));
    ASSERT_TRUE(writeBitmapFile(bmp, picture));
    const SavedGameSummary s = summary();
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.game.joined, 74);
    EXPECT_EQ(s.picture.size(), QSize(100, 100));
    EXPECT_EQ(QColor(s.picture.pixel(50, 50)), QColor(10, 120, 200));

    // The same game in the compact form, a few bytes an element: read whole and checked as
    // loading checks it.
    const QByteArray compact = formatSavedGame(g, SavedGameForm::Compact);
    write(pzs, compact);
    const SavedGameSummary c = summary();
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.game.count(), 10000);
    EXPECT_EQ(c.game.joined, 74);
    EXPECT_EQ(c.game.clockCarried, 3723);
    for (const QByteArray& damaged : {compact.left(compact.size() - 40),
                                      QByteArray(compact).replace("\r\n100 100\r\n", "\r\n100 101\r\n"),
                                      QByteArray("[GLOBALS 2]\r\n200 300\r\n")}) {
        write(pzs, damaged);
        EXPECT_FALSE(summary().ok);
    }
}

// The reduced copy of a bitmap file of any depth and row order shows the picture, read only in
// the rows it samples.
TEST(BitmapThumbnailTest, EveryDepthAndRowOrderIsReducedFromSampledRows) {
    QImage source(400, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            source.setPixel(x, y, x < 200 ? (y < 100 ? qRgb(255, 0, 0) : qRgb(0, 0, 255)) : qRgb(0, 255, 0));
    for (const QImage::Format format :
         {QImage::Format_RGB888, QImage::Format_RGB32, QImage::Format_Indexed8, QImage::Format_RGB16}) {
        const QImage picture = source.convertToFormat(format);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(writeBitmap(buffer, picture)) << format;
        CountingBuffer device;
        device.setData(bytes);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        const BitmapThumbnail t = readBitmapThumbnail(device, QSize(40, 40));
        ASSERT_TRUE(t.ok()) << format;
        EXPECT_EQ(t.size, QSize(400, 200));
        EXPECT_EQ(t.image.size(), QSize(40, 20));
        EXPECT_EQ(QColor(t.image.pixel(5, 3)).red(), 255) << format;
        EXPECT_EQ(QColor(t.image.pixel(5, 16)).blue(), 255) << format;
        EXPECT_EQ(QColor(t.image.pixel(35, 10)).green(), 255) << format;
        EXPECT_LT(device.bytesRead, bytes.size() / 2) << format;
    }
}

} // namespace
