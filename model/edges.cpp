#include "model/edges.h"

#include <algorithm>

EdgeGrids computeEdgeProfiles(std::span<const std::int32_t> signTable,
                              std::span<const std::int32_t> shiftTable, std::int32_t rows,
                              std::int32_t columns) {
    EdgeGrids grids;
    if (rows <= 0 || columns <= 0)
        return grids;
    const std::size_t n = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
    if (signTable.size() < 2 * n || shiftTable.size() < 2 * n)
        return grids;
    grids.signs.assign(n, EdgeRecord{});
    grids.shifts.assign(n, EdgeRecord{});

    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t row = i / columns, col = i % columns;
        // Border edges are straight; their shifts are kept although they shape nothing.
        grids.signs[i][0] = row == 0 ? 0 : signTable[i];
        grids.signs[i][3] = col == 0 ? 0 : signTable[n + i];
        grids.shifts[i][0] = shiftTable[i];
        grids.shifts[i][3] = shiftTable[n + i];
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t row = i / columns, col = i % columns;
        const bool lastRow = row + 1 == static_cast<std::size_t>(rows);
        const bool lastColumn = col + 1 == static_cast<std::size_t>(columns);
        grids.signs[i][2] = lastRow ? 0 : -grids.signs[i + columns][0];
        grids.shifts[i][2] = lastRow ? 0 : -grids.shifts[i + columns][0];
        grids.signs[i][1] = lastColumn ? 0 : -grids.signs[i + 1][3];
        grids.shifts[i][1] = lastColumn ? 0 : -grids.shifts[i + 1][3];
    }
    return grids;
}

void turnEdges(EdgeRecord& values, int direction) {
    if (direction > 0)
        std::rotate(values.rbegin(), values.rbegin() + 1, values.rend()); // (l, t, r, b)
    else if (direction < 0)
        std::rotate(values.begin(), values.begin() + 1, values.end()); // (r, b, l, t)
}

void turnEdgesBy(EdgeRecord& values, int turn) {
    const int quarters = ((turn % 4) + 4) % 4;
    for (int k = 0; k < quarters; ++k)
        turnEdges(values, +1);
}
