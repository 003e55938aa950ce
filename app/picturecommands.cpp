#include "app/picturecommands.h"

#include "app/mainframe.h"
#include "game/widgets/myfiledialog.h"
#include "ui/cutdialog.h"

PictureCommands::PictureCommands(CMainFrame& frame)
    : QObject(&frame), frame_(frame),
      flow_(frame.state(), frame.gameFlow(), *frame.services().messages, *frame.services().cursor) {}

QString PictureCommands::samplesFolder() const {
    return frame_.programFolder() + QStringLiteral("pictures");
}

void PictureCommands::loadPicture() {
    if (!flow_.prepareLoad())
        return;
    // From here on the old picture is gone, whatever the dialog's outcome.
    CMyFileDialog dialog(samplesFolder(), &frame_);
    if (frame_.runModal(dialog) != QDialog::Accepted)
        return;
    const QString path = dialog.chosenFile();
    if (path.isEmpty())
        return;
    if (flow_.loadChosenFile(path))
        frame_.showPreviewOfNewPicture();
}

void PictureCommands::cutPicture() {
    if (!flow_.prepareCut())
        return;
    const GameState& state = frame_.state();
    CCutDialog dialog(state.pictureWidth, state.pictureHeight, flow_.lastElementSize(), &frame_);
    dialog.setMessageBox(frame_.services().messages);
    dialog.setShapeOptions(flow_.currentChoice());
    dialog.ensureInitialized();
    if (frame_.runModal(dialog) != QDialog::Accepted)
        return;
    if (flow_.applyCut(dialog.choice()))
        frame_.fitPreviewToPicture();
}
