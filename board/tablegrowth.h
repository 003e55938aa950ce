#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <vector>

class Viewport;
struct BoardState;

// Room to build: the table grows where the player puts something beyond its edge. Growing to the
// left or upward moves everything on the board (elements, the view, the interaction under way)
// by what was added there, so nothing moves on the screen; the new table costs nothing until it
// is shown, as the window is drawn for what it shows. The board never grows past
// boardReach on either side, as far as saved games may place an element.
class TableGrowth {
public:
    TableGrowth(BoardState& state, Viewport& viewport);

    // What a board of `board` needs on each side so that `wanted` lies on it: only on the sides
    // where `beyond` leaves the board, and no side past `limit` (the board's own size when larger).
    static QMargins marginsFor(const QRect& beyond, const QRect& wanted, QSize board, int limit);
    // The largest side the board of this game may have.
    int limit() const;

    // Elements were just put down (a drop, or a drag ended by a join): where any of them lies
    // beyond the board's edge, the board grows on that side until all of them lie on it with a
    // margin of one element beyond their bodies. Returns what was added on each side.
    QMargins growFor(const std::vector<std::int32_t>& dropped);
    // Adds board on each side (less where the limit does not allow it); returns what was added.
    // The whole-table view fits the larger board; any other view keeps what it shows in place.
    QMargins grow(QMargins add);

private:
    BoardState& state_;
    Viewport& viewport_;
};
