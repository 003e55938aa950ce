#include "model/devicepicture.h"

#include "model/durablefile.h"
#include "model/fingerprint.h"
#include "model/parallel.h"
#include "model/picture.h"

#include <QFile>
#include <QIODevice>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <vector>

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

// The source pixels an output pixel of a reduction covers, with the share of each: output pixel
// i covers [i * step, (i + 1) * step) of the source (step >= 1), so at most `taps` of them.
struct Coverage {
    int taps = 0;
    std::vector<int> first;     // per output pixel
    std::vector<int> count;     // per output pixel: its taps that lie within the source
    std::vector<float> weights; // taps per output pixel, summing to 1
};

Coverage coverage(int sourceSize, int size) {
    Coverage c;
    const double step = double(sourceSize) / size;
    c.taps = static_cast<int>(std::ceil(step)) + 1;
    c.first.resize(size);
    c.count.resize(size);
    c.weights.assign(static_cast<std::size_t>(size) * c.taps, 0.0f);
    for (int i = 0; i < size; ++i) {
        const double from = i * step, to = std::min((i + 1) * step, double(sourceSize));
        const int first = static_cast<int>(std::floor(from));
        c.first[i] = first;
        c.count[i] = std::min(c.taps, sourceSize - first);
        for (int k = 0; k < c.taps && first + k < sourceSize; ++k) {
            const double overlap = std::min(to, first + k + 1.0) - std::max(from, double(first + k));
            c.weights[static_cast<std::size_t>(i) * c.taps + k] = overlap > 0 ? float(overlap / step) : 0.0f;
        }
    }
    return c;
}

// One source row reduced across into `into` (three floats a pixel). A tap of no weight adds
// nothing to a sum, so every tap within the source is added, without a test.
template <bool Wide> void reduceRow(const uchar* row, const Coverage& across, int width, float* into) {
    for (int x = 0; x < width; ++x) {
        float r = 0, g = 0, b = 0;
        const float* w = &across.weights[static_cast<std::size_t>(x) * across.taps];
        const int first = across.first[x], count = across.count[x];
        for (int j = 0; j < count; ++j) {
            if constexpr (Wide) {
                const QRgb c = reinterpret_cast<const QRgb*>(row)[first + j];
                r += w[j] * qRed(c), g += w[j] * qGreen(c), b += w[j] * qBlue(c);
            } else {
                const uchar* c = row + 3 * (first + j);
                r += w[j] * c[0], g += w[j] * c[1], b += w[j] * c[2];
            }
        }
        into[3 * x] = r, into[3 * x + 1] = g, into[3 * x + 2] = b;
    }
}

// The source reduced to `size` by area averaging, written straight as 24-bit rows: no 32-bit
// copy of the result is ever held (the finer picture is the largest thing a game keeps). The
// source is 32 or 24 bits a pixel and no smaller than `size`.
QImage reducedToRgb888(const QImage& source, QSize size) {
    QImage out(size, QImage::Format_RGB888);
    if (out.isNull())
        return {};
    const bool wide = source.format() == QImage::Format_RGB32;
    const Coverage across = coverage(source.width(), size.width());
    const Coverage down = coverage(source.height(), size.height());
    const int width = size.width();
    // Per slot: the sum of the output row, and the last two source rows reduced across (each
    // source row serves at most two output rows when the step is below 2, as it is here mostly).
    struct Scratch {
        std::vector<float> sum, rows[2];
        int rowOf[2] = {-1, -1};
        int next = 0;
    };
    std::vector<Scratch> scratch(static_cast<std::size_t>(parallelSlots()));
    const auto reduceAcross = [&](int sourceRow, std::vector<float>& into) {
        if (wide)
            reduceRow<true>(source.constScanLine(sourceRow), across, width, into.data());
        else
            reduceRow<false>(source.constScanLine(sourceRow), across, width, into.data());
    };
    parallelFor(size.height(), 32, [&](int begin, int end, int slot) {
        Scratch& s = scratch[slot];
        s.sum.resize(static_cast<std::size_t>(width) * 3);
        for (std::vector<float>& row : s.rows)
            row.resize(static_cast<std::size_t>(width) * 3);
        for (int y = begin; y < end; ++y) {
            std::fill(s.sum.begin(), s.sum.end(), 0.0f);
            for (int k = 0; k < down.taps; ++k) {
                const float wy = down.weights[static_cast<std::size_t>(y) * down.taps + k];
                if (wy == 0.0f)
                    continue;
                const int sourceRow = down.first[y] + k;
                int held = s.rowOf[0] == sourceRow ? 0 : s.rowOf[1] == sourceRow ? 1 : -1;
                if (held < 0) {
                    held = s.next;
                    s.next = 1 - s.next;
                    reduceAcross(sourceRow, s.rows[held]);
                    s.rowOf[held] = sourceRow;
                }
                const float* across = s.rows[held].data();
                for (int v = 0; v < width * 3; ++v)
                    s.sum[v] += wy * across[v];
            }
            uchar* line = out.scanLine(y);
            // Rounded half away from zero, as lround does, for the sums (never below 0) at hand:
            // a float plus one half is exact as a double.
            for (int v = 0; v < width * 3; ++v)
                line[v] = static_cast<uchar>(std::clamp(static_cast<int>(double(s.sum[v]) + 0.5), 0, 255));
        }
    });
    return out;
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
    if (source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_RGB888)
        return reducedToRgb888(source, size);
    // Other depths (indexed, 16 bits) as the cut stretches them, then made 24 bits in place.
    QImage copy = source;
    if (!scalePicture(copy, size.width(), size.height()))
        return {};
    copy.convertTo(QImage::Format_RGB888);
    return copy;
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
