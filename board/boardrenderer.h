#pragma once

#include "board/selectionoverlay.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <cstdint>
#include <vector>

class IBoardHost;
class ICursor;
class ISound;
class QPainter;
struct BoardState;

// Draws the board into its off-screen bitmap, element by element, and tells the window which
// part of it changed. Only full repaints touch the whole board; interaction repairs locally.
class BoardRenderer {
public:
    static constexpr int elementsAppearWave = 259;

    BoardRenderer(BoardState& state, IBoardHost& host, ISound& sound, ICursor& cursor);

    struct RedrawFlags {
        bool clearBackground = false;
        bool playSound = false;
        bool rebuildBitmaps = false;
        bool rebuildRegions = false;
    };
    void redrawBoard(RedrawFlags flags);
    // Paints the background over the whole board and shows it at once (pause).
    void coverBoard();

    // Draws one element through its board region, optionally also clipped by extraClip.
    void drawElement(int i, bool rebuildRegion, bool invalidate, const QRegion* extraClip = nullptr);
    // Erases one element from the board bitmap and repairs what it covered.
    void liftElement(int i, bool invalidate, bool redrawOwnBlock);
    // Draws a held element and its block back after a drag, with the block now on top: e first,
    // then every other member that was lifted or may be overlapped by an element outside the
    // block. Members that stayed on the board with nothing else near are already shown.
    void drawBlockBack(int e);
    // Lifts the given members of one block, as liftElement(j, invalidate, false) for each of
    // them would, in one pass over the board: a block of every element costs linear time.
    void liftElements(const std::vector<std::int32_t>& members, bool invalidate);
    // Lifts any set of elements in one pass, invalidating where they were: every other element
    // is drawn again wherever one of them may have covered it.
    void liftSet(const std::vector<std::int32_t>& elements);
    // Refreshes the element's board region for its current position, shape and join state.
    void placeBoardRegion(int i);
    // Element i's board region shrank from `before` with a new join while it lies drawn on the
    // board: the outline band left out is erased, or its pixels would stay behind (and stay
    // there when the block moves away) although no element covers them, and whatever lies under
    // it shows again.
    void eraseUncovered(int i, const QRegion& before);

    // The window's paint: the held element through its drag region, the board copy around it;
    // at other scales than 100 % the board scaled from its reduced copies, the held element on top.
    void paint(QPainter& painter, const QRegion& clientArea) const;

    // The region of element i moved into client coordinates.
    QRegion clientRegion(int i) const;

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

    // Rebuilds the element's shape regions without trimming / repaints its bitmap in place.
    void rebuildShape(int i);
    void repaintBitmap(int i);

    // Repaints the background inside a board region.
    void paintBackground(const QRegion& clip);
    // Paints a board area afresh (new table): the background, then every element on the board
    // that reaches into it, bottom first. Held elements are not on the board and stay out.
    void repaintArea(const QRegion& area);

private:
    static constexpr int exactBatchLimit = 16;
    void paintScaled(QPainter& painter, const QRegion& clientArea) const;
    // At 100 %: the elements of a held selection, other than the held one, where they now lie.
    void paintMovingSelection(QPainter& painter, const QRegion& area) const;
    // The held element as the view shows it, made again only when it, its shape or the scale change.
    const QImage& heldImage(int i) const;
    void endBatch();
    void invalidateElement(int i);
    // Draws again, clipped to `clip` and in stacking order, every element other than i whose
    // body lies strictly inside i's body widened by one and a half element sizes and that
    // `include` accepts: what i may have covered.
    template <class Include> void repairAround(int i, const QRegion& clip, Include include);
    // Erases the elements and draws again, in stacking order, each element that `skip` refuses
    // wherever one of them whose body is less than `reach` away in both directions lay.
    template <class Skip>
    void liftMany(const std::vector<std::int32_t>& elements, bool invalidate, int reach, Skip skip);

    BoardState& state_;
    IBoardHost& host_;
    ISound& sound_;
    ICursor& cursor_;
    int batchDepth_ = 0;
    std::vector<QRegion> batchAreas_;
    QRect batchBounds_;
    int batchCount_ = 0;
    struct HeldImage {
        int element = -1;
        double scale = 0;
        qint64 bitmapKey = 0;
        QRegion shape;
        QImage image;
    };
    mutable HeldImage held_;
    SelectionOverlay selectionOverlay_;
};
