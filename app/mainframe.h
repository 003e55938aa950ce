#pragma once

#include "app/frameservices.h"
#include "game/commands.h"
#include "game/gamestate.h"

#include <QMainWindow>
#include <QTimer>

#include <atomic>
#include <functional>

class BoardView;
class ClockWindow;
class CommandTable;

// The main window. It owns the whole game state; the work lives in the focused classes it holds.
class CMainFrame : public QMainWindow {
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
    QTimer& clockTimer() { return clockTimer_; }

    // Runs a command through the command table (as a menu item or accelerator would).
    bool runCommand(int id);

    int fullScreen() const { return fullScreen_; }
    bool previewVisible() const { return previewVisible_; }
    bool turningBusy() const { return turningBusy_.load(); }
    QString programFolder() const;

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

private:
    void placeWindow();
    void placeClockWindow();
    CommandContext commandContext() const;

    FrameServices services_;
    GameState state_;
    CommandTable* commands_ = nullptr;
    BoardView* boardView_ = nullptr;
    ClockWindow* clockWindow_ = nullptr;
    QTimer clockTimer_;
    std::function<void(int)> splashWait_;
    int splashOnce_ = 1;
    int fullScreen_ = 0;
    int displayChanged_ = 0;
    bool previewVisible_ = false;
    std::atomic<bool> turningBusy_{false};
};
