#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// Four per-side values in the order top, right, bottom, left.
using EdgeRecord = std::array<std::int32_t, 4>;

// The edge profiles of every cell of a cut, row-major by homeIndex. They exist only while
// elements are generated; each element keeps a copy of its own records.
struct EdgeGrids {
    std::vector<EdgeRecord> signs;  // +1 knob, -1 socket, 0 on the picture border
    std::vector<EdgeRecord> shifts; // -1, 0, +1 knob steps along the edge
};

// Gives every cell its profile from the sign and shift tables (2 x rows x columns entries each:
// top edges first, then left edges). Bottom and right edges are the negated top and left edges
// of the neighbour below and to the right, so neighbours always fit.
EdgeGrids computeEdgeProfiles(std::span<const std::int32_t> signTable,
                              std::span<const std::int32_t> shiftTable, std::int32_t rows,
                              std::int32_t columns);

// Moves the values one side along: +1 is a clockwise quarter turn (top := left, ...),
// -1 a counter-clockwise one (top := right, ...).
void turnEdges(EdgeRecord& values, int direction);

// Applies a turn of -1, 0, +1 or 2 quarter turns as the matching number of single turns.
void turnEdgesBy(EdgeRecord& values, int turn);
