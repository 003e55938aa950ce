#include "model/sampledcanvas.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <type_traits>

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

// Ors the bits of sample columns qa..qb-1 (0 <= qa) in the sample rows `rows` (rowSpread of a
// set of rows) of each pixel into a row of masks whose first pixel is x0.
inline void orRun(std::uint16_t* line, int x0, int qa, int qb, unsigned rows) {
    if (qa >= qb)
        return;
    const int pa = qa / Samples, pb = (qb - 1) / Samples;
    if (pa == pb) {
        line[pa - x0] |= static_cast<std::uint16_t>(run(qa - Samples * pa, qb - Samples * pa) * rows);
        return;
    }
    line[pa - x0] |= static_cast<std::uint16_t>(run(qa - Samples * pa, Samples) * rows);
    const auto whole = static_cast<std::uint16_t>(0xFu * rows);
    for (int px = pa + 1; px < pb; ++px)
        line[px - x0] |= whole;
    line[pb - x0] |= static_cast<std::uint16_t>(run(0, qb - Samples * pb) * rows);
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

// Samples in a sixteen-bit set: a table, as not every processor counts bits itself.
constexpr std::array<std::uint8_t, 256> bitsIn = [] {
    std::array<std::uint8_t, 256> n{};
    for (int v = 0; v < 256; ++v)
        n[v] = static_cast<std::uint8_t>(std::popcount(static_cast<unsigned>(v)));
    return n;
}();
inline int count(std::uint16_t bits) {
    return bitsIn[bits & 0xFF] + bitsIn[bits >> 8];
}

// A sampler's map in fixed point (16 fractional bits), read pixel by pixel.
struct Fetch {
    const uchar* bits = nullptr;
    qsizetype stride = 0;
    int w = 0, h = 0;
    std::int64_t ox = 0, oy = 0, xx = 0, xy = 0, yx = 0, yy = 0;

    Fetch() = default;
    explicit Fetch(const PictureSampler& s) {
        if (!s.image)
            return;
        const QImage& image = *s.image;
        set(s, image.constBits(), image.bytesPerLine(), image.width(), image.height());
    }
    Fetch(const PictureSampler& s, const uchar* from, qsizetype bytesPerLine, int width, int height) {
        set(s, from, bytesPerLine, width, height);
    }

    void set(const PictureSampler& s, const uchar* from, qsizetype bytesPerLine, int width, int height) {
        bits = from, stride = bytesPerLine, w = width, h = height;
        constexpr double one = 65536.0;
        // The texel centres lie at half-integer points.
        ox = rounded((s.originX - 0.5) * one), oy = rounded((s.originY - 0.5) * one);
        xx = rounded(s.xx * one), xy = rounded(s.xy * one);
        yx = rounded(s.yx * one), yy = rounded(s.yy * one);
    }
    // Reads for pixel (x, y) what the map gives at (x + at.x, y + at.y): moved in whole steps of
    // the fixed-point map, so every canvas of one map reads a pixel at the same point.
    Fetch& movedBy(QPoint at) {
        ox += at.x() * xx + at.y() * yx;
        oy += at.x() * xy + at.y() * yy;
        return *this;
    }

    // std::llround without a call into the library (every element far out makes a Fetch): the
    // difference from the truncated value is exact below 2^52.
    static std::int64_t rounded(double v) {
        if (!(std::abs(v) < 0x1p52))
            return std::llround(v);
        std::int64_t i = static_cast<std::int64_t>(v);
        const double rest = v - static_cast<double>(i);
        if (rest >= 0.5)
            ++i;
        else if (rest <= -0.5)
            --i;
        return i;
    }

    // Inlined: it runs for every pixel an element shows.
    template <int Bytes, bool Wrap> [[gnu::always_inline]] inline QRgb at(int x, int y) const {
        const std::int64_t fx = ox + x * xx + y * yx, fy = oy + x * xy + y * yy;
        int x0 = static_cast<int>(fx >> 16), y0 = static_cast<int>(fy >> 16);
        const quint32 wx = static_cast<quint32>(fx >> 8) & 0xFF, wy = static_cast<quint32>(fy >> 8) & 0xFF;
        int x1 = x0 + 1, y1 = y0 + 1;
        if constexpr (Wrap) {
            x0 = ((x0 % w) + w) % w, y0 = ((y0 % h) + h) % h;
            x1 = x0 + 1 == w ? 0 : x0 + 1, y1 = y0 + 1 == h ? 0 : y0 + 1;
        } else {
            x0 = std::clamp(x0, 0, w - 1), x1 = std::clamp(x1, 0, w - 1);
            y0 = std::clamp(y0, 0, h - 1), y1 = std::clamp(y1, 0, h - 1);
        }
        const uchar* line0 = bits + y0 * stride;
        const uchar* line1 = bits + y1 * stride;
        const quint32 top = mix(texel<Bytes>(line0, x0), texel<Bytes>(line0, x1), wx);
        const quint32 bottom = mix(texel<Bytes>(line1, x0), texel<Bytes>(line1, x1), wx);
        return 0xff000000u | mix(top, bottom, wy);
    }
};

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
    const Fetch fetch(*this);
    if (image->format() == QImage::Format_RGB888)
        return wrap ? fetch.at<3, true>(x, y) : fetch.at<3, false>(x, y);
    return wrap ? fetch.at<4, true>(x, y) : fetch.at<4, false>(x, y);
}

void SampledCanvas::begin(QSize size, const DeviceTransform& transform, QPoint at) {
    width_ = std::max(0, size.width());
    height_ = std::max(0, size.height());
    transform_ = transform;
    at_ = at;
    firstColumn_ = Samples * at.x();
    firstRow_ = Samples * at.y();
    // Sample column of board x: the first whose centre, (q + 1/2) / 4 device pixels, is at or
    // right of x's device position.
    along_ = Samples * transform.scale;
    acrossX_ = Samples * transform.dx - 0.5;
    acrossY_ = Samples * transform.dy - 0.5;
    const std::size_t n = static_cast<std::size_t>(width_) * height_;
    covered_.assign(n, 0);
    sum_.assign(n, 0);
    boardRowOf_.clear(); // the far-out tables are made when first drawn from
    source_ = Source{};
}

void SampledCanvas::rasterise(const QRegion& region, QPoint offset, const Grid& grid,
                              std::vector<std::uint16_t>& mask, int x0, int y0, int w, int h) const {
    const auto sampleX = [&](int x) { return ceiling(x * grid.along + grid.acrossX) - grid.firstColumn; };
    const auto sampleY = [&](int y) { return ceiling(y * grid.along + grid.acrossY) - grid.firstRow; };
    const int minQ = Samples * x0, maxQ = Samples * (x0 + w);
    const int minR = Samples * y0, maxR = Samples * (y0 + h);
    if (grid.along < 1.0) {
        // Far out a board row holds a row of samples at most: each row of samples finds the band
        // of rectangles it lies in, rather than every band working out its rows.
        const QRect* rect = region.begin();
        const QRect* const end = region.end();
        if (rect == end)
            return;
        const QRect bounds = region.boundingRect();
        const int ra = std::max(minR, sampleY(bounds.top() + offset.y()));
        const int rb = std::min(maxR, sampleY(bounds.bottom() + 1 + offset.y()));
        for (int r = ra; r < rb; ++r) {
            // The board row whose pixels hold this row of samples: sampleY(y) <= r < sampleY(y + 1).
            const int y =
                static_cast<int>(std::floor((r + grid.firstRow - grid.acrossY) / grid.along)) - offset.y();
            while (rect != end && rect->bottom() < y)
                ++rect;
            if (rect == end)
                break;
            if (rect->top() > y)
                continue; // between two bands
            std::uint16_t* line = mask.data() + static_cast<std::size_t>(r / Samples - y0) * w;
            for (const QRect* q = rect; q != end && q->top() == rect->top(); ++q)
                orRun(line, x0, std::max(minQ, sampleX(q->left() + offset.x())),
                      std::min(maxQ, sampleX(q->right() + 1 + offset.x())), rowSpread[1u << (r % Samples)]);
        }
        return;
    }
    // A region's rectangles come in bands of one top and bottom; zoomed far out most bands (a
    // scan line each) hold no row of samples at all.
    int bandTop = std::numeric_limits<int>::min(), ra = 0, rb = 0;
    for (const QRect& r : region) {
        if (r.top() != bandTop) {
            bandTop = r.top();
            ra = std::max(minR, sampleY(r.top() + offset.y()));
            rb = std::min(maxR, sampleY(r.bottom() + 1 + offset.y()));
        }
        if (ra >= rb)
            continue;
        const int qa = std::max(minQ, sampleX(r.left() + offset.x()));
        const int qb = std::min(maxQ, sampleX(r.right() + 1 + offset.x()));
        if (qa >= qb)
            continue;
        const int firstColumn = qa / Samples, lastColumn = (qb - 1) / Samples;
        for (int py = ra / Samples; py <= (rb - 1) / Samples; ++py) {
            const unsigned rows = run(std::max(ra, Samples * py) - Samples * py,
                                      std::min(rb, Samples * py + Samples) - Samples * py);
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

bool RowSpans::build(const QRegion& region) {
    bounds = region.boundingRect();
    cells.clear();
    constexpr std::size_t limit = std::numeric_limits<std::int16_t>::max();
    const int rows = bounds.isEmpty() ? 0 : bounds.height();
    if (bounds.width() > static_cast<int>(limit) - 1 || static_cast<std::size_t>(rows) + 1 > limit)
        return false;
    const QRect* const first = region.begin();
    const QRect* const end = region.end();
    // The rectangles come in bands of one top and bottom, left to right: the rows of a band
    // share its runs. Counted first, so that the cells take one allocation of their size.
    std::size_t size = static_cast<std::size_t>(rows) + 1;
    for (const QRect* r = first; r != end; ++r)
        size += r == first || r->top() != r[-1].top() ? 3 : 2;
    if (size > limit)
        return false;
    cells.resize(size);
    cells[rows] = 0; // no runs, for the rows between bands
    std::size_t next = static_cast<std::size_t>(rows) + 1;
    int row = 0;
    for (const QRect* r = first; r != end;) {
        const QRect* bandEnd = r;
        while (bandEnd != end && bandEnd->top() == r->top())
            ++bandEnd;
        for (; row < r->top() - bounds.top(); ++row)
            cells[row] = static_cast<std::int16_t>(rows);
        const auto start = static_cast<std::int16_t>(next);
        cells[next++] = static_cast<std::int16_t>(bandEnd - r);
        for (const QRect* q = r; q != bandEnd; ++q) {
            cells[next++] = static_cast<std::int16_t>(q->left() - bounds.left());
            cells[next++] = static_cast<std::int16_t>(q->right() + 1 - bounds.left());
        }
        for (; row <= r->bottom() - bounds.top(); ++row)
            cells[row] = start;
        r = bandEnd;
    }
    return true;
}

void SampledCanvas::coverOutside(const QRect& board, QRgb colour) {
    // Samples inside the board: those whose board pixel is in it.
    const int qa = sampleX(board.left()), qb = sampleX(board.right() + 1);
    const int ra = sampleY(board.top()), rb = sampleY(board.bottom() + 1);
    if (qa <= 0 && qb >= Samples * width_ && ra <= 0 && rb >= Samples * height_)
        return; // the canvas lies on the board: every tile but those along its edges
    const std::uint64_t c = packed(colour);
    for (int y = 0; y < height_; ++y) {
        const unsigned rows =
            run(std::clamp(ra - Samples * y, 0, Samples), std::clamp(rb - Samples * y, 0, Samples));
        for (int x = 0; x < width_; ++x) {
            const unsigned columns =
                run(std::clamp(qa - Samples * x, 0, Samples), std::clamp(qb - Samples * x, 0, Samples));
            const std::uint16_t outside = static_cast<std::uint16_t>(~sampleBits(columns, rows));
            if (!outside)
                continue;
            const std::size_t k = static_cast<std::size_t>(y) * width_ + x;
            const std::uint16_t fresh = outside & ~covered_[k];
            sum_[k] += count(fresh) * c;
            covered_[k] |= outside;
        }
    }
}

namespace {

// Adds what an element shows to the samples no element above it took, for w pixels of one row
// from canvas pixel (x0, y): its masks, and the coverage and sums of the canvas there.
template <int Bytes>
inline void blendRow(const std::uint16_t* all, const std::uint16_t* pic, int w, std::uint16_t* cover,
                     std::uint64_t* sum, const Fetch& fetch, std::uint64_t band, int x0, int y) {
    for (int i = 0; i < w; ++i) {
        const std::uint16_t fresh = all[i] & ~cover[i];
        if (!fresh)
            continue;
        const int shown = count(static_cast<std::uint16_t>(fresh & pic[i]));
        std::uint64_t add = (count(fresh) - shown) * band;
        if (shown)
            add += shown * packed(fetch.at<Bytes, false>(x0 + i, y));
        sum[i] += add;
        cover[i] |= all[i];
    }
}

// The same for w x h pixels of masks from canvas pixel (x0, y0) on.
template <int Bytes>
void blend(const std::uint16_t* allMasks, const std::uint16_t* pictureMasks, int x0, int y0, int w, int h,
           int width, std::uint16_t* covered, std::uint64_t* sums, const PictureSampler& picture, QPoint at,
           QRgb outline) {
    Fetch fetch(picture);
    fetch.movedBy(at);
    const std::uint64_t band = packed(outline);
    for (int j = 0; j < h; ++j) {
        const std::size_t k = static_cast<std::size_t>(y0 + j) * width + x0;
        blendRow<Bytes>(allMasks + static_cast<std::size_t>(j) * w,
                        pictureMasks + static_cast<std::size_t>(j) * w, w, covered + k, sums + k, fetch, band,
                        x0, y0 + j);
    }
}

} // namespace

void SampledCanvas::addElement(const QRegion& boardRegion, const QRegion& pictureRegion, QPoint pictureOffset,
                               const PictureSampler& picture, QRgb outline) {
    const QRect box = this->box(boardRegion.boundingRect());
    if (box.isEmpty())
        return;
    const Grid grid = boardGrid();
    const int x0 = box.left(), y0 = box.top(), w = box.width(), h = box.height();
    all_.assign(static_cast<std::size_t>(w) * h, 0);
    picture_.assign(static_cast<std::size_t>(w) * h, 0);
    rasterise(boardRegion, QPoint(0, 0), grid, all_, x0, y0, w, h);
    rasterise(pictureRegion, pictureOffset, grid, picture_, x0, y0, w, h);
    blendMasks(box, picture, outline);
}

void SampledCanvas::addElement(const RowSpans& boardRegion, const RowSpans& pictureRegion, QPoint offset,
                               const PictureSampler& picture, QRgb outline) {
    const QRect box = this->box(boardRegion.bounds.translated(offset));
    if (box.isEmpty())
        return;
    if (boardRowOf_.empty())
        buildFarTables();
    const Source& from = source(picture.image);
    if (from.packed24)
        addRows<3>(boardRegion, pictureRegion, offset, box, picture, from, outline);
    else
        addRows<4>(boardRegion, pictureRegion, offset, box, picture, from, outline);
}

const SampledCanvas::Source& SampledCanvas::source(const QImage* image) {
    if (source_.image != image) {
        source_ = Source{image,          image->constBits(), image->bytesPerLine(),
                         image->width(), image->height(),    image->format() == QImage::Format_RGB888};
    }
    return source_;
}

void SampledCanvas::prefetch(const RowSpans& boardRegion, const RowSpans& pictureRegion, QPoint offset) {
    if (width_ == 0 || height_ == 0)
        return;
    if (boardRowOf_.empty())
        buildFarTables();
    const auto lines = [](const void* start, std::size_t bytes, auto hint) {
        const char* const first = static_cast<const char*>(start);
        for (std::size_t k = 0; k < bytes; k += 64)
            __builtin_prefetch(first + k, decltype(hint)::value);
        __builtin_prefetch(first + bytes - 1, decltype(hint)::value);
    };
    using Read = std::integral_constant<int, 0>;
    using Write = std::integral_constant<int, 1>;
    // The rows of a shape are a few hundred bytes; a far larger one is read in part.
    for (const RowSpans* region : {&boardRegion, &pictureRegion})
        if (!region->cells.empty())
            lines(region->cells.data(),
                  std::min<std::size_t>(region->cells.size() * sizeof(std::int16_t), 1024), Read{});
    // The canvas under it. (Its picture's texels are not asked for: that showed no gain.)
    const QRect& b = boardRegion.bounds;
    const int ra = rowAt(b.top() + offset.y()), rb = rowAt(b.top() + b.height() + offset.y());
    const int qa = columnAt(b.left() + offset.x()), qb = columnAt(b.left() + b.width() + offset.x());
    if (ra >= rb || qa >= qb)
        return;
    const int x0 = qa / Samples, x1 = std::min((qb - 1) / Samples, x0 + 63);
    for (int y = ra / Samples; y <= (rb - 1) / Samples; ++y) {
        const std::size_t k = static_cast<std::size_t>(y) * width_ + x0;
        lines(covered_.data() + k, static_cast<std::size_t>(x1 - x0 + 1) * sizeof(std::uint16_t), Write{});
        lines(sum_.data() + k, static_cast<std::size_t>(x1 - x0 + 1) * sizeof(std::uint64_t), Write{});
    }
}

void SampledCanvas::prefetchPicture(const RowSpans& boardRegion, QPoint offset,
                                    const PictureSampler& picture) {
    const QRect box = this->box(boardRegion.bounds.translated(offset));
    if (box.isEmpty() || !picture.image)
        return;
    const Source& from = source(picture.image);
    const Fetch fetch = Fetch(picture, from.bits, from.stride, from.width, from.height).movedBy(at_);
    // The texels the box's corners read bound what any of its pixels reads (the map is affine).
    std::int64_t lx = std::numeric_limits<std::int64_t>::max(), ly = lx, hx = -lx, hy = -lx;
    for (const int x : {box.left(), box.right()})
        for (const int y : {box.top(), box.bottom()}) {
            const std::int64_t fx = fetch.ox + x * fetch.xx + y * fetch.yx;
            const std::int64_t fy = fetch.oy + x * fetch.xy + y * fetch.yy;
            lx = std::min(lx, fx), hx = std::max(hx, fx), ly = std::min(ly, fy), hy = std::max(hy, fy);
        }
    const int x0 = static_cast<int>(std::clamp<std::int64_t>(lx >> 16, 0, from.width - 1));
    const int x1 = static_cast<int>(std::clamp<std::int64_t>((hx >> 16) + 1, 0, from.width - 1));
    const int y0 = static_cast<int>(std::clamp<std::int64_t>(ly >> 16, 0, from.height - 1));
    const int y1 = static_cast<int>(std::clamp<std::int64_t>((hy >> 16) + 1, 0, from.height - 1));
    if (y1 - y0 > 64)
        return; // not an element far out
    const int bytes = from.packed24 ? 3 : 4;
    for (int y = y0; y <= y1; ++y) {
        const char* line = reinterpret_cast<const char*>(from.bits + y * from.stride);
        for (int b = x0 * bytes; b < (x1 + 1) * bytes; b += 64)
            __builtin_prefetch(line + b);
        __builtin_prefetch(line + (x1 + 1) * bytes - 1);
    }
}

template <int Bytes>
void SampledCanvas::addRows(const RowSpans& boardRegion, const RowSpans& pictureRegion, QPoint offset,
                            const QRect& box, const PictureSampler& picture, const Source& from,
                            QRgb outline) {
    const int x0 = box.left(), w = box.width();
    const int minQ = Samples * x0, maxQ = Samples * (x0 + w);
    // A region's rows of samples within the box, and where its rows and runs start on the board.
    struct Walk {
        const std::int16_t* cells;
        int ra, rb, top, rows, left;
        const std::int32_t* columns; // the sample column of each x from left on, where the table has them all
    };
    const auto walk = [&](const RowSpans& region) {
        const int top = region.bounds.top() + offset.y(), rows = region.bounds.height();
        const int left = region.bounds.left() + offset.x();
        const std::int64_t from = std::int64_t(left) - columnBase_;
        const bool tabled =
            !columnOf_.empty() && from >= 0 && from + region.bounds.width() < std::ssize(columnOf_);
        return Walk{region.cells.data(),
                    std::max(Samples * box.top(), rowAt(top)),
                    std::min(Samples * (box.bottom() + 1), rowAt(top + rows)),
                    top,
                    rows,
                    left,
                    tabled ? columnOf_.data() + from : nullptr};
    };
    // Ors a band's runs into the masks of the sample rows `rows` (a set of four bits).
    const auto orBand = [&](const Walk& from, int start, unsigned rows, std::uint16_t* line) {
        const std::int16_t* const runs = from.cells + start + 1;
        const unsigned spread = rowSpread[rows];
        const int n = 2 * from.cells[start];
        if (from.columns) {
            for (int k = 0; k < n; k += 2)
                orRun(line, x0, std::max(minQ, from.columns[runs[k]]),
                      std::min(maxQ, from.columns[runs[k + 1]]), spread);
            return;
        }
        for (int k = 0; k < n; k += 2)
            orRun(line, x0, std::max(minQ, columnAt(runs[k] + from.left)),
                  std::min(maxQ, columnAt(runs[k + 1] + from.left)), spread);
    };
    // The sample rows r0..r1-1 of one pixel row, those that read one band taken together.
    const auto orRows = [&](const Walk& from, int r0, int r1, std::uint16_t* line) {
        int band = -1;
        unsigned rows = 0;
        for (int r = std::max(r0, from.ra); r < std::min(r1, from.rb); ++r) {
            const int y = boardRowOf_[r] - from.top;
            if (y < 0 || y >= from.rows)
                continue;
            if (from.cells[y] != band) {
                if (rows)
                    orBand(from, band, rows, line);
                band = from.cells[y], rows = 0;
            }
            rows |= 1u << (r % Samples);
        }
        if (rows)
            orBand(from, band, rows, line);
    };
    const Walk outer = walk(boardRegion), inner = walk(pictureRegion);
    if (all_.size() < static_cast<std::size_t>(w)) {
        all_.resize(static_cast<std::size_t>(w));
        picture_.resize(static_cast<std::size_t>(w));
    }
    std::uint16_t* const all = all_.data();
    // An element joined on every side is its picture region alone: one set of masks serves both.
    const bool alike = &boardRegion == &pictureRegion;
    std::uint16_t* const pic = alike ? all : picture_.data();
    const Fetch fetch = Fetch(picture, from.bits, from.stride, from.width, from.height).movedBy(at_);
    const std::uint64_t band = packed(outline);
    for (int py = std::max(box.top(), outer.ra / Samples); py <= box.bottom() && Samples * py < outer.rb;
         ++py) {
        const std::size_t k = static_cast<std::size_t>(py) * width_ + x0;
        std::uint16_t* const cover = covered_.data() + k;
        // Under elements drawn before, a row is often covered already.
        if (std::all_of(cover, cover + w, [](std::uint16_t c) { return c == 0xFFFF; }))
            continue;
        std::fill_n(all, w, 0);
        orRows(outer, Samples * py, Samples * py + Samples, all);
        if (!alike) {
            std::fill_n(pic, w, 0);
            orRows(inner, Samples * py, Samples * py + Samples, pic);
        }
        blendRow<Bytes>(all, pic, w, cover, sum_.data() + k, fetch, band, x0, py);
    }
}

void SampledCanvas::buildFarTables() {
    boardRowOf_.resize(static_cast<std::size_t>(Samples) * height_);
    for (int r = 0; r < Samples * height_; ++r)
        boardRowOf_[r] = static_cast<int>(std::floor((r + firstRow_ - acrossY_) / along_));
    // Board x (y) lo..hi, where lo has no sample after it and hi every sample before it: beyond
    // them the clamped value is the same as at them.
    const auto table = [this](double across, int first, int samples, auto sample,
                              std::vector<std::int32_t>& out, int& base) {
        out.clear();
        const double start = (first - across) / along_, length = (samples + 2) / along_ + 8;
        if (!(length < (1 << 18)) || !(std::abs(start) < (1 << 30)))
            return; // worked out element by element instead
        int lo = static_cast<int>(std::floor(start)) - 2;
        while (sample(lo) > 0)
            --lo;
        int hi = static_cast<int>(std::ceil(start + samples / along_)) + 2;
        while (sample(hi) < samples)
            ++hi;
        base = lo;
        out.resize(static_cast<std::size_t>(hi - lo) + 1);
        for (int x = lo; x <= hi; ++x)
            out[x - lo] = std::clamp(sample(x), 0, samples);
    };
    table(
        acrossX_, firstColumn_, Samples * width_, [this](int x) { return sampleX(x); }, columnOf_,
        columnBase_);
    table(
        acrossY_, firstRow_, Samples * height_, [this](int y) { return sampleY(y); }, rowOf_, rowBase_);
}

void SampledCanvas::addFineElement(const QRect& boardBounds, const QRegion& region,
                                   const QRegion& pictureRegion, QPoint origin, double ratio,
                                   const PictureSampler& picture, QRgb outline) {
    const QRect box = this->box(boardBounds);
    if (box.isEmpty() || !(ratio > 0.0))
        return;
    const Grid grid{along_ / ratio, acrossX_, acrossY_, firstColumn_, firstRow_};
    const int x0 = box.left(), y0 = box.top(), w = box.width(), h = box.height();
    all_.assign(static_cast<std::size_t>(w) * h, 0);
    picture_.assign(static_cast<std::size_t>(w) * h, 0);
    rasterise(region, origin, grid, all_, x0, y0, w, h);
    rasterise(pictureRegion, origin, grid, picture_, x0, y0, w, h);
    blendMasks(box, picture, outline);
}

void SampledCanvas::blendMasks(const QRect& box, const PictureSampler& picture, QRgb outline) {
    const int x0 = box.left(), y0 = box.top(), w = box.width(), h = box.height();
    if (picture.image->format() == QImage::Format_RGB888)
        blend<3>(all_.data(), picture_.data(), x0, y0, w, h, width_, covered_.data(), sum_.data(), picture,
                 at_, outline);
    else
        blend<4>(all_.data(), picture_.data(), x0, y0, w, h, width_, covered_.data(), sum_.data(), picture,
                 at_, outline);
}

template <class Pixel>
void SampledCanvas::withBackground(const PictureSampler& texture, QRgb colour, const QRect& area,
                                   Pixel pixel) const {
    const std::uint64_t solid = packed(colour);
    // The texture is 32 bits a pixel and repeats along the board's axes: where a column or a
    // row reads it is worked out once.
    const bool textured = texture.image != nullptr && texture.xy == 0 && texture.yx == 0;
    struct Axis {
        int first, second;
        quint32 weight;
    };
    std::vector<Axis> columns, rows;
    const auto axis = [](double origin, double step, int first, int count, int n, std::vector<Axis>& out) {
        out.resize(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k) {
            const double f = origin + (first + k) * step - 0.5;
            const double f0 = std::floor(f);
            const int a = ((static_cast<int>(std::fmod(f0, n)) % n) + n) % n;
            out[k] = {a, a + 1 == n ? 0 : a + 1, static_cast<quint32>((f - f0) * 256.0)};
        }
    };
    if (textured) {
        axis(texture.originX, texture.xx, at_.x(), width_, texture.image->width(), columns);
        axis(texture.originY, texture.yy, at_.y(), height_, texture.image->height(), rows);
    }
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const quint32* line0 = nullptr;
        const quint32* line1 = nullptr;
        if (textured) {
            line0 = reinterpret_cast<const quint32*>(texture.image->constScanLine(rows[y].first));
            line1 = reinterpret_cast<const quint32*>(texture.image->constScanLine(rows[y].second));
        }
        for (int x = area.left(); x <= area.right(); ++x) {
            const std::size_t k = static_cast<std::size_t>(y) * width_ + x;
            const std::uint16_t rest = static_cast<std::uint16_t>(~covered_[k]);
            if (!rest) {
                pixel(x, y, k, sum_[k], false);
                continue;
            }
            std::uint64_t c = solid;
            if (textured) {
                const Axis& a = columns[x];
                c = packed(mix(mix(line0[a.first], line0[a.second], a.weight),
                               mix(line1[a.first], line1[a.second], a.weight), rows[y].weight));
            } else if (texture.image) {
                c = packed(texture.sample(x + at_.x(), y + at_.y()));
            }
            pixel(x, y, k, sum_[k] + count(rest) * c, true);
        }
    }
}

void SampledCanvas::finish(const PictureSampler& texture, QRgb colour) {
    withBackground(texture, colour, QRect(0, 0, width_, height_),
                   [this](int, int, std::size_t k, std::uint64_t sum, bool added) {
                       if (added) {
                           sum_[k] = sum;
                           covered_[k] = 0xFFFF;
                       }
                   });
}

namespace {

[[gnu::always_inline]] inline QRgb opaque(std::uint64_t s) {
    return qRgb(int(((s >> 32) + 8) >> 4), int((((s >> 16) & 0xFFFF) + 8) >> 4),
                int(((s & 0xFFFF) + 8) >> 4));
}

} // namespace

void SampledCanvas::finish(const PictureSampler& texture, QRgb colour, QImage& target, QPoint at) {
    const QRect area = QRect(at, QSize(width_, height_)).intersected(target.rect());
    if (area.isEmpty())
        return;
    uchar* const bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    withBackground(texture, colour, area.translated(-at),
                   [bits, stride, at](int x, int y, std::size_t, std::uint64_t sum, bool) {
                       reinterpret_cast<QRgb*>(bits + (y + at.y()) * stride)[x + at.x()] = opaque(sum);
                   });
}

void SampledCanvas::store(QImage& target, QPoint at) const {
    const QRect area = QRect(at, QSize(width_, height_)).intersected(target.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(target.scanLine(y));
        const std::uint64_t* sum = sum_.data() + static_cast<std::size_t>(y - at.y()) * width_;
        for (int x = area.left(); x <= area.right(); ++x)
            line[x] = opaque(sum[x - at.x()]);
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
            const int n = count(covered_[k]);
            const std::uint64_t s = sum_[k];
            line[x] = qRgba(int(((s >> 32) + 8) >> 4), int((((s >> 16) & 0xFFFF) + 8) >> 4),
                            int(((s & 0xFFFF) + 8) >> 4), (n * 255 + 8) >> 4);
        }
    }
    return image;
}
