#pragma once

#include "app/frameservices.h"
#include "board/boardrenderer.h"
#include "board/interaction.h"
#include "board/interactionhost.h"
#include "board/joiner.h"
#include "game/commands.h"
#include "game/gameflow.h"
#include "game/gamerecords.h"
#include "game/gamestate.h"
#include "model/randomtables.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <thread>

class BackgroundCommands;
class BoardView;
class ClockWindow;
class CommandTable;
class CPictureWnd;
class FullScreenMode;
class QDialog;
class SavedGameCommands;

// The main window. It owns the whole game state; the work lives in the focused classes it holds.
class CMainFrame : public QMainWindow, public IInteractionHost, public IGameFlowHost {
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
    const FrameServices& services() const { return services_; }
    CommandTable& commands() { return *commands_; }
    BoardView* boardView() const { return boardView_; }
    ClockWindow* clockWindow() const { return clockWindow_; }
    CPictureWnd* pictureWnd() const { return pictureWnd_; }
    QTimer& clockTimer() { return clockTimer_; }

    // Runs a command through the command table (as a menu item or accelerator would).
    bool runCommand(int id) override;

    BoardRenderer& renderer() { return renderer_; }
    Joiner& joiner() { return joiner_; }
    Interaction& interaction() { return interaction_; }
    GameFlow& gameFlow() { return gameFlow_; }
    // Runs a modal window; tests replace it so nothing blocks.
    using ModalRunner = std::function<int(QDialog&)>;
    void setModalRunner(ModalRunner runner) { modalRunner_ = std::move(runner); }
    int runModal(QDialog& dialog) { return modalRunner_(dialog); }
    // Replaces the generator of random tables (tests fix the sequence).
    void setRandom(std::unique_ptr<IRandom> random) { random_ = std::move(random); }

    // The create-elements command and the new-game chain.
    void createElements();
    void newGame();
    // Waits until a running picture-turning worker has handed over (tests, closing).
    void waitForWorker();
    // A saved game has been read and checked and its elements turn: its picture starts turning
    // now, while the elements are built; the worker hands over (gameReady) only once
    // `handOver` is ready.
    void startTurningLoadedPicture(const QImage& picture, std::shared_future<void> handOver);
    // A saved game has been installed: play begins once its picture is turned (when elements
    // turn; a worker started early hands over by itself).
    void startLoadedGame();
    SavedGameCommands& savedGames() { return *savedGames_; }
    // The best times of finished games, in the player's folder.
    GameRecords& records() { return records_; }

    // Where the picture commands reach the preview window: a newly loaded picture is shown in
    // it, and after the cut it takes the picture's new proportions.
    void showPreviewOfNewPicture();
    void fitPreviewToPicture();

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
    void announceCompletion() override;
    // IInteractionHost
    void captureMouse() override;
    QSize clientSize() const override;
    bool fullScreenMode() const override { return fullScreen_ == 1; }
    void hintModeChanged() override { updateCursor(); }
    void showHintTip(int row, int column, QPoint clientPoint) override;

    int fullScreen() const { return fullScreen_; }
    // Backgrounds with their wooden menu; full-screen mode with its F10 menu and display changes.
    BackgroundCommands& backgrounds() { return *backgrounds_; }
    FullScreenMode& fullScreenMode() { return *fullScreenMode_; }
    // The display now has this size and colour depth (from the screen's change signal).
    void displayChange(int width, int height, int depth);
    bool previewVisible() const;
    bool turningBusy() const { return turningBusy_.load(); }

    // The window-created step, run once before the frame is first shown: the start-up splash.
    void onCreate();
    // Shows the splash window and plays it through (start-up and Ctrl+S).
    void showSplash();
    // How the splash waits between its steps; tests replace the real clock.
    void setSplashWaiter(std::function<void(int)> wait) { splashWait_ = std::move(wait); }

    // Asks for the cursor the current state calls for (busy, hint mode or the arrow).
    void updateCursor();
    // Copies the board to the window again.
    void repaintBoard();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class FullScreenMode;
    void startTurningWorker();
    void startTurningWorker(const QImage& picture, std::shared_future<void> handOver);
    void turningFinished(bool ok, std::array<QImage, 4> pictures);
    void generateNow();
    void placeWindow();
    void placeClockWindow();
    void togglePreview();
    CommandContext commandContext() const;

    FrameServices services_;
    GameState state_;
    CommandTable* commands_ = nullptr;
    SavedGameCommands* savedGames_ = nullptr;
    BoardView* boardView_ = nullptr;
    ClockWindow* clockWindow_ = nullptr;
    CPictureWnd* pictureWnd_ = nullptr;
    QTimer clockTimer_;
    std::function<void(int)> splashWait_;
    int splashOnce_ = 1;
    int fullScreen_ = 0;
    int displayChanged_ = 0;
    std::atomic<bool> turningBusy_{false};
    std::thread worker_;
    ModalRunner modalRunner_;
    BackgroundCommands* backgrounds_ = nullptr;
    FullScreenMode* fullScreenMode_ = nullptr;
    std::unique_ptr<IRandom> random_;
    GameRecords records_;
    BoardRenderer renderer_;
    Joiner joiner_;
    GameFlow gameFlow_;
    Interaction interaction_;
};
