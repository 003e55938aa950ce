#pragma once

#include <QImage>

#include <vector>

namespace makeart {

// One board background: its texture (160 × 120, 256 colours) and the 160 × 40 swatch the
// background menu shows for it; each also with twice the pixels, for screens of ratio 2.
struct Background {
    int textureId;
    int swatchId;
    QImage texture;
    QImage swatch;
    QImage texture2x;
    QImage swatch2x;
};

// The five materials, each plain and with the word "puzzle" embossed across the middle.
std::vector<Background> backgrounds();

} // namespace makeart
