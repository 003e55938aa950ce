#pragma once

// The cut picture at a screen's own resolution. On a screen with more device pixels than
// logical ones (a device pixel ratio above 1) the cut also keeps a finer copy of the picture,
// made from the picture's own pixels, so the table can show the detail the screen can. Every
// size and place the game computes stays in logical pixels: the finer copy is only read from.
//
// A saved game keeps the copy in a file of its own beside its picture: a 24-bit Windows bitmap
// (any viewer shows it) followed by a short trailer naming the fingerprint of the picture file
// it belongs to, so a copy left from another save of that name is never taken for this one.

#include <QByteArray>
#include <QImage>
#include <QSize>

class QIODevice;
class QString;

// No finer copy is kept beyond this ratio to the cut picture.
constexpr double maxDeviceRatio = 4.0;

// The size of the finer copy of a picture cut to `logical` from a source of `source` pixels,
// for a screen of ratio `ratio`: one factor for both sides, no more than the ratio, no more
// than the source holds and within the largest picture. Empty when that would be hardly finer
// than the cut picture itself (a small source, a screen of ratio 1).
QSize devicePictureSize(QSize logical, QSize source, double ratio);

// The finer copy, area-averaged from `source`, as 24 bits a pixel; null when none is worth
// keeping or it cannot be made.
QImage makeDevicePicture(const QImage& source, QSize logical, double ratio);

// Whether a picture of `device` pixels can be the finer copy of one of `logical` pixels: finer
// on both sides by one factor (to a pixel), at most maxDeviceRatio, within the largest picture.
bool fitsDevicePicture(QSize device, QSize logical);

// Writes the copy with the fingerprint (16 hex digits) of the picture file it belongs to.
bool writeDevicePicture(QIODevice& device, const QImage& picture, const QByteArray& pictureFingerprint);

// Reads a copy written above, when it is one for a picture of `logical` size whose file has
// `pictureFingerprint`; null otherwise (no file, another game's copy, damage). Everything is
// checked against the file before anything is allocated; the copy is only ever a help, so a
// failure is no error to report.
QImage readDevicePicture(const QString& path, QSize logical, const QByteArray& pictureFingerprint);
