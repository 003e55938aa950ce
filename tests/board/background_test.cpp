#include "board/background.h"
#include "board/board.h"
#include "board/tilingsupport.h"
#include "boardfixture.h"

#include <gtest/gtest.h>

namespace {

TEST(TileBitmapTest, GridIsAnchoredAtDestinationOriginNotRectCorner) {
    const QImage tex = codedTexture(160, 120);
    const Rect r{100, 100, 300, 200};
    QImage direct(320, 240, QImage::Format_RGB32);
    direct.fill(qRgb(1, 2, 3));
    tileBitmap(tex, direct, r);
    expectAnchoredAtOrigin(direct, r, 160, 120);
}

TEST(TileBitmapTest, DirectCopyClipsToTheImage) {
    const QImage tex = codedTexture(7, 5);
    QImage out(20, 10, QImage::Format_RGB32);
    out.fill(qRgb(1, 2, 3));
    tileBitmap(tex, out, Rect{-5, -5, 100, 100});
    expectAnchoredAtOrigin(out, Rect{0, 0, 20, 10}, 7, 5);
}

TEST(BackgroundTest, StartsOnLimestoneWithBlackText) {
    BackgroundState b;
    EXPECT_EQ(b.bitmapBackground, 1);
    EXPECT_EQ(b.backgroundBitmapId, 192);
    EXPECT_EQ(b.backgroundColor, QColor(125, 125, 0));
    EXPECT_EQ(b.textColor, QColor(0, 0, 0));
    EXPECT_FALSE(b.hasBackgroundBrush);
    b.loadTexture();
    EXPECT_EQ(b.texture.size(), QSize(160, 120));
}

TEST(BoardTest, PaintsTextureOrSolidColourAndLimitsScrolling) {
    BoardState s;
    BackgroundState& b = s.background;
    b.texture = codedTexture(160, 120);
    Board& board = s.board;
    board.resize(400, 300, 320, 240);
    EXPECT_EQ(board.maxScrollX, 80);
    EXPECT_EQ(board.maxScrollY, 60);
    RecordingInteractionHost host;
    FakeSound sound;
    FakeCursor cursor;
    BoardRenderer renderer(s, host, sound, cursor);
    renderer.redrawBoard({.clearBackground = true});
    EXPECT_EQ(renderer.boardImage(board.rect()).pixel(170, 130), qRgb(10, 10, 77));
    b.bitmapBackground = 0;
    renderer.redrawBoard({.clearBackground = true});
    EXPECT_EQ(renderer.boardImage(board.rect()).pixel(170, 130), QColor(125, 125, 0).rgb());
    board.scrollX = 500;
    board.scrollY = -4;
    board.clampScroll();
    EXPECT_EQ(board.scrollX, 80);
    EXPECT_EQ(board.scrollY, 0);
}

} // namespace
