#include "board/background.h"
#include "game/backgroundchoice.h"
#include "model/cutcalculator.h"
#include "res/commandids.h"
#include "res/resources.h"

#include <QDirIterator>
#include <QFileInfo>

#include <cmath>
#include <cstdlib>
#include <set>

#include <gtest/gtest.h>

namespace {

// The mean difference, per channel, between a plain bitmap and its finer copy reduced to its size.
double meanDifference(const QImage& plain, const QImage& fine) {
    const QImage a = plain.convertToFormat(QImage::Format_RGB32);
    const QImage b = fine.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            int r = 0, g = 0, bl = 0;
            for (int k = 0; k < 4; ++k) {
                const QRgb q = b.pixel(2 * x + k % 2, 2 * y + k / 2);
                r += qRed(q), g += qGreen(q), bl += qBlue(q);
            }
            sum += std::abs(r / 4 - qRed(p)) + std::abs(g / 4 - qGreen(p)) + std::abs(bl / 4 - qBlue(p));
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

// Every bitmap drawn again with twice the pixels covers the size of its plain one, so a window on
// a screen of ratio 2 lays it out as at ratio 1, and shows the same picture, only finer. Each
// piece of art a window or the table enlarges on such a screen has one: the skins, the dialogs'
// lettering and samples, the textures and their swatches.
TEST(FinerArt, EveryFinerBitmapIsItsPlainOneWithTwiceThePixels) {
    std::set<int> finer;
    QDirIterator it(QStringLiteral(":/bitmaps"), {QStringLiteral("*@2x.png")});
    while (it.hasNext()) {
        const int id = QFileInfo(it.next()).fileName().section(QLatin1Char('@'), 0, 0).toInt();
        SCOPED_TRACE(testing::Message() << "bitmap " << id);
        finer.insert(id);
        const QImage plain = loadBitmapResource(id);
        const QImage fine = loadBitmapResource(id, 2.0);
        ASSERT_FALSE(plain.isNull());
        EXPECT_EQ(fine.devicePixelRatio(), 2.0);
        ASSERT_EQ(fine.size(), plain.size() * 2);
        EXPECT_EQ(fine.deviceIndependentSize().toSize(), plain.size());
        EXPECT_LT(meanDifference(plain, fine), 12.0);
    }
    std::set<int> wanted = {183, 209, 217, 252, 258, 273, 275, 282};
    for (const bool mosaic : {false, true})
        for (const bool square : {false, true})
            for (const bool shift : {false, true})
                wanted.insert(CutCalculator::previewBitmap(mosaic, square, shift));
    for (int command = Cmd::BackgroundFirst; command <= Cmd::BackgroundSolid; ++command)
        if (const BackgroundTexture* texture = backgroundTextureFor(command))
            wanted.insert({texture->bitmapId, texture->swatchId});
    for (const int id : wanted)
        EXPECT_TRUE(finer.count(id)) << "bitmap " << id << " has no finer copy";
}

// The table's texture comes with its finer copy; a texture put in its place by other means has
// none, rather than the finer copy of another.
TEST(FinerArt, TheFinerTextureBelongsToTheTextureLoaded) {
    BackgroundState background;
    background.backgroundBitmapId = 146;
    background.loadTexture();
    const QImage fine = background.fineTexture();
    ASSERT_FALSE(fine.isNull());
    EXPECT_EQ(fine.size(), background.texture.size() * 2);
    EXPECT_EQ(fine, loadBitmapResource(146, 2.0));
    background.texture = QImage(160, 120, QImage::Format_RGB32);
    EXPECT_TRUE(background.fineTexture().isNull());
}
