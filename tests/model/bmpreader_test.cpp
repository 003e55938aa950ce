#include "model/bmpbytes.h"
#include "model/bmpreader.h"
#include "model/fingerprint.h"
#include "model/picture.h"
#include "model/picturereserve.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <thread>

namespace {

// The reference picture of most variants: 5 x 3 pixels, so that every depth needs row padding.
constexpr int W = 5;
constexpr int H = 3;

int indexAt(int x, int y, int colours) {
    return (x * 3 + y * 5 + x * y) % colours;
}

QList<QRgb> palette(int n) {
    QList<QRgb> table;
    for (int i = 0; i < n; ++i)
        table.append(qRgb((i * 67 + 13) & 0xFF, (i * 151 + 7) & 0xFF, (i * 29 + 201) & 0xFF));
    return table;
}

QRgb trueColourAt(int x, int y) {
    return qRgb(10 + 40 * x, 200 - 60 * y, (x * 31 + y * 77) & 0xFF);
}

std::uint32_t bits32Junk(int x) {
    return std::uint32_t(0x11 * x);
}

// What a variant must load as.
struct Variant {
    std::string name;
    QByteArray file;
    QImage::Format format;
    int fileBits;
    int width;
    int height;
    std::function<QRgb(int, int)> colour; // expected colour of picture pixel (x, y)
    int tableSize = 0;                    // expected colour-table length (indexed formats)
};

Variant indexed(const std::string& name, int bits, bool topDown, int coloursUsed = 0) {
    const int colours = coloursUsed ? coloursUsed : 1 << bits;
    BmpLayout s;
    s.width = W;
    s.height = topDown ? -H : H;
    s.bitsPerPixel = bits;
    s.coloursUsed = std::uint32_t(coloursUsed);
    s.colourTable = palette(colours);
    s.pixels =
        packRows(W, H, bits, topDown, [&](int x, int y) { return std::uint32_t(indexAt(x, y, colours)); });
    const QList<QRgb> table = s.colourTable;
    return {name, makeBmp(s), bits == 1 ? QImage::Format_Mono : QImage::Format_Indexed8,   bits,
            W,    H,          [=](int x, int y) { return table[indexAt(x, y, colours)]; }, 1 << bits};
}

Variant trueColour(const std::string& name, int bits, bool topDown) {
    BmpLayout s;
    s.width = W;
    s.height = topDown ? -H : H;
    s.bitsPerPixel = bits;
    // The reserved fourth byte of 32-bit pixels holds junk the reader must ignore.
    s.pixels = packRows(W, H, bits, topDown,
                        [](int x, int y) { return (trueColourAt(x, y) & 0xFFFFFF) | (bits32Junk(x) << 24); });
    return {name, makeBmp(s),  bits == 24 ? QImage::Format_RGB888 : QImage::Format_RGB32, bits, W,
            H,    trueColourAt};
}

// 5-bit channels widen to 8 bits the way Qt shows RGB555 and RGB16 pixels.
QRgb from555(std::uint32_t v) {
    auto w5 = [](std::uint32_t c) { return int((c << 3) | (c >> 2)); };
    return qRgb(w5((v >> 10) & 31), w5((v >> 5) & 31), w5(v & 31));
}

QRgb from565(std::uint32_t v) {
    return qRgb(int(((v >> 11) & 31) << 3 | ((v >> 11) & 31) >> 2),
                int(((v >> 5) & 63) << 2 | ((v >> 5) & 63) >> 4), int((v & 31) << 3 | (v & 31) >> 2));
}

std::uint32_t value16(int x, int y) {
    return std::uint32_t((x * 4099 + y * 1237 + 11) & 0x7FFF);
}

std::vector<Variant> variants() {
    std::vector<Variant> v;
    v.push_back(indexed("mono bottom-up", 1, false));
    v.push_back(indexed("mono top-down", 1, true));
    v.push_back(indexed("2-bit", 2, false));
    v.push_back(indexed("4-bit bottom-up", 4, false));
    v.push_back(indexed("4-bit top-down", 4, true));
    v.push_back(indexed("8-bit bottom-up", 8, false));
    v.push_back(indexed("8-bit top-down", 8, true));
    {
        Variant few = indexed("8-bit with a 6-entry table", 8, false, 6);
        v.push_back(few);
    }
    v.push_back(trueColour("24-bit bottom-up", 24, false));
    v.push_back(trueColour("24-bit top-down", 24, true));
    v.push_back(trueColour("32-bit bottom-up", 32, false));
    v.push_back(trueColour("32-bit top-down", 32, true));

    { // 16 bits without bit fields are 5-5-5
        BmpLayout s;
        s.width = W;
        s.height = H;
        s.bitsPerPixel = 16;
        s.pixels = packRows(W, H, 16, false, [](int x, int y) { return value16(x, y) | 0x8000; });
        v.push_back({"16-bit 5-5-5", makeBmp(s), QImage::Format_RGB555, 16, W, H,
                     [](int x, int y) { return from555(value16(x, y)); }});
    }
    { // 5-6-5 bit fields after a 40-byte header
        BmpLayout s;
        s.width = W;
        s.height = -H;
        s.bitsPerPixel = 16;
        s.compression = 3;
        s.masks = {0xF800, 0x07E0, 0x001F};
        s.pixels = packRows(W, H, 16, true, [](int x, int y) { return value16(x, y) * 2 + 1; });
        v.push_back({"16-bit 5-6-5 bit fields", makeBmp(s), QImage::Format_RGB16, 16, W, H,
                     [](int x, int y) { return from565(value16(x, y) * 2 + 1); }});
    }
    { // 4-4-4 with alpha in a version-5 header: widened to 8 bits, then held as 5-5-5
        BmpLayout s;
        s.headerSize = 124;
        s.width = W;
        s.height = H;
        s.bitsPerPixel = 16;
        s.compression = 3;
        s.masks = {0x0F00, 0x00F0, 0x000F, 0xF000};
        auto v444 = [](int x, int y) {
            return std::uint32_t(((x * 5 + y * 3) % 16) << 8 | ((x + 7 * y) % 16) << 4 | (15 - x));
        };
        s.pixels = packRows(W, H, 16, false, [&](int x, int y) { return v444(x, y) | 0x3000; });
        v.push_back({"16-bit 4-4-4 bit fields, v5 header", makeBmp(s), QImage::Format_RGB555, 16, W, H,
                     [=](int x, int y) {
                         auto to5 = [](std::uint32_t c4) { return ((c4 * 255 + 7) / 15 * 31 + 127) / 255; };
                         const std::uint32_t p = v444(x, y);
                         return from555(to5(p >> 8 & 15) << 10 | to5(p >> 4 & 15) << 5 | to5(p & 15));
                     }});
    }
    { // red in the low byte, as RGBA writers store it, in a version-4 header
        BmpLayout s;
        s.headerSize = 108;
        s.width = W;
        s.height = H;
        s.bitsPerPixel = 32;
        s.compression = 3;
        s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
        s.pixels = packRows(W, H, 32, false, [](int x, int y) {
            const QRgb c = trueColourAt(x, y);
            return std::uint32_t(qRed(c) | qGreen(c) << 8 | qBlue(c) << 16 | 0x80 << 24);
        });
        v.push_back(
            {"32-bit bit fields, v4 header", makeBmp(s), QImage::Format_RGB32, 32, W, H, trueColourAt});
    }
    { // alpha bit fields: four masks after a 40-byte header; 10-bit channels
        BmpLayout s;
        s.width = W;
        s.height = H;
        s.bitsPerPixel = 32;
        s.compression = 6;
        s.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
        s.pixels = packRows(W, H, 32, false, [](int x, int y) {
            const QRgb c = trueColourAt(x, y);
            auto ten = [](int c8) { return std::uint32_t(c8) * 1023 / 255; };
            return ten(qRed(c)) << 20 | ten(qGreen(c)) << 10 | ten(qBlue(c));
        });
        v.push_back(
            {"32-bit 10-10-10 alpha bit fields", makeBmp(s), QImage::Format_RGB32, 32, W, H, trueColourAt});
    }
    { // OS/2 1.x: 12-byte header, 3-byte colour entries
        BmpLayout s;
        s.headerSize = 12;
        s.width = W;
        s.height = H;
        s.bitsPerPixel = 8;
        s.colourTable = palette(256);
        s.pixels = packRows(W, H, 8, false, [](int x, int y) { return std::uint32_t(indexAt(x, y, 256)); });
        const QList<QRgb> table = s.colourTable;
        v.push_back({"8-bit core header", makeBmp(s), QImage::Format_Indexed8, 8, W, H,
                     [=](int x, int y) { return table[indexAt(x, y, 256)]; }, 256});
    }
    {
        BmpLayout s;
        s.headerSize = 12;
        s.width = W;
        s.height = H;
        s.bitsPerPixel = 24;
        s.pixels = packRows(W, H, 24, false, [](int x, int y) { return trueColourAt(x, y) & 0xFFFFFF; });
        v.push_back({"24-bit core header", makeBmp(s), QImage::Format_RGB888, 24, W, H, trueColourAt});
    }
    { // RLE8, 6 x 4: a run, a literal run of odd length (padded), a delta, end of line, end of bitmap
        BmpLayout s;
        s.width = 6;
        s.height = 4;
        s.bitsPerPixel = 8;
        s.compression = 1;
        s.colourTable = palette(256);
        s.pixels = QByteArray::fromHex("0405" // bottom row: 4 x index 5
                                       "0003070809"
                                       "00"       // then 3 literal pixels 7 8 9 (clipped: 2 fit), pad
                                       "0000"     // end of line
                                       "0201"     // row 1: 2 x 1
                                       "00020201" // delta: right 2, up 1 -> (4, 2)
                                       "0203"     // row 2, x 4..5: 2 x 3
                                       "0000"     // end of line -> row 3
                                       "06fe"     // 6 x 254
                                       "0001");   // end of bitmap
        const QList<QRgb> table = s.colourTable;
        // Rows from the top; 0 where the runs skip.
        const int grid[4][6] = {
            {254, 254, 254, 254, 254, 254}, {0, 0, 0, 0, 3, 3}, {1, 1, 0, 0, 0, 0}, {5, 5, 5, 5, 7, 8}};
        v.push_back({"RLE8", makeBmp(s), QImage::Format_Indexed8, 8, 6, 4,
                     [=](int x, int y) { return table[grid[y][x]]; }, 256});
    }
    { // RLE4, 7 x 2: runs alternate two nibbles; a literal run of 5 nibbles takes 3 bytes, padded to 4
        BmpLayout s;
        s.width = 7;
        s.height = 2;
        s.bitsPerPixel = 4;
        s.compression = 2;
        s.colourTable = palette(16);
        s.pixels = QByteArray::fromHex("03ab" // a b a
                                       "0005123450"
                                       "00"   // 1 2 3 4 5, pad
                                       "0000" // end of line
                                       "07f1" // f 1 f 1 f 1 f
                                       "0001");
        const QList<QRgb> table = s.colourTable;
        const int grid[2][7] = {{15, 1, 15, 1, 15, 1, 15}, {10, 11, 10, 1, 2, 3, 4}};
        v.push_back({"RLE4", makeBmp(s), QImage::Format_Indexed8, 4, 7, 2,
                     [=](int x, int y) { return table[grid[y][x]]; }, 16});
    }
    return v;
}

} // namespace

TEST(BitmapReader, LoadsEveryVariantWithItsDepthAndColours) {
    for (const Variant& v : variants()) {
        SCOPED_TRACE(v.name);
        const LoadResult r = loadPictureFromBytes(v.file);
        ASSERT_TRUE(r.ok()) << int(r.error);
        EXPECT_EQ(r.format, "bmp");
        EXPECT_EQ(r.fileBitsPerPixel, v.fileBits);
        EXPECT_EQ(r.picture.format(), v.format);
        ASSERT_EQ(r.picture.width(), v.width);
        ASSERT_EQ(r.picture.height(), v.height);
        if (v.tableSize) {
            EXPECT_EQ(r.picture.colorTable().size(), v.tableSize);
        }
        for (int y = 0; y < v.height; ++y) {
            for (int x = 0; x < v.width; ++x) {
                ASSERT_EQ(r.picture.pixel(x, y), v.colour(x, y)) << "at " << x << "," << y;
            }
        }
    }
}

TEST(BitmapReader, EveryCutOffFileIsRefusedOrComplete) {
    // A file that ends early must never load with made-up pixels: either it is refused, or all
    // that was cut off is padding or the closing end-of-bitmap code.
    for (const Variant& v : variants()) {
        SCOPED_TRACE(v.name);
        const QImage full = loadPictureFromBytes(v.file).picture;
        for (qsizetype n = 0; n < v.file.size(); ++n) {
            const LoadResult r = loadPictureFromBytes(v.file.left(n));
            if (r.ok())
                ASSERT_EQ(r.picture, full) << "cut at " << n;
            else
                ASSERT_TRUE(r.picture.isNull());
        }
    }
}

TEST(BitmapReader, SurvivesRandomDamage) {
    std::mt19937 random(1234);
    for (const Variant& v : variants()) {
        SCOPED_TRACE(v.name);
        for (int round = 0; round < 300; ++round) {
            QByteArray damaged = v.file;
            const int flips = 1 + int(random() % 4);
            for (int k = 0; k < flips; ++k)
                damaged[qsizetype(random() % damaged.size())] = char(random());
            damaged[0] = 'B';
            damaged[1] = 'M';
            const LoadResult r = loadPictureFromBytes(damaged);
            if (r.ok()) { // a picture is never larger than the file can describe
                ASSERT_LE(qint64(r.picture.width()) * r.picture.height(), damaged.size() * 128);
            }
        }
    }
}

namespace {

// A 24-bit header over `dataBytes` bytes of pixels, whatever the size claims.
BmpLayout plain24(int width, int height, qsizetype dataBytes = 48) {
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.bitsPerPixel = 24;
    s.pixels = QByteArray(dataBytes, '\x5a');
    return s;
}

struct BadFile {
    std::string name;
    QByteArray bytes;
    PictureError error;
};

std::vector<BadFile> badFiles() {
    std::vector<BadFile> bad;
    const QByteArray good = makeBmp(plain24(W, H));
    bad.push_back({"empty", {}, PictureError::UnknownFormat});
    bad.push_back({"text", "Just some words, no picture at all.\n", PictureError::UnknownFormat});
    bad.push_back({"OS/2 bitmap array", "BA" + good.mid(2), PictureError::UnknownFormat});
    bad.push_back({"signature only", "BM", PictureError::Truncated});
    bad.push_back({"header cut", good.left(30), PictureError::Truncated});
    bad.push_back({"last row cut", good.left(good.size() - 5), PictureError::Truncated});
    {
        const BmpLayout s = plain24(60000, 60000);
        bad.push_back({"60000 x 60000", makeBmp(s), PictureError::TooLarge});
    }
    {
        const BmpLayout s = plain24(16000, 16000, 4096); // within the pixel limit, the data is not there
        bad.push_back({"16000 x 16000 in 4 KB", makeBmp(s), PictureError::Truncated});
    }
    {
        BmpLayout s = plain24(W, H);
        s.height = std::numeric_limits<std::int32_t>::min();
        bad.push_back({"height INT_MIN", makeBmp(s), PictureError::TooLarge});
    }
    for (auto [w, h, name] : {std::tuple{0, H, "zero width"}, std::tuple{W, 0, "zero height"},
                              std::tuple{-W, H, "negative width"}}) {
        BmpLayout s = plain24(W, H);
        s.width = w;
        s.height = h;
        bad.push_back({name, makeBmp(s), PictureError::Corrupt});
    }
    {
        BmpLayout s = plain24(W, H);
        s.bitsPerPixel = 7;
        bad.push_back({"7 bits per pixel", makeBmp(s), PictureError::Unsupported});
        s.bitsPerPixel = 0;
        bad.push_back({"0 bits per pixel", makeBmp(s), PictureError::Unsupported});
    }
    {
        BmpLayout s = plain24(W, H);
        s.compression = 4;
        bad.push_back({"embedded JPEG", makeBmp(s), PictureError::Unsupported});
        s.compression = 1;
        bad.push_back({"RLE8 at 24 bits", makeBmp(s), PictureError::Corrupt});
        s.compression = 3;
        s.masks = {0xFF0000, 0xFF00, 0xFF};
        bad.push_back({"bit fields at 24 bits", makeBmp(s), PictureError::Corrupt});
    }
    {
        BmpLayout s;
        s.width = 4;
        s.height = -2;
        s.bitsPerPixel = 8;
        s.compression = 1;
        s.colourTable = palette(256);
        s.pixels = QByteArray::fromHex("04010000040100000001");
        bad.push_back({"top-down RLE8", makeBmp(s), PictureError::Corrupt});
        s.height = 2;
        s.pixels = QByteArray::fromHex("0401000004");
        bad.push_back({"RLE8 ends inside a run", makeBmp(s), PictureError::Truncated});
        s.pixels = QByteArray::fromHex("000601020304");
        bad.push_back({"RLE8 literal run past the end", makeBmp(s), PictureError::Truncated});
        s.pixels = QByteArray::fromHex("04010002");
        bad.push_back({"RLE8 delta cut", makeBmp(s), PictureError::Truncated});
        s.width = 8000;
        s.height = 8000;
        s.pixels = QByteArray::fromHex("ff01ff010001");
        bad.push_back({"RLE8 8000 x 8000 in 6 bytes", makeBmp(s), PictureError::TooLarge});
    }
    {
        QByteArray b = good;
        put32(b, 14, 20); // an OS/2 2.x short header or garbage
        bad.push_back({"header size 20", b, PictureError::Unsupported});
        put32(b, 14, 1000);
        bad.push_back({"header longer than the file", b, PictureError::Truncated});
    }
    {
        BmpLayout s = plain24(W, H);
        s.headerSize = 64;
        s.compression = 3;
        bad.push_back({"OS/2 Huffman", makeBmp(s), PictureError::Unsupported});
    }
    {
        BmpLayout s;
        s.width = W;
        s.height = H;
        s.bitsPerPixel = 8;
        s.colourTable = palette(256);
        s.pixels = QByteArray(4, '\0');
        QByteArray b = makeBmp(s);
        bad.push_back({"colour table cut", b.left(14 + 40 + 500), PictureError::Truncated});
        put32(b, 10, 20);
        bad.push_back({"pixels inside the header", b, PictureError::Corrupt});
        put32(b, 10, 14 + 40);
        bad.push_back({"no room for a colour table", b, PictureError::Corrupt});
        put32(b, 10, std::uint32_t(b.size() + 10));
        bad.push_back({"pixels past the end", b, PictureError::Truncated});
    }
    return bad;
}

} // namespace

TEST(BitmapReader, RefusesEachKindOfBadFile) {
    for (const BadFile& f : badFiles()) {
        SCOPED_TRACE(f.name);
        const LoadResult r = loadPictureFromBytes(f.bytes);
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.picture.isNull());
        EXPECT_EQ(int(r.error), int(f.error));
    }
}

TEST(BitmapReader, RunsAndSkipsLeavingThePictureAreClipped) {
    BmpLayout s;
    s.width = 3;
    s.height = 2;
    s.bitsPerPixel = 8;
    s.compression = 1;
    s.colourTable = palette(256);
    // A run of 200 in a row of 3, a literal run past the edge, then a skip far above the picture.
    s.pixels = QByteArray::fromHex("c804"
                                   "0000"
                                   "0004090a0b0c"
                                   "0002ff7f"
                                   "0104");
    const LoadResult r = loadPictureFromBytes(makeBmp(s));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.picture.pixelIndex(0, 1), 4);
    EXPECT_EQ(r.picture.pixelIndex(2, 1), 4);
    EXPECT_EQ(r.picture.pixelIndex(0, 0), 9);
    EXPECT_EQ(r.picture.pixelIndex(2, 0), 11);
}

TEST(BitmapReader, ShortColourTableTakenFromThePixelOffset) {
    // Colours used 0 would mean 256 entries; the pixel offset says only 4 are stored.
    BmpLayout s;
    s.width = W;
    s.height = H;
    s.bitsPerPixel = 8;
    s.colourTable = palette(4);
    s.pixels = packRows(W, H, 8, false, [](int x, int y) { return std::uint32_t(indexAt(x, y, 4)); });
    const LoadResult r = loadPictureFromBytes(makeBmp(s));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.picture.colorTable().mid(0, 4), palette(4));
    EXPECT_EQ(r.picture.colorTable().size(), 256);
    EXPECT_EQ(r.picture.pixel(1, 1), palette(4)[indexAt(1, 1, 4)]);
}

// A bitmap is read row by row: in order from a device, on every core from a file (what is seen
// then fed from the file in order on another thread); those reads and the read of the whole file
// agree on every file: the pixels of a sound one, the refusal of one cut off or damaged anywhere,
// and the bytes its fingerprint is taken from.
TEST(BitmapReader, TheReadByRowsAgreesWithTheReadOfTheWholeFile) {
    std::mt19937 random(2026);
    std::vector<QByteArray> files;
    for (const int bits : {8, 24, 32})
        for (const bool topDown : {false, true}) {
            BmpLayout layout;
            layout.width = 123; // rows with padding
            layout.height = topDown ? -77 : 77;
            layout.bitsPerPixel = bits;
            if (bits == 8)
                for (int k = 0; k < 256; ++k)
                    layout.colourTable.append(qRgb(k, 255 - k, k / 2));
            layout.pixels = packRows(123, 77, bits, topDown,
                                     [](int x, int y) { return std::uint32_t(x * 7919 + y * 104729); });
            files.push_back(makeBmp(layout));
        }
    files.back().append("trailing bytes");
    const auto byRows = [](const QByteArray& file, QByteArray* seen) {
        QByteArray copy = file;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        return readBitmapFile(buffer, [seen](const QByteArray& b) { seen->append(b); });
    };
    QTemporaryDir dir;
    const auto fromFile = [&dir](const QByteArray& bytes, QByteArray* seen = nullptr) {
        QFile file(dir.filePath(QStringLiteral("picture.bmp")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            return LoadResult{};
        file.close();
        if (!file.open(QIODevice::ReadOnly))
            return LoadResult{};
        if (seen)
            return readBitmapFile(file, [seen](const QByteArray& b) { seen->append(b); });
        return readBitmapFile(file, {});
    };
    for (const QByteArray& file : files) {
        ASSERT_GT(file.size(), 4096);
        QByteArray seen;
        const LoadResult rows = byRows(file, &seen);
        ASSERT_TRUE(rows.ok());
        EXPECT_EQ(rows.picture, readBitmapFile(file).picture);
        EXPECT_EQ(fromFile(file).picture, rows.picture);
        EXPECT_EQ(seen, file);
        QByteArray seenFromFile;
        EXPECT_EQ(fromFile(file, &seenFromFile).picture, rows.picture);
        EXPECT_EQ(seenFromFile, file);
        std::vector<QByteArray> spoilt;
        for (const qsizetype n : {qsizetype(5000), file.size() / 2, file.size() - 3, file.size() - 1})
            spoilt.push_back(file.left(n));
        for (int round = 0; round < 200; ++round) {
            QByteArray damaged = file;
            damaged[qsizetype(random() % 200)] = char(random()); // headers and first rows
            spoilt.push_back(damaged);
        }
        for (const QByteArray& bad : spoilt) {
            const LoadResult whole = readBitmapFile(bad);
            const LoadResult part = byRows(bad, &seen);
            ASSERT_EQ(part.ok(), whole.ok()) << bad.size();
            ASSERT_EQ(part.picture, whole.picture);
            const LoadResult parallel = fromFile(bad);
            ASSERT_EQ(parallel.ok(), whole.ok()) << bad.size();
            ASSERT_EQ(parallel.picture, whole.picture);
        }
    }
}

// Pixels made ready ahead of a large read are read into when they have the file's size and
// format, however far they were made ready, and given up otherwise; the picture read is the same.
TEST(BitmapReader, PixelsMadeReadyAheadGiveTheSamePicture) {
    QImage image(2900, 2900, QImage::Format_RGB32); // just above the size worth making ready
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.bmp"));
    ASSERT_TRUE(writeBitmapFile(path, image));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::optional<BitmapLayout> layout = readBitmapLayout(file);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->size, image.size());
    EXPECT_EQ(layout->format, QImage::Format_RGB32);
    for (const QSize prepared : {image.size(), QSize(2900, 2901), QSize(100, 100)}) {
        PictureReserve reserve;
        reserve.prepare(prepared, QImage::Format_RGB32);
        EXPECT_EQ(reserve.size(), prepared == QSize(100, 100) ? QSize() : prepared);
        const LoadResult read = loadPicture(path, nullptr, &reserve);
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.picture, image);
        EXPECT_EQ(reserve.size(), QSize()); // taken, or given up as of no use
    }
    // Read ahead from the file itself, however far it got, and with or without its fingerprint:
    // the same picture, and the same fingerprint, as a read of the file alone. A file replaced
    // meanwhile by another of the same size is read anew.
    Fingerprint plain;
    ASSERT_EQ(loadPicture(path, &plain).picture, image);
    QImage other = image.mirrored(true, false);
    const QString otherPath = dir.filePath(QStringLiteral("other.bmp"));
    ASSERT_TRUE(writeBitmapFile(otherPath, other));
    Fingerprint otherPrint;
    ASSERT_EQ(loadPicture(otherPath, &otherPrint).picture, other);
    for (const int waitMs : {0, 30, 2000}) {
        for (const bool replace : {false, true}) {
            const QString copy = dir.filePath(QStringLiteral("copy.bmp"));
            QFile::remove(copy);
            ASSERT_TRUE(QFile::copy(path, copy));
            PictureReserve reserve;
            reserve.prepareFile(copy);
            EXPECT_EQ(reserve.size(), image.size());
            std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
            if (replace) {
                const QString moved = dir.filePath(QStringLiteral("moved.bmp"));
                QFile::remove(moved);
                ASSERT_TRUE(QFile::copy(otherPath, moved));
                ASSERT_EQ(::rename(QFile::encodeName(moved).constData(), QFile::encodeName(copy).constData()),
                          0);
            }
            Fingerprint print;
            const LoadResult read = loadPicture(copy, waitMs == 30 ? nullptr : &print, &reserve);
            ASSERT_TRUE(read.ok());
            EXPECT_EQ(read.picture, replace ? other : image) << waitMs;
            if (waitMs != 30) {
                EXPECT_EQ(print.hex(), (replace ? otherPrint : plain).hex()) << waitMs;
            }
            EXPECT_EQ(reserve.size(), QSize());
        }
    }
    // A file cut short has no layout to make ready.
    file.close();
    ASSERT_TRUE(QFile::resize(path, QFileInfo(path).size() / 2));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(readBitmapLayout(file));
}

// A release with a delay holds what it was given for that long, but never keeps the next release
// or its own end waiting: those hurry it (a broken hurry would hang here for an hour).
TEST(BackgroundReleaseTest, ADelayedReleaseIsHurriedByTheNextAndByItsEnd) {
    std::atomic<int> freed{0};
    const auto counted = [&freed] {
        return std::shared_ptr<void>(new int(0), [&freed](void* p) {
            delete static_cast<int*>(p);
            ++freed;
        });
    };
    {
        BackgroundRelease release(std::chrono::hours(1));
        release.release({}, counted());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(freed, 0);
        release.release({}, counted());
        EXPECT_EQ(freed, 1);
    }
    EXPECT_EQ(freed, 2);
}
