#include "model/picture.h"

#include "model/bmpreader.h"
#include "model/durablefile.h"
#include "model/fingerprint.h"
#include "model/picturereserve.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// A picture's file is read whole; nothing we accept needs more (16384 x 16384 at 32 bits).
constexpr qint64 maxPictureFileBytes = (qint64(1) << 30) + (qint64(1) << 20);

// Compressed formats may claim sizes their data cannot fill. Up to this many decoded bytes we
// believe the header; beyond it the file must be at least 1/1024 of the decoded size (deflate
// cannot do better than about 1:1032), and never more than a picture may have.
constexpr qint64 trustedDecodedBytes = qint64(32) << 20;
constexpr qint64 maxCompressionRatio = 1024;

LoadResult failure(PictureError error, const QByteArray& format = {}) {
    LoadResult result;
    result.error = error;
    result.format = format;
    return result;
}

// libjpeg pads a cut-off file with grey and reports success, so a truncated photo would load half
// grey. Walk the marker segments (skipping APPn thumbnails by their length) and the entropy-coded
// data up to the end-of-image marker.
bool jpegReachesEnd(const QByteArray& bytes) {
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 n = bytes.size();
    if (n < 4 || d[0] != 0xFF || d[1] != 0xD8)
        return false;
    qint64 p = 2;
    while (p + 1 < n) {
        if (d[p] != 0xFF) {
            ++p; // entropy-coded data
            continue;
        }
        const uchar marker = d[p + 1];
        if (marker == 0xD9)
            return true;
        if (marker == 0xFF) { // fill byte
            ++p;
            continue;
        }
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            p += 2; // stuffed zero, TEM, restart markers: no length
            continue;
        }
        if (p + 3 >= n)
            return false;
        const qint64 length = (qint64(d[p + 2]) << 8) | d[p + 3];
        if (length < 2)
            return false;
        p += 2 + length;
    }
    return false;
}

QRgb overWhite(QRgb c) {
    const int a = qAlpha(c);
    if (a == 255)
        return c;
    auto mix = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
    return qRgb(mix(qRed(c)), mix(qGreen(c)), mix(qBlue(c)));
}

// Opaque colours, and enough of them for every pixel value the picture holds.
void flattenColourTable(QImage& image) {
    QList<QRgb> table = image.colorTable();
    for (QRgb& c : table)
        c = overWhite(c);
    const qsizetype needed = image.format() == QImage::Format_Indexed8 ? 256 : 2;
    while (table.size() < needed)
        table.append(table.size() == 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    image.setColorTable(table);
}

QImage greyToIndexed(const QImage& image) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    QImage out(grey.size(), QImage::Format_Indexed8);
    if (grey.isNull() || out.isNull())
        return {};
    QList<QRgb> table;
    table.reserve(256);
    for (int i = 0; i < 256; ++i)
        table.append(qRgb(i, i, i));
    out.setColorTable(table);
    for (int y = 0; y < grey.height(); ++y)
        std::memcpy(out.scanLine(y), grey.constScanLine(y), grey.width());
    return out;
}

// Qt refuses images over its allocation limit, which is one number for the whole process. Only
// once a size has been found plausible is the limit raised to fit it, for this one read; the lock
// keeps two such reads from restoring each other's limits.
bool readRaisingLimit(QImageReader& reader, qint64 decodedBytes, QImage& image) {
    const int neededMegabytes = int((decodedBytes >> 20) + 1);
    if (QImageReader::allocationLimit() == 0 || neededMegabytes <= QImageReader::allocationLimit())
        return reader.read(&image) && !image.isNull();
    static QMutex raising;
    const QMutexLocker lock(&raising);
    const int previous = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(std::max(previous, neededMegabytes));
    const bool ok = reader.read(&image) && !image.isNull();
    QImageReader::setAllocationLimit(previous);
    return ok;
}

LoadResult readWithQt(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return failure(PictureError::UnknownFormat);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true); // photos carry their camera orientation
    const QByteArray format = reader.format();
    // Bitmaps are ours: Qt's reader loses their depth and colour table.
    if (format.isEmpty() || format == "bmp" || format == "dib")
        return failure(PictureError::UnknownFormat);

    qint64 decodedBytes = trustedDecodedBytes;
    const QSize size = reader.size();
    if (size.isValid()) {
        if (size.isEmpty())
            return failure(PictureError::Corrupt, format);
        const qint64 pixels = qint64(size.width()) * size.height();
        // Decoding may pass through 64-bit pixels (16-bit PNG) and is converted to 32 bits after.
        const int bytesPerPixel = std::max(4, QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel() / 8);
        decodedBytes = pixels * bytesPerPixel;
        const qint64 budget = std::max(trustedDecodedBytes, qint64(bytes.size()) * maxCompressionRatio);
        if (pixels > maxPicturePixels || decodedBytes > budget)
            return failure(PictureError::TooLarge, format);
    }
    if (format == "jpeg" && !jpegReachesEnd(bytes))
        return failure(PictureError::Truncated, format);
    QImage image;
    if (!readRaisingLimit(reader, decodedBytes, image))
        return failure(PictureError::Corrupt, format);
    if (qint64(image.width()) * image.height() > maxPicturePixels)
        return failure(PictureError::TooLarge, format);
    image = normalisePicture(std::move(image));
    if (image.isNull())
        return failure(PictureError::OutOfMemory, format);
    LoadResult result;
    result.picture = std::move(image);
    result.fileBitsPerPixel = result.picture.depth();
    result.format = format;
    return result;
}

} // namespace

LoadResult loadPictureFromBytes(const QByteArray& bytes) {
    if (bytes.size() > maxPictureFileBytes)
        return failure(PictureError::TooLarge);
    if (isBitmapFileData(bytes))
        return readBitmapFile(bytes);
    return readWithQt(bytes);
}

LoadResult loadPicture(const QString& path, Fingerprint* fingerprint, PictureReserve* reserve) {
    QFile file(path);
    // Devices and pipes have no size to check (and a pipe would wait for a writer): a picture is
    // a plain file.
    if (!openRegularFile(file))
        return failure(PictureError::CannotOpen);
    if (file.size() > maxPictureFileBytes)
        return failure(PictureError::TooLarge);
    if (file.peek(2) == "BM") {
        // A bitmap (a saved game's picture among them) is read row by row into its pixels, from
        // the first row the reserve did not read ahead from this very file.
        ReadyPixels ready = reserve ? reserve->take(fileIdentity(file.handle())) : ReadyPixels{};
        // A whole file read ahead was fingerprinted on the way.
        if (fingerprint && ready.wholeFile)
            *fingerprint = ready.fingerprint;
        if (!fingerprint || ready.wholeFile)
            return readBitmapFile(file, {}, &ready);
        return readBitmapFile(
            file, [fingerprint](const QByteArray& bytes) { fingerprint->add(bytes); }, &ready);
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        return failure(PictureError::CannotOpen);
    if (fingerprint)
        fingerprint->add(bytes);
    return loadPictureFromBytes(bytes);
}

QStringList readablePictureSuffixes() {
    QStringList suffixes{QStringLiteral("bmp"), QStringLiteral("dib")};
    // Qt names its readers by the suffixes of their files. Pictures are read by their content, and
    // a Targa file has no signature (its header reads like a cursor's), so Targa is not offered.
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString suffix = QString::fromLatin1(format).toLower();
        if (suffix != QLatin1String("tga") && !suffixes.contains(suffix))
            suffixes.append(suffix);
    }
    return suffixes;
}

QImage normalisePicture(QImage image) {
    if (image.isNull())
        return {};
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_Indexed8:
        flattenColourTable(image);
        return image;
    case QImage::Format_MonoLSB: {
        QImage out = image.convertToFormat(QImage::Format_Mono);
        if (!out.isNull())
            flattenColourTable(out);
        return out;
    }
    case QImage::Format_RGB555:
    case QImage::Format_RGB16:
    case QImage::Format_RGB888:
    case QImage::Format_RGB32:
        return image;
    case QImage::Format_BGR888:
        return image.convertToFormat(QImage::Format_RGB888);
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
        return greyToIndexed(image);
    default:
        break;
    }
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull())
        return {};
    for (int y = 0; y < argb.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            row[x] = overWhite(row[x]);
    }
    argb.reinterpretAsFormat(QImage::Format_RGB32);
    return argb;
}

bool scalePicture(QImage& picture, int width, int height) {
    const qint64 w = width < 0 ? -qint64(width) : width;
    const qint64 h = height < 0 ? -qint64(height) : height;
    if (picture.isNull() || w == 0 || h == 0 || w * h > maxPicturePixels)
        return false;
    const QImage::Format format = picture.format();
    QImage scaled;
    if (format == QImage::Format_Mono || format == QImage::Format_MonoLSB ||
        format == QImage::Format_Indexed8) {
        // Average in true colour, then take the nearest colour of the picture's own table.
        const QImage smooth = picture.convertToFormat(QImage::Format_RGB32)
                                  .scaled(int(w), int(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (smooth.isNull())
            return false;
        scaled = smooth.convertToFormat(format, picture.colorTable(), Qt::ThresholdDither);
    } else {
        scaled = picture.scaled(int(w), int(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!scaled.isNull() && scaled.format() != format)
            scaled = scaled.convertToFormat(format);
    }
    if (scaled.isNull() || scaled.width() != w || scaled.height() != h)
        return false;
    picture = std::move(scaled);
    return true;
}
