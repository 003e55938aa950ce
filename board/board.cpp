#include "board/board.h"

#include <algorithm>
#include <cmath>

void Board::resize(int width, int height, int screenWidth, int screenHeight) {
    boardWidth = width;
    boardHeight = height;
    ++serial;
    ++extent;
    screenSize_ = QSize(screenWidth, screenHeight);
    // Every new or loaded game starts at 100 %.
    scale = 1.0;
    scrollX = scrollY = 0;
    updateLimits();
}

void Board::grow(int width, int height) {
    extend(QMargins(0, 0, std::max(0, width - boardWidth), std::max(0, height - boardHeight)));
}

void Board::extend(const QMargins& add) {
    const int width = boardWidth + add.left() + add.right();
    const int height = boardHeight + add.top() + add.bottom();
    if (width == boardWidth && height == boardHeight)
        return;
    boardWidth = width;
    boardHeight = height;
    ++extent;
    updateLimits();
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
    // A view pixel shows the mean of its samples, each of them one board pixel's: it changes only
    // where a sample of it lies in a changed board pixel. One more for rounding.
    constexpr int reach = 1;
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
