#include "board/rowlayout.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace {

int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The obstacles, widened by the gap, in square buckets: a query looks only at the buckets a
// rectangle touches.
class ObstacleIndex {
public:
    ObstacleIndex(const std::vector<Rect>& obstacles, int gap, int bucket) : bucket_(std::max(1, bucket)) {
        widened_.reserve(obstacles.size());
        for (const Rect& o : obstacles) {
            if (o.isEmpty())
                continue;
            const Rect w{o.left - gap, o.top - gap, o.right + gap, o.bottom + gap};
            const int index = static_cast<int>(widened_.size());
            widened_.push_back(w);
            forBuckets(w, [&](std::int64_t key) { buckets_[key].push_back(index); });
        }
    }

    // Of the widened obstacles that overlap r, the one reaching furthest right; nullptr if none.
    const Rect* furthestHit(const Rect& r) const {
        const Rect* hit = nullptr;
        forBuckets(r, [&](std::int64_t key) {
            const auto found = buckets_.find(key);
            if (found == buckets_.end())
                return;
            for (const int i : found->second) {
                const Rect& o = widened_[i];
                if (r.left < o.right && o.left < r.right && r.top < o.bottom && o.top < r.bottom &&
                    (!hit || o.right > hit->right))
                    hit = &o;
            }
        });
        return hit;
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
    std::vector<Rect> widened_;
    std::unordered_map<std::int64_t, std::vector<std::int32_t>> buckets_;
};

} // namespace

RowLayout layOutRows(const RowLayoutRequest& request) {
    RowLayout result;
    const Rect& area = request.area;
    const int gap = std::max(0, request.gap);
    result.bottom = area.top;
    int rowHeight = 0, widest = 0;
    for (const QSize& s : request.pieces) {
        rowHeight = std::max(rowHeight, s.height());
        widest = std::max(widest, s.width());
    }
    if (request.pieces.empty()) {
        result.fits = true;
        return result;
    }
    if (widest > area.width() || rowHeight <= 0 || widest <= 0)
        return result;
    const ObstacleIndex obstacles(request.obstacles, gap, std::max(rowHeight, widest) + gap);

    // The first grid line at or after a coordinate.
    const int step = std::max(0, request.gridStep);
    auto onGrid = [step](int v, int origin) { return step ? origin - floorDiv(origin - v, step) * step : v; };
    auto gridX = [&](int x) { return onGrid(x, request.gridOrigin.x()); };
    auto gridY = [&](int y) { return onGrid(y, request.gridOrigin.y()); };

    if (gridX(area.left) + widest > area.right)
        return result; // not one piece fits a row
    result.places.reserve(request.pieces.size());
    int x = gridX(area.left), y = gridY(area.top);
    for (const QSize& s : request.pieces) {
        const int w = s.width(), h = s.height();
        for (;;) {
            if (x + w > area.right) {
                x = gridX(area.left);
                y = gridY(y + rowHeight + gap);
            }
            if (!request.openBelow && y + h > area.bottom) {
                result.places.clear();
                return result;
            }
            // A widened obstacle overlapping the piece lies to its right at least in part, so
            // jumping past it always moves on.
            const Rect* hit = obstacles.furthestHit(Rect{x, y, x + w, y + h});
            if (!hit)
                break;
            x = gridX(hit->right);
        }
        result.places.emplace_back(x, y);
        result.bottom = std::max(result.bottom, y + h);
        x = gridX(x + w + gap);
    }
    result.fits = true;
    return result;
}
