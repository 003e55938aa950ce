#pragma once

// Builds Windows bitmap files byte by byte, so that tests can make every variant the reader must
// know and every kind of damage it must refuse, without relying on any other writer.

#include <QByteArray>
#include <QList>
#include <QRgb>

#include <cstdint>
#include <functional>
#include <vector>

struct BmpLayout {
    int headerSize = 40; // 12, 40, 52, 56, 64, 108 or 124
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: rows stored top-down
    int bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    QList<QRgb> colourTable; // written as blue, green, red (, reserved)
    std::vector<std::uint32_t>
        masks;         // red, green, blue (, alpha); after a 40-byte header or inside a longer one
    QByteArray pixels; // stored rows (or run-length data) as they go into the file
    std::int64_t pixelOffset = -1; // -1: right after the colour table
};

QByteArray makeBmp(const BmpLayout& layout);

// Stored rows for `width` x `height` pixels, padded to 4 bytes, bottom row first unless topDown.
// `pixel(x, y)` gives the value of picture pixel (x, y) (y = 0 at the top) in bitsPerPixel bits;
// wider values are written little-endian.
QByteArray packRows(int width, int height, int bitsPerPixel, bool topDown,
                    const std::function<std::uint32_t(int, int)>& pixel);

void put16(QByteArray& bytes, qsizetype offset, std::uint16_t value);
void put32(QByteArray& bytes, qsizetype offset, std::uint32_t value);
std::uint32_t get32(const QByteArray& bytes, qsizetype offset);
std::uint16_t get16(const QByteArray& bytes, qsizetype offset);
