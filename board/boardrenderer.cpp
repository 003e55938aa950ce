#include "board/boardrenderer.h"

#include "board/boardhost.h"
#include "board/boardstate.h"
#include "board/selectionoverlay.h"
#include "model/elementcontext.h"
#include "model/elementpainter.h"
#include "model/parallel.h"
#include "model/services.h"
#include "model/shapebuilder.h"

#include <QPainter>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>

namespace {

// The view pixels of a scale that show any part of the board: where tiles are drawn.
QRect drawnRect(int boardWidth, int boardHeight, double scale) {
    if (scale == 1.0)
        return QRect(0, 0, boardWidth, boardHeight);
    return QRect(0, 0, static_cast<int>(std::ceil(boardWidth * scale)),
                 static_cast<int>(std::ceil(boardHeight * scale)));
}

int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The device pixels that any part of a rectangle of logical pixels reaches, at `ratio` device
// pixels to a logical one.
QRect toDevice(const QRect& r, double ratio) {
    if (ratio == 1.0)
        return r;
    return QRect(
        QPoint(static_cast<int>(std::floor(r.left() * ratio)), static_cast<int>(std::floor(r.top() * ratio))),
        QPoint(static_cast<int>(std::ceil((r.right() + 1) * ratio)) - 1,
               static_cast<int>(std::ceil((r.bottom() + 1) * ratio)) - 1));
}

QRegion toDevice(const QRegion& region, double ratio) {
    if (ratio == 1.0)
        return region;
    QRegion device;
    for (const QRect& r : region)
        device += toDevice(r, ratio);
    return device;
}

// The logical pixels a rectangle of device pixels covers whole.
QRect wholeLogical(const QRect& r, double ratio) {
    if (ratio == 1.0)
        return r;
    return QRect(
        QPoint(static_cast<int>(std::ceil(r.left() / ratio)), static_cast<int>(std::ceil(r.top() / ratio))),
        QPoint(static_cast<int>(std::floor((r.right() + 1) / ratio)) - 1,
               static_cast<int>(std::floor((r.bottom() + 1) / ratio)) - 1));
}

// Draws an image of device pixels whose pixel (0, 0) is device pixel `at`, on a painter of
// `ratio` device pixels to a logical one: each of its pixels lands on one of the device.
void drawDevicePixels(QPainter& painter, QPoint at, const QImage& image, double ratio) {
    if (ratio == 1.0) {
        painter.drawImage(at, image);
        return;
    }
    painter.save();
    painter.scale(1.0 / ratio, 1.0 / ratio);
    painter.drawImage(at, image);
    painter.restore();
}

} // namespace

// Eleven bits at a time from the lowest, each pass keeping the order of the one before: no key
// is compared with another, and digits every key shares take no pass.
void sortDescending(std::vector<std::uint64_t>& keys, std::vector<std::uint64_t>& spare) {
    if (keys.size() < 256) {
        std::sort(keys.begin(), keys.end(), std::greater<>());
        return;
    }
    std::uint64_t some = 0, every = ~std::uint64_t(0);
    for (const std::uint64_t k : keys)
        some |= k, every &= k;
    constexpr int bits = 11;
    constexpr std::uint64_t digit = (1u << bits) - 1;
    spare.resize(keys.size());
    for (int shift = 0; shift < 64; shift += bits) {
        if (((some ^ every) >> shift & digit) == 0)
            continue;
        std::array<std::uint32_t, digit + 1> start{};
        for (const std::uint64_t k : keys)
            ++start[~k >> shift & digit];
        std::uint32_t sum = 0;
        for (std::uint32_t& s : start)
            sum += std::exchange(s, sum);
        for (const std::uint64_t k : keys)
            spare[start[~k >> shift & digit]++] = k;
        keys.swap(spare);
    }
}

std::size_t BoardRenderer::TileKeyHash::operator()(const TileKey& k) const {
    const std::size_t s = std::hash<double>()(k.scale);
    return s ^ (std::hash<std::int64_t>()((static_cast<std::int64_t>(k.x) << 32) ^
                                          static_cast<std::uint32_t>(k.y)) +
                0x9e3779b97f4a7c15ull + (s << 6) + (s >> 2));
}

BoardRenderer::BoardRenderer(BoardState& state, IBoardHost& host, ISound& sound, ICursor& cursor)
    : state_(state), host_(host), sound_(sound), cursor_(cursor),
      scratch_(static_cast<std::size_t>(parallelSlots())) {}

BoardRenderer::~BoardRenderer() = default;

// ---- What changed ----------------------------------------------------------------------------

void BoardRenderer::redrawBoard(RedrawFlags flags) {
    ++redraws_;
    covered_ = false;
    Puzzle& puzzle = state_.puzzle;
    if (flags.rebuildRegions && state_.hasElements()) {
        const WaitCursor wait(cursor_);
        for (int i = 0; i < puzzle.count(); ++i) {
            // A new outline thickness has rebuilt the shapes already; without one they are
            // rebuilt here, untrimmed.
            if (state_.settings.outlineThickness == 0)
                state_.shapes.buildShape(puzzle.element(i));
            placeBoardRegion(i);
        }
    }
    state_.changes.clear();
    rebuildIndex();
    rebuildRanks();
    rowsStale_ = true;
    dropTiles();
    held_ = QImage();
    heldKey_ = HeldKey{};
    // The picture's reduced copies start now, on another thread, for the first zoomed-out view.
    levels_.setPicture(state_.hasElements() ? state_.picture : QImage());
    if (state_.hasElements() && flags.playSound)
        sound_.playWave(elementsAppearWave);
    host_.invalidateAll();
    if (!state_.hasElements())
        host_.updateNow();
}

void BoardRenderer::coverBoard() {
    covered_ = true;
    host_.invalidateAll();
    host_.updateNow();
}

void BoardRenderer::rebuildIndex() {
    const Puzzle& p = state_.puzzle;
    const Board& b = state_.board;
    index_.reset(p.count(), std::max(p.geometry.bitmapSize, 128), Rect{0, 0, b.boardWidth, b.boardHeight});
    for (int i = 0; i < p.count(); ++i)
        index_.place(i, p.element(i).cellRect);
}

void BoardRenderer::rebuildRanks() {
    const Puzzle& p = state_.puzzle;
    rank_.assign(static_cast<std::size_t>(p.count()), 0);
    for (std::size_t k = 0; k < p.stackOrder.size(); ++k)
        rank_[p.stackOrder[k]] = static_cast<std::int32_t>(k);
}

const QRegion* BoardRenderer::rowsShape(int i) const {
    const Puzzle& p = state_.puzzle;
    const Element& e = p.element(i);
    // The shape its board region was placed from (as the join state gives it).
    const int sides = joinedSides(e);
    const QRegion* shape = sides == 0 || !state_.shapes.options().threeD ? &e.outerRegion
                           : sides == SideMask::All
                               ? &e.innerRegion
                               : state_.shapes.cachedTrimmed(e.edgeSign, e.edgeShift, sides);
    if (!shape || !shape->begin() || !e.innerRegion.begin() ||
        p.boardRegions.rectCount(i) != shape->rectCount() ||
        p.boardRegions.boundingRect(i) != shape->boundingRect().translated(e.cellRect.left, e.cellRect.top))
        return nullptr;
    return shape;
}

void BoardRenderer::Gathered::clear() {
    if (!shapes.empty())
        std::fill(table.begin(), table.end(), Slot{});
    shapes.clear();
    rows.clear();
}

std::int32_t BoardRenderer::Gathered::add(const QRegion& region) {
    // Open addressing on the rectangles' address, kept at most half full.
    if (2 * (shapes.size() + 1) > table.size()) {
        std::vector<Slot> old(std::max<std::size_t>(1024, 2 * table.size()));
        old.swap(table);
        for (const Slot& s : old)
            if (s.key)
                *find(s.key) = s;
    }
    const QRect* key = region.begin();
    Slot* slot = find(key);
    if (!slot->key) {
        *slot = {key, static_cast<std::int32_t>(shapes.size())};
        shapes.push_back(&region);
    }
    return slot->index;
}

BoardRenderer::Gathered::Slot* BoardRenderer::Gathered::find(const QRect* key) {
    const std::size_t mask = table.size() - 1;
    std::size_t k = (reinterpret_cast<std::uintptr_t>(key) >> 4) * 0x9E3779B97F4A7C15ull >> 20 & mask;
    while (table[k].key && table[k].key != key)
        k = (k + 1) & mask;
    return &table[k];
}

void BoardRenderer::placeRows(std::vector<std::int32_t>& elements) {
    // Each once, in the order named: a join of big blocks names tens of thousands, and sorting
    // them cost more than finding their rows.
    if (rowsNamed_.size() != elementRows_.size())
        rowsNamed_.assign(elementRows_.size(), 0);
    std::size_t kept = 0;
    for (const std::int32_t i : elements)
        if (i >= 0 && static_cast<std::size_t>(i) < rowsNamed_.size() && !rowsNamed_[i]) {
            rowsNamed_[i] = 1;
            elements[kept++] = i;
        }
    elements.resize(kept);
    for (const std::int32_t i : elements)
        rowsNamed_[i] = 0;
    const int n = static_cast<int>(kept);
    if (n == 0)
        return;
    // On every core: each element's shape. Rows are relative to the cell, so an element that only
    // moved (all but the seam of a join of big blocks) keeps its own. The shapes of the rest are
    // gathered per core, each once; then each shape not met before gets its place on this
    // thread, its rows made on every core, and the elements their rows, on every core again.
    std::vector<Gathered>& gathered = gathered_;
    gathered.resize(static_cast<std::size_t>(parallelSlots()));
    for (Gathered& g : gathered)
        g.clear();
    // Per element: the slot that gathered its shapes and their indices there, or -1.
    struct Found {
        std::int32_t slot = -1, outer = 0, inner = 0;
    };
    std::vector<Found> found(static_cast<std::size_t>(n));
    parallelFor(n, 2048, [&](int begin, int end, int slot) {
        Gathered& g = gathered[static_cast<std::size_t>(slot)];
        const auto gather = [&g](const QRegion& region) { return g.add(region); };
        for (int k = begin; k < end; ++k) {
            const int i = elements[k];
            const QRegion* shape = rowsShape(i);
            const QRegion& inner = state_.puzzle.element(i).innerRegion;
            const std::array<const ShapeRows*, 2>& kept = elementRows_[i];
            if (!shape)
                elementRows_[i] = {nullptr, nullptr};
            else if (!kept[0] || kept[0]->key != shape->begin() || kept[1]->key != inner.begin())
                found[k] = {slot, gather(*shape), gather(inner)};
        }
    });
    if (std::all_of(gathered.begin(), gathered.end(), [](const Gathered& g) { return g.shapes.empty(); }))
        return; // all only moved
    std::vector<ShapeRows*> fresh;
    for (Gathered& g : gathered) {
        g.rows.resize(g.shapes.size());
        for (std::size_t k = 0; k < g.shapes.size(); ++k) {
            const QRegion& region = *g.shapes[k];
            const auto [it, added] = shapeRows_.try_emplace(region.begin());
            if (added) {
                it->second.region = region;
                it->second.key = region.begin();
                fresh.push_back(&it->second);
            }
            g.rows[k] = &it->second;
        }
    }
    parallelFor(static_cast<int>(fresh.size()), 64, [&](int begin, int end, int) {
        for (int k = begin; k < end; ++k)
            fresh[k]->built = fresh[k]->rows.build(fresh[k]->region);
    });
    parallelFor(n, 4096, [&](int begin, int end, int) {
        for (int k = begin; k < end; ++k) {
            const Found& f = found[k];
            if (f.slot < 0)
                continue;
            const Gathered& g = gathered[static_cast<std::size_t>(f.slot)];
            const ShapeRows* outer = g.rows[f.outer];
            const ShapeRows* inner = g.rows[f.inner];
            elementRows_[elements[k]] = outer->built && inner->built
                                            ? std::array<const ShapeRows*, 2>{outer, inner}
                                            : std::array<const ShapeRows*, 2>{nullptr, nullptr};
        }
    });
}

void BoardRenderer::rebuildRows() {
    shapeRows_.clear();
    const int n = state_.puzzle.count();
    elementRows_.assign(static_cast<std::size_t>(n), {nullptr, nullptr});
    std::vector<std::int32_t> all(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        all[i] = i;
    placeRows(all);
    rowsStale_ = false;
    rowsPending_.clear();
}

void BoardRenderer::flush() {
    BoardChanges& changes = state_.changes;
    if (changes.empty())
        return;
    // A game being built (its progress strip lets paints through while the elements are made
    // on other threads) is not looked at before it is drawn whole by redrawBoard.
    if (index_.count() != state_.puzzle.count()) {
        changes.clear();
        rowsStale_ = true;
        return;
    }
    // Shapes given up by joins and turns are kept until the rows are made anew.
    if (shapeRows_.size() > 2 * elementRows_.size() + 1024 || rowsPending_.size() > elementRows_.size())
        rowsStale_ = true;
    followBoardSize();
    // The order the tiles were drawn in, to tell where raising changed what shows.
    const bool ranksKept = rank_.size() == static_cast<std::size_t>(state_.puzzle.count());
    if (changes.stackingChanged()) {
        previousRank_.swap(rank_);
        rebuildRanks();
    }
    const std::vector<std::int32_t>& drawnRank = changes.stackingChanged() ? previousRank_ : rank_;
    InvalidationBatch batch(*this);
    // The kept tiles, found once for all the changes: a sorting command or a join of big
    // blocks changes tens of thousands of elements.
    const std::vector<TileGrid> grids = tileGrids();
    const Puzzle& p = state_.puzzle;
    if (flushed_.size() != static_cast<std::size_t>(p.count())) {
        flushed_.assign(static_cast<std::size_t>(p.count()), 0);
        flushStamp_ = 0;
    }
    // An element is named once for each thing that changed about it: it is looked at once.
    if (++flushStamp_ == 0) {
        std::fill(flushed_.begin(), flushed_.end(), 0);
        std::fill(bucketSeen_.begin(), bucketSeen_.end(), 0);
        flushStamp_ = 1;
    }
    Marks marks;
    for (const TileGrid& g : grids)
        marks.tiles.emplace_back(g.tiles.size());
    // An element is looked at once however many things changed about it.
    const auto firstNamed = [&](int i) {
        if (i < 0 || i >= p.count() || flushed_[i] == flushStamp_)
            return false;
        flushed_[i] = flushStamp_;
        return true;
    };
    // Drawn again where it was last drawn and where it lies now.
    const auto changedWhole = [&](int i) {
        if (!rowsStale_)
            rowsPending_.push_back(i); // its rows are kept unless its shape changed
        const Rect now = p.element(i).cellRect;
        if (index_.isPlaced(i))
            boardChanged(index_.placed(i).toQRect(), grids, marks);
        if (!index_.isPlaced(i) || !(index_.placed(i) == now)) {
            boardChanged(now.toQRect(), grids, marks);
            index_.place(i, now);
        }
    };
    for (const int i : changes.changedElements())
        if (firstNamed(i))
            changedWhole(i);
    // A raised element that lies where it was drawn shows differently only where the order
    // changed against an element it overlaps: its buckets of the index are looked at for that.
    if (bucketSeen_.size() != static_cast<std::size_t>(index_.bucketCount()))
        bucketSeen_.assign(static_cast<std::size_t>(index_.bucketCount()), 0);
    raisedBuckets_.clear();
    for (const int i : changes.raisedElements()) {
        if (!firstNamed(i))
            continue;
        const Rect& now = p.element(i).cellRect;
        if (!ranksKept || !index_.isPlaced(i) || !(index_.placed(i) == now)) {
            changedWhole(i);
            continue;
        }
        index_.forEachBucket(now, [&](int b) {
            if (bucketSeen_[static_cast<std::size_t>(b)] != flushStamp_) {
                bucketSeen_[static_cast<std::size_t>(b)] = flushStamp_;
                raisedBuckets_.push_back(b);
            }
        });
    }
    markReordered(drawnRank, grids, marks);
    for (const Rect& r : changes.changedAreas())
        boardChanged(r.toQRect(), grids, marks);
    changes.clear();

    for (std::size_t k = 0; k < grids.size(); ++k)
        for (std::size_t c = 0; c < grids[k].tiles.size(); ++c)
            if (!marks.tiles[k][c].isEmpty())
                grids[k].tiles[c]->dirty |= marks.tiles[k][c].rect().intersected(grids[k].tiles[c]->area);
    const ClientBounds& client = marks.client;
    if (client.count <= static_cast<int>(client.first.size())) {
        for (int k = 0; k < client.count; ++k)
            invalidateRect(state_.board.toClient(client.first[k]));
    } else {
        invalidateRect(state_.board.toClient(client.bounds.rect()));
    }
}

void BoardRenderer::markReordered(const std::vector<std::int32_t>& drawnRank,
                                  const std::vector<TileGrid>& grids, Marks& marks) {
    // Two elements that overlap are listed together in a bucket at least, so a bucket whose
    // elements are still in the order they were drawn in holds no pair to draw again: the
    // pairs are looked at only in the others.
    std::vector<std::uint64_t>& keys = raisedKeys_;
    for (const int b : raisedBuckets_) {
        const std::vector<std::int32_t>& listed = index_.bucket(b);
        keys.clear();
        for (const int j : listed)
            keys.push_back(std::uint64_t(std::uint32_t(drawnRank[j])) << 32 | std::uint32_t(rank_[j]));
        std::sort(keys.begin(), keys.end());
        if (std::adjacent_find(keys.begin(), keys.end(), [](std::uint64_t a, std::uint64_t b) {
                return std::uint32_t(a) > std::uint32_t(b);
            }) == keys.end())
            continue;
        if (listed.size() > pairedBucketLimit) {
            // A pile: each element named in this flush is drawn again whole (of two elements that
            // changed order one at least was named), rather than every pair looked at.
            for (const int j : listed)
                if (flushed_[j] == flushStamp_)
                    boardChanged(index_.placed(j).toQRect(), grids, marks);
            continue;
        }
        for (std::size_t x = 0; x < listed.size(); ++x)
            for (std::size_t y = x + 1; y < listed.size(); ++y) {
                const int i = listed[x], j = listed[y];
                if ((drawnRank[i] < drawnRank[j]) == (rank_[i] < rank_[j]))
                    continue;
                const QRect both = index_.placed(i).toQRect().intersected(index_.placed(j).toQRect());
                if (!both.isEmpty())
                    boardChanged(both, grids, marks);
            }
    }
}

std::vector<BoardRenderer::TileGrid> BoardRenderer::tileGrids() {
    std::vector<TileGrid> grids;
    const auto gridOf = [&](double scale) -> TileGrid& {
        for (TileGrid& g : grids)
            if (g.scale == scale)
                return g;
        return grids.emplace_back(TileGrid{scale, 0, 0, 0, 0, {}, {}});
    };
    std::vector<QRect> spans;
    for (const auto& [key, tile] : tiles_) {
        TileGrid& g = gridOf(key.scale);
        const std::size_t k = static_cast<std::size_t>(&g - grids.data());
        if (spans.size() <= k)
            spans.resize(k + 1);
        spans[k] |= QRect(key.x, key.y, 1, 1);
    }
    for (std::size_t k = 0; k < grids.size(); ++k) {
        TileGrid& g = grids[k];
        g.x0 = spans[k].left(), g.y0 = spans[k].top();
        g.columns = spans[k].width(), g.rows = spans[k].height();
        g.tiles.assign(static_cast<std::size_t>(g.columns) * g.rows, nullptr);
        // The board pixels whose view pixels, and the one around each, may lie in these tiles.
        const double perTile = tileSize / g.scale;
        const int pad = static_cast<int>(std::ceil(2 / g.scale)) + 2;
        g.boardSpan = QRect(QPoint(static_cast<int>(std::floor(g.x0 * perTile)) - pad,
                                   static_cast<int>(std::floor(g.y0 * perTile)) - pad),
                            QPoint(static_cast<int>(std::ceil((g.x0 + g.columns) * perTile)) + pad,
                                   static_cast<int>(std::ceil((g.y0 + g.rows) * perTile)) + pad));
    }
    for (auto& [key, tile] : tiles_) {
        TileGrid& g = gridOf(key.scale);
        g.tiles[static_cast<std::size_t>(key.y - g.y0) * g.columns + (key.x - g.x0)] = &tile;
    }
    return grids;
}

void BoardRenderer::boardChanged(const QRect& boardRect, const std::vector<TileGrid>& grids,
                                 Marks& marks) const {
    if (boardRect.isEmpty())
        return;
    for (std::size_t k = 0; k < grids.size(); ++k) {
        const TileGrid& g = grids[k];
        // Most changed elements of a big change lie beyond the kept tiles of a scale.
        if (boardRect.left() > g.boardSpan.right() || boardRect.right() < g.boardSpan.left() ||
            boardRect.top() > g.boardSpan.bottom() || boardRect.bottom() < g.boardSpan.top())
            continue;
        const QRect view = (g.scale == 1.0 ? boardRect : DeviceTransform{g.scale, 0, 0}.deviceRect(boardRect))
                               .adjusted(-1, -1, 1, 1);
        const int tx0 = std::max(g.x0, floorDiv(view.left(), tileSize));
        const int tx1 = std::min(g.x0 + g.columns - 1, floorDiv(view.right(), tileSize));
        const int ty0 = std::max(g.y0, floorDiv(view.top(), tileSize));
        const int ty1 = std::min(g.y0 + g.rows - 1, floorDiv(view.bottom(), tileSize));
        for (int ty = ty0; ty <= ty1; ++ty)
            for (int tx = tx0; tx <= tx1; ++tx) {
                const std::size_t c = static_cast<std::size_t>(ty - g.y0) * g.columns + (tx - g.x0);
                const Tile* tile = g.tiles[c];
                if (tile && view.left() <= tile->area.right() && tile->area.left() <= view.right() &&
                    view.top() <= tile->area.bottom() && tile->area.top() <= view.bottom())
                    marks.tiles[k][c].add(view);
            }
    }
    // The window repaints there: the client rectangles of board rectangles are those of their
    // bounds, so beyond a few only the bounds are kept, as the batch would keep them.
    ClientBounds& client = marks.client;
    if (client.count < static_cast<int>(client.first.size()))
        client.first[client.count] = boardRect;
    ++client.count;
    client.bounds.add(boardRect);
}

void BoardRenderer::placeBoardRegion(int i) {
    ::placeBoardRegion(state_.puzzle, state_.shapes, i);
    if (!rowsStale_ && i < static_cast<int>(elementRows_.size()))
        rowsPending_.push_back(i);
}

QRegion BoardRenderer::clientRegion(int i) const {
    return state_.board.toClient(state_.puzzle.boardRegions[i]);
}

// ---- Invalidation ----------------------------------------------------------------------------

void BoardRenderer::invalidate(const QRegion& clientArea) {
    if (batchDepth_ == 0) {
        host_.invalidate(clientArea);
        return;
    }
    if (clientArea.isEmpty())
        return;
    batchBounds_ |= clientArea.boundingRect();
    if (++batchCount_ <= exactBatchLimit)
        batchAreas_.push_back(clientArea);
}

void BoardRenderer::invalidateRect(const QRect& clientRect) {
    if (clientRect.isEmpty())
        return;
    if (batchDepth_ == 0) {
        host_.invalidate(QRegion(clientRect));
        return;
    }
    batchBounds_ |= clientRect;
    if (++batchCount_ <= exactBatchLimit)
        batchAreas_.push_back(QRegion(clientRect));
}

BoardRenderer::InvalidationBatch::InvalidationBatch(BoardRenderer& renderer) : renderer_(renderer) {
    ++renderer_.batchDepth_;
}

BoardRenderer::InvalidationBatch::~InvalidationBatch() {
    renderer_.endBatch();
}

void BoardRenderer::endBatch() {
    if (--batchDepth_ > 0 || batchCount_ == 0)
        return;
    if (batchCount_ <= exactBatchLimit) {
        QRegion area;
        for (const QRegion& r : batchAreas_)
            area += r;
        host_.invalidate(area);
    } else {
        host_.invalidate(QRegion(batchBounds_));
    }
    batchAreas_.clear();
    batchBounds_ = QRect();
    batchCount_ = 0;
}

// ---- Tiles -----------------------------------------------------------------------------------

QRect BoardRenderer::tileArea(const TileKey& key) const {
    const Board& b = state_.board;
    return QRect(key.x * tileSize, key.y * tileSize, tileSize, tileSize)
        .intersected(drawnRect(b.boardWidth, b.boardHeight, key.scale));
}

BoardRenderer::Tile& BoardRenderer::tileFor(const TileKey& key) {
    auto found = tiles_.find(key);
    if (found != tiles_.end()) {
        lastUsed_.splice(lastUsed_.begin(), lastUsed_, found->second.use);
        return found->second;
    }
    Tile& tile = tiles_[key];
    tile.area = tileArea(key);
    tile.image = QImage(tile.area.size(), QImage::Format_RGB32);
    tile.dirty = tile.area;
    lastUsed_.push_front(key);
    tile.use = lastUsed_.begin();
    return tile;
}

void BoardRenderer::dropCaches() {
    dropTiles();
    shapeRows_.clear();
    rowsStale_ = true;
    moving_.clear();
    movingBytes_ = 0;
    held_ = QImage();
    heldKey_ = HeldKey{};
}

void BoardRenderer::dropTiles() {
    tiles_.clear();
    lastUsed_.clear();
}

int BoardRenderer::tileBudget() const {
    // Two views' worth (the one before Z and the whole table) with a ring of tiles around each.
    const QSize view =
        (QSizeF(state_.board.viewSize.isEmpty() ? QSize(1024, 768) : state_.board.viewSize) * deviceRatio_)
            .toSize();
    const int across = (view.width() + tileSize - 1) / tileSize + 3;
    const int down = (view.height() + tileSize - 1) / tileSize + 3;
    return 2 * across * down + 8;
}

void BoardRenderer::followBoardSize() {
    // A grown board reaches further into the tiles along its edges than they were drawn.
    if (state_.board.extent == boardSerial_)
        return;
    boardSerial_ = state_.board.extent;
    dropTiles();
    if (index_.count() == state_.puzzle.count())
        rebuildIndex();
    host_.invalidateAll();
}

void BoardRenderer::dropOtherScales(double shownScale) {
    // A table of few elements is drawn again at once at any scale: only the shown one is kept,
    // and the tiles of another go before the new ones are made.
    if (state_.puzzle.count() >= wholeTableAheadFrom)
        return;
    for (auto it = lastUsed_.begin(); it != lastUsed_.end();) {
        if (it->scale == shownScale) {
            ++it;
            continue;
        }
        tiles_.erase(*it);
        it = lastUsed_.erase(it);
    }
}

void BoardRenderer::evictTiles() {
    const int budget = tileBudget();
    while (static_cast<int>(tiles_.size()) > budget && !lastUsed_.empty()) {
        tiles_.erase(lastUsed_.back());
        lastUsed_.pop_back();
    }
}

void BoardRenderer::prepareSources(double scale) {
    // Read on this thread alone: taking over the reduced copies and making the texture's.
    const QImage& texture = state_.background.texture;
    if (texture.cacheKey() != textureKey_ || textureLevels_.empty()) {
        textureKey_ = texture.cacheKey();
        textureLevels_.clear();
        fineTexture_ = state_.background.fineTexture().convertToFormat(QImage::Format_RGB32);
        if (!texture.isNull()) {
            textureLevels_.push_back(texture.convertToFormat(QImage::Format_RGB32));
            for (int k = 1; k < 10; ++k) {
                const int w = std::max(1, static_cast<int>(std::lround(texture.width() / std::exp2(k))));
                const int h = std::max(1, static_cast<int>(std::lround(texture.height() / std::exp2(k))));
                textureLevels_.push_back(
                    textureLevels_[0].scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
                if (w == 1 && h == 1)
                    break;
            }
        }
    }
    // Only a zoomed view needs the picture's reduced copies: at 100 % nothing waits for them.
    if (scale != 1.0)
        levels_.level(0);
    if (SampledCanvas::farOutAt(scale) && state_.hasElements()) {
        if (rowsStale_)
            rebuildRows();
        placeRows(rowsPending_);
        rowsPending_.clear();
    }
    state_.background.surroundColor(); // works its colour out once, here
    const int size = state_.puzzle.geometry.bitmapSize;
    for (Scratch& s : scratch_)
        if (s.element.width() < size || s.element.height() < size)
            s.element = QImage(size, size, QImage::Format_RGB32);
}

void BoardRenderer::renderTiles(const std::vector<Tile*>& tiles, double scale) {
    if (tiles.empty())
        return;
    prepareSources(scale);
    const auto run = [&](int begin, int end, int slot) {
        for (int k = begin; k < end; ++k) {
            Tile& tile = *tiles[k];
            renderArea(tile.image, tile.area.topLeft(), tile.dirty, scale, scratch_[slot], true);
            tile.dirty = QRect();
        }
    };
    if (tiles.size() == 1)
        run(0, 1, 0);
    else
        parallelFor(static_cast<int>(tiles.size()), 1, run);
}

// ---- Drawing ---------------------------------------------------------------------------------

void BoardRenderer::elementsIn(const QRect& boardRect, Scratch& scratch) const {
    // Sorted as rank and element in one word: a tile far out holds thousands of elements, and
    // looking their ranks up at every comparison costs more than the sort itself.
    std::vector<std::uint64_t>& keys = scratch.keys;
    keys.clear();
    const int elementBits = std::bit_width(static_cast<unsigned>(std::max(1, index_.count())));
    index_.forEachMeeting(Rect::fromQRect(boardRect), [&](int i) {
        if (!state_.offTable(i))
            keys.push_back(std::uint64_t(std::uint32_t(rank_[i])) << elementBits | std::uint32_t(i));
    });
    sortDescending(keys, scratch.spare);
    scratch.found.resize(keys.size());
    const std::uint64_t element = (std::uint64_t(1) << elementBits) - 1;
    for (std::size_t k = 0; k < keys.size(); ++k)
        scratch.found[k] = static_cast<std::int32_t>(keys[k] & element);
}

void BoardRenderer::renderArea(QImage& image, QPoint origin, const QRect& area, double scale,
                               Scratch& scratch, bool withElements) {
    if (area.isEmpty())
        return;
    if (scale == 1.0)
        renderExact(image, origin, area, scratch, withElements);
    else
        renderSampled(image, origin, area, scale, scratch, withElements);
}

void BoardRenderer::renderExact(QImage& image, QPoint origin, const QRect& area, Scratch& scratch,
                                bool withElements) {
    const BackgroundState& bg = state_.background;
    const QRect board = state_.board.rect();
    const QRect local = area.translated(-origin);
    if (bg.bitmapBackground && !textureLevels_.empty()) {
        tileBitmap(textureLevels_[0], image, Rect::fromQRect(local), origin);
    } else {
        const QRgb colour = bg.backgroundColor.rgb();
        for (int y = local.top(); y <= local.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::fill(line + local.left(), line + local.left() + local.width(), colour);
        }
    }
    // A part beyond the board (an image asked for there) shows black, as the window would.
    for (const QRect& r : QRegion(area).subtracted(board)) {
        const QRect l = r.translated(-origin);
        for (int y = l.top(); y <= l.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::fill(line + l.left(), line + l.left() + l.width(), qRgb(0, 0, 0));
        }
    }
    const QRect onBoard = area.intersected(board);
    if (!withElements || onBoard.isEmpty() || !state_.hasElements())
        return;
    const Puzzle& p = state_.puzzle;
    const QColor outline = state_.settings.outlineColor;
    const int size = p.geometry.bitmapSize;
    elementsIn(onBoard, scratch);
    uchar* const target = image.bits();
    const qsizetype targetStride = image.bytesPerLine();
    const uchar* const from = scratch.element.constBits();
    const qsizetype fromStride = scratch.element.bytesPerLine();
    for (const int i : scratch.found) {
        const Element& e = p.element(i);
        const QPoint cell(e.cellRect.left, e.cellRect.top);
        // Only the element's own square comes from its look, whatever its region says.
        const QRect clip = onBoard.intersected(QRect(cell, QSize(size, size)));
        if (clip.isEmpty())
            continue;
        paintElementBitmap(scratch.element, e, p, state_.picture, outline, clip.translated(-cell));
        for (const QRect& r : p.boardRegions[i]) {
            const QRect q = r.intersected(clip);
            if (q.isEmpty())
                continue;
            const std::size_t bytes = static_cast<std::size_t>(q.width()) * 4;
            for (int y = q.top(); y <= q.bottom(); ++y)
                std::memcpy(target + (y - origin.y()) * targetStride + (q.left() - origin.x()) * 4,
                            from + (y - cell.y()) * fromStride + (q.left() - cell.x()) * 4, bytes);
        }
    }
}

double BoardRenderer::deviceScale() const {
    const Board& b = state_.board;
    return (b.unscaled() ? 1.0 : b.scale) * deviceRatio_;
}

QPoint BoardRenderer::deviceShift() const {
    const Board& b = state_.board;
    const QPoint shift(b.originX - b.scrollX, b.originY - b.scrollY);
    if (deviceRatio_ == 1.0)
        return shift;
    return QPoint(static_cast<int>(std::lround(shift.x() * deviceRatio_)),
                  static_cast<int>(std::lround(shift.y() * deviceRatio_)));
}

const QImage& BoardRenderer::pictureFor(double scale, int& levelIndex) {
    if (scale > 1.0 && !state_.devicePicture.isNull()) {
        levelIndex = -1;
        return state_.devicePicture;
    }
    levelIndex = std::min(PictureLevels::levelFor(scale), std::max(0, levels_.levelCount() - 1));
    return levels_.level(levelIndex);
}

PictureSampler BoardRenderer::pictureSampler(int i, const DeviceTransform& t, const QImage& level,
                                             int levelIndex) const {
    const Puzzle& p = state_.puzzle;
    const Element& e = p.element(i);
    const int o = e.orientation & 3;
    const QPoint src = sourcePoint(o, i, p.rows, p.columns, p.geometry);
    const double w = state_.picture.width(), h = state_.picture.height();
    // Picture pixels to the pixels of the image read: a reduced copy's, or the finer picture's.
    // (2^levelIndex without a call into the library: it runs for every element drawn.)
    const double kx =
        levelIndex < 0 ? w / level.width() : static_cast<double>(std::uint64_t(1) << levelIndex);
    const double ky =
        levelIndex < 0 ? h / level.height() : static_cast<double>(std::uint64_t(1) << levelIndex);
    // The centre of a device pixel, in the reduced picture's pixels.
    const auto at = [&](double x, double y) {
        const double tx = (x + 0.5 - t.dx) / t.scale - e.cellRect.left + src.x();
        const double ty = (y + 0.5 - t.dy) / t.scale - e.cellRect.top + src.y();
        double px = tx, py = ty;
        switch (o) {
        case 1: // turned(X, Y) = picture(w - 1 - Y, X)
            px = w - ty, py = tx;
            break;
        case 2:
            px = w - tx, py = h - ty;
            break;
        case 3:
            px = ty, py = h - tx;
            break;
        default:
            break;
        }
        return QPointF(px / kx, py / ky);
    };
    const QPointF a = at(0, 0), b = at(1, 0), c = at(0, 1);
    PictureSampler s;
    s.image = &level;
    s.originX = a.x(), s.originY = a.y();
    s.xx = b.x() - a.x(), s.xy = b.y() - a.y();
    s.yx = c.x() - a.x(), s.yy = c.y() - a.y();
    return s;
}

PictureSampler BoardRenderer::textureSampler(const DeviceTransform& t, int levelIndex) const {
    PictureSampler s;
    if (!state_.background.bitmapBackground || textureLevels_.empty())
        return s;
    // Enlarged on a finer screen, the texture's finer copy shows its own detail.
    const bool fine = deviceRatio_ > 1.0 && t.scale > 1.0 && !fineTexture_.isNull();
    const QImage& level =
        fine ? fineTexture_
             : textureLevels_[std::clamp(levelIndex, 0, static_cast<int>(textureLevels_.size()) - 1)];
    const double fx = double(level.width()) / textureLevels_[0].width();
    const double fy = double(level.height()) / textureLevels_[0].height();
    s.image = &level;
    s.wrap = true;
    s.originX = (0.5 - t.dx) / t.scale * fx;
    s.originY = (0.5 - t.dy) / t.scale * fy;
    s.xx = fx / t.scale;
    s.yy = fy / t.scale;
    return s;
}

void BoardRenderer::renderSampled(QImage& image, QPoint origin, const QRect& area, double scale,
                                  Scratch& scratch, bool withElements) {
    const Board& b = state_.board;
    // Positions are worked out from the corner of the tile the area lies in: a tile's pixels
    // come out the same however it is cut into areas drawn again.
    const QPoint tileCorner(floorDiv(area.left(), tileSize) * tileSize,
                            floorDiv(area.top(), tileSize) * tileSize);
    const DeviceTransform canvasTransform = DeviceTransform{scale, 0, 0}.from(tileCorner);
    SampledCanvas& canvas = scratch.canvas;
    canvas.begin(area.size(), canvasTransform, area.topLeft() - tileCorner);
    canvas.coverOutside(b.rect(), state_.background.surroundColor().rgb());
    if (withElements && state_.hasElements() && levels_.levelCount() > 0) {
        const QRect boardArea(QPoint(static_cast<int>(std::floor(area.left() / scale)) - 1,
                                     static_cast<int>(std::floor(area.top() / scale)) - 1),
                              QPoint(static_cast<int>(std::ceil((area.right() + 1) / scale)) + 1,
                                     static_cast<int>(std::ceil((area.bottom() + 1) / scale)) + 1));
        elementsIn(boardArea.intersected(b.rect()), scratch);
        const Puzzle& p = state_.puzzle;
        const QRgb outline = state_.settings.outlineColor.rgb();
        int level = 0;
        const QImage& reduced = pictureFor(scale, level);
        const bool byRows =
            canvas.farOut() && !rowsStale_ && elementRows_.size() == static_cast<std::size_t>(p.count());
        // The top of the stack first: a sample keeps the first element that covers it. Far out an
        // element costs little more than the memory it reads, anywhere on the tile: that is asked
        // for a few elements ahead, in steps (the element and its rows' place, then the rows, then
        // their cells and the canvas under the element), so that it is there when drawn.
        const std::vector<std::int32_t>& found = scratch.found;
        const int count = static_cast<int>(found.size());
        const auto order = [&found, count](int k) { return found[static_cast<std::size_t>(count - 1 - k)]; };
        constexpr int ahead = 4;
        // The picture's map of the elements up to `ahead` on: worked out once, for the prefetch
        // of their texels and then for drawing them.
        std::array<PictureSampler, ahead + 1> samplers;
        const auto samplerOf = [&](int k) -> PictureSampler& { return samplers[k % (ahead + 1)]; };
        for (int k = 0; k < std::min(ahead, count); ++k)
            samplerOf(k) = pictureSampler(order(k), canvasTransform, reduced, level);
        for (int k = 0; k < count; ++k) {
            if (byRows && k + 3 * ahead < count) {
                const int j = order(k + 3 * ahead);
                const char* e = reinterpret_cast<const char*>(&p.element(j));
                __builtin_prefetch(e);
                __builtin_prefetch(e + sizeof(Rect) + 2 * sizeof(std::int32_t) - 1);
                __builtin_prefetch(&elementRows_[j]);
            }
            if (byRows && k + 2 * ahead < count) {
                const std::array<const ShapeRows*, 2>& rows = elementRows_[order(k + 2 * ahead)];
                if (rows[0]) {
                    __builtin_prefetch(&rows[0]->rows);
                    __builtin_prefetch(&rows[1]->rows);
                }
            }
            if (k + ahead < count) {
                const int j = order(k + ahead);
                PictureSampler& next = samplerOf(k + ahead);
                next = pictureSampler(j, canvasTransform, reduced, level);
                if (byRows && elementRows_[j][0]) {
                    const Rect& cell = p.element(j).cellRect;
                    canvas.prefetch(elementRows_[j][0]->rows, elementRows_[j][1]->rows,
                                    QPoint(cell.left, cell.top));
                    canvas.prefetchPicture(elementRows_[j][0]->rows, QPoint(cell.left, cell.top), next);
                }
            }
            const int j = order(k);
            const Element& e = p.element(j);
            const PictureSampler& picture = samplerOf(k);
            if (byRows && elementRows_[j][0])
                canvas.addElement(elementRows_[j][0]->rows, elementRows_[j][1]->rows,
                                  QPoint(e.cellRect.left, e.cellRect.top), picture, outline);
            else
                addElement(canvas, j, picture, outline);
        }
    }
    canvas.finish(textureSampler(canvasTransform, PictureLevels::levelFor(scale)),
                  state_.background.backgroundColor.rgb(), image, area.topLeft() - origin);
}

void BoardRenderer::addElement(SampledCanvas& canvas, int i, const PictureSampler& picture, QRgb outline) {
    const Puzzle& p = state_.puzzle;
    const Element& e = p.element(i);
    if (!state_.deviceShapes.active()) {
        canvas.addElement(p.boardRegions[i], e.innerRegion, QPoint(e.cellRect.left, e.cellRect.top), picture,
                          outline);
        return;
    }
    // On a finer screen the outline, the band and the bevel follow the shape made at its pixels.
    const DeviceShapes::Shape shape = state_.deviceShapes.shape(e, state_.shapes);
    canvas.addFineElement(p.boardRegions.boundingRect(i), shape.region, shape.picture,
                          state_.deviceShapes.origin(e), deviceRatio_, picture, outline);
}

void BoardRenderer::setDeviceRatio(double ratio) {
    if (!(ratio > 0.0) || ratio == deviceRatio_)
        return;
    deviceRatio_ = ratio;
    state_.deviceShapes.setRatio(ratio);
    dropCaches();
    host_.invalidateAll();
}

void BoardRenderer::paint(QPainter& painter, const QRegion& clientArea) {
    flush();
    const Board& b = state_.board;
    // Tiles, the drawn table and the area asked for, all in device pixels (at ratio 1 the
    // client's own).
    const double ratio = deviceRatio_;
    const double scale = deviceScale();
    const QPoint shift = deviceShift();
    const QRegion deviceArea = toDevice(clientArea, ratio);
    const QRect drawn = drawnRect(b.boardWidth, b.boardHeight, scale);
    const QRect wanted = deviceArea.boundingRect().translated(-shift).intersected(drawn);
    followBoardSize();
    dropOtherScales(scale);
    painter.save();
    painter.setClipRegion(clientArea);
    if (covered_) {
        // The pause: the background alone, drawn here and kept nowhere.
        if (!wanted.isEmpty()) {
            QImage cover(wanted.size(), QImage::Format_RGB32);
            prepareSources(scale);
            renderArea(cover, wanted.topLeft(), wanted, scale, scratch_[0], false);
            drawDevicePixels(painter, wanted.topLeft() + shift, cover, ratio);
        }
    } else if (!wanted.isEmpty()) {
        std::vector<Tile*> shown, stale;
        for (int ty = floorDiv(wanted.top(), tileSize); ty <= floorDiv(wanted.bottom(), tileSize); ++ty)
            for (int tx = floorDiv(wanted.left(), tileSize); tx <= floorDiv(wanted.right(), tileSize); ++tx) {
                const TileKey key{scale, tx, ty};
                if (!deviceArea.intersects(tileArea(key).translated(shift)))
                    continue;
                Tile& tile = tileFor(key);
                shown.push_back(&tile);
                if (!tile.dirty.isEmpty())
                    stale.push_back(&tile);
            }
        renderTiles(stale, scale);
        for (const Tile* tile : shown)
            drawDevicePixels(painter, tile->area.topLeft() + shift, tile->image, ratio);
    }
    // Around the table: black at 100 % (a window larger than the board, which it never should
    // be), the table's surround when zoomed out.
    const QRegion around = clientArea.subtracted(wholeLogical(drawn.translated(shift), ratio));
    if (!around.isEmpty()) {
        const QColor colour = b.unscaled() ? QColor(Qt::black) : state_.background.surroundColor();
        for (const QRect& r : around)
            painter.fillRect(r, colour);
    }
    if (!covered_) {
        paintMovingSelection(painter, clientArea);
        paintHeld(painter, clientArea);
        painter.setClipping(false);
        selectionOverlay_.paint(painter, state_, clientArea, b.unscaled());
    }
    painter.restore();
    evictTiles();
}

void BoardRenderer::paintLook(QImage& image, int i) {
    const Puzzle& p = state_.puzzle;
    const Element& e = p.element(i);
    QImage& look = scratch_[0].element;
    const int size = p.geometry.bitmapSize;
    if (look.width() != size || look.height() != size)
        look = QImage(size, size, QImage::Format_RGB32);
    paintElementBitmap(look, e, p, state_.picture, state_.settings.outlineColor);
    // Only the element's own pixels, opaque, the rest transparent: drawn over the table it then
    // needs no clip of its shape, and at 100 % every pixel is copied as it is.
    if (image.size() != look.size() || image.format() != QImage::Format_ARGB32_Premultiplied)
        image = QImage(look.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QRegion shape =
        p.boardRegions[i].translated(-e.cellRect.left, -e.cellRect.top).intersected(look.rect());
    for (const QRect& r : shape)
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memcpy(image.scanLine(y) + r.left() * 4, look.constScanLine(y) + r.left() * 4,
                        static_cast<std::size_t>(r.width()) * 4);
}

void BoardRenderer::paintMovingSelection(QPainter& painter, const QRegion& clientArea) {
    const InputState& in = state_.input;
    if (!in.selectionLifted || in.movingSelection.empty()) {
        if (!moving_.empty()) {
            moving_.clear();
            movingBytes_ = 0;
        }
        return;
    }
    const Board& b = state_.board;
    if (!b.unscaled())
        return;
    const Puzzle& p = state_.puzzle;
    const QRect bounds = clientArea.boundingRect().translated(b.scrollX, b.scrollY);
    const bool fine = deviceRatio_ != 1.0;
    if (fine)
        prepareSources(deviceScale());
    painter.setClipRegion(clientArea);
    // Bottom first, under the held element.
    for (auto it = in.movingSelection.rbegin(); it != in.movingSelection.rend(); ++it) {
        const int j = *it;
        if (j == in.pickedElement || j < 0 || j >= p.count() ||
            !p.boardRegions.boundingRect(j).intersects(bounds))
            continue;
        // A selection moves without joins: each look is painted once (again only if turned, or
        // moved to another fraction of a device pixel) while they fit the budget, the rest at
        // every paint.
        const Element& e = p.element(j);
        const QPoint phase = fine ? devicePhase(j) : QPoint();
        const Look* look = nullptr;
        const auto found = moving_.find(j);
        if (found != moving_.end() && found->second.orientation == e.orientation &&
            found->second.phase == phase) {
            look = &found->second;
        } else if (found != moving_.end() || movingBytes_ < movingBudget) {
            Look& kept = moving_[j];
            movingBytes_ -= kept.image.sizeInBytes();
            paintLook(kept, j);
            kept.orientation = e.orientation;
            kept.phase = phase;
            movingBytes_ += kept.image.sizeInBytes();
            look = &kept;
        } else {
            paintLook(uncached_, j);
            look = &uncached_;
        }
        if (fine)
            drawDevicePixels(painter, deviceCorner(j) + look->offset, look->image, deviceRatio_);
        else
            painter.drawImage(QPoint(e.cellRect.left - b.scrollX, e.cellRect.top - b.scrollY), look->image);
    }
}

QPoint BoardRenderer::deviceCorner(int i) const {
    const Element& e = state_.puzzle.element(i);
    const QPoint shift = deviceShift();
    return QPoint(static_cast<int>(std::floor(e.cellRect.left * deviceRatio_)) + shift.x(),
                  static_cast<int>(std::floor(e.cellRect.top * deviceRatio_)) + shift.y());
}

QPoint BoardRenderer::devicePhase(int i) const {
    // The fraction of a device pixel the cell's corner lies past one, in 1/1024ths: a look made
    // at device pixels fits wherever the element lies at the same fraction (at ratio 2 always).
    const Element& e = state_.puzzle.element(i);
    const auto fraction = [&](int v) {
        const double d = v * deviceRatio_;
        return static_cast<int>(std::lround((d - std::floor(d)) * 1024));
    };
    return QPoint(fraction(e.cellRect.left), fraction(e.cellRect.top));
}

void BoardRenderer::paintLook(Look& look, int i) {
    if (deviceRatio_ == 1.0) {
        paintLook(look.image, i);
        look.offset = QPoint();
        return;
    }
    // On a finer screen the whole element at device pixels, as the table draws it.
    const QRect box = deviceBox(i);
    look.image = deviceLook(i, box);
    look.offset = box.topLeft() - deviceCorner(i);
}

QRect BoardRenderer::deviceBox(int i) const {
    const QPoint shift = deviceShift();
    return DeviceTransform{deviceScale(), double(shift.x()), double(shift.y())}.deviceRect(
        state_.puzzle.boardRegions.boundingRect(i));
}

QImage BoardRenderer::deviceLook(int i, const QRect& box) {
    const double scale = deviceScale();
    const QPoint shift = deviceShift();
    const DeviceTransform local =
        DeviceTransform{scale, double(shift.x()), double(shift.y())}.from(box.topLeft());
    SampledCanvas& canvas = scratch_[0].canvas;
    canvas.begin(box.size(), local);
    if (levels_.levelCount() > 0) {
        int level = 0;
        const QImage& picture = pictureFor(scale, level);
        addElement(canvas, i, pictureSampler(i, local, picture, level), state_.settings.outlineColor.rgb());
    }
    return canvas.premultiplied();
}

void BoardRenderer::paintHeld(QPainter& painter, const QRegion& clientArea) {
    const int picked = state_.input.pickedElement;
    const Puzzle& p = state_.puzzle;
    if (picked < 0 || picked >= p.count() || !state_.input.lifted)
        return;
    const Element& e = p.element(picked);
    const Board& b = state_.board;
    if (b.unscaled() && deviceRatio_ == 1.0) {
        const HeldKey key{picked,
                          e.orientation,
                          e.edgeSign,
                          e.edgeShift,
                          state_.settings.outlineColor.rgb(),
                          state_.picture.cacheKey()};
        const int size = p.geometry.bitmapSize;
        if (held_.isNull() || held_.width() != size || !(key == heldKey_)) {
            held_ = QImage(size, size, QImage::Format_RGB32);
            paintElementBitmap(held_, e, p, state_.picture, state_.settings.outlineColor);
            heldKey_ = key;
        }
        painter.setClipRegion(clientRegion(picked).intersected(clientArea));
        painter.drawImage(QPoint(e.cellRect.left - b.scrollX, e.cellRect.top - b.scrollY), held_);
        return;
    }
    // Zoomed, or on a screen of a higher ratio: the element's samples over what lies below, in
    // device pixels, its edge as smooth as the table's.
    const QRect box = deviceBox(picked).intersected(toDevice(clientArea.boundingRect(), deviceRatio_));
    if (box.isEmpty())
        return;
    prepareSources(deviceScale());
    painter.setClipRegion(clientArea);
    drawDevicePixels(painter, box.topLeft(), deviceLook(picked, box), deviceRatio_);
}

int BoardRenderer::prefetch() {
    const Board& b = state_.board;
    if (covered_ || !state_.hasElements() || b.viewSize.isEmpty())
        return -1;
    followBoardSize();
    if (static_cast<int>(tiles_.size()) >= tileBudget())
        return -1;
    const double scale = deviceScale();
    const QRect view =
        toDevice(QRect(QPoint(b.scrollX - b.originX, b.scrollY - b.originY), b.viewSize), deviceRatio_);
    // First the ring around the view; then the whole table's view, so that Z finds it drawn.
    if (prefetchNear(scale, view.adjusted(-tileSize, -tileSize, tileSize, tileSize), view.center()))
        return 0;
    // A table of few elements is drawn whole at once when asked; a large one is drawn ahead.
    if (state_.puzzle.count() < wholeTableAheadFrom)
        return -1;
    const QSize size(b.boardWidth, b.boardHeight);
    const double whole = std::min(
        {1.0, double(b.viewSize.width()) / size.width(), double(b.viewSize.height()) / size.height()});
    if (whole >= 1.0 || whole * deviceRatio_ == scale)
        return -1;
    const QRect table = drawnRect(b.boardWidth, b.boardHeight, whole * deviceRatio_);
    // Zoomed out the picture's reduced copies are read: while they are being made, what needs
    // no picture is made ready, so that a Z pressed then does not wait for it too.
    if (!levels_.ready())
        return prepareAhead(whole * deviceRatio_, table) ? 0 : prefetchDelay;
    return prefetchNear(whole * deviceRatio_, table, table.center()) ? 0 : -1;
}

bool BoardRenderer::prepareAhead(double scale, const QRect& area) {
    if (rowsStale_ && SampledCanvas::farOutAt(scale)) {
        rebuildRows();
        return true;
    }
    // The tiles, a few at a time: fresh memory costs more to touch than drawing there does.
    int made = 0;
    for (int ty = floorDiv(area.top(), tileSize); ty <= floorDiv(area.bottom(), tileSize); ++ty)
        for (int tx = floorDiv(area.left(), tileSize); tx <= floorDiv(area.right(), tileSize); ++tx) {
            const TileKey key{scale, tx, ty};
            if (tiles_.count(key))
                continue;
            if (made == 4 || static_cast<int>(tiles_.size()) >= tileBudget())
                return true;
            tileFor(key).image.fill(0); // still dirty: drawn when shown or drawn ahead
            ++made;
        }
    return made > 0;
}

bool BoardRenderer::prefetchNear(double scale, const QRect& area, QPoint centre) {
    const QRect wanted =
        area.intersected(drawnRect(state_.board.boardWidth, state_.board.boardHeight, scale));
    if (wanted.isEmpty())
        return false;
    Tile* nearest = nullptr;
    TileKey nearestKey{scale, 0, 0};
    std::int64_t best = -1;
    for (int ty = floorDiv(wanted.top(), tileSize); ty <= floorDiv(wanted.bottom(), tileSize); ++ty)
        for (int tx = floorDiv(wanted.left(), tileSize); tx <= floorDiv(wanted.right(), tileSize); ++tx) {
            const TileKey key{scale, tx, ty};
            const auto found = tiles_.find(key);
            if (found != tiles_.end() && found->second.dirty.isEmpty())
                continue;
            const QPoint c = QRect(tx * tileSize, ty * tileSize, tileSize, tileSize).center() - centre;
            const std::int64_t d = std::int64_t(c.x()) * c.x() + std::int64_t(c.y()) * c.y();
            if (best < 0 || d < best) {
                best = d;
                nearestKey = key;
                nearest = found != tiles_.end() ? &found->second : nullptr;
            }
        }
    if (best < 0)
        return false;
    if (!nearest) {
        nearest = &tileFor(nearestKey);
        // Made ahead of need: it is the first to go when room is short.
        lastUsed_.splice(lastUsed_.end(), lastUsed_, nearest->use);
    }
    renderTiles({nearest}, scale);
    return true;
}

QImage BoardRenderer::boardImage(const QRect& boardRect, bool withHeld) {
    flush();
    QImage image(boardRect.size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    const QPoint shift = -boardRect.topLeft();
    const QRect drawn = state_.board.rect();
    const QRect wanted = boardRect.intersected(drawn);
    followBoardSize();
    dropOtherScales(1.0);
    painter.fillRect(image.rect(), Qt::black);
    if (!wanted.isEmpty()) {
        std::vector<Tile*> shown, stale;
        for (int ty = floorDiv(wanted.top(), tileSize); ty <= floorDiv(wanted.bottom(), tileSize); ++ty)
            for (int tx = floorDiv(wanted.left(), tileSize); tx <= floorDiv(wanted.right(), tileSize); ++tx) {
                Tile& tile = tileFor(TileKey{1.0, tx, ty});
                shown.push_back(&tile);
                if (!tile.dirty.isEmpty())
                    stale.push_back(&tile);
            }
        if (covered_) {
            QImage cover(wanted.size(), QImage::Format_RGB32);
            prepareSources(1.0);
            renderArea(cover, wanted.topLeft(), wanted, 1.0, scratch_[0], false);
            painter.drawImage(wanted.topLeft() + shift, cover);
        } else {
            renderTiles(stale, 1.0);
            for (const Tile* tile : shown)
                painter.drawImage(tile->area.topLeft() + shift, tile->image);
        }
    }
    const int picked = state_.input.pickedElement;
    if (withHeld && !covered_ && picked >= 0 && picked < state_.puzzle.count() && state_.input.lifted) {
        const Element& e = state_.puzzle.element(picked);
        QImage look(state_.puzzle.geometry.bitmapSize, state_.puzzle.geometry.bitmapSize,
                    QImage::Format_RGB32);
        paintElementBitmap(look, e, state_.puzzle, state_.picture, state_.settings.outlineColor);
        painter.setClipRegion(state_.puzzle.boardRegions[picked].translated(shift));
        painter.drawImage(QPoint(e.cellRect.left, e.cellRect.top) + shift, look);
    }
    painter.end();
    evictTiles();
    return image;
}

BoardRenderer::Memory BoardRenderer::memory() {
    Memory m;
    for (const auto& [key, tile] : tiles_)
        m.tiles += tile.image.sizeInBytes();
    m.tileCount = static_cast<int>(tiles_.size());
    m.pictureLevels = levels_.bytes();
    m.index = index_.bytes() + static_cast<std::int64_t>(rank_.capacity() * sizeof(std::int32_t));
    m.shapeRows = static_cast<std::int64_t>(elementRows_.capacity() * sizeof(elementRows_[0]));
    for (const auto& [key, shape] : shapeRows_)
        m.shapeRows += shape.rows.bytes() + static_cast<std::int64_t>(sizeof(key) + sizeof(shape)) + 16;
    m.deviceShapes = state_.deviceShapes.cachedBytes();
    return m;
}
