#pragma once

#include <QPoint>
#include <QRect>
#include <QRegion>

#include <cstddef>
#include <vector>

// Each element's board region: the region of its shape as it is joined, shared with every other
// element of that shape, and the offset that places it on the board. A region of its own per
// element would hold kilobytes of rectangles, and moving a block of tens of thousands would
// rewrite them all; here a move changes the offset alone. The region is made from the two when
// asked for it whole; its bounds, a point test and its rectangle count need no copy.
class BoardRegions {
public:
    void assign(std::size_t count, const QRegion& region) {
        shapes_.assign(count, region);
        offsets_.assign(count, QPoint());
    }
    void clear() {
        shapes_.clear();
        offsets_.clear();
    }
    std::size_t size() const { return shapes_.size(); }
    bool empty() const { return shapes_.empty(); }

    // Element i's region on the board, made anew (a copy of its shape's rectangles).
    QRegion operator[](int i) const { return shapes_[i].translated(offsets_[i]); }
    std::vector<QRegion> toVector() const {
        std::vector<QRegion> all;
        all.reserve(size());
        for (std::size_t i = 0; i < size(); ++i)
            all.push_back((*this)[static_cast<int>(i)]);
        return all;
    }

    QRect boundingRect(int i) const {
        return shapes_[i].isEmpty() ? QRect() : shapes_[i].boundingRect().translated(offsets_[i]);
    }
    bool contains(int i, QPoint boardPoint) const { return shapes_[i].contains(boardPoint - offsets_[i]); }
    int rectCount(int i) const { return shapes_[i].rectCount(); }
    // The shape element i's region is placed from (its own rectangles, unmoved).
    const QRegion& shape(int i) const { return shapes_[i]; }

    // Element i's region becomes `shape` moved by `offset` (the shape itself is shared, not copied).
    void set(int i, const QRegion& shape, QPoint offset) {
        shapes_[i] = shape;
        offsets_[i] = offset;
    }
    void translate(int i, int dx, int dy) { offsets_[i] += QPoint(dx, dy); }

private:
    std::vector<QRegion> shapes_;
    std::vector<QPoint> offsets_;
};
