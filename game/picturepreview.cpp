#include "game/picturepreview.h"

#include "model/cutcalculator.h"
#include "model/picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>

namespace {

// Bits per pixel from a bitmap file's information header (0 when it is not one).
int bitmapDepth(QFile& file) {
    if (!file.seek(0))
        return 0;
    const QByteArray head = file.read(30);
    if (head.size() < 30 || !head.startsWith("BM"))
        return 0;
    const auto* d = reinterpret_cast<const uchar*>(head.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(d + 14);
    return qFromLittleEndian<quint16>(d + (headerSize == 12 ? 24 : 28));
}

// Bits per pixel of the colours a format holds: 24 for RGB32, whose fourth byte is unused.
int colourDepth(QImage::Format format) {
    const QPixelFormat pixel = QImage::toPixelFormat(format);
    if (format == QImage::Format_Invalid)
        return 0;
    if (pixel.colorModel() == QPixelFormat::RGB && pixel.typeInterpretation() != QPixelFormat::FloatingPoint)
        return pixel.redSize() + pixel.greenSize() + pixel.blueSize() +
               (pixel.alphaUsage() == QPixelFormat::UsesAlpha ? pixel.alphaSize() : 0);
    return pixel.bitsPerPixel();
}

// The depth to describe a picture read by Qt: what its file holds, as far as the header says.
int depthFromHeader(const QString& path, int fallback) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const int depth = colourDepth(reader.imageFormat());
    return depth > 0 ? depth : fallback;
}

QImage reduced(const QImage& picture, const QSize& box) {
    const QRect target = previewDrawRect(picture.width(), picture.height(), QRect(QPoint(0, 0), box));
    if (target.isEmpty())
        return {};
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    if (target.size() == rgb.size())
        return rgb;
    return rgb.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

PicturePreview fromHeader(QFile& file, const QSize& box) {
    PicturePreview preview;
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || qint64(size.width()) * size.height() > maxPicturePixels)
        return preview;
    const QRect target = previewDrawRect(size.width(), size.height(), QRect(QPoint(0, 0), box));
    // Formats that can decode at a reduced size (JPEG) never hold the whole picture; the others
    // stay within Qt's allocation limit or fail.
    reader.setScaledSize(target.size());
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return preview;
    preview.format = reader.format();
    preview.width = size.width();
    preview.height = size.height();
    preview.bitsPerPixel = bitmapDepth(file);
    if (preview.bitsPerPixel == 0)
        preview.bitsPerPixel = colourDepth(reader.imageFormat());
    preview.image = image.convertToFormat(QImage::Format_RGB32);
    preview.ok = !preview.image.isNull();
    return preview;
}

} // namespace

QRect previewDrawRect(int width, int height, const QRect& pictureRect) {
    const int rw = pictureRect.width(), rh = pictureRect.height();
    if (width <= 0 || height <= 0 || rw <= 0 || rh <= 0)
        return {};
    const double scale = std::max(double(width) / std::min(width, rw), double(height) / std::min(height, rh));
    const int dw = CutCalculator::nearest(width / scale);
    const int dh = CutCalculator::nearest(height / scale);
    return QRect(pictureRect.left() + (rw - dw) / 2, pictureRect.top() + (rh - dh) / 2, dw, dh);
}

PicturePreview loadPreview(const QString& path, const QSize& box, qint64 fullReadBytes) {
    PicturePreview preview;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return preview;
    if (info.size() > fullReadBytes) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.isSequential())
            return preview;
        return fromHeader(file, box);
    }
    const LoadResult result = loadPicture(path);
    if (!result.ok())
        return preview;
    preview.image = reduced(result.picture, box);
    preview.width = result.picture.width();
    preview.height = result.picture.height();
    // Bitmaps report their file's depth; pictures read by Qt are held deeper than they may be.
    preview.bitsPerPixel =
        result.format == "bmp" ? result.fileBitsPerPixel : depthFromHeader(path, result.fileBitsPerPixel);
    preview.format = result.format;
    preview.ok = !preview.image.isNull();
    return preview;
}
