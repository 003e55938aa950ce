#include "filebytes.h"
#include "game/gamerecords.h"
#include "game/recordstore.h"
#include "model/picture.h"

#include <QDir>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

namespace {

RecordKey keyOf(char digit, int size = 32) {
    RecordKey k;
    k.picture = QByteArray(32, digit);
    k.elementSize = size;
    k.rows = 2;
    k.columns = 3;
    return k;
}

Record recordOf(const RecordKey& key, std::int64_t seconds, std::int64_t at, const QString& name = {}) {
    return Record{key, seconds, at, name};
}

struct RecordsTest : ::testing::Test {
    QTemporaryDir dir;
    RecordStore store;
    void SetUp() override { store.setFolder(dir.path()); }
    QStringList filesInFolder() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

// Random times for three keys against a plain model: per key the ten smallest, equal times in
// the order they came; the place returned is where the time stands, or -1; the file gives back
// exactly what was held.
TEST_F(RecordsTest, TenBestPerKeyInOrderAndBackFromTheFile) {
    QRandomGenerator random(7);
    std::map<char, std::vector<std::pair<std::int64_t, std::int64_t>>> model; // seconds, order
    for (int n = 0; n < 90; ++n) {
        const char digit = "abc"[random.bounded(3)];
        const std::int64_t seconds = random.bounded(40); // many equal times
        auto& times = model[digit];
        times.emplace_back(seconds, n);
        std::stable_sort(times.begin(), times.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        const auto it = std::find(times.begin(), times.end(), std::pair{seconds, std::int64_t(n)});
        const int expectedPlace =
            int(it - times.begin()) < RecordStore::maxPerKey ? int(it - times.begin()) : -1;
        if (times.size() > std::size_t(RecordStore::maxPerKey))
            times.resize(RecordStore::maxPerKey);

        ASSERT_EQ(store.add(recordOf(keyOf(digit), seconds, 1000 + n, QStringLiteral("p%1").arg(n))),
                  expectedPlace)
            << "time " << n;
        const std::vector<Record> best = store.bestFor(keyOf(digit));
        ASSERT_EQ(best.size(), times.size());
        for (std::size_t i = 0; i < best.size(); ++i) {
            EXPECT_EQ(best[i].seconds, times[i].first);
            EXPECT_EQ(best[i].finishedAt, 1000 + times[i].second);
        }
    }
    ASSERT_TRUE(store.write());
    RecordStore again;
    again.setFolder(dir.path());
    EXPECT_EQ(again.read(), RecordStore::ReadStatus::Read);
    EXPECT_EQ(again.records(), store.records());
    EXPECT_EQ(again.serialised(), readAll(store.path()));
    // Element size is part of the key.
    EXPECT_TRUE(store.bestFor(keyOf('a', 48)).empty());
}

// A write that fails midway leaves the file as it was and no temporary file behind.
TEST_F(RecordsTest, FailedWriteKeepsTheFileBefore) {
    store.add(recordOf(keyOf('a'), 50, 1000, QStringLiteral("sea.png")));
    ASSERT_TRUE(store.write());
    const QByteArray before = readAll(store.path());
    ASSERT_FALSE(before.isEmpty());

    store.add(recordOf(keyOf('a'), 40, 2000));
    store.setWriter([](QIODevice& device, const QByteArray& bytes) {
        device.write(bytes.left(bytes.size() / 2));
        return false; // the disk filled up
    });
    EXPECT_FALSE(store.write());
    EXPECT_EQ(readAll(store.path()), before);
    EXPECT_EQ(filesInFolder(), QStringList{RecordStore::fileName()});

    // A folder that cannot be made: a file stands where it should be.
    RecordStore blocked;
    blocked.setFolder(store.path() + QStringLiteral("/sub"));
    blocked.add(recordOf(keyOf('a'), 1, 1));
    EXPECT_FALSE(blocked.write());
    EXPECT_EQ(readAll(store.path()), before);
}

TEST_F(RecordsTest, DamagedFilesKeepWhatReadsAndNothingMore) {
    const QByteArray good =
        "a" + QByteArray(31, '0') + "\t32\t2\t3\t1\t0\t1\t1\t0\t75\t2026-01-02T03:04:05Z\tsea.png\n";
    struct Case {
        const char* what;
        QByteArray bytes;
        RecordStore::ReadStatus status;
        std::size_t kept;
    };
    const QByteArray head = "[RECORDS]\n";
    QByteArray eleven = head;
    for (int i = 0; i < 11; ++i)
        eleven += QByteArray(good).replace("\t75\t", "\t" + QByteArray::number(80 - i) + "\t");
    const Case cases[] = {
        {"good, CRLF", QByteArray(head + good).replace("\n", "\r\n"), RecordStore::ReadStatus::Read, 1},
        {"empty", "", RecordStore::ReadStatus::Read, 0},
        {"not a records file", "\x89PNG\r\n\x1a\n" + good, RecordStore::ReadStatus::Damaged, 0},
        {"bad lines among good",
         head + "garbage\n" + good + QByteArray(good).replace("\t75\t", "\t-1\t") +
             QByteArray(good).replace("\t2\t3\t", "\t20000\t3000\t") +
             QByteArray(good).replace("2026-01-02", "2026-13-02") +
             QByteArray(good).replace("sea.png", "\xff\xfe") +
             QByteArray(good).replace("\t1\t0\t1\t1\t0\t", "\t2\t0\t1\t1\t0\t") +
             QByteArray(good).replace("\tsea.png", ""),
         RecordStore::ReadStatus::Damaged, 1},
        {"endless line", head + QByteArray(3 * 1024 * 1024, 'x') + "\n" + good,
         RecordStore::ReadStatus::Damaged, 1},
        {"eleven times of a key", eleven, RecordStore::ReadStatus::Damaged, 10},
        {"header too long", QByteArray(5000, '['), RecordStore::ReadStatus::Damaged, 0},
    };
    for (const Case& c : cases) {
        writeAll(store.path(), c.bytes);
        EXPECT_EQ(store.read(), c.status) << c.what;
        EXPECT_EQ(store.records().size(), c.kept) << c.what;
        if (c.kept == 1) {
            EXPECT_EQ(store.records()[0],
                      recordOf(store.records()[0].key, 75, 1767323045, QStringLiteral("sea.png")))
                << c.what;
        }
    }
    // Beyond the largest file the store writes, reading stops.
    QByteArray huge = head;
    while (huge.size() <= RecordStore::maxFileBytes)
        huge += QByteArray(1000, 'x') + '\n';
    writeAll(store.path(), huge + good);
    EXPECT_EQ(store.read(), RecordStore::ReadStatus::Damaged);
    EXPECT_TRUE(store.records().empty());
}

// The pixels decide, not how they are held: a picture matches itself in another depth and read
// back from a bitmap file; one other pixel or another shape of the same pixels does not.
TEST(PictureFingerprint, ColoursAndSizeDecide) {
    QImage indexed(70, 130, QImage::Format_Indexed8);
    indexed.setColorCount(5);
    for (int i = 0; i < 5; ++i)
        indexed.setColor(i, qRgb(40 * i, 255 - 50 * i, 7 * i));
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            indexed.setPixel(x, y, (x * 3 + y) % 5);
    const QByteArray print = pictureFingerprint(indexed);
    EXPECT_EQ(print.size(), 32);
    QTemporaryDir dir;
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_RGB888, QImage::Format_Indexed8}) {
        const QImage held = indexed.convertToFormat(format);
        EXPECT_EQ(pictureFingerprint(held), print) << format;
        const QString path = dir.filePath(QStringLiteral("p%1.bmp").arg(int(format)));
        ASSERT_TRUE(writeBitmapFile(path, held));
        EXPECT_EQ(pictureFingerprint(loadPicture(path).picture), print) << format;
    }
    QImage changed = indexed.convertToFormat(QImage::Format_RGB32);
    changed.setPixel(69, 129, qRgb(1, 2, 3));
    EXPECT_NE(pictureFingerprint(changed), print);
    // The same colours in the same order, laid out 130 x 70: another picture.
    QImage reshaped(130, 70, QImage::Format_RGB32);
    for (int i = 0; i < 70 * 130; ++i)
        reshaped.setPixel(i % 130, i / 130, indexed.pixel(i % 70, i / 70));
    EXPECT_NE(pictureFingerprint(reshaped), print);
}

} // namespace
