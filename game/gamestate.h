#pragma once

#include "board/background.h"
#include "board/board.h"
#include "game/gameclock.h"
#include "model/cutparameters.h"
#include "model/gameflags.h"
#include "model/puzzle.h"
#include "model/settings.h"
#include "model/shapebuilder.h"

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QString>

#include <array>
#include <cstdint>

// Everything the main frame owns that outlives one message: the puzzle, the picture, the board,
// the settings and background, the flags and the clock. Plain data; the operations live in the
// focused classes that take it.
struct GameState {
    // The cut dialog's choices; they reach `puzzle` only at generation or load.
    CutParameters cut;
    std::int32_t cutRows = 0;
    std::int32_t cutColumns = 0;
    std::int32_t cutElementSize = 0;

    Puzzle puzzle;
    // Shapes of the puzzle on the board, shared between elements with equal edges. Its options
    // follow the puzzle's geometry, the mosaic option and the bevel.
    ShapeBuilder shapes;
    Settings settings;
    BackgroundState background;
    Board board;
    GameFlags flags;

    std::array<QImage, 4> turnedPictures; // the cut picture in 0..3 counter-clockwise quarter turns
    std::int32_t pictureWidth = 0;
    std::int32_t pictureHeight = 0;

    // Interaction.
    std::int32_t pickedElement = -1;
    QRegion dragClipRegion; // client coordinates: where the held element is painted
    QPoint lastCursor;      // board coordinates
    std::int32_t hintMode = 0;

    GameClock clock;
    QString clockText = QStringLiteral("00:00:00");

    QString gameName;
    // The file the picture was loaded from, without its folder; empty for a saved game's picture.
    QString pictureName;

    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;
    std::int32_t screenBitsPerPixel = 0;
};
