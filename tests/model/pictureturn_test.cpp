#include "model/picture.h"
#include "model/picturetestutil.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Sizes below, at and across the turn's 64-pixel tiles.
const QSize turnSizes[] = {{1, 1}, {3, 2}, {2, 3}, {8, 1}, {9, 17}, {64, 64}, {70, 33}, {130, 65}};

void expectQuarterTurn(const QImage& source, const QImage& turned) {
    ASSERT_EQ(turned.width(), source.height());
    ASSERT_EQ(turned.height(), source.width());
    ASSERT_EQ(turned.format(), source.format());
    ASSERT_EQ(turned.colorTable(), source.colorTable());
    const int w = source.width();
    for (int y = 0; y < turned.height(); ++y)
        for (int x = 0; x < turned.width(); ++x)
            ASSERT_EQ(rawPixel(turned, x, y), rawPixel(source, w - 1 - y, x)) << "at " << x << "," << y;
}

} // namespace

TEST(PictureTurning, QuarterTurnCounterClockwiseForEveryDepth) {
    std::uint32_t seed = 1;
    for (QImage::Format format : pictureFormats()) {
        for (const QSize& size : turnSizes) {
            SCOPED_TRACE(std::string(formatName(format)) + " " + std::to_string(size.width()) + "x" +
                         std::to_string(size.height()));
            const QImage source = randomPicture(format, size.width(), size.height(), seed++);
            expectQuarterTurn(source, turnPicture(source));
        }
    }
}

TEST(PictureTurning, FourTurnsGiveTheSamePixels) {
    for (QImage::Format format : pictureFormats()) {
        SCOPED_TRACE(formatName(format));
        const QImage source = randomPicture(format, 70, 33, 77);
        QImage turned = source;
        for (int k = 0; k < 4; ++k)
            turned = turnPicture(turned);
        ASSERT_EQ(turned.size(), source.size());
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                ASSERT_EQ(rawPixel(turned, x, y), rawPixel(source, x, y));
    }
}

// The half turns taken straight from entries 0 and 1 are quarter turns of the entry before,
// for every depth (bit pixels take the two quarter turns).
TEST(PictureTurning, EachTurnedPictureIsAQuarterTurnOfThePrevious) {
    std::uint32_t seed = 40;
    for (QImage::Format format : pictureFormats()) {
        for (const QSize size : {QSize(1, 1), QSize(9, 17), QSize(70, 33)}) {
            SCOPED_TRACE(std::string(formatName(format)) + " " + std::to_string(size.width()));
            std::array<QImage, 4> pictures{randomPicture(format, size.width(), size.height(), seed++)};
            ASSERT_TRUE(buildTurnedPictures(pictures));
            for (int k = 1; k < 4; ++k)
                expectQuarterTurn(pictures[k - 1], pictures[k]);
        }
    }
}

TEST(PictureTurning, TopRightCornerBecomesTopLeft) {
    QImage source(3, 2, QImage::Format_RGB888);
    source.fill(Qt::black);
    source.setPixel(2, 0, qRgb(255, 0, 0)); // top right
    source.setPixel(0, 1, qRgb(0, 0, 255)); // bottom left
    const QImage turned = turnPicture(source);
    EXPECT_EQ(turned.size(), QSize(2, 3));
    EXPECT_EQ(turned.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(turned.pixel(1, 2), qRgb(0, 0, 255));
}

TEST(PictureTurning, MonoKeepsItsTwoColoursAndBitOrder) {
    for (QImage::Format format : {QImage::Format_Mono, QImage::Format_MonoLSB}) {
        QImage source = randomPicture(QImage::Format_Mono, 19, 11, 5).convertToFormat(format);
        source.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
        const QImage turned = turnPicture(source);
        EXPECT_EQ(turned.colorTable().size(), 2);
        expectQuarterTurn(source, turned);
    }
}

TEST(PictureTurning, NullGivesNull) {
    EXPECT_TRUE(turnPicture(QImage()).isNull());
}

TEST(PictureTurning, TurnedPicturesOnAWorkerThread) {
    std::array<QImage, 4> pictures;
    pictures[0] = randomPicture(QImage::Format_RGB888, 130, 65, 3);
    std::array<QImage, 4> other;
    other[0] = randomPicture(QImage::Format_Indexed8, 65, 130, 4);
    bool ok = false;
    bool otherOk = false;
    std::thread worker([&] { ok = buildTurnedPictures(pictures); });
    std::thread second([&] { otherOk = buildTurnedPictures(other); });
    worker.join();
    second.join();
    ASSERT_TRUE(ok);
    ASSERT_TRUE(otherOk);
    for (int k = 1; k < 4; ++k) {
        expectQuarterTurn(pictures[k - 1], pictures[k]);
        expectQuarterTurn(other[k - 1], other[k]);
    }
    // Entry 2 is the picture upside down.
    EXPECT_EQ(rawPixel(pictures[2], 0, 0), rawPixel(pictures[0], 129, 64));
    EXPECT_EQ(rawPixel(pictures[2], 129, 0), rawPixel(pictures[0], 0, 64));

    std::array<QImage, 4> none;
    EXPECT_FALSE(buildTurnedPictures(none));
}

TEST(PictureTurning, IntoAnExistingPictureReusesItsMemoryOnlyWhenUnshared) {
    const QImage source = randomPicture(QImage::Format_RGB32, 9, 5, 8);
    QImage target(5, 9, QImage::Format_RGB32);
    const uchar* memory = target.constBits();
    ASSERT_TRUE(turnPictureInto(source, target));
    EXPECT_EQ(target.constBits(), memory);
    expectQuarterTurn(source, target);

    // A copy held elsewhere keeps its pixels.
    QImage shared(5, 9, QImage::Format_RGB32);
    shared.fill(qRgb(1, 2, 3));
    const QImage holder = shared;
    ASSERT_TRUE(turnPictureInto(source, shared));
    expectQuarterTurn(source, shared);
    EXPECT_EQ(holder.pixel(0, 0), qRgb(1, 2, 3));

    QImage wrong(9, 5, QImage::Format_Indexed8);
    ASSERT_TRUE(turnPictureInto(source, wrong));
    expectQuarterTurn(source, wrong);

    QImage untouched = source;
    EXPECT_FALSE(turnPictureInto(QImage(), untouched));
}
