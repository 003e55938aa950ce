#pragma once

#include "game/autosave.h"
#include "game/playersettings.h"

#include <QCoreApplication>
#include <QObject>

#include <functional>

#include <memory>

class BoardRenderer;
class CreationFlow;
class FullScreenMode;
class GameFlow;
class PreviewControl;
class SavedGameCommands;
class TerminationSignals;
class QWidget;
struct FrameServices;
struct GameState;

// What outlives one run of the program: the remembered settings (the settings dialog's values,
// the background, the picture folder, the window's place) and the autosave of the game under
// way, offered again at the next start. Inert until open() is called, as in the tests that do
// not ask for it.
class SessionKeeper : public QObject {
    Q_OBJECT
public:
    SessionKeeper(GameState& state, const FrameServices& services, GameFlow& gameFlow,
                  const CreationFlow& creation, BoardRenderer& renderer, SavedGameCommands& savedGames,
                  const FullScreenMode& fullScreen, PreviewControl& preview, QWidget& clockWindow,
                  QWidget& window);
    ~SessionKeeper() override;

    // Before the window is shown: applies the remembered settings from `store` and takes the
    // autosave folder (empty: no autosave).
    void open(std::unique_ptr<ISettingsStore> store, const QString& autosaveFolder);
    // After the splash: offers the game an earlier run left, then follows the game on the board.
    void offerInterruptedGame();
    // A command changed what is remembered.
    void rememberSettings();
    // The player quits (after agreeing to leave a game): keeps the game and the settings. False
    // when the game could not be kept and the player chose to stay.
    bool quitting();
    // The system ends the program or the session: keeps everything, asks nothing.
    void ending();
    // The session manager asks for the player's data, and the session may still go on.
    void keepEverything();
    // The puzzle is finished: there is nothing left to continue.
    void gameCompleted();
    // The signals that end the program keep the game first, then `quit` leaves every event loop
    // (a modal window's too), and the program ends as after quitting.
    void watch(
        TerminationSignals& terminations, std::function<void()> quit = [] { QCoreApplication::exit(0); });

    Autosave& autosave() { return autosave_; }
    const PlayerSettings& remembered() const { return remembered_; }

private:
    void applySettings(const PlayerSettings& settings);

    GameState& state_;
    const FrameServices& services_;
    GameFlow& gameFlow_;
    BoardRenderer& renderer_;
    SavedGameCommands& savedGames_;
    const FullScreenMode& fullScreen_;
    PreviewControl& preview_;
    QWidget& clockWindow_;
    QWidget& window_;
    std::unique_ptr<ISettingsStore> store_;
    PlayerSettings remembered_;
    Autosave autosave_;
    bool ended_ = false;
};
