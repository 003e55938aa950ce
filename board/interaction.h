#pragma once

#include "board/keystate.h"
#include "board/rotator.h"
#include "board/scroller.h"
#include "board/sorter.h"
#include "board/viewport.h"
#include "res/commandids.h"

#include <QPoint>

class BoardRenderer;
class ICursor;
class IInteractionHost;
class ISound;
class Joiner;
struct BoardState;

// The mouse and the keyboard on the board: picking an element or a block, dragging it with
// snapping, separating, releasing, double clicks that turn, scrolling and the hint. The window
// turns Qt's events into these calls; all points are client points, all words key-state words.
// The rules it calls change the game's state and report what changed; after each call it has
// the renderer draw that.
class Interaction {
public:
    static constexpr int popupMenuCommand = Cmd::PopupMenu; // the command of F10

    Interaction(BoardState& state, BoardRenderer& renderer, Joiner& joiner, IInteractionHost& host,
                ISound& sound, ICursor& cursor);

    const ButtonCombos& combos() const { return combos_; }
    Rotator& rotator() { return rotator_; }
    Scroller& scroller() { return scroller_; }
    Viewport& viewport() { return viewport_; }
    Sorter& sorter() { return sorter_; }

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
    // Cursor keys, H and Z, only while nothing is held.
    void keyDown(int key);
    // The sorting commands (Sorter), drawn at once.
    bool edgesFirst();
    bool gatherLoose();
    // The H key's hint mode (also from the menu): the next left click shows an element's place.
    void startHint();

private:
    QPoint toBoard(QPoint client) const;
    void pick(int word, QPoint client);
    // Takes element e (alone, or just separated) off the table into the hand.
    void hold(int e);
    // Draws the held element (and its block) back into the board and ends the holding.
    void finishHolding();
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
};
