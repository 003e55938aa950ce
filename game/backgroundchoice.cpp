#include "game/backgroundchoice.h"

#include "board/background.h"
#include "res/commandids.h"

#include <algorithm>
#include <array>

namespace {
const QColor lightText(255, 210, 136);
const QColor darkText(80, 16, 0);
const QColor oakText(255, 220, 156);

// In the order of their commands, Cmd::BackgroundFirst on.
constexpr int first = Cmd::BackgroundFirst;
const std::array<BackgroundTexture, 10> textures = {{
    {first + 0, 227, 248, lightText}, // wood
    {first + 1, 247, 249, lightText},
    {first + 2, 192, 241, darkText}, // limestone
    {first + 3, 229, 242, darkText},
    {first + 4, 146, 243, darkText}, // pink
    {first + 5, 231, 244, darkText},
    {first + 6, 147, 239, oakText}, // oak
    {first + 7, 233, 240, oakText},
    {first + 8, 148, 245, darkText}, // plaster
    {first + 9, 237, 246, darkText},
}};
} // namespace

const BackgroundTexture* backgroundTextureFor(int command) {
    for (const BackgroundTexture& t : textures)
        if (t.command == command)
            return &t;
    return nullptr;
}

const BackgroundTexture* backgroundTextureWithBitmap(std::int64_t bitmapId) {
    for (const BackgroundTexture& t : textures)
        if (t.bitmapId == bitmapId)
            return &t;
    return nullptr;
}

bool isBackgroundTexture(std::int64_t bitmapId) {
    return backgroundTextureWithBitmap(bitmapId) != nullptr;
}

int colorLightness(const QColor& colour) {
    const int r = colour.red(), g = colour.green(), b = colour.blue();
    const int high = std::max({r, g, b}), low = std::min({r, g, b});
    return ((high + low) * 240 + 255) / 510;
}

QColor textColorForSolid(const QColor& colour) {
    return colorLightness(colour) < 120 ? QColor(255, 255, 255) : QColor(0, 0, 0);
}

void chooseTexture(BackgroundState& background, const BackgroundTexture& texture) {
    background.textColor = texture.textColor;
    background.backgroundBitmapId = texture.bitmapId;
    background.loadTexture();
    background.bitmapBackground = 1;
}

void chooseSolidColor(BackgroundState& background, const QColor& colour) {
    background.backgroundColor = colour;
    background.hasBackgroundBrush = true;
    background.bitmapBackground = 0;
    background.textColor = textColorForSolid(colour);
}
