#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

class QPainter;

namespace makeart {

// The dialogs' stripe tile, 8 × 8: two rows RGB(145,61,7), two rows RGB(105,55,22), repeating.
// Tile k starts k rows further into the pattern, so that a control whose top lies at
// y ≡ k (mod 4) in its dialog continues the dialog's own stripes when the tile is laid from
// the control's top.
QImage stripeTile(int k);

// A line one pixel wide along a row or a column, from a to b (both included), and the one-pixel
// frame just inside r: the pixels a pen draws at one pixel a pixel, and at any other scale the
// same place (a pen's line lies centred on the pixels' edge there, half a pixel off).
void pixelLine(QPainter& p, QPoint a, QPoint b, const QColor& colour);
void pixelFrame(QPainter& p, const QRect& r, const QColor& colour);

// The stripe pattern over a whole image, in phase with its top row; at `scale` each of its
// pixels is that many a side (the image marked with that ratio, so it is painted on at its size).
QImage tiledStripes(int width, int height, int scale = 1);

// `scale` draws each with that many pixels to each of its pixels (2: for screens of ratio 2).
QImage buttonFace(int scale = 1);    // 150 × 46 wooden face of the skinned push buttons
QImage checkBoxStrip(int scale = 1); // 52 × 13: on, on pressed, off, off pressed
QImage lightWood(int scale = 1);     // 250 × 40 menu wood, tiles seamlessly
QImage pictureFrame(int scale = 1);  // 179 × 138: a 7-pixel wooden frame round a light-brown field
QImage progressBlock(int scale = 1); // 14 × 22 block of the progress strip
QImage sizeGrip(int scale = 1);      // 15 × 15 grip with transparent background

} // namespace makeart
