#include "model/bmpbytes.h"
#include "model/picture.h"
#include "model/picturetestutil.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

TEST(BitmapWriter, TwentyFourBitThreeByTwoIs78BytesLaidOutExactly) {
    QImage picture(3, 2, QImage::Format_RGB888);
    for (int i = 0; i < 6; ++i)
        picture.setPixel(i % 3, i / 3, qRgb(10 * i + 1, 10 * i + 2, 10 * i + 3));
    const QByteArray file = encodeBitmapFile(picture);
    ASSERT_EQ(file.size(), 78);
    EXPECT_EQ(file.left(2), "BM");
    EXPECT_EQ(get32(file, 2), 78u);  // file size
    EXPECT_EQ(get32(file, 6), 0u);   // reserved
    EXPECT_EQ(get32(file, 10), 54u); // pixel offset
    EXPECT_EQ(get32(file, 14), 40u); // header size
    EXPECT_EQ(get32(file, 18), 3u);  // width
    EXPECT_EQ(get32(file, 22), 2u);  // height, positive: bottom-up
    EXPECT_EQ(get16(file, 26), 1u);  // planes
    EXPECT_EQ(get16(file, 28), 24u); // depth
    EXPECT_EQ(get32(file, 30), 0u);  // no compression
    EXPECT_EQ(get32(file, 34), 24u); // image size: 2 rows of 12
    for (int at = 38; at < 54; at += 4)
        EXPECT_EQ(get32(file, at), 0u); // resolution, colours used, important
    // Bottom row first, blue green red, each row padded with three zeros.
    EXPECT_EQ(file.mid(54).toHex(), QByteArray("21201f2b2a29353433000000"
                                               "0302010d0c0b171615000000"));
}

TEST(BitmapWriter, MonoKeepsItsTwoEntryTableAndClearsUnusedBits) {
    QImage picture(10, 3, QImage::Format_Mono);
    picture.setColorTable({qRgb(200, 10, 20), qRgb(5, 150, 250)});
    picture.fill(0);
    for (int y = 0; y < 3; ++y)
        picture.scanLine(y)[1] = 0xFF; // pixels 8 and 9 set, and the six bits past the edge
    picture.setPixel(0, 0, 1);
    const QByteArray file = encodeBitmapFile(picture);
    ASSERT_EQ(file.size(), 54 + 2 * 4 + 3 * 4);
    EXPECT_EQ(get16(file, 28), 1u);
    EXPECT_EQ(get32(file, 10), 62u);
    EXPECT_EQ(file.mid(54, 8).toHex(), QByteArray("140ac800fa960500"));
    EXPECT_EQ(file.mid(62).toHex(), QByteArray("00c0000000c0000080c00000"));
}

TEST(BitmapWriter, IndexedWritesAllTwoHundredFiftySixEntries) {
    QImage picture(2, 1, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)});
    picture.setPixel(0, 0, 2);
    picture.setPixel(1, 0, 0);
    const QByteArray file = encodeBitmapFile(picture);
    ASSERT_EQ(file.size(), 54 + 1024 + 4);
    EXPECT_EQ(get16(file, 28), 8u);
    EXPECT_EQ(get32(file, 10), 54u + 1024u);
    EXPECT_EQ(file.mid(54, 12).toHex(), QByteArray("030201000605040009080700"));
    EXPECT_EQ(file.mid(66, 1012), QByteArray(1012, '\0'));
    EXPECT_EQ(file.mid(1078).toHex(), QByteArray("02000000"));
}

TEST(BitmapWriter, SixteenBitFilesSayWhichSixteenBits) {
    QImage rgb555(1, 1, QImage::Format_RGB555);
    reinterpret_cast<quint16*>(rgb555.scanLine(0))[0] = 0x7C1F;
    QByteArray file = encodeBitmapFile(rgb555);
    ASSERT_EQ(file.size(), 58);
    EXPECT_EQ(get16(file, 28), 16u);
    EXPECT_EQ(get32(file, 30), 0u);
    EXPECT_EQ(get16(file, 54), 0x7C1Fu);

    // Without masks a reader would take 5-6-5 pixels for 5-5-5 and shift the colours.
    QImage rgb565(1, 1, QImage::Format_RGB16);
    reinterpret_cast<quint16*>(rgb565.scanLine(0))[0] = 0xF81F;
    file = encodeBitmapFile(rgb565);
    ASSERT_EQ(file.size(), 70);
    EXPECT_EQ(get32(file, 10), 66u);
    EXPECT_EQ(get32(file, 30), 3u);
    EXPECT_EQ(get32(file, 54), 0xF800u);
    EXPECT_EQ(get32(file, 58), 0x07E0u);
    EXPECT_EQ(get32(file, 62), 0x001Fu);
    EXPECT_EQ(get16(file, 66), 0xF81Fu);
}

TEST(BitmapWriter, ThirtyTwoBitsLeaveTheReservedByteZero) {
    QImage picture(1, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(0x11, 0x22, 0x33));
    const QByteArray file = encodeBitmapFile(picture);
    ASSERT_EQ(file.size(), 58);
    EXPECT_EQ(file.mid(54).toHex(), QByteArray("33221100"));
}

TEST(BitmapWriter, ReadingBackGivesTheSamePicture) {
    std::uint32_t seed = 100;
    for (QImage::Format format : pictureFormats()) {
        for (QSize size : {QSize(1, 1), QSize(5, 3), QSize(33, 17)}) {
            SCOPED_TRACE(std::string(formatName(format)) + " " + std::to_string(size.width()));
            const QImage picture = randomPicture(format, size.width(), size.height(), seed++);
            const QByteArray file = encodeBitmapFile(picture);
            const LoadResult back = loadPictureFromBytes(file);
            ASSERT_TRUE(back.ok());
            ASSERT_EQ(back.picture.format(), format);
            ASSERT_EQ(back.picture.size(), picture.size());
            EXPECT_EQ(back.picture.colorTable().mid(0, picture.colorTable().size()), picture.colorTable());
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    ASSERT_EQ(rawPixel(back.picture, x, y), rawPixel(picture, x, y));
            // Saving what was loaded gives the same file.
            EXPECT_EQ(encodeBitmapFile(back.picture), file);
        }
    }
}

TEST(BitmapWriter, OtherFormatsAreWrittenAsPictureFormats) {
    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(0, 0, 0, 0));
    argb.setPixel(1, 0, qRgba(9, 8, 7, 255));
    LoadResult back = loadPictureFromBytes(encodeBitmapFile(argb));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.picture.format(), QImage::Format_RGB32);
    EXPECT_EQ(back.picture.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(back.picture.pixel(1, 0), qRgb(9, 8, 7));

    QImage grey(3, 1, QImage::Format_Grayscale8);
    grey.fill(77);
    back = loadPictureFromBytes(encodeBitmapFile(grey));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.picture.format(), QImage::Format_Indexed8);
    EXPECT_EQ(back.picture.pixel(2, 0), qRgb(77, 77, 77));
}

TEST(BitmapWriter, WritesFilesAndReportsFailure) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage picture = randomPicture(QImage::Format_RGB888, 4, 4, 9);
    const QString path = dir.filePath("game.bmp");
    ASSERT_TRUE(writeBitmapFile(path, picture));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), encodeBitmapFile(picture));
    EXPECT_TRUE(loadPicture(path).ok());

    EXPECT_FALSE(writeBitmapFile(dir.filePath("no/such/folder/game.bmp"), picture));
    EXPECT_FALSE(writeBitmapFile(dir.filePath("empty.bmp"), QImage()));
    EXPECT_FALSE(QFile::exists(dir.filePath("empty.bmp")));
    EXPECT_TRUE(encodeBitmapFile(QImage()).isEmpty());
}
