#include "board/boardrenderer.h"

#include "board/boardhost.h"
#include "board/boardstate.h"
#include "board/rectbuckets.h"
#include "board/selectionoverlay.h"
#include "model/elementbitmap.h"
#include "model/elementcontext.h"
#include "model/regioncopy.h"
#include "model/services.h"
#include "model/shapebuilder.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace {

std::int64_t bucketKey(int x, int y) {
    return (static_cast<std::int64_t>(x) << 32) ^ static_cast<std::uint32_t>(y);
}

// Element bodies bucketed in squares of a given reach: two bodies less than `reach` apart in
// both directions lie in the same or in neighbouring buckets.
class BodyBuckets {
public:
    BodyBuckets(const std::vector<Rect>& bodies, int reach) : bodies_(bodies), reach_(std::max(1, reach)) {}
    void add(int i) { buckets_[keyOf(bodies_[i].left, bodies_[i].top)].push_back(i); }
    // Calls f(j) for every added j whose body is less than the reach away from b in both directions.
    template <class F> void forNear(const Rect& b, F&& f) const {
        const int bx = floorDiv(b.left, reach_), by = floorDiv(b.top, reach_);
        for (int ox = -1; ox <= 1; ++ox)
            for (int oy = -1; oy <= 1; ++oy) {
                const auto found = buckets_.find(bucketKey(bx + ox, by + oy));
                if (found == buckets_.end())
                    continue;
                for (const int j : found->second) {
                    const Rect& o = bodies_[j];
                    if (std::abs(o.left - b.left) < reach_ && std::abs(o.top - b.top) < reach_)
                        f(j);
                }
            }
    }

private:
    std::int64_t keyOf(int x, int y) const { return bucketKey(floorDiv(x, reach_), floorDiv(y, reach_)); }
    const std::vector<Rect>& bodies_;
    int reach_;
    std::unordered_map<std::int64_t, std::vector<std::int32_t>> buckets_;
};

} // namespace

BoardRenderer::BoardRenderer(BoardState& state, IBoardHost& host, ISound& sound, ICursor& cursor)
    : state_(state), host_(host), sound_(sound), cursor_(cursor) {}

void BoardRenderer::paintBackground(const QRegion& clip) {
    QImage& board = state_.board.boardBitmap;
    const BackgroundState& bg = state_.background;
    const quint32 colour = bg.backgroundColor.rgb();
    uchar* const bits = bg.bitmapBackground ? nullptr : board.bits(); // detached once, not per row
    const qsizetype stride = board.bytesPerLine();
    for (const QRect& r : clip) {
        const Rect rect = Rect::fromQRect(r);
        if (bg.bitmapBackground) {
            tileBitmap(bg.texture, board, rect);
        } else {
            const QRect c = r.intersected(board.rect());
            if (c.isEmpty())
                continue;
            for (int y = c.top(); y <= c.bottom(); ++y) {
                auto* row = reinterpret_cast<quint32*>(bits + y * stride);
                std::fill(row + c.left(), row + c.left() + c.width(), colour);
            }
        }
    }
    state_.board.markChanged(clip.boundingRect());
}

void BoardRenderer::repaintArea(const QRegion& area) {
    if (area.isEmpty())
        return;
    paintBackground(area);
    const Puzzle& puzzle = state_.puzzle;
    for (auto it = puzzle.stackOrder.rbegin(); it != puzzle.stackOrder.rend(); ++it) {
        const int i = *it;
        if (puzzle.element(i).lifted || !area.intersects(puzzle.boardRegions[i].boundingRect()))
            continue;
        drawElement(i, false, false, &area);
    }
}

void BoardRenderer::redrawBoard(RedrawFlags flags) {
    if (flags.clearBackground)
        state_.board.paintBackground(state_.background);
    if (!state_.hasElements()) {
        host_.invalidateAll();
        host_.updateNow();
        return;
    }
    const WaitCursor wait(cursor_);
    Puzzle& puzzle = state_.puzzle;
    InvalidationBatch batch(*this); // the whole client area is invalidated below anyway
    for (auto it = puzzle.stackOrder.rbegin(); it != puzzle.stackOrder.rend(); ++it) {
        const int i = *it;
        if (flags.rebuildRegions) {
            // A new outline thickness has rebuilt the shapes already; without one they are
            // rebuilt here, untrimmed.
            if (state_.settings.outlineThickness == 0)
                rebuildShape(i);
            placeBoardRegion(i);
        }
        if (flags.rebuildBitmaps)
            repaintBitmap(i);
        drawElement(i, false, !flags.clearBackground);
    }
    if (flags.playSound)
        sound_.playWave(elementsAppearWave);
    host_.invalidateAll();
}

void BoardRenderer::coverBoard() {
    state_.board.paintBackground(state_.background);
    host_.invalidateAll();
    host_.updateNow();
}

void BoardRenderer::drawElement(int i, bool rebuildRegion, bool invalidate, const QRegion* extraClip) {
    if (rebuildRegion)
        placeBoardRegion(i);
    Element& e = state_.puzzle.element(i);
    const QRegion& region = state_.puzzle.boardRegions[i];
    const QPoint origin(e.cellRect.left, e.cellRect.top);
    if (e.bitmap.isNull()) {
        e.lifted = 0;
        return;
    }
    // Only the bitmap's own square can come from the bitmap, whatever the region says.
    const QRect square(origin, e.bitmap.size());
    QRegion clip = square.contains(region.boundingRect()) ? region : region.intersected(square);
    if (extraClip)
        clip = clip.intersected(*extraClip);
    copyRegion(state_.board.boardBitmap, clip, e.bitmap, -origin);
    state_.board.markChanged(clip.boundingRect());
    if (invalidate)
        invalidateElement(i);
    e.lifted = 0;
}

template <class Include> void BoardRenderer::repairAround(int i, const QRegion& clip, Include include) {
    const Puzzle& puzzle = state_.puzzle;
    const Rect& body = puzzle.bodyRects[i];
    const int a = puzzle.geometry.elementSize * 3 / 2;
    for (auto it = puzzle.stackOrder.rbegin(); it != puzzle.stackOrder.rend(); ++it) {
        const int j = *it;
        if (j == i)
            continue;
        // The compact body squares first: `include` may read the elements themselves.
        const Rect& b = puzzle.bodyRects[j];
        if (b.left > body.left - a && b.top > body.top - a && b.right < body.right + a &&
            b.bottom < body.bottom + a && include(j))
            drawElement(j, false, false, &clip);
    }
}

void BoardRenderer::liftElement(int i, bool invalidate, bool redrawOwnBlock) {
    Puzzle& puzzle = state_.puzzle;
    const QRegion region = puzzle.boardRegions[i];
    paintBackground(region);
    if (invalidate)
        invalidateElement(i);
    repairAround(i, region, [&](int j) { return redrawOwnBlock || !puzzle.blocks.sameBlock(i, j); });
    puzzle.element(i).lifted = 1;
}

void BoardRenderer::liftElements(const std::vector<std::int32_t>& members, bool invalidate) {
    if (members.empty())
        return;
    if (members.size() == 1) {
        liftElement(members.front(), invalidate, false);
        return;
    }
    // An element is repaired where it lay under a lifted member whose body is less than a away
    // in both directions (the strict widened-square test, as all bodies are S square).
    const Puzzle& puzzle = state_.puzzle;
    const int block = members.front();
    liftMany(members, invalidate, puzzle.geometry.elementSize * 3 / 2,
             [&](int j) { return puzzle.blocks.sameBlock(j, block); });
}

void BoardRenderer::liftSet(const std::vector<std::int32_t>& elements) {
    std::vector<char> inSet(state_.puzzle.count(), 0);
    for (const int j : elements)
        inSet[j] = 1;
    // Cells are bitmapSize square and hold their regions: bodies that far apart never overlap,
    // the outline band included.
    liftMany(elements, true, state_.puzzle.geometry.bitmapSize, [&](int j) { return inSet[j] != 0; });
}

template <class Skip>
void BoardRenderer::liftMany(const std::vector<std::int32_t>& elements, bool invalidate, int reach,
                             Skip skip) {
    if (elements.empty())
        return;
    Puzzle& puzzle = state_.puzzle;
    InvalidationBatch batch(*this);
    for (const int j : elements) {
        paintBackground(puzzle.boardRegions[j]);
        if (invalidate)
            invalidateElement(j);
    }
    BodyBuckets lifted(puzzle.bodyRects, reach);
    for (const int j : elements)
        lifted.add(j);
    for (auto it = puzzle.stackOrder.rbegin(); it != puzzle.stackOrder.rend(); ++it) {
        const int j = *it;
        if (skip(j))
            continue;
        QRegion clip;
        lifted.forNear(puzzle.bodyRects[j], [&](int m) { clip += puzzle.boardRegions[m]; });
        if (!clip.isEmpty())
            drawElement(j, false, false, &clip);
    }
    for (const int j : elements)
        puzzle.element(j).lifted = 1;
}

void BoardRenderer::drawBlockBack(int e) {
    Puzzle& puzzle = state_.puzzle;
    InvalidationBatch batch(*this);
    drawElement(e, false, true);
    const std::vector<std::int32_t>& members = puzzle.blocks.members(e);
    if (members.size() == 1)
        return;
    // A member that stayed on the board already shows there; it must be drawn again only where
    // an element outside the block may overlap it (their cells meet), now that the block is on
    // top. Lifted members are always drawn.
    const bool anyOnBoard = std::any_of(members.begin(), members.end(),
                                        [&](int j) { return j != e && !puzzle.element(j).lifted; });
    BodyBuckets outside(puzzle.bodyRects, puzzle.geometry.bitmapSize);
    if (anyOnBoard)
        for (int j = 0; j < puzzle.count(); ++j)
            if (!puzzle.blocks.sameBlock(j, e))
                outside.add(j);
    for (const int j : members) {
        if (j == e)
            continue;
        bool covered = puzzle.element(j).lifted != 0;
        if (!covered)
            outside.forNear(puzzle.bodyRects[j], [&](int) { covered = true; });
        if (covered)
            drawElement(j, false, true);
    }
}

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

void BoardRenderer::invalidateElement(int i) {
    if (batchDepth_ > 0 && batchCount_ >= exactBatchLimit) {
        // Only the bounds count from here on; no need to make a moved copy of the region.
        const QRect bounds = state_.puzzle.boardRegions[i].boundingRect();
        if (!bounds.isEmpty()) {
            batchBounds_ |= state_.board.toClient(bounds);
            ++batchCount_;
        }
        return;
    }
    invalidate(clientRegion(i));
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

QRegion BoardRenderer::clientRegion(int i) const {
    return state_.board.toClient(state_.puzzle.boardRegions[i]);
}

void BoardRenderer::paint(QPainter& painter, const QRegion& clientArea) const {
    const Board& board = state_.board;
    if (!board.unscaled()) {
        paintScaled(painter, clientArea);
        return;
    }
    QRegion rest = clientArea;
    const int picked = state_.input.pickedElement;
    if (picked >= 0 && picked < state_.puzzle.count()) {
        const Element& e = state_.puzzle.element(picked);
        painter.setClipRegion(state_.input.dragClipRegion.intersected(clientArea));
        painter.drawImage(QPoint(e.cellRect.left - board.scrollX, e.cellRect.top - board.scrollY), e.bitmap);
        rest = clientArea.subtracted(state_.input.dragClipRegion);
    }
    painter.setClipRegion(rest);
    const QRect bounds = rest.boundingRect();
    painter.drawImage(bounds, board.boardBitmap, bounds.translated(board.scrollX, board.scrollY));
    // A window larger than the board (it never should be) shows black rather than garbage.
    const QRegion outside =
        rest.subtracted(QRect(-board.scrollX, -board.scrollY, board.boardWidth, board.boardHeight));
    for (const QRect& r : outside)
        painter.fillRect(r, Qt::black);
    paintMovingSelection(painter, rest);
    painter.setClipping(false);
    selectionOverlay_.paint(painter, state_, clientArea, true);
}

void BoardRenderer::paintMovingSelection(QPainter& painter, const QRegion& area) const {
    const InputState& in = state_.input;
    if (!in.selectionLifted)
        return;
    const Board& board = state_.board;
    const Puzzle& p = state_.puzzle;
    const QRect bounds = area.boundingRect().translated(board.scrollX, board.scrollY);
    // Bottom first, under the held element (which `area` leaves out).
    for (auto it = in.movingSelection.rbegin(); it != in.movingSelection.rend(); ++it) {
        const int j = *it;
        if (j == in.pickedElement || !p.boardRegions[j].boundingRect().intersects(bounds))
            continue;
        const Element& e = p.element(j);
        painter.setClipRegion(clientRegion(j).intersected(area));
        painter.drawImage(QPoint(e.cellRect.left - board.scrollX, e.cellRect.top - board.scrollY), e.bitmap);
    }
}

void BoardRenderer::rebuildShape(int i) {
    state_.shapes.buildShape(state_.puzzle.element(i));
}

void BoardRenderer::repaintBitmap(int i) {
    paintElementBitmap(state_.puzzle.element(i), 0, state_.puzzle, state_.turnedPictures,
                       state_.settings.outlineColor);
}

void BoardRenderer::placeBoardRegion(int i) {
    ::placeBoardRegion(state_.puzzle, state_.shapes, i);
}

void BoardRenderer::eraseUncovered(int i, const QRegion& before) {
    Puzzle& p = state_.puzzle;
    if (p.element(i).lifted)
        return;
    const QRegion removed = before.subtracted(p.boardRegions[i]);
    if (removed.isEmpty())
        return;
    paintBackground(removed);
    // Whatever lies under the band shows again, in stacking order, as when lifting.
    repairAround(i, removed, [&](int j) { return !p.element(j).lifted; });
    invalidate(state_.board.toClient(removed));
}

void BoardRenderer::paintScaled(QPainter& painter, const QRegion& clientArea) const {
    Board& board = state_.board;
    painter.setClipRegion(clientArea);

    // The nearest reduced copy at least as large as the view, so the smoothing never shrinks
    // by more than half: averaged, not sampled, and never jagged.
    int level = 0;
    double factor = board.scale;
    while (factor <= 0.5 + 1e-9 && level < board.reduced.deepestLevel()) {
        factor *= 2;
        ++level;
    }
    const QImage& source = level == 0 ? board.boardBitmap : board.reduced.level(board.boardBitmap, level);
    // A pixel u of the copy shows at client point u * factor + shift.
    const double shiftX = board.originX - board.scrollX, shiftY = board.originY - board.scrollY;
    // Around a zoomed-out board narrower or lower than the window, and any pixel whose centre
    // the copy does not cover.
    const QRectF drawn(shiftX, shiftY, source.width() * factor, source.height() * factor);
    const QRect inside(QPoint(int(std::ceil(drawn.left())), int(std::ceil(drawn.top()))),
                       QPoint(int(std::floor(drawn.right())) - 1, int(std::floor(drawn.bottom())) - 1));
    const QRegion around = clientArea.subtracted(inside);
    if (!around.isEmpty()) {
        const QColor table = state_.background.surroundColor();
        for (const QRect& r : around)
            painter.fillRect(r, table);
    }
    // The whole copy as the source, cut by the clip alone: the smoothing then reads the same
    // neighbours for a pixel whatever area a paint covers, so partial repaints match whole ones.
    if (!clientArea.boundingRect().intersected(inside.adjusted(-1, -1, 1, 1)).isEmpty()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.setTransform(QTransform(factor, 0, 0, factor, shiftX, shiftY));
        painter.drawImage(QPointF(0, 0), source);
        painter.restore();
    }

    const int picked = state_.input.pickedElement;
    if (picked >= 0 && picked < state_.puzzle.count()) {
        const Element& e = state_.puzzle.element(picked);
        const QPointF at = board.toClientF(QPointF(e.cellRect.left, e.cellRect.top));
        painter.drawImage(
            QPoint(static_cast<int>(std::lround(at.x())), static_cast<int>(std::lround(at.y()))),
            heldImage(picked));
    }
    painter.setClipping(false);
    selectionOverlay_.paint(painter, state_, clientArea, false);
}

const QImage& BoardRenderer::heldImage(int i) const {
    const Element& e = state_.puzzle.element(i);
    const QRegion shape = state_.puzzle.boardRegions[i]
                              .translated(-e.cellRect.left, -e.cellRect.top)
                              .intersected(e.bitmap.rect());
    const double scale = state_.board.scale;
    if (i == held_.element && scale == held_.scale && e.bitmap.cacheKey() == held_.bitmapKey &&
        shape == held_.shape)
        return held_.image;
    // The element's pixels only, transparent around them, then scaled smoothly as a whole: its
    // edge blends into the board as the reduced board's edges do.
    QImage masked(e.bitmap.size(), QImage::Format_ARGB32_Premultiplied);
    masked.fill(Qt::transparent);
    {
        QPainter p(&masked);
        p.setClipRegion(shape);
        p.drawImage(0, 0, e.bitmap);
    }
    const QSize size(std::max(1, static_cast<int>(std::lround(masked.width() * scale))),
                     std::max(1, static_cast<int>(std::lround(masked.height() * scale))));
    held_.image = masked.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    held_.element = i;
    held_.scale = scale;
    held_.bitmapKey = e.bitmap.cacheKey();
    held_.shape = shape;
    return held_.image;
}
