#pragma once

#include "board/background.h"
#include "board/board.h"
#include "model/cutparameters.h"
#include "model/puzzle.h"
#include "model/settings.h"
#include "model/shapebuilder.h"

#include <QImage>
#include <QPoint>
#include <QRegion>

#include <array>
#include <cstdint>

// The interaction under way: the element in hand and how the next click is read. Never saved;
// discarding a game drops the hold.
struct InputState {
    std::int32_t pickedElement = -1;
    QRegion dragClipRegion; // client coordinates: where the held element is painted
    QPoint lastCursor;      // board coordinates
    std::int32_t hintMode = 0;
};

// What the board's classes (renderer, interaction, joiner, rotator, scroller and the view) work
// on. Its three kinds of data are kept apart: what a saved game holds, what is made from it only
// to be shown, and the interaction under way.
struct BoardState {
    // Saved with the game: how the picture is cut (the cut dialog sets the shape options for the
    // next game once the elements are gone), the player's settings, the background and the
    // puzzle itself (places, turns, joins, blocks, stacking).
    CutParameters cut;
    Settings settings;
    BackgroundState background;
    Puzzle puzzle;

    // Only on screen, made again from the above and the picture whenever needed: the shapes
    // (shared between elements with equal edges; options follow the geometry, the mosaic option
    // and the bevel), the cut picture in 0..3 counter-clockwise quarter turns (entry 0 is the
    // picture a saved game keeps beside its text), and the off-screen board with the part of
    // it the window shows.
    ShapeBuilder shapes;
    std::array<QImage, 4> turnedPictures;
    Board board;

    InputState input;

    // Elements lie on the board: a game was created or loaded and not yet discarded. The
    // game's flag elementsExist changes with it, for the commands.
    bool hasElements() const { return !puzzle.isEmpty(); }

    // The view moved or changed scale: the held element keeps its board place, where the
    // window paints it follows the view.
    void refreshDragClip() {
        if (input.pickedElement >= 0 && input.pickedElement < puzzle.count())
            input.dragClipRegion = board.toClient(puzzle.boardRegions[input.pickedElement]);
    }
};
