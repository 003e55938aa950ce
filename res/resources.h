#pragma once

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QString>

// Resources are addressed by the numbers the game gives them.
QString bitmapResourcePath(int id);
QString waveResourcePath(int id);
QString cursorResourcePath(int id);
QString iconResourcePath(int id);
// The hot spot of a cursor image, kept beside it as "x y"; (0, 0) when missing or unreadable.
QPoint cursorHotSpot(int id);

// The bitmap as an RGB32 image (the screen-compatible form); a null image if it is missing.
QImage loadBitmapResource(int id);
// The bitmap for a screen of `ratio` device pixels to a logical one: above 1, its version with
// twice the pixels ("<id>@2x.png") where it has one, marked with that ratio so it covers the
// same logical size; else the bitmap itself.
QImage loadBitmapResource(int id, double ratio);
// A cursor's image likewise.
QPixmap cursorPixmap(int id, double ratio);
