#pragma once

#include <cstdint>

class ICursor;
struct BoardState;
struct Settings;

// What the settings dialog edits: the nine numbers and flags of the settings record (the
// outline colour is chosen apart and takes effect at once). The dialog works on a copy; only
// apply() writes it back.
struct SettingsChoice {
    std::int32_t outlineThickness = 0;
    std::int32_t captureArea = 0;
    std::int32_t scrollArea = 0;
    std::int32_t mouseScrollSpeed = 0;
    std::int32_t keyScrollSpeed = 0;
    std::int32_t threeD = 0;
    std::int32_t scrollEnabled = 0;
    std::int32_t showTimer = 0;
    std::int32_t exactAssembly = 0;

    static SettingsChoice from(const Settings& settings);

    // What the caller still has to do after apply(): show or hide the clock, and redraw the
    // whole board (background, bitmaps and regions) because the outline changed.
    struct Outcome {
        bool clockVisibilityChanged = false;
        bool redraw = false;
    };

    // Writes the choice into the settings. A changed outline gives every element a cell of the
    // new size and rebuilds its shape regions; cells keep their top-left corners, so body squares
    // and with them every join stay exactly where they were. Board regions are left to the full
    // redraw the outcome asks for.
    Outcome apply(BoardState& state, ICursor& cursor) const;

    friend bool operator==(const SettingsChoice&, const SettingsChoice&) = default;
};
