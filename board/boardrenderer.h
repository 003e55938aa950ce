#pragma once

#include "board/cellindex.h"
#include "model/picturelevels.h"
#include "model/sampledcanvas.h"
#include "board/selectionoverlay.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <array>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <list>
#include <unordered_map>
#include <vector>

class IBoardHost;
class ICursor;
class ISound;
class QPainter;
struct BoardState;

// Sorts keys largest first, `spare` holding them meanwhile: a tile far out draws thousands of
// elements in the order of their ranks.
void sortDescending(std::vector<std::uint64_t>& keys, std::vector<std::uint64_t>& spare);

// Draws the window from the game's state: the background, the elements in stacking order, each
// from the one picture through its shape as it is turned, and the held element above them, for
// the part of the table the window shows and at its scale. Nothing the size of the board is
// kept. What was drawn is kept in tiles of the view (the part on screen and around it, a few
// screens' worth at most), so scrolling and dragging copy tiles; the rules say what changed
// (BoardState::changes) and only the tiles where it lies are drawn again.
//
// At 100 % an element is drawn exactly as its bitmap would be: the outline colour, the picture
// inside its inner region, copied through its board region. At other scales every pixel is the
// mean of sixteen samples (SampledCanvas), with the picture read from its reduced copies
// (PictureLevels), so a zoomed-out view is smooth and costs what its pixels cost.
//
// On a screen of device pixel ratio r above 1 the tiles hold device pixels: the table is drawn
// at r times the view's scale, from the finer picture where the cut kept one, so nothing is
// drawn at logical pixels and then enlarged. At r = 1 nothing of this is used.
class BoardRenderer {
public:
    static constexpr int elementsAppearWave = 259;
    static constexpr int tileSize = 256; // view pixels a side

    BoardRenderer(BoardState& state, IBoardHost& host, ISound& sound, ICursor& cursor);
    ~BoardRenderer();
    BoardRenderer(const BoardRenderer&) = delete;
    BoardRenderer& operator=(const BoardRenderer&) = delete;

    struct RedrawFlags {
        bool clearBackground = false;
        bool playSound = false;
        bool rebuildBitmaps = false; // the elements' look changed (outline colour); all is drawn anew anyway
        bool rebuildRegions = false;
    };
    // Everything anew: a new game, picture, background, outline or board. With rebuildRegions
    // every element's board region is placed again for its shape and joins.
    void redrawBoard(RedrawFlags flags);
    // How many times everything was drawn anew (tests tell a full redraw from none).
    int redraws() const { return redraws_; }
    // The pause: the window shows the background alone until the next redrawBoard.
    void coverBoard();
    bool covered() const { return covered_; }

    // Takes what the rules changed (BoardState::changes): the tiles where it lies are drawn
    // again when next shown and the window repaints there.
    void flush();

    // The window's paint for part of the client area.
    void paint(QPainter& painter, const QRegion& clientArea);
    // The ratio of the window's device pixels to its logical ones, as its screen has it now; a
    // new ratio drops everything drawn for the old one and repaints the window.
    void setDeviceRatio(double ratio);
    double deviceRatio() const { return deviceRatio_; }
    // Draws one tile that is not drawn yet around the view, or of the whole table's view, so
    // that scrolling and Z find them ready (the window calls it while idle). Returns 0 when
    // there may be more to draw at once, a delay in milliseconds when it should be asked again
    // later, -1 when there is nothing left.
    int prefetch();
    static constexpr int prefetchDelay = 40;
    static constexpr int wholeTableAheadFrom = 1000; // elements

    // The table at 100 % inside a board rectangle, as the window shows it there when scrolled to
    // it: with the held element, or what lies under the hand (tests compare both).
    QImage boardImage(const QRect& boardRect, bool withHeld = true);

    // Refreshes the element's board region for its current position, shape and join state.
    void placeBoardRegion(int i);

    // Marks part of the client area for repainting; inside a batch the areas are collected and
    // handed to the window once, when the outermost batch ends.
    void invalidate(const QRegion& clientArea);
    // Collects the invalidations of an operation that touches many elements. Each region the
    // window adds to its update area costs time in the number of rectangles already there, so
    // thousands of them are given as their bounding rectangle instead.
    class InvalidationBatch {
    public:
        explicit InvalidationBatch(BoardRenderer& renderer);
        ~InvalidationBatch();
        InvalidationBatch(const InvalidationBatch&) = delete;
        InvalidationBatch& operator=(const InvalidationBatch&) = delete;

    private:
        BoardRenderer& renderer_;
    };

    // What the caches hold, for the measurements: tiles, the picture's reduced copies, the index.
    struct Memory {
        std::int64_t tiles = 0;
        int tileCount = 0;
        std::int64_t pictureLevels = 0;
        std::int64_t index = 0;
        std::int64_t shapeRows = 0;
        std::int64_t deviceShapes = 0;
    };
    Memory memory();
    // Forgets everything drawn so far (tests compare with a paint from nothing).
    void dropCaches();
    // Waits for the picture's reduced copies (benchmarks, tests).
    void waitForPictureLevels() { levels_.wait(); }

private:
    // The region of element i moved into client coordinates.
    QRegion clientRegion(int i) const;
    struct TileKey {
        double scale;
        int x, y;
        friend bool operator==(const TileKey&, const TileKey&) = default;
    };
    struct TileKeyHash {
        std::size_t operator()(const TileKey& k) const;
    };
    // The bounds of rectangles added one by one, kept as four numbers: a flush adds tens of
    // thousands, and a QRect union per rectangle costs a call into Qt each.
    struct Bounds {
        int left = std::numeric_limits<int>::max(), top = std::numeric_limits<int>::max();
        int right = std::numeric_limits<int>::min(), bottom = std::numeric_limits<int>::min();
        bool isEmpty() const { return left > right; }
        void add(const QRect& r) { // r valid
            left = std::min(left, r.left()), top = std::min(top, r.top());
            right = std::max(right, r.right()), bottom = std::max(bottom, r.bottom());
        }
        QRect rect() const { return isEmpty() ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom)); }
    };
    struct Tile {
        QImage image; // the part of the tile that lies on the drawn table
        QRect area;   // that part, in view pixels of the tile's scale
        QRect dirty;  // what must be drawn again, in the same coordinates
        std::list<TileKey>::iterator use;
    };
    // What one thread needs to draw: kept, so drawing does not touch fresh memory every time.
    struct Scratch {
        QImage element;       // an element at 100 %
        SampledCanvas canvas; // any other scale
        std::vector<std::int32_t> found;
        std::vector<std::uint64_t> keys;  // found's ranks while they are sorted
        std::vector<std::uint64_t> spare; // the keys' other half while they are sorted
    };
    // The view pixels (of its scale) that a tile covers and that anything is drawn in.
    QRect tileArea(const TileKey& key) const;
    Tile& tileFor(const TileKey& key);
    // Draws the missing or dirty tile of a scale within an area that lies nearest `centre`;
    // false when there is none.
    bool prefetchNear(double scale, const QRect& area, QPoint centre);
    // While the picture's reduced copies are made: the shapes' rows, then the tiles of `area`
    // (view pixels of `scale`) made and their memory touched, a few at each call. False when
    // there is nothing left to make ready.
    bool prepareAhead(double scale, const QRect& area);
    // Draws what is dirty of the given tiles, on every core when there are several.
    void renderTiles(const std::vector<Tile*>& tiles, double scale);
    // Draws `area` (view pixels of `scale`) into image, whose pixel (0, 0) is view pixel `origin`.
    void renderArea(QImage& image, QPoint origin, const QRect& area, double scale, Scratch& scratch,
                    bool withElements);
    void renderExact(QImage& image, QPoint origin, const QRect& area, Scratch& scratch, bool withElements);
    void renderSampled(QImage& image, QPoint origin, const QRect& area, double scale, Scratch& scratch,
                       bool withElements);
    // The elements on the table (not off it) whose cells meet a board rectangle, bottom first.
    // Into scratch.found.
    void elementsIn(const QRect& boardRect, Scratch& scratch) const;
    // The picture of element i as `level` of the reduced copies holds it (levelIndex), or as the
    // finer picture holds it (levelIndex -1).
    PictureSampler pictureSampler(int i, const DeviceTransform& transform, const QImage& level,
                                  int levelIndex) const;
    // Element i onto the canvas, by the shapes of the screen's device pixels where they differ.
    void addElement(SampledCanvas& canvas, int i, const PictureSampler& picture, QRgb outline);
    // The picture to draw at `scale` device pixels per board pixel: the finer one above 1, where
    // there is one; else the reduced copy for the scale. Sets levelIndex to match.
    const QImage& pictureFor(double scale, int& levelIndex);
    // Device pixels per board pixel of the window as it shows the table now, and where the
    // board's origin lies in them.
    double deviceScale() const;
    QPoint deviceShift() const;
    PictureSampler textureSampler(const DeviceTransform& transform, int levelIndex) const;
    void paintHeld(QPainter& painter, const QRegion& clientArea);
    // At 100 %: the elements of a held selection, other than the held one, where they now lie,
    // bottom first. Zoomed out they show as the selection's ghosts alone.
    void paintMovingSelection(QPainter& painter, const QRegion& clientArea);
    // Element i's look at 100 % into `image` (made the element's size), transparent around its
    // board region.
    void paintLook(QImage& image, int i);
    // A moving element's look: at ratio 1 as above; on a finer screen its device pixels, with its
    // edge's coverage as alpha, placed at `offset` from deviceCorner.
    struct Look {
        QImage image;
        QPoint offset;
        int orientation = 0;
        QPoint phase;
    };
    void paintLook(Look& look, int i);
    // The device pixel the corner of element i's cell lies in, in the window's device pixels,
    // and how far past that pixel's corner it lies.
    QPoint deviceCorner(int i) const;
    QPoint devicePhase(int i) const;
    // The device pixels of the window that element i's board region reaches.
    QRect deviceBox(int i) const;
    // Element i's samples within `box` of them, over nothing: its edge's coverage as alpha.
    QImage deviceLook(int i, const QRect& box);
    // The kept tiles of one scale as a grid over the range they span, so that marking where
    // tens of thousands of changed elements lie costs no lookup for most of them.
    struct TileGrid {
        double scale = 1.0;
        int x0 = 0, y0 = 0, columns = 0, rows = 0;
        std::vector<Tile*> tiles;
        QRect boardSpan; // board pixels that may show in them
    };
    std::vector<TileGrid> tileGrids();
    // The board rectangles of one flush, for the window to repaint.
    struct ClientBounds {
        std::array<QRect, 16> first; // as many as a batch keeps exactly
        Bounds bounds;
        int count = 0;
    };
    // What a flush found: per grid and tile, the bounds of the changed view rectangles that meet
    // the tile's area (clipped to it at the end, they make what the union of each one clipped
    // would), and the board rectangles for the window.
    struct Marks {
        std::vector<std::vector<Bounds>> tiles;
        ClientBounds client;
    };
    // Where raised elements changed order against elements they overlap (in the buckets of
    // raisedBuckets_), the tiles are dirty: as drawn (drawnRank) against as now (rank_).
    void markReordered(const std::vector<std::int32_t>& drawnRank, const std::vector<TileGrid>& grids,
                       Marks& marks);
    // The board rectangle changed: the tiles over it are dirty and the window repaints it.
    void boardChanged(const QRect& boardRect, const std::vector<TileGrid>& grids, Marks& marks) const;
    // Part of the client area for repainting, as invalidate does, without making a region.
    void invalidateRect(const QRect& clientRect);
    void rebuildIndex();
    void rebuildRanks();
    // Far out, element i is drawn from the rows of its shape and picture regions, shared by every
    // element of that shape; null where its board region is not its shape's (drawn from the
    // region's rectangles then).
    void placeRows(std::vector<std::int32_t>& elements); // made unique first
    void rebuildRows();
    // The shape element i's rows are made from, null when there is none (read on any thread).
    const QRegion* rowsShape(int i) const;
    // Makes ready on this thread what drawing at `scale` reads on every thread.
    void prepareSources(double scale);
    void dropTiles();
    // Keeps the tiles within their budget, the least recently shown going first.
    void evictTiles();
    void dropOtherScales(double shownScale);
    // The board was made anew or grew since the tiles were drawn: they go, and the index
    // follows the elements (growing on the left or top moves them all).
    void followBoardSize();
    int tileBudget() const;
    void endBatch();

    BoardState& state_;
    IBoardHost& host_;
    ISound& sound_;
    ICursor& cursor_;
    bool covered_ = false;
    int redraws_ = 0;
    double deviceRatio_ = 1.0;
    std::uint64_t boardSerial_ = 0; // the board the tiles were drawn for

    CellIndex index_;
    std::vector<std::int32_t> rank_;          // place of each element in the stacking order, 0 on top
    std::vector<std::int32_t> previousRank_;  // rank_ before the last change of the order
    std::vector<std::uint32_t> bucketSeen_;   // per bucket of the index, the flush that looked at it
    std::vector<std::int32_t> raisedBuckets_; // the buckets a flush looks at for raised elements
    std::vector<std::uint64_t> raisedKeys_;   // a bucket's ranks, before and now (kept: memory reused)
    static constexpr std::size_t pairedBucketLimit = 64; // elements in a bucket looked at pair by pair

    struct ShapeRows {
        QRegion region; // kept, so that no other region takes its rectangles' address
        RowSpans rows;
        const QRect* key = nullptr; // region.begin(): an element still of this shape has it
        bool built = false;         // false where the region is too wide for rows
    };
    std::unordered_map<const QRect*, ShapeRows> shapeRows_;
    // Board region, picture region; both null where drawn from the regions themselves.
    std::vector<std::array<const ShapeRows*, 2>> elementRows_;
    bool rowsStale_ = true;
    std::vector<std::int32_t>
        rowsPending_; // changed since their rows were found: found when next drawn far out
    std::vector<std::uint8_t> rowsNamed_; // per element, cleared after each use: named once
    // The shapes one core met while placing rows, each once (kept: their memory is reused).
    struct Gathered {
        struct Slot {
            const QRect* key = nullptr; // the shape's rectangles
            std::int32_t index = 0;     // into shapes
        };
        std::vector<Slot> table; // a power of two of slots, or none
        std::vector<const QRegion*> shapes;
        std::vector<const ShapeRows*> rows; // shapes' places in shapeRows_
        void clear();
        std::int32_t add(const QRegion& region); // its index in shapes
        Slot* find(const QRect* key);
    };
    std::vector<Gathered> gathered_;
    std::vector<std::uint32_t> flushed_; // per element, the flush that last looked at it
    std::uint32_t flushStamp_ = 0;

    std::unordered_map<TileKey, Tile, TileKeyHash> tiles_;
    std::list<TileKey> lastUsed_; // most recently used first
    std::vector<Scratch> scratch_;

    PictureLevels levels_;
    std::vector<QImage> textureLevels_; // the texture as 32-bit pixels, then halved and halved
    QImage fineTexture_;                // its finer copy as 32-bit pixels, where it has one
    qint64 textureKey_ = 0;
    QImage held_; // the held element's look at 100 %
    struct HeldKey {
        int element = -1;
        int orientation = -1;
        std::array<std::int32_t, 4> sign{}, shift{};
        QRgb outline = 0;
        qint64 picture = 0;
        friend bool operator==(const HeldKey&, const HeldKey&) = default;
    } heldKey_;

    int batchDepth_ = 0;
    std::vector<QRegion> batchAreas_;
    QRect batchBounds_;
    int batchCount_ = 0;
    static constexpr int exactBatchLimit = 16;
    // The moving selection's looks at 100 %, kept while it moves, as many as fit a budget.
    std::unordered_map<std::int32_t, Look> moving_;
    std::int64_t movingBytes_ = 0;
    Look uncached_; // a look beyond the budget, painted at every paint
    static constexpr std::int64_t movingBudget = 48ll << 20;
    SelectionOverlay selectionOverlay_;
};
