#pragma once

#include <QPoint>
#include <QSize>

class IBoardHost;
struct BoardState;

// Moves the view over the board: cursor keys, the wheel and the bands along the window's edges.
// Scrolling never redraws the board bitmap; it only changes the offset the window copies from.
class Scroller {
public:
    Scroller(BoardState& state, IBoardHost& host);

    // Left, up, right and down arrows (Qt key codes) scroll by keyScrollSpeed; true when the
    // key was one of them.
    bool scrollByKey(int key);
    // One step of bitmapSize per message whatever the delta; exactly Shift scrolls sideways.
    // False (not handled) while the left or right button is down.
    bool wheel(int word, int delta);
    // One step of mouseScrollSpeed when the client point lies in an edge band; repaints at once
    // and returns true when the offset changed.
    bool edgeScroll(QPoint client, QSize clientSize);
    // Which way the edge bands ask to scroll at a client point: -1, 0 or +1 on each axis (both
    // 0 when edge scrolling is switched off).
    QPoint edgeDirection(QPoint client, QSize clientSize) const;
    // Sets the offset; invalidates and returns true when it changed.
    bool scrollTo(int x, int y);

    BoardState& state_;
    IBoardHost& host_;
};
