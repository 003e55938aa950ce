#include "board/reducedboards.h"

#include <algorithm>

namespace {

// Rounded down: every pixel of a level stands for whole pixels of the one above, and the
// levels together stay under a third of the board. An odd last column or row is left out; it is
// less than a pixel of the view that draws from the level.
QSize halved(QSize s) {
    return {s.width() / 2, s.height() / 2};
}

// Each pixel of `rect` in dst becomes the average of the two by two pixels of src it stands for.
// Red and blue are summed in one word, green in another.
void halve(const QImage& src, QImage& dst, const QRect& rect) {
    const QRect r = rect.intersected(dst.rect());
    if (r.isEmpty())
        return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const auto* row0 = reinterpret_cast<const quint32*>(src.constScanLine(2 * y));
        const auto* row1 = reinterpret_cast<const quint32*>(src.constScanLine(2 * y + 1));
        auto* out = reinterpret_cast<quint32*>(dst.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            const quint32 a = row0[2 * x], b = row0[2 * x + 1], c = row1[2 * x], d = row1[2 * x + 1];
            const quint32 rb =
                ((a & 0xff00ffu) + (b & 0xff00ffu) + (c & 0xff00ffu) + (d & 0xff00ffu) + 0x20002u) >> 2;
            const quint32 g = ((a & 0xff00u) + (b & 0xff00u) + (c & 0xff00u) + (d & 0xff00u) + 0x200u) >> 2;
            out[x] = 0xff000000u | (rb & 0xff00ffu) | (g & 0xff00u);
        }
    }
}

} // namespace

void ReducedBoards::reset(QSize boardSize) {
    boardSize_ = boardSize;
    levels_.clear();
    levels_.shrink_to_fit();
    tilesX_ = (boardSize.width() + tileSize - 1) / tileSize;
    tilesY_ = (boardSize.height() + tileSize - 1) / tileSize;
    changed_.assign(static_cast<std::size_t>(std::max(0, tilesX_ * tilesY_)), 0);
    changedTiles_.clear();
    allChanged_ = false;
}

void ReducedBoards::markChanged(const QRect& boardRect) {
    // Levels not made yet are made whole from the board when first asked for.
    if (levels_.empty() || allChanged_)
        return;
    const QRect r = boardRect.intersected(QRect(QPoint(0, 0), boardSize_));
    if (r.isEmpty())
        return;
    for (int ty = r.top() / tileSize; ty <= r.bottom() / tileSize; ++ty)
        for (int tx = r.left() / tileSize; tx <= r.right() / tileSize; ++tx) {
            const int t = ty * tilesX_ + tx;
            if (!changed_[t]) {
                changed_[t] = 1;
                changedTiles_.push_back(t);
            }
        }
}

void ReducedBoards::markAllChanged() {
    if (!levels_.empty())
        allChanged_ = true;
}

int ReducedBoards::deepestLevel() const {
    int level = 0;
    for (QSize s = halved(boardSize_); s.width() >= 1 && s.height() >= 1; s = halved(s))
        ++level;
    return level;
}

std::int64_t ReducedBoards::bytes() const {
    std::int64_t total = 0;
    for (const QImage& l : levels_)
        total += l.sizeInBytes();
    return total;
}

const QImage& ReducedBoards::level(const QImage& board, int level) {
    level = std::clamp(level, 1, std::max(1, deepestLevel()));
    if (allChanged_)
        rebuildAll(board);
    else
        updateChangedTiles(board);
    while (madeLevels() < level) {
        const QImage& from = levels_.empty() ? board : levels_.back();
        QImage next(halved(from.size()), QImage::Format_RGB32);
        halve(from, next, next.rect());
        levels_.push_back(std::move(next));
    }
    return levels_[level - 1];
}

void ReducedBoards::rebuildAll(const QImage& board) {
    for (std::size_t l = 0; l < levels_.size(); ++l)
        halve(l == 0 ? board : levels_[l - 1], levels_[l], levels_[l].rect());
    for (const int t : changedTiles_)
        changed_[t] = 0;
    changedTiles_.clear();
    allChanged_ = false;
}

void ReducedBoards::updateChangedTiles(const QImage& board) {
    if (changedTiles_.empty())
        return;
    // Many changed tiles (a full repaint reported piecemeal): averaging everything once is cheaper.
    if (changedTiles_.size() * 4 > changed_.size()) {
        rebuildAll(board);
        return;
    }
    // Level by level, so every tile reads the level above it already brought up to date.
    for (std::size_t l = 0; l < levels_.size(); ++l) {
        const QImage& from = l == 0 ? board : levels_[l - 1];
        const int shift = static_cast<int>(l) + 1;
        for (const int t : changedTiles_) {
            const int x0 = (t % tilesX_) * tileSize, y0 = (t / tilesX_) * tileSize;
            // The pixels of level l+1 that any pixel of the tile counts in.
            const int left = x0 >> shift, top = y0 >> shift;
            const int right = (x0 + tileSize - 1) >> shift, bottom = (y0 + tileSize - 1) >> shift;
            halve(from, levels_[l], QRect(QPoint(left, top), QPoint(right, bottom)));
        }
    }
    for (const int t : changedTiles_)
        changed_[t] = 0;
    changedTiles_.clear();
}
