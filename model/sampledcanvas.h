#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <algorithm>
#include <cstdint>
#include <vector>

// Where board pixels land on a device: device = board * scale + offset. The window's view at
// any scale, a tile of it, or a later high-DPI device all say so with one of these.
struct DeviceTransform {
    double scale = 1.0;
    double dx = 0.0;
    double dy = 0.0;

    // The same transform for an image whose pixel (0, 0) is device pixel `origin`.
    DeviceTransform from(QPoint origin) const { return {scale, dx - origin.x(), dy - origin.y()}; }
    // The device pixels any part of a board rectangle reaches.
    QRect deviceRect(const QRect& board) const;
};

// A picture read at any point with bilinear weights, pixel centres at half-integer points:
// 32 or 24 bits a pixel. `sample(x, y)` reads at the centre of device pixel (x, y) through an
// affine map: point = origin + x * alongX + y * alongY (picture pixels of the image read).
struct PictureSampler {
    const QImage* image = nullptr;
    double originX = 0, originY = 0;
    double xx = 0, xy = 0; // one device pixel to the right moves the point by (xx, xy)
    double yx = 0, yy = 0; // one device pixel down moves it by (yx, yy)
    bool wrap = false;     // a repeating texture rather than a picture with edges

    QRgb sample(int x, int y) const;
};

// A region as the runs of each of its rows, for drawing far out, where a row of samples reads one
// board row: a few hundred bytes where the region's rectangles take kilobytes, and a row is found
// at once rather than by walking the rectangles above it. Shared by every element of one shape;
// the rows and their runs lie in one block, as drawing far out waits on memory more than it
// computes.
struct RowSpans {
    QRect bounds; // the region's bounding rectangle
    // Per row from bounds.top(): where its band starts in `cells` (the rows of a band share it),
    // and one more: an empty band. A band: how many runs, then each run's left and right + 1,
    // relative to bounds.left().
    std::vector<std::int16_t> cells;

    // False (and nothing kept) for a region too wide or with too many runs for sixteen bits.
    bool build(const QRegion& region);
    std::int64_t bytes() const { return static_cast<std::int64_t>(cells.capacity() * sizeof(std::int16_t)); }
};

// Draws the table at any scale with smooth edges. Each device pixel holds sixteen samples, four
// by four; an element covers the samples whose board pixel its region holds, and a pixel shows
// the mean of what its samples show. Elements are given from the top of the stack down and a
// sample keeps the first that covers it, so elements meeting along an edge leave no trace of
// the background between them, however the edge cuts the pixel. Every pixel depends on its own
// samples alone: any part of an area painted on its own gives the pixels painting all of it gives.
class SampledCanvas {
public:
    // A fresh canvas of `size` device pixels, nothing covered: its pixel (0, 0) is device pixel
    // `at` of `transform`, as are the device pixels the samplers given to it read at. Every
    // position is worked out from the transform's origin and moved by whole pixels, so a pixel
    // comes out the same on any canvas of one transform that holds it: part of a tile drawn again
    // gives, bit for bit, what drawing the whole tile gives.
    void begin(QSize size, const DeviceTransform& transform, QPoint at = QPoint());
    QSize size() const { return {width_, height_}; }

    // Samples whose board pixel lies outside `board` show `colour`; nothing drawn later covers them.
    void coverOutside(const QRect& board, QRgb colour);
    // An element below every one given before: its board region shows the outline colour,
    // but where its picture region (which lies inside the board region) shows the picture.
    void addElement(const QRegion& boardRegion, const QRegion& pictureRegion, QPoint pictureOffset,
                    const PictureSampler& picture, QRgb outline);
    // The same for regions given as runs, moved by `offset` (board and picture alike), far out
    // alone (farOut()): every sample as the regions themselves give it.
    void addElement(const RowSpans& boardRegion, const RowSpans& pictureRegion, QPoint offset,
                    const PictureSampler& picture, QRgb outline);
    // Far out, asks the memory for what drawing that element will read (its rows, the canvas
    // under it) while others are drawn: the elements of a tile lie anywhere on it, and drawing
    // one waits on memory more than it computes. Changes no pixel.
    void prefetch(const RowSpans& boardRegion, const RowSpans& pictureRegion, QPoint offset);
    // The same for the texels of the picture it shows, scattered over the picture as the
    // elements lie scattered over the table.
    void prefetchPicture(const RowSpans& boardRegion, QPoint offset, const PictureSampler& picture);
    // A board pixel is no wider than a sample: a row of samples reads one board row.
    bool farOut() const { return farOutAt(transform_.scale); }
    // The same for a canvas of `scale` device pixels per board pixel, before one is begun.
    static bool farOutAt(double scale) { return 4 * scale < 1.0; }
    // The same with both regions in the pixels of a finer grid, `ratio` of them to a board pixel
    // (a screen's device pixels), their (0, 0) at board point origin / ratio; the element is
    // drawn no further than the device pixels `boardBounds` reaches.
    void addFineElement(const QRect& boardBounds, const QRegion& region, const QRegion& pictureRegion,
                        QPoint origin, double ratio, const PictureSampler& picture, QRgb outline);
    // Whatever is left uncovered shows the background: a solid colour when `texture` has no image.
    void finish(const PictureSampler& texture, QRgb colour);
    // finish and store in one pass over the canvas, for a canvas drawn once and then dropped:
    // the pixels `target` gets are store's, the canvas itself is left as it was.
    void finish(const PictureSampler& texture, QRgb colour, QImage& target, QPoint at);

    // Opaque pixels into `target` (Format_RGB32) at `at`.
    void store(QImage& target, QPoint at) const;
    // Pixels with the coverage as alpha (Format_ARGB32_Premultiplied, the canvas's size):
    // uncovered samples stay transparent. For an element drawn over what lies below it.
    QImage premultiplied() const;

private:
    // The image elements read, as the drawing reads it: looked up once, not for every element.
    struct Source {
        const QImage* image = nullptr;
        const uchar* bits = nullptr;
        qsizetype stride = 0;
        int width = 0, height = 0;
        bool packed24 = false; // 24 bits a pixel
    };
    const Source& source(const QImage* image);
    // The canvas pixels an element within `board` reaches.
    QRect box(const QRect& board) const {
        return transform_.deviceRect(board).translated(-at_).intersected(QRect(0, 0, width_, height_));
    }
    // Units of a region to sample coordinates: sample = (unit + offset) * along + across, less the
    // canvas's first sample column (row) of the transform.
    struct Grid {
        double along, acrossX, acrossY;
        int firstColumn, firstRow;
    };
    Grid boardGrid() const { return {along_, acrossX_, acrossY_, firstColumn_, firstRow_}; }
    // Adds the masks made for the canvas pixels of `box` to what is drawn.
    void blendMasks(const QRect& box, const PictureSampler& picture, QRgb outline);
    // Sets the bits of the samples the rectangles of `region` (moved by `offset`) cover into
    // `mask`, a w x h block of pixels at (x0, y0).
    void rasterise(const QRegion& region, QPoint offset, const Grid& grid, std::vector<std::uint16_t>& mask,
                   int x0, int y0, int w, int h) const;
    // Far out, pixel row by pixel row: the masks of one row made from the regions' runs and added
    // at once, while they are in the cache.
    template <int Bytes>
    void addRows(const RowSpans& boardRegion, const RowSpans& pictureRegion, QPoint offset, const QRect& box,
                 const PictureSampler& picture, const Source& from, QRgb outline);
    // Far out, where the board's rows and columns fall among the samples is the same for every
    // element: worked out once per canvas, as sampleX and sampleY would, clamped to the canvas.
    void buildFarTables();
    // Runs pixel(x, y, k, sum, added) for each pixel (x, y) of `area` (canvas pixels, k its
    // index): its sum with what the background adds to the samples nothing covered, and
    // whether it added any.
    template <class Pixel>
    void withBackground(const PictureSampler& texture, QRgb colour, const QRect& area, Pixel pixel) const;
    int columnAt(int boardX) const;
    int rowAt(int boardY) const;
    // The first column (row) of samples at or after a board x (y): the smallest integer not below
    // its sample coordinate, rounded without a call into the library.
    static int ceiling(double v) {
        const int i = static_cast<int>(v);
        return i + (v > i ? 1 : 0);
    }
    int sampleX(double boardX) const { return ceiling(boardX * along_ + acrossX_) - firstColumn_; }
    int sampleY(double boardY) const { return ceiling(boardY * along_ + acrossY_) - firstRow_; }

    int width_ = 0, height_ = 0;
    DeviceTransform transform_;
    QPoint at_;                          // the canvas's pixel (0, 0) in the transform's device pixels
    int firstColumn_ = 0, firstRow_ = 0; // its first sample column and row in the transform's
    Source source_;
    double along_ = 4.0, acrossX_ = -0.5, acrossY_ = -0.5; // board to the transform's sample coordinates
    std::vector<std::uint16_t> covered_;
    std::vector<std::uint64_t> sum_; // 16 bits a channel: red << 32 | green << 16 | blue
    std::vector<std::uint16_t> all_, picture_;
    // Far out: the board row each row of samples reads; the first sample column (row) at or after
    // each board x (y) from columnBase_ (rowBase_) on, empty where the table would be too long.
    std::vector<std::int32_t> boardRowOf_, columnOf_, rowOf_;
    int columnBase_ = 0, rowBase_ = 0;
};

// The tables end in values at or beyond the canvas's edges: a board x (y) past them is read there.
inline int SampledCanvas::columnAt(int boardX) const {
    if (columnOf_.empty())
        return std::clamp(sampleX(boardX), 0, 4 * width_);
    const std::int64_t k = std::int64_t(boardX) - columnBase_;
    return columnOf_[static_cast<std::size_t>(std::clamp<std::int64_t>(k, 0, std::ssize(columnOf_) - 1))];
}

inline int SampledCanvas::rowAt(int boardY) const {
    if (rowOf_.empty())
        return std::clamp(sampleY(boardY), 0, 4 * height_);
    const std::int64_t k = std::int64_t(boardY) - rowBase_;
    return rowOf_[static_cast<std::size_t>(std::clamp<std::int64_t>(k, 0, std::ssize(rowOf_) - 1))];
}
