#include "backgrounds.h"

#include "lettering.h"
#include "materials.h"
#include "output.h"

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

Background make(int textureId, int swatchId, const QImage& rgb) {
    const QImage texture = toIndexed8(rgb);
    // The swatch is the middle band of the texture, where the embossed word lies.
    const QImage swatch = texture.copy(0, (textureHeight - swatchHeight) / 2, textureWidth, swatchHeight);
    return {textureId, swatchId, texture, swatch};
}

} // namespace

std::vector<Background> backgrounds() {
    const QImage plain[] = {
        woodTexture(textureWidth, textureHeight, woodStyle()),
        limestoneTexture(textureWidth, textureHeight, 192),
        pinkStoneTexture(textureWidth, textureHeight, 146),
        woodTexture(textureWidth, textureHeight, oakStyle()),
        plasterTexture(textureWidth, textureHeight, 148),
    };
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
    for (int i = 0; i < 5; ++i) {
        out.push_back(make(ids[i][0], ids[i][1], plain[i]));
        out.push_back(make(ids[i][2], ids[i][3], embossText(plain[i], "puzzle", font, wordBox)));
    }
    return out;
}

} // namespace makeart
