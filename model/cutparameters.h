#pragma once

#include <cstdint>

// How the picture is cut. One set per run; it survives from game to game and travels in
// saved games.
struct CutParameters {
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::int32_t elementSize = 64;
    std::int32_t pictureWidth = 0;
    std::int32_t pictureHeight = 0;
    std::int32_t irregularBase = 1;
    std::int32_t shiftKnobs = 1;
    std::int32_t rotateElements = 1;
    std::int32_t mosaic = 0;

    // Square mosaic elements can only be assembled exactly.
    bool forcesExactAssembly() const { return mosaic == 1 && irregularBase == 0; }
};

// Pixel measures derived from the element size, the shape options and the outline thickness.
// All divisions truncate toward zero.
struct Geometry {
    std::int32_t elementSize = 0;
    std::int32_t knobSize = 0;
    std::int32_t baseBow = 0;
    std::int32_t cellSize = 0;
    std::int32_t bodyOffset = 0;
    std::int32_t bitmapSize = 0;
    std::int32_t neckHalf = 0;
    std::int32_t knobStep = 0;

    static Geometry compute(std::int32_t elementSize, bool mosaic, bool irregularBase,
                            std::int32_t outlineThickness);
    // Only the outline changed (settings dialog): bitmapSize follows it.
    void setOutlineThickness(std::int32_t outlineThickness) { bitmapSize = cellSize + outlineThickness; }
};
