#pragma once

#include <QColor>

#include <cstdint>

// The player's preferences. Built-in defaults at every start; carried only inside saved games.
struct Settings {
    std::int32_t captureArea = 5;      // 1..10
    std::int32_t outlineThickness = 4; // 1..5 while threeD, always 0 otherwise
    std::int32_t scrollArea = 20;      // 5..50
    std::int32_t mouseScrollSpeed = 3; // 1..10
    std::int32_t keyScrollSpeed = 150; // 0 or more
    std::int32_t threeD = 1;
    std::int32_t scrollEnabled = 1;
    std::int32_t showTimer = 1;
    std::int32_t exactAssembly = 0;
    QColor outlineColor = QColor(128, 128, 128);

    static constexpr int minCaptureArea = 1, maxCaptureArea = 10;
    static constexpr int minOutline = 1, maxOutline = 5;
    static constexpr int minScrollArea = 5, maxScrollArea = 50;
    static constexpr int minMouseScrollSpeed = 1, maxMouseScrollSpeed = 10;

    // True when every field lies in its range and the threeD/outline invariant holds.
    bool isValid() const;
    // Brings an out-of-range record (e.g. read from a damaged file) back into range.
    void normalise();

    friend bool operator==(const Settings&, const Settings&) = default;
};
