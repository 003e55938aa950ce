#include "model/placeindex.h"

#include <cmath>
#include <limits>

void PlaceIndex::reset() {
    *this = PlaceIndex();
}

void PlaceIndex::build(const std::vector<Rect>& bodies, int cellSize) {
    const int n = static_cast<int>(bodies.size());
    std::int64_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    if (n > 0) {
        minX = minY = std::numeric_limits<std::int64_t>::max();
        maxX = maxY = std::numeric_limits<std::int64_t>::min();
        for (const Rect& r : bodies) {
            minX = std::min<std::int64_t>(minX, r.left);
            maxX = std::max<std::int64_t>(maxX, r.left);
            minY = std::min<std::int64_t>(minY, r.top);
            maxY = std::max<std::int64_t>(maxY, r.top);
        }
    }
    // Room around the present bodies for the table to be used further; cells grow rather than
    // the grid beyond a few per element, whatever the spread.
    cell_ = std::max(1, cellSize);
    const std::int64_t marginX = (maxX - minX) / 4 + cell_, marginY = (maxY - minY) / 4 + cell_;
    minX -= marginX;
    minY -= marginY;
    maxX += marginX;
    maxY += marginY;
    const double area = double(maxX - minX + 1) * double(maxY - minY + 1);
    const double most = 4.0 * n + 1024;
    if (area / (double(cell_) * cell_) > most)
        cell_ = static_cast<int>(std::min(1e9, std::ceil(std::sqrt(area / most))));
    columns_ = static_cast<int>((maxX - minX) / cell_ + 1);
    rows_ = static_cast<int>((maxY - minY) / cell_ + 1);
    originX_ = minX;
    originY_ = minY;
    head_.assign(std::size_t(columns_) * rows_, -1);
    next_.assign(n, -1);
    prev_.assign(n, -1);
    cellOf_.assign(n, 0);
    beyond_.assign(n, 0);
    outside_ = 0;
    built_ = true;
    for (int i = n - 1; i >= 0; --i)
        link(i, cellFor(bodies[i]));
}

bool PlaceIndex::beyond(const Rect& r) const {
    const std::int64_t x = std::int64_t(r.left) - originX_, y = std::int64_t(r.top) - originY_;
    return x < 0 || y < 0 || x >= std::int64_t(columns_) * cell_ || y >= std::int64_t(rows_) * cell_;
}

void PlaceIndex::link(int i, int c) {
    cellOf_[i] = c;
    prev_[i] = -1;
    next_[i] = head_[c];
    if (next_[i] >= 0)
        prev_[next_[i]] = i;
    head_[c] = i;
}

void PlaceIndex::unlink(int i) {
    if (prev_[i] >= 0)
        next_[prev_[i]] = next_[i];
    else
        head_[cellOf_[i]] = next_[i];
    if (next_[i] >= 0)
        prev_[next_[i]] = prev_[i];
}

void PlaceIndex::moved(int i, const Rect& to) {
    if (!built_ || i < 0 || i >= static_cast<int>(cellOf_.size()))
        return;
    const bool out = beyond(to);
    outside_ += int(out) - int(beyond_[i]);
    beyond_[i] = out;
    const int c = cellFor(to);
    if (c == cellOf_[i])
        return;
    unlink(i);
    link(i, c);
}
