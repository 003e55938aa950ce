#include "model/picture.h"
#include "model/picturetestutil.h"

#include <gtest/gtest.h>

#include <QSet>

TEST(PictureScaling, KeepsFormatAndTakesAbsoluteSizes) {
    for (QImage::Format format : pictureFormats()) {
        SCOPED_TRACE(formatName(format));
        QImage picture = randomPicture(format, 40, 30, 11);
        const QList<QRgb> table = picture.colorTable();
        ASSERT_TRUE(scalePicture(picture, -64, 48));
        EXPECT_EQ(picture.size(), QSize(64, 48));
        EXPECT_EQ(picture.format(), format);
        EXPECT_EQ(picture.colorTable(), table);
        ASSERT_TRUE(scalePicture(picture, 13, -7));
        EXPECT_EQ(picture.size(), QSize(13, 7));
        EXPECT_EQ(picture.format(), format);
    }
}

TEST(PictureScaling, ASolidPictureStaysSolid) {
    for (QImage::Format format : pictureFormats()) {
        SCOPED_TRACE(formatName(format));
        QImage picture(17, 9, format);
        if (picture.depth() <= 8) {
            picture.setColorTable({qRgb(0, 0, 0), qRgb(30, 160, 90)});
            picture.fill(1);
        } else {
            picture.fill(qRgb(24, 160, 88)); // representable in 5 and 6 bits
        }
        const QRgb colour = picture.pixel(0, 0);
        for (QSize size : {QSize(50, 31), QSize(3, 2)}) {
            ASSERT_TRUE(scalePicture(picture, size.width(), size.height()));
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    ASSERT_EQ(picture.pixel(x, y), colour);
        }
    }
}

TEST(PictureScaling, ShrinkingAveragesLikeHalftone) {
    QImage picture(4, 4, QImage::Format_RGB888);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            picture.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    ASSERT_TRUE(scalePicture(picture, 2, 2));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_NEAR(qRed(picture.pixel(x, y)), 128, 3);
            EXPECT_NEAR(qBlue(picture.pixel(x, y)), 128, 3);
        }
    }
}

TEST(PictureScaling, IndexedPicturesUseOnlyTheirOwnColours) {
    QImage picture(30, 20, QImage::Format_Indexed8);
    const QList<QRgb> table = {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(250, 250, 250), qRgb(0, 0, 0)};
    picture.setColorTable(table);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            picture.setPixel(x, y, uint((x / 5 + y / 4) % 4));
    ASSERT_TRUE(scalePicture(picture, 45, 13));
    QSet<int> used;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 45; ++x)
            used.insert(picture.pixelIndex(x, y));
    for (int index : used)
        EXPECT_LT(index, 4);
    EXPECT_EQ(used.size(), 4); // stripes of every colour survive
}

TEST(PictureScaling, RefusesNothingToScaleAndLeavesThePicture) {
    QImage picture = randomPicture(QImage::Format_RGB32, 5, 5, 1);
    const QImage before = picture;
    EXPECT_FALSE(scalePicture(picture, 0, 10));
    EXPECT_FALSE(scalePicture(picture, 10, 0));
    EXPECT_FALSE(scalePicture(picture, 100000, 100000));
    EXPECT_EQ(picture, before);
    QImage none;
    EXPECT_FALSE(scalePicture(none, 10, 10));
    EXPECT_TRUE(none.isNull());
}
