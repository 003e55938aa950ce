#include "model/bmpbytes.h"
#include "model/picture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

namespace {

QByteArray encode(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format, quality));
    return bytes;
}

QImage sampleRgb(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 50 % 256, y * 70 % 256, (x + y) * 20 % 256));
    return image;
}

std::uint32_t crc32(const char* data, qsizetype n) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (qsizetype i = 0; i < n; ++i) {
        crc ^= std::uint8_t(data[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

// A PNG whose header claims another size; the IHDR checksum is made to match.
QByteArray pngClaiming(int w, int h) {
    QByteArray png = encode(sampleRgb(2, 2), "png");
    auto be32 = [&](qsizetype at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            png[at + k] = char(v >> (24 - 8 * k));
    };
    be32(16, std::uint32_t(w)); // IHDR data starts at 16: width, height, ...
    be32(20, std::uint32_t(h));
    be32(29, crc32(png.constData() + 12, 17));
    return png;
}

} // namespace

TEST(PictureLoading, PngKeepsItsPixels) {
    const QImage source = sampleRgb(7, 5);
    const LoadResult r = loadPictureFromBytes(encode(source, "png"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.format, "png");
    EXPECT_EQ(r.picture.format(), QImage::Format_RGB32);
    EXPECT_EQ(r.picture, source);
}

TEST(PictureLoading, TransparencyIsLaidOverWhite) {
    QImage source(3, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(10, 20, 30, 0));
    source.setPixel(1, 0, qRgba(255, 0, 0, 255));
    source.setPixel(2, 0, qRgba(0, 0, 255, 128));
    const LoadResult r = loadPictureFromBytes(encode(source, "png"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.picture.format(), QImage::Format_RGB32);
    EXPECT_EQ(r.picture.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(r.picture.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(r.picture.pixel(2, 0), qRgb(127, 127, 255));
}

TEST(PictureLoading, GreyAndPalettePngsStayIndexed) {
    QImage grey(4, 2, QImage::Format_Grayscale8);
    for (int x = 0; x < 4; ++x) {
        grey.setPixel(x, 0, qRgb(x * 60, x * 60, x * 60));
        grey.setPixel(x, 1, qRgb(255 - x, 255 - x, 255 - x));
    }
    LoadResult r = loadPictureFromBytes(encode(grey, "png"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.picture.format(), QImage::Format_Indexed8);
    EXPECT_EQ(r.picture.pixel(3, 0), qRgb(180, 180, 180));
    EXPECT_EQ(r.picture.pixel(1, 1), qRgb(254, 254, 254));

    QImage indexed(3, 3, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50), qRgb(9, 99, 199)});
    for (int i = 0; i < 9; ++i)
        indexed.setPixel(i % 3, i / 3, uint(i % 3));
    r = loadPictureFromBytes(encode(indexed, "png"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.picture.format(), QImage::Format_Indexed8);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(r.picture.pixel(i % 3, i / 3), indexed.color(i % 3));
}

TEST(PictureLoading, OneBitPicturesBecomeMono) {
    QImage bits(10, 2, QImage::Format_Mono);
    bits.fill(0);
    bits.setPixel(9, 1, 1);
    const LoadResult r = loadPictureFromBytes(encode(bits, "xbm")); // Qt reads XBM as MonoLSB
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.picture.format(), QImage::Format_Mono);
    EXPECT_EQ(r.picture.colorTable().size(), 2);
    EXPECT_NE(r.picture.pixel(9, 1), r.picture.pixel(0, 0));
    EXPECT_EQ(r.picture.pixel(8, 1), r.picture.pixel(0, 0));
}

TEST(PictureLoading, JpegLoadsAndACutOffJpegDoesNot) {
    QImage source(64, 48, QImage::Format_RGB32);
    source.fill(qRgb(40, 120, 200));
    const QByteArray jpeg = encode(source, "jpeg", 95);
    LoadResult r = loadPictureFromBytes(jpeg);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.format, "jpeg");
    EXPECT_EQ(r.picture.size(), source.size());
    const QColor c = r.picture.pixelColor(30, 20);
    EXPECT_NEAR(c.red(), 40, 4);
    EXPECT_NEAR(c.blue(), 200, 4);

    // Data after the end-of-image marker (as some cameras append) does no harm.
    EXPECT_TRUE(loadPictureFromBytes(jpeg + QByteArray(5000, '\xff')).ok());

    for (qsizetype n : {qsizetype(2), jpeg.size() / 3, jpeg.size() - 2}) {
        r = loadPictureFromBytes(jpeg.left(n));
        EXPECT_FALSE(r.ok()) << "cut at " << n;
        EXPECT_TRUE(r.picture.isNull());
    }
}

TEST(PictureLoading, CutOffAndLyingPngsAreRefused) {
    const QByteArray png = encode(sampleRgb(40, 30), "png");
    for (qsizetype n : {qsizetype(20), png.size() / 2, png.size() - 13}) {
        const LoadResult r = loadPictureFromBytes(png.left(n));
        EXPECT_FALSE(r.ok()) << "cut at " << n;
    }
    // Headers claiming more than the few bytes that follow could ever hold.
    EXPECT_EQ(loadPictureFromBytes(pngClaiming(60000, 60000)).error, PictureError::TooLarge);
    EXPECT_EQ(loadPictureFromBytes(pngClaiming(5000, 5000)).error, PictureError::TooLarge);
    EXPECT_EQ(loadPictureFromBytes(pngClaiming(0, 7)).error != PictureError::None, true);
}

TEST(PictureLoading, FromFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(loadPicture(dir.filePath("missing.bmp")).error, PictureError::CannotOpen);
    EXPECT_EQ(loadPicture(dir.path()).error, PictureError::CannotOpen);
    EXPECT_EQ(loadPicture("/dev/zero").error, PictureError::CannotOpen);

    // The content decides, not the name.
    const QImage source = sampleRgb(3, 4);
    QFile named(dir.filePath("photo.bmp"));
    ASSERT_TRUE(named.open(QIODevice::WriteOnly));
    named.write(encode(source, "png"));
    named.close();
    LoadResult r = loadPicture(named.fileName());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.format, "png");
    EXPECT_EQ(r.picture, source);

    BmpLayout s;
    s.width = 2;
    s.height = 2;
    s.bitsPerPixel = 24;
    s.pixels =
        packRows(2, 2, 24, false, [](int x, int y) { return std::uint32_t(0x010203 * (1 + x + 2 * y)); });
    QFile bmp(dir.filePath("picture.dib"));
    ASSERT_TRUE(bmp.open(QIODevice::WriteOnly));
    bmp.write(makeBmp(s));
    bmp.close();
    r = loadPicture(bmp.fileName());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.format, "bmp");
    EXPECT_EQ(r.picture.pixel(1, 1), qRgb(4, 8, 12));

    QFile text(dir.filePath("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture\n");
    text.close();
    EXPECT_EQ(loadPicture(text.fileName()).error, PictureError::UnknownFormat);
}

TEST(PictureLoading, QtAllocationLimitIsRaisedOnlyForTheCheckedRead) {
    const int original = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1); // megabytes; the picture below decodes to about 4
    const QByteArray png = encode(sampleRgb(1000, 1000), "png");
    const LoadResult r = loadPictureFromBytes(png);
    const int after = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(original);
    ASSERT_TRUE(r.ok()) << int(r.error);
    EXPECT_EQ(r.picture.size(), QSize(1000, 1000));
    EXPECT_EQ(after, 1);
}

// The picture dialog offers these suffixes; a file of each type Qt can also write here must load.
TEST(PictureLoading, EveryOfferedTypeLoads) {
    const QStringList suffixes = readablePictureSuffixes();
    ASSERT_GE(suffixes.size(), 2);
    EXPECT_EQ(suffixes.mid(0, 2), QStringList({"bmp", "dib"}));
    for (const char* common : {"png", "jpg", "jpeg", "gif"})
        EXPECT_TRUE(suffixes.contains(QLatin1String(common))) << common;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Square and of a standard icon size, so that icon formats keep it.
    const QImage source = sampleRgb(32, 32);
    QStringList written;
    for (const QString& suffix : suffixes) {
        const QString path = dir.filePath(QStringLiteral("picture.") + suffix);
        const QByteArray format = suffix == QLatin1String("dib") ? "bmp" : suffix.toLatin1();
        if (!QImageWriter::supportedImageFormats().contains(format) || !source.save(path, format))
            continue;
        written << suffix;
        const LoadResult r = loadPicture(path);
        EXPECT_TRUE(r.ok()) << suffix.toStdString() << ": error " << int(r.error);
        EXPECT_EQ(r.picture.size(), source.size()) << suffix.toStdString();
    }
    EXPECT_GE(written.size(), 4) << written.join(' ').toStdString();

    // A Targa file reads like a cursor by its content, so it is not loaded and not offered.
    QByteArray tga(18, 0);
    tga[2] = 2; // uncompressed true colour
    tga[12] = 2;
    tga[14] = 2;
    tga[16] = 24;
    tga[17] = 0x20;
    tga += QByteArray(12, char(0x80)) + QByteArray(8, 0) + QByteArray("TRUEVISION-XFILE.", 18);
    EXPECT_FALSE(loadPictureFromBytes(tga).ok());
    EXPECT_FALSE(suffixes.contains(QLatin1String("tga")));
}
