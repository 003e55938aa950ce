#include "board/scroller.h"

#include "board/boardhost.h"
#include "board/boardstate.h"
#include "board/keystate.h"

#include <algorithm>

Scroller::Scroller(BoardState& state, IBoardHost& host) : state_(state), host_(host) {}

bool Scroller::scrollTo(int x, int y) {
    Board& board = state_.board;
    x = std::clamp(x, 0, std::max(0, board.maxScrollX));
    y = std::clamp(y, 0, std::max(0, board.maxScrollY));
    if (x == board.scrollX && y == board.scrollY)
        return false;
    board.scrollX = x;
    board.scrollY = y;
    state_.refreshDragClip();
    host_.invalidateAll();
    return true;
}

bool Scroller::scrollByKey(int key) {
    const Board& board = state_.board;
    const int step = state_.settings.keyScrollSpeed;
    switch (key) {
    case Qt::Key_Left:
        if (board.scrollX != 0)
            scrollTo(board.scrollX - step, board.scrollY);
        return true;
    case Qt::Key_Up:
        if (board.scrollY != 0)
            scrollTo(board.scrollX, board.scrollY - step);
        return true;
    case Qt::Key_Right:
        if (board.scrollX != board.maxScrollX)
            scrollTo(board.scrollX + step, board.scrollY);
        return true;
    case Qt::Key_Down:
        if (board.scrollY != board.maxScrollY)
            scrollTo(board.scrollX, board.scrollY + step);
        return true;
    default:
        return false;
    }
}

bool Scroller::wheel(int word, int delta) {
    if (word & (KeyState::LeftButton | KeyState::RightButton))
        return false;
    const Board& board = state_.board;
    const int step = state_.puzzle.geometry.bitmapSize;
    const bool sideways = word == KeyState::Shift;
    // Turning the wheel toward the player (negative delta) moves the view down or right.
    const int direction = delta < 0 ? 1 : delta > 0 ? -1 : 0;
    if (direction == 0)
        return true;
    if (sideways)
        scrollTo(board.scrollX + direction * step, board.scrollY);
    else
        scrollTo(board.scrollX, board.scrollY + direction * step);
    return true;
}

QPoint Scroller::edgeDirection(QPoint client, QSize clientSize) const {
    if (!state_.settings.scrollEnabled)
        return {};
    const int band = state_.settings.scrollArea;
    const int x = client.x(), y = client.y();
    QPoint direction;
    if (x >= 0 && x < band)
        direction.setX(-1);
    else if (clientSize.width() - band < x)
        direction.setX(1);
    if (y >= 0 && y < band)
        direction.setY(-1);
    else if (clientSize.height() - band < y)
        direction.setY(1);
    return direction;
}

bool Scroller::edgeScroll(QPoint client, QSize clientSize) {
    const Board& board = state_.board;
    if (board.maxScrollX == 0 && board.maxScrollY == 0)
        return false;
    const QPoint step = edgeDirection(client, clientSize) * state_.settings.mouseScrollSpeed;
    if (step.isNull() || !scrollTo(board.scrollX + step.x(), board.scrollY + step.y()))
        return false;
    host_.updateNow();
    return true;
}
