#pragma once

#include "board/boardhost.h"
#include "board/boardrenderer.h"
#include "fakes.h"
#include "game/gameflow.h"
#include "game/gamestate.h"
#include "model/cutsupport.h"
#include "model/generator.h"
#include "model/picture.h"
#include "model/randomtables.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// A game flow on a board nobody sees: hosts that record what the flow asks of the window.

class RecordingBoardHost : public IBoardHost {
public:
    int invalidations = 0;
    int fullInvalidations = 0;
    int updates = 0;
    void invalidate(const QRegion&) override { ++invalidations; }
    void invalidateAll() override { ++fullInvalidations; }
    void updateNow() override { ++updates; }
};

class RecordingFlowHost : public IGameFlowHost {
public:
    bool timerRunning = false;
    bool clockVisible = true;
    int pauseWindows = 0;
    int congratulations = 0;
    int clockInvalidations = 0;
    std::function<void()> whilePaused;
    void restartClockTimer() override { timerRunning = true; }
    void stopClockTimer() override { timerRunning = false; }
    bool clockWindowVisible() const override { return clockVisible; }
    void setClockWindowVisible(bool v) override { clockVisible = v; }
    void invalidateClockWindow() override { ++clockInvalidations; }
    void runPauseWindow() override {
        ++pauseWindows;
        if (whilePaused)
            whilePaused();
    }
    void runCongratulation() override { ++congratulations; }
    std::vector<std::int64_t> recorded; // the times handed to the records, after the congratulation
    void runRecords(std::int64_t seconds) override {
        EXPECT_EQ(congratulations, int(recorded.size()) + 1);
        recorded.push_back(seconds);
    }
    void hidePreview() override {}
    void repaintPreview() override {}
    QString programFolder() const override { return QStringLiteral("/games/"); }
};

class RecordingProgress : public IProgress {
public:
    int begun = 0, ended = 0, step = 0, high = 0;
    std::vector<int> positions;
    void begin(int, int h, int s) override {
        ++begun;
        high = h;
        step = s;
    }
    void setPosition(int p) override { positions.push_back(p); }
    void end() override { ++ended; }
};

struct FlowFixture {
    FakeServices fakes;
    GameState state;
    RecordingBoardHost boardHost;
    RecordingFlowHost flowHost;
    BoardRenderer renderer{state, boardHost, fakes.sound, fakes.cursor};
    GameFlow flow{state, renderer, fakes.messages, fakes.sound, fakes.clock, fakes.screen, flowHost};
    StandardRandom random;

    FlowFixture() {
        state.screenWidth = 1024;
        state.screenHeight = 768;
        state.background.loadTexture();
        state.board.resize(1024, 768, 1024, 768);
    }

    // A picture of rows x columns elements of the given size, cut and ready.
    void prepare(int rows, int columns, int size, bool rotate) {
        state.picture = coordinatePicture(columns * size, rows * size);
        state.cut.rotateElements = rotate;
        state.cutRows = rows;
        state.cutColumns = columns;
        state.cutElementSize = size;
        state.flags.pictureLoaded = 1;
        state.flags.cutDone = 1;
    }
};
