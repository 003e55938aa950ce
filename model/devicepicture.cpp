#include "model/devicepicture.h"

#include "model/durablefile.h"
#include "model/fingerprint.h"
#include "model/picture.h"

#include <QFile>
#include <QIODevice>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

// The copy's header as writeBitmap writes a 24-bit picture: file header, 40-byte information
// header, no colour table.
constexpr qint64 kHeaderSize = 14 + 40;
// After the bitmap: "\nPUZZLE HD " and the picture file's fingerprint, then "\n".
const QByteArray kTrailerStart = QByteArrayLiteral("\nPUZZLE HD ");
constexpr qint64 kTrailerSize = 11 + 16 + 1;

// A copy less than this much finer than the cut picture is not worth its memory.
constexpr double kLeastGain = 1.1;

qint64 strideOf(int width) {
    return (qint64(width) * 24 + 31) / 32 * 4;
}

} // namespace

QSize devicePictureSize(QSize logical, QSize source, double ratio) {
    if (logical.isEmpty() || source.isEmpty() || !(ratio > 1.0))
        return {};
    double factor = std::min({ratio, maxDeviceRatio, double(source.width()) / logical.width(),
                              double(source.height()) / logical.height()});
    const double logicalPixels = double(logical.width()) * logical.height();
    factor = std::min(factor, std::sqrt(double(maxPicturePixels) / logicalPixels));
    if (factor < kLeastGain)
        return {};
    // Rounded down, so the copy never claims more than the source has.
    const QSize size(int(logical.width() * factor), int(logical.height() * factor));
    return fitsDevicePicture(size, logical) ? size : QSize();
}

QImage makeDevicePicture(const QImage& source, QSize logical, double ratio) {
    const QSize size = devicePictureSize(logical, source.size(), ratio);
    if (size.isEmpty())
        return {};
    QImage copy = source;
    if (!scalePicture(copy, size.width(), size.height()))
        return {};
    return copy.format() == QImage::Format_RGB888 ? copy : copy.convertToFormat(QImage::Format_RGB888);
}

bool fitsDevicePicture(QSize device, QSize logical) {
    if (logical.isEmpty() || device.isEmpty())
        return false;
    if (device.width() <= logical.width() || device.height() <= logical.height())
        return false;
    if (qint64(device.width()) * device.height() > maxPicturePixels)
        return false;
    if (device.width() > maxDeviceRatio * logical.width() ||
        device.height() > maxDeviceRatio * logical.height())
        return false;
    // One factor for both sides, each rounded to a pixel: the factors each side allows overlap.
    const double low = std::max(double(device.width() - 1) / logical.width(),
                                double(device.height() - 1) / logical.height());
    const double high = std::min(double(device.width() + 1) / logical.width(),
                                 double(device.height() + 1) / logical.height());
    return low <= high;
}

bool writeDevicePicture(QIODevice& device, const QImage& picture, const QByteArray& pictureFingerprint) {
    if (picture.format() != QImage::Format_RGB888 || !Fingerprint::isHex(pictureFingerprint))
        return false;
    const QByteArray trailer = kTrailerStart + pictureFingerprint + '\n';
    return writeBitmap(device, picture) && device.write(trailer) == trailer.size();
}

QImage readDevicePicture(const QString& path, QSize logical, const QByteArray& pictureFingerprint) {
    QFile file(path);
    if (!Fingerprint::isHex(pictureFingerprint) || !openRegularFile(file, QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(kHeaderSize);
    if (head.size() != kHeaderSize || !head.startsWith("BM"))
        return {};
    const auto* h = reinterpret_cast<const uchar*>(head.constData());
    const qint32 width = qFromLittleEndian<qint32>(h + 18);
    const qint32 height = qFromLittleEndian<qint32>(h + 22);
    const QSize size(width, height);
    // Exactly what writeDevicePicture writes: 24 bits, bottom-up, no compression, no table.
    if (qFromLittleEndian<quint32>(h + 10) != kHeaderSize || qFromLittleEndian<quint32>(h + 14) != 40 ||
        qFromLittleEndian<quint16>(h + 26) != 1 || qFromLittleEndian<quint16>(h + 28) != 24 ||
        qFromLittleEndian<quint32>(h + 30) != 0 || !fitsDevicePicture(size, logical))
        return {};
    const qint64 stride = strideOf(width);
    const qint64 bitmapSize = kHeaderSize + stride * height;
    if (file.size() != bitmapSize + kTrailerSize || !file.seek(bitmapSize))
        return {};
    if (file.read(kTrailerSize) != kTrailerStart + pictureFingerprint + '\n' || !file.seek(kHeaderSize))
        return {};

    QImage picture(size, QImage::Format_RGB888);
    if (picture.isNull())
        return {};
    const qint64 used = qint64(width) * 3;
    for (int y = height - 1; y >= 0; --y) {
        auto* row = reinterpret_cast<char*>(picture.scanLine(y));
        if (file.read(row, used) != used || (stride > used && file.skip(stride - used) != stride - used))
            return {};
        for (qint64 x = 0; x < used; x += 3) // the file holds blue, green, red
            std::swap(row[x], row[x + 2]);
    }
    return picture;
}
