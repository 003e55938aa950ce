#pragma once

#include <QRegion>

class IBoardHost;
class ICursor;
class ISound;
class QPainter;
struct GameState;

// Draws the board into its off-screen bitmap, element by element, and tells the window which
// part of it changed. Only full repaints touch the whole board; interaction repairs locally.
class BoardRenderer {
public:
    static constexpr int elementsAppearWave = 259;

    BoardRenderer(GameState& state, IBoardHost& host, ISound& sound, ICursor& cursor);

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
    // Refreshes the element's board region for its current position and join state.
    void placeBoardRegion(int i);
    // Chooses the element's board region from its join state; false if no region could be made.
    bool updateJoinRegion(int i);

    // The window's paint: the held element through its drag region, the board copy around it.
    void paint(QPainter& painter, const QRegion& clientArea) const;

    // The region of element i moved into client coordinates.
    QRegion clientRegion(int i) const;

    // Rebuilds the element's shape regions without trimming / repaints its bitmap in place.
    void rebuildShape(int i);
    void repaintBitmap(int i);

    // Repaints the background inside a board region.
    void paintBackground(const QRegion& clip);

private:

    GameState& state_;
    IBoardHost& host_;
    ISound& sound_;
    ICursor& cursor_;
};
