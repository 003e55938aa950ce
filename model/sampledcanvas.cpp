#include "model/sampledcanvas.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace {

constexpr int Samples = 4; // a side of a pixel's samples

// Bit 4 * row of each row in a four-bit set of rows.
constexpr std::array<std::uint16_t, 16> rowSpread = [] {
    std::array<std::uint16_t, 16> spread{};
    for (unsigned rows = 0; rows < 16; ++rows)
        for (int row = 0; row < Samples; ++row)
            if (rows & (1u << row))
                spread[rows] |= static_cast<std::uint16_t>(1u << (Samples * row));
    return spread;
}();

// The sixteen bits of a pixel, bit 4 * row + column, for a set of columns in a set of rows.
inline std::uint16_t sampleBits(unsigned columns, unsigned rows) {
    return static_cast<std::uint16_t>(columns * rowSpread[rows]);
}

// The run of bits lo..hi-1 (0 <= lo <= hi <= 4).
unsigned run(int lo, int hi) {
    return (1u << hi) - (1u << lo);
}

std::uint64_t packed(QRgb c) {
    return std::uint64_t(qRed(c)) << 32 | std::uint64_t(qGreen(c)) << 16 | std::uint64_t(qBlue(c));
}

inline quint32 mix(quint32 a, quint32 b, quint32 w) {
    const quint32 rb = (((a & 0xff00ffu) * (256 - w) + (b & 0xff00ffu) * w) >> 8) & 0xff00ffu;
    const quint32 g = (((a & 0xff00u) * (256 - w) + (b & 0xff00u) * w) >> 8) & 0xff00u;
    return rb | g;
}

template <int Bytes> inline quint32 texel(const uchar* line, int x) {
    if constexpr (Bytes == 4) {
        return reinterpret_cast<const quint32*>(line)[x];
    } else {
        const uchar* p = line + 3 * x;
        return quint32(p[0]) << 16 | quint32(p[1]) << 8 | p[2];
    }
}

inline int wrapped(int v, int n) {
    v %= n;
    return v < 0 ? v + n : v;
}

template <int Bytes> QRgb bilinear(const QImage& image, double fx, double fy, bool wrap) {
    const int w = image.width(), h = image.height();
    const double fx0 = std::floor(fx), fy0 = std::floor(fy);
    const quint32 wx = static_cast<quint32>((fx - fx0) * 256.0), wy = static_cast<quint32>((fy - fy0) * 256.0);
    int x0 = static_cast<int>(fx0), y0 = static_cast<int>(fy0), x1 = x0 + 1, y1 = y0 + 1;
    if (wrap) {
        x0 = wrapped(x0, w), x1 = wrapped(x1, w), y0 = wrapped(y0, h), y1 = wrapped(y1, h);
    } else {
        x0 = std::clamp(x0, 0, w - 1), x1 = std::clamp(x1, 0, w - 1);
        y0 = std::clamp(y0, 0, h - 1), y1 = std::clamp(y1, 0, h - 1);
    }
    const uchar* line0 = image.constScanLine(y0);
    const uchar* line1 = image.constScanLine(y1);
    const quint32 top = mix(texel<Bytes>(line0, x0), texel<Bytes>(line0, x1), wx);
    const quint32 bottom = mix(texel<Bytes>(line1, x0), texel<Bytes>(line1, x1), wx);
    return 0xff000000u | mix(top, bottom, wy);
}

} // namespace

QRect DeviceTransform::deviceRect(const QRect& board) const {
    if (board.isEmpty())
        return {};
    const int left = static_cast<int>(std::floor(board.left() * scale + dx));
    const int top = static_cast<int>(std::floor(board.top() * scale + dy));
    const int right = static_cast<int>(std::ceil((board.right() + 1) * scale + dx));
    const int bottom = static_cast<int>(std::ceil((board.bottom() + 1) * scale + dy));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRgb PictureSampler::sample(int x, int y) const {
    const double fx = originX + x * xx + y * yx - 0.5;
    const double fy = originY + x * xy + y * yy - 0.5;
    return image->format() == QImage::Format_RGB888 ? bilinear<3>(*image, fx, fy, wrap)
                                                    : bilinear<4>(*image, fx, fy, wrap);
}

void SampledCanvas::begin(QSize size, const DeviceTransform& transform) {
    width_ = std::max(0, size.width());
    height_ = std::max(0, size.height());
    transform_ = transform;
    const std::size_t n = static_cast<std::size_t>(width_) * height_;
    covered_.assign(n, 0);
    sum_.assign(n, 0);
}

int SampledCanvas::sampleX(double boardX) const {
    return static_cast<int>(std::ceil(Samples * (boardX * transform_.scale + transform_.dx) - 0.5));
}

int SampledCanvas::sampleY(double boardY) const {
    return static_cast<int>(std::ceil(Samples * (boardY * transform_.scale + transform_.dy) - 0.5));
}

void SampledCanvas::rasterise(const QRegion& region, QPoint offset, std::vector<std::uint16_t>& mask, int x0,
                              int y0, int w, int h) const {
    const int minQ = Samples * x0, maxQ = Samples * (x0 + w);
    const int minR = Samples * y0, maxR = Samples * (y0 + h);
    for (const QRect& r : region) {
        const int qa = std::max(minQ, sampleX(r.left() + offset.x()));
        const int qb = std::min(maxQ, sampleX(r.right() + 1 + offset.x()));
        const int ra = std::max(minR, sampleY(r.top() + offset.y()));
        const int rb = std::min(maxR, sampleY(r.bottom() + 1 + offset.y()));
        if (qa >= qb || ra >= rb)
            continue;
        const int firstColumn = qa / Samples, lastColumn = (qb - 1) / Samples;
        for (int py = ra / Samples; py <= (rb - 1) / Samples; ++py) {
            const unsigned rows =
                run(std::max(ra, Samples * py) - Samples * py, std::min(rb, Samples * py + Samples) - Samples * py);
            std::uint16_t* line = mask.data() + static_cast<std::size_t>(py - y0) * w;
            if (firstColumn == lastColumn) {
                line[firstColumn - x0] |=
                    sampleBits(run(qa - Samples * firstColumn, qb - Samples * firstColumn), rows);
                continue;
            }
            line[firstColumn - x0] |= sampleBits(run(qa - Samples * firstColumn, Samples), rows);
            const std::uint16_t whole = sampleBits(0xF, rows);
            for (int px = firstColumn + 1; px < lastColumn; ++px)
                line[px - x0] |= whole;
            line[lastColumn - x0] |= sampleBits(run(0, qb - Samples * lastColumn), rows);
        }
    }
}

void SampledCanvas::coverOutside(const QRect& board, QRgb colour) {
    // Samples inside the board: those whose board pixel is in it.
    const int qa = sampleX(board.left()), qb = sampleX(board.right() + 1);
    const int ra = sampleY(board.top()), rb = sampleY(board.bottom() + 1);
    const std::uint64_t c = packed(colour);
    for (int y = 0; y < height_; ++y) {
        const unsigned rows = run(std::clamp(ra - Samples * y, 0, Samples), std::clamp(rb - Samples * y, 0, Samples));
        for (int x = 0; x < width_; ++x) {
            const unsigned columns =
                run(std::clamp(qa - Samples * x, 0, Samples), std::clamp(qb - Samples * x, 0, Samples));
            const std::uint16_t outside = static_cast<std::uint16_t>(~sampleBits(columns, rows));
            if (!outside)
                continue;
            const std::size_t k = static_cast<std::size_t>(y) * width_ + x;
            const std::uint16_t fresh = outside & ~covered_[k];
            sum_[k] += std::popcount(fresh) * c;
            covered_[k] |= outside;
        }
    }
}

void SampledCanvas::addElement(const QRegion& boardRegion, const QRegion& pictureRegion, QPoint pictureOffset,
                               const PictureSampler& picture, QRgb outline) {
    const QRect box = transform_.deviceRect(boardRegion.boundingRect()).intersected(QRect(0, 0, width_, height_));
    if (box.isEmpty())
        return;
    const int x0 = box.left(), y0 = box.top(), w = box.width(), h = box.height();
    all_.assign(static_cast<std::size_t>(w) * h, 0);
    picture_.assign(static_cast<std::size_t>(w) * h, 0);
    rasterise(boardRegion, QPoint(0, 0), all_, x0, y0, w, h);
    rasterise(pictureRegion, pictureOffset, picture_, x0, y0, w, h);
    const std::uint64_t band = packed(outline);
    for (int j = 0; j < h; ++j) {
        const std::uint16_t* all = all_.data() + static_cast<std::size_t>(j) * w;
        const std::uint16_t* pic = picture_.data() + static_cast<std::size_t>(j) * w;
        std::uint16_t* covered = covered_.data() + static_cast<std::size_t>(y0 + j) * width_ + x0;
        std::uint64_t* sum = sum_.data() + static_cast<std::size_t>(y0 + j) * width_ + x0;
        for (int i = 0; i < w; ++i) {
            const std::uint16_t fresh = all[i] & ~covered[i];
            if (!fresh)
                continue;
            const int shown = std::popcount(static_cast<std::uint16_t>(fresh & pic[i]));
            const int outlined = std::popcount(fresh) - shown;
            std::uint64_t add = outlined * band;
            if (shown)
                add += shown * packed(picture.sample(x0 + i, y0 + j));
            sum[i] += add;
            covered[i] |= all[i];
        }
    }
}

void SampledCanvas::finish(const PictureSampler& texture, QRgb colour) {
    const std::uint64_t solid = packed(colour);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const std::size_t k = static_cast<std::size_t>(y) * width_ + x;
            const std::uint16_t rest = static_cast<std::uint16_t>(~covered_[k]);
            if (!rest)
                continue;
            sum_[k] += std::popcount(rest) * (texture.image ? packed(texture.sample(x, y)) : solid);
            covered_[k] = 0xFFFF;
        }
    }
}

void SampledCanvas::store(QImage& target, QPoint at) const {
    const QRect area = QRect(at, QSize(width_, height_)).intersected(target.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(target.scanLine(y));
        const std::uint64_t* sum = sum_.data() + static_cast<std::size_t>(y - at.y()) * width_;
        for (int x = area.left(); x <= area.right(); ++x) {
            const std::uint64_t s = sum[x - at.x()];
            line[x] = qRgb(int(((s >> 32) + 8) >> 4), int((((s >> 16) & 0xFFFF) + 8) >> 4), int(((s & 0xFFFF) + 8) >> 4));
        }
    }
}

QImage SampledCanvas::premultiplied() const {
    QImage image(width_, height_, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    for (int y = 0; y < height_; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width_; ++x) {
            const std::size_t k = static_cast<std::size_t>(y) * width_ + x;
            const int n = std::popcount(covered_[k]);
            const std::uint64_t s = sum_[k];
            line[x] = qRgba(int(((s >> 32) + 8) >> 4), int((((s >> 16) & 0xFFFF) + 8) >> 4),
                            int(((s & 0xFFFF) + 8) >> 4), (n * 255 + 8) >> 4);
        }
    }
    return image;
}
