#pragma once

#include <cstdint>

// Where the game stands; the main frame enables its commands from these.
struct GameFlags {
    std::int32_t pictureLoaded = 0;
    std::int32_t cutDone = 0;
    std::int32_t elementsExist = 0;
    std::int32_t gameCompleted = 0;
    std::int32_t generateAfterTurning = 1;

    // A game is under way: replacing it or leaving asks the player first.
    bool gameUnderWay() const { return elementsExist == 1 && gameCompleted == 0; }
};
