// Writes the fuzzer's seed files into the folder named on the command line: bitmaps of every
// variant the reader knows (made byte by byte where our writer does not make them), and small
// PNG, JPEG and ICO files from Qt's writers.

#include "model/picture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

void append16(QByteArray& b, quint32 v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

void append32(QByteArray& b, quint32 v) {
    append16(b, v & 0xFFFF);
    append16(b, v >> 16);
}

struct Bitmap {
    int headerSize = 40;
    qint32 width = 6;
    qint32 height = 4;
    int bits = 24;
    quint32 compression = 0;
    std::vector<quint32> masks;
    int colours = 0; // colour-table entries
    QByteArray pixels;
};

QByteArray make(const Bitmap& s) {
    QByteArray info;
    append32(info, quint32(s.headerSize));
    if (s.headerSize == 12) {
        append16(info, quint32(s.width));
        append16(info, quint32(s.height));
        append16(info, 1);
        append16(info, quint32(s.bits));
    } else {
        append32(info, quint32(s.width));
        append32(info, quint32(s.height));
        append16(info, 1);
        append16(info, quint32(s.bits));
        append32(info, s.compression);
        append32(info, quint32(s.pixels.size()));
        append32(info, 0);
        append32(info, 0);
        append32(info, 0);
        append32(info, 0);
        for (quint32 m : s.masks)
            append32(info, m);
        if (s.headerSize > 40)
            info.append(QByteArray(s.headerSize - info.size(), '\0'));
    }
    for (int i = 0; i < s.colours; ++i) {
        info.append(char(i * 37));
        info.append(char(255 - i * 11));
        info.append(char(i * 73));
        if (s.headerSize != 12)
            info.append('\0');
    }
    QByteArray file("BM");
    append32(file, quint32(14 + info.size() + s.pixels.size()));
    append32(file, 0);
    append32(file, quint32(14 + info.size()));
    return file + info + s.pixels;
}

// Stored rows of a pattern, padded to 4 bytes.
QByteArray rows(int width, int height, int bits) {
    const int stride = (width * bits + 31) / 32 * 4;
    QByteArray out(stride * height, '\0');
    for (int i = 0; i < out.size(); ++i)
        out[i] = char((i * 29 + i / stride * 7) & 0xFF);
    return out;
}

QImage sample(QImage::Format format, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 40, y * 60, (x * y * 30) & 0xFF));
    return image.convertToFormat(format);
}

QByteArray qtFile(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makefuzzcorpus FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path()))
        return 1;
    std::vector<std::pair<QString, QByteArray>> files;

    files.push_back({"mono.bmp", encodeBitmapFile(sample(QImage::Format_Mono, 11, 3))});
    files.push_back({"indexed8.bmp", encodeBitmapFile(sample(QImage::Format_Indexed8, 5, 3))});
    files.push_back({"rgb555.bmp", encodeBitmapFile(sample(QImage::Format_RGB555, 5, 3))});
    files.push_back({"rgb565.bmp", encodeBitmapFile(sample(QImage::Format_RGB16, 5, 3))});
    files.push_back({"rgb888.bmp", encodeBitmapFile(sample(QImage::Format_RGB888, 5, 3))});
    files.push_back({"rgb32.bmp", encodeBitmapFile(sample(QImage::Format_RGB32, 5, 3))});

    Bitmap b;
    b.height = -4;
    b.pixels = rows(6, 4, 24);
    files.push_back({"topdown24.bmp", make(b)});
    b = {};
    b.bits = 4;
    b.colours = 16;
    b.pixels = rows(6, 4, 4);
    files.push_back({"indexed4.bmp", make(b)});
    b.bits = 2;
    b.colours = 4;
    b.pixels = rows(6, 4, 2);
    files.push_back({"indexed2.bmp", make(b)});
    b = {};
    b.headerSize = 12;
    b.bits = 8;
    b.colours = 256;
    b.pixels = rows(6, 4, 8);
    files.push_back({"core8.bmp", make(b)});
    b = {};
    b.bits = 8;
    b.compression = 1;
    b.colours = 256;
    b.pixels = QByteArray::fromHex("0405000307080900000002010002020102030000"
                                   "06fe0001");
    files.push_back({"rle8.bmp", make(b)});
    b = {};
    b.bits = 4;
    b.compression = 2;
    b.colours = 16;
    b.pixels = QByteArray::fromHex("03ab000512345000000007f100000002010106120001");
    files.push_back({"rle4.bmp", make(b)});
    b = {};
    b.headerSize = 108;
    b.bits = 32;
    b.compression = 3;
    b.masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000};
    b.pixels = rows(6, 4, 32);
    files.push_back({"v4bitfields32.bmp", make(b)});
    b = {};
    b.headerSize = 124;
    b.bits = 16;
    b.compression = 3;
    b.masks = {0x0F00, 0x00F0, 0x000F, 0xF000};
    b.pixels = rows(6, 4, 16);
    files.push_back({"v5bitfields16.bmp", make(b)});
    b = {};
    b.bits = 32;
    b.compression = 6;
    b.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
    b.pixels = rows(6, 4, 32);
    files.push_back({"alphabitfields32.bmp", make(b)});

    files.push_back({"rgb.png", qtFile(sample(QImage::Format_RGB32, 9, 7), "png")});
    files.push_back({"alpha.png", qtFile(sample(QImage::Format_ARGB32, 9, 7), "png")});
    files.push_back({"grey.png", qtFile(sample(QImage::Format_Grayscale8, 9, 7), "png")});
    files.push_back({"indexed.png", qtFile(sample(QImage::Format_Indexed8, 9, 7), "png")});
    files.push_back({"photo.jpg", qtFile(sample(QImage::Format_RGB32, 16, 16), "jpeg", 50)});
    files.push_back({"icon.ico", qtFile(sample(QImage::Format_ARGB32, 16, 16), "ico")});

    for (const auto& [name, bytes] : files) {
        QFile file(dir.filePath(name));
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "makefuzzcorpus: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    std::printf("%zu seed files in %s\n", files.size(), qPrintable(dir.path()));
    return 0;
}
