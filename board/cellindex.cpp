#include "board/cellindex.h"

#include <algorithm>

void CellIndex::reset(int count, int bucketSize) {
    bucket_ = std::max(1, bucketSize);
    placed_.assign(static_cast<std::size_t>(std::max(0, count)), Rect{});
    listed_.assign(placed_.size(), 0);
    buckets_.clear();
}

void CellIndex::unlist(int i) {
    if (!listed_[i])
        return;
    const Rect& c = placed_[i];
    for (int by = bucketOf(c.top); by <= bucketOf(c.bottom - 1); ++by)
        for (int bx = bucketOf(c.left); bx <= bucketOf(c.right - 1); ++bx) {
            const auto found = buckets_.find(key(bx, by));
            if (found == buckets_.end())
                continue;
            std::vector<std::int32_t>& list = found->second;
            const auto at = std::find(list.begin(), list.end(), i);
            if (at != list.end()) {
                *at = list.back();
                list.pop_back();
            }
            if (list.empty())
                buckets_.erase(found);
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
    if (listed_[i] && !cell.isEmpty() && bucketOf(was.left) == bucketOf(cell.left) &&
        bucketOf(was.right - 1) == bucketOf(cell.right - 1) && bucketOf(was.top) == bucketOf(cell.top) &&
        bucketOf(was.bottom - 1) == bucketOf(cell.bottom - 1)) {
        placed_[i] = cell;
        return;
    }
    unlist(i);
    if (cell.isEmpty())
        return;
    placed_[i] = cell;
    listed_[i] = 1;
    for (int by = bucketOf(cell.top); by <= bucketOf(cell.bottom - 1); ++by)
        for (int bx = bucketOf(cell.left); bx <= bucketOf(cell.right - 1); ++bx)
            buckets_[key(bx, by)].push_back(i);
}

std::int64_t CellIndex::bytes() const {
    std::int64_t total = static_cast<std::int64_t>(placed_.capacity() * sizeof(Rect) + listed_.capacity());
    for (const auto& [k, list] : buckets_)
        total +=
            static_cast<std::int64_t>(sizeof(k) + sizeof(list) + list.capacity() * sizeof(std::int32_t)) + 16;
    return total;
}
