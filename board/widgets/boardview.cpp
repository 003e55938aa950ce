#include "board/widgets/boardview.h"

#include "game/gamestate.h"

#include <QPaintEvent>
#include <QPainter>

BoardView::BoardView(GameState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void BoardView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const Board& board = state_.board;
    const QRect visible = event->rect();
    painter.drawImage(visible, board.boardBitmap, visible.translated(board.scrollX, board.scrollY));
    // A window larger than the board (it never should be) shows black rather than garbage.
    const QRect boardArea(-board.scrollX, -board.scrollY, board.boardWidth, board.boardHeight);
    const QRegion outside = QRegion(visible).subtracted(boardArea);
    for (const QRect& r : outside)
        painter.fillRect(r, Qt::black);
}
