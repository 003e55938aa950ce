#pragma once

class CommandTable;
class CPictureWnd;
class QWidget;

// The picture preview window as the commands and the game flow reach it. Showing a new picture
// goes through the show-picture command, so that its rule and its menu text stay in step.
class PreviewControl {
public:
    // `client` is the main window's client area (the board view): the window opens beside it.
    PreviewControl(CPictureWnd& window, QWidget& client, CommandTable& commands);

    bool visible() const;
    // Command 32775: shows the window over the client area, or hides it.
    void toggle();
    void hide();
    // Repaints the window while it is shown.
    void repaint();
    // A newly loaded picture is shown in it, the window shown, sized and placed for it: a shown
    // window is hidden by the first toggle and shown again by the second.
    void showNewPicture();
    // After the cut the window takes the picture's new proportions.
    void fitToPicture();

private:
    CPictureWnd& window_;
    QWidget& client_;
    CommandTable& commands_;
};
