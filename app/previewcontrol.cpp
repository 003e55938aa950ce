#include "app/previewcontrol.h"

#include "app/commandtable.h"
#include "game/playersettings.h"
#include "model/services.h"
#include "ui/picturewnd.h"

PreviewControl::PreviewControl(CPictureWnd& window, QWidget& client, CommandTable& commands,
                               const IScreen& screen)
    : window_(window), client_(client), commands_(commands), screen_(screen) {
    window_.setPlayerMoved([this](const QRect& geometry) {
        playerPlace_ = geometry;
        if (placeChanged_)
            placeChanged_();
    });
}

bool PreviewControl::visible() const {
    return window_.isVisible();
}

void PreviewControl::toggle() {
    if (openAtPlayerPlace_ && playerPlace_ && !visible()) {
        window_.showAt(fitWindow(*playerPlace_, screen_.availableGeometry()));
        return;
    }
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
    openAtPlayerPlace_ = true;
    commands_.run(Cmd::ShowPicture);
    if (!visible())
        commands_.run(Cmd::ShowPicture);
    openAtPlayerPlace_ = false;
}

void PreviewControl::fitToPicture() {
    window_.fitToPicture();
}
