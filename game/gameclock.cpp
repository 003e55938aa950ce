#include "game/gameclock.h"

QString GameClock::format(std::int64_t seconds) {
    // A clock set back by the system must not show garbage.
    if (seconds < 0)
        seconds = 0;
    return QString::asprintf("%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                             static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
}
