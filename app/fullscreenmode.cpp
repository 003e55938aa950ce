#include "app/fullscreenmode.h"

#include "app/commandtable.h"
#include "app/mainframe.h"
#include "game/commands.h"
#include "game/displaychange.h"
#include "res/strings.h"
#include "ui/fullscreenmenu.h"

#include <QMenuBar>
#include <QWindow>

FullScreenMode::FullScreenMode(CMainFrame& frame, QMenu* backgroundMenu) : QObject(&frame), frame_(frame) {
    menu_ = new CFullScreenMenu(
        *frame.services().sound, backgroundMenu, [this](int id) { frame_.runCommand(id); }, &frame);
    // Enabling reaches the wooden items as it reaches the menu bar's; their texts stay as the F10
    // command set them.
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        for (QAction* action : menu_->actions())
            if (!action->isSeparator() && !action->menu())
                action->setEnabled(frame_.commands().evaluate(action->data().toInt()).enabled);
    });
    frame.commands().setHandler(Cmd::FullScreen, [this] { toggle(); });
    frame.commands().setHandler(Cmd::PopupMenu, [this] { popupMenu(); });
}

void FullScreenMode::toggle() {
    if (frame_.fullScreen_)
        leave();
    else
        enter();
}

void FullScreenMode::enter() {
    const QSize screen = frame_.services().screen->size();
    if (screen.isEmpty()) {
        frame_.services().messages->messageBox(loadString(failedMessage), MessageKind::Error,
                                               MessageButtons::Ok);
        return;
    }
    frame_.fullScreen_ = 1;
    frame_.menuBar()->hide();
    // The whole screen first, for platforms that leave the full-screen state to a window manager
    // there may not be; the state then keeps the window there.
    frame_.setGeometry(QRect(QPoint(0, 0), screen));
    frame_.showFullScreen();
    const QWindow* window = frame_.windowHandle();
    if (!window || !(window->windowStates() & Qt::WindowFullScreen)) {
        frame_.services().messages->messageBox(loadString(failedMessage), MessageKind::Error,
                                               MessageButtons::Ok);
        leave();
        return;
    }
    redrawWithBackground();
}

void FullScreenMode::leave() {
    frame_.fullScreen_ = 0;
    frame_.menuBar()->show();
    frame_.showNormal();
    const QSize screen = frame_.services().screen->size();
    const int w = screen.width(), h = screen.height();
    frame_.move(w / 6, h / 6);
    frame_.resize(4 * (w / 6), 4 * (h / 6));
    frame_.invalidateAll();
    frame_.updateNow();
}

void FullScreenMode::redrawWithBackground() {
    BoardRenderer::RedrawFlags flags;
    flags.clearBackground = true;
    frame_.renderer().redrawBoard(flags);
}

QPoint FullScreenMode::popupPosition() const {
    const QRect window = frame_.frameGeometry();
    const int x = (window.left() + window.left() + window.width()) / 2;
    int y = (window.top() + window.top() + window.height()) / 2 - menu_->totalHeight() / 2;
    if (y < 0)
        y = 0;
    return QPoint(x - menu_->sizeHint().width() / 2, y);
}

void FullScreenMode::popupMenu() {
    if (!frame_.fullScreen_)
        return;
    menu_->setItemText(CFullScreenMenu::fullScreenItem, loadString(Str::WindowedMode));
    menu_->setItemText(CFullScreenMenu::pictureItem,
                       loadString(frame_.previewVisible() ? Str::HidePicture : Str::ShowPicture));
    menu_->popup(popupPosition());
}

void FullScreenMode::displayChange(int width, int height, int depth) {
    const DisplayChangeResult result = applyDisplayChange(frame_.state(), width, height, depth);
    if (result.boardResized)
        redrawWithBackground();
    if (result.depthChanged)
        frame_.displayChanged_ = 1;
}

void FullScreenMode::activated() {
    if (!frame_.displayChanged_)
        return;
    frame_.displayChanged_ = 0;
    GameState& state = frame_.state();
    if (state.screenBitsPerPixel <= 8) {
        const QString text =
            QString::asprintf(loadString(depthQuestion).toUtf8().constData(), state.screenWidth,
                              state.screenHeight, state.screenBitsPerPixel);
        if (!frame_.services().messages->askStandardYesNo(QStringLiteral("Puzzle"), text)) {
            // No exit question: the player has already said to stop.
            state.flags.gameCompleted = 1;
            frame_.close();
            return;
        }
    }
    const int reload = reloadMessageFor(state.flags);
    if (reload != 0) {
        frame_.services().messages->messageBox(loadString(reload), MessageKind::Information,
                                               MessageButtons::Ok);
        redrawWithBackground();
    }
}
