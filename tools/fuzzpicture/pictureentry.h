#pragma once

// What the picture fuzzer checks for one input, shared with the test that replays its seed files:
// any bytes must either load as a picture of one of the held formats or be refused with a reason
// and no picture. What loads is also turned, written and read back, so that those paths see odd
// sizes and colour tables too.

#include "model/picture.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <cstring>

namespace fuzzpicture {

inline bool samePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    const qsizetype bytes = (qsizetype(a.width()) * a.depth() + 7) / 8;
    for (int y = 0; y < a.height(); ++y) {
        if (a.depth() == 1 && a.width() % 8) {
            // bits past the last pixel are undefined
            const qsizetype whole = a.width() / 8;
            if (std::memcmp(a.constScanLine(y), b.constScanLine(y), whole) != 0)
                return false;
            const uchar mask = uchar(0xFF << (8 - a.width() % 8));
            if ((a.constScanLine(y)[whole] & mask) != (b.constScanLine(y)[whole] & mask))
                return false;
        } else if (std::memcmp(a.constScanLine(y), b.constScanLine(y), bytes) != 0) {
            return false;
        }
    }
    return true;
}

// The broken promise, or nullptr when the input was handled soundly.
inline const char* checkInput(const QByteArray& bytes) {
    const LoadResult result = loadPictureFromBytes(bytes);
    if (!result.ok()) {
        if (!result.picture.isNull() || result.error == PictureError::None)
            return "a failure came with a picture or without a reason";
        return nullptr;
    }
    const QImage& picture = result.picture;
    switch (picture.format()) {
    case QImage::Format_Mono:
    case QImage::Format_Indexed8:
    case QImage::Format_RGB555:
    case QImage::Format_RGB16:
    case QImage::Format_RGB888:
    case QImage::Format_RGB32:
        break;
    default:
        return "loaded picture in a format a bitmap cannot hold";
    }
    // Keep each input quick: the rest only on small pictures.
    if (qint64(picture.width()) * picture.height() > 256 * 256)
        return nullptr;

    QImage turned = picture;
    for (int k = 0; k < 4; ++k)
        turned = turnPicture(turned);
    if (!samePixels(turned, picture))
        return "four turns changed the picture";
    std::array<QImage, 4> all{picture};
    if (!buildTurnedPictures(all))
        return "the turned pictures could not be made";
    for (int k = 1; k < 4; ++k) {
        turned = turnPicture(turned);
        if (!samePixels(all[k], turned))
            return "a turned picture is not the quarter turns one by one";
    }

    const QByteArray file = encodeBitmapFile(picture);
    const LoadResult back = loadPictureFromBytes(file);
    if (!back.ok() || !samePixels(back.picture, picture))
        return "the written bitmap does not read back";
    if (encodeBitmapFile(back.picture) != file)
        return "writing what was read gives another file";

    QImage scaled = picture;
    if (!scalePicture(scaled, 7, 5) || scaled.format() != picture.format())
        return "stretching failed";
    return nullptr;
}

} // namespace fuzzpicture
