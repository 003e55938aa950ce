#pragma once

#include "app/modalrunner.h"
#include "game/pictureflow.h"

#include <QObject>

class PreviewControl;
class QWidget;
struct FrameServices;

// The main frame's two picture commands: "З&агрузить Картинку..." (32771) with the picture file
// dialog and "&Разрезка Картинки..." (32772) with the cut dialog. The rules are PictureFlow's;
// this runs the dialogs through the modal runner, so tests drive them without blocking.
class PictureCommands : public QObject {
    Q_OBJECT
public:
    PictureCommands(GameState& state, GameFlow& gameFlow, const FrameServices& services,
                    const ModalRunner& runModal, PreviewControl& preview, QWidget* window);

    void loadPicture();
    void cutPicture();

    // The folder the picture file dialog opens on the first time: the sample pictures beside
    // the program.
    QString samplesFolder() const;

private:
    const GameState& state_;
    const FrameServices& services_;
    const ModalRunner& runModal_;
    PreviewControl& preview_;
    QWidget* window_;
    PictureFlow flow_;
};
