#include "board/cellindex.h"

#include <cmath>

void CellIndex::reset(int count, int bucketSize, const Rect& area) {
    bucket_ = std::max(1, bucketSize);
    placed_.assign(static_cast<std::size_t>(std::max(0, count)), Rect{});
    listed_.assign(placed_.size(), 0);
    buckets_.clear();
    originX_ = area.left;
    originY_ = area.top;
    const double width = std::max(1, area.width()), height = std::max(1, area.height());
    // Buckets grow rather than the grid beyond a few per element, however large the board.
    const double most = 4.0 * placed_.size() + 1024;
    if (width * height / (double(bucket_) * bucket_) > most)
        bucket_ = static_cast<int>(std::min(1e9, std::ceil(std::sqrt(width * height / most))));
    columns_ = static_cast<int>(std::ceil(width / bucket_));
    rows_ = static_cast<int>(std::ceil(height / bucket_));
    buckets_.resize(static_cast<std::size_t>(columns_) * rows_);
}

void CellIndex::unlist(int i) {
    if (!listed_[i])
        return;
    const Rect& c = placed_[i];
    for (int by = row(c.top); by <= row(c.bottom - 1); ++by)
        for (int bx = column(c.left); bx <= column(c.right - 1); ++bx) {
            std::vector<std::int32_t>& list = buckets_[static_cast<std::size_t>(by) * columns_ + bx];
            const auto at = std::find(list.begin(), list.end(), i);
            if (at != list.end()) {
                *at = list.back();
                list.pop_back();
            }
        }
    listed_[i] = 0;
    placed_[i] = Rect{};
}

void CellIndex::place(int i, const Rect& cell) {
    if (listed_[i] && placed_[i] == cell)
        return;
    // A block moved a few pixels keeps its members in the buckets they were in: only their
    // squares change, and the lists are left alone.
    const Rect& was = placed_[i];
    if (listed_[i] && !cell.isEmpty() && column(was.left) == column(cell.left) &&
        column(was.right - 1) == column(cell.right - 1) && row(was.top) == row(cell.top) &&
        row(was.bottom - 1) == row(cell.bottom - 1)) {
        placed_[i] = cell;
        return;
    }
    unlist(i);
    if (cell.isEmpty() || buckets_.empty())
        return;
    placed_[i] = cell;
    listed_[i] = 1;
    for (int by = row(cell.top); by <= row(cell.bottom - 1); ++by)
        for (int bx = column(cell.left); bx <= column(cell.right - 1); ++bx)
            buckets_[static_cast<std::size_t>(by) * columns_ + bx].push_back(i);
}

std::int64_t CellIndex::bytes() const {
    std::int64_t total = static_cast<std::int64_t>(placed_.capacity() * sizeof(Rect) + listed_.capacity() +
                                                   buckets_.capacity() * sizeof(buckets_[0]));
    for (const auto& list : buckets_)
        total += static_cast<std::int64_t>(list.capacity() * sizeof(std::int32_t));
    return total;
}
