#pragma once

#include <QObject>

#include <functional>
#include <memory>

class GameFlow;
class IProgress;
class IRandom;
struct GameState;

// What creating elements needs from the window.
class ICreationHost {
public:
    virtual ~ICreationHost() = default;
    // The window's progress strip with the caption of that string, shown while it lives.
    virtual std::unique_ptr<IProgress> openProgress(int captionId) = 0;
    // Runs a command as its menu item would; false when its rule held it back.
    virtual bool runCommand(int id) = 0;
};

// Creating a game's elements and starting a loaded game. Nothing is turned or painted ahead:
// the elements are drawn from the one picture as they lie, so play begins as soon as they are
// built (on every core, the same way for a new game and a loaded one).
class CreationFlow : public QObject {
    Q_OBJECT
public:
    CreationFlow(GameState& state, GameFlow& gameFlow, ICreationHost& host);
    ~CreationFlow() override;

    // Replaces the generator of random tables (tests fix the sequence).
    void setRandom(std::unique_ptr<IRandom> random);

    // The create-elements command.
    void createElements();
    // The new-game command: load a picture, cut it and create the elements, each through its
    // command and only when the step before did its part.
    void newGame();

    // A saved game has been installed: play begins.
    void startLoadedGame();

    // Runs work that makes `count` elements, with the progress strip when they are many.
    void withProgress(int count, const std::function<void(IProgress*)>& work);

    // Elements are being made or a loaded game built (the progress strip lets events through).
    bool building() const { return building_ > 0; }

private:
    void generateNow();

    GameState& state_;
    GameFlow& gameFlow_;
    ICreationHost& host_;
    std::unique_ptr<IRandom> random_;
    int building_ = 0;
};
