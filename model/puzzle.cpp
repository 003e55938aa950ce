#include "model/puzzle.h"

#include <algorithm>

void Puzzle::create(std::int32_t newRows, std::int32_t newColumns) {
    rows = newRows;
    columns = newColumns;
    const int n = rows * columns;
    elementGrid.assign(n, Element{});
    for (int i = 0; i < n; ++i)
        elementGrid[i].homeIndex = i;
    bodyRects.assign(n, Rect{});
    boardRegions.assign(n, QRegion(0, 0, 1, 1));
    stackOrder.resize(n);
    for (int i = 0; i < n; ++i)
        stackOrder[i] = i;
    blocks.reset(n);
    places_.reset();
}

void Puzzle::clear() {
    elementGrid.clear();
    elementGrid.shrink_to_fit();
    bodyRects.clear();
    boardRegions.clear();
    stackOrder.clear();
    blocks.clear();
    places_.reset();
    rows = columns = 0;
}

int Puzzle::homeNeighbour(int homeIndex, int side) const {
    const int r = rowOf(homeIndex), c = columnOf(homeIndex);
    switch (side) {
    case Top:
        return r > 0 ? homeIndex - columns : -1;
    case Right:
        return c + 1 < columns ? homeIndex + 1 : -1;
    case Bottom:
        return r + 1 < rows ? homeIndex + columns : -1;
    case Left:
        return c > 0 ? homeIndex - 1 : -1;
    }
    return -1;
}

Rect Puzzle::bodyRectFor(const Rect& cellRect) const {
    const int left = cellRect.left + geometry.bodyOffset;
    const int top = cellRect.top + geometry.bodyOffset;
    return {left, top, left + geometry.elementSize, top + geometry.elementSize};
}

void Puzzle::setCellRect(int homeIndex, const Rect& cellRect) {
    elementGrid[homeIndex].cellRect = cellRect;
    bodyRects[homeIndex] = bodyRectFor(cellRect);
    bodyMoved(homeIndex);
}

void Puzzle::shift(int i, int dx, int dy) {
    Element& e = elementGrid[i];
    e.cellRect = e.cellRect.translated(dx, dy);
    bodyRects[i] = bodyRects[i].translated(dx, dy);
    boardRegions.translate(i, dx, dy);
}

void Puzzle::moveElement(int homeIndex, int dx, int dy) {
    shift(homeIndex, dx, dy);
    bodyMoved(homeIndex);
}

void Puzzle::moveElements(const std::vector<std::int32_t>& list, int dx, int dy, int except) {
    if (dx == 0 && dy == 0)
        return;
    for (const int i : list) {
        if (i == except)
            continue;
        shift(i, dx, dy);
        bodyMoved(i);
    }
}

void Puzzle::moveElementsTo(const std::vector<std::int32_t>& list, const std::vector<QPoint>& corners) {
    for (std::size_t k = 0; k < list.size(); ++k) {
        const int i = list[k];
        const Rect& cell = elementGrid[i].cellRect;
        shift(i, corners[k].x() - cell.left, corners[k].y() - cell.top);
        bodyMoved(i);
    }
}

void Puzzle::moveAll(int dx, int dy) {
    for (int i = 0; i < count(); ++i)
        shift(i, dx, dy);
    places_.shift(dx, dy);
}

const PlaceIndex& Puzzle::places() const {
    if (!places_.isBuilt() || places_.worn())
        places_.build(bodyRects, std::max(1, geometry.elementSize));
    return places_;
}
