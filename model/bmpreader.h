#pragma once

// Our own reader of Windows bitmap files. It keeps the file's depth and colour table, which Qt's
// reader does not, and it checks every header value against the file before it allocates.

#include "model/picture.h"

class QByteArray;

// True when the bytes start like a bitmap file ("BM").
bool isBitmapFileData(const QByteArray& bytes);

// Reads the uncompressed, RLE4, RLE8 and bit-field variants with the 12-, 40-, 52-, 56-, 108- and
// 124-byte headers, rows stored bottom-up or top-down.
LoadResult readBitmapFile(const QByteArray& bytes);
