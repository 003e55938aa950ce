#include "model/bmpreader.h"

#include "model/fingerprint.h"
#include "model/parallel.h"
#include "model/picturereserve.h"

#include <QByteArray>
#include <QFileDevice>
#include <QIODevice>
#include <QList>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr quint32 compressionNone = 0;
constexpr quint32 compressionRle8 = 1;
constexpr quint32 compressionRle4 = 2;
constexpr quint32 compressionBitFields = 3;
constexpr quint32 compressionAlphaBitFields = 6;
constexpr qint64 fileHeaderSize = 14;
constexpr qint64 coreHeaderSize = 12; // OS/2 1.x: 16-bit sizes, 3-byte colour entries
constexpr qint64 infoHeaderSize = 40;
constexpr qint64 os2InfoHeaderSize = 64; // compression 3 and 4 mean Huffman and RLE24 there

// Bounds-checked little-endian access to the file's bytes.
class ByteView {
public:
    explicit ByteView(const QByteArray& bytes)
        : data_(reinterpret_cast<const uchar*>(bytes.constData())), size_(bytes.size()) {}

    qint64 size() const { return size_; }
    bool has(qint64 offset, qint64 count) const {
        return offset >= 0 && count >= 0 && offset <= size_ && count <= size_ - offset;
    }
    const uchar* at(qint64 offset) const { return data_ + offset; }
    quint16 u16(qint64 offset) const { return qFromLittleEndian<quint16>(data_ + offset); }
    quint32 u32(qint64 offset) const { return qFromLittleEndian<quint32>(data_ + offset); }
    qint32 i32(qint64 offset) const { return qFromLittleEndian<qint32>(data_ + offset); }

private:
    const uchar* data_;
    qint64 size_;
};

struct Header {
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    quint32 compression = compressionNone;
    quint32 masks[3] = {}; // red, green, blue
    QList<QRgb> colours;
    qint64 pixelOffset = 0;
};

// One colour channel of a bit-field pixel, widened to 8 bits.
class Channel {
public:
    explicit Channel(quint32 mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), max_(mask >> shift_) {}
    int value8(quint32 pixel) const {
        return max_ ? int((quint64((pixel & mask_) >> shift_) * 255 + max_ / 2) / max_) : 0;
    }

private:
    quint32 mask_;
    int shift_;
    quint32 max_;
};

LoadResult failure(PictureError error) {
    LoadResult result;
    result.error = error;
    result.format = "bmp";
    return result;
}

bool isRle(const Header& h) {
    return h.compression == compressionRle8 || h.compression == compressionRle4;
}

qint64 strideOf(const Header& h) {
    return (h.width * h.bitsPerPixel + 31) / 32 * 4;
}

// Whether `available` bytes hold every row of an uncompressed bitmap; the last row's padding may
// be missing, its pixels may not.
bool rowsFit(const Header& h, qint64 available) {
    const qint64 rowBytes = (h.width * h.bitsPerPixel + 7) / 8;
    return strideOf(h) * (h.height - 1) + rowBytes <= available;
}

PictureError readColourTable(const ByteView& in, Header& h, qint64 tableStart, qint64 entrySize,
                             qint64 coloursUsed, qint64 offBits) {
    const qint64 maxEntries = qint64(1) << h.bitsPerPixel;
    qint64 count = (coloursUsed == 0 || coloursUsed > maxEntries) ? maxEntries : coloursUsed;
    // Some writers store fewer entries than the depth allows; the pixel offset tells.
    if (offBits != 0) {
        if (offBits < tableStart)
            return PictureError::Corrupt;
        count = std::min(count, (offBits - tableStart) / entrySize);
    }
    if (count == 0)
        return PictureError::Corrupt;
    if (!in.has(tableStart, count * entrySize))
        return PictureError::Truncated;
    h.colours.reserve(maxEntries);
    for (qint64 i = 0; i < count; ++i) {
        const uchar* e = in.at(tableStart + i * entrySize);
        h.colours.append(qRgb(e[2], e[1], e[0]));
    }
    // Pixel values past the stored table must still name a colour.
    while (h.colours.size() < maxEntries)
        h.colours.append(qRgb(0, 0, 0));
    h.pixelOffset = offBits != 0 ? offBits : tableStart + count * entrySize;
    return PictureError::None;
}

PictureError parseHeader(const ByteView& in, Header& h) {
    if (!in.has(0, fileHeaderSize + 4))
        return PictureError::Truncated;
    const qint64 offBits = in.u32(10);
    const qint64 headerSize = in.u32(14);
    qint64 coloursUsed = 0;
    qint64 entrySize = 4;
    if (headerSize == coreHeaderSize) {
        if (!in.has(fileHeaderSize, coreHeaderSize))
            return PictureError::Truncated;
        h.width = in.u16(18);
        h.height = in.u16(20);
        h.bitsPerPixel = in.u16(24);
        entrySize = 3;
    } else if (headerSize >= infoHeaderSize) {
        if (!in.has(fileHeaderSize, headerSize))
            return PictureError::Truncated;
        h.width = in.i32(18);
        const qint64 height = in.i32(22);
        h.topDown = height < 0;
        h.height = height < 0 ? -height : height;
        h.bitsPerPixel = in.u16(28);
        h.compression = in.u32(30);
        coloursUsed = in.u32(46);
        if (headerSize == os2InfoHeaderSize && (h.compression == 3 || h.compression == 4))
            return PictureError::Unsupported;
    } else {
        return PictureError::Unsupported;
    }

    if (h.width <= 0 || h.height <= 0)
        return PictureError::Corrupt;
    switch (h.bitsPerPixel) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return PictureError::Unsupported;
    }
    switch (h.compression) {
    case compressionNone:
        break;
    case compressionRle8:
    case compressionRle4:
        // Run-length data is always stored bottom-up.
        if (h.bitsPerPixel != (h.compression == compressionRle8 ? 8 : 4) || h.topDown)
            return PictureError::Corrupt;
        break;
    case compressionBitFields:
    case compressionAlphaBitFields:
        if (h.bitsPerPixel != 16 && h.bitsPerPixel != 32)
            return PictureError::Corrupt;
        break;
    default:
        return PictureError::Unsupported; // embedded JPEG or PNG, CMYK variants
    }
    if (h.width * h.height > maxPicturePixels)
        return PictureError::TooLarge;

    qint64 tableStart = fileHeaderSize + headerSize;
    if (h.bitsPerPixel == 16) {
        h.masks[0] = 0x7C00;
        h.masks[1] = 0x03E0;
        h.masks[2] = 0x001F;
    } else if (h.bitsPerPixel == 32) {
        h.masks[0] = 0xFF0000;
        h.masks[1] = 0x00FF00;
        h.masks[2] = 0x0000FF;
    }
    if (h.compression == compressionBitFields || h.compression == compressionAlphaBitFields) {
        qint64 maskOffset = fileHeaderSize + infoHeaderSize;
        // Headers of 52 bytes and more hold the masks; after the 40-byte one they follow it.
        if (headerSize == infoHeaderSize)
            tableStart += h.compression == compressionAlphaBitFields ? 16 : 12;
        if (!in.has(maskOffset, 12))
            return PictureError::Truncated;
        for (int i = 0; i < 3; ++i)
            h.masks[i] = in.u32(maskOffset + 4 * i);
    }

    if (h.bitsPerPixel <= 8) {
        if (const PictureError e = readColourTable(in, h, tableStart, entrySize, coloursUsed, offBits);
            e != PictureError::None)
            return e;
    } else {
        if (offBits != 0 && offBits < tableStart)
            return PictureError::Corrupt;
        h.pixelOffset = offBits != 0 ? offBits : tableStart + 4 * coloursUsed;
    }
    return PictureError::None;
}

QImage::Format formatFor(const Header& h) {
    switch (h.bitsPerPixel) {
    case 1:
        return QImage::Format_Mono;
    case 16:
        return h.masks[0] == 0xF800 && h.masks[1] == 0x07E0 && h.masks[2] == 0x001F ? QImage::Format_RGB16
                                                                                    : QImage::Format_RGB555;
    case 24:
        return QImage::Format_RGB888;
    case 32:
        return QImage::Format_RGB32;
    default:
        return QImage::Format_Indexed8;
    }
}

// Whether pixels made ready fit the bitmap: its size and format.
bool fits(const ReadyPixels* ready, const Header& h) {
    return ready && h.bitsPerPixel > 8 && !ready->image.isNull() &&
           ready->image.size() == QSize(int(h.width), int(h.height)) && ready->image.format() == formatFor(h);
}

// The image the pixels are read into, with the bitmap's colours; null when memory is short.
QImage blankImage(const Header& h, ReadyPixels* ready = nullptr) {
    const QSize size(int(h.width), int(h.height));
    if (fits(ready, h))
        return std::move(ready->image);
    QImage image(size, formatFor(h));
    if (!image.isNull() && h.bitsPerPixel <= 8)
        image.setColorTable(h.colours);
    return image;
}

void decode16(const uchar* src, uchar* dst, int width, const Header& h, QImage::Format format) {
    auto* out = reinterpret_cast<quint16*>(dst);
    const bool is555 = h.masks[0] == 0x7C00 && h.masks[1] == 0x03E0 && h.masks[2] == 0x001F;
    if (format == QImage::Format_RGB16 || is555) {
        const quint16 keep = is555 ? 0x7FFF : 0xFFFF; // the 5-5-5 format's top bit stays clear
        for (int x = 0; x < width; ++x)
            out[x] = qFromLittleEndian<quint16>(src + 2 * x) & keep;
        return;
    }
    // Other masks (4-4-4, 6-5-5, ...) are widened to 8 bits and packed as 5-5-5.
    const Channel r(h.masks[0] & 0xFFFF), g(h.masks[1] & 0xFFFF), b(h.masks[2] & 0xFFFF);
    auto to5 = [](int v) { return quint16((v * 31 + 127) / 255); };
    for (int x = 0; x < width; ++x) {
        const quint32 p = qFromLittleEndian<quint16>(src + 2 * x);
        out[x] = quint16(to5(r.value8(p)) << 10 | to5(g.value8(p)) << 5 | to5(b.value8(p)));
    }
}

void decode32(const uchar* src, uchar* dst, int width, const Header& h) {
    auto* out = reinterpret_cast<QRgb*>(dst);
    if (h.masks[0] == 0xFF0000 && h.masks[1] == 0x00FF00 && h.masks[2] == 0x0000FF) {
        for (int x = 0; x < width; ++x)
            out[x] = 0xFF000000u | (qFromLittleEndian<quint32>(src + 4 * x) & 0xFFFFFFu);
        return;
    }
    const Channel r(h.masks[0]), g(h.masks[1]), b(h.masks[2]);
    for (int x = 0; x < width; ++x) {
        const quint32 p = qFromLittleEndian<quint32>(src + 4 * x);
        out[x] = qRgb(r.value8(p), g.value8(p), b.value8(p));
    }
}

// One stored row into a row of the image's format.
void decodeRow(const uchar* src, uchar* dst, int width, const Header& h, QImage::Format format) {
    switch (h.bitsPerPixel) {
    case 1:
        std::memcpy(dst, src, (width + 7) / 8);
        break;
    case 2:
        for (int x = 0; x < width; ++x)
            dst[x] = (src[x >> 2] >> (6 - 2 * (x & 3))) & 3;
        break;
    case 4:
        for (int x = 0; x < width; ++x)
            dst[x] = (x & 1) ? src[x >> 1] & 15 : src[x >> 1] >> 4;
        break;
    case 8:
        std::memcpy(dst, src, width);
        break;
    case 16:
        decode16(src, dst, width, h, format);
        break;
    case 24:
        for (int x = 0; x < width; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
        break;
    case 32:
        decode32(src, dst, width, h);
        break;
    }
}

void decodeRows(const ByteView& in, const Header& h, QImage& image) {
    const qint64 stride = strideOf(h);
    const int width = image.width();
    const int height = image.height();
    for (int row = 0; row < height; ++row)
        decodeRow(in.at(h.pixelOffset + row * stride), image.scanLine(h.topDown ? row : height - 1 - row),
                  width, h, image.format());
}

PictureError decodeRle(const ByteView& in, const Header& h, QImage& image) {
    const bool rle4 = h.compression == compressionRle4;
    const qint64 width = image.width();
    const qint64 height = image.height();
    uchar* bits = image.bits();
    const qint64 bytesPerLine = image.bytesPerLine();
    qint64 p = h.pixelOffset;
    qint64 x = 0;
    qint64 y = 0; // stored row, counted from the bottom
    // Pixels outside the picture are dropped; the file cannot make us write past it.
    auto put = [&](int value) {
        if (x < width)
            bits[(height - 1 - y) * bytesPerLine + x] = uchar(value);
        ++x;
    };
    for (;;) {
        if (y >= height)
            return PictureError::None;
        if (!in.has(p, 2))
            return y == height - 1 && x >= width ? PictureError::None : PictureError::Truncated;
        const int count = in.at(p)[0];
        const int code = in.at(p)[1];
        p += 2;
        if (count > 0) {
            for (int k = 0; k < count && x < width; ++k)
                put(rle4 ? ((k & 1) ? code & 15 : code >> 4) : code);
            continue;
        }
        switch (code) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return PictureError::None;
        case 2: // move right and up
            if (!in.has(p, 2))
                return PictureError::Truncated;
            x += in.at(p)[0];
            y += in.at(p)[1];
            p += 2;
            break;
        default: { // literal pixels, padded to a 16-bit boundary
            const qint64 dataBytes = rle4 ? (code + 1) / 2 : code;
            if (!in.has(p, dataBytes))
                return PictureError::Truncated;
            const uchar* d = in.at(p);
            for (int k = 0; k < code && x < width; ++k)
                put(rle4 ? ((k & 1) ? d[k / 2] & 15 : d[k / 2] >> 4) : d[k]);
            p += (dataBytes + 1) & ~qint64(1);
            break;
        }
        }
    }
}

} // namespace

bool isBitmapFileData(const QByteArray& bytes) {
    return bytes.startsWith("BM");
}

LoadResult readBitmapFile(const QByteArray& bytes) {
    if (!isBitmapFileData(bytes))
        return failure(PictureError::UnknownFormat);
    const ByteView in(bytes);
    Header h;
    if (const PictureError e = parseHeader(in, h); e != PictureError::None)
        return failure(e);
    if (h.pixelOffset > in.size())
        return failure(PictureError::Truncated);

    // Check the header's size against what the file holds before allocating anything.
    const qint64 available = in.size() - h.pixelOffset;
    if (isRle(h)) {
        // One two-byte run paints at most 255 pixels. Skips could leave more undefined, but a
        // picture mostly left out is not worth an allocation the file does not pay for.
        if (available < 2)
            return failure(PictureError::Truncated);
        if (h.width * h.height > available * 128)
            return failure(PictureError::TooLarge);
    } else if (!rowsFit(h, available)) {
        return failure(PictureError::Truncated);
    }

    QImage image = blankImage(h);
    if (image.isNull())
        return failure(PictureError::OutOfMemory);

    if (isRle(h)) {
        image.fill(0); // pixels the runs skip keep colour 0
        if (const PictureError e = decodeRle(in, h, image); e != PictureError::None)
            return failure(e);
    } else {
        decodeRows(in, h, image);
    }

    LoadResult result;
    result.picture = std::move(image);
    result.fileBitsPerPixel = h.bitsPerPixel;
    result.format = "bmp";
    return result;
}

namespace {

// `want` bytes of an open file from `at` on; false when it holds fewer.
bool readAt(int fd, uchar* to, qint64 want, qint64 at) {
    qint64 got = 0;
    while (got < want) {
        const ssize_t n = ::pread(fd, to + got, std::size_t(want - got), off_t(at + got));
        if (n <= 0)
            return false;
        got += n;
    }
    return true;
}

// The rows of an uncompressed bitmap read from an open file by every core at once, each row
// straight from its place in the file: the fresh pixels of a large picture are touched on all
// cores, not one. The rows go in chunks of rowsAheadPerChunk in the file's order; chunks `done`
// marks are passed over, and each chunk read is marked, until `stop` is set. False when a row
// cannot be read whole (the file shrank meanwhile).
bool readRows(int fd, const Header& h, qint64 size, QImage& image, std::vector<std::uint8_t>& done,
              const std::atomic<bool>* stop = nullptr) {
    const qint64 stride = strideOf(h);
    const int width = image.width();
    const QImage::Format format = image.format();
    // Row addresses taken once here: scanLine() may not be called on several threads.
    uchar* const bits = image.bits();
    const qint64 bytesPerLine = image.bytesPerLine();
    // A row of 32-bit pixels fills its line exactly: it is read into its place and turned there,
    // each pixel read before it is written.
    const bool inPlace =
        h.bitsPerPixel == 32 && format == QImage::Format_RGB32 && stride == qint64(width) * 4;
    const auto slotCount = static_cast<std::size_t>(parallelSlots());
    std::vector<std::vector<uchar>> rows(slotCount,
                                         std::vector<uchar>(inPlace ? 0 : static_cast<std::size_t>(stride)));
    const int chunks = int((h.height + rowsAheadPerChunk - 1) / rowsAheadPerChunk);
    done.resize(static_cast<std::size_t>(chunks), 0);
    std::atomic<bool> failed = false;
    const auto stopped = [&] {
        return failed.load(std::memory_order_relaxed) || (stop && stop->load(std::memory_order_relaxed));
    };
    parallelFor(chunks, 1, [&](int begin, int end, int slot) {
        for (int c = begin; c < end; ++c) {
            if (done[std::size_t(c)])
                continue;
            const qint64 last = std::min<qint64>(h.height, qint64(c + 1) * rowsAheadPerChunk);
            for (qint64 r = qint64(c) * rowsAheadPerChunk; r < last; ++r) {
                if (stopped())
                    return;
                uchar* const line = bits + (h.topDown ? r : h.height - 1 - r) * bytesPerLine;
                uchar* const row = inPlace ? line : rows[std::size_t(slot)].data();
                // The last row's padding may be missing.
                const qint64 at = h.pixelOffset + r * stride;
                if (!readAt(fd, row, std::min(stride, size - at), at)) {
                    failed = true;
                    return;
                }
                decodeRow(row, line, width, h, format);
            }
            done[std::size_t(c)] = 1;
        }
    });
    return !failed;
}

// The headers of a bitmap whose rows are read one by one, given the first bytes of its file;
// false for a file read whole instead (too small, run-length coded, its rows far into the file).
bool readableByRows(const QByteArray& head, qint64 size, Header& h) {
    return isBitmapFileData(head) && head.size() != size &&
           parseHeader(ByteView(head), h) == PictureError::None && !isRle(h) && h.pixelOffset <= head.size();
}

// Every byte of an open file in order, read in large pieces. False when the file held fewer.
bool feedInOrder(int fd, qint64 size, const std::function<void(const QByteArray&)>& seen,
                 const std::atomic<bool>* stop = nullptr) {
    constexpr qint64 piece = 4 << 20;
    QByteArray buffer(std::min(piece, size), Qt::Uninitialized);
    for (qint64 at = 0; at < size;) {
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
        const ssize_t n = ::pread(fd, buffer.data(), std::size_t(std::min(piece, size - at)), off_t(at));
        if (n <= 0)
            return false;
        seen(QByteArray::fromRawData(buffer.constData(), n));
        at += n;
    }
    return true;
}

} // namespace

LoadResult readBitmapFile(QIODevice& device, const std::function<void(const QByteArray&)>& seen,
                          ReadyPixels* ready) {
    const qint64 size = device.size();
    QByteArray head = device.read(std::min<qint64>(size, 4096));
    const auto whole = [&]() {
        // Everything else is read as it always was: the whole file, then decoded.
        QByteArray bytes = head + device.readAll();
        if (seen)
            seen(bytes);
        return readBitmapFile(bytes);
    };
    Header h;
    if (!readableByRows(head, size, h))
        return whole();
    const qint64 stride = strideOf(h);
    // Checked against the file's size before anything is allocated, as the whole read does.
    if (!rowsFit(h, size - h.pixelOffset))
        return failure(PictureError::Truncated);
    auto* file = qobject_cast<QFileDevice*>(&device);
    const bool open = file && file->handle() >= 0;
    // Rows read ahead count for an open file (its reader made sure it is the one they came from).
    std::vector<std::uint8_t> readAhead =
        open && fits(ready, h) ? std::move(ready->chunksRead) : std::vector<std::uint8_t>();
    QImage image = blankImage(h, ready);
    if (image.isNull())
        return failure(PictureError::OutOfMemory);
    // An open file's rows are read on every core; what is seen in order (the fingerprint of an
    // autosave's picture) is fed from the file on one more thread meanwhile.
    if (open) {
        std::atomic<bool> seenWhole = true;
        std::thread inOrder;
        if (seen)
            inOrder = std::thread([&] { seenWhole = feedInOrder(file->handle(), size, seen); });
        const bool read = readRows(file->handle(), h, size, image, readAhead);
        if (inOrder.joinable())
            inOrder.join();
        if (!read || !seenWhole)
            return failure(PictureError::Truncated);
        LoadResult result;
        result.picture = std::move(image);
        result.fileBitsPerPixel = h.bitsPerPixel;
        result.format = "bmp";
        return result;
    }
    if (seen)
        seen(head);
    QByteArray pending = head.mid(h.pixelOffset);
    head.clear();
    QByteArray row(stride, Qt::Uninitialized);
    for (qint64 r = 0; r < h.height; ++r) {
        // The last row's padding may be missing.
        const qint64 want = r + 1 < h.height ? stride : std::min(stride, size - h.pixelOffset - r * stride);
        const qint64 fromPending = std::min<qint64>(pending.size(), want);
        std::memcpy(row.data(), pending.constData(), std::size_t(fromPending));
        pending.remove(0, fromPending);
        if (fromPending < want) {
            const qint64 got = device.read(row.data() + fromPending, want - fromPending);
            if (got != want - fromPending)
                return failure(PictureError::Truncated);
            if (seen)
                seen(QByteArray::fromRawData(row.constData() + fromPending, got));
        }
        decodeRow(reinterpret_cast<const uchar*>(row.constData()),
                  image.scanLine(int(h.topDown ? r : h.height - 1 - r)), image.width(), h, image.format());
    }
    // Whatever follows the rows belongs to the file too.
    while (!device.atEnd()) {
        const QByteArray rest = device.read(1 << 20);
        if (rest.isEmpty())
            break;
        if (seen)
            seen(rest);
    }
    LoadResult result;
    result.picture = std::move(image);
    result.fileBitsPerPixel = h.bitsPerPixel;
    result.format = "bmp";
    return result;
}

namespace {

// The headers of a bitmap file on a seekable device, with its masks and colour table: they lie
// within the first few kilobytes.
PictureError readHeader(QIODevice& device, Header& h) {
    constexpr qint64 headBytes = 4096;
    if (!device.seek(0))
        return PictureError::Truncated;
    const QByteArray head = device.read(headBytes);
    if (!isBitmapFileData(head))
        return PictureError::UnknownFormat;
    return parseHeader(ByteView(head), h);
}

} // namespace

std::optional<BitmapLayout> readBitmapLayout(QIODevice& device) {
    Header h;
    if (readHeader(device, h) != PictureError::None || isRle(h) || !rowsFit(h, device.size() - h.pixelOffset))
        return std::nullopt;
    return BitmapLayout{QSize(int(h.width), int(h.height)), formatFor(h)};
}

BitmapThumbnail readBitmapThumbnail(QIODevice& device, QSize box) {
    BitmapThumbnail result;
    const auto fail = [&result](PictureError error) {
        result.error = error;
        return result;
    };
    Header h;
    if (const PictureError e = readHeader(device, h); e != PictureError::None)
        return fail(e);
    result.size = QSize(int(h.width), int(h.height));
    if (isRle(h))
        return fail(PictureError::Unsupported); // runs must be read from the start
    const qint64 stride = strideOf(h);
    const qint64 rowBytes = (h.width * h.bitsPerPixel + 7) / 8;
    if (!rowsFit(h, device.size() - h.pixelOffset))
        return fail(PictureError::Truncated);
    if (box.width() <= 0 || box.height() <= 0)
        return fail(PictureError::Corrupt);

    // The reduced size keeps the proportions, never larger than the picture. Twice as many
    // rows and columns as it needs are sampled, then smoothed down to it.
    const double scale = std::max({1.0, double(h.width) / box.width(), double(h.height) / box.height()});
    const int width = std::max(1, int(h.width / scale + 0.5)),
              height = std::max(1, int(h.height / scale + 0.5));
    const int sampleW = int(std::min<qint64>(h.width, 2 * width));
    const int sampleH = int(std::min<qint64>(h.height, 2 * height));
    QImage samples(sampleW, sampleH, QImage::Format_RGB32);
    QImage row(int(h.width), 1, formatFor(h));
    if (samples.isNull() || row.isNull())
        return fail(PictureError::OutOfMemory);
    if (h.bitsPerPixel <= 8)
        row.setColorTable(h.colours);
    QByteArray stored(stride, Qt::Uninitialized);
    for (int j = 0; j < sampleH; ++j) {
        const qint64 y = (2 * qint64(j) + 1) * h.height / (2 * sampleH);
        const qint64 storedRow = h.topDown ? y : h.height - 1 - y;
        if (!device.seek(h.pixelOffset + storedRow * stride) ||
            device.read(stored.data(), rowBytes) != rowBytes)
            return fail(PictureError::Truncated);
        decodeRow(reinterpret_cast<const uchar*>(stored.constData()), row.scanLine(0), row.width(), h,
                  row.format());
        const QImage rgb = row.convertToFormat(QImage::Format_RGB32);
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(0));
        auto* dst = reinterpret_cast<QRgb*>(samples.scanLine(j));
        for (int i = 0; i < sampleW; ++i)
            dst[i] = src[(2 * qint64(i) + 1) * h.width / (2 * sampleW)];
    }
    result.image = samples.size() == QSize(width, height)
                       ? samples
                       : samples.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return result;
}

bool readBitmapAhead(int fd, QImage& image, const std::atomic<bool>& stop,
                     std::vector<std::uint8_t>& chunksRead, Fingerprint& fingerprint) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return false;
    const qint64 size = info.st_size;
    // The same headers, and the same conditions for reading row by row, as readBitmapFile's.
    QByteArray head(std::min<qint64>(size, 4096), Qt::Uninitialized);
    Header h;
    if (!readAt(fd, reinterpret_cast<uchar*>(head.data()), head.size(), 0) ||
        !readableByRows(head, size, h) || !rowsFit(h, size - h.pixelOffset) || h.bitsPerPixel <= 8 ||
        image.size() != QSize(int(h.width), int(h.height)) || image.format() != formatFor(h))
        return false;
    chunksRead.clear();
    std::atomic<bool> fed = false;
    std::thread inOrder([&] {
        fed = feedInOrder(
            fd, size, [&fingerprint](const QByteArray& bytes) { fingerprint.add(bytes); }, &stop);
    });
    const bool read = readRows(fd, h, size, image, chunksRead, &stop);
    inOrder.join();
    return read && fed &&
           std::all_of(chunksRead.begin(), chunksRead.end(), [](std::uint8_t done) { return done != 0; });
}
