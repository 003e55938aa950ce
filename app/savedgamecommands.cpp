#include "app/savedgamecommands.h"

#include "app/mainframe.h"
#include "game/programfolders.h"
#include "game/widgets/loadgamedialog.h"
#include "game/widgets/savegamedialog.h"
#include "model/generator.h"

#include <future>

SavedGameCommands::SavedGameCommands(CMainFrame& frame)
    : QObject(&frame), frame_(frame), flow_(frame.state(), frame.gameFlow(), *frame.services().messages,
                                            *frame.services().clock, *frame.services().cursor) {
    flow_.store().setFolder(ProgramFolders::current().saveFolder());
}

void SavedGameCommands::saveGame() {
    // A loaded game whose picture still turns is not under way yet.
    if (!flow_.canSave() || frame_.creation().turningBusy())
        return;
    store().ensureFolder();
    CSaveGameDialog dialog(store(), *frame_.services().messages, &frame_);
    dialog.ensureInitialized();
    if (frame_.runModal(dialog) != QDialog::Accepted || dialog.chosenName().isEmpty())
        return;
    flow_.save(dialog.chosenName(), frame_.fullScreen());
}

void SavedGameCommands::loadGame() {
    // One worker at a time: a second would write the same pictures.
    if (frame_.creation().turningBusy())
        return;
    CLoadGameDialog dialog(store(), &frame_);
    dialog.ensureInitialized();
    if (frame_.runModal(dialog) != QDialog::Accepted || dialog.chosenName().isEmpty())
        return;
    // Everything is read and checked before the current game is given up.
    const std::optional<SavedGameFlow::Loaded> loaded = flow_.read(dialog.chosenName());
    if (!loaded)
        return;
    // The picture turns on the worker while the elements are built here; it hands over once
    // they are (the progress dialog lets events through meanwhile).
    CreationFlow& creation = frame_.creation();
    std::promise<void> built;
    if (loaded->game.cut.rotateElements)
        creation.startTurningLoadedPicture(loaded->picture, built.get_future().share());
    const QSize fullScreenClient = frame_.services().screen->fullScreenClientSize();
    creation.withProgress(loaded->game.count(),
                          [&](IProgress* progress) { flow_.install(*loaded, fullScreenClient, progress); });
    frame_.showPreviewOfNewPicture();
    frame_.repaintPreview();
    built.set_value();
    creation.startLoadedGame();
}
