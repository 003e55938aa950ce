#include "model/devicepicture.h"
#include "model/picture.h"
#include "model/picturetestutil.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

const QByteArray kPrint = QByteArrayLiteral("0123456789abcdef");

bool writeFile(const QString& path, const QImage& picture, const QByteArray& print) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && writeDevicePicture(file, picture, print);
}

} // namespace

// Whatever the cut, the source and the screen: the copy is finer than the cut picture, never
// finer than the screen or than the source has, one factor for both sides, and it reads back as
// one; a copy hardly finer than the cut is not made at all.
TEST(DevicePicture, TheFinerCopyNeverClaimsMoreThanTheSourceOrTheScreen) {
    const QSize logicals[] = {{640, 480}, {96, 4800}, {4800, 96}, {5000, 5000}, {16, 16}};
    const double ratios[] = {1.0, 1.05, 1.25, 1.5, 2.0, 3.0, 8.0};
    for (const QSize logical : logicals)
        for (const double ratio : ratios)
            for (const double sourceFactor : {0.5, 1.0, 1.08, 1.3, 1.9, 2.0, 2.7, 5.0})
                for (const double skew : {1.0, 0.8, 1.2}) {
                    const QSize source(int(logical.width() * sourceFactor * skew),
                                       int(logical.height() * sourceFactor));
                    const QSize size = devicePictureSize(logical, source, ratio);
                    SCOPED_TRACE(testing::Message()
                                 << logical.width() << "x" << logical.height() << " r " << ratio << " source "
                                 << source.width() << "x" << source.height());
                    const double most =
                        std::min({ratio, maxDeviceRatio, double(source.width()) / logical.width(),
                                  double(source.height()) / logical.height()});
                    const double limited =
                        std::min(most, std::sqrt(double(maxPicturePixels) /
                                                 (double(logical.width()) * logical.height())));
                    if (size.isEmpty()) {
                        EXPECT_LT(limited, 1.1);
                        continue;
                    }
                    // As fine as allowed, to a pixel.
                    EXPECT_GE(size.width(), int(limited * logical.width()) - 1);
                    EXPECT_LE(size.width(), source.width());
                    EXPECT_LE(size.height(), source.height());
                    EXPECT_LE(size.width(), std::ceil(ratio * logical.width()));
                    EXPECT_LE(size.height(), std::ceil(ratio * logical.height()));
                    EXPECT_LE(qint64(size.width()) * size.height(), maxPicturePixels);
                    EXPECT_TRUE(fitsDevicePicture(size, logical));
                }
    // A screen of ratio 2 and a large source: exactly twice the cut.
    EXPECT_EQ(devicePictureSize({800, 600}, {4000, 3000}, 2.0), QSize(1600, 1200));
    // Sizes a file might claim: not finer, unevenly finer, far finer.
    EXPECT_FALSE(fitsDevicePicture({800, 600}, {800, 600}));
    EXPECT_FALSE(fitsDevicePicture({1600, 1300}, {800, 600}));
    EXPECT_FALSE(fitsDevicePicture({4000, 3000}, {800, 600}));
    EXPECT_FALSE(fitsDevicePicture({16384, 16385}, {8192, 8192}));
}

TEST(DevicePicture, TheCopyIsMadeFromTheSourceAsTwentyFourBits) {
    for (const QImage::Format format : pictureFormats()) {
        const QImage source = randomPicture(format, 300, 200, 7);
        const QImage copy = makeDevicePicture(source, {100, 60}, 2.0);
        ASSERT_EQ(copy.size(), QSize(200, 120)) << formatName(format);
        EXPECT_EQ(copy.format(), QImage::Format_RGB888);
    }
    // Area averaging keeps the picture's mean colour, whatever the factors, and a flat picture flat.
    const auto mean = [](const QImage& image) {
        double sum[3] = {0, 0, 0};
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                sum[0] += qRed(c), sum[1] += qGreen(c), sum[2] += qBlue(c);
            }
        const double n = double(image.width()) * image.height();
        return std::array<double, 3>{sum[0] / n, sum[1] / n, sum[2] / n};
    };
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888}) {
        const QImage source = randomPicture(format, 331, 217, 11);
        const QImage copy = makeDevicePicture(source, {100, 64}, 3.0);
        ASSERT_EQ(copy.size(), QSize(300, 192));
        const auto a = mean(source), b = mean(copy);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(a[k], b[k], 1.0) << formatName(format);
        QImage flat(457, 300, format);
        flat.fill(qRgb(12, 200, 99));
        const QImage flatCopy = makeDevicePicture(flat, {200, 130}, 2.0);
        ASSERT_FALSE(flatCopy.isNull());
        for (int y = 0; y < flatCopy.height(); ++y)
            for (int x = 0; x < flatCopy.width(); ++x)
                ASSERT_EQ(flatCopy.pixel(x, y), qRgb(12, 200, 99)) << x << "," << y;
    }
    EXPECT_TRUE(makeDevicePicture(randomPicture(QImage::Format_RGB32, 100, 60, 1), {100, 60}, 2.0).isNull());
    EXPECT_TRUE(makeDevicePicture(randomPicture(QImage::Format_RGB32, 300, 200, 1), {100, 60}, 1.0).isNull());
}

// The file reads back only as the copy of the picture file it names, and only as written:
// every other file (another game's copy, a cut size that differs, damage anywhere) reads as none.
TEST(DevicePicture, TheFileReadsBackOnlyForItsOwnPicture) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.hd.dib"));
    const QImage copy = makeDevicePicture(randomPicture(QImage::Format_RGB888, 203, 151, 3), {101, 75}, 2.0);
    ASSERT_EQ(copy.size(), QSize(202, 150));
    ASSERT_TRUE(writeFile(path, copy, kPrint));
    EXPECT_EQ(readDevicePicture(path, {101, 75}, kPrint), copy);
    // Any viewer reads it as the bitmap it is.
    EXPECT_EQ(loadPicture(path).picture, copy);

    EXPECT_TRUE(readDevicePicture(path, {101, 75}, QByteArrayLiteral("fedcba9876543210")).isNull());
    EXPECT_TRUE(readDevicePicture(path, {90, 75}, kPrint).isNull());
    EXPECT_TRUE(readDevicePicture(dir.filePath(QStringLiteral("none")), {101, 75}, kPrint).isNull());
    EXPECT_FALSE(writeFile(dir.filePath(QStringLiteral("b")), copy, QByteArrayLiteral("not a print")));
    EXPECT_FALSE(
        writeFile(dir.filePath(QStringLiteral("c")), copy.convertToFormat(QImage::Format_RGB32), kPrint));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    const auto damaged = [&](const QByteArray& changed) {
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(changed);
        out.close();
        return readDevicePicture(path, {101, 75}, kPrint).isNull();
    };
    EXPECT_TRUE(damaged(bytes.left(bytes.size() - 1)));
    EXPECT_TRUE(damaged(bytes + 'x'));
    EXPECT_TRUE(damaged(bytes.left(bytes.size() - 40) + bytes.right(28)));
    for (const int at : {0, 10, 14, 18, 22, 26, 28, 30}) {
        QByteArray changed = bytes;
        changed[at] = char(changed[at] ^ 0x41);
        EXPECT_TRUE(damaged(changed)) << "byte " << at;
    }
    // Claimed sides as large as a header can hold are refused before anything is sized.
    QByteArray huge = bytes;
    for (const int at : {18, 22})
        for (int k = 0; k < 4; ++k)
            huge[at + k] = k == 3 ? char(0x7F) : char(0xFF);
    EXPECT_TRUE(damaged(huge));
}
