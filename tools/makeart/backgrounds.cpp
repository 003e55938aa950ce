#include "backgrounds.h"

#include "lettering.h"
#include "materials.h"
#include "output.h"

#include <utility>
#include <vector>

namespace makeart {

namespace {

constexpr int textureWidth = 160, textureHeight = 120, swatchHeight = 40;

WoodStyle woodStyle() {
    // Dark, reddish board with arched figure; light clock text stands on it.
    WoodStyle s;
    s.early = Rgb(156, 86, 46);
    s.late = Rgb(84, 38, 18);
    s.streak = Rgb(120, 60, 30);
    s.rings = 7;
    s.figure = 2.2;
    s.latewood = 0.35;
    s.fibres = 1.3;
    s.seed = 227;
    return s;
}

WoodStyle oakStyle() {
    // Straight-grained brown oak with open pores and pale ray flecks.
    WoodStyle s;
    s.early = Rgb(150, 110, 64);
    s.late = Rgb(96, 64, 34);
    s.streak = Rgb(124, 88, 48);
    s.rings = 11;
    s.slant = 1;
    s.figure = 0.8;
    s.latewood = 0.3;
    s.pores = 0.9;
    s.rays = 0.5;
    s.seed = 147;
    return s;
}

// The texture and its swatch, the middle band of the texture, where the embossed word lies; at
// `scale` pixels to each of the texture's.
std::pair<QImage, QImage> textureAndSwatch(const QImage& rgb, int scale) {
    const QImage texture = toIndexed8(rgb);
    const QImage swatch = texture.copy(0, (textureHeight - swatchHeight) / 2 * scale, textureWidth * scale,
                                       swatchHeight * scale);
    return {texture, swatch};
}

// Each material, plain, at `scale`.
std::vector<QImage> materials(int scale) {
    return {
        woodTexture(textureWidth, textureHeight, woodStyle(), scale),
        limestoneTexture(textureWidth, textureHeight, 192, scale),
        pinkStoneTexture(textureWidth, textureHeight, 146, scale),
        woodTexture(textureWidth, textureHeight, oakStyle(), scale),
        plasterTexture(textureWidth, textureHeight, 148, scale),
    };
}

} // namespace

std::vector<Background> backgrounds() {
    const std::vector<QImage> plain = materials(1), plain2x = materials(2);
    // Texture and swatch ids: plain, swatch, embossed, swatch.
    const int ids[5][4] = {{227, 248, 247, 249},
                           {192, 241, 229, 242},
                           {146, 243, 231, 244},
                           {147, 239, 233, 240},
                           {148, 245, 237, 246}};
    const QFont font = findFont({"Liberation Serif", "DejaVu Serif"}, 40, QFont::Bold);
    // The word stays inside the tile with a margin, so that the tiled board shows whole words
    // and the swatch, the middle 40 rows, shows it entire.
    const QRectF wordBox(14, textureHeight / 2.0 - 16, textureWidth - 28, 32);
    std::vector<Background> out;
    const auto add = [&](int textureId, int swatchId, const QImage& rgb, const QImage& rgb2x) {
        const auto [texture, swatch] = textureAndSwatch(rgb, 1);
        const auto [texture2x, swatch2x] = textureAndSwatch(rgb2x, 2);
        out.push_back({textureId, swatchId, texture, swatch, texture2x, swatch2x});
    };
    for (int i = 0; i < 5; ++i) {
        add(ids[i][0], ids[i][1], plain[i], plain2x[i]);
        add(ids[i][2], ids[i][3], embossText(plain[i], "puzzle", font, wordBox),
            embossText(plain2x[i], "puzzle", font, wordBox, 2));
    }
    return out;
}

} // namespace makeart
