#pragma once

#include <QImage>
#include <QRect>

#include <cstdint>
#include <vector>

// Halved copies of the off-screen board for a zoomed-out view: level 1 is half the board's
// size (rounded down), each further level half the one before, so that all of them together
// hold less than a third of the board's pixels. A level is made the first time a view asks for
// it; from then on the renderer reports every rectangle it changes, and only the tiles those
// rectangles touch are averaged again, when a level is next asked for. Scrolling and dragging
// zoomed out thus never rescale the whole board.
class ReducedBoards {
public:
    // Board pixels per side of a tile: the unit in which changes are remembered.
    static constexpr int tileSize = 64;

    // Forgets every level (a new board bitmap of this size).
    void reset(QSize boardSize);
    // The board changed inside this rectangle (board coordinates).
    void markChanged(const QRect& boardRect);
    void markAllChanged();

    // Level `level` (1 = half), made or brought up to date from the board first.
    const QImage& level(const QImage& board, int level);
    // The deepest level a board of this size has (no side below one pixel).
    int deepestLevel() const;
    int madeLevels() const { return static_cast<int>(levels_.size()); }
    // Memory held by the levels.
    std::int64_t bytes() const;

private:
    void updateChangedTiles(const QImage& board);
    void rebuildAll(const QImage& board);

    QSize boardSize_;
    std::vector<QImage> levels_; // levels_[0] is level 1
    int tilesX_ = 0;
    int tilesY_ = 0;
    std::vector<std::uint8_t> changed_; // per tile
    std::vector<std::int32_t> changedTiles_;
    bool allChanged_ = false;
};
