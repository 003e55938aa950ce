#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

#include <array>

struct Element;
struct Geometry;
class Puzzle;

// The point of turnedPictures[orientation] that the top-left corner of the element's cell
// shows: the element's cell is cut from the picture turned the way the element is turned.
QPoint sourcePoint(int orientation, int homeIndex, int rows, int columns, const Geometry& geometry);

// Turns the element's orientation by turn (-1, 0, +1 or 2 clockwise quarter turns; orientation
// counts counter-clockwise) and repaints its bitmap: outline colour everywhere, then the
// picture inside innerRegion (within shapeBounds). Returns false, changing neither orientation
// nor bitmap, when the turned picture is missing or the bitmap cannot be allocated.
bool paintElementBitmap(Element& element, int turn, const Puzzle& puzzle,
                        const std::array<QImage, 4>& turnedPictures, const QColor& outlineColor);

// Paints the bitmap for the element's present orientation from the picture as cut (unturned):
// the few pixels the element shows are cut out and turned on their own, so the result is the
// same as painting from the turned picture without needing it. False when the picture is missing
// or the bitmap cannot be allocated.
bool paintElementBitmapFromPicture(Element& element, const Puzzle& puzzle, const QImage& picture,
                                   const QColor& outlineColor);
