#pragma once

#include "app/modalrunner.h"

#include <QObject>
#include <QPoint>

#include <functional>

class BoardRenderer;
class CBackgroundMenu;
class CommandTable;
class ISound;
class QWidget;
struct BackgroundState;

// The background commands: the ten textures (32810..32819), the solid colour through the colour
// chooser (32820) and the wooden background menu opened in the middle of the window (Ctrl+B).
class BackgroundCommands : public QObject {
    Q_OBJECT
public:
    // The menu's items run their commands through `commands`; the clock window, which shows the
    // background under its text, is repainted with the board.
    BackgroundCommands(BackgroundState& background, ISound& sound, CommandTable& commands,
                       const ModalRunner& runModal, BoardRenderer& renderer, QWidget& clockWindow,
                       QWidget& window);

    CBackgroundMenu* menu() const { return menu_; }

    // Gives the table the handlers of the background commands; `chosen` follows every choice
    // made (the settings remember it).
    void bindHandlers(CommandTable& commands, const std::function<void()>& chosen);

    void chooseTexture(int command);
    void chooseSolidColor();
    // Opens the background menu centred horizontally on the window, its middle at the window's.
    void popupMenu();
    // Where popupMenu puts the menu's top-left corner (screen coordinates).
    QPoint popupPosition() const;

private:
    void backgroundChanged();

    BackgroundState& background_;
    const ModalRunner& runModal_;
    BoardRenderer& renderer_;
    QWidget& clockWindow_;
    QWidget& window_;
    CBackgroundMenu* menu_ = nullptr;
};
