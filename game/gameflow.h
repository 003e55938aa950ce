#pragma once

#include "model/picturereserve.h"

#include <QString>

#include <cstdint>

class BoardRenderer;
class IClock;
class IMessageBox;
class IProgress;
class IRandom;
class IScreen;
class ISound;
struct GameState;

// The window-side pieces the game flow drives: the clock timer and clock window, the modal
// pause and congratulation windows, the picture preview.
class IGameFlowHost {
public:
    virtual ~IGameFlowHost() = default;
    // Stops the clock timer and starts it again (1000 ms).
    virtual void restartClockTimer() = 0;
    virtual void stopClockTimer() = 0;
    virtual bool clockWindowVisible() const = 0;
    virtual void setClockWindowVisible(bool visible) = 0;
    virtual void invalidateClockWindow() = 0;
    // Modal; return when the window has closed.
    virtual void runPauseWindow() = 0;
    virtual void runCongratulation() = 0;
    // After the congratulation: the game's time joins the records and the records window shows.
    virtual void runRecords(std::int64_t seconds) = 0;
    virtual void hidePreview() = 0;
    virtual void repaintPreview() = 0;
    virtual QString programFolder() const = 0;
};

// A game from its start to its end: creation, the clock, pause, discarding and completion.
class GameFlow {
public:
    GameFlow(GameState& state, BoardRenderer& renderer, IMessageBox& messages, ISound& sound, IClock& clock,
             IScreen& screen, IGameFlowHost& host);

    // True when nothing is under way or the player agreed to replace it.
    bool confirmReplacingGame();
    void discardGame(bool withPicture);

    // The create-elements command up to the point where generation starts; false when the
    // player kept the game under way.
    bool beginCreateElements();
    // Generation proper: elements, board size and drawing, and the start of the clock.
    void generateElements(IRandom& random, IProgress* progress);

    void clockTick();
    void pause();
    void applyClockVisibility();
    void announceCompletion();
    // A loaded game's pictures are ready: draw everything and start the clock.
    void gameReady();

    QString elapsedText() const;

private:
    // Games of this many elements and more give theirs up on another thread.
    static constexpr int manyElements = 4096;

    void startClock(int carried);

    GameState& state_;
    BoardRenderer& renderer_;
    IMessageBox& messages_;
    ISound& sound_;
    IClock& clock_;
    IScreen& screen_;
    IGameFlowHost& host_;
    // A game given up is followed by the next one's first drawing: its memory goes back after that.
    BackgroundRelease release_{BackgroundRelease::afterNextDrawing};
};
