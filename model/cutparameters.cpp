#include "model/cutparameters.h"

Geometry Geometry::compute(std::int32_t s, bool mosaic, bool irregularBase, std::int32_t outlineThickness) {
    Geometry g;
    g.elementSize = s;
    g.knobSize = s / 4;
    g.neckHalf = s / 8;
    // S / 16 rounded to nearest, halves up: (S + 8) / 16 for non-negative S.
    g.knobStep = (s + 8) / 16;
    if (mosaic) {
        g.baseBow = irregularBase ? s / 4 : 0;
        g.cellSize = s + 2 * g.baseBow;
        g.bodyOffset = g.baseBow;
    } else {
        g.baseBow = irregularBase ? s / 16 : 0;
        g.cellSize = s * 3 / 2;
        g.bodyOffset = s / 4;
    }
    g.bitmapSize = g.cellSize + outlineThickness;
    return g;
}
