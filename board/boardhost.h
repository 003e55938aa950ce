#pragma once

#include <QRegion>

// What the board logic needs from the window that shows it. The main frame implements it; tests
// record the calls.
class IBoardHost {
public:
    virtual ~IBoardHost() = default;
    // Marks part of the client area for repainting, without erasing.
    virtual void invalidate(const QRegion& clientRegion) = 0;
    virtual void invalidateAll() = 0;
    // Paints what is marked, now.
    virtual void updateNow() = 0;
};
