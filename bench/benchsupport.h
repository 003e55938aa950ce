#pragma once

// Services that do nothing, for running the game's logic without a window.

#include "board/boardhost.h"
#include "model/services.h"

class NullHost : public IBoardHost {
public:
    void invalidate(const QRegion&) override {}
    void invalidateAll() override {}
    void updateNow() override {}
};
class NullSound : public ISound {
public:
    void playWave(int) override {}
    void playFile(const QString&) override {}
    void beep(MessageKind) override {}
};
class NullCursor : public ICursor {
public:
    void pushWait() override {}
    void popWait() override {}
    QPoint position() const override { return {}; }
    void setPosition(const QPoint&) override {}
};
class FixedClock : public IClock {
public:
    std::int64_t nowSeconds() const override { return 1'700'000'017; }
};
