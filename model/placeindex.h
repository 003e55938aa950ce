#pragma once

#include "model/rect.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// Elements by where their body squares lie, to find those near a point without looking at all
// of them. A dense grid of square cells over the bodies' top-left corners, each cell a list
// threaded through the elements (no allocation per move). Corners beyond the grid count in its
// edge cells: the index stays correct, only slower there, until it is built anew.
class PlaceIndex {
public:
    // Every element by its body's top-left corner; `cellSize` at least the element size keeps
    // a query about one element to a few cells.
    void build(const std::vector<Rect>& bodies, int cellSize);
    bool isBuilt() const { return built_; }
    void reset();

    // Element i's body now lies at `to`.
    void moved(int i, const Rect& to);
    // Every element moved by (dx, dy): the grid moves with them.
    void shift(int dx, int dy) {
        originX_ += dx;
        originY_ += dy;
    }
    // So many corners lie beyond the grid that queries there degrade: time to build anew.
    bool worn() const { return outside_ > 64 + static_cast<int>(cellOf_.size()) / 16; }

    // Calls f(i) once for every element whose corner lies in [x0, x1] x [y0, y1] (inclusive),
    // and for some others near it, in no particular order; the caller tests each exactly.
    template <class F> void forEachNear(int x0, int y0, int x1, int y1, F&& f) const {
        if (!built_)
            return;
        const int cx0 = column(x0), cx1 = column(x1), cy0 = row(y0), cy1 = row(y1);
        for (int cy = cy0; cy <= cy1; ++cy)
            for (int cx = cx0; cx <= cx1; ++cx)
                for (int i = head_[std::size_t(cy) * columns_ + cx]; i >= 0; i = next_[i])
                    f(i);
    }

private:
    static int floorDiv(std::int64_t a, int b) {
        return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b));
    }
    int column(int x) const {
        return std::clamp(floorDiv(std::int64_t(x) - originX_, cell_), 0, columns_ - 1);
    }
    int row(int y) const { return std::clamp(floorDiv(std::int64_t(y) - originY_, cell_), 0, rows_ - 1); }
    bool beyond(const Rect& r) const;
    int cellFor(const Rect& r) const { return row(r.top) * columns_ + column(r.left); }
    void link(int i, int c);
    void unlink(int i);

    bool built_ = false;
    int cell_ = 1;
    int columns_ = 0, rows_ = 0;
    std::int64_t originX_ = 0, originY_ = 0;
    int outside_ = 0;
    std::vector<std::int32_t> head_;   // per cell: first element, -1 when empty
    std::vector<std::int32_t> next_;   // per element: the next in its cell
    std::vector<std::int32_t> prev_;   // per element: the previous in its cell, -1 at the head
    std::vector<std::int32_t> cellOf_; // per element
    std::vector<char> beyond_;         // per element: its corner lies outside the grid
};
