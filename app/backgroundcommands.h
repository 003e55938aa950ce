#pragma once

#include <QObject>
#include <QPoint>

class CBackgroundMenu;
class CMainFrame;

// The background commands: the ten textures (32810..32819), the solid colour through the colour
// chooser (32820) and the wooden background menu opened in the middle of the window (Ctrl+B).
class BackgroundCommands : public QObject {
    Q_OBJECT
public:
    static constexpr int chooserTitle = 118;

    explicit BackgroundCommands(CMainFrame& frame);

    CBackgroundMenu* menu() const { return menu_; }

    void chooseTexture(int command);
    void chooseSolidColor();
    // Opens the background menu centred horizontally on the window, its middle at the window's.
    void popupMenu();
    // Where popupMenu puts the menu's top-left corner (screen coordinates).
    QPoint popupPosition() const;

private:
    void backgroundChanged();

    CMainFrame& frame_;
    CBackgroundMenu* menu_ = nullptr;
};
