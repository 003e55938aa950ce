#include "ui/backgroundmenu.h"

#include "game/backgroundchoice.h"
#include "res/commandids.h"
#include "res/resources.h"
#include "res/strings.h"

#include <QPainter>

CBackgroundMenu::CBackgroundMenu(ISound& sound, std::function<void(int)> runCommand, QWidget* parent)
    : OwnerDrawnMenu(OwnerMenu::Background, sound, parent) {
    setObjectName(QStringLiteral("backgroundMenu"));
    for (int command = Cmd::BackgroundFirst; command <= Cmd::BackgroundSolid; ++command) {
        QAction* action = addAction(loadString(command));
        action->setData(command);
        action->setObjectName(QStringLiteral("background%1").arg(command));
        connect(action, &QAction::triggered, this, [runCommand, command] { runCommand(command); });
    }
    loadSwatches(devicePixelRatioF());
}

void CBackgroundMenu::loadSwatches(double ratio) const {
    swatches_.clear();
    swatchRatio_ = ratio;
    for (int command = Cmd::BackgroundFirst; command <= Cmd::BackgroundSolid; ++command)
        if (const BackgroundTexture* texture = backgroundTextureFor(command))
            swatches_.insert(command, loadBitmapResource(texture->swatchId, ratio));
}

QSize CBackgroundMenu::measureItem(QStyleOptionMenuItem::MenuItemType) const {
    return QSize(itemWidth - checkMarkWidth(), itemHeight);
}

void CBackgroundMenu::drawItem(QPainter& painter, const QAction* action, const QRect& rect,
                               bool highlighted) const {
    const int command = action->data().toInt();
    tileSkin(painter, rect);
    QRect textRect = rect;
    if (highlighted) {
        // The menu shows on a screen of another ratio than it last did: the swatches of that one.
        if (devicePixelRatioF() != swatchRatio_)
            loadSwatches(devicePixelRatioF());
        const auto swatch = swatches_.constFind(command);
        if (swatch != swatches_.constEnd()) {
            // The strip keeps its own size, centred on the item; the item is a little narrower.
            painter.setClipRect(rect);
            painter.drawImage((rect.left() + rect.left() + rect.width()) / 2 - 80, rect.top(), *swatch);
            return;
        }
        drawRaisedFrame(painter, rect);
        textRect.translate(-1, -1);
    }
    drawItemText(painter, textRect, loadString(command), textColor);
}
