#include "game/previewimagecache.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

namespace {

// Four flat quarters, so a stretched copy can be checked far from the blurred seams.
QImage quarters(int w, int h) {
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool right = x >= w / 2, bottom = y >= h / 2;
            image.setPixelColor(x, y,
                                !bottom ? (right ? QColor(0, 200, 0) : QColor(200, 0, 0))
                                        : (right ? QColor(250, 250, 250) : QColor(0, 0, 200)));
        }
    return image;
}

void expectQuarters(const QImage& image) {
    const int w = image.width(), h = image.height();
    EXPECT_EQ(image.pixelColor(w / 4, h / 4), QColor(200, 0, 0));
    EXPECT_EQ(image.pixelColor(3 * w / 4, h / 4), QColor(0, 200, 0));
    EXPECT_EQ(image.pixelColor(w / 4, 3 * h / 4), QColor(0, 0, 200));
    EXPECT_EQ(image.pixelColor(3 * w / 4, 3 * h / 4), QColor(250, 250, 250));
}

TEST(PreviewImageCacheTest, ScalesOncePerSizeAndPicture) {
    PreviewImageCache cache(QSize(1024, 768));
    const QImage picture = quarters(200, 150);
    const QImage& first = cache.scaled(picture, QSize(300, 100));
    EXPECT_EQ(first.size(), QSize(300, 100));
    EXPECT_EQ(first.format(), QImage::Format_RGB32);
    expectQuarters(first);
    const qint64 key = first.cacheKey();
    EXPECT_EQ(cache.scaled(picture, QSize(300, 100)).cacheKey(), key);
    EXPECT_EQ(cache.scalings(), 1);

    cache.scaled(picture, QSize(120, 90));
    EXPECT_EQ(cache.scalings(), 2);

    // The cut replaces the picture: the next paint scales the new one even at the same size.
    const QImage cut = quarters(400, 300).convertToFormat(QImage::Format_Indexed8);
    expectQuarters(cache.scaled(cut, QSize(120, 90)));
    EXPECT_EQ(cache.scalings(), 3);
}

TEST(PreviewImageCacheTest, AHugePictureIsReducedOnceToTheLimit) {
    PreviewImageCache cache(QSize(256, 192));
    const QImage picture = quarters(2400, 1200);
    expectQuarters(cache.scaled(picture, QSize(100, 100)));
    EXPECT_EQ(cache.workingCopy().size(), QSize(256, 128));
    const qint64 working = cache.workingCopy().cacheKey();
    expectQuarters(cache.scaled(picture, QSize(150, 60)));
    EXPECT_EQ(cache.workingCopy().cacheKey(), working);
}

TEST(PreviewImageCacheTest, NothingToPaintGivesANullImage) {
    PreviewImageCache cache(QSize(1024, 768));
    EXPECT_TRUE(cache.scaled(QImage(), QSize(10, 10)).isNull());
    EXPECT_TRUE(cache.scaled(quarters(8, 8), QSize(0, 10)).isNull());
    EXPECT_EQ(cache.scalings(), 0);
}

} // namespace
