#pragma once

#include "app/frameservices.h"
#include "app/modalrunner.h"
#include "board/boardrenderer.h"
#include "board/interaction.h"
#include "board/interactionhost.h"
#include "board/joiner.h"
#include "game/commands.h"
#include "game/creationflow.h"
#include "game/gameflow.h"
#include "game/gamerecords.h"
#include "game/gamestate.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>

class BackgroundCommands;
class BoardView;
class ClockWindow;
class CommandTable;
class CPictureWnd;
class FullScreenMode;
class PictureCommands;
class PreviewControl;
class SavedGameCommands;
class SessionKeeper;
class SettingsCommand;

// The main window: it owns the game state, wires the focused classes that do the work, and
// carries out the window's own duties (placement, closing, the clock and the modal windows,
// the cursor, the splash, activation).
class CMainFrame : public QMainWindow, public IInteractionHost, public IGameFlowHost, public ICreationHost {
    Q_OBJECT
public:
    static constexpr int clockTimerId = 4369;
    static constexpr int clockWindowId = 1026;
    static constexpr int clockWindowWidth = 80;
    static constexpr int clockWindowHeight = 20;

    explicit CMainFrame(const FrameServices& services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    GameState& state() { return state_; }
    const GameState& state() const { return state_; }
    CommandTable& commands() { return *commands_; }
    BoardView* boardView() const { return boardView_; }
    ClockWindow* clockWindow() const { return clockWindow_; }
    CPictureWnd* pictureWnd() const { return pictureWnd_; }
    QTimer& clockTimer() { return clockTimer_; }
    GameFlow& gameFlow() { return gameFlow_; }
    // What draws the window.
    BoardRenderer& renderer() { return renderer_; }
    CreationFlow& creation() { return creation_; }
    PreviewControl& preview() { return *preview_; }
    SavedGameCommands& savedGames() { return *savedGames_; }
    BackgroundCommands& backgrounds() { return *backgrounds_; }
    FullScreenMode& fullScreenMode() { return *fullScreenMode_; }
    // The remembered settings and the autosave, kept between runs.
    SessionKeeper& keeper() { return *keeper_; }
    // The view's scale and the part of the board the window shows.
    Viewport& viewport() { return interaction_.viewport(); }
    int fullScreen() const;

    // Runs a command through the command table (as a menu item or accelerator would).
    bool runCommand(int id) override;
    // Replaces the way modal windows run (tests, so that nothing blocks).
    void setModalRunner(ModalRunner runner) { modalRunner_ = std::move(runner); }
    // The best times of finished games, in the player's folder.
    GameRecords& records() { return records_; }

    // IBoardHost
    void invalidate(const QRegion& clientRegion) override;
    void invalidateAll() override;
    void updateNow() override;
    // IGameFlowHost
    void restartClockTimer() override;
    void stopClockTimer() override;
    bool clockWindowVisible() const override;
    void setClockWindowVisible(bool visible) override;
    void invalidateClockWindow() override;
    void runPauseWindow() override;
    void runCongratulation() override;
    void runRecords(std::int64_t seconds) override;
    void hidePreview() override;
    void repaintPreview() override;
    QString programFolder() const override;
    // IJoinHost
    void endMouseCapture() override;
    bool gameCompleted() const override { return state_.flags.gameCompleted != 0; }
    void announceCompletion() override;
    // IInteractionHost
    void captureMouse() override;
    QSize clientSize() const override;
    QRect hiddenClientArea() const override;
    bool fullScreenMode() const override { return fullScreen(); }
    void hintModeChanged() override { updateCursor(); }
    void showHintTip(int row, int column, QPoint clientPoint) override;
    // ICreationHost
    std::unique_ptr<IProgress> openProgress(int captionId) override;

    // The display now has this size and colour depth (from the screen's change signal).
    void displayChange(int width, int height, int depth);

    // The window-created step, run once before the frame is first shown: the start-up splash.
    void onCreate();
    // Shows the splash window and plays it through (start-up and Ctrl+S).
    void showSplash();
    // How the splash waits between its steps; tests replace the real clock.
    void setSplashWaiter(std::function<void(int)> wait) { splashWait_ = std::move(wait); }

    // The best times of the picture and cut on the table, or without a game the list of every
    // picture and cut that has records.
    void showRecords();

    // Asks for the cursor the current state calls for (hint mode or the arrow).
    void updateCursor();

    // The window now shows on a screen of another ratio, or its screen's ratio changed: the
    // cursor's art follows (the windows' art follows as they paint), and a cut made from now
    // on keeps the picture for the finest screen seen.
    void screenChanged();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Gives every row of the command table its handler, in the table's order.
    void bindCommands();
    void runDialog(QDialog& dialog) { modalRunner_(dialog); }
    // Runs a window of the game's own (pause, congratulation, records) in the middle of this one.
    void runCentred(QDialog& window);
    enum class Placement { Own, Centred };
    template <class Window> void runWindow(Placement placement) {
        Window window(this);
        if (placement == Placement::Centred)
            runCentred(window);
        else
            runDialog(window);
    }
    void placeWindow();
    void placeClockWindow();
    CommandContext commandContext() const;

    FrameServices services_;
    GameState state_;
    ModalRunner modalRunner_;
    CommandTable* commands_ = nullptr;
    BoardView* boardView_ = nullptr;
    ClockWindow* clockWindow_ = nullptr;
    CPictureWnd* pictureWnd_ = nullptr;
    std::unique_ptr<PreviewControl> preview_;
    PictureCommands* pictures_ = nullptr;
    SettingsCommand* settings_ = nullptr;
    SavedGameCommands* savedGames_ = nullptr;
    BackgroundCommands* backgrounds_ = nullptr;
    FullScreenMode* fullScreenMode_ = nullptr;
    SessionKeeper* keeper_ = nullptr;
    QTimer clockTimer_;
    std::function<void(int)> splashWait_;
    int splashOnce_ = 1;
    GameRecords records_;
    BoardRenderer renderer_;
    Joiner joiner_;
    GameFlow gameFlow_;
    Interaction interaction_;
    CreationFlow creation_;
};
