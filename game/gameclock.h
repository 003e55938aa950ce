#pragma once

#include <QString>

#include <cstdint>

// Playing time is computed from stored instants, never counted by ticks, so pauses and hidden
// stretches lose nothing: elapsed = now - start + carried.
struct GameClock {
    std::int64_t clockStart = 0;
    std::int32_t clockCarried = 0;
    // Between carry() and resume() (the pause window) the clock stands at the carried time.
    bool standing = false;

    std::int64_t elapsed(std::int64_t now) const { return now - clockStart + clockCarried; }
    // The time played so far, whether the clock runs or stands.
    std::int64_t played(std::int64_t now) const { return standing ? clockCarried : elapsed(now); }
    void start(std::int64_t now, std::int32_t carried = 0) {
        clockStart = now;
        clockCarried = carried;
        standing = false;
    }
    // Folds the running stretch into the carried time (pause).
    void carry(std::int64_t now) {
        clockCarried += static_cast<std::int32_t>(now - clockStart);
        standing = true;
    }
    void resume(std::int64_t now) {
        clockStart = now;
        standing = false;
    }

    // "%02d:%02d:%02d" with hours not wrapped at 24.
    static QString format(std::int64_t seconds);
};
