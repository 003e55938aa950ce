#pragma once

#include "board/boardstate.h"
#include "game/gameclock.h"
#include "model/gameflags.h"

#include <QString>

#include <cstdint>

// Everything the main frame owns that outlives one message: the board's state and what only the
// game needs. Plain data; the operations live in the focused classes that take it.
struct GameState : BoardState {
    // Saved with the game besides the board: the playing time and the name it is saved under.
    GameClock clock;
    QString gameName;

    // Where the game stands, for the commands and the game flow.
    GameFlags flags;
    bool gameUnderWay() const { return ::gameUnderWay(hasElements(), flags); }
    // The picture's size as loaded or cut (picture), and the cut dialog's last choice of
    // counts and size (its shape options go straight to `cut`): they reach the puzzle only at
    // generation or load.
    std::int32_t pictureWidth = 0;
    std::int32_t pictureHeight = 0;
    std::int32_t cutRows = 0;
    std::int32_t cutColumns = 0;
    std::int32_t cutElementSize = 0;

    // Only on screen: the clock's face and the display the board was sized for.
    QString clockText = QStringLiteral("00:00:00");
    // The file the picture was loaded from, without its folder; empty for a saved game's picture.
    QString pictureName;
    std::int32_t screenWidth = 0;
    std::int32_t screenHeight = 0;
    std::int32_t screenBitsPerPixel = 0;
    // The highest device pixel ratio of the screens the game may be shown on: a cut keeps its
    // picture that much finer.
    double deviceRatio = 1.0;
};
