#include "app/fullscreenmode.h"

#include "app/commandtable.h"
#include "app/frameservices.h"
#include "app/previewcontrol.h"
#include "board/boardhost.h"
#include "board/boardrenderer.h"
#include "game/commands.h"
#include "game/displaychange.h"
#include "game/gamestate.h"
#include "game/playersettings.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "ui/fullscreenmenu.h"

#include <QMenuBar>
#include <QWindow>

FullScreenMode::FullScreenMode(QWidget& window, QMenuBar& menuBar, GameState& state,
                               const FrameServices& services, CommandTable& commands, BoardRenderer& renderer,
                               IBoardHost& board, const PreviewControl& preview, QMenu* backgroundMenu)
    : QObject(&window), window_(window), menuBar_(menuBar), state_(state), services_(services),
      renderer_(renderer), board_(board), preview_(preview) {
    menu_ = new CFullScreenMenu(
        *services.sound, backgroundMenu, [&commands](int id) { commands.run(id); }, &window);
    // Enabling reaches the wooden items as it reaches the menu bar's; their texts stay as the F10
    // command set them.
    connect(menu_, &QMenu::aboutToShow, this, [this, &commands] {
        for (QAction* action : menu_->actions())
            if (!action->isSeparator() && !action->menu()) {
                const CommandUpdate u = commands.evaluate(action->data().toInt());
                action->setEnabled(u.enabled);
                if (u.checked >= 0)
                    action->setChecked(u.checked == 1);
            }
    });
}

void FullScreenMode::toggle() {
    if (fullScreen_)
        leave();
    else
        enter();
}

void FullScreenMode::enter() {
    const QSize screen = services_.screen->size();
    if (screen.isEmpty()) {
        services_.messages->messageBox(loadString(Str::FullScreenFailed), MessageKind::Error,
                                       MessageButtons::Ok);
        return;
    }
    wasMaximized_ = window_.isMaximized();
    // The framed window's own place and size, restored on leaving (its normal place when it
    // is maximised).
    framedGeometry_ = window_.normalGeometry();
    fullScreen_ = 1;
    menuBar_.hide();
    // The whole screen first, for platforms that leave the full-screen state to a window manager
    // there may not be; the state then keeps the window there.
    window_.setGeometry(QRect(QPoint(0, 0), screen));
    window_.showFullScreen();
    const QWindow* window = window_.windowHandle();
    if (!window || !(window->windowStates() & Qt::WindowFullScreen)) {
        services_.messages->messageBox(loadString(Str::FullScreenFailed), MessageKind::Error,
                                       MessageButtons::Ok);
        leave();
        return;
    }
    redrawWithBackground();
}

void FullScreenMode::leave() {
    fullScreen_ = 0;
    menuBar_.show();
    window_.showNormal();
    // Back where the player had the window, kept on the screen as it is now; placed from the
    // screen's size only when that place is not known.
    const QRect framed = framedGeometry_.isValid()
                             ? fitWindow(framedGeometry_, services_.screen->availableGeometry())
                             : framedWindowRect(services_.screen->size(), FramedRounding::FourSixths);
    window_.setGeometry(framed);
    // A window that was maximised comes back maximised; its own place is where it restores to.
    if (wasMaximized_)
        window_.showMaximized();
    wasMaximized_ = false;
    framedGeometry_ = QRect();
    board_.invalidateAll();
    board_.updateNow();
}

void FullScreenMode::redrawWithBackground() {
    BoardRenderer::RedrawFlags flags;
    flags.clearBackground = true;
    renderer_.redrawBoard(flags);
}

QPoint FullScreenMode::popupPosition() const {
    return menu_->centredOn(window_.frameGeometry(), menu_->totalHeight(), true);
}

void FullScreenMode::popupMenu() {
    if (!fullScreen_)
        return;
    menu_->setItemText(CFullScreenMenu::fullScreenItem, loadString(Str::WindowedMode));
    menu_->setItemText(CFullScreenMenu::pictureItem,
                       loadString(preview_.visible() ? Str::HidePicture : Str::ShowPicture));
    menu_->popup(popupPosition());
}

void FullScreenMode::displayChange(int width, int height, int depth) {
    const DisplayChangeResult result = applyDisplayChange(state_, width, height, depth);
    if (result.boardResized)
        redrawWithBackground();
    if (result.depthChanged)
        displayChanged_ = 1;
}

void FullScreenMode::activated() {
    if (!displayChanged_)
        return;
    displayChanged_ = 0;
    if (!goOnAtDepth(*services_.messages, state_.screenWidth, state_.screenHeight,
                     state_.screenBitsPerPixel)) {
        // No exit question: the player has already said to stop.
        state_.flags.gameCompleted = 1;
        window_.close();
        return;
    }
    const int reload = reloadMessageFor(state_.flags, state_.hasElements());
    if (reload != 0) {
        services_.messages->messageBox(loadString(reload), MessageKind::Information, MessageButtons::Ok);
        redrawWithBackground();
    }
}
