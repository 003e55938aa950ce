#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

// The picture file dialog's preview: where a picture is drawn in the frame, and a reduced copy of
// it read without holding up the dialog for long.

// The rectangle a width x height picture takes inside pictureRect: reduced by one scale until it
// fits (never enlarged), sides rounded to the nearest pixel with halves going up, centred with
// the leftover halved toward zero. Empty when either size is not positive.
QRect previewDrawRect(int width, int height, const QRect& pictureRect);

struct PicturePreview {
    bool ok = false;
    QImage image;  // the picture reduced to fit the box (as previewDrawRect gives), RGB32
    int width = 0; // the picture's own size and depth
    int height = 0;
    int bitsPerPixel = 0;
    QByteArray format; // "bmp", "png", "jpeg", ...
};

// Reads the picture at path for a preview in a box of the given size. Files of ordinary size go
// through the same loader as the picture command, so the preview fails exactly where loading
// would; very large files are only measured from their header and decoded at the reduced size.
// Up to fullReadBytes a file is read whole; larger ones are only measured and decoded reduced.
constexpr qint64 previewFullReadBytes = qint64(128) << 20;
PicturePreview loadPreview(const QString& path, const QSize& box,
                           qint64 fullReadBytes = previewFullReadBytes);
