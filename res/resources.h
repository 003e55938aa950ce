#pragma once

#include <QImage>
#include <QString>

// Resources are addressed by the numbers the game gives them.
QString bitmapResourcePath(int id);
QString waveResourcePath(int id);
QString cursorResourcePath(int id);
QString iconResourcePath(int id);

// The bitmap as an RGB32 image (the screen-compatible form); a null image if it is missing.
QImage loadBitmapResource(int id);
