#pragma once

#include "board/background.h"

#include <QImage>

#include <cstdint>

// The off-screen board: as large as the whole board, never smaller than the screen. The window
// only ever copies the visible part of it.
struct Board {
    QImage boardBitmap; // Format_RGB32, boardWidth x boardHeight
    std::int32_t boardWidth = 0;
    std::int32_t boardHeight = 0;
    std::int32_t scrollX = 0;
    std::int32_t scrollY = 0;
    std::int32_t maxScrollX = 0;
    std::int32_t maxScrollY = 0;

    // A fresh bitmap of the given size (contents undefined until painted); scroll limits follow
    // the screen size and the position returns to the origin.
    void resize(int width, int height, int screenWidth, int screenHeight);
    // Fills the whole bitmap with the background.
    void paintBackground(const BackgroundState& background);
    // Keeps the scroll position inside 0..max.
    void clampScroll();
};
