#pragma once

#include <cstdint>

// Where the game stands; the main frame enables its commands from these. Whether elements exist
// is no flag: it is whether the puzzle has elements (BoardState::hasElements).
struct GameFlags {
    std::int32_t pictureLoaded = 0;
    std::int32_t cutDone = 0;
    std::int32_t gameCompleted = 0;
};

// A game is under way: replacing it or leaving asks the player first.
inline bool gameUnderWay(bool elementsExist, const GameFlags& flags) {
    return elementsExist && flags.gameCompleted == 0;
}
