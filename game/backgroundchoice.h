#pragma once

#include <QColor>

#include <cstdint>

struct BackgroundState;

// The ten textures the background commands choose from, each with the sample strip the
// background menu shows while its item is highlighted and the clock text colour that stays
// readable on it.
struct BackgroundTexture {
    int command;
    int bitmapId; // 160 x 120 texture
    int swatchId; // 160 x 40 sample strip
    QColor textColor;
};

// The texture of commands 32810..32819; nullptr for any other command.
const BackgroundTexture* backgroundTextureFor(int command);
// The texture shown with this bitmap; nullptr for any other bitmap.
const BackgroundTexture* backgroundTextureWithBitmap(std::int64_t bitmapId);
// Whether a bitmap is one of the ten textures (a saved game may name no other).
bool isBackgroundTexture(std::int64_t bitmapId);

// Lightness on the 0..240 scale of the colour chooser: ((max + min) * 240 + 255) / 510.
int colorLightness(const QColor& colour);
// The clock text over a solid colour: white below lightness 120, else black.
QColor textColorForSolid(const QColor& colour);

// The common texture step: the given texture becomes the background (reloaded even when it is
// the one shown) with its text colour; the solid colour is kept for the next time.
void chooseTexture(BackgroundState& background, const BackgroundTexture& texture);
// The solid colour becomes the background.
void chooseSolidColor(BackgroundState& background, const QColor& colour);
