#include "model/picture.h"

#include <QBuffer>
#include <QIODevice>
#include <QSaveFile>
#include <QString>
#include <QtEndian>

#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr quint32 headersSize = 14 + 40;
constexpr quint32 compressionNone = 0;
constexpr quint32 compressionBitFields = 3;

void put16(uchar*& p, quint16 v) {
    qToLittleEndian(v, p);
    p += 2;
}

void put32(uchar*& p, quint32 v) {
    qToLittleEndian(v, p);
    p += 4;
}

// One stored row of the file, from one picture line.
void encodeRow(const QImage& picture, int y, uchar* out) {
    const uchar* src = picture.constScanLine(y);
    const int width = picture.width();
    switch (picture.format()) {
    case QImage::Format_Mono:
        std::memcpy(out, src, (width + 7) / 8);
        if (width % 8) // bits past the last pixel are undefined in a QImage; files get zeros
            out[width / 8] &= uchar(0xFF << (8 - width % 8));
        break;
    case QImage::Format_Indexed8:
        std::memcpy(out, src, width);
        break;
    case QImage::Format_RGB555:
    case QImage::Format_RGB16: {
        const auto* in = reinterpret_cast<const quint16*>(src);
        const quint16 keep = picture.format() == QImage::Format_RGB555 ? 0x7FFF : 0xFFFF;
        for (int x = 0; x < width; ++x)
            qToLittleEndian(quint16(in[x] & keep), out + 2 * x);
        break;
    }
    case QImage::Format_RGB888:
        for (int x = 0; x < width; ++x) {
            out[3 * x] = src[3 * x + 2];
            out[3 * x + 1] = src[3 * x + 1];
            out[3 * x + 2] = src[3 * x];
        }
        break;
    default: { // Format_RGB32; the fourth byte is reserved and stays 0
        const auto* in = reinterpret_cast<const QRgb*>(src);
        for (int x = 0; x < width; ++x) {
            out[4 * x] = uchar(qBlue(in[x]));
            out[4 * x + 1] = uchar(qGreen(in[x]));
            out[4 * x + 2] = uchar(qRed(in[x]));
        }
        break;
    }
    }
}

} // namespace

bool writeBitmap(QIODevice& device, const QImage& source) {
    if (source.isNull())
        return false;
    QImage picture = source;
    switch (picture.format()) {
    case QImage::Format_Mono:
    case QImage::Format_Indexed8:
    case QImage::Format_RGB555:
    case QImage::Format_RGB16:
    case QImage::Format_RGB888:
    case QImage::Format_RGB32:
        break; // written as it is; the colour table's alpha is not written anyway
    default:
        picture = normalisePicture(std::move(picture));
        if (picture.isNull())
            return false;
        break;
    }

    int depth = 32;
    quint32 tableEntries = 0;
    switch (picture.format()) {
    case QImage::Format_Mono:
        depth = 1;
        tableEntries = 2;
        break;
    case QImage::Format_Indexed8:
        depth = 8;
        tableEntries = 256;
        break;
    case QImage::Format_RGB555:
    case QImage::Format_RGB16:
        depth = 16;
        break;
    case QImage::Format_RGB888:
        depth = 24;
        break;
    default:
        break;
    }
    const bool bitFields = picture.format() == QImage::Format_RGB16;
    const quint32 masksSize = bitFields ? 12 : 0;
    const qint64 stride = (qint64(picture.width()) * depth + 31) / 32 * 4;
    const qint64 imageSize = stride * picture.height();
    const quint32 pixelOffset = headersSize + masksSize + 4 * tableEntries;
    if (imageSize + pixelOffset > std::numeric_limits<quint32>::max())
        return false;

    std::vector<uchar> head(pixelOffset, 0);
    uchar* p = head.data();
    *p++ = 'B';
    *p++ = 'M';
    put32(p, quint32(pixelOffset + imageSize));
    put16(p, 0);
    put16(p, 0);
    put32(p, pixelOffset);
    put32(p, 40);
    put32(p, quint32(picture.width()));
    put32(p, quint32(picture.height())); // positive: rows bottom-up
    put16(p, 1);
    put16(p, quint16(depth));
    put32(p, bitFields ? compressionBitFields : compressionNone);
    put32(p, quint32(imageSize));
    p += 16; // resolution, colours used and important: 0
    if (bitFields) {
        put32(p, 0xF800);
        put32(p, 0x07E0);
        put32(p, 0x001F);
    }
    const QList<QRgb> table = picture.colorTable();
    for (quint32 i = 0; i < tableEntries; ++i) {
        const QRgb c = i < quint32(table.size()) ? table[i] : 0;
        p[4 * i] = uchar(qBlue(c));
        p[4 * i + 1] = uchar(qGreen(c));
        p[4 * i + 2] = uchar(qRed(c));
    }
    if (device.write(reinterpret_cast<const char*>(head.data()), pixelOffset) != pixelOffset)
        return false;

    std::vector<uchar> row(stride);
    for (int y = picture.height() - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), 0);
        encodeRow(picture, y, row.data());
        if (device.write(reinterpret_cast<const char*>(row.data()), stride) != stride)
            return false;
    }
    return true;
}

QByteArray encodeBitmapFile(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!writeBitmap(buffer, picture))
        return {};
    return bytes;
}

bool writeBitmapFile(const QString& path, const QImage& picture) {
    if (picture.isNull())
        return false;
    // Written aside and renamed at the end, so a failed write leaves no half file behind; where
    // no file can be made beside it, written in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!writeBitmap(file, picture)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
