#include "ui/fullscreenmenu.h"

#include "game/commands.h"
#include "res/commandids.h"
#include "res/strings.h"
#include "ui/skin.h"

#include <QPainter>

namespace {
// Command of each position, 0 for a separator, -1 for the background submenu. Its texts are the
// strings of the commands; the submenu's is that of the background menu's command.
constexpr int separator = 0, backgroundSubmenu = -1;
constexpr int itemCommands[CFullScreenMenu::itemCount] = {
    Cmd::NewGame, separator, Cmd::SaveGame, Cmd::LoadGame, separator, Cmd::LoadPicture, Cmd::CutPicture,
    Cmd::Settings, Cmd::CreateElements,
    // Sorting, as in the menu bar's actions menu.
    Cmd::EdgesFirst, Cmd::GatherLoose, separator, Cmd::FullScreen, Cmd::ShowPicture,
    // The view's scale, as in the menu bar's view menu.
    Cmd::ZoomIn, Cmd::ZoomOut, Cmd::ActualSize, Cmd::WholeTable, separator, backgroundSubmenu,
    // Pause and hint, as at the end of the menu bar's actions menu; the places before them stay.
    separator, Cmd::Pause, Cmd::Hint, separator, Cmd::Exit};
constexpr int backgroundTitle = Cmd::BackgroundMenu;
} // namespace

CFullScreenMenu::CFullScreenMenu(ISound& sound, QMenu* backgroundMenu, std::function<void(int)> runCommand,
                                 QWidget* parent)
    : OwnerDrawnMenu(OwnerMenu::FullScreen, sound, parent) {
    setObjectName(QStringLiteral("fullScreenMenu"));
    for (int position = 0; position < itemCount; ++position) {
        const int command = itemCommands[position];
        if (command == separator) {
            addSeparator();
        } else if (command == backgroundSubmenu) {
            texts_[position] = loadString(backgroundTitle);
            backgroundMenu->setTitle(texts_[position]);
            addMenu(backgroundMenu);
        } else {
            texts_[position] = commandText(command);
            QAction* action = addAction(texts_[position]);
            action->setData(command);
            action->setObjectName(QStringLiteral("fullScreen%1").arg(command));
            connect(action, &QAction::triggered, this, [runCommand, command] { runCommand(command); });
        }
    }
}

void CFullScreenMenu::setItemText(int position, const QString& text) {
    texts_.at(position) = text;
    actions().at(position)->setText(text);
}

int CFullScreenMenu::totalHeight() const {
    return (itemCount - separatorCount) * itemHeight + separatorCount * separatorHeight;
}

QSize CFullScreenMenu::measureItem(QStyleOptionMenuItem::MenuItemType type) const {
    const int width = itemWidth - checkMarkWidth();
    return QSize(width, type == QStyleOptionMenuItem::Separator ? separatorHeight : itemHeight);
}

void CFullScreenMenu::drawItem(QPainter& painter, const QAction* action, const QRect& rect,
                               bool highlighted) const {
    if (action->isSeparator()) {
        Skin::draw3dRect(painter, rect, separatorDark, separatorLight);
        return;
    }
    // Anchored at the menu's origin, so the grain runs on from item to item.
    tileSkin(painter, rect);
    QRect textRect = rect;
    const bool disabled = !action->isEnabled();
    if (highlighted && !disabled) {
        drawRaisedFrame(painter, rect);
        textRect.translate(-1, -1);
    }
    drawItemText(painter, textRect, texts_.at(actions().indexOf(const_cast<QAction*>(action))),
                 disabled ? disabledTextColor : textColor);
}
