#pragma once

#include "model/rect.h"

#include <QRegion>

#include <algorithm>
#include <array>
#include <cstdint>

// Sides in the order every per-side array uses.
enum Side { Top = 0, Right = 1, Bottom = 2, Left = 3 };

// The side a neighbour joins with: top and bottom, right and left (sides are 0..3, so the mask
// is the remainder without the sign handling of %).
constexpr int opposite(int side) {
    return (side + 2) & 3;
}

// An orientation (counter-clockwise quarter turns, 0..3) after a turn by `turn` quarter turns
// clockwise (-1, 0, +1 or 2).
constexpr int turnedOrientation(int orientation, int turn) {
    return ((orientation - turn) % 4 + 4) % 4;
}

// One piece of the puzzle. Block membership is not stored here: Blocks (model/blocks.h)
// holds it for all elements at once. Nothing here is a picture: the element is drawn from the
// one cut picture through its shape whenever the screen needs it.
struct Element {
    // What a saved game holds: where it lies, how it is turned, what it is joined to and its
    // edges (already turned).
    Rect cellRect;                                               // board pixels; always bitmapSize square
    std::int32_t homeIndex = 0;                                  // row * columns + column of its true place
    std::int32_t orientation = 0;                                // quarter turns counter-clockwise, 0..3
    std::array<std::int32_t, 4> joinedNeighbour{-1, -1, -1, -1}; // top, right, bottom, left
    std::array<std::int32_t, 4> edgeSign{};  // +1 knob, -1 socket, 0 straight; already turned
    std::array<std::int32_t, 4> edgeShift{}; // -1, 0, +1 knob steps, clockwise positive

    // Made from the edges (ShapeBuilder), and shared between elements of equal edges: copying
    // a region costs a reference.
    Rect shapeBounds;    // cell pixels, the shape without outline band
    QRegion outerRegion; // cell pixels: shape with outline band
    QRegion innerRegion; // cell pixels: shape alone

    // Joined to nothing. The one place this fact is worked out; saved games write it.
    bool alone() const {
        return std::all_of(joinedNeighbour.begin(), joinedNeighbour.end(),
                           [](std::int32_t n) { return n < 0; });
    }
    // All four sides joined while the bevel is drawn: its board region is then the inner
    // region alone. The one place this fact is worked out; saved games write it.
    bool fullyJoined(bool threeD) const {
        return threeD && std::none_of(joinedNeighbour.begin(), joinedNeighbour.end(),
                                      [](std::int32_t n) { return n < 0; });
    }
};
