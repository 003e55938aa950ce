#pragma once

#include "game/pictureflow.h"

#include <QObject>

class CMainFrame;

// The main frame's two picture commands: "З&агрузить Картинку..." (32771) with the picture file
// dialog and "&Разрезка Картинки..." (32772) with the cut dialog. The rules are PictureFlow's;
// this runs the dialogs through the frame's modal runner, so tests drive them without blocking.
class PictureCommands : public QObject {
    Q_OBJECT
public:
    explicit PictureCommands(CMainFrame& frame);

    void loadPicture();
    void cutPicture();

    // The folder the picture file dialog opens on the first time: the sample pictures beside
    // the program.
    QString samplesFolder() const;

private:
    CMainFrame& frame_;
    PictureFlow flow_;
};
