#pragma once

#include "model/rect.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// Where the elements lie, for finding those a rectangle meets without looking at every element:
// each element's cell square is listed in the square buckets it touches (a bucket is at least a
// cell, so four at most). The buckets form a dense grid over the board; a square beyond it is
// listed in the edge buckets nearest it, which stays correct and is only slower there. The view
// keeps it in step with the elements it is told have changed, and remembers the square each was
// listed with: that is where it was last drawn.
class CellIndex {
public:
    // No elements; buckets of at least `bucketSize` board pixels over `area`.
    void reset(int count, int bucketSize, const Rect& area);
    int count() const { return static_cast<int>(placed_.size()); }

    // Lists element i at `cell`, taking it out of where it was listed before.
    void place(int i, const Rect& cell);
    bool isPlaced(int i) const { return listed_[i] != 0; }
    // The square element i is listed with (empty when it is not listed).
    const Rect& placed(int i) const { return placed_[i]; }

    // Calls f(i) once for every listed element whose square meets r.
    template <class F> void forEachMeeting(const Rect& r, F&& f) const {
        if (r.isEmpty() || buckets_.empty())
            return;
        const int bx0 = column(r.left), bx1 = column(r.right - 1);
        const int by0 = row(r.top), by1 = row(r.bottom - 1);
        for (int by = by0; by <= by1; ++by)
            for (int bx = bx0; bx <= bx1; ++bx)
                for (const std::int32_t i : buckets_[static_cast<std::size_t>(by) * columns_ + bx]) {
                    const Rect& c = placed_[i];
                    if (!(c.left < r.right && r.left < c.right && c.top < r.bottom && r.top < c.bottom))
                        continue;
                    // An element in several of these buckets is reported by the first of them:
                    // the one holding the top-left corner of what it shares with r.
                    if (bx == std::max(bx0, column(c.left)) && by == std::max(by0, row(c.top)))
                        f(i);
                }
    }

    // Every element listed with a square meeting another is listed in one bucket with it at
    // least: the one holding the corner of what they share. Calls f(b) for each bucket b that
    // r meets; bucket(b) lists its elements.
    template <class F> void forEachBucket(const Rect& r, F&& f) const {
        if (r.isEmpty() || buckets_.empty())
            return;
        for (int by = row(r.top); by <= row(r.bottom - 1); ++by)
            for (int bx = column(r.left); bx <= column(r.right - 1); ++bx)
                f(by * columns_ + bx);
    }
    int bucketCount() const { return static_cast<int>(buckets_.size()); }
    const std::vector<std::int32_t>& bucket(int b) const { return buckets_[static_cast<std::size_t>(b)]; }

    // Memory held, for the measurements.
    std::int64_t bytes() const;

private:
    static int floorDiv(std::int64_t a, int b) {
        return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b));
    }
    int column(int x) const {
        return std::clamp(floorDiv(std::int64_t(x) - originX_, bucket_), 0, columns_ - 1);
    }
    int row(int y) const { return std::clamp(floorDiv(std::int64_t(y) - originY_, bucket_), 0, rows_ - 1); }
    void unlist(int i);

    int bucket_ = 256;
    int columns_ = 0, rows_ = 0;
    int originX_ = 0, originY_ = 0;
    std::vector<Rect> placed_;
    std::vector<char> listed_;
    std::vector<std::vector<std::int32_t>> buckets_; // row by row
};
