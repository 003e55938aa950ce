#pragma once

#include <QImage>
#include <QObject>

#include <array>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <thread>

class GameFlow;
class ICursor;
class IMessageBox;
class IProgress;
class IRandom;
struct GameState;

// What creating elements needs from the window.
class ICreationHost {
public:
    virtual ~ICreationHost() = default;
    // While the picture turns nothing may be picked or turned on the board: a loaded game is not
    // shown yet, and the turned pictures its elements are painted from are still being made.
    virtual void setPickingBlocked(bool blocked) = 0;
    // turningBusy() changed: the cursor follows it.
    virtual void turningBusyChanged() = 0;
    // The window's progress strip with the caption of that string, shown while it lives.
    virtual std::unique_ptr<IProgress> openProgress(int captionId) = 0;
    // Runs a command as its menu item would; false when its rule held it back.
    virtual bool runCommand(int id) = 0;
};

// Creating a game's elements and starting a loaded game. When elements turn, the picture is
// turned first on a worker thread; the worker hands its pictures over to the main thread through
// the event loop (nothing is shared while it runs, so nothing is locked), and only then does
// generation or the loaded game begin. One worker at a time: the commands that would start
// another are held back while turningBusy().
class CreationFlow : public QObject {
    Q_OBJECT
public:
    CreationFlow(GameState& state, GameFlow& gameFlow, IMessageBox& messages, ICursor& cursor,
                 ICreationHost& host);
    ~CreationFlow() override;

    // Replaces the generator of random tables (tests fix the sequence).
    void setRandom(std::unique_ptr<IRandom> random);

    // The create-elements command: generation at once, or after the picture has turned.
    void createElements();
    // The new-game command: load a picture, cut it and create the elements, each through its
    // command and only when the step before did its part.
    void newGame();

    // A saved game has been read and checked and its elements turn: its picture starts turning
    // now, while the elements are built; the worker hands over only once `handOver` is ready.
    void startTurningLoadedPicture(const QImage& picture, std::shared_future<void> handOver);
    // A saved game has been installed: play begins once its picture is turned (a worker started
    // early hands over by itself).
    void startLoadedGame();

    // Runs work that makes `count` elements, with the progress strip when they are many.
    void withProgress(int count, const std::function<void(IProgress*)>& work);

    bool turningBusy() const { return turningBusy_.load(); }
    // Elements are being made or a loaded game built (the progress strip lets events through).
    bool building() const { return building_ > 0; }
    // Waits until a running worker has handed over (tests, closing).
    void waitForWorker();

private:
    void generateNow();
    void startTurningWorker(const QImage& picture, std::shared_future<void> handOver);
    void turningFinished(bool ok, std::array<QImage, 4> pictures);

    GameState& state_;
    GameFlow& gameFlow_;
    IMessageBox& messages_;
    ICursor& cursor_;
    ICreationHost& host_;
    std::unique_ptr<IRandom> random_;
    int building_ = 0;
    std::atomic<bool> turningBusy_{false};
    std::thread worker_;
};
