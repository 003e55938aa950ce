#pragma once

#include "board/background.h"
#include "board/board.h"
#include "board/boardchanges.h"
#include "board/selection.h"
#include "model/cutparameters.h"
#include "model/puzzle.h"
#include "model/settings.h"
#include "model/shapebuilder.h"

#include <QImage>
#include <QPoint>
#include <QRegion>

#include <QRect>

#include <cstdint>
#include <vector>

// A rectangle being drawn on the empty table to select what lies wholly inside it.
struct SelectionBand {
    bool active = false;
    bool adding = false; // with Ctrl: added to the selection, else in place of it
    QPoint anchor;       // board coordinates: where the drag began
    QPoint corner;       // board coordinates: where the pointer is
    QRect rect() const { return QRect(anchor, corner).normalized(); }
};

// The interaction under way: the element in hand, what of it is off the table, the selection and
// how the next click is read.
// Never saved; discarding a game drops the hold and the selection.
struct InputState {
    std::int32_t pickedElement = -1;
    // The picked element is off the table: the window paints it where it is, above everything.
    bool lifted = false;
    // The rest of the picked element's block is off the table too (a block being moved): it is
    // not seen until the block is put down.
    bool blockLifted = false;
    QRegion dragClipRegion; // client coordinates: where the held element is painted
    QPoint lastCursor;      // board coordinates
    std::int32_t hintMode = 0;

    Selection selection;
    // While a selection is held: every element that moves with the held one, topmost first, and
    // whether they have been lifted off the board yet (at the first move).
    std::vector<std::int32_t> movingSelection;
    std::vector<char> moving; // by element: one of movingSelection
    // The moving selection is off the table: drawn above it by the window (at 100 %) while it moves.
    bool selectionLifted = false;
    // Zoomed out, the elements the held one lay within reach of as it was picked up: they join it
    // only once it has left them, or every element picked from the scatter would stick to a
    // neighbour there.
    std::vector<std::int32_t> inReachAtPick;
    // While something is held at the window's edge with the view at the board's edge: the way
    // (-1 or +1 on each axis) the view goes on into new table, 0 where it does not.
    QPoint edgeRun;
    SelectionBand band;
    // The press that began the gesture under way: a release close to it is a click.
    QPoint pressClient;
    int pressWord = 0;
    std::int32_t pressElement = -1;
    bool pressMoved = false;
    // The element whose block the last Ctrl + click added or removed, -1 after any other press:
    // a double click that follows it turns the block and takes the click back.
    std::int32_t lastToggled = -1;

    // The game on the board is given up: nothing is held or selected any more.
    void dropGame() {
        pickedElement = -1;
        lifted = blockLifted = false;
        dragClipRegion = QRegion();
        selection.reset(0);
        movingSelection.clear();
        moving.clear();
        selectionLifted = false;
        band = SelectionBand();
        edgeRun = QPoint();
        inReachAtPick.clear();
        pressElement = lastToggled = -1;
    }
};

// The player's choices that are no part of a game: remembered between runs, never saved with one.
struct PlayOptions {
    // A left drag on a member of a block moves the block, and Ctrl + left picks the element alone.
    bool leftButtonMovesBlocks = false;
};

// What the board's classes (renderer, interaction, joiner, rotator, scroller and the view) work
// on. Its kinds of data are kept apart: what a saved game holds, what is made from it only to be
// shown, the interaction under way, and what changed since the view last drew.
struct BoardState {
    // Saved with the game: how the picture is cut (the cut dialog sets the shape options for the
    // next game once the elements are gone), the player's settings, the background, the puzzle
    // itself (places, turns, joins, blocks, stacking) and the cut picture, kept once: every
    // element is drawn from it, turned as the element is, when the screen needs it.
    CutParameters cut;
    Settings settings;
    BackgroundState background;
    Puzzle puzzle;
    QImage picture;
    // The same picture finer, for screens with more device pixels than logical ones (null when
    // there is none): kept and saved beside `picture`, never instead of it.
    QImage devicePicture;

    // Made again from the above whenever needed: the shapes (shared between elements with
    // equal edges; options follow the geometry, the mosaic option and the bevel), and the size
    // of the table with the part of it the window shows. The drawing's own caches belong to the
    // renderer.
    ShapeBuilder shapes;
    // The shapes as drawn at the screen's device pixels (follows the renderer's ratio).
    DeviceShapes deviceShapes;
    Board board;

    InputState input;
    PlayOptions options;

    // What the rules changed since the view last drew; the view takes it.
    BoardChanges changes;

    // Elements lie on the board: a game was created or loaded and not yet discarded. The one
    // place this fact is worked out.
    bool hasElements() const { return !puzzle.isEmpty(); }

    // Element i is off the table while held: drawn above it by the window, or not at all (the
    // rest of a block being moved). The one place this fact is worked out.
    bool offTable(int i) const {
        const int picked = input.pickedElement;
        if (picked < 0 || picked >= puzzle.count())
            return false;
        if (input.selectionLifted)
            return i >= 0 && i < static_cast<int>(input.moving.size()) && input.moving[i] != 0;
        if (i == picked)
            return input.lifted;
        return input.blockLifted && puzzle.blocks.sameBlock(i, picked);
    }

    // The view moved or changed scale: the held element keeps its board place, where the
    // window paints it follows the view.
    void refreshDragClip() {
        if (input.pickedElement >= 0 && input.pickedElement < puzzle.count())
            input.dragClipRegion = board.toClient(puzzle.boardRegions[input.pickedElement]);
    }
};
