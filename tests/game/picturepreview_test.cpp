#include "game/picturepreview.h"
#include "model/bmpbytes.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QRect kPictureRect(240, 10, 165, 124);

struct DrawCase {
    int width, height;
    QRect drawn;
};

TEST(PreviewDrawRectTest, ReducedNeverEnlargedAndCentred) {
    const DrawCase cases[] = {
        {100, 50, QRect(240 + 32, 10 + 37, 100, 50)}, // its own size, centred
        {1600, 1200, QRect(240, 10, 165, 124)},       // s = 9.697: 123.75 goes up to 124
        {800, 200, QRect(240, 10 + 41, 165, 41)},     // s = 800 / 165: 41.25, centred vertically
        {165, 124, QRect(240, 10, 165, 124)},
        {100, 1000, QRect(240 + 76, 10, 12, 124)}, // s = 1000 / 124: 12.4
        {1, 1, QRect(240 + 82, 10 + 61, 1, 1)},
        {330, 1, QRect(240, 10 + 61, 165, 1)}, // 0.5 goes up
    };
    for (const DrawCase& c : cases)
        EXPECT_EQ(previewDrawRect(c.width, c.height, kPictureRect), c.drawn) << c.width << "x" << c.height;
    EXPECT_TRUE(previewDrawRect(0, 50, kPictureRect).isEmpty());
    EXPECT_TRUE(previewDrawRect(100, -5, kPictureRect).isEmpty());
    EXPECT_TRUE(previewDrawRect(100, 50, QRect()).isEmpty());
}

class PreviewFilesTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static QByteArray encode(const QImage& image, const char* format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }
    static QImage gradient(int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 90));
        return image;
    }
};

TEST_F(PreviewFilesTest, BitmapReportsItsFileDepthAndFitsTheBox) {
    BmpLayout layout;
    layout.width = 300;
    layout.height = 100;
    layout.bitsPerPixel = 4;
    for (int i = 0; i < 16; ++i)
        layout.colourTable.append(qRgb(i * 16, 255 - i * 16, 0));
    layout.pixels = packRows(300, 100, 4, false, [](int x, int) { return std::uint32_t(x % 16); });
    const PicturePreview p = loadPreview(write("four.bmp", makeBmp(layout)), QSize(165, 124));
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.format, "bmp");
    EXPECT_EQ(p.width, 300);
    EXPECT_EQ(p.height, 100);
    EXPECT_EQ(p.bitsPerPixel, 4);
    EXPECT_EQ(p.image.size(), QSize(165, 55));
    EXPECT_EQ(p.image.format(), QImage::Format_RGB32);
}

TEST_F(PreviewFilesTest, PhotosReportTheirColourDepthNotHowTheyAreHeld) {
    const PicturePreview jpeg =
        loadPreview(write("photo.jpg", encode(gradient(64, 48), "jpeg")), QSize(165, 124));
    ASSERT_TRUE(jpeg.ok);
    EXPECT_EQ(jpeg.format, "jpeg");
    EXPECT_EQ(jpeg.bitsPerPixel, 24);
    EXPECT_EQ(jpeg.image.size(), QSize(64, 48)); // small pictures are not enlarged

    QImage grey(40, 30, QImage::Format_Grayscale8);
    grey.fill(100);
    const PicturePreview png = loadPreview(write("grey.png", encode(grey, "png")), QSize(165, 124));
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.bitsPerPixel, 8);
}

TEST_F(PreviewFilesTest, LargeFilesAreDecodedAtTheReducedSize) {
    // Forcing the header path: a 2000 x 1500 photo decodes straight to the box's size.
    const QString path = write("big.jpg", encode(gradient(2000, 1500), "jpeg"));
    const PicturePreview p = loadPreview(path, QSize(165, 124), 0);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.width, 2000);
    EXPECT_EQ(p.height, 1500);
    EXPECT_EQ(p.bitsPerPixel, 24);
    EXPECT_EQ(p.image.size(), QSize(165, 124));
}

TEST_F(PreviewFilesTest, NothingThatIsNotAPictureGivesAPreview) {
    const QSize box(165, 124);
    EXPECT_FALSE(loadPreview(QString(), box).ok);
    EXPECT_FALSE(loadPreview(dir.path(), box).ok);
    EXPECT_FALSE(loadPreview(dir.filePath("missing.bmp"), box).ok);
    EXPECT_FALSE(loadPreview(write("empty.bmp", QByteArray()), box).ok);
    EXPECT_FALSE(loadPreview(write("text.bmp", "just some words"), box).ok);

    BmpLayout hostile;
    hostile.width = 60000;
    hostile.height = 60000;
    hostile.bitsPerPixel = 32;
    const QString claims = write("claims.bmp", makeBmp(hostile));
    EXPECT_FALSE(loadPreview(claims, box).ok);
    EXPECT_FALSE(loadPreview(claims, box, 0).ok);

    QByteArray png = encode(gradient(4, 4), "png");
    const QString truncated = write("cut.png", png.left(png.size() / 2));
    EXPECT_FALSE(loadPreview(truncated, box).ok);
}

} // namespace
