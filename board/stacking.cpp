#include "board/stacking.h"

#include "board/boardchanges.h"
#include "model/puzzle.h"
#include "model/shapebuilder.h"

#include <algorithm>
#include <cmath>

int hitTest(const Puzzle& puzzle, QPoint boardPoint) {
    for (const int i : puzzle.stackOrder)
        if (puzzle.boardRegions.contains(i, boardPoint))
            return i;
    return -1;
}

int hitTestDevice(const Puzzle& puzzle, const ShapeBuilder& shapes, DeviceShapes& deviceShapes,
                  QPoint device) {
    const double ratio = deviceShapes.ratio();
    for (const int i : puzzle.stackOrder) {
        // Drawn no further than the device pixels its board region reaches.
        const QRect r = puzzle.boardRegions.boundingRect(i);
        if (r.isEmpty() || device.x() < std::floor(r.left() * ratio) ||
            device.y() < std::floor(r.top() * ratio) || device.x() >= std::ceil((r.right() + 1) * ratio) ||
            device.y() >= std::ceil((r.bottom() + 1) * ratio))
            continue;
        const Element& e = puzzle.element(i);
        if (deviceShapes.shape(e, shapes).region.contains(device - deviceShapes.origin(e)))
            return i;
    }
    return -1;
}

void raiseToTop(Puzzle& puzzle, int e, BoardChanges& changes) {
    auto& order = puzzle.stackOrder;
    if (puzzle.blocks.blockSize(e) == 1) {
        if (!order.empty() && order.front() == e)
            return;
        auto it = std::find(order.begin(), order.end(), e);
        if (it != order.end()) {
            std::rotate(order.begin(), it, it + 1);
            changes.raised(e);
            changes.restacked();
        }
        return;
    }
    // Built directly in linear time rather than by n single moves.
    const auto& members = puzzle.blocks.members(e);
    raiseAllToTop(puzzle, std::vector<std::int32_t>(members.rbegin(), members.rend()), changes);
}

void raiseAllToTop(Puzzle& puzzle, const std::vector<std::int32_t>& elements, BoardChanges& changes) {
    std::vector<char> raised(puzzle.stackOrder.size(), 0);
    std::vector<std::int32_t> order;
    order.reserve(puzzle.stackOrder.size());
    for (const int i : elements)
        if (!raised[i]) {
            raised[i] = 1;
            order.push_back(i);
        }
    // Already on top in this order: nothing changes, nothing is drawn again.
    if (std::equal(order.begin(), order.end(), puzzle.stackOrder.begin()))
        return;
    const std::size_t count = order.size();
    for (const int j : puzzle.stackOrder)
        if (!raised[j])
            order.push_back(j);
    puzzle.stackOrder = std::move(order);
    changes.raised(std::vector<std::int32_t>(puzzle.stackOrder.begin(), puzzle.stackOrder.begin() + count));
    changes.restacked();
}
