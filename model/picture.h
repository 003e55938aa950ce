#pragma once

// The picture the elements are cut from: loading, stretching to the cut size, quarter turns and
// writing it as a Windows bitmap file.
//
// A picture is a QImage in one of the formats a bitmap file can hold, so that it keeps its own
// depth and colour table: Mono (1 bit), Indexed8 (2, 4 and 8 bits, with the file's colour table),
// RGB555 (16 bits as uncompressed bitmaps store them), RGB16 (16 bits 5-6-5), RGB888 (24 bits)
// and RGB32 (32 bits). Pictures of other formats (photos) are brought to one of these on loading.
//
// Every function here is re-entrant. Turning, stretching and writing need no QGuiApplication state,
// so the picture-turning worker may call them on its own thread. Showing the wait cursor is the
// caller's business.

#include <QByteArray>
#include <QImage>
#include <QStringList>

#include <array>
#include <cstdint>

class Fingerprint;
class PictureReserve;
class QIODevice;
class QString;

enum class PictureError {
    None,
    CannotOpen,    // the file cannot be opened or read
    UnknownFormat, // not a picture any reader knows
    Truncated,     // the file ends before the data its header promises
    Corrupt,       // impossible header values (zero or negative sizes, bad offsets, ...)
    Unsupported,   // a bitmap variant we do not read (e.g. embedded JPEG, Huffman)
    TooLarge,      // more pixels than we accept, or more than the file can plausibly hold
    OutOfMemory,   // the picture could not be allocated
};

struct LoadResult {
    QImage picture;
    PictureError error = PictureError::None;
    // Bits per pixel as stored in the file: 4 for a 16-colour bitmap even though it is held as
    // Indexed8. For formats read through Qt, the depth of the picture as held.
    int fileBitsPerPixel = 0;
    QByteArray format; // "bmp", "png", "jpeg", ...

    bool ok() const { return error == PictureError::None && !picture.isNull(); }
};

// No picture may exceed this many pixels (16384 x 16384), whatever its file says.
constexpr std::int64_t maxPicturePixels = std::int64_t(1) << 28;

// Loads a picture file at its own size. Windows bitmaps are read by our own reader; anything else
// goes to Qt's image readers. A failure leaves `picture` null and names the reason; the caller
// shows message 32824 for every one of them. With `fingerprint` (a fresh one), the file's bytes
// are fed to it as well; with `reserve`, a bitmap's pixels are read into those it made ready, and
// what it read ahead from this very file, unchanged since, is not read again.
LoadResult loadPicture(const QString& path, Fingerprint* fingerprint = nullptr,
                       PictureReserve* reserve = nullptr);
LoadResult loadPictureFromBytes(const QByteArray& bytes);

// The file name suffixes (lower case, without the dot) of every picture type loadPicture reads:
// "bmp" and "dib" first, then those of the image readers Qt has on this machine.
QStringList readablePictureSuffixes();

// Replaces `picture` by a copy stretched to |width| x |height| with area averaging (the halftone
// stretch), in the same format and, for indexed pictures, with the same colour table. Returns
// false and leaves the picture alone when it is null or a size is 0 or too large.
bool scalePicture(QImage& picture, int width, int height);

// A new picture turned a quarter turn counter-clockwise: the top-right corner becomes the top-left
// one, so target (x, y) = source (W - 1 - y, x). Same format and colour table. A null result means
// the source is null or the target could not be allocated.
QImage turnPicture(const QImage& source);

// The same into `target`, whose memory is reused when it already has the turned size and format
// and is not shared; otherwise it is replaced by a new picture. False when the source is null or
// the target cannot be allocated.
bool turnPictureInto(const QImage& source, QImage& target);

// Entries 1..3 from entry 0, each a quarter turn counter-clockwise of the previous one; entries
// that already have the right size are written in place. Returns false (entries 1..3 then null)
// when a turn fails.
bool buildTurnedPictures(std::array<QImage, 4>& turnedPictures);

// Writes the picture as an uncompressed Windows bitmap: 14-byte file header, 40-byte information
// header, colour table (2 entries at 1 bit, 256 at 8 bits, none deeper), rows bottom-up padded to
// 4 bytes. A 5-6-5 picture adds the three bit-field masks after the header, because without them
// a 16-bit file means 5-5-5. Returns false when the picture is null or the file cannot be written
// (an earlier file of that name is then left as it was).
bool writeBitmapFile(const QString& path, const QImage& picture);
bool writeBitmap(QIODevice& device, const QImage& picture);
QByteArray encodeBitmapFile(const QImage& picture);

// Brings any QImage to one of the picture formats above. Transparent pixels are laid over white.
QImage normalisePicture(QImage image);
