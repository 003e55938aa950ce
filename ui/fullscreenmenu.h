#pragma once

#include "ui/ownerdrawnmenu.h"

#include <array>
#include <functional>

// The menu that stands in for the menu bar in full-screen mode (F10): the commands of the game,
// the picture, the view and, as a submenu, the background menu, drawn on light wood.
class CFullScreenMenu : public OwnerDrawnMenu {
    Q_OBJECT
public:
    static constexpr int itemWidth = 250;
    static constexpr int itemHeight = 40;
    static constexpr int separatorCount = 6;
    static constexpr int separatorHeight = 2;
    static constexpr int itemCount = 26;
    // Positions whose texts change each time the menu opens.
    static constexpr int fullScreenItem = 12;
    static constexpr int pictureItem = 13;
    static constexpr int backgroundItem = 19;
    // The option that lets the left button move blocks, a check item, after pause and hint.
    static constexpr int leftMovesBlocksItem = 23;

    // Items send their command ids to runCommand; position 19 opens backgroundMenu.
    CFullScreenMenu(ISound& sound, QMenu* backgroundMenu, std::function<void(int)> runCommand,
                    QWidget* parent);

    // The text drawn for the item at a position (its item data).
    QString itemText(int position) const { return texts_.at(position); }
    void setItemText(int position, const QString& text);

    // The menu's height: 40 for every item with a command or submenu, 2 for each separator.
    int totalHeight() const;
    // The height of an item as shown: 40, or less where the screen is lower than the menu would
    // be (never below 24), so that the menu stays one column of items on it.
    int shownItemHeight() const { return shownItemHeight_; }
    static int itemHeightFor(int screenHeight);

    QSize measureItem(QStyleOptionMenuItem::MenuItemType type) const override;
    void drawItem(QPainter& painter, const QAction* action, const QRect& rect,
                  bool highlighted) const override;

private:
    std::array<QString, itemCount> texts_;
    int shownItemHeight_ = itemHeight;
};
