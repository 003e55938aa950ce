#pragma once

#include "model/rect.h"

#include <QColor>
#include <QImage>

class QPainter;

// What lies under the elements: one of the ten textures or a solid colour.
struct BackgroundState {
    static constexpr int defaultBitmapId = 192; // limestone

    int bitmapBackground = 1;
    int backgroundBitmapId = defaultBitmapId;
    QImage texture; // 160 x 120, loaded from backgroundBitmapId
    QColor backgroundColor = QColor(125, 125, 0);
    // The solid brush exists only once a colour was chosen or a game loaded.
    bool hasBackgroundBrush = false;
    QColor textColor = QColor(0, 0, 0);

    // Loads the texture for backgroundBitmapId; keeps a grey stand-in if the resource is missing
    // so the board is never left undrawn.
    void loadTexture();
    // Fills a rectangle of the destination with the current background, anchored at its origin.
    void paint(QPainter& painter, const Rect& rect) const;
};

// Fills rect with copies of bitmap laid edge to edge in a grid anchored at the destination's
// origin (0, 0), clipped to rect.
void tileBitmap(const QImage& bitmap, QPainter& painter, const Rect& rect);
void tileBitmap(const QImage& bitmap, QPainter& painter, int left, int top, int width, int height);
// The same straight into an RGB32 image, copying rows; the hot path of board repairs.
void tileBitmap(const QImage& bitmap, QImage& destination, const Rect& rect);
