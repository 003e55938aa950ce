#pragma once

#include <QPoint>

class QImage;
class QRegion;

// Copies the pixels of a region (destination coordinates) from source to destination, where
// destination pixel p takes source pixel p + sourceOffset. Parts of the region outside either
// image are skipped. The destination must be Format_RGB32; an RGB32 source is copied row by
// row with memcpy, about ten times faster than QPainter through a complex clip, and any other
// source is converted once for the area needed. Returns false when nothing could be copied
// because a format does not fit or memory ran out.
bool copyRegion(QImage& destination, const QRegion& region, const QImage& source, QPoint sourceOffset);
