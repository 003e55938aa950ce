#include "app/picturecommands.h"

#include "app/frameservices.h"
#include "app/previewcontrol.h"
#include "game/gamestate.h"
#include "game/programfolders.h"
#include "game/widgets/myfiledialog.h"
#include "ui/cutdialog.h"

PictureCommands::PictureCommands(GameState& state, GameFlow& gameFlow, const FrameServices& services,
                                 const ModalRunner& runModal, PreviewControl& preview, QWidget* window)
    : QObject(window), state_(state), services_(services), runModal_(runModal), preview_(preview),
      window_(window), flow_(state, gameFlow, *services.messages, *services.cursor) {}

QString PictureCommands::samplesFolder() const {
    return ProgramFolders::current().picturesFolder();
}

void PictureCommands::loadPicture() {
    if (!flow_.prepareLoad())
        return;
    // From here on the old picture is gone, whatever the dialog's outcome.
    CMyFileDialog dialog(samplesFolder(), window_);
    if (runModal_(dialog) != QDialog::Accepted)
        return;
    const QString path = dialog.chosenFile();
    if (path.isEmpty())
        return;
    if (flow_.loadChosenFile(path))
        preview_.showNewPicture();
}

void PictureCommands::cutPicture() {
    if (!flow_.prepareCut())
        return;
    CCutDialog dialog(state_.pictureWidth, state_.pictureHeight, flow_.lastElementSize(), window_);
    dialog.setMessageBox(services_.messages);
    dialog.setShapeOptions(flow_.currentChoice());
    dialog.ensureInitialized();
    if (runModal_(dialog) != QDialog::Accepted)
        return;
    if (flow_.applyCut(dialog.choice()))
        preview_.fitToPicture();
}
