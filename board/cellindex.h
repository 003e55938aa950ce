#pragma once

#include "model/rect.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

// Where the elements lie, for finding those a rectangle meets without looking at every element:
// each element's cell square is listed in the square buckets it touches (a bucket is at least a
// cell, so four at most). The view keeps it in step with the elements it is told have changed,
// and remembers the square each was listed with: that is where it was last drawn.
class CellIndex {
public:
    // No elements; buckets of `bucketSize` board pixels.
    void reset(int count, int bucketSize);
    int count() const { return static_cast<int>(placed_.size()); }

    // Lists element i at `cell`, taking it out of where it was listed before.
    void place(int i, const Rect& cell);
    bool isPlaced(int i) const { return listed_[i] != 0; }
    // The square element i is listed with (empty when it is not listed).
    const Rect& placed(int i) const { return placed_[i]; }

    // Calls f(i) once for every listed element whose square meets r.
    template <class F> void forEachMeeting(const Rect& r, F&& f) const {
        if (r.isEmpty())
            return;
        const int bx0 = bucketOf(r.left), bx1 = bucketOf(r.right - 1);
        const int by0 = bucketOf(r.top), by1 = bucketOf(r.bottom - 1);
        for (int by = by0; by <= by1; ++by)
            for (int bx = bx0; bx <= bx1; ++bx) {
                const auto found = buckets_.find(key(bx, by));
                if (found == buckets_.end())
                    continue;
                for (const std::int32_t i : found->second) {
                    const Rect& c = placed_[i];
                    if (!(c.left < r.right && r.left < c.right && c.top < r.bottom && r.top < c.bottom))
                        continue;
                    // An element in several of these buckets is reported by the first of them:
                    // the one holding the top-left corner of what it shares with r.
                    if (bx == std::max(bx0, bucketOf(c.left)) && by == std::max(by0, bucketOf(c.top)))
                        f(i);
                }
            }
    }

    // Memory held, for the measurements.
    std::int64_t bytes() const;

private:
    int bucketOf(int v) const { return v >= 0 ? v / bucket_ : -((-v + bucket_ - 1) / bucket_); }
    static std::int64_t key(int bx, int by) {
        return (static_cast<std::int64_t>(bx) << 32) ^ static_cast<std::uint32_t>(by);
    }
    void unlist(int i);

    int bucket_ = 256;
    std::vector<Rect> placed_;
    std::vector<char> listed_;
    std::unordered_map<std::int64_t, std::vector<std::int32_t>> buckets_;
};
