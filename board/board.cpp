#include "board/board.h"

#include <QPainter>

#include <algorithm>

void Board::resize(int width, int height, int screenWidth, int screenHeight) {
    boardWidth = width;
    boardHeight = height;
    boardBitmap = QImage(width, height, QImage::Format_RGB32);
    maxScrollX = std::max(0, boardWidth - screenWidth);
    maxScrollY = std::max(0, boardHeight - screenHeight);
    scrollX = scrollY = 0;
}

void Board::paintBackground(const BackgroundState& background) {
    const Rect all{0, 0, boardWidth, boardHeight};
    if (background.bitmapBackground) {
        tileBitmap(background.texture, boardBitmap, all);
    } else {
        boardBitmap.fill(background.backgroundColor);
    }
}

void Board::clampScroll() {
    scrollX = std::clamp(scrollX, 0, std::max(0, maxScrollX));
    scrollY = std::clamp(scrollY, 0, std::max(0, maxScrollY));
}
