#pragma once

#include "game/menuletters.h"
#include "ui/skin.h"

#include <QColor>
#include <QMenu>
#include <QStyleOptionMenuItem>

class ISound;
class QPainter;

// A popup menu that measures and paints its items itself on the wooden skin, plays its sounds
// and chooses items by the typed letters of its table.
class OwnerDrawnMenu : public QMenu {
    Q_OBJECT
public:
    static constexpr int openWave = 219;     // the menu opens
    static constexpr int clickWave = 218;    // the highlight moves to an enabled item
    static constexpr int skinBitmapId = 217; // light wood, 250 x 40

    inline static const QColor textColor{80, 46, 22};
    inline static const QColor disabledTextColor{246, 197, 123};
    inline static const QColor raisedLight{255, 230, 131};
    inline static const QColor raisedDark{98, 74, 49};
    inline static const QColor separatorDark{98, 74, 49};
    inline static const QColor separatorLight{220, 200, 130};

    OwnerDrawnMenu(OwnerMenu kind, ISound& sound, QWidget* parent);

    // The platform's menu check-mark width, which every item gives up.
    static int checkMarkWidth();

    // The size of an item of the given kind.
    virtual QSize measureItem(QStyleOptionMenuItem::MenuItemType type) const = 0;
    // Paints one item into rect; the painter's origin is the menu's, so tiled skins run on across
    // items.
    virtual void drawItem(QPainter& painter, const QAction* action, const QRect& rect,
                          bool highlighted) const = 0;

    // Chooses an item as its letter does: a command runs, a submenu opens; a disabled item or a
    // separator is left alone. Returns whether the item was taken.
    bool chooseItem(int position);

    // The top-left corner (screen coordinates) that centres the menu, `height` pixels high, on
    // the window's frame: horizontally by its width, its middle at the window's middle. With
    // keepTopOnScreen a top above the screen is moved down to 0.
    QPoint centredOn(const QRect& windowFrame, int height, bool keepTopOnScreen) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // The raised frame of a highlighted item; the text then moves one pixel up and left.
    static void drawRaisedFrame(QPainter& painter, const QRect& rect);
    // One line of text in menuFont, centred, with the ampersand shown as an underline.
    static void drawItemText(QPainter& painter, const QRect& rect, const QString& text, const QColor& colour);

    // Tiles the wooden skin over rect, anchored at the menu's origin.
    void tileSkin(QPainter& painter, const QRect& rect) const;

private:
    OwnerMenu kind_;
    ISound& sound_;
    mutable ScreenBitmap skin_; // tiled as the menu paints, for the screen it shows on
};
