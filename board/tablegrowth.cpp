#include "board/tablegrowth.h"

#include "board/boardstate.h"
#include "board/viewport.h"
#include "model/generator.h"

#include <algorithm>
#include <limits>

TableGrowth::TableGrowth(BoardState& state, Viewport& viewport) : state_(state), viewport_(viewport) {}

namespace {

// No side past the limit (nor any growth of a side already past it): the side asked for most
// first, the opposite side with what is left.
QMargins withinLimit(QMargins add, QSize board, int limit) {
    const auto clampPair = [limit](int size, int& first, int& second) {
        const int room = std::max(0, limit - size);
        first = std::min(first, room);
        second = std::min(second, room - first);
    };
    int left = std::max(0, add.left()), right = std::max(0, add.right());
    int top = std::max(0, add.top()), bottom = std::max(0, add.bottom());
    if (left >= right)
        clampPair(board.width(), left, right);
    else
        clampPair(board.width(), right, left);
    if (top >= bottom)
        clampPair(board.height(), top, bottom);
    else
        clampPair(board.height(), bottom, top);
    return QMargins(left, top, right, bottom);
}

} // namespace

QMargins TableGrowth::marginsFor(const QRect& beyond, const QRect& wanted, QSize board, int limit) {
    QMargins add;
    if (beyond.isEmpty())
        return add;
    if (beyond.left() < 0)
        add.setLeft(-wanted.left());
    if (beyond.top() < 0)
        add.setTop(-wanted.top());
    if (beyond.right() >= board.width())
        add.setRight(wanted.right() + 1 - board.width());
    if (beyond.bottom() >= board.height())
        add.setBottom(wanted.bottom() + 1 - board.height());
    return withinLimit(add, board, limit);
}

int TableGrowth::limit() const {
    const Puzzle& p = state_.puzzle;
    const std::int64_t reach = boardReach(p.geometry.bitmapSize, p.rows, p.columns);
    return int(std::min<std::int64_t>(reach, std::numeric_limits<std::int32_t>::max() / 4));
}

QMargins TableGrowth::growFor(const std::vector<std::int32_t>& dropped) {
    const Puzzle& p = state_.puzzle;
    if (dropped.empty() || p.isEmpty())
        return {};
    const int s = p.geometry.elementSize;
    QRect cells, wanted;
    for (const int i : dropped) {
        const Rect& c = p.element(i).cellRect;
        const Rect& b = p.bodyRects[i];
        cells |= QRect(c.left, c.top, c.width(), c.height());
        wanted |= QRect(b.left - s, b.top - s, b.width() + 2 * s, b.height() + 2 * s);
    }
    wanted |= cells;
    const Board& board = state_.board;
    const QRect onBoard(0, 0, board.boardWidth, board.boardHeight);
    if (onBoard.contains(cells))
        return {};
    return grow(marginsFor(cells, wanted, QSize(board.boardWidth, board.boardHeight), limit()));
}

QMargins TableGrowth::grow(QMargins add) {
    Board& board = state_.board;
    add = withinLimit(add, QSize(board.boardWidth, board.boardHeight), limit());
    if (add.isNull())
        return add;
    const bool whole = viewport_.wholeTableShown();
    const QSize client = board.viewSize;
    const QPointF anchorClient(client.width() / 2.0, client.height() / 2.0);
    const QPointF anchorBoard = board.toBoardF(anchorClient);

    const QPoint shift(add.left(), add.top());
    if (!shift.isNull()) {
        Puzzle& p = state_.puzzle;
        p.moveAll(shift.x(), shift.y());
        InputState& input = state_.input;
        input.lastCursor += shift;
        input.band.anchor += shift;
        input.band.corner += shift;
        viewport_.boardShifted(shift);
    }
    // The view follows the board's new size and origin: what it drew goes, the new table is
    // drawn where shown.
    board.extend(add);

    if (whole)
        viewport_.refitWholeTable();
    else
        viewport_.keepAt(anchorBoard + QPointF(shift), anchorClient);
    return add;
}
