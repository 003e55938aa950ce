#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

class BoardRenderer;
class CFullScreenMenu;
class CommandTable;
class IBoardHost;
class PreviewControl;
class QMenu;
class QMenuBar;
class QWidget;
struct FrameServices;
struct GameState;

// Full-screen mode of the main window and its F10 menu, and the window's answer to changes of
// the display made from outside (size and colour depth).
class FullScreenMode : public QObject {
    Q_OBJECT
public:
    // `window` is the main window whose mode this is, `menuBar` its menu bar; the F10 menu's
    // items run through `commands`, and `board` shows the board.
    FullScreenMode(QWidget& window, QMenuBar& menuBar, GameState& state, const FrameServices& services,
                   CommandTable& commands, BoardRenderer& renderer, IBoardHost& board,
                   const PreviewControl& preview, QMenu* backgroundMenu);

    CFullScreenMenu* menu() const { return menu_; }
    bool isOn() const { return fullScreen_ == 1; }

    // Command 32777: enter or leave full-screen mode.
    void toggle();
    void enter();
    // Back to the framed window with its menu bar, at the place and size it had before (or
    // maximised again if it was).
    void leave();

    // Command 32805 (F10): the full-screen menu in the middle of the window; nothing while the
    // window is framed.
    void popupMenu();
    // Where popupMenu puts the menu's top-left corner (screen coordinates).
    QPoint popupPosition() const;

    // The display now has this size and colour depth.
    void displayChange(int width, int height, int depth);
    // The window became active: after a change of colour depth the player is told (and asked,
    // at 8 bits per pixel or fewer, whether to go on at all).
    void activated();

private:
    void redrawWithBackground();

    QWidget& window_;
    QMenuBar& menuBar_;
    GameState& state_;
    const FrameServices& services_;
    BoardRenderer& renderer_;
    IBoardHost& board_;
    const PreviewControl& preview_;
    CFullScreenMenu* menu_ = nullptr;
    int fullScreen_ = 0;
    int displayChanged_ = 0;
    bool wasMaximized_ = false; // the framed window was maximised when full-screen mode began
    QRect framedGeometry_;      // the framed window's normal place and size before then
};
