#pragma once

#include "game/savedgameflow.h"

#include <QObject>

class CMainFrame;

// The main frame's save (32799, F2) and load (32800, F3) commands with their dialogs. The rules
// are SavedGameFlow's; this runs the dialogs through the frame's modal runner, shows the progress
// while a large game is built and hands the loaded game to the picture-turning worker.
class SavedGameCommands : public QObject {
    Q_OBJECT
public:
    explicit SavedGameCommands(CMainFrame& frame);

    void saveGame();
    void loadGame();

    SavedGameFlow& flow() { return flow_; }
    SavedGameStore& store() { return flow_.store(); }

private:
    CMainFrame& frame_;
    SavedGameFlow flow_;
};
