#pragma once

#include "colour.h"

#include <QImage>

#include <cstdint>

namespace makeart {

// Appearance of a planed board: ring colours, figure and the open pores of ring-porous wood.
struct WoodStyle {
    Rgb early;             // light earlywood
    Rgb late;              // dark latewood
    Rgb streak;            // colour the fibre streaks pull towards
    int rings = 3;         // growth rings across the tile's height (whole number: keeps it periodic)
    int slant = 0;         // rings gained across the tile's width (whole number)
    double figure = 1;     // how far the rings wander, in rings; large values give cathedral arches
    double latewood = 0.5; // share of each ring that darkens towards the latewood
    double fibres = 1;     // strength of the fine streaks along the grain
    double pores = 0;      // 0..1 strength of dark pore dashes along the grain (oak)
    double rays = 0;       // 0..1 strength of lighter ray flecks (quarter-sawn oak)
    std::uint32_t seed = 1;
};

// Every texture here tiles seamlessly: all noise is periodic over the image. `scale` draws the
// same texture with that many pixels to each of its pixels, for screens of a higher ratio.
QImage woodTexture(int width, int height, const WoodStyle& style, int scale = 1);
QImage limestoneTexture(int width, int height, std::uint32_t seed, int scale = 1);
QImage pinkStoneTexture(int width, int height, std::uint32_t seed, int scale = 1);
QImage plasterTexture(int width, int height, std::uint32_t seed, int scale = 1);

} // namespace makeart
