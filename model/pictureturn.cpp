#include "model/picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// target (x, y) = source (W - 1 - y, x). The target is filled in tiles of `tileRows` target rows
// by `tileColumns` target columns, i.e. short pieces of `tileRows` source columns from only
// `tileColumns` source lines at a time: the few lines being read and the target lines being
// written both stay in the cache, and the memory pages touched at once stay few. Within a tile,
// blocks of `block` x `block` pixels are moved with whole-word reads and writes.
template <int N> struct TurnShape {
    static constexpr int block = 4;
    static constexpr int tileRows = 256;
    static constexpr int tileColumns = 8;
};

template <> struct TurnShape<1> {
    static constexpr int block = 8;
    static constexpr int tileRows = 256;
    static constexpr int tileColumns = 8;
};

template <> struct TurnShape<4> {
    static constexpr int block = 4;
    static constexpr int tileRows = 512;
    static constexpr int tileColumns = 4;
};

constexpr bool littleEndian = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;

template <int N> void copyPixel(uchar* d, const uchar* s) {
    std::memcpy(d, s, N);
}

// B source lines by B source columns (from `s`, the leftmost) into B target lines (from `d`).
template <int N, int B>
void turnBlockBytes(const uchar* s, qsizetype sourceLine, uchar* d, qsizetype targetLine) {
    uchar in[B][B * N];
    for (int r = 0; r < B; ++r)
        std::memcpy(in[r], s + r * sourceLine, B * N);
    for (int k = 0; k < B; ++k) {
        uchar out[B * N];
        for (int r = 0; r < B; ++r)
            std::memcpy(out + r * N, in[r] + (B - 1 - k) * N, N);
        std::memcpy(d + k * targetLine, out, B * N);
    }
}

// The word-sized versions below take pixel j of a line from bits j * 8N of a little-endian load.
template <int N, int B> void turnBlock(const uchar* s, qsizetype sourceLine, uchar* d, qsizetype targetLine) {
    turnBlockBytes<N, B>(s, sourceLine, d, targetLine);
}

// Swaps the blocks of `bits` bits between lines r and r + `distance` that lie off the diagonal,
// one round of transposing a matrix held one line per 64-bit word.
template <int Lines> void swapRound(std::uint64_t (&a)[Lines], int distance, int bits, std::uint64_t mask) {
    for (int r = 0; r < Lines; ++r) {
        if (r & distance)
            continue;
        const std::uint64_t t = ((a[r] >> bits) ^ a[r + distance]) & mask;
        a[r] ^= t << bits;
        a[r + distance] ^= t;
    }
}

// Byte pixels, 8 x 8: one 64-bit word per line, transposed in three rounds.
template <> void turnBlock<1, 8>(const uchar* s, qsizetype sourceLine, uchar* d, qsizetype targetLine) {
    if constexpr (!littleEndian) {
        turnBlockBytes<1, 8>(s, sourceLine, d, targetLine);
        return;
    }
    std::uint64_t a[8];
    for (int r = 0; r < 8; ++r)
        std::memcpy(&a[r], s + r * sourceLine, 8);
    swapRound(a, 4, 32, 0x00000000FFFFFFFFull);
    swapRound(a, 2, 16, 0x0000FFFF0000FFFFull);
    swapRound(a, 1, 8, 0x00FF00FF00FF00FFull);
    // a[j] now holds source column j; target line k takes column 7 - k.
    for (int k = 0; k < 8; ++k)
        std::memcpy(d + k * targetLine, &a[7 - k], 8);
}

// Two-byte pixels, 4 x 4: one 64-bit word per line, transposed in two rounds.
template <> void turnBlock<2, 4>(const uchar* s, qsizetype sourceLine, uchar* d, qsizetype targetLine) {
    if constexpr (!littleEndian) {
        turnBlockBytes<2, 4>(s, sourceLine, d, targetLine);
        return;
    }
    std::uint64_t a[4];
    for (int r = 0; r < 4; ++r)
        std::memcpy(&a[r], s + r * sourceLine, 8);
    swapRound(a, 2, 32, 0x00000000FFFFFFFFull);
    swapRound(a, 1, 16, 0x0000FFFF0000FFFFull);
    for (int k = 0; k < 4; ++k)
        std::memcpy(d + k * targetLine, &a[3 - k], 8);
}

// Four-byte pixels, 4 x 4: two 64-bit words per line.
template <> void turnBlock<4, 4>(const uchar* s, qsizetype sourceLine, uchar* d, qsizetype targetLine) {
    if constexpr (!littleEndian) {
        turnBlockBytes<4, 4>(s, sourceLine, d, targetLine);
        return;
    }
    std::uint64_t a[4][2];
    for (int r = 0; r < 4; ++r)
        std::memcpy(a[r], s + r * sourceLine, 16);
    for (int k = 0; k < 4; ++k) {
        const int j = 3 - k;
        auto pixel = [&](int r) { return (a[r][j / 2] >> (32 * (j % 2))) & 0xFFFFFFFFull; };
        const std::uint64_t w[2] = {pixel(0) | pixel(1) << 32, pixel(2) | pixel(3) << 32};
        std::memcpy(d + k * targetLine, w, 16);
    }
}

// Three-byte pixels, 4 x 4: twelve bytes per line, packed with shifts.
template <> void turnBlock<3, 4>(const uchar* s, qsizetype sourceLine, uchar* d, qsizetype targetLine) {
    if constexpr (!littleEndian) {
        turnBlockBytes<3, 4>(s, sourceLine, d, targetLine);
        return;
    }
    std::uint64_t lo[4];
    std::uint32_t hi[4];
    for (int r = 0; r < 4; ++r) {
        std::memcpy(&lo[r], s + r * sourceLine, 8);
        std::memcpy(&hi[r], s + r * sourceLine + 8, 4);
    }
    // Pixel j (0..3) of the twelve bytes of line r.
    auto pixel = [&](int r, int j) -> std::uint32_t {
        switch (j) {
        case 0:
            return std::uint32_t(lo[r]) & 0xFFFFFF;
        case 1:
            return std::uint32_t(lo[r] >> 24) & 0xFFFFFF;
        case 2:
            return std::uint32_t(lo[r] >> 48) | (hi[r] & 0xFF) << 16;
        default:
            return hi[r] >> 8;
        }
    };
    for (int k = 0; k < 4; ++k) {
        const int j = 3 - k;
        const std::uint32_t p2 = pixel(2, j);
        const std::uint64_t a =
            std::uint64_t(pixel(0, j)) | std::uint64_t(pixel(1, j)) << 24 | std::uint64_t(p2) << 48;
        const std::uint32_t b = p2 >> 16 | pixel(3, j) << 8;
        std::memcpy(d + k * targetLine, &a, 8);
        std::memcpy(d + k * targetLine + 8, &b, 4);
    }
}

template <int N> void turnBytes(const QImage& source, QImage& target) {
    constexpr int block = TurnShape<N>::block;
    const int sourceWidth = source.width();
    const int targetWidth = target.width();   // = source height
    const int targetHeight = target.height(); // = source width
    const uchar* src = source.constBits();
    const qsizetype srcLine = source.bytesPerLine();
    uchar* dst = target.bits();
    const qsizetype dstLine = target.bytesPerLine();
    auto sourceAt = [&](int x, int y) {
        return src + qsizetype(x) * srcLine + qsizetype(sourceWidth - 1 - y) * N;
    };
    auto targetAt = [&](int x, int y) { return dst + qsizetype(y) * dstLine + qsizetype(x) * N; };

    // Whole blocks first, tile by tile; then the last rows and columns pixel by pixel.
    const int blockHeight = targetHeight - targetHeight % block;
    const int blockWidth = targetWidth - targetWidth % block;
    for (int y0 = 0; y0 < blockHeight; y0 += TurnShape<N>::tileRows) {
        const int y1 = std::min(y0 + TurnShape<N>::tileRows, blockHeight);
        for (int x0 = 0; x0 < blockWidth; x0 += TurnShape<N>::tileColumns) {
            const int x1 = std::min(x0 + TurnShape<N>::tileColumns, blockWidth);
            for (int y = y0; y < y1; y += block)
                for (int x = x0; x < x1; x += block)
                    turnBlock<N, block>(sourceAt(x, y + block - 1), srcLine, targetAt(x, y), dstLine);
        }
    }
    for (int y = 0; y < targetHeight; ++y) {
        const int xStart = y < blockHeight ? blockWidth : 0;
        for (int x = xStart; x < targetWidth; ++x)
            copyPixel<N>(targetAt(x, y), sourceAt(x, y));
    }
}

// Half a turn: target (x, y) = source (W - 1 - x, H - 1 - y), rows read and written in order.
template <int N> void halfTurnBytes(const QImage& source, QImage& target) {
    const int w = source.width(), h = source.height();
    for (int y = 0; y < h; ++y) {
        const uchar* from = source.constScanLine(h - 1 - y) + qsizetype(w - 1) * N;
        uchar* to = target.scanLine(y);
        for (int x = 0; x < w; ++x, from -= N, to += N)
            std::memcpy(to, from, N);
    }
}

// The same for one bit per pixel; `msbFirst` is Mono, otherwise MonoLSB.
void turnBits(const QImage& source, QImage& target, bool msbFirst) {
    target.fill(0);
    const int sourceWidth = source.width();
    const uchar* src = source.constBits();
    const qsizetype srcLine = source.bytesPerLine();
    for (int y = 0; y < target.height(); ++y) {
        const int column = sourceWidth - 1 - y;
        const uchar* s = src + (column >> 3);
        const uchar mask = msbFirst ? uchar(0x80 >> (column & 7)) : uchar(1 << (column & 7));
        uchar* d = target.scanLine(y);
        for (int x = 0; x < target.width(); ++x, s += srcLine) {
            if (*s & mask)
                d[x >> 3] |= msbFirst ? uchar(0x80 >> (x & 7)) : uchar(1 << (x & 7));
        }
    }
}

} // namespace

bool turnPictureInto(const QImage& source, QImage& target) {
    if (source.isNull())
        return false;
    const QSize turnedSize(source.height(), source.width());
    if (target.size() != turnedSize || target.format() != source.format() || !target.isDetached())
        target = QImage(turnedSize, source.format());
    if (target.isNull())
        return false;
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
    return true;
}

QImage turnPicture(const QImage& source) {
    QImage target;
    if (!turnPictureInto(source, target))
        return {};
    return target;
}

namespace {

// Half a turn of byte-sized pixels straight from the source: one pass in memory order, where two
// quarter turns would cross the picture twice. False for bit pixels (the caller turns twice).
bool halfTurnInto(const QImage& source, QImage& target) {
    if (source.isNull() || source.depth() < 8)
        return false;
    if (target.size() != source.size() || target.format() != source.format() || !target.isDetached())
        target = QImage(source.size(), source.format());
    if (target.isNull())
        return false;
    target.setColorTable(source.colorTable());
    switch (source.depth()) {
    case 8:
        halfTurnBytes<1>(source, target);
        return true;
    case 16:
        halfTurnBytes<2>(source, target);
        return true;
    case 24:
        halfTurnBytes<3>(source, target);
        return true;
    case 32:
        halfTurnBytes<4>(source, target);
        return true;
    case 64:
        halfTurnBytes<8>(source, target);
        return true;
    default:
        return false;
    }
}

} // namespace

bool buildTurnedPictures(std::array<QImage, 4>& turnedPictures) {
    for (int k = 1; k < 4; ++k) {
        // Entries 2 and 3 are half turns of entries 0 and 1 where the pixels allow it.
        const bool done = (k >= 2 && halfTurnInto(turnedPictures[k - 2], turnedPictures[k])) ||
                          turnPictureInto(turnedPictures[k - 1], turnedPictures[k]);
        if (!done) {
            for (int j = 1; j < 4; ++j)
                turnedPictures[j] = QImage();
            return false;
        }
    }
    return true;
}
