#pragma once

// The table drawn the plain way the game drew it before it drew from one picture, for comparing
// the window with: the cut picture turned into its four orientations pixel by pixel; every
// element a bitmap of its own (the outline colour, the turned picture inside its inner region
// within its shape bounds); a board as large as the table filled with the background; each
// element's bitmap copied through its board region from the bottom of the stack to the top,
// elements off the table left out; the held element on top.

#include "board/boardstate.h"
#include "model/element.h"
#include "model/puzzle.h"

#include <QImage>
#include <QRegion>

#include <array>

// The picture as 32-bit pixels and turned k quarter turns counter-clockwise: target (x, y) =
// source (w - 1 - y, x) for each quarter turn.
inline std::array<QImage, 4> referenceTurns(const QImage& picture) {
    std::array<QImage, 4> turns;
    turns[0] = picture.convertToFormat(QImage::Format_RGB32);
    for (int k = 1; k < 4; ++k) {
        const QImage& from = turns[k - 1];
        QImage to(from.height(), from.width(), QImage::Format_RGB32);
        for (int y = 0; y < to.height(); ++y)
            for (int x = 0; x < to.width(); ++x)
                to.setPixel(x, y, from.pixel(from.width() - 1 - y, x));
        turns[k] = to;
    }
    return turns;
}

// An element's bitmap: its cell cut from the picture turned as the element is.
inline QImage referenceBitmap(const Element& e, const Puzzle& p, const std::array<QImage, 4>& turns,
                              const QColor& outline) {
    const Geometry& g = p.geometry;
    const int s = g.elementSize, gap = (g.cellSize - s) / 2;
    const int row = e.homeIndex / p.columns, col = e.homeIndex % p.columns;
    // The picture point at the cell's top-left corner, per orientation.
    const QPoint source[4] = {{col * s - gap, row * s - gap},
                              {row * s - gap, (p.columns - 1 - col) * s - gap},
                              {(p.columns - 1 - col) * s - gap, (p.rows - 1 - row) * s - gap},
                              {(p.rows - 1 - row) * s - gap, col * s - gap}};
    const QImage& picture = turns[e.orientation & 3];
    const QPoint from = source[e.orientation & 3];
    QImage bitmap(g.bitmapSize, g.bitmapSize, QImage::Format_RGB32);
    bitmap.fill(outline);
    for (int y = 0; y < g.bitmapSize; ++y)
        for (int x = 0; x < g.bitmapSize; ++x) {
            const QPoint at = from + QPoint(x, y);
            if (e.innerRegion.contains(QPoint(x, y)) && e.shapeBounds.contains(x, y) &&
                picture.rect().contains(at))
                bitmap.setPixel(x, y, picture.pixel(at));
        }
    return bitmap;
}

// The background of the board pixel (x, y).
inline QRgb referenceBackground(const BackgroundState& bg, int x, int y) {
    if (!bg.bitmapBackground)
        return bg.backgroundColor.rgb();
    return bg.texture.pixel(x % bg.texture.width(), y % bg.texture.height()) | 0xff000000u;
}

// The whole table at 100 %; `paused` shows the background alone.
inline QImage referenceBoard(const BoardState& s, bool paused = false) {
    const Board& b = s.board;
    QImage board(b.boardWidth, b.boardHeight, QImage::Format_RGB32);
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            board.setPixel(x, y, referenceBackground(s.background, x, y));
    if (paused || !s.hasElements())
        return board;
    const Puzzle& p = s.puzzle;
    const std::array<QImage, 4> turns = referenceTurns(s.picture);
    const auto draw = [&](int i) {
        const Element& e = p.element(i);
        const QImage bitmap = referenceBitmap(e, p, turns, s.settings.outlineColor);
        const QRect square(e.cellRect.left, e.cellRect.top, bitmap.width(), bitmap.height());
        for (const QRect& r : p.boardRegions[i].intersected(square).intersected(board.rect()))
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    board.setPixel(x, y, bitmap.pixel(x - e.cellRect.left, y - e.cellRect.top));
    };
    for (auto it = p.stackOrder.rbegin(); it != p.stackOrder.rend(); ++it)
        if (!s.offTable(*it))
            draw(*it);
    const int held = s.input.pickedElement;
    if (held >= 0 && s.input.lifted)
        draw(held);
    return board;
}
