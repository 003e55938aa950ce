#include "model/picturetestutil.h"

#include <cstring>
#include <random>

const std::vector<QImage::Format>& pictureFormats() {
    static const std::vector<QImage::Format> formats = {QImage::Format_Mono,   QImage::Format_Indexed8,
                                                        QImage::Format_RGB555, QImage::Format_RGB16,
                                                        QImage::Format_RGB888, QImage::Format_RGB32};
    return formats;
}

QImage randomPicture(QImage::Format format, int width, int height, std::uint32_t seed) {
    std::mt19937 random(seed);
    QImage image(width, height, format);
    if (format == QImage::Format_Mono) {
        image.setColorTable({qRgb(20, 30, 40), qRgb(250, 240, 230)});
    } else if (format == QImage::Format_Indexed8) {
        QList<QRgb> table;
        for (int i = 0; i < 256; ++i)
            table.append(qRgb(int(random() & 0xFF), int(random() & 0xFF), int(random() & 0xFF)));
        image.setColorTable(table);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = random();
            switch (format) {
            case QImage::Format_Mono:
                image.setPixel(x, y, v & 1);
                break;
            case QImage::Format_Indexed8:
                image.setPixel(x, y, v & 0xFF);
                break;
            case QImage::Format_RGB555:
                reinterpret_cast<quint16*>(image.scanLine(y))[x] = quint16(v & 0x7FFF);
                break;
            case QImage::Format_RGB16:
                reinterpret_cast<quint16*>(image.scanLine(y))[x] = quint16(v);
                break;
            default:
                image.setPixel(x, y, qRgb(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)));
                break;
            }
        }
    }
    return image;
}

std::uint64_t rawPixel(const QImage& image, int x, int y) {
    if (image.depth() <= 8)
        return std::uint64_t(image.pixelIndex(x, y));
    std::uint64_t v = 0;
    const int bytes = image.depth() / 8;
    std::memcpy(&v, image.constScanLine(y) + qsizetype(x) * bytes, bytes);
    return v;
}

const char* formatName(QImage::Format format) {
    switch (format) {
    case QImage::Format_Mono:
        return "Mono";
    case QImage::Format_MonoLSB:
        return "MonoLSB";
    case QImage::Format_Indexed8:
        return "Indexed8";
    case QImage::Format_RGB555:
        return "RGB555";
    case QImage::Format_RGB16:
        return "RGB16";
    case QImage::Format_RGB888:
        return "RGB888";
    case QImage::Format_RGB32:
        return "RGB32";
    default:
        return "other";
    }
}
