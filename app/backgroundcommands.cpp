#include "app/backgroundcommands.h"

#include "app/commandtable.h"
#include "app/mainframe.h"
#include "game/backgroundchoice.h"
#include "game/commands.h"
#include "res/strings.h"
#include "ui/backgroundmenu.h"
#include "ui/mycolordialog.h"

BackgroundCommands::BackgroundCommands(CMainFrame& frame) : QObject(&frame), frame_(frame) {
    menu_ = new CBackgroundMenu(
        *frame.services().sound, [this](int id) { frame_.runCommand(id); }, &frame);
    for (int command = Cmd::BackgroundFirst; command <= Cmd::BackgroundLastTexture; ++command)
        frame.commands().setHandler(command, [this, command] { chooseTexture(command); });
    frame.commands().setHandler(Cmd::BackgroundSolid, [this] { chooseSolidColor(); });
    frame.commands().setHandler(Cmd::BackgroundMenu, [this] { popupMenu(); });
}

void BackgroundCommands::chooseTexture(int command) {
    const BackgroundTexture* texture = backgroundTextureFor(command);
    if (!texture)
        return;
    ::chooseTexture(frame_.state().background, *texture);
    backgroundChanged();
}

void BackgroundCommands::chooseSolidColor() {
    CMyColorDialog dialog(QColor(0, 0, 0));
    dialog.setTitle(loadString(chooserTitle));
    dialog.setCurrentColor(frame_.state().background.backgroundColor);
    if (frame_.runModal(dialog) != QDialog::Accepted)
        return;
    ::chooseSolidColor(frame_.state().background, dialog.currentColor());
    backgroundChanged();
}

void BackgroundCommands::backgroundChanged() {
    BoardRenderer::RedrawFlags flags;
    flags.clearBackground = true;
    frame_.renderer().redrawBoard(flags);
    frame_.invalidateClockWindow();
}

QPoint BackgroundCommands::popupPosition() const {
    const QRect window = frame_.frameGeometry();
    const int x = (window.left() + window.left() + window.width()) / 2;
    const int y = (window.top() + window.top() + window.height()) / 2 -
                  CBackgroundMenu::itemHeight * CBackgroundMenu::itemCount / 2;
    return QPoint(x - menu_->sizeHint().width() / 2, y);
}

void BackgroundCommands::popupMenu() {
    menu_->popup(popupPosition());
}
