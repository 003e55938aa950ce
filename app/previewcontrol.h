#pragma once

#include <QRect>

#include <functional>
#include <optional>

class CommandTable;
class CPictureWnd;
class IScreen;
class QWidget;

// The picture preview window as the commands and the game flow reach it. Showing a new picture
// goes through the show-picture command, so that its rule and its menu text stay in step.
class PreviewControl {
public:
    // `client` is the main window's client area (the board view): the window opens beside it.
    PreviewControl(CPictureWnd& window, QWidget& client, CommandTable& commands, const IScreen& screen);

    bool visible() const;
    // Command 32775: shows the window over the client area, or hides it.
    void toggle();
    void hide();
    // Repaints the window while it is shown.
    void repaint();
    // A newly loaded picture is shown in it, the window shown, sized and placed for it: a shown
    // window is hidden by the first toggle and shown again by the second. Once the player has
    // moved or resized the window, it opens at that place and size instead, kept on the screen.
    void showNewPicture();

    // Where the player last put the window (none until they move or resize it).
    const std::optional<QRect>& playerPlace() const { return playerPlace_; }
    void setPlayerPlace(std::optional<QRect> place) { playerPlace_ = place; }
    // Told each time the player has moved or resized the window.
    void setPlayerPlaceChanged(std::function<void()> changed) { placeChanged_ = std::move(changed); }
    // After the cut the window takes the picture's new proportions.
    void fitToPicture();

private:
    CPictureWnd& window_;
    QWidget& client_;
    CommandTable& commands_;
    const IScreen& screen_;
    std::optional<QRect> playerPlace_;
    std::function<void()> placeChanged_;
    bool openAtPlayerPlace_ = false; // a new picture is being shown
};
