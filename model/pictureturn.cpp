#include "model/picture.h"

#include <algorithm>
#include <cstring>

namespace {

// Target rows are written in tiles, so that the source columns a tile reads stay in the cache
// while the next target rows take their neighbouring pixels from the same source lines.
constexpr int tileSize = 64;

// target (x, y) = source (W - 1 - y, x), pixels of N bytes.
template <int N> void turnBytes(const QImage& source, QImage& target) {
    const int sourceWidth = source.width();
    const int targetWidth = target.width();   // = source height
    const int targetHeight = target.height(); // = source width
    const uchar* src = source.constBits();
    const qsizetype srcLine = source.bytesPerLine();
    uchar* dst = target.bits();
    const qsizetype dstLine = target.bytesPerLine();
    for (int y0 = 0; y0 < targetHeight; y0 += tileSize) {
        const int y1 = std::min(y0 + tileSize, targetHeight);
        for (int x0 = 0; x0 < targetWidth; x0 += tileSize) {
            const int x1 = std::min(x0 + tileSize, targetWidth);
            for (int y = y0; y < y1; ++y) {
                const uchar* s = src + qsizetype(x0) * srcLine + qsizetype(sourceWidth - 1 - y) * N;
                uchar* d = dst + qsizetype(y) * dstLine + qsizetype(x0) * N;
                for (int x = x0; x < x1; ++x) {
                    std::memcpy(d, s, N);
                    s += srcLine;
                    d += N;
                }
            }
        }
    }
}

// The same for one bit per pixel; `msbFirst` is Mono, otherwise MonoLSB.
void turnBits(const QImage& source, QImage& target, bool msbFirst) {
    target.fill(0);
    const int sourceWidth = source.width();
    for (int y = 0; y < target.height(); ++y) {
        const int column = sourceWidth - 1 - y;
        const int byte = column >> 3;
        const uchar mask = msbFirst ? uchar(0x80 >> (column & 7)) : uchar(1 << (column & 7));
        uchar* d = target.scanLine(y);
        for (int x = 0; x < target.width(); ++x) {
            if (source.constScanLine(x)[byte] & mask)
                d[x >> 3] |= msbFirst ? uchar(0x80 >> (x & 7)) : uchar(1 << (x & 7));
        }
    }
}

} // namespace

QImage turnPicture(const QImage& source) {
    if (source.isNull())
        return {};
    QImage target(source.height(), source.width(), source.format());
    if (target.isNull())
        return {};
    target.setColorTable(source.colorTable());
    switch (source.depth()) {
    case 1:
        turnBits(source, target, source.format() != QImage::Format_MonoLSB);
        break;
    case 8:
        turnBytes<1>(source, target);
        break;
    case 16:
        turnBytes<2>(source, target);
        break;
    case 24:
        turnBytes<3>(source, target);
        break;
    case 32:
        turnBytes<4>(source, target);
        break;
    case 64:
        turnBytes<8>(source, target);
        break;
    case 128:
        turnBytes<16>(source, target);
        break;
    default:
        target.fill(0); // no picture format has another depth
        break;
    }
    return target;
}

bool buildTurnedPictures(std::array<QImage, 4>& turnedPictures) {
    for (int k = 1; k < 4; ++k) {
        turnedPictures[k] = turnPicture(turnedPictures[k - 1]);
        if (turnedPictures[k].isNull()) {
            for (int j = 1; j < 4; ++j)
                turnedPictures[j] = QImage();
            return false;
        }
    }
    return true;
}
