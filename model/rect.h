#pragma once

#include <QRect>

// A rectangle as (left, top, right, bottom) with right and bottom exclusive, the way every
// stored rectangle of the game is kept. QRect's inclusive right edge invites off-by-one slips,
// so the model uses this and converts at the edges.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    constexpr Rect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    QRect toQRect() const { return QRect(left, top, width(), height()); }
    static Rect fromQRect(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};
