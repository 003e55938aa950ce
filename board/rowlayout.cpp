#include "board/rowlayout.h"

#include "board/rectbuckets.h"

#include <algorithm>

namespace {

// Of the obstacles widened by the gap that overlap r, the one reaching furthest right; nullptr
// if none.
const Rect* furthestHit(const RectBuckets& widened, const Rect& r) {
    const Rect* hit = nullptr;
    widened.forMeeting(r, [&](const Rect& o) {
        if (!hit || o.right > hit->right)
            hit = &o;
    });
    return hit;
}

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
    RectBuckets obstacles(std::max(rowHeight, widest) + gap);
    for (const Rect& o : request.obstacles)
        if (!o.isEmpty())
            obstacles.add(Rect{o.left - gap, o.top - gap, o.right + gap, o.bottom + gap});

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
            const Rect* hit = furthestHit(obstacles, Rect{x, y, x + w, y + h});
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
