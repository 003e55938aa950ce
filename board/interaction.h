#pragma once

#include "board/keystate.h"
#include "board/rotator.h"
#include "board/scroller.h"
#include "board/sorter.h"
#include "board/tablegrowth.h"
#include "board/viewport.h"
#include "res/commandids.h"

#include <QPoint>
#include <QRect>

#include <cstdint>
#include <vector>

class BoardRenderer;
class ICursor;
class IInteractionHost;
class ISound;
class Joiner;
struct BoardState;

// The mouse and the keyboard on the board: picking an element or a block, dragging it with
// snapping, separating, releasing, double clicks that turn, scrolling and the hint; choosing a
// selection (a rectangle drawn on the empty table, Ctrl + click) and moving it as one; the table
// growing where something is put beyond its edge. The window turns Qt's events into these calls;
// all points are client points, all words key-state words.
// The rules it calls change the game's state and report what changed; after each call it has
// the renderer draw that.
class Interaction {
public:
    static constexpr int popupMenuCommand = Cmd::PopupMenu; // the command of F10
    // A press and release no further apart than this (client pixels, each way) is a click.
    static constexpr int clickSlop = 3;

    Interaction(BoardState& state, BoardRenderer& renderer, Joiner& joiner, IInteractionHost& host,
                ISound& sound, ICursor& cursor);

    const ButtonCombos& combos() const { return combos_; }
    Rotator& rotator() { return rotator_; }
    Scroller& scroller() { return scroller_; }
    Viewport& viewport() { return viewport_; }
    Sorter& sorter() { return sorter_; }
    TableGrowth& growth() { return growth_; }

    // The topmost element at a board point; -1 when there is none or no game.
    int hitTest(QPoint boardPoint) const;

    // In hint mode the left button shows the hint instead of picking.
    void leftButtonDown(int word, QPoint client);
    void rightButtonDown(int word, QPoint client);
    // Either button going up ends any holding.
    void buttonUp();
    // Drags the held element (or block) and snaps it; a word that is none of the button
    // combinations scrolls at the edges instead. Returns true when the view scrolled there: the
    // window then moves again with the cursor read anew while no input is waiting.
    bool mouseMove(int word, QPoint client);
    void leftDoubleClick(int word, QPoint client);
    void rightDoubleClick(int word, QPoint client);
    // True when handled (never while the left or right button is down). With Ctrl the wheel
    // zooms about the client point (the window's centre when none is given).
    bool wheel(int word, int delta);
    bool wheel(int word, int delta, QPoint client);
    // The whole table, or from it 100 % about the point clicked.
    void middleButtonDown(QPoint client);
    // Cursor keys, H and Z, only while nothing is held; Escape clears the selection.
    void keyDown(int key);
    // The sorting commands (Sorter), drawn at once.
    bool edgesFirst();
    bool gatherLoose();
    // The H key's hint mode (also from the menu): the next left click shows an element's place.
    void startHint();

    // Selects or deselects an element with its whole block (Ctrl + click).
    void toggleSelected(int e);
    // Selects every loose element and every block wholly inside a board rectangle, added to the
    // selection or in place of it.
    void selectInside(const QRect& boardRect, bool adding);
    void clearSelection();
    // The gesture the left button's word stands for: with the option that lets the left button
    // move blocks, the left button alone and Ctrl + left trade places.
    int effectiveWord(int word) const;

private:
    QPoint toBoard(QPoint client) const;
    void pick(int word, QPoint client);
    // Takes element e (alone, or just separated) off the table into the hand.
    void hold(int e);
    // mouseMove and buttonUp before the renderer takes what they changed.
    bool drag(int word, QPoint client);
    void release();
    void holdSelection(int e);
    void moveSelection(QPoint client);
    // Draws the held element (and its block, or the selection held) back into the board, ends
    // the holding and grows the table where it was put beyond the edge.
    void finishHolding();
    // A drag ended by a join: a block that takes in a selected element is selected whole, and
    // the table grows where what was held (`held`: e, or the block it moved) lies beyond the edge.
    void afterJoin(int e, const std::vector<std::int32_t>& held);
    // While something is held in an edge band the view scrolls; at the board's edge the table
    // grows ahead of it (not in the whole-table view, which shows all there is). True when the
    // view moved: the window then moves again with the pointer read anew.
    bool scrollWhileHolding(QPoint client);
    void updateBand(QPoint client);
    void finishBand();
    // Asks the window to repaint where these elements lie (their selection highlight changed).
    void invalidateElements(const std::vector<std::int32_t>& elements);
    QRect bandClientRect() const;
    void hintClick(QPoint client);
    void doubleClick(int word, QPoint client, int blockWord, int t);

    BoardState& state_;
    BoardRenderer& renderer_;
    Joiner& joiner_;
    IInteractionHost& host_;
    const ButtonCombos combos_;
    Rotator rotator_;
    Scroller scroller_;
    Viewport viewport_;
    Sorter sorter_;
    TableGrowth growth_;
};
