#pragma once

#include "model/rect.h"

#include <QColor>
#include <QImage>
#include <QPoint>

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
    // The texture with twice the pixels (marked with ratio 2), for screens of a higher ratio;
    // null where there is none or the texture is no longer the one loaded with it.
    QImage fineTexture() const { return fineFor_ == texture.cacheKey() ? fineTexture_ : QImage(); }
    // The table around a board that is smaller than the window (zoomed out): the background's
    // mean colour, darkened, so the board stands out without a hard black frame.
    QColor surroundColor() const;

private:
    QImage fineTexture_;
    qint64 fineFor_ = 0;
    // The texture's mean colour, worked out once for each texture rather than on every paint.
    struct TextureMean {
        qint64 textureKey = 0;
        QColor colour;
    };
    mutable TextureMean textureMean_;
};

// Fills rect of an RGB32 image with copies of bitmap laid edge to edge in a grid anchored at the
// image's point -origin (so an image that shows the board from `origin` on is tiled as the
// board is, from the board's (0, 0)), copying rows: the hot path of drawing the table. The
// windows tile with a painter (ui/skin.h).
void tileBitmap(const QImage& bitmap, QImage& destination, const Rect& rect, QPoint origin = QPoint());
