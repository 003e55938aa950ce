#include "app/backgroundcommands.h"

#include "app/commandtable.h"
#include "board/background.h"
#include "board/boardrenderer.h"
#include "game/backgroundchoice.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "ui/backgroundmenu.h"
#include "ui/mycolordialog.h"

BackgroundCommands::BackgroundCommands(BackgroundState& background, ISound& sound, CommandTable& commands,
                                       const ModalRunner& runModal, BoardRenderer& renderer,
                                       QWidget& clockWindow, QWidget& window)
    : QObject(&window), background_(background), runModal_(runModal), renderer_(renderer),
      clockWindow_(clockWindow), window_(window) {
    menu_ = new CBackgroundMenu(
        sound, [&commands](int id) { commands.run(id); }, &window);
}

void BackgroundCommands::bindHandlers(CommandTable& commands, const std::function<void()>& chosen) {
    for (int command = Cmd::BackgroundFirst; command <= Cmd::BackgroundLastTexture; ++command)
        commands.setHandler(command, [this, command, chosen] {
            chooseTexture(command);
            chosen();
        });
    commands.setHandler(Cmd::BackgroundSolid, [this, chosen] {
        chooseSolidColor();
        chosen();
    });
    commands.setHandler(Cmd::BackgroundMenu, [this] { popupMenu(); });
}

void BackgroundCommands::chooseTexture(int command) {
    const BackgroundTexture* texture = backgroundTextureFor(command);
    if (!texture)
        return;
    ::chooseTexture(background_, *texture);
    backgroundChanged();
}

void BackgroundCommands::chooseSolidColor() {
    CMyColorDialog dialog(QColor(0, 0, 0));
    dialog.setTitle(loadString(Str::BackgroundColourTitle));
    dialog.setCurrentColor(background_.backgroundColor);
    if (runModal_(dialog) != QDialog::Accepted)
        return;
    ::chooseSolidColor(background_, dialog.currentColor());
    backgroundChanged();
}

void BackgroundCommands::backgroundChanged() {
    BoardRenderer::RedrawFlags flags;
    flags.clearBackground = true;
    renderer_.redrawBoard(flags);
    clockWindow_.update();
}

QPoint BackgroundCommands::popupPosition() const {
    return menu_->centredOn(window_.frameGeometry(), CBackgroundMenu::itemHeight * CBackgroundMenu::itemCount,
                            false);
}

void BackgroundCommands::popupMenu() {
    menu_->popup(popupPosition());
}
