#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

struct Element;
struct Geometry;
class Puzzle;

// The point of the picture turned the way the element is turned (counter-clockwise quarter
// turns) that the top-left corner of the element's cell shows: the element's cell is cut from
// the picture turned as the element is.
QPoint sourcePoint(int orientation, int homeIndex, int rows, int columns, const Geometry& geometry);

// The element painter at 100 %: paints the element into `bitmap` (its cell's pixels, a
// Format_RGB32 image of at least bitmapSize square) as the element looks: the outline colour
// everywhere, the picture inside innerRegion (within shapeBounds), read from the one picture as
// cut and turned on the way as the element is turned. Only `area` (cell coordinates) is
// painted; the rest is left as it was, so a caller that needs part of an element pays for that
// part. False when there is no picture or the bitmap is too small.
bool paintElementBitmap(QImage& bitmap, const Element& element, const Puzzle& puzzle, const QImage& picture,
                        const QColor& outlineColor, const QRect& area);
// The whole element.
bool paintElementBitmap(QImage& bitmap, const Element& element, const Puzzle& puzzle, const QImage& picture,
                        const QColor& outlineColor);
