#include "ui/fullscreenmenu.h"

#include "game/commands.h"
#include "res/commandids.h"
#include "res/strings.h"
#include "ui/skin.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>

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
    // Pause and hint, and the option that lets the left button move blocks, as at the end of the
    // menu bar's actions menu; the places before them stay.
    separator, Cmd::Pause, Cmd::Hint, Cmd::LeftMovesBlocks, separator, Cmd::Exit};
constexpr int backgroundTitle = Cmd::BackgroundMenu;
} // namespace

CFullScreenMenu::CFullScreenMenu(ISound& sound, QMenu* backgroundMenu, std::function<void(int)> runCommand,
                                 QWidget* parent)
    : OwnerDrawnMenu(OwnerMenu::FullScreen, sound, parent) {
    setObjectName(QStringLiteral("fullScreenMenu"));
    // Full-screen mode shows the menu on the primary screen, whose height it then has to fit.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        shownItemHeight_ = itemHeightFor(screen->availableGeometry().height());
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
            action->setCheckable(position == leftMovesBlocksItem);
            action->setObjectName(QStringLiteral("fullScreen%1").arg(command));
            connect(action, &QAction::triggered, this, [runCommand, command] { runCommand(command); });
        }
    }
}

void CFullScreenMenu::setItemText(int position, const QString& text) {
    texts_.at(position) = text;
    actions().at(position)->setText(text);
}

int CFullScreenMenu::itemHeightFor(int screenHeight) {
    constexpr int items = itemCount - separatorCount, lowest = 24;
    if (screenHeight <= 0 || items * itemHeight + separatorCount * separatorHeight <= screenHeight)
        return itemHeight;
    return std::max(lowest, (screenHeight - separatorCount * separatorHeight) / items);
}

int CFullScreenMenu::totalHeight() const {
    return (itemCount - separatorCount) * shownItemHeight_ + separatorCount * separatorHeight;
}

QSize CFullScreenMenu::measureItem(QStyleOptionMenuItem::MenuItemType type) const {
    const int width = itemWidth - checkMarkWidth();
    return QSize(width, type == QStyleOptionMenuItem::Separator ? separatorHeight : shownItemHeight_);
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
    const QColor colour = disabled ? disabledTextColor : textColor;
    drawItemText(painter, textRect, texts_.at(actions().indexOf(const_cast<QAction*>(action))), colour);
    if (action->isChecked()) {
        // A tick in the item's left margin, in the text's colour.
        const int h = textRect.height(), x = textRect.left() + 14, y = textRect.top() + h / 2;
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF tick[] = {{x - 5.0, y + 0.0}, {x - 1.0, y + 5.0}, {x + 7.0, y - 6.0}};
        painter.drawPolyline(tick, 3);
    }
}
