#pragma once

#include "board/background.h"
#include "board/board.h"
#include "board/boardchanges.h"
#include "model/cutparameters.h"
#include "model/puzzle.h"
#include "model/settings.h"
#include "model/shapebuilder.h"

#include <QImage>
#include <QPoint>
#include <QRegion>

#include <cstdint>

// The interaction under way: the element in hand, what of it is off the table, and how the
// next click is read. Never saved; discarding a game drops the hold.
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
    Board board;

    InputState input;

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
