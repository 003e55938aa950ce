#pragma once

#include "model/blocks.h"
#include "model/boardregions.h"
#include "model/cutparameters.h"
#include "model/element.h"
#include "model/placeindex.h"
#include "model/rect.h"

#include <QRegion>

#include <cstdint>
#include <vector>

// The one puzzle on the board: its dimensions and geometry, every element and the board-level
// arrays that hold one entry per element. Everything is indexed by homeIndex.
class Puzzle {
public:
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    Geometry geometry;

    std::vector<Element> elementGrid; // row-major: elementGrid[homeIndex]
    std::vector<Rect> bodyRects;
    BoardRegions boardRegions;
    std::vector<std::int32_t> stackOrder; // topmost first
    Blocks blocks;

    // Allocates rows x columns fresh elements and sizes the board-level arrays: body squares
    // zeroed, regions 1 x 1 at the origin, stackOrder 0..N-1, every element alone.
    void create(std::int32_t rows, std::int32_t columns);
    void clear();

    int count() const { return static_cast<int>(elementGrid.size()); }
    bool isEmpty() const { return elementGrid.empty(); }
    Element& element(int homeIndex) { return elementGrid[homeIndex]; }
    const Element& element(int homeIndex) const { return elementGrid[homeIndex]; }
    Element& element(int row, int column) { return elementGrid[row * columns + column]; }
    const Element& element(int row, int column) const { return elementGrid[row * columns + column]; }
    int rowOf(int homeIndex) const { return homeIndex / columns; }
    int columnOf(int homeIndex) const { return homeIndex % columns; }
    // homeIndex of the picture neighbour on a side, -1 beyond the border.
    int homeNeighbour(int homeIndex, int side) const;

    // The body square that belongs to a cell rectangle.
    Rect bodyRectFor(const Rect& cellRect) const;
    // Moves an element's cell and keeps its body square in step.
    void setCellRect(int homeIndex, const Rect& cellRect);
    // Moves an element by (dx, dy): its cell, its body square and its board region.
    void moveElement(int homeIndex, int dx, int dy);
    // Moves each listed element but `except` by (dx, dy), as moveElement does one by one.
    void moveElements(const std::vector<std::int32_t>& list, int dx, int dy, int except = -1);
    // Moves each listed element (none twice) so that its cell's top-left corner lies at the
    // matching point, as moveElement does one by one.
    void moveElementsTo(const std::vector<std::int32_t>& list, const std::vector<QPoint>& corners);
    // Places an element's body square alone; its cell is the caller's to keep in step.
    void setBodyRect(int homeIndex, const Rect& body) {
        bodyRects[homeIndex] = body;
        bodyMoved(homeIndex);
    }
    // Every element by (dx, dy), as when the table grows at its left or top.
    void moveAll(int dx, int dy);

    // The elements by where their bodies lie, built when first asked for and kept up to date
    // by the moves above. Whoever writes bodyRects directly calls placesChanged afterwards.
    const PlaceIndex& places() const;
    void placesChanged() { places_.reset(); }

private:
    // The element's cell, body and board region moved; its place in the index is the caller's.
    void shift(int i, int dx, int dy);
    void bodyMoved(int homeIndex) {
        if (places_.isBuilt())
            places_.moved(homeIndex, bodyRects[homeIndex]);
    }

    mutable PlaceIndex places_;
};
