#include "board/board.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

// The pixels of a board bitmap, allocated by the board itself so that growing can keep them in
// place: the image frees them when its last copy goes, unless the board has taken them back.
struct Board::PixelBuffer {
    uchar* data = nullptr;
    bool taken = false;

    static void release(void* info) {
        auto* buffer = static_cast<PixelBuffer*>(info);
        if (!buffer->taken)
            std::free(buffer->data);
        delete buffer;
    }
};

bool Board::wrapPixels(uchar* data, int width, int height) {
    if (!data)
        return false;
    auto* buffer = new PixelBuffer{data};
    boardBitmap =
        QImage(data, width, height, qsizetype(width) * 4, QImage::Format_RGB32, PixelBuffer::release, buffer);
    pixels_ = buffer;
    pixelsKey_ = boardBitmap.cacheKey() >> 32;
    return true;
}

void Board::makeBitmap(int width, int height) {
    pixels_ = nullptr;
    const std::size_t bytes = std::size_t(std::max(0, width)) * std::max(0, height) * 4;
    if (bytes == 0 || !wrapPixels(static_cast<uchar*>(std::malloc(bytes)), width, height))
        boardBitmap = QImage(width, height, QImage::Format_RGB32);
}

void Board::resize(int width, int height, int screenWidth, int screenHeight) {
    boardWidth = width;
    boardHeight = height;
    makeBitmap(width, height);
    reduced.reset(QSize(width, height));
    ++serial;
    screenSize_ = QSize(screenWidth, screenHeight);
    // Every new or loaded game starts at 100 %.
    scale = 1.0;
    scrollX = scrollY = 0;
    updateLimits();
}

void Board::grow(int width, int height) {
    extend(QMargins(0, 0, std::max(0, width - boardWidth), std::max(0, height - boardHeight)));
}

bool Board::extendInPlace(const QMargins& add, int width, int height) {
    // Only pixels of our own that no copy of the image shares can be moved under it.
    if (!pixels_ || boardBitmap.isNull() || (boardBitmap.cacheKey() >> 32) != pixelsKey_ ||
        !boardBitmap.isDetached() || boardBitmap.size() != QSize(boardWidth, boardHeight))
        return false;
    const qsizetype oldStride = boardBitmap.bytesPerLine();
    const qsizetype stride = qsizetype(width) * 4;
    uchar* data = pixels_->data;
    pixels_->taken = true;
    pixels_ = nullptr;
    boardBitmap = QImage(); // lets go of the pixels without freeing them
    // Large blocks are remapped, not copied: only the added area is new memory.
    uchar* grown = static_cast<uchar*>(std::realloc(data, std::size_t(stride) * height));
    if (!grown) {
        wrapPixels(data, boardWidth, boardHeight);
        return false;
    }
    // Every row to its new place, the last first: no row lands on one not yet moved, as each
    // moves forward.
    const std::size_t rowBytes = std::size_t(boardWidth) * 4;
    for (int y = boardHeight - 1; y >= 0; --y)
        std::memmove(grown + (y + add.top()) * stride + qsizetype(add.left()) * 4, grown + y * oldStride,
                     rowBytes);
    wrapPixels(grown, width, height);
    return true;
}

void Board::extend(const QMargins& add) {
    const int width = boardWidth + add.left() + add.right();
    const int height = boardHeight + add.top() + add.bottom();
    if (width == boardWidth && height == boardHeight)
        return;
    if (!extendInPlace(add, width, height)) {
        const QImage before = boardBitmap;
        makeBitmap(width, height);
        QPainter p(&boardBitmap);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(add.left(), add.top(), before);
    }
    boardWidth = width;
    boardHeight = height;
    reduced.reset(QSize(width, height));
    updateLimits();
}

void Board::paintBackground(const BackgroundState& background) {
    const Rect all{0, 0, boardWidth, boardHeight};
    if (background.bitmapBackground) {
        tileBitmap(background.texture, boardBitmap, all);
    } else {
        boardBitmap.fill(background.backgroundColor);
    }
    reduced.markAllChanged();
}

void Board::clampScroll() {
    scrollX = std::clamp(scrollX, 0, std::max(0, maxScrollX));
    scrollY = std::clamp(scrollY, 0, std::max(0, maxScrollY));
}

QSize Board::clientOrScreen(QSize screen) const {
    return viewSize.isEmpty() ? screen : viewSize;
}

QSize Board::scaledSize() const {
    if (scale == 1.0)
        return {boardWidth, boardHeight};
    return {static_cast<int>(std::lround(boardWidth * scale)),
            static_cast<int>(std::lround(boardHeight * scale))};
}

void Board::updateLimits() {
    const QSize view = clientOrScreen(screenSize_);
    const QSize scaled = scaledSize();
    maxScrollX = std::max(0, scaled.width() - view.width());
    maxScrollY = std::max(0, scaled.height() - view.height());
    // Only a zoomed-out board is centred: at 100 % a window larger than the board never occurs.
    originX = scale < 1.0 ? std::max(0, (view.width() - scaled.width()) / 2) : 0;
    originY = scale < 1.0 ? std::max(0, (view.height() - scaled.height()) / 2) : 0;
    clampScroll();
}

void Board::setView(QSize clientSize, double newScale) {
    viewSize = clientSize;
    scale = newScale;
    updateLimits();
}

QPointF Board::toBoardF(QPointF client) const {
    return {(client.x() + scrollX - originX) / scale, (client.y() + scrollY - originY) / scale};
}

QPoint Board::toBoard(QPoint client) const {
    if (unscaled())
        return client + QPoint(scrollX, scrollY);
    // The pixel's centre decides which board pixel it shows.
    const QPointF b = toBoardF(QPointF(client) + QPointF(0.5, 0.5));
    return {static_cast<int>(std::floor(b.x())), static_cast<int>(std::floor(b.y()))};
}

QPointF Board::toClientF(QPointF board) const {
    return {board.x() * scale - scrollX + originX, board.y() * scale - scrollY + originY};
}

QRect Board::toClient(const QRect& boardRect) const {
    if (unscaled())
        return boardRect.translated(-scrollX, -scrollY);
    if (boardRect.isEmpty())
        return {};
    const QPointF a = toClientF(boardRect.topLeft());
    const QPointF b = toClientF(QPointF(boardRect.right() + 1, boardRect.bottom() + 1));
    // A changed board pixel reaches a pixel further through the reduced copy's averaging and one
    // more through the smoothing (at most a view pixel each, as the copy is at least as large as
    // the view); zoomed in, the smoothing reaches one board pixel, at most two view pixels.
    constexpr int reach = 2;
    const int left = static_cast<int>(std::floor(a.x())) - reach,
              top = static_cast<int>(std::floor(a.y())) - reach;
    const int right = static_cast<int>(std::ceil(b.x())) + reach,
              bottom = static_cast<int>(std::ceil(b.y())) + reach;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRegion Board::toClient(const QRegion& boardRegion) const {
    if (unscaled())
        return boardRegion.translated(-scrollX, -scrollY);
    return QRegion(toClient(boardRegion.boundingRect()));
}

QPoint Board::savedScroll() const {
    const QPoint max = savedMaxScroll();
    const QPointF topLeft = unscaled() ? QPointF(scrollX, scrollY) : toBoardF(QPointF(0, 0));
    return {std::clamp(static_cast<int>(std::lround(topLeft.x())), 0, max.x()),
            std::clamp(static_cast<int>(std::lround(topLeft.y())), 0, max.y())};
}

QPoint Board::savedMaxScroll() const {
    return {std::max(0, boardWidth - screenSize_.width()), std::max(0, boardHeight - screenSize_.height())};
}
