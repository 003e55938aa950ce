#pragma once

#include "model/rect.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

// a / b rounded towards minus infinity (b > 0).
inline int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Rectangles in square buckets, to ask which of them a rectangle meets without looking at all
// of them.
class RectBuckets {
public:
    explicit RectBuckets(int bucket) : bucket_(std::max(1, bucket)) {}

    void add(const Rect& r) {
        const int index = static_cast<int>(rects_.size());
        rects_.push_back(r);
        forBuckets(r, [&](std::int64_t key) { buckets_[key].push_back(index); });
    }
    // Calls f(o) for every added rectangle o that overlaps r; one that lies in several of the
    // buckets r touches comes once for each.
    template <class F> void forMeeting(const Rect& r, F&& f) const {
        forBuckets(r, [&](std::int64_t key) {
            const auto found = buckets_.find(key);
            if (found == buckets_.end())
                return;
            for (const int i : found->second) {
                const Rect& o = rects_[i];
                if (r.left < o.right && o.left < r.right && r.top < o.bottom && o.top < r.bottom)
                    f(o);
            }
        });
    }
    bool meets(const Rect& r) const {
        bool met = false;
        forMeeting(r, [&](const Rect&) { met = true; });
        return met;
    }

private:
    template <class F> void forBuckets(const Rect& r, F&& f) const {
        const int x0 = floorDiv(r.left, bucket_), x1 = floorDiv(r.right - 1, bucket_);
        const int y0 = floorDiv(r.top, bucket_), y1 = floorDiv(r.bottom - 1, bucket_);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                f((static_cast<std::int64_t>(x) << 32) ^ static_cast<std::uint32_t>(y));
    }

    int bucket_;
    std::vector<Rect> rects_;
    std::unordered_map<std::int64_t, std::vector<std::int32_t>> buckets_;
};
