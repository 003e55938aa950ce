#include "model/bmpbytes.h"

namespace {

void append16(QByteArray& b, std::uint32_t v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

void append32(QByteArray& b, std::uint32_t v) {
    append16(b, v & 0xFFFF);
    append16(b, v >> 16);
}

} // namespace

QByteArray makeBmp(const BmpLayout& s) {
    QByteArray info;
    append32(info, std::uint32_t(s.headerSize));
    if (s.headerSize == 12) {
        append16(info, std::uint32_t(s.width));
        append16(info, std::uint32_t(s.height));
        append16(info, 1);
        append16(info, std::uint32_t(s.bitsPerPixel));
    } else {
        append32(info, std::uint32_t(s.width));
        append32(info, std::uint32_t(s.height));
        append16(info, 1);
        append16(info, std::uint32_t(s.bitsPerPixel));
        append32(info, s.compression);
        append32(info, std::uint32_t(s.pixels.size()));
        append32(info, 2835); // 72 dpi, ignored
        append32(info, 2835);
        append32(info, s.coloursUsed);
        append32(info, 0);
        if (s.headerSize > 40) {
            for (std::uint32_t m : s.masks)
                append32(info, m);
            info.append(QByteArray(s.headerSize - info.size(), '\0'));
        } else {
            for (std::uint32_t m : s.masks)
                append32(info, m);
        }
    }
    for (QRgb c : s.colourTable) {
        info.append(char(qBlue(c)));
        info.append(char(qGreen(c)));
        info.append(char(qRed(c)));
        if (s.headerSize != 12)
            info.append('\0');
    }
    const std::int64_t offset = s.pixelOffset >= 0 ? s.pixelOffset : 14 + info.size();
    QByteArray file("BM");
    append32(file, std::uint32_t(14 + info.size() + s.pixels.size()));
    append32(file, 0);
    append32(file, std::uint32_t(offset));
    file.append(info);
    file.append(s.pixels);
    return file;
}

QByteArray packRows(int width, int height, int bitsPerPixel, bool topDown,
                    const std::function<std::uint32_t(int, int)>& pixel) {
    const int stride = (width * bitsPerPixel + 31) / 32 * 4;
    QByteArray out(qsizetype(stride) * height, '\0');
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        auto* r = reinterpret_cast<unsigned char*>(out.data()) + qsizetype(row) * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = pixel(x, y);
            if (bitsPerPixel < 8) {
                const int bit = x * bitsPerPixel;
                r[bit / 8] |= (v & ((1u << bitsPerPixel) - 1)) << (8 - bitsPerPixel - bit % 8);
            } else {
                for (int k = 0; k < bitsPerPixel / 8; ++k)
                    r[x * bitsPerPixel / 8 + k] = (v >> (8 * k)) & 0xFF;
            }
        }
    }
    return out;
}

void put16(QByteArray& bytes, qsizetype offset, std::uint16_t value) {
    bytes[offset] = char(value & 0xFF);
    bytes[offset + 1] = char(value >> 8);
}

void put32(QByteArray& bytes, qsizetype offset, std::uint32_t value) {
    put16(bytes, offset, value & 0xFFFF);
    put16(bytes, offset + 2, value >> 16);
}

std::uint16_t get16(const QByteArray& bytes, qsizetype offset) {
    return std::uint16_t(std::uint8_t(bytes[offset]) | std::uint8_t(bytes[offset + 1]) << 8);
}

std::uint32_t get32(const QByteArray& bytes, qsizetype offset) {
    return get16(bytes, offset) | std::uint32_t(get16(bytes, offset + 2)) << 16;
}
