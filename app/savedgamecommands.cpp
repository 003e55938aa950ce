#include "app/savedgamecommands.h"

#include "app/frameservices.h"
#include "app/fullscreenmode.h"
#include "app/previewcontrol.h"
#include "game/creationflow.h"
#include "game/programfolders.h"
#include "game/widgets/loadgamedialog.h"
#include "game/widgets/savegamedialog.h"

SavedGameCommands::SavedGameCommands(GameState& state, GameFlow& gameFlow, CreationFlow& creation,
                                     const FrameServices& services, const ModalRunner& runModal,
                                     PreviewControl& preview, const FullScreenMode& fullScreen,
                                     QWidget* window)
    : QObject(window), creation_(creation), services_(services), runModal_(runModal), preview_(preview),
      fullScreen_(fullScreen), window_(window),
      flow_(state, gameFlow, *services.messages, *services.clock, *services.cursor) {
    flow_.store().setFolder(ProgramFolders::current().saveFolder());
}

// Both commands run only as their rules allow: no save of a game not under way.
void SavedGameCommands::saveGame() {
    store().ensureFolder();
    CSaveGameDialog dialog(store(), *services_.messages, window_);
    dialog.ensureInitialized();
    if (runModal_(dialog) != QDialog::Accepted || dialog.chosenName().isEmpty())
        return;
    flow_.save(dialog.chosenName(), fullScreen_.isOn() ? 1 : 0);
}

void SavedGameCommands::loadGame() {
    if (!flow_.confirmLoading())
        return;
    CLoadGameDialog dialog(store(), window_);
    dialog.setSelectionWatcher([this](const QString& name) { flow_.prepareToRead(name); });
    dialog.ensureInitialized();
    if (runModal_(dialog) != QDialog::Accepted || dialog.chosenName().isEmpty()) {
        flow_.releaseReserve();
        return;
    }
    // Everything is read and checked before the current game is given up.
    const std::optional<SavedGameFlow::Loaded> loaded = flow_.read(dialog.chosenName());
    if (loaded)
        start(*loaded);
}

void SavedGameCommands::start(const SavedGameFlow::Loaded& loaded) {
    const QSize fullScreenClient = services_.screen->fullScreenClientSize();
    creation_.withProgress(loaded.game.count(),
                           [&](IProgress* progress) { flow_.install(loaded, fullScreenClient, progress); });
    preview_.showNewPicture();
    preview_.repaint();
    creation_.startLoadedGame();
}
