#pragma once

#include "ui/ownerdrawnmenu.h"

#include <QHash>

#include <functional>

// The background menu (Ctrl+B, and the submenu of the full-screen menu): the ten textures and the
// solid colour on light wood. A highlighted texture shows a strip of itself instead of its name.
class CBackgroundMenu : public OwnerDrawnMenu {
    Q_OBJECT
public:
    static constexpr int itemWidth = 160;
    static constexpr int itemHeight = 40;
    static constexpr int itemCount = 11;

    CBackgroundMenu(ISound& sound, std::function<void(int)> runCommand, QWidget* parent);

    QSize measureItem(QStyleOptionMenuItem::MenuItemType type) const override;
    void drawItem(QPainter& painter, const QAction* action, const QRect& rect,
                  bool highlighted) const override;

private:
    // Loads the swatches for a screen of `ratio`.
    void loadSwatches(double ratio) const;
    mutable QHash<int, QImage> swatches_; // by command, loaded once for each ratio shown at
    mutable double swatchRatio_ = 0.0;
};
