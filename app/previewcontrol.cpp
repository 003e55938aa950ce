#include "app/previewcontrol.h"

#include "app/commandtable.h"
#include "ui/picturewnd.h"

PreviewControl::PreviewControl(CPictureWnd& window, QWidget& client, CommandTable& commands)
    : window_(window), client_(client), commands_(commands) {}

bool PreviewControl::visible() const {
    return window_.isVisible();
}

void PreviewControl::toggle() {
    // The client area is the board view; the menu bar is not part of it.
    window_.toggle(QRect(client_.mapToGlobal(QPoint(0, 0)), client_.size()));
}

void PreviewControl::hide() {
    window_.hide();
}

void PreviewControl::repaint() {
    if (visible())
        window_.repaint();
}

void PreviewControl::showNewPicture() {
    commands_.run(Cmd::ShowPicture);
    if (!visible())
        commands_.run(Cmd::ShowPicture);
}

void PreviewControl::fitToPicture() {
    window_.fitToPicture();
}
