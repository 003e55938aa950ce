#pragma once

// Our own reader of Windows bitmap files. It keeps the file's depth and colour table, which Qt's
// reader does not, and it checks every header value against the file before it allocates.

#include "model/picture.h"

#include <QSize>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class Fingerprint;
struct ReadyPixels;
class QByteArray;
class QIODevice;

// True when the bytes start like a bitmap file ("BM").
bool isBitmapFileData(const QByteArray& bytes);

// Reads the uncompressed, RLE4, RLE8 and bit-field variants with the 12-, 40-, 52-, 56-, 108- and
// 124-byte headers, rows stored bottom-up or top-down.
LoadResult readBitmapFile(const QByteArray& bytes);

// The same read from a device, row by row into the picture, so that a large file's bytes are
// never held whole beside its pixels. `seen` is given every byte of the device in order (for its
// fingerprint). The rows of an open file are read on every core at once, and `seen` is then fed
// from the file on another thread (one call at a time, all of them before this returns).
// Run-length files and unusual layouts are read whole and passed to the above. The pixels are
// those made `ready` when they have the file's size and format; the rows it read ahead of an open
// file are not read again.
LoadResult readBitmapFile(QIODevice& device, const std::function<void(const QByteArray&)>& seen,
                          ReadyPixels* ready = nullptr);

// The size and format of the pixels the above reads a bitmap file's rows into, from its headers,
// when they are read row by row and the file holds them all; nothing otherwise.
struct BitmapLayout {
    QSize size;
    QImage::Format format = QImage::Format_Invalid;
};
std::optional<BitmapLayout> readBitmapLayout(QIODevice& device);

// A reduced copy of a bitmap file read from a seekable device without reading the whole file:
// the headers, then only the rows the copy samples, each checked against the device's size.
// The copy keeps the proportions and fits `box` (never enlarged). Run-length files are not
// read (their rows cannot be found without reading all before them).
struct BitmapThumbnail {
    QImage image; // RGB32; null on failure
    QSize size;   // the picture's own size, once the header was read
    PictureError error = PictureError::None;
    bool ok() const { return error == PictureError::None && !image.isNull(); }
};
BitmapThumbnail readBitmapThumbnail(QIODevice& device, QSize box);

// Reads the rows of the uncompressed bitmap file open at `fd` into `image` (of the size and
// format readBitmapLayout gives for it), in chunks of `rowsAheadPerChunk` rows in the file's order
// taken by every core, until `stop` is set, marking each chunk in place in `chunksRead`; one more
// thread feeds every byte of the file in order to `fingerprint`. True when the whole file was
// read; false as soon as anything does not fit.
constexpr int rowsAheadPerChunk = 64;
bool readBitmapAhead(int fd, QImage& image, const std::atomic<bool>& stop,
                     std::vector<std::uint8_t>& chunksRead, Fingerprint& fingerprint);
