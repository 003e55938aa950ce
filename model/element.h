#pragma once

#include "model/rect.h"

#include <QImage>
#include <QRegion>

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
// holds it for all elements at once.
struct Element {
    Rect cellRect;                // board pixels; always bitmapSize square
    std::int32_t homeIndex = 0;   // row * columns + column of its true place
    std::int32_t orientation = 0; // quarter turns counter-clockwise, 0..3
    Rect shapeBounds;             // cell pixels, the shape without outline band
    std::array<std::int32_t, 4> joinedNeighbour{-1, -1, -1, -1}; // top, right, bottom, left
    std::int32_t blockLifted = 0;
    std::int32_t alone = 1;
    std::int32_t fullyJoined = 0;
    std::int32_t lifted = 0;
    QImage bitmap;                           // bitmapSize square, Format_RGB32
    std::array<std::int32_t, 4> edgeSign{};  // +1 knob, -1 socket, 0 straight; already turned
    std::array<std::int32_t, 4> edgeShift{}; // -1, 0, +1 knob steps, clockwise positive
    QRegion outerRegion;                     // cell pixels: shape with outline band
    QRegion innerRegion;                     // cell pixels: shape alone
};
