#pragma once

#include "app/modalrunner.h"
#include "game/savedgameflow.h"

#include <QObject>

class CreationFlow;
class FullScreenMode;
class PreviewControl;
class QWidget;
struct FrameServices;

// The main frame's save (32799, F2) and load (32800, F3) commands with their dialogs. The rules
// are SavedGameFlow's; this runs the dialogs through the modal runner, shows the progress while a
// large game is built and hands the loaded game to the picture-turning worker.
class SavedGameCommands : public QObject {
    Q_OBJECT
public:
    SavedGameCommands(GameState& state, GameFlow& gameFlow, CreationFlow& creation,
                      const FrameServices& services, const ModalRunner& runModal, PreviewControl& preview,
                      const FullScreenMode& fullScreen, QWidget* window);

    void saveGame();
    void loadGame();
    // Puts a game read and checked in place of the current one and starts it: its picture turns
    // while its elements are built, and play begins once both are done.
    void start(const SavedGameFlow::Loaded& loaded);

    SavedGameFlow& flow() { return flow_; }
    SavedGameStore& store() { return flow_.store(); }

private:
    CreationFlow& creation_;
    const FrameServices& services_;
    const ModalRunner& runModal_;
    PreviewControl& preview_;
    const FullScreenMode& fullScreen_;
    QWidget* window_;
    SavedGameFlow flow_;
};
