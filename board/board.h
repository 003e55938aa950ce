#pragma once

#include <QMargins>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <cstdint>

// The table: as large as the whole board, never smaller than the screen, and the part of it
// the window shows at the view's scale. It holds no pixels: the window is drawn from the
// elements and the background for what it shows.
//
// The view: the client point (x, y) shows the board point ((x + scrollX − originX) / scale,
// (y + scrollY − originY) / scale). The scroll position counts view pixels (board pixels times
// the scale), so scrolling steps stay screen pixels at every scale; at 100 % it is the board
// point at the client's top-left corner, as it always was. The origin is non-zero only while
// the scaled board is narrower or lower than the window: it is then centred.
struct Board {
    std::int32_t boardWidth = 0;
    std::int32_t boardHeight = 0;
    std::int32_t scrollX = 0;
    std::int32_t scrollY = 0;
    std::int32_t maxScrollX = 0;
    std::int32_t maxScrollY = 0;

    double scale = 1.0; // view pixels per board pixel
    QSize viewSize;     // the client area; empty until a window reports it
    std::int32_t originX = 0;
    std::int32_t originY = 0;
    std::uint64_t serial = 0; // counts the boards made by resize: a new or loaded game
    std::uint64_t extent = 0; // counts changes of the board's size or origin (resize, grow, extend)

    // A new board of the given size at 100 %, the position back at the origin. The scroll limits
    // follow the client area, or the screen while no window has reported one.
    void resize(int width, int height, int screenWidth, int screenHeight);
    // Makes the board larger (never smaller), keeping the scale and the position.
    void grow(int width, int height);
    QRect rect() const { return QRect(0, 0, boardWidth, boardHeight); }
    // Adds board on each side: everything on it moves by (left, top) with the board's origin
    // (the caller moves the elements), the scale stays and the position is kept in range.
    void extend(const QMargins& add);
    // Keeps the scroll position inside 0..max.
    void clampScroll();

    // The client area changed size, or the scale changed: new limits, origin and a position in range.
    void setView(QSize clientSize, double newScale);
    // The board's size in view pixels.
    QSize scaledSize() const;

    QPointF toBoardF(QPointF client) const;
    // The board pixel under a client pixel.
    QPoint toBoard(QPoint client) const;
    QPointF toClientF(QPointF board) const;
    // The client pixels that show any part of a board area: exact at 100 %, else the bounding
    // rectangle widened by what the smoothing reaches.
    QRect toClient(const QRect& boardRect) const;
    QRegion toClient(const QRegion& boardRegion) const;
    bool unscaled() const { return scale == 1.0 && originX == 0 && originY == 0; }
    // What a saved game keeps, as saved games always have: the limits against the screen and the
    // position within them as the view would have it at 100 %. Readers set both anew.
    QPoint savedScroll() const;
    QPoint savedMaxScroll() const;

private:
    QSize clientOrScreen(QSize screen) const;
    void updateLimits();
    // A bitmap of the size over pixels of the board's own (a plain image should that fail).
    void makeBitmap(int width, int height);
    bool wrapPixels(uchar* data, int width, int height);
    // Grows the bitmap keeping its pixels where they lie in memory and moving the rows to their
    // new places: no copy of the board in fresh memory. False when the bitmap is not ours alone.
    bool extendInPlace(const QMargins& add, int width, int height);

    QSize screenSize_; // the view while no window has reported its client area
    // The pixels the bitmap was made over (owned by the image), and the image they belong to.
    struct PixelBuffer;
    PixelBuffer* pixels_ = nullptr;
    qint64 pixelsKey_ = 0;
};
