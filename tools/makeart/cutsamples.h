#pragma once

#include <QImage>

namespace makeart {

// Bitmaps 315–321 of the cut dialog: one element for a set of shape options, 67 × 67 on the
// dialog's stripes. The outline comes from the game's own shape code, so the sample is exactly
// what cutting with those options makes: knobs and sockets on a bowed or square base, shifted or
// centred, or the straight-edged mosaic shapes.
// At `scale` the same with that many pixels to each of its own, the outline made at the finer
// pixels by the game's shape code as a screen of that ratio shows it.
QImage cutSample(bool mosaic, bool squareBase, bool shiftKnobs, int scale = 1);

// Bitmap 252, 32 × 32: a ruler over a little grid of cells, beside the element size.
QImage sizeMotif(int scale = 1);

} // namespace makeart
